// The two ends of handing a script to the copy that runs already: the
// starting process sends it in a WM_COPYDATA message and waits for the
// outcome; the running copy takes only a well-formed request from a reply
// window of the starter's own kind.
#pragma once

#include <windows.h>

#include <optional>

#include "app/play_arguments.h"

namespace kestro {

// What WM_COPYDATA answers when it took the request and will post the
// outcome; anything else is a PlayExit.
constexpr LRESULT kPlayTaken = 100;
// WM_COPYDATA's dwData for a request.
constexpr ULONG_PTR kPlayRequestTag = 0x4B504C59;  // "KPLY"

// The starting process: hands the request over and returns the outcome the
// running copy reports (kPlayStopped should that copy end first).
int HandOverPlay(const PlayRequest& request);

// The running copy: the request of a WM_COPYDATA message and the window its
// outcome goes to; nothing when the message carries no valid request.
std::optional<PlayRequest> ReceivedPlayRequest(WPARAM wParam, LPARAM lParam, HWND& reply);

}  // namespace kestro
