#include "exchange/echo.h"

#include <array>
#include <cstdint>

namespace qpv {

namespace {

// The rendering of one character code. Built once at compile time from the rendering
// rules, tested in their order, so that rendering a text is one lookup per character.
struct Glyph {
    std::array<char, 4> text{};
    std::uint8_t size = 0;

    constexpr std::string_view view() const { return {text.data(), size}; }
};

constexpr Glyph glyphFrom(std::string_view s)
{
    Glyph g;
    for (char c : s)
        g.text[g.size++] = c;
    return g;
}

constexpr Glyph renderCode(unsigned code)
{
    if (code == 6)
        return glyphFrom("ACK ");
    if (code == 20)
        return glyphFrom("&");
    if (code == 13)
        return glyphFrom("CR ");
    if (code == 10)
        return glyphFrom("LF ");
    if (code < 32)
        return glyphFrom("? ");
    if (code <= 122) {
        Glyph g;
        g.text[0] = static_cast<char>(code);
        g.text[1] = ' ';
        g.size = 2;
        return g;
    }
    return glyphFrom("? ");
}

constexpr std::array<Glyph, 256> makeGlyphs()
{
    std::array<Glyph, 256> glyphs{};
    for (unsigned code = 0; code < glyphs.size(); ++code)
        glyphs[code] = renderCode(code);
    return glyphs;
}

constexpr std::array<Glyph, 256> kGlyphs = makeGlyphs();

static_assert(kGlyphs[6].view() == "ACK ");
static_assert(kGlyphs[20].view() == "&");
static_assert(kGlyphs['z'].view() == "z ");
static_assert(kGlyphs['{'].view() == "? ");

} // namespace

std::string frameCommand(std::string_view prefix, std::string_view command)
{
    std::string frame;
    frame.reserve(prefix.size() + command.size() + 1);
    frame.append(prefix).append(command).push_back(kCarriageReturn);
    return frame;
}

std::string renderEcho(std::string_view text)
{
    if (text.size() > kTextCap)
        text.remove_prefix(text.size() - kTextCap);

    std::string echo;
    echo.reserve(1 + 2 * text.size());
    echo.push_back(' ');
    for (char c : text)
        echo.append(kGlyphs[static_cast<unsigned char>(c)].view());
    return echo;
}

void appendCapped(std::string& buffer, std::string_view piece)
{
    if (piece.size() >= kTextCap) {
        buffer.assign(piece.substr(piece.size() - kTextCap));
        return;
    }
    const std::size_t total = buffer.size() + piece.size();
    if (total > kTextCap)
        buffer.erase(0, total - kTextCap);
    buffer.append(piece);
}

} // namespace qpv
