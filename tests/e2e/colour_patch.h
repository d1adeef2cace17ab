// A top-most window of one colour, painted on this thread: what the
// capture hotkey reads under the cursor and a colour wait waits for.
#pragma once

#include <windows.h>

namespace kestro::e2e {

class ColourPatch {
 public:
  ColourPatch(COLORREF colour, RECT where) : brush_(CreateSolidBrush(colour)) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = Procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"KestroColourPatch";
    RegisterClassW(&windowClass);
    window_ =
        CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, L"KestroColourPatch", L"", WS_POPUP,
                        where.left, where.top, where.right - where.left, where.bottom - where.top,
                        nullptr, nullptr, windowClass.hInstance, nullptr);
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    ShowWindow(window_, SW_SHOWNOACTIVATE);
    UpdateWindow(window_);
    Pump();
  }
  ~ColourPatch() {
    DestroyWindow(window_);
    UnregisterClassW(L"KestroColourPatch", GetModuleHandleW(nullptr));
    DeleteObject(brush_);
  }
  ColourPatch(const ColourPatch&) = delete;
  ColourPatch& operator=(const ColourPatch&) = delete;

  // Paints the patch in another colour at once; returns once the screen
  // shows it, so the caller knows when the change came.
  void SetColour(COLORREF colour) {
    HBRUSH old = brush_;
    brush_ = CreateSolidBrush(colour);
    RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    DeleteObject(old);
    RECT area;
    GetWindowRect(window_, &area);
    HDC screen = GetDC(nullptr);
    for (int i = 0; i < 2000 && GetPixel(screen, area.left, area.top) != colour; ++i) {
      MSG msg;
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
      Sleep(1);
    }
    ReleaseDC(nullptr, screen);
  }
  void Pump() {
    for (int i = 0; i < 20; ++i) {
      MSG msg;
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
      Sleep(10);
    }
  }

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* patch = reinterpret_cast<ColourPatch*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message != WM_ERASEBKGND || !patch) return DefWindowProcW(window, message, wParam, lParam);
    RECT area;
    GetClientRect(window, &area);
    FillRect(reinterpret_cast<HDC>(wParam), &area, patch->brush_);
    return TRUE;
  }

  HBRUSH brush_;
  HWND window_;
};

}  // namespace kestro::e2e
