// The voucher import and the module transfer forms' table moves ended at statements, commits and
// failing writes: every database stays at a unit boundary and a rerun reaches the clean run's end
// state, as for the base transfer.
#include <gtest/gtest.h>
#include "temp_tree.h"

#include <filesystem>

#include "crash_walk.h"
#include "xfer_process.h"

namespace xfer::crash {
namespace {

namespace fs = std::filesystem;

class ImportAndMoveWalks : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    root_ = fs::temp_directory_path() / ("xfer_import_walks_" + std::to_string(::getpid()));
    xfer_test::RemoveTree(root_);
    fs::create_directories(root_);
    ProcessResult made =
        RunProcess(XFER_BINARY, {"demo", "init", "--server", Demo()}, {}, root_.string());
    ASSERT_EQ(made.exitCode, 0) << made.err;
  }
  static void TearDownTestSuite() { xfer_test::RemoveTree(root_); }
  static std::string Demo() { return (root_ / "demo").string(); }

  // Walks `args`, the periods added, with each fault at up to `wanted` points; `aside` names
  // the tables (or, ending in "%", the prefixes) left out of the comparisons.
  static std::string WalkAll(const std::string& name, std::vector<std::string> args,
                             long long wanted, const std::string& server = Demo(),
                             std::vector<std::string> aside = {}) {
    args.insert(args.end(), {"--server", "{server}", "--database", "KELVARO_1_1403", "--source",
                             "KELVARO_1_1402"});
    CrashWalk walk({name, server, args, false, {}, aside, aside}, (root_ / name).string());
    walk.Learn();
    std::string report;
    for (Fault f : {Fault::kStatement, Fault::kCommit, Fault::kDiskFull, Fault::kIoError}) {
      if (walk.Count(f) == 0) report += name + ": no " + FaultName(f) + " in the clean run\n";
      report += walk.Walk(f, walk.Points(f, wanted));
    }
    return report;
  }

  static fs::path root_;
};

fs::path ImportAndMoveWalks::root_;

// Replacing vouchers of the same numbers, so that a rerun after a run that had already applied
// them ends as the clean run did (new numbers would import them twice, as asked).
TEST_F(ImportAndMoveWalks, VoucherImportWithItsAccounts) {
  EXPECT_EQ(WalkAll("import", {"import", "maly", "--copy-base", "--mode", "REPLACE"}, 12), "");
}

// Replacing invoices of the same numbers, with their lines, factors, payments and serial
// numbers and the missing base records.
TEST_F(ImportAndMoveWalks, SalesInvoiceImportWithItsBaseRecords) {
  EXPECT_EQ(
      WalkAll("import-trado",
              {"import", "trado", "--type", "FACTOR", "--mode", "OLDID_REPLACE", "--copy-base"},
              12),
      "");
}

// Receipts with their drafts, tax lines, factors and serial numbers, replacing those of the same
// numbers; the backups the import makes carry the time in their names, so they are compared by
// being there, not by name.
TEST_F(ImportAndMoveWalks, InventoryImportWithItsBackups) {
  fs::path server = root_ / "demo-store";
  fs::copy(Demo(), server, fs::copy_options::recursive);
  // The receipt factors of the two periods must agree; the demo renames some in the later one.
  ProcessResult fixed =
      RunProcess(XFER_BINARY,
                 {"sql", "--server", server.string(), "--database", "KELVARO_1_1403", "-e",
                  "UPDATE D SET CatgagoryName = S.CatgagoryName FROM Avamel D INNER JOIN "
                  "KELVARO_1_1402..Avamel S ON S.CatgagoryCode = D.CatgagoryCode"},
                 {}, root_.string());
  ASSERT_EQ(fixed.exitCode, 0) << fixed.err;
  EXPECT_EQ(WalkAll("import-store",
                    {"import", "store", "--type", "30", "--mode", "REPLACE", "--copy-base"}, 12,
                    server.string(), {"bck_%"}),
            "");
}

TEST_F(ImportAndMoveWalks, TableMovesReplacingClashingRows) {
  struct Case {
    const char* form;
    const char* table;
  } cases[] = {{"maly", "MOEIN"}, {"sell", "KALA"}};
  for (const Case& c : cases)
    EXPECT_EQ(WalkAll(std::string("move-") + c.form + "-" + c.table,
                      {"move", "--form", c.form, "--table", c.table, "--replace", "all"}, 8),
              "");
}

}  // namespace
}  // namespace xfer::crash
