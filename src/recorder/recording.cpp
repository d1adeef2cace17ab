#include "recorder/recording.h"

#include "recorder/key_arguments.h"
#include "recorder/recording_conversion.h"
#include "script/script_editor.h"
#include "text/system_texts.h"

namespace kestro {

void Recording::Start() {
  if (active_) return;
  if (links_.runActive && links_.runActive()) return;
  ++number_;
  auto lost = [report = links_.reportHooksLost, number = number_] {
    if (report) report(number);
  };
  if (!hooks_.Start(lost)) {
    window_.ShowMessage(BoxOwner::MainWindow, text::kRecordingUnavailable, text::kNoticeCaption,
                        kBoxOk);
    return;
  }
  active_ = true;
  if (links_.setMenuText) links_.setMenuText(text::kStopRecordingMenuText);
  window_.SetStatusText(0, text::kRecordingStatus);
  window_.SetStatusText(1, "");
}

void Recording::Stop() {
  if (active_) Finish(text::kRecordingFinishedStatus);
}

void Recording::Interrupt(unsigned recording) {
  if (active_ && recording == number_) Finish(text::kRecordingInterruptedStatus);
}

void Recording::Finish(std::string_view status) {
  HookCapture capture = hooks_.Stop();
  active_ = false;
  if (links_.setMenuText) links_.setMenuText(text::kRecordMenuText);

  ConversionSettings settings;
  if (links_.hotkeys) settings.hotkeys = links_.hotkeys();
  settings.keyCharacters = KeyCharactersOf(input_);
  settings.doubleClickTimeMs = hooks_.DoubleClickTimeMs();
  ConvertedRecording recorded = ConvertRecording(capture, settings);

  InsertScriptLines(window_, recorded.lines);
  window_.SetStatusText(0, status);
  window_.SetStatusText(1, RecordingSummary(recorded.lines.size(), recorded.skippedKeys));
}

void Recording::Toggle() {
  if (active_) return Stop();
  Start();
}

std::string RecordingSummary(std::size_t lines, int skippedKeys) {
  std::string summary = std::string(text::kRecordedLinesPrefix) + std::to_string(lines) +
                        std::string(text::kRecordedLinesSuffix);
  if (skippedKeys > 0) {
    summary += std::string(text::kSkippedKeysPrefix) + std::to_string(skippedKeys) +
               std::string(text::kSkippedKeysSuffix);
  }
  return summary;
}

}  // namespace kestro
