// The sales, fixed-assets and inventory forms on real demo periods: every table of every tab
// carries its new rows and replaces its clashing rows, and a destination code column of another
// width stops the table with the form's own width message.
#include <gtest/gtest.h>

#include <set>

#include "module_fixture.h"

namespace xfer::transfer::testing {
namespace {

class FormTables : public ModuleFixture {
 protected:
  const ModuleForm& Form(const char* name) {
    const ModuleForm* f = FindModuleForm(name);
    EXPECT_NE(f, nullptr) << name;
    return *f;
  }
};

const char* const kForms[] = {"sell", "dara", "anbar"};

// Tables keyed by a counter the destination assigns (the instalment plans) are compared by their
// rows alone.
bool KeyTravels(const ModuleTable& t) {
  return std::string(t.columns).find(std::string(t.key).substr(
             std::string(t.key).find_first_not_of(' '))) != std::string::npos;
}

std::multiset<std::string> Bag(const KeyedRows& rows) {
  std::multiset<std::string> out;
  for (const auto& [key, lines] : rows) out.insert(lines.begin(), lines.end());
  return out;
}

TEST_F(FormTables, EveryTabCarriesNewRowsIntoAnEmptyTable) {
  for (const char* name : kForms) {
    const ModuleForm& form = Form(name);
    auto t = Start(dir_, kSource, &form);
    for (const ModuleTable& table : form.tables) {
      SCOPED_TRACE(std::string(name) + "/" + table.table);
      const KeyedRows source = Rows(kSource, table);
      EXPECT_FALSE(source.empty());
      Run(kDest, std::string("DELETE FROM ") + table.table);
      dialogs_.messages.clear();
      TableCopy c;
      try {
        c = t->CopyFirst(table);
      } catch (const std::exception& e) {
        ADD_FAILURE() << e.what();
        continue;
      }
      ASSERT_TRUE(c.carried);
      EXPECT_EQ(c.conflicts, 0);
      t->Finish(c, 0, false);
      if (KeyTravels(table))
        EXPECT_EQ(Rows(kDest, table), source);
      else
        EXPECT_EQ(Bag(Rows(kDest, table)), Bag(source));
      EXPECT_EQ(c.unit.inserted, c.unit.sourceRows);
    }
  }
}

TEST_F(FormTables, EveryTabReplacesAllClashingRows) {
  for (const char* name : kForms) {
    const ModuleForm& form = Form(name);
    auto t = Start(dir_, kSource, &form);
    for (const ModuleTable& table : form.tables) {
      SCOPED_TRACE(std::string(name) + "/" + table.table);
      const KeyedRows source = Rows(kSource, table);
      KeyedRows expected = Rows(kDest, table);
      long long clashes = 0;
      for (const auto& [key, rows] : source) {
        clashes += expected.count(key);
        expected[key] = rows;
      }
      EXPECT_GT(clashes, 0) << "the demo periods share no key";
      TableCopy c = t->CopyFirst(table);
      ASSERT_TRUE(c.carried);
      long long replaced = 0;
      if (c.conflicts > 0) {
        ConflictReview review(link_, dialogs_, c.call);
        replaced = review.Decide(ReplaceMode::kAll);
      }
      t->Finish(c, replaced, c.conflicts > 0);
      if (KeyTravels(table)) {
        EXPECT_EQ(Rows(kDest, table), expected);
      } else {
        const auto after = Bag(Rows(kDest, table));
        for (const std::string& row : Bag(source)) EXPECT_EQ(after.count(row), 1u) << row;
      }
    }
  }
}

TEST_F(FormTables, WiderDestinationCodeStopsWithTheFormsMessage) {
  const struct {
    const char* form;
    const char* table;
    const char* alter;
    const char* message;
  } kCases[] = {
      {"sell", "R_CUSTOMER", "ALTER TABLE R_Customer ALTER COLUMN CustomerCod varchar(60) NULL",
       "طول کد مشتريان مبدا و مقصد متفاوت مي باشد."},
      {"dara", "D_AMVAL", "ALTER TABLE D_Amval ALTER COLUMN MakanCod varchar(30) NULL",
       "طول کد مکان استقرار داراييها مبدا و مقصد متفاوت مي باشد"},
      {"anbar", "KALA", "ALTER TABLE Kala ALTER COLUMN KalaCod varchar(60) NULL",
       "طول کد کالا/قطعات مبدا و مقصد متفاوت مي باشد."},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.form);
    const ModuleForm& form = Form(c.form);
    const ModuleTable* table = FindModuleTable(form, c.table);
    ASSERT_NE(table, nullptr);
    Run(kDest, c.alter);
    const KeyedRows before = Rows(kDest, *table);
    auto t = Start(dir_, kSource, &form);
    dialogs_.messages.clear();
    TableCopy copy = t->CopyFirst(*table);
    EXPECT_FALSE(copy.carried);
    ASSERT_EQ(dialogs_.messages.size(), 1u);
    EXPECT_EQ(dialogs_.messages[0].text, c.message);
    EXPECT_EQ(dialogs_.messages[0].code, "1ER");
    EXPECT_EQ(Rows(kDest, *table), before);
  }
}

}  // namespace
}  // namespace xfer::transfer::testing
