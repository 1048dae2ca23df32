// What `xfer kol` refuses, and how: bad arguments, damaged period files and a period another
// connection holds each end the run with exit status 1 and a plain Persian message naming what
// was wrong, and no database changes. Work tables a killed run left are gone once the next
// connection opens.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <unistd.h>
#include "temp_tree.h"

#include <chrono>
#include <filesystem>
#include <fstream>

#include "server_digest.h"
#include "xfer_process.h"

namespace xfer::crash {
namespace {

namespace fs = std::filesystem;

class KolRefusals : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    root_ = fs::temp_directory_path() / ("xfer_refusals_" + std::to_string(::getpid()));
    xfer_test::RemoveTree(root_);
    fs::create_directories(root_);
    ProcessResult made = RunProcess(
        XFER_BINARY, {"demo", "init", "--server", (root_ / "demo").string()}, {}, root_.string());
    ASSERT_EQ(made.exitCode, 0) << made.err;
  }
  static void TearDownTestSuite() { xfer_test::RemoveTree(root_); }

  void SetUp() override {
    server_ = (root_ / "server").string();
    xfer_test::RemoveTree(server_);
    fs::copy(root_ / "demo", server_, fs::copy_options::recursive);
  }

  ProcessResult Kol(std::vector<std::string> extra, const std::string& server = {}) {
    std::vector<std::string> args{
        "kol",           "--server",       server.empty() ? server_ : server,
        "--database",    "KELVARO_1_1403", "--source",
        "KELVARO_1_1402"};
    args.insert(args.end(), extra.begin(), extra.end());
    return RunProcess(XFER_BINARY, args, {}, root_.string());
  }

  std::string File(const std::string& db) const {
    return (fs::path(server_) / (db + ".db")).string();
  }

  static fs::path root_;
  std::string server_;
};

fs::path KolRefusals::root_;

TEST_F(KolRefusals, BadArgumentsAreRefusedBeforeAnyWrite) {
  std::string plainFile = (root_ / "not-a-server.txt").string();
  std::ofstream(plainFile) << "x";
  struct Case {
    std::vector<std::string> extra;
    std::string server;
    std::vector<std::string> said;  // every piece must be in the message
  } cases[] = {
      {{"--modules", "maly,anbar"}, "", {"'anbar'", "maly, store, dara, naghd, trado, sazmandehi"}},
      {{"--options", "Kelvaro,Bogus"}, "", {"'Bogus'", "Saham, Tolid", "Company_StartDate"}},
      {{"--modules", "maly"}, plainFile, {plainFile, "يک فايل است"}},
      {{"--modules", "maly"}, server_ + "/missing", {"/missing", "وجود ندارد"}},
  };
  ServerDigest before = DigestServer(server_);
  for (const Case& c : cases) {
    ProcessResult r = Kol(c.extra, c.server);
    EXPECT_EQ(r.exitCode, 1) << c.extra[1];
    for (const auto& piece : c.said) EXPECT_NE(r.err.find(piece), std::string::npos) << r.err;
    EXPECT_EQ(r.out.find("GROH"), std::string::npos) << "a table was carried: " << r.out;
  }
  EXPECT_EQ(DigestServer(server_), before);
  // The names are taken without regard to case.
  EXPECT_EQ(Kol({"--modules", "MALY", "--options", "kelvaro"}).exitCode, 0);
}

TEST_F(KolRefusals, DamagedPeriodFilesAreNamed) {
  std::string dest = File("KELVARO_1_1403"), source = File("KELVARO_1_1402");
  auto garbage = [](const std::string& path) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    for (int i = 0; i < 8192; ++i) out.put(static_cast<char>((i * 7919) % 251));
  };
  auto empty = [](const std::string& path) { std::ofstream(path, std::ios::trunc); };
  auto torn = [](const std::string& path) {
    // Keeps the header, overwrites the pages behind it.
    std::fstream f(path, std::ios::binary | std::ios::in | std::ios::out);
    f.seekp(4096);
    for (int i = 0; i < 4096 * 40; ++i) f.put('\xee');
  };
  struct Case {
    std::string file, name;
    std::function<void(const std::string&)> damage;
  } cases[] = {
      {dest, "KELVARO_1_1403", garbage},
      {dest, "KELVARO_1_1403", empty},
      {dest, "KELVARO_1_1403", torn},
      {source, "KELVARO_1_1402", garbage},
  };
  for (const Case& c : cases) {
    SetUp();
    c.damage(c.file);
    std::string hub = File("KELVARO_Hub");
    DatabaseState hubBefore = DigestDatabase(hub);
    std::string other = File(c.file == dest ? "KELVARO_1_1402" : "KELVARO_1_1403");
    DatabaseState otherBefore = DigestDatabase(other);
    ProcessResult r = Kol({"--modules", "maly,naghd"});
    EXPECT_EQ(r.exitCode, 1) << c.name << r.out;
    EXPECT_NE(r.err.find("بانک اطلاعاتي " + c.name + " آسيب ديده است"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(c.file), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("Internal engine error"), std::string::npos) << r.err;
    EXPECT_EQ(DigestDatabase(hub), hubBefore);
    EXPECT_EQ(DigestDatabase(other), otherBefore) << c.name;
  }
}

TEST_F(KolRefusals, ABusyPeriodSaysWhoHoldsItAndHowLongItWaited) {
  ServerDigest before = DigestServer(server_);
  sqlite3* holder = nullptr;
  ASSERT_EQ(sqlite3_open(File("KELVARO_1_1403").c_str(), &holder), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(holder, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
  auto started = std::chrono::steady_clock::now();
  ProcessResult r = Kol({"--modules", "maly"});
  double waited = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  sqlite3_exec(holder, "ROLLBACK", nullptr, nullptr, nullptr);
  sqlite3_close(holder);
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("KELVARO_1_1403 در اختيار انتقال يا کاربر ديگري است"), std::string::npos)
      << r.err;
  EXPECT_NE(r.err.find("پس از 10 ثانيه انتظار"), std::string::npos) << r.err;
  EXPECT_GE(waited, 9.5);  // it did wait before giving up
  EXPECT_EQ(DigestServer(server_), before);
}

// The voucher import and the table moves of the module forms refuse the same way.
TEST_F(KolRefusals, ImportAndMoveRefuseTheSameWay) {
  std::string plainFile = (root_ / "not-a-server.txt").string();
  std::ofstream(plainFile) << "x";
  auto run = [&](std::vector<std::string> args, const std::string& server) {
    args.insert(args.end(),
                {"--server", server, "--database", "KELVARO_1_1403", "--source", "KELVARO_1_1402"});
    return RunProcess(XFER_BINARY, args, {}, root_.string());
  };
  const std::vector<std::string> import{"import", "maly", "--copy-base"};
  const std::vector<std::string> move{"move",  "--form",    "maly", "--table",
                                      "MOEIN", "--replace", "all"};
  auto with = [](std::vector<std::string> a, std::vector<std::string> more) {
    a.insert(a.end(), more.begin(), more.end());
    return a;
  };
  struct Case {
    std::vector<std::string> args;
    bool plainFileServer;
    std::vector<std::string> said;
  } cases[] = {
      {import, true, {plainFile, "يک فايل است"}},
      {move, true, {plainFile, "يک فايل است"}},
      {with(import, {"--source-server", plainFile}), false, {plainFile, "يک فايل است"}},
      {with(import, {"--mode", "NEW"}), false, {"'NEW'", "NEWID, OLDID, OLDID_NOCHANGE, REPLACE"}},
      {with(import, {"--summary", "WEEKLY"}), false, {"'WEEKLY'", "NOCHANGE, DEAILY, MONTLY"}},
  };
  ServerDigest before = DigestServer(server_);
  for (const Case& c : cases) {
    ProcessResult r = run(c.args, c.plainFileServer ? plainFile : server_);
    EXPECT_EQ(r.exitCode, 1) << c.args.back() << r.err;
    for (const auto& piece : c.said) EXPECT_NE(r.err.find(piece), std::string::npos) << r.err;
  }
  EXPECT_EQ(DigestServer(server_), before);

  // A damaged source period is named with its file, and nothing of the period is touched.
  std::string source = File("KELVARO_1_1402");
  {
    std::ofstream out(source, std::ios::binary | std::ios::trunc);
    for (int i = 0; i < 8192; ++i) out.put(static_cast<char>((i * 7919) % 251));
  }
  DatabaseState dest = DigestDatabase(File("KELVARO_1_1403"));
  for (const auto& args : {import, move}) {
    ProcessResult r = run(args, server_);
    EXPECT_EQ(r.exitCode, 1) << args[0];
    EXPECT_NE(r.err.find("بانک اطلاعاتي KELVARO_1_1402 آسيب ديده است"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(source), std::string::npos) << r.err;
    EXPECT_EQ(DigestDatabase(File("KELVARO_1_1403")), dest) << args[0];
  }
  // Reading the runs kept in a damaged period says the same.
  ProcessResult report =
      RunProcess(XFER_BINARY, {"report", "--server", server_, "--database", "KELVARO_1_1402"}, {},
                 root_.string());
  EXPECT_EQ(report.exitCode, 1);
  EXPECT_NE(report.err.find("بانک اطلاعاتي KELVARO_1_1402 آسيب ديده است"), std::string::npos)
      << report.err;

  // A period another connection holds: the move says so once it has waited.
  SetUp();
  sqlite3* holder = nullptr;
  ASSERT_EQ(sqlite3_open(File("KELVARO_1_1403").c_str(), &holder), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(holder, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
  ProcessResult busy = run(move, server_);
  sqlite3_exec(holder, "ROLLBACK", nullptr, nullptr, nullptr);
  sqlite3_close(holder);
  EXPECT_EQ(busy.exitCode, 1);
  EXPECT_NE(busy.err.find("KELVARO_1_1403 در اختيار انتقال يا کاربر ديگري است"), std::string::npos)
      << busy.err;
}

TEST_F(KolRefusals, AKilledRunsWorkTablesGoWhenTheNextConnectionOpens) {
  // Ended inside the first block, while its work tables exist.
  ProcessResult killed = RunProcess(XFER_BINARY,
                                    {"kol", "--server", server_, "--database", "KELVARO_1_1403",
                                     "--source", "KELVARO_1_1402", "--modules", "naghd"},
                                    {{"XFER_FAULT_STATEMENT", "400"}}, root_.string());
  ASSERT_NE(killed.signal, 0);
  ASSERT_FALSE(WorkTables(server_).empty());
  ProcessResult next = RunProcess(
      XFER_BINARY, {"sql", "--server", server_, "--database", "master", "-e", "SELECT 1 AS x"}, {},
      root_.string());
  EXPECT_EQ(next.exitCode, 0) << next.err;
  EXPECT_EQ(WorkTables(server_), std::vector<std::string>{});
}

}  // namespace
}  // namespace xfer::crash
