// Small helpers the document imports share when they build statements and read their answers:
// result-set cells as text, numbers right-aligned as the periods compare them, the refusal that
// rolls an apply back, and the progress window held open for one step.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "db/dialogs.h"
#include "db/record_set.h"

namespace xfer::import {

// Thrown inside an apply's transaction when a check fails there; the transaction rolls back.
class Refusal : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A cell as text ("" for NULL or a cell outside the set).
std::string Text(const db::ResultSet& rs, size_t row, size_t col);
long long Number(const db::ResultSet& rs, size_t row, size_t col);
// Every `from` in `s` replaced by `to`.
std::string Replace(std::string s, const std::string& from, const std::string& to);
// The last result set of a batch (an empty one when there is none).
db::ResultSet Last(std::vector<db::ResultSet> sets);
// A number right-aligned in 20 characters: numbers compare as text whether the period stores
// them padded or not. The column expression, and a typed number as a quoted literal.
std::string Aligned(const std::string& column);
std::string AlignedLiteral(const std::string& typed);
// An unset date edit: empty or only its separators.
bool BlankDate(const std::string& d);

// The progress window shown for one step, hidden however the step ends.
class StateGuard {
 public:
  StateGuard(db::Dialogs& d, const std::string& title, const std::string& text) : d_(d) {
    d_.ShowState("INFO", title, text);
  }
  ~StateGuard() { d_.HideState(); }
  StateGuard(const StateGuard&) = delete;
  StateGuard& operator=(const StateGuard&) = delete;

 private:
  db::Dialogs& d_;
};

}  // namespace xfer::import
