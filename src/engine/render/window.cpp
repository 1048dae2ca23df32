// Window functions: ranking (ROW_NUMBER, RANK, DENSE_RANK, NTILE), distribution (PERCENT_RANK,
// CUME_DIST), offsets (LAG, LEAD, FIRST_VALUE, LAST_VALUE) and aggregates OVER (PARTITION BY
// ... ORDER BY ... frame). SQLite's windows default to SQL Server's frames (the whole
// partition without ORDER BY, RANGE UNBOUNDED PRECEDING to CURRENT ROW with it), so a window
// renders as written; what SQL Server refuses is refused here with its error.
#include <algorithm>

#include "engine/error.h"
#include "engine/func/functions.h"
#include "engine/render/render.h"
#include "engine/sqlite_util.h"

namespace xfer::engine {
namespace {

[[noreturn]] void Refuse(const std::string& feature) {
  throw SqlError(err::kUnsupported, "The T-SQL feature '" + feature + "' is not supported.");
}

bool In(const std::string& name, std::initializer_list<const char*> list) {
  return std::any_of(list.begin(), list.end(), [&](const char* n) { return name == n; });
}

std::string Bound(FrameBound b, long long offset) {
  switch (b) {
    case FrameBound::UnboundedPreceding:
      return "UNBOUNDED PRECEDING";
    case FrameBound::Preceding:
      return std::to_string(offset) + " PRECEDING";
    case FrameBound::CurrentRow:
      return "CURRENT ROW";
    case FrameBound::Following:
      return std::to_string(offset) + " FOLLOWING";
    case FrameBound::UnboundedFollowing:
      return "UNBOUNDED FOLLOWING";
  }
  return {};
}

// A non-negative whole number written as a literal.
bool WholeLiteral(const Expr& e, long long* value) {
  if (e.kind != ExprKind::Literal || e.literalKind != LiteralKind::Integer || e.text.size() > 18)
    return false;
  *value = std::stoll(e.text);
  return true;
}

}  // namespace

std::string Renderer::WindowClause(const WindowSpec& w) {
  std::string sql = " OVER (";
  if (!w.partitionBy.empty()) {
    sql += "PARTITION BY ";
    for (size_t i = 0; i < w.partitionBy.size(); ++i) {
      ExprType t;
      std::string p = Expression(*w.partitionBy[i], &t);
      if (t.cls == TypeClass::String || t.cls == TypeClass::Text)
        p = "(" + p + std::string(" COLLATE ") + kCollation + ")";
      sql += (i ? ", " : "") + p;
    }
  }
  if (!w.orderBy.empty()) {
    sql += w.partitionBy.empty() ? "ORDER BY " : " ORDER BY ";
    for (size_t i = 0; i < w.orderBy.size(); ++i) {
      const Expr& e = *w.orderBy[i].expr;
      if (e.kind == ExprKind::Literal) {
        if (e.literalKind == LiteralKind::Integer)
          throw SqlError(5308,
                         "Windowed functions, aggregates and NEXT VALUE FOR functions do not "
                         "support integer indices as ORDER BY clause expressions.");
        throw SqlError(5309,
                       "Windowed functions, aggregates and NEXT VALUE FOR functions do not "
                       "support constants as ORDER BY clause expressions.");
      }
      ExprType t;
      std::string o = Expression(e, &t);
      if (IsTextual(t.cls))
        o = "(" + o + std::string(" COLLATE ") + kCollation + ")";
      sql += (i ? ", " : "") + o + (w.orderBy[i].descending ? " DESC" : "");
    }
  }
  if (w.hasFrame) {
    if (!w.rows) {
      auto plain = [](FrameBound b) {
        return b != FrameBound::Preceding && b != FrameBound::Following;
      };
      if (!plain(w.start) || !plain(w.end)) Refuse("RANGE with an offset");
    }
    if (static_cast<int>(w.start) > static_cast<int>(w.end) ||
        w.start == FrameBound::UnboundedFollowing || w.end == FrameBound::UnboundedPreceding)
      Refuse("window frame that ends before it starts");
    sql += std::string(" ") + (w.rows ? "ROWS" : "RANGE") + " BETWEEN " +
           Bound(w.start, w.startOffset) + " AND " + Bound(w.end, w.endOffset);
  }
  return sql + ")";
}

std::optional<std::string> Renderer::WindowFunction(const Expr& e, ExprType* type,
                                                    std::string* over) {
  const std::string& name = e.text;
  if (windowPlace_ == WindowPlace::Refused)
    throw SqlError(4108, "Windowed functions can only appear in the SELECT or ORDER BY clauses.");
  if (windowPlace_ == WindowPlace::Nested)
    throw SqlError(4109,
                   "Windowed functions cannot be used in the context of another windowed "
                   "function or aggregate.");
  if (e.distinct) throw SqlError(10759, "Use of DISTINCT is not allowed with the OVER clause.");
  const WindowSpec& w = *e.over;
  const bool ranking = In(name, {"ROW_NUMBER", "RANK", "DENSE_RANK", "NTILE"});
  const bool distribution = In(name, {"PERCENT_RANK", "CUME_DIST"});
  const bool offset = In(name, {"LAG", "LEAD", "FIRST_VALUE", "LAST_VALUE"});
  const bool aggregate = In(name, {"SUM", "COUNT", "COUNT_BIG", "AVG", "MIN", "MAX"});
  if (!ranking && !distribution && !offset && !aggregate) Refuse(name + " with OVER");
  if ((ranking || distribution || offset) && w.orderBy.empty())
    throw SqlError(4112, "The function '" + name + "' must have an OVER clause with ORDER BY.");
  if ((ranking || distribution || name == "LAG" || name == "LEAD") && w.hasFrame)
    throw SqlError(10752, "The function '" + name + "' may not have a window frame.");
  if (w.hasFrame && w.orderBy.empty()) Refuse("window frame without ORDER BY");

  // Arguments and the window see no other window function.
  Restore<WindowPlace> restore{windowPlace_, windowPlace_};
  windowPlace_ = WindowPlace::Nested;
  *over = WindowClause(w);
  if (aggregate) return std::nullopt;

  auto wrongArgs = [&](size_t lo, size_t hi) {
    if (e.args.size() < lo || e.args.size() > hi)
      throw SqlError(err::kWrongArgCount, "The " + LowerName(name) + " function requires " +
                                              std::to_string(lo) + " argument(s).");
  };
  if (ranking || distribution) {
    if (name == "NTILE") {
      wrongArgs(1, 1);
      long long n = 0;
      if (!WholeLiteral(*e.args[0], &n) || n <= 0) Refuse("NTILE of an expression");
      *type = ExprType{TypeClass::Int, ParseTypeText("bigint")};
      return "ntile(" + std::to_string(n) + ")" + *over;
    }
    wrongArgs(0, 0);
    *type = distribution ? ExprType{TypeClass::Float, ParseTypeText("float")}
                         : ExprType{TypeClass::Int, ParseTypeText("bigint")};
    return LowerName(name) + "()" + *over;
  }
  // LAG / LEAD (expr [, offset [, default]]), FIRST_VALUE / LAST_VALUE (expr).
  const bool shift = name == "LAG" || name == "LEAD";
  wrongArgs(1, shift ? 3 : 1);
  if (e.args[0]->kind == ExprKind::Star) throw SqlError(102, "Incorrect syntax near '*'.");
  ExprType t;
  std::string sql = LowerName(name) + "(" + Expression(*e.args[0], &t);
  if (e.args.size() >= 2) {
    long long n = 0;
    if (!WholeLiteral(*e.args[1], &n)) Refuse(name + " with a computed offset");
    sql += ", " + std::to_string(n);
  }
  if (e.args.size() == 3) {
    // The default takes the type of the value; a default of another kind is refused rather
    // than converted by rules of our own.
    ExprType d;
    std::string def = Expression(*e.args[2], &d);
    auto number = [](TypeClass c) {
      return c == TypeClass::Int || c == TypeClass::Decimal || c == TypeClass::Float;
    };
    if (d.cls == TypeClass::Null) {
    } else if (number(t.cls) && number(d.cls) && !t.declared.name.empty()) {
      def = "xf_cast(" + def + ", '" + t.declared.Text() + "')";
    } else if (t.cls == TypeClass::String && d.cls == TypeClass::String &&
               (t.declared.length < 0 ||
                (d.declared.length > 0 && d.declared.length <= t.declared.length))) {
    } else if (t.cls != TypeClass::DateTime || d.declared.Text() != t.declared.Text()) {
      Refuse(name + " with a default of another type");
    }
    sql += ", " + def;
  }
  *type = t;
  type->literalDigits = 0;
  return sql + ")" + *over;
}

}  // namespace xfer::engine
