// The one rule of which cheques are open: a cheque's last action between two dates decides,
// later actions do not count, and a caller's list of cheques to skip leaves them out whatever
// their actions say.
#include <gtest/gtest.h>

#include "suite_fixture.h"

namespace xfer::suite::testing {
namespace {

const char* kDb = "KELVARO_6_1402";

class LastChequeAction : public SuiteServer {
 protected:
  void SetUp() override {
    SuiteServer::SetUp();
    MakePeriod("6", "1402");
    // A open; B cashed (74) in the year; C open; D bounced (75) after a transfer (76) on the
    // same day, the later line deciding; E cashed only after the year's end.
    Run(kDb,
        "INSERT INTO N_NaghdTrans (Serial, Raj, WhatDoc, SanadDate, ChqNo, Joz) VALUES "
        "(1, 1, '71', '1402/02/01', 'A', 'J1'), (2, 1, '71', '1402/02/02', 'B', 'J1'), "
        "(3, 1, '74', '1402/09/09', 'B', 'J1'), (4, 1, '71', '1402/03/03', 'C', NULL), "
        "(5, 1, '71', '1402/04/04', 'D', 'J2'), (6, 1, '76', '1402/05/05', 'D', 'J2'), "
        "(7, 1, '75', '1402/05/05', 'D', 'J2'), (8, 1, '71', '1402/06/06', 'E', 'J1'), "
        "(9, 1, '74', '1403/01/15', 'E', 'J1')");
  }
  // The cheques the procedure leaves in its table, "number:code:open", by number.
  std::vector<std::string> Actions(const std::string& args) {
    Run(kDb, "sp_N_Create_LastChqAction ##LastAct, " + args);
    return Column(kDb,
                  "SELECT ChqNo + ':' + WhatDoc + ':' + CAST(IsOpen AS varchar(1)) FROM "
                  "##LastAct ORDER BY ChqNo");
  }
};

TEST_F(LastChequeAction, TheLastActionWithinTheDatesDecides) {
  EXPECT_EQ(Actions("'7', 'FALSE', '1402/01/01', '1402/12/29'"),
            (std::vector<std::string>{"A:71:1", "B:74:0", "C:71:1", "D:75:1", "E:71:1"}));
  EXPECT_EQ(Actions("'7', 'TRUE', '1402/01/01', '1402/12/29'"),
            (std::vector<std::string>{"A:71:1", "C:71:1", "D:75:1", "E:71:1"}));
  // Without an upper bound E's cashing counts; paid-cheque codes find none of these.
  EXPECT_EQ(Actions("'7', 'TRUE', '1402/01/01', ''"),
            (std::vector<std::string>{"A:71:1", "C:71:1", "D:75:1"}));
  EXPECT_TRUE(Actions("'8', 'FALSE', '', ''").empty());
}

TEST_F(LastChequeAction, SkippedChequesAreLeftOutWhateverTheirActions) {
  Run(kDb,
      "CREATE TABLE ##Held (ChqNo varchar(50), Joz varchar(50)) "
      "INSERT INTO ##Held VALUES ('A', 'J1'), ('C', ''), ('D', 'J9')");
  // C's missing series reads as empty; D is held under another series, so it stays.
  EXPECT_EQ(Actions("'7', 'TRUE', '1402/01/01', '1402/12/29', '##Held'"),
            (std::vector<std::string>{"D:75:1", "E:71:1"}));
  // A skip table that is not there skips nothing.
  EXPECT_EQ(Actions("'7', 'TRUE', '1402/01/01', '1402/12/29', '##Gone'").size(), 4u);
}

}  // namespace
}  // namespace xfer::suite::testing
