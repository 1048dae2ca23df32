// Demo inventory masters: warehouses, units, item groups, code parts, items with their layout,
// order points and pictures, suppliers, deliverers, purchase factors and production formulas,
// plus a year of inventory documents (demo_stock_docs.cpp).
#include "suite/demo_gen.h"
#include "suite/demo_words.h"

namespace xfer::suite::demo {
namespace {

std::vector<std::string> Accounts(int koll) {
  return {Lit(Code(1000 + koll, 4)), Lit(Code(1, 4)), Lit(""), Lit(""), Lit("")};
}
void Append(std::vector<std::string>& row, const std::vector<std::string>& more) {
  row.insert(row.end(), more.begin(), more.end());
}
const char* kAcc = "Koll, Moein, Tafsily, Tafsily2, ProjectCod";
std::string AccCols(const std::string& suffix) {
  return "Koll" + suffix + ", Moein" + suffix + ", Tafsily" + suffix + ", Tafsily2" + suffix +
         ", ProjectCod" + suffix;
}

}  // namespace

void FillInventory(const Period& p) {
  {
    RowWriter w(p.run, "A_Document",
                "WhatDoc, DocumentNam, TypeDoc, ActCode, DesBed, DesBes, sSign");
    const std::pair<const char*, const char*> docs[] = {
        {"10", "موجودي اوليه"},   {"30", "رسيد"},
        {"50", "حواله"},          {"70", "تحويل مستقيم"},
        {"85", "نقل و انتقال"},   {"16", "افزايش"},
        {"17", "کاهش"},           {"35", "برگشت از رسيد"},
        {"55", "برگشت از حواله"}, {"100", "موجودي پايان دوره"},
        {"400", "رسيد موقت"},     {"600", "درخواست کالا"}};
    int i = 0;
    for (const auto& [code, name] : docs)
      w.Add({Lit(code), Lit(p.Name(name, i++)), Lit("1"), Lit(""), Lit(""), Lit(""),
             Lit(i % 2 ? "+" : "-")});
    p.Done(w);
  }
  {
    RowWriter w(p.run, "Avamel",
                std::string("CatgagoryCode, CatgagoryName, CatgagorySign, CatgagoryType, "
                            "CatgagoryNerkh, CatgagoryMetod, Type, ") +
                    kAcc);
    const char* names[] = {"کرايه حمل", "بيمه", "عوارض گمرکي", "تخليه و بارگيري", "ماليات خريد"};
    for (int i = 0; i < 5; ++i) {
      std::vector<std::string> row = {Lit(Code(i + 1, 2)),
                                      Lit(p.Name(names[i], i)),
                                      Lit("+"),
                                      Lit("1"),
                                      Lit(static_cast<double>(i)),
                                      Lit("1"),
                                      Lit("1")};
      Append(row, Accounts(5));
      w.Add(row);
    }
    p.Done(w);
  }
  {
    RowWriter c(p.run, "City", "CityCod, CityNam, StateCod");
    auto cities = words::Cities();
    for (int i = 0; i < static_cast<int>(cities.size()); ++i)
      c.Add({Lit(Code(i + 1, 3)), Lit(p.Name(cities[i], i)), Lit(Code(i % 10 + 1, 2))});
    p.Done(c);
    RowWriter k(p.run, "Country", "CountryCod, CountryNam");
    auto countries = words::Countries();
    for (int i = 0; i < static_cast<int>(countries.size()); ++i)
      k.Add({Lit(Code(i + 1, 2)), Lit(p.Name(countries[i], i))});
    p.Done(k);
    RowWriter m(p.run, "MEGYAS", "MegyasCod, MegyasNam");
    auto units = words::Units();
    for (int i = 0; i < static_cast<int>(units.size()); ++i)
      m.Add({Lit(Code(i + 1, 2)), Lit(p.Name(units[i], i))});
    p.Done(m);
    RowWriter d(p.run, "DEPART_1", "Code_Field, Desk, Noe_File");
    auto deps = words::Departments();
    for (int i = 0; i < static_cast<int>(deps.size()); ++i)
      d.Add({Lit(Code(i + 1, 3)), Lit(p.Name("واحد " + std::string(deps[i]), i)), Lit("1")});
    p.Done(d);
  }
  {
    RowWriter g(p.run, "A_SellersGroh",
                std::string("SellersGrohCod, SellersGrohNam, TafsilyGrohCod, Tafsily2GrohCod, "
                            "ProjectGrohCod, ") +
                    kAcc);
    const char* names[] = {"تامين کنندگان داخلي", "تامين کنندگان خارجي", "پيمانکاران",
                           "توزيع کنندگان"};
    for (int i = 0; i < 4; ++i) {
      std::vector<std::string> row = {Lit(Code(i + 1, 2)), Lit(p.Name(names[i], i)),
                                      Lit(Code(1, 4)), Lit(""), Lit("")};
      Append(row, Accounts(7));
      g.Add(row);
    }
    p.Done(g);
    Rng rng = p.Stream("A_SELLERS");
    RowWriter w(p.run, "A_SELLERS",
                std::string("SellersGrohCod, SellersCod, SellersNam, Mojaz, EconomyCod, CityCod, "
                            "SellersTel, SellersAddr, ") +
                    kAcc);
    const int n = p.Count(5);
    for (int i = 0; i < n + p.Extra(n); ++i) {
      std::string name = std::string(rng.Pick(words::CompanyWords())) + " " + PersonName(rng);
      std::string tel = "021" + Code(rng.Between(0, 99999999), 8);
      std::string addr =
          std::string(rng.Pick(words::Streets())) + " پلاک " + std::to_string(rng.Between(1, 300));
      if (!p.Has(i, n)) continue;
      std::vector<std::string> row = {Lit(Code(i % 4 + 1, 2)),
                                      Lit(Code(i + 1, 10)),
                                      Lit(p.Name(name, i)),
                                      Lit("T"),
                                      Lit(Code(i * 7919 % 99999, 12)),
                                      Lit(Code(i % 20 + 1, 3)),
                                      Lit(tel),
                                      Lit(addr)};
      Append(row, Accounts(7));
      w.Add(row);
    }
    p.Done(w);
  }
  {
    RowWriter m(p.run, "A_MASRAF",
                "MasrafCod, MasrafNam, Koll, Moein, Tafsily, ProjectCod, MasrafDate");
    const char* names[] = {"مصرف توليد", "مصرف اداري",   "نمونه رايگان",
                           "ضايعات",     "مصرف تعميرات", "مصرف آزمايشگاه"};
    for (int i = 0; i < 6; ++i)
      m.Add({Lit(Code(i + 1, 3)), Lit(p.Name(names[i], i)), Lit(Code(1016, 4)), Lit(Code(1, 4)),
             Lit(""), Lit(""), Lit(p.year + "/01/01")});
    p.Done(m);
    RowWriter r(p.run, "A_MoredResid", std::string("MoredResidCod, MoredResidNam, ") + kAcc);
    const char* resid[] = {"خريد داخلي", "خريد خارجي", "برگشت از مصرف", "توليد", "امانت"};
    for (int i = 0; i < 5; ++i) {
      std::vector<std::string> row = {Lit(Code(i + 1, 3)), Lit(p.Name(resid[i], i))};
      Append(row, Accounts(7));
      r.Add(row);
    }
    p.Done(r);
  }
  {
    Rng rng = p.Stream("TahvilPerson");
    RowWriter w(p.run, "TahvilPerson",
                "Code, [Name], Family, Vahd, A_Koll, A_Moein, A_Tafsily, A_Tafsily2, A_ProjectCod, "
                "ActionType");
    const int n = p.Count(5);
    for (int i = 0; i < n + p.Extra(n); ++i) {
      std::string first(rng.Pick(words::FirstNames()));
      std::string family(rng.Pick(words::FamilyNames()));
      if (!p.Has(i, n)) continue;
      w.Add({Lit(Code(i + 1, 6)), Lit(first), Lit(p.Name(family, i)), Lit(Code(i % 8 + 1, 3)),
             Lit(Code(1008, 4)), Lit(Code(1, 4)), Lit(""), Lit(""), Lit(""), Lit("1")});
    }
    p.Done(w);
  }
  const int anbars = p.Count(1, 9000) + 3;
  {
    RowWriter w(p.run, "ANBAR",
                std::string("AnbarCod, AnbarNam, AnbarType, AnbarVazeiate, AnbarShomaresh, "
                            "AnbarGardany, AnbarTadil, TadilNo, ") +
                    kAcc + ", sUsage, " + AccCols("Forosh") +
                    ", MojodiManfiAnbar, MojodiManfiForosh");
    for (int i = 0; i < anbars + p.Extra(anbars); ++i) {
      if (!p.Has(i, anbars)) continue;
      std::string name = "انبار " + std::string(words::Cities()[static_cast<size_t>(i) % 20]);
      if (i >= 20) name += " " + std::to_string(i);
      std::vector<std::string> row = {Lit(Code(i + 1, 4)),
                                      Lit(p.Name(name, i)),
                                      Lit("1"),
                                      Lit("T"),
                                      Lit("F"),
                                      Lit("T"),
                                      Lit("F"),
                                      Lit(0)};
      Append(row, Accounts(3));
      row.push_back(Lit("عمومي"));
      Append(row, Accounts(13));
      row.push_back(Lit("F"));
      row.push_back(Lit("F"));
      w.Add(row);
    }
    p.Done(w);
  }
  const int grohs = p.Count(1, 900) + 6;
  {
    RowWriter w(p.run, "KALAGROH",
                "KalaGrohCod, KalaGrohNam, AnbarCod, GrohJoz, " + AccCols("Forosh") + ", " +
                    AccCols("Anbar"));
    for (int i = 0; i < grohs + p.Extra(grohs); ++i) {
      if (!p.Has(i, grohs)) continue;
      std::string name = "گروه " + std::string(words::Goods()[static_cast<size_t>(i) % 30]);
      if (i >= 30) name += " " + std::to_string(i);
      std::vector<std::string> row = {Lit(Code(i + 1, 6)), Lit(p.Name(name, i)),
                                      Lit(Code(i % anbars + 1, 4)), Lit("")};
      Append(row, Accounts(13));
      Append(row, Accounts(3));
      w.Add(row);
    }
    p.Done(w);
  }
  {
    RowWriter j(p.run, "JOZCODEKALA",
                "JozCod, JozCommand, JozCodLen, JozCommandLen, IsSerial, Zarib");
    const char* parts[] = {"گروه اصلي", "گروه فرعي", "سريال کالا"};
    for (int i = 0; i < 3; ++i)
      j.Add({Lit(i + 1), Lit(p.Name(parts[i], i)), Lit(i == 2 ? 5 : 2), Lit(30),
             Lit(i == 2 ? "T" : "F"), Lit(1)});
    p.Done(j);
    RowWriter c(p.run, "JOZCOMMANDKALA", "KalaJoz, KalaJozCod, KalaJozCommand");
    for (int i = 0; i < 9; ++i)
      c.Add({Lit(i / 3 + 1), Lit(Code(i % 3 + 1, 2)),
             Lit(p.Name(std::string(words::GoodsQualifiers()[static_cast<size_t>(i)]), i))});
    p.Done(c);
  }
  const int kalas = p.Count(30);
  {
    Rng rng = p.Stream("KALA");
    RowWriter w(p.run, "KALA",
                "KalaCod, KalaNam, KalaNam2, AnbarCod, KalaGrohCod, KalaMojaz, MegyasCod, "
                "MegyasCod1, MegyasCod2, MegyasCod3, SerialStatus, MainQty, [NESBAT3/2], "
                "[NESBAT2/1], StandardFee, MinimumQty1, MaximumQty1, OrderQty1, KalaBarCod, "
                "KalaType, KalaDate, " +
                    AccCols("Anbar") + ", " + AccCols("Forosh") +
                    ", FeeMasraf, TaxRate, AmvRate, OrderQtyTafkiki");
    for (int i = 0; i < kalas + p.Extra(kalas); ++i) {
      std::string name = std::string(rng.Pick(words::Goods())) + " " +
                         std::string(rng.Pick(words::GoodsQualifiers())) + " " +
                         std::to_string(rng.Between(1, 999));
      double fee = static_cast<double>(rng.Between(5, 5000) * 1000);
      int unit = static_cast<int>(rng.Between(1, 6));
      std::string barcode = "626" + Code(rng.Between(0, 9999999999LL), 10);
      if (!p.Has(i, kalas)) continue;
      std::vector<std::string> row = {Lit(Code(i + 1, 8)),
                                      Lit(p.Name(name, i)),
                                      Lit(name),
                                      Lit(Code(i % anbars + 1, 4)),
                                      Lit(Code(i % grohs + 1, 6)),
                                      Lit("T"),
                                      Lit(Code(unit, 2)),
                                      Lit(Code(unit, 2)),
                                      Lit(""),
                                      Lit(""),
                                      Lit(i % 9 == 0 ? "T" : "F"),
                                      Lit("1"),
                                      Lit(1.0),
                                      Lit(1.0),
                                      Lit(fee),
                                      Lit(static_cast<double>(i % 10)),
                                      Lit(100.0),
                                      Lit(20.0),
                                      Lit(barcode),
                                      Lit("1"),
                                      Lit(p.year + "/01/01")};
      Append(row, Accounts(3));
      Append(row, Accounts(13));
      row.push_back(Lit(fee * 1.2));
      row.push_back(Lit(9.0));
      row.push_back(Lit(0.0));
      row.push_back(Lit(""));
      w.Add(row);
    }
    p.Done(w);
  }
  {
    Rng rng = p.Stream("A_KALAMAST");
    RowWriter w(p.run, "A_KALAMAST", "AnbarCod, KalaCod, Salon, Rahro, Ghafaseh, Tabagheh, Radif");
    for (int i = 0; i < kalas / 2; ++i) {
      std::string salon = Code(rng.Between(1, 4), 2);
      if (!p.Has(i, kalas / 2)) continue;
      w.Add({Lit(Code(i % anbars + 1, 4)), Lit(Code(i + 1, 8)), Lit(salon), Lit(Code(i % 12, 2)),
             Lit(Code(i % 30, 2)), Lit(Code(i % 5, 2)), Lit(Code(i, 3))});
    }
    p.Done(w);
    RowWriter s(p.run, "A_KalaSefaresh", "AnbarCod, KalaCod, NogteSefaresh, maxmojodi, minmojodi");
    for (int i = 0; i < kalas / 3; ++i) {
      if (!p.Has(i, kalas / 3)) continue;
      s.Add({Lit(Code(i % anbars + 1, 4)), Lit(Code(i * 3 + 1, 8)),
             Lit(static_cast<double>(10 + i % 50)), Lit(500.0), Lit(5.0)});
    }
    p.Done(s);
    RowWriter pic(p.run, "A_Kalapic", "KalaNo, KalaPic");
    for (int i = 0; i < kalas / 6; ++i) {
      if (!p.Has(i, kalas / 6)) continue;
      pic.Add({Lit(Code(i * 6 + 1, 8)), "0x89504E470D0A1A0A" + Code(i, 8)});
    }
    p.Done(pic);
  }
  {
    Rng rng = p.Stream("A_KalaFee");
    RowWriter w(p.run, "A_KalaFee",
                "KalaCod, SellersCod, Fee, QTY1, QTY2, IsFixFee, BakhshNamehCod, BakhshNamehDate, "
                "BakhshNamehTime, BakhshNamehSame");
    const int n = p.Count(3);
    for (int i = 0; i < n + p.Extra(n); ++i) {
      double fee = static_cast<double>(rng.Between(5, 900) * 1000);
      if (!p.Has(i, n)) continue;
      w.Add({Lit(Code(i % kalas + 1, 8)), Lit(Code(i % 15 + 1, 10)), Lit(fee), Lit(1.0),
             Lit(1000.0), Lit("F"), Lit(Code(i / 3 + 1, 4)), Lit(p.year + "/01/15"), Lit("08:00"),
             Lit("F")});
    }
    p.Done(w);
    RowWriter b(p.run, "B_Mahsoldetail",
                "MahsolCod, KalaMasCod, Raj, AnbarCod, MahsolOrKala, Qty2, Qty1, Qty, PerQty");
    const int formulas = p.Count(3);
    for (int i = 0; i < formulas + p.Extra(formulas); ++i) {
      if (!p.Has(i, formulas)) continue;
      for (int r = 0; r < 2; ++r)
        b.Add({Lit(Code(i % kalas + 1, 8)), Lit(Code((i + r + 1) % kalas + 1, 8)), Lit(r + 1),
               Lit(Code(1, 4)), Lit("K"), Lit(0.0), Lit(0.0), Lit(static_cast<double>(r + 1)),
               Lit(1.0)});
    }
    p.Done(b);
  }
  FillStockDocuments(p, anbars, kalas);
}

}  // namespace xfer::suite::demo
