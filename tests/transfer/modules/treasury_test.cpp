// The treasury transfer on real demo periods: exactly the cheques and notes still open at the
// source period's end are listed (every state, the year's last day and the day after), registering
// twice adds nothing, a hand distribution that does not add up to the rial is refused, the base
// pages carry bank accounts, cash boxes and petty-cash holders with their opening balances, and
// a source on another server ends in the same state as a local one.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>

#include "db/text_util.h"
#include "module_fixture.h"
#include "transfer/modules/counterparty.h"
#include "transfer/modules/treasury_items.h"

namespace xfer::transfer::testing {
namespace {

constexpr const char* kFirstDay = "1402/01/01";
constexpr const char* kLastDay = "1402/12/29";

// An item open at the source period's end, as the test works it out from the raw actions.
struct Expected {
  std::string lastCode;
  double value = 0;
};

class TreasuryTest : public ModuleFixture {
 protected:
  void Open(const std::string& server) {
    frame_ = Start(server, kSource, &NaghdForm());
    items_ = std::make_unique<TreasuryItems>(*frame_, g_, link_, dialogs_);
    items_->CreateWorkTables();
  }

  // Every item of `table` whose codes start with `prefix`: its last action within the period
  // decides; what cashes, returns, transfers, cancels or uses it settles it. Partial cashings
  // lower the open value.
  std::map<std::string, Expected> OpenItems(const std::string& table, const std::string& number,
                                            const std::string& valueColumn,
                                            const std::string& prefix,
                                            const std::set<std::string>& settling,
                                            const std::string& partial) {
    auto sets = conn_->Execute("SELECT " + number + ", Joz, WhatDoc, SanadDate, IDX, " +
                               valueColumn + " FROM " + std::string(kSource) + ".." + table +
                               " WHERE " + number + " <> '' AND WhatDoc LIKE '" + prefix + "%'");
    struct Last {
      std::string date, code;
      long long idx = -1;
      double entered = 0, paid = 0;
    };
    std::map<std::string, Last> last;
    for (const auto& row : sets.back().rows) {
      std::string key = engine::FormatValue(row[0]) + "_" + engine::FormatValue(row[1]);
      std::string code = engine::FormatValue(row[2]), date = engine::FormatValue(row[3]);
      long long idx = std::stoll(engine::FormatValue(row[4]));
      double value = std::stod(engine::FormatValue(row[5]));
      Last& l = last[key];
      if (code[1] == '1' || code[1] == '2' || code == "85") l.entered = value;
      if (date < kFirstDay || date > kLastDay) continue;
      if (code == partial) l.paid += value;
      if (date > l.date || (date == l.date && idx > l.idx)) {
        l.date = date;
        l.code = code;
        l.idx = idx;
      }
    }
    std::map<std::string, Expected> open;
    for (const auto& [key, l] : last)
      if (!l.code.empty() && !settling.count(l.code)) open[key] = {l.code, l.entered - l.paid};
    return open;
  }

  std::map<std::string, std::string> Treasury(const std::string& db) {
    auto all = Checksums(db);
    std::map<std::string, std::string> out;
    for (const char* t : {"N_NaghdTrans", "N_CHQFirst", "N_ArzTrans", "N_SoftehTrans",
                          "N_SoftehLastTrans", "N_AsnadNaghd"})
      for (const auto& [name, sum] : all)
        if (db::UpperAscii(name) == db::UpperAscii(t)) out[t] = sum;
    // The used-leaf rows are rebuilt on every registration: compared by content.
    auto rows = conn_->Execute("SELECT WhatDoc, AcountId, ChqNo, Joz, SanadDate, Serial FROM " +
                               db + "..N_ChqLastTrans ORDER BY WhatDoc, ChqNo, Joz");
    for (const auto& row : rows.back().rows)
      for (const auto& v : row)
        out["N_ChqLastTrans"] += (engine::IsNull(v) ? "-" : engine::FormatValue(v)) + "|";
    return out;
  }

  void RegisterEverything() {
    for (ItemKind k : {ItemKind::kReceived, ItemKind::kPaid}) {
      ASSERT_TRUE(items_->ListCheques(k));
      ASSERT_TRUE(items_->RegisterCheques(k));
      ASSERT_TRUE(items_->ListNotes(k));
      ASSERT_TRUE(items_->RegisterNotes(k));
    }
  }

  std::unique_ptr<ModuleTransfer> frame_;
  std::unique_ptr<TreasuryItems> items_;
};

TEST_F(TreasuryTest, ListsExactlyTheChequesOpenAtThePeriodEnd) {
  Open(dir_);
  struct Case {
    ItemKind kind;
    const char* prefix;
    std::set<std::string> settling;
    std::set<std::string> openStates;  // every open state the demo must show
  };
  const Case cases[] = {
      {ItemKind::kReceived, "7", {"74", "76", "77"}, {"71", "72", "73", "75", "78"}},
      {ItemKind::kPaid, "8", {"82", "83", "84", "87"}, {"81", "85", "88"}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.prefix);
    auto expected = OpenItems("N_NaghdTrans", "ChqNo", "ChqValue", c.prefix, c.settling, "78");
    ASSERT_TRUE(items_->ListCheques(c.kind));
    std::map<std::string, ChequeRow> listed;
    for (const ChequeRow& r : items_->Cheques()) listed[r.chqNo + "_" + r.joz] = r;
    ASSERT_EQ(listed.size(), expected.size());
    std::set<std::string> states;
    bool foreign = false, waiting = false;
    for (const auto& [key, e] : expected) {
      ASSERT_TRUE(listed.count(key)) << key;
      const ChequeRow& r = listed[key];
      EXPECT_EQ(r.whatDoc, e.lastCode) << key;
      EXPECT_DOUBLE_EQ(r.value, e.value) << key;
      EXPECT_TRUE(r.mojaz == "A" || r.mojaz == "X") << key;
      states.insert(r.whatDoc);
      if (r.arzCount) {
        foreign = true;
        EXPECT_EQ(r.arzName, "دلار");
      }
      waiting = waiting || r.mojaz == "X";
    }
    for (const auto& s : c.openStates) EXPECT_TRUE(states.count(s)) << s;
    EXPECT_TRUE(foreign);
    EXPECT_TRUE(waiting);
  }
  // Settled on the year's last day: gone; settled only on the day after: still open.
  const std::string onLast =
      Value(kSource, "SELECT TOP 1 ChqNo FROM N_NaghdTrans WHERE WhatDoc = '74' AND SanadDate = '" +
                         std::string(kLastDay) + "'");
  const std::string after =
      Value(kSource, "SELECT TOP 1 ChqNo FROM N_NaghdTrans WHERE WhatDoc = '74' AND SanadDate > '" +
                         std::string(kLastDay) + "'");
  ASSERT_NE(onLast, "<none>");
  ASSERT_NE(after, "<none>");
  ASSERT_TRUE(items_->ListCheques(ItemKind::kReceived));
  std::set<std::string> numbers;
  for (const ChequeRow& r : items_->Cheques()) numbers.insert(r.chqNo);
  EXPECT_FALSE(numbers.count(onLast));
  EXPECT_TRUE(numbers.count(after));
}

TEST_F(TreasuryTest, ListsExactlyTheNotesOpenAtThePeriodEnd) {
  Open(dir_);
  for (ItemKind k : {ItemKind::kReceived, ItemKind::kPaid}) {
    const bool received = k == ItemKind::kReceived;
    auto expected = OpenItems(
        "N_SoftehTrans", "SoftehNo", "SaftehValue", received ? "A" : "B",
        received ? std::set<std::string>{"A4", "A6", "A7"} : std::set<std::string>{"B3", "B4"},
        received ? "A8" : "B8");
    ASSERT_TRUE(items_->ListNotes(k));
    std::map<std::string, NoteRow> listed;
    for (const NoteRow& r : items_->Notes(k)) listed[r.saftehNo + "_" + r.joz] = r;
    ASSERT_EQ(listed.size(), expected.size());
    for (const auto& [key, e] : expected) {
      ASSERT_TRUE(listed.count(key)) << key;
      EXPECT_DOUBLE_EQ(listed[key].value, e.value) << key;
    }
  }
}

TEST_F(TreasuryTest, RegisteringTwiceAddsNothing) {
  Open(dir_);
  RegisterEverything();
  const auto once = Treasury(kDest);
  // What was registered balances: each opening cheque document's lines add up to its cheque.
  EXPECT_EQ(Value(kDest,
                  "SELECT COUNT(*) FROM N_CHQFirst F WHERE ABS(F.ChqValue - (SELECT "
                  "SUM(ChqValue) FROM N_NaghdTrans N WHERE N.Serial = F.Serial AND N.Raj > 1)) "
                  "> 0.005"),
            "0");
  EXPECT_NE(Value(kDest, "SELECT COUNT(*) FROM N_CHQFirst"), "0");
  // Each registered document numbers its lines 1, 2, ... within itself.
  for (const char* table : {"N_NaghdTrans", "N_SoftehTrans"})
    EXPECT_EQ(Value(kDest, std::string("SELECT COUNT(*) FROM (SELECT Serial FROM ") + table +
                               " GROUP BY Serial HAVING MAX(Raj) <> COUNT(*) OR MIN(Raj) <> 1) X"),
              "0")
        << table;
  EXPECT_NE(Value(kDest, "SELECT COUNT(*) FROM N_SoftehLastTrans"), "0");
  EXPECT_EQ(Value(kDest, "SELECT COUNT(*) FROM N_AsnadNaghd WHERE WhatDoc = '02'"), "1");
  RegisterEverything();
  EXPECT_EQ(Treasury(kDest), once);
  // The registration procedures themselves take the same list again without adding a row.
  Run(kDest, "EXEC sp_N_Asnad_Trans_ChqPay_Enteghal_First '" + frame_->periodList() + "', '" +
                 std::string(kSource) + "..', '1', '1403', '', '1403/01/01'");
  EXPECT_EQ(Treasury(kDest), once);
}

TEST_F(TreasuryTest, CounterpartiesThatDoNotAddUpAreRefused) {
  Open(dir_);
  ASSERT_TRUE(items_->ListCheques(ItemKind::kReceived));
  std::vector<ChequeRow> waiting;
  for (const ChequeRow& r : items_->Cheques())
    if (r.mojaz == "X") waiting.push_back(r);
  ASSERT_GE(waiting.size(), 2u);
  const ChequeRow cheque = waiting.front();
  const std::string payLast = "SELECT COUNT(*) FROM " + items_->Table("_Pay_Last");
  const std::string before = Value(kDest, payLast);

  Counterparty cp(*items_, cheque);
  ASSERT_GE(cp.lines().size(), 2u);
  auto& lines = cp.lines();
  // Above a line's credit: refused at once.
  EXPECT_FALSE(cp.SetAmount(0, lines[0].credit + 1));
  ASSERT_FALSE(dialogs_.messages.empty());
  EXPECT_EQ(dialogs_.messages.back().text, counterparty_text::kAboveCredit);
  // One rial short: refused, nothing written.
  const double first = std::min(lines[0].credit, cheque.value);
  ASSERT_TRUE(cp.SetAmount(0, first));
  ASSERT_TRUE(cp.SetAmount(1, cheque.value - first - 1));
  EXPECT_FALSE(cp.Commit());
  EXPECT_EQ(dialogs_.messages.back().text, counterparty_text::kChequeTotal);
  EXPECT_EQ(dialogs_.messages.back().code, "1ER");
  EXPECT_EQ(Value(kDest, payLast), before);
  // Exactly the value: written, the row turns A, the first line's credit shrinks.
  ASSERT_TRUE(cp.SetAmount(1, cheque.value - first));
  ASSERT_TRUE(cp.Commit());
  bool settled = false;
  for (const ChequeRow& r : items_->Cheques())
    if (r.chqNo == cheque.chqNo) settled = r.mojaz == "A";
  EXPECT_TRUE(settled);
  Counterparty next(*items_, waiting[1]);
  ASSERT_FALSE(next.lines().empty());
  EXPECT_DOUBLE_EQ(next.lines()[0].credit, lines[0].credit - first);

  ASSERT_TRUE(items_->RegisterCheques(ItemKind::kReceived));
  EXPECT_EQ(Value(kDest, "SELECT COUNT(*) FROM N_CHQFirst WHERE ChqNo = '" + cheque.chqNo + "'"),
            "1");
  EXPECT_EQ(Value(kDest,
                  "SELECT SUM(N.ChqValue) FROM N_NaghdTrans N INNER JOIN N_CHQFirst F ON "
                  "F.Serial = N.Serial WHERE N.Raj > 1 AND F.ChqNo = '" +
                      cheque.chqNo + "'"),
            Value(kDest, "SELECT ChqValue FROM N_CHQFirst WHERE ChqNo = '" + cheque.chqNo + "'"));
  // The cheque left alone is still waiting, nothing guessed for it.
  EXPECT_EQ(
      Value(kDest, "SELECT COUNT(*) FROM N_CHQFirst WHERE ChqNo = '" + waiting[1].chqNo + "'"),
      "0");

  // Notes: the same rule with the note's message.
  ASSERT_TRUE(items_->ListNotes(ItemKind::kReceived));
  NoteRow note;
  for (const NoteRow& n : items_->Notes(ItemKind::kReceived))
    if (n.status == "X") note = n;
  ASSERT_FALSE(note.saftehNo.empty());
  Counterparty np(*items_, ItemKind::kReceived, note);
  ASSERT_FALSE(np.lines().empty());
  np.CopyCredit(0);
  if (np.lines()[0].amount != note.value) {
    EXPECT_FALSE(np.Commit());
    EXPECT_EQ(dialogs_.messages.back().text, counterparty_text::kNoteTotal);
  }
  double left = note.value;
  for (size_t i = 0; i < np.lines().size(); ++i) {
    double give = std::min(np.lines()[i].credit, left);
    ASSERT_TRUE(np.SetAmount(i, give));
    left -= give;
  }
  ASSERT_TRUE(np.Commit());
  ASSERT_TRUE(items_->RegisterNotes(ItemKind::kReceived));
  EXPECT_EQ(Value(kDest, "SELECT COUNT(*) FROM N_SoftehLastTrans WHERE SoftehNo = '" +
                             note.saftehNo + "'"),
            "1");
  EXPECT_EQ(Value(kDest,
                  "SELECT SUM(L.SaftehValue) FROM N_SoftehTrans L INNER JOIN "
                  "N_SoftehLastTrans R ON R.Serial = L.Serial WHERE L.Raj > 1 AND "
                  "R.SoftehNo = '" +
                      note.saftehNo + "'"),
            Value(kDest, "SELECT SaftehValue FROM N_SoftehTrans WHERE Raj = 1 AND SoftehNo = '" +
                             note.saftehNo + "'"));
}

// Four documents of the source period that say more or less about who paid: one counterparty
// line for two cheques, the lines of a one-cheque document adding up to it, the same not adding
// up, and two cheques over two lines. The first two settle by themselves, lines and names as
// their documents give them, and register; the others wait for the user, named one to many,
// with their documents' lines left for the counterparty form. Received and paid cheques alike.
TEST_F(TreasuryTest, DocumentsThatSayWhoPaidSettleTheirChequesByThemselves) {
  Open(dir_);
  const std::string tafsily = Value(kSource, "SELECT TOP 1 Tafsily FROM Tafsily ORDER BY Tafsily");
  const std::string name =
      Value(kSource, "SELECT NamHesab FROM Tafsily WHERE Tafsily = '" + tafsily + "'");
  const int first = std::stoi(Value(kSource, "SELECT MAX(Serial) FROM N_NaghdTrans")) + 1;
  struct Doc {
    std::vector<std::pair<std::string, double>> cheques;
    std::vector<double> lines;
  };
  const Doc docs[] = {{{{"1A", 100}, {"1B", 200}}, {300}},
                      {{{"2", 500}}, {200, 300}},
                      {{{"3", 500}}, {200, 200}},
                      {{{"4A", 100}, {"4B", 200}}, {100, 200}}};
  struct Kind {
    ItemKind kind;
    const char* entry;   // the code of a cheque's entering document
    const char* prefix;  // of this kind's cheque numbers
  };
  const Kind kinds[] = {{ItemKind::kReceived, "71", "SD"}, {ItemKind::kPaid, "81", "PD"}};
  for (int k = 0; k < 2; ++k) {
    const Kind& kind = kinds[k];
    SCOPED_TRACE(kind.entry);
    const std::string p = kind.prefix;
    for (int d = 0; d < 4; ++d) {
      const std::string serial = std::to_string(first + 4 * k + d);
      int raj = 0;
      auto line = [&](const std::string& chq, double value) {
        Run(kSource,
            "INSERT INTO N_NaghdTrans (Serial, Raj, WhatDoc, SanadNo, SanadDate, ChqNo, Joz, "
            "ChqValue, Koll, Moein, Tafsily, SarResidDate, Des) VALUES (" +
                serial + ", " + std::to_string(++raj) + ", '" + kind.entry + "', '" + serial +
                "', '1402/06/01', '" + chq + "', '', " + std::to_string(value) + ", " +
                (chq.empty() ? "'1003', '0001', '" + tafsily + "'" : "NULL, NULL, NULL") +
                ", '1403/03/01', 'd')");
      };
      for (const auto& [chq, value] : docs[d].cheques) line(p + chq, value);
      for (double value : docs[d].lines) line("", value);
    }
    ASSERT_TRUE(items_->ListCheques(kind.kind));
    std::map<std::string, ChequeRow> listed;
    for (const ChequeRow& r : items_->Cheques())
      if (r.chqNo.rfind(p, 0) == 0) listed[r.chqNo.substr(p.size())] = r;
    ASSERT_EQ(listed.size(), 6u);
    const std::string taraf = items_->Table("_Taraf");
    auto linesOf = [&](const std::string& where) {
      return Value(kDest,
                   "SELECT CAST(COUNT(*) AS varchar(10)) + '/' + CAST(CAST(ISNULL(SUM("
                   "ChqValue), 0) AS int) AS varchar(20)) FROM " +
                       taraf + " WHERE " + where);
    };
    for (const char* chq : {"1A", "1B"}) {
      EXPECT_EQ(listed[chq].mojaz, "A") << chq;
      EXPECT_EQ(listed[chq].taraf, name) << chq;
    }
    // The single line goes to each cheque with the cheque's own value.
    EXPECT_EQ(linesOf("ChqNo = '" + p + "1A'"), "1/100");
    EXPECT_EQ(linesOf("ChqNo = '" + p + "1B'"), "1/200");
    // Two lines adding up: settled, no single name.
    EXPECT_EQ(listed["2"].mojaz, "A");
    EXPECT_EQ(listed["2"].taraf, "");
    EXPECT_EQ(linesOf("ChqNo = '" + p + "2'"), "2/500");
    for (const char* chq : {"3", "4A", "4B"}) {
      EXPECT_EQ(listed[chq].mojaz, "X") << chq;
      EXPECT_EQ(listed[chq].taraf, naghd_text::kOneToMany) << chq;
      EXPECT_EQ(linesOf("ChqNo = '" + p + chq + "'"), "0/0") << chq;
    }
    // Only the waiting documents keep lines without a cheque.
    for (int d = 0; d < 4; ++d)
      EXPECT_EQ(linesOf("ChqNo = '' AND Serial = " + std::to_string(first + 4 * k + d)),
                d == 2   ? "2/400"
                : d == 3 ? "2/300"
                         : "0/0")
          << d;

    ASSERT_TRUE(items_->RegisterCheques(kind.kind));
    auto registered = [&](const std::string& chq) {
      return Value(kDest,
                   "SELECT CAST(COUNT(*) AS varchar(10)) + '/' + CAST(CAST(ISNULL(SUM(N.ChqValue), "
                   "0) AS int) AS varchar(20)) FROM N_NaghdTrans N INNER JOIN N_CHQFirst F ON "
                   "F.Serial = N.Serial WHERE N.Raj > 1 AND F.ChqNo = '" +
                       p + chq + "'");
    };
    EXPECT_EQ(registered("1A"), "1/100");
    EXPECT_EQ(registered("1B"), "1/200");
    EXPECT_EQ(registered("2"), "2/500");
    EXPECT_EQ(Value(kDest, "SELECT Taraf FROM N_CHQFirst WHERE ChqNo = '" + p + "1B'"), name);
    for (const char* chq : {"3", "4A", "4B"}) EXPECT_EQ(registered(chq), "0/0") << chq;
  }
}

// A cheque settled by its document's one counterparty line is named by the line's most detailed
// level: the subsidiary account when there is one, else the ledger account, else the general one
// (a level left empty or missing alike).
TEST_F(TreasuryTest, ACounterpartyIsNamedByTheMostDetailedLevelOfItsLine) {
  Open(dir_);
  const std::string koll = Value(kSource, "SELECT TOP 1 Koll FROM Moein ORDER BY Koll, Moein");
  const std::string moein =
      Value(kSource, "SELECT TOP 1 Moein FROM Moein WHERE Koll = '" + koll + "' ORDER BY Moein");
  const std::string tafsily = Value(kSource, "SELECT TOP 1 Tafsily FROM Tafsily ORDER BY Tafsily");
  auto name = [&](const std::string& table, const std::string& where) {
    return Value(kSource, "SELECT NamHesab FROM " + table + " WHERE " + where);
  };
  const struct {
    const char* chq;
    std::string levels;  // Moein, Tafsily as the line holds them
    std::string expected;
  } lines[] = {
      {"LVL1", "'" + moein + "', '" + tafsily + "'",
       name("Tafsily", "Tafsily = '" + tafsily + "'")},
      {"LVL2", "'" + moein + "', ''",
       name("Moein", "Koll = '" + koll + "' AND Moein = '" + moein + "'")},
      {"LVL3", "NULL, NULL", name("Koll", "Koll = '" + koll + "'")},
  };
  int serial = std::stoi(Value(kSource, "SELECT MAX(Serial) FROM N_NaghdTrans"));
  for (const auto& l : lines) {
    const std::string doc = std::to_string(++serial);
    Run(kSource,
        "INSERT INTO N_NaghdTrans (Serial, Raj, WhatDoc, SanadNo, SanadDate, ChqNo, Joz, ChqValue, "
        "SarResidDate) VALUES (" +
            doc + ", 1, '71', 'L', '1402/07/01', '" + l.chq +
            "', '', 900, '1403/01/20') INSERT INTO N_NaghdTrans (Serial, Raj, WhatDoc, SanadNo, "
            "SanadDate, ChqValue, Koll, Moein, Tafsily) VALUES (" +
            doc + ", 2, '71', 'L', '1402/07/01', 900, '" + koll + "', " + l.levels + ")");
  }
  ASSERT_TRUE(items_->ListCheques(ItemKind::kReceived));
  std::map<std::string, ChequeRow> listed;
  for (const ChequeRow& r : items_->Cheques()) listed[r.chqNo] = r;
  for (const auto& l : lines) {
    ASSERT_TRUE(listed.count(l.chq)) << l.chq;
    ASSERT_FALSE(l.expected.empty()) << l.chq;
    EXPECT_EQ(listed[l.chq].mojaz, "A") << l.chq;
    EXPECT_EQ(listed[l.chq].taraf, l.expected) << l.chq;
  }
  EXPECT_NE(listed["LVL1"].taraf, listed["LVL2"].taraf);
}

// A received and a paid cheque may share a number and series: what is done to one (here a
// partial cashing of the received one) never changes the other.
TEST_F(TreasuryTest, ChequesOfTheOtherKindWithTheSameNumberStayApart) {
  Open(dir_);
  const int first = std::stoi(Value(kSource, "SELECT MAX(Serial) FROM N_NaghdTrans")) + 1;
  const struct {
    const char* code;
    double value;
  } actions[] = {{"71", 1000}, {"78", 300}, {"81", 700}};
  for (int i = 0; i < 3; ++i)
    Run(kSource,
        "INSERT INTO N_NaghdTrans (Serial, Raj, WhatDoc, SanadNo, SanadDate, ChqNo, Joz, "
        "ChqValue, SarResidDate, Des) VALUES (" +
            std::to_string(first + i) + ", 1, '" + actions[i].code + "', 'S', '1402/0" +
            std::to_string(i + 4) + "/01', 'TWIN1', 'J', " + std::to_string(actions[i].value) +
            ", '1403/03/01', 'd')");
  const struct {
    ItemKind kind;
    const char* lastCode;
    double value;
  } expected[] = {{ItemKind::kReceived, "78", 700}, {ItemKind::kPaid, "81", 700}};
  for (const auto& e : expected) {
    SCOPED_TRACE(e.lastCode);
    ASSERT_TRUE(items_->ListCheques(e.kind));
    int found = 0;
    for (const ChequeRow& r : items_->Cheques())
      if (r.chqNo == "TWIN1") {
        ++found;
        EXPECT_EQ(r.whatDoc, e.lastCode);
        EXPECT_DOUBLE_EQ(r.value, e.value);
      }
    EXPECT_EQ(found, 1);
  }
}

// Notes keep to their kind in everything: a received note's partial collection does not lower a
// paid note of the same number and series, and registering the received one leaves the paid one
// listed (notes, unlike cheques, are looked up in the destination by kind).
TEST_F(TreasuryTest, NotesOfTheOtherKindWithTheSameNumberStayApart) {
  Open(dir_);
  const int first = std::stoi(Value(kSource, "SELECT MAX(Serial) FROM N_SoftehTrans")) + 1;
  const struct {
    const char* code;
    double value;
    bool line;  // with a counterparty line that settles it
  } actions[] = {{"A1", 1000, true}, {"A8", 300, false}, {"B1", 700, false}};
  for (int i = 0; i < 3; ++i) {
    const std::string serial = std::to_string(first + i),
                      date = "'1402/0" + std::to_string(i + 4) + "/01'";
    Run(kSource,
        "INSERT INTO N_SoftehTrans (Serial, Raj, WhatDoc, SanadNo, SanadDate, SoftehNo, Joz, "
        "SodorDate, SarResidDate, SaftehValue, TahodValue) VALUES (" +
            serial + ", 1, '" + actions[i].code + "', 'S', " + date + ", 'TWIN9', 'J', " + date +
            ", '1403/03/01', " + std::to_string(actions[i].value) + ", " +
            std::to_string(actions[i].value) + ")");
    if (actions[i].line)
      Run(kSource,
          "INSERT INTO N_SoftehTrans (Serial, Raj, WhatDoc, SanadNo, SanadDate, SaftehValue, "
          "TahodValue, Koll, Moein, Tafsily) VALUES (" +
              serial + ", 2, '" + actions[i].code + "', 'S', " + date + ", " +
              std::to_string(actions[i].value) + ", 0, '1003', '0001', '00000001')");
  }
  // The page lists notes within the range of numbers the source's register holds.
  Run(kSource,
      "INSERT INTO N_SoftehLastTrans (SoftehNo, Joz, WhatDoc, Serial, LastWhatDoc, LastDate) "
      "VALUES ('TWIN9', 'J', 'A1', " +
          std::to_string(first) + ", 'A8', '1402/05/01'), ('TWIN9', 'J', 'B1', " +
          std::to_string(first + 2) + ", 'B1', '1402/06/01')");
  auto twin = [&](ItemKind k) {
    EXPECT_TRUE(items_->ListNotes(k));
    std::vector<double> values;
    for (const NoteRow& r : items_->Notes(k))
      if (r.saftehNo == "TWIN9") values.push_back(r.value);
    return values;
  };
  EXPECT_EQ(twin(ItemKind::kReceived), std::vector<double>{700});
  EXPECT_EQ(twin(ItemKind::kPaid), std::vector<double>{700});
  ASSERT_TRUE(items_->ListNotes(ItemKind::kReceived));
  ASSERT_TRUE(items_->RegisterNotes(ItemKind::kReceived));
  EXPECT_EQ(Value(kDest, "SELECT COUNT(*) FROM N_SoftehLastTrans WHERE SoftehNo = 'TWIN9'"), "1");
  EXPECT_TRUE(twin(ItemKind::kReceived).empty());
  EXPECT_EQ(twin(ItemKind::kPaid), std::vector<double>{700});
}

TEST_F(TreasuryTest, BasePagesMoveWithTheirOpenings) {
  Open(dir_);
  struct Page {
    const char* table;
    const char* key;
    const char* detailKey;  // the same key over N_AsnadDetail D
    const char* kind;       // TypeHesab of its documents
    const char* sourceKey;  // the same key over the source table S
  };
  const Page pages[] = {
      {"N_BankHesab", "BankCod+ShobehCod+AcountCod", "D.BankCod+D.ShobehCod+D.AcountCod", "B",
       "S.BankCod+S.ShobehCod+S.AcountCod"},
      {"N_Cash", "CashCod", "D.CashCod", "C", "S.CashCod"},
      {"N_Tankhah", "PersonCod", "D.PersonCod", "T", "S.PersonCod"}};
  for (const Page& p : pages) {
    SCOPED_TRACE(p.table);
    const ModuleTable* t = FindModuleTable(NaghdForm(), p.table);
    ASSERT_NE(t, nullptr);
    TableCopy copy = frame_->CopyFirst(*t);
    ASSERT_TRUE(copy.carried);
    frame_->Finish(copy, 0, copy.conflicts > 0);
    // The source's closing balance of every account the source has.
    const std::string src = kSource;
    auto sets = conn_->Execute(std::string("SELECT ") + p.key +
                               ", ISNULL(FirstBed, 0) - ISNULL(FirstBes, 0) + " +
                               "ISNULL((SELECT SUM(ISNULL(D.Bed, 0) - ISNULL(D.Bes, 0)) FROM " +
                               src + "..N_AsnadDetail D INNER JOIN " + src +
                               "..N_Asnad A ON A.SanadNo = D.SanadNo WHERE D.TypeHesab = '" +
                               p.kind + "' AND " + p.detailKey + " = " + p.sourceKey +
                               " AND A.SanadDate BETWEEN '1402/01/01' AND '1402/12/29'), 0) FROM " +
                               src + ".." + p.table + " S");
    ASSERT_FALSE(sets.back().rows.empty());
    int checked = 0;
    for (const auto& row : sets.back().rows) {
      const std::string key = engine::FormatValue(row[0]);
      const double rem = std::stod(engine::FormatValue(row[1]));
      const std::string where =
          std::string(" FROM ") + p.table + " WHERE " + p.key + " = '" + key + "'";
      EXPECT_NEAR(std::stod(Value(kDest, "SELECT FirstBed" + where)), rem >= 0 ? rem : 0, 0.01)
          << key;
      EXPECT_NEAR(std::stod(Value(kDest, "SELECT FirstBes" + where)), rem < 0 ? -rem : 0, 0.01)
          << key;
      ++checked;
    }
    EXPECT_GT(checked, 2);
  }
}

TEST_F(TreasuryTest, ARemoteSourceGivesTheLocalEndState) {
  Open(dir_);
  RegisterEverything();
  const auto local = Treasury(kDest);

  const std::string here = CopyServer("here"), there = CopyServer("there");
  Reopen(here);
  Open(here);
  UseRemote(*frame_, there);
  RegisterEverything();
  EXPECT_EQ(Treasury(kDest), local);
}

// Many cheques at once take the same set-based paths as a few: 50 and 500 added open cheques
// (documents of one counterparty line, of two lines that add up to their one cheque, some in
// dollars) end in the same opening cheque, document lines and currency lines per cheque.
TEST_F(TreasuryTest, FiftyAndFiveHundredChequesEndAlikePerCheque) {
  auto run = [&](int count) {
    const std::string dir = CopyServer("many" + std::to_string(count));
    Reopen(dir);
    const std::string first = Value(kSource, "SELECT MAX(Serial) FROM N_NaghdTrans");
    const std::string doc = "(" + first + " + 1 + n)";
    Run(kSource, "CREATE TABLE #N (n int) DECLARE @i int SET @i = 0 WHILE @i < " +
                     std::to_string(count) +
                     " BEGIN INSERT INTO #N VALUES (@i) SET @i = @i + 1 END " +
                     // The cheque, then its counterparty lines: two that split it for every
                     // third document, one otherwise.
                     "INSERT INTO N_NaghdTrans (Serial, Raj, WhatDoc, SanadNo, SanadDate, ChqNo, "
                     "Joz, SarResidDate, ChqValue, BankCod, ShobehCod, Des) SELECT " +
                     doc + ", 1, '71', CAST(" + doc +
                     " AS varchar(20)), '1402/05/10', CAST(8000000 + n AS varchar(20)), 'T' + "
                     "CAST(n % 5 AS varchar(2)), '1403/02/01', (n % 90 + 1) * 100000, '01', "
                     "'0001', 'چک' FROM #N "
                     "INSERT INTO N_NaghdTrans (Serial, Raj, WhatDoc, SanadNo, SanadDate, "
                     "ChqValue, Koll, Moein, Tafsily, WhatDoc2, Des) SELECT " +
                     doc + ", 2, '71', CAST(" + doc +
                     " AS varchar(20)), '1402/05/10', CASE WHEN n % 3 = 0 THEN (n % 90 + 1) * "
                     "60000 ELSE (n % 90 + 1) * 100000 END, '1003', '0001', RIGHT('0000000' + "
                     "CAST(n % 15 + 1 AS varchar(8)), 8), '01', 'بابت' FROM #N "
                     "INSERT INTO N_NaghdTrans (Serial, Raj, WhatDoc, SanadNo, SanadDate, "
                     "ChqValue, Koll, Moein, Tafsily, WhatDoc2, Des) SELECT " +
                     doc + ", 3, '71', CAST(" + doc +
                     " AS varchar(20)), '1402/05/10', (n % 90 + 1) * 40000, '1003', '0001', "
                     "RIGHT('0000000' + CAST((n + 7) % 15 + 1 AS varchar(8)), 8), '01', 'بابت' "
                     "FROM #N WHERE n % 3 = 0 "
                     "INSERT INTO N_ArzTrans (Serial, Raj, WhatDoc, ArzCod, ArzCount, Nerkh) "
                     "SELECT " +
                     doc +
                     ", R.Raj, '71', 'USD', (n % 90 + 1) * 100000 / 520000.0, 520000 FROM "
                     "#N, (SELECT 1 AS Raj UNION ALL SELECT 2) R WHERE n % 4 = 1 AND n % 3 <> 0 "
                     "INSERT INTO N_ChqLastTrans (WhatDoc, ChqNo, Joz, SanadDate, Serial) SELECT "
                     "'71', CAST(8000000 + n AS varchar(20)), 'T' + CAST(n % 5 AS varchar(2)), "
                     "'1402/05/10', " +
                     doc + " FROM #N DROP TABLE #N");
    Open(dir);
    EXPECT_TRUE(items_->ListCheques(ItemKind::kReceived));
    EXPECT_TRUE(items_->RegisterCheques(ItemKind::kReceived));
    // Per added cheque: its opening row, its document's counterparty lines and currency lines,
    // without the serials the numbering gives.
    std::map<std::string, std::string> state;
    auto add = [&](const std::string& sql) {
      auto sets = conn_->Execute("USE " + std::string(kDest) + " " + sql);
      for (const auto& row : sets.back().rows) {
        auto cell = [](const db::Value& v) {
          return engine::IsNull(v) ? std::string("-") : engine::FormatValue(v);
        };
        std::string& s = state[cell(row[0])];
        for (size_t i = 1; i < row.size(); ++i) s += cell(row[i]) + "|";
        s += ";";
      }
    };
    const std::string mine = "F.ChqNo >= '8000000' AND F.ChqNo < '9000000'";
    add("SELECT F.ChqNo, F.Joz, F.ChqValue, F.Koll, F.Tafsily, F.Taraf, F.SarResidDate FROM "
        "N_CHQFirst F WHERE " +
        mine + " ORDER BY F.ChqNo");
    add("SELECT F.ChqNo, N.Raj, N.Koll, N.Tafsily, N.ChqValue FROM N_CHQFirst F JOIN N_NaghdTrans "
        "N ON N.Serial = F.Serial AND N.Raj > 1 WHERE " +
        mine + " ORDER BY F.ChqNo, N.Raj");
    add("SELECT F.ChqNo, A.Raj, A.ArzCod, A.ArzCount, A.Nerkh FROM N_CHQFirst F JOIN N_ArzTrans "
        "A ON A.Serial = F.Serial WHERE " +
        mine + " ORDER BY F.ChqNo, A.Raj");
    return state;
  };
  const auto few = run(50), many = run(500);
  ASSERT_EQ(few.size(), 50u);
  ASSERT_EQ(many.size(), 500u);
  int split = 0, foreign = 0;
  for (const auto& [chqNo, s] : few) {
    ASSERT_TRUE(many.count(chqNo)) << chqNo;
    EXPECT_EQ(many.at(chqNo), s) << chqNo;
    split += s.find(";3|1003|") != std::string::npos;
    foreign += s.find("USD") != std::string::npos;
  }
  EXPECT_GT(split, 10);
  EXPECT_GT(foreign, 5);
  // Every added cheque, the last ones too, carries all its lines.
  for (const auto& [chqNo, s] : many) EXPECT_GE(std::count(s.begin(), s.end(), ';'), 2) << chqNo;
}

// The authorisers page merges as the other pages do while the period's procedure leaves a
// conflict table; a period whose procedure leaves none gets the source's table whole.
TEST_F(TreasuryTest, AuthorisersAreReplacedWholeWhenNoConflictTableIsLeft) {
  struct Case {
    const char* name;
    bool procedureLeavesNone;
    std::vector<std::string> expected;  // PMojavezCod|PMojavezNam, in code order
    long long replaced;
  };
  const Case cases[] = {
      {"merged", false, {"01|احمدي", "02|قديمي", "09|فقط مقصد"}, 0},
      {"whole", true, {"01|احمدي", "02|رضايي"}, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string dir = CopyServer(c.name);
    Reopen(dir);
    Run(kSource,
        "DELETE FROM N_Mojavez INSERT INTO N_Mojavez VALUES ('01', 'احمدي') "
        "INSERT INTO N_Mojavez VALUES ('02', 'رضايي')");
    Run(kDest,
        "DELETE FROM N_Mojavez INSERT INTO N_Mojavez VALUES ('02', 'قديمي') "
        "INSERT INTO N_Mojavez VALUES ('09', 'فقط مقصد')");
    conn_->Execute("USE " + std::string(kDest));
    if (c.procedureLeavesNone)
      conn_->Execute(
          "ALTER PROCEDURE sp_Sayer_XferHesab @Phase varchar(20), @Mode varchar(20), @TmpTable "
          "varchar(200), @SourceDb varchar(200), @Table varchar(200), @Columns varchar(4000), "
          "@KeyExpr varchar(1000) AS IF OBJECT_ID('tempdb..' + @TmpTable) IS NOT NULL "
          "EXEC ('DROP TABLE ' + @TmpTable)");
    Open(dir);
    dialogs_.states.clear();
    const ModuleTable* t = FindModuleTable(NaghdForm(), "N_Mojavez");
    ASSERT_NE(t, nullptr);
    TableCopy copy = frame_->CopyFirst(*t);
    ASSERT_TRUE(copy.carried);
    frame_->Finish(copy, 0, copy.conflicts > 0);
    EXPECT_EQ(copy.conflicts, c.procedureLeavesNone ? 0 : 1);
    EXPECT_EQ(copy.unit.replaced, c.replaced);
    ASSERT_FALSE(dialogs_.states.empty());
    EXPECT_EQ(dialogs_.states.front(), "STOP| انتقال مجوز عوامل پرداخت |لطفا صبر کنيد");
    auto sets = conn_->Execute("USE " + std::string(kDest) +
                               " SELECT PMojavezCod, PMojavezNam FROM N_Mojavez ORDER BY 1");
    std::vector<std::string> rows;
    for (const auto& row : sets.back().rows)
      rows.push_back(engine::FormatValue(row[0]) + "|" + engine::FormatValue(row[1]));
    EXPECT_EQ(rows, c.expected);
  }
}

}  // namespace
}  // namespace xfer::transfer::testing
