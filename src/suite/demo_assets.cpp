// Demo fixed-asset masters: locations, receivers, states, origins, tax-return groups, the
// depreciation table, characteristics, cost components and the asset register with the tables
// that follow each asset.
#include "suite/demo_gen.h"
#include "suite/demo_words.h"

namespace xfer::suite::demo {
namespace {

void Simple(const Period& p, const char* table, const char* columns,
            std::initializer_list<const char*> names, int width) {
  RowWriter w(p.run, table, columns);
  int i = 0;
  for (const char* name : names) {
    w.Add({Lit(Code(i + 1, width)), Lit(p.Name(name, i))});
    ++i;
  }
  p.Done(w);
}

}  // namespace

void FillAssets(const Period& p) {
  Simple(p, "D_MAKAN", "MakanCod, MakanNam",
         {"دفتر مرکزي", "کارخانه", "انبار مرکزي", "شعبه شيراز", "شعبه مشهد"}, 3);
  Simple(p, "D_VAZDARAE", "VazCod, VazNam", {"فعال", "راکد", "فروخته شده", "اسقاط"}, 2);
  Simple(p, "D_GHEIMAT", "GheimatCod, GheimatNam",
         {"بهاي خريد", "هزينه حمل", "هزينه نصب", "حقوق گمرکي"}, 2);
  Simple(p, "D_VEZARAT", "VezCod, VezNam",
         {"ساختمان", "ماشين آلات", "وسايط نقليه", "اثاثه اداري", "ابزار آلات"}, 2);
  {
    RowWriter w(p.run, "D_MABADI",
                "MabadiCod, MabadiNam, Koll, Moein, Tafsily, Tafsily2, ProjectCod");
    const char* names[] = {"خريد", "ساخت", "اهدايي", "انتقال از شعبه"};
    for (int i = 0; i < 4; ++i)
      w.Add({Lit(Code(i + 1, 2)), Lit(p.Name(names[i], i)), Lit(Code(1005, 4)), Lit(Code(1, 4)),
             Lit(""), Lit(""), Lit("")});
    p.Done(w);
  }
  {
    RowWriter w(p.run, "D_MADEH151", "MadehCod, MadehNam, Sharh, Nozooli, Salianeh");
    const char* names[] = {"ساختمانهاي بتني", "ماشين آلات توليدي", "خودروهاي سواري",
                           "اثاثه و منصوبات", "رايانه و تجهيزات",  "ابزار دقيق"};
    const double rates[] = {0.07, 0.15, 0.25, 0.0, 0.0, 0.2};
    const double years[] = {0, 0, 0, 10, 3, 0};
    for (int i = 0; i < 6; ++i)
      w.Add({Lit(Code(i + 1, 3)), Lit(p.Name(names[i], i)), Lit("جدول استهلاکات"), Lit(rates[i]),
             Lit(years[i])});
    p.Done(w);
  }
  {
    RowWriter w(p.run, "D_SAKHTAR", "SakhtarCod, SakhtarRaj, SakhtarNam, SakhtarLen, SakhtarType");
    const char* names[] = {"شماره سريال", "مدل", "رنگ", "سازنده", "سال ساخت"};
    for (int i = 0; i < 5; ++i)
      w.Add({Lit(Code(i + 1, 2)), Lit(i + 1), Lit(p.Name(names[i], i)), Lit(20), Lit("C")});
    p.Done(w);
  }
  const int persons = p.Count(6);
  {
    Rng rng = p.Stream("PERSON");
    RowWriter w(
        p.run, "PERSON",
        "Code, [Name], Family, Name_F, Sex, Brith_d, Tel, Addres, Depart, Vahd, Groh, Koll, "
        "Moein, Tafsily, Tafsily2, ProjectCod, Semat, Irani, Isdelete, ActionType");
    for (int i = 0; i < persons + p.Extra(persons); ++i) {
      std::string first(rng.Pick(words::FirstNames()));
      std::string family(rng.Pick(words::FamilyNames()));
      std::string father(rng.Pick(words::FirstNames()));
      std::string born = std::to_string(rng.Between(1340, 1380)) + "/0" +
                         std::to_string(rng.Between(1, 9)) + "/1" +
                         std::to_string(rng.Between(0, 9));
      if (!p.Has(i, persons)) continue;
      w.Add({Lit(Code(i + 1, 6)),
             Lit(first),
             Lit(p.Name(family, i)),
             Lit(father),
             Lit(i % 3 ? "M" : "F"),
             Lit(born),
             Lit("0912" + Code(i * 7919 % 9999999, 7)),
             Lit(std::string(words::Streets()[static_cast<size_t>(i) % 8])),
             Lit(Code(i % 8 + 1, 3)),
             Lit(Code(i % 8 + 1, 3)),
             Lit("1"),
             Lit(Code(1017, 4)),
             Lit(Code(1, 4)),
             Lit(Code(i + 1, 8)),
             Lit(""),
             Lit(""),
             Lit(std::string(words::Departments()[static_cast<size_t>(i) % 8])),
             Lit("T"),
             Lit("F"),
             Lit("1")});
    }
    p.Done(w);
  }
  Rng rng = p.Stream("D_AMVAL");
  RowWriter w(p.run, "D_AMVAL",
              "DaraCod, DaraNam, VezCod, MadehCod, RaveshEst, Nozooli, Salianeh, BahreDate, "
              "EndValue, Anbashteh, Esshat, MakanCod, PersonelCod, VazCod, SakhtarCod, PelakOld, "
              "PelakNew, MadeDate, DKoll, DMoein, Koll, Moein, GarantiEnd");
  RowWriter roz(p.run, "D_ROZ", "DaraCod, SanadNo, sDate, Mablagh, Des");
  RowWriter buy(p.run, "D_BUY_CREATE", "DaraCod, SanadNo, sDate, Mablagh, Des");
  const int assets = p.Count(6);
  for (int i = 0; i < assets + p.Extra(assets); ++i) {
    std::string name = std::string(rng.Pick(words::AssetWords())) + " " + std::to_string(i + 1);
    double value = static_cast<double>(rng.Between(10, 20000) * 100000);
    if (!p.Has(i, assets)) continue;
    std::string code = Code(i + 1, 10);
    w.Add({Lit(code),
           Lit(p.Name(name, i)),
           Lit(Code(i % 5 + 1, 2)),
           Lit(Code(i % 6 + 1, 3)),
           Lit(i % 2 ? "N" : "S"),
           Lit(0.15),
           Lit(10.0),
           Lit(p.year + "/02/01"),
           Lit(value),
           Lit(value / 10),
           Lit(0.0),
           Lit(Code(i % 5 + 1, 3)),
           Lit(Code(i % persons + 1, 6)),
           Lit(Code(1, 2)),
           Lit(Code(1, 2)),
           Lit(Code(i, 6)),
           Lit(Code(i, 6)),
           Lit("1398/05/01"),
           Lit(Code(1017, 4)),
           Lit(Code(1, 4)),
           Lit(Code(1005, 4)),
           Lit(Code(1, 4)),
           Lit(p.year + "/12/29")});
    roz.Add(
        {Lit(code), Lit(i + 1), Lit(p.year + "/12/29"), Lit(value / 10), Lit("استهلاک سالانه")});
    buy.Add({Lit(code), Lit(i + 1), Lit("1398/05/01"), Lit(value), Lit("خريد دارايي")});
  }
  p.Done(w);
  p.Done(roz);
  p.Done(buy);
}

}  // namespace xfer::suite::demo
