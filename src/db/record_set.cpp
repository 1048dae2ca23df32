#include "db/record_set.h"

#include <algorithm>
#include <cstdint>
#include <string_view>

#include "db/text_util.h"
#include "engine/engine.h"
#include "engine/error.h"
#include "engine/func/functions.h"

namespace xfer::db {

using engine::SqlError;

std::string SqlLiteral(const Value& v) {
  if (engine::IsNull(v)) return "NULL";
  if (const auto* s = std::get_if<std::string>(&v)) return Quote(*s);
  return engine::FormatValue(v);  // digits, shortest float, 0x hex
}

void RecordSet::Open(Backend& backend, const std::string& sql) {
  backend_ = &backend;
  sql_ = sql;
  auto sets = backend.Query(sql);
  data_ = sets.empty() ? ResultSet{} : std::move(sets.front());
  pos_ = 0;
  active_ = true;
  state_ = State::Browse;
}

void RecordSet::Assign(ResultSet rows) {
  data_ = std::move(rows);
  pos_ = 0;
  active_ = true;
  state_ = State::Browse;
}

void RecordSet::Close() {
  data_ = {};
  active_ = false;
  pos_ = 0;
  state_ = State::Browse;
}

int RecordSet::FieldIndex(const std::string& name) const {
  std::string want = UpperAscii(name);
  for (size_t i = 0; i < data_.fields.size(); ++i)
    if (UpperAscii(data_.fields[i].name) == want) return static_cast<int>(i);
  return -1;
}

void RecordSet::MoveTo(long long index) {
  pos_ = std::clamp<long long>(index, -1, RecordCount());
}

void RecordSet::RequireRow() const {
  if (Bof() || Eof())
    throw SqlError(3021, "Either BOF or EOF is True, or the current record has been deleted.");
}

const Value& RecordSet::Get(int index) const {
  if (index < 0 || static_cast<size_t>(index) >= data_.fields.size())
    throw SqlError(3265,
                   "Item cannot be found in the collection corresponding to the requested "
                   "name or ordinal.");
  if (state_ != State::Browse) return buffer_[static_cast<size_t>(index)];
  RequireRow();
  return data_.rows[static_cast<size_t>(pos_)][static_cast<size_t>(index)];
}

const Value& RecordSet::Get(const std::string& field) const {
  return Get(FieldIndex(field));
}

std::string RecordSet::Text(const std::string& field) const {
  const Value& v = Get(field);
  return engine::IsNull(v) ? std::string() : engine::FormatValue(v);
}

std::string RecordSet::BaseTable() const {
  std::string base;
  for (const auto& f : data_.fields) {
    if (f.baseTable.empty()) continue;
    if (!base.empty() && UpperAscii(base) != UpperAscii(f.baseTable)) return {};
    base = f.baseTable;
  }
  return base;
}

void RecordSet::Edit() {
  RequireRow();
  buffer_ = data_.rows[static_cast<size_t>(pos_)];
  changed_.assign(buffer_.size(), false);
  state_ = State::Edit;
}

void RecordSet::Append() {
  buffer_.assign(data_.fields.size(), Value{});
  changed_.assign(buffer_.size(), false);
  state_ = State::Insert;
}

void RecordSet::Set(const std::string& field, Value v) {
  if (state_ == State::Browse) Edit();
  int i = FieldIndex(field);
  if (i < 0)
    throw SqlError(3265,
                   "Item cannot be found in the collection corresponding to the "
                   "requested name or ordinal.");
  buffer_[static_cast<size_t>(i)] = std::move(v);
  changed_[static_cast<size_t>(i)] = true;
}

std::string RecordSet::WhereOriginal() const {
  const auto& row = data_.rows[static_cast<size_t>(pos_)];
  std::string where;
  for (size_t i = 0; i < data_.fields.size(); ++i) {
    const Field& f = data_.fields[i];
    if (f.baseColumn.empty() || f.kind == FieldKind::Memo || f.kind == FieldKind::Blob) continue;
    std::string col = "[" + f.baseColumn + "]";
    where += where.empty() ? " WHERE " : " AND ";
    where += engine::IsNull(row[i]) ? col + " IS NULL" : col + " = " + SqlLiteral(row[i]);
  }
  return where;
}

void RecordSet::Post() {
  if (state_ == State::Browse) return;
  std::string base = BaseTable();
  if (base.empty() || !backend_)
    throw SqlError(16932, "Insufficient key column information for updating or refreshing.");
  std::string sql;
  if (state_ == State::Edit) {
    std::string sets;
    for (size_t i = 0; i < buffer_.size(); ++i) {
      if (!changed_[i] || data_.fields[i].baseColumn.empty()) continue;
      sets += (sets.empty() ? "" : ", ") + std::string("[") + data_.fields[i].baseColumn +
              "] = " + SqlLiteral(buffer_[i]);
    }
    if (!sets.empty()) sql = "UPDATE TOP (1) " + base + " SET " + sets + WhereOriginal();
  } else {
    std::string cols, values;
    for (size_t i = 0; i < buffer_.size(); ++i) {
      if (!changed_[i] || data_.fields[i].baseColumn.empty()) continue;
      cols += (cols.empty() ? "" : ", ") + std::string("[") + data_.fields[i].baseColumn + "]";
      values += (values.empty() ? "" : ", ") + SqlLiteral(buffer_[i]);
    }
    sql = cols.empty() ? "INSERT INTO " + base + " DEFAULT VALUES"
                       : "INSERT INTO " + base + " (" + cols + ") VALUES (" + values + ")";
  }
  if (!sql.empty()) backend_->Execute(sql);
  if (state_ == State::Edit) {
    data_.rows[static_cast<size_t>(pos_)] = buffer_;
  } else {
    data_.rows.push_back(buffer_);
    pos_ = RecordCount() - 1;
  }
  state_ = State::Browse;
}

void RecordSet::Cancel() {
  state_ = State::Browse;
}

void RecordSet::Delete() {
  RequireRow();
  if (beforeDelete && !beforeDelete(*this)) return;
  std::string base = BaseTable();
  if (base.empty() || !backend_)
    throw SqlError(16932, "Insufficient key column information for updating or refreshing.");
  backend_->Execute("DELETE TOP (1) FROM " + base + WhereOriginal());
  data_.rows.erase(data_.rows.begin() + pos_);
  if (pos_ >= RecordCount()) pos_ = RecordCount() - 1;
  if (pos_ < 0 && RecordCount() > 0) pos_ = 0;
}

RecordSet::Bookmark RecordSet::GetBookmark() const {
  if (Bof() || Eof()) return {};
  return data_.rows[static_cast<size_t>(pos_)];
}

bool RecordSet::GotoBookmark(const Bookmark& b) {
  for (size_t r = 0; r < data_.rows.size(); ++r)
    if (data_.rows[r] == b) {
      pos_ = static_cast<long long>(r);
      return true;
    }
  return false;
}

void RecordSet::Requery() {
  if (!backend_) return;
  Bookmark mark = GetBookmark();
  long long old = pos_;
  Open(*backend_, sql_);
  if (mark.empty() || !GotoBookmark(mark)) pos_ = std::min(old, RecordCount() - 1);
  if (pos_ < 0) pos_ = 0;
}

void RecordSet::Sort(const std::string& order) {
  struct Key {
    int index;
    bool desc;
  };
  std::vector<Key> keys;
  size_t pos = 0;
  while (pos <= order.size()) {
    size_t end = order.find(',', pos);
    std::string part(
        Trim(order.substr(pos, end == std::string::npos ? std::string::npos : end - pos)));
    if (!part.empty()) {
      bool desc = false;
      std::string upper = UpperAscii(part);
      for (const char* suffix : {" DESC", " ASC"})
        if (upper.size() > std::string(suffix).size() && upper.ends_with(suffix)) {
          desc = std::string(suffix) == " DESC";
          part = std::string(Trim(part.substr(0, part.size() - std::string(suffix).size())));
        }
      int i = FieldIndex(part);
      if (i < 0)
        throw SqlError(3265,
                       "Item cannot be found in the collection corresponding to "
                       "the requested name or ordinal.");
      keys.push_back({i, desc});
    }
    if (end == std::string::npos) break;
    pos = end + 1;
  }
  // Rows are ordered through a permutation over keys read once per row, so the comparisons
  // touch no variant and the rows move once.
  struct Cell {
    int rank;  // 0 NULL (first, as the server sorts them), 1 number, 2 text or other
    double number;
    std::string_view text;
    uint64_t prefix = 0;  // first bytes as the collation compares them, blank-padded
    uint64_t prefix2 = 0;
  };
  // The collation folds ASCII case and lets the shorter text continue as blanks, so equal
  // prefixes built that way decide most comparisons without touching the text.
  auto prefixOf = [](std::string_view t, size_t from) {
    uint64_t p = 0;
    for (size_t i = from; i < from + 8; ++i) {
      unsigned char c = i < t.size() ? static_cast<unsigned char>(t[i]) : ' ';
      if (c >= 'A' && c <= 'Z') c = static_cast<unsigned char>(c + 32);
      p = (p << 8) | c;
    }
    return p;
  };
  const size_t n = data_.rows.size();
  std::vector<std::string> formatted;  // text of values that are neither numbers nor text
  formatted.reserve(n);
  if (keys.empty() || n == 0) return;
  std::vector<Cell> cells(n * keys.size());
  for (size_t r = 0; r < n; ++r)
    for (size_t k = 0; k < keys.size(); ++k) {
      const Value& v = data_.rows[r][static_cast<size_t>(keys[k].index)];
      Cell& c = cells[r * keys.size() + k];
      if (engine::IsNull(v)) {
        c = {0, 0, {}, 0, 0};
      } else if (const auto* i = std::get_if<long long>(&v)) {
        c = {1, static_cast<double>(*i), {}, 0, 0};
      } else if (const auto* d = std::get_if<double>(&v)) {
        c = {1, *d, {}, 0, 0};
      } else if (const auto* s = std::get_if<std::string>(&v)) {
        c = {2, 0, *s, prefixOf(*s, 0), prefixOf(*s, 8)};
      } else {
        formatted.push_back(engine::FormatValue(v));
        c = {3, 0, {}, 0, 0};
      }
    }
  // Other values are compared by their text; their strings are stable once all are made.
  for (size_t i = 0, f = 0; i < cells.size(); ++i)
    if (cells[i].rank == 3) {
      cells[i] = {2, 0, formatted[f], prefixOf(formatted[f], 0), prefixOf(formatted[f], 8)};
      ++f;
    }
  auto compare = [](const Cell& a, const Cell& b) -> int {
    if (a.rank == 0 || b.rank == 0) return a.rank == b.rank ? 0 : a.rank == 0 ? -1 : 1;
    if (a.rank == 1 && b.rank == 1) return a.number < b.number ? -1 : a.number > b.number ? 1 : 0;
    if (a.rank == 1 || b.rank == 1) {
      // A number against text compares as text, as before.
      std::string x = a.rank == 1 ? engine::FormatValue(Value(a.number)) : std::string(a.text);
      std::string y = b.rank == 1 ? engine::FormatValue(Value(b.number)) : std::string(b.text);
      return engine::CompareText(x, y);
    }
    if (a.prefix != b.prefix) return a.prefix < b.prefix ? -1 : 1;
    if (a.prefix2 != b.prefix2) return a.prefix2 < b.prefix2 ? -1 : 1;
    return engine::CompareText(a.text, b.text);
  };
  // The first key sits beside its row number, so most comparisons read contiguous memory;
  // the row number settles ties, which keeps the sort stable.
  struct Entry {
    Cell first;
    uint32_t row;
  };
  const size_t width = keys.size();
  std::vector<Entry> entries(n);
  for (size_t r = 0; r < n; ++r) entries[r] = {cells[r * width], static_cast<uint32_t>(r)};
  std::sort(entries.begin(), entries.end(), [&](const Entry& e1, const Entry& e2) {
    int c = compare(e1.first, e2.first);
    if (c != 0) return keys[0].desc ? c > 0 : c < 0;
    for (size_t k = 1; k < width; ++k) {
      c = compare(cells[e1.row * width + k], cells[e2.row * width + k]);
      if (c != 0) return keys[k].desc ? c > 0 : c < 0;
    }
    return e1.row < e2.row;
  });
  std::vector<uint32_t> perm(n);
  for (size_t r = 0; r < n; ++r) perm[r] = entries[r].row;
  std::vector<std::vector<Value>> sorted;
  sorted.reserve(n);
  long long current = -1;
  for (size_t r = 0; r < n; ++r) {
    if (static_cast<long long>(perm[r]) == pos_) current = static_cast<long long>(r);
    sorted.push_back(std::move(data_.rows[perm[r]]));
  }
  data_.rows = std::move(sorted);
  if (current >= 0) pos_ = current;
}

}  // namespace xfer::db
