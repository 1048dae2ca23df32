// Type classes and client-visible sizes of declared types. SQL Server's storage lengths are
// what COL_LENGTH and syscolumns.length report: n for varchar(n), 2n for nvarchar(n), 4 for int.
#include "engine/types.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <string_view>

namespace xfer::engine {
namespace {

struct TypeRow {
  std::string_view name;
  TypeClass cls;
  FieldKind kind;
  int length;  // fixed storage length; -1: from the declared length
};

// One row per base type name.
constexpr TypeRow kTypes[] = {
    {"bit", TypeClass::Int, FieldKind::Integer, 1},
    {"tinyint", TypeClass::Int, FieldKind::Integer, 1},
    {"smallint", TypeClass::Int, FieldKind::Integer, 2},
    {"int", TypeClass::Int, FieldKind::Integer, 4},
    {"integer", TypeClass::Int, FieldKind::Integer, 4},
    {"bigint", TypeClass::Int, FieldKind::Integer, 8},
    {"float", TypeClass::Float, FieldKind::Float, 8},
    {"real", TypeClass::Float, FieldKind::Float, 4},
    {"money", TypeClass::Decimal, FieldKind::Float, 8},
    {"smallmoney", TypeClass::Decimal, FieldKind::Float, 4},
    {"numeric", TypeClass::Decimal, FieldKind::Float, -1},
    {"decimal", TypeClass::Decimal, FieldKind::Float, -1},
    {"char", TypeClass::String, FieldKind::String, -1},
    {"varchar", TypeClass::String, FieldKind::String, -1},
    {"nchar", TypeClass::String, FieldKind::String, -1},
    {"nvarchar", TypeClass::String, FieldKind::String, -1},
    {"sysname", TypeClass::String, FieldKind::String, 256},
    {"text", TypeClass::Text, FieldKind::Memo, 16},
    {"ntext", TypeClass::Text, FieldKind::Memo, 16},
    {"binary", TypeClass::Blob, FieldKind::Blob, -1},
    {"varbinary", TypeClass::Blob, FieldKind::Blob, -1},
    {"image", TypeClass::Blob, FieldKind::Blob, 16},
    {"datetime", TypeClass::DateTime, FieldKind::Date, 8},
    {"smalldatetime", TypeClass::DateTime, FieldKind::Date, 4},
    {"date", TypeClass::DateTime, FieldKind::Date, 3},
    {"datetime2", TypeClass::DateTime, FieldKind::Date, 8},
    {"uniqueidentifier", TypeClass::String, FieldKind::Other, 16},
};

const TypeRow* Find(std::string_view name) {
  for (const auto& r : kTypes)
    if (r.name == name) return &r;
  return nullptr;
}

int DecimalLength(int precision) {
  if (precision < 0) precision = 18;
  if (precision <= 9) return 5;
  if (precision <= 19) return 9;
  if (precision <= 28) return 13;
  return 17;
}

}  // namespace

TypeClass ClassOf(const TypeName& t) {
  const TypeRow* r = Find(t.name);
  return r ? r->cls : TypeClass::Unknown;
}

FieldKind KindOf(const TypeName& t) {
  const TypeRow* r = Find(t.name);
  if (!r) return FieldKind::Other;
  if (r->kind == FieldKind::String && t.length == -2) return FieldKind::Memo;  // (max)
  if (r->kind == FieldKind::Blob && t.length == -2) return FieldKind::Blob;
  return r->kind;
}

int StorageLength(const TypeName& t) {
  const TypeRow* r = Find(t.name);
  if (!r) return 0;
  if (r->length >= 0) return r->length;
  if (t.name == "numeric" || t.name == "decimal") return DecimalLength(t.precision);
  if (t.length == -2) return -1;  // (max) reports -1
  int n = t.length < 0 ? 1 : t.length;
  return (t.name == "nchar" || t.name == "nvarchar") ? 2 * n : n;
}

TypeName ParseTypeText(const std::string& text) {
  TypeName t;
  size_t open = text.find('(');
  std::string base = text.substr(0, open);
  while (!base.empty() && base.back() == ' ') base.pop_back();
  for (char& c : base) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  // Our tables declare identity columns as "int identity": the base type is the first word.
  if (size_t sp = base.find(' '); sp != std::string::npos) base = base.substr(0, sp);
  t.name = base;
  if (open == std::string::npos) return t;
  size_t close = text.find(')', open);
  std::string inner =
      text.substr(open + 1, close == std::string::npos ? std::string::npos : close - open - 1);
  size_t comma = inner.find(',');
  std::string first = inner.substr(0, comma);
  bool isMax = first.find_first_not_of(" ") != std::string::npos &&
               (first.find("max") != std::string::npos || first.find("MAX") != std::string::npos);
  bool numericType = t.name == "numeric" || t.name == "decimal" || t.name == "float";
  // Stored tables write (max) as (-1): SQLite's type names take numbers only.
  if (isMax || first.find("-1") != std::string::npos) {
    t.length = -2;
  } else if (numericType) {
    t.precision = std::atoi(first.c_str());
    if (comma != std::string::npos) t.scale = std::atoi(inner.c_str() + comma + 1);
  } else {
    t.length = std::atoi(first.c_str());
  }
  return t;
}

std::string StoredTypeText(const TypeName& t) {
  // A decimal wider than a double's 15 digits may hold its exact digits as text: "blob" in the
  // SQLite type name keeps SQLite from turning that text into a rounded REAL. Readers take the
  // first word of the name for the type.
  if ((t.name == "numeric" || t.name == "decimal") && t.precision > 15) {
    std::string text = t.Text();
    size_t open = text.find('(');
    return text.substr(0, open) + " blob" + (open == std::string::npos ? "" : text.substr(open));
  }
  if (t.length != -2) return t.Text();
  return t.name + "(-1)";
}

}  // namespace xfer::engine

namespace xfer::engine {
namespace {

bool IsMoney(const ExprType& t) {
  return t.declared.name == "money" || t.declared.name == "smallmoney";
}

}  // namespace

DecimalShape ShapeOf(const ExprType& t) {
  const std::string& n = t.declared.name;
  if (t.cls == TypeClass::Int) {
    if (t.literalDigits > 0) return {t.literalDigits, 0};
    if (n == "bigint") return {19, 0};
    if (n == "smallint") return {5, 0};
    if (n == "tinyint") return {3, 0};
    if (n == "bit") return {1, 0};
    return {10, 0};
  }
  if (n == "money") return {19, 4};
  if (n == "smallmoney") return {10, 4};
  DecimalShape d;
  if (t.declared.precision > 0) d.precision = t.declared.precision;
  if (t.declared.scale >= 0) d.scale = t.declared.scale;
  return d;
}

ExprType NumericType(int precision, int scale) {
  ExprType t;
  t.cls = TypeClass::Decimal;
  t.declared.name = "numeric";
  t.declared.precision = std::max(1, precision);
  t.declared.scale = std::max(0, scale);
  return t;
}

ExprType DecimalArithmetic(const ExprType& a, const ExprType& b, char op) {
  // Money with money or with integers stays money; a decimal operand makes it a decimal.
  bool aMoney = IsMoney(a), bMoney = IsMoney(b);
  if ((aMoney || bMoney) && a.cls != TypeClass::Float && b.cls != TypeClass::Float &&
      (aMoney || a.cls == TypeClass::Int) && (bMoney || b.cls == TypeClass::Int)) {
    ExprType t = aMoney ? a : b;
    if (aMoney && bMoney && a.declared.name != b.declared.name) t.declared.name = "money";
    t.literalDigits = 0;
    return t;
  }
  DecimalShape x = ShapeOf(a), y = ShapeOf(b);
  int p1 = x.precision, s1 = x.scale, p2 = y.precision, s2 = y.scale;
  int p = 0, s = 0;
  switch (op) {
    case '+':
    case '-':
      s = std::max(s1, s2);
      p = s + std::max(p1 - s1, p2 - s2) + 1;
      break;
    case '*':
      p = p1 + p2 + 1;
      s = s1 + s2;
      break;
    case '/':
      s = std::max(6, s1 + p2 + 1);
      p = p1 - s1 + s2 + s;
      break;
    default:  // %
      s = std::max(s1, s2);
      p = std::min(p1 - s1, p2 - s2) + s;
      break;
  }
  if (p > 38) {
    int integral = p - s;
    if (op == '+' || op == '-' || op == '%') {
      s = std::max(0, std::min(s, 38 - integral));
    } else if (integral < 32) {
      s = std::min(s, 38 - integral);
    } else if (s > 6) {
      s = 6;
    }
    p = 38;
  }
  return NumericType(p, s);
}

ExprType DecimalUnion(const ExprType& a, const ExprType& b) {
  DecimalShape x = ShapeOf(a), y = ShapeOf(b);
  int s = std::max(x.scale, y.scale);
  int p = s + std::max(x.precision - x.scale, y.precision - y.scale);
  return NumericType(std::min(p, 38), s);
}

}  // namespace xfer::engine
