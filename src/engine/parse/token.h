// Tokens of T-SQL text as the lexer hands them to the parser.
#pragma once

#include <string>

#include "engine/ast.h"

namespace xfer::engine::parse {

enum class TokenKind {
  Word,        // identifier or keyword, unquoted
  QuotedName,  // [bracketed] or "double quoted" identifier
  Variable,    // @name or @@NAME
  String,      // '...'
  NString,     // N'...'
  Integer,     // 123
  Decimal,     // 1.5, .5, 1.
  Float,       // 1e3, 1.5E-2
  Money,       // $12.50
  Binary,      // 0x1F
  Operator,    // punctuation and operators, including two-character ones such as <= and +=
  End,         // end of the batch
};

struct Token {
  TokenKind kind = TokenKind::End;
  std::string text;   // as written in the batch
  std::string value;  // Word: upper-cased; strings and quoted names: unescaped content;
                      // Money: digits without '$'; otherwise the same as text
  SourcePos pos;
  size_t end = 0;  // byte offset just past the token
};

}  // namespace xfer::engine::parse
