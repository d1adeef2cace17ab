// Every thread the program starts: the runner, the update check, the home
// page, the recording's hooks. Nobody joins them; one that must be waited
// for says when it is done through an event of its own.
#pragma once

#include <functional>

namespace kestro {

// Starts the body on a new thread; false, without throwing, when the system
// cannot start one.
bool StartThread(std::function<void()> body);

}  // namespace kestro
