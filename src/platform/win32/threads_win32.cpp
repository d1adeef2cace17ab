#include <windows.h>

#include <memory>

#include "platform/threads.h"

namespace kestro {
namespace {

DWORD WINAPI RunBody(void* parameter) {
  std::unique_ptr<std::function<void()>> body(static_cast<std::function<void()>*>(parameter));
  (*body)();
  return 0;
}

}  // namespace

bool StartThread(std::function<void()> body) {
  auto* parameter = new std::function<void()>(std::move(body));
  HANDLE thread = CreateThread(nullptr, 0, RunBody, parameter, 0, nullptr);
  if (thread == nullptr) {
    delete parameter;
    return false;
  }
  CloseHandle(thread);  // nobody joins it
  return true;
}

}  // namespace kestro
