// Font and direction shared by the module's forms.
#include "ui/ui_font.h"

#include <QWidget>

namespace xfer::ui {

QFont DialogFont() {
  QFont f;
  f.setFamilies({"Vazirmatn", "Noto Sans Arabic", "Noto Naskh Arabic", "DejaVu Sans"});
  f.setPixelSize(13);
  return f;
}

void ApplyFormStyle(QWidget* w) {
  w->setLayoutDirection(Qt::RightToLeft);
  w->setFont(DialogFont());
}

}  // namespace xfer::ui
