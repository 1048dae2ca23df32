#include "server/column_types.h"

#include "engine/func/exact_decimal.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "engine/engine.h"
#include "engine/types.h"

namespace xfer::server {

// Latin1_General_100_CI_AS_SC_UTF8: locale 0x0409, ignore case, UTF-8, version 2.
const char kCollation[5] = {0x09, 0x04, 0x10, 0x24, 0x00};

namespace {

using engine::Value;

constexpr uint32_t kMaxShortLength = 8000;  // longer strings travel as text

// Days from 0001-01-01 of a civil date (proleptic Gregorian).
long long DaysFromCivil(int y, unsigned m, unsigned d) {
  y -= m <= 2;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<long long>(doe) - 719468 + 719162;  // 1970-01-01 is day 719162
}

struct DateTimeParts {
  long long days = 0;  // since 0001-01-01
  double seconds = 0;  // of the day
};

bool ParseDateTime(const std::string& s, DateTimeParts& out) {
  int y = 0, mo = 0, d = 0, h = 0, mi = 0;
  double sec = 0;
  if (std::sscanf(s.c_str(), "%d-%d-%d", &y, &mo, &d) != 3 || mo < 1 || mo > 12 || d < 1 || d > 31)
    return false;
  size_t t = s.find_first_of(" T", 8);
  if (t != std::string::npos) std::sscanf(s.c_str() + t + 1, "%d:%d:%lf", &h, &mi, &sec);
  out.days = DaysFromCivil(y, static_cast<unsigned>(mo), static_cast<unsigned>(d));
  out.seconds = h * 3600.0 + mi * 60.0 + sec;
  return true;
}

std::string TextOf(const Value& v) {
  if (auto* s = std::get_if<std::string>(&v)) return *s;
  if (auto* b = std::get_if<engine::Blob>(&v)) return b->bytes;
  return engine::FormatValue(v);
}

double NumberOf(const Value& v) {
  if (auto* i = std::get_if<long long>(&v)) return static_cast<double>(*i);
  if (auto* f = std::get_if<double>(&v)) return *f;
  if (auto* s = std::get_if<std::string>(&v)) return std::strtod(s->c_str(), nullptr);
  return 0;
}

long long IntegerOf(const Value& v) {
  if (auto* i = std::get_if<long long>(&v)) return *i;
  if (auto* f = std::get_if<double>(&v)) return std::llround(*f);
  if (auto* s = std::get_if<std::string>(&v)) return std::strtoll(s->c_str(), nullptr, 10);
  return 0;
}

uint32_t DecimalBytes(int precision) {
  if (precision <= 9) return 5;
  if (precision <= 19) return 9;
  if (precision <= 28) return 13;
  return 17;
}

bool IsText(TdsType t) {
  return t == TdsType::kText || t == TdsType::kNText || t == TdsType::kImage;
}
bool IsUnicode(TdsType t) {
  return t == TdsType::kNVarChar || t == TdsType::kNChar || t == TdsType::kNText;
}

// Bytes a value takes in the column. The engine's varchar(n) counts characters, so Persian
// text can take more than n bytes of UTF-8; clients cut values at the announced maximum, so
// such a column is announced as wide as its longest value.
size_t WireLength(TdsType t, const Value& v) {
  std::string s = TextOf(v);
  return IsUnicode(t) ? 2 * Utf16Units(s) : s.size();
}

// The type for a field nothing declared, from its first non-NULL value.
ColumnType FromValues(const engine::Field& f, const std::vector<std::vector<Value>>& rows,
                      size_t column) {
  engine::FieldKind kind = f.kind;
  if (kind == engine::FieldKind::Other) {
    for (const auto& r : rows) {
      const Value& v = r[column];
      if (engine::IsNull(v)) continue;
      if (std::holds_alternative<long long>(v))
        kind = engine::FieldKind::Integer;
      else if (std::holds_alternative<double>(v))
        kind = engine::FieldKind::Float;
      else if (std::holds_alternative<engine::Blob>(v))
        kind = engine::FieldKind::Blob;
      else
        kind = engine::FieldKind::String;
      break;
    }
  }
  switch (kind) {
    case engine::FieldKind::Integer:
      return {TdsType::kIntN, 8};
    case engine::FieldKind::Float:
      return {TdsType::kFloatN, 8};
    case engine::FieldKind::Date:
      return {TdsType::kDateTimeN, 8};
    case engine::FieldKind::Blob:
      return {TdsType::kBigVarBinary, 1};
    default:
      return {TdsType::kBigVarChar, 1};
  }
}

ColumnType FromDeclared(const engine::TypeName& t) {
  const std::string& n = t.name;
  uint32_t len = t.length < 0 ? 1 : static_cast<uint32_t>(t.length);
  if (n == "bit") return {TdsType::kBitN, 1};
  if (n == "tinyint") return {TdsType::kIntN, 1};
  if (n == "smallint") return {TdsType::kIntN, 2};
  if (n == "int" || n == "integer") return {TdsType::kIntN, 4};
  if (n == "bigint") return {TdsType::kIntN, 8};
  if (n == "float") return {TdsType::kFloatN, 8};
  if (n == "real") return {TdsType::kFloatN, 4};
  if (n == "money") return {TdsType::kMoneyN, 8};
  if (n == "smallmoney") return {TdsType::kMoneyN, 4};
  if (n == "numeric" || n == "decimal") {
    int p = t.precision < 0 ? 18 : std::min(t.precision, 38);
    int s = t.scale < 0 ? 0 : std::min(t.scale, p);
    return {n == "numeric" ? TdsType::kNumericN : TdsType::kDecimalN, DecimalBytes(p),
            static_cast<uint8_t>(p), static_cast<uint8_t>(s)};
  }
  if (n == "datetime" || n == "datetime2") return {TdsType::kDateTimeN, 8};
  if (n == "smalldatetime") return {TdsType::kDateTimeN, 4};
  if (n == "date") return {TdsType::kDateN, 3};
  if (n == "text") return {TdsType::kText, 0x7FFFFFFF};
  if (n == "ntext") return {TdsType::kNText, 0x7FFFFFFE};
  if (n == "image") return {TdsType::kImage, 0x7FFFFFFF};
  if (t.length == -2) {
    if (n == "varbinary") return {TdsType::kImage, 0x7FFFFFFF};
    if (n == "nvarchar") return {TdsType::kNText, 0x7FFFFFFE};
    return {TdsType::kText, 0x7FFFFFFF};
  }
  if (n == "char") return {TdsType::kBigChar, len};
  if (n == "varchar") return {TdsType::kBigVarChar, len};
  if (n == "nchar") return {TdsType::kNChar, 2 * len};
  if (n == "nvarchar") return {TdsType::kNVarChar, 2 * len};
  if (n == "sysname") return {TdsType::kNVarChar, 256};
  if (n == "uniqueidentifier") return {TdsType::kBigVarChar, 36};
  if (n == "binary") return {TdsType::kBigBinary, len};
  if (n == "varbinary") return {TdsType::kBigVarBinary, len};
  return {TdsType::kBigVarChar, 1};
}

}  // namespace

ColumnType ColumnTypeOf(const engine::Field& field, const std::vector<std::vector<Value>>& rows,
                        size_t column) {
  ColumnType t = field.declaredType.empty()
                     ? FromValues(field, rows, column)
                     : FromDeclared(engine::ParseTypeText(field.declaredType));
  bool sized = t.type == TdsType::kBigVarChar || t.type == TdsType::kBigChar ||
               t.type == TdsType::kNVarChar || t.type == TdsType::kNChar ||
               t.type == TdsType::kBigVarBinary || t.type == TdsType::kBigBinary;
  if (!sized) return t;
  // A computed or dynamically typed value may be longer than the declaration says.
  size_t longest = t.length;
  for (const auto& r : rows)
    if (!engine::IsNull(r[column])) longest = std::max(longest, WireLength(t.type, r[column]));
  if (longest <= kMaxShortLength) {
    t.length = static_cast<uint32_t>(longest);
    return t;
  }
  if (t.type == TdsType::kBigVarBinary || t.type == TdsType::kBigBinary)
    return {TdsType::kImage, 0x7FFFFFFF};
  if (IsUnicode(t.type)) return {TdsType::kNText, 0x7FFFFFFE};
  return {TdsType::kText, 0x7FFFFFFF};
}

void WriteTypeInfo(ByteWriter& w, const ColumnType& t) {
  w.U8(static_cast<uint8_t>(t.type));
  switch (t.type) {
    case TdsType::kIntN:
    case TdsType::kBitN:
    case TdsType::kFloatN:
    case TdsType::kMoneyN:
    case TdsType::kDateTimeN:
      w.U8(static_cast<uint8_t>(t.length));
      break;
    case TdsType::kDecimalN:
    case TdsType::kNumericN:
      w.U8(static_cast<uint8_t>(t.length));
      w.U8(t.precision);
      w.U8(t.scale);
      break;
    case TdsType::kDateN:
      break;
    case TdsType::kBigVarChar:
    case TdsType::kBigChar:
    case TdsType::kNVarChar:
    case TdsType::kNChar:
      w.U16(static_cast<uint16_t>(t.length));
      w.Bytes(std::string_view(kCollation, 5));
      break;
    case TdsType::kBigVarBinary:
    case TdsType::kBigBinary:
      w.U16(static_cast<uint16_t>(t.length));
      break;
    case TdsType::kText:
    case TdsType::kNText:
    case TdsType::kImage:
      w.U32(t.length);
      if (t.type != TdsType::kImage) w.Bytes(std::string_view(kCollation, 5));
      w.U8(0);  // no table name parts
      break;
  }
}

void WriteValue(ByteWriter& w, const ColumnType& t, const Value& v) {
  bool null = engine::IsNull(v);
  if (IsText(t.type)) {
    if (null) {
      w.U8(0);
      return;
    }
    std::string data = t.type == TdsType::kNText ? Utf8ToUtf16(TextOf(v)) : TextOf(v);
    w.U8(16);
    w.Bytes(std::string(16, '\0'));  // text pointer
    w.Bytes(std::string(8, '\0'));   // time stamp
    w.U32(static_cast<uint32_t>(data.size()));
    w.Bytes(data);
    return;
  }
  switch (t.type) {
    case TdsType::kBigVarChar:
    case TdsType::kBigChar:
    case TdsType::kBigVarBinary:
    case TdsType::kBigBinary:
    case TdsType::kNVarChar:
    case TdsType::kNChar: {
      if (null) {
        w.U16(0xFFFF);
        return;
      }
      std::string data = IsUnicode(t.type) ? Utf8ToUtf16(TextOf(v)) : TextOf(v);
      if (data.size() > 0xFFFE) data.resize(0xFFFE);
      w.U16(static_cast<uint16_t>(data.size()));
      w.Bytes(data);
      return;
    }
    default:
      break;
  }
  if (null) {
    w.U8(0);
    return;
  }
  switch (t.type) {
    case TdsType::kIntN: {
      long long i = IntegerOf(v);
      w.U8(static_cast<uint8_t>(t.length));
      for (uint32_t k = 0; k < t.length; ++k)
        w.U8(static_cast<uint8_t>(static_cast<uint64_t>(i) >> (8 * k)));
      return;
    }
    case TdsType::kBitN:
      w.U8(1);
      w.U8(IntegerOf(v) != 0 ? 1 : 0);
      return;
    case TdsType::kFloatN: {
      double d = NumberOf(v);
      w.U8(static_cast<uint8_t>(t.length));
      if (t.length == 4) {
        float f = static_cast<float>(d);
        uint32_t bits;
        std::memcpy(&bits, &f, 4);
        w.U32(bits);
      } else {
        uint64_t bits;
        std::memcpy(&bits, &d, 8);
        w.U64(bits);
      }
      return;
    }
    case TdsType::kMoneyN: {
      auto units = static_cast<long long>(std::llround(NumberOf(v) * 10000.0));
      w.U8(static_cast<uint8_t>(t.length));
      if (t.length == 4) {
        w.U32(static_cast<uint32_t>(units));
      } else {
        w.U32(static_cast<uint32_t>(static_cast<uint64_t>(units) >> 32));
        w.U32(static_cast<uint32_t>(units & 0xFFFFFFFF));
      }
      return;
    }
    case TdsType::kDecimalN:
    case TdsType::kNumericN: {
      // Exact to 38 digits: a wide value arrives as the text of its digits.
      engine::func::Decimal d;
      bool ok = false;
      if (auto* i = std::get_if<long long>(&v)) {
        d = engine::func::DecimalFromInt(*i);
        ok = true;
      } else if (auto* f = std::get_if<double>(&v)) {
        ok = engine::func::DecimalFromDouble(*f, t.scale, &d);
      } else if (auto* s = std::get_if<std::string>(&v)) {
        ok = engine::func::ParseDecimal(*s, &d);
      }
      if (!ok || engine::func::Rescale(d, engine::func::kMaxDecimalDigits, t.scale, &d) !=
                     engine::func::DecimalStatus::Ok)
        d = engine::func::Decimal{};
      w.U8(static_cast<uint8_t>(t.length));
      w.U8(d.negative ? 0 : 1);
      for (uint32_t k = 0; k + 1 < t.length; ++k)
        w.U8(k < 16 ? static_cast<uint8_t>(d.digits >> (8 * k)) : 0);
      return;
    }
    case TdsType::kDateTimeN: {
      DateTimeParts p;
      ParseDateTime(TextOf(v), p);
      long long days1900 = p.days - DaysFromCivil(1900, 1, 1);
      w.U8(static_cast<uint8_t>(t.length));
      if (t.length == 4) {
        w.U16(static_cast<uint16_t>(days1900));
        w.U16(static_cast<uint16_t>(p.seconds / 60));
      } else {
        w.U32(static_cast<uint32_t>(days1900));
        w.U32(static_cast<uint32_t>(std::llround(p.seconds * 300.0)));
      }
      return;
    }
    case TdsType::kDateN: {
      DateTimeParts p;
      ParseDateTime(TextOf(v), p);
      w.U8(3);
      w.U8(static_cast<uint8_t>(p.days));
      w.U8(static_cast<uint8_t>(p.days >> 8));
      w.U8(static_cast<uint8_t>(p.days >> 16));
      return;
    }
    default:
      w.U8(0);
  }
}

}  // namespace xfer::server
