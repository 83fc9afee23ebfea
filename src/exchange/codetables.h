#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace qpv {

// One row of a status code table: a reply code written in the echo's layout (a blank
// before every reply character) and the text the STATUS line shows for it.
struct CodeRow {
    std::string_view code;
    std::string_view text;
};

// Query "TABN   1". A one-character code comes before the two-character codes that begin
// with the same character, which override it. The rows "16", "32" and " 64" can never
// match an echo (it always begins with a blank and has a blank after each plain
// character); they are kept as the projector's manual lists them.
inline constexpr std::array kProjectorStatusTable = {
    CodeRow{" 0", " Normal"},
    CodeRow{" 1", " Temp High"},
    CodeRow{" 2", " Fan Err"},
    CodeRow{" 8", " Lamp Life 5% or less"},
    CodeRow{"16", " Lamp Burnt-out"},
    CodeRow{"32", " Lamp lgnition Failure"},
    CodeRow{" 64", " Temp Abnormally High"},
    CodeRow{" 8 0", " Stand by"},
    CodeRow{" 4 0", " Count down"},
    CodeRow{" 2 0", " Cooling down"},
    CodeRow{" 1 0", " Power Fail"},
    CodeRow{" 0 8", " Temperature Warning(Power ON)"},
    CodeRow{" 0 2", " NO Key input "},
    CodeRow{" 0 4", " Lamp OFF by PWR Management"},
    CodeRow{" 2 8", " Temperature Warning & cooling down"},
    CodeRow{" 2 4", " Lamp OFF & Tempereture Warning by PWR Management"},
    CodeRow{" 8 8", " Temperature Warning and recoverd"},
    CodeRow{" 2 1", " Cooling down (All Lamp FAIL)"},
    CodeRow{" 8 1", " Cooling down & sutandby (All Lamp FAIL)"},
};
static_assert(kProjectorStatusTable.size() == 19);

// Query "TLPS   1".
inline constexpr std::array kLampStatusTable = {
    CodeRow{" 0", " OFF"},     CodeRow{" 1", " ON"},         CodeRow{" 2", " Retry"},
    CodeRow{" 3", " Waiting"}, CodeRow{" 4", " Lamp Error"},
};
static_assert(kLampStatusTable.size() == 5);

// Query "POWR????". " Standby" here, unlike the projector status's " Stand by".
inline constexpr std::array kPowerStatusTable = {
    CodeRow{" 0", " Standby"},
    CodeRow{" 1", " ON"},
};
static_assert(kPowerStatusTable.size() == 2);

// Query "CR4".
inline constexpr std::array kOrientationTable = {
    CodeRow{" 1 1", " Normally"},
    CodeRow{" 1 0", " Top/Bottom reversal"},
    CodeRow{" 0 1", " Left/Right reversal"},
    CodeRow{" 0 0", " Top/Bottom , Left/Right reversal"},
};
static_assert(kOrientationTable.size() == 4);

// Query "CRA".
inline constexpr std::array kMuteTable = {
    CodeRow{" 0 0", " Video & Audio mute OFF"},
    CodeRow{" 0 1", " Video mute ON"},
    CodeRow{" 0 2", " Audio mute ON"},
    CodeRow{" 0 3", " Video & Audio mute ON"},
    CodeRow{" 8 0", " No signal"},
    CodeRow{" F F", " Stand by"},
};
static_assert(kMuteTable.size() == 6);

namespace detail {

// Storage for the generated lamp-mode rows; CodeRow views point into it.
struct LampModeText {
    std::array<char, 4> code{};
    std::array<char, 40> text{};
    std::size_t textSize = 0;
};

constexpr void appendTo(LampModeText& row, std::string_view s)
{
    for (char c : s)
        row.text[row.textSize++] = c;
}

// Query "CR7": a mode digit and a lamp digit, a hexadecimal 4-bit mask of lamps No1..No4.
// Within each mode the masks run: none, single lamps, pairs, triples, all.
constexpr std::array<LampModeText, 48> makeLampModeTexts()
{
    constexpr std::array<std::string_view, 3> modes = {"4 Lamp mode", "2 Lamp mode(1,4)",
                                                       "2 Lamp mode(2,3)"};
    constexpr std::array<unsigned, 16> masks = {0x0, 0x1, 0x2, 0x4, 0x8, 0x3, 0x5, 0x9,
                                                0x6, 0xA, 0xC, 0x7, 0xB, 0xD, 0xE, 0xF};
    constexpr std::string_view hexDigits = "0123456789ABCDEF";

    std::array<LampModeText, 48> rows{};
    std::size_t i = 0;
    for (std::size_t mode = 0; mode < modes.size(); ++mode) {
        for (unsigned mask : masks) {
            LampModeText& row = rows[i++];
            row.code = {' ', hexDigits[mode], ' ', hexDigits[mask]};
            appendTo(row, " ");
            if (mask == 0x0) {
                appendTo(row, "All OFF : ");
            } else if (mask == 0xF) {
                appendTo(row, "All ON  : ");
            } else {
                appendTo(row, "No");
                bool first = true;
                for (unsigned lamp = 0; lamp < 4; ++lamp) {
                    if ((mask & (1u << lamp)) == 0)
                        continue;
                    if (!first)
                        appendTo(row, ",");
                    first = false;
                    row.text[row.textSize++] = static_cast<char>('1' + lamp);
                }
                appendTo(row, " ON  : ");
            }
            appendTo(row, modes[mode]);
        }
    }
    return rows;
}

inline constexpr std::array<LampModeText, 48> kLampModeTexts = makeLampModeTexts();

constexpr std::array<CodeRow, 48> makeLampModeTable()
{
    std::array<CodeRow, 48> table{};
    for (std::size_t i = 0; i < table.size(); ++i) {
        const LampModeText& row = kLampModeTexts[i];
        table[i] = {{row.code.data(), row.code.size()}, {row.text.data(), row.textSize}};
    }
    return table;
}

} // namespace detail

inline constexpr std::array<CodeRow, 48> kLampModeTable = detail::makeLampModeTable();

} // namespace qpv
