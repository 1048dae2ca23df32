// Entry points of the T-SQL parser: a batch of text in, a syntax tree out. Nothing is executed
// here; every syntax problem is reported as a SqlError with SQL Server's number and wording
// (102, 156, 105, 191) and the line it was found on.
#pragma once

#include <string_view>

#include "engine/ast.h"

namespace xfer::engine {

// Parses a whole batch.
Batch ParseBatch(std::string_view text);
// Parses a single expression (used by tests and for column defaults).
ExprPtr ParseExpression(std::string_view text);

}  // namespace xfer::engine
