#include "server/users.h"

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "db/text_util.h"

namespace xfer::server {

std::string Users::FileOf(const std::string& directory) {
  return (std::filesystem::path(directory) / "logins.txt").string();
}

Users Users::Load(const std::string& directory) {
  Users users;
  std::ifstream in(FileOf(directory));
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    size_t colon = line.find(':');
    if (colon == std::string::npos) continue;
    std::string name(db::Trim(line.substr(0, colon)));
    if (!name.empty()) users.logins_[db::UpperAscii(name)] = line.substr(colon + 1);
  }
  return users;
}

void Users::Store(const std::string& directory, const std::string& name,
                  const std::string& password) {
  std::vector<std::string> kept;
  {
    std::ifstream in(FileOf(directory));
    std::string line;
    while (std::getline(in, line)) {
      size_t colon = line.find(':');
      if (colon != std::string::npos && line[0] != '#' &&
          db::UpperAscii(db::Trim(line.substr(0, colon))) == db::UpperAscii(name))
        continue;
      kept.push_back(line);
    }
  }
  kept.push_back(name + ":" + password);
  std::string file = FileOf(directory);
  {
    std::ofstream out(file, std::ios::trunc);
    for (const auto& l : kept) out << l << "\n";
    if (!out) throw std::runtime_error("cannot write " + file);
  }
  ::chmod(file.c_str(), S_IRUSR | S_IWUSR);
}

bool Users::Accepts(const std::string& name, const std::string& password) const {
  auto it = logins_.find(db::UpperAscii(name));
  return it != logins_.end() && it->second == password;
}

}  // namespace xfer::server
