// The binder's checks that SQLite would not make: in a grouped query every column outside an
// aggregate must be one of the GROUP BY expressions (8120 in the select list, 8121 in HAVING),
// and a scalar subquery must not yield more than one row (512), which is known here for the
// common forms and otherwise checked as the query runs.
#include <algorithm>

#include "engine/error.h"
#include "engine/func/functions.h"
#include "engine/render/render.h"

namespace xfer::engine {
namespace {

// Whether an aggregate appears in `e` outside any subquery.
bool HasAggregate(const Expr* e) {
  if (!e) return false;
  if (IsAggregateCall(*e)) return true;
  if (e->kind == ExprKind::Subquery || e->kind == ExprKind::Exists) return false;
  for (const auto& a : e->args)
    if (HasAggregate(a.get())) return true;
  for (const auto& w : e->whens)
    if (HasAggregate(w.when.get()) || HasAggregate(w.then.get())) return true;
  if (e->over) {
    for (const auto& p : e->over->partitionBy)
      if (HasAggregate(p.get())) return true;
    for (const auto& o : e->over->orderBy)
      if (HasAggregate(o.expr.get())) return true;
  }
  return HasAggregate(e->caseOperand.get()) || HasAggregate(e->elseExpr.get());
}

}  // namespace

// A windowed aggregate (SUM(x) OVER (...)) keeps the rows: it does not group the query.
bool IsAggregateCall(const Expr& e) {
  if (e.kind != ExprKind::Function || e.over) return false;
  const FunctionInfo* f = FindFunction(e.text);
  return f && f->aggregate;
}

// A text form of an expression in which a column is named by the source it binds to, so that
// "k.Cod" and "Cod" compare equal when they are the same column. Columns of outer queries are
// constants here.
std::string Renderer::Canonical(const Expr& e) {
  switch (e.kind) {
    case ExprKind::Column: {
      if (scopes_.empty()) return "?";
      std::string col = LowerName(e.name.back());
      std::string qualifier = e.name.size() >= 2 ? LowerName(e.name[e.name.size() - 2]) : "";
      for (const Source& s : scopes_.back()) {
        if (!qualifier.empty() && s.alias != qualifier) continue;
        bool has = s.table ? s.table->Find(col) != nullptr
                           : std::any_of(s.columns.begin(), s.columns.end(),
                                         [&](const std::string& c) { return LowerName(c) == col; });
        if (has) return "c:" + s.alias + "." + col;
      }
      return "outer:" + qualifier + "." + col;
    }
    case ExprKind::Literal:
      // Grouping compares literals by value: a kept render holds only while they stay.
      if (e.literalKind == LiteralKind::String || e.literalKind == LiteralKind::NString)
        pinned_.push_back(&e);
      return "l:" + e.text;
    case ExprKind::Variable:
      return "v:" + LowerName(e.text);
    case ExprKind::Subquery:
    case ExprKind::Exists:
    case ExprKind::InSubquery:
      return "q:" + std::to_string(reinterpret_cast<uintptr_t>(&e));
    default:
      break;
  }
  std::string out = std::to_string(static_cast<int>(e.kind)) + ":" + e.text +
                    (e.negated ? "!" : "") + (e.distinct ? "d" : "") + e.castType.Text() + "(";
  for (const auto& a : e.args) out += (a ? Canonical(*a) : "-") + ",";
  if (e.caseOperand) out += Canonical(*e.caseOperand) + ",";
  for (const auto& w : e.whens) out += Canonical(*w.when) + "=" + Canonical(*w.then) + ",";
  if (e.elseExpr) out += Canonical(*e.elseExpr);
  // Two windows are never taken for the same expression (nor for a GROUP BY key).
  if (e.over) out += "w" + std::to_string(reinterpret_cast<uintptr_t>(e.over.get()));
  return out + ")";
}

void Renderer::CheckGrouped(const Expr& e, const std::vector<std::string>& keys, int number,
                            const char* clause) {
  if (IsAggregateCall(e)) return;
  if (e.kind == ExprKind::Subquery || e.kind == ExprKind::Exists) return;
  if (std::find(keys.begin(), keys.end(), Canonical(e)) != keys.end()) return;
  if (e.kind == ExprKind::Column) {
    std::string key = Canonical(e);
    if (key.starts_with("outer:")) return;
    std::string alias = key.substr(2, key.find('.') - 2);
    std::string shown = alias;
    for (const Source& s : scopes_.back())
      if (s.alias == alias && !s.display.empty()) shown = s.display;
    throw SqlError(number, "Column '" + shown + "." + e.name.back() + "' is invalid in the " +
                               clause +
                               " because it is not contained in either an aggregate "
                               "function or the GROUP BY clause.");
  }
  for (const auto& a : e.args)
    if (a) CheckGrouped(*a, keys, number, clause);
  if (e.caseOperand) CheckGrouped(*e.caseOperand, keys, number, clause);
  for (const auto& w : e.whens) {
    CheckGrouped(*w.when, keys, number, clause);
    CheckGrouped(*w.then, keys, number, clause);
  }
  if (e.elseExpr) CheckGrouped(*e.elseExpr, keys, number, clause);
  if (e.over) {
    for (const auto& p : e.over->partitionBy) CheckGrouped(*p, keys, number, clause);
    for (const auto& o : e.over->orderBy) CheckGrouped(*o.expr, keys, number, clause);
  }
}

void Renderer::CheckGrouping(const struct Select& s) {
  bool grouped = !s.groupBy.empty() || !s.groupingSets.empty() || HasAggregate(s.having.get());
  for (const auto& item : s.items) grouped = grouped || HasAggregate(item.expr.get());
  if (!grouped || scopes_.empty()) return;
  std::vector<std::string> keys;
  for (const auto& g : s.groupBy) keys.push_back(Canonical(*g));
  for (const auto& item : s.items) {
    if (item.expr->kind == ExprKind::Star) {
      std::string qualifier = item.expr->name.empty() ? "" : LowerName(item.expr->name.back());
      for (const Source& src : scopes_.back()) {
        if (!qualifier.empty() && src.alias != qualifier) continue;
        std::vector<std::string> cols;
        if (src.table)
          for (const auto& c : src.table->columns) cols.push_back(c.name);
        else
          cols = src.columns;
        for (const auto& c : cols) {
          Expr col;
          col.kind = ExprKind::Column;
          col.name = {src.alias, c};
          CheckGrouped(col, keys, 8120, "select list");
        }
      }
      continue;
    }
    CheckGrouped(*item.expr, keys, 8120, "select list");
  }
  if (s.having) CheckGrouped(*s.having, keys, 8121, "HAVING clause");
}

bool Renderer::SingleRow(const struct Select& s) {
  if (!s.setParts.empty()) return false;
  if (s.from.empty()) return true;
  if (s.top && s.top->kind == ExprKind::Literal && s.top->text == "1") return true;
  if (s.groupBy.empty())
    for (const auto& item : s.items)
      if (HasAggregate(item.expr.get())) return true;
  // One table looked up by equality on every column of its primary key.
  if (s.from.size() != 1 || s.from[0]->kind != TableRef::Kind::Named || !s.groupBy.empty())
    return false;
  std::optional<TableInfo> info;
  try {
    info = Table(Resolve(s.from[0]->name));
  } catch (const SqlError&) {
    return false;
  }
  if (!info) return false;
  std::string alias =
      LowerName(s.from[0]->alias.empty() ? s.from[0]->name.object : s.from[0]->alias);
  std::vector<std::string> pinned;
  std::vector<const Expr*> stack{s.where.get()};
  while (!stack.empty()) {
    const Expr* e = stack.back();
    stack.pop_back();
    if (!e || e->kind != ExprKind::Binary) continue;
    if (e->text == "AND") {
      stack.push_back(e->args[0].get());
      stack.push_back(e->args[1].get());
    } else if (e->text == "=") {
      for (const auto& side : e->args)
        if (side->kind == ExprKind::Column &&
            (side->name.size() == 1 || LowerName(side->name[side->name.size() - 2]) == alias))
          pinned.push_back(LowerName(side->name.back()));
    }
  }
  bool anyKey = false;
  for (const auto& c : info->columns) {
    if (!c.primaryKey) continue;
    anyKey = true;
    if (std::find(pinned.begin(), pinned.end(), LowerName(c.name)) == pinned.end()) return false;
  }
  return anyKey;
}

}  // namespace xfer::engine
