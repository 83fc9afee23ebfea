// Reply decoding: the input as the reply to each of the ten status queries, and as the
// command last sent or the command prefix, so arbitrary commands meet the decoder choice.
#include "exchange/decoder.h"
#include "exchange/echo.h"
#include "exchange/numberreader.h"
#include "fuzzcheck.h"

#include <algorithm>
#include <array>
#include <limits>
#include <string>

using qpv::fuzz::check;

namespace {

constexpr std::array<std::string_view, 10> kQueries = {
    "TABN   1", "TLPS   1", "POWR????", "CR4", "TLTT   1",
    "CR6",      "CRA",      "CR9",      "CR PRESSURE", "CR7",
};

// What one decoded reply may be, given the decoder chosen for it and the echo it read.
void checkUpdate(const qpv::DecoderEntry* entry, const std::optional<qpv::StatusUpdate>& update,
                 std::string_view echo)
{
    if (!entry) {
        check(!update);
        return;
    }
    if (entry->kind == qpv::DecoderKind::CodeTable) {
        // The text of the last row whose code the echo begins with, or nothing.
        const auto last = std::find_if(entry->table.rbegin(), entry->table.rend(),
                                       [&](const qpv::CodeRow& row) {
                                           return echo.starts_with(row.code);
                                       });
        if (last == entry->table.rend()) {
            check(!update);
        } else {
            check(update && update->text == last->text);
            check(std::any_of(entry->table.begin(), entry->table.end(),
                              [&](const qpv::CodeRow& row) { return row.text == update->text; }));
        }
    }
    if (!update)
        return;
    check(entry->kind == qpv::DecoderKind::Pressure || !update->pressureValue);
    const std::string& text = update->text;
    switch (entry->kind) {
    case qpv::DecoderKind::CodeTable:
        break;
    case qpv::DecoderKind::LampHours:
        check(text == std::string(echo.substr(0, 38)) + " Hour Use");
        break;
    case qpv::DecoderKind::Temperatures:
        check(text.starts_with("  S1=") && text.ends_with(" C"));
        check(text.size() <= 5 + 10 + 12 + 8 + 2);
        break;
    case qpv::DecoderKind::EchoCopy:
        check(text == echo);
        break;
    case qpv::DecoderKind::Pressure: {
        check(update->pressureValue.has_value());
        // "<value> hPa", the value as a 16-bit signed integer in plain digits.
        check(text == std::to_string(*update->pressureValue) + " hPa");
        // A reading, or the reading x 5, beyond 16 bits shows no pressure at all.
        const std::optional<std::int16_t> reading = qpv::roundToInt16(qpv::readNumber(echo));
        check(reading.has_value());
        const int timesFive = *reading * 5;
        check(timesFive >= std::numeric_limits<std::int16_t>::min() &&
              timesFive <= std::numeric_limits<std::int16_t>::max());
        break;
    }
    }
}

void decodeAndCheck(std::string_view prefix, std::string_view txCommand, std::string_view echo)
{
    const qpv::DecoderEntry* entry = qpv::chooseDecoder(prefix, txCommand);
    check(!entry || qpv::frameCommand(prefix, entry->query) == txCommand);
    checkUpdate(entry, qpv::decodeReply(prefix, txCommand, echo), echo);
}

// An arbitrary command: the decoder of the query whose frame it is, and none for any other.
void checkChoice(std::string_view prefix, std::string_view txCommand)
{
    const qpv::DecoderEntry* entry = qpv::chooseDecoder(prefix, txCommand);
    for (const std::string_view query : kQueries)
        check((qpv::frameCommand(prefix, query) == txCommand) == (entry && entry->query == query));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view input = qpv::fuzz::asText(data, size);
    const std::string echo = qpv::renderEcho(input);

    for (const std::string_view query : kQueries) {
        // The buttons' queries go out with the panel's empty prefix.
        const std::string frame = qpv::frameCommand("", query);
        const qpv::DecoderEntry* entry = qpv::chooseDecoder("", frame);
        check(entry && entry->query == query);
        decodeAndCheck("", frame, echo);
        // The decoder reads whatever echo it is given, rendered or not.
        decodeAndCheck("", frame, input);

        // Any prefix: the query behind it is still the one recognised.
        const std::string prefixed = qpv::frameCommand(input, query);
        const qpv::DecoderEntry* behindPrefix = qpv::chooseDecoder(input, prefixed);
        check(behindPrefix && behindPrefix->query == query);
        decodeAndCheck(input, prefixed, echo);
    }

    // The input as the command last sent, as the prefix, and as both.
    checkChoice("", input);
    decodeAndCheck("", input, echo);
    checkChoice(input, "");
    decodeAndCheck(input, "", echo);
    // A frame is longer than its prefix, so a command equal to the prefix chooses nothing.
    check(!qpv::chooseDecoder(input, input) && !qpv::decodeReply(input, input, echo));
    if (size > 0) {
        checkChoice(input.substr(0, data[0] % size), input);
        decodeAndCheck(input.substr(0, data[0] % size), input, echo);
    }
    return 0;
}
