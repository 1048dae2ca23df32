// Demo sales documents of one year: pre-invoices (some turned into invoices, some returned),
// invoices and their returns, each with lines, invoice factors, cash payments and the serial
// numbers of serial-numbered items, and the invoice-type relation of every invoice. Numbers are
// right-aligned to the number column, as the suite stores them; every code refers to a row of the
// same period.
#include <cmath>
#include <vector>

#include "suite/demo_gen.h"

namespace xfer::suite::demo {
namespace {

// Row index i < n of a master table that this period holds (see Period::Has).
int Present(const Period& p, Rng& rng, int n) {
  if (p.role == Role::Full) return static_cast<int>(rng.Between(0, n - 1));
  int shared = n / 5 + 1, own = p.Extra(n);
  int pick = static_cast<int>(rng.Between(0, shared + own - 1));
  return pick < shared ? pick : n + pick - shared;
}

std::string Aligned(int n) {
  std::string digits = std::to_string(n);
  const size_t width = static_cast<size_t>(CodeWidths{}.factorNo);
  return std::string(width - digits.size(), ' ') + digits;
}

struct Writers {
  Writers(const Period& p, const char* headTable, const char* lineTable, const char* factorTable)
      : head(p.run, headTable,
             "SanadNoForosh, TypeAction, SanadNoForosh2, PreSanadNoForosh, SanadDate, "
             "TypeConvert, Abtal, Address, sDes, AnbarCod, CustomerCod, BazaryabCod, "
             "SerialSanadog, ComputerNam, User_Name, TasvieDate"),
        lines(p.run, lineTable,
              "SanadNoForosh, TypeAction, Raj, KalaCod, DesKala, Qty, Qty1, Qty2, FeeSell, "
              "SellValue, FeeBuy, BuyValue, PercentTakfif, Takfif, SellPercent, SellTax, "
              "AmRate, AmValue, IsEshantion"),
        factors(p.run, factorTable,
                "SanadNoForosh, TypeAction, CatgagoryCod, CatgagoryNam, CatgagoryMetod, "
                "CatgagoryNerkh, CatgagorySign, CatgagorySignBazaryab, RowValue") {}
  void Flush() {
    head.Flush();
    lines.Flush();
    factors.Flush();
  }
  RowWriter head, lines, factors;
};

// One document's header fields that its lines and returns share.
struct Doc {
  std::string no, date, customer, bazaryab, pre, no2;
  bool voided = false;
};

}  // namespace

void FillSalesDocuments(const Period& p, int customers, int bazaryabs) {
  Rng rng = p.YearStream("R_FactorForosh");
  const int kalas = p.Count(30);
  const int invoices = p.Count(10, 500000);
  Writers inv(p, "R_FactorForosh", "R_DetailFactorForosh", "R_Factor_Relate_FactCata");
  Writers pre(p, "R_PreFactorForosh", "R_DetailPreFactorForosh", "R_PreFactor_Relate_FactCata");
  RowWriter pay(p.run, "R_NaghdPay",
                "SanadNoForosh, TypeAction, CustomerCod, SerialSanadog, Takfif, PayValue, "
                "CustomerNam");
  RowWriter serial(p.run, "R_SellSerial",
                   "SanadNoForosh, TypeAction, TypeFactor, SellRaj, Raj, CountNo, KalaSerialNo, "
                   "CreateDate, ExpDate");
  RowWriter types(p.run, "R_Factor_Relate_TypeFactor", "TypeFactorCode, SanadNoforosh, TypeAction");
  const char* factorNames[] = {"تخفيف نقدي", "هزينه حمل"};
  int serialNo = 0;

  // Header, lines (with their serials) and factors of one document; returns its total.
  auto write = [&](Writers& w, const Doc& d, const std::string& typeAction, int lineCount,
                   const char* typeFactor, const std::string& des) {
    w.head.Add({Lit(d.no), Lit(typeAction), Lit(d.no2), Lit(d.pre), Lit(d.date), Lit(""),
                Lit(d.voided ? "T" : "F"),
                Lit("تهران خيابان " + std::to_string(rng.Between(1, 90))), Lit(des),
                Lit(Code(1, 4)), Lit(d.customer), Lit(d.bazaryab),
                Lit(Code(rng.Between(1, 99999), 6)), Lit("WS-SALES"), Lit("مدير"), Lit(d.date)});
    double total = 0;
    for (int r = 1; r <= lineCount; ++r) {
      // The first document of each kind sells a serial-numbered item on its first line.
      int item = Present(p, rng, kalas);
      if (r == 1 && d.no == Aligned(1)) item = 0;
      bool serialItem = item % 9 == 0;
      double qty = static_cast<double>(serialItem ? rng.Between(1, 3) : rng.Between(1, 20));
      double fee = static_cast<double>(rng.Between(10, 900) * 1000);
      double buy = fee * 0.8;
      double discount = r == 1 ? qty * fee * 0.05 : 0;
      double tax = (qty * fee - discount) * 0.09;
      total += qty * fee - discount + tax;
      w.lines.Add({Lit(d.no), Lit(typeAction), Lit(r), Lit(Code(item + 1, 8)), Lit(""), Lit(qty),
                   Lit(qty), Lit(0.0), Lit(fee), Lit(qty * fee), Lit(buy), Lit(qty * buy),
                   Lit(r == 1 ? 5.0 : 0.0), Lit(discount), Lit(9.0), Lit(tax), Lit(1.0),
                   Lit(tax / 9), Lit(r == 3 && qty > 15 ? "T" : "F")});
      if (!serialItem) continue;
      for (int k = 1; k <= static_cast<int>(qty); ++k)
        serial.Add({Lit(d.no), Lit(typeAction), Lit(typeFactor), Lit(r), Lit(k), Lit(1),
                    Lit("SN" + p.year + "-" + Code(++serialNo, 6)), Lit(p.year + "/01/01"),
                    Lit(std::to_string(std::stoi(p.year) + 2) + "/12/29")});
    }
    if (rng.Chance(40)) {
      int f = static_cast<int>(rng.Between(0, 1));
      w.factors.Add({Lit(d.no), Lit(typeAction), Lit(Code(f + 1, 3)),
                     Lit(p.Name(factorNames[f], f)), Lit("1"), Lit(static_cast<double>(f)),
                     Lit(f ? "+" : "-"), Lit("+"),
                     Lit(static_cast<double>(rng.Between(1, 50) * 1000))});
    }
    return total;
  };

  // Pre-invoices: a quarter of the invoices come from one, and a few stay open.
  const int pres = invoices / 4 + 1 + p.Count(2);
  std::vector<Doc> preDocs;
  for (int n = 1; n <= pres; ++n) {
    Doc d{Aligned(n),
          p.Date(rng),
          Code(Present(p, rng, customers) + 1, 10),
          Code(Present(p, rng, bazaryabs) + 1, 6),
          "",
          ""};
    write(pre, d, "1", 2, "1", "پيش فاکتور");
    preDocs.push_back(d);
  }
  for (int n = 1; n <= pres / 3; ++n) {
    const Doc& of = preDocs[static_cast<size_t>(n * 3 - 1)];
    Doc d{Aligned(n), of.date, of.customer, of.bazaryab, "", of.no};
    write(pre, d, "2", 1, "1", "برگشت پيش فاکتور " + std::to_string(n * 3));
  }

  // Invoices, every fourth from pre-invoice v/4 + 1, half of them paid in cash, every fifth
  // returned in part, one in eleven void.
  int returns = 0;
  for (int v = 1; v <= invoices; ++v) {
    Doc d{Aligned(v),
          p.Date(rng),
          Code(Present(p, rng, customers) + 1, 10),
          Code(Present(p, rng, bazaryabs) + 1, 6),
          "",
          ""};
    if (v % 4 == 1) {
      const Doc& from = preDocs[static_cast<size_t>(v / 4)];
      d.pre = from.no;
      d.customer = from.customer;
      d.bazaryab = from.bazaryab;
    }
    d.voided = v % 11 == 0;
    double total = write(inv, d, "1", 3, "2", "فروش");
    types.Add({Lit(Code(1, 2)), Lit(d.no), Lit("1")});
    if (v % 2 == 0 && !d.voided) {
      double paid = std::floor(total / 2000) * 1000;
      pay.Add({Lit(d.no), Lit("1"), Lit(d.customer), Lit(Code(v, 8)), Lit(1000.0), Lit(paid),
               Lit("مشتري " + d.customer)});
    }
    if (v % 5 == 0) {
      Doc r{Aligned(++returns), d.date, d.customer, d.bazaryab, "", d.no};
      write(inv, r, "2", 1, "2", "برگشت از فروش فاکتور " + std::to_string(v));
      types.Add({Lit(Code(1, 2)), Lit(r.no), Lit("2")});
    }
  }
  inv.Flush();
  pre.Flush();
  pay.Flush();
  serial.Flush();
  types.Flush();
}

}  // namespace xfer::suite::demo
