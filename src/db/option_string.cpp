#include "db/option_string.h"

#include "db/text_util.h"

namespace xfer::db {

std::string GetOption(std::string_view options, std::string_view key) {
  std::string s = UpperAscii(options);
  std::string k = UpperAscii(key) + "=";
  size_t at = s.find(k);
  if (at == std::string::npos) return {};
  size_t from = at + k.size();
  size_t end = s.find(';', from);
  return s.substr(from, end == std::string::npos ? std::string::npos : end - from);
}

std::string SetOption(std::string_view options, std::string_view key, std::string_view value) {
  std::string s = UpperAscii(options);
  std::string k = UpperAscii(key) + "=";
  std::string entry = k + UpperAscii(value) + ";";
  size_t at = s.find(k);
  if (at == std::string::npos) return s + entry;
  size_t end = s.find(';', at + k.size());
  std::string after = end == std::string::npos ? std::string() : s.substr(end + 1);
  return s.substr(0, at) + entry + after;
}

}  // namespace xfer::db
