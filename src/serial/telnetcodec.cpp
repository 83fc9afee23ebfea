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

std::optional<std::uint32_t> Client::takeReportedBaud()
{
    return std::exchange(m_reportedBaud, std::nullopt);
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
            m_subOption = byte, m_subLength = 0, m_state = State::Sub;
            break;
        case State::Sub:
            if (byte == kIac)
                m_state = State::SubCommand;
            else
                keep(byte);
            break;
        case State::SubCommand:
            if (byte == kIac) { // an escaped 0xFF inside the subnegotiation
                keep(byte), m_state = State::Sub;
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

void Client::keep(std::uint8_t byte)
{
    // One past the end marks a subnegotiation too long to be one the client reads.
    if (m_subLength < sizeof m_sub)
        m_sub[m_subLength] = byte;
    if (m_subLength <= sizeof m_sub)
        ++m_subLength;
}

void Client::endSubnegotiation()
{
    // Only the server's report of the speed it set is used; signatures, line and modem state
    // notifications and the other reports are consumed.
    if (m_subOption == kComPort && m_subLength == 5 && m_sub[0] == kServerOffset + kSetBaudRate) {
        m_reportedBaud = std::uint32_t(m_sub[1]) << 24 | std::uint32_t(m_sub[2]) << 16 |
                         std::uint32_t(m_sub[3]) << 8 | std::uint32_t(m_sub[4]);
    }
    m_subLength = 0;
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
