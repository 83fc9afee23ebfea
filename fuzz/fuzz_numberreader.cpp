// The number reader and the rounding after it: the input as text, and its first eight bytes
// as a double (so NaN, infinities and subnormals reach the rounding too).
#include "exchange/numberreader.h"
#include "fuzzcheck.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <limits>
#include <string>

using qpv::fuzz::check;

namespace {

bool isSkipped(char c) { return c == ' ' || c == '\t' || c == '\n'; }
bool isDecimalDigit(char c) { return c >= '0' && c <= '9'; }
bool isUpperHexDigit(char c) { return isDecimalDigit(c) || (c >= 'A' && c <= 'F'); }
bool isOctalDigit(char c) { return c >= '0' && c <= '7'; }

bool sameValue(double a, double b)
{
    return (std::isnan(a) && std::isnan(b)) || a == b;
}

// Whether the whole text is one decimal number: sign, digits with at most one point, and
// an optional exponent with digits. For such a text the C library's strtod is the reference.
bool isWholeDecimal(std::string_view text)
{
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    std::size_t digits = 0;
    bool point = false;
    for (; i < text.size(); ++i) {
        if (isDecimalDigit(text[i]))
            ++digits;
        else if (text[i] == '.' && !point)
            point = true;
        else
            break;
    }
    if (digits == 0)
        return false;
    if (i == text.size())
        return true;
    if (text[i] != 'E' && text[i] != 'D')
        return false;
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    return i < text.size() && std::all_of(text.begin() + static_cast<std::ptrdiff_t>(i), text.end(),
                                          isDecimalDigit);
}

void checkDecimal(std::string_view text, double value)
{
    std::string c(text);
    std::replace(c.begin(), c.end(), 'D', 'e');
    std::replace(c.begin(), c.end(), 'E', 'e');
    const double reference = std::strtod(c.c_str(), nullptr);
    if (std::isinf(reference) || std::fpclassify(reference) == FP_NORMAL) {
        check(value == reference);
    } else {
        // Zero, or below the normal range: zero or the exact subnormal value will do.
        check(value == 0 || value == reference);
    }
}

// "&H" or "&O" and nothing but digits of that radix, few enough to be exact in a double.
void checkRadix(std::string_view text, double value)
{
    if (text.size() < 3 || text[0] != '&' || (text[1] != 'H' && text[1] != 'O'))
        return;
    const bool hex = text[1] == 'H';
    const std::string_view digits = text.substr(2);
    if (!std::all_of(digits.begin(), digits.end(), hex ? isUpperHexDigit : isOctalDigit))
        return;
    if (digits.size() > (hex ? 13u : 17u))
        return;
    const std::string c(digits);
    check(value == static_cast<double>(std::strtoull(c.c_str(), nullptr, hex ? 16 : 8)));
}

void checkRounding(double value)
{
    const double rounded = qpv::roundHalfEven(value);
    const std::optional<std::int16_t> small = qpv::roundToInt16(value);
    if (!std::isfinite(value)) {
        check(!small);
        return;
    }
    // The default floating-point rounding mode rounds a half to the even neighbour.
    const double reference = std::nearbyint(value);
    check(rounded == reference);
    const bool fits = reference >= std::numeric_limits<std::int16_t>::min() &&
                      reference <= std::numeric_limits<std::int16_t>::max();
    check(small.has_value() == fits);
    if (small)
        check(static_cast<double>(*small) == rounded);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view input = qpv::fuzz::asText(data, size);
    const double value = qpv::readNumber(input);
    check(!std::isnan(value));
    checkRounding(value);

    // Blanks, tabs and line feeds are skipped wherever they stand.
    std::string packed;
    std::copy_if(input.begin(), input.end(), std::back_inserter(packed),
                 [](char c) { return !isSkipped(c); });
    check(sameValue(qpv::readNumber(packed), value));

    // Without any digit, hexadecimal ones included, the text reads as 0.
    if (std::none_of(input.begin(), input.end(), [](char c) {
            return isDecimalDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
        }))
        check(value == 0);

    // A sign in front of an unsigned number.
    if (!packed.empty() && (isDecimalDigit(packed[0]) || packed[0] == '.')) {
        check(sameValue(qpv::readNumber("+" + packed), value));
        check(sameValue(qpv::readNumber("-" + packed), -value));
    }

    if (isWholeDecimal(packed))
        checkDecimal(packed, value);
    checkRadix(packed, value);

    if (size >= sizeof(double)) {
        double raw = 0;
        std::memcpy(&raw, data, sizeof raw);
        checkRounding(raw);
    }
    return 0;
}
