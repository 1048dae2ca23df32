// The grid commands that work on rows and columns: title-click sorting, row and cell memory,
// the delete with its turnover check, hiding a column, search and sort through the search
// library, the filter toggle, and fitting column widths to their contents.
#include <QFontMetrics>
#include <QHeaderView>
#include <algorithm>
#include <exception>

#include "db/dialogs.h"
#include "db/session.h"
#include "db/text_util.h"
#include "engine/engine.h"
#include "ui/grid/db_grid.h"
#include "ui/grid/form_libraries.h"
#include "ui/grid/grid_text.h"
#include "ui/grid/maly_object.h"
#include "ui/grid/record_set_model.h"

namespace xfer::ui::grid {
namespace {

constexpr QRgb kAscendingTitle = 0xFF0000;   // red
constexpr QRgb kDescendingTitle = 0x0000FF;  // blue

// A value typed as text, converted for the field's kind; NULL for an empty number.
db::Value FromText(const std::string& text, db::FieldKind kind) {
  if (kind == db::FieldKind::Integer) {
    if (auto n = db::ParseInteger(text)) return *n;
    return db::Value{};
  }
  if (kind == db::FieldKind::Float) {
    try {
      return std::stod(text);
    } catch (const std::exception&) {
      return db::Value{};
    }
  }
  return text;
}

// The statement from its FROM clause on, without ORDER BY and GROUP BY, as a source a measuring
// query can add its own grouping to.
std::string SourceOf(const std::string& sql) {
  const std::string upper = db::UpperAscii(sql);
  size_t from = upper.find(" FROM ");
  if (from == std::string::npos) return {};
  size_t end = upper.size();
  for (const char* cut : {"ORDER BY", "GROUP"}) end = std::min(end, upper.find(cut, from));
  return sql.substr(from, end - from);
}

}  // namespace

bool TMalyObject::SortByColumn(int column) {
  db::RecordSet* rs = grid_->dataSet();
  const std::string field = grid_->fieldOf(column);
  if (!rs || !rs->active() || field.empty() || rs->FieldIndex(field) < 0) return true;
  const bool descending =
      db::UpperAscii(sortText_).find(" ASC ") != std::string::npos && column == lastSorted_;
  sortText_ = " " + field + (descending ? " DESC " : " ASC ");
  RecordSetModel* model = grid_->recordModel();
  for (int c = 0; c < model->columnCount(); ++c) model->setTitleColour(c, QColor(Qt::black));
  model->setTitleColour(column, QColor::fromRgb(descending ? kDescendingTitle : kAscendingTitle));
  lastSorted_ = column;
  Guarded([&] {
    rs->Sort(sortText_);
    grid_->Refresh();
  });
  return true;
}

void TMalyObject::CopyRow() {
  db::RecordSet* rs = grid_->dataSet();
  if (!rs || rs->Bof() || rs->Eof()) return;
  rowMemory_.clear();
  for (int column : grid_->displayOrder()) {
    const std::string field = grid_->fieldOf(column);
    if (rs->FieldIndex(field) < 0) continue;
    const db::Value& v = rs->Get(field);
    rowMemory_ += field + "=" + (engine::IsNull(v) ? "" : engine::FormatValue(v)) + "\t";
  }
}

void TMalyObject::RestoreRow() {
  db::RecordSet* rs = grid_->dataSet();
  if (!rs || rowMemory_.empty() || rs->Bof() || rs->Eof()) return;
  GridSession s = session();
  // Auto-increment columns keep the value the server gave them.
  std::vector<std::string> identity;
  if (s.database && s.database->connection() && !rs->BaseTable().empty()) {
    auto sets =
        s.database->connection()->Query("Select name From syscolumns Where id = OBJECT_ID(" +
                                        db::Quote(rs->BaseTable()) + ") And status = 128");
    if (!sets.empty())
      for (const auto& row : sets.front().rows)
        identity.push_back(db::UpperAscii(engine::FormatValue(row[0])));
  }
  rs->Edit();
  for (int column : grid_->displayOrder()) {
    const std::string field = grid_->fieldOf(column);
    const int index = rs->FieldIndex(field);
    if (index < 0 ||
        std::find(identity.begin(), identity.end(), db::UpperAscii(field)) != identity.end())
      continue;
    const std::string key = field + "=";
    size_t at = rowMemory_.starts_with(key) ? 0 : rowMemory_.find("\t" + key);
    if (at == std::string::npos) continue;
    at += at == 0 && rowMemory_.starts_with(key) ? key.size() : key.size() + 1;
    const size_t end = rowMemory_.find('\t', at);
    rs->Set(field, FromText(rowMemory_.substr(at, end - at),
                            rs->fields()[static_cast<size_t>(index)].kind));
  }
  try {
    rs->Post();
  } catch (...) {
    rs->Cancel();
    throw;
  }
  grid_->Refresh();
}

void TMalyObject::CopyCell() {
  db::RecordSet* rs = grid_->dataSet();
  const std::string field = grid_->fieldOf(grid_->currentIndex().column());
  if (!rs || rs->Bof() || rs->Eof() || rs->FieldIndex(field) < 0) return;
  cellMemory_ = rs->Get(field);
  hasCellMemory_ = true;
}

void TMalyObject::RestoreCell() {
  db::RecordSet* rs = grid_->dataSet();
  const std::string field = grid_->fieldOf(grid_->currentIndex().column());
  if (!rs || !hasCellMemory_ || rs->Bof() || rs->Eof() || rs->FieldIndex(field) < 0) return;
  rs->Edit();
  rs->Set(field, cellMemory_);
  try {
    rs->Post();
  } catch (...) {
    rs->Cancel();
    throw;
  }
  grid_->Refresh();
}

void TMalyObject::DeleteRow() {
  db::RecordSet* rs = grid_->dataSet();
  if (!rs || rs->Bof() || rs->Eof()) return;
  GridSession s = session();
  if (!turnover_.countSql.empty() && s.database && s.database->connection()) {
    std::string key;
    for (const std::string& f : turnover_.keyFields) key += (key.empty() ? "" : "_") + rs->Text(f);
    const std::string count =
        db::ScalarText(*s.database->connection(), turnover_.countSql + db::Quote(key));
    if (db::ParseInteger(count).value_or(0) > 0) {
      const std::string name = turnover_.nameField.empty() ? key : rs->Text(turnover_.nameField);
      Message(name + " " + text::kHasTurnover, "1ER");
      return;
    }
  }
  if (Message(text::kAskDelete, "3QR") != db::kResultYes) return;
  rs->Delete();
  grid_->Refresh();
  UpdateItems();
}

void TMalyObject::HideColumn() {
  const int column = grid_->currentIndex().column();
  if (column >= 0) grid_->setColumnHidden(column, true);
}

void TMalyObject::Position(const std::string& found) {
  // The libraries answer "FIELD=VALUE": the first row whose field shows that value (or starts
  // with it) becomes current.
  const size_t eq = found.find('=');
  db::RecordSet* rs = grid_->dataSet();
  if (eq == std::string::npos || !rs) return;
  const int column = grid_->columnOf(found.substr(0, eq));
  if (column < 0) return;
  const QString want = QString::fromStdString(found.substr(eq + 1));
  RecordSetModel* model = grid_->recordModel();
  for (long long r = 0; r < rs->RecordCount(); ++r)
    if (model->DisplayText(r, column).startsWith(want, Qt::CaseInsensitive)) {
      rs->MoveTo(r);
      grid_->setCurrentIndex({});
      grid_->SyncToDataSet();
      grid_->setCurrentIndex(model->index(static_cast<int>(r), column));
      return;
    }
}

void TMalyObject::Search() {
  GridLibraryCall call;
  if (!PrepareCall(call) || !CallLibrary(GridService::kSearch, call.global->appFolder, call))
    return;
  Position(call.result);
}

void TMalyObject::AdvancedSort() {
  GridLibraryCall call;
  if (!PrepareCall(call) ||
      !CallLibrary(GridService::kAdvancedSort, call.global->appFolder, call) || call.result.empty())
    return;
  grid_->dataSet()->Sort(call.result);
  sortText_ = " " + call.result + " ";
  lastSorted_ = -1;
  grid_->Refresh();
}

void TMalyObject::ToggleFilter() {
  QAction* item = action(GridCommand::kFilter);
  if (filtered_) {
    grid_->setDataSet(unfiltered_);
    filtered_.reset();
    item->setText(QString::fromUtf8(text::kFilter));
    grid_->recordModel()->setFloatFormat(false);
    return;
  }
  GridLibraryCall call;
  if (!PrepareCall(call) || !call.database || !call.database->connection() ||
      !CallLibrary(GridService::kFilter, call.global->appFolder, call) || call.result.empty())
    return;
  auto query = std::make_unique<db::RecordSet>();
  query->Open(*call.database->connection(), call.result);
  unfiltered_ = grid_->dataSet();
  filtered_ = std::move(query);
  grid_->recordModel()->setFloatFormat(true);
  grid_->setDataSet(filtered_.get());
  item->setText(QString::fromUtf8(text::kUnfilter));
}

void TMalyObject::FitColumnWidths() {
  db::RecordSet* rs = grid_->dataSet();
  if (!rs || !rs->active()) return;
  GridSession s = session();
  db::Backend* b = s.database ? s.database->connection() : nullptr;
  std::string source = SourceOf(rs->sql());
  const QFontMetrics cells(grid_->font());
  const QFontMetrics titles(grid_->horizontalHeader()->font());
  RecordSetModel* model = grid_->recordModel();
  const auto& columns = model->columns();
  for (int column = 0; column < model->columnCount(); ++column) {
    if (grid_->isColumnHidden(column)) continue;
    const std::string field = grid_->fieldOf(column);
    const int index = rs->FieldIndex(field);
    if (index < 0) continue;
    const GridColumn* design =
        column < static_cast<int>(columns.size()) ? &columns[static_cast<size_t>(column)] : nullptr;
    QStringList texts{model->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString()};
    bool measured = false;
    if (b && !source.empty()) {
      try {
        const std::string f = "[" + field + "]";
        texts << QString::fromStdString(db::ScalarText(
            *b, " Select Top 1 " + f + "  " + source + " Group By " + f +
                    " Having Len(LTrim(RTrim(" + f + ")))>= " +
                    "   \t(Select Max(Len(LTrim(RTrim(" + f + "))))-0 " + source + " ) "));
        if (design && design->sumable)
          texts << QString::fromStdString(
              db::ScalarText(*b, " Select Sum(" + f + ") As X " + source));
        measured = true;
      } catch (const std::exception&) {
        // A statement the measuring query cannot wrap: measure the rows at hand instead.
      }
    }
    if (!measured) {
      int longest = 0;
      QString widest;
      for (long long r = 0; r < rs->RecordCount(); ++r) {
        QString t = model->DisplayText(r, column);
        if (t.size() > longest) longest = static_cast<int>(t.size()), widest = t;
      }
      texts << widest;
    }
    int w = titles.horizontalAdvance(texts.front());
    for (qsizetype i = 1; i < texts.size(); ++i) {
      QString t = texts[i].trimmed();
      if (design && design->delimiter) {
        bool ok = false;
        const double d = t.toDouble(&ok);
        if (ok) t = DelimitedNumber(d);
      }
      w = std::max(w, cells.horizontalAdvance(t));
    }
    if (w + 8 > grid_->columnWidth(column)) grid_->setColumnWidth(column, w + 8);
  }
}

}  // namespace xfer::ui::grid
