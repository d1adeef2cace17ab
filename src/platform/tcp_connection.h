// The TCP seam of the update check: one connection per exchange with the
// update server. The Windows implementation starts the sockets layer for
// each exchange (WSAStartup 2.0) and ends it again when the connection is
// destroyed (closesocket, then WSACleanup); the POSIX one serves the native
// tests.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace kestro {

class TcpConnection {
 public:
  // Closes the socket and ends this exchange's use of the sockets layer.
  virtual ~TcpConnection() = default;

  // Resolves the host to its first IPv4 address and connects to the port;
  // false when the name does not resolve or the connection is refused.
  virtual bool Connect(const std::string& host, std::uint16_t port) = 0;
  // Sends every byte; a failure shows later as a receive that gets nothing.
  virtual void Send(std::string_view bytes) = 0;
  // Receives after this give up when no byte comes for this long.
  virtual void SetReceiveTimeout(std::uint32_t milliseconds) = 0;
  // Receives at most `capacity` bytes with one call; returns how many came.
  // 0 means none came: the peer closed, an error, or the time limit passed.
  virtual std::size_t Receive(char* buffer, std::size_t capacity) = 0;
};

class TcpConnector {
 public:
  virtual ~TcpConnector() = default;
  // Starts one exchange: the sockets layer and an unconnected TCP socket.
  // nullptr when either cannot be had.
  virtual std::unique_ptr<TcpConnection> Open() = 0;
};

// The operating system's sockets.
class SystemTcpConnector final : public TcpConnector {
 public:
  std::unique_ptr<TcpConnection> Open() override;
};

}  // namespace kestro
