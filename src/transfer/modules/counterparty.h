// Settling by hand a listed cheque or promissory note that its document did not settle by
// itself: the user spreads the item's value over the counterparty lines of that document, each
// line at most its remaining credit, the whole exactly the item's value. On success the item
// and its lines go to the registration tables, the lines' credit shrinks for the next item of
// the same document, and the item turns "A". The counterparty forms and the tests drive this.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "transfer/modules/treasury_items.h"

namespace xfer::transfer {

struct CounterpartyLine {
  int raj = 0;
  std::string koll, moein, tafsily, tafsily2, projectCod, manabehCod, des;
  double credit = 0;  // what is left of the line (currency units for a currency cheque)
  double amount = 0;  // what the user gives this item
  std::optional<double> nerkh;
};

namespace counterparty_text {
inline constexpr const char* kAboveCredit = "مبلغ بايد كوچكتر مساوي بستانكاري باشد !";
inline constexpr const char* kChequeTotal = "مبلغ وارد شده با مبلغ چك برابر نمي باشد !";
inline constexpr const char* kNoteTotal = "مبلغ وارد شده با مبلغ سفته برابر نمي باشد !";
}  // namespace counterparty_text

class Counterparty {
 public:
  // A cheque of the listed cheque page.
  Counterparty(TreasuryItems& items, const ChequeRow& cheque);
  // A note of the listed note page of `kind`.
  Counterparty(TreasuryItems& items, ItemKind kind, const NoteRow& note);

  std::vector<CounterpartyLine>& lines() { return lines_; }
  // True for a currency cheque: amounts are typed in currency units.
  bool currency() const { return currency_; }
  double value() const { return value_; }

  // An amount for a line; above the line's credit it is refused with the message.
  bool SetAmount(size_t line, double amount);
  // The line's whole credit (Ctrl+C), or the item's whole value (Ctrl+M).
  void CopyCredit(size_t line);
  void WholeValue(size_t line);
  // Writes the distribution; false, with the message, when the amounts do not add up to the
  // item's value to the rial.
  bool Commit();

 private:
  void Load();
  bool CommitCheque();
  bool CommitNote();

  TreasuryItems& items_;
  bool note_ = false;
  ItemKind kind_ = ItemKind::kReceived;
  int serial_ = 0;
  std::string number_, joz_;
  double value_ = 0;
  long long ref_ = 0;
  bool currency_ = false;
  std::vector<CounterpartyLine> lines_;
};

}  // namespace xfer::transfer
