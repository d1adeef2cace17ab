#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "testing/loopback_sockets.h"

namespace kestro::loopback {
namespace {

sockaddr_in Loopback(std::uint16_t port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return address;
}

}  // namespace

Socket Listen(std::uint16_t& port) {
  int s = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, IPPROTO_TCP);
  if (s < 0) return kNoSocket;
  // A fixed port is bound again by the next test while the last one's
  // connections still linger.
  int reuse = 1;
  if (port != 0) setsockopt(s, SOL_SOCKET, SO_REUSEADDR, &reuse, sizeof reuse);
  sockaddr_in address = Loopback(port);
  socklen_t length = sizeof address;
  if (bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      getsockname(s, reinterpret_cast<sockaddr*>(&address), &length) != 0 || listen(s, 8) != 0) {
    close(s);
    return kNoSocket;
  }
  port = ntohs(address.sin_port);
  return s;
}

Socket Accept(Socket listener) {
  int s = accept(static_cast<int>(listener), nullptr, nullptr);
  return s < 0 ? kNoSocket : s;
}

Socket Connect(std::uint16_t port) {
  int s = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, IPPROTO_TCP);
  if (s < 0) return kNoSocket;
  sockaddr_in address = Loopback(port);
  if (connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    close(s);
    return kNoSocket;
  }
  return s;
}

long Receive(Socket socket, char* buffer, std::size_t capacity) {
  return recv(static_cast<int>(socket), buffer, capacity, 0);
}

long Send(Socket socket, const char* bytes, std::size_t count) {
  return send(static_cast<int>(socket), bytes, count, MSG_NOSIGNAL);
}

bool ShutdownSend(Socket socket) { return shutdown(static_cast<int>(socket), SHUT_WR) == 0; }

void Close(Socket socket) { close(static_cast<int>(socket)); }

}  // namespace kestro::loopback
