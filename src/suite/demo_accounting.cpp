// Demo chart of accounts: groups, general and subsidiary accounts, detail and second-detail
// accounts with their groups, projects, fixed descriptions; the vouchers of the year come from
// demo_vouchers.cpp.
#include "suite/demo_gen.h"
#include "suite/demo_words.h"

namespace xfer::suite::demo {

void FillAccounting(const Period& p) {
  const std::string_view natures[] = {"D", "C", "B"};
  {
    RowWriter w(p.run, "Groh", "Groh, NamHesab, RecogName, IsPosHesab, DesGroh, DesChar");
    auto groups = words::AccountGroups();
    for (int i = 0; i < static_cast<int>(groups.size()); ++i)
      w.Add({Lit(std::to_string(i + 1)), Lit(p.Name(groups[i], i)), Lit(natures[i % 3]), Lit("T"),
             Lit(""), Lit("A")});
    p.Done(w);
  }
  const int kolls = p.Count(4, 8000) + 12;
  {
    Rng rng = p.Stream("Koll");
    RowWriter w(
        p.run, "Koll",
        "Koll, NamHesab, IsHesabTmp, RecogName, IsActive, IsPosHesab, DesKoll, DesChar, Groh");
    auto names = words::GeneralAccounts();
    for (int i = 0; i < kolls + p.Extra(kolls); ++i) {
      std::string name(names[static_cast<size_t>(i) % names.size()]);
      if (i >= static_cast<int>(names.size())) name += " " + std::to_string(i);
      int groh = static_cast<int>(rng.Between(1, 7));
      if (!p.Has(i, kolls)) continue;
      w.Add({Lit(Code(1000 + i, 4)), Lit(p.Name(name, i)), Lit(i >= 13 ? "T" : "F"),
             Lit(natures[i % 3]), Lit(p.Active(i)), Lit("T"), Lit(""), Lit("A"),
             Lit(std::to_string(groh))});
    }
    p.Done(w);
  }
  {
    Rng rng = p.Stream("Moein");
    RowWriter w(p.run, "Moein",
                "Koll, Moein, NamHesab, RecogName, TypeConvert, IsTafsily, IsTafsily1, IsTafsily2, "
                "IsProject, IsActive, GrohTafsily, GrohTafsily2, GrohProject, IsPosHesab, FAtfCh, "
                "FAtfNum, FAtfDate, DesMoein, DesChar, TafsilyJoz, Tafsily2Joz, ProjectJoz");
    const int n = p.Count(15, 500000);
    for (int i = 0; i < n + p.Extra(n); ++i) {
      int koll = i % kolls;
      std::string name =
          std::string(rng.Pick(words::SubsidiaryWords())) + " " + std::to_string(i / kolls + 1);
      bool detail = rng.Chance(60);
      if (!p.Has(i, n)) continue;
      w.Add({Lit(Code(1000 + koll, 4)),
             Lit(Code(i / kolls + 1, 4)),
             Lit(p.Name(name, i)),
             Lit(natures[i % 3]),
             Lit("0"),
             Lit(detail ? "T" : "F"),
             Lit(detail ? "T" : "F"),
             Lit("F"),
             Lit("F"),
             Lit(p.Active(i)),
             Lit(detail ? Code(1, 4) : ""),
             Lit(""),
             Lit(""),
             Lit("T"),
             Lit("F"),
             Lit("F"),
             Lit("F"),
             Lit(""),
             Lit("A"),
             Lit(""),
             Lit(""),
             Lit("")});
    }
    p.Done(w);
  }
  {
    RowWriter g(p.run, "GrohTafsily", "TafsilyGrohCod, TafsilyGrohNam");
    const std::string_view names[] = {"اشخاص", "شرکتها", "کارکنان", "بانکها", "پيمانکاران"};
    for (int i = 0; i < 5; ++i) g.Add({Lit(Code(i + 1, 4)), Lit(p.Name(names[i], i))});
    p.Done(g);
    RowWriter g2(p.run, "GrohTafsily2", "Tafsily2GrohCod, Tafsily2GrohNam, TypeMarakez");
    const std::string_view centres[] = {"مراکز توليدي", "مراکز خدماتي", "مراکز اداري",
                                        "مراکز فروش"};
    for (int i = 0; i < 4; ++i) g2.Add({Lit(Code(i + 1, 4)), Lit(p.Name(centres[i], i)), Lit("1")});
    p.Done(g2);
    RowWriter g3(p.run, "M_GrohProject", "ProjectGrohCod, ProjectGrohNam");
    const std::string_view projects[] = {"پروژه هاي عمراني", "پروژه هاي تحقيقاتي",
                                         "پروژه هاي فروش"};
    for (int i = 0; i < 3; ++i) g3.Add({Lit(Code(i + 1, 4)), Lit(p.Name(projects[i], i))});
    p.Done(g3);
  }
  {
    Rng rng = p.Stream("Tafsily");
    RowWriter w(p.run, "Tafsily",
                "Tafsily, NamHesab, RecogName, IsActive, IsPosHesab, DesTafsily, DesChar, "
                "GrohTafsily2, Tafsily2Joz, GrohProject, ProjectJoz, TafsilyGrohCod");
    const int n = p.Count(20, 5000000);
    for (int i = 0; i < n + p.Extra(n); ++i) {
      std::string name = PersonName(rng);
      int groh = static_cast<int>(rng.Between(1, 5));
      if (!p.Has(i, n)) continue;
      w.Add({Lit(Code(i + 1, 8)), Lit(p.Name(name, i)), Lit(natures[i % 3]), Lit(p.Active(i)),
             Lit("T"), Lit(""), Lit("A"), Lit(""), Lit(""), Lit(""), Lit(""), Lit(Code(groh, 4))});
    }
    p.Done(w);
  }
  {
    Rng rng = p.Stream("Tafsily2");
    RowWriter w(
        p.run, "Tafsily2",
        "Tafsily2, NamHesab, RecogName, IsActive, IsPosHesab, DesTafsily2, DesChar, Addres, "
        "Buzy, KarFarma, Kargah, MabnayTashim, MarakezGetter, MarakezSender, Shobeh, "
        "Station, Std, TypeMarakez, Olaviat, WorkAble, Koll, Moein, Tafsily, ProjectCod, "
        "GrohProject, ProjectJoz, Tafsily2GrohCod");
    const int n = p.Count(4, 500000);
    for (int i = 0; i < n + p.Extra(n); ++i) {
      std::string name =
          "مرکز " + std::string(rng.Pick(words::Departments())) + " " + std::to_string(i + 1);
      std::string city(rng.Pick(words::Cities()));
      if (!p.Has(i, n)) continue;
      w.Add({Lit(Code(i + 1, 6)),
             Lit(p.Name(name, i)),
             Lit("D"),
             Lit("T"),
             Lit("T"),
             Lit(""),
             Lit("A"),
             Lit(city),
             Lit("F"),
             Lit(""),
             Lit(""),
             Lit("1"),
             Lit("T"),
             Lit("F"),
             Lit(city),
             Lit(""),
             Lit(""),
             Lit("1"),
             Lit(i % 5),
             Lit("T"),
             Lit(Code(1016, 4)),
             Lit(Code(1, 4)),
             Lit(""),
             Lit(""),
             Lit(""),
             Lit(""),
             Lit(Code(i % 4 + 1, 4))});
    }
    p.Done(w);
  }
  {
    Rng rng = p.Stream("M_Project");
    RowWriter w(p.run, "M_Project",
                "ProjectCod, ProjectNam, RecogName, IsActive, IsPosHesab, DesProject, DesChar, "
                "ProjectGrohCod");
    const int n = p.Count(4, 500000);
    for (int i = 0; i < n + p.Extra(n); ++i) {
      std::string name =
          "پروژه " + std::string(rng.Pick(words::Cities())) + " " + std::to_string(i + 1);
      if (!p.Has(i, n)) continue;
      w.Add({Lit(Code(i + 1, 6)), Lit(p.Name(name, i)), Lit("D"), Lit("T"), Lit("T"), Lit(""),
             Lit("A"), Lit(Code(i % 3 + 1, 4))});
    }
    p.Done(w);
  }
  {
    Rng rng = p.Stream("FixDes");
    RowWriter w(p.run, "FixDes", "sOption, FixDes, ProjectCod, Tafsily2, Tafsily, Moein, Koll");
    const int n = p.Count(5, 100000);
    const std::string_view texts[] = {"بابت خريد کالا", "بابت فروش نقدي", "پرداخت حقوق",
                                      "واريز به حساب",  "تنخواه گردان",   "هزينه حمل"};
    for (int i = 0; i < n + p.Extra(n); ++i) {
      std::string text(texts[rng.Between(0, 5)]);
      if (!p.Has(i, n)) continue;
      w.Add({Lit("M"), Lit(p.Name(text, i)), Lit(""), Lit(""), Lit(Code(i % 40 + 1, 8)),
             Lit(Code(1, 4)), Lit(Code(1000 + i % kolls, 4))});
    }
    p.Done(w);
  }
  {
    RowWriter w(p.run, "ApplicationType", "TypeSys, TypeSysNam");
    const std::pair<const char*, const char*> apps[] = {
        {"M", "حسابداري"}, {"S", "انبار"}, {"R", "فروش"}, {"N", "نقدينگي"}, {"D", "دارايي"}};
    for (const auto& [code, name] : apps) w.Add({Lit(code), Lit(name)});
    w.Flush();
  }
  FillVouchers(p, kolls);
}

}  // namespace xfer::suite::demo
