// Remote procedure calls as ODBC and FreeTDS clients send them: sp_executesql for statements
// with parameters, sp_prepare / sp_prepexec / sp_execute / sp_unprepare for prepared ones, and
// plain procedure calls by name. A call is parsed into its parameters, each value turned into
// a T-SQL literal, and then rewritten as the batch the engine runs.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace xfer::server {

struct RpcParam {
  std::string name;     // "@P1", or empty when passed by position
  std::string literal;  // the value as a T-SQL literal ("NULL", "N'...'", "12", "0x0A")
  std::string text;     // the value as text (statement and parameter list arguments)
  bool output = false;
};

enum class WellKnownProc {
  kNone = 0,
  kExecuteSql = 10,
  kPrepare = 11,
  kExecute = 12,
  kPrepExec = 13,
  kUnprepare = 15,
};

struct RpcCall {
  WellKnownProc proc = WellKnownProc::kNone;
  std::string name;  // a procedure called by name
  std::vector<RpcParam> params;
};

// Parses an RPC request body (after the ALL_HEADERS block). Throws ProtocolError.
RpcCall ParseRpc(std::string_view body);

// The batch that runs `statement` with the parameters declared in `declarations`
// ("@P1 int, @P2 nvarchar(40) OUTPUT") set to `values` (by name or by position).
std::string ParameterizedBatch(const std::string& declarations, const std::string& statement,
                               const std::vector<RpcParam>& values);

// `EXEC name @a = literal, ...` for a procedure called by name.
std::string ProcedureBatch(const RpcCall& call);

}  // namespace xfer::server
