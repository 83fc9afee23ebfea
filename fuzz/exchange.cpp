// libFuzzer target for the exchange core: every input goes through the echo rendering and the
// receive buffer, every reply decoder and the number reader, which each keep their invariants.
#include "exchange/decoder.h"
#include "exchange/echo.h"
#include "exchange/numberreader.h"

#include <algorithm>
#include <cmath>

using namespace qpv;

// A broken invariant stops the run at once, so libFuzzer keeps the input that broke it.
static const auto check = [](bool holds) { return holds ? void() : __builtin_trap(); };

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view in(reinterpret_cast<const char*>(data), size);
    const std::string echo = renderEcho(in);
    check(echo.size() <= 1 + 4 * std::min(in.size(), kTextCap) && echo.starts_with(' ') &&
          std::ranges::all_of(echo, [](char c) { return c >= ' ' && c <= 'z'; }));
    // The receive buffer, fed the input in pieces; a piece whose first byte is above 0x7F is
    // doubled ten times, so the buffer crosses its cap again and again.
    EchoedText buffer;
    std::string received;
    for (std::size_t at = 0, length = 0; at < size; at += length) {
        std::string piece(in.substr(at, length = 1 + data[at] % 32));
        for (int i = 0; i < (data[at] > 0x7F ? 10 : 0); ++i)
            piece += piece;
        buffer.append(piece);
        (received += piece).erase(0, received.size() - std::min(received.size(), kTextCap));
        // A whole rendering costs the whole text: short texts, and the last one, get it.
        check(buffer.text() == received && ((received.size() > 1024 && at + length < size) ||
                                            buffer.echo() == renderEcho(received)));
    }

    // The input as the reply to every query (rendered, and raw), behind no prefix and behind
    // itself as the prefix; then as the command last sent, behind its first half. Whatever the
    // decoder, the STATUS text stays within the echo and a line's width.
    const auto bounded = [](auto prefix, auto txCommand, std::string_view echo) {
        return decodeReply(prefix, txCommand, echo).value_or("").size() <= echo.size() + 60;
    };
    for (const char* query : {"TABN   1", "TLPS   1", "POWR????", "CR4", "TLTT   1", "CR6", "CRA",
                              "CR9", "CR PRESSURE", "CR7"}) {
        for (const std::string_view prefix : {std::string_view(), in}) {
            const std::string frame = frameCommand(prefix, query);
            check(chooseDecoder(prefix, frame) && chooseDecoder(prefix, frame)->query == query);
            check(bounded(prefix, frame, echo) && bounded(prefix, frame, in));
        }
    }
    check(bounded(in.substr(0, size / 2), in, echo));

    // The number reader: blanks, tabs and line feeds change nothing; rounding is the default
    // floating-point one, a half to even.
    std::string packed(in);
    std::erase_if(packed, [](char c) { return c == ' ' || c == '\t' || c == '\n'; });
    const std::optional<double> read = readNumber(in);
    check(read == readNumber(packed));
    const double value = read.value_or(0), nearest = std::nearbyint(value);
    check(!std::isnan(value) && (std::isinf(value) || roundHalfEven(value) == nearest));
    const std::optional<std::int16_t> small = roundToInt16(value);
    check(small ? *small == nearest : !(nearest >= -32768 && nearest <= 32767));
    return 0;
}
