// The advanced print library: the grid's report in a print preview, where the user sets page,
// orientation and printer before printing.
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QTextDocument>

#include "ui/grid/libs/library_widgets.h"

using namespace xfer::ui::grid;
using namespace xfer::ui::grid::library;

extern "C" __attribute__((visibility("default"))) void PrintGridPlus(GridLibraryCall* call) {
  if (!call->grid) return;
  QTextDocument document;
  document.setHtml(GridHtml(call->grid, call->title));
  QPrinter printer;
  QPrintPreviewDialog preview(&printer, call->grid->window());
  preview.setObjectName("PrintPreviewDialog");
  preview.setLayoutDirection(Qt::RightToLeft);
  QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &document,
                   [&document](QPrinter* p) { document.print(p); });
  preview.exec();
}
