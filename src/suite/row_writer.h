// Row writer of the demo generator: rows are SQL literals, sent in batches of a few hundred
// rows, as multi-row INSERT ... VALUES or, where the server takes them, as appended values.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/value.h"
#include "suite/suite.h"

namespace xfer::suite {

// Appends rows of values to a table by column name (the embedded engine's bulk path, which
// skips parsing the rows as T-SQL text).
using RowAppender =
    std::function<void(const std::string& table, const std::vector<std::string>& columns,
                       const std::vector<std::vector<engine::Value>>& rows)>;

// Where the generator's batches and rows go. Without an appender, rows go as INSERT text.
struct DemoRunner {
  BatchRunner batch;
  RowAppender append;
  void operator()(const std::string& sql) const { batch(sql); }
};

// SQL literals for row values.
std::string Lit(std::string_view text);  // quoted text
std::string Lit(long long n);
std::string Lit(int n);
std::string Lit(double x);  // shortest round-trip text
inline constexpr std::string_view kNull = "NULL";

class RowWriter {
 public:
  RowWriter(const DemoRunner& run, std::string table, std::string columns,
            size_t rowsPerBatch = 500);
  // One row, one literal per column in the order of `columns`.
  void Add(const std::vector<std::string>& literals);
  // Sends the rows not yet sent. Callers flush before the writer goes away.
  void Flush();
  long long rows() const { return rows_; }

 private:
  DemoRunner run_;
  std::string table_;
  std::vector<std::string> columns_;
  std::string head_;
  size_t perBatch_;
  size_t pending_ = 0;
  std::string batch_;                             // rows as INSERT text
  std::vector<std::vector<engine::Value>> values_;  // or as values, when all were plain literals
  long long rows_ = 0;
};

}  // namespace xfer::suite
