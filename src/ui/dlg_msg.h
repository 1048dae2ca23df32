// The suite's message dialog: a read-only memo, one of five icons and one of three button sets,
// picked by a three-character code ("1ER" error, "1IR" notice, "3QR" yes/no question). Modal,
// right-to-left, centred on the window it belongs to (on the screen when it has none); a message
// of more than four lines gets the scroll bar and a memo tall enough to show it whole, up to
// kMaxLines. Every form reports to the user through it.
#pragma once

#include <QDialog>
#include <QString>
#include <string>

class QLabel;
class QTextEdit;
class QPushButton;

namespace xfer::ui {

class CaptionPanel;

// The module-wide caption of the single OK button once a dialog was captioned "continue";
// empty until then.
QString& AlternativeOkCaption();

class TDlgMsg : public QDialog {
  Q_OBJECT
 public:
  explicit TDlgMsg(QWidget* parent = nullptr);
  TDlgMsg(const TDlgMsg&) = delete;
  TDlgMsg& operator=(const TDlgMsg&) = delete;

  // Lays the dialog out for one message (buttons, icon, memo, captions, size and position)
  // without showing it.
  void Prepare(const QString& message, const QString& caption, const QString& code);
  // Prepare, then show modally: 1 OK, 2 Cancel, 6 Yes, 7 No (the button set's result when
  // closed without a button).
  int Execute(const QString& message, const QString& caption, const QString& code);

  // Result of the current button set: 1, 2, 7, or 0 when no button is shown.
  int resultCode() const { return resultCode_; }
  QString defaultCaption() const { return defaultCaption_; }
  void setDefaultCaption(const QString& caption) { defaultCaption_ = caption; }
  // Lines the memo holds for its text at its width, wrapped lines counted.
  int memoLineCount() const;
  // The message as given, before display (Persian digits and letter forms) is applied.
  QString message() const { return message_; }

  static constexpr int kShortHeight = 141;
  static constexpr int kShortMemoHeight = 69;
  static constexpr int kMaxLines = 16;

 public slots:
  void reject() override;

 private:
  void FitLines();
  int LinesAt(qreal width) const;
  void GrowToLines();
  void PlaceButtons();
  void Centre();

  CaptionPanel* Caption_Panel = nullptr;
  QTextEdit* Memo1 = nullptr;
  QLabel* I_Info = nullptr;
  QLabel* I_Warning = nullptr;
  QLabel* I_Question = nullptr;
  QLabel* I_Error = nullptr;
  QLabel* I_Stop = nullptr;
  QPushButton* BBtnOK1 = nullptr;
  QPushButton* BBtnOK2 = nullptr;
  QPushButton* BBtnCancel = nullptr;
  QPushButton* BBtnYes = nullptr;
  QPushButton* BBtnNo = nullptr;
  QString defaultCaption_;
  QString message_;
  int lineHeight_ = 17;
  int resultCode_ = 1;
};

// The dialog shown modally with a message, caption and code.
int ShowDlgMsg(TDlgMsg& dlg, const std::string& message, const std::string& caption,
               const std::string& code);
// One OK button, no icon, the default caption.
int ShowDlgMsgSimple(TDlgMsg& dlg, const std::string& message);

}  // namespace xfer::ui
