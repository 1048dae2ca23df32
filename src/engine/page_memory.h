// One region for every SQLite page cache of the process (see page_memory.cpp).
#pragma once

namespace xfer::engine {

// Before the first database opens; later calls, and calls after SQLite is in use, do nothing.
void ReservePageMemory();

}  // namespace xfer::engine
