// GROUP BY ROLLUP / CUBE / GROUPING SETS: one grouped query per grouping set, their rows
// combined with UNION ALL and ordered as one result. In the query of a set, an expression the
// set does not group by reads as NULL outside aggregates, and GROUPING() / GROUPING_ID() are
// constants; ORDER BY terms that are not output columns travel as hidden columns.
#include <algorithm>

#include "engine/error.h"
#include "engine/func/functions.h"
#include "engine/render/render.h"
#include "engine/sqlite_util.h"

namespace xfer::engine {
namespace {

bool HasWindow(const Expr* e) {
  if (!e || e->kind == ExprKind::Subquery || e->kind == ExprKind::Exists) return false;
  if (e->over) return true;
  for (const auto& a : e->args)
    if (HasWindow(a.get())) return true;
  for (const auto& w : e->whens)
    if (HasWindow(w.when.get()) || HasWindow(w.then.get())) return true;
  return HasWindow(e->caseOperand.get()) || HasWindow(e->elseExpr.get());
}

bool Contains(const std::vector<std::string>& list, const std::string& s) {
  return std::find(list.begin(), list.end(), s) != list.end();
}

}  // namespace

std::optional<std::string> Renderer::GroupingTerm(const Expr& e, ExprType* type) {
  if (e.kind == ExprKind::Function && !e.over && (e.text == "GROUPING" || e.text == "GROUPING_ID"))
    return GroupingCall(e, type);
  if (!grouping_ || scopes_.size() < grouping_->depth) return std::nullopt;
  if (scopes_.size() > grouping_->depth) {
    // A subquery right inside reads a rolled-up column of the grouped query as NULL too.
    if (grouping_->absent.empty() || e.kind != ExprKind::Column ||
        scopes_.size() != grouping_->depth + 1 || !Canonical(e).starts_with("outer:"))
      return std::nullopt;
    std::vector<Source> inner = std::move(scopes_.back());
    scopes_.pop_back();
    const bool rolledUp = Contains(grouping_->absent, Canonical(e));
    scopes_.push_back(std::move(inner));
    if (!rolledUp) return std::nullopt;
    ExprType t;
    Column(e, &t);
    *type = t;
    return std::string("NULL");
  }
  if (IsAggregateCall(e)) {
    // An aggregate reads the rows of its group, whatever the set rolls up.
    Restore<GroupingState*> restore{grouping_, grouping_};
    grouping_ = nullptr;
    return Expression(e, type);
  }
  if (grouping_->absent.empty() || e.kind == ExprKind::Literal || e.kind == ExprKind::Star ||
      e.kind == ExprKind::Variable || !Contains(grouping_->absent, Canonical(e)))
    return std::nullopt;
  // Rolled up: NULL of the expression's type. It is rendered only for that type; whatever
  // it bound is let go.
  const size_t params = params_.size(), sources = sources_.size();
  {
    Restore<GroupingState*> restore{grouping_, grouping_};
    grouping_ = nullptr;
    Expression(e, type);
  }
  params_.resize(params);
  sources_.resize(sources);
  return std::string("NULL");
}

// GROUPING(a): 1 where the row's set rolls a up, else 0. GROUPING_ID(a, b, ...): those bits,
// the first argument the highest.
std::string Renderer::GroupingCall(const Expr& e, ExprType* type) {
  const bool id = e.text == "GROUPING_ID";
  if (!id && e.args.size() != 1)
    throw SqlError(174, "The GROUPING function requires 1 argument(s).");
  if (id && (e.args.empty() || e.args.size() > 32))
    throw SqlError(189, "The GROUPING_ID function requires 1 to 32 argument(s).");
  long long value = 0;
  for (size_t i = 0; i < e.args.size(); ++i) {
    const Expr& a = *e.args[i];
    const bool here = grouping_ && scopes_.size() == grouping_->depth && a.kind != ExprKind::Star &&
                      !IsAggregateCall(a);
    const std::string key = here ? Canonical(a) : std::string();
    if (!here || !Contains(grouping_->keys, key))
      throw SqlError(8161,
                     "Argument " + std::to_string(i + 1) + " of the " + e.text +
                         " function does not match any of the expressions in the GROUP "
                         "BY clause.",
                     15);
    value = value * 2 + (Contains(grouping_->absent, key) ? 1 : 0);
  }
  *type = ExprType{};
  type->cls = TypeClass::Int;
  type->declared.name = id ? "int" : "tinyint";
  // Spelled as a cast so that ORDER BY does not take it for a column position.
  return "CAST(" + std::to_string(value) + " AS INTEGER)";
}

std::string Renderer::GroupingSets(const struct Select& s, std::vector<std::string>& names,
                                   std::vector<ExprType>& types, bool& star, bool withOrder) {
  auto refuse = [](const char* what) {
    throw SqlError(err::kUnsupported,
                   std::string("The T-SQL feature '") + what + "' is not supported.");
  };
  for (const SelectItem& item : s.items)
    if (HasWindow(item.expr.get())) refuse("window functions with grouping sets");
  // An ORDER BY term is an output column (by position or name) or a hidden column that every
  // set's query computes.
  std::vector<const Expr*> hidden;
  std::vector<std::string> byName(s.orderBy.size());
  if (withOrder) {
    for (size_t i = 0; i < s.orderBy.size(); ++i) {
      const Expr& e = *s.orderBy[i].expr;
      if (HasWindow(&e)) refuse("window functions with grouping sets");
      if (e.kind == ExprKind::Literal && e.literalKind == LiteralKind::Integer) continue;
      if (e.kind == ExprKind::Column && e.name.size() == 1) {
        for (const SelectItem& item : s.items) {
          std::string name = item.alias.empty() && item.expr->kind == ExprKind::Column
                                 ? item.expr->name.back()
                                 : item.alias;
          if (!name.empty() && LowerName(name) == LowerName(e.name[0])) byName[i] = name;
        }
        if (!byName[i].empty()) continue;
      }
      if (s.distinct) refuse("ORDER BY of a column outside the select list with grouping sets");
      hidden.push_back(&e);
    }
  }
  std::string parts;
  size_t visible = 0;
  for (size_t k = 0; k < s.groupingSets.size(); ++k) {
    std::vector<std::string> partNames;
    std::vector<ExprType> partTypes;
    bool partStar = false;
    const size_t depth = scopes_.size();
    // SelectCore takes both at its start; they are cleared however it ends.
    Restore<const std::vector<size_t>*> clearSet{groupingSet_, nullptr};
    Restore<const std::vector<const Expr*>*> clearHidden{hiddenOrder_, nullptr};
    groupingSet_ = &s.groupingSets[k];
    hiddenOrder_ = &hidden;
    const std::string sql = SelectCore(s, partNames, partTypes, partStar);
    while (scopes_.size() > depth) PopScope();
    if (k == 0) {
      visible = partNames.size() - hidden.size();
      names.assign(partNames.begin(), partNames.begin() + static_cast<long>(visible));
      types = partTypes;
      star = partStar;
    } else {
      for (size_t i = 0; i < types.size(); ++i) types[i] = WiderType(types[i], partTypes[i]);
    }
    parts += (k ? " UNION ALL " : "") + sql;
  }
  std::string columns, outputs;
  for (size_t i = 0; i < types.size(); ++i) {
    const std::string c = QuoteIdent("c" + std::to_string(i));
    columns += (i ? ", " : "") + c;
    if (i < visible) outputs += (i ? ", " : "") + c + " AS " + QuoteIdent(names[i]);
  }
  std::string sql = std::string("SELECT ") + (s.distinct ? "DISTINCT " : "") + outputs +
                    " FROM (WITH \"__sets\"(" + columns + ") AS (" + parts +
                    ") SELECT * FROM \"__sets\")";
  if (withOrder && !s.orderBy.empty()) {
    size_t next = 0;
    for (size_t i = 0; i < s.orderBy.size(); ++i) {
      const Expr& e = *s.orderBy[i].expr;
      size_t col = visible + next;
      if (e.kind == ExprKind::Literal && e.literalKind == LiteralKind::Integer) {
        const size_t ordinal = e.text.starts_with('-') ? 0 : std::stoul(e.text);
        if (ordinal < 1 || ordinal > visible)
          throw SqlError(108, "The ORDER BY position number " + e.text +
                                  " is out of range of the number of items in the select list.");
        col = ordinal - 1;
      } else if (!byName[i].empty()) {
        col = 0;
        while (col < visible && LowerName(names[col]) != LowerName(byName[i])) ++col;
      } else {
        ++next;
      }
      std::string term = QuoteIdent("c" + std::to_string(col));
      if (IsTextual(types[col].cls)) term += std::string(" COLLATE ") + kCollation;
      if (WideDecimal(types[col])) term = "xf_dkey(" + term + ")";
      sql += (i ? ", " : " ORDER BY ") + term + (s.orderBy[i].descending ? " DESC" : "");
    }
  }
  types.resize(visible);
  return sql;
}

}  // namespace xfer::engine
