#include "ui/chart/chart_table.h"

#include "db/record_set.h"
#include "db/session.h"
#include "db/text_util.h"
#include "ui/grid/db_grid.h"
#include "ui/grid/record_set_model.h"

namespace xfer::ui::chart {
namespace {

// The grid's statement from FROM on, without its ordering.
std::string SourceOf(const std::string& sql) {
  const std::string upper = db::UpperAscii(sql);
  const size_t from = upper.find(" FROM ");
  if (from == std::string::npos) return {};
  return sql.substr(from, upper.find("ORDER BY", from) - from);
}

}  // namespace

std::string ChartTableName(const grid::TDBGrid& grid, ChartKind kind) {
  const std::string name = grid.objectName().isEmpty() ? "Grid" : grid.objectName().toStdString();
  return name + (kind == ChartKind::kVert ? "_Vert" : "_Horiz");
}

std::string FillChartTable(db::HostDatabase& db, const grid::TDBGrid& grid, ChartKind kind,
                           const std::string& labelField, const std::string& dataField) {
  const std::string name = ChartTableName(grid, kind);
  const std::string table = "##" + name;
  db::DropTempTable(db, name);
  const db::RecordSet* rs = grid.dataSet();
  if (kind == ChartKind::kHoriz) {
    db.RunSql("Select " + labelField + " As XLabel, " + dataField + " As XData Into " + table +
              SourceOf(rs ? rs->sql() : std::string()));
    return table;
  }
  db.RunSql("Select Cast('' As Varchar(100)) As XLabel, Cast(0 As Float) As XData Into " + table);
  db.RunSql("Truncate Table " + table);
  if (!rs || rs->Bof() || rs->Eof()) return table;
  std::string inserts;
  for (int column : grid.displayOrder()) {
    if (grid.isColumnHidden(column)) continue;
    const int field = grid.recordModel()->FieldOf(column);
    if (field < 0) continue;
    const db::Field& f = rs->fields()[static_cast<size_t>(field)];
    if (f.kind != db::FieldKind::Integer && f.kind != db::FieldKind::Float) continue;
    const std::string caption = grid.recordModel()
                                    ->headerData(column, Qt::Horizontal, Qt::DisplayRole)
                                    .toString()
                                    .toStdString();
    inserts += "Insert Into " + table + "(XLabel, XData) Values(" + db::Quote(caption) + ", " +
               db::SqlLiteral(rs->Get(field)) + ") ";
  }
  if (!inserts.empty()) db.RunSql(inserts);
  return table;
}

}  // namespace xfer::ui::chart
