#include "server/packet.h"

#include "server/wire.h"

namespace xfer::server {

bool ReadMessage(const ReadExactly& read, Message& out) {
  out.body.clear();
  bool first = true;
  for (;;) {
    char header[kHeaderSize];
    if (!read(header, kHeaderSize)) {
      if (first) return false;
      throw ProtocolError("connection closed inside a message");
    }
    auto type = static_cast<PacketType>(static_cast<uint8_t>(header[0]));
    auto status = static_cast<uint8_t>(header[1]);
    size_t length = (static_cast<uint8_t>(header[2]) << 8) | static_cast<uint8_t>(header[3]);
    if (length < kHeaderSize || length > kMaxPacketSize)
      throw ProtocolError("packet length out of bounds");
    switch (type) {
      case PacketType::kSqlBatch:
      case PacketType::kRpc:
      case PacketType::kAttention:
      case PacketType::kBulkLoad:
      case PacketType::kTransaction:
      case PacketType::kLogin7:
      case PacketType::kPreLogin:
        break;
      default:
        throw ProtocolError("unknown packet type");
    }
    if (first) {
      out.type = type;
    } else if (type != out.type) {
      throw ProtocolError("packet type changes inside a message");
    }
    size_t bodyLength = length - kHeaderSize;
    if (out.body.size() + bodyLength > kMaxMessageSize) throw ProtocolError("message too large");
    size_t at = out.body.size();
    out.body.resize(at + bodyLength);
    if (bodyLength > 0 && !read(out.body.data() + at, bodyLength))
      throw ProtocolError("connection closed inside a packet");
    first = false;
    if (status & 0x01) return true;
  }
}

PacketWriter::PacketWriter(std::function<void(std::string_view)> send, size_t packetSize)
    : send_(std::move(send)), packetSize_(packetSize) {}

void PacketWriter::Append(std::string_view bytes) {
  buffer_.append(bytes);
  size_t body = packetSize_ - kHeaderSize;
  if (buffer_.size() <= body) return;
  size_t sent = 0;
  // Keep at least one byte back so that End always has a packet to mark as the last.
  while (buffer_.size() - sent > body) {
    if (interrupted_ && interrupted_()) {
      // What is not sent yet ends the tokens already begun on the wire; EndCancelled sends it.
      buffer_.erase(0, sent);
      throw Cancelled{};
    }
    Emit(PacketType::kReply, false, std::string_view(buffer_).substr(sent, body));
    sent += body;
  }
  buffer_.erase(0, sent);
}

void PacketWriter::End(PacketType type) {
  Emit(type, true, buffer_);
  buffer_.clear();
}

void PacketWriter::EndCancelled(std::string_view acknowledgment) {
  // The client asked once; nothing more is asked while the acknowledgment goes out.
  std::function<bool()> interrupted = std::move(interrupted_);
  interrupted_ = nullptr;
  struct Restore {
    PacketWriter& writer;
    std::function<bool()>& saved;
    ~Restore() { writer.interrupted_ = std::move(saved); }
  } restore{*this, interrupted};
  Append(acknowledgment);
  End();
}

void PacketWriter::Emit(PacketType type, bool last, std::string_view body) {
  std::string packet;
  packet.reserve(kHeaderSize + body.size());
  size_t length = kHeaderSize + body.size();
  packet.push_back(static_cast<char>(type));
  packet.push_back(static_cast<char>(last ? 0x01 : 0x00));
  packet.push_back(static_cast<char>(length >> 8));
  packet.push_back(static_cast<char>(length & 0xFF));
  packet.push_back(0);
  packet.push_back(0);
  packet.push_back(static_cast<char>(packetId_++));
  packet.push_back(0);
  packet.append(body);
  send_(packet);
}

}  // namespace xfer::server
