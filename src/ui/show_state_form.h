// The suite's progress window: a small modeless window with a title, an icon by kind ("STOP",
// "INFO", "HELP") and a message, shown once while a long operation runs and updated in place.
// It disables the calling form until hidden, and may show a determinate bar for finer progress.
// During a run it also names the unit in progress, counts units done of all and offers a stop
// button; the window then grows by one line.
#pragma once

#include <QDialog>
#include <QElapsedTimer>
#include <QPointer>
#include <QString>

class QLabel;
class QProgressBar;
class QPushButton;

namespace xfer::ui {

class CaptionPanel;

class TShowStateForm : public QDialog {
  Q_OBJECT
 public:
  explicit TShowStateForm(QWidget* parent = nullptr);
  TShowStateForm(const TShowStateForm&) = delete;
  TShowStateForm& operator=(const TShowStateForm&) = delete;

  // Shows the window when hidden, otherwise only updates the texts. An empty title falls back
  // to `applicationTitle`. `owner` (may be null) is disabled until HideState.
  void ShowState(QWidget* owner, const QString& kind, const QString& title, const QString& message,
                 const QString& applicationTitle);
  // Re-enables the owner and closes the window.
  void HideState(QWidget* owner);
  // Determinate progress inside the current step; a total of 0 or less hides the bar.
  void Progress(long long done, long long total);
  // The unit a run is starting, and `done` of `total` units finished; keeps events flowing so
  // a stop or close can be asked for between units.
  void ShowUnit(const QString& caption, long long done, long long total);
  // The stop button (`cmdStop`), shown while a run can be stopped.
  void setStopVisible(bool visible);
  QPushButton* stopButton() const { return cmdStop; }

  QString title() const { return title_; }
  QString message() const;
  QString unit() const { return unit_; }
  // The unit line as shown: caption and units done of all.
  QString unitLine() const;
  QString kind() const { return kind_; }
  // Percentage on the bar, -1 while it is hidden.
  int percent() const;

  // Escape, or closing the window from outside, does not dismiss the progress of a running
  // operation: with the stop button shown it asks for a stop, otherwise nothing happens.
  void reject() override;

  static constexpr int kClientWidth = 300;
  static constexpr int kClientHeight = 106;
  static constexpr int kRunClientHeight = 132;  // with the unit line and the stop button

 protected:
  void closeEvent(QCloseEvent* e) override;

 private:
  void LayOut();
  void CentreOnOwner(QWidget* owner);
  void Pump();

  CaptionPanel* Caption_Panel = nullptr;
  QLabel* I_Stop = nullptr;
  QLabel* I_Help = nullptr;
  QLabel* I_Info = nullptr;
  QLabel* plMsg = nullptr;
  QProgressBar* pbProgress = nullptr;
  QLabel* lblUnit = nullptr;
  QPushButton* cmdStop = nullptr;
  bool runMode_ = false;
  bool hiding_ = false;  // HideState is closing the window
  QString unit_;
  QString message_;
  QString title_;
  QString kind_;
  QElapsedTimer lastPump_;
};

}  // namespace xfer::ui
