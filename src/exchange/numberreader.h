#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace qpv {

// Reads the number a text begins with. Blanks, tabs and line feeds are skipped wherever
// they stand. Then: an optional sign, digits with at most one decimal point, an optional
// exponent ("E" or "D", optional sign, digits); or "&H" / "&O" and a hexadecimal or octal
// integer. Reading stops at the first character that cannot continue the number. A value too
// large for a double reads as infinity; a text without a digit holds no number.
std::optional<double> readNumber(std::string_view text);

// Rounds to the nearest integer, an exact half to the even neighbour.
double roundHalfEven(double value);

// The value rounded as above, or nothing when the result does not fit 16 bits signed.
std::optional<std::int16_t> roundToInt16(double value);

} // namespace qpv
