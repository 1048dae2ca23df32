// The logins a served directory accepts: the file `logins.txt` of the server directory, one
// "name:password" per line ('#' starts a comment). Names compare without case, passwords
// exactly. The file is written readable by its owner only.
#pragma once

#include <map>
#include <string>

namespace xfer::server {

class Users {
 public:
  // Reads the logins file of `directory`; an absent file accepts nobody.
  static Users Load(const std::string& directory);
  // Adds or replaces one login in the file of `directory`.
  static void Store(const std::string& directory, const std::string& name,
                    const std::string& password);
  static std::string FileOf(const std::string& directory);

  bool Accepts(const std::string& name, const std::string& password) const;
  size_t size() const { return logins_.size(); }

 private:
  std::map<std::string, std::string> logins_;  // upper-cased name -> password
};

}  // namespace xfer::server
