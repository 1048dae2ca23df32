// Batch runner over a connection of the embedded engine, and opening an engine server with the
// registry in place.
#pragma once

#include <memory>
#include <string>

#include "engine/engine.h"
#include "suite/suite.h"

namespace xfer::suite {

// Runs each batch on `conn` and discards its result sets. `conn` must outlive the runner.
BatchRunner EngineRunner(engine::Connection& conn);

}  // namespace xfer::suite
