// Choosing single vouchers and their program on a demo period: marks by voucher, program, range
// and reversal, the refusal to mix programs, the text that names the choice, vouchers already
// loaded shown marked, and a load of exactly the chosen vouchers.
#include "import/voucher_selection.h"

#include "import/maly_text.h"
#include "import_fixture.h"

namespace xfer::import::testing {
namespace {

class SelectionTest : public ImportTest {
 protected:
  std::unique_ptr<VoucherSelection> Select(MalyImport& m, const std::string& filter) {
    auto s = std::make_unique<VoucherSelection>(link_, m.selectionTable(), "##SW_S_" + m.suffix(),
                                                kSource, filter);
    s->Show(m.importTable());
    return s;
  }
  // Marked voucher numbers by program name, as "name:number" texts.
  std::vector<std::string> Marked(MalyImport& m) {
    return Rows("SELECT DISTINCT ISNULL(TypeSysNam, '') + ':' + LTRIM(SanadNo) FROM " +
                m.selectionTable() + " WHERE SLC = 'ض' ORDER BY 1");
  }
  std::string ProgramOf(const std::string& no) {
    return Value(std::string("SELECT T.TypeSysNam FROM ") + kSource + "..Asnad A JOIN " + kSource +
                 "..ApplicationType T ON T.TypeSys = A.TypeSys WHERE LTRIM(A.SanadNo) = '" + no +
                 "'");
  }
};

TEST_F(SelectionTest, MarksFollowVouchersProgramsAndRanges) {
  auto m = Open();
  const std::string filter =
      " Where 15 = 15  And  SanadDate >= '1402/01/01' And  SanadDate <= '1402/06/31' ";
  auto s = Select(*m, filter);
  EXPECT_EQ(std::to_string(s->Rows().rows.size()),
            Value(std::string("SELECT COUNT(*) FROM ") + kSource +
                  "..Asnad WHERE SanadDate BETWEEN '1402/01/01' AND '1402/06/31'"));
  EXPECT_TRUE(Marked(*m).empty());
  EXPECT_EQ(s->softwareText(), text::kChooseSoftware);

  // A voucher, then one of another program: refused.
  std::string message;
  ASSERT_TRUE(s->Toggle("1", message));
  EXPECT_EQ(Marked(*m), (std::vector<std::string>{ProgramOf("1") + ":1|"}));
  std::string other;
  for (int n = 2; n < 20 && other.empty(); ++n)
    if (ProgramOf(std::to_string(n)) != ProgramOf("1")) other = std::to_string(n);
  ASSERT_FALSE(other.empty());
  EXPECT_FALSE(s->Toggle(other, message));
  EXPECT_EQ(message, text::kMixedSoftware);
  EXPECT_EQ(Marked(*m).size(), 1u);
  ASSERT_TRUE(s->Toggle("1", message));
  EXPECT_TRUE(Marked(*m).empty()) << "a second click clears the voucher";

  // Every voucher of one program: that program is the choice.
  std::string program = ProgramOf("1");
  s->MarkProgram(program);
  EXPECT_EQ(s->softwareText(), program);
  for (const auto& row : Marked(*m)) EXPECT_TRUE(row.starts_with(program + ":")) << row;
  s->All();
  EXPECT_EQ(s->softwareText(), text::kAllSoftware);
  s->Revert();
  EXPECT_TRUE(Marked(*m).empty());
  EXPECT_EQ(s->softwareText(), text::kChooseSoftware);

  // A range from the marked voucher below to the current one, and its reverse.
  ASSERT_TRUE(s->Toggle("2", message));
  std::string five =
      Value("SELECT TOP 1 SanadNo FROM " + m->selectionTable() + " WHERE LTRIM(SanadNo) = '5'");
  s->Range(five);
  EXPECT_EQ(s->Chosen(), (std::vector<std::string>{"2", "3", "4", "5"}));
  s->RangeReverse(
      Value("SELECT TOP 1 SanadNo FROM " + m->selectionTable() + " WHERE LTRIM(SanadNo) = '3'"));
  EXPECT_TRUE(s->Chosen().empty()) << "the marked run between unmarked neighbours is cleared";
}

TEST_F(SelectionTest, TheProgramDialogChoosesOneProgram) {
  auto m = Open();
  auto s = Select(*m, " Where 15 = 15 ");
  auto programs = s->Programs();
  ASSERT_GE(programs.rows.size(), 4u);
  std::string first = engine::FormatValue(programs.rows[0][1]);
  std::string second = engine::FormatValue(programs.rows[1][1]);
  s->ToggleProgram(first);
  s->ToggleProgram(second);  // one program at a time
  s->ConfirmPrograms();
  EXPECT_EQ(s->softwareText(), second);
  auto marked = Marked(*m);
  ASSERT_FALSE(marked.empty());
  for (const auto& row : marked) EXPECT_TRUE(row.starts_with(second + ":")) << row;
  s->NoPrograms();
  s->ConfirmPrograms();
  EXPECT_TRUE(Marked(*m).empty());
  EXPECT_EQ(s->softwareText(), text::kChooseSoftware);
  s->AllPrograms();
  s->ConfirmPrograms();
  EXPECT_EQ(s->softwareText(), text::kAllSoftware);
}

TEST_F(SelectionTest, ChosenVouchersAreLoadedAndShownMarkedAfterwards) {
  auto m = Open();
  ASSERT_TRUE(m->ChoosePeriodByDatabase(kSource));
  auto s = Select(*m, " Where 15 = 15 ");
  std::string message;
  for (const char* no : {"3", "7"}) {
    if (ProgramOf(no) == ProgramOf("3")) {
      ASSERT_TRUE(s->Toggle(no, message));
    }
  }
  m->chosenVouchers = s->Chosen();
  ASSERT_TRUE(m->Load());
  EXPECT_EQ(m->candidateVouchers(), static_cast<long long>(m->chosenVouchers.size()));
  // Shown again, the loaded vouchers come marked.
  s->None();
  auto again = Select(*m, " Where 15 = 15 ");
  EXPECT_EQ(again->Chosen(), m->chosenVouchers);
}

}  // namespace
}  // namespace xfer::import::testing
