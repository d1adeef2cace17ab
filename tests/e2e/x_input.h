// Real input from the X server, for scenarios under Wine: xdotool moves,
// clicks and types on the test display, and Wine delivers it as hardware
// input. X hands input only to a window of its own client, so a scenario
// keeps a window of its own under the pointer and in the focus.
#pragma once

#include <windows.h>

#include <atomic>
#include <filesystem>
#include <string>
#include <thread>

namespace kestro::e2e {

// Whether xdotool can be run: under Wine, with the host's root as drive Z:.
bool HaveXdotool();

// Runs xdotool with the arguments (one command chain, e.g. "mousemove 10 20
// click 1 sleep 0.3 key Return") and waits for it to end; false when it
// failed or took longer than the limit.
bool Xdotool(const std::string& arguments, int limitMs = 30000);

// Runs the commands with the host's /bin/sh (no double quotes in them) and
// waits for them; false when they failed or took longer than the limit.
bool UnixShell(const std::string& commands, int limitMs = 30000);
// The host's path of a file under Wine; empty when unknown.
std::string UnixPath(const std::filesystem::path& path);

// A plain top-most window of this program, on a thread of its own that
// keeps its messages flowing: Wine reads the X input of a window on the
// thread that owns it.
class InputTarget {
 public:
  explicit InputTarget(RECT where);
  ~InputTarget();
  InputTarget(const InputTarget&) = delete;
  InputTarget& operator=(const InputTarget&) = delete;

  HWND window() const { return window_; }
  // Puts the pointer over the window, clicks it and gives it the X focus;
  // true once it is the foreground window.
  bool TakeFocus();

 private:
  void Loop(RECT where);

  std::thread thread_;
  HWND window_ = nullptr;           // made before threadId_ is set
  std::atomic<DWORD> threadId_{0};  // set once the window exists
};

}  // namespace kestro::e2e
