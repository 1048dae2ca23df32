// INSERT, UPDATE and DELETE. SQL Server's forms that SQLite lacks are rewritten here:
// identity values are numbered in the statement itself (base + step * row number), values are
// converted to the column's type where affinity would not, UPDATE ... FROM with the target
// repeated in FROM under an alias becomes SQLite's UPDATE ... FROM without that instance, and
// DELETE ... FROM becomes a delete by rowid of the rows the join selects.
#include <algorithm>
#include <functional>

#include "engine/error.h"
#include "engine/render/render.h"
#include "engine/sqlite_util.h"

namespace xfer::engine {
namespace {

bool Contains(const TableRef& ref, const TableRef* target) {
  if (&ref == target) return true;
  if (ref.kind != TableRef::Kind::Join) return false;
  return Contains(*ref.left, target) || Contains(*ref.right, target);
}

// The FROM entry that is the statement's target: an alias equal to the target name, or else
// the one table of that name.
const TableRef* FindTarget(const std::vector<TableRefPtr>& from, const ObjectName& target) {
  std::vector<const TableRef*> named;
  std::function<void(const TableRef&)> walk = [&](const TableRef& r) {
    if (r.kind == TableRef::Kind::Join) {
      walk(*r.left);
      walk(*r.right);
    } else if (r.kind == TableRef::Kind::Named) {
      named.push_back(&r);
    }
  };
  for (const auto& r : from) walk(*r);
  std::string want = LowerName(target.object);
  if (target.database.empty() && target.schema.empty())
    for (const TableRef* r : named)
      if (!r->alias.empty() && LowerName(r->alias) == want) return r;
  const TableRef* match = nullptr;
  for (const TableRef* r : named) {
    if (LowerName(r->name.object) != want) continue;
    if (!target.database.empty() && LowerName(r->name.database) != LowerName(target.database))
      continue;
    if (match) return nullptr;  // two instances: the target is not one of them
    match = r;
  }
  return match;
}

// INSERT INTO t [(every column in order)] SELECT * FROM one table, nothing else.
bool PlainCopy(const Statement& s, const TableInfo& info,
               const std::vector<const ColumnInfo*>& cols) {
  if (!s.select || cols.size() != info.columns.size()) return false;
  for (size_t i = 0; i < cols.size(); ++i)
    if (cols[i] != &info.columns[i]) return false;
  const Select& q = *s.select;
  return q.items.size() == 1 && q.items[0].expr->kind == ExprKind::Star &&
         q.items[0].expr->name.empty() && q.from.size() == 1 &&
         q.from[0]->kind == TableRef::Kind::Named && !q.where && q.groupBy.empty() &&
         q.groupingSets.empty() && !q.having && q.orderBy.empty() && !q.top && !q.distinct &&
         q.setParts.empty() && !q.into && !q.from[0]->name.object.starts_with("#");
}

}  // namespace

std::vector<ExprType> ValueTypes(const std::vector<std::vector<Value>>& rows, size_t columns) {
  std::vector<ExprType> out(columns);
  std::vector<int> seen(columns, 0);  // bits: 1 integer, 2 float, 4 text, 8 binary
  for (const auto& row : rows)
    for (size_t i = 0; i < columns && i < row.size(); ++i)
      seen[i] |= std::holds_alternative<long long>(row[i])     ? 1
                 : std::holds_alternative<double>(row[i])      ? 2
                 : std::holds_alternative<std::string>(row[i]) ? 4
                 : std::holds_alternative<Blob>(row[i])        ? 8
                                                               : 0;
  for (size_t i = 0; i < columns; ++i)
    out[i].cls = seen[i] & 4   ? TypeClass::String
                 : seen[i] & 8 ? TypeClass::Unknown
                 : seen[i] & 2 ? TypeClass::Float
                 : seen[i] & 1 ? TypeClass::Int
                               : TypeClass::Null;
  return out;
}

bool NeedsCast(const TypeName& target, const ExprType& src) {
  TypeClass to = ClassOf(target);
  TypeClass from = src.cls;
  if (from == TypeClass::Null || from == TypeClass::Unknown || to == TypeClass::Unknown)
    return false;
  if (target.name == "bit") return from != TypeClass::Int || src.declared.name != "bit";
  switch (to) {
    case TypeClass::Int:
      return from != TypeClass::Int;
    case TypeClass::Float:
      return from == TypeClass::String || from == TypeClass::Text;
    case TypeClass::Decimal:
      return from != TypeClass::Int;
    case TypeClass::String:
    case TypeClass::Text:
      return from == TypeClass::Float || from == TypeClass::Decimal;
    case TypeClass::DateTime:
      // Text becomes the column's date form ('2024-01-01' in datetime is midnight).
      return from != TypeClass::DateTime || src.declared.name != target.name;
    default:
      return false;
  }
}

namespace {

bool IsFixedChar(const TypeName& t) {
  return t.name == "char" || t.name == "nchar";
}

}  // namespace

bool FitsWidth(const TypeName& target, const ExprType& src) {
  if (ClassOf(target) != TypeClass::String || target.length <= 0) return true;
  if (src.cls == TypeClass::Null) return true;
  // char(n) stores exactly n characters: only a value of that very width needs no padding.
  if (IsFixedChar(target))
    return src.cls == TypeClass::String && IsFixedChar(src.declared) &&
           src.declared.length == target.length;
  return src.cls == TypeClass::String && src.declared.length > 0 &&
         src.declared.length <= target.length;
}

namespace {

// A bound parameter (?3) or a source column (c3, "c"."x"): reading it twice costs nothing.
bool PlainOperand(const std::string& sql) {
  if (sql.size() > 1 && (sql[0] == '?' || sql[0] == 'c'))
    return std::all_of(sql.begin() + 1, sql.end(), [](char c) { return c >= '0' && c <= '9'; });
  return sql.size() > 2 && sql.front() == '"' && sql.back() == '"' &&
         sql.find_first_of("()' ") == std::string::npos;
}

}  // namespace

std::string FitWidth(const TypeName& target, const ExprType& src, const std::string& sql) {
  if (FitsWidth(target, src)) return sql;
  const std::string n = std::to_string(target.length);
  if (IsFixedChar(target)) return "xf_pad(" + sql + ", " + n + ")";
  // SQLite's own length() settles the common case without a call into the engine; only text
  // that may be too long reaches the check that names the error.
  if (PlainOperand(sql))
    return "(CASE WHEN length(" + sql + ") <= " + n + " THEN " + sql + " ELSE xf_fit(" + sql +
           ", " + n + ") END)";
  return "xf_fit(" + sql + ", " + n + ")";
}

IdentityPlan Renderer::PlanIdentity(const ResolvedTable& t, const TableInfo& info,
                                    const std::vector<const ColumnInfo*>& cols) {
  IdentityPlan plan;
  const ColumnInfo* ident = info.Identity();
  if (!ident) return plan;
  plan.schema = t.schema;
  plan.table = info.name;
  plan.column = ident->name;
  if (std::find(cols.begin(), cols.end(), ident) != cols.end()) {
    plan.explicitValues = true;
    return plan;
  }
  Stmt s(conn_.db(),
         "SELECT seed, step, last FROM " + QuoteIdent(t.schema) + ".__xfer_identity WHERE tbl = ?");
  sqlite3_bind_text(s.get(), 1, info.name.c_str(), -1, SQLITE_TRANSIENT);
  if (!s.Step()) return plan;
  long long seed = sqlite3_column_int64(s.get(), 0);
  plan.step = sqlite3_column_int64(s.get(), 1);
  plan.base = sqlite3_column_type(s.get(), 2) == SQLITE_NULL ? seed - plan.step
                                                             : sqlite3_column_int64(s.get(), 2);
  plan.active = true;
  return plan;
}

// A statement changes tables only; a common table expression standing as its target is refused.
void Renderer::UseCommonTables(const Statement& s, const ObjectName& target) {
  PushCommonTables(s.with);
  if (FindCommonTable(target))
    throw SqlError(err::kUnsupported,
                   "The T-SQL feature 'changing rows through a common table expression' is not "
                   "supported.");
}

Rendered Renderer::Insert(const Statement& s, IdentityPlan& plan) {
  UseCommonTables(s, s.target);
  ResolvedTable t = Resolve(s.target);
  if (!t.catalogSql.empty())
    throw SqlError(259, "Ad hoc updates to system catalogs are not allowed.");
  TableInfo info = *Table(t);
  bool identityInsert = conn_.identityInsert[LowerName(info.name)];

  std::vector<const ColumnInfo*> cols;
  if (!s.insertColumns.empty()) {
    for (const auto& name : s.insertColumns) {
      const ColumnInfo* c = info.Find(name);
      if (!c) throw SqlError(err::kInvalidColumn, "Invalid column name '" + name + "'.");
      if (c->identity && !identityInsert)
        throw SqlError(err::kIdentityInsert,
                       "Cannot insert explicit value for identity column "
                       "in table '" +
                           info.name + "' when IDENTITY_INSERT is set to OFF.");
      cols.push_back(c);
    }
  } else {
    for (const auto& c : info.columns)
      if (!c.identity || identityInsert) cols.push_back(&c);
  }
  plan = PlanIdentity(t, info, cols);
  // The identity counter is read as the statement is rendered.
  if (plan.active || identityInsert) reusable_ = false;

  std::string target = QualifiedName(t);
  std::string colList;
  for (const ColumnInfo* c : cols) colList += (colList.empty() ? "" : ", ") + QuoteIdent(c->name);
  Rendered r;
  if (s.defaultValues) {
    if (plan.active)
      r.sql = "INSERT INTO " + target + " (" + QuoteIdent(plan.column) + ") VALUES (" +
              std::to_string(plan.base + plan.step) + ")";
    else
      r.sql = "INSERT INTO " + target + " DEFAULT VALUES";
    Returning(s, info, r);
    r.params = params_;
    return r;
  }

  // The source as rows of rendered values with their static types.
  std::string source;
  std::vector<ExprType> types;
  // A value is converted, or its width checked, only where the declared types do not already
  // show it is of the column's kind and fits.
  bool cast = false;
  if (!s.valuesRows.empty()) {
    source = "VALUES ";
    for (size_t row = 0; row < s.valuesRows.size(); ++row) {
      const auto& values = s.valuesRows[row];
      if (values.size() != cols.size() && s.insertColumns.empty())
        throw SqlError(213,
                       "Column name or number of supplied values does not match table "
                       "definition.");
      if (values.size() != cols.size())
        throw SqlError(values.size() > cols.size() ? 110 : 109,
                       values.size() > cols.size()
                           ? "There are fewer columns in the INSERT statement than values "
                             "specified in the VALUES clause. The number of values in the VALUES "
                             "clause must match the number of columns specified in the INSERT "
                             "statement."
                           : "There are more columns in the INSERT statement than values "
                             "specified in the VALUES clause. The number of values in the VALUES "
                             "clause must match the number of columns specified in the INSERT "
                             "statement.");
      source += row ? ", (" : "(";
      for (size_t i = 0; i < values.size(); ++i) {
        ExprType vt;
        if (!values[i]) {  // DEFAULT
          const std::string& d = cols[i]->defaultSql;
          source += std::string(i ? ", " : "") + (d.empty() ? "NULL" : "(" + d + ")");
          continue;
        }
        std::string v = Expression(*values[i], &vt);
        if (NeedsCast(cols[i]->type, vt)) v = "xf_cast(" + v + ", '" + cols[i]->type.Text() + "')";
        v = FitWidth(cols[i]->type, vt, v);
        source += (i ? ", " : "") + v;
      }
      source += ")";
    }
  } else {
    Rendered q = Query(*s.select);
    if (q.columnNames.size() != cols.size())
      throw SqlError(120, "The select list for the INSERT statement contains " +
                              std::string(q.columnNames.size() < cols.size() ? "fewer" : "more") +
                              " items than the insert list. The number of SELECT values must "
                              "match the number of INSERT columns.");
    source = q.sql;
    types = q.columnTypes;
    for (size_t i = 0; i < cols.size(); ++i)
      cast = cast || NeedsCast(cols[i]->type, types[i]) || !FitsWidth(cols[i]->type, types[i]);
  }

  if (!plan.active && !cast && ctes_.empty() && PlainCopy(s, info, cols)) {
    // Whole-table copy: SQLite copies records without decoding them when the two tables are
    // declared alike, which is what a transfer between periods of one structure is.
    r.sql = "INSERT INTO " + target + " SELECT * FROM " +
            QualifiedName(Resolve(s.select->from[0]->name));
  } else if (!plan.active && !cast) {
    r.sql = "INSERT INTO " + target + " (" + colList + ") " + source;
  } else {
    // Number identity values and convert through a named source.
    std::string names, outer;
    for (size_t i = 0; i < cols.size(); ++i) {
      std::string c = "c" + std::to_string(i + 1);
      names += (i ? ", " : "") + c;
      std::string v = c;
      if (!types.empty() && NeedsCast(cols[i]->type, types[i]))
        v = "xf_cast(" + c + ", '" + cols[i]->type.Text() + "')";
      if (!types.empty()) v = FitWidth(cols[i]->type, types[i], v);
      outer += (i ? ", " : "") + v;
    }
    std::string insertCols = colList;
    if (plan.active) {
      insertCols = QuoteIdent(plan.column) + (colList.empty() ? "" : ", " + colList);
      outer = "xf_identity_next(" + std::to_string(plan.base) + ", " + std::to_string(plan.step) +
              ")" + (outer.empty() ? "" : ", " + outer);
    }
    if (cols.empty())
      r.sql = "INSERT INTO " + target + " (" + insertCols + ") SELECT " + outer + " FROM (" +
              source + ")";
    else
      r.sql = "WITH __src(" + names + ") AS (" + source + ") INSERT INTO " + target + " (" +
              insertCols + ") SELECT " + outer + " FROM __src";
  }
  Returning(s, info, r);
  r.params = params_;
  return r;
}

Rendered Renderer::InsertValues(const ObjectName& targetName,
                                const std::vector<std::string>& columns, size_t valueCount,
                                IdentityPlan& plan, const std::vector<ExprType>& valueTypes) {
  ResolvedTable t = Resolve(targetName);
  TableInfo info = *Table(t);
  std::vector<const ColumnInfo*> cols;
  if (columns.empty()) {
    for (const auto& c : info.columns)
      if (!c.identity) cols.push_back(&c);
  } else {
    for (const auto& name : columns) {
      const ColumnInfo* c = info.Find(name);
      if (!c) throw SqlError(err::kInvalidColumn, "Invalid column name '" + name + "'.");
      cols.push_back(c);
    }
  }
  if (cols.size() != valueCount)
    throw SqlError(213,
                   "Column name or number of supplied values does not match table "
                   "definition.");
  plan = PlanIdentity(t, info, cols);
  // The identity value, when the insert numbers one, is the parameter after the row's values.
  std::string colList, values;
  if (plan.active) {
    colList = QuoteIdent(plan.column);
    values = "?" + std::to_string(cols.size() + 1);
  }
  for (size_t i = 0; i < cols.size(); ++i) {
    colList += (colList.empty() ? "" : ", ") + QuoteIdent(cols[i]->name);
    const ExprType vt = i < valueTypes.size() ? valueTypes[i] : ExprType{};
    std::string v = "?" + std::to_string(i + 1);
    if (NeedsCast(cols[i]->type, vt)) v = "xf_cast(" + v + ", '" + cols[i]->type.Text() + "')";
    values += (values.empty() ? "" : ", ") + FitWidth(cols[i]->type, vt, v);
  }
  Rendered r;
  r.sql = "INSERT INTO " + QualifiedName(t) + " (" + colList + ") VALUES (" + values + ")";
  return r;
}

std::string Renderer::FromExcluding(const TableRef& ref, const TableRef* target,
                                    std::vector<Source>& sources,
                                    std::vector<const Expr*>& conditions) {
  if (&ref == target) return {};
  if (ref.kind != TableRef::Kind::Join || !Contains(ref, target)) return TableSource(ref, sources);
  if (ref.joinType != JoinType::Inner && ref.joinType != JoinType::Cross)
    throw SqlError(err::kUnsupported,
                   "The T-SQL feature 'UPDATE with its target inside an outer join' is not "
                   "supported.");
  std::string left = FromExcluding(*ref.left, target, sources, conditions);
  std::string right = FromExcluding(*ref.right, target, sources, conditions);
  if (ref.on) conditions.push_back(ref.on.get());
  if (left.empty()) return right;
  if (right.empty()) return left;
  return left + ", " + right;
}

// OUTPUT as SQLite's RETURNING, which reads the changed table's row by plain column names:
// the row as written for inserted, as removed for deleted. An UPDATE's old values are not
// kept by SQLite, so deleted is refused there.
void Renderer::Returning(const Statement& s, const TableInfo& info, Rendered& r) {
  if (!s.output) return;
  const char* pseudo = s.kind == StatementKind::Delete ? "deleted" : "inserted";
  Source row;
  row.alias = pseudo;
  row.display = pseudo;
  for (const ColumnInfo& c : info.columns) {
    row.columns.push_back(c.name);
    row.types.push_back(ExprType{ClassOf(c.type), c.type});
    row.exprs.push_back(QuoteIdent(c.name));
  }
  // The other pseudo-table is unknown to INSERT and DELETE, as to SQL Server (4104).
  std::function<void(const Expr*)> refuseOld = [&](const Expr* e) {
    if (!e) return;
    if ((e->kind == ExprKind::Column || e->kind == ExprKind::Star) && e->name.size() >= 2 &&
        LowerName(e->name[e->name.size() - 2]) == "deleted")
      throw SqlError(err::kUnsupported,
                     "The T-SQL feature 'OUTPUT deleted in UPDATE' is not supported.");
    for (const auto& a : e->args) refuseOld(a.get());
  };
  std::vector<std::string> names;
  std::vector<ExprType> types;
  std::string items;
  PushScope({row});
  for (const SelectItem& item : s.output->items) {
    if (s.kind == StatementKind::Update) refuseOld(item.expr.get());
    if (item.expr->kind == ExprKind::Star) {
      for (size_t i = 0; i < row.columns.size(); ++i) {
        items += (items.empty() ? "" : ", ") + row.exprs[i];
        names.push_back(row.columns[i]);
        types.push_back(row.types[i]);
      }
      continue;
    }
    ExprType t;
    items += (items.empty() ? "" : ", ") + Expression(*item.expr, &t);
    names.push_back(!item.alias.empty()                   ? item.alias
                    : item.expr->kind == ExprKind::Column ? item.expr->name.back()
                                                          : std::string());
    types.push_back(t);
  }
  PopScope();
  r.sql += " RETURNING " + items;
  r.columnNames = std::move(names);
  r.columnTypes = std::move(types);
}

// The table an UPDATE or DELETE changes: named as the target or, by its alias, in FROM.
ResolvedTable Renderer::ChangedTable(const Statement& s, const TableRef*& targetRef) {
  targetRef = FindTarget(s.from, s.target);
  UseCommonTables(s, targetRef ? targetRef->name : s.target);
  ResolvedTable t = Resolve(targetRef ? targetRef->name : s.target);
  if (!t.catalogSql.empty())
    throw SqlError(259, "Ad hoc updates to system catalogs are not allowed.");
  return t;
}

Rendered Renderer::Update(const Statement& s) {
  const TableRef* targetRef = nullptr;
  ResolvedTable t = ChangedTable(s, targetRef);
  TableInfo info = *Table(t);
  std::string alias = targetRef && !targetRef->alias.empty() ? targetRef->alias : info.name;
  if (!targetRef && s.target.database.empty()) alias = s.target.object;

  Source self;
  self.alias = LowerName(alias);
  self.table = info;
  std::vector<Source> sources{self};
  std::vector<const Expr*> conditions;
  std::string fromSql;
  for (const auto& ref : s.from) {
    std::string part = FromExcluding(*ref, targetRef, sources, conditions);
    if (!part.empty()) fromSql += (fromSql.empty() ? "" : ", ") + part;
  }
  PushScope(sources);

  std::string sets;
  for (const auto& a : s.assignments) {
    const std::string& col = a.target.back();
    if (col.starts_with("@"))
      throw SqlError(err::kUnsupported,
                     "The T-SQL feature 'UPDATE ... SET @variable' is not supported.");
    const ColumnInfo* c = info.Find(col);
    if (!c) throw SqlError(err::kInvalidColumn, "Invalid column name '" + col + "'.");
    if (c->identity) throw SqlError(8102, "Cannot update identity column '" + c->name + "'.");
    ExprType vt;
    std::string v = Expression(*a.value, &vt);
    if (NeedsCast(c->type, vt)) v = "xf_cast(" + v + ", '" + c->type.Text() + "')";
    v = FitWidth(c->type, vt, v);
    sets += (sets.empty() ? "" : ", ") + QuoteIdent(c->name) + " = " + v;
  }
  std::string where;
  for (const Expr* cond : conditions) {
    ExprType ct;
    where += (where.empty() ? "" : " AND ") + Expression(*cond, &ct);
  }
  if (s.where) {
    ExprType wt;
    where += (where.empty() ? "" : " AND ") + Expression(*s.where, &wt);
  }
  if (s.top) {
    ExprType tt;
    std::string limit = Expression(*s.top, &tt);
    where = "rowid IN (SELECT rowid FROM " + QualifiedName(t) + " AS " + QuoteIdent(alias) +
            (where.empty() ? "" : " WHERE " + where) + " LIMIT " + limit + ")";
    if (!fromSql.empty())
      throw SqlError(err::kUnsupported,
                     "The T-SQL feature 'UPDATE TOP with a FROM clause' is not supported.");
  }
  PopScope();

  Rendered r;
  r.sql = "UPDATE " + QualifiedName(t) + " AS " + QuoteIdent(alias) + " SET " + sets;
  if (!fromSql.empty()) r.sql += " FROM " + fromSql;
  if (!where.empty()) r.sql += " WHERE " + where;
  Returning(s, info, r);
  r.params = params_;
  return r;
}

Rendered Renderer::Delete(const Statement& s) {
  const TableRef* targetRef = nullptr;
  ResolvedTable t = ChangedTable(s, targetRef);
  TableInfo info = *Table(t);
  Rendered r;
  r.sql = "DELETE FROM " + QualifiedName(t);
  std::string limit;
  if (s.top) {
    ExprType tt;
    limit = " LIMIT " + Expression(*s.top, &tt);
  }
  if (s.from.empty()) {
    std::string alias = s.target.database.empty() ? s.target.object : info.name;
    Source self;
    self.alias = LowerName(alias);
    self.table = info;
    PushScope({self});
    std::string where;
    if (s.where) {
      ExprType wt;
      where = Expression(*s.where, &wt);
    }
    PopScope();
    if (!limit.empty()) {
      r.sql += " WHERE rowid IN (SELECT rowid FROM " + QualifiedName(t) + " AS " +
               QuoteIdent(alias) + (where.empty() ? "" : " WHERE " + where) + limit + ")";
    } else {
      if (alias != info.name) r.sql += " AS " + QuoteIdent(alias);
      if (!where.empty()) r.sql += " WHERE " + where;
    }
  } else {
    std::string fromSql;
    std::vector<Source> sources;
    std::string alias;
    if (!targetRef) {
      alias = s.target.object;
      fromSql = QualifiedName(t) + " AS " + QuoteIdent(alias);
      Source self;
      self.alias = LowerName(alias);
      self.table = info;
      sources.push_back(self);
    } else {
      alias = targetRef->alias.empty() ? targetRef->name.object : targetRef->alias;
    }
    for (const auto& ref : s.from) {
      if (!fromSql.empty()) fromSql += ", ";
      fromSql += TableSource(*ref, sources);
    }
    PushScope(sources);
    std::string where;
    if (s.where) {
      ExprType wt;
      where = " WHERE " + Expression(*s.where, &wt);
    }
    PopScope();
    r.sql += " WHERE rowid IN (SELECT " + QuoteIdent(alias) + ".rowid FROM " + fromSql + where +
             limit + ")";
  }
  Returning(s, info, r);
  r.params = params_;
  return r;
}

}  // namespace xfer::engine
