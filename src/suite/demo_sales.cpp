// Demo sales masters (customers and their groups, marketers, invoice factors, taxes, invoice
// types, distributors, instalments, floating headings, voucher settings); the year's documents
// are made by demo_sales_documents.cpp.
#include "suite/demo_gen.h"
#include "suite/demo_words.h"

namespace xfer::suite::demo {
namespace {

const char* kAcc = "Koll, Moein, Tafsily, Tafsily2, ProjectCod";
std::vector<std::string> Acc(int koll) {
  return {Lit(Code(1000 + koll, 4)), Lit(Code(1, 4)), Lit(""), Lit(""), Lit("")};
}
std::vector<std::string> Row(std::vector<std::string> head, const std::vector<std::string>& tail) {
  head.insert(head.end(), tail.begin(), tail.end());
  return head;
}

}  // namespace

void FillSales(const Period& p) {
  {
    RowWriter w(p.run, "R_Tax",
                std::string("TaxCod, TaxNam, TaxNerkh, ") + kAcc + ", Btype, ttype");
    const char* names[] = {"ماليات بر ارزش افزوده", "عوارض شهرداري", "عوارض آلايندگي"};
    const double rates[] = {9, 1, 0.5};
    for (int i = 0; i < 3; ++i) {
      std::vector<std::string> row =
          Row({Lit(Code(i + 1, 2)), Lit(p.Name(names[i], i)), Lit(rates[i])}, Acc(10));
      row.push_back(Lit("1"));
      row.push_back(Lit(i == 0 ? "T" : "A"));
      w.Add(row);
    }
    p.Done(w);
  }
  {
    RowWriter w(p.run, "R_TypeFactor",
                "TypeFactorCode, TypeFactorName, TypeFactorFrNo, TypeFactorToNo");
    const char* names[] = {"فروش عمده", "فروش خرده", "فروش صادراتي"};
    for (int i = 0; i < 3; ++i)
      w.Add({Lit(Code(i + 1, 2)), Lit(p.Name(names[i], i)), Lit(std::to_string(i * 100000 + 1)),
             Lit(std::to_string((i + 1) * 100000))});
    p.Done(w);
  }
  {
    RowWriter w(p.run, "R_FACTCATA",
                std::string("CatgagoryCod, CatgagoryNam, CatgagoryNerkh, CatgagorySign, "
                            "CatgagorySignBazaryab, CatgagoryAction, CatgagoryMetod, ") +
                    kAcc);
    const char* names[] = {"تخفيف نقدي", "هزينه حمل", "تخفيف حجمي", "بسته بندي", "بيمه"};
    for (int i = 0; i < 5; ++i)
      w.Add(Row({Lit(Code(i + 1, 3)), Lit(p.Name(names[i], i)), Lit(static_cast<double>(i)),
                 Lit(i % 2 ? "+" : "-"), Lit("+"), Lit("1"), Lit("1")},
                Acc(14)));
    p.Done(w);
  }
  const int bazaryabs = p.Count(3);
  {
    Rng rng = p.Stream("R_BAZARYAB");
    RowWriter w(
        p.run, "R_BAZARYAB",
        std::string("BazaryabCod, BazaryabNam, BazaryabNerkh, ") + kAcc + ", BazaryabMobile");
    for (int i = 0; i < bazaryabs + p.Extra(bazaryabs); ++i) {
      std::string name = PersonName(rng);
      if (!p.Has(i, bazaryabs)) continue;
      std::vector<std::string> row =
          Row({Lit(Code(i + 1, 6)), Lit(p.Name(name, i)), Lit(2.5)}, Acc(17));
      row.push_back(Lit("0935" + Code(i * 104729 % 9999999, 7)));
      w.Add(row);
    }
    p.Done(w);
  }
  {
    RowWriter w(p.run, "R_STATE", "StateCod, StateNam");
    auto provinces = words::Provinces();
    for (int i = 0; i < static_cast<int>(provinces.size()); ++i)
      w.Add({Lit(Code(i + 1, 2)), Lit(p.Name(provinces[i], i))});
    p.Done(w);
  }
  {
    RowWriter w(
        p.run, "R_CUSTOMERGROH",
        std::string("CustomerGrohCod, CustomerGrohNam, ") + kAcc + ", GrohJoz, TafsilyGrohCod");
    const char* names[] = {"مشتريان عمده", "مشتريان خرده", "فروشگاهها", "سازمانها", "صادرات"};
    for (int i = 0; i < 5; ++i) {
      std::vector<std::string> row = Row({Lit(Code(i + 1, 3)), Lit(p.Name(names[i], i))}, Acc(1));
      row.push_back(Lit(""));
      row.push_back(Lit(Code(1, 4)));
      w.Add(row);
    }
    p.Done(w);
  }
  {
    RowWriter j(p.run, "R_JOZCODECUSTOMER",
                "JozCod, JozCommand, JozCodLen, JozCommandLen, IsSerial, Zarib");
    j.Add({Lit(1), Lit(p.Name("منطقه", 0)), Lit(2), Lit(30), Lit("F"), Lit(1)});
    j.Add({Lit(2), Lit(p.Name("سريال مشتري", 1)), Lit(6), Lit(30), Lit("T"), Lit(1)});
    p.Done(j);
    RowWriter c(p.run, "R_JOZCOMMANDCUSTOMER", "CustomerJoz, CustomerJozCod, CustomerJozCommand");
    const char* areas[] = {"شمال", "جنوب", "شرق", "غرب", "مرکز", "حومه"};
    for (int i = 0; i < 6; ++i)
      c.Add({Lit("1_" + Code(i + 1, 2)), Lit(Code(i + 1, 2)), Lit(p.Name(areas[i], i))});
    p.Done(c);
  }
  const int customers = p.Count(25);
  {
    Rng rng = p.Stream("R_CUSTOMER");
    RowWriter w(p.run, "R_CUSTOMER",
                std::string("CustomerCod, CustomerNam, CustomerGrohCod, Etebar, TypeEtebar, "
                            "EtebarStatus, Mojaz, EconomyCod, bazaryabcod, CustomerDate, "
                            "CustomerType, CustomerMobile, CustomerTel, CityCod, StateCod, "
                            "CustomerAddr, ") +
                    kAcc +
                    ", CustomerBirthDate, CustCreator, "
                    "CustPrecentTakhfif");
    for (int i = 0; i < customers + p.Extra(customers); ++i) {
      std::string name = rng.Chance(40) ? std::string(rng.Pick(words::CompanyWords())) + " " +
                                              std::string(rng.Pick(words::FamilyNames()))
                                        : PersonName(rng);
      double credit = static_cast<double>(rng.Between(0, 500) * 1000000);
      int city = static_cast<int>(rng.Between(1, 20));
      std::string addr = std::string(words::Cities()[static_cast<size_t>(city - 1)]) + " " +
                         std::string(rng.Pick(words::Streets())) + " پلاک " +
                         std::to_string(rng.Between(1, 400));
      if (!p.Has(i, customers)) continue;
      std::vector<std::string> row = {Lit(Code(i + 1, 10)),
                                      Lit(p.Name(name, i)),
                                      Lit(Code(i % 5 + 1, 3)),
                                      Lit(credit),
                                      Lit("1"),
                                      Lit("T"),
                                      Lit("T"),
                                      Lit(Code(i * 31337 % 999999, 12)),
                                      Lit(Code(i % bazaryabs + 1, 6)),
                                      Lit(p.year + "/01/01"),
                                      Lit(i % 3 ? "H" : "K"),
                                      Lit("0912" + Code(i * 7907 % 9999999, 7)),
                                      Lit("021" + Code(i * 613 % 99999999, 8)),
                                      Lit(Code(city, 3)),
                                      Lit(Code(city % 10 + 1, 2)),
                                      Lit(addr)};
      row = Row(row, Acc(1));
      row.push_back(Lit(""));
      row.push_back(Lit("مدير"));
      row.push_back(Lit(static_cast<double>(i % 4)));
      w.Add(row);
    }
    p.Done(w);
  }
  {
    RowWriter w(p.run, "R_RelateCustomer", "CardCod, CustomerCod");
    const int n = p.Count(6);
    for (int i = 0; i < n + p.Extra(n); ++i)
      if (p.Has(i, n)) w.Add({Lit("6037" + Code(i, 12)), Lit(Code(i % customers + 1, 10))});
    p.Done(w);
    RowWriter m(p.run, "R_MOVAZEH", std::string("MovazehCod, MovazehNam, SPercent, ") + kAcc);
    const char* names[] = {"غرفه شمال", "غرفه مرکز", "غرفه جنوب"};
    for (int i = 0; i < 3; ++i)
      m.Add(Row({Lit(Code(i + 1, 3)), Lit(p.Name(names[i], i)), Lit(5.0)}, Acc(13)));
    p.Done(m);
    RowWriter t(p.run, "R_Tozikonandegan", "TozikonCod, TozikonNam");
    const char* dist[] = {"پخش البرز", "پخش سپيد", "پخش هجرت"};
    for (int i = 0; i < 3; ++i) t.Add({Lit(Code(i + 1, 3)), Lit(p.Name(dist[i], i))});
    p.Done(t);
  }
  {
    RowWriter w(p.run, "R_Agsat",
                "Raj, KalaCod, CustomerGrohCod, FrModat, ToModat, ModatType, Fee, PreValue, "
                "GestCount, GestValue, Nerkh, IsFix");
    const int n = p.Count(3);
    for (int i = 0; i < n + p.Extra(n); ++i)
      if (p.Has(i, n))
        w.Add({Lit(i + 1), Lit(Code(i + 1, 8)), Lit(Code(i % 5 + 1, 3)), Lit(1), Lit(12), Lit("M"),
               Lit(1000000.0 * (i + 1)), Lit(100000.0), Lit(10), Lit(90000.0 * (i + 1)), Lit(18.0),
               Lit("F")});
    p.Done(w);
    RowWriter f(p.run, "R_AgsatFormula", "IDX, AgsatNam, Formula");
    const char* names[] = {"اقساط ساده", "اقساط با کارمزد", "اقساط پلکاني"};
    for (int i = 0; i < 3; ++i)
      f.Add({Lit(i + 1), Lit(p.Name(names[i], i)), Lit("FEE*(1+NERKH/100)/COUNT")});
    p.Done(f);
    RowWriter a(p.run, "R_Account", std::string("RCod, RDes, ") + kAcc);
    const char* heads[] = {"فروش نقدي", "فروش نسيه", "تخفيفات", "برگشت از فروش", "ماليات فروش"};
    for (int i = 0; i < 5; ++i)
      a.Add(Row({Lit(Code(i + 1, 3)), Lit(p.Name(heads[i], i))}, Acc(13)));
    p.Done(a);
    RowWriter s(p.run, "R_AsnadTrado", std::string("TypeSanad, Raj, ") + kAcc + ", Des, sSign");
    for (int i = 0; i < 6; ++i) {
      std::vector<std::string> row =
          Row({Lit(i < 3 ? "FACTOR" : "RETURN"), Lit(i % 3 + 1)}, Acc(13 + i % 3));
      row.push_back(Lit(heads[i % 5]));
      row.push_back(Lit(i % 2 ? "+" : "-"));
      s.Add(row);
    }
    p.Done(s);
  }
  FillSalesDocuments(p, customers, bazaryabs);
}

}  // namespace xfer::suite::demo
