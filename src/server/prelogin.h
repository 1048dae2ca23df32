// The first exchange of a connection: the client names its version and asks about
// encryption; we answer with our version and that encryption is not supported, so the login
// and everything after it travel in the clear (the server listens on loopback only by default).
#pragma once

#include <string>
#include <string_view>

namespace xfer::server {

// Checks the option table of a pre-login message (throws ProtocolError) and returns the reply
// body.
std::string PreLoginReply(std::string_view request);

}  // namespace xfer::server
