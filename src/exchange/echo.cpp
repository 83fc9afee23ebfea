#include "exchange/echo.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <utility>

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
    std::string echo(" ");
    appendRendering(echo, text);
    return echo;
}

void appendRendering(std::string& echo, std::string_view text)
{
    // Size first, then copy: one allocation and no per-character capacity checks. Every
    // glyph is copied whole (four bytes), so the string has room for the last one's tail.
    std::size_t size = 0;
    for (char c : text)
        size += kGlyphs[static_cast<unsigned char>(c)].size;
    const std::size_t start = echo.size();
    echo.resize(start + size + kGlyphs[0].text.size());
    char* out = echo.data() + start;
    for (char c : text) {
        const Glyph& glyph = kGlyphs[static_cast<unsigned char>(c)];
        std::memcpy(out, glyph.text.data(), glyph.text.size());
        out += glyph.size;
    }
    echo.resize(start + size);
}

void EchoedText::append(std::string_view piece)
{
    if (piece.size() >= kTextCap) {
        m_text.assign(piece.substr(piece.size() - kTextCap));
        m_echo = renderEcho(m_text);
        m_textStart = m_echoStart = 0;
        return;
    }
    const std::size_t total = text().size() + piece.size();
    if (total > kTextCap) {
        // The oldest characters leave the text, and their renderings leave the echo; the
        // last character they leave becomes the echo's leading blank.
        const std::size_t dropped = total - kTextCap;
        std::size_t droppedEcho = 0;
        for (char c : text().substr(0, dropped))
            droppedEcho += kGlyphs[static_cast<unsigned char>(c)].size;
        m_textStart += dropped;
        m_echoStart += droppedEcho;
        m_echo[m_echoStart] = ' ';
        if (m_textStart > kTextCap) {
            m_text.erase(0, std::exchange(m_textStart, 0));
            m_echo.erase(0, std::exchange(m_echoStart, 0));
        }
    }
    m_text.append(piece);
    appendRendering(m_echo, piece);
}

void EchoedText::clear()
{
    m_text.clear();
    m_echo.assign(1, ' '); // the leading blank stays
    m_textStart = m_echoStart = 0;
}

} // namespace qpv
