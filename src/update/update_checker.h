// The update check: asks the vendor's server for its version file, downloads
// a different version beside the running program, and starts it when the
// user agrees. The server's protocol is kept as it is; the client guards
// itself: every read has a time limit, nothing the server sends can overrun
// a buffer, the download lands in a temporary file that only replaces the
// target when it is complete and signed by the running program's publisher,
// and every failure is silent.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/code_signing.h"
#include "platform/main_window.h"
#include "platform/program_files.h"
#include "platform/program_launcher.h"
#include "platform/tcp_connection.h"

namespace kestro {

enum VersionComparison : int {
  VersionInvalid = 0,
  VersionSame = 1,
  VersionDifferent = 2,
};

// The program's own version number as the update server counts.
constexpr std::int32_t kBuiltInVersion = 32;

// What the update check needs from the system.
struct UpdatePlatform {
  TcpConnector& network;
  ProgramFiles& files;
  CodeSigning& signing;
  ProgramLauncher& launcher;
};

// The system's implementations, held together for the program.
struct SystemUpdatePlatform {
  SystemTcpConnector network;
  SystemProgramFiles files;
  SystemCodeSigning signing;
  SystemProgramLauncher launcher;

  UpdatePlatform Seams() { return {network, files, signing, launcher}; }
};

struct UpdateSettings {
  // The server UpdateThread points the checker at; the program sets it at
  // build time.
  std::string host;
  std::uint16_t port = 80;
  // The single receive of the version file's four bytes.
  std::uint32_t versionBodyTimeoutMs = 10000;
  // Every header byte and every download chunk: a server silent this long
  // counts as gone, so a stalled server cannot hold the thread forever.
  std::uint32_t streamTimeoutMs = 30000;
};

class UpdateChecker {
 public:
  explicit UpdateChecker(UpdatePlatform platform, UpdateSettings settings = {});

  // Copies the server's host, the directory (with leading and trailing
  // slash) and the two file names. False, changing nothing, when one is
  // longer than 255 bytes.
  bool SetServer(std::string_view host, std::string_view directory,
                 std::string_view versionFileName, std::string_view exeName);
  // Reads the version file; may set markerFound and remoteVersion.
  void FetchVersion();
  VersionComparison CompareVersion(std::int32_t version) const;
  // Downloads the executable and stores it beside the running program under
  // exeName once it is complete and trusted; 1 then, else 0 with no file
  // left behind and an existing file of that name untouched.
  int DownloadUpdate();
  // Starts the stored executable if it still has the size that was verified
  // and still carries the trusted signature.
  void LaunchUpdate();

  const UpdateSettings& settings() const { return settings_; }
  int markerFound() const { return markerFound_; }
  std::int32_t remoteVersion() const { return remoteVersion_; }
  std::uint32_t announcedLength() const { return announcedLength_; }
  const std::string& host() const { return host_; }
  const std::string& directory() const { return directory_; }
  const std::string& versionFileName() const { return versionFileName_; }
  const std::string& exeName() const { return exeName_; }

 private:
  // Connects, sends the request for `name` and reads the response header
  // into `header`; nullptr when the exchange failed. Destroying the result
  // ends the exchange.
  std::unique_ptr<TcpConnection> OpenExchange(std::string_view name, std::size_t requestRoom,
                                              std::string& header);
  // True once exactly announcedLength bytes have arrived and been written.
  bool ReceiveExecutable(TcpConnection& connection, FileWriter& file);

  UpdatePlatform platform_;
  UpdateSettings settings_;

  int markerFound_ = 0;
  std::int32_t remoteVersion_ = 0;
  std::uint32_t announcedLength_ = 0;
  std::string host_;
  std::string directory_;
  std::string versionFileName_;
  std::string exeName_;
  // Size of the file the last DownloadUpdate stored and verified; 0 if none.
  std::uint32_t verifiedLength_ = 0;
};

// The update thread's body: the version check, the download of a different
// version, the question in a box owned by the main window, and on Yes the
// start of the new program. Returns 0; reports nothing.
int UpdateThread(MainWindow& window, UpdateChecker& checker);

}  // namespace kestro
