#include "runner/line_fields.h"

#include <string>

#include "text/system_texts.h"

namespace kestro {
namespace {

constexpr std::size_t kMaxDigits = 31;

}  // namespace

std::optional<std::uint32_t> ReadNumberField(std::string_view text, std::size_t& pos,
                                             char delimiter) {
  std::uint64_t value = 0;
  std::size_t digits = 0;
  for (; pos < text.size(); ++pos) {
    char c = text[pos];
    if (c == delimiter) {
      ++pos;
      return static_cast<std::uint32_t>(value);
    }
    if (c < '0' || c > '9' || ++digits > kMaxDigits) return std::nullopt;
    value = value * 10 + static_cast<std::uint64_t>(c - '0');
    if (value > kLargestNumber) return std::nullopt;
  }
  return std::nullopt;
}

std::optional<int> ReadSignedField(std::string_view text, std::size_t& pos, char delimiter) {
  bool negative = pos < text.size() && text[pos] == '-';
  if (negative && (++pos >= text.size() || text[pos] < '0' || text[pos] > '9')) return std::nullopt;
  auto magnitude = ReadNumberField(text, pos, delimiter);
  if (!magnitude) return std::nullopt;
  int value = static_cast<int>(*magnitude);
  return negative ? -value : value;
}

void ShowScriptError(MainWindow& window, Pacer& pacer, CommandId id, std::string_view firstWord) {
  std::string caption(KeywordOf(id));
  caption += text::kScriptErrorSuffix;
  window.ShowMessage(BoxOwner::MainWindow, firstWord, caption, kBoxIconWarning);
  pacer.Resync();
}

}  // namespace kestro
