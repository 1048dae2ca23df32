// Cursors: DECLARE ... CURSOR, OPEN, FETCH, CLOSE, DEALLOCATE and @@FETCH_STATUS.
//
// The query is rendered when the cursor is declared, so the variables it names keep the values
// they had then; OPEN reads every row at once and FETCH walks them. A GLOBAL cursor (the
// default) lives on the connection until DEALLOCATE; a LOCAL one goes with its batch or
// procedure.
#include "engine/error.h"
#include "engine/exec/executor.h"

namespace xfer::engine {
namespace {

[[noreturn]] void NoSuchCursor(const std::string& name) {
  throw SqlError(16916, "A cursor with the name '" + name + "' does not exist.");
}

}  // namespace

Cursor& Executor::FindCursor(const CursorSpec& c) {
  std::string key = LowerName(c.name);
  if (!c.global) {
    auto& local = conn_.frame().cursors;
    if (auto it = local.find(key); it != local.end()) return it->second;
  }
  auto it = conn_.globalCursors.find(key);
  if (it == conn_.globalCursors.end()) NoSuchCursor(c.name);
  return it->second;
}

void Executor::DeclareCursor(const Statement& s) {
  std::string key = LowerName(s.cursor.name);
  auto& owner = s.cursor.local ? conn_.frame().cursors : conn_.globalCursors;
  if (owner.count(key))
    throw SqlError(16915, "A cursor with the name '" + s.cursor.name + "' already exists.");
  Renderer r(conn_);
  Cursor c;
  c.name = s.cursor.name;
  c.scroll = s.cursor.scroll;
  c.insensitive = s.cursor.scroll;
  c.query = std::make_shared<const Rendered>(r.Select(*s.select));
  owner.emplace(key, std::move(c));
}

void Executor::OpenCursor(const Statement& s) {
  Cursor& c = FindCursor(s.cursor);
  if (c.open) throw SqlError(16905, "The cursor is already open.");
  ResultSet rs = Query(*c.query);
  c.fields = std::move(rs.fields);
  c.rows = std::move(rs.rows);
  c.position = -1;
  c.open = true;
  conn_.cursorRows = c.insensitive ? static_cast<long long>(c.rows.size()) : -1;
  conn_.rowcount = 0;
}

void Executor::Fetch(const Statement& s) {
  Cursor& c = FindCursor(s.cursor);
  if (!c.open) throw SqlError(16917, "Cursor is not open.");
  const std::string& dir = s.cursor.direction;
  if (dir != "NEXT" && !c.scroll)
    throw SqlError(16911,
                   "fetch: The fetch type " + dir + " cannot be used with forward only cursors.");
  if (!s.cursor.into.empty() && s.cursor.into.size() != c.fields.size())
    throw SqlError(16924,
                   "Cursorfetch: The number of variables declared in the INTO list must match "
                   "that of selected columns.");
  const long long count = static_cast<long long>(c.rows.size());
  long long offset = 0;
  if (s.value) {
    Value v = Evaluate(*s.value);
    if (const auto* i = std::get_if<long long>(&v)) offset = *i;
  }
  long long target = c.position;
  if (dir == "NEXT") {
    target = c.position + 1;
  } else if (dir == "PRIOR") {
    target = c.position - 1;
  } else if (dir == "FIRST") {
    target = 0;
  } else if (dir == "LAST") {
    target = count - 1;
  } else if (dir == "ABSOLUTE") {
    target = offset > 0 ? offset - 1 : offset < 0 ? count + offset : -1;
  } else {  // RELATIVE
    target = c.position + offset;
  }
  // Moving off either end leaves the cursor just outside the rows.
  bool found = target >= 0 && target < count;
  c.position = found ? target : target < 0 ? -1 : count;
  conn_.fetchStatus = found ? 0 : -1;
  conn_.rowcount = found ? 1 : 0;
  if (s.cursor.into.empty()) {
    ResultSet rs;
    rs.fields = c.fields;
    if (found) rs.rows.push_back(c.rows[static_cast<size_t>(target)]);
    onResult_(std::move(rs));
    return;
  }
  if (!found) return;
  const auto& row = c.rows[static_cast<size_t>(target)];
  for (size_t i = 0; i < s.cursor.into.size(); ++i) Assign(s.cursor.into[i], row[i]);
}

void Executor::CloseCursor(const Statement& s) {
  Cursor& c = FindCursor(s.cursor);
  if (!c.open) throw SqlError(16917, "Cursor is not open.");
  c.open = false;
  c.rows.clear();
  c.position = -1;
}

void Executor::Deallocate(const Statement& s) {
  std::string key = LowerName(s.cursor.name);
  if (!s.cursor.global && conn_.frame().cursors.erase(key)) return;
  if (!conn_.globalCursors.erase(key)) NoSuchCursor(s.cursor.name);
}

}  // namespace xfer::engine
