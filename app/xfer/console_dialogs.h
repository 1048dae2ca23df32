// The message dialog and progress window of the command-line tool: messages on the console,
// the progress window as a title line and, on a terminal, a progress bar.
#pragma once

#include "db/dialogs.h"

namespace xfer::cli {

class ConsoleDialogs : public db::Dialogs {
 public:
  // `answerYes`: how questions are answered, there being nobody to ask.
  // `stdoutFree`: notices go to stderr too, leaving stdout to a machine-read report.
  explicit ConsoleDialogs(bool answerYes = true, bool stdoutFree = false);
  int ShowDlgMsg(const std::string& message, const std::string& caption,
                 const std::string& code) override;
  void ShowState(const std::string& kind, const std::string& title,
                 const std::string& message) override;
  void HideState() override;
  void Progress(long long done, long long total) override;
  void UnitStarted(const std::string& caption, long long done, long long total) override;

  int errors = 0;  // "1ER" messages shown

 private:
  bool answerYes_;
  bool stdoutFree_;
  bool terminal_;
  bool barShown_ = false;
};

}  // namespace xfer::cli
