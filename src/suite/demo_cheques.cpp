// Demo cheques and promissory notes. Every period names the treasury actions; the earlier
// period of each company (the one whose open items a year-end transfer carries) also holds
// received and paid cheques and notes that end the year in every state: still open, cashed,
// bounced, returned, transferred, partly cashed, cashed on the year's last day and cashed only
// after it, some of them in a foreign currency, some entered as opening items, and documents
// whose counterparties split so that only the user can say which cheque goes where.
#include <algorithm>
#include <stdexcept>
#include <utility>

#include "suite/demo_gen.h"

namespace xfer::suite::demo {
namespace {

struct Action {
  const char* code;
  const char* name;
};

const Action kActions[] = {
    {"71", "دريافت چک"},
    {"72", "چک دريافتي اول دوره"},
    {"73", "ارسال چک به وصول"},
    {"74", "وصول چک"},
    {"75", "برگشت چک از بانک"},
    {"76", "استرداد چک"},
    {"77", "انتقال چک به غير"},
    {"78", "وصول بخشي از چک"},
    {"81", "پرداخت چک"},
    {"82", "نقد شدن چک پرداختي"},
    {"83", "ابطال چک"},
    {"84", "برگشت چک پرداختي"},
    {"85", "چک پرداختي اول دوره"},
    {"87", "برگ چک باطل شده"},
    {"88", "تمديد سررسيد چک"},
    {"A1", "دريافت سفته"},
    {"A2", "سفته دريافتي اول دوره"},
    {"A3", "ارسال سفته به وصول"},
    {"A4", "وصول سفته"},
    {"A5", "واخواست سفته"},
    {"A6", "استرداد سفته"},
    {"A7", "انتقال سفته به غير"},
    {"A8", "وصول بخشي از سفته"},
    {"B1", "پرداخت سفته"},
    {"B2", "سفته پرداختي اول دوره"},
    {"B3", "تسويه سفته پرداختي"},
    {"B4", "استرداد سفته پرداختي"},
    {"B8", "تسويه بخشي از سفته"},
};

// What happens to an item after it entered: the action, on which day, and the share of the
// value it moves (partial cashings).
struct Fate {
  const char* code;  // nullptr: nothing happens, the item stays as entered
  int when;          // 0 within the year, 1 the year's last day, 2 after the year
  double share;
};

const Fate kReceivedCheque[] = {{nullptr, 0, 0}, {"74", 0, 1}, {"75", 0, 1},
                                {"76", 0, 1},    {"77", 0, 1}, {"78", 0, 0.4},
                                {"73", 0, 1},    {"74", 1, 1}, {"74", 2, 1}};
const Fate kPaidCheque[] = {{nullptr, 0, 0}, {"82", 0, 1}, {"83", 0, 1}, {"87", 0, 1},
                            {"84", 0, 1},    {"88", 0, 1}, {"82", 1, 1}, {"82", 2, 1}};
const Fate kReceivedNote[] = {{nullptr, 0, 0}, {"A4", 0, 1}, {"A5", 0, 1},
                              {"A6", 0, 1},    {"A7", 0, 1}, {"A8", 0, 0.25},
                              {"A3", 0, 1},    {"A4", 1, 1}, {"A4", 2, 1}};
const Fate kPaidNote[] = {
    {nullptr, 0, 0}, {"B3", 0, 1}, {"B4", 0, 1}, {"B8", 0, 0.5}, {"B3", 1, 1}};

constexpr double kRate = 520000;  // rials per dollar in the demo year

// A treasury document line names only the columns it fills; the others hold empty text.
class LineWriter {
 public:
  LineWriter(const DemoRunner& run, const char* table, const std::string& columns)
      : writer_(run, table, columns) {
    std::string name;
    for (char c : columns + ",") {
      if (c != ',') {
        if (c != ' ') name += c;
        continue;
      }
      names_.push_back(name);
      name.clear();
    }
  }
  using Given = std::vector<std::pair<std::string_view, std::string>>;
  void Add(const Given& given) { Add({}, given); }
  // A line of an item: what all the item's lines share, then this line's own columns.
  void Add(const Given& shared, const Given& own) {
    std::vector<std::string> row(names_.size(), Lit(""));
    for (const Given* part : {&shared, &own})
      for (const auto& [name, value] : *part) {
        auto at = std::find(names_.begin(), names_.end(), name);
        if (at == names_.end()) throw std::logic_error("no column " + std::string(name));
        row[static_cast<size_t>(at - names_.begin())] = value;
      }
    writer_.Add(row);
  }
  void Flush() { writer_.Flush(); }

 private:
  RowWriter writer_;
  std::vector<std::string> names_;
};

std::string FateDate(const Period& p, const Fate& f, Rng& rng, const std::string& entered) {
  if (f.when == 1) return p.year + "/12/29";
  if (f.when == 2) return std::to_string(std::stoi(p.year) + 1) + "/01/10";
  // Within the year, after the entry.
  std::string d = p.year + "/12/" + Code(rng.Between(1, 28), 2);
  return d > entered ? d : entered;
}

std::string EntryDate(const Period& p, Rng& rng, bool opening) {
  if (opening) return p.year + "/01/01";
  return p.year + "/" + Code(rng.Between(1, 11), 2) + "/" + Code(rng.Between(1, 28), 2);
}

// The counterparty accounts of the demo: persons under receivables and payables.
std::string Person(Rng& rng) {
  return Code(rng.Between(1, 15), 8);
}

// Received notes are kept at a bank account, paid ones come from a cash box.
void FillNotes(const Period& p, int docs, int accounts) {
  LineWriter lines(p.run, "N_SoftehTrans",
                   "Serial, Raj, WhatDoc, CodWhatDoc, SanadNo, SanadDate, AcountID, CashCod, "
                   "SoftehNo, Joz, SodorDate, SarResidDate, SaftehValue, TahodValue, Getter, "
                   "EghamatPlace, Address, Koll, Moein, Tafsily, Tafsily2, ProjectCod, WhatDoc2, "
                   "CodWhatDoc2, ManabehCod, Des, Havaleh, Tazmin");
  RowWriter last(p.run, "N_SoftehLastTrans",
                 "SoftehNo, Joz, WhatDoc, Serial, LastWhatDoc, LastDate");
  const int boxes = p.Count(3, 100);
  int serial = 0, note = 0;
  for (int kind = 0; kind < 2; ++kind) {
    const bool received = kind == 0;
    const std::string k = received ? "A" : "B";
    Rng rng = p.YearStream(received ? "received notes" : "paid notes");
    for (int i = 0; i < docs; ++i) {
      const int doc = ++serial;
      const bool opening = i % 7 == 6;
      const std::string entry = k + (opening ? "2" : "1");
      const std::string date = EntryDate(p, rng, opening);
      const int notes = i % 3 == 2 ? 2 : 1;
      const int counterparties = i % 4 == 3 ? 2 : 1;
      const std::string account = received ? Lit(static_cast<int>(i % accounts) + 1) : "NULL";
      const std::string box = received ? "NULL" : Lit(Code(i % boxes + 1, 4));
      int raj = 0;
      double total = 0;
      for (int n = 0; n < notes; ++n, ++note) {
        const double value = static_cast<double>(rng.Between(1, 400) * 250000);
        total += value;
        const std::string number = Code(300000 + note, 7);
        const std::string joz = k + "-" + Code(note % 5, 2);
        const std::string due = p.year + "/" + Code(rng.Between(1, 12), 2) + "/20";
        ++raj;
        const LineWriter::Given shared = {{"AcountID", account},     {"CashCod", box},
                                          {"SoftehNo", Lit(number)}, {"Joz", Lit(joz)},
                                          {"SodorDate", Lit(date)},  {"SarResidDate", Lit(due)}};
        lines.Add(shared, {{"Serial", Lit(doc)},
                           {"Raj", Lit(raj)},
                           {"WhatDoc", Lit(entry)},
                           {"SanadNo", Lit(std::to_string(doc))},
                           {"SanadDate", Lit(date)},
                           {"SaftehValue", Lit(value)},
                           {"TahodValue", Lit(value)},
                           {"Getter", Lit(received ? "متعهد سفته" : "شرکت")},
                           {"EghamatPlace", Lit("تهران")},
                           {"Des", Lit(received ? "سفته دريافتي" : "سفته پرداختي")}});
        const Fate& f = received ? kReceivedNote[note % 9] : kPaidNote[note % 5];
        std::string lastCode = entry, lastDate = date;
        if (f.code) {
          ++serial;
          lastCode = f.code;
          lastDate = FateDate(p, f, rng, date);
          lines.Add(shared, {{"Serial", Lit(serial)},
                             {"Raj", Lit(1)},
                             {"WhatDoc", Lit(f.code)},
                             {"SanadNo", Lit(std::to_string(serial))},
                             {"SanadDate", Lit(lastDate)},
                             {"SaftehValue", Lit(value * f.share)},
                             {"Des", Lit("عمليات سفته")}});
        }
        last.Add({Lit(number), Lit(joz), Lit(k + "1"), Lit(doc), Lit(lastCode), Lit(lastDate)});
      }
      const double first = counterparties == 1 ? total : total * 0.75;
      const double parts[] = {first, total - first};
      for (int c = 0; c < counterparties; ++c) {
        ++raj;
        lines.Add({{"Serial", Lit(doc)},
                   {"Raj", Lit(raj)},
                   {"WhatDoc", Lit(entry)},
                   {"SanadNo", Lit(std::to_string(doc))},
                   {"SanadDate", Lit(date)},
                   {"AcountID", "NULL"},
                   {"CashCod", "NULL"},
                   {"SaftehValue", Lit(parts[c])},
                   {"Koll", Lit(received ? "1003" : "1004")},
                   {"Moein", Lit("0001")},
                   {"Tafsily", Lit(Person(rng))},
                   {"WhatDoc2", Lit("01")},
                   {"ManabehCod", Lit(Code(received ? 2 : 4, 5))},
                   {"Des", Lit(received ? "بابت فروش" : "بابت خريد")}});
      }
    }
  }
  lines.Flush();
  last.Flush();
}

}  // namespace

void FillCheques(const Period& p) {
  {
    RowWriter w(p.run, "N_AsnadNaghd", "WhatDoc, NDocNam, Status, Status2");
    for (const Action& a : kActions) w.Add({Lit(a.code), Lit(a.name), Lit(1), Lit(0)});
    w.Flush();
  }
  if (p.role != Role::Full) return;
  const int docs = p.Count(12, 20000);
  const int accounts = p.Count(6, 300);

  LineWriter lines(p.run, "N_NaghdTrans",
                   "Serial, Raj, WhatDoc, SanadNo, SanadDate, AcountID, ChqNo, Joz, SarResidDate, "
                   "ChqValue, BankCod, ShobehCod, Koll, Moein, Tafsily, Tafsily2, ProjectCod, "
                   "WhatDoc2, CodWhatDoc2, ManabehCod, Des, des5, Havaleh, Tazmin, ChqGetter");
  RowWriter arz(p.run, "N_ArzTrans", "Serial, Raj, WhatDoc, ArzCod, ArzCount, Nerkh");
  RowWriter last(p.run, "N_ChqLastTrans", "WhatDoc, AcountId, ChqNo, Joz, SanadDate, Serial");
  int serial = 0, cheque = 0;
  for (int kind = 0; kind < 2; ++kind) {
    const bool received = kind == 0;
    Rng rng = p.YearStream(received ? "received cheques" : "paid cheques");
    for (int i = 0; i < docs; ++i) {
      const int doc = ++serial;
      const bool opening = i % 7 == 6;
      const std::string entry = received ? (opening ? "72" : "71") : (opening ? "85" : "81");
      const std::string date = EntryDate(p, rng, opening);
      const bool foreign = i % 5 == 4;
      const int cheques = i % 3 == 2 ? 2 : 1;
      const int counterparties = i % 4 == 3 ? 2 : 1;
      const int account = static_cast<int>(i % accounts) + 1;
      std::string sanadNo = std::to_string(doc);
      int raj = 0;
      double total = 0;
      for (int c = 0; c < cheques; ++c, ++cheque) {
        const long long units = rng.Between(1, 90) * 10;
        const double value = foreign ? static_cast<double>(units) * kRate
                                     : static_cast<double>(rng.Between(1, 900) * 100000);
        total += value;
        // Paid cheques are leaves of the account's cheque book.
        const int leaf = i / accounts * 2 + c;
        std::string number = received ? std::to_string(5000000 + cheque)
                                      : std::to_string(100000 + (account - 1) * 50 + leaf % 50);
        std::string joz = received ? "ب" + Code(cheque % 97, 2) : "A" + Code(leaf / 50, 2);
        std::string due = p.year + "/" + Code(rng.Between(1, 12), 2) + "/15";
        ++raj;
        const LineWriter::Given shared = {
            {"ChqNo", Lit(number)}, {"Joz", Lit(joz)}, {"SarResidDate", Lit(due)}};
        lines.Add(shared, {{"Serial", Lit(doc)},
                           {"Raj", Lit(raj)},
                           {"WhatDoc", Lit(entry)},
                           {"SanadNo", Lit(sanadNo)},
                           {"SanadDate", Lit(date)},
                           {"AcountID", received ? std::string(kNull) : Lit(account)},
                           {"ChqValue", Lit(value)},
                           {"BankCod", Lit(Code(cheque % 8 + 1, 2))},
                           {"ShobehCod", Lit(Code(cheque % 6 + 1, 4))},
                           {"Des", Lit(received ? "چک دريافتي" : "چک پرداختي")},
                           {"Havaleh", Lit(cheque % 11 == 5 ? "ض" : "")},
                           {"Tazmin", Lit(cheque % 13 == 7 ? "ض" : "")},
                           {"ChqGetter", Lit(received ? "" : "تامين کننده")}});
        if (foreign)
          arz.Add({Lit(doc), Lit(raj), Lit(entry), Lit("USD"), Lit(static_cast<double>(units)),
                   Lit(kRate)});
        const Fate& f = received ? kReceivedCheque[cheque % 9] : kPaidCheque[cheque % 8];
        std::string lastCode = entry, lastDate = date;
        int lastSerial = doc;
        if (f.code) {
          ++serial;
          lastCode = f.code;
          lastDate = FateDate(p, f, rng, date);
          lastSerial = serial;
          lines.Add(shared, {{"Serial", Lit(serial)},
                             {"Raj", Lit(1)},
                             {"WhatDoc", Lit(f.code)},
                             {"SanadNo", Lit(std::to_string(serial))},
                             {"SanadDate", Lit(lastDate)},
                             {"AcountID", Lit(account)},
                             {"ChqValue", Lit(value * f.share)},
                             {"Des", Lit("عمليات چک")}});
        }
        last.Add({Lit(lastCode), received ? std::string(kNull) : Lit(account), Lit(number),
                  Lit(joz), Lit(lastDate), Lit(lastSerial)});
      }
      // The counterparty side: one line, or two that split the total.
      const std::string koll = received ? "1003" : "1004";
      const double first = counterparties == 1 ? total : total * 0.6;
      const double parts[] = {first, total - first};
      for (int c = 0; c < counterparties; ++c) {
        ++raj;
        lines.Add({{"Serial", Lit(doc)},
                   {"Raj", Lit(raj)},
                   {"WhatDoc", Lit(entry)},
                   {"SanadNo", Lit(sanadNo)},
                   {"SanadDate", Lit(date)},
                   {"AcountID", std::string(kNull)},
                   {"ChqValue", Lit(parts[c])},
                   {"Koll", Lit(koll)},
                   {"Moein", Lit("0001")},
                   {"Tafsily", Lit(Person(rng))},
                   {"WhatDoc2", Lit("01")},
                   {"ManabehCod", Lit(Code(received ? 2 : 4, 6))},
                   {"Des", Lit(received ? "بابت فروش" : "بابت خريد")}});
        if (foreign)
          arz.Add({Lit(doc), Lit(raj), Lit(entry), Lit("USD"), Lit(parts[c] / kRate), Lit(kRate)});
      }
    }
  }
  lines.Flush();
  arz.Flush();
  last.Flush();
  FillNotes(p, docs, accounts);
}

}  // namespace xfer::suite::demo
