// Renders expression trees for assertions; see tree_text.h.
#include "tree_text.h"

namespace xfer::engine::test {
namespace {

std::string Dotted(const std::vector<std::string>& parts) {
  std::string out;
  for (const auto& p : parts) out += (out.empty() ? "" : ".") + p;
  return out;
}

std::string Args(const Expr& e, size_t from) {
  std::string out;
  for (size_t i = from; i < e.args.size(); ++i) out += " " + TreeText(e.args[i]);
  return out;
}

std::string Literal(const Expr& e) {
  switch (e.literalKind) {
    case LiteralKind::Null:
      return "NULL";
    case LiteralKind::String:
      return "'" + e.text + "'";
    case LiteralKind::NString:
      return "N'" + e.text + "'";
    case LiteralKind::Money:
      return "$" + e.text;
    default:
      return e.text;
  }
}

}  // namespace

std::string TreeText(const ExprPtr& e) {
  return e ? TreeText(*e) : "<null>";
}

std::string TreeText(const Expr& e) {
  const std::string neg = e.negated ? "NOT " : "";
  switch (e.kind) {
    case ExprKind::Literal:
      return Literal(e);
    case ExprKind::Column:
      return Dotted(e.name);
    case ExprKind::Star:
      return e.name.empty() ? "*" : Dotted(e.name) + ".*";
    case ExprKind::Variable:
      return e.text;
    case ExprKind::Unary:
    case ExprKind::Binary:
      return "(" + e.text + Args(e, 0) + ")";
    case ExprKind::Function: {
      std::string out = e.text + "(" + (e.distinct ? "DISTINCT" : "");
      std::string args = Args(e, 0);
      if (!e.distinct && !args.empty()) args.erase(0, 1);
      return out + args + ")";
    }
    case ExprKind::Cast:
      if (e.isConvert) {
        return "CONVERT(" + e.castType.Text() + Args(e, 0) + ")";
      }
      return "CAST(" + TreeText(e.args[0]) + " AS " + e.castType.Text() + ")";
    case ExprKind::Case: {
      std::string out = "CASE";
      if (e.caseOperand) out += " " + TreeText(e.caseOperand);
      for (const auto& w : e.whens)
        out += " WHEN " + TreeText(w.when) + " THEN " + TreeText(w.then);
      if (e.elseExpr) out += " ELSE " + TreeText(e.elseExpr);
      return out + " END";
    }
    case ExprKind::Subquery:
      return "(subquery)";
    case ExprKind::Exists:
      return neg + "EXISTS(subquery)";
    case ExprKind::InList:
      return "(" + neg + "IN" + Args(e, 0) + ")";
    case ExprKind::InSubquery:
      return "(" + neg + "IN " + TreeText(e.args[0]) + " subquery)";
    case ExprKind::Between:
      return "(" + neg + "BETWEEN" + Args(e, 0) + ")";
    case ExprKind::Like:
      return "(" + neg + "LIKE" + Args(e, 0) + ")";
    case ExprKind::IsNull:
      return "(IS " + neg + "NULL " + TreeText(e.args[0]) + ")";
  }
  return "?";
}

}  // namespace xfer::engine::test
