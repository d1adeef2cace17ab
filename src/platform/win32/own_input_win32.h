// The mark this program puts in the extra information of the input it
// synthesises (mouse_event, keybd_event), so that its own input hooks can
// tell a script run's input from the user's.
#pragma once

#include <cstdint>

namespace kestro {

constexpr std::uintptr_t kOwnInputMarker = 0x4B455354;  // "KEST"

}  // namespace kestro
