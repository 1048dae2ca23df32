// Byte-level reading and writing of the server's wire format: little-endian integers, UTF-16LE
// text as the protocol carries it, and a reader that refuses to run past its end. Every length
// taken from the wire is checked here, so a hostile client can only end its own session.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace xfer::server {

// A malformed or truncated message: the session that received it ends.
class ProtocolError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

std::string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::string_view utf16le);
// Characters (UTF-16 code units) of a UTF-8 text.
size_t Utf16Units(std::string_view utf8);

class ByteWriter {
 public:
  void U8(uint8_t v) { out_.push_back(static_cast<char>(v)); }
  void U16(uint16_t v);
  void U16BE(uint16_t v);
  void U32(uint32_t v);
  void U32BE(uint32_t v);
  void U64(uint64_t v);
  void Bytes(std::string_view b) { out_.append(b); }
  // Text with a one-byte (B_VARCHAR) or two-byte (US_VARCHAR) length in characters.
  void BVarChar(std::string_view utf8);
  void UsVarChar(std::string_view utf8);
  size_t size() const { return out_.size(); }
  std::string& data() { return out_; }
  // Overwrites a two-byte little-endian value written earlier.
  void PatchU16(size_t at, uint16_t v);

 private:
  std::string out_;
};

class ByteReader {
 public:
  explicit ByteReader(std::string_view data) : data_(data) {}
  uint8_t U8();
  uint16_t U16();
  uint16_t U16BE();
  uint32_t U32();
  uint32_t U32BE();
  uint64_t U64();
  std::string_view Bytes(size_t n);
  std::string BVarChar();   // one-byte length in characters, UTF-16LE
  std::string UsVarChar();  // two-byte length in characters
  size_t pos() const { return pos_; }
  size_t remaining() const { return data_.size() - pos_; }
  void Seek(size_t pos);

 private:
  void Need(size_t n) const;
  std::string_view data_;
  size_t pos_ = 0;
};

}  // namespace xfer::server
