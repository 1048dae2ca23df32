// Fuzz target: any bytes arriving at a session must be read as messages, a pre-login, a login
// or an RPC call, or be refused with ProtocolError; never a crash, a hang or another exception.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "server/login.h"
#include "server/packet.h"
#include "server/prelogin.h"
#include "server/rpc.h"
#include "server/wire.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace xfer::server;
  std::string_view input(reinterpret_cast<const char*>(data), size);
  size_t at = 0;
  ReadExactly read = [&](char* out, size_t n) {
    if (at == input.size()) return false;
    if (n > input.size() - at) throw ProtocolError("stream ends early");
    std::memcpy(out, input.data() + at, n);
    at += n;
    return true;
  };
  try {
    Message m;
    for (int i = 0; i < 16 && ReadMessage(read, m); ++i) {
      try {
        switch (m.type) {
          case PacketType::kPreLogin:
            PreLoginReply(m.body);
            break;
          case PacketType::kLogin7:
            ParseLogin(m.body);
            break;
          case PacketType::kRpc: {
            RpcCall call = ParseRpc(m.body);
            if (call.params.size() >= 2)
              ParameterizedBatch(call.params[1].text, call.params[0].text, call.params);
            ProcedureBatch(call);
            break;
          }
          default:
            Utf16ToUtf8(m.body);
        }
      } catch (const ProtocolError&) {
      }
    }
  } catch (const ProtocolError&) {
  }
  return 0;
}
