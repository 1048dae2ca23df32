// Splits one T-SQL batch into tokens: names, variables, literals, operators, with positions.
// Comments and white space are dropped. Throws SqlError for text that cannot be a token
// (an unclosed string or bracket, a missing end of comment, a stray character).
#pragma once

#include <string_view>
#include <vector>

#include "engine/parse/token.h"

namespace xfer::engine::parse {

// The returned list always ends with a TokenKind::End token.
std::vector<Token> Tokenize(std::string_view text);

}  // namespace xfer::engine::parse
