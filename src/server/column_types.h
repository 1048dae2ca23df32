// How result columns travel: each field's declared type becomes one of the protocol's column
// types with SQL Server's type code, length, precision, scale and collation, and each value is
// encoded the way that type carries it. Fields whose type nothing declared take a type from
// their values.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/value.h"
#include "server/wire.h"

namespace xfer::server {

enum class TdsType : uint8_t {
  kIntN = 0x26,
  kBitN = 0x68,
  kFloatN = 0x6D,
  kMoneyN = 0x6E,
  kDecimalN = 0x6A,
  kNumericN = 0x6C,
  kDateTimeN = 0x6F,
  kDateN = 0x28,
  kBigVarChar = 0xA7,
  kBigChar = 0xAF,
  kNVarChar = 0xE7,
  kNChar = 0xEF,
  kBigVarBinary = 0xA5,
  kBigBinary = 0xAD,
  kText = 0x23,
  kNText = 0x63,
  kImage = 0x22,
};

struct ColumnType {
  TdsType type = TdsType::kNVarChar;
  uint32_t length = 0;  // bytes: fixed width of numbers, maximum of strings and binaries
  uint8_t precision = 0;
  uint8_t scale = 0;
};

// The column type for a field, widened where a value of the result would not fit.
ColumnType ColumnTypeOf(const engine::Field& field,
                        const std::vector<std::vector<engine::Value>>& rows, size_t column);

// Writes TYPE_INFO of a column (COLMETADATA and RPC return values).
void WriteTypeInfo(ByteWriter& w, const ColumnType& t);
// Writes one value of a column as a row carries it.
void WriteValue(ByteWriter& w, const ColumnType& t, const engine::Value& v);

// The collation every character column carries: case-insensitive, UTF-8.
extern const char kCollation[5];

}  // namespace xfer::server
