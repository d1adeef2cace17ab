// Putting a verified download in the place of the program and handing over
// to it: the running program's file renamed aside, the download moved onto
// the target and started with an argument naming the process it replaces,
// and every step undone when a later one fails. Also the names the update
// gives its own files, so that a later start removes exactly those it left.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/code_signing.h"
#include "platform/processes.h"
#include "platform/program_files.h"
#include "platform/program_launcher.h"
#include "update/update_trust.h"

namespace kestro {

// How long a new copy waits for the copy it replaces to end.
constexpr std::uint32_t kReplacedProgramWaitMs = 10000;

// "~kestro-update-<owner>-<serial>.tmp": a download in progress or waiting
// for the user's answer.
std::string DownloadFileName(ProcessId owner, unsigned serial);
// "~kestro-replaced-<owner>-<serial>.old": the program's file renamed aside
// while the process that renamed it (and may still run from it) lives.
std::string AsideFileName(ProcessId owner, unsigned serial);
// The process that made a file of one of these names; nullopt for any other
// name, so nothing else in the folder is ever taken for a leftover.
std::optional<ProcessId> LeftoverOwner(std::string_view name);

// The first of name(owner, 0), name(owner, 1), ... that none of the names
// in use takes, compared without regard to letter case as Windows does.
std::string FreeName(const std::vector<std::string>& namesInUse,
                     std::string (*name)(ProcessId, unsigned), ProcessId owner);

// Removes the leftovers of earlier updates from the program's folder: files
// of the names above whose process has ended. Called before this process
// makes any such file, so one with its own id is from an earlier process
// that had the same id.
void RemoveLeftovers(ProgramFiles& files, Processes& processes);

// The command-line argument that tells a new copy which process it
// replaces, and reading it back from a command line; nullopt when it is not
// there or not well formed.
std::string ReplacesArgument(ProcessId process);
std::optional<ProcessId> ReplacedProcess(std::string_view commandLine);
// When the command line names the process that started this copy, waits
// until it has ended (at most kReplacedProgramWaitMs in all), so its
// single-instance name and its hotkeys are free again. Any other process
// named there is not waited for.
void WaitForReplacedProgram(Processes& processes, std::string_view commandLine);

struct InstallPlatform {
  ProgramFiles& files;
  CodeSigning& signing;
  ProgramLauncher& launcher;
  Processes& processes;
};

struct InstallResult {
  bool started = false;
  // Where the program's own file lies when a failed swap could not put it
  // back under its name; empty otherwise.
  NativePath stranded;
};

// Puts the download, verified earlier at `verifiedSize` bytes, in the place
// of the running program's file (`target`) and starts it with
// ReplacesArgument. The download is held from its last check to the start:
// it must still have that size and a trusted signature, read through the
// held file, which is then renamed into place and started. Between renaming
// the program aside and moving the download in, nothing else runs. Started
// when the new program was started; otherwise the target is back under its
// name (or `stranded` says where it lies) and the download is gone.
InstallResult InstallUpdate(InstallPlatform platform, const NativePath& download,
                            std::uint64_t verifiedSize, const NativePath& target,
                            const SignerKeys& successorKeys = {});

}  // namespace kestro
