// Reader of the conformance case files: each record is a T-SQL batch with the outcome SQL Server
// documents for it (success, an error number, or the printed result sets), plus directives that
// switch between connections.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace xfer::engine::conformance {

enum class RecordKind { StatementOk, StatementError, Query, Connection, Disconnect };

struct Record {
  RecordKind kind = RecordKind::StatementOk;
  int line = 0;           // 1-based line of the record's header
  std::string batch;      // the T-SQL text; empty for directives
  int errorNumber = 0;    // StatementError: the SQL Server error number
  std::string errorText;  // StatementError: optional part of the message
  std::string expected;   // Query: printed result sets, trailing blank lines dropped
  int connection = 0;     // Connection / Disconnect: the connection number
};

// Throws std::runtime_error naming the offending line when the text is malformed.
std::vector<Record> ParseCaseFile(std::string_view text);

// Drops trailing blank (empty or white-space only) lines and the final line break.
std::string TrimTrailingBlankLines(std::string_view text);

}  // namespace xfer::engine::conformance
