// Variables, procedures and dynamic SQL: DECLARE/SET/SELECT @v, CREATE/ALTER/DROP PROCEDURE
// (stored as text in the database's procedure table), EXEC with positional, named, default and
// OUTPUT arguments and return values, EXEC ('...'), PRINT, RAISERROR and SET options.
#include <climits>
#include <cmath>
#include <cstdio>

#include "engine/error.h"
#include "engine/exec/executor.h"
#include "engine/func/exact_decimal.h"
#include "engine/func/func_common.h"
#include "engine/parse/parser.h"
#include "engine/profile.h"
#include "engine/sqlite_util.h"
#include "engine/types.h"

namespace xfer::engine {
namespace {

std::string TextOf(const Value& v) {
  if (const auto* s = std::get_if<std::string>(&v)) return *s;
  if (IsNull(v)) return {};
  return FormatValue(v);
}

std::string TrimBlanks(const std::string& s) {
  size_t b = s.find_first_not_of(" \t\r\n");
  if (b == std::string::npos) return {};
  size_t e = s.find_last_not_of(" \t\r\n");
  return s.substr(b, e - b + 1);
}

[[noreturn]] void ConversionError(const std::string& text, const TypeName& type) {
  throw SqlError(err::kConversionFailed, "Conversion failed when converting the varchar value '" +
                                             text + "' to data type " + type.name + ".");
}

std::string CutChars(const std::string& s, int chars) {
  size_t i = 0;
  int n = 0;
  while (i < s.size() && n < chars) {
    ++i;
    while (i < s.size() && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80) ++i;
    ++n;
  }
  return s.substr(0, i);
}

}  // namespace

Value ConvertValue(const Value& v, const TypeName& type) {
  if (IsNull(v)) return v;
  switch (ClassOf(type)) {
    case TypeClass::Int: {
      long long out = 0;
      if (const auto* i = std::get_if<long long>(&v)) {
        out = *i;
      } else if (const auto* d = std::get_if<double>(&v)) {
        out = static_cast<long long>(std::trunc(*d));
      } else {
        // Blanks around the digits do not count; blank text or a lone sign is 0.
        std::string text = TextOf(v);
        func::ParseStatus st = func::ParseIntText(text, &out);
        if (st == func::ParseStatus::Invalid) ConversionError(text, type);
        if (st == func::ParseStatus::Overflow) out = LLONG_MAX;
      }
      if (type.name == "bit") return static_cast<long long>(out != 0);
      long long lo = INT32_MIN, hi = INT32_MAX;
      if (type.name == "bigint") lo = LLONG_MIN, hi = LLONG_MAX;
      if (type.name == "smallint") lo = -32768, hi = 32767;
      if (type.name == "tinyint") lo = 0, hi = 255;
      if (out < lo || out > hi || (out == LLONG_MAX && !std::holds_alternative<long long>(v)))
        throw SqlError(8115, "Arithmetic overflow error converting expression to data type " +
                                 type.name + ".");
      return out;
    }
    case TypeClass::Decimal: {
      // Exactly, to the type's precision and scale: a wide decimal never passes through a double.
      func::Decimal d;
      const char* from = "numeric";
      if (const auto* i = std::get_if<long long>(&v)) {
        d = func::DecimalFromInt(*i);
        from = "int";
      } else if (const auto* x = std::get_if<double>(&v)) {
        if (!func::DecimalFromDouble(*x, -1, &d))
          throw SqlError(8115, "Arithmetic overflow error converting float to data type numeric.");
        from = "float";
      } else if (!func::ParseDecimal(TrimBlanks(TextOf(v)), &d)) {
        throw SqlError(8114, "Error converting data type varchar to " + type.name + ".");
      }
      const bool money = type.name == "money" || type.name == "smallmoney";
      const int precision = money ? 19 : type.precision < 0 ? 18 : type.precision;
      const int scale = money ? 4 : type.scale < 0 ? 0 : type.scale;
      func::Decimal out;
      if (func::Rescale(d, precision, scale, &out) != func::DecimalStatus::Ok)
        throw SqlError(8115, std::string("Arithmetic overflow error converting ") + from +
                                 " to data type " + (money ? type.name : "numeric") + ".");
      return func::StoredDecimal(out);
    }
    case TypeClass::Float: {
      double out = 0;
      if (const auto* i = std::get_if<long long>(&v)) {
        out = static_cast<double>(*i);
      } else if (const auto* d = std::get_if<double>(&v)) {
        out = *d;
      } else {
        std::string t = TrimBlanks(TextOf(v));
        char* end = nullptr;
        out = std::strtod(t.c_str(), &end);
        if (t.empty() || *end != '\0')
          throw SqlError(8114, "Error converting data type varchar to " + type.name + ".");
      }
      return out;
    }
    case TypeClass::String: {
      std::string t = TextOf(v);
      int length = type.length == -2 ? -1 : type.length < 0 ? 1 : type.length;
      if (length >= 0) t = CutChars(t, length);
      // char(n) and nchar(n) hold exactly n characters, blanks making up the rest.
      if ((type.name == "char" || type.name == "nchar") && length > 0) {
        long long chars = 0;
        for (unsigned char c : t) chars += (c & 0xC0) != 0x80;
        if (chars < length) t.append(static_cast<size_t>(length - chars), ' ');
      }
      return t;
    }
    case TypeClass::Text:
    case TypeClass::DateTime:
      return std::holds_alternative<Blob>(v) ? v : Value{TextOf(v)};
    default:
      return v;
  }
}

Value Executor::Evaluate(const Expr& e) {
  if (e.kind == ExprKind::Literal && e.literalKind == LiteralKind::String) return e.text;
  Renderer r(conn_);
  Rendered q = RenderingKept(e.plan, 'V', r, [&] { return r.Scalar(e); });
  long long saved = conn_.rowcount;
  ResultSet rs = Query(q);
  conn_.rowcount = saved;
  if (rs.rows.empty()) return std::monostate{};
  return rs.rows[0][0];
}

bool Executor::Test(const Expr& e) {
  Renderer r(conn_);
  Rendered q = RenderingKept(e.plan, 'C', r, [&] { return r.Condition(e); });
  long long saved = conn_.rowcount;
  ResultSet rs = Query(q);
  conn_.rowcount = saved;
  return !rs.rows.empty() && std::holds_alternative<long long>(rs.rows[0][0]) &&
         std::get<long long>(rs.rows[0][0]) != 0;
}

void Executor::Declare(const Statement& s) {
  for (const auto& d : s.declarations) {
    if (d.table) {
      DeclareTable(d);
      continue;
    }
    std::string name = LowerName(d.name);
    if (conn_.frame().vars.count(name) || conn_.frame().tableVars.count(name))
      throw SqlError(134, "The variable name '" + d.name +
                              "' has already been declared. Variable names must be unique "
                              "within a query batch or stored procedure.");
    conn_.frame().vars[name] = Variable{d.type, std::monostate{}};
    if (d.init) Assign(d.name, Evaluate(*d.init));
  }
}

void Executor::Assign(const std::string& name, const Value& v) {
  auto& vars = conn_.frame().vars;
  auto it = vars.find(LowerName(name));
  if (it == vars.end())
    throw SqlError(err::kMustDeclare, "Must declare the scalar variable \"" + name + "\".");
  it->second.value = ConvertValue(v, it->second.type);
}

void Executor::CreateProcedure(const Statement& s) {
  std::string db = s.target.database.empty() ? conn_.currentDatabase() : s.target.database;
  std::string schema = QuoteIdent(conn_.SchemaFor(db));
  bool exists = false;
  {
    Stmt q(conn_.db(), "SELECT 1 FROM " + schema + ".__xfer_procs WHERE name = ?");
    sqlite3_bind_text(q.get(), 1, s.target.object.c_str(), -1, SQLITE_TRANSIENT);
    exists = q.Step();
  }
  if (exists && !s.alter)
    throw SqlError(err::kObjectExists,
                   "There is already an object named '" + s.target.object + "' in the database.");
  if (!exists && s.alter)
    throw SqlError(err::kInvalidObject, "Invalid object name '" + s.target.object + "'.");
  Stmt w(conn_.db(), "INSERT OR REPLACE INTO " + schema +
                         ".__xfer_procs (name, body, created) VALUES (?, ?, datetime('now'))");
  sqlite3_bind_text(w.get(), 1, s.target.object.c_str(), -1, SQLITE_TRANSIENT);
  sqlite3_bind_text(w.get(), 2, s.procText.c_str(), -1, SQLITE_TRANSIENT);
  w.Step();
}

void Executor::DropProcedure(const Statement& s) {
  std::vector<ObjectName> targets = s.targets;
  if (targets.empty()) targets.push_back(s.target);
  for (const auto& t : targets) {
    std::string db = t.database.empty() ? conn_.currentDatabase() : t.database;
    Stmt d(conn_.db(),
           "DELETE FROM " + QuoteIdent(conn_.SchemaFor(db)) + ".__xfer_procs WHERE name = ?");
    sqlite3_bind_text(d.get(), 1, t.object.c_str(), -1, SQLITE_TRANSIENT);
    d.Step();
    if (sqlite3_changes(conn_.db()) == 0 && !s.ifExists)
      throw SqlError(err::kCannotDropTable, "Cannot drop the procedure '" + t.object +
                                                "', because it does not exist or you do not "
                                                "have permission.");
  }
}

long long Executor::ExecProcedure(const Statement& s) {
  const ObjectName& p = s.target;
  if (LowerName(p.object) == "sp_executesql") {
    ExecuteSql(s);
    return 0;
  }
  if (LowerName(p.object) == "sp_updatestats") {
    // The planner's statistics of every table of the current database, measured anew.
    Exec(conn_.db(), "ANALYZE " + QuoteIdent(conn_.SchemaFor(conn_.currentDatabase())));
    if (conn_.sink.message) conn_.sink.message("Statistics for all tables have been updated.");
    return 0;
  }
  std::string db = p.database.empty() ? conn_.currentDatabase() : p.database;
  std::string canonical = conn_.CanonicalName(db);
  auto lookup = [&](const std::string& database) -> std::optional<std::string> {
    sqlite3_stmt* q =
        conn_.cache.Get(conn_.db(), "SELECT body FROM " + QuoteIdent(conn_.SchemaFor(database)) +
                                        ".__xfer_procs WHERE name = ?");
    sqlite3_bind_text(q, 1, p.object.c_str(), -1, SQLITE_TRANSIENT);
    int rc = sqlite3_step(q);
    std::optional<std::string> out;
    if (rc == SQLITE_ROW) out = reinterpret_cast<const char*>(sqlite3_column_text(q, 0));
    sqlite3_reset(q);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE) ThrowSqlite(conn_.db(), rc);
    return out;
  };
  std::optional<std::string> body = lookup(canonical);
  // Procedures named sp_ are also found in master and run in the caller's database.
  if (!body && LowerName(p.object).starts_with("sp_") && LowerName(canonical) != "master")
    body = lookup("master");
  if (!body)
    throw SqlError(err::kProcMissing, "Could not find stored procedure '" + p.object + "'.");

  std::shared_ptr<Batch>& parsed = conn_.procedures[*body];
  if (!parsed) {
    profile::Timer t(profile::Phase::Parse);
    parsed = std::make_shared<Batch>(ParseBatch(*body));
  }
  std::shared_ptr<Batch> keep = parsed;
  return CallProcedure(*keep->statements.at(0), s, p.object, canonical, 0);
}

long long Executor::CallProcedure(const Statement& def, const Statement& s, const std::string& name,
                                  const std::string& database, size_t firstArg) {
  // Arguments are evaluated in the caller's scope.
  std::vector<std::optional<Value>> values(def.params.size());
  std::vector<std::string> outputTargets(def.params.size());
  size_t position = 0;
  for (size_t k = firstArg; k < s.args.size(); ++k) {
    const ExecArg& a = s.args[k];
    size_t index = position;
    if (!a.name.empty()) {
      index = def.params.size();
      for (size_t i = 0; i < def.params.size(); ++i)
        if (LowerName(def.params[i].name) == LowerName(a.name)) index = i;
      if (index == def.params.size())
        throw SqlError(8145, a.name + " is not a parameter for procedure " + name + ".");
    } else {
      ++position;
    }
    if (index >= def.params.size())
      throw SqlError(8144, "Procedure or function " + name + " has too many arguments specified.");
    if (a.value) values[index] = Evaluate(*a.value);
    if (a.output && a.value && a.value->kind == ExprKind::Variable)
      outputTargets[index] = a.value->text;
  }

  conn_.PushFrame(database);
  conn_.frame().procedure = name;
  for (size_t i = 0; i < def.params.size(); ++i) {
    const ProcParam& param = def.params[i];
    Value v;
    if (values[i]) {
      v = *values[i];
    } else if (param.defaultValue) {
      v = Evaluate(*param.defaultValue);
    } else {
      throw SqlError(201, "Procedure or function '" + name + "' expects parameter '" + param.name +
                              "', which was not supplied.");
    }
    conn_.frame().vars[LowerName(param.name)] = Variable{param.type, ConvertValue(v, param.type)};
  }
  returnValue_ = 0LL;
  const int trancount = conn_.trancount();
  RunList(def.body);
  std::vector<std::pair<std::string, Value>> outputs;
  for (size_t i = 0; i < def.params.size(); ++i)
    if (!outputTargets[i].empty() && def.params[i].output)
      outputs.emplace_back(outputTargets[i],
                           conn_.frame().vars[LowerName(def.params[i].name)].value);
  LeaveScope();
  for (const auto& [var, v] : outputs) Assign(var, v);
  long long result = 0;
  if (const auto* i = std::get_if<long long>(&returnValue_)) result = *i;
  if (!s.returnVar.empty()) Assign(s.returnVar, result);
  if (conn_.trancount() != trancount)
    throw SqlError(266,
                   "Transaction count after EXECUTE indicates a mismatching number of BEGIN "
                   "and COMMIT statements. Previous count = " +
                       std::to_string(trancount) +
                       ", current count = " + std::to_string(conn_.trancount()) + ".");
  return result;
}

void Executor::ExecString(const Statement& s) {
  std::string text = TextOf(Evaluate(*s.value));
  BatchCache::Lease b = [&] {
    profile::Timer t(profile::Phase::Parse);
    return conn_.batches.Parse(text);
  }();
  for (const auto& db : DatabasesOf(*b))
    if (conn_.AttachedSchema(db) || conn_.server().FindDatabase(db)) conn_.SchemaFor(db);
  conn_.PushFrame(conn_.currentDatabase());
  for (const auto& st : b->statements)
    if (Run(*st) == Flow::Return) break;
  LeaveScope();
}

// sp_executesql @stmt [, @params, arguments...]: the statement runs as a nameless procedure
// whose parameters the declaration string gives, in the caller's database.
void Executor::ExecuteSql(const Statement& s) {
  const ExecArg* stmt = nullptr;
  const ExecArg* params = nullptr;
  size_t next = 0;
  for (; next < s.args.size() && next < 2; ++next) {
    const ExecArg& a = s.args[next];
    std::string n = LowerName(a.name);
    if (next == 0 && (n.empty() || n == "@stmt")) {
      stmt = &a;
    } else if (next == 1 && (n.empty() || n == "@params")) {
      params = &a;
    } else {
      break;
    }
  }
  if (!stmt || !stmt->value)
    throw SqlError(201,
                   "Procedure or function 'sp_executesql' expects parameter '@statement', "
                   "which was not supplied.");
  std::string text = TextOf(Evaluate(*stmt->value));
  std::string declared = params && params->value ? TextOf(Evaluate(*params->value)) : "";
  if (declared.find_first_not_of(" \t\r\n") == std::string::npos && next < s.args.size())
    throw SqlError(8178, "The parameterized query expects parameters which were not supplied.");
  // Parsed as a procedure so that the declarations take defaults and OUTPUT as parameters do.
  std::string source = "CREATE PROCEDURE sp_executesql " + declared + " AS " + text;
  std::shared_ptr<Batch>& parsed = conn_.procedures[source];
  if (!parsed) {
    profile::Timer t(profile::Phase::Parse);
    parsed = std::make_shared<Batch>(ParseBatch(source));
  }
  std::shared_ptr<Batch> keep = parsed;
  const Statement& def = *keep->statements.at(0);
  for (const auto& db : DatabasesOf(def.body))
    if (conn_.AttachedSchema(db) || conn_.server().FindDatabase(db)) conn_.SchemaFor(db);
  CallProcedure(def, s, "sp_executesql", conn_.currentDatabase(), next);
}

void Executor::Raiserror(const Statement& s) {
  if (s.args.empty()) throw SqlError(err::kSyntax, "Incorrect syntax near 'RAISERROR'.");
  std::string format = TextOf(Evaluate(*s.args[0].value));
  long long severity = 16, state = 1;
  if (s.args.size() > 1)
    if (auto v = Evaluate(*s.args[1].value); std::holds_alternative<long long>(v))
      severity = std::get<long long>(v);
  if (s.args.size() > 2)
    if (auto v = Evaluate(*s.args[2].value); std::holds_alternative<long long>(v))
      state = std::get<long long>(v);
  // printf-style substitution of the remaining arguments.
  std::string msg;
  size_t next = 3;
  for (size_t i = 0; i < format.size(); ++i) {
    if (format[i] != '%' || i + 1 >= format.size()) {
      msg += format[i];
      continue;
    }
    size_t j = i + 1;
    if (format[j] == '%') {
      msg += '%';
      i = j;
      continue;
    }
    while (j < format.size() &&
           std::string_view("-+ #0123456789.lhI").find(format[j]) != std::string_view::npos)
      ++j;
    if (j < format.size() &&
        std::string_view("sdiuxXoc").find(format[j]) != std::string_view::npos) {
      msg += next < s.args.size() ? TextOf(Evaluate(*s.args[next].value)) : "(null)";
      ++next;
      i = j;
    } else {
      msg += format[i];
    }
  }
  if (severity <= 10) {
    if (conn_.sink.message) conn_.sink.message(msg);
    return;
  }
  throw SqlError(err::kUser, msg, static_cast<int>(severity), static_cast<int>(state));
}

void Executor::SetOption(const Statement& s) {
  std::string value = LowerName(s.optionValue);
  bool on = value.ends_with("on");
  if (s.optionName == "NOCOUNT") {
    conn_.nocount = on;
  } else if (s.optionName == "XACT_ABORT") {
    conn_.xactAbort = on;
  } else if (s.optionName == "IDENTITY_INSERT") {
    std::string table = TrimBlanks(s.optionValue.substr(0, s.optionValue.rfind(' ')));
    if (size_t dot = table.rfind('.'); dot != std::string::npos) table = table.substr(dot + 1);
    if (!table.empty() && table.front() == '[') table = table.substr(1, table.size() - 2);
    conn_.identityInsert[LowerName(table)] = on;
  }
  // Other session options (ANSI_NULLS, QUOTED_IDENTIFIER, DATEFORMAT...) do not change
  // anything the engine does.
}

}  // namespace xfer::engine
