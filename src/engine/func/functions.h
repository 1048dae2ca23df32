// SQL Server's scalar functions, text collation and LIKE, installed on every SQLite
// connection of the engine, and the table that maps each T-SQL function to its SQLite
// implementation and result-type rule. One row per function: adding a function is adding a
// row here and its implementation in func/*.cpp.
#pragma once

#include <string_view>

struct sqlite3;

namespace xfer::engine {

// The collation every text column and text comparison uses: case-insensitive for ASCII
// letters, trailing blanks ignored, other bytes (UTF-8 Persian) compared as they are.
inline constexpr const char* kCollation = "XFER";

// How a function's static result type is derived.
enum class ResultRule {
  Int,          // int
  BigInt,       // bigint
  Float,        // float
  Arg0,         // the type of the first argument (ABS, ROUND, ISNULL)
  StringArg0,   // varchar of the first argument's length (LTRIM, UPPER, SUBSTRING, LEFT...)
  String8000,   // varchar(8000) (REPLACE, REPLICATE, SPACE, CHAR...)
  String10,     // varchar(10) (STR without length)
  FirstNonNull, // the type of the first argument whose type is known (COALESCE)
  DateTime,     // datetime (GETDATE)
  Aggregate,    // COUNT -> int; SUM/MIN/MAX/AVG -> type of the argument (AVG of int stays int)
};

struct FunctionInfo {
  const char* tsqlName;    // upper-case T-SQL name
  const char* sqliteName;  // name registered on the SQLite connection (or SQLite builtin)
  int minArgs;
  int maxArgs;             // -1: any number
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

// LIKE as SQL Server matches it; `escape` 0 when there is none.
bool LikeMatch(std::string_view text, std::string_view pattern, char escape = 0);

}  // namespace xfer::engine
