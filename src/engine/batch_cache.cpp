// The parsed-batch cache. A text's shape is its tokens with every text literal blanked, and
// the line each token stands on (error lines stay right). After a parse, the literal nodes of
// the tree are found by their position and tied to their tokens; a literal the tree does not
// hold as a node (an alias written as text, say) is part of the shape, kept by value.
#include "engine/batch_cache.h"

#include <functional>

#include "engine/parse/lexer.h"
#include "engine/parse/parser_impl.h"
#include "engine/profile.h"

namespace xfer::engine {

struct BatchCache::Entry {
  std::shared_ptr<Batch> batch;
  std::shared_ptr<int> busy = std::make_shared<int>(0);
  // Per text literal of the text, in order: the nodes that hold it, or none when the literal
  // belongs to the shape; then `fixed` holds its value.
  std::vector<std::vector<Expr*>> nodes;
  std::vector<std::string> fixed;
};

namespace {

constexpr size_t kMaxTokens = 4096;

using parse::Token;
using parse::TokenKind;

bool IsText(const Token& t) {
  return t.kind == TokenKind::String || t.kind == TokenKind::NString;
}

std::string ShapeOf(const std::vector<Token>& tokens) {
  std::string key;
  key.reserve(tokens.size() * 8);
  int line = 0;
  for (const Token& t : tokens) {
    if (t.pos.line != line) {
      line = t.pos.line;
      key += '\n';
      key += std::to_string(line);
    }
    key += static_cast<char>('A' + static_cast<int>(t.kind));
    if (!IsText(t)) key += t.text;
    key += '\x1f';
  }
  return key;
}

// Everything in a tree that can hold a literal: a missed node only costs reuse (its literal
// is then taken as part of the shape).
struct LiteralWalk {
  std::function<void(Expr&)> onLiteral;

  void Walk(Expr* e) {
    if (!e) return;
    if (e->kind == ExprKind::Literal &&
        (e->literalKind == LiteralKind::String || e->literalKind == LiteralKind::NString))
      onLiteral(*e);
    for (auto& a : e->args) Walk(a.get());
    Walk(e->subquery.get());
    Walk(e->caseOperand.get());
    for (auto& w : e->whens) {
      Walk(w.when.get());
      Walk(w.then.get());
    }
    Walk(e->elseExpr.get());
    for (auto& w : e->withinOrder) Walk(w.get());
    if (e->over) {
      for (auto& p : e->over->partitionBy) Walk(p.get());
      for (auto& o : e->over->orderBy) Walk(o.expr.get());
    }
  }
  void Walk(TableRef* r) {
    if (!r) return;
    Walk(r->derived.get());
    Walk(r->left.get());
    Walk(r->right.get());
    Walk(r->on.get());
    Walk(r->pivotFor.get());
    for (auto& a : r->args) Walk(a.get());
  }
  void Walk(Select* s) {
    if (!s) return;
    for (auto& c : s->with) Walk(c.query.get());
    Walk(s->top.get());
    for (auto& i : s->items) Walk(i.expr.get());
    for (auto& f : s->from) Walk(f.get());
    Walk(s->where.get());
    for (auto& g : s->groupBy) Walk(g.get());
    Walk(s->having.get());
    for (auto& o : s->orderBy) Walk(o.expr.get());
    for (auto& p : s->setParts) Walk(p.select.get());
    Walk(s->offset.get());
    Walk(s->fetch.get());
  }
  void Walk(Statement* s) {
    if (!s) return;
    Walk(s->select.get());
    Walk(s->output.get());
    for (auto& c : s->with) Walk(c.query.get());
    for (auto& row : s->valuesRows)
      for (auto& v : row) Walk(v.get());
    Walk(s->execSource.get());
    for (auto& a : s->assignments) Walk(a.value.get());
    for (auto& f : s->from) Walk(f.get());
    Walk(s->where.get());
    Walk(s->top.get());
    for (auto& d : s->declarations) Walk(d.init.get());
    Walk(s->condition.get());
    Walk(s->value.get());
    for (auto& b : s->body) Walk(b.get());
    for (auto& a : s->args) Walk(a.value.get());
  }
};

// Whether a batch keeps a piece of its own text (a definition), or holds none of its statements
// again: such a batch is parsed every time.
bool KeepsText(const std::vector<StatementPtr>& statements) {
  for (const auto& s : statements) {
    if (!s) continue;
    if (s->kind == StatementKind::CreateProcedure || s->kind == StatementKind::CreateView)
      return true;
    if (KeepsText(s->body)) return true;
  }
  return false;
}

}  // namespace

BatchCache::BatchCache(size_t capacity) : capacity_(capacity) {}
BatchCache::~BatchCache() = default;

BatchCache::Lease::Lease(Lease&& o) noexcept
    : batch_(std::move(o.batch_)), busy_(std::move(o.busy_)) {}

BatchCache::Lease::~Lease() {
  if (busy_) --*busy_;
}

BatchCache::Lease BatchCache::Parse(std::string_view text) {
  std::vector<Token> tokens = parse::Tokenize(text);
  Lease lease;
  // Long texts (rows of values by the hundred) are rarely sent again and would hold much.
  if (tokens.size() > kMaxTokens) {
    lease.batch_ = std::make_shared<Batch>(parse::Parser(text, std::move(tokens)).ParseBatch());
    return lease;
  }
  std::string shape = ShapeOf(tokens);
  std::vector<const Token*> literals;
  for (const Token& t : tokens)
    if (IsText(t)) literals.push_back(&t);

  auto it = entries_.find(shape);
  if (it != entries_.end() && *it->second->busy == 0) {
    Entry& e = *it->second;
    bool same = true;
    for (size_t i = 0; i < literals.size() && same; ++i)
      same = !e.nodes[i].empty() || e.fixed[i] == literals[i]->value;
    if (same) {
      for (size_t i = 0; i < literals.size(); ++i)
        for (Expr* node : e.nodes[i]) node->text = literals[i]->value;
      e.batch->text = std::string(text);
      lease.batch_ = e.batch;
      lease.busy_ = e.busy;
      ++*lease.busy_;
      if (profile::Enabled()) profile::Add(profile::Phase::ParseKept, {});
      return lease;
    }
  }

  auto batch = std::make_shared<Batch>(parse::Parser(text, tokens).ParseBatch());
  lease.batch_ = batch;
  // Another run holds the kept tree of this shape: this one is used once.
  if (it != entries_.end() && *it->second->busy != 0) return lease;
  if (KeepsText(batch->statements)) return lease;

  auto entry = std::make_unique<Entry>();
  entry->batch = batch;
  entry->nodes.resize(literals.size());
  entry->fixed.resize(literals.size());
  std::unordered_map<size_t, size_t> byOffset;  // token offset -> literal ordinal
  for (size_t i = 0; i < literals.size(); ++i) byOffset[literals[i]->pos.offset] = i;
  LiteralWalk walk{[&](Expr& node) {
    auto at = byOffset.find(node.pos.offset);
    if (at != byOffset.end()) entry->nodes[at->second].push_back(&node);
  }};
  for (auto& s : batch->statements) walk.Walk(s.get());
  for (size_t i = 0; i < literals.size(); ++i)
    if (entry->nodes[i].empty()) entry->fixed[i] = literals[i]->value;

  if (entries_.size() >= capacity_) {
    for (auto e = entries_.begin(); e != entries_.end();)
      e = *e->second->busy == 0 ? entries_.erase(e) : std::next(e);
  }
  lease.busy_ = entry->busy;
  ++*lease.busy_;
  entries_[shape] = std::move(entry);
  return lease;
}

}  // namespace xfer::engine
