#include "ui/grid/record_set_model.h"

#include <algorithm>
#include <cmath>
#include <exception>

#include "db/text_util.h"
#include "engine/engine.h"
#include "ui/grid/grid_text.h"

namespace xfer::ui::grid {

QString DelimitedNumber(double v) {
  QString digits = QString::number(std::fabs(v), 'f', 3);
  while (digits.endsWith('0')) digits.chop(1);
  if (digits.endsWith('.')) digits.chop(1);
  const int dot = digits.indexOf('.');
  QString whole = dot < 0 ? digits : digits.left(dot);
  const QString fraction = dot < 0 ? QString() : digits.mid(dot);
  for (int i = static_cast<int>(whole.size()) - 3; i > 0; i -= 3) whole.insert(i, ',');
  return (v < 0 ? "-" : "") + whole + fraction;
}

RecordSetModel::RecordSetModel(QObject* parent) : QAbstractTableModel(parent) {}

void RecordSetModel::setColumns(std::vector<GridColumn> columns) {
  beginResetModel();
  columns_ = std::move(columns);
  MapFields();
  endResetModel();
}

void RecordSetModel::setRecordSet(db::RecordSet* rs) {
  beginResetModel();
  rs_ = rs;
  MapFields();
  endResetModel();
}

void RecordSetModel::Reload() {
  beginResetModel();
  MapFields();
  endResetModel();
}

void RecordSetModel::MapFields() {
  shown_ = columns_;
  if (shown_.empty() && rs_)
    for (const auto& f : rs_->fields())
      shown_.push_back({f.name, "", 0, false, false, false, true});
  fieldIndex_.clear();
  for (const GridColumn& c : shown_) fieldIndex_.push_back(rs_ ? rs_->FieldIndex(c.field) : -1);
  // Title colours (the sorted column) stay while the columns stay.
  if (titleColours_.size() != shown_.size()) titleColours_.assign(shown_.size(), QColor());
  const long long count = rs_ && rs_->active() ? rs_->RecordCount() : 0;
  fetched_ = std::min<long long>(count, std::max<long long>(kChunk, rs_ ? rs_->RecNo() + 1 : 0));
}

void RecordSetModel::FetchUpTo(long long row) {
  const long long count = rs_ && rs_->active() ? rs_->RecordCount() : 0;
  const long long want = std::min(count, row + 1);
  if (want <= fetched_) return;
  beginInsertRows({}, static_cast<int>(fetched_), static_cast<int>(want - 1));
  fetched_ = want;
  endInsertRows();
}

int RecordSetModel::FieldOf(int column) const {
  return column >= 0 && column < static_cast<int>(fieldIndex_.size())
             ? fieldIndex_[static_cast<size_t>(column)]
             : -1;
}

int RecordSetModel::ColumnOf(const std::string& field) const {
  const std::string want = db::UpperAscii(field);
  for (size_t i = 0; i < shown_.size(); ++i)
    if (db::UpperAscii(shown_[i].field) == want) return static_cast<int>(i);
  return -1;
}

void RecordSetModel::setTitleColour(int column, const QColor& c) {
  if (column < 0 || column >= static_cast<int>(titleColours_.size())) return;
  titleColours_[static_cast<size_t>(column)] = c;
  emit headerDataChanged(Qt::Horizontal, column, column);
}

void RecordSetModel::setColours(QColor textBack, QColor textFore, QColor readOnlyBack,
                                QColor readOnlyFore, QColor titleFore, QColor readOnlyTitleFore) {
  textBack_ = textBack;
  textFore_ = textFore;
  readOnlyBack_ = readOnlyBack;
  readOnlyFore_ = readOnlyFore;
  titleFore_ = titleFore;
  readOnlyTitleFore_ = readOnlyTitleFore;
  if (rowCount() > 0) emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

int RecordSetModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(fetched_);
}

int RecordSetModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(shown_.size());
}

bool RecordSetModel::canFetchMore(const QModelIndex& parent) const {
  return !parent.isValid() && rs_ && rs_->active() && fetched_ < rs_->RecordCount();
}

void RecordSetModel::fetchMore(const QModelIndex& parent) {
  if (canFetchMore(parent)) FetchUpTo(fetched_ + kChunk - 1);
}

QString RecordSetModel::CellText(const db::Value& v, const db::Field& f,
                                 const GridColumn& c) const {
  if (engine::IsNull(v)) return {};
  if (const auto* s = std::get_if<std::string>(&v)) {
    if (*s == text::kMark) return QString::fromUtf8(text::kCheckGlyph);
    return QString::fromStdString(*s);
  }
  const bool number = std::holds_alternative<long long>(v) || std::holds_alternative<double>(v);
  if (number && (c.delimiter || (floatFormat_ && f.kind == db::FieldKind::Float))) {
    const double d = std::holds_alternative<double>(v)
                         ? std::get<double>(v)
                         : static_cast<double>(std::get<long long>(v));
    return DelimitedNumber(d);
  }
  return QString::fromStdString(engine::FormatValue(v, f));
}

QString RecordSetModel::DisplayText(long long row, int column) const {
  const int field = FieldOf(column);
  if (!rs_ || !rs_->active() || field < 0 || row < 0 || row >= rs_->RecordCount()) return {};
  const auto& data = rs_->data();
  return CellText(data.rows[static_cast<size_t>(row)][static_cast<size_t>(field)],
                  data.fields[static_cast<size_t>(field)], shown_[static_cast<size_t>(column)]);
}

QVariant RecordSetModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  const GridColumn& c = shown_[static_cast<size_t>(index.column())];
  switch (role) {
    case Qt::DisplayRole:
      return DisplayText(index.row(), index.column());
    case Qt::EditRole: {
      const int field = FieldOf(index.column());
      if (!rs_ || field < 0) return {};
      const db::Value& v =
          rs_->data().rows[static_cast<size_t>(index.row())][static_cast<size_t>(field)];
      return engine::IsNull(v) ? QString() : QString::fromStdString(engine::FormatValue(v));
    }
    case Qt::TextAlignmentRole:
      if (DisplayText(index.row(), index.column()) == QString::fromUtf8(text::kCheckGlyph))
        return QVariant(Qt::AlignCenter);
      return {};
    case Qt::BackgroundRole: {
      const QColor& b = c.readOnly ? readOnlyBack_ : textBack_;
      return b.isValid() ? QVariant(b) : QVariant();
    }
    case Qt::ForegroundRole: {
      if (rowForeground_) {
        const QColor row = rowForeground_(index.row());
        if (row.isValid()) return row;
      }
      const QColor& f = c.readOnly ? readOnlyFore_ : textFore_;
      return f.isValid() ? QVariant(f) : QVariant();
    }
    default:
      return {};
  }
}

QVariant RecordSetModel::headerData(int section, Qt::Orientation o, int role) const {
  if (o == Qt::Vertical) return role == Qt::DisplayRole ? QVariant(section + 1) : QVariant();
  if (section < 0 || section >= static_cast<int>(shown_.size())) return {};
  const GridColumn& c = shown_[static_cast<size_t>(section)];
  if (role == Qt::DisplayRole)
    return QString::fromStdString(c.caption.empty() ? c.field : c.caption);
  if (role == kFieldRole) return QString::fromStdString(c.field);
  if (role == Qt::ForegroundRole) {
    const QColor& sorted = titleColours_[static_cast<size_t>(section)];
    if (sorted.isValid()) return sorted;
    const QColor& f = c.readOnly ? readOnlyTitleFore_ : titleFore_;
    return f.isValid() ? QVariant(f) : QVariant();
  }
  return {};
}

Qt::ItemFlags RecordSetModel::flags(const QModelIndex& index) const {
  Qt::ItemFlags f = QAbstractTableModel::flags(index);
  if (index.isValid() && editable_ && !shown_[static_cast<size_t>(index.column())].readOnly)
    f |= Qt::ItemIsEditable;
  return f;
}

bool RecordSetModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (role != Qt::EditRole || !index.isValid() || !rs_) return false;
  const int field = FieldOf(index.column());
  if (field < 0) return false;
  const db::Field& f = rs_->fields()[static_cast<size_t>(field)];
  if (editHandler_) return editHandler_(index.row(), f.name, value.toString());
  const std::string text = value.toString().toStdString();
  db::Value v;
  if (text.empty() && f.kind != db::FieldKind::String && f.kind != db::FieldKind::Memo) {
    v = db::Value{};
  } else if (f.kind == db::FieldKind::Integer) {
    const auto n = db::ParseInteger(text);
    if (!n) return false;
    v = *n;
  } else if (f.kind == db::FieldKind::Float) {
    bool ok = false;
    const double d = value.toString().remove(',').toDouble(&ok);
    if (!ok) return false;
    v = d;
  } else {
    v = text;
  }
  rs_->MoveTo(index.row());
  rs_->Edit();
  rs_->Set(f.name, std::move(v));
  try {
    rs_->Post();
  } catch (const std::exception& e) {
    rs_->Cancel();
    emit postFailed(QString::fromUtf8(e.what()));
    return false;
  }
  emit dataChanged(index, index);
  return true;
}

}  // namespace xfer::ui::grid
