// Echo rendering: renderEcho on the whole input, then EchoedText fed the input in pieces,
// some of them repeated so the buffer crosses its kTextCap cap.
#include "exchange/echo.h"
#include "fuzzcheck.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <array>
#include <string>

using qpv::fuzz::check;

namespace {

// The echo as the traffic display describes it: one blank, then CR, LF and ACK written out,
// char 20 as "&" with no blank, other control characters and anything beyond "z" as "?",
// plain characters followed by a blank. Only the newest kTextCap characters are shown.
std::string expectedEcho(std::string_view text)
{
    if (text.size() > qpv::kTextCap)
        text.remove_prefix(text.size() - qpv::kTextCap);
    std::string echo = " ";
    for (const char c : text) {
        const auto code = static_cast<unsigned char>(c);
        if (code == '\r')
            echo += "CR ";
        else if (code == '\n')
            echo += "LF ";
        else if (code == 6)
            echo += "ACK ";
        else if (code == 20)
            echo += "&";
        else if (code >= ' ' && code <= 'z')
            echo.append({c, ' '});
        else
            echo += "? ";
    }
    return echo;
}

void checkEcho(std::string_view text, const std::string& echo)
{
    check(echo.starts_with(' '));
    check(std::all_of(echo.begin(), echo.end(), [](char c) { return c >= ' ' && c <= 'z'; }));
    check(echo.size() <= 1 + 4 * std::min(text.size(), qpv::kTextCap));
    check(echo == expectedEcho(text));
}

std::string_view newest(std::string_view text)
{
    return text.size() > qpv::kTextCap ? text.substr(text.size() - qpv::kTextCap) : text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view input = qpv::fuzz::asText(data, size);

    const std::string echo = qpv::renderEcho(input);
    checkEcho(input, echo);

    // Rendering in two parts gives the same echo as rendering at once.
    const std::size_t split = size == 0 ? 0 : data[0] % (size + 1);
    std::string joined = " ";
    qpv::appendRendering(joined, input.substr(0, split));
    qpv::appendRendering(joined, input.substr(split));
    check(joined == echo);

    // Each step: a control byte (from the end), then up to 31 bytes (from the front). The
    // top two bits repeat the piece; 2113 x 31 characters is about twice the cap. A few
    // control bytes have a meaning of their own.
    constexpr std::array<std::size_t, 4> kRepeats = {1, 5, 97, 2113};
    FuzzedDataProvider in(data, size);
    qpv::EchoedText buffer;
    std::string received; // everything appended since the last clear, trimmed now and then
    int longSteps = 3;    // a few long texts per input keep the runs fast
    while (in.remaining_bytes() > 0) {
        const auto step = in.ConsumeIntegral<std::uint8_t>();
        if (step == 0xFF) {
            buffer.clear();
            received.clear();
            check(buffer.empty() && buffer.text().empty() && buffer.echo() == " ");
            continue;
        }
        std::string appended;
        const bool isLong = step >= 0xC0 && longSteps > 0;
        if (isLong)
            --longSteps;
        if ((step == 0xFE || step == 0xFD) && isLong) {
            // Right at the cap, where an off-by-one would show: fill the text up to it
            // exactly, or append exactly kTextCap characters.
            const std::size_t count =
                step == 0xFE ? qpv::kTextCap - buffer.text().size() : qpv::kTextCap;
            appended.assign(count, static_cast<char>(in.ConsumeIntegral<std::uint8_t>()));
        } else {
            const std::string piece = in.ConsumeBytesAsString(step & 0x1Fu);
            const std::size_t repeats = isLong ? kRepeats[3] : kRepeats[(step >> 6) % 3];
            for (std::size_t i = 0; i < repeats; ++i)
                appended += piece;
        }

        // The text arrives whole, or in seven parts that cut the copies apart.
        if ((step & 0x20u) != 0) {
            buffer.append(appended);
        } else {
            const std::size_t part = appended.size() / 7 + 1;
            for (std::size_t at = 0; at < appended.size(); at += part)
                buffer.append(std::string_view(appended).substr(at, part));
        }
        received += appended;

        check(buffer.text().size() <= qpv::kTextCap);
        check(buffer.empty() == buffer.text().empty());
        check(buffer.text().ends_with(newest(appended)));
        check(buffer.echo().ends_with(qpv::renderEcho(appended).substr(1)));
        // The full comparisons cost a rendering of the whole text; short texts get them on
        // every step, long ones after long steps and at the end.
        if (isLong || buffer.text().size() < 4096) {
            check(buffer.text() == newest(received));
            check(buffer.echo() == qpv::renderEcho(buffer.text()));
        }
        if (received.size() > 2 * qpv::kTextCap)
            received.erase(0, received.size() - qpv::kTextCap);
    }
    // Rendering the whole text at once keeps only its newest characters, like the buffer.
    check(buffer.text() == newest(received));
    check(buffer.echo() == qpv::renderEcho(buffer.text()));
    check(buffer.echo() == qpv::renderEcho(received));
    checkEcho(buffer.text(), buffer.echo());
    return 0;
}
