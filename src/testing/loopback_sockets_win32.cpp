#include <winsock2.h>

#include <climits>

#include "testing/loopback_sockets.h"

namespace kestro::loopback {
namespace {

// Winsock is started once for the test program and never ended.
void StartWinsock() {
  static bool started = [] {
    WSADATA data;
    return WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }();
  (void)started;
}

sockaddr_in Loopback(std::uint16_t port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return address;
}

SOCKET Raw(Socket socket) { return static_cast<SOCKET>(socket); }

int Clamp(std::size_t count) { return count > INT_MAX ? INT_MAX : static_cast<int>(count); }

}  // namespace

Socket Listen(std::uint16_t& port) {
  StartWinsock();
  SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (s == INVALID_SOCKET) return kNoSocket;
  // A fixed port is bound again by the next test while the last one's
  // connections still linger.
  BOOL reuse = TRUE;
  if (port != 0)
    setsockopt(s, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&reuse), sizeof reuse);
  sockaddr_in address = Loopback(port);
  int length = sizeof address;
  if (bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      getsockname(s, reinterpret_cast<sockaddr*>(&address), &length) != 0 || listen(s, 8) != 0) {
    closesocket(s);
    return kNoSocket;
  }
  port = ntohs(address.sin_port);
  return static_cast<Socket>(s);
}

Socket Accept(Socket listener) {
  SOCKET s = accept(Raw(listener), nullptr, nullptr);
  return s == INVALID_SOCKET ? kNoSocket : static_cast<Socket>(s);
}

Socket Connect(std::uint16_t port) {
  StartWinsock();
  SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (s == INVALID_SOCKET) return kNoSocket;
  sockaddr_in address = Loopback(port);
  if (connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    closesocket(s);
    return kNoSocket;
  }
  return static_cast<Socket>(s);
}

long Receive(Socket socket, char* buffer, std::size_t capacity) {
  return recv(Raw(socket), buffer, Clamp(capacity), 0);
}

long Send(Socket socket, const char* bytes, std::size_t count) {
  return send(Raw(socket), bytes, Clamp(count), 0);
}

bool ShutdownSend(Socket socket) { return shutdown(Raw(socket), SD_SEND) == 0; }

void Close(Socket socket) { closesocket(Raw(socket)); }

}  // namespace kestro::loopback
