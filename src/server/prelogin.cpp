#include "server/prelogin.h"

#include "server/wire.h"

namespace xfer::server {
namespace {

enum Option : uint8_t { kVersion = 0, kEncryption = 1, kInstance = 2, kThread = 3, kMars = 4 };
constexpr uint8_t kTerminator = 0xFF;
constexpr uint8_t kEncryptNotSupported = 2;

}  // namespace

std::string PreLoginReply(std::string_view request) {
  // Walk the client's option table so a malformed one ends the session here.
  ByteReader r(request);
  for (int options = 0;; ++options) {
    uint8_t token = r.U8();
    if (token == kTerminator) break;
    uint16_t offset = r.U16BE();
    uint16_t length = r.U16BE();
    if (static_cast<size_t>(offset) + length > request.size() || options > 64)
      throw ProtocolError("pre-login option out of bounds");
  }

  const std::pair<uint8_t, std::string> options[] = {
      {kVersion, std::string("\x10\x00\x07\xD0\x00\x00", 6)},  // 16.0.2000
      {kEncryption, std::string(1, static_cast<char>(kEncryptNotSupported))},
      {kInstance, std::string(1, '\0')},
      {kThread, std::string()},
      {kMars, std::string(1, '\0')},
  };
  size_t tableSize = std::size(options) * 5 + 1;
  ByteWriter w;
  std::string data;
  for (const auto& [token, value] : options) {
    w.U8(token);
    w.U16BE(static_cast<uint16_t>(tableSize + data.size()));
    w.U16BE(static_cast<uint16_t>(value.size()));
    data += value;
  }
  w.U8(kTerminator);
  w.Bytes(data);
  return std::move(w.data());
}

}  // namespace xfer::server
