#include "testing/loopback_server.h"

#include "testing/loopback_sockets.h"

namespace kestro {
namespace {

using loopback::kNoSocket;
using loopback::Socket;

// False when the client was gone before it got every byte.
bool SendAll(Socket s, const std::string& bytes) {
  std::size_t sent = 0;
  while (sent < bytes.size()) {
    long count = loopback::Send(s, bytes.data() + sent, bytes.size() - sent);
    if (count <= 0) return false;
    sent += static_cast<std::size_t>(count);
  }
  return true;
}

// Reads up to and including the empty line that ends a request.
std::string ReadRequest(Socket s) {
  std::string request;
  char buffer[512];
  while (request.find("\r\n\r\n") == std::string::npos) {
    long count = loopback::Receive(s, buffer, sizeof buffer);
    if (count <= 0) break;
    request.append(buffer, static_cast<std::size_t>(count));
  }
  return request;
}

// Waits until the client closes its end; true when it reset the connection
// instead, which the client's system does when it closes with bytes unread.
bool DrainUntilClosed(Socket s) {
  char buffer[512];
  long count = 0;
  while ((count = loopback::Receive(s, buffer, sizeof buffer)) > 0) {
  }
  return count < 0;
}

}  // namespace

LoopbackServer::LoopbackServer(std::vector<ScriptedResponse> responses, std::uint16_t port)
    : responses_(std::move(responses)), port_(port) {
  listener_ = loopback::Listen(port_);
  if (listener_ == kNoSocket) return;
  thread_ = std::thread([this] { Serve(); });
}

LoopbackServer::~LoopbackServer() { Finish(); }

void LoopbackServer::Serve() {
  for (const ScriptedResponse& response : responses_) {
    if (stopping_) return;
    Socket client = loopback::Accept(listener_);
    if (client == kNoSocket || stopping_) {
      if (client != kNoSocket) loopback::Close(client);
      return;
    }
    std::string request = ReadRequest(client);
    {
      std::lock_guard<std::mutex> lock(mutex_);
      requests_.push_back(std::move(request));
    }
    // A closing server ends its side first and still reads until the client
    // closes, so no unread byte turns the close into a reset that could
    // destroy response bytes the client has not taken yet. A reset from the
    // client may show at any of the three steps, whichever comes after it.
    bool reset = !SendAll(client, response.bytes);
    if (!response.stall) reset = !loopback::ShutdownSend(client) || reset;
    reset = DrainUntilClosed(client) || reset;
    // Wine now and then reports a reset as a clean end. A connection still
    // open on our side tells them apart: after a reset it takes no byte,
    // after a clean close by the client it still does.
    if (response.stall && !reset) reset = loopback::Send(client, "\n", 1) <= 0;
    loopback::Close(client);
    std::lock_guard<std::mutex> lock(mutex_);
    if (reset) ++unreadCloses_;
  }
}

std::size_t LoopbackServer::RequestCount() {
  std::lock_guard<std::mutex> lock(mutex_);
  return requests_.size();
}

std::size_t LoopbackServer::UnreadCloseCount() {
  std::lock_guard<std::mutex> lock(mutex_);
  return unreadCloses_;
}

std::vector<std::string> LoopbackServer::Finish() {
  if (!finished_) {
    finished_ = true;
    if (thread_.joinable()) {
      // A connection of our own wakes an accept that waits for a client that
      // is not coming.
      stopping_ = true;
      Socket waker = loopback::Connect(port_);
      thread_.join();
      if (waker != kNoSocket) loopback::Close(waker);
    }
    if (listener_ != kNoSocket) loopback::Close(listener_);
  }
  std::lock_guard<std::mutex> lock(mutex_);
  return requests_;
}

std::uint16_t ClosedLoopbackPort() {
  std::uint16_t port = 0;
  Socket s = loopback::Listen(port);
  if (s != kNoSocket) loopback::Close(s);
  return port;
}

}  // namespace kestro
