// A scripted HTTP server on the loopback interface for the update tests: it
// accepts one connection per scripted response, records each request and
// answers with exactly the scripted bytes, then closes or stalls. Works with
// POSIX sockets and with Winsock, so the tests run natively and under Wine.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace kestro {

struct ScriptedResponse {
  std::string bytes;
  // After the bytes, keep the connection open and silent until the client
  // gives up and closes it, instead of closing it at once.
  bool stall = false;
};

class LoopbackServer {
 public:
  // Listens on the given port, or on a free one when it is 0.
  explicit LoopbackServer(std::vector<ScriptedResponse> responses, std::uint16_t port = 0);
  ~LoopbackServer();
  LoopbackServer(const LoopbackServer&) = delete;
  LoopbackServer& operator=(const LoopbackServer&) = delete;

  std::uint16_t port() const { return port_; }
  // How many requests have arrived so far.
  std::size_t RequestCount();
  // How many clients closed their connection while bytes the server had
  // sent were still unread (the system then resets the connection instead
  // of ending it): a client that refused a response before reading it.
  std::size_t UnreadCloseCount();
  // Stops accepting, waits until every served connection is done and
  // returns the requests received, in order.
  std::vector<std::string> Finish();

 private:
  void Serve();

  std::vector<ScriptedResponse> responses_;
  std::intptr_t listener_ = -1;
  std::uint16_t port_ = 0;
  std::atomic<bool> stopping_{false};
  std::mutex mutex_;
  std::vector<std::string> requests_;
  std::size_t unreadCloses_ = 0;
  std::thread thread_;
  bool finished_ = false;
};

// A loopback port on which nothing listens: connections are refused.
std::uint16_t ClosedLoopbackPort();

}  // namespace kestro
