// How a recorded key is written in a key line: named keys by their name in
// parentheses, others by the character they type, and some not at all.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/input.h"
#include "recorder/conversion_settings.h"

namespace kestro {

// Left and right Shift, Ctrl and Alt as the one key each that the key table
// names; every other key as it is.
std::uint8_t GenericKey(std::uint8_t virtualKey);

// Shift, Ctrl and Alt as hotkey modifier flags (4, 2, 1), either Windows key
// as 8; 0 for every other key.
int ModifierFlagOf(std::uint8_t genericKey);

// The argument of a key line for the key: "(name)" for a key of the key
// table, else the single character the key types without Shift. Nothing for
// keys the language cannot express: no name, no character, or a character
// that cannot stand alone in a line (';' ends the argument, '(' opens a
// name, blanks end the line's first word, non-ASCII bytes are no character
// of their own).
std::optional<std::string> KeyArgument(std::uint8_t genericKey, const KeyCharacters& characters);

// The table of unshifted characters, made from the same character-to-key
// lookup a run uses, so every character written plays back as its key.
KeyCharacters KeyCharactersOf(Input& input);

}  // namespace kestro
