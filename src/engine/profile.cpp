// The XFER_PROFILE accumulators and the table printed at exit.
#include "engine/profile.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace xfer::engine::profile {
namespace {

constexpr const char* kPhaseNames[] = {"parse",           "render",          "sqlite prepare",
                                       "sqlite step",     "catalog probes",  "width checks",
                                       "  parses reused", "  renders reused"};

struct Counter {
  long long count = 0;
  std::chrono::nanoseconds spent{0};
};

struct Totals {
  std::mutex lock;
  std::array<Counter, static_cast<size_t>(Phase::kCount)> phases;
  std::map<std::string, Counter, std::less<>> statements;
  std::map<std::string, Counter, std::less<>> sql;
  std::map<std::string, std::string, std::less<>> plans;

  ~Totals() {
    if (!Enabled()) return;
    auto seconds = [](std::chrono::nanoseconds n) { return n.count() / 1e9; };
    std::fprintf(stderr, "engine profile (XFER_PROFILE)\n%-28s %10s %10s\n", "phase", "calls",
                 "seconds");
    for (size_t i = 0; i < phases.size(); ++i)
      std::fprintf(stderr, "%-28s %10lld %10.3f\n", kPhaseNames[i], phases[i].count,
                   seconds(phases[i].spent));
    std::vector<std::pair<std::string, Counter>> rows(statements.begin(), statements.end());
    std::sort(rows.begin(), rows.end(),
              [](const auto& a, const auto& b) { return a.second.spent > b.second.spent; });
    std::fprintf(stderr, "%-28s %10s %10s %10s\n", "statement", "count", "seconds", "ms each");
    for (const auto& [kind, c] : rows)
      std::fprintf(stderr, "%-28s %10lld %10.3f %10.3f\n", kind.c_str(), c.count, seconds(c.spent),
                   c.count ? seconds(c.spent) * 1000 / c.count : 0.0);
    if (sql.empty()) return;
    std::vector<std::pair<std::string, Counter>> slow(sql.begin(), sql.end());
    std::sort(slow.begin(), slow.end(),
              [](const auto& a, const auto& b) { return a.second.spent > b.second.spent; });
    std::fprintf(stderr, "slowest SQLite statements (count, seconds, text)\n");
    const bool whole = !plans.empty();
    for (size_t i = 0; i < slow.size() && i < 60; ++i) {
      std::fprintf(stderr, whole ? "%8lld %8.3f  %s\n" : "%8lld %8.3f  %.300s\n",
                   slow[i].second.count, seconds(slow[i].second.spent), slow[i].first.c_str());
      auto plan = plans.find(slow[i].first);
      if (plan != plans.end()) std::fprintf(stderr, "%s\n", plan->second.c_str());
    }
  }
};

Totals& All() {
  static Totals totals;
  return totals;
}

}  // namespace

bool Enabled() {
  static const bool on = [] {
    const char* v = std::getenv("XFER_PROFILE");
    return v && *v && std::string(v) != "0";
  }();
  return on;
}

void Add(Phase phase, std::chrono::nanoseconds spent) {
  Totals& t = All();
  std::lock_guard<std::mutex> hold(t.lock);
  Counter& c = t.phases[static_cast<size_t>(phase)];
  ++c.count;
  c.spent += spent;
}

int Level() {
  static const int level = [] {
    const char* v = std::getenv("XFER_PROFILE");
    return v ? std::atoi(v) : 0;
  }();
  return level;
}

bool Detailed() {
  return Level() >= 2;
}

bool WantsPlan(std::string_view sql) {
  if (Level() < 3) return false;
  Totals& t = All();
  std::lock_guard<std::mutex> hold(t.lock);
  return t.plans.find(sql) == t.plans.end();
}

void AddPlan(std::string_view sql, std::string plan) {
  Totals& t = All();
  std::lock_guard<std::mutex> hold(t.lock);
  t.plans.emplace(std::string(sql), std::move(plan));
}

void AddSql(std::string_view text, std::chrono::nanoseconds spent) {
  Totals& t = All();
  std::lock_guard<std::mutex> hold(t.lock);
  auto it = t.sql.find(text);
  if (it == t.sql.end()) it = t.sql.emplace(std::string(text), Counter{}).first;
  ++it->second.count;
  it->second.spent += spent;
}

void AddStatement(std::string_view kind, std::chrono::nanoseconds spent) {
  Totals& t = All();
  std::lock_guard<std::mutex> hold(t.lock);
  auto it = t.statements.find(kind);
  if (it == t.statements.end()) it = t.statements.emplace(std::string(kind), Counter{}).first;
  ++it->second.count;
  it->second.spent += spent;
}

void Reset() {
  Totals& t = All();
  std::lock_guard<std::mutex> hold(t.lock);
  t.phases = {};
  t.statements.clear();
  t.sql.clear();
  t.plans.clear();
}

}  // namespace xfer::engine::profile
