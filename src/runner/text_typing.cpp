#include "platform/text_encoding.h"
#include "runner/line_commands.h"
#include "runner/line_fields.h"
#include "script/line_costs.h"
#include "script/typed_text.h"

namespace kestro {
namespace {

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

}  // namespace

// The text runs to the ';' that must end it, with its escapes; an empty
// text types nothing and is as malformed as an empty key.
void ExecuteTypeText(const ScriptLineParts& parts, Input& input, MainWindow& window, Pacer& pacer) {
  std::size_t end = parts.argument.find(';');
  std::optional<std::string> text = end == std::string_view::npos
                                        ? std::nullopt
                                        : UnescapeTypedText(parts.argument.substr(0, end));
  if (!text || text->empty()) {
    return ShowScriptError(window, pacer, CommandId::TypeText, parts.firstWord);
  }
  std::u16string units = Utf16FromGbk(*text);
  for (std::size_t i = 0; i < units.size();) {
    if (i > 0) pacer.Wait(kTypingPaceMs);
    // A character beyond the first 65,536 is two units, typed together.
    std::size_t count =
        IsHighSurrogate(units[i]) && i + 1 < units.size() && IsLowSurrogate(units[i + 1]) ? 2 : 1;
    for (std::size_t k = i; k < i + count; ++k) {
      input.UnicodeKeyEvent(units[k], false);
      input.UnicodeKeyEvent(units[k], true);
    }
    pacer.InputReturned();
    i += count;
  }
}

}  // namespace kestro
