// Multi-row INSERT ... VALUES writer used by the demo generator: rows are SQL literals, sent in
// batches of a few hundred rows so that large demo servers build quickly.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "suite/suite.h"

namespace xfer::suite {

// SQL literals for row values.
std::string Lit(std::string_view text);  // quoted text
std::string Lit(long long n);
std::string Lit(int n);
std::string Lit(double x);  // shortest round-trip text
inline constexpr std::string_view kNull = "NULL";

class RowWriter {
 public:
  RowWriter(const BatchRunner& run, std::string table, std::string columns,
            size_t rowsPerBatch = 500);
  // One row, one literal per column in the order of `columns`.
  void Add(const std::vector<std::string>& literals);
  // Sends the rows not yet sent. Callers flush before the writer goes away.
  void Flush();
  long long rows() const { return rows_; }

 private:
  const BatchRunner& run_;
  std::string head_;
  size_t perBatch_;
  size_t pending_ = 0;
  size_t columnCount_;
  std::string batch_;
  long long rows_ = 0;
};

}  // namespace xfer::suite
