#include "export/file_out.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <stdexcept>

namespace xfer::grid_export {

void FailWriting(const std::string& path, const std::string& why) {
  throw std::runtime_error("Cannot write '" + path + "': " + why);
}

void WriteWholeFile(const std::string& path, std::string_view bytes) {
  const std::string temp = path + ".part";
  std::FILE* f = std::fopen(temp.c_str(), "wb");
  if (!f) FailWriting(path, std::strerror(errno));
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  if (std::fclose(f) != 0 || !ok) {
    std::remove(temp.c_str());
    FailWriting(path, "the disk refused the data");
  }
  std::error_code ec;
  std::filesystem::rename(temp, path, ec);
  if (ec) {
    std::remove(temp.c_str());
    FailWriting(path, ec.message());
  }
}

}  // namespace xfer::grid_export
