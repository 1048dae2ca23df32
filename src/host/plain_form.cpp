// Plain caption-only form.
#include "host/plain_form.h"

#include <QLabel>
#include <QVBoxLayout>
#include <QWidget>

#include "ui/caption_panel.h"
#include "ui/persian_display.h"
#include "ui/ui_font.h"

namespace xfer::host {

QWidget* MakePlainForm(const char* className, const QString& caption) {
  auto* form = new QWidget;
  form->setObjectName(className);
  ui::ApplyFormStyle(form);
  form->setWindowTitle(caption);
  auto* panel = new ui::CaptionPanel(form);
  panel->setText(ui::ForDisplay(caption));
  panel->setMinimumHeight(24);
  auto* layout = new QVBoxLayout(form);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(panel);
  layout->addStretch(1);
  return form;
}

}  // namespace xfer::host
