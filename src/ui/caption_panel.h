// The caption strip the suite's dialogs draw instead of a window caption: a panel showing the
// title that drags its window when pressed.
#pragma once

#include <QLabel>
#include <QPoint>

namespace xfer::ui {

class CaptionPanel : public QLabel {
  Q_OBJECT
 public:
  explicit CaptionPanel(QWidget* parent);

 protected:
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;

 private:
  QPoint dragOffset_;
};

}  // namespace xfer::ui
