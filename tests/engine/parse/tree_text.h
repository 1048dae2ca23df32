// Compact text form of parsed expressions, so tests can state a whole tree in one string:
// operators in prefix form "(+ a (* b c))", functions as NAME(args), literals as written.
#pragma once

#include <string>

#include "engine/ast.h"

namespace xfer::engine::test {

std::string TreeText(const Expr& e);
std::string TreeText(const ExprPtr& e);

}  // namespace xfer::engine::test
