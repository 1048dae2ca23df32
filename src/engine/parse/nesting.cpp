// Height bookkeeping for the trees the parser builds. Long operator chains and join chains are
// parsed by loops, not recursion, so the recursion guard alone cannot bound how deep a tree
// gets; every composite node records its height here and refuses to pass the limit. Whoever
// walks or frees the tree later recurses at most that deep.
#include <algorithm>

#include "engine/parse/parser_impl.h"
#include "engine/parse/syntax_error.h"

namespace xfer::engine::parse {

ExprPtr Parser::NewExpr(ExprKind kind, const Token& at) {
  auto e = std::make_unique<Expr>();
  e->kind = kind;
  e->pos = at.pos;
  heights_.erase(e.get());  // the address may have belonged to a freed node
  return e;
}

int Parser::HeightOf(const Expr* e) const {
  if (!e) return 0;
  auto it = heights_.find(e);
  return it == heights_.end() ? 1 : it->second;
}

int Parser::HeightOf(const Select* s) const {
  if (!s) return 0;
  auto it = heights_.find(s);
  return it == heights_.end() ? 1 : it->second;
}

int Parser::HeightOf(const TableRef* t) const {
  if (!t) return 0;
  auto it = heights_.find(t);
  return it == heights_.end() ? 1 : it->second;
}

void Parser::Seal(const Expr& e, const Token& at) {
  int h = std::max(
      {HeightOf(e.caseOperand.get()), HeightOf(e.elseExpr.get()), HeightOf(e.subquery.get())});
  for (const auto& a : e.args) h = std::max(h, HeightOf(a.get()));
  for (const auto& w : e.whens) {
    h = std::max({h, HeightOf(w.when.get()), HeightOf(w.then.get())});
  }
  if (h + 1 > kMaxTreeHeight) TooDeep(at.pos);
  heights_[&e] = h + 1;
}

void Parser::Seal(const Select& s, const Token& at) {
  int h = std::max({HeightOf(s.top.get()), HeightOf(s.where.get()), HeightOf(s.having.get())});
  for (const auto& i : s.items) h = std::max(h, HeightOf(i.expr.get()));
  for (const auto& t : s.from) h = std::max(h, HeightOf(t.get()));
  for (const auto& g : s.groupBy) h = std::max(h, HeightOf(g.get()));
  for (const auto& o : s.orderBy) h = std::max(h, HeightOf(o.expr.get()));
  for (const auto& p : s.setParts) h = std::max(h, HeightOf(p.select.get()));
  if (h + 1 > kMaxTreeHeight) TooDeep(at.pos);
  heights_[&s] = h + 1;
}

void Parser::Seal(const TableRef& t, const Token& at) {
  int h = std::max({HeightOf(t.derived.get()), HeightOf(t.left.get()), HeightOf(t.right.get()),
                    HeightOf(t.on.get())});
  for (const auto& a : t.args) h = std::max(h, HeightOf(a.get()));
  if (h + 1 > kMaxTreeHeight) TooDeep(at.pos);
  heights_[&t] = h + 1;
}

}  // namespace xfer::engine::parse
