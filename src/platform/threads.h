// Threads that nobody joins: the runner, the update check, the home page.
#pragma once

#include <functional>

namespace kestro {

// Starts the body on a new thread; false, without throwing, when the system
// cannot start one.
bool StartThread(std::function<void()> body);

}  // namespace kestro
