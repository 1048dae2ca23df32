// The tokens of a reply stream: login acknowledgement, environment changes, info and error
// messages, result metadata and rows, return status and values, and the DONE family that closes
// each statement with its row count.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/value.h"
#include "server/column_types.h"
#include "server/wire.h"

namespace xfer::server {

enum DoneStatus : uint16_t {
  kDoneFinal = 0x00,
  kDoneMore = 0x01,
  kDoneError = 0x02,
  kDoneCount = 0x10,
  kDoneAttention = 0x20,
};
enum class DoneToken : uint8_t { kDone = 0xFD, kDoneProc = 0xFE, kDoneInProc = 0xFF };

enum class EnvChange : uint8_t {
  kDatabase = 1,
  kLanguage = 2,
  kPacketSize = 4,
  kSqlCollation = 7,
  kBeginTransaction = 8,
  kCommitTransaction = 9,
  kRollbackTransaction = 10,
};

struct ServerMessage {
  int number = 0;
  int state = 1;
  int severity = 0;  // up to 10: information; 11 and above: error
  std::string text;
  std::string procedure;
  int line = 1;
};
// A message without a procedure name.
inline ServerMessage MessageOf(int number, int state, int severity, std::string text,
                               int line = 1) {
  return ServerMessage{number, state, severity, std::move(text), std::string(), line};
}

void WriteLoginAck(ByteWriter& w);
void WriteEnvChange(ByteWriter& w, EnvChange type, const std::string& newValue,
                    const std::string& oldValue);
void WriteCollationChange(ByteWriter& w);
// A transaction descriptor change: begin carries the new descriptor, commit and rollback the
// old one.
void WriteTransactionChange(ByteWriter& w, EnvChange type, uint64_t descriptor);
void WriteMessage(ByteWriter& w, const ServerMessage& m, const std::string& serverName);
void WriteColumnMetadata(ByteWriter& w, const std::vector<engine::Field>& fields,
                         const std::vector<ColumnType>& types);
void WriteRow(ByteWriter& w, const std::vector<ColumnType>& types,
              const std::vector<engine::Value>& row);
void WriteDone(ByteWriter& w, DoneToken token, uint16_t status, uint64_t rows);
void WriteReturnStatus(ByteWriter& w, int32_t status);
// An output parameter's value: the int handle sp_prepare and sp_prepexec hand back.
void WriteReturnInt(ByteWriter& w, uint16_t ordinal, const std::string& name, int32_t value);

}  // namespace xfer::server
