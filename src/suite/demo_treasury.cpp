// Demo treasury masters and documents. Bank accounts, cash boxes and petty-cash holders come in
// three kinds by index (debit, credit and zero closing balance) so opening-balance transfers meet
// every case.
#include "suite/demo_gen.h"
#include "suite/demo_words.h"

namespace xfer::suite::demo {
namespace {

// Opening debit, opening credit and the year's debit and credit giving the kind's balance.
struct Turnover {
  double firstBed, firstBes, bed, bes;
};
Turnover ForKind(int i, Rng& rng) {
  double a = static_cast<double>(rng.Between(1, 900) * 10000);
  double b = static_cast<double>(rng.Between(1, 900) * 10000);
  switch (i % 3) {
    case 0:
      return {a, 0, b, b / 2};  // debit balance a + b / 2
    case 1:
      return {0, a, b / 2, b};  // credit balance a + b / 2
    default:
      return {a, 0, b, a + b};  // zero balance
  }
}

}  // namespace

void FillTreasury(const Period& p) {
  auto banks = words::Banks();
  {
    RowWriter w(p.run, "N_Bank", "BankCod, BankNam");
    for (int i = 0; i < static_cast<int>(banks.size()); ++i)
      w.Add({Lit(Code(i + 1, 2)), Lit(p.Name("بانک " + std::string(banks[i]), i))});
    p.Done(w);
  }
  const int branches = p.Count(1, 90000) + 6;
  {
    Rng rng = p.Stream("N_SHOAB");
    RowWriter w(p.run, "N_SHOAB", "BankCod, ShobehCod, ShobehNam, Address, TelNo, FaxNo");
    for (int i = 0; i < branches + p.Extra(branches); ++i) {
      std::string city(rng.Pick(words::Cities()));
      if (!p.Has(i, branches)) continue;
      w.Add({Lit(Code(i % 8 + 1, 2)), Lit(Code(i + 1, 4)), Lit(p.Name("شعبه " + city, i)),
             Lit(city + " " + std::string(words::Streets()[static_cast<size_t>(i) % 8])),
             Lit("021" + Code(i, 6)), Lit("")});
    }
    p.Done(w);
  }
  Rng docs = p.YearStream("N_Asnad");
  RowWriter head(p.run, "N_Asnad", "SanadNo, SanadDate, TypeSanad, Des, User_Name");
  RowWriter line(p.run, "N_AsnadDetail",
                 "SanadNo, Raj, TypeHesab, BankCod, ShobehCod, AcountCod, CashCod, PersonCod, Bed, "
                 "Bes, Des");
  int sanad = 0;
  auto post = [&](const std::string& kind, const std::vector<std::string>& key, double bed,
                  double bes) {
    ++sanad;
    head.Add({Lit(sanad), Lit(p.Date(docs)), Lit("1"), Lit("سند دريافت و پرداخت"), Lit("مدير")});
    std::vector<std::string> row = {Lit(sanad), Lit(1), Lit(kind)};
    row.insert(row.end(), key.begin(), key.end());
    row.push_back(Lit(bed));
    row.push_back(Lit(bes));
    row.push_back(Lit(bed > 0 ? "واريز" : "برداشت"));
    line.Add(row);
  };
  {
    Rng rng = p.Stream("N_BankHesab");
    RowWriter w(p.run, "N_BankHesab",
                "BankCod, ShobehCod, AcountCod, JKoll, JMoein, JTafsily, JTafsily2, JProjectCod, "
                "FirstBed, FirstBes, ArzCod, ACOUNTID");
    // A company keeps tens of accounts, not thousands, however large its books grow.
    const int n = p.Count(6, 300);
    for (int i = 0; i < n + p.Extra(n); ++i) {
      Turnover t = ForKind(i, rng);
      std::string account = Code(rng.Between(1000000, 9999999), 7) + Code(i, 4);
      if (!p.Has(i, n)) continue;
      int branch = i % branches;
      std::string bank = Code(branch % 8 + 1, 2), shobeh = Code(branch + 1, 4);
      w.Add({Lit(bank), Lit(shobeh), Lit(account), Lit(Code(1000, 4)), Lit(Code(1, 4)),
             Lit(Code(i + 1, 8)), Lit(""), Lit(""), Lit(t.firstBed), Lit(t.firstBes), Lit("IRR"),
             Lit(i + 1)});
      post("B", {Lit(bank), Lit(shobeh), Lit(account), "NULL", "NULL"}, t.bed, 0);
      post("B", {Lit(bank), Lit(shobeh), Lit(account), "NULL", "NULL"}, 0, t.bes);
    }
    p.Done(w);
  }
  {
    Rng rng = p.Stream("N_Cash");
    RowWriter w(p.run, "N_Cash",
                "CashCod, CashNam, PersonCod, FirstBed, FirstBes, Koll, Moein, Tafsily, Tafsily2, "
                "ProjectCod");
    const int n = p.Count(3, 100);
    for (int i = 0; i < n + p.Extra(n); ++i) {
      Turnover t = ForKind(i, rng);
      std::string city(rng.Pick(words::Cities()));
      if (!p.Has(i, n)) continue;
      std::string code = Code(i + 1, 4);
      w.Add({Lit(code), Lit(p.Name("صندوق " + city, i)), Lit(Code(i + 1, 6)), Lit(t.firstBed),
             Lit(t.firstBes), Lit(Code(1000, 4)), Lit(Code(2, 4)), Lit(""), Lit(""), Lit("")});
      post("C", {"NULL", "NULL", "NULL", Lit(code), "NULL"}, t.bed, 0);
      post("C", {"NULL", "NULL", "NULL", Lit(code), "NULL"}, 0, t.bes);
    }
    p.Done(w);
  }
  {
    Rng rng = p.Stream("N_Tankhah");
    RowWriter w(p.run, "N_Tankhah",
                "PersonCod, FirstBed, FirstBes, Koll, Moein, Tafsily, Tafsily2, ProjectCod");
    const int n = p.Count(3, 100);
    for (int i = 0; i < n + p.Extra(n); ++i) {
      Turnover t = ForKind(i, rng);
      if (!p.Has(i, n)) continue;
      std::string code = Code(i + 1, 6);
      w.Add({Lit(code), Lit(t.firstBed), Lit(t.firstBes), Lit(Code(1000, 4)), Lit(Code(3, 4)),
             Lit(""), Lit(""), Lit("")});
      post("T", {"NULL", "NULL", "NULL", "NULL", Lit(code)}, t.bed, 0);
      post("T", {"NULL", "NULL", "NULL", "NULL", Lit(code)}, 0, t.bes);
    }
    p.Done(w);
  }
  head.Flush();
  line.Flush();
  {
    RowWriter w(
        p.run, "N_Cheque",
        "ACOUNTID, FIRSTNUM, LASTNUM, ChqJoz2, [GETDATE], PERSONCOD, FORMCODE, CHEQUEID, JOZ");
    const int n = p.Count(6, 90000);
    for (int i = 0; i < n + p.Extra(n); ++i) {
      if (!p.Has(i, n)) continue;
      w.Add({Lit(i + 1), Lit(100000 + i * 50), Lit(100049 + i * 50), Lit(Code(i, 4)),
             Lit(p.year + "/01/10"), Lit(Code(1, 6)), Lit(1), Lit(i + 1), Lit("A")});
    }
    p.Done(w);
  }
  auto simple = [&](const char* table, const char* columns,
                    std::initializer_list<const char*> names, int width) {
    RowWriter w(p.run, table, columns);
    int i = 0;
    for (const char* name : names) {
      w.Add({Lit(Code(i + 1, width)), Lit(p.Name(name, i))});
      ++i;
    }
    p.Done(w);
  };
  simple("N_ChqType", "ChqTypeCod, ChqTypeNam", {"عادي", "تضميني", "بين بانکي", "رمزدار"}, 2);
  simple("N_AccountType", "AccTypeCode, AccTypeName", {"جاري", "سپرده کوتاه مدت", "قرض الحسنه"}, 2);
  simple("N_ManabehG", "ManabehGCod, ManabehNam", {"منابع", "مصارف", "انتقالات"}, 2);
  simple("N_ManabehZG", "ManabehZGCod, ManabehNam",
         {"منابع عملياتي", "منابع مالي", "مصارف عملياتي", "مصارف سرمايه اي"}, 4);
  simple("N_Mojavez", "PMojavezCod, PMojavezNam", {"مدير عامل", "مدير مالي", "رئيس هيئت مديره"}, 3);
  {
    RowWriter w(p.run, "N_Arz", "ArzCod, ArzNam");
    const std::pair<const char*, const char*> arz[] = {
        {"IRR", "ريال"}, {"USD", "دلار"}, {"EUR", "يورو"}, {"AED", "درهم"}};
    int i = 0;
    for (const auto& [code, name] : arz) w.Add({Lit(code), Lit(p.Name(name, i++))});
    p.Done(w);
  }
  {
    RowWriter w(p.run, "N_BardashtBank",
                "BardashtCod, BardashtNam, Koll, Moein, Tafsily, Tafsily2");
    const char* names[] = {"کارمزد بانکي", "هزينه دسته چک", "حق عضويت", "ماليات بانکي"};
    for (int i = 0; i < 4; ++i)
      w.Add({Lit(Code(i + 1, 2)), Lit(p.Name(names[i], i)), Lit(Code(1018, 4)), Lit(Code(1, 4)),
             Lit(""), Lit("")});
    p.Done(w);
  }
  {
    RowWriter w(p.run, "N_Manabeh",
                "ManabehCod, ManabehNam, ManabehType, IsManabehIn, IsManabehOut, Koll, Moein, "
                "Tafsily, Tafsily2, ProjectCod");
    const char* names[] = {"فروش کالا",   "وصول مطالبات", "دريافت وام",    "خريد کالا",
                           "پرداخت حقوق", "پرداخت اجاره", "پرداخت ماليات", "خريد دارايي"};
    for (int i = 0; i < 8; ++i)
      w.Add({Lit(Code(i + 1, 6)), Lit(p.Name(names[i], i)), Lit(i < 3 ? "I" : "O"),
             Lit(i < 3 ? "T" : "F"), Lit(i < 3 ? "F" : "T"), Lit(Code(1000 + i, 4)),
             Lit(Code(1, 4)), Lit(""), Lit(""), Lit("")});
    p.Done(w);
  }
  {
    RowWriter w(p.run, "N_AsnadDaryaftani",
                "AKoll, AMoein, ATafsily, ATafsily2, AProjectCod, VKoll, VMoein, VTafsily, "
                "VTafsily2, VProjectCod");
    for (int i = 0; i < 3; ++i)
      w.Add({Lit(Code(1002, 4)), Lit(Code(i + 1, 4)), Lit(""), Lit(""), Lit(""), Lit(Code(1001, 4)),
             Lit(Code(i + 1, 4)), Lit(""), Lit(""), Lit("")});
    p.Done(w);
  }
}

}  // namespace xfer::suite::demo
