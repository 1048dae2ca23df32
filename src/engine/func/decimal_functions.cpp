// numeric, decimal and money arithmetic and sums as SQLite functions, exact to 38 digits.
//
// A decimal travels through SQLite as an INTEGER when it is whole, as a REAL when it has at
// most 15 significant digits (a double reads back as exactly that decimal by its shortest
// form, so stored values compare, sort and index as numbers natively), and as text of its
// digits beyond that. The renderer passes each operand's static scale, so a REAL operand is
// read back at its own scale before the exact operation.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/func/exact_decimal.h"
#include "engine/func/func_common.h"

namespace xfer::engine::func {

bool ArgDecimal(sqlite3_context* ctx, sqlite3_value* v, int scale, const char* typeName,
                Decimal* out) {
  switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER:
      *out = DecimalFromInt(sqlite3_value_int64(v));
      return true;
    case SQLITE_FLOAT:
      if (DecimalFromDouble(sqlite3_value_double(v), scale, out)) return true;
      RaiseError(
          ctx, 8115,
          std::string("Arithmetic overflow error converting float to data type ") + typeName + ".");
      return false;
    default:
      if (ParseDecimal(ArgText(v), out)) return true;
      RaiseError(ctx, 8114, std::string("Error converting data type varchar to ") + typeName + ".");
      return false;
  }
}

void ResultDecimal(sqlite3_context* ctx, const Decimal& d) {
  const Value v = StoredDecimal(d);
  if (const auto* i = std::get_if<long long>(&v)) return sqlite3_result_int64(ctx, *i);
  if (const auto* x = std::get_if<double>(&v)) return sqlite3_result_double(ctx, *x);
  ResultText(ctx, std::get<std::string>(v));
}

void DecimalOverflow(sqlite3_context* ctx, const std::string& typeName) {
  RaiseError(ctx, 8115,
             "Arithmetic overflow error converting expression to data type " + typeName + ".");
}

// Money holds what a 64-bit count of ten-thousandths holds, not 19 full digits.
bool MoneyRange(const Decimal& d, const std::string& typeName) {
  if (typeName == "smallmoney")
    return d.digits <= static_cast<Uint128>(2147483647) + (d.negative ? 1u : 0u);
  if (typeName == "money")
    return d.digits <= static_cast<Uint128>(INT64_MAX) + (d.negative ? 1u : 0u);
  return true;
}

namespace {

// xf_dec(op, a, b, scaleA, scaleB, precision, scale, type): a op b as numeric(precision,
// scale) or money, the type named in overflow errors.
void DecimalOperator(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (IsNull(argv[1]) || IsNull(argv[2])) return sqlite3_result_null(ctx);
  const std::string op = ArgText(argv[0]);
  const std::string typeName = ArgText(argv[7]);
  Decimal a, b, r;
  if (!ArgDecimal(ctx, argv[1], sqlite3_value_int(argv[3]), typeName.c_str(), &a) ||
      !ArgDecimal(ctx, argv[2], sqlite3_value_int(argv[4]), typeName.c_str(), &b))
    return;
  const int precision = sqlite3_value_int(argv[5]);
  const int scale = sqlite3_value_int(argv[6]);
  const DecimalStatus status = DecimalArithmetic(op[0], a, b, precision, scale, &r);
  if (status == DecimalStatus::DivideByZero)
    return RaiseError(ctx, 8134, "Divide by zero error encountered.");
  if (status == DecimalStatus::Overflow || !MoneyRange(r, typeName))
    return DecimalOverflow(ctx, typeName);
  ResultDecimal(ctx, r);
}

// xf_dcmp(a, b): -1, 0 or 1 by exact value; NULL when either is NULL.
void DecimalCompare(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (IsNull(argv[0]) || IsNull(argv[1])) return sqlite3_result_null(ctx);
  Decimal a, b;
  if (!ArgDecimal(ctx, argv[0], -1, "numeric", &a) || !ArgDecimal(ctx, argv[1], -1, "numeric", &b))
    return;
  sqlite3_result_int(ctx, CompareDecimal(a, b));
}

// xf_dkey(x): bytes that sort as the decimal values do, so that values held as text (beyond
// fifteen digits) order among those held as numbers. Zero is one byte between the signs; the
// rest is the sign, the place of the first digit and the digits, all inverted when negative.
void DecimalKey(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (IsNull(argv[0])) return sqlite3_result_null(ctx);
  Decimal d;
  if (!ArgDecimal(ctx, argv[0], -1, "numeric", &d)) return;
  std::string digits;
  for (Uint128 x = d.digits; x; x /= 10)
    digits.insert(digits.begin(), static_cast<char>('0' + x % 10));
  std::string key;
  if (digits.empty()) {
    key.push_back('\x01');
  } else {
    const int exponent = static_cast<int>(digits.size()) - d.scale;
    while (digits.back() == '0') digits.pop_back();
    std::string body(1, static_cast<char>(exponent + 128));
    body += digits;
    body.push_back('\0');  // a shorter run of digits is the smaller value
    if (d.negative)
      for (char& c : body) c = static_cast<char>(~c);
    key.push_back(d.negative ? '\x00' : '\x02');
    key += body;
  }
  sqlite3_result_blob(ctx, key.data(), static_cast<int>(key.size()), SQLITE_TRANSIENT);
}

// The state of an aggregate in SQLite's zeroed memory, which is only 8-byte aligned: a 128-bit
// field wants 16.
template <class T>
T* State(sqlite3_context* ctx, bool create) {
  void* raw = sqlite3_aggregate_context(ctx, create ? static_cast<int>(sizeof(T) + alignof(T)) : 0);
  if (!raw) return nullptr;
  auto at = reinterpret_cast<uintptr_t>(raw);
  at = (at + alignof(T) - 1) & ~(static_cast<uintptr_t>(alignof(T)) - 1);
  return reinterpret_cast<T*>(at);
}

// SUM and AVG of decimals and money: an exact running total.
struct Total {
  Decimal sum;
  long long count = 0;
  bool failed = false;
};

void Accumulate(sqlite3_context* ctx, Total* t, sqlite3_value** argv) {
  if (!t || t->failed || IsNull(argv[0])) return;
  const int scale = sqlite3_value_int(argv[1]);
  const std::string typeName = ArgText(argv[2]);
  Decimal x;
  if (!ArgDecimal(ctx, argv[0], scale, typeName.c_str(), &x)) {
    t->failed = true;
    return;
  }
  if (DecimalArithmetic('+', t->sum, x, kMaxDecimalDigits, scale, &t->sum) != DecimalStatus::Ok ||
      !MoneyRange(t->sum, typeName)) {
    t->failed = true;
    return DecimalOverflow(ctx, typeName);
  }
  ++t->count;
}

struct Average : Total {
  int scale = 0;
};

// A row leaving a window frame: its value comes off the total again.
void Withdraw(sqlite3_context* ctx, Total* t, sqlite3_value** argv) {
  if (!t || t->failed || IsNull(argv[0])) return;
  const int scale = sqlite3_value_int(argv[1]);
  const std::string typeName = ArgText(argv[2]);
  Decimal x;
  if (!ArgDecimal(ctx, argv[0], scale, typeName.c_str(), &x) ||
      DecimalArithmetic('-', t->sum, x, kMaxDecimalDigits, scale, &t->sum) != DecimalStatus::Ok) {
    t->failed = true;
    return;
  }
  --t->count;
}

// xf_dsum(x, scale, type)
void SumStep(sqlite3_context* ctx, int, sqlite3_value** argv) {
  Accumulate(ctx, State<Total>(ctx, true), argv);
}

void SumInverse(sqlite3_context* ctx, int, sqlite3_value** argv) {
  Withdraw(ctx, State<Total>(ctx, true), argv);
}

void AvgInverse(sqlite3_context* ctx, int, sqlite3_value** argv) {
  Withdraw(ctx, State<Average>(ctx, true), argv);
}

void SumFinal(sqlite3_context* ctx) {
  auto* t = State<Total>(ctx, false);
  if (!t || t->failed || t->count == 0) return sqlite3_result_null(ctx);
  ResultDecimal(ctx, t->sum);
}

// xf_davg(x, scale, type, avgScale)
void AvgStep(sqlite3_context* ctx, int, sqlite3_value** argv) {
  auto* a = State<Average>(ctx, true);
  if (!a) return;
  a->scale = sqlite3_value_int(argv[3]);
  Accumulate(ctx, a, argv);
}

// The total divided by the count, cut (not rounded) at the average's scale.
void AvgFinal(sqlite3_context* ctx) {
  auto* a = State<Average>(ctx, false);
  if (!a || a->failed || a->count == 0) return sqlite3_result_null(ctx);
  Decimal q;
  if (DecimalArithmetic('/', a->sum, DecimalFromInt(a->count), kMaxDecimalDigits, a->scale + 1,
                        &q) != DecimalStatus::Ok)
    return DecimalOverflow(ctx, "numeric");
  q.digits /= 10;  // the extra place is cut off
  q.scale -= 1;
  if (q.digits == 0) q.negative = false;
  ResultDecimal(ctx, q);
}

// MIN and MAX of decimals wider than a double: compared exactly, whatever SQLite holds them as.
// The values of the frame are kept, since a row leaving a window frame may be the extreme.
struct Extremes {
  std::vector<Decimal>* values = nullptr;
  bool failed = false;
};

void ExtremeStep(sqlite3_context* ctx, int, sqlite3_value** argv) {
  auto* e = State<Extremes>(ctx, true);
  if (!e || e->failed || IsNull(argv[0])) return;
  Decimal x;
  if (!ArgDecimal(ctx, argv[0], -1, "numeric", &x)) {
    e->failed = true;
    return;
  }
  if (!e->values) e->values = new std::vector<Decimal>;
  e->values->push_back(x);
}

void ExtremeInverse(sqlite3_context* ctx, int, sqlite3_value** argv) {
  auto* e = State<Extremes>(ctx, true);
  if (!e || e->failed || !e->values || IsNull(argv[0])) return;
  Decimal x;
  if (!ArgDecimal(ctx, argv[0], -1, "numeric", &x)) return;
  for (auto it = e->values->begin(); it != e->values->end(); ++it)
    if (CompareDecimal(*it, x) == 0) {
      e->values->erase(it);
      return;
    }
}

template <int Sign>
void ExtremeValue(sqlite3_context* ctx) {
  auto* e = State<Extremes>(ctx, false);
  if (!e || e->failed || !e->values || e->values->empty()) return sqlite3_result_null(ctx);
  const Decimal* best = &e->values->front();
  for (const Decimal& d : *e->values)
    if (CompareDecimal(d, *best) * Sign < 0) best = &d;
  ResultDecimal(ctx, *best);
}

template <int Sign>
void ExtremeFinal(sqlite3_context* ctx) {
  ExtremeValue<Sign>(ctx);
  if (auto* e = State<Extremes>(ctx, false)) {
    delete e->values;
    e->values = nullptr;
  }
}

}  // namespace

int RegisterDecimalFunctions(sqlite3* db) {
  const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
  int rc = sqlite3_create_function_v2(db, "xf_dec", 8, flags, nullptr, DecimalOperator, nullptr,
                                      nullptr, nullptr);
  if (rc == SQLITE_OK)
    rc = sqlite3_create_function_v2(db, "xf_dcmp", 2, flags, nullptr, DecimalCompare, nullptr,
                                    nullptr, nullptr);
  if (rc == SQLITE_OK)
    rc = sqlite3_create_function_v2(db, "xf_dkey", 1, flags, nullptr, DecimalKey, nullptr, nullptr,
                                    nullptr);
  if (rc == SQLITE_OK)
    rc = sqlite3_create_window_function(db, "xf_dmin", 1, flags, nullptr, ExtremeStep,
                                        ExtremeFinal<1>, ExtremeValue<1>, ExtremeInverse, nullptr);
  if (rc == SQLITE_OK)
    rc =
        sqlite3_create_window_function(db, "xf_dmax", 1, flags, nullptr, ExtremeStep,
                                       ExtremeFinal<-1>, ExtremeValue<-1>, ExtremeInverse, nullptr);
  if (rc == SQLITE_OK)
    rc = sqlite3_create_window_function(db, "xf_dsum", 3, flags, nullptr, SumStep, SumFinal,
                                        SumFinal, SumInverse, nullptr);
  if (rc == SQLITE_OK)
    rc = sqlite3_create_window_function(db, "xf_davg", 4, flags, nullptr, AvgStep, AvgFinal,
                                        AvgFinal, AvgInverse, nullptr);
  return rc;
}

}  // namespace xfer::engine::func
