#include "transfer/modules/counterparty.h"

#include <cmath>
#include <cstdio>

#include "db/text_util.h"
#include "engine/engine.h"
#include "transfer/run/atomic_unit.h"

namespace xfer::transfer {
namespace {

using db::EscapeQuotes;

std::string Num(double x) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.17g", x);
  return buf;
}

std::string Text(const db::ResultSet& rs, size_t row, size_t col) {
  const db::Value& v = rs.rows[row][col];
  return engine::IsNull(v) ? std::string() : std::string(db::Trim(engine::FormatValue(v)));
}

std::optional<double> Number(const std::string& t) {
  if (t.empty()) return std::nullopt;
  try {
    return std::stod(t);
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

// Amounts are rials: equal to the rial means equal but for the noise of float sums.
bool SameRials(double a, double b) {
  return std::fabs(a - b) < 0.005;
}

}  // namespace

Counterparty::Counterparty(TreasuryItems& items, const ChequeRow& cheque)
    : items_(items),
      serial_(cheque.serial),
      number_(cheque.chqNo),
      joz_(cheque.joz),
      value_(cheque.value),
      ref_(cheque.ref),
      currency_(cheque.arzCount.has_value()) {
  Load();
}

Counterparty::Counterparty(TreasuryItems& items, ItemKind kind, const NoteRow& note)
    : items_(items),
      note_(true),
      kind_(kind),
      serial_(note.serial),
      number_(note.saftehNo),
      joz_(note.joz),
      value_(note.value) {
  Load();
}

void Counterparty::Load() {
  // Only the counterparty side of the document, lines with credit left.
  const std::string sql =
      note_ ? "Select Raj, Koll, Moein, Tafsily, Tafsily2, ProjectCod, ManabehCod, Des, "
              "SaftehValue, NULL From " +
                  items_.Table("_SaftehTaraf") + " Where Serial = " + std::to_string(serial_) +
                  " And IsNull(SaftehNo, '') = '' And SaftehValue > 0 Order By Raj"
            : "Select Raj, Koll, Moein, Tafsily, Tafsily2, ProjectCod, ManabehCod, Des, " +
                  std::string(currency_ ? "ArzCount" : "ChqValue") + ", Nerkh From " +
                  items_.Table("_Taraf") + " Where Serial = " + std::to_string(serial_) +
                  " And ChqValue > 0 And (CHQNO Is Null Or CHQNO = '') Order By Raj";
  auto sets = items_.database().connection()->Query(sql);
  if (sets.empty()) return;
  const db::ResultSet& rs = sets.front();
  for (size_t r = 0; r < rs.rows.size(); ++r) {
    CounterpartyLine l;
    l.raj = static_cast<int>(Number(Text(rs, r, 0)).value_or(0));
    l.koll = Text(rs, r, 1);
    l.moein = Text(rs, r, 2);
    l.tafsily = Text(rs, r, 3);
    l.tafsily2 = Text(rs, r, 4);
    l.projectCod = Text(rs, r, 5);
    l.manabehCod = Text(rs, r, 6);
    l.des = Text(rs, r, 7);
    l.credit = Number(Text(rs, r, 8)).value_or(0);
    l.nerkh = Number(Text(rs, r, 9));
    lines_.push_back(std::move(l));
  }
}

bool Counterparty::SetAmount(size_t line, double amount) {
  if (line >= lines_.size()) return false;
  if (amount > lines_[line].credit) {
    items_.dialogs().ShowDlgMsg(counterparty_text::kAboveCredit, "", "1ER");
    return false;
  }
  lines_[line].amount = amount;
  return true;
}

void Counterparty::CopyCredit(size_t line) {
  if (line < lines_.size()) lines_[line].amount = lines_[line].credit;
}

void Counterparty::WholeValue(size_t line) {
  if (line < lines_.size()) lines_[line].amount = value_;
}

bool Counterparty::Commit() {
  return note_ ? CommitNote() : CommitCheque();
}

bool Counterparty::CommitCheque() {
  double sum = 0;
  for (const auto& l : lines_) sum += currency_ ? l.amount * l.nerkh.value_or(0) : l.amount;
  if (!SameRials(sum, value_)) {
    items_.dialogs().ShowDlgMsg(counterparty_text::kChequeTotal, "", "1ER");
    return false;
  }
  db::HostDatabase& db = items_.database();
  const std::string serial = std::to_string(serial_);
  const std::string key = " Serial = " + serial + " And Ltrim(Rtrim(ChqNo)) = '" +
                          EscapeQuotes(number_) + "' And Ltrim(Rtrim(IsNull(Joz, ''))) = '" +
                          EscapeQuotes(joz_) + "'";
  const std::string payColumns =
      "Serial, AcountID, ChqNo, Joz, WhatDoc, WhatDocNam, SanadNo, SanadDate, SarResidDate, "
      "ChqValue, Des, BankCod, ShobehCod, AcountNam, AcountCod, sOrder1, sOrder2, Taraf, "
      "Havaleh, Tazmin, Mojaz, Ref, ArzCount, ArzName, chqgetter, Shobehnam";
  const std::string taraf = items_.Table("_Taraf"), tarafLast = items_.Table("_Taraf_Last");
  RunAtomic(db, [&] {
    for (const auto& l : lines_) {
      if (l.amount <= 0) continue;
      const double rials = currency_ ? l.amount * l.nerkh.value_or(0) : l.amount;
      // The line goes to the registration tables under this cheque's number.
      db.RunSql(" Insert Into " + tarafLast +
                " (Serial, Raj, WhatDoc2, CodWhatDoc2, NamWhatDoc2, Koll, Moein, Tafsily, "
                "Tafsily2, ProjectCod, Joz, ChqNo, ChqValue, Des, ManabehCod, Ref, ArzCount, "
                "Nerkh) Select Serial, Raj, WhatDoc2, CodWhatDoc2, NamWhatDoc2, Koll, Moein, "
                "Tafsily, Tafsily2, ProjectCod, '" +
                EscapeQuotes(joz_) + "', '" + EscapeQuotes(number_) + "', " + Num(rials) +
                ", Des, ManabehCod, Ref, " + (currency_ ? Num(l.amount) : "ArzCount") +
                ", Nerkh From " + taraf + " Where Serial = " + serial +
                " And Raj = " + std::to_string(l.raj) + " And (ChqNo Is Null Or ChqNo = '')");
      db.RunSql(" Update " + taraf + " Set ChqValue = ChqValue - " + Num(rials) +
                (currency_ ? ", ArzCount = ArzCount - " + Num(l.amount) : std::string()) +
                " Where Serial = " + serial + " And Raj = " + std::to_string(l.raj) +
                " And (ChqNo Is Null Or ChqNo = '')");
    }
    db.RunSql(" Insert Into " + items_.Table("_Pay_Last") + " (" + payColumns + ") Select " +
              payColumns + " From " + items_.Table("_Pay") + " Where" + key +
              " And Not Exists (Select * From " + items_.Table("_Pay_Last") + " Where" + key + ")");
    if (ref_ > 0)
      db.RunSql(" Insert Into " + items_.Table("_Arz_Chq_Last") + " Select * from " +
                items_.Table("_Arz_Chq") + " Where IDX = " + std::to_string(ref_) +
                " And IDX Not In (Select IDX From " + items_.Table("_Arz_Chq_Last") + ")");
    db.RunSql(" Insert Into " + items_.Table("_Arz_Taraf_Last") + " Select * From " +
              items_.Table("_Arz_Taraf") + " Where Serial = " + serial +
              " And IDX Not In (Select IDX From " + items_.Table("_Arz_Taraf_Last") + ")");
    db.RunSql(" Update " + items_.Table("_Pay") + " Set Mojaz = 'A' Where" + key);
  });
  return true;
}

bool Counterparty::CommitNote() {
  double sum = 0;
  for (const auto& l : lines_) sum += l.amount;
  if (!SameRials(sum, value_)) {
    items_.dialogs().ShowDlgMsg(counterparty_text::kNoteTotal, "", "1ER");
    return false;
  }
  db::HostDatabase& db = items_.database();
  const std::string serial = std::to_string(serial_);
  const std::string table = items_.Table(kind_ == ItemKind::kReceived ? "_Safteh" : "_SaftehPay");
  const std::string taraf = items_.Table("_SaftehTaraf");
  const std::string key = " Serial = " + serial + " And Ltrim(Rtrim(SaftehNo)) = '" +
                          EscapeQuotes(number_) + "' And Ltrim(Rtrim(IsNull(Joz, ''))) = '" +
                          EscapeQuotes(joz_) + "'";
  RunAtomic(db, [&] {
    for (const auto& l : lines_) {
      if (l.amount <= 0) continue;
      db.RunSql(" Insert Into " + taraf +
                "_Last (IDX, Serial , WhatDoc, WhatDoc2, Raj, CodWhatDoc, CodWhatDoc2, Koll, "
                "Moein,  Tafsily, Tafsily2, ProjectCod, Joz, SaftehNo, Des, ManabehCod, "
                "SaftehValue, TahodValue) Select IDX, Serial, WhatDoc, WhatDoc2, Raj, "
                "CodWhatDoc, CodWhatDoc2, Koll, Moein, Tafsily, Tafsily2, ProjectCod, '" +
                EscapeQuotes(joz_) + "', '" + EscapeQuotes(number_) + "', Des, ManabehCod, " +
                Num(l.amount) + ", TahodValue From " + taraf + " Where Serial = " + serial +
                " And Raj = " + std::to_string(l.raj) + " And IsNull(SaftehNo, '') = ''");
      db.RunSql(" Update " + taraf + " Set SaftehValue = SaftehValue - " + Num(l.amount) +
                " Where Serial = " + serial + " And Raj = " + std::to_string(l.raj) +
                " And IsNull(SaftehNo, '') = ''");
    }
    const std::string columns =
        std::string("IDX, IsFirst, ") +
        (kind_ == ItemKind::kReceived ? "AcountID, BankCod, ShobehCod, AcountCod, AcountNam"
                                      : "CashCod, CashNam") +
        ", Serial, Joz, SaftehNo, SanadNo, Getter, SodorDate, SarResidDate, ActionDate, "
        "LastActionDate, WhatDocNam, LastWhatDoc, LastWhatDocNam, Des, Havaleh, Tazmin, "
        "SaftehValue, sOrder, Status, EghamatPlace, Address, TahodValue, Koll, Moein, Tafsily, "
        "Tafsily2, ProjectCod, SanadDate";
    db.RunSql(" Insert Into " + table + "_Last (" + columns + ") Select " + columns + " From " +
              table + " Where" + key + " And Not Exists (Select * From " + table + "_Last Where" +
              key + ")");
    db.RunSql(" Update " + table + " Set Status = 'A' Where" + key);
  });
  return true;
}

}  // namespace xfer::transfer
