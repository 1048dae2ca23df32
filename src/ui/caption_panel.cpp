// Caption strip: title text plus window dragging, since the dialogs have no system caption.
#include "ui/caption_panel.h"

#include <QHBoxLayout>
#include <QMouseEvent>
#include <QToolButton>

namespace xfer::ui {

CaptionPanel::CaptionPanel(QWidget* parent) : QLabel(parent) {
  setObjectName("Caption_Panel");
  setAutoFillBackground(true);
  setFrameStyle(QFrame::Panel | QFrame::Raised);
  setAlignment(Qt::AlignVCenter | Qt::AlignLeading);
  QPalette p = palette();
  p.setColor(QPalette::Window, p.color(QPalette::Highlight));
  p.setColor(QPalette::WindowText, p.color(QPalette::HighlightedText));
  setPalette(p);
  QFont f = font();
  f.setBold(true);
  setFont(f);
}

QHBoxLayout* CaptionPanel::AddWindowButtons(QToolButton*& minimized, QToolButton*& closed) {
  minimized = new QToolButton(this);
  minimized->setObjectName("sb_Minimized");
  minimized->setText("_");
  closed = new QToolButton(this);
  closed->setObjectName("sb_Closed");
  closed->setText("X");
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(2, 1, 2, 1);
  layout->addStretch(1);
  layout->addWidget(minimized);
  layout->addWidget(closed);
  return layout;
}

void CaptionPanel::mousePressEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton)
    dragOffset_ = e->globalPosition().toPoint() - window()->frameGeometry().topLeft();
  QLabel::mousePressEvent(e);
}

void CaptionPanel::mouseMoveEvent(QMouseEvent* e) {
  if (e->buttons() & Qt::LeftButton) window()->move(e->globalPosition().toPoint() - dragOffset_);
  QLabel::mouseMoveEvent(e);
}

}  // namespace xfer::ui
