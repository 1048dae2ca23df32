// Internal pieces of the demo generator: the deterministic random source and the context of
// one period being filled. Not part of the library's public face.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "suite/row_writer.h"
#include "suite/suite.h"

namespace xfer::suite::demo {

// SplitMix64: the same seed gives the same stream on every platform and library version.
class Rng {
 public:
  explicit Rng(std::uint64_t seed) : state_(seed) {}
  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // Uniform in [lo, hi].
  long long Between(long long lo, long long hi) {
    return lo + static_cast<long long>(Next() % static_cast<std::uint64_t>(hi - lo + 1));
  }
  bool Chance(int percent) { return Between(1, 100) <= percent; }
  std::string_view Pick(std::span<const std::string_view> words) {
    return words[static_cast<size_t>(Between(0, static_cast<long long>(words.size()) - 1))];
  }

 private:
  std::uint64_t state_;
};

// How a period relates to its company's master data: the first period of a pair holds every
// row; the following one holds a fifth of them (a few renamed, the clashes a transfer meets) and
// some rows of its own.
enum class Role { Full, Next };

struct Period {
  const DemoRunner& run;
  std::uint64_t seed;  // company seed: equal rows in every period of one company
  int scale;
  Role role;
  std::string code;
  std::string year;
  std::string companyName;
  long long* rowCount;  // master rows written, summed over periods

  // A fresh random stream for one table, the same in every period of the company.
  Rng Stream(std::string_view table) const;
  // A stream of this period's own (documents differ between the years of one company).
  Rng YearStream(std::string_view what) const;
  // Row count of a table at this scale: base * (scale + scale^2 / 25) up to scale 100, base *
  // 5 * scale beyond; at most `cap`.
  int Count(int base, int cap = 1000000) const;
  // Row i of n exists in this period (rows n .. n + n/10 are the later period's own).
  bool Has(int i, int n) const;
  int Extra(int n) const { return n / 10 + 1; }
  // Row i carries another name in the later period than in the first.
  bool Renamed(int i) const { return role == Role::Next && i % 7 == 3; }
  std::string Name(std::string_view base, int i) const;
  // Row i is closed in the later period (IsActive "F"), so some clashing rows differ in more
  // than their name.
  std::string_view Active(int i) const { return role == Role::Next && i % 5 == 2 ? "F" : "T"; }
  // A date of this period's year, yyyy/mm/dd.
  std::string Date(Rng& rng) const;
  // Flushes `w` and adds its rows to the master-row count.
  void Done(RowWriter& w) const {
    w.Flush();
    *rowCount += w.rows();
  }
};

// FNV-1a: a stable hash for deriving streams (std::hash may differ between libraries).
std::uint64_t Hash(std::string_view text);
// Zero-padded decimal code of `width` digits.
std::string Code(long long n, int width);
std::string PersonName(Rng& rng);

void FillAccounting(const Period& p);
// The year's accounting vouchers over the chart of `kolls` general accounts.
void FillVouchers(const Period& p, int kolls);
void FillInventory(const Period& p);
// The year's inventory documents over the first `anbars` warehouses and `kalas` items.
void FillStockDocuments(const Period& p, int anbars, int kalas);
void FillAssets(const Period& p);
void FillTreasury(const Period& p);
// Received and paid cheques and promissory notes of the earlier period, in every state.
void FillCheques(const Period& p);
void FillSales(const Period& p);
// The year's pre-invoices and invoices, their returns, lines, factors, payments and serials.
void FillSalesDocuments(const Period& p, int customers, int bazaryabs);
void FillSystem(const Period& p);

}  // namespace xfer::suite::demo
