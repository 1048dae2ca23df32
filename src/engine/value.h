// Values and fields of result sets, shared by the engine, the record sets of the session
// layer and the command-line printer.
#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace xfer::engine {

struct Blob {
  std::string bytes;
  bool operator==(const Blob&) const = default;
};

// NULL, integer, float, UTF-8 text or binary.
using Value = std::variant<std::monostate, long long, double, std::string, Blob>;

inline bool IsNull(const Value& v) {
  return std::holds_alternative<std::monostate>(v);
}

// The kind a client sees for a field, as an ADO field type would tell it.
enum class FieldKind { String, Integer, Float, Memo, Blob, Date, Other };

struct Field {
  std::string name;
  FieldKind kind = FieldKind::Other;
  int size = 0;              // declared size: n of varchar(n), 4 for int, 8 for float...
  std::string declaredType;  // as declared, e.g. "varchar(20)"; empty for computed columns
  std::string baseTable;     // table the column comes from, when a plain column reference
  std::string baseColumn;
};

struct ResultSet {
  std::vector<Field> fields;
  std::vector<std::vector<Value>> rows;
};

}  // namespace xfer::engine
