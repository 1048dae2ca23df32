#include "server/tokens.h"

namespace xfer::server {
namespace {

constexpr uint8_t kLoginAck = 0xAD;
constexpr uint8_t kEnvChange = 0xE3;
constexpr uint8_t kInfo = 0xAB;
constexpr uint8_t kError = 0xAA;
constexpr uint8_t kColMetadata = 0x81;
constexpr uint8_t kRow = 0xD1;
constexpr uint8_t kReturnStatus = 0x79;
constexpr uint8_t kReturnValue = 0xAC;
constexpr uint32_t kTds74 = 0x74000004;
constexpr uint16_t kNullable = 0x0001;

// Writes a token whose body is preceded by its two-byte length.
template <typename F>
void Sized(ByteWriter& w, uint8_t token, F body) {
  w.U8(token);
  size_t at = w.size();
  w.U16(0);
  body();
  w.PatchU16(at, static_cast<uint16_t>(w.size() - at - 2));
}

}  // namespace

void WriteLoginAck(ByteWriter& w) {
  Sized(w, kLoginAck, [&] {
    w.U8(1);  // SQL interface
    w.U32BE(kTds74);
    w.BVarChar("Microsoft SQL Server");
    w.U8(16);
    w.U8(0);
    w.U16BE(2000);
  });
}

void WriteEnvChange(ByteWriter& w, EnvChange type, const std::string& newValue,
                    const std::string& oldValue) {
  Sized(w, kEnvChange, [&] {
    w.U8(static_cast<uint8_t>(type));
    w.BVarChar(newValue);
    w.BVarChar(oldValue);
  });
}

void WriteCollationChange(ByteWriter& w) {
  Sized(w, kEnvChange, [&] {
    w.U8(static_cast<uint8_t>(EnvChange::kSqlCollation));
    w.U8(5);
    w.Bytes(std::string_view(kCollation, 5));
    w.U8(0);
  });
}

void WriteTransactionChange(ByteWriter& w, EnvChange type, uint64_t descriptor) {
  Sized(w, kEnvChange, [&] {
    w.U8(static_cast<uint8_t>(type));
    if (type == EnvChange::kBeginTransaction) {
      w.U8(8);
      w.U64(descriptor);
      w.U8(0);
    } else {
      w.U8(0);
      w.U8(8);
      w.U64(descriptor);
    }
  });
}

void WriteMessage(ByteWriter& w, const ServerMessage& m, const std::string& serverName) {
  Sized(w, m.severity > 10 ? kError : kInfo, [&] {
    w.U32(static_cast<uint32_t>(m.number));
    w.U8(static_cast<uint8_t>(m.state));
    w.U8(static_cast<uint8_t>(m.severity));
    w.UsVarChar(m.text);
    w.BVarChar(serverName);
    w.BVarChar(m.procedure);
    w.U32(static_cast<uint32_t>(m.line));
  });
}

void WriteColumnMetadata(ByteWriter& w, const std::vector<engine::Field>& fields,
                         const std::vector<ColumnType>& types) {
  w.U8(kColMetadata);
  w.U16(static_cast<uint16_t>(fields.size()));
  for (size_t i = 0; i < fields.size(); ++i) {
    w.U32(0);  // user type
    w.U16(kNullable);
    WriteTypeInfo(w, types[i]);
    w.BVarChar(fields[i].name);
  }
}

void WriteRow(ByteWriter& w, const std::vector<ColumnType>& types,
              const std::vector<engine::Value>& row) {
  w.U8(kRow);
  for (size_t i = 0; i < types.size(); ++i)
    WriteValue(w, types[i], i < row.size() ? row[i] : engine::Value{});
}

void WriteDone(ByteWriter& w, DoneToken token, uint16_t status, uint64_t rows) {
  w.U8(static_cast<uint8_t>(token));
  w.U16(status);
  w.U16(0xC1);  // current command: SELECT; clients only read the count
  w.U64(rows);
}

void WriteReturnStatus(ByteWriter& w, int32_t status) {
  w.U8(kReturnStatus);
  w.U32(static_cast<uint32_t>(status));
}

void WriteReturnInt(ByteWriter& w, uint16_t ordinal, const std::string& name, int32_t value) {
  w.U8(kReturnValue);
  w.U16(ordinal);
  w.BVarChar(name);
  w.U8(0x01);  // output parameter
  w.U32(0);    // user type
  w.U16(kNullable);
  ColumnType t{TdsType::kIntN, 4};
  WriteTypeInfo(w, t);
  WriteValue(w, t, engine::Value{static_cast<long long>(value)});
}

}  // namespace xfer::server
