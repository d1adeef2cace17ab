#include "platform/text_encoding.h"
#include "text/system_texts.h"
#include "update/update_checker.h"

namespace kestro {

int UpdateThread(MainWindow& window, UpdateChecker& checker) {
  checker.RemoveLeftovers();
  // An unsigned program trusts no download: it asks no server at all.
  if (!checker.RunningProgramIsSigned()) return 0;
  if (!checker.SetServer(checker.settings().host, "/soft/kestro/", "kestro.txt", "kestro.exe"))
    return 0;
  checker.FetchVersion();
  if (checker.CompareVersion(kBuiltInVersion) != VersionDifferent) return 0;
  // The question comes only after a complete, trusted download.
  if (checker.DownloadUpdate() == 0) return 0;
  int answer = window.ShowMessage(BoxOwner::MainWindow, text::kUpdateQuestion, text::kUpdateCaption,
                                  kBoxIconQuestion | kBoxYesNo);
  if (answer != kAnswerYes) {
    checker.DiscardUpdate();
    return 0;
  }
  LaunchOutcome outcome = checker.LaunchUpdate();
  switch (outcome.result) {
    case LaunchResult::Started:
      // The new copy waits for this one to end before it takes the
      // single-instance name and the hotkeys.
      window.Close();
      return 0;
    case LaunchResult::Failed: {
      // The user asked for this, so this failure, unlike every other, is
      // reported; and where the program's file could not go back under its
      // name, the box says where it lies.
      std::string message(text::kUpdateFailedMessage);
      if (!outcome.strandedProgram.empty()) {
        message += std::string(text::kOldProgramLocation) + GbkForDisplay(outcome.strandedProgram);
      }
      window.ShowMessage(BoxOwner::MainWindow, message, text::kUpdateCaption,
                         kBoxIconWarning | kBoxOk);
      return 0;
    }
    case LaunchResult::NothingPending:
      return 0;
  }
  return 0;
}

}  // namespace kestro
