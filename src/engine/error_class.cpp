// The errors that end only their statement, as SQL Server classifies them. Conversion errors,
// names that do not resolve, THROW and anything not listed end the batch.
#include "engine/error_class.h"

#include <algorithm>
#include <array>

namespace xfer::engine {
namespace {

constexpr std::array<int, 30> kStatementErrors = {
    err::kDuplicateKey,     // 2627 primary key or unique constraint
    err::kUniqueIndex,      // 2601 unique index
    err::kNullNotAllowed,   // 515
    err::kTruncation,       // 8152
    2628,                   // truncation naming the column
    547,                    // constraint conflict
    err::kDivideByZero,     // 8134
    8115,                   // arithmetic overflow converting to a type
    220,                    // arithmetic overflow for a small integer type
    232,                    // arithmetic overflow for type int
    512,                    // a subquery returned more than one value
    err::kProcMissing,      // 2812
    201,                    // a procedure parameter not supplied
    8144,                   // too many arguments
    8145,                   // not a parameter of the procedure
    266,                    // transaction count after EXECUTE
    3902,                   // COMMIT without BEGIN TRANSACTION
    3903,                   // ROLLBACK without BEGIN TRANSACTION
    err::kCannotDropTable,  // 3701
    err::kIdentityInsert,   // 544
    628,                    // SAVE TRANSACTION outside a transaction
    6401,                   // ROLLBACK to an unknown savepoint
    16905,                  // cursor already open
    16911,                  // fetch direction of a forward-only cursor
    16915,                  // cursor already exists
    16916,                  // no such cursor
    16917,                  // cursor not open
    16924,                  // FETCH INTO count
    err::kUser,             // RAISERROR (THROW is judged apart: it always ends the batch)
    8101,                   // an explicit identity value without a column list
};

}  // namespace

bool EndsStatementOnly(int number) {
  return std::find(kStatementErrors.begin(), kStatementErrors.end(), number) !=
         kStatementErrors.end();
}

}  // namespace xfer::engine
