// The login message: who connects, with which password, to which database, and the packet
// size the client wants. Offsets and lengths inside it are checked against the message.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace xfer::server {

struct LoginRequest {
  uint32_t tdsVersion = 0;
  uint32_t packetSize = 4096;
  std::string hostName;
  std::string userName;
  std::string password;
  std::string appName;
  std::string serverName;
  std::string language;
  std::string database;
  bool integratedSecurity = false;  // asks for a Windows login, which we do not offer
};

// Parses a login message; throws ProtocolError when it is malformed.
LoginRequest ParseLogin(std::string_view body);

}  // namespace xfer::server
