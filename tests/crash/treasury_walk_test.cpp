// Registering open cheques and notes (`xfer treasury`) ended at statements and commits: each
// page's registration is one unit, so every period holds none or all of its rows, and a rerun
// reaches the clean run's end state.
#include <gtest/gtest.h>
#include "temp_tree.h"

#include <filesystem>

#include "crash_walk.h"
#include "xfer_process.h"

namespace xfer::crash {
namespace {

namespace fs = std::filesystem;

class TreasuryWalk : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("xfer_walk_" +
            std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + "_" +
            std::to_string(::getpid()));
    xfer_test::RemoveTree(dir_);
    fs::create_directories(dir_);
    demo_ = (dir_ / "demo").string();
    ProcessResult made =
        RunProcess(XFER_BINARY, {"demo", "init", "--server", demo_}, {}, dir_.string());
    ASSERT_EQ(made.exitCode, 0) << made.err;
  }
  void TearDown() override { xfer_test::RemoveTree(dir_); }

  void WalkPage(const char* what, const char* choice) {
    CrashWalk walk({std::string("treasury ") + what + " " + choice,
                    demo_,
                    {"treasury", "--server", "{server}", "--database", "KELVARO_1_1403", "--source",
                     "KELVARO_1_1402", what, choice}},
                   (dir_ / (std::string("walk") + what + choice)).string());
    walk.Learn();
    ASSERT_GE(walk.Units(), 1u);
    for (Fault f : {Fault::kStatement, Fault::kCommit}) {
      ASSERT_GT(walk.Count(f), 0);
      std::vector<long long> points = walk.Points(f, 12);
      EXPECT_EQ(walk.Walk(f, points), "") << points.size() << " points of " << walk.Count(f);
    }
  }

  fs::path dir_;
  std::string demo_;
};

TEST_F(TreasuryWalk, ReceivedChequesAreRegisteredWholeOrNotAtAll) {
  WalkPage("--cheques", "get");
}

TEST_F(TreasuryWalk, PaidNotesAreRegisteredWholeOrNotAtAll) {
  WalkPage("--notes", "pay");
}

}  // namespace
}  // namespace xfer::crash
