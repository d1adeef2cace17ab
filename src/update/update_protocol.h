// The byte-level rules of the update server's protocol: the request text,
// the end of a response header, its status and announced length, and the
// four-byte version file. Pure functions, so every rule is tested (and
// fuzzed) without a network.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kestro {

// Most bytes one response header may hold; the rest stays on the connection.
constexpr std::size_t kHeaderLimit = 1024;
// The version file's bytes that are read: marker and two digits.
constexpr std::size_t kVersionBodySize = 4;
// Most bytes one receive of the download asks for.
constexpr std::size_t kDownloadChunk = 1024;
// Room for each request text, its terminating zero included.
constexpr std::size_t kVersionRequestRoom = 512;
constexpr std::size_t kExecutableRequestRoom = 256;
// A "Content-Length" value text must be shorter than this.
constexpr std::size_t kLengthTextRoom = 256;

// The bytes before the first zero byte: how the protocol's texts end.
std::string_view UntilZero(std::string_view bytes);

// The GET request for `directory` followed by `name`. Empty when the text
// and its terminating zero would not fit in `room` bytes.
std::string ComposeRequest(std::string_view directory, std::string_view name, std::string_view host,
                           std::size_t room);

// True once the header held so far ends with the empty line (CR LF CR LF).
bool HeaderComplete(std::string_view header);

// The decimal reading of header bytes 9 to 11, the code of a status line
// like "HTTP/1.1 200 OK"; bytes the header lacks read as zero.
std::int64_t ResponseStatus(std::string_view header);

// The length announced by the first "Content-Length" (exact case) of the
// header, read from the 15th byte after the name's start up to the next
// CR. 0 when there is none, or its value text is 256 bytes or longer, or
// the value is not between 1 and 2^32 - 1.
std::uint32_t AnnouncedLength(std::string_view header);

struct VersionFile {
  // The first two bytes are "qz".
  bool markerFound = false;
  // Decimal reading of bytes 2 and 3.
  std::int32_t version = 0;
};

// Reads the version file's first four bytes; bytes that never came are zero.
VersionFile ReadVersionFile(const char (&body)[kVersionBodySize]);

}  // namespace kestro
