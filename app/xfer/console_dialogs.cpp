#include "console_dialogs.h"

#include <unistd.h>

#include <cstdio>
#include <iostream>

namespace xfer::cli {

ConsoleDialogs::ConsoleDialogs(bool answerYes, bool stdoutFree)
    : answerYes_(answerYes), stdoutFree_(stdoutFree), terminal_(::isatty(STDERR_FILENO) != 0) {}

int ConsoleDialogs::ShowDlgMsg(const std::string& message, const std::string& caption,
                               const std::string& code) {
  std::string c = db::NormalizeDialogCode(code);
  if (barShown_) {
    std::cerr << "\n";
    barShown_ = false;
  }
  bool error = c[1] == 'E' || c[1] == 'S';
  if (error) ++errors;
  (error || stdoutFree_ ? std::cerr : std::cout)
      << (caption.empty() ? "" : caption + ": ") << message << "\n";
  if (c[0] == '3') return answerYes_ ? db::kResultYes : db::kResultNo;
  return db::ButtonSetResult(c) == db::kResultNone ? db::kResultOk : db::ButtonSetResult(c);
}

void ConsoleDialogs::ShowState(const std::string&, const std::string& title,
                               const std::string& message) {
  std::cerr << title << " - " << message << "\n";
}

void ConsoleDialogs::HideState() {
  if (barShown_) std::cerr << "\n";
  barShown_ = false;
}

void ConsoleDialogs::Progress(long long done, long long total) {
  UnitStarted("", done, total);
}

void ConsoleDialogs::UnitStarted(const std::string& caption, long long done, long long total) {
  if (!terminal_ || total <= 0) return;
  const int width = 40;
  int filled = static_cast<int>(width * done / total);
  // The line is cleared to its end: a shorter caption must not leave the last one's tail.
  std::fprintf(stderr, "\r[%s%s] %lld/%lld %s\x1b[K", std::string(filled, '#').c_str(),
               std::string(width - filled, '.').c_str(), done, total, caption.c_str());
  std::fflush(stderr);
  barShown_ = true;
}

}  // namespace xfer::cli
