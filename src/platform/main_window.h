// The windows as the core sees them: controls addressed by id, the script
// list, message boxes and the status bar. The Windows program implements
// these on its dialogs; tests use an in-memory fake.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestro {

// Message box styles and answers, with their Win32 values.
enum MessageStyle : unsigned {
  kBoxOk = 0x0,
  kBoxYesNo = 0x4,
  kBoxIconQuestion = 0x20,
  kBoxIconWarning = 0x30,
  kBoxIconInformation = 0x40,
};
constexpr int kAnswerYes = 6;

// The controls of one dialog. All text is GBK bytes.
class Dialog {
 public:
  virtual ~Dialog() = default;

  virtual std::string ControlText(int controlId) = 0;
  // The text when GBK holds every character of it; nothing otherwise.
  virtual std::optional<std::string> ExactControlText(int controlId) = 0;
  virtual void SetControlText(int controlId, std::string_view text) = 0;
  virtual bool IsChecked(int controlId) = 0;
  virtual void SetChecked(int controlId, bool checked) = 0;

  // Combo boxes and drop-down lists: entries in insertion order.
  virtual void ComboAdd(int controlId, std::string_view text) = 0;
  virtual void ComboSelect(int controlId, int index) = 0;
  // The selected entry's position, or -1 when none is selected.
  virtual int ComboSelection(int controlId) = 0;
};

enum class BoxOwner { MainWindow, None };

// What a run plays and a save writes: the repeat-count text, the loop box
// and every line of the script list, whole.
struct ScriptSnapshot {
  std::string repeatCount;
  bool loop = false;
  std::vector<std::string> lines;
};

// The main window: its dialog controls, the script list (list box 1002),
// message boxes and the two-part status bar.
class MainWindow : public Dialog {
 public:
  // The repeat setting and the list. Called on the window's own thread
  // only, so no edit can come between two lines of the copy.
  virtual ScriptSnapshot CopyScript() = 0;

  virtual int ListCount() = 0;
  // The selected line's index, or -1 when none is selected.
  virtual int ListSelection() = 0;
  // Inserts before the line at index; index == ListCount() appends.
  virtual void ListInsert(int index, std::string_view line) = 0;
  // Inserts the lines in one go before the line at index (a loaded file, a
  // recording); index == ListCount() appends. The selection stays as it is.
  virtual void ListInsert(int index, const std::vector<std::string>& lines) = 0;
  // Selects the line and scrolls it into view; -1 clears the selection.
  virtual void ListSelect(int index) = 0;
  virtual void ListDelete(int index) = 0;
  virtual void ListClear() = 0;

  // A modal message box; returns the answer (kAnswerYes, ...).
  virtual int ShowMessage(BoxOwner owner, std::string_view text, std::string_view caption,
                          unsigned style) = 0;
  // Text of status-bar part 0 or 1.
  virtual void SetStatusText(int part, std::string_view text) = 0;
  // Ends the program as the close box would, from any thread: the request
  // is queued for the window's own thread and this returns at once.
  virtual void Close() = 0;
};

}  // namespace kestro
