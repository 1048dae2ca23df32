// Embedding into the host's container. The container's client area is a stacked layout so
// that the latest form shown lies on top, as alignment to the client area does with siblings.
#include "ui/embed_form.h"

#include <QLayout>
#include <QStackedLayout>
#include <QWidget>

namespace xfer::ui {

int EmbedForm(const db::HostGlobal* /*global: same signature as the launcher's calls*/,
              QWidget* form, QWidget* parent) {
  if (!form) return 0;
  if (parent) {
    if (form->parentWidget() != parent) form->setParent(parent, Qt::Widget);
    QLayout* layout = parent->layout();
    if (!layout) {
      layout = new QStackedLayout(parent);
      layout->setContentsMargins(0, 0, 0, 0);
    }
    if (layout->indexOf(form) < 0) layout->addWidget(form);
    if (auto* stack = qobject_cast<QStackedLayout*>(layout)) stack->setCurrentWidget(form);
  }
  form->setWindowState(form->windowState() | Qt::WindowMaximized);
  form->show();
  form->raise();
  return parent ? int(form->isVisibleTo(parent)) : int(form->isVisible());
}

}  // namespace xfer::ui
