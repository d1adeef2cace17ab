// The update check: asks the vendor's server for its version file, downloads
// a different version beside the running program, and when the user agrees
// puts it in the program's place and hands over to it. The server's protocol
// is kept as it is; the client guards itself: only a validly signed program
// asks at all, every read has a time limit and the whole check a deadline,
// nothing the server sends can overrun a buffer, an announced length above
// the ceiling is refused unread, and the download stays a temporary file,
// complete and signed by a key the running program knows, until the user
// says yes. Only a failure after yes is reported.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "build_config.h"
#include "platform/clock.h"
#include "platform/code_signing.h"
#include "platform/main_window.h"
#include "platform/processes.h"
#include "platform/program_files.h"
#include "platform/program_launcher.h"
#include "platform/tcp_connection.h"
#include "update/update_trust.h"

namespace kestro {

enum VersionComparison : int {
  VersionInvalid = 0,
  VersionSame = 1,
  VersionDifferent = 2,
};

// The program's own version number as the update server counts.
constexpr std::int32_t kBuiltInVersion = KESTRO_UPDATE_NUMBER;

// The largest program the check accepts (the program itself is a few
// hundred kilobytes); a larger announcement is refused before its body is
// read.
constexpr std::uint32_t kDownloadCeiling = 64u * 1024 * 1024;

// What the update check needs from the system.
struct UpdatePlatform {
  TcpConnector& network;
  ProgramFiles& files;
  CodeSigning& signing;
  ProgramLauncher& launcher;
  Processes& processes;
  Clock& clock;
};

// The system's implementations, held together for the program.
struct SystemUpdatePlatform {
  SystemTcpConnector network;
  SystemProgramFiles files;
  SystemCodeSigning signing;
  SystemProgramLauncher launcher;
  SystemProcesses processes;
  SystemClock clock;

  UpdatePlatform Seams() { return {network, files, signing, launcher, processes, clock}; }
};

enum class LaunchResult {
  // The new program runs in the old one's place.
  Started,
  // A step failed and was undone: the program and its folder are as before.
  Failed,
  // No download waits: none was made, or the program is ending.
  NothingPending,
};

struct LaunchOutcome {
  LaunchResult result = LaunchResult::NothingPending;
  // After a failure: where the program's own file lies when it could not
  // be put back under its name; empty when it is back.
  NativePath strandedProgram;
};

struct UpdateSettings {
  // The server UpdateThread points the checker at; the program sets it at
  // build time.
  std::string host;
  std::uint16_t port = 80;
  // The version file's four bytes, however many receives they take.
  std::uint32_t versionBodyTimeoutMs = 10000;
  // Every header byte and every download chunk: a server silent this long
  // counts as gone, so a stalled server cannot hold the thread forever.
  std::uint32_t streamTimeoutMs = 30000;
  // Both exchanges together, from the version file's request on: a server
  // that sends a byte just within every time limit is cut off all the same.
  std::uint32_t overallDeadlineMs = 5 * 60 * 1000;
  // Keys besides the running program's own that may sign an update (see
  // update_trust.h); the program sets them at build time.
  SignerKeys successorSignerKeys;
};

class UpdateChecker {
 public:
  explicit UpdateChecker(UpdatePlatform platform, UpdateSettings settings = {});
  UpdateChecker(const UpdateChecker&) = delete;
  UpdateChecker& operator=(const UpdateChecker&) = delete;

  // Removes what earlier updates left beside the program (see
  // RemoveLeftovers in update_install.h). Before the first download only.
  void RemoveLeftovers();
  // Whether the running program carries a valid signature by a known key.
  // Without one no download could ever be trusted, so the check does not
  // even ask.
  bool RunningProgramIsSigned();

  // Copies the server's host, the directory (with leading and trailing
  // slash) and the two file names. False, changing nothing, when one is
  // longer than 255 bytes.
  bool SetServer(std::string_view host, std::string_view directory,
                 std::string_view versionFileName, std::string_view exeName);
  // Reads the version file; may set markerFound and remoteVersion. Starts
  // the check's overall deadline.
  void FetchVersion();
  VersionComparison CompareVersion(std::int32_t version) const;
  // Downloads the executable into a temporary file beside the running
  // program and keeps it there when it is complete and trusted: 1 then,
  // else 0 with no file left behind. Nothing else in the folder changes.
  int DownloadUpdate();
  // After yes: puts the kept download in the place of the running program's
  // own file, whatever its name, and starts it, telling it which process it
  // replaces (see InstallUpdate). Whatever the result, the download is no
  // longer kept.
  LaunchOutcome LaunchUpdate();
  // After no: removes the kept download.
  void DiscardUpdate();
  // The program is ending: removes the kept download, and a later
  // DownloadUpdate or LaunchUpdate does nothing. Waits for a LaunchUpdate
  // in progress, so the program never ends halfway through the swap.
  void AbandonUpdate();

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
  // One receive that gives up after `limitMs`, or earlier at the deadline.
  std::size_t Receive(TcpConnection& connection, char* buffer, std::size_t capacity,
                      std::uint32_t limitMs);
  std::string ReadHeader(TcpConnection& connection);
  // True once exactly announcedLength bytes have arrived and been written.
  bool ReceiveExecutable(TcpConnection& connection, FileWriter& file);
  // Removes the kept download; the caller holds downloadMutex_.
  void RemoveKeptDownload();

  UpdatePlatform platform_;
  UpdateSettings settings_;

  int markerFound_ = 0;
  std::int32_t remoteVersion_ = 0;
  std::uint32_t announcedLength_ = 0;
  std::string host_;
  std::string directory_;
  std::string versionFileName_;
  std::string exeName_;

  // The end of the whole check, and the receive time limit last given to
  // the connection in use.
  std::int64_t deadlineMs_ = 0;
  std::uint32_t receiveLimitMs_ = 0;

  // The kept download and its verified size, shared with the thread that
  // ends the program (AbandonUpdate).
  std::mutex downloadMutex_;
  NativePath keptDownload_;
  std::uint32_t verifiedLength_ = 0;
  bool abandoned_ = false;
};

// The update thread's body: the removal of earlier leftovers, the version
// check (only in a signed program), the download of a different version,
// the question in a box owned by the main window, and on yes the swap, the
// start of the new program and the end of this one. Returns 0. The only box
// besides the question is the one failure it reports: a swap that failed.
int UpdateThread(MainWindow& window, UpdateChecker& checker);

}  // namespace kestro
