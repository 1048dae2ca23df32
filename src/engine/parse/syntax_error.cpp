// Error construction for the tokenizer and parser, and the list of reserved keywords that
// decides between SQL Server's messages 102 and 156.
#include "engine/parse/syntax_error.h"

#include <algorithm>
#include <array>
#include <string>

#include "engine/error.h"

namespace xfer::engine::parse {
namespace {

// Parse errors are severity 15 in SQL Server.
constexpr int kParseSeverity = 15;

// T-SQL reserved keywords, sorted for binary search.
constexpr std::array<std::string_view, 185> kReserved = {"ADD",
                                                         "ALL",
                                                         "ALTER",
                                                         "AND",
                                                         "ANY",
                                                         "AS",
                                                         "ASC",
                                                         "AUTHORIZATION",
                                                         "BACKUP",
                                                         "BEGIN",
                                                         "BETWEEN",
                                                         "BREAK",
                                                         "BROWSE",
                                                         "BULK",
                                                         "BY",
                                                         "CASCADE",
                                                         "CASE",
                                                         "CHECK",
                                                         "CHECKPOINT",
                                                         "CLOSE",
                                                         "CLUSTERED",
                                                         "COALESCE",
                                                         "COLLATE",
                                                         "COLUMN",
                                                         "COMMIT",
                                                         "COMPUTE",
                                                         "CONSTRAINT",
                                                         "CONTAINS",
                                                         "CONTAINSTABLE",
                                                         "CONTINUE",
                                                         "CONVERT",
                                                         "CREATE",
                                                         "CROSS",
                                                         "CURRENT",
                                                         "CURRENT_DATE",
                                                         "CURRENT_TIME",
                                                         "CURRENT_TIMESTAMP",
                                                         "CURRENT_USER",
                                                         "CURSOR",
                                                         "DATABASE",
                                                         "DBCC",
                                                         "DEALLOCATE",
                                                         "DECLARE",
                                                         "DEFAULT",
                                                         "DELETE",
                                                         "DENY",
                                                         "DESC",
                                                         "DISK",
                                                         "DISTINCT",
                                                         "DISTRIBUTED",
                                                         "DOUBLE",
                                                         "DROP",
                                                         "DUMP",
                                                         "ELSE",
                                                         "END",
                                                         "ERRLVL",
                                                         "ESCAPE",
                                                         "EXCEPT",
                                                         "EXEC",
                                                         "EXECUTE",
                                                         "EXISTS",
                                                         "EXIT",
                                                         "EXTERNAL",
                                                         "FETCH",
                                                         "FILE",
                                                         "FILLFACTOR",
                                                         "FOR",
                                                         "FOREIGN",
                                                         "FREETEXT",
                                                         "FREETEXTTABLE",
                                                         "FROM",
                                                         "FULL",
                                                         "FUNCTION",
                                                         "GOTO",
                                                         "GRANT",
                                                         "GROUP",
                                                         "HAVING",
                                                         "HOLDLOCK",
                                                         "IDENTITY",
                                                         "IDENTITYCOL",
                                                         "IDENTITY_INSERT",
                                                         "IF",
                                                         "IN",
                                                         "INDEX",
                                                         "INNER",
                                                         "INSERT",
                                                         "INTERSECT",
                                                         "INTO",
                                                         "IS",
                                                         "JOIN",
                                                         "KEY",
                                                         "KILL",
                                                         "LEFT",
                                                         "LIKE",
                                                         "LINENO",
                                                         "LOAD",
                                                         "MERGE",
                                                         "NATIONAL",
                                                         "NOCHECK",
                                                         "NONCLUSTERED",
                                                         "NOT",
                                                         "NULL",
                                                         "NULLIF",
                                                         "OF",
                                                         "OFF",
                                                         "OFFSETS",
                                                         "ON",
                                                         "OPEN",
                                                         "OPENDATASOURCE",
                                                         "OPENQUERY",
                                                         "OPENROWSET",
                                                         "OPENXML",
                                                         "OPTION",
                                                         "OR",
                                                         "ORDER",
                                                         "OUTER",
                                                         "OVER",
                                                         "PERCENT",
                                                         "PIVOT",
                                                         "PLAN",
                                                         "PRECISION",
                                                         "PRIMARY",
                                                         "PRINT",
                                                         "PROC",
                                                         "PROCEDURE",
                                                         "PUBLIC",
                                                         "RAISERROR",
                                                         "READ",
                                                         "READTEXT",
                                                         "RECONFIGURE",
                                                         "REFERENCES",
                                                         "REPLICATION",
                                                         "RESTORE",
                                                         "RESTRICT",
                                                         "RETURN",
                                                         "REVERT",
                                                         "REVOKE",
                                                         "RIGHT",
                                                         "ROLLBACK",
                                                         "ROWCOUNT",
                                                         "ROWGUIDCOL",
                                                         "RULE",
                                                         "SAVE",
                                                         "SCHEMA",
                                                         "SECURITYAUDIT",
                                                         "SELECT",
                                                         "SEMANTICKEYPHRASETABLE",
                                                         "SEMANTICSIMILARITYDETAILSTABLE",
                                                         "SEMANTICSIMILARITYTABLE",
                                                         "SESSION_USER",
                                                         "SET",
                                                         "SETUSER",
                                                         "SHUTDOWN",
                                                         "SOME",
                                                         "STATISTICS",
                                                         "SYSTEM_USER",
                                                         "TABLE",
                                                         "TABLESAMPLE",
                                                         "TEXTSIZE",
                                                         "THEN",
                                                         "TO",
                                                         "TOP",
                                                         "TRAN",
                                                         "TRANSACTION",
                                                         "TRIGGER",
                                                         "TRUNCATE",
                                                         "TRY_CONVERT",
                                                         "TSEQUAL",
                                                         "UNION",
                                                         "UNIQUE",
                                                         "UNPIVOT",
                                                         "UPDATE",
                                                         "UPDATETEXT",
                                                         "USE",
                                                         "USER",
                                                         "VALUES",
                                                         "VARYING",
                                                         "VIEW",
                                                         "WAITFOR",
                                                         "WHEN",
                                                         "WHERE",
                                                         "WHILE",
                                                         "WITH",
                                                         "WITHIN",
                                                         "WRITETEXT"};

[[noreturn]] void Throw(int number, std::string message, SourcePos pos,
                        int severity = kParseSeverity) {
  throw SqlError(number, std::move(message), severity, 1, pos.line);
}

}  // namespace

bool IsReservedKeyword(std::string_view upper) {
  return std::binary_search(kReserved.begin(), kReserved.end(), upper);
}

void SyntaxError(const Token& near) {
  if (near.kind == TokenKind::Word && IsReservedKeyword(near.value)) {
    Throw(err::kSyntaxKeyword, "Incorrect syntax near the keyword '" + near.text + "'.", near.pos);
  }
  const bool unescaped = near.kind == TokenKind::String || near.kind == TokenKind::NString ||
                         near.kind == TokenKind::QuotedName;
  SyntaxErrorNear(unescaped ? near.value : near.text, near.pos);
}

void SyntaxErrorNear(std::string_view text, SourcePos pos) {
  Throw(err::kSyntax, "Incorrect syntax near '" + std::string(text) + "'.", pos);
}

void UnclosedQuote(std::string_view rest, SourcePos pos) {
  Throw(105, "Unclosed quotation mark after the character string '" + std::string(rest) + "'.",
        pos);
}

void MissingEndComment(SourcePos pos) {
  Throw(113, "Missing end comment mark '*/'.", pos);
}

void TooDeep(SourcePos pos) {
  Throw(191,
        "Some part of your SQL statement is nested too deeply. Rewrite the query or break it "
        "up into smaller queries.",
        pos);
}

void CaseTooDeep(SourcePos pos) {
  Throw(125,
        "Case expressions may only be nested to level " + std::to_string(kMaxCaseNesting) + ".",
        pos);
}

void MustBeFirstInBatch(std::string_view what, SourcePos pos) {
  Throw(111, "'" + std::string(what) + "' must be the first statement in a query batch.", pos);
}

void Unsupported(std::string_view feature, SourcePos pos) {
  Throw(err::kUnsupported,
        "The T-SQL feature '" + std::string(feature) + "' is not supported (line " +
            std::to_string(pos.line) + ", position " + std::to_string(pos.column) + ").",
        pos, 16);
}

void WithAfterStatement(SourcePos pos) {
  Throw(319,
        "Incorrect syntax near the keyword 'with'. If this statement is a common table "
        "expression, an xmlnamespaces clause or a change tracking context clause, the previous "
        "statement must be terminated with a semicolon.",
        pos);
}

void MaxRecursionTooHigh(std::string_view value, SourcePos pos) {
  Throw(310,
        "The value " + std::string(value) +
            " specified for the MAXRECURSION option exceeds the allowed maximum of 32767.",
        pos, 16);
}

void ValuesRowsDiffer(SourcePos pos) {
  Throw(10709, "The number of columns for each row in a table value constructor must be the same.",
        pos, 16);
}

}  // namespace xfer::engine::parse
