// Literal formatting and batched INSERT ... VALUES for the demo generator.
#include "suite/row_writer.h"

#include <algorithm>
#include <charconv>
#include <stdexcept>

#include "db/text_util.h"

namespace xfer::suite {

std::string Lit(std::string_view text) {
  return db::Quote(text);
}
std::string Lit(long long n) {
  return std::to_string(n);
}
std::string Lit(int n) {
  return std::to_string(n);
}
std::string Lit(double x) {
  char buf[64];
  auto r = std::to_chars(buf, buf + sizeof buf, x);
  return std::string(buf, r.ptr);
}

RowWriter::RowWriter(const BatchRunner& run, std::string table, std::string columns,
                     size_t rowsPerBatch)
    : run_(run),
      head_("INSERT INTO " + table + " (" + columns + ") VALUES "),
      perBatch_(std::max<size_t>(1, rowsPerBatch)),
      columnCount_(static_cast<size_t>(std::count(columns.begin(), columns.end(), ',')) + 1) {}

void RowWriter::Add(const std::vector<std::string>& literals) {
  if (literals.size() != columnCount_)
    throw std::invalid_argument("row of " + std::to_string(literals.size()) + " values for " +
                                head_);
  batch_ += pending_ == 0 ? head_ : std::string(",\n");
  batch_ += '(';
  for (size_t i = 0; i < literals.size(); ++i) {
    if (i) batch_ += ", ";
    batch_ += literals[i];
  }
  batch_ += ')';
  ++rows_;
  if (++pending_ == perBatch_) Flush();
}

void RowWriter::Flush() {
  if (pending_ == 0) return;
  run_(batch_);
  batch_.clear();
  pending_ = 0;
}

}  // namespace xfer::suite
