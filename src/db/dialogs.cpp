#include "db/dialogs.h"

#include "db/text_util.h"

namespace xfer::db {

std::string NormalizeDialogCode(const std::string& code) {
  std::string c = UpperAscii(code);
  if (c.empty()) return "1 R";
  if (c.size() == 1) return c + " R";
  if (c.size() == 2) return c + "R";
  return c;
}

int ButtonSetResult(const std::string& normalizedCode) {
  switch (normalizedCode.empty() ? ' ' : normalizedCode[0]) {
    case '1':
      return kResultOk;
    case '2':
      return kResultCancel;
    case '3':
      return kResultNo;
    default:
      return kResultNone;
  }
}

void ShowCommandError(Dialogs& dialogs, const std::exception& e) {
  dialogs.HideState();
  dialogs.ShowDlgMsg(std::string(kCommandErrorLine) + "\n" + e.what(), "", "1ER");
}

int ScriptedDialogs::ShowDlgMsg(const std::string& message, const std::string& caption,
                                const std::string& code) {
  messages.push_back({message, caption, code});
  if (!answers.empty()) {
    int a = answers.front();
    answers.pop_front();
    return a;
  }
  std::string c = NormalizeDialogCode(code);
  return c[0] == '3' ? kResultYes : kResultOk;
}

void ScriptedDialogs::ShowState(const std::string& kind, const std::string& title,
                                const std::string& message) {
  states.push_back(kind + "|" + title + "|" + message);
  stateVisible = true;
}

void ScriptedDialogs::HideState() {
  stateVisible = false;
  ++hides;
}

}  // namespace xfer::db
