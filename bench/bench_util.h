// What every benchmark shares: a clock, the seconds since a start, and the hand-written side's
// way of running SQLite text (a failure ends the benchmark, since its figures would mean nothing).
#pragma once

#include <sqlite3.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace xfer::bench {

using Clock = std::chrono::steady_clock;

inline double Since(Clock::time_point t) {
  return std::chrono::duration<double>(Clock::now() - t).count();
}

// XFER_BENCH_TRACE=1 prints each statement's time, to set against the engine's XFER_PROFILE.
inline void Raw(sqlite3* db, const std::string& sql) {
  static const bool trace = std::getenv("XFER_BENCH_TRACE") != nullptr;
  const auto start = Clock::now();
  char* err = nullptr;
  if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &err) != SQLITE_OK) {
    std::fprintf(stderr, "sqlite: %s\n  in %s\n", err, sql.c_str());
    std::exit(1);
  }
  if (trace) std::fprintf(stderr, "  raw %8.3f  %.100s\n", Since(start), sql.c_str());
}

// A suite key expression ("a + b") as SQLite writes concatenation.
inline std::string SqliteKey(std::string key) {
  for (size_t at; (at = key.find('+')) != std::string::npos;) key.replace(at, 1, "||");
  return key;
}

}  // namespace xfer::bench
