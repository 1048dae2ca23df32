// The existing-form dialog: a print layout being carried into a period that already has a form of
// that name; the user replaces it (100), carries it under a new name (200) or skips it (2).
#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace xfer::ui {

class TDlgMsg;

class TFrmApply : public QDialog {
  Q_OBJECT
 public:
  enum Result { kReplace = 100, kRename = 200, kSkip = 2 };

  // Refusals go through `dlgMsg`.
  explicit TFrmApply(TDlgMsg& dlgMsg, QWidget* parent = nullptr);
  TFrmApply(const TFrmApply&) = delete;
  TFrmApply& operator=(const TFrmApply&) = delete;

  // The current name of the form: shown on lbl1 and offered in Edit1 as the start of a new name.
  void setFormName(const QString& name);
  QString formName() const { return formName_; }
  // The name typed for result 200.
  QString newName() const;

 public slots:
  // Closing the window is the cancel button.
  void reject() override { done(kSkip); }

 private slots:
  void rb2Click();
  void Button2Click();

 private:
  TDlgMsg& dlgMsg_;
  QString formName_;
  QLabel* Label1 = nullptr;
  QLabel* lbl1 = nullptr;
  QLabel* Label5 = nullptr;
  QRadioButton* rb1 = nullptr;
  QRadioButton* rb2 = nullptr;
  QRadioButton* rb3 = nullptr;
  QLineEdit* Edit1 = nullptr;
  QPushButton* Button2 = nullptr;
  QPushButton* Button3 = nullptr;
};

}  // namespace xfer::ui
