#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace qpv {

// The longest text the echo renders and the receive buffer keeps. The rendering counts
// characters in a 16-bit signed integer; beyond this length the newest characters win.
inline constexpr std::size_t kTextCap = 32767;

inline constexpr char kCarriageReturn = '\r';

// A command as it goes down the line: the prefix, the command, one carriage return.
std::string frameCommand(std::string_view prefix, std::string_view command);

// The visible form of a sent or received text: one blank, then each character's rendering
// (control characters written out, plain characters followed by a blank). Only the last
// kTextCap characters of a longer text are rendered.
std::string renderEcho(std::string_view text);

// Appends the rendering of each character of the text (without the leading blank).
void appendRendering(std::string& echo, std::string_view text);

// A received text together with its echo, kept up to date as the text grows: an arrival
// renders only its own characters, however long the text already is. The text keeps only
// its newest kTextCap characters, and the echo always equals renderEcho(text()).
class EchoedText {
public:
    std::string_view text() const { return std::string_view(m_text).substr(m_textStart); }
    std::string_view echo() const { return std::string_view(m_echo).substr(m_echoStart); }
    bool empty() const { return text().empty(); }

    void append(std::string_view piece);
    void clear();

private:
    // At the cap the oldest characters leave by moving the start on, so an arrival copies
    // only itself; what has left is given back once it outweighs what stays.
    std::string m_text;
    std::size_t m_textStart = 0;
    std::string m_echo = " ";
    std::size_t m_echoStart = 0; // where the echo's leading blank is
};

} // namespace qpv
