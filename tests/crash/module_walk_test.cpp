// A module form's press of the confirm button through `xfer move`, ended at statements and
// before commits: the items with their pictures and order points (inventory form), and the
// print layouts with the sales voucher settings (sales form). Every database stays at a unit
// boundary and a second press reaches the clean run's end state. The run record kept in the
// period is left out: its times differ from run to run.
#include <gtest/gtest.h>
#include "temp_tree.h"

#include <filesystem>

#include "crash_walk.h"
#include "xfer_process.h"

namespace xfer::crash {
namespace {

namespace fs = std::filesystem;

class ModuleWalk : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("xfer_module_walk_" +
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

  std::vector<std::string> Move(const char* form, const char* table,
                                std::vector<std::string> more) {
    std::vector<std::string> args = {
        "move",     "--server",       "{server}", "--database", "KELVARO_1_1403",
        "--source", "KELVARO_1_1402", "--form",   form,         "--table",
        table};
    args.insert(args.end(), more.begin(), more.end());
    return args;
  }

  fs::path dir_;
  std::string demo_;
};

TEST_F(ModuleWalk, ItemsAndTheirStepsKilledAtStatementsAndCommits) {
  CrashWalk walk({"move anbar KALA",
                  demo_,
                  Move("anbar", "KALA", {"--replace", "all"}),
                  true,
                  "",
                  {"xfer_run", "xfer_rununit"}},
                 (dir_ / "walk").string());
  walk.Learn();
  // The table, its clashing rows, its pictures and its order points.
  ASSERT_GE(walk.Units(), 4u);
  for (Fault f : {Fault::kStatement, Fault::kCommit}) {
    std::vector<long long> points = walk.Points(f, f == Fault::kStatement ? 24 : 0);
    EXPECT_EQ(walk.Walk(f, points), "") << FaultName(f) << ": " << points.size() << " points";
  }
}

TEST_F(ModuleWalk, SalesLayoutsKilledAtStatements) {
  // A second press copies the layouts again under ids of its own; the voucher settings and
  // everything else must come out as after one clean press.
  CrashWalk walk({"move sell Prn_Form_T",
                  demo_,
                  Move("sell", "Prn_Form_T", {"--existing-forms", "replace"}),
                  true,
                  "",
                  {"xfer_run", "xfer_rununit"},
                  {"prn_form_t", "prn_object_t"}},
                 (dir_ / "walk").string());
  walk.Learn();
  ASSERT_GE(walk.Units(), 2u);
  std::vector<long long> points = walk.Points(Fault::kStatement, 16);
  EXPECT_EQ(walk.Walk(Fault::kStatement, points), "") << points.size() << " points";
}

}  // namespace
}  // namespace xfer::crash
