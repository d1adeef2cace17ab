#include "app/play_handover.h"

#include <string>

#include "app/play_controller.h"
#include "app/single_instance.h"

namespace kestro {
namespace {

LRESULT CALLBACK ReplyProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kPlayOutcomeMessage) {
    *reinterpret_cast<int*>(GetWindowLongPtrW(window, GWLP_USERDATA)) = static_cast<int>(wParam);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int HandOverPlay(const PlayRequest& request) {
  // The running copy may still be starting: its window comes soon.
  HWND running = nullptr;
  for (int i = 0; i < 100 && !(running = FindRunningCopy()); ++i) Sleep(100);
  if (!running) return kPlayBusy;
  DWORD processId = 0;
  GetWindowThreadProcessId(running, &processId);
  HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, processId);
  if (!process) return kPlayBusy;

  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = ReplyProcedure;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = kPlayReplyClass;
  RegisterClassW(&windowClass);
  HWND reply = CreateWindowExW(0, kPlayReplyClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                               windowClass.hInstance, nullptr);
  int outcome = -1;
  SetWindowLongPtrW(reply, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&outcome));

  std::string bytes = EncodePlayRequest(request);
  COPYDATASTRUCT data{kPlayRequestTag, static_cast<DWORD>(bytes.size()), bytes.data()};
  DWORD_PTR answer = kPlayBusy;
  if (!SendMessageTimeoutW(running, WM_COPYDATA, reinterpret_cast<WPARAM>(reply),
                           reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG, 10000, &answer)) {
    answer = kPlayBusy;
  }
  if (answer == static_cast<DWORD_PTR>(kPlayTaken)) {
    // The run's outcome comes as a message; the copy ending first is a stop.
    while (outcome < 0) {
      DWORD woken = MsgWaitForMultipleObjects(1, &process, FALSE, INFINITE, QS_ALLINPUT);
      MSG msg;
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
      if (woken == WAIT_OBJECT_0 && outcome < 0) outcome = kPlayStopped;
    }
  } else {
    outcome = kPlayBusy;
  }
  DestroyWindow(reply);
  CloseHandle(process);
  return outcome;
}

std::optional<PlayRequest> ReceivedPlayRequest(WPARAM wParam, LPARAM lParam, HWND& reply) {
  const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
  if (!data || data->dwData != kPlayRequestTag || (data->cbData && !data->lpData)) return {};
  reply = reinterpret_cast<HWND>(wParam);
  wchar_t className[32] = {};
  if (!IsWindow(reply) || !GetClassNameW(reply, className, 32) ||
      std::wstring_view(className) != kPlayReplyClass) {
    return {};
  }
  return DecodePlayRequest(std::string_view(static_cast<const char*>(data->lpData), data->cbData));
}

}  // namespace kestro
