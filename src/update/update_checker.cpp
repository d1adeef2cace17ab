#include "update/update_checker.h"

#include <memory>
#include <optional>

#include "update/update_protocol.h"
#include "update/update_trust.h"

namespace kestro {
namespace {

constexpr std::size_t kServerTextLimit = 255;

// One byte per receive, so the header read never takes a byte of the body.
std::string ReadHeader(TcpConnection& connection) {
  std::string header;
  header.reserve(kHeaderLimit);
  while (header.size() < kHeaderLimit) {
    char byte = 0;
    if (connection.Receive(&byte, 1) == 0) break;
    header.push_back(byte);
    if (HeaderComplete(header)) break;
  }
  return header;
}

}  // namespace

UpdateChecker::UpdateChecker(UpdatePlatform platform, UpdateSettings settings)
    : platform_(platform), settings_(std::move(settings)) {}

bool UpdateChecker::SetServer(std::string_view host, std::string_view directory,
                              std::string_view versionFileName, std::string_view exeName) {
  for (std::string_view text : {host, directory, versionFileName, exeName}) {
    if (text.size() > kServerTextLimit) return false;
  }
  host_ = UntilZero(host);
  directory_ = UntilZero(directory);
  versionFileName_ = UntilZero(versionFileName);
  exeName_ = UntilZero(exeName);
  return true;
}

std::unique_ptr<TcpConnection> UpdateChecker::OpenExchange(std::string_view name,
                                                           std::size_t requestRoom,
                                                           std::string& header) {
  // A request too long for its room is not sent at all.
  std::string request = ComposeRequest(directory_, name, host_, requestRoom);
  if (request.empty()) return nullptr;
  std::unique_ptr<TcpConnection> connection = platform_.network.Open();
  if (!connection) return nullptr;
  if (!connection->Connect(host_, settings_.port)) return nullptr;
  connection->SetReceiveTimeout(settings_.streamTimeoutMs);
  connection->Send(request);
  header = ReadHeader(*connection);
  return connection;
}

void UpdateChecker::FetchVersion() {
  std::string header;
  std::unique_ptr<TcpConnection> connection =
      OpenExchange(versionFileName_, kVersionRequestRoom, header);
  if (!connection) return;
  // The header is not examined: whatever follows it is taken as the file.
  connection->SetReceiveTimeout(settings_.versionBodyTimeoutMs);
  char body[kVersionBodySize] = {};
  connection->Receive(body, sizeof body);
  connection.reset();

  VersionFile file = ReadVersionFile(body);
  if (file.markerFound) markerFound_ = 1;
  remoteVersion_ = file.version;
}

VersionComparison UpdateChecker::CompareVersion(std::int32_t version) const {
  if (markerFound_ == 0 || remoteVersion_ == 0) return VersionInvalid;
  if (version == remoteVersion_) return VersionSame;
  // An older version on the server is offered as well.
  return VersionDifferent;
}

bool UpdateChecker::ReceiveExecutable(TcpConnection& connection, FileWriter& file) {
  char chunk[kDownloadChunk];
  std::uint64_t total = 0;
  for (;;) {
    std::size_t count = connection.Receive(chunk, sizeof chunk);
    if (count == 0) return false;
    if (!file.Append(std::string_view(chunk, count))) return false;
    total += count;
    if (total == announcedLength_) return true;
    // Past the announced length the total can never match it again, so
    // there is no point in taking (and writing) what else the server sends.
    if (total > announcedLength_) return false;
  }
}

int UpdateChecker::DownloadUpdate() {
  verifiedLength_ = 0;
  if (markerFound_ == 0 || remoteVersion_ == 0) return 0;
  std::string header;
  std::unique_ptr<TcpConnection> connection =
      OpenExchange(exeName_, kExecutableRequestRoom, header);
  if (!connection) return 0;
  if (ResponseStatus(header) != 200) return 0;
  announcedLength_ = AnnouncedLength(header);
  if (announcedLength_ == 0) return 0;

  NativePath target = platform_.files.PathBesideProgram(exeName_);
  if (target.empty()) return 0;
  NativePath temporary;
  std::unique_ptr<FileWriter> file = platform_.files.CreateTemporaryBesideProgram(temporary);
  if (!file) return 0;
  bool complete = ReceiveExecutable(*connection, *file);
  file.reset();
  connection.reset();

  // Only a whole file from the running program's own publisher may replace
  // the target; anything else goes, leaving a file already there as it was.
  if (complete && IsTrustedUpdateFile(platform_.signing, temporary) &&
      platform_.files.MoveReplacing(temporary, target)) {
    verifiedLength_ = announcedLength_;
    return 1;
  }
  platform_.files.Remove(temporary);
  return 0;
}

void UpdateChecker::LaunchUpdate() {
  if (markerFound_ == 0 || announcedLength_ == 0) return;
  if (verifiedLength_ != announcedLength_) return;
  NativePath target = platform_.files.PathBesideProgram(exeName_);
  if (target.empty()) return;
  std::optional<std::uint64_t> size = platform_.files.FileSize(target);
  if (!size || *size != announcedLength_) return;
  // The question may have stood open for a long time: the file is checked
  // again right before it runs.
  if (!IsTrustedUpdateFile(platform_.signing, target)) return;
  platform_.launcher.Start(target);
}

}  // namespace kestro
