// The few TCP calls the loopback server needs, over POSIX sockets or
// Winsock, so the server itself is the same everywhere. Test-only.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kestro::loopback {

using Socket = std::intptr_t;
constexpr Socket kNoSocket = -1;

// A listening socket on the loopback port, or on a free one when `port` is
// 0; the port it got goes to `port`.
Socket Listen(std::uint16_t& port);
// The next connection, or kNoSocket.
Socket Accept(Socket listener);
// A connection to the loopback port, or kNoSocket.
Socket Connect(std::uint16_t port);
// Bytes received (0 when the peer closed, negative on an error).
long Receive(Socket socket, char* buffer, std::size_t capacity);
// Bytes sent, or 0 or less on an error; a peer that has gone does not end
// the program.
long Send(Socket socket, const char* bytes, std::size_t count);
// Ends the sending side: the peer reads the end of the stream. False when
// the connection is already gone (the peer reset it).
bool ShutdownSend(Socket socket);
void Close(Socket socket);

}  // namespace kestro::loopback
