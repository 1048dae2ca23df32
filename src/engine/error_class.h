// How far an error reaches outside TRY when XACT_ABORT is off: most run-time errors end only
// the statement that raised it (the batch goes on with @@ERROR set), the others end the batch.
#pragma once

#include "engine/error.h"

namespace xfer::engine {

// An error already judged to end the batch: the statements around it pass it on untouched.
class BatchAbort : public SqlError {
 public:
  explicit BatchAbort(const SqlError& e) : SqlError(e) {}
};

// Whether error `number` ends only its statement when no TRY block and no XACT_ABORT holds it.
bool EndsStatementOnly(int number);

}  // namespace xfer::engine
