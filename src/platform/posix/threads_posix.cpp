#include <pthread.h>

#include <memory>

#include "platform/threads.h"

namespace kestro {
namespace {

void* RunBody(void* parameter) {
  std::unique_ptr<std::function<void()>> body(static_cast<std::function<void()>*>(parameter));
  (*body)();
  return nullptr;
}

}  // namespace

bool StartThread(std::function<void()> body) {
  auto* parameter = new std::function<void()>(std::move(body));
  pthread_t thread;
  if (pthread_create(&thread, nullptr, RunBody, parameter) != 0) {
    delete parameter;
    return false;
  }
  pthread_detach(thread);  // nobody joins it
  return true;
}

}  // namespace kestro
