#include "crash_walk.h"
#include "temp_tree.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "xfer_process.h"

namespace xfer::crash {
namespace {

namespace fs = std::filesystem;

std::string Join(const std::vector<std::string>& v) {
  std::string out;
  for (const auto& s : v) out += (out.empty() ? "" : ",") + s;
  return out;
}

std::string LastLine(std::string s) {
  while (!s.empty() && s.back() == '\n') s.pop_back();
  size_t nl = s.rfind('\n');
  return nl == std::string::npos ? s : s.substr(nl + 1);
}

void AddState(std::vector<DatabaseState>& states, const DatabaseState& s) {
  if (std::find(states.begin(), states.end(), s) == states.end()) states.push_back(s);
}

// Leaves out the tables named, and those starting with a name that ends in "%".
void EraseAside(DatabaseState& state, const std::vector<std::string>& aside) {
  for (const std::string& name : aside) {
    if (name.empty() || name.back() != '%') {
      state.erase(name);
      continue;
    }
    std::string prefix = name.substr(0, name.size() - 1);
    std::string counter = kCounterPrefix + prefix;
    std::erase_if(state, [&](const auto& t) {
      return t.first.rfind(prefix, 0) == 0 || t.first.rfind(counter, 0) == 0;
    });
  }
}

}  // namespace

const char* FaultName(Fault f) {
  switch (f) {
    case Fault::kStatement:
      return "statement";
    case Fault::kCommit:
      return "commit";
    case Fault::kDiskFull:
      return "disk-full write";
    case Fault::kIoError:
      return "I/O-error write";
  }
  return "?";
}

CrashWalk::CrashWalk(WalkSetup setup, std::string workDir)
    : setup_(std::move(setup)), workDir_(std::move(workDir)), binary_(XFER_BINARY) {
  fs::create_directories(workDir_);
}

std::string CrashWalk::Server() const {
  return (fs::path(workDir_) / "server").string();
}

std::string CrashWalk::SourceServer() const {
  return (fs::path(workDir_) / "source-server").string();
}

void CrashWalk::FreshServer() const {
  xfer_test::RemoveTree(Server());
  fs::copy(setup_.templateServer, Server(), fs::copy_options::recursive);
  if (setup_.sourceTemplate.empty()) return;
  xfer_test::RemoveTree(SourceServer());
  fs::copy(setup_.sourceTemplate, SourceServer(), fs::copy_options::recursive);
}

ServerDigest CrashWalk::DigestAll(bool identityAside) const {
  ServerDigest all = DigestServer(Server(), identityAside);
  if (!setup_.sourceTemplate.empty())
    for (auto& [db, state] : DigestServer(SourceServer(), identityAside))
      all["source:" + db] = std::move(state);
  for (auto& [db, state] : all) EraseAside(state, setup_.aside);
  return all;
}

std::vector<std::string> CrashWalk::Args() const {
  std::vector<std::string> out;
  for (const auto& a : setup_.args)
    out.push_back(a == "{server}" ? Server() : a == "{source-server}" ? SourceServer() : a);
  return out;
}

void CrashWalk::Learn() {
  FreshServer();
  ServerDigest before = DigestAll();
  for (const auto& [db, state] : before) AddState(boundaries_[db], state);
  std::string countFile = (fs::path(workDir_) / "counts.txt").string();
  ProcessResult r = RunProcess(binary_, Args(), {{"XFER_FAULT_COUNT", countFile}}, workDir_, [&] {
    ++units_;
    for (const auto& [db, state] : DigestAll()) AddState(boundaries_[db], state);
  });
  if (r.exitCode != 0)
    throw std::runtime_error(setup_.name + ": the clean run failed: " + r.err + r.out);
  for (const auto& [db, state] : DigestAll()) AddState(boundaries_[db], state);
  endState_ = DigestAll(true);
  for (auto& [db, state] : endState_) state = WithoutRunReports(state);
  std::ifstream in(countFile);
  std::string key;
  long long n;
  while (in >> key >> n) counts_[key] = n;
}

long long CrashWalk::Count(Fault f) const {
  const char* key = f == Fault::kStatement ? "statements"
                    : f == Fault::kCommit  ? "commits"
                                           : "writes";
  auto it = counts_.find(key);
  return it == counts_.end() ? 0 : it->second;
}

std::vector<long long> CrashWalk::Points(Fault f, long long wanted) const {
  long long total = Count(f);
  const char* mode = std::getenv("XFER_CRASH_WALK");
  std::vector<long long> out;
  if (wanted <= 0 || wanted >= total || (mode && std::string(mode) == "full")) {
    for (long long i = 1; i <= total; ++i) out.push_back(i);
    return out;
  }
  // One point in each of `wanted` equal stretches, at an offset that wanders between
  // stretches so that no rhythm of the run (every third statement, say) is missed throughout.
  double stride = static_cast<double>(total) / static_cast<double>(wanted);
  for (long long k = 0; k < wanted; ++k) {
    long long start = 1 + static_cast<long long>(static_cast<double>(k) * stride);
    long long width = std::max(1LL, static_cast<long long>(stride));
    long long p = start + (k * 7919 + 13) % width;
    out.push_back(std::min(p, total));
  }
  out.erase(std::unique(out.begin(), out.end()), out.end());
  return out;
}

std::string CrashWalk::CheckAtBoundary(bool reportsAside) const {
  std::string failures;
  for (auto [db, state] : DigestAll()) {
    auto it = boundaries_.find(db);
    if (it == boundaries_.end()) {
      failures += " new database " + db + ";";
      continue;
    }
    std::vector<DatabaseState> states = it->second;
    if (reportsAside) {
      state = WithoutRunReports(state);
      for (auto& b : states) b = WithoutRunReports(b);
    }
    if (std::find(states.begin(), states.end(), state) != states.end()) continue;
    // Name the tables that differ from the nearest boundary state.
    std::vector<std::string> best;
    for (const auto& b : states) {
      auto d = Differences(b, state);
      if (best.empty() || d.size() < best.size()) best = d;
    }
    failures += " " + db + " at no unit boundary (tables " + Join(best) + ");";
  }
  return failures;
}

std::string CrashWalk::CheckRerun() const {
  ProcessResult r = RunProcess(binary_, Args(), {}, workDir_);
  if (r.exitCode != 0)
    return " rerun ended with " + std::to_string(r.exitCode) + ": " + LastLine(r.err) + ";";
  std::string failures;
  ServerDigest end = DigestAll(true);
  for (auto& [db, state] : end) EraseAside(state, setup_.rerunAside);
  for (auto [db, state] : endState_) {
    EraseAside(state, setup_.rerunAside);
    auto it = end.find(db);
    if (it == end.end()) {
      failures += " rerun lost " + db + ";";
    } else if (DatabaseState got = WithoutRunReports(it->second); got != state) {
      failures += " rerun left " + db + " unlike the clean run (tables " +
                  Join(Differences(state, got)) + ");";
    }
  }
  if (auto work = WorkTables(Server()); !work.empty())
    failures += " work tables left: " + Join(work) + ";";
  if (!setup_.sourceTemplate.empty())
    if (auto work = WorkTables(SourceServer()); !work.empty())
      failures += " work tables left on the source server: " + Join(work) + ";";
  return failures;
}

std::string CrashWalk::KillAt(const std::vector<double>& fractions) {
  FreshServer();
  auto started = std::chrono::steady_clock::now();
  ProcessResult clean = RunProcess(binary_, Args(), {}, workDir_);
  double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  if (clean.exitCode != 0) return setup_.name + ": the clean run failed: " + LastLine(clean.err);
  std::string report;
  for (double fraction : fractions) {
    // A run that ends before its moment (the machine busier during the clean run than now) is
    // tried again at the same fraction of its own, shorter, duration.
    ProcessResult r;
    for (int attempt = 0; attempt < 3; ++attempt) {
      FreshServer();
      started = std::chrono::steady_clock::now();
      r = RunProcess(binary_, Args(), {}, workDir_, nullptr, fraction * seconds);
      if (r.signal == SIGKILL) break;
      seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    }
    // Two statements, not one sum: the operands of + may run in either order, and a rerun
    // that ran first would leave its own end state to be checked instead of the kill's.
    std::string failures = CheckAtBoundary(false);
    failures += CheckRerun();
    if (!failures.empty() || r.signal != SIGKILL)
      report += setup_.name + ": kill at " + std::to_string(fraction * seconds) + " s" +
                (r.signal == SIGKILL ? "" : " (ended before it)") + ":" + failures + "\n";
  }
  return report;
}

std::string CrashWalk::Walk(Fault f, const std::vector<long long>& points) {
  std::string report;
  std::map<std::string, std::string> env;
  int index = 0;
  for (long long n : points) {
    FreshServer();
    std::string value = std::to_string(n);
    env.clear();
    switch (f) {
      case Fault::kStatement:
        env["XFER_FAULT_STATEMENT"] = value;
        break;
      case Fault::kCommit:
        env["XFER_FAULT_COMMIT"] = value;
        break;
      case Fault::kDiskFull:
        env["XFER_FAULT_WRITE"] = value;
        env["XFER_FAULT_KIND"] = "full";
        break;
      case Fault::kIoError:
        env["XFER_FAULT_WRITE"] = value;
        env["XFER_FAULT_KIND"] = "io";
        break;
    }
    ProcessResult r = RunProcess(binary_, Args(), env, workDir_);
    std::string failures;
    bool killed = f == Fault::kStatement || f == Fault::kCommit;
    if (killed && r.signal != SIGKILL)
      failures += " not killed (exit " + std::to_string(r.exitCode) + ");";
    if (!killed) {
      if (r.signal != 0) failures += " ended by signal " + std::to_string(r.signal) + ";";
      if (r.exitCode != 0 && r.exitCode != 1)
        failures += " exit status " + std::to_string(r.exitCode) + ";";
      if (r.exitCode == 1 && r.err.empty()) failures += " exit 1 without a message;";
      if (r.err.find("Internal engine error") != std::string::npos)
        failures += " engine message: " + LastLine(r.err) + ";";
    }
    failures += CheckAtBoundary(!killed);
    if (setup_.rerunEveryPoint || index % 4 == 0) failures += CheckRerun();
    ++index;
    if (!failures.empty())
      report += setup_.name + ": " + FaultName(f) + " " + value + ":" + failures + "\n";
  }
  return report;
}

}  // namespace xfer::crash
