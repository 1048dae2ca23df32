// `xfer auto` as a service manager runs it: a termination signal arriving at any statement of a
// tick ends the loop cleanly with the period as before the tick or as after its whole apply; a
// source server that goes away between ticks turns one tick red and is found again on the next.
#include <gtest/gtest.h>
#include <unistd.h>
#include "temp_tree.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "server_digest.h"
#include "xfer_process.h"

namespace xfer::crash {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);)
    if (!line.empty()) out.push_back(line);
  return out;
}

// The fifth field of a tick line: applied, kept, nothing, refused, no-connection, stopped.
std::string OutcomeOf(const std::string& line) {
  std::istringstream in(line);
  std::string field;
  for (int i = 0; i < 5 && std::getline(in, field, '\t'); ++i) {
  }
  return field;
}

// The period's tables, less the run reports, whose rows carry the time of the run.
DatabaseState Period(const std::string& server) {
  DatabaseState s = DigestDatabase((fs::path(server) / "KELVARO_1_1403.db").string(), true);
  s.erase("xfer_run");
  s.erase("xfer_rununit");
  return s;
}

class AutoSchedule : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    root_ = fs::temp_directory_path() / ("xfer_auto_schedule_" + std::to_string(::getpid()));
    xfer_test::RemoveTree(root_);
    fs::create_directories(root_);
    ProcessResult made = RunProcess(
        XFER_BINARY, {"demo", "init", "--server", (root_ / "demo").string()}, {}, root_.string());
    ASSERT_EQ(made.exitCode, 0) << made.err;
  }
  static void TearDownTestSuite() { xfer_test::RemoveTree(root_); }

  std::string Copy(const std::string& name) {
    std::string to = (root_ / name).string();
    xfer_test::RemoveTree(to);
    fs::copy(root_ / "demo", to, fs::copy_options::recursive);
    return to;
  }

  ProcessResult Auto(const std::string& server, std::vector<std::string> extra,
                     const std::map<std::string, std::string>& env = {},
                     const std::function<void()>& onUnit = nullptr) {
    std::vector<std::string> args{"auto",           "--server",    server,           "--database",
                                  "KELVARO_1_1403", "--source",    "KELVARO_2_1403", "--mode",
                                  "NEWID",          "--copy-base", "--from-date",    "1403/01/01",
                                  "--to-date",      "1403/02/31"};
    args.insert(args.end(), extra.begin(), extra.end());
    return RunProcess(XFER_BINARY, args, env, root_.string(), onUnit);
  }

  static fs::path root_;
};

fs::path AutoSchedule::root_;

TEST_F(AutoSchedule, ATerminationSignalAtAnyStatementLeavesEveryApplyWhole) {
  // One tick as a reference: the statements it runs and the period after it.
  std::string reference = Copy("reference");
  DatabaseState before = Period(reference);
  std::string counts = (root_ / "counts.txt").string();
  ProcessResult once = Auto(reference, {"--once"}, {{"XFER_FAULT_COUNT", counts}});
  ASSERT_EQ(once.exitCode, 0) << once.err;
  ASSERT_EQ(Lines(once.out).size(), 1u) << once.out;
  ASSERT_EQ(OutcomeOf(once.out), "applied") << once.out;
  DatabaseState after = Period(reference);
  ASSERT_NE(before, after);
  std::ifstream in(counts);
  std::string word;
  long long statements = 0;
  in >> word >> statements;
  ASSERT_GT(statements, 20);

  // The same loop, signalled at statements spread over the tick (its apply among them).
  int whole = 0, untouched = 0;
  for (long long n = 1; n <= statements; n += std::max(1LL, statements / 16)) {
    SCOPED_TRACE("SIGTERM at statement " + std::to_string(n));
    std::string server = Copy("signalled");
    ProcessResult r = Auto(server, {"--every", "0.001", "--times", "3"},
                           {{"XFER_FAULT_TERM", std::to_string(n)}});
    EXPECT_EQ(r.signal, 0);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.err.find("stopped"), std::string::npos) << r.err;
    std::vector<std::string> lines = Lines(r.out);
    ASSERT_LE(lines.size(), 1u) << "no tick after the signal: " << r.out;
    DatabaseState state = Period(server);
    if (!lines.empty() && OutcomeOf(lines[0]) == "applied") {
      EXPECT_TRUE(state == after) << ::testing::PrintToString(Differences(after, state));
      ++whole;
    } else {
      EXPECT_TRUE(state == before) << ::testing::PrintToString(Differences(before, state));
      ++untouched;
    }
  }
  EXPECT_GT(whole, 0) << "a signal inside the apply lets it land";
  EXPECT_GT(untouched, 0) << "a signal before the apply ends the tick without it";
}

TEST_F(AutoSchedule, ASourceServerThatGoesAwayIsFoundAgainOnTheNextTick) {
  std::string server = Copy("destination");
  std::string source = Copy("source");
  std::string away = source + "_away";
  std::string out = (root_ / "child.out").string();
  // At rest after each tick the child waits while the source is moved away, then back.
  auto between = [&] {
    std::ifstream f(out);
    std::stringstream text;
    text << f.rdbuf();
    size_t ticks = Lines(text.str()).size();
    if (ticks == 1 && fs::exists(source)) fs::rename(source, away);
    if (ticks == 2 && fs::exists(away)) fs::rename(away, source);
  };
  ProcessResult r =
      Auto(server, {"--source-server", source, "--every", "0.001", "--times", "3"}, {}, between);
  std::vector<std::string> lines = Lines(r.out);
  ASSERT_EQ(lines.size(), 3u) << r.out << r.err;
  EXPECT_EQ(OutcomeOf(lines[0]), "applied") << lines[0];
  EXPECT_EQ(OutcomeOf(lines[1]), "no-connection") << lines[1];
  EXPECT_NE(lines[1].find("ارتباط برقرار نيست"), std::string::npos) << lines[1];
  EXPECT_EQ(OutcomeOf(lines[2]), "applied") << lines[2];
  EXPECT_EQ(r.exitCode, 0) << "the last tick went through: " << r.err;

  // From cron: a run whose source is not there ends with status 1 and writes nothing.
  DatabaseState before = Period(server);
  fs::rename(source, away);
  ProcessResult lost = Auto(server, {"--source-server", away + "_nowhere", "--once"});
  EXPECT_EQ(lost.exitCode, 1);
  fs::rename(away, source);
  EXPECT_TRUE(Period(server) == before);
}

}  // namespace
}  // namespace xfer::crash
