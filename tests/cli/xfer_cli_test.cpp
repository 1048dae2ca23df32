// The xfer command line as a user runs it: the T-SQL shell's output format, messages and exit
// status, and a headless base transfer on a demo server.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>
#include "temp_tree.h"

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
    xfer_test::RemoveTree(dir_);
  }
  void TearDown() override { xfer_test::RemoveTree(dir_); }
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

  // Again, as JSON: every source row of GROH is now kept, its key being there already.
  Outcome again = Xfer("kol --server " + dir_ +
                       " --database KELVARO_1_1403 --source KELVARO_1_1402 --modules maly --json");
  EXPECT_EQ(again.status, 0) << again.err;
  Outcome count = Xfer("sql --server " + dir_ +
                       " --database KELVARO_1_1402 -e \"SELECT COUNT(*) AS n FROM GROH\"");
  ASSERT_EQ(count.out.rfind("n\n", 0), 0u) << count.out;
  const std::string n = count.out.substr(2, count.out.size() - 3);
  const size_t groh = again.out.find("{\"table\": \"GROH\"");
  ASSERT_NE(groh, std::string::npos) << again.out;
  const std::string line = again.out.substr(groh, again.out.find('\n', groh) - groh);
  EXPECT_NE(line.find("\"sourceRows\": " + n + ", \"inserted\": 0, \"clashing\": " + n),
            std::string::npos)
      << line;
  EXPECT_EQ(again.out.rfind("{\"what\": \"kol\"", 0), 0u) << again.out;
  EXPECT_NE(again.out.find("\"outcome\": \"OK\""), std::string::npos);

  Outcome unknown = Xfer("kol --server " + dir_ +
                         " --database KELVARO_1_1403 --source KELVARO_9_1300 --modules maly");
  EXPECT_EQ(unknown.status, 1);
  EXPECT_NE(unknown.err.find("لطفا يک شرکت انتخاب کنيد"), std::string::npos) << unknown.err;

  // The period keeps both runs, the second with GROH all clashing; the refused one wrote
  // nothing, its report neither.
  Outcome report = Xfer("report --server " + dir_ + " --database KELVARO_1_1403");
  EXPECT_NE(report.out.find("#1 "), std::string::npos) << report.out;
  const size_t second = report.out.find("#2 ");
  ASSERT_NE(second, std::string::npos) << report.out;
  EXPECT_EQ(report.out.find("#3 "), std::string::npos) << report.out;
  EXPECT_NE(report.out.find("kol  from KELVARO_1_1402 into KELVARO_1_1403", second),
            std::string::npos)
      << report.out;
  const size_t grohLine = report.out.find("GROH ", second);
  ASSERT_NE(grohLine, std::string::npos) << report.out;
  const std::string line2 = report.out.substr(grohLine, report.out.find('\n', grohLine) - grohLine);
  EXPECT_NE(line2.find(" 0 new " + std::string(8 - n.size(), ' ') + n + " clashing"),
            std::string::npos)
      << line2;
}

TEST_F(XferCli, MoveCarriesOneTableAndStopsOnAFailedCheck) {
  ASSERT_EQ(Xfer("demo init --server " + dir_).status, 0);
  Outcome list = Xfer("move --list --form maly");
  EXPECT_EQ(list.status, 0);
  for (const char* table : {"GROH", "KOLL", "MOEIN", "GROHTAFSILY", "TAFSILY", "GROHTAFSILY2",
                            "TAFSILY2", "M_GrohProject", "M_Project", "FIXDES"})
    EXPECT_NE(list.out.find(table), std::string::npos) << table;
  EXPECT_EQ(Xfer("move --help").status, 0);
  EXPECT_EQ(Xfer("move --list --form nothing").status, 2);

  const std::string move =
      "move --server " + dir_ + " --database KELVARO_1_1403 --form maly --source KELVARO_1_1402 ";
  Outcome preview = Xfer(move + "--table KOLL --preview");
  EXPECT_EQ(preview.status, 0) << preview.err;
  EXPECT_NE(preview.out.find("NamHesab"), std::string::npos) << preview.out;  // a renamed account

  Outcome carried = Xfer(move + "--table KOLL --replace all");
  EXPECT_EQ(carried.status, 0) << carried.err;
  EXPECT_NE(carried.out.find("حسابهاي كل منتقل شد."), std::string::npos) << carried.out;
  Outcome again = Xfer(move + "--table KOLL --preview");
  EXPECT_EQ(again.out.find("NamHesab"), std::string::npos) << again.out;  // nothing differs now
  Outcome report = Xfer("report --server " + dir_ + " --database KELVARO_1_1403");
  EXPECT_NE(report.out.find("maly KOLL"), std::string::npos) << report.out;

  Outcome unknown = Xfer("move --server " + dir_ +
                         " --database KELVARO_1_1403 --form maly --source KELVARO_9_1300 "
                         "--table KOLL");
  EXPECT_EQ(unknown.status, 1);
  EXPECT_NE(unknown.err.find("شركت مبدا انتخاب نشده !"), std::string::npos) << unknown.err;

  ASSERT_EQ(Xfer("sql --server " + dir_ +
                 " --database KELVARO_1_1403 -e \"ALTER TABLE Moein ALTER COLUMN Moein "
                 "varchar(12) NULL\"")
                .status,
            0);
  Outcome width = Xfer(move + "--table MOEIN");
  EXPECT_EQ(width.status, 1);
  EXPECT_NE(width.err.find("طول کد حساب معين مبدا و مقصد متفاوت مي باشد"), std::string::npos)
      << width.err;

  ASSERT_EQ(Xfer("sql --server " + dir_ +
                 " --database KELVARO_1_1403 -e \"INSERT INTO Asnad (TypeSys, WhatDoc, SanadNo) "
                 "VALUES ('M', '10', '99')\"")
                .status,
            0);
  Outcome gated = Xfer(move + "--table GROH");
  EXPECT_EQ(gated.status, 1);
  EXPECT_NE(gated.err.find("سند افتتاحيه يا اختتاميه در دوره جاري ثبت شده است"), std::string::npos)
      << gated.err;
}

TEST_F(XferCli, MoveReplacesOnlyTheClashingRowsWhoseKeysAreListed) {
  ASSERT_EQ(Xfer("demo init --server " + dir_).status, 0);
  const std::string sql = "sql --server " + dir_ + " --database ";
  ASSERT_EQ(Xfer(sql + "KELVARO_1_1402 -e \"INSERT INTO Tafsily (Tafsily, NamHesab) VALUES "
                       "('O''1', N'جديد'), ('O''2', N'نو'), ('O''3', N'تازه')\"")
                .status,
            0);
  ASSERT_EQ(Xfer(sql + "KELVARO_1_1403 -e \"INSERT INTO Tafsily (Tafsily, NamHesab) VALUES "
                       "('O''1', N'قديم'), ('O''3', N'کهنه')\"")
                .status,
            0);
  // Keys one a line, as typed: blanks around a key and empty lines do not count.
  const fs::path keys = fs::path(dir_) / "keys.txt";
  {
    std::FILE* f = std::fopen(keys.c_str(), "w");
    ASSERT_NE(f, nullptr);
    std::fputs("  O'1 \n\nNOSUCHKEY\n", f);
    std::fclose(f);
  }
  const std::string move = "move --server " + dir_ +
                           " --database KELVARO_1_1403 --source KELVARO_1_1402 --form maly "
                           "--table TAFSILY ";
  Outcome missing = Xfer(move + "--keys " + dir_ + "/nokeys.txt");
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("nokeys.txt"), std::string::npos) << missing.err;

  Outcome moved = Xfer(move + "--keys " + keys.string());
  EXPECT_EQ(moved.status, 0) << moved.err;
  auto name = [&](const char* key) {
    return Xfer(sql + "KELVARO_1_1403 -e \"SELECT NamHesab FROM Tafsily WHERE Tafsily = '" + key +
                "'\"")
        .out;
  };
  EXPECT_EQ(name("O''1"), "NamHesab\nجديد\n");  // listed: the source's row
  EXPECT_EQ(name("O''2"), "NamHesab\nنو\n");    // new: carried
  EXPECT_EQ(name("O''3"), "NamHesab\nکهنه\n");  // clashing, not listed: the period's own
  Outcome report = Xfer("report --server " + dir_ + " --database KELVARO_1_1403");
  EXPECT_NE(report.out.find("maly TAFSILY"), std::string::npos) << report.out;
}

TEST_F(XferCli, TreasuryListsRegistersAndReportsWhatNeedsADecision) {
  ASSERT_EQ(Xfer("demo init --server " + dir_).status, 0);
  EXPECT_EQ(Xfer("treasury --help").status, 0);
  const std::string treasury =
      "treasury --server " + dir_ + " --database KELVARO_1_1403 --source KELVARO_1_1402 ";
  // A cheque of a rial and a half shows its half: the list never rounds an amount away.
  ASSERT_EQ(Xfer("sql --server " + dir_ +
                 " --database KELVARO_1_1402 -e \"INSERT INTO N_NaghdTrans (Serial, Raj, WhatDoc, "
                 "SanadNo, SanadDate, ChqNo, Joz, ChqValue) VALUES (9901, 1, '71', '9901', "
                 "'1402/03/01', 'HALF1', '', 1.5)\"")
                .status,
            0);
  Outcome preview = Xfer(treasury + "--cheques get --preview");
  EXPECT_EQ(preview.status, 0) << preview.err;
  EXPECT_NE(preview.out.find("received cheques:"), std::string::npos) << preview.out;
  EXPECT_NE(preview.out.find("يك به چند يا ..."), std::string::npos) << preview.out;
  EXPECT_NE(preview.out.find(" 1.5 1402/03/01"), std::string::npos) << preview.out;
  EXPECT_NE(preview.out.find(" دلار"), std::string::npos) << preview.out;
  EXPECT_EQ(preview.out.find(".000000"), std::string::npos) << preview.out;
  EXPECT_EQ(Xfer("sql --server " + dir_ +
                 " --database KELVARO_1_1403 -e \"SELECT COUNT(*) FROM N_CHQFirst\"")
                    .out.find("\n0\n") != std::string::npos,
            true);

  Outcome carried = Xfer(treasury);
  EXPECT_EQ(carried.status, 0) << carried.err;
  EXPECT_NE(carried.out.find("left for a counterparty decision"), std::string::npos) << carried.out;
  Outcome report = Xfer("report --server " + dir_ + " --database KELVARO_1_1403");
  EXPECT_NE(report.out.find("naghd cheques get"), std::string::npos) << report.out;

  Outcome unknown = Xfer("treasury --server " + dir_ +
                         " --database KELVARO_1_1403 --source KELVARO_9_1300 --notes pay");
  EXPECT_EQ(unknown.status, 1);
  EXPECT_NE(unknown.err.find("شركت مبدا انتخاب نشده !"), std::string::npos) << unknown.err;
}

TEST_F(XferCli, MoveReachesTheUsersPrintAndItemTabsOfTheModuleForms) {
  for (const char* form : {"sell", "dara", "anbar"}) {
    Outcome list = Xfer(std::string("move --list --form ") + form);
    EXPECT_EQ(list.status, 0);
    for (const char* tab : {"UserHub", "Prn_Form_T", "ts_User", "ts_Prn"})
      EXPECT_NE(list.out.find(tab), std::string::npos) << form << " " << tab;
  }
  ASSERT_EQ(Xfer("demo init --server " + dir_).status, 0);
  const std::string move =
      "move --server " + dir_ + " --database KELVARO_1_1403 --source KELVARO_1_1402 --form ";
  // The items, then their pictures and order points, each a line of the report.
  Outcome items = Xfer(move + "anbar --table KALA --replace none");
  EXPECT_EQ(items.status, 0) << items.err;
  for (const char* table : {"Kala", "A_Kalapic", "A_KalaSefaresh"})
    EXPECT_NE(items.out.find(table), std::string::npos) << items.out;
  Outcome layouts = Xfer(move + "dara --table Prn_Form_T --existing-forms replace");
  EXPECT_EQ(layouts.status, 0) << layouts.err;
  EXPECT_NE(layouts.out.find("replaced: شناسنامه دارايي 1"), std::string::npos) << layouts.out;
  Outcome users = Xfer(move + "sell --table UserHub");
  EXPECT_EQ(users.status, 0) << users.err;
  EXPECT_NE((users.out + users.err).find("کاربران منتقل شد"), std::string::npos) << users.out;
  // The assets form has no server choice.
  Outcome remote = Xfer(move + "dara --table D_MAKAN --source-server " + dir_);
  EXPECT_EQ(remote.status, 1);
  EXPECT_NE(remote.err.find("current server only"), std::string::npos) << remote.err;
}

TEST_F(XferCli, ImportMalyPreviewsAppliesAndStopsOnChecks) {
  ASSERT_EQ(Xfer("demo init --server " + dir_).status, 0);
  const std::string base =
      "import maly --server " + dir_ + " --database KELVARO_1_1403 --source KELVARO_1_1402 ";
  Outcome preview = Xfer(base + "--from-no 8 --to-no 14 --preview");
  EXPECT_EQ(preview.status, 0) << preview.err;
  EXPECT_NE(preview.out.find("7 vouchers"), std::string::npos) << preview.out;
  EXPECT_NE(preview.out.find("O'Neil"), std::string::npos) << "descriptions printed whole";

  Outcome refused = Xfer(base + "--from-no 8 --to-no 14");
  EXPECT_EQ(refused.status, 1) << "accounts missing here and not copied";
  EXPECT_NE(refused.err.find("سرفصل هايي كه با رنگ سبز"), std::string::npos) << refused.err;

  Outcome applied = Xfer(base + "--from-no 8 --to-no 14 --summary MONTLY --copy-base");
  EXPECT_EQ(applied.status, 0) << applied.err;
  EXPECT_NE(applied.out.find("انتقال انجام شد"), std::string::npos) << applied.out;
  EXPECT_NE(applied.out.find("Asnad"), std::string::npos);

  Outcome badDate = Xfer(base + "--from-date 1402/07/31 --to-date 1402/08/01");
  EXPECT_EQ(badDate.status, 1);
  EXPECT_NE(badDate.err.find("تاريخ وارد شده اشکال دارد"), std::string::npos) << badDate.err;
  EXPECT_EQ(Xfer("import maly --help").status, 0);
}

TEST_F(XferCli, ImportTradoPreviewsAppliesAndStopsOnChecks) {
  ASSERT_EQ(Xfer("demo init --server " + dir_).status, 0);
  const std::string base =
      "import trado --server " + dir_ + " --database KELVARO_1_1403 --source KELVARO_1_1402 ";
  Outcome preview = Xfer(base + "--type FACTOR --from-no 3 --to-no 7 --preview");
  EXPECT_EQ(preview.status, 0) << preview.err;
  EXPECT_NE(preview.out.find("5 documents, 15 lines"), std::string::npos) << preview.out;

  Outcome refused = Xfer(base + "--type FACTOR");
  EXPECT_EQ(refused.status, 1) << "items missing here and not copied";
  EXPECT_NE(refused.err.find("رديفهايي که با رنگ سبز"), std::string::npos) << refused.err;

  Outcome applied = Xfer(base + "--type FACTOR --mode OLDID_REPLACE --copy-base");
  EXPECT_EQ(applied.status, 0) << applied.err;
  EXPECT_NE(applied.out.find("صورتحسابها منتقل شدند"), std::string::npos) << applied.out;
  EXPECT_NE(applied.out.find("10 documents written (10 replaced)"), std::string::npos)
      << applied.out;
  Outcome again = Xfer(base + "--type FACTOR --mode OLDID_NEW --copy-base");
  EXPECT_EQ(again.status, 0) << again.err;
  EXPECT_NE(again.out.find("0 documents written (0 replaced), 10 kept out"), std::string::npos)
      << again.out;

  Outcome badType = Xfer(base + "--type INVOICE");
  EXPECT_EQ(badType.status, 1);
  EXPECT_EQ(Xfer("import trado --help").status, 0);
}

TEST_F(XferCli, AutoRunsOneTickForCronAndRefusesBadSettings) {
  ASSERT_EQ(Xfer("demo init --server " + dir_).status, 0);
  const std::string base = "auto --server " + dir_ +
                           " --database KELVARO_1_1403 --source KELVARO_1_1402 --from-no 8 "
                           "--to-no 14 ";
  Outcome refused = Xfer(base + "--once --mode NEWID");
  EXPECT_EQ(refused.status, 1) << "accounts missing here and not copied";
  EXPECT_NE(refused.out.find("\trefused\tسرفصل هايي كه با رنگ سبز"), std::string::npos)
      << refused.out;

  // One log line per tick: time, import, loaded, written, outcome, the status text.
  Outcome applied = Xfer(base + "--once --copy-base --mode NEWID");
  EXPECT_EQ(applied.status, 0) << applied.err;
  EXPECT_NE(applied.out.find("\tmaly\tloaded="), std::string::npos) << applied.out;
  EXPECT_NE(applied.out.find("\tapplied\tانتقال انجام شد 1\n"), std::string::npos) << applied.out;
  // The default numbering keeps vouchers already here out: a second run writes nothing.
  Outcome kept = Xfer(base + "--once --copy-base");
  EXPECT_EQ(kept.status, 0) << kept.err;
  EXPECT_NE(kept.out.find("\tapplied=0\tkept\t"), std::string::npos) << kept.out;

  EXPECT_EQ(Xfer(base + "--once --modules maly,sales").status, 1);
  EXPECT_EQ(Xfer(base + "--once --mode SOMETIMES").status, 1);
  Outcome noPeriod =
      Xfer("auto --server " + dir_ + " --database KELVARO_1_1403 --source KELVARO_9_1402 --once");
  EXPECT_EQ(noPeriod.status, 1);
  EXPECT_NE(noPeriod.err.find("دوره مالي انتخاب نشده است"), std::string::npos) << noPeriod.err;
  EXPECT_EQ(Xfer(base + "--times 2").status, 2) << "neither --every nor --once";
  Outcome help = Xfer("auto --help");
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("--once"), std::string::npos);
}

// The three document imports on one schedule, each with its own document type: the first tick
// writes in every import, the second finds each document already here.
TEST_F(XferCli, AutoRunsEveryImportWithItsOwnType) {
  ASSERT_EQ(Xfer("demo init --server " + dir_).status, 0);
  ASSERT_EQ(Xfer("sql --server " + dir_ +
                 " --database KELVARO_1_1403 -e \"UPDATE D SET CatgagoryName = S.CatgagoryName "
                 "FROM Avamel D INNER JOIN KELVARO_1_1402..Avamel S ON S.CatgagoryCode = "
                 "D.CatgagoryCode\"")
                .status,
            0);
  const std::string base = "auto --server " + dir_ +
                           " --database KELVARO_1_1403 --source KELVARO_1_1402 --once "
                           "--modules maly,store,trado ";
  Outcome first = Xfer(base + "--type store=85,trado=FACTOR --copy-base");
  ASSERT_EQ(first.status, 0) << first.err;
  for (const char* module : {"\tmaly\t", "\tstore\t", "\ttrado\t"}) {
    size_t at = first.out.find(module);
    ASSERT_NE(at, std::string::npos) << module << first.out;
    std::string line = first.out.substr(at, first.out.find('\n', at) - at);
    EXPECT_NE(line.find("\tapplied\t"), std::string::npos) << line;
    EXPECT_EQ(line.find("applied=0"), std::string::npos) << line;
  }
  Outcome second = Xfer(base + "--type store=85,trado=FACTOR --copy-base");
  EXPECT_EQ(second.status, 0) << second.err;
  size_t kept = 0;
  for (size_t at = second.out.find("\tapplied=0\tkept\t"); at != std::string::npos;
       at = second.out.find("\tapplied=0\tkept\t", at + 1))
    ++kept;
  EXPECT_EQ(kept, 3u) << second.out;
  // A type named for another import leaves this one without one.
  EXPECT_EQ(Xfer(base + "--type trado=FACTOR").status, 1);
}

TEST_F(XferCli, ImportStorePreviewsAppliesAndRestoresItsBackup) {
  ASSERT_EQ(Xfer("demo init --server " + dir_).status, 0);
  const std::string sql = "sql --server " + dir_ + " --database KELVARO_1_1403 ";
  // The receipt factors of the two periods must agree before documents move.
  ASSERT_EQ(Xfer(sql + "-e \"UPDATE D SET CatgagoryName = S.CatgagoryName FROM Avamel D INNER "
                       "JOIN KELVARO_1_1402..Avamel S ON S.CatgagoryCode = D.CatgagoryCode\"")
                .status,
            0);
  const std::string count = sql + "-e \"SELECT COUNT(*) FROM A_TranID\"";
  std::string before = Xfer(count).out;
  const std::string base =
      "import store --server " + dir_ + " --database KELVARO_1_1403 --source KELVARO_1_1402 ";
  Outcome preview = Xfer(base + "--type 85 --preview");
  EXPECT_EQ(preview.status, 0) << preview.err;
  EXPECT_NE(preview.out.find("documents"), std::string::npos) << preview.out;
  EXPECT_NE(preview.out.find("جمع کل"), std::string::npos) << "totals in the preview";

  Outcome applied = Xfer(base + "--type 85 --mode NEWID");
  EXPECT_EQ(applied.status, 0) << applied.err;
  EXPECT_NE(applied.out.find("انتقال انجام شد"), std::string::npos) << applied.out;
  size_t at = applied.out.find("backup ");
  ASSERT_NE(at, std::string::npos) << applied.out;
  std::string stamp = applied.out.substr(at + 7, applied.out.find('\n', at) - at - 7);
  EXPECT_NE(Xfer(count).out, before);

  Outcome listed =
      Xfer("import store --server " + dir_ + " --database KELVARO_1_1403 --list-backups");
  EXPECT_NE(listed.out.find(stamp + "  8 tables"), std::string::npos) << listed.out;
  Outcome restored =
      Xfer("import store --server " + dir_ + " --database KELVARO_1_1403 --restore " + stamp);
  EXPECT_EQ(restored.status, 0) << restored.err;
  EXPECT_EQ(Xfer(count).out, before);

  Outcome refused = Xfer(base + "--type 100 --mode NEWID");
  EXPECT_EQ(refused.status, 1);
  EXPECT_NE(refused.err.find("براي انتقال موجودي"), std::string::npos) << refused.err;
  EXPECT_EQ(Xfer(base + "--type 999").status, 1);
  EXPECT_EQ(Xfer("import store --help").status, 0);
}

}  // namespace

// Every subcommand a user runs against a period: its own help, and the same refusal in the
// system's language, with exit status 1, when the server directory is not there.
TEST_F(XferCli, EverySubcommandHelpsAndRefusesAMissingServerAlike) {
  struct Command {
    const char* name;
    const char* args;  // what follows --server DIR
  };
  const Command commands[] = {
      {"kol", "--database KELVARO_1_1403 --source KELVARO_1_1402"},
      {"move", "--database KELVARO_1_1403 --source KELVARO_1_1402 --form maly --table KOLL"},
      {"treasury", "--database KELVARO_1_1403 --source KELVARO_1_1402"},
      {"report", "--database KELVARO_1_1403"},
      {"import maly", "--database KELVARO_1_1403 --source KELVARO_1_1402"},
      {"import trado", "--database KELVARO_1_1403 --source KELVARO_1_1402"},
      {"import store", "--database KELVARO_1_1403 --source KELVARO_1_1402 --type 1000"},
      {"auto", "--database KELVARO_1_1403 --source KELVARO_1_1402 --once"},
      {"export", "--database KELVARO_1_1403 -e \"SELECT 1\" --format csv --out "},
  };
  const std::string missing = dir_ + "/nowhere";
  for (const Command& c : commands) {
    Outcome help = Xfer(std::string(c.name) + " --help");
    EXPECT_EQ(help.status, 0) << c.name;
    EXPECT_NE(help.out.find("Usage: xfer " + std::string(c.name)), std::string::npos) << c.name;
    EXPECT_NE(help.out.find("--server"), std::string::npos) << c.name;

    std::string args = c.args;
    if (args.ends_with("--out ")) args += dir_ + "/out.csv";
    Outcome r = Xfer(std::string(c.name) + " --server " + missing + " " + args);
    EXPECT_EQ(r.status, 1) << c.name << ": " << r.err;
    EXPECT_NE(r.err.find("پوشه سرور " + missing + " وجود ندارد."), std::string::npos)
        << c.name << ": " << r.err;
    EXPECT_FALSE(fs::exists(missing)) << c.name << " made the directory it was sent to";
    // A mistyped option stops the command like any other check, before anything runs.
    Outcome typo = Xfer(std::string(c.name) + " --server " + missing + " " + args + " --sever x");
    EXPECT_EQ(typo.status, 1) << c.name << ": " << typo.err;
    EXPECT_NE(typo.err.find("--sever"), std::string::npos) << c.name << ": " << typo.err;
  }
  // A source server that is not there is refused the same way, before anything is opened.
  ASSERT_EQ(Xfer("demo init --server " + dir_).status, 0);
  Outcome source =
      Xfer("kol --server " + dir_ +
           " --database KELVARO_1_1403 --source KELVARO_1_1402 --source-server " + missing);
  EXPECT_EQ(source.status, 1);
  EXPECT_NE(source.err.find("پوشه سرور " + missing + " وجود ندارد."), std::string::npos)
      << source.err;
  EXPECT_EQ(Xfer("report --server " + dir_ + " --database KELVARO_1_1403").status, 0)
      << "the refused run must leave the period as it was";
}
