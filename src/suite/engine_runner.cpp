// Adapts the embedded engine's connection to the backend-neutral batch runner.
#include "suite/engine_runner.h"

namespace xfer::suite {

BatchRunner EngineRunner(engine::Connection& conn) {
  return [&conn](const std::string& batch) { conn.Execute(batch, [](engine::ResultSet&&) {}); };
}

RowAppender EngineAppender(engine::Connection& conn) {
  return [&conn](const std::string& table, const std::vector<std::string>& columns,
                 const std::vector<std::vector<engine::Value>>& rows) {
    conn.BulkInsert(table, columns, rows);
  };
}

}  // namespace xfer::suite
