#include "import/store_objects.h"

#include <filesystem>

#include "db/text_util.h"
#include "engine/engine.h"
#include "suite/scripts.h"

namespace xfer::import {
namespace {

constexpr const char* kDatabase = "DB_Objects";
// The procedures the store holds: the name they are asked for by and their script.
constexpr std::pair<const char*, const char*> kObjects[] = {
    {"dbo.sp_A_Rep_MojodiSerial.PRC", "sp_A_Rep_MojodiSerial"},
};

std::unique_ptr<engine::Connection> Open(const std::string& appFolder) {
  std::string folder = ObjectStoreFolder(appFolder);
  std::filesystem::create_directories(folder);
  auto conn = std::make_unique<engine::Connection>(engine::Server::Open(folder, true));
  conn->Execute(std::string("If Not Exists (Select * From Master..SysDatabases Where [Name] = '") +
                kDatabase + "') Create Database " + kDatabase);
  conn->Execute(std::string("Use ") + kDatabase);
  conn->Execute(
      "If Object_Id('SP_Text') Is Null Create Table SP_Text (SPName Varchar(200) Not Null "
      "Primary Key, SPText Text Null)");
  return conn;
}

}  // namespace

std::string ObjectStoreFolder(const std::string& appFolder) {
  return (std::filesystem::path(appFolder) / "Data" / "DB_Objects").string();
}

void EnsureObjectStore(const std::string& appFolder) {
  auto conn = Open(appFolder);
  for (const auto& [name, script] : kObjects)
    conn->Execute("If Not Exists (Select * From SP_Text Where SPName = " + db::Quote(name) +
                  ") Insert Into SP_Text (SPName, SPText) Values (" + db::Quote(name) + ", " +
                  db::Quote(std::string(suite::ScriptText(script))) + ")");
}

std::string ObjectText(const std::string& appFolder, const std::string& spName) {
  auto conn = Open(appFolder);
  auto sets = conn->Execute("Select SPText From SP_Text where SPName = " + db::Quote(spName));
  if (sets.empty() || sets.back().rows.empty() || engine::IsNull(sets.back().rows[0][0])) return {};
  return engine::FormatValue(sets.back().rows[0][0]);
}

}  // namespace xfer::import
