// Every error the parser raises is produced here, in SQL Server's numbers and wording.
#pragma once

#include <string_view>

#include "engine/ast.h"
#include "engine/parse/token.h"

namespace xfer::engine::parse {

constexpr int kMaxNesting = 200;      // recursion levels of the parser
constexpr int kMaxTreeHeight = 1000;  // levels of one expression or query tree
constexpr int kMaxCaseNesting = 10;   // CASE within CASE, as SQL Server documents it

bool IsReservedKeyword(std::string_view upper);

// 102 "Incorrect syntax near 'X'." or 156 "... near the keyword 'X'." for reserved words.
[[noreturn]] void SyntaxError(const Token& near);
// 102 for a character or text that is no token at all.
[[noreturn]] void SyntaxErrorNear(std::string_view text, SourcePos pos);
[[noreturn]] void UnclosedQuote(std::string_view rest, SourcePos pos);         // 105
[[noreturn]] void MissingEndComment(SourcePos pos);                            // 113
[[noreturn]] void TooDeep(SourcePos pos);                                      // 191
[[noreturn]] void CaseTooDeep(SourcePos pos);                                  // 125
[[noreturn]] void MustBeFirstInBatch(std::string_view what, SourcePos pos);    // 111
[[noreturn]] void Unsupported(std::string_view feature, SourcePos pos);        // 40000
[[noreturn]] void WithAfterStatement(SourcePos pos);                           // 319
[[noreturn]] void MaxRecursionTooHigh(std::string_view value, SourcePos pos);  // 310
[[noreturn]] void ValuesRowsDiffer(SourcePos pos);                             // 10709

}  // namespace xfer::engine::parse
