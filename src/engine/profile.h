// Where the engine's time goes, when XFER_PROFILE=1: parse, render, SQLite prepare and step,
// catalog probes and width checks, and per statement kind its count and time. The table is
// printed to stderr when the process ends. Off, a timer costs one predictable branch.
#pragma once

#include <chrono>
#include <string_view>

namespace xfer::engine::profile {

// ParseKept and RenderKept count the parses and renders a kept result saved (no time).
enum class Phase {
  Parse,
  Render,
  Prepare,
  Step,
  Catalog,
  WidthCheck,
  ParseKept,
  RenderKept,
  kCount
};

bool Enabled();
void Add(Phase phase, std::chrono::nanoseconds spent);
// One statement of `kind` ran, taking `spent` in all (its phases included).
void AddStatement(std::string_view kind, std::chrono::nanoseconds spent);
// XFER_PROFILE=2 also ranks the SQLite statements (as the renderer wrote them) by step time.
bool Detailed();
void AddSql(std::string_view sql, std::chrono::nanoseconds spent);
// XFER_PROFILE=3 prints the ranked statements whole, each with SQLite's query plan: true once
// per statement text, when its plan is wanted.
bool WantsPlan(std::string_view sql);
void AddPlan(std::string_view sql, std::string plan);
// Forgets what was counted so far (a benchmark profiles only its measured part).
void Reset();

// Adds the time from construction to destruction to a phase.
class Timer {
 public:
  explicit Timer(Phase phase, std::string_view sql = {})
      : phase_(phase), on_(Enabled()), sql_(sql) {
    if (on_) start_ = std::chrono::steady_clock::now();
  }
  ~Timer() {
    if (!on_) return;
    const auto spent = std::chrono::steady_clock::now() - start_;
    Add(phase_, spent);
    if (!sql_.empty() && Detailed()) AddSql(sql_, spent);
  }
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;

 private:
  Phase phase_;
  bool on_;
  std::string_view sql_;
  std::chrono::steady_clock::time_point start_;
};

}  // namespace xfer::engine::profile
