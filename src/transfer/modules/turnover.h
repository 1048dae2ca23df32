// The account turnover report of the chart-of-accounts form: a double click on an account code
// (or the popup's turnover item) asks for the turnover of that account over the current period.
// The request is the suite's drill-down selection and date condition; the rows are the period's
// voucher lines of the account with a running balance.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "db/backend.h"

namespace xfer::transfer {

struct TurnoverRequest {
  std::string selection;  // "REPORT=GARDESH_HESAB;PAGE=K;K=1001;" and the like
  std::string condition;  // "COND=SANADDATE;FR=...;TO=...;"
};

// The request for a cell of an account grid: `field` its column, `code` its text, `koll` the
// general account of the row (for a subsidiary code). Null when the field is not an account
// code or the cell is empty.
std::optional<TurnoverRequest> TurnoverFor(const std::string& field, const std::string& code,
                                           const std::string& koll, const std::string& periodStart,
                                           const std::string& periodEnd);

struct TurnoverLine {
  std::string date;
  std::string voucher;
  std::string description;
  double debit = 0;
  double credit = 0;
  double balance = 0;  // running, debit positive
};

// The voucher lines of the ledger that the request selects, in date and voucher order.
std::vector<TurnoverLine> AccountTurnover(db::Backend& b, const TurnoverRequest& request);

}  // namespace xfer::transfer
