#include "update/update_checker.h"

#include <algorithm>
#include <memory>
#include <utility>

#include "update/update_install.h"
#include "update/update_protocol.h"
#include "update/update_trust.h"

namespace kestro {
namespace {

constexpr std::size_t kServerTextLimit = 255;

}  // namespace

UpdateChecker::UpdateChecker(UpdatePlatform platform, UpdateSettings settings)
    : platform_(platform), settings_(std::move(settings)) {}

void UpdateChecker::RemoveLeftovers() {
  kestro::RemoveLeftovers(platform_.files, platform_.processes);
}

bool UpdateChecker::RunningProgramIsSigned() {
  CodeSignature self = platform_.signing.RunningProgramSignature();
  return self.state == SignatureState::Valid && !self.signerKey.empty();
}

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

std::size_t UpdateChecker::Receive(TcpConnection& connection, char* buffer, std::size_t capacity,
                                   std::uint32_t limitMs) {
  std::int64_t left = deadlineMs_ - platform_.clock.NowMs();
  if (left <= 0) return 0;
  auto limit = static_cast<std::uint32_t>(std::min<std::int64_t>(limitMs, left));
  // Set only when it changes: the header is read one byte per receive.
  if (limit != receiveLimitMs_) {
    connection.SetReceiveTimeout(limit);
    receiveLimitMs_ = limit;
  }
  return connection.Receive(buffer, capacity);
}

// One byte per receive, so the header read never takes a byte of the body.
std::string UpdateChecker::ReadHeader(TcpConnection& connection) {
  std::string header;
  header.reserve(kHeaderLimit);
  while (header.size() < kHeaderLimit) {
    char byte = 0;
    if (Receive(connection, &byte, 1, settings_.streamTimeoutMs) == 0) break;
    header.push_back(byte);
    if (HeaderComplete(header)) break;
  }
  return header;
}

std::unique_ptr<TcpConnection> UpdateChecker::OpenExchange(std::string_view name,
                                                           std::size_t requestRoom,
                                                           std::string& header) {
  // A request too long for its room is not sent at all.
  std::string request = ComposeRequest(directory_, name, host_, requestRoom);
  if (request.empty()) return nullptr;
  if (platform_.clock.NowMs() >= deadlineMs_) return nullptr;
  std::unique_ptr<TcpConnection> connection = platform_.network.Open();
  if (!connection) return nullptr;
  if (!connection->Connect(host_, settings_.port)) return nullptr;
  receiveLimitMs_ = 0;  // a new socket has no limit yet
  connection->Send(request);
  header = ReadHeader(*connection);
  return connection;
}

void UpdateChecker::FetchVersion() {
  deadlineMs_ = platform_.clock.NowMs() + settings_.overallDeadlineMs;
  std::string header;
  std::unique_ptr<TcpConnection> connection =
      OpenExchange(versionFileName_, kVersionRequestRoom, header);
  if (!connection) return;
  // The header is not examined: whatever follows it is taken as the file.
  // TCP may split the four bytes anywhere, so the read goes on until all
  // have come, the server closes, or the body's time limit has passed.
  char body[kVersionBodySize] = {};
  std::int64_t bodyDeadlineMs = platform_.clock.NowMs() + settings_.versionBodyTimeoutMs;
  for (std::size_t got = 0; got < sizeof body;) {
    std::int64_t left = bodyDeadlineMs - platform_.clock.NowMs();
    if (left <= 0) break;
    std::size_t count =
        Receive(*connection, body + got, sizeof body - got, static_cast<std::uint32_t>(left));
    if (count == 0) break;
    got += count;
  }
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
    std::size_t count = Receive(connection, chunk, sizeof chunk, settings_.streamTimeoutMs);
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
  DiscardUpdate();
  if (markerFound_ == 0 || remoteVersion_ == 0) return 0;
  std::string header;
  std::unique_ptr<TcpConnection> connection =
      OpenExchange(exeName_, kExecutableRequestRoom, header);
  if (!connection) return 0;
  if (ResponseStatus(header) != 200) return 0;
  announcedLength_ = AnnouncedLength(header);
  if (announcedLength_ == 0) return 0;
  // Refused before anything is written, and the body is left unread.
  if (announcedLength_ > kDownloadCeiling) return 0;

  ProgramFiles& files = platform_.files;
  NativePath download = files.PathBesideProgram(FreeName(
      files.NamesBesideProgram(), DownloadFileName, platform_.processes.CurrentProcessId()));
  if (download.empty()) return 0;
  std::unique_ptr<FileWriter> file = files.CreateNew(download);
  if (!file) return 0;
  bool complete = ReceiveExecutable(*connection, *file);
  file.reset();
  connection.reset();

  // Only a whole file signed by a key the running program knows is kept.
  bool trusted =
      complete && IsTrustedUpdateFile(platform_.signing, download, settings_.successorSignerKeys);
  std::lock_guard<std::mutex> lock(downloadMutex_);
  if (!trusted || abandoned_) {
    files.Remove(download);
    return 0;
  }
  keptDownload_ = download;
  verifiedLength_ = announcedLength_;
  return 1;
}

LaunchOutcome UpdateChecker::LaunchUpdate() {
  std::lock_guard<std::mutex> lock(downloadMutex_);
  if (keptDownload_.empty()) return {};
  NativePath download = std::exchange(keptDownload_, {});
  // The program replaces itself under whatever name it was given; nothing
  // else in the folder is touched.
  NativePath target = platform_.files.RunningProgramPath();
  if (target.empty()) {
    platform_.files.Remove(download);
    return {LaunchResult::Failed, {}};
  }
  InstallPlatform install{platform_.files, platform_.signing, platform_.launcher,
                          platform_.processes};
  InstallResult installed =
      InstallUpdate(install, download, verifiedLength_, target, settings_.successorSignerKeys);
  if (installed.started) return {LaunchResult::Started, {}};
  return {LaunchResult::Failed, installed.stranded};
}

void UpdateChecker::RemoveKeptDownload() {
  if (!keptDownload_.empty()) platform_.files.Remove(std::exchange(keptDownload_, {}));
}

void UpdateChecker::DiscardUpdate() {
  std::lock_guard<std::mutex> lock(downloadMutex_);
  RemoveKeptDownload();
}

void UpdateChecker::AbandonUpdate() {
  std::lock_guard<std::mutex> lock(downloadMutex_);
  abandoned_ = true;
  RemoveKeptDownload();
}

}  // namespace kestro
