// The crash-test fault points: statement and commit counters that can end the process, and a
// file layer over SQLite's default one that counts writes and fails the chosen one.
#include "engine/fault_points.h"

#include <sqlite3.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>

namespace xfer::engine::fault {
namespace {

struct Settings {
  long long statement = 0;  // 0: never
  long long commit = 0;
  long long write = 0;
  long long terminate = 0;
  bool diskFull = true;  // "full" stays full; "io" fails one write only
  std::string countFile;
};

Settings settings;
std::atomic<long long> statements{0}, commits{0}, writes{0};

long long EnvNumber(const char* name) {
  const char* v = std::getenv(name);
  return v ? std::atoll(v) : 0;
}

// Ends the process the way `kill -9` does: nothing is flushed, closed or rolled back.
[[noreturn]] void Die() {
  ::kill(::getpid(), SIGKILL);
  ::_exit(137);
}

void WriteCounts() {
  FILE* f = std::fopen(settings.countFile.c_str(), "w");
  if (!f) return;
  std::fprintf(f, "statements %lld\ncommits %lld\nwrites %lld\n", statements.load(), commits.load(),
               writes.load());
  std::fclose(f);
}

// A file of the failing layer: our methods in front, the default layer's file right behind.
struct FaultFile {
  sqlite3_file base;
  sqlite3_file* real;
};

sqlite3_vfs* realVfs = nullptr;
sqlite3_vfs faultVfs;
sqlite3_io_methods faultMethods;

sqlite3_file* Real(sqlite3_file* f) {
  return reinterpret_cast<FaultFile*>(f)->real;
}

int FaultWrite(sqlite3_file* f, const void* data, int amount, sqlite3_int64 offset) {
  long long n = ++writes;
  if (settings.write > 0 && (n == settings.write || (settings.diskFull && n > settings.write)))
    return settings.diskFull ? SQLITE_FULL : SQLITE_IOERR_WRITE;
  return Real(f)->pMethods->xWrite(Real(f), data, amount, offset);
}

int FaultClose(sqlite3_file* f) {
  int rc = Real(f)->pMethods ? Real(f)->pMethods->xClose(Real(f)) : SQLITE_OK;
  f->pMethods = nullptr;
  return rc;
}

// Every other method passes straight through to the default layer.
int Read(sqlite3_file* f, void* p, int n, sqlite3_int64 o) {
  return Real(f)->pMethods->xRead(Real(f), p, n, o);
}
int Truncate(sqlite3_file* f, sqlite3_int64 size) {
  return Real(f)->pMethods->xTruncate(Real(f), size);
}
int Sync(sqlite3_file* f, int flags) {
  return Real(f)->pMethods->xSync(Real(f), flags);
}
int FileSize(sqlite3_file* f, sqlite3_int64* size) {
  return Real(f)->pMethods->xFileSize(Real(f), size);
}
int Lock(sqlite3_file* f, int level) {
  return Real(f)->pMethods->xLock(Real(f), level);
}
int Unlock(sqlite3_file* f, int level) {
  return Real(f)->pMethods->xUnlock(Real(f), level);
}
int CheckReservedLock(sqlite3_file* f, int* out) {
  return Real(f)->pMethods->xCheckReservedLock(Real(f), out);
}
int FileControl(sqlite3_file* f, int op, void* arg) {
  return Real(f)->pMethods->xFileControl(Real(f), op, arg);
}
int SectorSize(sqlite3_file* f) {
  return Real(f)->pMethods->xSectorSize(Real(f));
}
int DeviceCharacteristics(sqlite3_file* f) {
  return Real(f)->pMethods->xDeviceCharacteristics(Real(f));
}
int ShmMap(sqlite3_file* f, int region, int size, int extend, void volatile** p) {
  return Real(f)->pMethods->xShmMap(Real(f), region, size, extend, p);
}
int ShmLock(sqlite3_file* f, int offset, int n, int flags) {
  return Real(f)->pMethods->xShmLock(Real(f), offset, n, flags);
}
void ShmBarrier(sqlite3_file* f) {
  Real(f)->pMethods->xShmBarrier(Real(f));
}
int ShmUnmap(sqlite3_file* f, int deleteFlag) {
  return Real(f)->pMethods->xShmUnmap(Real(f), deleteFlag);
}
int Fetch(sqlite3_file* f, sqlite3_int64 offset, int amount, void** p) {
  return Real(f)->pMethods->xFetch(Real(f), offset, amount, p);
}
int Unfetch(sqlite3_file* f, sqlite3_int64 offset, void* p) {
  return Real(f)->pMethods->xUnfetch(Real(f), offset, p);
}

int FaultOpen(sqlite3_vfs*, const char* name, sqlite3_file* f, int flags, int* outFlags) {
  auto* file = reinterpret_cast<FaultFile*>(f);
  file->real = reinterpret_cast<sqlite3_file*>(file + 1);
  std::memset(file->real, 0, static_cast<size_t>(realVfs->szOsFile));
  int rc = realVfs->xOpen(realVfs, name, file->real, flags, outFlags);
  if (rc != SQLITE_OK || !file->real->pMethods) {
    f->pMethods = nullptr;
    return rc;
  }
  // Methods the default layer leaves out stay out: SQLite asks iVersion before using them.
  faultMethods.iVersion = file->real->pMethods->iVersion;
  f->pMethods = &faultMethods;
  return SQLITE_OK;
}

void RegisterFaultVfs() {
  realVfs = sqlite3_vfs_find(nullptr);
  faultVfs = *realVfs;
  faultVfs.zName = "xfer-fault";
  faultVfs.szOsFile = static_cast<int>(sizeof(FaultFile)) + realVfs->szOsFile;
  faultVfs.xOpen = FaultOpen;
  faultVfs.pAppData = nullptr;
  faultMethods = sqlite3_io_methods{};
  faultMethods.xClose = FaultClose;
  faultMethods.xRead = Read;
  faultMethods.xWrite = FaultWrite;
  faultMethods.xTruncate = Truncate;
  faultMethods.xSync = Sync;
  faultMethods.xFileSize = FileSize;
  faultMethods.xLock = Lock;
  faultMethods.xUnlock = Unlock;
  faultMethods.xCheckReservedLock = CheckReservedLock;
  faultMethods.xFileControl = FileControl;
  faultMethods.xSectorSize = SectorSize;
  faultMethods.xDeviceCharacteristics = DeviceCharacteristics;
  faultMethods.xShmMap = ShmMap;
  faultMethods.xShmLock = ShmLock;
  faultMethods.xShmBarrier = ShmBarrier;
  faultMethods.xShmUnmap = ShmUnmap;
  faultMethods.xFetch = Fetch;
  faultMethods.xUnfetch = Unfetch;
  sqlite3_vfs_register(&faultVfs, 1);
}

int OnCommit(void*) {
  if (++commits == settings.commit) Die();
  return 0;
}

}  // namespace

void Arm() {
  static std::once_flag once;
  std::call_once(once, [] {
    settings.statement = EnvNumber("XFER_FAULT_STATEMENT");
    settings.commit = EnvNumber("XFER_FAULT_COMMIT");
    settings.write = EnvNumber("XFER_FAULT_WRITE");
    settings.terminate = EnvNumber("XFER_FAULT_TERM");
    const char* kind = std::getenv("XFER_FAULT_KIND");
    settings.diskFull = !kind || std::strcmp(kind, "io") != 0;
    if (const char* count = std::getenv("XFER_FAULT_COUNT")) {
      settings.countFile = count;
      std::atexit(WriteCounts);
    }
    // Writes are counted only through the failing layer, so it is in place whenever a count
    // or a write fault is asked for.
    if (settings.write > 0 || !settings.countFile.empty()) RegisterFaultVfs();
  });
}

void Statement() {
  long long n = ++statements;
  if (n == settings.statement) Die();
  // A termination request in the middle of the work, as `kill` or a service manager sends it.
  if (n == settings.terminate) std::raise(SIGTERM);
}

void Watch(sqlite3* db) {
  sqlite3_commit_hook(db, OnCommit, nullptr);
}

}  // namespace xfer::engine::fault
