#include "db/record_set_file.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "engine/error.h"

namespace xfer::db {
namespace {

constexpr char kMagic[6] = {'X', 'F', 'R', 'S', 'E', 'T'};
constexpr uint16_t kVersion = 1;
constexpr int kFileError = 3002;  // our number for record-set file errors

uint64_t Fnv(const std::string& bytes) {
  uint64_t h = 1469598103934665603ULL;
  for (unsigned char c : bytes) {
    h ^= c;
    h *= 1099511628211ULL;
  }
  return h;
}

class Writer {
 public:
  template <typename T>
  void Raw(T v) {
    char b[sizeof(T)];
    std::memcpy(b, &v, sizeof(T));
    out.append(b, sizeof(T));
  }
  void Text(const std::string& s) {
    Raw<uint32_t>(static_cast<uint32_t>(s.size()));
    out += s;
  }
  std::string out;
};

class Reader {
 public:
  Reader(const std::string& data, const std::string& path) : data_(data), path_(path) {}
  template <typename T>
  T Raw() {
    Need(sizeof(T));
    T v;
    std::memcpy(&v, data_.data() + pos_, sizeof(T));
    pos_ += sizeof(T);
    return v;
  }
  std::string Text() {
    auto n = Raw<uint32_t>();
    Need(n);
    std::string s = data_.substr(pos_, n);
    pos_ += n;
    return s;
  }
  [[noreturn]] void Fail(const std::string& why) const {
    throw engine::SqlError(kFileError, "The record-set file '" + path_ + "' " + why + ".");
  }

 private:
  void Need(size_t n) const {
    if (pos_ + n > data_.size()) Fail("is truncated");
  }
  const std::string& data_;
  const std::string& path_;
  size_t pos_ = 0;
};

}  // namespace

void SaveRecordSet(const ResultSet& rs, const std::string& path) {
  Writer w;
  w.out.append(kMagic, sizeof kMagic);
  w.Raw<uint16_t>(kVersion);
  w.Raw<uint32_t>(static_cast<uint32_t>(rs.fields.size()));
  for (const auto& f : rs.fields) {
    w.Text(f.name);
    w.Raw<uint8_t>(static_cast<uint8_t>(f.kind));
    w.Raw<int32_t>(f.size);
    w.Text(f.declaredType);
    w.Text(f.baseTable);
    w.Text(f.baseColumn);
  }
  w.Raw<uint64_t>(rs.rows.size());
  for (const auto& row : rs.rows) {
    for (const Value& v : row) {
      if (const auto* i = std::get_if<long long>(&v)) {
        w.Raw<uint8_t>(1);
        w.Raw<int64_t>(*i);
      } else if (const auto* d = std::get_if<double>(&v)) {
        w.Raw<uint8_t>(2);
        w.Raw<double>(*d);
      } else if (const auto* s = std::get_if<std::string>(&v)) {
        w.Raw<uint8_t>(3);
        w.Text(*s);
      } else if (const auto* b = std::get_if<engine::Blob>(&v)) {
        w.Raw<uint8_t>(4);
        w.Text(b->bytes);
      } else {
        w.Raw<uint8_t>(0);
      }
    }
  }
  w.Raw<uint64_t>(Fnv(w.out));

  std::string temp = path + ".partial";
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    out.write(w.out.data(), static_cast<std::streamsize>(w.out.size()));
    if (!out)
      throw engine::SqlError(kFileError, "The record-set file '" + path + "' cannot be written.");
  }
  std::error_code ec;
  std::filesystem::rename(temp, path, ec);
  if (ec) {
    std::filesystem::remove(temp, ec);
    throw engine::SqlError(kFileError, "The record-set file '" + path + "' cannot be written.");
  }
}

ResultSet LoadRecordSet(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in)
    throw engine::SqlError(kFileError, "The record-set file '" + path + "' cannot be opened.");
  std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (data.size() < sizeof kMagic + sizeof(uint64_t) ||
      std::memcmp(data.data(), kMagic, sizeof kMagic) != 0)
    Reader(data, path).Fail("is not a record-set file");
  uint64_t stored;
  std::memcpy(&stored, data.data() + data.size() - sizeof stored, sizeof stored);
  std::string body = data.substr(0, data.size() - sizeof stored);
  Reader in_body(body, path);
  if (Fnv(body) != stored) in_body.Fail("is damaged (checksum mismatch)");
  for (size_t i = 0; i < sizeof kMagic; ++i) in_body.Raw<char>();
  if (auto v = in_body.Raw<uint16_t>(); v != kVersion)
    in_body.Fail("has format version " + std::to_string(v) + ", which this program cannot read");
  ResultSet rs;
  auto fieldCount = in_body.Raw<uint32_t>();
  for (uint32_t i = 0; i < fieldCount; ++i) {
    Field f;
    f.name = in_body.Text();
    auto kind = in_body.Raw<uint8_t>();
    if (kind > static_cast<uint8_t>(FieldKind::Other)) in_body.Fail("has an unknown field kind");
    f.kind = static_cast<FieldKind>(kind);
    f.size = in_body.Raw<int32_t>();
    f.declaredType = in_body.Text();
    f.baseTable = in_body.Text();
    f.baseColumn = in_body.Text();
    rs.fields.push_back(std::move(f));
  }
  auto rowCount = in_body.Raw<uint64_t>();
  if (fieldCount > 0 && rowCount > body.size()) in_body.Fail("is damaged (row count)");
  rs.rows.reserve(static_cast<size_t>(rowCount));
  for (uint64_t r = 0; r < rowCount; ++r) {
    std::vector<Value> row;
    row.reserve(fieldCount);
    for (uint32_t c = 0; c < fieldCount; ++c) {
      switch (in_body.Raw<uint8_t>()) {
        case 0:
          row.emplace_back(std::monostate{});
          break;
        case 1:
          row.emplace_back(static_cast<long long>(in_body.Raw<int64_t>()));
          break;
        case 2:
          row.emplace_back(in_body.Raw<double>());
          break;
        case 3:
          row.emplace_back(in_body.Text());
          break;
        case 4:
          row.emplace_back(engine::Blob{in_body.Text()});
          break;
        default:
          in_body.Fail("is damaged (value tag)");
      }
    }
    rs.rows.push_back(std::move(row));
  }
  return rs;
}

}  // namespace xfer::db
