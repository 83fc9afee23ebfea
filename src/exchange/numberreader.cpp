#include "exchange/numberreader.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace qpv {

namespace {

constexpr long kExponentLimit = 100000;

bool isSkipped(char c)
{
    return c == ' ' || c == '\t' || c == '\n';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

int digitValue(char c)
{
    if (isDigit(c))
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return 99;
}

// Hands out the characters of a text with the skipped ones left out.
class Cursor {
public:
    explicit Cursor(std::string_view text)
        : m_text(text)
    {
        skip();
    }

    bool atEnd() const { return m_pos >= m_text.size(); }
    char peek() const { return atEnd() ? '\0' : m_text[m_pos]; }
    void advance()
    {
        ++m_pos;
        skip();
    }

private:
    void skip()
    {
        while (m_pos < m_text.size() && isSkipped(m_text[m_pos]))
            ++m_pos;
    }

    std::string_view m_text;
    std::size_t m_pos = 0;
};

std::optional<double> readRadixInteger(Cursor& in, int radix)
{
    std::optional<double> value;
    for (int d = digitValue(in.peek()); !in.atEnd() && d < radix; d = digitValue(in.peek())) {
        value = value.value_or(0) * radix + d;
        in.advance();
    }
    return value;
}

// "&H" hexadecimal or "&O" octal digits after the '&'; anything else is no number.
std::optional<double> readRadixNumber(Cursor& in)
{
    in.advance();
    const char radix = in.peek();
    if (radix != 'H' && radix != 'O')
        return std::nullopt;
    in.advance();
    return readRadixInteger(in, radix == 'H' ? 16 : 8);
}

// The exponent after E or D, with its sign, saturated: anything this large is out of range
// either way. 0 when there is none.
long readExponent(Cursor& in)
{
    if (in.peek() != 'E' && in.peek() != 'D')
        return 0;
    in.advance();
    bool negative = false;
    if (in.peek() == '+' || in.peek() == '-') {
        negative = in.peek() == '-';
        in.advance();
    }
    long exponent = 0;
    for (; isDigit(in.peek()); in.advance()) {
        if (exponent < kExponentLimit)
            exponent = exponent * 10 + (in.peek() - '0');
    }
    return negative ? -exponent : exponent;
}

// The value of the digits with the decimal point before digit `pointAt`, times ten to the
// exponent: read by std::from_chars, independent of the locale.
double decimalValue(const std::string& digits, std::size_t pointAt, long exponent)
{
    // Shift the decimal point into the exponent so the text is digits 'e' exponent.
    const long scale = exponent - static_cast<long>(digits.size() - pointAt);
    const std::string number = digits + 'e' + std::to_string(scale);
    double value = 0;
    const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        // Either too large (infinity) or too small (zero): the order of magnitude tells.
        const std::size_t firstNonZero = digits.find_first_not_of('0');
        const long order = static_cast<long>(pointAt) - static_cast<long>(firstNonZero) + exponent;
        value = order > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    }
    return value;
}

} // namespace

std::optional<double> readNumber(std::string_view text)
{
    Cursor in(text);
    if (in.peek() == '&')
        return readRadixNumber(in);

    bool negative = false;
    if (in.peek() == '+' || in.peek() == '-') {
        negative = in.peek() == '-';
        in.advance();
    }
    std::string mantissa;
    std::size_t pointAt = std::string::npos;
    for (;; in.advance()) {
        const char c = in.peek();
        if (isDigit(c))
            mantissa.push_back(c);
        else if (c == '.' && pointAt == std::string::npos)
            pointAt = mantissa.size();
        else
            break;
    }
    if (mantissa.empty())
        return std::nullopt;
    if (pointAt == std::string::npos)
        pointAt = mantissa.size();
    const double value = decimalValue(mantissa, pointAt, readExponent(in));
    return negative ? -value : value;
}

double roundHalfEven(double value)
{
    const double lower = std::floor(value);
    const double fraction = value - lower;
    if (fraction < 0.5)
        return lower;
    if (fraction > 0.5)
        return lower + 1;
    return std::fmod(lower, 2.0) == 0 ? lower : lower + 1;
}

std::optional<std::int16_t> roundToInt16(double value)
{
    if (!std::isfinite(value))
        return std::nullopt;
    const double rounded = roundHalfEven(value);
    if (rounded < std::numeric_limits<std::int16_t>::min() ||
        rounded > std::numeric_limits<std::int16_t>::max())
        return std::nullopt;
    return static_cast<std::int16_t>(rounded);
}

} // namespace qpv
