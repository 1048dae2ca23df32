// Framing of the wire protocol: a message travels as packets of an eight-byte header (type,
// status, big-endian length, channel, packet number, window) and a body; the last packet of a
// message carries the end-of-message bit. The reader checks every header against the limits
// below; the writer cuts a reply into packets of the size agreed at login.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace xfer::server {

enum class PacketType : uint8_t {
  kSqlBatch = 1,
  kRpc = 3,
  kReply = 4,
  kAttention = 6,
  kBulkLoad = 7,
  kTransaction = 14,
  kLogin7 = 16,
  kPreLogin = 18,
};

constexpr size_t kHeaderSize = 8;
constexpr size_t kMaxPacketSize = 32767;
constexpr size_t kMaxMessageSize = 256u << 20;  // a batch or RPC larger than this is refused

struct Message {
  PacketType type{};
  std::string body;
};

// Reads exactly `n` bytes into `out`; returns false at a clean end of stream before the first
// byte, throws ProtocolError on a stream that ends inside the bytes.
using ReadExactly = std::function<bool(char* out, size_t n)>;

// Reads one whole message. Returns false when the peer closed between messages. Throws
// ProtocolError on a bad header, a length out of bounds, mixed packet types or a truncated
// stream.
bool ReadMessage(const ReadExactly& read, Message& out);

// Cuts a reply message into packets and hands each to `send`. Before each packet but the
// last, `interrupted` is asked whether the client has cancelled; a true answer stops the reply
// with Cancelled, keeping the bytes that finish the tokens already begun so that the reply ends
// whole with EndCancelled.
class PacketWriter {
 public:
  struct Cancelled {};
  PacketWriter(std::function<void(std::string_view)> send, size_t packetSize);
  void set_packet_size(size_t n) { packetSize_ = n; }
  void set_interrupted(std::function<bool()> f) { interrupted_ = std::move(f); }
  void Append(std::string_view bytes);
  // Sends what is buffered as the last packet of the message.
  void End(PacketType type = PacketType::kReply);
  // After Cancelled: sends the rest of the tokens begun and `acknowledgment` (the DONE token
  // with the attention bit) as the end of the interrupted message. A client skips the tokens;
  // cut in the middle of one, it could not find the acknowledgment.
  void EndCancelled(std::string_view acknowledgment);

 private:
  void Emit(PacketType type, bool last, std::string_view body);
  std::function<void(std::string_view)> send_;
  std::function<bool()> interrupted_;
  size_t packetSize_;
  std::string buffer_;
  uint8_t packetId_ = 1;
};

}  // namespace xfer::server
