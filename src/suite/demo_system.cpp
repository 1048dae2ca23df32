// Demo company options, users with their option strings and rights, print layouts of every
// module, cheque print designs and a saved grid layout.
#include "suite/demo_gen.h"

namespace xfer::suite::demo {

void FillSystem(const Period& p) {
  {
    RowWriter w(p.run, "Options",
                "SCode, Kelvaro, Forosh, Anbar, Naghd, Dara, Saham, Tolid, Hazeneh, Karkerd, hub, "
                "Sefaresh, Company_StartDate");
    // The later period carries other organizing values, so an options transfer shows.
    const bool next = p.role == Role::Next;
    w.Add({Lit(p.code + p.year),
           Lit(std::string("NAMTAFSILY2=مرکز هزينه;NAMPROJECT=پروژه;TYPESARFASLCOD=1;") +
               "TYPE_CREATE_NEWAT=" + (next ? "2" : "1") + ";"),
           Lit(std::string("NAMBAZARYAB=بازارياب;NAMMOVAZEH=غرفه;NAMPREFACTOR=پيش فاکتور;") +
               "NAMFACTOR=صورتحساب;AUTO=NO;NUMPRINT=" + (next ? "2" : "1") + ";ETEBAR=T;"),
           Lit("TYPEKALACOD=1;QTYNAME=عدد;QTYNAME1=بسته;QTYNAME2=کارتن;KALA_TEKRAR=F;"),
           Lit(std::string("CHQ_DIGIT=") + (next ? "8" : "6") + ";"), Lit("ESTEHLAK=1;"),
           Lit("SAHAM=1;"), Lit("TOLID=1;"), Lit("HAZINEH=1;"), Lit("KARKERD=1;"), Lit("HUB=1;"),
           Lit("SEFARESH=1;"), Lit(p.year + "/01/01")});
    p.Done(w);
  }
  {
    RowWriter w(
        p.run, "UserHub",
        "UserID, User_Name, User_Pass1, User_Pass2, IsAdmin, IsActive, Kelvaro, Sell, Anbar, "
        "Naghd, Dara");
    const std::pair<const char*, const char*> users[] = {
        {"مدير", "ADMIN"}, {"حسابدار", "ACC01"}, {"انباردار", "STORE01"}, {"فروشنده", "SELL01"}};
    int id = 1;
    for (const auto& [name, key] : users) {
      std::string kelvaro = std::string("OPERATOR_ASNAD_MALY=T;ROZ_SANAD_NO=") +
                            std::to_string(id) + ";CHANGE_NAMHESAB=T;DEL_REP_RECORD=NO;" +
                            "REPLACE_DES=YES;";
      if (id == 4) kelvaro = "DEL_REP_RECORD=YES;";  // no CHANGE_NAMHESAB entry
      w.Add({Lit(id), Lit(name), Lit(key), Lit(""), Lit(id == 1 ? "T" : "F"), Lit("T"),
             Lit(kelvaro), Lit("BODYDISCOUNT=YES;ENDDISCOUNT=NO;CUSTREM=T;DEL_REP_RECORD=NO;"),
             Lit("ANBARTYPE=1;DEL_REP_RECORD=NO;DeterminateUser=F;"), Lit(""), Lit("")});
      ++id;
    }
    p.Done(w);
    RowWriter d(p.run, "UserHubDetail", "RowId, UserID, sCode, sYear, sAccess");
    for (int u = 1; u <= 4; ++u) d.Add({Lit(u), Lit(u), Lit(p.code), Lit(p.year), Lit("T")});
    p.Done(d);
    RowWriter r(p.run, "UserPrivilege", "UserID, TypeSys, sItem, sAccess");
    const char* systems[] = {"M", "S", "R", "N", "D"};
    for (int u = 1; u <= 4; ++u)
      for (const char* sys : systems)
        r.Add({Lit(u), Lit(sys), Lit(std::string("XFER_") + sys), Lit(u == 1 ? "T" : "F")});
    p.Done(r);
  }
  {
    RowWriter f(p.run, "Prn_Form_T",
                "WhatDoc, TypeSys, FrmID, FrmName, sRepParam, sHdr, sData, sSubData, sPgFooter, "
                "sFooter, sArm");
    RowWriter o(p.run, "Prn_Object_T", "WhatDoc, TypeSys, FrmID, Kind, sOpt");
    const std::pair<const char*, const char*> modules[] = {{"M", "سند حسابداري"},
                                                           {"S", "رسيد انبار"},
                                                           {"N", "سند دريافت"},
                                                           {"R", "صورتحساب فروش"},
                                                           {"D", "شناسنامه دارايي"}};
    for (const auto& [letter, title] : modules)
      for (int id = 0; id < 3; ++id) {
        // Form 2 exists only in the first period; the later one names form 1 differently.
        if (p.role == Role::Next && id == 2) continue;
        std::string name = std::string(title) + " " + std::to_string(id + 1);
        if (p.role == Role::Next && id == 1) name += " (جديد)";
        f.Add({Lit(letter), Lit(letter), Lit(id), Lit(name), Lit("PAGE=A4;"), Lit("HDR"),
               Lit("DATA"), Lit(""), Lit(""), Lit("FOOTER"), Lit("")});
        for (int k = 0; k < 3; ++k)
          o.Add({Lit(letter), Lit(letter), Lit(id), Lit(k == 0 ? "LABEL" : "FIELD"),
                 Lit("LEFT=" + std::to_string(10 + 40 * k) + ";TOP=20;")});
      }
    p.Done(f);
    p.Done(o);
  }
  {
    RowWriter f(p.run, "N_Prn_Cheque_Forms",
                "FrmID, FrmName, ImgW, ImgH, V_Img, ImgPath, DrawKadr, V_AmountF, F_AmountF, "
                "V_AmountE, F_AmountE, Hashour, DesIdx");
    RowWriter o(
        p.run, "N_Prn_Cheque_Obj",
        "Titr, FrmID, ObjName, Font_Name, Font_Size, Font_Style, Font_Color, Width, Height, "
        "[Left], [Top]");
    const char* banks[] = {"چک بانک ملي", "چک بانک ملت"};
    for (int id = 1; id <= 2; ++id) {
      f.Add({Lit(id), Lit(p.Name(banks[id - 1], id)), Lit(800), Lit(300), Lit("F"), Lit(""),
             Lit("T"), Lit("T"), Lit("B Nazanin"), Lit("T"), Lit("Tahoma"), Lit("#"), Lit(id)});
      const char* objects[] = {"تاريخ", "مبلغ", "در وجه", "مبلغ به حروف"};
      for (int k = 0; k < 4; ++k)
        o.Add({Lit(objects[k]), Lit(id), Lit("OBJ" + std::to_string(k)), Lit("B Nazanin"), Lit(12),
               Lit(0), Lit(0), Lit(120), Lit(20), Lit(50 + k * 30), Lit(40 + k * 25)});
    }
    p.Done(f);
    p.Done(o);
  }
  RowWriter g(p.run, "Grid_State",
              "UserId, sVisible, sProg, sItem, sForm, sPart, sColName, iLen, iRaj");
  const char* cols[] = {"Groh", "NamHesab", "RecogName", "IsPosHesab"};
  for (int i = 0; i < 4; ++i)
    g.Add({Lit("1"), Lit(i == 2 ? "F" : "T"), Lit("M"), Lit("SAYER"), Lit("XFER"), Lit("DBGGROH"),
           Lit(cols[i]), Lit(80 + 20 * i), Lit(i)});
  g.Flush();
}

}  // namespace xfer::suite::demo
