// The xfer command line as a user runs it: the T-SQL shell's output format, messages and exit
// status, and a headless base transfer on a demo server.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;

struct Outcome {
  int status = -1;
  std::string out;
  std::string err;
};

// Runs the xfer binary with `args` (shell words), capturing stdout and stderr.
Outcome Xfer(const std::string& args) {
  // ctest runs tests in parallel processes: one stderr file per process.
  fs::path errFile =
      fs::temp_directory_path() / ("xfer_cli_stderr_" + std::to_string(getpid()) + ".txt");
  std::string command = std::string(XFER_BINARY) + " " + args + " 2>" + errFile.string();
  Outcome r;
  FILE* p = popen(command.c_str(), "r");
  std::array<char, 4096> buf{};
  size_t n;
  while ((n = fread(buf.data(), 1, buf.size(), p)) > 0) r.out.append(buf.data(), n);
  int raw = pclose(p);
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  if (FILE* e = fopen(errFile.c_str(), "r")) {
    while ((n = fread(buf.data(), 1, buf.size(), e)) > 0) r.err.append(buf.data(), n);
    fclose(e);
  }
  return r;
}

class XferCli : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = (fs::temp_directory_path() /
            ("xfer_cli_" + std::to_string(::getpid()) + "_" +
             std::string(::testing::UnitTest::GetInstance()->current_test_info()->name())))
               .string();
    fs::remove_all(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string dir_;
};

TEST_F(XferCli, SqlPrintsResultSetsAndStopsAtTheFirstFailingBatch) {
  Outcome r =
      Xfer("sql --server " + dir_ +
           " --create -e \"CREATE DATABASE D\" --database master "
           "-e \"USE D CREATE TABLE T (a int, b varchar(10), c float) INSERT INTO T VALUES "
           "(1, 'الف', 0.1), (2, NULL, 3)\" -e \"SELECT * FROM D..T ORDER BY a SELECT COUNT(*) "
           "AS n FROM D..T\"");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "a\tb\tc\n1\tالف\t0.1\n2\tNULL\t3\n\nn\n2\n");
  EXPECT_NE(r.err.find("(2 rows affected)"), std::string::npos) << r.err;

  Outcome bad = Xfer("sql --server " + dir_ +
                     " --database D -e \"SELECT 1 AS x\" -e \"SELECT * FROM "
                     "Missing\" -e \"SELECT 2 AS y\"");
  EXPECT_EQ(bad.status, 1);
  EXPECT_EQ(bad.out, "x\n1\n");  // the batches before the failure ran; the one after did not
  EXPECT_NE(bad.err.find("Msg 208"), std::string::npos) << bad.err;
  EXPECT_NE(bad.err.find("Invalid object name 'Missing'."), std::string::npos) << bad.err;

  Outcome missing = Xfer("sql --server " + dir_ + "/nowhere -e \"SELECT 1\"");
  EXPECT_EQ(missing.status, 1);
}

TEST_F(XferCli, KolCarriesADemoPeriodAndReportsEachTable) {
  ASSERT_EQ(Xfer("demo init --server " + dir_).status, 0);
  Outcome r = Xfer("kol --server " + dir_ +
                   " --database KELVARO_1_1403 --source KELVARO_1_1402 --modules maly,naghd");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("اطلاعات پايه حسابداري منتقل شد."), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("اطلاعات پايه نقدينگي منتقل شد."), std::string::npos);
  for (const char* table : {"GROH", "KOLL", "UserHub", "N_BankHesab", "N_Cash"})
    EXPECT_NE(r.out.find(table), std::string::npos) << table;
  EXPECT_EQ(r.out.find("KALA "), std::string::npos);  // inventory was not asked for

  Outcome unknown = Xfer("kol --server " + dir_ +
                         " --database KELVARO_1_1403 --source KELVARO_9_1300 --modules maly");
  EXPECT_EQ(unknown.status, 1);
  EXPECT_NE(unknown.err.find("لطفا يک شرکت انتخاب کنيد"), std::string::npos) << unknown.err;
}

}  // namespace
