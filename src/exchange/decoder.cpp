#include "exchange/decoder.h"

#include "exchange/echo.h"
#include "exchange/numberreader.h"

#include <array>
#include <limits>

namespace qpv {

namespace {

// The text a code table gives for an echo: every row whose code the echo begins with writes
// its text, and the last one stays.
std::optional<std::string_view> lookUpCode(std::span<const CodeRow> table, std::string_view echo)
{
    std::optional<std::string_view> text;
    for (const CodeRow& row : table) {
        if (echo.starts_with(row.code))
            text = row.text;
    }
    return text;
}

// Tried in this order; at most one frame can equal the command last sent.
constexpr std::array kDecoders = {
    DecoderEntry{"TABN   1", DecoderKind::CodeTable, kProjectorStatusTable},
    DecoderEntry{"TLPS   1", DecoderKind::CodeTable, kLampStatusTable},
    DecoderEntry{"POWR????", DecoderKind::CodeTable, kPowerStatusTable},
    DecoderEntry{"CR4", DecoderKind::CodeTable, kOrientationTable},
    DecoderEntry{"TLTT   1", DecoderKind::LampHours, {}},
    DecoderEntry{"CR6", DecoderKind::Temperatures, {}},
    DecoderEntry{"CRA", DecoderKind::CodeTable, kMuteTable},
    DecoderEntry{"CR9", DecoderKind::EchoCopy, {}},
    DecoderEntry{"CR PRESSURE", DecoderKind::Pressure, {}},
    DecoderEntry{"CR7", DecoderKind::CodeTable, kLampModeTable},
};
static_assert(kDecoders.size() == 10);

bool isFrameOf(std::string_view prefix, std::string_view query, std::string_view txCommand)
{
    return txCommand.size() == prefix.size() + query.size() + 1 && txCommand.starts_with(prefix) &&
           txCommand.substr(prefix.size(), query.size()) == query &&
           txCommand.back() == kCarriageReturn;
}

// Characters [first, first + count) of the echo, counted from 1; fewer where it is shorter.
std::string_view echoPositions(std::string_view echo, std::size_t first, std::size_t count)
{
    if (echo.size() < first)
        return {};
    return echo.substr(first - 1, count);
}

std::string lampHours(std::string_view echo)
{
    std::string text(echoPositions(echo, 1, 38));
    return text += " Hour Use";
}

std::string temperatures(std::string_view echo)
{
    std::string text = "  S1=";
    text += echoPositions(echo, 1, 10);
    text += " C  ,   S2= ";
    text += echoPositions(echo, 15, 8);
    return text += " C";
}

// The reading of a 10-bit, 5-volt pressure sensor in hPa: volts = reading * 5 / 1024,
// hPa = (volts - 0.204) / 0.00459 + 150. A reply with no number ("ERR") is no reading, and a
// reading, or reading * 5, that does not fit 16 bits signed gives nothing rather than a
// wrapped value.
std::optional<std::int16_t> pressureFrom(std::string_view echo)
{
    const std::optional<double> number = readNumber(echo);
    const std::optional<std::int16_t> reading = number ? roundToInt16(*number) : std::nullopt;
    if (!reading)
        return std::nullopt;
    const int product = *reading * 5;
    if (product < std::numeric_limits<std::int16_t>::min() ||
        product > std::numeric_limits<std::int16_t>::max())
        return std::nullopt;
    const double volts = static_cast<double>(product) / 1024;
    return roundToInt16((volts - 0.204) / 0.00459 + 150);
}

} // namespace

const DecoderEntry* chooseDecoder(std::string_view prefix, std::string_view txCommand)
{
    for (const DecoderEntry& entry : kDecoders) {
        if (isFrameOf(prefix, entry.query, txCommand))
            return &entry;
    }
    return nullptr;
}

std::optional<std::string> decodeReply(std::string_view prefix, std::string_view txCommand,
                                       std::string_view echo)
{
    const DecoderEntry* entry = chooseDecoder(prefix, txCommand);
    if (!entry)
        return std::nullopt;

    switch (entry->kind) {
    case DecoderKind::CodeTable:
        if (const auto text = lookUpCode(entry->table, echo))
            return std::string(*text);
        return std::nullopt;
    case DecoderKind::LampHours:
        return lampHours(echo);
    case DecoderKind::Temperatures:
        return temperatures(echo);
    case DecoderKind::EchoCopy:
        return std::string(echo);
    case DecoderKind::Pressure:
        if (const auto hPa = pressureFrom(echo))
            return std::to_string(*hPa) + " hPa";
        return std::nullopt;
    }
    return std::nullopt;
}

} // namespace qpv
