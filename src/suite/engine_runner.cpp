// Adapts the embedded engine's connection to the backend-neutral batch runner.
#include "suite/engine_runner.h"

namespace xfer::suite {

BatchRunner EngineRunner(engine::Connection& conn) {
  return [&conn](const std::string& batch) { conn.Execute(batch, [](engine::ResultSet&&) {}); };
}

}  // namespace xfer::suite
