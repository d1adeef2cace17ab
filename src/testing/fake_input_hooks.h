// Input hooks for tests: a recording's events are set beforehand and come
// back from Stop, as if the user had made them in between.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/input_hooks.h"

namespace kestro {

class FakeInputHooks : public InputHooks {
 public:
  bool Start(std::function<void()> onLost) override {
    calls.push_back("start");
    installed = !refuse;
    lost = installed ? std::move(onLost) : nullptr;
    return installed;
  }
  HookCapture Stop() override {
    calls.push_back("stop");
    installed = false;
    return capture;
  }
  std::uint32_t DoubleClickTimeMs() override { return doubleClickTimeMs; }

  HookCapture capture;  // what Stop returns
  bool refuse = false;  // Start fails, as when the system refuses the hooks
  bool installed = false;
  std::uint32_t doubleClickTimeMs = 500;
  // What Start was told to call when the system takes the hooks away.
  std::function<void()> lost;
  std::vector<std::string> calls;
};

}  // namespace kestro
