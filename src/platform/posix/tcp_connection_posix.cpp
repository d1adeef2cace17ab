#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/tcp_connection.h"

namespace kestro {
namespace {

class PosixTcpConnection final : public TcpConnection {
 public:
  explicit PosixTcpConnection(int socket) : socket_(socket) {}
  ~PosixTcpConnection() override { close(socket_); }
  PosixTcpConnection(const PosixTcpConnection&) = delete;
  PosixTcpConnection& operator=(const PosixTcpConnection&) = delete;

  bool Connect(const std::string& host, std::uint16_t port) override {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || found == nullptr) return false;
    sockaddr_in address{};
    std::memcpy(&address, found->ai_addr, sizeof address);
    freeaddrinfo(found);
    address.sin_port = htons(port);
    return connect(socket_, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
  }

  void Send(std::string_view bytes) override {
    while (!bytes.empty()) {
      // MSG_NOSIGNAL: a peer that has gone must not kill the program.
      ssize_t sent = send(socket_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
      if (sent < 0 && errno == EINTR) continue;
      if (sent <= 0) return;
      bytes.remove_prefix(static_cast<std::size_t>(sent));
    }
  }

  void SetReceiveTimeout(std::uint32_t milliseconds) override {
    timeval limit{};
    limit.tv_sec = static_cast<time_t>(milliseconds / 1000);
    limit.tv_usec = static_cast<suseconds_t>(milliseconds % 1000) * 1000;
    setsockopt(socket_, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
  }

  std::size_t Receive(char* buffer, std::size_t capacity) override {
    for (;;) {
      ssize_t received = recv(socket_, buffer, capacity, 0);
      if (received < 0 && errno == EINTR) continue;
      return received > 0 ? static_cast<std::size_t>(received) : 0;
    }
  }

 private:
  int socket_;
};

}  // namespace

std::unique_ptr<TcpConnection> SystemTcpConnector::Open() {
  int socket = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, IPPROTO_TCP);
  if (socket < 0) return nullptr;
  return std::make_unique<PosixTcpConnection>(socket);
}

}  // namespace kestro
