#include "serial/telnetcodec.h"

#include <utility>

namespace qpv::telnet {

namespace {

constexpr std::uint8_t kSe = 240, kSb = 250, kWill = 251, kWont = 252, kDo = 253, kDont = 254,
                       kIac = 255;
constexpr std::uint8_t kBinary = 0, kSuppressGoAhead = 3, kComPort = 44;
// Com-port commands: the client's, and the server's answer to each (the client's plus 100).
constexpr std::uint8_t kSetBaudRate = 1, kSetDataSize = 2, kSetParity = 3, kSetStopSize = 4,
                       kServerOffset = 100;

// What the client does on its side (WILL) and lets the server do (DO): binary data both ways
// and no go-ahead, which is what a serial line needs; the com-port option on the client's
// side only. The server's echo, and everything else, is refused.
bool weWill(std::uint8_t option)
{
    return option == kBinary || option == kSuppressGoAhead || option == kComPort;
}
bool weLetThem(std::uint8_t option)
{
    return option == kBinary || option == kSuppressGoAhead;
}

void put(std::string& out, std::uint8_t verb, std::uint8_t option)
{
    out += char(kIac), out += char(verb), out += char(option);
}

void subnegotiation(std::string& out, std::uint8_t code, std::string_view value)
{
    out += char(kIac), out += char(kSb), out += char(kComPort), out += char(code);
    out += escape(value);
    out += char(kIac), out += char(kSe);
}

} // namespace

std::string escape(std::string_view data)
{
    std::string out;
    out.reserve(data.size());
    for (const char c : data) {
        out += c;
        if (std::uint8_t(c) == kIac)
            out += c;
    }
    return out;
}

std::string setLine(const RemoteLine& line)
{
    const std::uint32_t b = line.baud;
    const char baud[] = {char(b >> 24), char(b >> 16), char(b >> 8), char(b)};
    std::string out;
    subnegotiation(out, kSetBaudRate, {baud, sizeof baud});
    subnegotiation(out, kSetDataSize, {reinterpret_cast<const char*>(&line.dataSize), 1});
    subnegotiation(out, kSetParity, {reinterpret_cast<const char*>(&line.parity), 1});
    subnegotiation(out, kSetStopSize, {reinterpret_cast<const char*>(&line.stopSize), 1});
    return out;
}

std::string Client::start()
{
    std::string out;
    if (m_ours[kComPort] || m_offered[kComPort])
        return out;
    m_offered[kComPort] = true;
    put(out, kWill, kComPort);
    return out;
}

ComPortOption Client::comPortOption() const
{
    if (m_ours[kComPort])
        return ComPortOption::Agreed;
    if (m_offered[kComPort])
        return ComPortOption::Offered;
    return m_comPortRefused ? ComPortOption::Refused : ComPortOption::NotOffered;
}

std::vector<std::uint32_t> Client::takeReportedBauds()
{
    return std::exchange(m_reportedBauds, {});
}

bool Client::inSubnegotiation() const
{
    return m_state == State::SubOption || m_state == State::Sub || m_state == State::SubCommand;
}

std::string Client::abandonSubnegotiation()
{
    if (!inSubnegotiation())
        return {};
    m_state = State::Data;
    return std::exchange(m_sub, {});
}

bool Client::takeBroken()
{
    return std::exchange(m_broken, false);
}

void Client::receive(std::string_view bytes, std::string& data, std::string& answers)
{
    for (const char c : bytes) {
        const auto byte = std::uint8_t(c);
        switch (m_state) {
        case State::Data:
            if (byte == kIac)
                m_state = State::Command;
            else
                data += c;
            break;
        case State::Command:
            if (byte == kIac)
                data += c, m_state = State::Data; // an escaped 0xFF
            else
                command(byte);
            break;
        case State::Option:
            negotiate(m_verb, byte, answers);
            m_state = State::Data;
            break;
        case State::SubOption:
            m_subOption = byte, m_sub.clear(), m_state = State::Sub;
            break;
        case State::Sub:
            if (byte == kIac)
                m_state = State::SubCommand;
            else
                keep(byte, data);
            break;
        case State::SubCommand:
            if (byte == kIac) { // an escaped 0xFF inside the subnegotiation
                m_state = State::Sub;
                keep(byte, data);
                break;
            }
            // SE ends it; any other command ends it too and is then carried out, so that a
            // subnegotiation left open cannot swallow every negotiation after it.
            endSubnegotiation();
            if (byte == kSe)
                m_state = State::Data;
            else
                command(byte);
            break;
        }
    }
}

void Client::command(std::uint8_t byte)
{
    if (byte >= kWill)
        m_verb = byte, m_state = State::Option;
    else // SB opens a subnegotiation; NOP, GA, a stray SE and the rest carry nothing
        m_state = byte == kSb ? State::SubOption : State::Data;
}

void Client::keep(std::uint8_t byte, std::string& data)
{
    m_sub += char(byte);
    if (m_sub.size() <= kMostKept)
        return;
    data += abandonSubnegotiation();
    m_broken = true;
}

void Client::endSubnegotiation()
{
    // Only the server's report of the speed it set is used; signatures, line and modem state
    // notifications and the other reports are consumed.
    const auto at = [this](std::size_t i) { return std::uint32_t(std::uint8_t(m_sub[i])); };
    if (m_subOption == kComPort && m_sub.size() == 5 && at(0) == kServerOffset + kSetBaudRate) {
        if (m_reportedBauds.size() == 16) // a server repeating itself keeps only its last words
            m_reportedBauds.erase(m_reportedBauds.begin());
        m_reportedBauds.push_back(at(1) << 24 | at(2) << 16 | at(3) << 8 | at(4));
    }
    m_sub.clear();
}

void Client::negotiate(std::uint8_t verb, std::uint8_t option, std::string& answers)
{
    switch (verb) {
    case kDo:
        if (!weWill(option)) {
            if (!m_refusedOurs[option])
                put(answers, kWont, option), m_refusedOurs[option] = true;
        } else if (!m_ours[option]) {
            // Agreement to an offer of ours needs no answer; a request does.
            if (!m_offered[option])
                put(answers, kWill, option);
            m_ours[option] = true, m_offered[option] = false;
        }
        break;
    case kDont:
        if (option == kComPort && (m_ours[option] || m_offered[option]))
            m_comPortRefused = true;
        if (m_ours[option])
            put(answers, kWont, option);
        m_ours[option] = m_offered[option] = false;
        break;
    case kWill:
        if (!weLetThem(option)) {
            if (!m_refusedTheirs[option])
                put(answers, kDont, option), m_refusedTheirs[option] = true;
        } else if (!m_theirs[option]) {
            put(answers, kDo, option);
            m_theirs[option] = true;
        }
        break;
    case kWont:
        if (m_theirs[option]) {
            put(answers, kDont, option);
            m_theirs[option] = false;
        }
        break;
    default:
        break;
    }
}

} // namespace qpv::telnet
