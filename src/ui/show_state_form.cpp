// Progress window: shown once per operation, texts updated in place, events kept flowing.
#include "ui/show_state_form.h"

#include <algorithm>

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QThread>

#include "ui/caption_panel.h"
#include "ui/persian_display.h"
#include "ui/run_text.h"
#include "ui/ui_font.h"

namespace xfer::ui {
namespace {

constexpr int kCaptionHeight = 24;
constexpr int kIconSize = 32;
constexpr int kMargin = 6;
constexpr int kBarHeight = 14;
constexpr int kPumpIntervalMs = 50;

QLabel* MakeIcon(QWidget* parent, const char* name, QStyle::StandardPixmap pixmap) {
  auto* icon = new QLabel(parent);
  icon->setObjectName(name);
  icon->setPixmap(parent->style()->standardIcon(pixmap).pixmap(kIconSize, kIconSize));
  icon->hide();
  return icon;
}

}  // namespace

TShowStateForm::TShowStateForm(QWidget* parent) : QDialog(parent) {
  setObjectName("ShowStateForm");
  ApplyFormStyle(this);
  setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
  setModal(false);
  setFixedSize(kClientWidth, kClientHeight);

  Caption_Panel = new CaptionPanel(this);
  I_Stop = MakeIcon(this, "I_Stop", QStyle::SP_BrowserStop);
  I_Help = MakeIcon(this, "I_Help", QStyle::SP_MessageBoxQuestion);
  I_Info = MakeIcon(this, "I_Info", QStyle::SP_MessageBoxInformation);
  plMsg = new QLabel(this);
  plMsg->setObjectName("plMsg");
  plMsg->setWordWrap(true);
  plMsg->setAlignment(Qt::AlignCenter);
  plMsg->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  pbProgress = new QProgressBar(this);
  pbProgress->setObjectName("pbProgress");
  pbProgress->setRange(0, 100);
  pbProgress->setTextVisible(false);
  pbProgress->hide();
  lblUnit = new QLabel(this);
  lblUnit->setObjectName("lblUnit");
  lblUnit->setAlignment(Qt::AlignCenter);
  lblUnit->hide();
  cmdStop = new QPushButton(QString::fromUtf8(run_text::kStop), this);
  cmdStop->setObjectName("cmdStop");
  cmdStop->setToolTip(QString::fromUtf8(run_text::kStopHint));
  cmdStop->hide();
  LayOut();
}

void TShowStateForm::ShowState(QWidget* owner, const QString& kind, const QString& title,
                               const QString& message, const QString& applicationTitle) {
  title_ = title.isEmpty() ? applicationTitle : title;
  kind_ = kind;
  I_Stop->setVisible(kind == "STOP");
  I_Info->setVisible(kind == "INFO");
  I_Help->setVisible(kind == "HELP");
  if (owner) owner->setEnabled(false);
  if (!isVisible()) {
    pbProgress->hide();
    LayOut();
    CentreOnOwner(owner);
    show();
    QApplication::processEvents();
    QThread::msleep(1);
    lastPump_.start();
  }
  Caption_Panel->setText(QString(3, ' ') + ForDisplay(title_));
  message_ = message;
  plMsg->setText(ForDisplay(message));
  setWindowTitle(ForDisplay(title_));
  repaint();
}

void TShowStateForm::HideState(QWidget* owner) {
  if (owner) owner->setEnabled(true);
  pbProgress->hide();
  unit_.clear();
  lblUnit->hide();
  hiding_ = true;
  close();
  hiding_ = false;
}

void TShowStateForm::ShowUnit(const QString& caption, long long done, long long total) {
  unit_ = caption;
  // The caption, then how many units of all are done: "caption  (3 of 45)".
  QString line = ForDisplay(caption);
  if (total > 0)
    line += QString::fromUtf8("  (") + PersianNumber(done) + QString::fromUtf8(run_text::kOf) +
            PersianNumber(total) + ")";
  lblUnit->setText(line);
  lblUnit->show();
  if (!pbProgress->isVisible() && total > 0) pbProgress->show();
  LayOut();
  if (total > 0) pbProgress->setValue(int(std::clamp(done, 0LL, total) * 100 / total));
  repaint();
  // Every unit boundary is a point where a stop may be asked for: let the events in.
  lastPump_.start();
  QApplication::processEvents();
}

void TShowStateForm::setStopVisible(bool visible) {
  cmdStop->setVisible(visible);
  cmdStop->setEnabled(true);
  LayOut();
}

void TShowStateForm::Progress(long long done, long long total) {
  const bool wanted = total > 0;
  if (wanted != pbProgress->isVisible()) {
    pbProgress->setVisible(wanted);
    LayOut();
  }
  if (!wanted) return;
  const long long clamped = std::clamp(done, 0LL, total);
  pbProgress->setValue(int(clamped * 100 / total));
  Pump();
}

void TShowStateForm::reject() {
  if (cmdStop->isVisible() && cmdStop->isEnabled()) cmdStop->click();
}

void TShowStateForm::closeEvent(QCloseEvent* e) {
  // HideState closes the window itself; a close from outside is turned away. (The dialog's own
  // close handling would go through reject(), which keeps the window.)
  if (hiding_) {
    e->accept();
    return;
  }
  e->ignore();
  reject();
}

QString TShowStateForm::message() const {
  return message_;
}

QString TShowStateForm::unitLine() const {
  return lblUnit->text();
}

int TShowStateForm::percent() const {
  return pbProgress->isVisible() ? pbProgress->value() : -1;
}

void TShowStateForm::LayOut() {
  runMode_ = lblUnit->isVisibleTo(this) || cmdStop->isVisibleTo(this);
  const int height = runMode_ ? kRunClientHeight : kClientHeight;
  if (size() != QSize(kClientWidth, height)) setFixedSize(kClientWidth, height);
  Caption_Panel->setGeometry(0, 0, kClientWidth, kCaptionHeight);
  const int top = kCaptionHeight + kMargin;
  const int bottom = height - kMargin;
  for (QLabel* icon : {I_Stop, I_Help, I_Info})
    icon->setGeometry(kClientWidth - kMargin - kIconSize, top, kIconSize, kIconSize);
  const int msgRight = kClientWidth - 2 * kMargin - kIconSize;
  if (runMode_) {
    // Message beside the icon, the unit on its own line, the bar with the stop button below.
    constexpr int kRow = 24;
    plMsg->setGeometry(kMargin, top, msgRight - kMargin, kIconSize);
    lblUnit->setGeometry(kMargin, top + kIconSize + 4, kClientWidth - 2 * kMargin, 20);
    const int stopWidth = cmdStop->isVisibleTo(this) ? 70 : 0;
    cmdStop->setGeometry(kMargin, bottom - kRow, stopWidth, kRow);
    const int barLeft = kMargin + (stopWidth ? stopWidth + kMargin : 0);
    pbProgress->setGeometry(barLeft, bottom - kRow + 3, kClientWidth - kMargin - barLeft, kRow - 6);
    return;
  }
  const int msgBottom = pbProgress->isVisibleTo(this) ? bottom - kBarHeight - kMargin : bottom;
  plMsg->setGeometry(kMargin, top, msgRight - kMargin, msgBottom - top);
  pbProgress->setGeometry(kMargin, bottom - kBarHeight, kClientWidth - 2 * kMargin, kBarHeight);
}

void TShowStateForm::CentreOnOwner(QWidget* owner) {
  QWidget* main = owner ? owner->window() : parentWidget() ? parentWidget()->window() : nullptr;
  QRect area;
  if (main && main != this && main->isVisible()) {
    area = main->frameGeometry();
  } else if (QScreen* s = QGuiApplication::primaryScreen()) {
    area = s->geometry();
  } else {
    return;
  }
  move(area.left() + area.width() / 2 - width() / 2, area.top() + area.height() / 2 - height() / 2);
}

void TShowStateForm::Pump() {
  // Keeps the bar moving without letting a tight loop spend its time painting.
  if (lastPump_.isValid() && lastPump_.elapsed() < kPumpIntervalMs) return;
  lastPump_.start();
  QApplication::processEvents();
}

}  // namespace xfer::ui
