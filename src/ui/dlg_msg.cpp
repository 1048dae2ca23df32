// Message dialog: layout by dialog code, line-count sizing and the module-wide OK caption rule.
#include "ui/dlg_msg.h"

#include <algorithm>
#include <cmath>

#include <QApplication>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextEdit>
#include <QTextLayout>

#include "db/dialogs.h"
#include "ui/caption_panel.h"
#include "ui/persian_display.h"
#include "ui/ui_font.h"
#include "ui/ui_text.h"

namespace xfer::ui {
namespace {

constexpr int kWidth = 270;
constexpr int kCaptionHeight = 24;
constexpr int kMemoLeft = 5;
constexpr int kMemoTop = kCaptionHeight + 6;
constexpr int kMemoWidth = 217;
constexpr int kIconSize = 32;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;

QLabel* MakeIcon(QWidget* parent, const char* name, QStyle::StandardPixmap pixmap) {
  auto* icon = new QLabel(parent);
  icon->setObjectName(name);
  icon->setPixmap(parent->style()->standardIcon(pixmap).pixmap(kIconSize, kIconSize));
  icon->setGeometry(kWidth - kMemoLeft - kIconSize, kMemoTop, kIconSize, kIconSize);
  icon->hide();
  return icon;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const char* caption, int result) {
  auto* b = new QPushButton(QString::fromUtf8(caption), parent);
  b->setObjectName(name);
  b->resize(kButtonWidth, kButtonHeight);
  b->hide();
  QObject::connect(b, &QPushButton::clicked, parent,
                   [parent, result] { static_cast<QDialog*>(parent)->done(result); });
  return b;
}

}  // namespace

QString& AlternativeOkCaption() {
  static QString caption;
  return caption;
}

TDlgMsg::TDlgMsg(QWidget* parent) : QDialog(parent) {
  setObjectName("DlgMsg");
  ApplyFormStyle(this);
  setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
  setModal(true);
  resize(kWidth, kShortHeight);

  Caption_Panel = new CaptionPanel(this);
  Caption_Panel->setGeometry(0, 0, kWidth, kCaptionHeight);

  Memo1 = new QTextEdit(this);
  Memo1->setObjectName("Memo1");
  Memo1->setReadOnly(true);
  Memo1->setAcceptRichText(false);
  Memo1->setLineWrapMode(QTextEdit::WidgetWidth);
  Memo1->document()->setDocumentMargin(2);
  Memo1->setGeometry(kMemoLeft, kMemoTop, kMemoWidth, kShortMemoHeight);

  I_Info = MakeIcon(this, "I_Info", QStyle::SP_MessageBoxInformation);
  I_Warning = MakeIcon(this, "I_Warning", QStyle::SP_MessageBoxWarning);
  I_Question = MakeIcon(this, "I_Question", QStyle::SP_MessageBoxQuestion);
  I_Error = MakeIcon(this, "I_Error", QStyle::SP_MessageBoxCritical);
  I_Stop = MakeIcon(this, "I_Stop", QStyle::SP_BrowserStop);

  BBtnOK1 = MakeButton(this, "BBtnOK1", text::kOk, db::kResultOk);
  BBtnOK2 = MakeButton(this, "BBtnOK2", text::kOk, db::kResultOk);
  BBtnCancel = MakeButton(this, "BBtnCancel", text::kCancel, db::kResultCancel);
  BBtnYes = MakeButton(this, "BBtnYes", text::kYes, db::kResultYes);
  BBtnNo = MakeButton(this, "BBtnNo", text::kNo, db::kResultNo);

  defaultCaption_ = QGuiApplication::applicationDisplayName();
}

void TDlgMsg::Prepare(const QString& message, const QString& caption, const QString& code) {
  const QString shown = caption.isEmpty() ? defaultCaption_ : caption;
  const std::string normalized = db::NormalizeDialogCode(code.toStdString());
  const QString continueText = QString::fromUtf8(text::kContinue);
  if (shown == continueText) AlternativeOkCaption() = continueText;

  for (QPushButton* b : {BBtnOK1, BBtnOK2, BBtnCancel, BBtnYes, BBtnNo}) {
    b->hide();
    b->setDefault(false);
  }
  resultCode_ = db::ButtonSetResult(normalized);
  switch (normalized[0]) {
    case '1':
      BBtnOK1->show();
      BBtnOK1->setDefault(true);
      break;
    case '2':
      BBtnOK2->show();
      BBtnCancel->show();
      BBtnOK2->setDefault(true);
      break;
    case '3':
      BBtnYes->show();
      BBtnNo->show();
      BBtnYes->setDefault(true);
      break;
    default:
      break;
  }
  for (QLabel* icon : {I_Info, I_Warning, I_Question, I_Error, I_Stop}) icon->hide();
  BBtnOK1->setText(AlternativeOkCaption() == continueText ? continueText
                                                          : QString::fromUtf8(text::kOk));
  Memo1->setGeometry(kMemoLeft, Memo1->y(), kMemoWidth, Memo1->height());
  switch (normalized[1]) {
    case 'E':
      I_Error->show();
      break;
    case 'I':
      I_Info->show();
      break;
    case 'Q':
      I_Question->show();
      break;
    case 'S':
      I_Stop->show();
      break;
    case 'W':
      I_Warning->show();
      break;
    default:
      break;
  }

  // A final line break ends the last line; it does not open an empty one.
  message_ = message;
  QString body = message;
  if (body.endsWith('\n')) body.chop(1);
  if (body.endsWith('\r')) body.chop(1);
  Memo1->clear();
  Memo1->setPlainText(ForDisplay(body));
  FitLines();
  Memo1->moveCursor(QTextCursor::Start);
  if (memoLineCount() > 4) {
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    GrowToLines();
  } else {
    resize(width(), kShortHeight);
    Memo1->resize(Memo1->width(), kShortMemoHeight);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  }
  Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

  Caption_Panel->setText(QString(5, ' ') + ForDisplay(shown));
  setWindowTitle(shown);
  PlaceButtons();
  Centre();
}

int TDlgMsg::Execute(const QString& message, const QString& caption, const QString& code) {
  Prepare(message, caption, code);
  return exec();
}

void TDlgMsg::FitLines() {
  // Persian faces have tall line spacing; lines are set so that four fill the short memo
  // exactly, as the short dialog promises.
  const qreal room =
      kShortMemoHeight - 2 * Memo1->frameWidth() - 2 * Memo1->document()->documentMargin();
  const qreal height = std::min<qreal>(QFontMetricsF(Memo1->font()).lineSpacing(), room / 4);
  lineHeight_ = int(std::floor(height));
  QTextBlockFormat format;
  format.setLineHeight(lineHeight_, QTextBlockFormat::FixedHeight);
  QTextCursor cursor(Memo1->document());
  cursor.select(QTextCursor::Document);
  cursor.mergeBlockFormat(format);
}

int TDlgMsg::memoLineCount() const {
  // Wrapped lines count, as they do for the reader; the width is the memo's text area
  // without a scroll bar.
  return LinesAt(Memo1->width() - 2 * Memo1->frameWidth() -
                 2 * Memo1->document()->documentMargin());
}

int TDlgMsg::LinesAt(qreal width) const {
  QString text = Memo1->toPlainText();
  if (text.isEmpty()) return 0;
  QStringList paragraphs = text.split(QChar('\n'));
  if (paragraphs.size() > 1 && paragraphs.back().isEmpty()) paragraphs.pop_back();
  QTextOption option;
  option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  int lines = 0;
  for (const QString& p : paragraphs) {
    if (p.isEmpty()) {
      ++lines;
      continue;
    }
    QTextLayout layout(p, Memo1->font());
    layout.setTextOption(option);
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
      line.setLineWidth(width);
      ++lines;
    }
    layout.endLayout();
  }
  return lines;
}

void TDlgMsg::GrowToLines() {
  // The scroll bar takes its width from the text; the memo then grows until every line shows,
  // so a five-line message never hides its last line behind a four-line box.
  const int frame = 2 * Memo1->frameWidth() + 2 * int(Memo1->document()->documentMargin());
  const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, Memo1);
  const int lines = std::min(LinesAt(Memo1->width() - frame - bar), kMaxLines);
  const int memoHeight = std::max(kShortMemoHeight, lines * lineHeight_ + frame + 4);
  Memo1->resize(Memo1->width(), memoHeight);
  resize(width(), kShortHeight + memoHeight - kShortMemoHeight);
}

void TDlgMsg::reject() {
  done(resultCode_);
}

void TDlgMsg::PlaceButtons() {
  Caption_Panel->resize(width(), kCaptionHeight);
  QList<QPushButton*> shown;
  for (QPushButton* b : {BBtnOK1, BBtnOK2, BBtnCancel, BBtnYes, BBtnNo})
    if (!b->isHidden()) shown.push_back(b);
  constexpr int kGap = 8;
  const int total = int(shown.size()) * kButtonWidth + (int(shown.size()) - 1) * kGap;
  // Right to left: the first button of a set stands on the right.
  int x = (width() + total) / 2 - kButtonWidth;
  const int y = height() - kButtonHeight - 6;
  for (QPushButton* b : shown) {
    b->move(x, y);
    x -= kButtonWidth + kGap;
  }
}

void TDlgMsg::Centre() {
  // On the window the dialog belongs to when that window is on screen, else on the screen;
  // kept inside the screen either way.
  QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
  const QWidget* owner = parentWidget() ? parentWidget()->window() : nullptr;
  QRect area;
  if (owner && owner->isVisible()) {
    area = owner->frameGeometry();
  } else if (screen) {
    area = screen->geometry();
  } else {
    return;
  }
  QPoint at(area.left() + area.width() / 2 - width() / 2,
            area.top() + area.height() / 2 - height() / 2);
  if (screen) {
    const QRect s = screen->geometry();
    at.setX(std::clamp(at.x(), s.left(), std::max(s.left(), s.right() + 1 - width())));
    at.setY(std::clamp(at.y(), s.top(), std::max(s.top(), s.bottom() + 1 - height())));
  }
  move(at);
}

int ShowDlgMsg(TDlgMsg& dlg, const std::string& message, const std::string& caption,
               const std::string& code) {
  return dlg.Execute(QString::fromStdString(message), QString::fromStdString(caption),
                     QString::fromStdString(code));
}

int ShowDlgMsgSimple(TDlgMsg& dlg, const std::string& message) {
  return ShowDlgMsg(dlg, message, "", "1 C");
}

}  // namespace xfer::ui
