#include "update/update_install.h"

#include <algorithm>
#include <limits>

#include "update/update_trust.h"

namespace kestro {
namespace {

constexpr std::string_view kDownloadPrefix = "~kestro-update-";
constexpr std::string_view kDownloadSuffix = ".tmp";
constexpr std::string_view kAsidePrefix = "~kestro-replaced-";
constexpr std::string_view kAsideSuffix = ".old";
constexpr std::string_view kReplacesOption = "--replaces=";

std::string OwnedName(std::string_view prefix, ProcessId owner, unsigned serial,
                      std::string_view suffix) {
  std::string name(prefix);
  name.append(std::to_string(owner)).append("-").append(std::to_string(serial)).append(suffix);
  return name;
}

// Decimal digits as this code writes them: no sign, no leading zero, and a
// value that fits 32 bits.
std::optional<std::uint32_t> WrittenNumber(std::string_view digits) {
  if (digits.empty() || digits.size() > 10) return std::nullopt;
  if (digits.size() > 1 && digits[0] == '0') return std::nullopt;
  std::uint64_t value = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<std::uint64_t>(c - '0');
  }
  if (value > std::numeric_limits<std::uint32_t>::max()) return std::nullopt;
  return static_cast<std::uint32_t>(value);
}

// The owner of "<prefix><owner>-<serial><suffix>".
std::optional<ProcessId> OwnerOf(std::string_view name, std::string_view prefix,
                                 std::string_view suffix) {
  if (!name.starts_with(prefix) || !name.ends_with(suffix)) return std::nullopt;
  name.remove_prefix(prefix.size());
  name.remove_suffix(suffix.size());
  std::size_t dash = name.find('-');
  if (dash == std::string_view::npos) return std::nullopt;
  std::optional<std::uint32_t> owner = WrittenNumber(name.substr(0, dash));
  if (!owner || *owner == 0 || !WrittenNumber(name.substr(dash + 1))) return std::nullopt;
  return owner;
}

bool SameNameIgnoringCase(std::string_view a, std::string_view b) {
  auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [&](char x, char y) { return lower(x) == lower(y); });
}

// Puts the program renamed aside back under its name, if it was moved; the
// failure result when it cannot be, saying where it lies.
InstallResult PutBack(ProgramFiles& files, const NativePath& aside, const NativePath& target) {
  if (aside.empty() || files.Move(aside, target)) return {};
  return {false, aside};
}

}  // namespace

std::string DownloadFileName(ProcessId owner, unsigned serial) {
  return OwnedName(kDownloadPrefix, owner, serial, kDownloadSuffix);
}

std::string AsideFileName(ProcessId owner, unsigned serial) {
  return OwnedName(kAsidePrefix, owner, serial, kAsideSuffix);
}

std::optional<ProcessId> LeftoverOwner(std::string_view name) {
  if (std::optional<ProcessId> owner = OwnerOf(name, kDownloadPrefix, kDownloadSuffix))
    return owner;
  return OwnerOf(name, kAsidePrefix, kAsideSuffix);
}

std::string FreeName(const std::vector<std::string>& namesInUse,
                     std::string (*name)(ProcessId, unsigned), ProcessId owner) {
  for (unsigned serial = 0;; ++serial) {
    std::string candidate = name(owner, serial);
    bool taken = std::any_of(namesInUse.begin(), namesInUse.end(), [&](const std::string& used) {
      return SameNameIgnoringCase(used, candidate);
    });
    if (!taken) return candidate;
  }
}

void RemoveLeftovers(ProgramFiles& files, Processes& processes) {
  ProcessId self = processes.CurrentProcessId();
  for (const std::string& name : files.NamesBesideProgram()) {
    std::optional<ProcessId> owner = LeftoverOwner(name);
    if (!owner) continue;
    // A file of a process that still runs may be in use: a download, or
    // the program that process runs from.
    if (*owner != self && processes.IsRunning(*owner)) continue;
    NativePath path = files.PathBesideProgram(name);
    if (!path.empty()) files.Remove(path);
  }
}

std::string ReplacesArgument(ProcessId process) {
  return std::string(kReplacesOption) + std::to_string(process);
}

std::optional<ProcessId> ReplacedProcess(std::string_view commandLine) {
  constexpr std::string_view kBlanks = " \t";
  while (!commandLine.empty()) {
    std::size_t start = commandLine.find_first_not_of(kBlanks);
    if (start == std::string_view::npos) break;
    commandLine.remove_prefix(start);
    std::string_view word = commandLine.substr(0, commandLine.find_first_of(kBlanks));
    commandLine.remove_prefix(word.size());
    if (!word.starts_with(kReplacesOption)) continue;
    std::optional<std::uint32_t> process = WrittenNumber(word.substr(kReplacesOption.size()));
    if (process && *process != 0) return process;
  }
  return std::nullopt;
}

void WaitForReplacedProgram(Processes& processes, std::string_view commandLine) {
  std::optional<ProcessId> replaced = ReplacedProcess(commandLine);
  if (!replaced || !processes.IsParentProcess(*replaced)) return;
  // After the limit this copy starts all the same; should the old one still
  // hold the single-instance name, this copy ends as any second copy does.
  processes.WaitForExit(*replaced, kReplacedProgramWaitMs);
}

InstallResult InstallUpdate(InstallPlatform platform, const NativePath& download,
                            std::uint64_t verifiedSize, const NativePath& target,
                            const SignerKeys& successorKeys) {
  ProgramFiles& files = platform.files;
  // The question may have stood open for a long time: what is about to run
  // is checked again, through the hold that keeps it as checked.
  std::unique_ptr<HeldFile> held = files.Hold(download);
  if (!held || held->Size() != verifiedSize ||
      !IsTrustedHeldFile(platform.signing, *held, successorKeys)) {
    held.reset();
    files.Remove(download);
    return {};
  }
  // Windows refuses to replace a running program's file but lets it be
  // renamed; it stays aside until this process has ended, and the next
  // start removes it.
  ProcessId self = platform.processes.CurrentProcessId();
  NativePath aside;
  if (files.Exists(target)) {
    aside = files.PathBesideProgram(FreeName(files.NamesBesideProgram(), AsideFileName, self));
    if (aside.empty() || !files.Move(target, aside)) {
      held.reset();
      files.Remove(download);
      return {};
    }
  }
  if (!held->MoveTo(target)) {
    held.reset();
    files.Remove(download);
    return PutBack(files, aside, target);
  }
  if (platform.launcher.Start(target, ReplacesArgument(self))) return {true, {}};
  // The new program goes back to its temporary name and away, so the old
  // one can have its name again.
  bool movedOut = held->MoveTo(download);
  held.reset();
  if (!movedOut) return {false, aside};
  files.Remove(download);
  return PutBack(files, aside, target);
}

}  // namespace kestro
