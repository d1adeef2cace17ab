#include "app/play_controller.h"

#include "app/tray_icon.h"
#include "resource_ids.h"

namespace kestro {

int PlayController::Start(const PlayRequest& request, HWND reply) {
  HWND dialog = dialog_;
  ScriptSnapshot script{std::to_string(request.count), request.loop, request.lines};
  // Told on the runner thread; the window's thread takes it from there.
  auto ended = [dialog](RunEnd end) {
    PostMessageW(dialog, kPlayEndedMessage, static_cast<WPARAM>(end), 0);
  };
  if (recording_.IsRecording() || !runner_.StartRun(std::move(script), ended)) {
    // A start of its own that cannot play (its thread would not start) must
    // not stay hidden for ever.
    if (!reply) {
      exitCode_ = kPlayBusy;
      PostMessageW(dialog_, WM_COMMAND, IDM_END, 0);
    }
    return kPlayBusy;
  }
  reply_ = reply;
  own_ = reply == nullptr;
  if (own_) exitCode_ = kPlayStopped;
  ShowPlayingInTrayTip(request.fileName);
  return kPlayedToTheEnd;
}

void PlayController::Ended(WPARAM end) {
  int outcome = static_cast<RunEnd>(end) == RunEnd::Completed ? kPlayedToTheEnd : kPlayStopped;
  RestoreTrayTip();
  if (reply_) PostMessageW(std::exchange(reply_, nullptr), kPlayOutcomeMessage, outcome, 0);
  if (!std::exchange(own_, false)) return;
  exitCode_ = outcome;
  PostMessageW(dialog_, WM_COMMAND, IDM_END, 0);
}

}  // namespace kestro
