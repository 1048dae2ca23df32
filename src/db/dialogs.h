// What core routines need from the user interface: the suite's message dialog (a message, a
// caption and a three-character code that picks buttons and icon) and its progress window.
// The desktop host implements it with the real dialogs, the command-line tool on the console,
// tests with a script that records every message and answers questions.
#pragma once

#include <deque>
#include <exception>
#include <string>
#include <vector>

namespace xfer::db {

// Results of the message dialog.
enum DialogResult {
  kResultNone = 0,
  kResultOk = 1,
  kResultCancel = 2,
  kResultYes = 6,
  kResultNo = 7
};

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // Shows a message; `code` as "1ER" (error), "1IR" (notice), "3QR" (yes/no question).
  // Returns the button pressed.
  virtual int ShowDlgMsg(const std::string& message, const std::string& caption,
                         const std::string& code) = 0;
  // Shows or updates the progress window; kind "STOP", "INFO" or "HELP".
  virtual void ShowState(const std::string& kind, const std::string& title,
                         const std::string& message) = 0;
  virtual void HideState() = 0;
  // Finer progress inside a long step; windows that have no bar ignore it.
  virtual void Progress(long long done, long long total) {
    (void)done;
    (void)total;
  }
  // A run is about to start the unit `caption`; `done` of `total` units are finished. Windows
  // that name no unit show it as plain progress.
  virtual void UnitStarted(const std::string& caption, long long done, long long total) {
    (void)caption;
    Progress(done, total);
  }
};

// First line of an error that ended a user's command; the server's own text follows it.
inline constexpr char kCommandErrorLine[] = "خطا در اجراي دستور روي بانک اطلاعاتي:";
// Shows such an error: the progress window goes, the Persian line first, then the server's text
// (what support asks for).
void ShowCommandError(Dialogs& dialogs, const std::exception& e);

// The dialog code as the dialog reads it: upper-cased, "" -> "1 R", one character + " R",
// two characters + "R".
std::string NormalizeDialogCode(const std::string& code);
// The result a button set stands for when the dialog is closed without a choice: "1" -> 1,
// "2" -> 2 (Cancel), "3" -> 7 (No), anything else 0.
int ButtonSetResult(const std::string& normalizedCode);

// A script of answers for tests and headless runs: records every message and progress state;
// questions are answered from `answers` in order (OK when the script runs out).
class ScriptedDialogs : public Dialogs {
 public:
  struct Message {
    std::string text;
    std::string caption;
    std::string code;
  };
  int ShowDlgMsg(const std::string& message, const std::string& caption,
                 const std::string& code) override;
  void ShowState(const std::string& kind, const std::string& title,
                 const std::string& message) override;
  void HideState() override;

  std::vector<Message> messages;
  std::vector<std::string> states;  // "kind|title|message" per ShowState
  std::deque<int> answers;
  bool stateVisible = false;
  int hides = 0;
};

}  // namespace xfer::db
