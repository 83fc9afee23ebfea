// libFuzzer target for the Telnet client: whatever a device server sends, in whatever pieces,
// the client reads it the same way, in memory and time bounded by the input, and data that
// went out escaped comes back as it was.
#include "serial/telnetcodec.h"

using namespace qpv::telnet;

// A broken invariant stops the run at once, so libFuzzer keeps the input that broke it.
static const auto check = [](bool holds) { return holds ? void() : __builtin_trap(); };

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    const std::string_view in(reinterpret_cast<const char*>(bytes), size);
    Client whole;
    std::string data, answers;
    whole.start();
    whole.receive(in, data, answers);
    // Every answer is three bytes, to a negotiation of three: never more out than in.
    check(data.size() <= size && answers.size() <= size && answers.size() % 3 == 0);

    // The same bytes in pieces, cut where the first byte of each piece says.
    Client pieces;
    pieces.start();
    std::string pieceData, pieceAnswers;
    for (std::size_t at = 0, length = 0; at < size; at += length)
        pieces.receive(in.substr(at, length = 1 + bytes[at] % 7), pieceData, pieceAnswers);
    check(pieceData == data && pieceAnswers == answers &&
          pieces.comPortOption() == whole.comPortOption() &&
          pieces.takeReportedBauds() == whole.takeReportedBauds());

    // Escaped data is data, whatever it holds: 0xFF, NUL, SE or SB bytes.
    Client clean;
    std::string back, none;
    clean.receive(escape(in), back, none);
    check(back == in && none.empty());
    return 0;
}
