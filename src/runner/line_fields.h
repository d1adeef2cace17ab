// What the lines of every command share when they run: the fields of an
// argument, and the box that reports a malformed line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/main_window.h"
#include "runner/pacer.h"
#include "script/script_language.h"

namespace kestro {

// Reads decimal digits from `pos` up to `delimiter` and leaves `pos` after
// it. Any other byte, the end of the text, more than 31 digits or a value
// above 2147483647 make the field malformed. No digits read as 0.
std::optional<std::uint32_t> ReadNumberField(std::string_view text, std::size_t& pos,
                                             char delimiter);
// A number that may have a '-' before its digits (a coordinate left of or
// above the primary screen); a '-' without digits after it is malformed.
std::optional<int> ReadSignedField(std::string_view text, std::size_t& pos, char delimiter);

// The error box of a malformed line: its first word as text, the command
// word and the error suffix as caption. The box holds the run for as long
// as the user takes, so the next wait counts from its end.
void ShowScriptError(MainWindow& window, Pacer& pacer, CommandId id, std::string_view firstWord);

}  // namespace kestro
