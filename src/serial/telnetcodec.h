#pragma once

// The client side of a Telnet connection carrying a serial line, with the com-port option that
// lets the client set the remote port's speed and framing (RFC 854, 855, 2217). Standard C++
// only: bytes in, bytes out, no I/O, so that anything a server sends can be fuzzed.

#include <bitset>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qpv::telnet {

// How the client asks the remote port to run: speed in baud, 5 to 8 data bits, parity
// 1 none, 2 odd, 3 even, 4 mark, 5 space; stop bits 1 one, 2 two, 3 one and a half.
struct RemoteLine {
    std::uint32_t baud = 9600;
    std::uint8_t dataSize = 8;
    std::uint8_t parity = 1;
    std::uint8_t stopSize = 1;
};

enum class ComPortOption {
    NotOffered, // before start()
    Offered,    // the client has said WILL, the server has not answered
    Agreed,     // the server said DO: line settings may be sent
    Refused,    // the server said DONT
};

// The data bytes as they go on the connection: every 0xFF doubled.
std::string escape(std::string_view data);

// The four requests that set the remote line, in one piece.
std::string setLine(const RemoteLine& line);

class Client {
public:
    // What the client sends first: the offer of the com-port option.
    std::string start();

    // Decodes what the server sent, in any pieces: data bytes go to `data`, answers to the
    // server's negotiations to `answers`. Negotiation and subnegotiation never reach `data`,
    // but for a subnegotiation longer than any a device server sends (kMostKept bytes): the
    // server broke the protocol, and what it held is given back as data.
    void receive(std::string_view bytes, std::string& data, std::string& answers);

    ComPortOption comPortOption() const;

    // The speeds the server reported having set since the last call, oldest first (the last
    // few of a longer run).
    std::vector<std::uint32_t> takeReportedBauds();

    // Whether the server is inside a subnegotiation it has not ended.
    bool inSubnegotiation() const;
    // Ends a subnegotiation the server left open: what it held is given back, as data.
    std::string abandonSubnegotiation();
    // Whether a subnegotiation was given up for its length since the last call.
    bool takeBroken();

    static constexpr std::size_t kMostKept = 4096;

private:
    enum class State : std::uint8_t { Data, Command, Option, SubOption, Sub, SubCommand };

    void command(std::uint8_t byte);
    void negotiate(std::uint8_t verb, std::uint8_t option, std::string& answers);
    void keep(std::uint8_t byte, std::string& data);
    void endSubnegotiation();

    State m_state = State::Data;
    std::uint8_t m_verb = 0;
    std::bitset<256> m_ours, m_theirs;               // options in force on each side
    std::bitset<256> m_offered;                      // ours, asked for and not yet answered
    std::bitset<256> m_refusedOurs, m_refusedTheirs; // refusals already sent
    bool m_comPortRefused = false;
    std::uint8_t m_subOption = 0;
    std::string m_sub; // what the subnegotiation holds so far
    bool m_broken = false;
    std::vector<std::uint32_t> m_reportedBauds;
};

} // namespace qpv::telnet
