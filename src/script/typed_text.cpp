#include "script/typed_text.h"

#include "script/script_language.h"

namespace kestro {
namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

// The first byte of a two-byte GBK character, when a second one follows.
bool StartsTwoBytes(std::string_view text, std::size_t i) {
  return static_cast<unsigned char>(text[i]) >= 0x81 && i + 1 < text.size();
}

bool NeedsEscape(char c) {
  auto byte = static_cast<unsigned char>(c);
  return byte < 0x21 || byte == 0x7F || c == '.' || c == ';' || c == '\\';
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// The pieces of the escaped text that may not be split: a two-byte
// character, an escape, or one plain byte.
std::vector<std::string> EscapedPieces(std::string_view text) {
  std::vector<std::string> pieces;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (StartsTwoBytes(text, i)) {
      pieces.emplace_back(text.substr(i++, 2));
      continue;
    }
    auto byte = static_cast<unsigned char>(text[i]);
    if (!NeedsEscape(text[i])) {
      pieces.emplace_back(1, text[i]);
      continue;
    }
    pieces.push_back(std::string("\\x") + kHexDigits[byte >> 4] + kHexDigits[byte & 0xF]);
  }
  return pieces;
}

}  // namespace

std::string EscapeTypedText(std::string_view text) {
  std::string escaped;
  for (const std::string& piece : EscapedPieces(text)) escaped += piece;
  return escaped;
}

std::optional<std::string> UnescapeTypedText(std::string_view written) {
  std::string text;
  for (std::size_t i = 0; i < written.size(); ++i) {
    if (StartsTwoBytes(written, i)) {
      text.append(written.substr(i++, 2));
      continue;
    }
    if (written[i] != '\\') {
      text += written[i];
      continue;
    }
    if (i + 1 < written.size() && written[i + 1] == '\\') {
      text += '\\';
      ++i;
      continue;
    }
    if (i + 3 >= written.size() || written[i + 1] != 'x') return std::nullopt;
    int high = HexValue(written[i + 2]), low = HexValue(written[i + 3]);
    if (high < 0 || low < 0 || high > 7 || (high == 0 && low == 0)) return std::nullopt;
    text += static_cast<char>(high << 4 | low);
    i += 3;
  }
  return text;
}

std::vector<std::string> TypeTextLines(std::string_view text) {
  const std::string start = std::string(KeywordOf(CommandId::TypeText)) + ':';
  const std::size_t room = kMaxScriptLineBytes - start.size() - 1;  // and the ';'
  std::vector<std::string> lines;
  std::string argument;
  for (const std::string& piece : EscapedPieces(text)) {
    if (argument.size() + piece.size() > room) {
      lines.push_back(ComposeLine(start, argument));
      argument.clear();
    }
    argument += piece;
  }
  if (!argument.empty()) lines.push_back(ComposeLine(start, argument));
  return lines;
}

std::size_t CharacterCount(std::string_view text) {
  std::size_t count = 0;
  for (std::size_t i = 0; i < text.size(); ++i, ++count) {
    if (StartsTwoBytes(text, i)) ++i;
  }
  return count;
}

}  // namespace kestro
