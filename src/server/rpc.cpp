#include "server/rpc.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "db/text_util.h"
#include "server/wire.h"

namespace xfer::server {
namespace {

constexpr uint16_t kProcById = 0xFFFF;
constexpr uint16_t kPlpLength = 0xFFFF;
constexpr uint64_t kPlpNull = ~0ull;

std::string Hex(std::string_view bytes) {
  static const char* digits = "0123456789ABCDEF";
  std::string out = "0x";
  for (unsigned char c : bytes) {
    out += digits[c >> 4];
    out += digits[c & 15];
  }
  return out;
}

// Civil date of a day count from 0001-01-01.
std::string DateText(long long days) {
  long long z = days - 719162 + 719468;
  long long era = (z >= 0 ? z : z - 146096) / 146097;
  long long doe = z - era * 146097;
  long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  long long y = yoe + era * 400;
  long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  long long mp = (5 * doy + 2) / 153;
  long long d = doy - (153 * mp + 2) / 5 + 1;
  long long m = mp < 10 ? mp + 3 : mp - 9;
  y += m <= 2;
  char buf[64];
  std::snprintf(buf, sizeof buf, "%04lld-%02lld-%02lld", y, m, d);
  return buf;
}

std::string TimeText(double seconds) {
  auto ms = static_cast<long long>(std::llround(seconds * 1000));
  char buf[96];
  std::snprintf(buf, sizeof buf, "%02lld:%02lld:%02lld.%03lld", ms / 3600000, ms / 60000 % 60,
                ms / 1000 % 60, ms % 1000);
  return buf;
}

long long LittleEndian(std::string_view b, bool isSigned) {
  uint64_t v = 0;
  for (size_t i = 0; i < b.size() && i < 8; ++i)
    v |= static_cast<uint64_t>(static_cast<unsigned char>(b[i])) << (8 * i);
  if (isSigned && b.size() < 8 && (v >> (8 * b.size() - 1)) & 1) v |= ~0ull << (8 * b.size());
  return static_cast<long long>(v);
}

struct TypeInfo {
  uint8_t type = 0;
  uint32_t maxLength = 0;
  uint8_t precision = 0;
  uint8_t scale = 0;
  bool plp = false;
};

TypeInfo ReadTypeInfo(ByteReader& r) {
  TypeInfo t;
  t.type = r.U8();
  switch (t.type) {
    case 0x1F:
    case 0x30:
    case 0x32:
    case 0x34:
    case 0x38:
    case 0x3A:  // fixed length
    case 0x3B:
    case 0x3C:
    case 0x3D:
    case 0x3E:
    case 0x7A:
    case 0x7F:
    case 0x28:  // date
      break;
    case 0x26:
    case 0x68:
    case 0x6D:
    case 0x6E:
    case 0x6F:
    case 0x24:  // one-byte length
      t.maxLength = r.U8();
      break;
    case 0x6A:
    case 0x6C:  // decimal, numeric
      t.maxLength = r.U8();
      t.precision = r.U8();
      t.scale = r.U8();
      break;
    case 0x29:
    case 0x2A:
    case 0x2B:  // time, datetime2, datetimeoffset
      t.scale = r.U8();
      break;
    case 0xA7:
    case 0xAF:
    case 0xE7:
    case 0xEF:  // character types with a collation
      t.maxLength = r.U16();
      t.plp = t.maxLength == kPlpLength;
      r.Bytes(5);
      break;
    case 0xA5:
    case 0xAD:  // binary types
      t.maxLength = r.U16();
      t.plp = t.maxLength == kPlpLength;
      break;
    case 0x23:
    case 0x63:  // text, ntext
      t.maxLength = r.U32();
      r.Bytes(5);
      break;
    case 0x22:  // image
      t.maxLength = r.U32();
      break;
    default:
      throw ProtocolError("parameter of an unsupported type");
  }
  return t;
}

bool IsUnicodeType(uint8_t type) {
  return type == 0xE7 || type == 0xEF || type == 0x63;
}
bool IsCharType(uint8_t type) {
  return type == 0xA7 || type == 0xAF || type == 0x23 || IsUnicodeType(type);
}

// Reads the value of a parameter; returns false for NULL. Character data comes back UTF-8.
bool ReadRaw(ByteReader& r, const TypeInfo& t, std::string& out) {
  if (t.plp) {
    uint64_t total = r.U64();
    if (total == kPlpNull) return false;
    out.clear();
    for (;;) {
      uint32_t chunk = r.U32();
      if (chunk == 0) break;
      out.append(r.Bytes(chunk));
    }
  } else {
    size_t length;
    switch (t.type) {
      case 0x1F:
        return false;
      case 0x30:
      case 0x32:
        length = 1;
        break;
      case 0x34:
        length = 2;
        break;
      case 0x38:
      case 0x3A:
      case 0x3B:
      case 0x7A:
        length = 4;
        break;
      case 0x3C:
      case 0x3D:
      case 0x3E:
      case 0x7F:
        length = 8;
        break;
      case 0xA7:
      case 0xAF:
      case 0xE7:
      case 0xEF:
      case 0xA5:
      case 0xAD: {
        uint16_t n = r.U16();
        if (n == 0xFFFF) return false;
        length = n;
        break;
      }
      case 0x23:
      case 0x63:
      case 0x22: {  // parameters carry no text pointer
        uint32_t n = r.U32();
        if (n == 0xFFFFFFFF) return false;
        length = n;
        break;
      }
      default: {
        uint8_t n = r.U8();
        if (n == 0) return false;
        length = n;
      }
    }
    out = std::string(r.Bytes(length));
  }
  if (IsUnicodeType(t.type)) out = Utf16ToUtf8(out);
  return true;
}

// Whether a value of `length` bytes is one the type can carry.
bool LengthFits(uint8_t type, size_t length) {
  switch (type) {
    case 0x26:
    case 0x68:
    case 0x30:
    case 0x32:
    case 0x34:
    case 0x38:
    case 0x7F:
      return length == 1 || length == 2 || length == 4 || length == 8;
    case 0x6D:
    case 0x3B:
    case 0x3E:
    case 0x6E:
    case 0x3C:
    case 0x7A:
    case 0x6F:
    case 0x3D:
    case 0x3A:
      return length == 4 || length == 8;
    case 0x6A:
    case 0x6C:
      return length >= 2 && length <= 17;
    case 0x28:
      return length == 3;
    case 0x2A:
      return length >= 6 && length <= 8;
    default:
      return true;
  }
}

// The literal and text of a parameter value.
void Render(const TypeInfo& t, const std::string& raw, RpcParam& p) {
  auto number = [&](const std::string& s) {
    p.literal = s;
    p.text = s;
  };
  if (IsCharType(t.type)) {
    p.text = raw;
    p.literal = "N" + db::Quote(raw);
    return;
  }
  if (!LengthFits(t.type, raw.size())) throw ProtocolError("parameter value of a wrong length");
  switch (t.type) {
    case 0x30:
    case 0x32:
    case 0x34:
    case 0x38:
    case 0x7F:
    case 0x26:
    case 0x68:
      number(std::to_string(
          LittleEndian(raw, t.type != 0x30 && !(t.type == 0x26 && raw.size() == 1))));
      return;
    case 0x3B:
    case 0x3E:
    case 0x6D: {
      double d;
      if (raw.size() == 4) {
        float f;
        std::memcpy(&f, raw.data(), 4);
        d = f;
      } else {
        std::memcpy(&d, raw.data(), 8);
      }
      char buf[40];
      std::snprintf(buf, sizeof buf, "%.17g", d);
      number(std::string(buf).find_first_of(".eEn") == std::string::npos ? std::string(buf) + ".0"
                                                                         : buf);
      if (!std::isfinite(d)) number("NULL");
      return;
    }
    case 0x3C:
    case 0x7A:
    case 0x6E: {
      long long units;
      if (raw.size() == 4) {
        units = LittleEndian(raw, true);
      } else {
        units = static_cast<long long>(
            (static_cast<uint64_t>(LittleEndian(raw.substr(0, 4), false)) << 32) |
            static_cast<uint64_t>(LittleEndian(raw.substr(4, 4), false)));
      }
      char buf[40];
      std::snprintf(buf, sizeof buf, "%s%lld.%04lld", units < 0 ? "-" : "",
                    std::llabs(units / 10000), std::llabs(units % 10000));
      number(buf);
      return;
    }
    case 0x6A:
    case 0x6C: {
      if (raw.empty()) throw ProtocolError("empty decimal");
      bool positive = raw[0] != 0;
      auto magnitude = static_cast<unsigned long long>(LittleEndian(raw.substr(1, 8), false));
      std::string digits = std::to_string(magnitude);
      if (t.scale > 0) {
        if (digits.size() <= t.scale) digits.insert(0, t.scale + 1 - digits.size(), '0');
        digits.insert(digits.size() - t.scale, ".");
      }
      number((positive ? "" : "-") + digits);
      return;
    }
    case 0x3D:
    case 0x3A:
    case 0x6F: {
      long long days;
      double seconds;
      if (raw.size() == 4) {
        days = LittleEndian(raw.substr(0, 2), false);
        seconds = 60.0 * static_cast<double>(LittleEndian(raw.substr(2, 2), false));
      } else {
        days = LittleEndian(raw.substr(0, 4), true);
        seconds = static_cast<double>(LittleEndian(raw.substr(4, 4), false)) / 300.0;
      }
      p.text = DateText(days + 693595) + " " + TimeText(seconds);  // 1900-01-01 is day 693595
      p.literal = db::Quote(p.text);
      return;
    }
    case 0x28:
      p.text = DateText(LittleEndian(raw, false));
      p.literal = db::Quote(p.text);
      return;
    case 0x2A: {
      // Time in 10^-scale seconds, then three bytes of date.
      size_t timeBytes = raw.size() - 3;
      double seconds = static_cast<double>(LittleEndian(raw.substr(0, timeBytes), false)) /
                       std::pow(10.0, t.scale);
      p.text = DateText(LittleEndian(raw.substr(timeBytes, 3), false)) + " " + TimeText(seconds);
      p.literal = db::Quote(p.text);
      return;
    }
    case 0xA5:
    case 0xAD:
    case 0x22:
    case 0x24:
      p.text = raw;
      p.literal = raw.empty() ? "0x" : Hex(raw);
      return;
    default:
      throw ProtocolError("parameter of an unsupported type");
  }
}

// Splits "@a int, @b numeric(10, 2) OUTPUT" at the commas outside parentheses.
std::vector<std::string> SplitDeclarations(const std::string& s) {
  std::vector<std::string> out;
  int depth = 0;
  std::string cur;
  for (char c : s) {
    if (c == '(') ++depth;
    if (c == ')') --depth;
    if (c == ',' && depth == 0) {
      out.push_back(cur);
      cur.clear();
    } else {
      cur += c;
    }
  }
  if (!std::string(db::Trim(cur)).empty()) out.push_back(cur);
  return out;
}

}  // namespace

RpcCall ParseRpc(std::string_view body) {
  ByteReader r(body);
  RpcCall call;
  uint16_t nameLength = r.U16();
  if (nameLength == kProcById) {
    call.proc = static_cast<WellKnownProc>(r.U16());
  } else {
    call.name = Utf16ToUtf8(r.Bytes(2u * nameLength));
    std::string lower = db::LowerAscii(call.name);
    if (lower == "sp_executesql") call.proc = WellKnownProc::kExecuteSql;
    if (lower == "sp_prepare") call.proc = WellKnownProc::kPrepare;
    if (lower == "sp_execute") call.proc = WellKnownProc::kExecute;
    if (lower == "sp_prepexec") call.proc = WellKnownProc::kPrepExec;
    if (lower == "sp_unprepare") call.proc = WellKnownProc::kUnprepare;
  }
  r.U16();  // option flags
  while (r.remaining() > 0) {
    RpcParam p;
    p.name = r.BVarChar();
    p.output = (r.U8() & 0x01) != 0;
    TypeInfo t = ReadTypeInfo(r);
    std::string raw;
    if (ReadRaw(r, t, raw)) {
      Render(t, raw, p);
    } else {
      p.literal = "NULL";
    }
    call.params.push_back(std::move(p));
  }
  return call;
}

std::string ParameterizedBatch(const std::string& declarations, const std::string& statement,
                               const std::vector<RpcParam>& values) {
  std::vector<std::string> decls = SplitDeclarations(declarations);
  std::string declare, set;
  for (size_t i = 0; i < decls.size(); ++i) {
    std::string d(db::Trim(decls[i]));
    size_t space = d.find_first_of(" \t\r\n");
    std::string name = d.substr(0, space);
    std::string type =
        space == std::string::npos ? "sql_variant" : std::string(db::Trim(d.substr(space)));
    // OUTPUT parameters are local variables here; their values are not sent back.
    std::string upper = db::UpperAscii(type);
    for (const char* word : {" OUTPUT", " OUT"}) {
      size_t at = upper.rfind(word);
      if (at != std::string::npos && at + std::strlen(word) == upper.size()) {
        type = std::string(db::Trim(type.substr(0, at)));
        break;
      }
    }
    declare += (declare.empty() ? "DECLARE " : ", ") + name + " " + type;
    const RpcParam* value = nullptr;
    for (const auto& v : values)
      if (!v.name.empty() && db::UpperAscii(v.name) == db::UpperAscii(name)) value = &v;
    if (!value && i < values.size() && values[i].name.empty()) value = &values[i];
    if (value) set += "SET " + name + " = " + value->literal + "\n";
  }
  if (declare.empty()) return statement;
  return declare + "\n" + set + statement;
}

std::string ProcedureBatch(const RpcCall& call) {
  std::string sql = "EXEC " + call.name;
  bool first = true;
  for (const auto& p : call.params) {
    sql += first ? " " : ", ";
    first = false;
    if (!p.name.empty()) sql += p.name + " = ";
    sql += p.literal;
  }
  return sql;
}

}  // namespace xfer::server
