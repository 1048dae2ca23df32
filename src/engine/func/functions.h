// SQL Server's scalar functions, text collation and LIKE, installed on every SQLite
// connection of the engine, and the table that maps each T-SQL function to its SQLite
// implementation and result-type rule. One row per function: adding a function is adding a
// row here and its implementation in func/*.cpp.
#pragma once

#include <string>
#include <string_view>

struct sqlite3;

namespace xfer::engine {

// The collation every text column and text comparison uses: case-insensitive for ASCII
// letters, trailing blanks ignored, other bytes (UTF-8 Persian) compared as they are.
inline constexpr const char* kCollation = "XFER";

// How a function's static result type is derived.
enum class ResultRule {
  Int,           // int
  BigInt,        // bigint
  Float,         // float
  Arg0,          // the type of the first argument (ABS, ROUND, ISNULL)
  StringArg0,    // varchar of the first argument's length (LTRIM, UPPER, SUBSTRING, LEFT...)
  String8000,    // varchar(8000) (REPLACE, REPLICATE, SPACE, CHAR...)
  String10,      // varchar(10) (STR without length)
  FirstNonNull,  // the type of the first argument whose type is known (COALESCE)
  DateTime,      // datetime (GETDATE)
  Date,          // date (EOMONTH, DATEFROMPARTS)
  NString30,     // nvarchar(30) (DATENAME)
  NString258,    // nvarchar(258) (QUOTENAME)
  Aggregate,     // COUNT -> int; SUM/MIN/MAX/AVG -> type of the argument (AVG of int stays int)
};

struct FunctionInfo {
  const char* tsqlName;    // upper-case T-SQL name
  const char* sqliteName;  // name registered on the SQLite connection (or SQLite builtin)
  int minArgs;
  int maxArgs;  // -1: any number
  ResultRule rule;
  bool aggregate;
};

// The function of that T-SQL name (upper-case), or null when the engine does not know it.
const FunctionInfo* FindFunction(std::string_view upperName);

// Installs the collation, LIKE (with %, _, [...] and [^...], ESCAPE) and every function of
// the table on `db`. Returns SQLITE_OK or the first SQLite error code.
int RegisterFunctions(sqlite3* db);

// Text comparison of the collation: <0, 0, >0.
int CompareText(std::string_view a, std::string_view b);

// LIKE as SQL Server matches it; `escape` 0 when there is none. Trailing blanks of `text` are
// ignored, every character of `pattern` counts.
bool LikeMatch(std::string_view text, std::string_view pattern, char escape = 0);

// A function raises a SQL Server error through sqlite3_result_error with the text
// "@NNN@message". This splits such a SQLite error message into number and text; false when the
// message carries no number.
bool DecodeFunctionError(std::string_view sqliteMessage, int* number, std::string* message);

// Helpers the renderer calls directly (besides the functions of the table):
//   like(pattern, text [, escape])   SQL Server LIKE; replaces SQLite's LIKE operator
//   xf_add(a, b)                     `+`: concatenates text, adds numbers, text + number
//                                    converts the text; a date text + number adds days
//   xf_div(a, b), xf_mod(a, b)       `/` and `%`: integer when both are integers; 8134 on zero
//   xf_cast(v, type [, style [, sourceType]])
//                                    CAST/CONVERT to a declared type text ("varchar(10)");
//                                    sourceType ("numeric(18,2)", "money") prints a REAL with
//                                    its scale instead of as a float
//   xf_check_len(v, n)               1 when text v fits varchar(n), else error 8152

}  // namespace xfer::engine
