// The inventory document import on demo periods: the stock card against balances summed here
// line by line, period-end stock becoming opening stock with its serial numbers, each numbering
// and each document type to its end state, the backup rule over two imports, a restore giving the
// destination back exactly, refusals that write nothing, the receipt rule of automatic mode, and
// a source on another server mirrored into Tmp_A_Remote giving what the same period gives locally.
#include <cmath>
#include <map>
#include <set>
#include <tuple>

#include "db/backend.h"
#include "db/text_util.h"
#include "import/maly_import.h"
#include "import/store_backup.h"
#include "import/store_import.h"
#include "import/store_text.h"
#include "import_fixture.h"
#include "temp_tree.h"

namespace xfer::import::testing {
namespace {

namespace fs = std::filesystem;

// Stock effect of each document code, written out here rather than taken from the procedure.
int Sign(const std::string& whatDoc) {
  static const std::set<std::string> in = {"10", "12", "16", "30", "31",
                                           "38", "53", "55", "56", "80"};
  static const std::set<std::string> out = {"14", "17", "33", "35", "36", "50", "51", "58", "85"};
  return in.count(whatDoc) ? 1 : out.count(whatDoc) ? -1 : 0;
}

struct Balance {
  double qty = 0, qty1 = 0, qty2 = 0;  // what is left
  double qtyIn = 0, priceIn = 0;
  double Fee() const { return qtyIn != 0 ? priceIn / qtyIn : 0; }
};
using Pair = std::pair<std::string, std::string>;  // warehouse, item

std::vector<std::string> Split(const std::string& row) {
  std::vector<std::string> out;
  size_t at = 0;
  for (size_t bar = row.find('|'); bar != std::string::npos; bar = row.find('|', at)) {
    out.push_back(row.substr(at, bar - at));
    at = bar + 1;
  }
  return out;
}

double Num(const std::string& s) {
  return s == "NULL" || s.empty() ? 0 : std::stod(s);
}

class StoreTest : public ImportTest {
 protected:
  void SetUp() override {
    ImportTest::SetUp();
    // Receipt factors must agree between the periods; the demo renames some in the later one.
    Sql().Execute(std::string("UPDATE D SET CatgagoryName = S.CatgagoryName FROM ") + kDest +
                  "..Avamel D INNER JOIN " + kSource +
                  "..Avamel S ON S.CatgagoryCode = D.CatgagoryCode");
  }

  std::unique_ptr<StoreImport> OpenStore(const std::string& database = kDest) {
    size_t a = database.find('_'), b = database.rfind('_');
    g_.companyCode = database.substr(a + 1, b - a - 1);
    g_.fiscalYear = database.substr(b + 1);
    g_.today = "1403/02/10";
    link_.ConnectDatabase(g_, g_.serverName, database, "SQL", "", "");
    auto s = std::make_unique<StoreImport>(g_, date_, link_, dialogs_);
    s->Prepare();
    return s;
  }

  // Loads `code` from the source and applies it under `mode`; the import is returned.
  std::unique_ptr<StoreImport> Import(const std::string& code, const std::string& mode) {
    auto s = OpenStore();
    EXPECT_TRUE(s->ChoosePeriodByDatabase(kSource));
    EXPECT_TRUE(s->ChooseType(StoreTypeOf(code)));
    s->afterMode = StoreAfterOf(mode);
    EXPECT_TRUE(s->Load()) << Last();
    EXPECT_TRUE(s->applyEnabled());
    EXPECT_TRUE(s->Apply()) << Last();
    return s;
  }

  std::string Last() const {
    return dialogs_.messages.empty() ? "" : dialogs_.messages.back().text;
  }

  // Balances of a period summed here from its lines.
  std::map<Pair, Balance> Balances(const std::string& db) {
    std::map<Pair, Balance> out;
    for (const std::string& r :
         Rows("SELECT TA.WhatDoc, TA.AnbarCod, T.KalaCod, T.Qty, T.Qty1, T.Qty2, T.Price FROM " +
              db + "..A_TranID TA INNER JOIN " + db + "..A_TranSanj T ON T.TranID = TA.TranID")) {
      auto f = Split(r);
      int sign = Sign(f[0]);
      if (sign == 0) continue;
      Balance& b = out[{f[1], f[2]}];
      b.qty += sign * Num(f[3]);
      b.qty1 += sign * Num(f[4]);
      b.qty2 += sign * Num(f[5]);
      if (sign > 0) {
        b.qtyIn += Num(f[3]);
        b.priceIn += Num(f[6]);
      }
    }
    return out;
  }

  // Serial numbers on each shelf, from the serial rows and their documents.
  std::set<std::string> SerialsInStock(const std::string& db) {
    std::map<std::string, int> count;
    for (const std::string& r :
         Rows("SELECT TA.WhatDoc, TA.AnbarCod, S.KalaCod, S.KalaSerialNo FROM " + db +
              "..A_TranSerial S INNER JOIN " + db + "..A_TranID TA ON TA.TranID = S.TranID")) {
      auto f = Split(r);
      count[f[1] + "|" + f[2] + "|" + f[3]] += Sign(f[0]);
    }
    std::set<std::string> out;
    for (const auto& [key, n] : count)
      if (n > 0) out.insert(key);
    return out;
  }

  // The inventory tables of the destination, row by row, identities included.
  std::vector<std::string> InventoryTables() {
    std::vector<std::string> all;
    for (const BackedUpTable& b : StoreBackupTables()) {
      auto r = Rows(std::string("SELECT * FROM ") + kDest + ".." + b.table);
      std::sort(r.begin(), r.end());
      all.push_back(std::string(b.table) + ":" + std::to_string(r.size()));
      all.insert(all.end(), r.begin(), r.end());
    }
    return all;
  }

  // The receipts (or other documents) of a table: "anbar|number|raj|kala|qty" per line.
  std::multiset<std::string> DocLines(const std::string& db, const std::string& where) {
    auto rows = Rows(
        "SELECT TA.AnbarCod, LTRIM(RTRIM(TA.Document)), T.Raj, T.KalaCod, T.Qty FROM " + db +
        "..A_TranID TA INNER JOIN " + db + "..A_TranSanj T ON T.TranID = TA.TranID WHERE " + where);
    return {rows.begin(), rows.end()};
  }
};

TEST_F(StoreTest, StockCardGivesTheBalancesOfTheLines) {
  auto expected = Balances(kSource);
  ASSERT_GT(expected.size(), 20u);
  struct Case {
    const char* args;
    std::function<bool(const Pair&, const Balance&)> keep;
  };
  const Case cases[] = {
      {"'', '', '', '', '', '', 'DocDate', 'ANBAR', 'FULL'", [](auto&, auto&) { return true; }},
      {"'', '', '0002', '0003', '', '', 'DocDate', 'ANBAR', 'FULL'",
       [](const Pair& p, auto&) { return p.first >= "0002" && p.first <= "0003"; }},
      {"'', '', '', '', '', '', 'DocDate', 'ANBAR', 'MANDEH'",
       [](auto&, const Balance& b) { return b.qty != 0 || b.qty1 != 0 || b.qty2 != 0; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args);
    Sql().Execute(std::string("EXEC ") + kSource + "..sp_A_Rep_KartMojodi '##card', " + c.args +
                  ", 'REFRESH'");
    auto rows = Rows(
        "SELECT AnbarCod, KalaCod, Mand, Mand1, Mand2, FeeMandeh, PriceMandeh FROM ##card "
        "ORDER BY sOrder1");
    size_t kept = 0;
    for (const auto& [pair, b] : expected) kept += c.keep(pair, b) ? 1 : 0;
    ASSERT_EQ(rows.size(), kept);
    for (const std::string& r : rows) {
      auto f = Split(r);
      const Balance& b = expected.at({f[0], f[1]});
      EXPECT_NEAR(Num(f[2]), b.qty, 1e-6) << r;
      EXPECT_NEAR(Num(f[3]), b.qty1, 1e-6) << r;
      EXPECT_NEAR(Num(f[4]), b.qty2, 1e-6) << r;
      EXPECT_NEAR(Num(f[5]), b.Fee(), 1e-6 * b.Fee()) << r;
      EXPECT_NEAR(Num(f[6]), b.qty * b.Fee(), 1e-6 * std::abs(b.qty * b.Fee()) + 1e-6) << r;
    }
  }
  // The whole period per item, warehouses summed.
  Sql().Execute(std::string("EXEC ") + kSource +
                "..sp_A_Rep_KartMojodi '##card', '', '', '', '', '', '', 'DocDate', 'KALA', "
                "'FULL', 'REFRESH'");
  std::map<std::string, double> perItem;
  for (const auto& [pair, b] : expected) perItem[pair.second] += b.qty;
  auto rows = Rows("SELECT KalaCod, Mand FROM ##card");
  ASSERT_EQ(rows.size(), perItem.size());
  for (const std::string& r : rows) EXPECT_NEAR(Num(Split(r)[1]), perItem.at(Split(r)[0]), 1e-6);

  // Serial numbers on the shelves.
  std::set<std::string> serials;
  for (const std::string& r : Rows(std::string("EXEC ") + kSource + "..sp_A_Rep_MojodiSerial ''")) {
    auto f = Split(r);
    EXPECT_EQ(f[5], "1") << r;
    serials.insert(f[0] + "|" + f[1] + "|" + f[2]);
  }
  EXPECT_EQ(serials, SerialsInStock(kSource));
  EXPECT_GT(serials.size(), 5u);
}

TEST_F(StoreTest, PeriodEndStockBecomesOpeningStock) {
  Sql().Execute(
      std::string("DELETE FROM ") + kDest + "..A_TranSanj WHERE TranID IN (SELECT TranID FROM " +
      kDest + "..A_TranID WHERE WhatDoc = '10') DELETE FROM " + kDest +
      "..A_TranSerial WHERE TranID IN (SELECT TranID FROM " + kDest +
      "..A_TranID WHERE WhatDoc = '10') DELETE FROM " + kDest + "..A_TranID WHERE WhatDoc = '10'");
  auto s = Import("100", "OLDID");
  auto expected = Balances(kSource);

  std::map<Pair, std::vector<double>> opening;
  for (const std::string& r :
       Rows(std::string("SELECT TA.AnbarCod, T.KalaCod, T.Qty, T.Qty1, T.Qty2, T.Fee, T.Price, "
                        "TA.DocDate, LEN(TA.Document), LTRIM(TA.Document) FROM ") +
            kDest + "..A_TranID TA INNER JOIN " + kDest +
            "..A_TranSanj T ON T.TranID = TA.TranID WHERE TA.WhatDoc = '10'")) {
    auto f = Split(r);
    opening[{f[0], f[1]}] = {Num(f[2]), Num(f[3]), Num(f[4]), Num(f[5]), Num(f[6])};
    EXPECT_EQ(f[7], "1403/01/01") << "dated at the start of this period";
    EXPECT_EQ(f[8], "10") << "number right-aligned to the column";
    EXPECT_EQ(f[9], "1");
  }
  ASSERT_EQ(opening.size(), expected.size());
  for (const auto& [pair, b] : expected) {
    SCOPED_TRACE(pair.first + "/" + pair.second);
    const auto& o = opening.at(pair);
    EXPECT_NEAR(o[0], b.qty, 1e-6);
    EXPECT_NEAR(o[1], b.qty1, 1e-6);
    EXPECT_NEAR(o[2], b.qty2, 1e-6);
    bool empty = b.qty == 0 && b.qty1 == 0 && b.qty2 == 0;
    EXPECT_NEAR(o[3], empty ? 0 : b.Fee(), 1e-6 * b.Fee());
    EXPECT_NEAR(o[4], empty ? 0 : b.qty * b.Fee(), 1e-6 * std::abs(b.qty * b.Fee()) + 1e-6);
  }
  // One document per warehouse, its lines numbered from 1.
  EXPECT_EQ(Rows(std::string("SELECT AnbarCod FROM ") + kDest +
                 "..A_TranID WHERE WhatDoc = '10' GROUP BY AnbarCod HAVING COUNT(*) > 1"),
            std::vector<std::string>{});
  EXPECT_EQ(Rows(std::string("SELECT TranID FROM ") + kDest +
                 "..A_TranSanj GROUP BY TranID HAVING MIN(Raj) <> 1 OR MAX(Raj) <> COUNT(*)"),
            std::vector<std::string>{});
  // The serial numbers on the source's shelves are on the opening documents' lines.
  std::set<std::string> carried;
  for (const std::string& r :
       Rows(std::string("SELECT TA.AnbarCod, S.KalaCod, S.KalaSerialNo, T.KalaCod FROM ") + kDest +
            "..A_TranSerial S INNER JOIN " + kDest + "..A_TranID TA ON TA.TranID = S.TranID " +
            "INNER JOIN " + kDest + "..A_TranSanj T ON T.TranID = S.TranID AND T.Raj = S.Raj " +
            "WHERE TA.WhatDoc = '10'")) {
    auto f = Split(r);
    EXPECT_EQ(f[1], f[3]) << "a serial number sits on its item's line";
    carried.insert(f[0] + "|" + f[1] + "|" + f[2]);
  }
  EXPECT_EQ(carried, SerialsInStock(kSource));
  EXPECT_EQ(static_cast<size_t>(s->outcome().serials), carried.size());
  // Closing stock of the new period's opening equals the old period's closing, per pair.
  Sql().Execute(std::string("EXEC ") + kDest +
                "..sp_A_Rep_KartMojodi '##open', '', '', '', '', '', '1403/01/01'");
  for (const std::string& r : Rows("SELECT AnbarCod, KalaCod, Mand, PriceMandeh FROM ##open")) {
    auto f = Split(r);
    const Balance& b = expected.at({f[0], f[1]});
    EXPECT_NEAR(Num(f[2]), b.qty, 1e-6);
    EXPECT_NEAR(Num(f[3]), b.qty * b.Fee(), 1e-6 * std::abs(b.qty * b.Fee()) + 1e-6);
  }
}

TEST_F(StoreTest, EachNumberingLeavesItsEndState) {
  for (const char* mode : {"NEWID", "OLDID", "OLDID_NOCHANGE", "REPLACE"}) {
    SCOPED_TRACE(mode);
    TearDown();
    SetUp();
    auto source = DocLines(kSource, "TA.WhatDoc = '30'");
    auto before = DocLines(kDest, "TA.WhatDoc = '30'");
    auto others = DocLines(kDest, "TA.WhatDoc <> '30'");
    // Highest receipt (or receipt draft) number of each warehouse here.
    std::map<std::string, int> top;
    for (const char* t : {"A_TranID", "A_TranSanj_Movagat"})
      for (const std::string& r :
           Rows(std::string("SELECT AnbarCod, MAX(CAST(LTRIM(Document) AS "
                            "int)) FROM ") +
                kDest + ".." + t + " WHERE WhatDoc = '30' GROUP BY AnbarCod")) {
        auto f = Split(r);
        top[f[0]] = std::max(top[f[0]], std::stoi(f[1]));
      }
    std::set<std::string> heads;  // anbar|number of the receipts here
    for (const std::string& l : before) {
      auto f = Split(l);
      heads.insert(f[0] + "|" + f[1]);
    }
    auto s = Import("30", mode);
    auto after = DocLines(kDest, "TA.WhatDoc = '30'");
    std::multiset<std::string> expected = before;
    std::string m = mode;
    if (m == "NEWID") {
      // Source numbers in order of their headers, per warehouse, after the highest here.
      std::map<std::string, std::map<std::string, int>> renumber;
      for (const std::string& r :
           Rows(std::string("SELECT AnbarCod, LTRIM(Document) FROM ") + kSource +
                "..A_TranID WHERE WhatDoc = '30' ORDER BY "
                "AnbarCod, TranID")) {
        auto f = Split(r);
        renumber[f[0]][f[1]] = ++top[f[0]];
      }
      for (const std::string& l : source) {
        auto f = Split(l);
        expected.insert(f[0] + "|" + std::to_string(renumber[f[0]][f[1]]) + "|" + f[2] + "|" +
                        f[3] + "|" + f[4] + "|");
      }
      EXPECT_EQ(Value(std::string("SELECT COUNT(*) FROM ") + kDest +
                      "..A_TranID WHERE WhatDoc = '30' AND LEN(Document) <> 10 AND TranID > "
                      "(SELECT MAX(TranID) FROM " +
                      kSource + "..A_TranID)"),
                "0");
    } else {
      std::map<std::string, int> lastRaj;
      for (const std::string& l : before) {
        auto f = Split(l);
        lastRaj[f[0] + "|" + f[1]] = std::max(lastRaj[f[0] + "|" + f[1]], std::stoi(f[2]));
      }
      if (m == "REPLACE")
        std::erase_if(expected, [&](const std::string& l) {
          auto f = Split(l);
          for (const std::string& src : source)
            if (Split(src)[0] == f[0] && Split(src)[1] == f[1]) return true;
          return false;
        });
      for (const std::string& l : source) {
        auto f = Split(l);
        std::string head = f[0] + "|" + f[1];
        bool clash = heads.count(head) > 0;
        if (m == "OLDID_NOCHANGE" && clash) continue;
        int base = m == "OLDID" && clash ? lastRaj[head] : 0;
        expected.insert(head + "|" + std::to_string(base + std::stoi(f[2])) + "|" + f[3] + "|" +
                        f[4] + "|");
      }
      if (m == "OLDID_NOCHANGE") {
        EXPECT_GT(s->outcome().kept, 0);
      }
      if (m == "REPLACE") {
        EXPECT_GT(s->outcome().replaced, 0);
      }
      if (m == "OLDID") {
        EXPECT_GT(s->outcome().merged, 0);
      }
    }
    EXPECT_EQ(after, expected);
    EXPECT_EQ(DocLines(kDest, "TA.WhatDoc <> '30'"), others) << "other documents untouched";
    EXPECT_FALSE(s->applyEnabled());
    EXPECT_EQ(s->lastReport().outcome, "OK");
  }
}

TEST_F(StoreTest, EachDocumentTypeArrivesWithItsLines) {
  struct Case {
    const char* code;
    const char* lines;  // the family's lines in a period, with its code condition
  };
  const Case cases[] = {
      {"50",
       "%s..A_TranSanj T INNER JOIN %s..A_TranID TA ON TA.TranID = T.TranID WHERE TA.WhatDoc = "
       "'50'"},
      {"85",
       "%s..A_TranSanj T INNER JOIN %s..A_TranID TA ON TA.TranID = T.TranID WHERE TA.WhatDoc IN "
       "('85', '80')"},
      {"16",
       "%s..A_TranSanj T INNER JOIN %s..A_TranID TA ON TA.TranID = T.TranID WHERE TA.WhatDoc = "
       "'16'"},
      {"70",
       "%s..A_TranSanj T INNER JOIN %s..A_TranID TA ON TA.TranID = T.TranID WHERE TA.WhatDoc = "
       "'70'"},
      {"300", "%s..A_TranSanj_Movagat T WHERE T.WhatDoc = '30' AND 1 = 1 /* %s */"},
      {"400",
       "%s..A_InterimTranSanj T INNER JOIN %s..A_InterimTranID TA ON TA.TranID = T.TranID WHERE 1 "
       "= 1"},
      {"600",
       "%s..A_TranSanjKALAREQ T INNER JOIN %s..A_TranIDKALAREQ TA ON TA.TranID = T.TranID WHERE 1 "
       "= 1"},
      {"1000", "%s..A_TranSanj T INNER JOIN %s..A_TranID TA ON TA.TranID = T.TranID WHERE 1 = 1"},
  };
  auto sum = [&](const char* pattern, const std::string& db) {
    char buf[400];
    std::snprintf(buf, sizeof buf, pattern, db.c_str(), db.c_str());
    return Split(Rows(std::string("SELECT COUNT(*), SUM(T.Qty), SUM(T.Qty2) FROM ") + buf)[0]);
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    TearDown();
    SetUp();
    auto source = sum(c.lines, kSource);
    auto before = sum(c.lines, kDest);
    auto s = Import(c.code, "NEWID");
    auto after = sum(c.lines, kDest);
    ASSERT_GT(std::stoi(source[0]), 0);
    EXPECT_EQ(std::stoi(after[0]) - std::stoi(before[0]), std::stoi(source[0]));
    EXPECT_NEAR(Num(after[1]) - Num(before[1]), Num(source[1]), 1e-6);
    EXPECT_NEAR(Num(after[2]) - Num(before[2]), Num(source[2]), 1e-6);
    // Receipts and issues bring the drafts of their kind along.
    std::string code = c.code;
    long long drafts =
        code == "30" || code == "50"
            ? std::stoll(Value(std::string("SELECT COUNT(*) FROM ") + kSource +
                               "..A_TranSanj_Movagat WHERE WhatDoc = '" + code + "'"))
            : 0;
    EXPECT_EQ(s->outcome().lines, std::stoi(source[0]) + drafts);
    if (std::string(c.code) == "85") {
      // Each incoming half shares its outgoing half's new number, warehouses crossed.
      EXPECT_EQ(Rows(std::string("SELECT I.TranID FROM ") + kDest +
                     "..A_TranID I WHERE I.WhatDoc = "
                     "'80' AND I.SherCode IS NOT NULL AND NOT EXISTS (SELECT * FROM " +
                     kDest +
                     "..A_TranID O WHERE O.WhatDoc = '85' AND O.Document = I.Document "
                     "AND O.AnbarCod = I.TransStore AND O.TransStore = I.AnbarCod)"),
                std::vector<std::string>{});
    }
  }
}

TEST_F(StoreTest, SummariesKeepEachItemsQuantitiesAndValue) {
  // Per warehouse and item, what the receipts add up to in the source.
  const std::string sums =
      "SELECT TA.AnbarCod, T.KalaCod, SUM(T.Qty), SUM(T.Qty1), SUM(T.Qty2), SUM(T.Price) FROM "
      "%s..A_TranID "
      "TA INNER JOIN %s..A_TranSanj T ON T.TranID = TA.TranID WHERE TA.WhatDoc = '30' %s GROUP BY "
      "TA.AnbarCod, T.KalaCod ORDER BY TA.AnbarCod, T.KalaCod";
  auto query = [&](const std::string& db, const std::string& where) {
    char buf[600];
    std::snprintf(buf, sizeof buf, sums.c_str(), db.c_str(), db.c_str(), where.c_str());
    return Rows(buf);
  };
  auto source = query(kSource, "");
  for (int prior : {kMonthly, kYearly}) {
    SCOPED_TRACE(prior);
    TearDown();
    SetUp();
    std::string top = Value(std::string("SELECT MAX(TranID) FROM ") + kDest + "..A_TranID");
    auto s = OpenStore();
    ASSERT_TRUE(s->ChoosePeriodByDatabase(kSource));
    ASSERT_TRUE(s->ChooseType(StoreTypeOf("30")));
    s->priorMode = prior;
    s->afterMode = kStoreNewId;
    ASSERT_TRUE(s->Load());
    ASSERT_TRUE(s->Apply()) << Last();
    auto after = query(kDest, "AND TA.TranID > " + top);
    ASSERT_EQ(after.size(), source.size());
    for (size_t i = 0; i < source.size(); ++i) {
      auto a = Split(after[i]), b = Split(source[i]);
      EXPECT_EQ(a[0] + a[1], b[0] + b[1]);
      for (size_t c = 2; c < 6; ++c) EXPECT_NEAR(Num(a[c]), Num(b[c]), 1e-6) << after[i];
    }
    // One document per warehouse and month (or year).
    std::string docs =
        Value(std::string("SELECT COUNT(*) FROM ") + kDest + "..A_TranID WHERE TranID > " + top);
    std::string groups = Value(std::string("SELECT COUNT(*) FROM (SELECT DISTINCT AnbarCod, ") +
                               (prior == kMonthly ? "LEFT(DocDate, 7)" : "LEFT(DocDate, 4)") +
                               " AS P FROM " + kSource + "..A_TranID WHERE WhatDoc = '30') X");
    EXPECT_EQ(docs, groups);
  }
}

TEST_F(StoreTest, DocumentsTiedToReceiptFactorsStayBehindWhenMerging) {
  // The base records the documents name are here, so no line is marked as lacking them.
  for (const auto& [table, key] :
       std::vector<std::pair<std::string, std::string>>{{"Kala", "KalaCod"},
                                                        {"Anbar", "AnbarCod"},
                                                        {"A_SELLERS", "SellersCod"},
                                                        {"TahvilPerson", "Code"},
                                                        {"A_MoredResid", "MoredResidCod"},
                                                        {"A_MASRAF", "MasrafCod"},
                                                        {"Megyas", "MegyasCod"}})
    Sql().Execute(std::string("INSERT INTO ") + kDest + ".." + table + " SELECT * FROM " + kSource +
                  ".." + table + " WHERE " + key + " NOT IN (SELECT " + key + " FROM " + kDest +
                  ".." + table + ")");
  // A receipt factor here names the source's first receipt of warehouse 0001.
  Sql().Execute(std::string("UPDATE ") + kDest +
                "..Avamel_Resid SET Serial = '30_0001_1' WHERE TranID = (SELECT MIN(TranID) FROM " +
                kDest + "..Avamel_Resid)");
  auto s = Import("30", "OLDID");
  EXPECT_EQ(s->outcome().notMoved, 1);
  EXPECT_EQ(Last(), text::kNotMoved);
  const db::ResultSet& held = s->candidates();
  ASSERT_FALSE(held.rows.empty());
  for (const auto& row : held.rows) {
    std::string anbar, no;
    for (size_t i = 0; i < held.fields.size(); ++i) {
      if (db::UpperAscii(held.fields[i].name) == "ANBARCOD") anbar = engine::FormatValue(row[i]);
      if (db::UpperAscii(held.fields[i].name) == "OLDDOCUMENT") no = engine::FormatValue(row[i]);
    }
    EXPECT_EQ(anbar + "/" + no, "0001/1") << "only the held-back document is shown";
  }
  EXPECT_EQ(s->outcome().lines + static_cast<long long>(held.rows.size()),
            std::stoll(Value(std::string("SELECT COUNT(*) FROM ") + kSource +
                             "..A_TranSanj T INNER JOIN " + kSource +
                             "..A_TranID TA ON TA.TranID = T.TranID WHERE TA.WhatDoc = '30'")) +
                std::stoll(Value(std::string("SELECT COUNT(*) FROM ") + kSource +
                                 "..A_TranSanj_Movagat WHERE WhatDoc = '30'")));
}

TEST_F(StoreTest, ThePreviewShowsNewNumbersAndTotals) {
  auto s = OpenStore();
  ASSERT_TRUE(s->ChoosePeriodByDatabase(kSource));
  ASSERT_TRUE(s->ChooseType(StoreTypeOf("85")));
  ASSERT_TRUE(s->Load());
  const db::ResultSet& rs = s->candidates();
  size_t whatDoc = 0, doc2 = 0, sOrder = 0, kala = 0;
  for (size_t i = 0; i < rs.fields.size(); ++i) {
    std::string n = db::UpperAscii(rs.fields[i].name);
    if (n == "WHATDOC") whatDoc = i;
    if (n == "DOCUMENT2") doc2 = i;
    if (n == "SORDER") sOrder = i;
    if (n == "KALACOD") kala = i;
  }
  std::map<int, int> colours;
  for (const auto& row : rs.rows) {
    std::string code = engine::FormatValue(row[whatDoc]);
    EXPECT_NE(code, "80") << "incoming halves are not listed";
    colours[StoreImport::RowColour(engine::FormatValue(row[sOrder]), false)]++;
    if (!engine::IsNull(row[kala])) {
      EXPECT_EQ(engine::FormatValue(row[doc2]).size(), 10u) << "new number right-aligned";
    }
  }
  EXPECT_EQ(colours[kRed], 1) << "one grand total";
  EXPECT_GT(colours[kFuchsia], 0) << "warehouse totals";
  EXPECT_GT(colours[0x800080], 0) << "document totals";
  EXPECT_EQ(s->candidateLines(), std::stoll(Value(std::string("SELECT COUNT(*) FROM ") + kSource +
                                                  "..A_TranSanj T INNER JOIN " + kSource +
                                                  "..A_TranID TA ON TA.TranID = T.TranID WHERE "
                                                  "TA.WhatDoc = '85'")));
}

TEST_F(StoreTest, EachImportLeavesOneBackupPerTableAndARestoreGivesTheTablesBack) {
  date_.clock = [] { return db::ClockTime{9, 30, 5, 0}; };
  auto first = Import("30", "NEWID");
  EXPECT_EQ(first->backupStamp(), "14030210_093005");
  auto afterFirst = InventoryTables();
  date_.clock = [] { return db::ClockTime{10, 0, 0, 0}; };
  auto second = Import("50", "REPLACE");
  EXPECT_NE(InventoryTables(), afterFirst);

  auto backups = ListStoreBackups(*link_.connection());
  ASSERT_EQ(backups.size(), 1u) << "earlier backups are dropped";
  EXPECT_EQ(backups[0].stamp, "14030210_100000");
  EXPECT_TRUE(backups[0].complete);
  EXPECT_EQ(backups[0].tables.size(), StoreBackupTables().size());
  EXPECT_EQ(Value(std::string("SELECT COUNT(*) FROM ") + kDest +
                  "..sysobjects WHERE name LIKE 'BCK[_]%'"),
            std::to_string(StoreBackupTables().size()));

  EXPECT_FALSE(RestoreStoreBackup(link_, "14030210_093005")) << "that set is gone";
  ASSERT_TRUE(RestoreStoreBackup(link_, "14030210_100000"));
  EXPECT_EQ(InventoryTables(), afterFirst);
  // Identities carry on after the restored rows.
  Sql().Execute(std::string("INSERT INTO ") + kDest + "..A_TranID (WhatDoc) VALUES ('99')");
  EXPECT_EQ(Value(std::string("SELECT COUNT(*) FROM ") + kDest +
                  "..A_TranID WHERE TranID = "
                  "(SELECT MAX(TranID) FROM " +
                  kDest + "..A_TranID) AND WhatDoc = '99'"),
            "1");
}

TEST_F(StoreTest, ReceiptsAndIssuesBringTheirDraftsInTheSameApply) {
  for (const char* code : {"30", "50"}) {
    SCOPED_TRACE(code);
    TearDown();
    SetUp();
    std::string drafts = std::string("WhatDoc = '") + code + "'";
    auto draftLines = [&](const std::string& db) {
      return Rows("SELECT AnbarCod, LTRIM(RTRIM(Document)), Raj, KalaCod, Qty FROM " + db +
                  "..A_TranSanj_Movagat WHERE " + drafts + " ORDER BY AnbarCod, Document, Raj");
    };
    auto sourceDrafts = draftLines(kSource);
    ASSERT_FALSE(sourceDrafts.empty());
    size_t before = draftLines(kDest).size();
    std::string lastTran = Value(std::string("SELECT MAX(TranID) FROM ") + kDest + "..A_TranID");

    auto s = Import(code, "NEWID");
    EXPECT_EQ(draftLines(kDest).size(), before + sourceDrafts.size());
    EXPECT_EQ(s->outcome().lines, s->candidateLines()) << "documents and drafts, every line";
    // A new document and a new draft of one warehouse never share a number.
    auto numbers = [&](const std::string& sql) {
      auto r = Rows(sql);
      return std::set<std::string>(r.begin(), r.end());
    };
    auto docs = numbers(std::string("SELECT AnbarCod + '|' + LTRIM(Document) FROM ") + kDest +
                        "..A_TranID WHERE " + drafts + " AND TranID > " + lastTran);
    auto newDrafts = numbers(std::string("SELECT AnbarCod + '|' + LTRIM(Document) FROM ") + kDest +
                             "..A_TranSanj_Movagat WHERE " + drafts);
    ASSERT_FALSE(docs.empty());
    for (const std::string& d : docs) EXPECT_EQ(newDrafts.count(d), 0u) << d;
  }
}

TEST_F(StoreTest, ReplacingStaysInsideTheChosenRanges) {
  struct Case {
    const char* name;
    Range dates, numbers;
    const char* untouched;  // receipts here that must stay as they are
    bool replaces;
  };
  const Case cases[] = {
      // This period's receipts are all dated after the chosen range: same numbers, still kept.
      {"dates", {true, "1402/01/01", "1402/12/29"}, {}, "TA.WhatDoc = '30'", false},
      {"numbers", {}, {true, "1", "2"}, "TA.WhatDoc = '30' AND CAST(TA.Document AS int) > 2", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TearDown();
    SetUp();
    auto untouched = DocLines(kDest, c.untouched);
    auto s = OpenStore();
    ASSERT_TRUE(s->ChoosePeriodByDatabase(kSource));
    ASSERT_TRUE(s->ChooseType(StoreTypeOf("30")));
    s->afterMode = StoreAfterOf("REPLACE");
    s->dates = c.dates;
    s->numbers = c.numbers;
    s->numbers.from = s->PaddedNumber(c.numbers.from);
    s->numbers.to = s->PaddedNumber(c.numbers.to);
    ASSERT_TRUE(s->Load()) << Last();
    ASSERT_GT(s->candidateLines(), 0);
    ASSERT_TRUE(s->Apply()) << Last();
    auto after = DocLines(kDest, c.untouched);
    for (const std::string& l : untouched) EXPECT_EQ(after.count(l), untouched.count(l)) << l;
    if (c.replaces) {
      EXPECT_GT(s->outcome().replaced, 0);
    } else {
      EXPECT_EQ(s->outcome().replaced, 0);
      EXPECT_GT(s->outcome().kept, 0) << "same numbers outside the range are kept";
    }
  }
}

TEST_F(StoreTest, DatesMustBeOfTheSourcePeriodsYear) {
  auto s = OpenStore();
  ASSERT_TRUE(s->ChoosePeriodByDatabase(kSource));
  ASSERT_TRUE(s->ChooseType(StoreTypeOf("50")));
  const std::string wrongYear = std::string(text::kYearHead) + "1402" + text::kYearTail;
  struct Case {
    const char* date;
    bool accepted;
    std::string message;
  };
  const Case cases[] = {
      {"1402/05/10", true, ""},
      {"1403/01/15", false, wrongYear},
      {"1402/13/01", false, text::kStoreBadDate},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.date);
    dialogs_.messages.clear();
    EXPECT_EQ(s->CheckDate(c.date), c.accepted);
    EXPECT_EQ(Last(), c.message);
    s->dates = {true, "1402/01/01", c.date};
    EXPECT_EQ(s->Load(), c.accepted) << "the load checks its dates alike";
    if (!c.accepted) {
      EXPECT_EQ(s->candidateLines(), 0);
    }
  }
}

TEST_F(StoreTest, TheApplySendsTheMarkedLines) {
  auto s = OpenStore();
  ASSERT_TRUE(s->ChoosePeriodByDatabase(kSource));
  ASSERT_TRUE(s->ChooseType(StoreTypeOf("55")));
  s->afterMode = StoreAfterOf("NEWID");
  ASSERT_TRUE(s->Load()) << Last();
  const long long all = s->candidateLines();
  ASSERT_GT(all, 0);
  EXPECT_EQ(s->MarkedLines(), all) << "a load marks every line";
  struct Step {
    StoreImport::Marks marks;
    long long marked;
  };
  const Step steps[] = {{StoreImport::Marks::kNone, 0},
                        {StoreImport::Marks::kInvert, all},
                        {StoreImport::Marks::kInvert, 0},
                        {StoreImport::Marks::kAll, all},
                        {StoreImport::Marks::kNone, 0}};
  for (const Step& st : steps) {
    s->Mark(st.marks);
    EXPECT_EQ(s->MarkedLines(), st.marked);
  }
  auto before = DocLines(kDest, "TA.WhatDoc = '55'");
  ASSERT_TRUE(s->Apply()) << Last();
  EXPECT_EQ(s->outcome().documents, 0) << "nothing marked, nothing sent";
  EXPECT_EQ(DocLines(kDest, "TA.WhatDoc = '55'"), before);
}

TEST_F(StoreTest, RefusalsWriteNothing) {
  auto tables = InventoryTables();
  struct Case {
    const char* code;
    const char* mode;
    const char* message;
  };
  const Case cases[] = {
      {"100", "NEWID", text::kOpeningNoNewId},
      {"10", "NEWID", text::kOpeningNoNewId},
      {"100", "OLDID", text::kOpeningHasLines},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.code) + " " + c.mode);
    auto s = OpenStore();
    ASSERT_TRUE(s->ChoosePeriodByDatabase(kSource));
    ASSERT_TRUE(s->ChooseType(StoreTypeOf(c.code)));
    s->afterMode = StoreAfterOf(c.mode);
    ASSERT_TRUE(s->Load());
    EXPECT_FALSE(s->Apply());
    EXPECT_EQ(Last(), c.message);
    EXPECT_EQ(InventoryTables(), tables);
    EXPECT_TRUE(ListStoreBackups(*link_.connection()).empty()) << "no backup before a refusal";
  }
  // Without a type nothing is read.
  auto s = OpenStore();
  ASSERT_TRUE(s->ChoosePeriodByDatabase(kSource));
  EXPECT_FALSE(s->Load());
  EXPECT_EQ(Last(), text::kNoType);
}

TEST_F(StoreTest, ReceiptsOnATimerNeverMerge) {
  auto s = OpenStore();
  ASSERT_TRUE(s->ChoosePeriodByDatabase(kSource));
  ASSERT_TRUE(s->ChooseType(StoreTypeOf("30")));
  s->afterMode = kStoreMerge;
  s->ResetAuto();
  EXPECT_EQ(s->afterMode, kStoreNewId);
  ASSERT_EQ(s->AfterItems().size(), 3u);
  EXPECT_EQ(s->AfterItems()[2], text::kStoreOldId);
  s->afterMode = 2;
  EXPECT_EQ(s->AfterModeNameNow(), "OLDID_NOCHANGE");
  s->afterMode = kStoreNewId;
  s->SetAutoMinutes("5");
  auto before = DocLines(kDest, "TA.WhatDoc = '30'").size();
  s->StartAuto();
  EXPECT_TRUE(s->timerEnabled());
  EXPECT_EQ(s->runCount().text, "1");
  EXPECT_EQ(DocLines(kDest, "TA.WhatDoc = '30'").size(),
            before + DocLines(kSource, "TA.WhatDoc = '30'").size());
  // An issue type keeps all four items.
  ASSERT_TRUE(s->ChooseType(StoreTypeOf("50")));
  s->ResetAuto();
  EXPECT_EQ(s->AfterItems().size(), 4u);
}

TEST_F(StoreTest, ASourceOnAnotherServerGivesWhatTheSamePeriodGivesLocally) {
  std::string remote = CopyOfDemo("store_remote");
  std::string local = CopyOfDemo("store_local");
  // The same factor agreement on the local copy as on the test's server.
  {
    auto server = engine::Server::Open(local, false);
    engine::Connection c(server);
    c.Execute(std::string("UPDATE D SET CatgagoryName = S.CatgagoryName FROM ") + kDest +
              "..Avamel D INNER JOIN " + kSource +
              "..Avamel S ON S.CatgagoryCode = D.CatgagoryCode");
  }
  const std::string tables =
      std::string(
          "SELECT TA.WhatDoc, TA.AnbarCod, TA.Document, TA.DocDate, T.Raj, T.KalaCod, "
          "T.Qty, T.Price, (SELECT COUNT(*) FROM ") +
      kDest + "..A_TranSerial S WHERE S.TranID = TA.TranID AND S.Raj = T.Raj) FROM " + kDest +
      "..A_TranID TA INNER JOIN " + kDest +
      "..A_TranSanj T ON T.TranID = TA.TranID ORDER BY TA.TranID, T.Raj";
  auto read = [&](const std::string& dir) {
    auto server = engine::Server::Open(dir, false);
    engine::Connection c(server);
    std::vector<std::string> out;
    auto sets = c.Execute(tables);
    for (const auto& row : sets.back().rows) {
      std::string line;
      for (const auto& v : row) line += (engine::IsNull(v) ? "NULL" : engine::FormatValue(v)) + "|";
      out.push_back(line);
    }
    return out;
  };
  auto run = [&](bool viaRemote) {
    for (const auto& [code, mode] :
         {std::pair{"1000", "NEWID"}, std::pair{"100", "OLDID_NOCHANGE"}}) {
      auto s = OpenStore();
      if (viaRemote) {
        transfer::SourceServer src;
        src.name = remote;
        src.connection = db::OpenBackend(db::ConnectionString(g_, remote, "master", "SQL", "", ""));
        s->UseSourceServer(std::move(src));
        ASSERT_TRUE(s->RemoteSource());
      }
      ASSERT_TRUE(s->ChoosePeriodByDatabase(kSource));
      ASSERT_TRUE(s->ChooseType(StoreTypeOf(code)));
      s->afterMode = StoreAfterOf(mode);
      ASSERT_TRUE(s->Load()) << Last();
      ASSERT_TRUE(s->Apply()) << Last();
    }
  };
  run(true);
  link_ = db::HostDatabase{};
  auto viaRemote = read(dir_);
  EXPECT_EQ(Value("SELECT COUNT(*) FROM master..sysdatabases WHERE name = 'Tmp_A_Remote'"), "0")
      << "the mirror is dropped after the apply";
  g_.serverName = local;
  run(false);
  link_ = db::HostDatabase{};
  EXPECT_GT(viaRemote.size(), 50u);
  EXPECT_EQ(viaRemote, read(local));
  xfer_test::RemoveTree(remote);
  xfer_test::RemoveTree(local);
}

}  // namespace
}  // namespace xfer::import::testing
