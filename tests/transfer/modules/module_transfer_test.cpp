// The chart-of-accounts transfer on real demo periods: new rows only, clashing rows replaced as
// marked / all / none, the voucher gate, width checks, a source on another server, a failure in
// the replacing phase, keys with apostrophes, the dry run and the kept run reports.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "db/text_util.h"
#include "module_fixture.h"
#include "transfer/modules/conflict_review.h"
#include "transfer/modules/preview.h"
#include "transfer/run/report_store.h"

namespace xfer::transfer::testing {
namespace {

const ModuleTable& Table(const char* name) {
  const ModuleTable* t = FindModuleTable(MalyForm(), name);
  EXPECT_NE(t, nullptr) << name;
  return *t;
}

// What the destination must hold after a move: every source key carried, clashing keys taking
// the source's rows exactly when replaced, other destination rows untouched.
KeyedRows Expected(const KeyedRows& before, const KeyedRows& source,
                   const std::function<bool(const std::string&)>& replaced) {
  KeyedRows out = before;
  for (const auto& [key, rows] : source) {
    auto it = before.find(key);
    if (it == before.end() || replaced(key)) out[key] = rows;
  }
  return out;
}

using Fixture = ModuleFixture;

TEST_F(Fixture, PeriodListLeavesTheCurrentPeriodOutAndKeepsOneMark) {
  auto t = Start(dir_, "");
  EXPECT_EQ(Value("tempdb",
                  "SELECT COUNT(*) FROM " + t->periodList() + " WHERE DBName = '" + kDest + "'"),
            "0");
  EXPECT_FALSE(t->ConfirmEnabled(false));
  t->ToggleMark(kSource);
  EXPECT_EQ(t->MarkedDatabase(), kSource);
  EXPECT_FALSE(t->ConfirmEnabled(true));  // never on the period tab
  EXPECT_TRUE(t->ConfirmEnabled(false));
  t->ToggleMark("KELVARO_2_1402");
  EXPECT_EQ(t->MarkedDatabase(), "KELVARO_2_1402");
  EXPECT_EQ(Value("tempdb", "SELECT COUNT(*) FROM " + t->periodList() + " WHERE State = 'ض'"), "1");
  t->ToggleMark("KELVARO_2_1402");
  EXPECT_EQ(t->MarkedDatabase(), "");
  EXPECT_FALSE(t->ConfirmEnabled(false));
}

TEST_F(Fixture, EveryTableCarriesNewRowsOnlyWhenNothingClashes) {
  auto t = Start(dir_);
  for (const ModuleTable& table : MalyForm().tables) {
    SCOPED_TRACE(table.table);
    Run(kDest, std::string("DELETE FROM ") + table.table);
    dialogs_.messages.clear();
    TableCopy c = t->CopyFirst(table);
    ASSERT_TRUE(c.carried);
    EXPECT_EQ(c.conflicts, 0);
    t->Finish(c, 0, false);
    EXPECT_EQ(Rows(kDest, table), Rows(kSource, table));
    EXPECT_EQ(c.unit.inserted, c.unit.sourceRows);
    ASSERT_EQ(dialogs_.messages.size(), 1u);
    EXPECT_EQ(dialogs_.messages[0].text, t->Expand(table.caption) + " منتقل شد.");
    EXPECT_EQ(dialogs_.messages[0].code, "1IR");
    EXPECT_FALSE(dialogs_.stateVisible);
  }
}

TEST_F(Fixture, ClashingRowsAreReplacedMarkedAllOrNone) {
  const ModuleTable& moein = Table("MOEIN");
  const struct {
    ReplaceMode mode;
    const char* name;
  } kCases[] = {
      {ReplaceMode::kNone, "none"}, {ReplaceMode::kAll, "all"}, {ReplaceMode::kMarked, "marked"}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    const std::string dir = CopyServer(c.name);
    Reopen(dir);
    const KeyedRows source = Rows(kSource, moein);
    const KeyedRows before = Rows(kDest, moein);
    auto t = Start(dir);
    TableCopy copy = t->CopyFirst(moein);
    ASSERT_TRUE(copy.carried);
    ASSERT_GT(copy.conflicts, 1);
    EXPECT_TRUE(dialogs_.stateVisible);  // the conflict window opens over the progress window
    ConflictReview review(link_, dialogs_, copy.call);
    EXPECT_EQ(review.RowCount(), copy.conflicts);
    // Two clashing keys chosen: the first and the last in key order.
    std::vector<std::string> chosen;
    for (const auto& [key, rows] : source)
      if (before.count(key)) chosen.push_back(key);
    chosen = {chosen.front(), chosen.back()};
    if (c.mode == ReplaceMode::kMarked) {
      EXPECT_EQ(review.MarkKeys(chosen), 2);
    }
    const long long replaced = review.Decide(c.mode);
    t->Finish(copy, replaced, true);
    auto isChosen = [&](const std::string& k) {
      return c.mode == ReplaceMode::kAll ||
             (c.mode == ReplaceMode::kMarked &&
              std::find(chosen.begin(), chosen.end(), k) != chosen.end());
    };
    EXPECT_EQ(Rows(kDest, moein), Expected(before, source, isChosen));
    EXPECT_EQ(replaced, c.mode == ReplaceMode::kNone     ? 0
                        : c.mode == ReplaceMode::kMarked ? 2
                                                         : copy.conflicts);
    // Every decision releases the conflict table.
    EXPECT_FALSE(db::TempObjectExists(*link_.connection(), copy.call.conflictTable));
    EXPECT_FALSE(dialogs_.stateVisible);
    t.reset();
  }
}

TEST_F(Fixture, InvertingMarksOfAnUnmarkedTableMarksEveryRow) {
  auto t = Start(dir_);
  TableCopy copy = t->CopyFirst(Table("TAFSILY"));
  ConflictReview review(link_, dialogs_, copy.call);
  EXPECT_EQ(review.MarkedCount(), 0);
  review.InvertMarks();
  EXPECT_EQ(review.MarkedCount(), copy.conflicts);
  review.InvertMarks();
  EXPECT_EQ(review.MarkedCount(), 0);
  review.Decide(ReplaceMode::kNone);
}

TEST_F(Fixture, OpeningOrClosingVoucherClosesTheForm) {
  for (const char* kind : {"2", "10"}) {
    SCOPED_TRACE(kind);
    const std::string dir = CopyServer(std::string("gate") + kind);
    Reopen(dir);
    Run(kDest,
        std::string("INSERT INTO Asnad (TypeSys, WhatDoc, SanadNo, SanadDate) VALUES ('M', '") +
            kind + "', '1', '1403/01/01')");
    const auto sums = Checksums(kDest);
    auto t = Start(dir);
    EXPECT_TRUE(t->Gated());
    EXPECT_FALSE(t->ConfirmEnabled(false));
    TableCopy copy = t->CopyFirst(Table("KOLL"));
    EXPECT_FALSE(copy.carried);
    auto after = Checksums(kDest);
    after.erase(kRunTable);
    after.erase(kRunUnitTable);
    EXPECT_EQ(after, sums);
    t.reset();
  }
  // Another system's voucher of those kinds leaves the form open.
  Run(kDest,
      "INSERT INTO Asnad (TypeSys, WhatDoc, SanadNo, SanadDate) VALUES ('S', '2', '1', "
      "'1403/01/01')");
  auto t = Start(dir_);
  EXPECT_FALSE(t->Gated());
}

TEST_F(Fixture, WiderCodeInTheDestinationStopsBeforeAnyStatement) {
  Run(kDest, "ALTER TABLE Moein ALTER COLUMN Moein varchar(12) NULL");
  const auto sums = Checksums(kDest);
  auto t = Start(dir_);
  TableCopy copy = t->CopyFirst(Table("MOEIN"));
  EXPECT_FALSE(copy.carried);
  ASSERT_EQ(dialogs_.messages.size(), 1u);
  EXPECT_EQ(dialogs_.messages[0].text, "طول کد حساب معين مبدا و مقصد متفاوت مي باشد");
  EXPECT_EQ(dialogs_.messages[0].code, "1ER");
  auto after = Checksums(kDest);
  after.erase(kRunTable);
  after.erase(kRunUnitTable);
  EXPECT_EQ(after, sums);
  // The refusal is kept with the run.
  auto runs = ReadRunReports(*link_.connection());
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_EQ(runs[0].report.outcome, dialogs_.messages[0].text);
}

TEST_F(Fixture, RemoteSourceGivesTheEndStateOfALocalOne) {
  const std::string remote = CopyServer("remote");
  const std::string local = CopyServer("same");
  for (const char* name : {"MOEIN", "FIXDES", "TAFSILY2"}) {
    SCOPED_TRACE(name);
    const ModuleTable& table = Table(name);
    KeyedRows conflicts[2];
    KeyedRows results[2];
    for (int remoteCase = 0; remoteCase < 2; ++remoteCase) {
      const std::string dir = remoteCase ? dir_ : local;
      auto t = Start(dir);
      if (remoteCase) UseRemote(*t, remote);
      ASSERT_EQ(t->RemoteSource(), remoteCase == 1);
      TableCopy copy = t->CopyFirst(table);
      ASSERT_TRUE(copy.carried);
      Reopen(dir);
      if (copy.conflicts > 0) {
        auto sets = conn_->Execute("SELECT (" + copy.call.key + ") AS K, " + copy.call.columns +
                                   " FROM " + copy.call.conflictTable);
        for (const auto& row : sets.back().rows) {
          std::string line;
          for (size_t i = 1; i < row.size(); ++i)
            line += (engine::IsNull(row[i]) ? "" : engine::FormatValue(row[i])) + "|";
          conflicts[remoteCase][engine::FormatValue(row[0])].push_back(line);
        }
        ConflictReview(link_, dialogs_, copy.call).Decide(ReplaceMode::kAll);
      }
      t->Finish(copy, 0, copy.conflicts > 0);
      results[remoteCase] = Rows(kDest, table);
      t.reset();
    }
    for (auto& side : conflicts)
      for (auto& [key, rows] : side) std::sort(rows.begin(), rows.end());
    EXPECT_EQ(conflicts[1], conflicts[0]);
    EXPECT_EQ(results[1], results[0]);
  }
}

TEST_F(Fixture, FailureWhileReplacingLeavesTheTableAsBefore) {
  const ModuleTable& koll = Table("KOLL");
  auto t = Start(dir_);
  TableCopy copy = t->CopyFirst(koll);
  ASSERT_GT(copy.conflicts, 0);
  const KeyedRows carried = Rows(kDest, koll);
  // One offered row too long for the destination: the replacing phase deletes the clashing
  // rows and then fails on that row's insert.
  Run("tempdb", "ALTER TABLE " + copy.call.conflictTable + " ALTER COLUMN NamHesab varchar(900)");
  Run("tempdb", "UPDATE " + copy.call.conflictTable + " SET NamHesab = REPLICATE('x', 800)");
  ConflictReview review(link_, dialogs_, copy.call);
  EXPECT_THROW(review.Decide(ReplaceMode::kAll), std::exception);
  EXPECT_EQ(Rows(kDest, koll), carried);
  EXPECT_FALSE(dialogs_.stateVisible);
  EXPECT_EQ(Value(kDest, "SELECT @@TRANCOUNT"), "0");
}

TEST_F(Fixture, KeysWithApostrophes) {
  const ModuleTable& tafsily = Table("TAFSILY");
  Run(kSource, "INSERT INTO Tafsily (Tafsily, NamHesab) VALUES ('O''1', 'جديد'), ('O''2', 'نو')");
  Run(kDest, "INSERT INTO Tafsily (Tafsily, NamHesab) VALUES ('O''1', 'قديم')");
  auto t = Start(dir_);
  TableCopy copy = t->CopyFirst(tafsily);
  ConflictReview review(link_, dialogs_, copy.call);
  EXPECT_EQ(review.MarkKeys({"O'1"}), 1);
  EXPECT_EQ(review.Decide(ReplaceMode::kMarked), 1);
  t->Finish(copy, 1, true);
  EXPECT_EQ(Value(kDest, "SELECT NamHesab FROM Tafsily WHERE Tafsily = 'O''1'"), "جديد");
  EXPECT_EQ(Value(kDest, "SELECT NamHesab FROM Tafsily WHERE Tafsily = 'O''2'"), "نو");
}

TEST_F(Fixture, PreviewWritesNothingAndForetellsTheMove) {
  auto t = Start(dir_);
  const auto destBefore = Checksums(kDest);
  const auto sourceBefore = Checksums(kSource);
  std::vector<TablePreview> previews;
  for (const ModuleTable& table : MalyForm().tables)
    previews.push_back(PreviewTable(*link_.connection(), std::string(kSource) + ".." + table.table,
                                    *link_.connection(), table));
  EXPECT_EQ(Checksums(kDest), destBefore);
  EXPECT_EQ(Checksums(kSource), sourceBefore);

  size_t i = 0;
  bool someDiffer = false;
  for (const ModuleTable& table : MalyForm().tables) {
    SCOPED_TRACE(table.table);
    const TablePreview& p = previews[i++];
    const KeyedRows before = Rows(kDest, table);
    TableCopy copy = t->CopyFirst(table);
    EXPECT_EQ(p.sourceRows, copy.unit.sourceRows);
    EXPECT_EQ(p.inserted, copy.unit.inserted);
    EXPECT_EQ(p.clashing, copy.conflicts);
    EXPECT_EQ(p.identical + static_cast<long long>(p.clashes.size()), p.clashing);
    // A clashing row named as differing really differs in the named columns, and in no other.
    if (copy.conflicts > 0) ConflictReview(link_, dialogs_, copy.call).Decide(ReplaceMode::kAll);
    t->Finish(copy, 0, copy.conflicts > 0);
    const KeyedRows after = Rows(kDest, table);
    for (const ClashingRow& c : p.clashes) {
      ASSERT_TRUE(before.count(c.key)) << c.key;
      EXPECT_FALSE(c.differing.empty());
      EXPECT_NE(before.at(c.key), after.at(c.key)) << c.key;
      someDiffer = true;
    }
  }
  EXPECT_TRUE(someDiffer);
}

TEST_F(Fixture, EveryPressIsKeptAsARunOfTheDestination) {
  auto t = Start(dir_);
  TableCopy koll = t->CopyFirst(Table("KOLL"));
  ConflictReview(link_, dialogs_, koll.call).Decide(ReplaceMode::kNone);
  t->Finish(koll, 0, true);
  TableCopy groh = t->CopyFirst(Table("GROH"));
  t->Finish(groh, ConflictReview(link_, dialogs_, groh.call).Decide(ReplaceMode::kAll), true);
  auto runs = ReadRunReports(*link_.connection());
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_LT(runs[0].id, runs[1].id);
  const RunReport& r = runs[1].report;
  EXPECT_EQ(r.what, "maly GROH");
  EXPECT_EQ(r.source, kSource);
  EXPECT_EQ(r.destination, kDest);
  EXPECT_EQ(r.outcome, "OK");
  ASSERT_EQ(r.units.size(), 1u);
  EXPECT_EQ(r.units[0].name, "گروه حسابها");
  EXPECT_EQ(r.units[0].sourceRows, groh.unit.sourceRows);
  EXPECT_EQ(r.units[0].inserted, groh.unit.inserted);
  EXPECT_EQ(r.units[0].clashing, groh.conflicts);
  EXPECT_EQ(r.units[0].replaced, groh.conflicts);
  EXPECT_EQ(runs[0].report.units.at(0).replaced, 0);
  EXPECT_EQ(ReadRunReports(*link_.connection(), 1).size(), 1u);
}

TEST_F(Fixture, UsersTabReplacesTheUserTablesWholeAndKeepsTheRun) {
  // The source has a user the destination lacks (with an apostrophe); the destination has one
  // of its own that the copy must drop.
  Run(kSource,
      "INSERT INTO UserHub (UserID, User_Name, User_Pass1, IsAdmin, IsActive, Kelvaro) VALUES "
      "(9, 'O''Neil', 'ONEIL', 'F', 'T', 'OPERATOR_ASNAD_MALY=T;ROZ_SANAD_NO=4;"
      "CHANGE_NAMHESAB=F;')");
  Run(kSource,
      "INSERT INTO UserHubDetail (RowId, UserID, sCode, sYear, sAccess) "
      "VALUES (9, 9, '1', '1402', 'T')");
  Run(kDest,
      "INSERT INTO UserHub (UserID, User_Name, User_Pass1, IsAdmin, IsActive, Kelvaro) "
      "VALUES (8, 'LOCAL', 'LOCAL8', 'F', 'T', '')");
  auto source = Checksums(kSource);
  auto t = Start(dir_);
  ASSERT_TRUE(t->CopyUsers()) << (dialogs_.messages.empty() ? "" : dialogs_.messages.back().text);
  auto after = Checksums(kDest);
  EXPECT_EQ(after["UserHubDetail"], source["UserHubDetail"]);
  EXPECT_EQ(after["UserPrivilege"], source["UserPrivilege"]);
  const std::string users = Value(kSource, "SELECT COUNT(*) FROM UserHub");
  EXPECT_EQ(Value(kDest, "SELECT COUNT(*) FROM UserHub"), users);
  EXPECT_EQ(Value(kDest, std::string("SELECT COUNT(*) FROM UserHub d JOIN ") + kSource +
                             "..UserHub s ON s.UserID = d.UserID AND s.User_Name = d.User_Name "
                             "AND s.User_Pass1 = d.User_Pass1"),
            users);
  // The operator options restart; what follows CHANGE_NAMHESAB comes along.
  EXPECT_EQ(Value(kDest, "SELECT CAST(Kelvaro AS varchar(200)) FROM UserHub WHERE UserID = 9"),
            "OPERATOR_ASNAD_MALY=F;ROZ_SANAD_NO=;CHANGE_NAMHESAB=F;");
  EXPECT_EQ(Value(kDest, "SELECT COUNT(*) FROM UserHub WHERE User_Pass1 = 'LOCAL8'"), "0");
  ASSERT_FALSE(dialogs_.messages.empty());
  EXPECT_EQ(dialogs_.messages.back().text, "کاربران منتقل شد");
  EXPECT_EQ(dialogs_.messages.back().code, "1ER");
  EXPECT_EQ(dialogs_.states.front(), "STOP|انتقال کابران|لطفا صبر کنيد");
  EXPECT_FALSE(dialogs_.stateVisible);

  auto runs = ReadRunReports(*link_.connection());
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_EQ(runs[0].report.what, "maly UserHub");
  EXPECT_EQ(runs[0].report.outcome, "OK");
  ASSERT_EQ(runs[0].report.units.size(), 1u);
  EXPECT_EQ(std::to_string(runs[0].report.units[0].inserted), users);

  // Without a marked period nothing changes and the refusal is kept.
  t->ToggleMark(kSource);
  auto before = Checksums(kDest);
  EXPECT_FALSE(t->CopyUsers());
  EXPECT_EQ(dialogs_.messages.back().text, "شركت مبدا انتخاب نشده !");
  auto unchanged = Checksums(kDest);
  EXPECT_EQ(unchanged["UserHub"], before["UserHub"]);
  EXPECT_EQ(ReadRunReports(*link_.connection()).back().report.outcome, "شركت مبدا انتخاب نشده !");
}

TEST_F(Fixture, PrintFormsAreCopiedAsTheExistingFormAnswerSays) {
  // The period's form 1 carries the name of the source's form 1, with a layout of its own.
  const struct {
    int answer;
    const char* name;
    std::vector<std::string> forms;  // the period's accounting layouts afterwards: id|name|header
  } kCases[] = {
      {100, "replace", {"0|سند حسابداري 1|HDR", "1|سند حسابداري 2|HDR", "2|سند حسابداري 3|HDR"}},
      {200,
       "rename",
       {"0|سند حسابداري 1|HDR", "1|سند حسابداري 2|OLD", "2|نسخه دوم|HDR", "3|سند حسابداري 3|HDR"}},
      {2, "skip", {"0|سند حسابداري 1|HDR", "1|سند حسابداري 2|OLD", "2|سند حسابداري 3|HDR"}},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    const std::string dir = CopyServer(std::string("prn") + c.name);
    Reopen(dir);
    Run(kDest,
        "UPDATE Prn_Form_T SET FrmName = 'سند حسابداري 2', sHdr = 'OLD' "
        "WHERE WhatDoc = 'M' AND FrmID = 1");
    const std::string others = Value(kDest, "SELECT COUNT(*) FROM Prn_Form_T WHERE WhatDoc <> 'M'");
    auto t = Start(dir);
    std::vector<std::string> asked;
    ASSERT_TRUE(t->CopyPrintForms("M", [&](const std::string& name) {
      asked.push_back(name);
      return ExistingFormAnswer{c.answer, c.answer == 200 ? " نسخه دوم " : ""};
    }));
    EXPECT_EQ(asked, std::vector<std::string>{"سند حسابداري 2"});
    auto sets = conn_->Execute(std::string("SELECT FrmID, RTRIM(FrmName), sHdr FROM ") + kDest +
                               "..Prn_Form_T WHERE WhatDoc = 'M' ORDER BY FrmID");
    std::vector<std::string> forms;
    for (const auto& row : sets.back().rows)
      forms.push_back(engine::FormatValue(row[0]) + "|" + engine::FormatValue(row[1]) + "|" +
                      engine::FormatValue(row[2]));
    EXPECT_EQ(forms, c.forms);
    // Every layout keeps its three objects under its own id; other kinds are untouched.
    EXPECT_EQ(Value(kDest, "SELECT COUNT(*) FROM Prn_Object_T WHERE WhatDoc = 'M'"),
              std::to_string(3 * c.forms.size()));
    EXPECT_EQ(Value(kDest,
                    "SELECT COUNT(*) FROM Prn_Object_T o WHERE WhatDoc = 'M' AND NOT "
                    "EXISTS (SELECT * FROM Prn_Form_T f WHERE f.WhatDoc = 'M' AND "
                    "f.FrmID = o.FrmID)"),
              "0");
    EXPECT_EQ(Value(kDest, "SELECT COUNT(*) FROM Prn_Form_T WHERE WhatDoc <> 'M'"), others);
    const RunReport r = ReadRunReports(*link_.connection()).back().report;
    EXPECT_EQ(r.what, "maly Prn_Form_T");
    EXPECT_EQ(r.outcome, "OK");
    ASSERT_EQ(r.units.size(), 1u);
    EXPECT_EQ(r.units[0].sourceRows, 2);
    EXPECT_EQ(r.units[0].inserted, c.answer == 2 ? 1 : 2);
    EXPECT_EQ(r.units[0].replaced, c.answer == 100 ? 1 : 0);
  }
}

}  // namespace
}  // namespace xfer::transfer::testing
