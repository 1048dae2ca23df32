// SQLite's page caches draw on one region set aside at start, backed by huge pages where the
// system offers them. The caches of a large transfer come to a hundred megabytes and more; taken
// from the heap page by page, each fresh page costs a fault, which on a virtual machine is
// dear. Slots freed by one connection serve the next, so later work touches no new memory.
#include "engine/page_memory.h"

#include <sqlite3.h>
#include <sys/mman.h>

#include <mutex>

namespace xfer::engine {

namespace {

constexpr size_t kSlots = 32768;    // 4 KB pages: 128 MB of cache, shared by every connection
constexpr int kLargestPage = 4096;  // larger pages (none of ours) come from the heap as before

}  // namespace

void ReservePageMemory() {
  static std::once_flag once;
  std::call_once(once, [] {
    int header = 0;
    if (sqlite3_config(SQLITE_CONFIG_PCACHE_HDRSZ, &header) != SQLITE_OK) return;
    const size_t slot = (kLargestPage + header + 7) & ~size_t(7);
    const size_t bytes = slot * kSlots;
    void* region = mmap(nullptr, bytes, PROT_READ | PROT_WRITE,
                        MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (region == MAP_FAILED) return;
    madvise(region, bytes, MADV_HUGEPAGE);
    // Refused once SQLite is in use (a caller that opened it first): the heap serves as before.
    if (sqlite3_config(SQLITE_CONFIG_PAGECACHE, region, int(slot), int(kSlots)) != SQLITE_OK)
      munmap(region, bytes);
  });
}

}  // namespace xfer::engine
