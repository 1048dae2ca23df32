// Demo accounting vouchers of one period: through the year, numbered in date order and stored
// right-aligned as the suite stores numbers, issued by every program that writes vouchers
// (accounting, inventory, sales, treasury with its cheques, fixed assets), with detail,
// second-detail and project codes, notes, and descriptions with apostrophes. Most vouchers use
// accounts every period of the company has; some use accounts only this period has, the case an
// import meets. A first period of a pair ends with its year-end vouchers.
#include <algorithm>
#include <iterator>
#include <vector>

#include "suite/code_widths.h"
#include "suite/demo_gen.h"
#include "suite/demo_words.h"

namespace xfer::suite::demo {
namespace {

// One program's vouchers: issuing code, document kind, description head, line count range.
struct VoucherKind {
  const char* typeSys;
  const char* whatDoc;
  const char* des;
  int minLines;
  int maxLines;
  bool cheque;  // names a cheque (number in AtfCh, due date in AtfDate)
};

constexpr VoucherKind kKinds[] = {
    {"M", "1", "سند حسابداري بابت ", 2, 6, false},
    {"M", "1", "پرداخت به 'شرکت نوين' بابت ", 2, 4, false},
    {"S", "1", "رسيد انبار شماره ", 2, 4, false},
    {"R", "1", "فروش طبق فاکتور شماره ", 2, 5, false},
    {"N", "71", "دريافت چک شماره ", 2, 3, true},
    {"N", "81", "پرداخت چک شماره ", 2, 3, true},
    {"M", "1", "تسويه حساب آقاي O'Neil بابت ", 2, 3, false},
    {"D", "1", "استهلاک دارايي هاي ثابت ماه ", 2, 4, false},
};

struct Line {
  std::string koll, moein, tafsily, tafsily2, project;
  double bed = 0, bes = 0;
};

}  // namespace

void FillVouchers(const Period& p, int kolls) {
  Rng rng = p.YearStream("Asnad");
  RowWriter w(p.run, "Asnad",
              "TypeSys, WhatDoc, DocToDate, Document, SanadNo, LastNo, FirstNo, SanadDate, Koll, "
              "Moein, Tafsily, Tafsily2, ProjectCod, Des, Bed, Bes, AtfCh, AtfNum, AtfDate, "
              "SherCode, SalMale, User_Name, LClose, NoBat, Raj");
  RowWriter notes(p.run, "Asnad_Info", "SanadNo, sDes");
  const int width = CodeWidths{}.sanadNo;
  auto number = [&](int n) {
    std::string digits = std::to_string(n);
    return std::string(static_cast<size_t>(width) - digits.size(), ' ') + digits;
  };
  // Accounts of every period of the company (the first fifth of the chart, subsidiary 0001 of
  // each), or, in a first period, of that period only.
  const int moeins = p.Count(15, 500000);
  const int shared = std::min(kolls, moeins) / 5 + 1;
  const int ownKolls = std::min(kolls, moeins);
  auto account = [&](bool own) {
    Line l;
    own = own && p.role == Role::Full && ownKolls > shared;
    int koll =
        static_cast<int>(own ? rng.Between(shared, ownKolls - 1) : rng.Between(0, shared - 1));
    l.koll = Code(1000 + koll, 4);
    l.moein = Code(1, 4);
    if (rng.Chance(50)) l.tafsily = Code(own ? rng.Between(6, 18) : rng.Between(1, 4), 8);
    if (rng.Chance(20)) l.tafsily2 = Code(1, 6);
    if (rng.Chance(15)) l.project = Code(1, 6);
    return l;
  };
  const std::string users[] = {"مدير", "حسابدار"};

  const int vouchers = p.Count(40, 1000000);
  int no = 0;
  auto write = [&](const VoucherKind& k, const std::string& date, const std::string& des,
                   const std::string& document, const std::vector<Line>& lines,
                   const std::string& cheque, const std::string& due) {
    std::string sanadNo = number(++no);
    std::string user(users[no % 2]);
    int raj = 0;
    for (const Line& l : lines)
      w.Add({Lit(k.typeSys), Lit(k.whatDoc), Lit(k.cheque && k.whatDoc[0] == '8' ? "A" : ""),
             Lit(document),  Lit(sanadNo),   Lit(""),
             Lit(""),        Lit(date),      Lit(l.koll),
             Lit(l.moein),   Lit(l.tafsily), Lit(l.tafsily2),
             Lit(l.project), Lit(des),       Lit(l.bed),
             Lit(l.bes),     Lit(cheque),    Lit(0.0),
             Lit(due),       Lit(p.code),    Lit(p.year),
             Lit(user),      Lit(""),        Lit(1),
             Lit(++raj)});
  };
  for (int v = 0; v < vouchers; ++v) {
    // Through the year in order: the numbers follow the dates.
    int month = 1 + v * 12 / vouchers;
    int first = ((month - 1) * vouchers + 11) / 12, last = (month * vouchers + 11) / 12;
    int days = month <= 6 ? 31 : 29;
    int day = std::min(days, 1 + (v - first) * days / std::max(1, last - first));
    std::string date = p.year + "/" + Code(month, 2) + "/" + Code(day, 2);

    const VoucherKind& k = kKinds[static_cast<size_t>(rng.Between(0, std::size(kKinds) - 1))];
    bool own = rng.Chance(20);
    int count = static_cast<int>(rng.Between(k.minLines, k.maxLines));
    std::vector<Line> lines;
    double total = 0;
    for (int i = 0; i + 1 < count; ++i) {
      Line l = account(own && i == 0);
      l.bed = static_cast<double>(rng.Between(10, 5000) * 1000);
      total += l.bed;
      lines.push_back(l);
    }
    Line credit = account(false);
    credit.bes = total;
    lines.push_back(credit);

    std::string document = k.typeSys[0] == 'M' ? "" : std::to_string(100 + v);
    std::string cheque = k.cheque ? std::to_string(rng.Between(100000, 999999)) : "";
    std::string due = k.cheque ? p.year + "/" + Code(std::min(12, month + 1), 2) + "/15" : "";
    std::string des = k.des;
    if (k.cheque)
      des += cheque;
    else if (k.typeSys[0] == 'D')
      des += Code(month, 2);
    else if (k.typeSys[0] == 'M')
      des += std::string(words::GeneralAccounts()[rng.Between(0, 19)]);
    else
      des += document;
    write(k, date, des, document, lines, cheque, due);
    if (rng.Chance(10))
      notes.Add(
          {Lit(number(no)), Lit("يادداشت سند " + std::to_string(no) + ": تاييد 'مدير مالي'")});
  }
  if (p.role == Role::Full) {
    // Year-end: the temporary accounts are closed into the result, then every account.
    const VoucherKind temporary{"M", "2", "", 2, 2, false}, closing{"M", "10", "", 2, 2, false};
    std::string date = p.year + "/12/29";
    Line a = account(false), b = account(false);
    a.bed = b.bes = 1250000;
    write(temporary, date, "بستن حسابهاي موقت", "", {a, b}, "", "");
    Line c = account(false), d = account(false);
    c.bes = d.bed = 980000;
    write(closing, date, "سند اختتاميه", "", {c, d}, "", "");
  }
  w.Flush();
  notes.Flush();
}

}  // namespace xfer::suite::demo
