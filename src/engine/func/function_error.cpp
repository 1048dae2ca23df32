// How a SQLite function hands a SQL Server error to the executor: the error number travels
// in front of the message as "@NNN@". Encoding and decoding live together here.
#include <string>

#include "engine/func/func_common.h"
#include "engine/func/functions.h"

namespace xfer::engine {

namespace func {
void RaiseError(sqlite3_context* ctx, int number, const std::string& message) {
  // TRY_CAST and TRY_CONVERT answer NULL where the conversion would fail.
  if (sqlite3_user_data(ctx) == &kTryConversion) return sqlite3_result_null(ctx);
  const std::string text = "@" + std::to_string(number) + "@" + message;
  sqlite3_result_error(ctx, text.c_str(), static_cast<int>(text.size()));
}
}  // namespace func

bool DecodeFunctionError(std::string_view sqliteMessage, int* number, std::string* message) {
  if (sqliteMessage.size() < 3 || sqliteMessage[0] != '@') return false;
  const size_t end = sqliteMessage.find('@', 1);
  if (end == std::string_view::npos || end == 1 || end > 7) return false;
  int n = 0;
  for (size_t i = 1; i < end; ++i) {
    const char c = sqliteMessage[i];
    if (c < '0' || c > '9') return false;
    n = n * 10 + (c - '0');
  }
  *number = n;
  *message = std::string(sqliteMessage.substr(end + 1));
  return true;
}

}  // namespace xfer::engine
