#include "update/update_protocol.h"

#include <algorithm>
#include <limits>

#include "text/decimal.h"

namespace kestro {
std::string_view UntilZero(std::string_view bytes) { return bytes.substr(0, bytes.find('\0')); }

std::string ComposeRequest(std::string_view directory, std::string_view name, std::string_view host,
                           std::size_t room) {
  std::string request;
  request.append("GET ").append(directory).append(name).append(" HTTP/1.1\r\n");
  request.append("Host:").append(host).append("\r\n");
  request.append("Accept:*/*\r\n");
  request.append("User-Agent:Mozilla/4.0 (compatible; MSIE 5.00; Windows 98)\r\n");
  request.append("Connection:Keep-Alive\r\n\r\n");
  if (request.size() >= room) return {};
  return request;
}

bool HeaderComplete(std::string_view header) { return header.ends_with("\r\n\r\n"); }

std::int64_t ResponseStatus(std::string_view header) {
  if (header.size() <= 9) return 0;
  return DecimalReading(header.substr(9, 3));
}

std::uint32_t AnnouncedLength(std::string_view header) {
  // The header is a text: a zero byte from the server ends it.
  std::string_view text = UntilZero(header);
  constexpr std::string_view kName = "Content-Length";
  std::size_t name = text.find(kName);
  if (name == std::string_view::npos) return 0;
  // The name and the one byte after it (normally the colon) are skipped; a
  // header cut right after the name leaves an empty value.
  std::size_t start = std::min(name + kName.size() + 1, text.size());
  std::size_t end = std::min(text.find('\r', start), text.size());
  std::string_view value = text.substr(start, end - start);
  if (value.size() >= kLengthTextRoom) return 0;
  std::int64_t length = DecimalReading(value);
  if (length <= 0 || length > std::numeric_limits<std::uint32_t>::max()) return 0;
  return static_cast<std::uint32_t>(length);
}

VersionFile ReadVersionFile(const char (&body)[kVersionBodySize]) {
  VersionFile file;
  file.markerFound = UntilZero(std::string_view(body, 2)) == "qz";
  file.version = static_cast<std::int32_t>(DecimalReading(std::string_view(body + 2, 2)));
  return file;
}

}  // namespace kestro
