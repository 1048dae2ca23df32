// The table of T-SQL functions the engine knows, and the installation of the collation, LIKE
// and every implementation on a SQLite connection.
#include <algorithm>
#include <cstring>
#include <iterator>

#include "engine/func/func_common.h"
#include "engine/func/functions.h"

namespace xfer::engine {
namespace {

using R = ResultRule;

// Sorted by T-SQL name for the binary search.
constexpr FunctionInfo kFunctions[] = {
    {"ABS", "xf_abs", 1, 1, R::Arg0, false},
    {"ASCII", "xf_ascii", 1, 1, R::Int, false},
    {"ATAN", "xf_atan", 1, 1, R::Float, false},
    {"AVG", "avg", 1, 1, R::Aggregate, true},
    {"CEILING", "xf_ceiling", 1, 1, R::Arg0, false},
    {"CHAR", "xf_char", 1, 1, R::String8000, false},
    {"CHARINDEX", "xf_charindex", 2, 3, R::Int, false},
    {"COALESCE", "xf_coalesce", 2, -1, R::FirstNonNull, false},
    {"CONCAT", "xf_concat", 2, -1, R::String8000, false},
    {"CONCAT_WS", "xf_concat_ws", 3, -1, R::String8000, false},
    {"COS", "xf_cos", 1, 1, R::Float, false},
    {"COT", "xf_cot", 1, 1, R::Float, false},
    {"COUNT", "count", 0, 1, R::Aggregate, true},
    {"COUNT_BIG", "count", 0, 1, R::BigInt, true},
    {"CURRENT_TIMESTAMP", "xf_getdate", 0, 0, R::DateTime, false},
    {"DATALENGTH", "xf_datalength", 1, 1, R::Int, false},
    {"DATEADD", "xf_dateadd", 3, 3, R::DateTime, false},
    {"DATEDIFF", "xf_datediff", 3, 3, R::Int, false},
    {"DATEDIFF_BIG", "xf_datediff", 3, 3, R::BigInt, false},
    {"DATEFROMPARTS", "xf_datefromparts", 3, 3, R::Date, false},
    {"DATENAME", "xf_datename", 2, 2, R::NString30, false},
    {"DATEPART", "xf_datepart", 2, 2, R::Int, false},
    {"DATETIMEFROMPARTS", "xf_datetimefromparts", 7, 7, R::DateTime, false},
    {"DAY", "xf_day", 1, 1, R::Int, false},
    {"DEGREES", "xf_degrees", 1, 1, R::Arg0, false},
    {"EOMONTH", "xf_eomonth", 1, 2, R::Date, false},
    {"EXP", "xf_exp", 1, 1, R::Float, false},
    {"FLOOR", "xf_floor", 1, 1, R::Arg0, false},
    {"GETDATE", "xf_getdate", 0, 0, R::DateTime, false},
    {"GETUTCDATE", "xf_getutcdate", 0, 0, R::DateTime, false},
    {"ISDATE", "xf_isdate", 1, 1, R::Int, false},
    {"ISNULL", "xf_isnull", 2, 2, R::Arg0, false},
    {"ISNUMERIC", "xf_isnumeric", 1, 1, R::Int, false},
    {"LEFT", "xf_left", 2, 2, R::StringArg0, false},
    {"LEN", "xf_len", 1, 1, R::Int, false},
    {"LOG", "xf_log", 1, 2, R::Float, false},
    {"LOG10", "xf_log10", 1, 1, R::Float, false},
    {"LOWER", "xf_lower", 1, 1, R::StringArg0, false},
    {"LTRIM", "xf_ltrim", 1, 2, R::StringArg0, false},
    {"MAX", "max", 1, 1, R::Aggregate, true},
    {"MIN", "min", 1, 1, R::Aggregate, true},
    {"MONTH", "xf_month", 1, 1, R::Int, false},
    {"NCHAR", "xf_nchar", 1, 1, R::String8000, false},
    {"NEWID", "xf_newid", 0, 0, R::String8000, false},
    {"NULLIF", "xf_nullif", 2, 2, R::Arg0, false},
    {"PATINDEX", "xf_patindex", 2, 2, R::Int, false},
    {"PI", "xf_pi", 0, 0, R::Float, false},
    {"POWER", "xf_power", 2, 2, R::Arg0, false},
    {"QUOTENAME", "xf_quotename", 1, 2, R::NString258, false},
    {"RADIANS", "xf_radians", 1, 1, R::Arg0, false},
    {"RAND", "xf_rand", 0, 1, R::Float, false},
    {"REPLACE", "xf_replace", 3, 3, R::String8000, false},
    {"REPLICATE", "xf_replicate", 2, 2, R::String8000, false},
    {"REVERSE", "xf_reverse", 1, 1, R::StringArg0, false},
    {"RIGHT", "xf_right", 2, 2, R::StringArg0, false},
    {"ROUND", "xf_round", 2, 3, R::Arg0, false},
    {"RTRIM", "xf_rtrim", 1, 2, R::StringArg0, false},
    {"SIGN", "xf_sign", 1, 1, R::Arg0, false},
    {"SIN", "xf_sin", 1, 1, R::Float, false},
    {"SPACE", "xf_space", 1, 1, R::String8000, false},
    {"SQRT", "xf_sqrt", 1, 1, R::Float, false},
    {"SQUARE", "xf_square", 1, 1, R::Float, false},
    {"STR", "xf_str", 1, 3, R::String10, false},
    {"STRING_AGG", "group_concat", 2, 2, R::String8000, true},
    {"STUFF", "xf_stuff", 4, 4, R::String8000, false},
    {"SUBSTRING", "xf_substring", 3, 3, R::StringArg0, false},
    {"SUM", "sum", 1, 1, R::Aggregate, true},
    {"SYSDATETIME", "xf_sysdatetime", 0, 0, R::DateTime, false},
    {"TAN", "xf_tan", 1, 1, R::Float, false},
    {"TRANSLATE", "xf_translate", 3, 3, R::StringArg0, false},
    {"TRIM", "xf_trim", 1, 2, R::StringArg0, false},
    {"UNICODE", "xf_unicode", 1, 1, R::Int, false},
    {"UPPER", "xf_upper", 1, 1, R::StringArg0, false},
    {"YEAR", "xf_year", 1, 1, R::Int, false},
};

}  // namespace

const FunctionInfo* FindFunction(std::string_view upperName) {
  // Callers pass upper case; folding here keeps a lower-case caller from missing a row.
  char buf[32];
  if (upperName.size() > sizeof buf) return nullptr;
  for (size_t i = 0; i < upperName.size(); ++i) buf[i] = func::UpperAscii(upperName[i]);
  upperName = std::string_view(buf, upperName.size());
  const auto* it = std::lower_bound(std::begin(kFunctions), std::end(kFunctions), upperName,
                                    [](const FunctionInfo& f, std::string_view name) {
                                      return std::string_view(f.tsqlName) < name;
                                    });
  if (it == std::end(kFunctions) || std::string_view(it->tsqlName) != upperName) return nullptr;
  return it;
}

int RegisterFunctions(sqlite3* db) {
  int rc = func::RegisterCollation(db);
  if (rc != SQLITE_OK) return rc;
  for (auto impls :
       {func::LikeImpls(), func::StringImpls(), func::MathImpls(), func::ArithmeticImpls(),
        func::CastImpls(), func::DateImpls(), func::FormatImpls()}) {
    for (const func::Impl& f : impls) {
      const int flags = SQLITE_UTF8 | (f.deterministic ? SQLITE_DETERMINISTIC : 0);
      rc = sqlite3_create_function_v2(db, f.name, f.nArg, flags, nullptr, f.fn, nullptr, nullptr,
                                      nullptr);
      if (rc != SQLITE_OK) return rc;
    }
  }
  rc = func::RegisterDecimalFunctions(db);
  if (rc != SQLITE_OK) return rc;
  for (int n = 2; n <= 4; ++n) {
    rc = sqlite3_create_function_v2(db, "xf_try_cast", n, SQLITE_UTF8 | SQLITE_DETERMINISTIC,
                                    const_cast<int*>(&func::kTryConversion), func::CastFunction,
                                    nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) return rc;
  }
  return SQLITE_OK;
}

}  // namespace xfer::engine
