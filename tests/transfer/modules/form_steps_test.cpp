// What the sales, fixed-assets and inventory forms do besides merging a table, on real demo
// periods: the steps after the items (pictures, order points), the print tabs with the sales
// voucher settings, the assets form's own titles, messages and period list, the inventory
// form's structure message, clashing rows kept or replaced as marked, and a source on another
// server giving the local end state.
#include <gtest/gtest.h>

#include <algorithm>

#include "module_fixture.h"
#include "transfer/modules/conflict_review.h"
#include "transfer/run/report_store.h"

namespace xfer::transfer::testing {
namespace {

const ModuleForm& Form(const char* name) {
  const ModuleForm* f = FindModuleForm(name);
  EXPECT_NE(f, nullptr) << name;
  return *f;
}

const ModuleTable& Table(const char* form, const char* table) {
  const ModuleTable* t = FindModuleTable(Form(form), table);
  EXPECT_NE(t, nullptr) << form << "/" << table;
  return *t;
}

class FormSteps : public ModuleFixture {
 protected:
  // One press of the confirm button, clashing rows decided by `mode`.
  TableCopy Move(ModuleTransfer& t, const ModuleTable& table,
                 ReplaceMode mode = ReplaceMode::kNone) {
    TableCopy c = t.CopyFirst(table);
    EXPECT_TRUE(c.carried);
    if (!c.carried || c.emptySource) return c;
    long long replaced = 0;
    if (c.conflicts > 0) replaced = ConflictReview(link_, dialogs_, c.call).Decide(mode);
    t.Finish(c, replaced, c.conflicts > 0);
    return c;
  }
  // The rows of a statement as sorted lines.
  std::vector<std::string> Lines(const std::string& sql) {
    auto sets = conn_->Execute(sql);
    std::vector<std::string> out;
    for (const auto& row : sets.back().rows) {
      std::string line;
      for (const auto& v : row)
        line += (engine::IsNull(v) ? "<null>" : engine::FormatValue(v)) + "|";
      out.push_back(line);
    }
    std::sort(out.begin(), out.end());
    return out;
  }
};

TEST_F(FormSteps, PicturesAndOrderPointsFollowTheItems) {
  const struct {
    const char* form;
    bool levels;  // the inventory form carries the stock levels and marks the items
  } kCases[] = {{"sell", false}, {"anbar", true}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.form);
    const std::string dir = CopyServer(c.form);
    Reopen(dir);
    // The source: a picture of no item, one whose code carries blanks.
    Run(kSource, "INSERT INTO A_Kalapic (KalaNo, KalaPic) VALUES ('NO''ITEM', 0x01)");
    const std::string padded =
        Value(kSource, std::string("SELECT TOP 1 KalaNo FROM A_Kalapic WHERE "
                                   "KalaNo IN (SELECT KalaCod FROM ") +
                           kDest + "..Kala)");
    ASSERT_NE(padded, "<none>");
    Run(kSource,
        "UPDATE A_Kalapic SET KalaNo = ' ' + KalaNo + ' ' WHERE KalaNo = '" + padded + "'");
    // The period: a picture of its own, an order point only here, one the source has too.
    Run(kDest, "INSERT INTO A_Kalapic (KalaNo, KalaPic) SELECT TOP 1 KalaCod, 0xDEAD FROM Kala");
    Run(kDest, "INSERT INTO A_KalaSefaresh VALUES ('ZZ', 'Z''Z', 77, 1, 1)");
    const std::string anbar = Value(kSource, "SELECT TOP 1 AnbarCod FROM A_KalaSefaresh");
    const std::string kala =
        Value(kSource, "SELECT TOP 1 KalaCod FROM A_KalaSefaresh WHERE AnbarCod = '" + anbar + "'");
    const std::string pair = " WHERE AnbarCod = '" + anbar + "' AND KalaCod = '" + kala + "'";
    Run(kDest, "DELETE FROM A_KalaSefaresh" + pair);
    Run(kDest, "INSERT INTO A_KalaSefaresh VALUES ('" + anbar + "', '" + kala + "', 999, 9, 9)");
    const std::string onlyHere = Value(
        kDest, std::string("SELECT COUNT(*) FROM A_KalaSefaresh d WHERE NOT EXISTS (SELECT * "
                           "FROM ") +
                   kSource +
                   "..A_KalaSefaresh s WHERE s.AnbarCod = d.AnbarCod AND s.KalaCod = d.KalaCod)");

    auto t = Start(dir, kSource, &Form(c.form));
    Move(*t, Table(c.form, "KALA"));

    // Every picture is the source's, of an item the period now has, matched without blanks.
    EXPECT_EQ(Lines(std::string("SELECT LTRIM(RTRIM(KalaNo)), DATALENGTH(KalaPic) FROM ") + kDest +
                    "..A_Kalapic"),
              Lines(std::string("SELECT LTRIM(RTRIM(KalaNo)), DATALENGTH(KalaPic) FROM ") +
                    kSource + "..A_Kalapic WHERE LTRIM(RTRIM(KalaNo)) IN (SELECT KalaCod FROM " +
                    kDest + "..Kala)"));
    EXPECT_EQ(Value(kDest, "SELECT COUNT(*) FROM A_Kalapic WHERE LTRIM(RTRIM(KalaNo)) = '" +
                               padded + "' AND KalaNo <> '" + padded + "'"),
              "1");
    EXPECT_EQ(Value(kDest, "SELECT COUNT(*) FROM A_Kalapic WHERE DATALENGTH(KalaPic) = 2"), "0");
    // Order points: the source's pairs replaced, the period's own kept.
    EXPECT_EQ(Value(kDest, "SELECT COUNT(*) FROM A_KalaSefaresh"),
              std::to_string(std::stoi(onlyHere) +
                             std::stoi(Value(kSource, "SELECT COUNT(*) FROM A_KalaSefaresh"))));
    EXPECT_EQ(Value(kDest, "SELECT NogteSefaresh FROM A_KalaSefaresh WHERE KalaCod = 'Z''Z'"),
              "77");
    EXPECT_EQ(Value(kDest, "SELECT NogteSefaresh FROM A_KalaSefaresh" + pair),
              Value(kSource, "SELECT NogteSefaresh FROM A_KalaSefaresh" + pair));
    EXPECT_EQ(
        Value(kDest, "SELECT ISNULL(STR(maxmojodi), 'none') FROM A_KalaSefaresh" + pair),
        c.levels ? Value(kSource, "SELECT STR(maxmojodi) FROM A_KalaSefaresh" + pair) : "none");
    EXPECT_EQ(Value(kDest,
                    "SELECT COUNT(*) FROM Kala WHERE KalaCod IN (SELECT KalaCod FROM "
                    "A_KalaSefaresh) AND ISNULL(OrderQtyTafkiki, '') = '*'"),
              c.levels ? Value(kDest,
                               "SELECT COUNT(*) FROM Kala WHERE KalaCod IN (SELECT KalaCod FROM "
                               "A_KalaSefaresh)")
                       : Value(kSource,
                               "SELECT COUNT(*) FROM Kala WHERE KalaCod IN (SELECT "
                               "KalaCod FROM A_KalaSefaresh) AND "
                               "ISNULL(OrderQtyTafkiki, '') = '*' AND KalaCod IN "
                               "(SELECT KalaCod FROM " +
                                   std::string(kDest) + "..Kala)"));

    // The run names the table and each step.
    const RunReport r = ReadRunReports(*link_.connection()).back().report;
    EXPECT_EQ(r.outcome, "OK");
    ASSERT_EQ(r.units.size(), 3u);
    EXPECT_EQ(r.units[1].table, "A_Kalapic");
    EXPECT_EQ(r.units[2].table, "A_KalaSefaresh");
    EXPECT_EQ(std::to_string(r.units[1].inserted), Value(kDest, "SELECT COUNT(*) FROM A_Kalapic"));
    t.reset();
  }
}

TEST_F(FormSteps, AFailingStepLeavesItsTableAsBefore) {
  // A source order point too long for the period's column fails after the delete.
  Run(kSource, "ALTER TABLE A_KalaSefaresh ALTER COLUMN KalaCod varchar(60) NULL");
  Run(kSource, "INSERT INTO A_KalaSefaresh VALUES ('0001', REPLICATE('K', 50), 5, 5, 5)");
  const auto before = Lines(std::string("SELECT * FROM ") + kDest + "..A_KalaSefaresh");
  auto t = Start(dir_, kSource, &Form("anbar"));
  TableCopy c = t->CopyFirst(Table("anbar", "KALA"));
  ASSERT_TRUE(c.carried);
  if (c.conflicts > 0) ConflictReview(link_, dialogs_, c.call).Decide(ReplaceMode::kNone);
  EXPECT_THROW(t->Finish(c, 0, c.conflicts > 0), std::exception);
  EXPECT_EQ(Lines(std::string("SELECT * FROM ") + kDest + "..A_KalaSefaresh"), before);
  EXPECT_EQ(Value(kDest, "SELECT @@TRANCOUNT"), "0");
  EXPECT_FALSE(dialogs_.stateVisible);
  // The pictures before it stay carried; the run keeps the error.
  EXPECT_EQ(Value(kDest, "SELECT COUNT(*) FROM A_Kalapic WHERE KalaNo NOT IN (SELECT KalaNo FROM " +
                             std::string(kSource) + "..A_Kalapic)"),
            "0");
  const RunReport r = ReadRunReports(*link_.connection()).back().report;
  ASSERT_EQ(r.units.size(), 3u);
  EXPECT_TRUE(r.units[1].error.empty());
  EXPECT_FALSE(r.units[2].error.empty());
  EXPECT_EQ(r.outcome, r.units[2].error);
}

TEST_F(FormSteps, PrintTabsCopyTheirKindAndTheSalesVoucherSettings) {
  const struct {
    const char* form;
    const char* letter;
    const char* title;  // the demo names the layouts of the kind title + " " + number
    bool clash;         // the period's own layouts carry the names of the source's
    std::vector<std::string> asked;
    bool settings;        // R_AsnadTrado replaced by the source's
    bool remote = false;  // the source period on another server
  } kCases[] = {
      {"sell", "R", "صورتحساب فروش", false, {}, true},
      {"sell", "R", "صورتحساب فروش", false, {}, true, true},
      {"sell", "R", "صورتحساب فروش", true, {"صورتحساب فروش 2", "صورتحساب فروش 3"}, false},
      {"dara", "D", "شناسنامه دارايي", false, {"شناسنامه دارايي 1"}, false},
      {"anbar", "S", "رسيد انبار", false, {"رسيد انبار 1"}, false},
  };
  int n = 0;
  for (const auto& c : kCases) {
    SCOPED_TRACE(std::string(c.form) + (c.clash ? " clash" : "") + (c.remote ? " remote" : ""));
    const std::string dir = CopyServer("prn" + std::to_string(n++));
    Reopen(dir);
    const std::string kind = std::string(" WHERE WhatDoc = '") + c.letter + "'";
    if (c.clash)
      Run(kDest, std::string("UPDATE Prn_Form_T SET FrmName = '") + c.title +
                     " ' + LTRIM(STR(3 - FrmID))" + kind);
    Run(kDest, "DELETE FROM R_AsnadTrado WHERE Raj = 1");
    const auto settings = Lines(std::string("SELECT * FROM ") + kDest + "..R_AsnadTrado");
    const auto others = Lines(std::string("SELECT * FROM ") + kDest +
                              "..Prn_Form_T WHERE WhatDoc <> '" + c.letter + "'");
    const ModuleForm& form = Form(c.form);
    const CopyTab* tab = FindCopyTab(form, "Prn_Form_T");
    ASSERT_NE(tab, nullptr);
    EXPECT_EQ(tab->printLetter, std::string(c.letter));
    auto t = Start(dir, kSource, &form);
    if (c.remote) UseRemote(*t, CopyServer("prnremote"));
    ASSERT_EQ(t->RemoteSource(), c.remote);
    std::vector<std::string> asked;
    // Every clash skipped where the period's layouts carry the source's names; replaced else.
    ASSERT_TRUE(t->CopyPrintForms(*tab, [&](const std::string& name) {
      asked.push_back(name);
      return ExistingFormAnswer{c.clash ? 2 : 100, ""};
    }));
    EXPECT_EQ(asked, c.asked);
    const auto names =
        Lines(std::string("SELECT RTRIM(FrmName) FROM ") + kDest + "..Prn_Form_T" + kind);
    if (!c.clash) {
      // Layout 0 comes only where the form takes it; the source's others always.
      std::vector<std::string> expected = {
          std::string(c.title) + " 1|", std::string(c.title) + " 2 (جديد)|",
          std::string(c.title) + " 2|", std::string(c.title) + " 3|"};
      std::sort(expected.begin(), expected.end());
      EXPECT_EQ(names, expected);
      EXPECT_EQ(Value(kDest, "SELECT COUNT(*) FROM Prn_Object_T" + kind), "12");
    } else {
      EXPECT_EQ(names.size(), 2u);
    }
    EXPECT_EQ(Lines(std::string("SELECT * FROM ") + kDest + "..Prn_Form_T WHERE WhatDoc <> '" +
                    c.letter + "'"),
              others);
    EXPECT_EQ(
        Lines(std::string("SELECT * FROM ") + kDest + "..R_AsnadTrado"),
        c.settings ? Lines(std::string("SELECT * FROM ") + kSource + "..R_AsnadTrado") : settings);
    t.reset();
  }
}

TEST_F(FormSteps, AssetTablesEndWithTheirOwnMessages) {
  const ModuleForm& dara = Form("dara");
  Run(kSource, "DELETE FROM D_Makan");  // an empty source ends like any other
  const std::string places = Value(kDest, "SELECT COUNT(*) FROM D_Makan");
  auto t = Start(dir_, kSource, &dara);
  for (const ModuleTable& table : dara.tables) {
    SCOPED_TRACE(table.table);
    ASSERT_NE(*table.doneMessage, '\0');
    dialogs_.messages.clear();
    dialogs_.states.clear();
    TableCopy c = Move(*t, table, ReplaceMode::kAll);
    EXPECT_FALSE(c.emptySource);
    ASSERT_EQ(dialogs_.states.size(), 1u + (c.conflicts > 0 ? 1u : 0u));
    EXPECT_EQ(dialogs_.states[0], "STOP|" + t->Expand(table.progressTitle) + "|لطفا صبر کنيد");
    ASSERT_EQ(dialogs_.messages.size(), 1u);
    EXPECT_EQ(dialogs_.messages[0].text, t->Expand(table.doneMessage));
    EXPECT_EQ(dialogs_.messages[0].code, "1ER");
  }
  EXPECT_EQ(t->Expand(Table("dara", "TAFSILY2").doneMessage), "حسابهاي مرکز هزينه منتقل شد");
  EXPECT_EQ(Value(kDest, "SELECT COUNT(*) FROM D_Makan"), places);
}

TEST_F(FormSteps, AssetFormListsThisServersPeriodsOnce) {
  auto t = Start(dir_, kSource, &Form("dara"));
  const std::string remote = CopyServer("remote");
  SourceServer s;
  s.name = remote;
  s.connection = db::OpenBackend(db::ConnectionString(g_, remote, "master", "SQL", "", ""));
  t->UseSourceServer(std::move(s));
  EXPECT_FALSE(t->RemoteSource());
  t->FillPeriodList();  // kept as made, the mark with it
  EXPECT_EQ(t->MarkedDatabase(), kSource);
  EXPECT_EQ(Value("tempdb", "SELECT COUNT(*) FROM " + t->periodList() + " WHERE DBName = '" +
                                std::string(kDest) + "'"),
            "0");
  EXPECT_EQ(Value("tempdb", "SELECT COUNT(*) FROM " + t->periodList()), "3");
}

TEST_F(FormSteps, DifferentStructureStopsWithEachFormsText) {
  Run("KELVARO_Hub", "UPDATE Hub_Company SET sVer = '9.9' WHERE sCode = '1' AND sYear = '1402'");
  const std::string rest =
      "براي انتقال اطلاعات پايه حسابها بايد به شرکت1 و دوره مالي 1402 وصل شويد و گزينه تغيير "
      "ساختار را اجرا کنيد . ";
  const struct {
    const char* form;
    const char* first;
  } kCases[] = {
      {"sell", "ساختار فايل شرکت انتخاب شده با شرکت جاري متفاوت مي باشد. "},
      {"anbar", "ساختار فايل شرکت انتخاب شده با شرکت جاري متفاوت مي\u200fباشد. "},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.form);
    auto t = Start(dir_, kSource, &Form(c.form));
    dialogs_.messages.clear();
    EXPECT_FALSE(t->CopyFirst(Table(c.form, "MEGYAS")).carried);
    ASSERT_EQ(dialogs_.messages.size(), 1u);
    EXPECT_EQ(dialogs_.messages[0].text, c.first + rest);
    EXPECT_EQ(dialogs_.messages[0].code, "1ER");
  }
}

TEST_F(FormSteps, InstalmentFormulasTakeNoWidthCheck) {
  Run(kDest, "ALTER TABLE R_AgsatFormula ALTER COLUMN AgsatNam varchar(300) NULL");
  Run(kDest, "DELETE FROM R_AgsatFormula");
  auto t = Start(dir_, kSource, &Form("sell"));
  TableCopy c = Move(*t, Table("sell", "R_AgsatFormula"));
  EXPECT_EQ(c.unit.inserted, 3);
  EXPECT_EQ(dialogs_.messages.back().text, "رابطه اقساط منتقل شد.");
  EXPECT_EQ(dialogs_.messages.back().code, "1IR");
}

TEST_F(FormSteps, ClashingRowsKeptOrReplacedAsMarked) {
  const struct {
    const char* form;
    const char* table;
  } kCases[] = {{"sell", "R_CUSTOMER"}, {"dara", "D_AMVAL"}, {"anbar", "A_MASRAF"}};
  int n = 0;
  for (const auto& c : kCases)
    for (ReplaceMode mode : {ReplaceMode::kNone, ReplaceMode::kMarked}) {
      SCOPED_TRACE(std::string(c.form) + (mode == ReplaceMode::kNone ? " none" : " marked"));
      const std::string dir = CopyServer("marks" + std::to_string(n++));
      Reopen(dir);
      const ModuleTable& table = Table(c.form, c.table);
      const KeyedRows source = Rows(kSource, table);
      const KeyedRows before = Rows(kDest, table);
      std::string chosen;
      for (const auto& [key, rows] : source)
        if (before.count(key) && before.at(key) != rows) chosen = key;
      ASSERT_FALSE(chosen.empty()) << "no clashing row differs";
      auto t = Start(dir, kSource, &Form(c.form));
      TableCopy copy = t->CopyFirst(table);
      ASSERT_GT(copy.conflicts, 0);
      ConflictReview review(link_, dialogs_, copy.call);
      if (mode == ReplaceMode::kMarked) {
        EXPECT_EQ(review.MarkKeys({chosen}), 1);
      }
      const long long replaced = review.Decide(mode);
      t->Finish(copy, replaced, true);
      EXPECT_EQ(dialogs_.messages.back().code, "1ER");
      KeyedRows expected = before;
      for (const auto& [key, rows] : source)
        if (!before.count(key) || (mode == ReplaceMode::kMarked && key == chosen))
          expected[key] = rows;
      EXPECT_EQ(Rows(kDest, table), expected);
      EXPECT_EQ(replaced, mode == ReplaceMode::kMarked ? 1 : 0);
      t.reset();
    }
}

TEST_F(FormSteps, RemoteSourceGivesTheLocalEndState) {
  const std::string remote = CopyServer("remote");
  const struct {
    const char* form;
    const char* table;
    std::vector<const char*> steps;  // tables its follow-up steps rewrite
  } kCases[] = {{"sell", "KALA", {"A_Kalapic", "A_KalaSefaresh"}},
                {"sell", "R_CUSTOMER", {}},
                {"anbar", "KALA", {"A_Kalapic", "A_KalaSefaresh", "Kala"}},
                {"anbar", "JOZCOMMANDKALA", {}}};
  int n = 0;
  for (const auto& c : kCases) {
    SCOPED_TRACE(std::string(c.form) + "/" + c.table);
    std::vector<std::string> ends[2];
    for (int remoteCase = 0; remoteCase < 2; ++remoteCase) {
      const std::string dir = CopyServer("end" + std::to_string(n++));
      Reopen(dir);
      auto t = Start(dir, kSource, &Form(c.form));
      if (remoteCase) UseRemote(*t, remote);
      ASSERT_EQ(t->RemoteSource(), remoteCase == 1);
      Move(*t, Table(c.form, c.table), ReplaceMode::kAll);
      ends[remoteCase] = Lines(std::string("SELECT * FROM ") + kDest + ".." + c.table);
      for (const char* step : c.steps) {
        const auto rows = Lines(std::string("SELECT * FROM ") + kDest + ".." + step);
        ends[remoteCase].insert(ends[remoteCase].end(), rows.begin(), rows.end());
      }
      t.reset();
    }
    EXPECT_EQ(ends[1], ends[0]);
    EXPECT_FALSE(ends[0].empty());
  }
}

}  // namespace
}  // namespace xfer::transfer::testing
