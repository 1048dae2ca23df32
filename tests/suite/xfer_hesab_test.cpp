// The contract of sp_Sayer_XferHesab between two periods of one server: FIRST copies new keys and
// leaves clashes in the conflict table, SECOND replaces marked or all clashes, THIRD drops them,
// composite keys, repeated runs, OPTIONS, and clear errors for missing tables and columns.
#include <gtest/gtest.h>

#include "suite_fixture.h"

namespace xfer::suite::testing {
namespace {

const char* kSrc = "KELVARO_7_1402";
const char* kDst = "KELVARO_7_1403";
const char* kKollCols =
    "Koll, NamHesab, IsHesabTmp, RecogName, IsActive, IsPosHesab, DesKoll, DesChar";

class XferHesab : public SuiteServer {
 protected:
  void SetUp() override {
    SuiteServer::SetUp();
    MakePeriod("7", "1402");
    MakePeriod("7", "1403");
  }
  void Call(const std::string& phase, const std::string& mode, const std::string& tmp,
            const std::string& src, const std::string& table, const std::string& cols,
            const std::string& key, const std::string& db = kDst) {
    Run(db, "sp_Sayer_XferHesab '" + phase + "', '" + mode + "', '" + tmp + "', '" + src + "', '" +
                table + "', '" + cols + "', '" + key + "'");
  }
  void Koll(const std::string& db, const std::vector<std::pair<std::string, std::string>>& rows) {
    for (const auto& [code, name] : rows)
      Run(db, "INSERT INTO Koll (Koll, NamHesab) VALUES ('" + code + "', '" + name + "')");
  }
  std::vector<std::string> KollRows() {
    return Column(kDst, "SELECT Koll + ':' + NamHesab FROM Koll ORDER BY Koll");
  }
  bool TempExists(const std::string& name) {
    return Value(kDst, "SELECT OBJECT_ID('tempdb.." + name + "')") != "NULL";
  }
};

TEST_F(XferHesab, FirstCopiesNewKeysAndCollectsClashes) {
  struct Case {
    const char* label;
    std::vector<std::pair<std::string, std::string>> src, dst;
    std::vector<std::string> merged, conflicts;
  };
  const std::vector<Case> cases = {
      {"no clash",
       {{"1", "دارايي"}, {"2", "بدهي"}},
       {{"3", "سرمايه"}},
       {"1:دارايي", "2:بدهي", "3:سرمايه"},
       {}},
      {"some",
       {{"1", "دارايي"}, {"2", "بدهي"}},
       {{"2", "بدهي قديم"}},
       {"1:دارايي", "2:بدهي قديم"},
       {"2:بدهي"}},
      {"all",
       {{"1", "دارايي"}, {"2", "بدهي"}},
       {{"1", "الف"}, {"2", "ب"}},
       {"1:الف", "2:ب"},
       {"1:دارايي", "2:بدهي"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    Run(kSrc, "DELETE FROM Koll");
    Run(kDst, "DELETE FROM Koll");
    Koll(kSrc, c.src);
    Koll(kDst, c.dst);
    Call("FIRST", "", "##wsKoll", kSrc, "KOLL", kKollCols, "Koll");
    EXPECT_EQ(KollRows(), c.merged);
    EXPECT_EQ(Column(kDst, "SELECT Koll + ':' + NamHesab FROM ##wsKoll ORDER BY Koll"),
              c.conflicts);
    EXPECT_EQ(Value(kDst, "SELECT COUNT(*) FROM ##wsKoll WHERE bCheck = ' '"),
              std::to_string(c.conflicts.size()));
  }
  auto sets = conn_->Execute("SELECT * FROM ##wsKoll");
  ASSERT_FALSE(sets.empty());
  EXPECT_EQ(sets[0].fields.at(0).name, "bCheck");
  EXPECT_EQ(sets[0].fields.at(1).name, "Koll");
  EXPECT_EQ(sets[0].fields.at(2).name, "NamHesab");
}

TEST_F(XferHesab, SecondAndThirdDecideTheClashes) {
  struct Case {
    const char* label;
    const char* phase;
    const char* mode;
    const char* marked;  // key marked before the call, or empty
    std::vector<std::string> after;
  };
  const std::vector<Case> cases = {
      {"check", "SECOND", "CHECK", "2", {"1:الف", "2:بدهي", "3:ج", "4:درآمد"}},
      {"check none marked", "SECOND", "CHECK", "", {"1:الف", "2:ب", "3:ج", "4:درآمد"}},
      {"all", "SECOND", "ALL", "2", {"1:دارايي", "2:بدهي", "3:ج", "4:درآمد"}},
      {"third", "THIRD", "", "1", {"1:الف", "2:ب", "3:ج", "4:درآمد"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    Run(kSrc, "DELETE FROM Koll");
    Run(kDst, "DELETE FROM Koll");
    Koll(kSrc, {{"1", "دارايي"}, {"2", "بدهي"}, {"4", "درآمد"}});
    Koll(kDst, {{"1", "الف"}, {"2", "ب"}, {"3", "ج"}});
    Call("FIRST", "", "##wsKoll", kSrc, "KOLL", kKollCols, "Koll");
    if (*c.marked)
      Run(kDst, std::string("UPDATE ##wsKoll SET bCheck = 'ض' WHERE Koll = '") + c.marked + "'");
    Call(c.phase, c.mode, "##wsKoll", std::string(c.phase) == "THIRD" ? "" : kSrc, "KOLL",
         kKollCols, "Koll");
    EXPECT_EQ(KollRows(), c.after);
    EXPECT_FALSE(TempExists("##wsKoll"));
  }
}

TEST_F(XferHesab, CompositeKeysAreConcatenatedCodes) {
  Run(kSrc,
      "INSERT INTO Moein (Koll, Moein, NamHesab) VALUES ('1', '01', 'صندوق'), ('1', '02', 'بانک'), "
      "('2', '01', 'پرداختني') "
      "INSERT INTO JOZCOMMANDKALA VALUES (1, '01', 'ممتاز'), (2, '01', 'فله')");
  Run(kDst,
      "INSERT INTO Moein (Koll, Moein, NamHesab) VALUES ('1', '01', 'صندوق قديم') "
      "INSERT INTO JOZCOMMANDKALA VALUES (2, '01', 'فله قديم')");
  Call("FIRST", "", "##wsMoein", kSrc, "MOEIN", "Koll, Moein, NamHesab", "Koll+Moein");
  EXPECT_EQ(Column(kDst, "SELECT Koll + Moein + ':' + NamHesab FROM Moein ORDER BY Koll, Moein"),
            (std::vector<std::string>{"101:صندوق قديم", "102:بانک", "201:پرداختني"}));
  EXPECT_EQ(Column(kDst, "SELECT XferKey FROM ##wsMoein"), std::vector<std::string>{"101"});

  // The key arrives with its quotes already undone.
  Call("FIRST", "", "##wsJoz", kSrc, "JOZCOMMANDKALA", "KalaJoz, KalaJozCod, KalaJozCommand",
       "Cast(KalaJoz As Varchar(20))+''_''+KalaJozCod");
  EXPECT_EQ(Column(kDst, "SELECT XferKey FROM ##wsJoz"), std::vector<std::string>{"2_01"});
  Call("SECOND", "ALL", "##wsJoz", kSrc, "JOZCOMMANDKALA", "KalaJoz, KalaJozCod, KalaJozCommand",
       "Cast(KalaJoz As Varchar(20))+''_''+KalaJozCod");
  EXPECT_EQ(Column(kDst, "SELECT KalaJozCommand FROM JOZCOMMANDKALA ORDER BY KalaJoz"),
            (std::vector<std::string>{"ممتاز", "فله"}));
}

TEST_F(XferHesab, RunningFirstTwiceOffersEverySourceRow) {
  Koll(kSrc, {{"1", "دارايي"}, {"2", "بدهي"}});
  Koll(kDst, {{"2", "ب"}});
  Call("FIRST", "", "##wsKoll", kSrc, "KOLL", kKollCols, "Koll");
  EXPECT_EQ(Value(kDst, "SELECT COUNT(*) FROM ##wsKoll"), "1");
  Call("FIRST", "", "##wsKoll", kSrc, "KOLL", kKollCols, "Koll");
  EXPECT_EQ(Value(kDst, "SELECT COUNT(*) FROM ##wsKoll"), "2");
  EXPECT_EQ(KollRows(), (std::vector<std::string>{"1:دارايي", "2:ب"}));
}

TEST_F(XferHesab, IdentityKeyOutsideTheColumnListStillMatches) {
  const std::string cols = "Raj, KalaCod, Fee";
  Run(kSrc, "INSERT INTO R_Agsat (Raj, KalaCod, Fee) VALUES (1, 'K1', 100), (2, 'K2', 200)");
  Run(kDst, "INSERT INTO R_Agsat (Raj, KalaCod, Fee) VALUES (9, 'K9', 900)");
  Call("FIRST", "", "##wsAgsat", kSrc, "R_Agsat", cols, "IDX");
  EXPECT_EQ(Column(kDst, "SELECT KalaCod FROM R_Agsat ORDER BY IDX"),
            (std::vector<std::string>{"K9", "K2"}));
  Call("SECOND", "ALL", "##wsAgsat", kSrc, "R_Agsat", cols, "IDX");
  EXPECT_EQ(Column(kDst, "SELECT KalaCod FROM R_Agsat ORDER BY KalaCod"),
            (std::vector<std::string>{"K1", "K2"}));
}

TEST_F(XferHesab, FirstWithoutKeyInTheSourceOffersAllRows) {
  Koll(kSrc, {{"1", "دارايي"}, {"2", "بدهي"}});
  Call("FIRST", "", "##wsRemote", kSrc, "KOLL", kKollCols, "", kSrc);
  EXPECT_EQ(Column(kSrc, "SELECT Koll FROM ##wsRemote ORDER BY Koll"),
            (std::vector<std::string>{"1", "2"}));
  EXPECT_EQ(Value(kDst, "SELECT COUNT(*) FROM Koll"), "0");
  // The destination then takes them with SECOND and its own key.
  Call("SECOND", "ALL", "##wsRemote", kSrc, "KOLL", kKollCols, "Koll");
  EXPECT_EQ(KollRows(), (std::vector<std::string>{"1:دارايي", "2:بدهي"}));
}

TEST_F(XferHesab, OptionsReplaceOneColumnOfTheCurrentRow) {
  Run(kSrc,
      "INSERT INTO Options (SCode, Anbar, Forosh) VALUES ('71402', 'TYPEKALACOD=2;', 'AUTO=YES;')");
  Call("OPTIONS", "", "##wsOpt", kSrc, "Options", "Anbar", "Anbar");
  EXPECT_EQ(Value(kDst, "SELECT SCode + '|' + Anbar + '|' + ISNULL(Forosh, '-') FROM Options"),
            "71403|TYPEKALACOD=2;|-");
  Run(kDst, "UPDATE Options SET Forosh = 'AUTO=NO;', Anbar = 'X=1;'");
  Call("OPTIONS", "", "##wsOpt", kSrc, "Options", "Forosh", "Forosh");
  EXPECT_EQ(Value(kDst, "SELECT SCode + '|' + Anbar + '|' + Forosh FROM Options"),
            "71403|X=1;|AUTO=YES;");
  EXPECT_EQ(Value(kDst, "SELECT COUNT(*) FROM Options"), "1");
}

TEST_F(XferHesab, MissingTablesAndColumnsRaiseClearErrors) {
  struct Case {
    const char* table;
    const char* cols;
    const char* expect;
  };
  const Case cases[] = {
      {"NO_SUCH_TABLE", "A", "Invalid object name 'KELVARO_7_1402..NO_SUCH_TABLE'."},
      {"KOLL", "Koll, NoSuchColumn", "Invalid column name 'NoSuchColumn'"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.table);
    try {
      Call("FIRST", "", "##wsErr", kSrc, c.table, c.cols, "Koll");
      ADD_FAILURE() << "no error raised";
    } catch (const engine::SqlError& e) {
      EXPECT_NE(e.message().find(c.expect), std::string::npos) << e.message();
    }
  }
  EXPECT_THROW(Call("SECOND", "ALL", "##wsNever", kSrc, "KOLL", kKollCols, "Koll"),
               engine::SqlError);
  EXPECT_THROW(Call("FOURTH", "", "##wsErr", kSrc, "KOLL", kKollCols, "Koll"), engine::SqlError);
}

}  // namespace
}  // namespace xfer::suite::testing
