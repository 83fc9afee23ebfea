#include "sim/projector.h"

#include <algorithm>
#include <cstdio>
#include <optional>

namespace qpv::sim {

namespace {

constexpr std::string_view kAck = "\x06\r";
constexpr std::string_view kRefused = "ERR\r";

// A set command: a four-letter code and a four-character field holding a right-aligned
// number of `digits` digits from `lowest` to `highest`.
struct SetCommand {
    std::string_view code;
    int lowest;
    int highest;
    int digits;
};

constexpr SetCommand kSetCommands[] = {
    {"POWR", 0, 1, 1},   {"IRGB", 1, 2, 1},   {"IVED", 1, 2, 1},   {"IMDI", 0, 1, 1},
    {"ASPK", 0, 1, 1},   {"IMBK", 0, 1, 1},   {"FREZ", 0, 1, 1},   {"IRIS", 1, 3, 1},
    {"AFST", 1, 1, 1},   {"ADJS", 1, 1, 1},   {"IASI", 0, 2, 1},   {"IBSI", 0, 2, 1},
    {"THMD", 0, 1, 1},   {"RASR", 1, 6, 1},   {"RBSR", 1, 6, 1},   {"RASV", 1, 6, 1},
    {"RBSV", 1, 6, 1},   {"RAPS", 10, 13, 2}, {"RBPS", 10, 13, 2}, {"VAPS", 10, 13, 2},
    {"VBPS", 10, 13, 2}, {"VOLA", 0, 60, 2},
};

constexpr std::string_view kFixedCommands[] = {"CF INPUT3 ANALOG", "CF INPUT4 ANALOG"};

// The argument of a set command, or nothing when the field is not in the command's form.
std::optional<int> argumentOf(const SetCommand& set, std::string_view field)
{
    if (field.size() != 4)
        return std::nullopt;
    const auto blanks = static_cast<std::size_t>(4 - set.digits);
    if (field.substr(0, blanks).find_first_not_of(' ') != std::string_view::npos)
        return std::nullopt;
    int value = 0;
    for (char c : field.substr(blanks)) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    if (value < set.lowest || value > set.highest)
        return std::nullopt;
    return value;
}

std::string withCr(std::string text)
{
    return text += '\r';
}

} // namespace

Projector::Projector(ProjectorTiming timing)
    : m_timing(timing)
{
}

Projector::Power Projector::power(Clock::time_point now)
{
    if (m_power == Power::CountDown && now - m_phaseStart >= m_timing.countDown)
        m_power = Power::On;
    if (m_power == Power::CoolingDown && now - m_phaseStart >= m_timing.coolingDown)
        m_power = Power::Standby;
    return m_power;
}

std::string Projector::reply(std::string_view command, Clock::time_point now)
{
    const Power current = power(now);
    std::string answer = answerQuery(command, current);
    if (!answer.empty())
        return answer;
    return std::string(apply(command, now) ? kAck : kRefused);
}

std::string Projector::answerQuery(std::string_view command, Power power) const
{
    const bool lampsLit = power == Power::On;
    const bool poweredUp = power == Power::On || power == Power::CountDown;

    if (command == "TABN   1") {
        switch (power) {
        case Power::Standby:
            return withCr("80");
        case Power::CountDown:
            return withCr("40");
        case Power::On:
            return withCr("00");
        case Power::CoolingDown:
            return withCr("20");
        }
    }
    if (command == "TLPS   1")
        return withCr(lampsLit ? "1" : power == Power::CountDown ? "3" : "0");
    if (command == "POWR????")
        return withCr(poweredUp ? "1" : "0");
    if (command == "TLTT   1") {
        char text[32];
        std::snprintf(text, sizeof text, "%04d %04d %04d %04d", m_lampHours[0], m_lampHours[1],
                      m_lampHours[2], m_lampHours[3]);
        return withCr(text);
    }
    if (command == "CR4")
        return withCr("11");
    if (command == "CR6")
        return withCr(lampsLit ? "+32.5 +40.1 +28.0" : "+24.0 +24.5 +23.8");
    if (command == "CRA") {
        if (!poweredUp)
            return withCr("FF");
        return withCr(m_avMute ? "03" : "00");
    }
    if (command == "CR9")
        return withCr("QPV7100 V1.04");
    if (command == "CR PRESSURE") {
        char text[16];
        std::snprintf(text, sizeof text, "%04d", m_pressureReading);
        return withCr(text);
    }
    if (command == "CR7") {
        constexpr char kMasks[] = {'F', '9', '6'}; // the lamps each mode lights
        const int mode = std::clamp(m_lampMode, 0, 2);
        std::string code{static_cast<char>('0' + mode), lampsLit ? kMasks[mode] : '0'};
        return withCr(code);
    }
    return {};
}

bool Projector::apply(std::string_view command, Clock::time_point now)
{
    if (std::find(std::begin(kFixedCommands), std::end(kFixedCommands), command) !=
        std::end(kFixedCommands))
        return true;
    if (command.size() != 8)
        return false;

    const std::string_view code = command.substr(0, 4);
    const auto set = std::find_if(std::begin(kSetCommands), std::end(kSetCommands),
                                  [&](const SetCommand& s) { return s.code == code; });
    if (set == std::end(kSetCommands))
        return false;
    const std::optional<int> argument = argumentOf(*set, command.substr(4));
    if (!argument)
        return false;

    if (code == "POWR") {
        if (*argument == 1 && m_power == Power::Standby) {
            m_power = Power::CountDown;
            m_phaseStart = now;
        } else if (*argument == 0 && (m_power == Power::On || m_power == Power::CountDown)) {
            m_power = Power::CoolingDown;
            m_phaseStart = now;
        }
    } else if (code == "IMBK") {
        m_avMute = *argument == 1;
    }
    return true;
}

} // namespace qpv::sim
