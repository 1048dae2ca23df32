// Demo inventory documents of one period: opening stock per warehouse, then receipts, issues,
// transfers between warehouses (an outgoing 85 and an incoming 80 sharing a number), returns,
// increases, decreases and direct deliveries, with serial numbers for the items kept by serial.
// The year is played through in order, so issues never take more than the warehouse holds and
// serial numbers leave only the shelf they are on: the period-end balances are real ones, per
// item and warehouse, in all three units. A few drafts, temporary receipts and item requests
// follow, with tax lines, receipt factors, expense headings and shipping details on some
// documents.
#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>

#include "suite/demo_gen.h"

namespace xfer::suite::demo {
namespace {

// A shelf is one item in one anbar; its serial numbers leave first in, first out. Most shelves
// hold no serials, so they allocate nothing.
struct Shelf {
  double qty = 0;
  std::vector<std::string> serials;
  size_t left = 0;  // serials[0, left) have left the shelf
};

// An anbar's opening stock covers at most this many items of the catalogue, so that the opening
// documents grow with the anbars rather than with anbars times items.
constexpr size_t kOpeningSpan = 2000;

struct Line {
  int kala;  // 1-based item number
  double qty;
  double fee;
  std::vector<std::string> serials;
};

class StockYear {
 public:
  StockYear(const Period& p, std::vector<int> anbars, std::vector<int> kalas)
      : p_(p),
        anbars_(std::move(anbars)),
        kalas_(std::move(kalas)),
        rng_(p.YearStream("A_TranID")),
        head_(p.run, "A_TranID",
              "WhatDoc, AnbarCod, Document, DocDate, PersonelCod, User_Name, TypeSys, TypeSys2, "
              "TransStore, MDes, SherCode, SalMale"),
        lines_(p.run, "A_TranSanj",
               "TranID, Raj, KalaCod, DesKala, MasrafCod, SellersCod, Qty, Qty1, Qty2, Fee, Price"),
        serial_(p.run, "A_TranSerial", "TranID, Raj, KalaCod, KalaSerialNo, CreateDate, ExpDate") {}

  void Play(int documents) {
    for (int a : anbars_) Opening(a);
    const std::pair<const char*, int> kinds[] = {{"30", 33}, {"50", 30}, {"85", 10}, {"35", 5},
                                                 {"55", 5},  {"16", 5},  {"17", 5},  {"70", 7}};
    for (int d = 0; d < documents; ++d) {
      long long roll = rng_.Between(1, 100);
      const char* what = "30";
      for (const auto& [code, share] : kinds) {
        if (roll <= share) {
          what = code;
          break;
        }
        roll -= share;
      }
      int anbar = anbars_[static_cast<size_t>(rng_.Between(0, Last(anbars_)))];
      std::string w(what);
      if (w == "30" || w == "55" || w == "16") {
        Incoming(w, anbar);
      } else if (w == "70") {
        Direct(anbar);
      } else if (w == "85") {
        int to = anbars_[static_cast<size_t>(rng_.Between(0, Last(anbars_)))];
        if (to != anbar) Transfer(anbar, to);
      } else {
        Outgoing(w, anbar);
      }
    }
    head_.Flush();
    lines_.Flush();
    serial_.Flush();
    Pending();
  }

 private:
  static long long Last(const std::vector<int>& v) { return static_cast<long long>(v.size()) - 1; }
  bool Serial(int kala) const { return (kala - 1) % 9 == 0; }
  std::string Kala(int kala) const { return Code(kala, 8); }
  std::string Anbar(int anbar) const { return Code(anbar, 4); }
  std::string Next(const std::string& what, int anbar) {
    return std::to_string(++numbers_[{what, anbar}]);
  }
  int PickKala() { return kalas_[static_cast<size_t>(rng_.Between(0, Last(kalas_)))]; }

  int Header(const std::string& what, int anbar, const std::string& no, const std::string& date,
             int other, const std::string& des) {
    head_.Add({Lit(what), Lit(Anbar(anbar)), Lit(no), Lit(date), Lit(Code(anbar % 8 + 1, 6)),
               Lit("مدير"), Lit("S"), Lit(""), other ? Lit(Anbar(other)) : std::string(kNull),
               Lit(des), Lit(p_.code), Lit(p_.year)});
    return ++tranId_;
  }

  void Write(int tran, const std::string& what, const std::vector<Line>& lines,
             const std::string& date) {
    int raj = 0;
    for (const Line& l : lines) {
      ++raj;
      bool in = what == "30" || what == "55" || what == "16" || what == "10" || what == "80";
      lines_.Add({Lit(tran), Lit(raj), Lit(Kala(l.kala)), Lit(""),
                  in ? std::string(kNull) : Lit(Code(raj % 6 + 1, 3)),
                  what == "30" ? Lit(Code(l.kala % 5 + 1, 10)) : std::string(kNull), Lit(l.qty),
                  Lit(l.qty * 12), Lit(l.qty / 2), Lit(l.fee), Lit(l.qty * l.fee)});
      for (const std::string& s : l.serials)
        serial_.Add({Lit(tran), Lit(raj), Lit(Kala(l.kala)), Lit(s), Lit(date),
                     Lit(std::to_string(std::stoi(p_.year) + 3) + date.substr(4))});
    }
  }

  double Fee(int kala) const { return static_cast<double>((kala * 7919 % 900 + 5) * 1000); }

  // New goods on a shelf: quantities, and for serial items one new serial number per unit.
  Line Arrive(int anbar, int kala, double qty, const std::string& date) {
    Line l{kala, qty, Fee(kala) * (0.9 + static_cast<double>(rng_.Between(0, 20)) / 100), {}};
    Shelf& s = shelves_[{anbar, kala}];
    s.qty += qty;
    if (Serial(kala))
      for (int u = 0; u < static_cast<int>(qty); ++u) {
        std::string serial =
            "SN" + p_.year.substr(2) + Kala(kala).substr(4) + "-" + Code(++serialNo_, 6);
        s.serials.push_back(serial);
        l.serials.push_back(serial);
      }
    (void)date;
    return l;
  }

  // Goods leaving a shelf: never more than it holds; serial items leave by their numbers.
  bool Leave(int anbar, int kala, double wanted, Line& out) {
    auto it = shelves_.find({anbar, kala});
    if (it == shelves_.end() || it->second.qty < 1) return false;
    Shelf& s = it->second;
    double qty = std::min(wanted, std::floor(s.qty));
    out = Line{kala, qty, Fee(kala) * 1.3, {}};
    s.qty -= qty;
    if (Serial(kala))
      for (int u = 0; u < static_cast<int>(qty) && s.left < s.serials.size(); ++u)
        out.serials.push_back(std::move(s.serials[s.left++]));
    return true;
  }

  std::vector<int> Items(int count) {
    std::vector<int> items;
    for (int i = 0; i < count; ++i) {
      int k = PickKala();
      if (std::find(items.begin(), items.end(), k) == items.end()) items.push_back(k);
    }
    return items;
  }

  void Opening(int anbar) {
    std::string date = p_.year + "/01/01";
    std::vector<Line> lines;
    // Each anbar's window starts where the previous one's ended.
    const size_t n = kalas_.size(), span = std::min(n, kOpeningSpan);
    const size_t start = span == n ? 0 : static_cast<size_t>(anbar) * span % n;
    for (size_t i = 0; i < span; ++i)
      if (const int k = kalas_[(start + i) % n]; (k + anbar) % 3 != 0) {
        double qty = static_cast<double>(Serial(k) ? rng_.Between(1, 4) : rng_.Between(10, 120));
        lines.push_back(Arrive(anbar, k, qty, date));
      }
    if (lines.empty()) return;
    int tran = Header("10", anbar, Next("10", anbar), date, 0, "موجودي اول دوره");
    Write(tran, "10", lines, date);
  }

  void Incoming(const std::string& what, int anbar) {
    std::string date = p_.Date(rng_);
    std::vector<Line> lines;
    for (int k : Items(static_cast<int>(rng_.Between(1, 4))))
      lines.push_back(
          Arrive(anbar, k,
                 static_cast<double>(Serial(k) ? rng_.Between(1, 3) : rng_.Between(1, 60)), date));
    int tran = Header(what, anbar, Next(what, anbar), date, 0,
                      what == "30"   ? "رسيد خريد"
                      : what == "55" ? "برگشت از حواله"
                                     : "افزايش");
    Write(tran, what, lines, date);
    if (what == "30") receipts_.push_back(tran);
  }

  void Outgoing(const std::string& what, int anbar) {
    std::string date = p_.Date(rng_);
    std::vector<Line> lines;
    for (int k : Items(static_cast<int>(rng_.Between(1, 4)))) {
      Line l{};
      if (Leave(anbar, k, static_cast<double>(rng_.Between(1, 40)), l)) lines.push_back(l);
    }
    if (lines.empty()) return;
    int tran = Header(what, anbar, Next(what, anbar), date, 0,
                      what == "50"   ? "حواله فروش"
                      : what == "35" ? "برگشت از رسيد"
                                     : "کاهش");
    Write(tran, what, lines, date);
    if (what == "50") issues_.push_back(tran);
  }

  void Direct(int anbar) {
    std::string date = p_.Date(rng_);
    std::vector<Line> lines;
    for (int k : Items(2))
      if (!Serial(k)) lines.push_back(Line{k, 5, Fee(k), {}});
    if (lines.empty()) return;
    int tran = Header("70", anbar, Next("70", anbar), date, 0, "تحويل مستقيم");
    Write(tran, "70", lines, date);
  }

  void Transfer(int from, int to) {
    std::string date = p_.Date(rng_);
    std::vector<Line> lines;
    for (int k : Items(static_cast<int>(rng_.Between(1, 3)))) {
      Line l{};
      if (!Leave(from, k, static_cast<double>(rng_.Between(1, 25)), l)) continue;
      Shelf& s = shelves_[{to, k}];
      s.qty += l.qty;
      for (const std::string& serial : l.serials) s.serials.push_back(serial);
      lines.push_back(l);
    }
    if (lines.empty()) return;
    std::string no = Next("85", from);
    Write(Header("85", from, no, date, to, "نقل به انبار " + Anbar(to)), "85", lines, date);
    Write(Header("80", to, no, date, from, "نقل از انبار " + Anbar(from)), "80", lines, date);
  }

  // Drafts, temporary receipts and item requests, and the details some documents carry.
  void Pending() {
    RowWriter draft(p_.run, "A_TranSanj_Movagat",
                    "WhatDoc, AnbarCod, Document, DocDate, PersonelCod, User_Name, TranID, Raj, "
                    "KalaCod, DesKala, Qty, Qty1, Qty2, Fee, Price");
    for (int i = 0; i < 4; ++i) {
      std::string what = i % 2 ? "50" : "30";
      int anbar = anbars_[static_cast<size_t>(i) % anbars_.size()];
      std::string no = std::to_string(numbers_[{what, anbar}] + 1);
      std::string date = p_.Date(rng_);
      for (int r = 1; r <= 2; ++r) {
        int k = PickKala();
        draft.Add({Lit(what), Lit(Anbar(anbar)), Lit(no), Lit(date), Lit(Code(1, 6)), Lit("مدير"),
                   Lit(i + 1), Lit(r), Lit(Kala(k)), Lit(""), Lit(3.0), Lit(36.0), Lit(1.5),
                   Lit(Fee(k)), Lit(3 * Fee(k))});
      }
    }
    draft.Flush();
    const std::tuple<const char*, const char*, const char*, const char*> families[] = {
        {"400", "A_InterimTranID", "A_InterimTranSanj", "A_InterimTranSerial"},
        {"600", "A_TranIDKALAREQ", "A_TranSanjKALAREQ", "A_TranSerialKALAREQ"}};
    for (const auto& [what, headT, lineT, serialT] : families) {
      RowWriter h(p_.run, headT,
                  "WhatDoc, AnbarCod, Document, DocDate, PersonelCod, User_Name, TypeSys, "
                  "SherCode, SalMale");
      RowWriter l(p_.run, lineT, "TranID, Raj, KalaCod, Qty, Qty1, Qty2, Fee, Price, QtyReq");
      for (int i = 0; i < 3; ++i) {
        int anbar = anbars_[static_cast<size_t>(i) % anbars_.size()];
        h.Add({Lit(what), Lit(Anbar(anbar)), Lit(std::to_string(i + 1)), Lit(p_.Date(rng_)),
               Lit(Code(2, 6)), Lit("مدير"), Lit("S"), Lit(p_.code), Lit(p_.year)});
        for (int r = 1; r <= 2; ++r) {
          int k = PickKala();
          l.Add({Lit(i + 1), Lit(r), Lit(Kala(k)), Lit(2.0), Lit(24.0), Lit(1.0), Lit(Fee(k)),
                 Lit(2 * Fee(k)), Lit(2.0)});
        }
      }
      h.Flush();
      l.Flush();
    }
    RowWriter tax(p_.run, "A_TranTax", "TranID, Raj, TaxCod, TaxNerkh, TaxValue");
    RowWriter factor(p_.run, "Avamel_Resid",
                     "TranID, Serial, CatgagoryCode, CatgagoryName, CatgagoryType, "
                     "CatgagoryMetod, CatgagoryValue");
    for (size_t i = 0; i < receipts_.size(); i += 3) {
      tax.Add({Lit(receipts_[i]), Lit(1), Lit("01"), Lit(9.0), Lit(90000.0)});
      factor.Add({Lit(receipts_[i]), Lit(""), Lit("01"), Lit("کرايه حمل"), Lit("1"), Lit("1"),
                  Lit(250000.0)});
    }
    tax.Flush();
    factor.Flush();
    RowWriter haml(p_.run, "A_HamlInfo", "TranID, Ranandeh, Pelak, BarnamehNo, HamlValue");
    RowWriter head(p_.run, "SarfaslMasraf",
                   "TranID, Raj, Koll, Moein, Tafsily, Tafsily2, ProjectCod, Mablagh");
    for (size_t i = 0; i < issues_.size(); i += 3) {
      haml.Add({Lit(issues_[i]), Lit(PersonName(rng_)), Lit("12ب345-" + Code(i % 99, 2)),
                Lit(Code(static_cast<long long>(i) + 1, 6)), Lit(150000.0)});
      head.Add({Lit(issues_[i]), Lit(1), Lit(Code(1016, 4)), Lit(Code(1, 4)), Lit(""), Lit(""),
                Lit(""), Lit(1000000.0)});
    }
    haml.Flush();
    head.Flush();
  }

  const Period& p_;
  std::vector<int> anbars_;
  std::vector<int> kalas_;
  Rng rng_;
  RowWriter head_, lines_, serial_;
  std::map<std::pair<int, int>, Shelf> shelves_;
  std::map<std::pair<std::string, int>, int> numbers_;
  std::vector<int> receipts_, issues_;
  int tranId_ = 0;
  int serialNo_ = 0;
};

}  // namespace

void FillStockDocuments(const Period& p, int anbars, int kalas) {
  std::vector<int> a, k;
  for (int i = 0; i < anbars; ++i)
    if (p.Has(i, anbars)) a.push_back(i + 1);
  for (int i = 0; i < kalas; ++i)
    if (p.Has(i, kalas)) k.push_back(i + 1);
  if (a.empty() || k.empty()) return;
  StockYear(p, std::move(a), std::move(k)).Play(p.Count(40, 500000));
}

}  // namespace xfer::suite::demo
