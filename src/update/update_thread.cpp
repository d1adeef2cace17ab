#include "text/system_texts.h"
#include "update/update_checker.h"

namespace kestro {

int UpdateThread(MainWindow& window, UpdateChecker& checker) {
  if (!checker.SetServer(checker.settings().host, "/soft/kestro/", "kestro.txt", "kestro.exe"))
    return 0;
  checker.FetchVersion();
  if (checker.CompareVersion(kBuiltInVersion) != VersionDifferent) return 0;
  // The question comes only after a complete, trusted download.
  if (checker.DownloadUpdate() == 0) return 0;
  int answer = window.ShowMessage(BoxOwner::MainWindow, text::kUpdateQuestion, text::kUpdateCaption,
                                  kBoxIconQuestion | kBoxYesNo);
  if (answer != kAnswerYes) return 0;
  checker.LaunchUpdate();
  return 0;
}

}  // namespace kestro
