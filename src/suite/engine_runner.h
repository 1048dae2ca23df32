// Batch runner over a connection of the embedded engine, and opening an engine server with the
// registry in place.
#pragma once

#include <memory>
#include <string>

#include "engine/engine.h"
#include "suite/row_writer.h"
#include "suite/suite.h"

namespace xfer::suite {

// Runs each batch on `conn` and discards its result sets. `conn` must outlive the runner.
BatchRunner EngineRunner(engine::Connection& conn);
// Appends rows on `conn` through its bulk path.
RowAppender EngineAppender(engine::Connection& conn);

}  // namespace xfer::suite
