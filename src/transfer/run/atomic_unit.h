// The one way a unit of a run writes the destination: inside a single transaction, so that a
// failure, a stop or a killed process leaves each table exactly as before or exactly as after.
#pragma once

#include <functional>
#include <string>

#include "db/session.h"

namespace xfer::transfer {

// Runs `work` in one transaction of the destination; rolls back and rethrows on any exception.
// `probeDatabase`, when given, is named once before the transaction opens, so a server that
// opens databases on first use never has to open one inside it.
void RunAtomic(db::HostDatabase& destination, const std::function<void()>& work,
               const std::string& probeDatabase = {});

}  // namespace xfer::transfer
