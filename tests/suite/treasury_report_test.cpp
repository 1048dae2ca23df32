// Balance rows of the treasury reports: for bank accounts, cash boxes and petty-cash holders a
// debit, a credit and a zero closing balance give one balance row each with the right rem, an
// unknown code gives none, and REFRESH replaces the rows.
#include <gtest/gtest.h>

#include "suite_fixture.h"

namespace xfer::suite::testing {
namespace {

const char* kDb = "KELVARO_5_1402";

struct Kind {
  const char* label;
  const char* master;   // INSERT of three accounts with openings, keys K1, K2, K3
  const char* lineKey;  // columns naming the account on a document line
  const char* call;     // procedure call with %K for the key
  const char* balance;  // condition of the balance row
  std::vector<std::string> keys, lineValues;
};

std::string Replace(std::string s, const std::string& from, const std::string& to) {
  for (size_t p = s.find(from); p != std::string::npos; p = s.find(from, p + to.size()))
    s.replace(p, from.size(), to);
  return s;
}

class TreasuryReport : public SuiteServer {
 protected:
  void SetUp() override {
    SuiteServer::SetUp();
    MakePeriod("5", "1402");
    Run(kDb,
        "INSERT INTO N_Asnad (SanadNo, SanadDate, TypeSanad) VALUES (1, '1402/03/01', '1'), "
        "(2, '1402/08/15', '1'), (3, '1403/01/05', '1')");
  }
};

TEST_F(TreasuryReport, BalanceRowCarriesTheClosingBalance) {
  const std::vector<Kind> kinds = {
      {"bank",
       "INSERT INTO N_BankHesab (BankCod, ShobehCod, AcountCod, FirstBed, FirstBes) VALUES "
       "('01', '001', '100', 1000, 0), ('01', '001', '200', 0, 300), ('02', '005', '300', 500, 0)",
       "TypeHesab, BankCod, ShobehCod, AcountCod",
       "sp_N_Report_Acount '##rep', 'REM', '%K', '%K', '1402/01/01', '1402/12/29' , 'REFRESH'",
       "sorder2 = 'X'",
       {"01001100", "01001200", "02005300"},
       {"'B', '01', '001', '100'", "'B', '01', '001', '200'", "'B', '02', '005', '300'"}},
      {"cash",
       "INSERT INTO N_Cash (CashCod, CashNam, FirstBed, FirstBes) VALUES "
       "('1', 'صندوق مرکزي', 1000, 0), ('2', 'صندوق شعبه', 0, 300), ('3', 'صندوق فروش', 500, 0)",
       "TypeHesab, CashCod",
       "sp_N_Report_Cash '##rep', 'NO', 'NO', 'REM', '%K', '%K', 'SANADDATE', '1402/01/01', "
       "'1402/12/29' , 'REFRESH'",
       "sorder1 = 'XX'",
       {"1", "2", "3"},
       {"'C', '1'", "'C', '2'", "'C', '3'"}},
      {"petty cash",
       "INSERT INTO N_Tankhah (PersonCod, FirstBed, FirstBes) VALUES ('11', 1000, 0), "
       "('12', 0, 300), ('13', 500, 0)",
       "TypeHesab, PersonCod",
       "sp_N_Report_Tankhah '##rep', 'NO', 'NO', 'REM', '%K', '%K', 'SANADDATE', '1402/01/01', "
       "'1402/12/29' , 'REFRESH'",
       "sorder1 = 'XX'",
       {"11", "12", "13"},
       {"'T', '11'", "'T', '12'", "'T', '13'"}},
  };
  for (const auto& k : kinds) {
    SCOPED_TRACE(k.label);
    Run(kDb, k.master);
    // Account 1: +500 in the period, +7 after it (ignored) -> 1500 debit.
    // Account 2: -1200 -> credit 1500. Account 3: -500 -> zero.
    const std::string cols = std::string("SanadNo, Raj, ") + k.lineKey + ", Bed, Bes";
    auto line = [&](int sanad, const std::string& key, int bed, int bes) {
      Run(kDb, "INSERT INTO N_AsnadDetail (" + cols + ") VALUES (" + std::to_string(sanad) +
                   ", 1, " + key + ", " + std::to_string(bed) + ", " + std::to_string(bes) + ")");
    };
    line(1, k.lineValues[0], 700, 200);
    line(3, k.lineValues[0], 7, 0);
    line(1, k.lineValues[1], 0, 1000);
    line(2, k.lineValues[1], 100, 300);
    line(2, k.lineValues[2], 0, 500);
    const std::string expected[] = {"1500", "-1500", "0"};
    for (size_t i = 0; i < 3; ++i) {
      Run(kDb, Replace(k.call, "%K", k.keys[i]));
      EXPECT_EQ(Value(kDb, std::string("SELECT COUNT(*) FROM ##rep WHERE ") + k.balance), "1");
      EXPECT_EQ(Value(kDb, std::string("SELECT rem FROM ##rep WHERE ") + k.balance), expected[i]);
    }
    Run(kDb, Replace(k.call, "%K", "999999"));
    EXPECT_EQ(Value(kDb, "SELECT COUNT(*) FROM ##rep"), "0") << "unknown account";
    Run(kDb, "DROP TABLE ##rep");
  }
}

TEST_F(TreasuryReport, WithoutRefreshRowsAccumulate) {
  Run(kDb, "INSERT INTO N_Cash (CashCod, FirstBed, FirstBes) VALUES ('1', 10, 0), ('2', 0, 4)");
  const std::string call =
      "sp_N_Report_Cash '##acc', 'NO', 'NO', 'REM', '%K', '%K', 'SANADDATE', "
      "'1402/01/01', '1402/12/29'";
  Run(kDb, Replace(call, "%K", "1") + ", 'REFRESH'");
  Run(kDb, Replace(call, "%K", "2") + ", ''");
  EXPECT_EQ(Column(kDb, "SELECT rem FROM ##acc WHERE sorder1 = 'XX' ORDER BY HCod"),
            (std::vector<std::string>{"10", "-4"}));
  Run(kDb, Replace(call, "%K", "2") + ", 'REFRESH'");
  EXPECT_EQ(Column(kDb, "SELECT rem FROM ##acc WHERE sorder1 = 'XX'"),
            std::vector<std::string>{"-4"});
}

TEST_F(TreasuryReport, ReportRunsInTheSourceWhenCalledFromAnotherPeriod) {
  MakePeriod("5", "1403");
  Run(kDb, "INSERT INTO N_Tankhah (PersonCod, FirstBed, FirstBes) VALUES ('77', 0, 250)");
  Run("KELVARO_5_1403",
      "KELVARO_5_1402..sp_N_Report_Tankhah '##far', 'NO', 'NO', 'REM', '77', '77', 'SANADDATE', "
      "'1402/01/01', '1402/12/29' , 'REFRESH'");
  EXPECT_EQ(Value("KELVARO_5_1403", "SELECT rem FROM ##far WHERE sorder1 = 'XX'"), "-250");
}

}  // namespace
}  // namespace xfer::suite::testing
