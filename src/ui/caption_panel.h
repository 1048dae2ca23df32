// The caption strip the suite's dialogs draw instead of a window caption: a panel showing the
// title that drags its window when pressed.
#pragma once

#include <QLabel>
#include <QPoint>

class QHBoxLayout;
class QToolButton;

namespace xfer::ui {

class CaptionPanel : public QLabel {
  Q_OBJECT
 public:
  explicit CaptionPanel(QWidget* parent);

  // Puts the minimise and close buttons (sb_Minimized, sb_Closed) at the panel's far end and
  // returns the panel's layout, so a form can add its own labels before them.
  QHBoxLayout* AddWindowButtons(QToolButton*& minimized, QToolButton*& closed);

 protected:
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;

 private:
  QPoint dragOffset_;
};

}  // namespace xfer::ui
