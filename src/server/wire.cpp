#include "server/wire.h"

namespace xfer::server {

std::string Utf8ToUtf16(std::string_view s) {
  std::string out;
  out.reserve(s.size() * 2);
  auto unit = [&](uint32_t u) {
    out.push_back(static_cast<char>(u & 0xFF));
    out.push_back(static_cast<char>(u >> 8));
  };
  for (size_t i = 0; i < s.size();) {
    auto c = static_cast<unsigned char>(s[i]);
    uint32_t cp;
    size_t len;
    if (c < 0x80) {
      cp = c, len = 1;
    } else if ((c >> 5) == 6) {
      cp = c & 0x1F, len = 2;
    } else if ((c >> 4) == 14) {
      cp = c & 0x0F, len = 3;
    } else if ((c >> 3) == 30) {
      cp = c & 0x07, len = 4;
    } else {
      cp = 0xFFFD, len = 1;
    }
    if (i + len > s.size()) {
      cp = 0xFFFD, len = s.size() - i;
    } else {
      for (size_t k = 1; k < len; ++k)
        cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
    }
    i += len;
    if (cp >= 0x10000) {
      cp -= 0x10000;
      unit(0xD800 + (cp >> 10));
      unit(0xDC00 + (cp & 0x3FF));
    } else {
      unit(cp);
    }
  }
  return out;
}

std::string Utf16ToUtf8(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i + 1 < s.size(); i += 2) {
    uint32_t cp = static_cast<unsigned char>(s[i]) | (static_cast<unsigned char>(s[i + 1]) << 8);
    if (cp >= 0xD800 && cp < 0xDC00 && i + 3 < s.size()) {
      uint32_t lo =
          static_cast<unsigned char>(s[i + 2]) | (static_cast<unsigned char>(s[i + 3]) << 8);
      if (lo >= 0xDC00 && lo < 0xE000) {
        cp = 0x10000 + ((cp - 0xD800) << 10) + (lo - 0xDC00);
        i += 2;
      }
    }
    if (cp < 0x80) {
      out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
  }
  return out;
}

size_t Utf16Units(std::string_view s) {
  size_t n = 0;
  for (unsigned char c : s) {
    if ((c & 0xC0) != 0x80) ++n;
    if ((c >> 3) == 30) ++n;  // four-byte sequences take a surrogate pair
  }
  return n;
}

void ByteWriter::U16(uint16_t v) {
  U8(v & 0xFF);
  U8(v >> 8);
}
void ByteWriter::U16BE(uint16_t v) {
  U8(v >> 8);
  U8(v & 0xFF);
}
void ByteWriter::U32(uint32_t v) {
  U16(v & 0xFFFF);
  U16(v >> 16);
}
void ByteWriter::U32BE(uint32_t v) {
  U16BE(v >> 16);
  U16BE(v & 0xFFFF);
}
void ByteWriter::U64(uint64_t v) {
  U32(v & 0xFFFFFFFF);
  U32(v >> 32);
}
void ByteWriter::BVarChar(std::string_view utf8) {
  std::string u = Utf8ToUtf16(utf8);
  if (u.size() > 2 * 255) u.resize(2 * 255);
  U8(static_cast<uint8_t>(u.size() / 2));
  Bytes(u);
}
void ByteWriter::UsVarChar(std::string_view utf8) {
  std::string u = Utf8ToUtf16(utf8);
  if (u.size() > 2 * 65535) u.resize(2 * 65535);
  U16(static_cast<uint16_t>(u.size() / 2));
  Bytes(u);
}
void ByteWriter::PatchU16(size_t at, uint16_t v) {
  out_[at] = static_cast<char>(v & 0xFF);
  out_[at + 1] = static_cast<char>(v >> 8);
}

void ByteReader::Need(size_t n) const {
  if (n > data_.size() - pos_) throw ProtocolError("message ends early");
}
uint8_t ByteReader::U8() {
  Need(1);
  return static_cast<uint8_t>(data_[pos_++]);
}
uint16_t ByteReader::U16() {
  uint16_t lo = U8();
  return static_cast<uint16_t>(lo | (U8() << 8));
}
uint16_t ByteReader::U16BE() {
  uint16_t hi = U8();
  return static_cast<uint16_t>((hi << 8) | U8());
}
uint32_t ByteReader::U32() {
  uint32_t lo = U16();
  return lo | (static_cast<uint32_t>(U16()) << 16);
}
uint32_t ByteReader::U32BE() {
  uint32_t hi = U16BE();
  return (hi << 16) | U16BE();
}
uint64_t ByteReader::U64() {
  uint64_t lo = U32();
  return lo | (static_cast<uint64_t>(U32()) << 32);
}
std::string_view ByteReader::Bytes(size_t n) {
  Need(n);
  std::string_view v = data_.substr(pos_, n);
  pos_ += n;
  return v;
}
std::string ByteReader::BVarChar() {
  size_t n = U8();
  return Utf16ToUtf8(Bytes(2 * n));
}
std::string ByteReader::UsVarChar() {
  size_t n = U16();
  return Utf16ToUtf8(Bytes(2 * n));
}
void ByteReader::Seek(size_t pos) {
  if (pos > data_.size()) throw ProtocolError("offset beyond the message");
  pos_ = pos;
}

}  // namespace xfer::server
