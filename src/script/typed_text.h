// The text of a "输入文字" line and how it is written. A line cannot hold
// every character as it is: the line reader ends a line's first word at a
// blank (or any whitespace) and the argument at ';', and the file loader
// drops blanks and line ends and ends a line at '.'. Those characters, the
// other ASCII control characters and the backslash that escapes are
// written "\xHH", the character's two hexadecimal digits ("\x20" a blank,
// "\x2E" a '.', "\x3B" a ';'); a backslash may also be written "\\".
// Everything is GBK bytes; a two-byte character is never taken apart,
// although its second byte may be a '\'.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestro {

// The most bytes a script line holds.
inline constexpr std::size_t kMaxScriptLineBytes = 63;

// The text as a line's argument writes it.
std::string EscapeTypedText(std::string_view text);
// The text an argument writes; nothing when an escape is malformed: a '\'
// followed by neither '\' nor "x" and two hexadecimal digits of an ASCII
// character (01 to 7F).
std::optional<std::string> UnescapeTypedText(std::string_view written);
// The "输入文字" lines that type the text one after another, each within
// kMaxScriptLineBytes; no character and no escape is split between two.
std::vector<std::string> TypeTextLines(std::string_view text);

// How many characters a GBK text holds: two-byte characters count once.
std::size_t CharacterCount(std::string_view text);

}  // namespace kestro
