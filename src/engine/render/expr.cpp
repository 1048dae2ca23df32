// Expressions: SQL Server operators and functions rendered for SQLite, with their static types.
//
// The type of every expression is derived as it is rendered, because SQL Server's meaning of
// `+` (concatenate or add), of text comparison (one case-insensitive collation that ignores
// trailing blanks) and of the columns SELECT ... INTO creates all depend on it. Where a type is
// not known until run time, the run-time helpers of the function library decide.
#include <algorithm>
#include <cmath>

#include "engine/error.h"
#include "engine/func/func_common.h"
#include "engine/func/functions.h"
#include "engine/render/plan.h"
#include "engine/render/render.h"
#include "engine/sqlite_util.h"

namespace xfer::engine {
namespace {

// Levels of AND, OR and NOT a condition nests, counted up to `cap`.
constexpr int kDeepCondition = 8;
int ConditionDepth(const Expr& e, int cap) {
  if (cap == 0) return 0;
  const bool connective = (e.kind == ExprKind::Binary && (e.text == "AND" || e.text == "OR")) ||
                          (e.kind == ExprKind::Unary && e.text == "NOT");
  if (!connective) return 0;
  int inner = 0;
  for (const auto& a : e.args) inner = std::max(inner, ConditionDepth(*a, cap - 1));
  return 1 + inner;
}

ExprType Make(TypeClass cls, std::string name, int length = -1) {
  ExprType t;
  t.cls = cls;
  t.declared.name = std::move(name);
  t.declared.length = length;
  return t;
}

ExprType IntType() {
  return Make(TypeClass::Int, "int");
}

bool IsNumeric(TypeClass c) {
  return c == TypeClass::Int || c == TypeClass::Float || c == TypeClass::Decimal;
}

// SQL Server's data type precedence among the numeric classes.
ExprType HigherNumeric(const ExprType& a, const ExprType& b) {
  auto rank = [](TypeClass c) {
    return c == TypeClass::Float ? 3 : c == TypeClass::Decimal ? 2 : c == TypeClass::Int ? 1 : 0;
  };
  if (rank(a.cls) >= rank(b.cls)) {
    if (a.cls == TypeClass::Int && b.cls == TypeClass::Int && b.declared.name == "bigint") return b;
    return a;
  }
  return b;
}

// The wider of two types for CASE, COALESCE and UNION results.
ExprType Wider(const ExprType& a, const ExprType& b) {
  if (a.cls == TypeClass::Null || a.cls == TypeClass::Unknown)
    return b.cls == TypeClass::Null ? a : b;
  if (b.cls == TypeClass::Null || b.cls == TypeClass::Unknown) return a;
  if (IsNumeric(a.cls) && IsNumeric(b.cls)) {
    ExprType t = HigherNumeric(a, b);
    if (t.cls != TypeClass::Decimal || a.cls == TypeClass::Float || b.cls == TypeClass::Float)
      return t;
    bool moneyA = a.declared.name.ends_with("money"), moneyB = b.declared.name.ends_with("money");
    if ((moneyA || a.cls == TypeClass::Int) && (moneyB || b.cls == TypeClass::Int))
      return moneyA ? a : b;
    return DecimalUnion(a, b);
  }
  if (IsNumeric(a.cls)) return a;  // numbers outrank strings
  if (IsNumeric(b.cls)) return b;
  if (a.cls == TypeClass::String && b.cls == TypeClass::String) {
    if (a.declared.length == -2 || b.declared.length == -2) return a.declared.length == -2 ? a : b;
    return a.declared.length >= b.declared.length ? a : b;
  }
  return a;
}

// The type of a numeric operation: decimals by SQL Server's precision and scale rules,
// otherwise the operand of higher precedence.
ExprType ArithmeticType(const ExprType& a, const ExprType& b, char op) {
  ExprType t = HigherNumeric(a, b);
  if (t.cls == TypeClass::Decimal && a.cls != TypeClass::Float && b.cls != TypeClass::Float)
    return DecimalArithmetic(a, b, op);
  t.literalDigits = 0;
  return t;
}

std::string NumberLiteralType(const std::string& text, ExprType* type) {
  if (text.find_first_of("eE") != std::string::npos) {
    *type = Make(TypeClass::Float, "float");
  } else if (size_t dot = text.find('.'); dot != std::string::npos) {
    // 0.50 is numeric(2, 2): leading zeros of the whole part are no digits of precision.
    *type = Make(TypeClass::Decimal, "numeric");
    int whole = 0;
    bool lead = true;
    for (size_t i = 0; i < dot; ++i) {
      char c = text[i];
      if (c < '0' || c > '9' || (lead && c == '0')) continue;
      lead = false;
      ++whole;
    }
    int scale = static_cast<int>(text.size() - dot - 1);
    type->declared.precision = std::max(whole + scale, 1);
    type->declared.scale = scale;
    // Past a double's 15 digits the literal travels as its text, read exactly where used.
    if (type->declared.precision > 15) return "'" + text + "'";
  } else {
    // Integers beyond int's range are numeric in SQL Server; bigint keeps them exact here.
    std::string digits = text.substr(text.find_first_not_of("+-"));
    size_t lead = std::min(digits.find_first_not_of('0'), digits.size());
    if (digits.size() - lead > 19 ||
        (digits.size() - lead == 19 && digits.substr(lead) > "9223372036854775807")) {
      *type = NumericType(std::min<int>(38, static_cast<int>(digits.size() - lead)), 0);
      return "'" + text + "'";
    }
    bool big = digits.size() > 10 || (digits.size() == 10 && digits > "2147483647");
    *type = big ? Make(TypeClass::Int, "bigint") : IntType();
    size_t first = digits.find_first_not_of('0');
    type->literalDigits = first == std::string::npos ? 1 : static_cast<int>(digits.size() - first);
  }
  return text;
}

std::string Collate(const std::string& sql) {
  return sql + " COLLATE " + kCollation;
}

// int (and the smaller integer types) on both sides: the result is an int.
bool IntOperands(const ExprType& a, const ExprType& b) {
  auto small = [](const ExprType& t) {
    return t.cls == TypeClass::Int && t.declared.name != "bigint";
  };
  return small(a) && small(b);
}

constexpr std::string_view kCheckedInt = "xf_int(";

// SQLite computes in 64 bits; the outermost int operation of a chain checks the range once.
std::string CheckedInt(const Expr& e, std::string l, const std::string& op, std::string r) {
  auto inner = [](const Expr& child, std::string& sql) {
    if (child.kind == ExprKind::Binary && sql.starts_with(kCheckedInt))
      sql = sql.substr(kCheckedInt.size(), sql.size() - kCheckedInt.size() - 1);
  };
  inner(*e.args[0], l);
  inner(*e.args[1], r);
  return std::string(kCheckedInt) + "(" + l + " " + op + " " + r + "))";
}

// Exact numerics never pass through SQLite's doubles: + - * / % of a decimal or money result
// go to the exact helper with each operand's scale and the result's precision and scale.
bool ExactOperands(const ExprType& result, const ExprType& a, const ExprType& b) {
  return result.cls == TypeClass::Decimal && IsNumeric(a.cls) && IsNumeric(b.cls) &&
         a.cls != TypeClass::Float && b.cls != TypeClass::Float;
}

std::string ExactTypeName(const ExprType& t) {
  return t.declared.name.ends_with("money") ? t.declared.name : "numeric";
}

std::string ExactOperation(char op, const std::string& l, const ExprType& lt, const std::string& r,
                           const ExprType& rt, const ExprType& result) {
  const DecimalShape shape = ShapeOf(result);
  auto scale = [](const ExprType& t) { return std::to_string(ShapeOf(t).scale); };
  return std::string("xf_dec('") + op + "', " + l + ", " + r + ", " + scale(lt) + ", " + scale(rt) +
         ", " + std::to_string(shape.precision) + ", " + std::to_string(shape.scale) + ", '" +
         ExactTypeName(result) + "')";
}

}  // namespace

bool IsTextual(TypeClass c) {
  return c == TypeClass::String || c == TypeClass::Text || c == TypeClass::Unknown;
}

ExprType WiderType(const ExprType& a, const ExprType& b) {
  return Wider(a, b);
}

std::string LowerName(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

std::string Renderer::Bind(Value v) {
  reusable_ = false;
  return Put(std::move(v));
}

std::string Renderer::Bind(Value v, ParamSource source) {
  sources_.push_back(std::move(source));
  return Put(std::move(v));
}

std::string Renderer::Put(Value v) {
  // A definition SQLite keeps (a view, a default) holds its values as text of its own.
  if (inlineLiterals_) {
    if (const auto* text = std::get_if<std::string>(&v)) {
      std::string out = "'";
      for (char c : *text) {
        out += c;
        if (c == '\'') out += '\'';
      }
      return out + "'";
    }
    if (const auto* i = std::get_if<long long>(&v)) return std::to_string(*i);
    if (std::holds_alternative<std::monostate>(v)) return "NULL";
  }
  params_.push_back(std::move(v));
  return "?" + std::to_string(params_.size());
}

std::string Renderer::Variable(const Expr& e, ExprType* type) {
  std::string name = LowerName(e.text);
  if (name.starts_with("@@")) {
    *type = IntType();
    if (name == "@@rowcount") return Bind(conn_.rowcount);
    if (name == "@@identity") return conn_.identity ? Bind(conn_.identity) : Bind(std::monostate{});
    if (name == "@@error") return Bind(static_cast<long long>(conn_.lastError));
    if (name == "@@trancount") return Bind(static_cast<long long>(conn_.trancount()));
    if (name == "@@spid") return Bind(conn_.id() + 50);
    if (name == "@@nestlevel") return Bind(static_cast<long long>(conn_.frame().depth));
    if (name == "@@fetch_status") return Bind(conn_.fetchStatus);
    if (name == "@@cursor_rows") return Bind(conn_.cursorRows);
    *type = Make(TypeClass::String, "nvarchar", 128);
    if (name == "@@servername") return Bind(std::string("XFER"));
    if (name == "@@version") return Bind(std::string("Xfer embedded SQL engine"));
    throw SqlError(err::kMustDeclare, "Must declare the scalar variable \"" + e.text + "\".");
  }
  auto& vars = conn_.frame().vars;
  auto it = vars.find(name);
  if (it == vars.end())
    throw SqlError(err::kMustDeclare, "Must declare the scalar variable \"" + e.text + "\".");
  type->cls = ClassOf(it->second.type);
  type->declared = it->second.type;
  ParamSource from;
  from.variable = name;
  from.type = it->second.type;
  return Bind(it->second.value, std::move(from));
}

std::string Renderer::Column(const Expr& e, ExprType* type) {
  const std::string& col = e.name.back();
  std::string qualifier = e.name.size() >= 2 ? LowerName(e.name[e.name.size() - 2]) : "";
  std::string want = LowerName(col);
  *type = ExprType{};
  auto indexIn = [&](const Source& s) -> size_t {
    if (s.table) return s.table->Find(col) ? 0 : std::string::npos;
    for (size_t i = 0; i < s.columns.size(); ++i)
      if (LowerName(s.columns[i]) == want) return i;
    return std::string::npos;
  };
  for (auto scope = scopes_.rbegin(); scope != scopes_.rend(); ++scope) {
    for (const Source& s : *scope) {
      if (!qualifier.empty() && s.alias != qualifier) continue;
      const size_t i = indexIn(s);
      if (i == std::string::npos) continue;
      if (s.table) {
        const ColumnInfo* c = s.table->Find(col);
        type->cls = ClassOf(c->type);
        type->declared = c->type;
      } else {
        *type = s.types[i];
      }
      // An APPLY column stands for its subquery, which SQLite cannot see as a column: a bare
      // name that two sources of the clause have, one of them an APPLY, is ambiguous here.
      if (qualifier.empty())
        for (const Source& o : *scope)
          if (&o != &s && (!o.exprs.empty() || !s.exprs.empty()) && indexIn(o) != std::string::npos)
            throw SqlError(209, "Ambiguous column name '" + col + "'.");
      if (!s.exprs.empty()) return s.exprs[i];
      goto found;
    }
  }
  if (!qualifier.empty()) {
    bool known = false;
    for (const auto& scope : scopes_)
      for (const Source& s : scope) known = known || s.alias == qualifier;
    if (!known && !scopes_.empty())
      throw SqlError(4104, "The multi-part identifier \"" + e.name[e.name.size() - 2] + "." + col +
                               "\" could not be bound.");
  }
found:
  if (qualifier.empty()) return QuoteIdent(col);
  return QuoteIdent(e.name[e.name.size() - 2]) + "." + QuoteIdent(col);
}

std::string Renderer::Binary(const Expr& e, ExprType* type) {
  const std::string& op = e.text;
  if (op == "AND" || op == "OR") {
    // A run of one connective is written flat, however the statement grouped it: SQLite's
    // parser has a fixed stack, and generated conditions nest far deeper than it goes.
    *type = IntType();
    std::vector<const Expr*> pending{&e}, terms;
    while (!pending.empty()) {
      const Expr* x = pending.back();
      pending.pop_back();
      if (x->kind == ExprKind::Binary && x->text == op) {
        pending.push_back(x->args[1].get());
        pending.push_back(x->args[0].get());
      } else {
        terms.push_back(x);
      }
    }
    // AND inside OR inside AND... cannot be flattened; written with the deep operand first,
    // each level costs SQLite one bracket instead of three. Usual conditions keep their order.
    auto deepest = std::max_element(terms.begin(), terms.end(), [](const Expr* a, const Expr* b) {
      return ConditionDepth(*a, kDeepCondition) < ConditionDepth(*b, kDeepCondition);
    });
    if (ConditionDepth(**deepest, kDeepCondition) >= kDeepCondition)
      std::rotate(terms.begin(), deepest, deepest + 1);
    std::string out = "(";
    for (const Expr* x : terms) {
      ExprType t;
      if (out.size() > 1) out += " " + op + " ";
      out += Expression(*x, &t);
    }
    return out + ")";
  }
  ExprType lt, rt;
  std::string l = Expression(*e.args[0], &lt);
  std::string r = Expression(*e.args[1], &rt);
  static const char* const kCompare[] = {"=", "<>", "!=", "<", "<=", ">", ">=", "!<", "!>"};
  if (std::find(std::begin(kCompare), std::end(kCompare), op) != std::end(kCompare)) {
    *type = IntType();
    std::string sop = op == "!=" ? "<>" : op == "!<" ? ">=" : op == "!>" ? "<=" : op;
    bool text = IsTextual(lt.cls) && IsTextual(rt.cls);
    // A number compared with text converts the text, as SQL Server's type precedence says.
    auto toNumber = [](const std::string& sql, const ExprType& num) {
      return "xf_cast(" + sql + ", '" + (num.cls == TypeClass::Int ? "bigint" : "float") + "')";
    };
    // Decimals past a double's digits may be text: compared by value, exactly.
    auto wide = [](const ExprType& t) {
      return t.cls == TypeClass::Decimal && ShapeOf(t).precision > 15;
    };
    if ((wide(lt) || wide(rt)) && IsNumeric(lt.cls) && IsNumeric(rt.cls) &&
        lt.cls != TypeClass::Float && rt.cls != TypeClass::Float)
      return "(xf_dcmp(" + l + ", " + r + ") " + sop + " 0)";
    if (IsNumeric(lt.cls) && (rt.cls == TypeClass::String || rt.cls == TypeClass::Text))
      r = toNumber(r, lt);
    else if (IsNumeric(rt.cls) && (lt.cls == TypeClass::String || lt.cls == TypeClass::Text))
      l = toNumber(l, rt);
    return "(" + l + " " + sop + " " + (text ? Collate(r) : r) + ")";
  }
  if (op == "+") {
    if (lt.cls == TypeClass::String && rt.cls == TypeClass::String) {
      *type = lt;
      int a = lt.declared.length, b = rt.declared.length;
      type->declared.length = (a == -2 || b == -2) ? -2 : std::min(8000, a + b);
      if (lt.declared.name != "nvarchar" && rt.declared.name == "nvarchar")
        type->declared.name = "nvarchar";
      return "(" + l + " || " + r + ")";
    }
    if (IsNumeric(lt.cls) && IsNumeric(rt.cls)) {
      *type = ArithmeticType(lt, rt, '+');
      if (IntOperands(lt, rt)) return CheckedInt(e, l, op, r);
      if (ExactOperands(*type, lt, rt)) return ExactOperation('+', l, lt, r, rt, *type);
      return "(" + l + " + " + r + ")";
    }
    if (lt.cls == TypeClass::Null || rt.cls == TypeClass::Null) {
      *type = lt.cls == TypeClass::Null ? rt : lt;
      return "NULL";
    }
    if (IsNumeric(lt.cls) || IsNumeric(rt.cls))
      *type = IsNumeric(lt.cls) ? lt : rt;
    else if (lt.cls == TypeClass::String || rt.cls == TypeClass::String)
      *type = lt.cls == TypeClass::String ? lt : rt;
    else
      *type = ExprType{};
    return "xf_add(" + l + ", " + r + ")";
  }
  if (op == "-" || op == "*") {
    *type = IsNumeric(lt.cls) && IsNumeric(rt.cls) ? ArithmeticType(lt, rt, op[0])
            : IsNumeric(lt.cls)                    ? lt
                                                   : rt;
    if (!IsNumeric(type->cls)) *type = ExprType{};
    if (IntOperands(lt, rt)) return CheckedInt(e, l, op, r);
    if (ExactOperands(*type, lt, rt)) return ExactOperation(op[0], l, lt, r, rt, *type);
    return "(" + l + " " + op + " " + r + ")";
  }
  if (op == "/" || op == "%") {
    *type = IsNumeric(lt.cls) && IsNumeric(rt.cls) ? ArithmeticType(lt, rt, op[0]) : ExprType{};
    bool safeDivisor = e.args[1]->kind == ExprKind::Literal &&
                       e.args[1]->literalKind == LiteralKind::Integer && e.args[1]->text != "0";
    bool ints = lt.cls == TypeClass::Int && rt.cls == TypeClass::Int;
    if (ExactOperands(*type, lt, rt)) return ExactOperation(op[0], l, lt, r, rt, *type);
    if (safeDivisor && (ints || op == "/")) return "(" + l + " " + op + " " + r + ")";
    return std::string(op == "/" ? "xf_div(" : "xf_mod(") + l + ", " + r + ")";
  }
  if (op == "&" || op == "|") {
    *type = IntType();
    return "(" + l + " " + op + " " + r + ")";
  }
  if (op == "^") {
    *type = IntType();
    return "((" + l + " | " + r + ") - (" + l + " & " + r + "))";
  }
  throw SqlError(err::kUnsupported, "The T-SQL operator '" + op + "' is not supported.");
}

std::string Renderer::Function(const Expr& e, ExprType* type) {
  const std::string& name = e.text;
  // A windowed aggregate renders as the aggregate with its window after it; the rest of the
  // window functions render whole.
  std::string over;
  if (e.over) {
    if (auto sql = WindowFunction(e, type, &over)) return *sql;
  }
  // An aggregate's argument holds no window function.
  const WindowPlace place = windowPlace_;
  Restore<WindowPlace> restorePlace{windowPlace_, place};
  if (const FunctionInfo* f = FindFunction(name);
      f && f->aggregate && place != WindowPlace::Refused)
    windowPlace_ = WindowPlace::Nested;
  std::vector<std::string> args;
  std::vector<ExprType> types;
  auto renderArgs = [&] {
    for (const auto& a : e.args) {
      ExprType t;
      if (a->kind == ExprKind::Star) {
        args.push_back("*");
        types.push_back(t);
        continue;
      }
      args.push_back(Expression(*a, &t));
      types.push_back(t);
    }
  };
  auto join = [&] {
    std::string out;
    for (size_t i = 0; i < args.size(); ++i) out += (i ? ", " : "") + args[i];
    return out;
  };

  // Functions that need the connection or the binder rather than a SQL function.
  if (name == "DB_NAME" && e.args.empty()) {
    *type = Make(TypeClass::String, "nvarchar", 128);
    return Bind(conn_.currentDatabase());
  }
  if (name == "DB_ID" || (name == "DB_NAME" && !e.args.empty())) {
    // Database ids are positions in the server's list, as sysdatabases.dbid shows them.
    auto names = conn_.server().ListDatabases();
    if (name == "DB_NAME") {
      ExprType t;
      std::string arg = Expression(*e.args[0], &t);
      std::string sql = "(CASE " + arg;
      for (size_t i = 0; i < names.size(); ++i)
        sql += " WHEN " + std::to_string(i + 1) + " THEN " + Bind(names[i]);
      *type = Make(TypeClass::String, "nvarchar", 128);
      return sql + " END)";
    }
    *type = Make(TypeClass::Int, "smallint");
    std::string wanted =
        e.args.empty() ? Bind(conn_.currentDatabase()) : Expression(*e.args[0], nullptr);
    std::string sql = "(CASE " + wanted + std::string(" COLLATE ") + kCollation;
    for (size_t i = 0; i < names.size(); ++i)
      sql += " WHEN " + Bind(names[i]) + " THEN " + std::to_string(i + 1);
    return sql + " END)";
  }
  if (name == "FORMAT") {
    if (e.args.size() < 2 || e.args.size() > 3)
      throw SqlError(err::kWrongArgCount, "The format function requires 2 to 3 argument(s).");
    renderArgs();
    TypeClass cls = types[0].cls;
    if (cls == TypeClass::String || cls == TypeClass::Text || cls == TypeClass::Blob)
      throw SqlError(8116, "Argument data type " + types[0].declared.name +
                               " is invalid for argument 1 of format function.");
    *type = Make(TypeClass::String, "nvarchar", 4000);
    std::string kind = cls == TypeClass::DateTime ? "'date'" : "'number'";
    return "xf_format(" + args[0] + ", " + args[1] + ", " +
           (args.size() > 2 ? args[2] : std::string("NULL")) + ", " + kind + ")";
  }
  if (name == "SCOPE_IDENTITY") {
    *type = Make(TypeClass::Decimal, "numeric");
    type->declared.precision = 38;
    type->declared.scale = 0;
    long long last = conn_.frame().scopeIdentity;
    return last ? Bind(last) : Bind(std::monostate{});
  }
  if (name == "IDENT_CURRENT") {
    // The table's last identity value whatever the session or scope; its seed before any row.
    *type = Make(TypeClass::Decimal, "numeric");
    type->declared.precision = 38;
    type->declared.scale = 0;
    if (e.args.size() != 1 || e.args[0]->kind != ExprKind::Literal)
      throw SqlError(err::kUnsupported, "IDENT_CURRENT takes a table name written as text.");
    ObjectName on;
    std::string text = e.args[0]->text;
    std::vector<std::string> parts;
    for (size_t start = 0;;) {
      size_t dot = text.find('.', start);
      std::string part = text.substr(start, dot == std::string::npos ? dot : dot - start);
      if (part.size() > 1 && part.front() == '[' && part.back() == ']')
        part = part.substr(1, part.size() - 2);
      parts.push_back(part);
      if (dot == std::string::npos) break;
      start = dot + 1;
    }
    on.object = parts.back();
    if (parts.size() >= 3) on.database = parts[parts.size() - 3];
    ResolvedTable t = Resolve(on, false);
    auto info = Table(t);
    if (!info || !info->Identity()) return "NULL";
    return "(SELECT coalesce(last, seed) FROM " + QuoteIdent(t.schema) +
           ".__xfer_identity WHERE tbl = " + Bind(info->name) + ")";
  }
  if (name == "OBJECT_DEFINITION" && e.args.size() == 1) {
    // The text of a view or procedure of the current database, as it was sent.
    renderArgs();
    *type = Make(TypeClass::String, "nvarchar", -2);
    const std::string q = QuoteIdent(conn_.SchemaFor(conn_.currentDatabase()));
    return "(SELECT body FROM (SELECT name, body FROM " + q +
           ".__xfer_views UNION ALL SELECT name, body FROM " + q +
           ".__xfer_procs) WHERE xf_object_id(name) = " + args[0] + " LIMIT 1)";
  }
  if ((name == "OBJECT_NAME" && e.args.size() == 1) || (name == "COL_NAME" && e.args.size() == 2)) {
    // Names by id, as the current database's catalog views list them.
    ObjectName view;
    view.object = name == "OBJECT_NAME" ? "sysobjects" : "syscolumns";
    ResolvedTable t = Resolve(view);
    renderArgs();
    *type = Make(TypeClass::String, "nvarchar", 128);
    std::string where = "id = " + args[0];
    if (name == "COL_NAME") where += " AND colid = " + args[1];
    return "(SELECT name FROM (" + t.catalogSql + ") WHERE " + where + " LIMIT 1)";
  }
  if (name == "OBJECT_ID" || name == "COL_LENGTH") {
    // Attach the database the literal names now: SQLite cannot attach mid-statement.
    if (!e.args.empty() && e.args[0]->kind == ExprKind::Literal) {
      const std::string& text = e.args[0]->text;
      if (size_t dots = text.find('.'); dots != std::string::npos) {
        std::string db = text.substr(0, dots);
        if (db.size() > 1 && db.front() == '[') db = db.substr(1, db.size() - 2);
        if (conn_.AttachedSchema(db) || conn_.server().FindDatabase(db)) conn_.SchemaFor(db);
      }
    }
    renderArgs();
    *type = name == "COL_LENGTH" ? Make(TypeClass::Int, "smallint") : IntType();
    std::string fn = name == "OBJECT_ID" ? "xf_object_id_of(" : "xf_col_length(";
    return fn + join() + ")";
  }
  if (name.starts_with("ERROR_") || name == "XACT_STATE") {
    // What the innermost CATCH block is handling; NULL outside of one.
    const CaughtError* c = conn_.caught.empty() ? nullptr : &conn_.caught.back();
    if (name == "XACT_STATE") {
      *type = Make(TypeClass::Int, "smallint");
      return Bind(conn_.doomed ? -1LL : conn_.trancount() > 0 ? 1LL : 0LL);
    }
    if (name == "ERROR_MESSAGE" || name == "ERROR_PROCEDURE") {
      *type = Make(TypeClass::String, "nvarchar", name == "ERROR_MESSAGE" ? 4000 : 128);
      if (!c || (name == "ERROR_PROCEDURE" && c->procedure.empty())) return Bind(std::monostate{});
      return Bind(name == "ERROR_MESSAGE" ? c->message : c->procedure);
    }
    static const char* const kNumbers[] = {"ERROR_NUMBER", "ERROR_SEVERITY", "ERROR_STATE",
                                           "ERROR_LINE"};
    if (std::find(std::begin(kNumbers), std::end(kNumbers), name) != std::end(kNumbers)) {
      *type = IntType();
      if (!c) return Bind(std::monostate{});
      int v = name == "ERROR_NUMBER"     ? c->number
              : name == "ERROR_SEVERITY" ? c->severity
              : name == "ERROR_STATE"    ? c->state
                                         : c->line;
      return Bind(static_cast<long long>(v));
    }
  }
  if (name == "IIF") {
    if (e.args.size() != 3)
      throw SqlError(err::kWrongArgCount, "The iif function requires 3 argument(s).");
    ExprType c, a, b;
    std::string cs = Expression(*e.args[0], &c);
    std::string as = Expression(*e.args[1], &a);
    std::string bs = Expression(*e.args[2], &b);
    *type = Wider(a, b);
    return "(CASE WHEN " + cs + " THEN " + as + " ELSE " + bs + " END)";
  }

  if (name == "CHOOSE") {
    // CHOOSE(index, v1, v2, ...): NULL for an index outside the list.
    if (e.args.size() < 2)
      throw SqlError(err::kWrongArgCount, "The choose function requires 2 to 254 arguments.");
    ExprType it;
    std::string sql = "(CASE " + Expression(*e.args[0], &it);
    *type = ExprType{};
    type->cls = TypeClass::Null;
    for (size_t i = 1; i < e.args.size(); ++i) {
      ExprType t;
      sql += " WHEN " + std::to_string(i) + " THEN " + Expression(*e.args[i], &t);
      *type = Wider(*type, t);
    }
    return sql + " END)";
  }

  const FunctionInfo* info = FindFunction(name);
  if (!info)
    throw SqlError(err::kUnknownFunction,
                   "'" + name + "' is not a recognized built-in function name.");
  int n = static_cast<int>(e.args.size());
  if (n < info->minArgs || (info->maxArgs >= 0 && n > info->maxArgs))
    throw SqlError(err::kWrongArgCount, "The " + LowerName(name) + " function requires " +
                                            std::to_string(info->minArgs) + " argument(s).");
  renderArgs();
  ExprType first = types.empty() ? ExprType{} : types[0];
  if (name == "DATEADD") {
    // DATEADD returns the type of its date; text is read as datetime.
    if (types[2].cls == TypeClass::DateTime) {
      *type = types[2];
    } else {
      *type = Make(TypeClass::DateTime, "datetime");
      args[2] = "xf_cast(" + args[2] + ", 'datetime')";
    }
    return "xf_dateadd(" + join() + ")";
  }
  switch (info->rule) {
    case ResultRule::Int:
      *type = IntType();
      break;
    case ResultRule::BigInt:
      *type = Make(TypeClass::Int, "bigint");
      break;
    case ResultRule::Float:
      *type = Make(TypeClass::Float, "float");
      break;
    case ResultRule::Arg0:
      *type = first;
      break;
    case ResultRule::StringArg0:
      *type = Make(TypeClass::String, first.declared.name == "nvarchar" ? "nvarchar" : "varchar",
                   first.cls == TypeClass::String ? first.declared.length : 8000);
      if (first.cls == TypeClass::Text) *type = first;
      break;
    case ResultRule::String8000:
      *type = Make(TypeClass::String, "varchar", 8000);
      break;
    case ResultRule::String10:
      *type = Make(TypeClass::String, "varchar", 10);
      break;
    case ResultRule::FirstNonNull:
      *type = ExprType{};
      for (const auto& t : types) *type = Wider(*type, t);
      break;
    case ResultRule::DateTime:
      *type = Make(TypeClass::DateTime, "datetime");
      break;
    case ResultRule::Date:
      *type = Make(TypeClass::DateTime, "date");
      break;
    case ResultRule::NString30:
      *type = Make(TypeClass::String, "nvarchar", 30);
      break;
    case ResultRule::NString258:
      *type = Make(TypeClass::String, "nvarchar", 258);
      break;
    case ResultRule::Aggregate:
      if (name == "COUNT") {
        *type = IntType();
      } else if (name == "COUNT_BIG") {
        *type = Make(TypeClass::Int, "bigint");
      } else if ((name == "SUM" || name == "AVG") &&
                 (first.cls == TypeClass::String || first.cls == TypeClass::Text ||
                  first.cls == TypeClass::DateTime)) {
        throw SqlError(8117, "Operand data type " + first.declared.name + " is invalid for " +
                                 LowerName(name) + " operator.");
      } else if (name == "SUM" && first.cls == TypeClass::Int && first.declared.name != "bigint") {
        *type = IntType();
      } else if ((name == "SUM" || name == "AVG") && first.cls == TypeClass::Decimal &&
                 !first.declared.name.ends_with("money")) {
        // SUM keeps the scale in 38 digits; AVG shows at least six decimals.
        int scale = ShapeOf(first).scale;
        *type = NumericType(38, name == "AVG" ? std::max(scale, 6) : scale);
      } else {
        *type = first;
      }
      break;
  }
  if ((name == "CEILING" || name == "FLOOR") && first.cls == TypeClass::Decimal &&
      !first.declared.name.ends_with("money"))
    *type = NumericType(ShapeOf(first).precision, 0);
  if (info->rule == ResultRule::Arg0) type->literalDigits = 0;
  if (!e.withinOrder.empty()) {
    if (e.over) throw SqlError(err::kUnsupported, "WITHIN GROUP with OVER is not supported.");
    if (name != "STRING_AGG")
      throw SqlError(err::kUnsupported, "WITHIN GROUP is supported for STRING_AGG only.");
    // The ordered form collects the rows and sorts them once the group is complete.
    std::string sql = "xf_string_agg(" + join();
    for (size_t i = 0; i < e.withinOrder.size(); ++i) {
      ExprType kt;
      std::string key = Expression(*e.withinOrder[i], &kt);
      sql += ", " + key + ", " + (e.withinDescending[i] ? "1" : "0");
    }
    return sql + ")";
  }
  // Decimals beyond fifteen digits are held as text, which SQLite's MIN and MAX place after
  // every number.
  if ((name == "MIN" || name == "MAX") && WideDecimal(first))
    return std::string(name == "MIN" ? "xf_dmin(" : "xf_dmax(") + args[0] + ")" + over;
  // Totals of exact numerics are exact: 100000 amounts of 0.01 make 1000.00.
  if ((name == "SUM" || name == "AVG") && first.cls == TypeClass::Decimal && !e.distinct) {
    const std::string scale = std::to_string(ShapeOf(first).scale);
    if (name == "SUM")
      return "xf_dsum(" + args[0] + ", " + scale + ", '" + ExactTypeName(*type) + "')" + over;
    return "xf_davg(" + args[0] + ", " + scale + ", '" + ExactTypeName(*type) + "', " +
           std::to_string(ShapeOf(*type).scale) + ")" + over;
  }
  std::string sql =
      std::string(info->sqliteName) + "(" + (e.distinct ? "DISTINCT " : "") + join() + ")" + over;
  // DATALENGTH counts bytes of the declared type: two per character of Unicode text, the
  // fixed storage size of numbers and dates.
  if (name == "DATALENGTH") {
    const std::string& t = first.declared.name;
    if (t == "nvarchar" || t == "nchar" || t == "ntext") return "(" + sql + " * 2)";
    bool fixed = first.cls == TypeClass::Int || first.cls == TypeClass::Float ||
                 first.cls == TypeClass::Decimal || first.cls == TypeClass::DateTime;
    if (fixed && !t.empty() && e.args[0]->kind != ExprKind::Literal)
      return "(CASE WHEN " + args[0] + " IS NULL THEN NULL ELSE " +
             std::to_string(StorageLength(first.declared)) + " END)";
  }
  // ISNULL converts its replacement to the first argument's type: text that is no number
  // fails against a numeric column (245) whether or not the column holds NULL.
  if (name == "ISNULL" && IsNumeric(first.cls) && types[1].cls == TypeClass::String &&
      !first.declared.name.empty()) {
    args[1] = "xf_cast(" + args[1] + ", '" + first.declared.Text() + "')";
    sql = std::string(info->sqliteName) + "(" + join() + ")";
  }
  // ISNULL returns its first argument's type: a longer replacement is cut to it.
  if (name == "ISNULL" && first.cls == TypeClass::String && first.declared.length > 0)
    sql = "xf_cast(" + sql + ", '" + first.declared.Text() + "')";
  // SUM of int is an int: a total beyond its range overflows.
  if (name == "SUM" && type->declared.name == "int") sql = "xf_int(" + sql + ")";
  // AVG of integers stays an integer, truncated, in SQL Server.
  if (name == "AVG" && first.cls == TypeClass::Int) sql = "CAST(" + sql + " AS INTEGER)";
  return sql;
}

std::string Renderer::Expression(const Expr& e, ExprType* type) {
  ExprType scratch;
  if (!type) type = &scratch;
  if (grouping_ || e.kind == ExprKind::Function)
    if (auto sql = GroupingTerm(e, type)) return *sql;
  switch (e.kind) {
    case ExprKind::Literal:
      switch (e.literalKind) {
        case LiteralKind::Null:
          *type = Make(TypeClass::Null, "int");
          return "NULL";
        case LiteralKind::Integer:
        case LiteralKind::Float:
          return NumberLiteralType(e.text, type);
        case LiteralKind::Money:
          *type = Make(TypeClass::Decimal, "money");
          return e.text;
        case LiteralKind::String:
        case LiteralKind::NString: {
          const int chars = static_cast<int>(func::CharCount(e.text));
          *type = Make(TypeClass::String,
                       e.literalKind == LiteralKind::NString ? "nvarchar" : "varchar",
                       std::max(chars, 1));
          // Text literals travel as parameters, so statements that differ only in their
          // literals (one per account, per document) share one prepared statement.
          if (!inlineLiterals_) {
            ParamSource from;
            from.kind = ParamSource::Kind::Literal;
            from.literal = &e;
            from.length = static_cast<size_t>(chars);
            return Bind(e.text, std::move(from));
          }
          std::string out = "'";
          for (char c : e.text) {
            out += c;
            if (c == '\'') out += '\'';
          }
          return out + "'";
        }
        case LiteralKind::Binary: {
          std::string hex = e.text;
          if (hex.starts_with("0x") || hex.starts_with("0X")) hex = hex.substr(2);
          if (hex.size() % 2) hex = "0" + hex;
          *type = Make(TypeClass::Blob, "varbinary",
                       static_cast<int>(std::max<size_t>(1, hex.size() / 2)));
          return "X'" + hex + "'";
        }
      }
      break;
    case ExprKind::Column:
      return Column(e, type);
    case ExprKind::Star:
      *type = ExprType{};
      return e.name.empty() ? "*" : QuoteIdent(e.name.back()) + ".*";
    case ExprKind::Variable:
      return Variable(e, type);
    case ExprKind::Unary: {
      std::string inner = Expression(*e.args[0], type);
      if (e.text == "NOT") {
        *type = IntType();
        return "(NOT " + inner + ")";
      }
      if (e.text == "+") return inner;
      // A decimal too wide for a double travels as text, which SQLite's minus would round.
      if (e.text == "-" && type->cls == TypeClass::Decimal && ShapeOf(*type).precision > 15) {
        ExprType zero = IntType();
        return ExactOperation('-', "0", zero, inner, *type, *type);
      }
      return "(" + e.text + inner + ")";
    }
    case ExprKind::Binary:
      return Binary(e, type);
    case ExprKind::Function:
      return Function(e, type);
    case ExprKind::Cast: {
      ExprType inner;
      std::string sql = Expression(*e.args[0], &inner);
      type->cls = ClassOf(e.castType);
      type->declared = e.castType;
      if (type->cls == TypeClass::String && e.castType.length < 0 && e.castType.length != -2)
        type->declared.length = 30;
      std::string style;
      if (e.args.size() > 1) {
        ExprType st;
        style = ", " + Expression(*e.args[1], &st);
      }
      const std::string fn = e.tryCast ? "xf_try_cast(" : "xf_cast(";
      // Same class and no length to enforce: nothing to convert.
      if (inner.cls == type->cls && type->cls == TypeClass::Float && style.empty()) return sql;
      bool wideInt = e.castType.name == "int" || e.castType.name == "bigint";
      if (inner.cls == TypeClass::Int && wideInt && inner.declared.name != "bigint" &&
          style.empty())
        return sql;
      std::string text = type->declared.Text();
      // Text of a decimal keeps its scale, text of a date follows the date's own default form:
      // the conversion needs the source type.
      // A decimal made another decimal names its own type when it overflows.
      bool typedSource = (inner.cls == TypeClass::Decimal || inner.cls == TypeClass::DateTime) &&
                         !inner.declared.name.empty() &&
                         (type->cls == TypeClass::String || type->cls == TypeClass::Text ||
                          (inner.cls == TypeClass::Decimal && type->cls == TypeClass::Decimal));
      // Text converted to text keeps its form: a style only formats dates and numbers.
      if (IsTextual(inner.cls) && inner.cls != TypeClass::Unknown &&
          (type->cls == TypeClass::String || type->cls == TypeClass::Text) && !style.empty())
        style.clear();
      if (typedSource)
        return fn + sql + ", '" + text + "'" + (style.empty() ? ", 0" : style) + ", '" +
               inner.declared.Text() + "')";
      return fn + sql + ", '" + text + "'" + style + ")";
    }
    case ExprKind::Case: {
      std::string out = "(CASE";
      ExprType ot;
      if (e.caseOperand) out += " " + Expression(*e.caseOperand, &ot);
      bool textOperand = e.caseOperand && IsTextual(ot.cls);
      *type = ExprType{};
      type->cls = TypeClass::Null;
      // The result has the type of highest precedence among the branches; text branches of
      // a numeric CASE are converted, so 'x' fails as SQL Server's conversion would.
      std::vector<std::string> whens, thens;
      std::vector<ExprType> thenTypes;
      for (const auto& w : e.whens) {
        ExprType wt, tt;
        std::string ws = Expression(*w.when, &wt);
        if (textOperand && IsTextual(wt.cls)) ws = Collate(ws);
        if (e.caseOperand && IsNumeric(ot.cls) && wt.cls == TypeClass::String)
          ws = "xf_cast(" + ws + ", '" + (ot.cls == TypeClass::Int ? "bigint" : "float") + "')";
        whens.push_back(ws);
        thens.push_back(Expression(*w.then, &tt));
        thenTypes.push_back(tt);
        *type = Wider(*type, tt);
      }
      if (e.elseExpr) {
        ExprType et;
        thens.push_back(Expression(*e.elseExpr, &et));
        thenTypes.push_back(et);
        *type = Wider(*type, et);
      }
      for (size_t i = 0; i < thens.size(); ++i) {
        if (IsNumeric(type->cls) && thenTypes[i].cls == TypeClass::String)
          thens[i] = "xf_cast(" + thens[i] + ", '" + type->declared.Text() + "')";
        if (i < whens.size())
          out += " WHEN " + whens[i] + " THEN " + thens[i];
        else
          out += " ELSE " + thens[i];
      }
      return out + " END)";
    }
    case ExprKind::Subquery: {
      std::vector<std::string> names;
      std::vector<ExprType> types;
      bool star = false;
      std::string sql = Select(*e.subquery, names, types, star);
      if (names.size() != 1)
        throw SqlError(116,
                       "Only one expression can be specified in the select list when the "
                       "subquery is not introduced with EXISTS.");
      *type = types.empty() ? ExprType{} : types[0];
      if (SingleRow(*e.subquery)) return "(" + sql + ")";
      // More than one row is an error, found as the rows come.
      return "(WITH __sq(v) AS (" + sql + ") SELECT xf_single(v) FROM __sq)";
    }
    case ExprKind::Exists: {
      std::vector<std::string> names;
      std::vector<ExprType> types;
      bool star = false;
      std::string sql = Select(*e.subquery, names, types, star);
      *type = IntType();
      return std::string(e.negated ? "(NOT EXISTS (" : "(EXISTS (") + sql + "))";
    }
    case ExprKind::InList: {
      ExprType lt;
      std::string l = Expression(*e.args[0], &lt);
      std::string out =
          "(" + (IsTextual(lt.cls) ? Collate(l) : l) + (e.negated ? " NOT IN (" : " IN (");
      for (size_t i = 1; i < e.args.size(); ++i) {
        ExprType t;
        out += (i > 1 ? ", " : "") + Expression(*e.args[i], &t);
      }
      *type = IntType();
      return out + "))";
    }
    case ExprKind::InSubquery: {
      ExprType lt;
      std::string l = Expression(*e.args[0], &lt);
      std::vector<std::string> names;
      std::vector<ExprType> types;
      bool star = false;
      std::string sql = Select(*e.subquery, names, types, star);
      *type = IntType();
      // A column already compares with its own collation; a forced one could hide its index.
      bool collate = IsTextual(lt.cls) && e.args[0]->kind != ExprKind::Column;
      return "(" + (collate ? Collate(l) : l) + (e.negated ? " NOT IN (" : " IN (") + sql + "))";
    }
    case ExprKind::Between: {
      ExprType a, b, c;
      std::string sa = Expression(*e.args[0], &a);
      std::string sb = Expression(*e.args[1], &b);
      std::string sc = Expression(*e.args[2], &c);
      bool text = IsTextual(a.cls) && IsTextual(b.cls);
      *type = IntType();
      std::string sql = "(" + sa + (e.negated ? " NOT BETWEEN " : " BETWEEN ") +
                        (text ? Collate(sb) : sb) + " AND " + (text ? Collate(sc) : sc) + ")";
      // A range over an expression of columns (codes joined into one key) has no index, and
      // SQLite then guesses it keeps nearly every row, so it would rather walk a whole joined
      // table than the few rows in range. Like SQL Server's estimator, take such a range for
      // a small share of the rows; the value of the test does not change.
      auto constant = [](const Expr& x) {
        return x.kind == ExprKind::Literal || x.kind == ExprKind::Variable;
      };
      if (!e.negated && e.args[0]->kind == ExprKind::Binary && constant(*e.args[1]) &&
          constant(*e.args[2]))
        return "likelihood(" + sql + ", 0.05)";
      return sql;
    }
    case ExprKind::Like: {
      ExprType a, b;
      std::string sa = Expression(*e.args[0], &a);
      std::string sb = Expression(*e.args[1], &b);
      std::string out = "(" + sa + (e.negated ? " NOT LIKE " : " LIKE ") + sb;
      if (e.args.size() > 2) {
        ExprType c;
        out += " ESCAPE " + Expression(*e.args[2], &c);
      }
      *type = IntType();
      return out + ")";
    }
    case ExprKind::IsNull: {
      std::string inner = Expression(*e.args[0], type);
      *type = IntType();
      return "(" + inner + (e.negated ? " IS NOT NULL)" : " IS NULL)");
    }
  }
  throw SqlError(err::kUnsupported, "Unsupported expression.");
}

Field FieldFor(const std::string& name, const ExprType& t) {
  Field f;
  f.name = name;
  if (t.cls == TypeClass::Unknown || t.declared.name.empty()) {
    f.kind = FieldKind::Other;
    return f;
  }
  f.kind = KindOf(t.declared);
  f.size = StorageLength(t.declared);
  f.declaredType = t.declared.Text();
  return f;
}

}  // namespace xfer::engine
