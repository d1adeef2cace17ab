// GBK text as bytes: a byte from 0x81 on starts a two-byte character whose
// second byte is never below 0x40, so every ASCII byte that carries
// structure (digits, ':', ',', ';', '(', ')', '.', white space) is found by a
// plain byte scan.
#pragma once

#include <cstddef>
#include <string_view>

namespace kestro {

// The C locale's white space: space, tab, LF, VT, FF, CR.
inline bool IsSpaceByte(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// The longest start of the text that fits in `limit` bytes without ending
// inside a two-byte character.
std::string_view CutGbk(std::string_view text, std::size_t limit);

}  // namespace kestro
