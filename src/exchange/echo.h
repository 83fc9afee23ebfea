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

// Appends a received piece to the buffer, keeping only its last kTextCap characters.
void appendCapped(std::string& buffer, std::string_view piece);

} // namespace qpv
