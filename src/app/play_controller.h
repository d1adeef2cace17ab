// Scripts played from the command line, on the window's thread: a run of
// the script a start of this program brought (it then ends with the run),
// or one a later start handed over (its outcome goes back to that start's
// window). The notification-area tip names the file while it plays.
#pragma once

#include <windows.h>

#include "app/play_arguments.h"
#include "app/recording_controller.h"
#include "runner/script_runner.h"

namespace kestro {

// Posted to the main dialog by the runner thread when a played script's run
// has ended; wParam is its RunEnd.
constexpr UINT kPlayEndedMessage = WM_APP + 2;
// Posted to the window of a start that handed its script over; wParam is the
// PlayExit.
constexpr UINT kPlayOutcomeMessage = WM_APP + 3;
// The class of that window, which the outcome is posted to and nothing else.
constexpr wchar_t kPlayReplyClass[] = L"KestroPlayReply";

class PlayController {
 public:
  PlayController(HWND dialog, ScriptRunner& runner, RecordingController& recording)
      : dialog_(dialog), runner_(runner), recording_(recording) {}

  // Plays the request as a run of its own. Its outcome goes to `reply`, or,
  // without one, ends the program with it as exit code. kPlayBusy (nothing
  // started) while a run or a recording is active, or when the run's thread
  // does not start; the program's own start then ends with it.
  int Start(const PlayRequest& request, HWND reply);
  // kPlayEndedMessage.
  void Ended(WPARAM end);
  // What the program ends with: a script of its own start that did not play
  // to its end (the program was closed first, say) counts as stopped.
  int exitCode() const { return exitCode_; }

 private:
  HWND dialog_;
  ScriptRunner& runner_;
  RecordingController& recording_;
  HWND reply_ = nullptr;
  bool own_ = false;
  int exitCode_ = kPlayedToTheEnd;
};

}  // namespace kestro
