#include "import/store_mirror.h"

#include <vector>

#include "db/cross_server.h"
#include "db/text_util.h"
#include "import/store_objects.h"
#include "import/store_text.h"

namespace xfer::import {
namespace {

// How a mirrored table chooses its rows: the header by the range filter, a table of lines and
// details by the headers that pass it, or every row.
enum class Rows { Header, ByHeader, All };

struct MirrorTable {
  const char* table;
  const char* file;  // work file (and temporary table) name
  Rows rows;
};

struct Family {
  const char* header;  // the family's header table (for the ByHeader tables)
  std::vector<MirrorTable> tables;
};

const Family& FamilyOf(const std::string& code) {
  static const Family drafts = {"A_TranSanj_Movagat",
                                {{"A_TranSanj_Movagat", "Tmp_TranSanj_Movagat", Rows::All}}};
  static const Family requests = {
      "A_TranIDKALAREQ",
      {{"A_TranIDKALAREQ", "Tmp_TranIDKalareq", Rows::Header},
       {"A_TranSanjKALAREQ", "Tmp_TranSanjKalareq", Rows::ByHeader},
       {"A_TranSerialKALAREQ", "Tmp_TranSerialKalareq", Rows::ByHeader}}};
  static const Family interim = {
      "A_InterimTranID",
      {{"A_InterimTranID", "Tmp_InterimTranID", Rows::Header},
       {"A_InterimTranSanj", "Tmp_InterimTranSanj", Rows::ByHeader},
       {"A_InterimTranSerial", "Tmp_InterimTranSerial", Rows::ByHeader}}};
  static const Family documents = {"A_TranID",
                                   {{"A_TranID", "Tmp_TranID", Rows::Header},
                                    {"A_TranSanj", "Tmp_TranSanj", Rows::ByHeader},
                                    {"A_TranSerial", "Tmp_TranSerial", Rows::ByHeader},
                                    {"A_TranTax", "Tmp_TranTax", Rows::ByHeader},
                                    {"Avamel_Resid", "Tmp_Avamel_Resid", Rows::ByHeader},
                                    {"A_HamlInfo", "Tmp_A_HamlInfo", Rows::ByHeader},
                                    {"SarfaslMasraf", "Tmp_SarfaslMasraf", Rows::ByHeader}}};
  if (code == "300" || code == "500") return drafts;
  if (code == "600") return requests;
  if (code == "400") return interim;
  return documents;
}

void MirrorFamily(db::Backend& remote, db::HostDatabase& local, const std::string& appFolder,
                  const std::string& src, const Family& family, const std::string& filter,
                  const std::function<void(const Status&)>& status) {
  int n = 0;
  for (const MirrorTable& t : family.tables) {
    std::string no = std::to_string(++n);
    std::string table = t.table;
    status({text::kMakingTable + no + " ... ", kBlack});
    auto probe = remote.Query("Select * From " + src + ".." + table + " Where (1 = 2) ");
    std::string columns;
    for (const db::Field& f : probe.back().fields)
      columns += (columns.empty() ? "" : ", ") + db::ColumnDefinition(f);
    local.RunSql(" if exists(Select * From Tmp_A_Remote..sysobjects Where Upper([name])='" +
                 db::UpperAscii(table) + "') Drop Table Tmp_A_Remote.." + table);
    local.RunSql("Create Table Tmp_A_Remote.." + table + " (" + columns + ")");

    status({text::kMakingFile + no + " ... ", kBlack});
    std::string rows = src + ".." + table;
    if (t.rows == Rows::Header)
      rows += " As TA Where (1=1 " + filter + " )";
    else if (t.rows == Rows::ByHeader)
      rows += " Where Tranid In (Select Tranid From " + src + ".." + family.header +
              " As TA Where (1=1 " + filter + " ))";
    std::string copy = std::string("##") + t.file;
    db::CopyTableAcrossServers(remote, local, appFolder, rows, copy);

    status({text::kFillingTable + no + " ", kBlack});
    local.RunSql("Insert Into Tmp_A_Remote.." + table + " Select * From " + copy);
    local.RunSql("Drop Table " + copy);
  }
}

}  // namespace

bool MirrorStoreSource(db::Backend& remote, db::HostDatabase& local, db::Dialogs& dialogs,
                       const std::string& appFolder, const std::string& sourceDb,
                       const std::string& code, const std::string& filter,
                       const std::function<void(const Status&)>& status) {
  std::string home = local.connection()->CurrentDatabase();
  try {
    status({text::kPleaseWait, kBlack});
    status({text::kMakingMirror, kBlack});
    local.RunSql(
        " if exists(select [Name] from Master..sysdatabases where name = 'Tmp_A_Remote') drop "
        "database Tmp_A_Remote  create database Tmp_A_Remote ");
    std::vector<std::string> codes = {code};
    if (code == "1000") codes = {"30", "300", "400", "600"};
    int step = 0;
    for (const std::string& c : codes) {
      MirrorFamily(remote, local, appFolder, sourceDb, FamilyOf(c), filter, status);
      dialogs.Progress(++step, static_cast<int>(codes.size()) + 1);
    }
    // Opening stock asks the mirror for the serial numbers on its shelves.
    EnsureObjectStore(appFolder);
    std::string text = ObjectText(appFolder, "dbo.sp_A_Rep_MojodiSerial.PRC");
    if (text.empty()) return false;
    local.RunSql("use Tmp_A_Remote");
    try {
      local.RunSql(text);
    } catch (...) {
      local.RunSql("use " + home);
      throw;
    }
    local.RunSql("use " + home);
    dialogs.Progress(step + 1, step + 1);
    return true;
  } catch (const std::exception&) {
    if (db::UpperAscii(local.connection()->CurrentDatabase()) != db::UpperAscii(home))
      local.RunSql("use " + home);
    return false;
  }
}

void DropStoreMirror(db::HostDatabase& local) {
  local.RunSql(
      " if exists(select [Name] from Master..sysdatabases where name = 'Tmp_A_Remote') drop "
      "database Tmp_A_Remote ");
}

}  // namespace xfer::import
