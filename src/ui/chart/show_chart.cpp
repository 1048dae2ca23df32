#include "ui/chart/show_chart.h"

#include "db/session.h"
#include "ui/chart/graf_form.h"
#include "ui/grid/db_grid.h"
#include "ui/grid/maly_object.h"
#include "ui/grid/record_set_model.h"

namespace xfer::ui::chart {

TGrafForm* ShowChart(grid::TMalyObject& maly, ChartKind kind, const std::string& labelField,
                     const std::string& dataField, const std::string& title, bool modal) {
  grid::GridSession s = maly.session();
  if (!s.database || !s.database->connection()) return nullptr;
  const std::string table = FillChartTable(*s.database, *maly.grid(), kind, labelField, dataField);
  auto* form = new TGrafForm(maly.grid()->window());
  form->setAttribute(Qt::WA_DeleteOnClose, modal);
  form->Load(*s.database->connection(), table, QString::fromStdString(title));
  if (modal) {
    form->exec();
    return nullptr;
  }
  form->show();
  return form;
}

void AttachChartCommands(grid::TMalyObject& maly) {
  grid::TMalyObject* m = &maly;
  auto title = [m] {
    return m->title().empty() ? m->grid()->objectName().toStdString() : m->title();
  };
  maly.setCommandHandler(grid::GridCommand::kColumnChart,
                         [=] { ShowChart(*m, ChartKind::kVert, {}, {}, title()); });
  maly.setCommandHandler(grid::GridCommand::kRowChart, [=] {
    grid::TDBGrid* g = m->grid();
    const db::RecordSet* rs = g->dataSet();
    if (!rs) return;
    std::string label, data;
    auto isNumber = [&](int column) {
      const int f = g->recordModel()->FieldOf(column);
      if (f < 0) return false;
      const auto kind = rs->fields()[static_cast<size_t>(f)].kind;
      return kind == db::FieldKind::Integer || kind == db::FieldKind::Float;
    };
    const int current = g->currentIndex().column();
    if (current >= 0 && isNumber(current)) data = g->fieldOf(current);
    for (int column : g->displayOrder()) {
      if (g->isColumnHidden(column) || g->recordModel()->FieldOf(column) < 0) continue;
      if (label.empty() && !isNumber(column)) label = g->fieldOf(column);
      if (data.empty() && isNumber(column)) data = g->fieldOf(column);
    }
    if (label.empty() || data.empty()) return;
    ShowChart(*m, ChartKind::kHoriz, "[" + label + "]", "[" + data + "]", title());
  });
}

}  // namespace xfer::ui::chart
