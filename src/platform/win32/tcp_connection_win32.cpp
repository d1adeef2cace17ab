#include <winsock2.h>

#include <algorithm>
#include <climits>
#include <cstring>

#include "platform/tcp_connection.h"

namespace kestro {
namespace {

// One exchange's hold on the sockets layer: WSAStartup when the connection
// is opened, WSACleanup after its socket is closed.
class WinsockConnection final : public TcpConnection {
 public:
  explicit WinsockConnection(SOCKET socket) : socket_(socket) {}
  ~WinsockConnection() override {
    closesocket(socket_);
    WSACleanup();
  }
  WinsockConnection(const WinsockConnection&) = delete;
  WinsockConnection& operator=(const WinsockConnection&) = delete;

  bool Connect(const std::string& host, std::uint16_t port) override {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    // gethostbyname keeps its result per thread, so the update thread may
    // use it beside any other.
    const hostent* found = gethostbyname(host.c_str());
    if (found == nullptr || found->h_addrtype != AF_INET || found->h_length != 4 ||
        found->h_addr_list[0] == nullptr)
      return false;
    std::memcpy(&address.sin_addr, found->h_addr_list[0], 4);
    return connect(socket_, reinterpret_cast<const sockaddr*>(&address), sizeof address) !=
           SOCKET_ERROR;
  }

  void Send(std::string_view bytes) override {
    while (!bytes.empty()) {
      int count = static_cast<int>(std::min<std::size_t>(bytes.size(), INT_MAX));
      int sent = send(socket_, bytes.data(), count, 0);
      if (sent == SOCKET_ERROR || sent <= 0) return;
      bytes.remove_prefix(static_cast<std::size_t>(sent));
    }
  }

  void SetReceiveTimeout(std::uint32_t milliseconds) override {
    DWORD limit = milliseconds;
    setsockopt(socket_, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&limit),
               sizeof limit);
  }

  std::size_t Receive(char* buffer, std::size_t capacity) override {
    int count = static_cast<int>(std::min<std::size_t>(capacity, INT_MAX));
    int received = recv(socket_, buffer, count, 0);
    return received > 0 ? static_cast<std::size_t>(received) : 0;
  }

 private:
  SOCKET socket_;
};

}  // namespace

std::unique_ptr<TcpConnection> SystemTcpConnector::Open() {
  WSADATA data;
  if (WSAStartup(MAKEWORD(2, 0), &data) != 0) return nullptr;
  SOCKET socket = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (socket == INVALID_SOCKET) {
    WSACleanup();
    return nullptr;
  }
  return std::make_unique<WinsockConnection>(socket);
}

}  // namespace kestro
