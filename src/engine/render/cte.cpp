// Common table expressions: WITH name [(columns)] AS (query) before a statement. Each
// reference renders the named query in place, as SQLite's own WITH inside a subquery, so the
// reference may stand anywhere a derived table may. A query that reads itself is recursive:
// one anchor part, then UNION ALL parts that read it once each, run level by level with SQL
// Server's recursion limit (100, or OPTION (MAXRECURSION n)).
#include <algorithm>

#include "engine/error.h"
#include "engine/render/render.h"
#include "engine/sqlite_util.h"

namespace xfer::engine {
namespace {

[[noreturn]] void Refuse(const std::string& feature) {
  throw SqlError(err::kUnsupported, "The T-SQL feature '" + feature + "' is not supported.");
}

bool ReadsName(const Select& s, const std::string& name);

bool ReadsName(const Expr* e, const std::string& name) {
  if (!e) return false;
  if (e->subquery && ReadsName(*e->subquery, name)) return true;
  for (const auto& a : e->args)
    if (ReadsName(a.get(), name)) return true;
  for (const auto& w : e->whens)
    if (ReadsName(w.when.get(), name) || ReadsName(w.then.get(), name)) return true;
  return ReadsName(e->caseOperand.get(), name) || ReadsName(e->elseExpr.get(), name);
}

bool ReadsName(const TableRef* t, const std::string& name) {
  if (!t) return false;
  switch (t->kind) {
    case TableRef::Kind::Named:
      return t->name.database.empty() && t->name.schema.empty() &&
             LowerName(t->name.object) == name;
    case TableRef::Kind::Derived:
      return ReadsName(*t->derived, name);
    case TableRef::Kind::Join:
    case TableRef::Kind::Pivot:
      return ReadsName(t->left.get(), name) || ReadsName(t->right.get(), name) ||
             ReadsName(t->on.get(), name);
    case TableRef::Kind::Function:
      return std::any_of(t->args.begin(), t->args.end(),
                         [&](const ExprPtr& a) { return ReadsName(a.get(), name); });
  }
  return false;
}

// Whether the query core (its set parts aside) reads `name` (lower case) anywhere.
bool CoreReads(const Select& s, const std::string& name) {
  for (const auto& t : s.from)
    if (ReadsName(t.get(), name)) return true;
  for (const auto& i : s.items)
    if (ReadsName(i.expr.get(), name)) return true;
  for (const auto& g : s.groupBy)
    if (ReadsName(g.get(), name)) return true;
  return ReadsName(s.where.get(), name) || ReadsName(s.having.get(), name) ||
         ReadsName(s.top.get(), name);
}

bool ReadsName(const Select& s, const std::string& name) {
  if (CoreReads(s, name)) return true;
  for (const auto& p : s.setParts)
    if (ReadsName(*p.select, name)) return true;
  return false;
}

// Whether the table itself is named directly in the FROM clause (not inside a derived table
// or a subquery), and whether any outer join stands there.
void DirectReads(const TableRef* t, const std::string& name, int* direct, bool* outer) {
  if (!t) return;
  if (t->kind == TableRef::Kind::Join) {
    if (t->joinType != JoinType::Inner && t->joinType != JoinType::Cross) *outer = true;
    DirectReads(t->left.get(), name, direct, outer);
    DirectReads(t->right.get(), name, direct, outer);
  } else if (t->kind == TableRef::Kind::Named && ReadsName(t, name)) {
    ++*direct;
  }
}

bool HasAggregateCall(const Expr* e) {
  if (!e || e->kind == ExprKind::Subquery || e->kind == ExprKind::Exists) return false;
  if (e->kind == ExprKind::Function && !e->over) {
    static const char* const kAggregates[] = {"SUM",  "COUNT",  "AVG",        "MIN",
                                              "MAX",  "STDEV",  "COUNT_BIG",  "VAR",
                                              "VARP", "STDEVP", "STRING_AGG", "GROUPING"};
    if (std::find(std::begin(kAggregates), std::end(kAggregates), e->text) != std::end(kAggregates))
      return true;
  }
  for (const auto& a : e->args)
    if (HasAggregateCall(a.get())) return true;
  for (const auto& w : e->whens)
    if (HasAggregateCall(w.when.get()) || HasAggregateCall(w.then.get())) return true;
  return HasAggregateCall(e->caseOperand.get()) || HasAggregateCall(e->elseExpr.get());
}

}  // namespace

void Renderer::PushCommonTables(const std::vector<CommonTable>& with) {
  for (const CommonTable& c : with) {
    for (const CommonTable& other : with) {
      if (&other == &c) break;
      if (LowerName(other.name) == LowerName(c.name)) Refuse("common table expression named twice");
    }
    ctes_.push_back(&c);
  }
}

const CommonTable* Renderer::FindCommonTable(const ObjectName& n) const {
  if (!n.server.empty() || !n.database.empty() || !n.schema.empty()) return nullptr;
  const std::string name = LowerName(n.object);
  for (auto it = ctes_.rbegin(); it != ctes_.rend(); ++it)
    if (LowerName((*it)->name) == name) return *it;
  return nullptr;
}

void Renderer::NameColumns(const std::string& owner, const std::vector<std::string>& list,
                           std::vector<std::string>& names) {
  if (!list.empty()) {
    if (list.size() < names.size())
      throw SqlError(8158,
                     "'" + owner + "' has more columns than were specified in the column list.");
    if (list.size() > names.size())
      throw SqlError(8159,
                     "'" + owner + "' has fewer columns than were specified in the column list.");
    names = list;
  }
  for (size_t i = 0; i < names.size(); ++i) {
    if (names[i].empty())
      throw SqlError(8155, "No column name was specified for column " + std::to_string(i + 1) +
                               " of '" + owner + "'.");
    for (size_t j = 0; j < i; ++j)
      if (LowerName(names[j]) == LowerName(names[i]))
        throw SqlError(8156, "The column '" + names[i] + "' was specified multiple times for '" +
                                 owner + "'.");
  }
}

std::string Renderer::WithColumns(const std::string& name, const std::vector<std::string>& columns,
                                  const std::string& body, bool recursive) {
  std::string cols;
  for (size_t i = 0; i < columns.size(); ++i) cols += (i ? ", " : "") + QuoteIdent(columns[i]);
  return std::string("WITH ") + (recursive ? "RECURSIVE " : "") + QuoteIdent(name) + "(" + cols +
         (recursive ? ", \"__level\"" : "") + ") AS (" + body + ") SELECT " + cols + " FROM " +
         QuoteIdent(name);
}

std::string Renderer::CommonTableSource(const CommonTable& c, const std::string& alias,
                                        Source& src) {
  if (recursion_ && recursion_->cte == &c) {
    // The recursive part reading the rows of the level before.
    ++recursion_->references;
    recursion_->selfAlias = alias;
    src.columns = recursion_->names;
    src.types = recursion_->types;
    return QuoteIdent(c.name) + " AS " + QuoteIdent(alias);
  }
  const struct Select& q = *c.query;
  if (!q.orderBy.empty() && !q.top && !q.offset)
    throw SqlError(1033,
                   "The ORDER BY clause is invalid in views, inline functions, derived tables, "
                   "subqueries, and common table expressions, unless TOP, OFFSET or FOR XML is "
                   "also specified.");
  // The named query sees the names defined before it (and itself), not the query reading it.
  std::vector<const CommonTable*> savedCtes = ctes_;
  ctes_.erase(std::find(ctes_.begin(), ctes_.end(), &c) + 1, ctes_.end());
  std::vector<std::vector<Source>> savedScopes;
  savedScopes.swap(scopes_);
  Recursion* savedRecursion = recursion_;
  recursion_ = nullptr;
  std::vector<std::string> names;
  std::vector<ExprType> types;
  const bool recursive = ReadsName(q, LowerName(c.name));
  std::string body;
  if (recursive) {
    body = RecursiveBody(c, names, types);
  } else {
    ctes_.pop_back();
    bool star = false;
    body = Select(q, names, types, star);
    NameColumns(c.name, c.columns, names);
  }
  ctes_ = std::move(savedCtes);
  scopes_.swap(savedScopes);
  recursion_ = savedRecursion;
  src.columns = names;
  src.types = types;
  return "(" + WithColumns(c.name, names, body, recursive) + ") AS " + QuoteIdent(alias);
}

std::string Renderer::RecursiveBody(const CommonTable& c, std::vector<std::string>& names,
                                    std::vector<ExprType>& types) {
  const struct Select& q = *c.query;
  const std::string lower = LowerName(c.name);
  if (q.setParts.empty() || q.setParts[0].op != SetOp::UnionAll)
    throw SqlError(252, "Recursive common table expression '" + c.name +
                            "' does not contain a top-level UNION ALL operator.");
  if (CoreReads(q, lower)) Refuse("recursive common table expression without an anchor");
  if (q.top || q.distinct || !q.orderBy.empty() || q.offset)
    Refuse("TOP, DISTINCT or ORDER BY in a recursive common table expression");
  for (const auto& part : q.setParts) {
    const struct Select& r = *part.select;
    if (part.op != SetOp::UnionAll || !r.setParts.empty())
      Refuse("several anchor or set operators in a recursive common table expression");
    int direct = 0;
    bool outer = false;
    for (const auto& t : r.from) DirectReads(t.get(), lower, &direct, &outer);
    bool aggregate = !r.groupBy.empty() || !r.groupingSets.empty() || r.having;
    for (const auto& i : r.items) aggregate = aggregate || HasAggregateCall(i.expr.get());
    if (direct != 1 || outer || aggregate || r.distinct || r.top || ReadsName(r.where.get(), lower))
      Refuse("this form of recursive common table expression");
  }

  levelPending_ = true;
  bool star = false;
  size_t depth = scopes_.size();
  std::string sql = SelectCore(q, names, types, star);
  while (scopes_.size() > depth) PopScope();
  NameColumns(c.name, c.columns, names);

  Recursion rec;
  rec.cte = &c;
  rec.names = names;
  rec.types = types;
  recursion_ = &rec;
  for (const auto& part : q.setParts) {
    std::vector<std::string> partNames;
    std::vector<ExprType> partTypes;
    rec.references = 0;
    levelPending_ = true;
    std::string partSql = SelectCore(*part.select, partNames, partTypes, star);
    while (scopes_.size() > depth) PopScope();
    if (rec.references != 1) Refuse("this form of recursive common table expression");
    if (partNames.size() != names.size())
      throw SqlError(205,
                     "All queries combined using a UNION, INTERSECT or EXCEPT operator must have "
                     "an equal number of expressions in their target lists.");
    for (size_t i = 0; i < names.size(); ++i) {
      const std::string anchor = types[i].declared.Text(), next = partTypes[i].declared.Text();
      if (types[i].declared.name.empty() || partTypes[i].declared.name.empty())
        Refuse("recursive common table expression of computed types");
      if (anchor != next)
        throw SqlError(240,
                       "Types don't match between the anchor and the recursive part in "
                       "column \"" +
                           names[i] + "\" of recursive query \"" + c.name + "\".");
    }
    sql += " UNION ALL " + partSql;
  }
  recursion_ = nullptr;
  return sql;
}

}  // namespace xfer::engine
