#include "server/login.h"

#include "server/wire.h"

namespace xfer::server {
namespace {

constexpr size_t kFixedPart = 36;
constexpr uint8_t kIntegratedSecurity = 0x80;  // OptionFlags2

// The password travels with each byte's nibbles swapped and then XOR-ed with 0xA5.
std::string DecodePassword(std::string_view bytes) {
  std::string plain(bytes);
  for (char& c : plain) {
    auto b = static_cast<uint8_t>(static_cast<uint8_t>(c) ^ 0xA5);
    c = static_cast<char>(((b & 0x0F) << 4) | (b >> 4));
  }
  return plain;
}

}  // namespace

LoginRequest ParseLogin(std::string_view body) {
  ByteReader r(body);
  LoginRequest login;
  uint32_t length = r.U32();
  if (length != body.size() || length < kFixedPart + 9 * 4)
    throw ProtocolError("login length does not match the message");
  login.tdsVersion = r.U32();
  login.packetSize = r.U32();
  r.Bytes(4 + 4 + 4);  // client version, process id, connection id
  r.U8();
  login.integratedSecurity = (r.U8() & kIntegratedSecurity) != 0;
  r.Bytes(2 + 4 + 4);  // type flags, option flags 3, time zone, locale id

  // Offset/length pairs, lengths in characters.
  auto text = [&](bool password = false) {
    uint16_t offset = r.U16();
    uint16_t chars = r.U16();
    size_t bytes = static_cast<size_t>(chars) * 2;
    if (offset > body.size() || bytes > body.size() - offset)
      throw ProtocolError("login field out of bounds");
    std::string_view raw = body.substr(offset, bytes);
    return Utf16ToUtf8(password ? DecodePassword(raw) : std::string(raw));
  };
  login.hostName = text();
  login.userName = text();
  login.password = text(true);
  login.appName = text();
  login.serverName = text();
  text();  // extension block, unused
  text();  // client library name
  login.language = text();
  login.database = text();
  return login;
}

}  // namespace xfer::server
