// Definitions: CREATE/ALTER/DROP TABLE, CREATE/DROP INDEX, CREATE/DROP DATABASE, DROP
// PROCEDURE, and declared type names.
#include <algorithm>
#include <array>
#include <climits>

#include "engine/parse/parser_impl.h"
#include "engine/parse/syntax_error.h"

namespace xfer::engine::parse {
namespace {

// Types whose single parenthesized number is a precision rather than a length.
constexpr std::array<std::string_view, 8> kPrecisionTypes = {
    "decimal", "numeric", "dec", "float", "real", "datetime2", "time", "datetimeoffset"};

// Object kinds that exist in T-SQL but that the engine does not create, alter or drop.
constexpr std::array<std::string_view, 15> kOtherObjectKinds = {
    "FUNCTION", "TRIGGER", "SCHEMA",   "TYPE",       "SYNONYM",  "USER",     "LOGIN", "ROLE",
    "RULE",     "DEFAULT", "SEQUENCE", "STATISTICS", "ASSEMBLY", "FULLTEXT", "XML"};

// The ISO names SQL Server takes for its own types, longest spelling first. A declaration keeps
// only the base type: catalogs, casts and variables never see the synonym.
struct TypeSynonym {
  std::array<std::string_view, 3> words;
  std::string_view base;
};
constexpr TypeSynonym kTypeSynonyms[] = {
    {{"NATIONAL", "CHARACTER", "VARYING"}, "nvarchar"},
    {{"NATIONAL", "CHAR", "VARYING"}, "nvarchar"},
    {{"NATIONAL", "CHARACTER"}, "nchar"},
    {{"NATIONAL", "CHAR"}, "nchar"},
    {{"NATIONAL", "TEXT"}, "ntext"},
    {{"CHARACTER", "VARYING"}, "varchar"},
    {{"CHAR", "VARYING"}, "varchar"},
    {{"BINARY", "VARYING"}, "varbinary"},
    {{"DOUBLE", "PRECISION"}, "float"},
    {{"CHARACTER"}, "char"},
    {{"INTEGER"}, "int"},
    {{"DEC"}, "decimal"},
};

// float(n) is real up to 24 bits of mantissa, float from 25 to 53.
constexpr int kRealMantissaBits = 24;

bool IsOtherObjectKind(const Token& t) {
  return t.kind == TokenKind::Word && std::find(kOtherObjectKinds.begin(), kOtherObjectKinds.end(),
                                                t.value) != kOtherObjectKinds.end();
}

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

}  // namespace

StatementPtr Parser::ParseCreate(bool firstInBatch) {
  const Token& start = Advance();
  if (AtWord("TABLE")) return ParseCreateTable(start);
  if (AtWord("OR") && AtWord("ALTER", 1) && AtWord("VIEW", 2)) {
    if (!firstInBatch) MustBeFirstInBatch("CREATE VIEW", start.pos);
    Advance();
    Advance();
    return ParseView(start, false, true);
  }
  if (AtWord("VIEW")) {
    if (!firstInBatch) MustBeFirstInBatch("CREATE VIEW", start.pos);
    return ParseView(start, false, false);
  }
  if (AtWord("PROCEDURE") || AtWord("PROC")) {
    if (!firstInBatch) MustBeFirstInBatch("CREATE/ALTER PROCEDURE", start.pos);
    return ParseProcedure(start, false);
  }
  if (AcceptWord("DATABASE")) {
    StatementPtr s = NewStatement(StatementKind::CreateDatabase, start);
    s->databaseName = ExpectName();
    if (AtWord("ON") || AtWord("COLLATE") || AtWord("WITH")) {
      Unsupported("CREATE DATABASE options", Cur().pos);
    }
    return s;
  }
  if (AtWord("UNIQUE") || AtWord("CLUSTERED") || AtWord("NONCLUSTERED") || AtWord("INDEX")) {
    return ParseCreateIndex(start);
  }
  if (IsOtherObjectKind(Cur())) Unsupported("CREATE " + Cur().value, Cur().pos);
  Fail();
}

StatementPtr Parser::ParseCreateTable(const Token& start) {
  StatementPtr s = NewStatement(StatementKind::CreateTable, start);
  ExpectWord("TABLE");
  s->target = ParseObjectName();
  ExpectOp("(");
  ParseTableElements(*s, true);
  ExpectOp(")");
  if (AcceptWord("ON")) {
    if (!AcceptWord("PRIMARY")) ExpectName();
  }
  if (AtWord("TEXTIMAGE_ON")) {
    Advance();
    if (!AcceptWord("PRIMARY")) ExpectName();
  }
  if (AtWord("WITH") && AtOp("(", 1)) Unsupported("table options", Cur().pos);
  return s;
}

// Column definitions and table constraints separated by commas; CREATE TABLE tolerates a
// trailing comma before ')'.
void Parser::ParseTableElements(Statement& s, bool inParentheses) {
  do {
    if (inParentheses && AtOp(")") && !(s.columns.empty() && s.constraints.empty())) return;
    const Token& t = Cur();
    if (AcceptWord("CONSTRAINT")) {
      std::string name = ExpectName();
      if (AtWord("PRIMARY") || AtWord("UNIQUE")) {
        s.constraints.push_back(ParseTableConstraint(std::move(name)));
      } else if (Cur().kind == TokenKind::Word) {
        Unsupported("CONSTRAINT " + Cur().value, Cur().pos);
      } else {
        Fail();
      }
    } else if (AtWord("PRIMARY") || AtWord("UNIQUE")) {
      s.constraints.push_back(ParseTableConstraint({}));
    } else if (AtWord("FOREIGN") || AtWord("CHECK") || AtWord("INDEX")) {
      Unsupported(t.value, t.pos);
    } else {
      s.columns.push_back(ParseColumnDef());
    }
  } while (AcceptOp(","));
}

TableConstraint Parser::ParseTableConstraint(std::string name) {
  TableConstraint c;
  c.name = std::move(name);
  if (AcceptWord("PRIMARY")) {
    ExpectWord("KEY");
    c.kind = TableConstraint::Kind::PrimaryKey;
    c.clustered = true;
  } else {
    ExpectWord("UNIQUE");
    c.kind = TableConstraint::Kind::Unique;
    c.clustered = false;
  }
  if (AcceptWord("CLUSTERED")) {
    c.clustered = true;
  } else if (AcceptWord("NONCLUSTERED")) {
    c.clustered = false;
  }
  for (const auto& item : ParseIndexColumns()) c.columns.push_back(item.expr->name.back());
  SkipIndexOptions();
  return c;
}

ColumnDef Parser::ParseColumnDef() {
  ColumnDef c;
  c.pos = Cur().pos;
  c.name = ExpectName();
  if (AtWord("AS")) Unsupported("computed column", Cur().pos);
  c.type = ParseType();
  for (;;) {
    const Token& t = Cur();
    if (AcceptWord("IDENTITY")) {
      c.identity = true;
      if (AcceptOp("(")) {
        c.identitySeed = ExpectInteger(true);
        ExpectOp(",");
        c.identityStep = ExpectInteger(true);
        ExpectOp(")");
      }
    } else if (AtWord("NOT") && AtWord("NULL", 1)) {
      Advance();
      Advance();
      c.hasNullability = true;
      c.notNull = true;
    } else if (AcceptWord("NULL")) {
      c.hasNullability = true;
      c.notNull = false;
    } else if (AcceptWord("CONSTRAINT")) {
      c.constraintName = ExpectName();
      if (!AtWord("DEFAULT") && !AtWord("PRIMARY") && !AtWord("UNIQUE")) {
        if (Cur().kind == TokenKind::Word && IsReserved(Cur())) {
          Unsupported("CONSTRAINT " + Cur().value, Cur().pos);
        }
        Fail();
      }
    } else if (AcceptWord("DEFAULT")) {
      c.defaultValue = ParseExpr();
      if (AtWord("WITH") && AtWord("VALUES", 1)) {
        Advance();
        Advance();
        c.withValues = true;
      }
    } else if (AcceptWord("PRIMARY")) {
      ExpectWord("KEY");
      c.primaryKey = true;
      if (!AcceptWord("CLUSTERED")) AcceptWord("NONCLUSTERED");
    } else if (AcceptWord("UNIQUE")) {
      c.unique = true;
      if (!AcceptWord("CLUSTERED")) AcceptWord("NONCLUSTERED");
    } else if (AcceptWord("COLLATE")) {
      ExpectName();  // one collation for every text column
    } else if (AcceptWord("ROWGUIDCOL")) {
    } else if (AtWord("CHECK") || AtWord("REFERENCES") || AtWord("FOREIGN")) {
      Unsupported(t.value, t.pos);
    } else {
      return c;
    }
  }
}

// (col [ASC|DESC], ...)
std::vector<OrderItem> Parser::ParseIndexColumns() {
  ExpectOp("(");
  std::vector<OrderItem> items;
  do {
    OrderItem item;
    item.expr = NewExpr(ExprKind::Column, Cur());
    item.expr->name.push_back(ExpectName());
    if (AcceptWord("DESC")) {
      item.descending = true;
    } else {
      AcceptWord("ASC");
    }
    items.push_back(std::move(item));
  } while (AcceptOp(","));
  ExpectOp(")");
  return items;
}

// WITH (FILLFACTOR = 90, ...) and ON [filegroup]: storage details with no meaning here.
void Parser::SkipIndexOptions() {
  if (AtWord("WITH") && AtOp("(", 1)) {
    Advance();
    SkipParenthesized();
  }
  if (AcceptWord("ON")) {
    if (!AcceptWord("PRIMARY")) ExpectName();
  }
}

StatementPtr Parser::ParseCreateIndex(const Token& start) {
  StatementPtr s = NewStatement(StatementKind::CreateIndex, start);
  s->unique = AcceptWord("UNIQUE");
  if (!AcceptWord("CLUSTERED")) AcceptWord("NONCLUSTERED");
  ExpectWord("INDEX");
  s->indexName = ExpectName();
  ExpectWord("ON");
  s->target = ParseObjectName();
  s->indexColumns = ParseIndexColumns();
  if (AtWord("INCLUDE")) Unsupported("INCLUDE columns", Cur().pos);
  if (AtWord("WHERE")) Unsupported("filtered index", Cur().pos);
  SkipIndexOptions();
  return s;
}

StatementPtr Parser::ParseAlter(bool firstInBatch) {
  const Token& start = Advance();
  if (AtWord("TABLE")) return ParseAlterTable(start);
  if (AtWord("VIEW")) {
    if (!firstInBatch) MustBeFirstInBatch("ALTER VIEW", start.pos);
    return ParseView(start, true, false);
  }
  if (AtWord("PROCEDURE") || AtWord("PROC")) {
    if (!firstInBatch) MustBeFirstInBatch("CREATE/ALTER PROCEDURE", start.pos);
    return ParseProcedure(start, true);
  }
  if (IsOtherObjectKind(Cur())) Unsupported("ALTER " + Cur().value, Cur().pos);
  Fail();
}

StatementPtr Parser::ParseAlterTable(const Token& start) {
  StatementPtr s = NewStatement(StatementKind::AlterTable, start);
  ExpectWord("TABLE");
  s->target = ParseObjectName();
  if (AcceptWord("WITH")) {
    if (AcceptWord("NOCHECK")) {
      s->withNoCheck = true;
    } else {
      ExpectWord("CHECK");
    }
  }
  const Token& t = Cur();
  if (AtWord("CHECK") || AtWord("NOCHECK")) {
    Unsupported("ALTER TABLE " + t.value + " CONSTRAINT", t.pos);
  }
  if (AcceptWord("ALTER")) {
    ExpectWord("COLUMN");
    s->alterKind = AlterKind::AlterColumn;
    ColumnDef c;
    c.pos = Cur().pos;
    c.name = ExpectName();
    c.type = ParseType();
    if (AcceptWord("COLLATE")) ExpectName();
    if (AtWord("NOT") && AtWord("NULL", 1)) {
      Advance();
      Advance();
      c.hasNullability = true;
      c.notNull = true;
    } else if (AcceptWord("NULL")) {
      c.hasNullability = true;
    }
    s->columns.push_back(std::move(c));
  } else if (AcceptWord("ADD")) {
    ParseTableElements(*s, false);
    s->alterKind = s->columns.empty() ? AlterKind::AddConstraint : AlterKind::AddColumns;
  } else if (AcceptWord("DROP")) {
    if (AcceptWord("COLUMN")) {
      s->alterKind = AlterKind::DropColumn;
    } else {
      AcceptWord("CONSTRAINT");
      s->alterKind = AlterKind::DropConstraint;
    }
    if (AtWord("IF")) Unsupported("DROP ... IF EXISTS in ALTER TABLE", Cur().pos);
    do {
      s->dropNames.push_back(ExpectName());
    } while (AcceptOp(","));
  } else if (t.kind == TokenKind::Word) {
    Unsupported("ALTER TABLE " + t.value, t.pos);
  } else {
    Fail();
  }
  return s;
}

StatementPtr Parser::ParseDrop() {
  const Token& start = Advance();
  const Token& what = Cur();
  auto ifExists = [&](Statement& s) {
    if (AtWord("IF") && AtWord("EXISTS", 1)) {
      Advance();
      Advance();
      s.ifExists = true;
    }
  };
  if (AcceptWord("TABLE") || AcceptWord("PROCEDURE") || AcceptWord("PROC") || AcceptWord("VIEW")) {
    StatementPtr s = NewStatement(what.value == "TABLE"  ? StatementKind::DropTable
                                  : what.value == "VIEW" ? StatementKind::DropView
                                                         : StatementKind::DropProcedure,
                                  start);
    ifExists(*s);
    do {
      s->targets.push_back(ParseObjectName());
    } while (AcceptOp(","));
    return s;
  }
  if (AcceptWord("DATABASE")) {
    StatementPtr s = NewStatement(StatementKind::DropDatabase, start);
    ifExists(*s);
    s->databaseName = ExpectName();
    s->dropNames.push_back(s->databaseName);
    while (AcceptOp(",")) s->dropNames.push_back(ExpectName());
    return s;
  }
  if (AcceptWord("INDEX")) {
    // DROP INDEX i ON t, or the older DROP INDEX t.i.
    StatementPtr s = NewStatement(StatementKind::DropIndex, start);
    ifExists(*s);
    const Token& nameTok = Cur();
    ObjectName first = ParseObjectName();
    if (AcceptWord("ON")) {
      if (!first.schema.empty() || !first.database.empty()) SyntaxError(nameTok);
      s->indexName = first.object;
      s->target = ParseObjectName();
    } else {
      if (first.schema.empty()) Fail();
      s->indexName = first.object;
      s->target.object = first.schema;
      s->target.schema = first.database;
      s->target.database = first.server;
      s->target.pos = first.pos;
    }
    if (AtOp(",")) Unsupported("DROP INDEX of several indexes", Cur().pos);
    return s;
  }
  if (IsOtherObjectKind(what)) Unsupported("DROP " + what.value, what.pos);
  Fail();
}

// A declared type: name [(n) | (max) | (p, s)], by its base name or an ISO synonym.
TypeName Parser::ParseType() {
  const Token& t = Cur();
  TypeName type;
  for (const auto& syn : kTypeSynonyms) {
    size_t n = 0;
    while (n < syn.words.size() && !syn.words[n].empty() && AtWord(syn.words[n], n)) ++n;
    if (n < syn.words.size() && !syn.words[n].empty()) continue;
    for (size_t i = 0; i < n; ++i) Advance();
    type.name = syn.base;
    break;
  }
  if (type.name.empty()) {
    if (t.kind == TokenKind::Word && IsReserved(t)) Fail();
    if (t.kind != TokenKind::Word && t.kind != TokenKind::QuotedName) Fail();
    type.name = Lower(t.kind == TokenKind::Word ? t.text : t.value);
    Advance();
  }
  if (AtOp(".")) Unsupported("user-defined type", Cur().pos);
  if (!AtOp("(")) return type;
  Advance();
  auto smallInt = [&]() {
    const Token& n = Cur();
    long long v = ExpectInteger(false);
    if (v > INT_MAX) SyntaxError(n);
    return static_cast<int>(v);
  };
  if (AcceptWord("MAX")) {
    type.length = -2;
  } else {
    int first = smallInt();
    if (AcceptOp(",")) {
      type.precision = first;
      type.scale = smallInt();
    } else if (std::find(kPrecisionTypes.begin(), kPrecisionTypes.end(), type.name) !=
               kPrecisionTypes.end()) {
      type.precision = first;
    } else {
      type.length = first;
    }
  }
  ExpectOp(")");
  if (type.name == "float" && type.precision >= 1 && type.precision <= 53 && type.scale < 0) {
    if (type.precision <= kRealMantissaBits) type.name = "real";
    type.precision = -1;
  }
  return type;
}

}  // namespace xfer::engine::parse
