// A client-side record set, like a static cursor of the suite's data-access layer: fields,
// rows, a current position, edits posted back to the base table of a single-table query,
// appends, deletes that the owner may refuse, requery with bookmarks kept, and a client-side
// sort. Rows live in memory; every write is a T-SQL statement through the backend.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "db/backend.h"

namespace xfer::db {

class RecordSet {
 public:
  RecordSet() = default;
  // Opens `sql` on `backend` (kept for posts and requery); the first result set is kept.
  void Open(Backend& backend, const std::string& sql);
  // Takes rows that came from elsewhere (a file); posts are not possible until Attach.
  void Assign(ResultSet rows);
  void Close();

  bool active() const { return active_; }
  const std::vector<Field>& fields() const { return data_.fields; }
  const ResultSet& data() const { return data_; }
  long long RecordCount() const { return static_cast<long long>(data_.rows.size()); }
  int FieldIndex(const std::string& name) const;  // -1 when absent

  // Cursor.
  bool Bof() const { return data_.rows.empty() || pos_ < 0; }
  bool Eof() const { return data_.rows.empty() || pos_ >= RecordCount(); }
  void First() { pos_ = 0; }
  void Last() { pos_ = RecordCount() - 1; }
  void Next() {
    if (pos_ < RecordCount()) ++pos_;
  }
  void Prior() {
    if (pos_ >= 0) --pos_;
  }
  long long RecNo() const { return pos_; }
  void MoveTo(long long index);

  const Value& Get(const std::string& field) const;
  const Value& Get(int index) const;
  std::string Text(const std::string& field) const;  // display text, NULL as empty

  // Editing: Edit or Append, Set, then Post (or Cancel).
  void Edit();
  void Append();
  void Set(const std::string& field, Value v);
  void Post();
  void Cancel();
  // Deletes the current row in the base table unless the owner's hook refuses.
  void Delete();
  std::function<bool(RecordSet&)> beforeDelete;

  // Re-runs the query; the current row is found again by its values when it still exists.
  void Requery();

  // A bookmark is the current row's values; it survives a requery.
  using Bookmark = std::vector<Value>;
  Bookmark GetBookmark() const;
  bool GotoBookmark(const Bookmark& b);

  // Client-side sort: "Field1 ASC, Field2 DESC".
  void Sort(const std::string& order);

  // The base table of a single-table query, as T-SQL names it; empty when none.
  std::string BaseTable() const;
  // The statement the set was opened with and the backend it runs on (null for assigned rows).
  const std::string& sql() const { return sql_; }
  Backend* backend() const { return backend_; }

 private:
  enum class State { Browse, Edit, Insert };
  void RequireRow() const;
  std::string WhereOriginal() const;

  Backend* backend_ = nullptr;
  std::string sql_;
  ResultSet data_;
  long long pos_ = 0;
  bool active_ = false;
  State state_ = State::Browse;
  std::vector<Value> buffer_;  // row being edited or appended
  std::vector<bool> changed_;
};

// Value as a T-SQL literal: numbers bare, text quoted with quotes doubled, NULL, 0x... binary.
std::string SqlLiteral(const Value& v);

}  // namespace xfer::db
