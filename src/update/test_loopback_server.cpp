#include "update/test_loopback_server.h"

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

#include <cstring>

namespace kestro {
namespace {

#ifdef _WIN32
using Socket = SOCKET;
constexpr Socket kNoSocket = INVALID_SOCKET;
constexpr int kSendFlags = 0;
constexpr int kShutSend = SD_SEND;
void CloseSocket(Socket s) { closesocket(s); }
struct SocketsLayer {
  SocketsLayer() {
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
  }
  ~SocketsLayer() { WSACleanup(); }
};
#else
using Socket = int;
constexpr Socket kNoSocket = -1;
constexpr int kSendFlags = MSG_NOSIGNAL;
constexpr int kShutSend = SHUT_WR;
void CloseSocket(Socket s) { close(s); }
struct SocketsLayer {};
#endif

sockaddr_in Loopback(std::uint16_t port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return address;
}

// A socket bound to the loopback port (a free one when it is 0), and that
// port.
Socket BindLoopback(std::uint16_t& port) {
  Socket s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (s == kNoSocket) return kNoSocket;
  if (port != 0) {
    // A fixed port is bound again by the next test while the last one's
    // connections still linger.
    int reuse = 1;
    setsockopt(s, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&reuse), sizeof reuse);
  }
  sockaddr_in address = Loopback(port);
  socklen_t length = sizeof address;
  if (bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      getsockname(s, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    CloseSocket(s);
    return kNoSocket;
  }
  port = ntohs(address.sin_port);
  return s;
}

void SendAll(Socket s, const std::string& bytes) {
  std::size_t sent = 0;
  while (sent < bytes.size()) {
    int count = send(s, bytes.data() + sent, static_cast<int>(bytes.size() - sent), kSendFlags);
    if (count <= 0) return;
    sent += static_cast<std::size_t>(count);
  }
}

// Reads up to and including the empty line that ends a request.
std::string ReadRequest(Socket s) {
  std::string request;
  char buffer[512];
  while (request.find("\r\n\r\n") == std::string::npos) {
    int count = recv(s, buffer, sizeof buffer, 0);
    if (count <= 0) break;
    request.append(buffer, static_cast<std::size_t>(count));
  }
  return request;
}

// Waits until the client closes its end (or resets it).
void DrainUntilClosed(Socket s) {
  char buffer[512];
  while (recv(s, buffer, sizeof buffer, 0) > 0) {
  }
}

SocketsLayer& Layer() {
  static SocketsLayer layer;
  return layer;
}

}  // namespace

LoopbackServer::LoopbackServer(std::vector<ScriptedResponse> responses, std::uint16_t port)
    : responses_(std::move(responses)), port_(port) {
  Layer();
  Socket listener = BindLoopback(port_);
  if (listener != kNoSocket && listen(listener, 8) != 0) {
    CloseSocket(listener);
    listener = kNoSocket;
  }
  listener_ = static_cast<std::intptr_t>(listener);
  if (listener == kNoSocket) return;
  thread_ = std::thread([this] { Serve(); });
}

LoopbackServer::~LoopbackServer() { Finish(); }

void LoopbackServer::Serve() {
  Socket listener = static_cast<Socket>(listener_);
  for (const ScriptedResponse& response : responses_) {
    if (stopping_) return;
    Socket client = accept(listener, nullptr, nullptr);
    if (client == kNoSocket || stopping_) {
      if (client != kNoSocket) CloseSocket(client);
      return;
    }
    std::string request = ReadRequest(client);
    {
      std::lock_guard<std::mutex> lock(mutex_);
      requests_.push_back(std::move(request));
    }
    SendAll(client, response.bytes);
    // A closing server ends its side first and still reads until the client
    // closes, so no unread byte turns the close into a reset that could
    // destroy response bytes the client has not taken yet.
    if (!response.stall) shutdown(client, kShutSend);
    DrainUntilClosed(client);
    CloseSocket(client);
  }
}

std::size_t LoopbackServer::RequestCount() {
  std::lock_guard<std::mutex> lock(mutex_);
  return requests_.size();
}

std::vector<std::string> LoopbackServer::Finish() {
  if (!finished_) {
    finished_ = true;
    if (thread_.joinable()) {
      // A connection of our own wakes an accept that waits for a client that
      // is not coming.
      stopping_ = true;
      Socket waker = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
      sockaddr_in address = Loopback(port_);
      connect(waker, reinterpret_cast<sockaddr*>(&address), sizeof address);
      thread_.join();
      CloseSocket(waker);
    }
    if (static_cast<Socket>(listener_) != kNoSocket) CloseSocket(static_cast<Socket>(listener_));
  }
  std::lock_guard<std::mutex> lock(mutex_);
  return requests_;
}

std::uint16_t ClosedLoopbackPort() {
  Layer();
  std::uint16_t port = 0;
  Socket s = BindLoopback(port);
  if (s != kNoSocket) CloseSocket(s);
  return port;
}

}  // namespace kestro
