#include "text/ini_profile.h"

#include <cstddef>
#include <cstdint>
#include <optional>

namespace kestro {
namespace {

constexpr std::size_t kNone = std::string_view::npos;

enum class Encoding { Ansi, Utf8, Utf16Le, Utf16Be };

// A file as its signature and its text in code units: bytes for ANSI and
// UTF-8, 16-bit units for UTF-16 (plus an odd last byte, kept as it was).
struct DecodedFile {
  Encoding encoding = Encoding::Ansi;
  std::string signature;
  std::string bytes;
  std::u16string units;
  std::string strayByte;
};

DecodedFile Decode(std::string_view file) {
  DecodedFile decoded;
  auto startsWith = [file](std::string_view signature) {
    return file.substr(0, signature.size()) == signature;
  };
  if (startsWith("\xEF\xBB\xBF")) {
    decoded.encoding = Encoding::Utf8;
    decoded.signature = file.substr(0, 3);
    decoded.bytes = file.substr(3);
    return decoded;
  }
  bool littleEndian = startsWith("\xFF\xFE");
  if (!littleEndian && !startsWith("\xFE\xFF")) {
    decoded.bytes = file;
    return decoded;
  }
  decoded.encoding = littleEndian ? Encoding::Utf16Le : Encoding::Utf16Be;
  decoded.signature = file.substr(0, 2);
  std::string_view body = file.substr(2);
  for (std::size_t i = 0; i + 1 < body.size(); i += 2) {
    auto first = static_cast<unsigned char>(body[i]);
    auto second = static_cast<unsigned char>(body[i + 1]);
    decoded.units.push_back(
        static_cast<char16_t>(littleEndian ? first | second << 8 : first << 8 | second));
  }
  if (body.size() % 2) decoded.strayByte = body.substr(body.size() - 1);
  return decoded;
}

std::string Encode(const DecodedFile& decoded) {
  std::string file = decoded.signature;
  switch (decoded.encoding) {
    case Encoding::Ansi:
    case Encoding::Utf8:
      return file + decoded.bytes;
    case Encoding::Utf16Le:
    case Encoding::Utf16Be:
      break;
  }
  bool littleEndian = decoded.encoding == Encoding::Utf16Le;
  for (char16_t unit : decoded.units) {
    char low = static_cast<char>(unit & 0xFF);
    char high = static_cast<char>(unit >> 8);
    file += littleEndian ? low : high;
    file += littleEndian ? high : low;
  }
  return file + decoded.strayByte;
}

unsigned Unit(char c) { return static_cast<unsigned char>(c); }
unsigned Unit(char16_t c) { return c; }

// The platform's blanks: tab, LF, VT, FF, CR, ^Z (DOS end of file), space.
bool IsBlank(unsigned unit) {
  return (unit >= 0x09 && unit <= 0x0D) || unit == 0x1A || unit == 0x20;
}

unsigned FoldAscii(unsigned unit) { return unit >= 'A' && unit <= 'Z' ? unit + ('a' - 'A') : unit; }

template <class Char>
using View = std::basic_string_view<Char>;

template <class Char>
View<Char> TrimLeft(View<Char> text) {
  while (!text.empty() && IsBlank(Unit(text.front()))) text.remove_prefix(1);
  return text;
}

template <class Char>
View<Char> TrimRight(View<Char> text) {
  while (!text.empty() && IsBlank(Unit(text.back()))) text.remove_suffix(1);
  return text;
}

template <class Char>
View<Char> Trim(View<Char> text) {
  return TrimRight(TrimLeft(text));
}

// The platform keeps names and values as C strings, so a NUL ends them.
template <class Char>
View<Char> UpToNul(View<Char> text) {
  std::size_t nul = text.find(Char(0));
  return nul == kNone ? text : text.substr(0, nul);
}

// GBK text as code units of the file; in a UTF-16 file a non-ASCII byte
// has no meaning of its own and becomes U+FFFD.
template <class Char>
std::basic_string<Char> Units(std::string_view gbk) {
  std::basic_string<Char> units;
  for (char c : gbk) {
    unsigned byte = Unit(c);
    units.push_back(sizeof(Char) == 1 || byte < 0x80 ? static_cast<Char>(byte) : Char(0xFFFD));
  }
  return units;
}

template <class Char>
bool SameName(View<Char> name, std::string_view wanted) {
  name = UpToNul(name);
  if (name.size() != wanted.size()) return false;
  for (std::size_t i = 0; i < name.size(); ++i) {
    unsigned byte = Unit(wanted[i]);
    if (sizeof(Char) > 1 && byte >= 0x80) return false;
    if (FoldAscii(Unit(name[i])) != FoldAscii(byte)) return false;
  }
  return true;
}

// The last ']' of a line. In ANSI (GBK) text a two-byte character can end in
// the byte of ']', so those pairs are stepped over as a whole.
template <class Char>
std::size_t LastClosingBracket(View<Char> line, bool doubleByte) {
  std::size_t found = kNone;
  for (std::size_t i = 0; i < line.size(); ++i) {
    unsigned unit = Unit(line[i]);
    if (unit == ']') found = i;
    bool lead = unit >= 0x81 && unit <= 0xFE;
    if (doubleByte && lead && i + 1 < line.size()) {
      unsigned trail = Unit(line[i + 1]);
      if (trail >= 0x40 && trail <= 0xFE && trail != 0x7F) ++i;
    }
  }
  return found;
}

// One line: its content runs from start to end, its line end up to next.
struct Line {
  std::size_t start = 0;
  std::size_t end = 0;
  std::size_t next = 0;
};

template <class Char>
Line LineAt(View<Char> text, std::size_t start) {
  Line line{start, start, start};
  while (line.end < text.size() && text[line.end] != Char('\r') && text[line.end] != Char('\n')) {
    ++line.end;
  }
  line.next = line.end;
  if (line.next < text.size() && text[line.next] == Char('\r')) ++line.next;
  if (line.next < text.size() && text[line.next] == Char('\n')) ++line.next;
  return line;
}

enum class LineKind { Blank, Section, Entry };

template <class Char>
struct ParsedLine {
  LineKind kind = LineKind::Blank;
  View<Char> name;  // section or key name
  bool hasValue = false;
  View<Char> value;
};

template <class Char>
ParsedLine<Char> Parse(View<Char> content, bool doubleByte) {
  View<Char> line = Trim(content);
  if (line.empty()) return {};
  if (line.front() == Char('[')) {
    std::size_t close = LastClosingBracket(line, doubleByte);
    if (close != kNone) return {LineKind::Section, Trim(line.substr(1, close - 1))};
  }
  std::size_t equals = line.find(Char('='));
  if (equals == kNone) return {LineKind::Entry, line};
  return {LineKind::Entry, TrimRight(line.substr(0, equals)), true,
          TrimLeft(line.substr(equals + 1))};
}

template <class Char>
struct Lookup {
  bool sectionFound = false;
  Line anchor;  // the section's last non-blank line, where a new key goes
  bool keyFound = false;
  Line keyLine;
  ParsedLine<Char> key;
};

// Searches the first section of the name only, as the platform does: a key
// that sits only in a later section of the same name is not found.
template <class Char>
Lookup<Char> Find(View<Char> text, bool doubleByte, std::string_view section,
                  std::string_view key) {
  Lookup<Char> lookup;
  for (std::size_t start = 0; start < text.size();) {
    Line line = LineAt(text, start);
    start = line.next;
    ParsedLine<Char> parsed = Parse(text.substr(line.start, line.end - line.start), doubleByte);
    switch (parsed.kind) {
      case LineKind::Blank:
        break;
      case LineKind::Section:
        if (lookup.sectionFound) return lookup;
        lookup.sectionFound = SameName(parsed.name, section);
        lookup.anchor = line;
        break;
      case LineKind::Entry:
        if (!lookup.sectionFound) break;
        lookup.anchor = line;
        if (!SameName(parsed.name, key)) break;
        lookup.keyFound = true;
        lookup.keyLine = line;
        lookup.key = parsed;
        return lookup;
    }
  }
  return lookup;
}

int DigitValue(unsigned unit) {
  if (unit >= '0' && unit <= '9') return static_cast<int>(unit - '0');
  if (unit >= 'A' && unit <= 'Z') return static_cast<int>(unit - 'A' + 10);
  if (unit >= 'a' && unit <= 'z') return static_cast<int>(unit - 'a' + 10);
  return -1;
}

// The value as GetPrivateProfileInt sees it: copied into a 30-unit buffer
// with one pair of enclosing quotes removed, then converted with base 0.
template <class Char>
int IntFromValue(View<Char> value, int fallback) {
  value = UpToNul(value);
  Char first = value.empty() ? Char(0) : value.front();
  bool quoted =
      value.size() >= 2 && (first == Char('\'') || first == Char('"')) && value.back() == first;
  View<Char> rest = quoted ? value.substr(1) : value;
  View<Char> text = rest.substr(0, 29);
  // The closing quote goes only when it was copied, else the last unit that was.
  if (quoted && rest.size() <= 30) text.remove_suffix(1);
  if (text.empty()) return fallback;

  std::size_t i = 0;
  while (i < text.size() && Unit(text[i]) <= ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == Char('+') || text[i] == Char('-'))) {
    negative = text[i] == Char('-');
    ++i;
  }
  int base = 10;
  if (text.size() - i >= 2 && text[i] == Char('0')) {
    unsigned prefix = Unit(text[i + 1]);
    if (prefix == 'b') base = 2;
    if (prefix == 'o') base = 8;
    if (prefix == 'x') base = 16;
    if (base != 10) i += 2;
  }
  std::uint32_t total = 0;
  for (; i < text.size(); ++i) {
    int digit = DigitValue(Unit(text[i]));
    if (digit < 0 || digit >= base) break;
    total = total * static_cast<std::uint32_t>(base) + static_cast<std::uint32_t>(digit);
  }
  if (negative) total = 0u - total;
  return static_cast<int>(total);
}

template <class Char>
int ReadInt(View<Char> text, bool doubleByte, std::string_view section, std::string_view key,
            int fallback) {
  Lookup<Char> lookup = Find(text, doubleByte, section, key);
  if (!lookup.keyFound || !lookup.key.hasValue) return fallback;
  return IntFromValue(lookup.key.value, fallback);
}

// Nothing when the key already holds the value, else the whole new text.
template <class Char>
std::optional<std::basic_string<Char>> Write(std::basic_string<Char> text, bool doubleByte,
                                             std::string_view section, std::string_view key,
                                             std::string_view value) {
  const std::basic_string<Char> lineEnd = Units<Char>("\r\n");
  const std::basic_string<Char> newValue = Units<Char>(value);
  Lookup<Char> lookup = Find(View<Char>(text), doubleByte, section, key);
  if (lookup.keyFound) {
    if (lookup.key.hasValue && UpToNul(lookup.key.value) == View<Char>(newValue)) {
      return std::nullopt;
    }
    std::basic_string<Char> line(UpToNul(lookup.key.name));
    line += Char('=');
    line += newValue;
    text.replace(lookup.keyLine.start, lookup.keyLine.end - lookup.keyLine.start, line);
    return text;
  }
  std::basic_string<Char> entry = Units<Char>(key) + Char('=') + newValue + lineEnd;
  if (lookup.sectionFound) {
    bool anchorEnded = lookup.anchor.next > lookup.anchor.end;
    text.insert(lookup.anchor.next, anchorEnded ? entry : lineEnd + entry);
    return text;
  }
  if (!text.empty() && text.back() != Char('\r') && text.back() != Char('\n')) text += lineEnd;
  text += Char('[') + Units<Char>(section) + Char(']') + lineEnd + entry;
  return text;
}

}  // namespace

int IniReadInt(std::string_view file, std::string_view section, std::string_view key,
               int fallback) {
  DecodedFile decoded = Decode(file);
  section = Trim(section);
  key = Trim(key);
  switch (decoded.encoding) {
    case Encoding::Ansi:
    case Encoding::Utf8:
      return ReadInt(std::string_view(decoded.bytes), decoded.encoding == Encoding::Ansi, section,
                     key, fallback);
    case Encoding::Utf16Le:
    case Encoding::Utf16Be:
      return ReadInt(std::u16string_view(decoded.units), false, section, key, fallback);
  }
  return fallback;
}

std::string IniWriteString(std::string_view file, std::string_view section, std::string_view key,
                           std::string_view value) {
  DecodedFile decoded = Decode(file);
  section = Trim(section);
  key = Trim(key);
  value = TrimLeft(value);
  switch (decoded.encoding) {
    case Encoding::Ansi:
    case Encoding::Utf8: {
      auto text = Write(decoded.bytes, decoded.encoding == Encoding::Ansi, section, key, value);
      if (!text) return std::string(file);
      decoded.bytes = std::move(*text);
      return Encode(decoded);
    }
    case Encoding::Utf16Le:
    case Encoding::Utf16Be: {
      auto text = Write(decoded.units, false, section, key, value);
      if (!text) return std::string(file);
      decoded.units = std::move(*text);
      return Encode(decoded);
    }
  }
  return std::string(file);
}

}  // namespace kestro
