// The print library: the grid's visible columns and rows under the report title, printed on
// the printer the user picks.
#include <QPrintDialog>
#include <QPrinter>
#include <QTextDocument>

#include "ui/grid/libs/library_widgets.h"

using namespace xfer::ui::grid;
using namespace xfer::ui::grid::library;

extern "C" __attribute__((visibility("default"))) void PrintGrid(GridLibraryCall* call) {
  if (!call->grid) return;
  QPrinter printer;
  QPrintDialog dialog(&printer, call->grid->window());
  dialog.setObjectName("PrintDialog");
  if (dialog.exec() != QDialog::Accepted) return;
  QTextDocument document;
  document.setHtml(GridHtml(call->grid, call->title));
  document.print(&printer);
}
