#include "db/cross_server.h"

#include <filesystem>

#include "db/record_set_file.h"
#include "db/text_util.h"
#include "engine/engine.h"
#include "engine/types.h"

namespace xfer::db {
namespace {

std::string WorkFile(const std::string& appFolder, const std::string& name) {
  return (std::filesystem::path(appFolder) / (name + ".txt")).string();
}

// Creates `target` from the fields of `rows` and appends them.
long long CreateAndFill(HostDatabase& local, const ResultSet& rows, const std::string& target) {
  std::string bare = target.starts_with("##") ? target.substr(2) : target;
  DropTempTable(local, bare);
  std::string defs;
  std::vector<std::string> names;
  for (const auto& f : rows.fields) {
    defs += (defs.empty() ? "" : ", ") + ColumnDefinition(f);
    names.push_back(f.name);
  }
  local.RunSql("Create Table " + target + "(" + defs + ")");
  local.connection()->AppendRows(target, names, rows.rows);
  return static_cast<long long>(rows.rows.size());
}

// Keys of the code tables the document imports copy, by table (upper-case).
std::string KeyOf(const std::string& table) {
  static const std::pair<const char*, const char*> kKeys[] = {{"KALA", "KalaCod"},
                                                              {"ANBAR", "AnbarCod"},
                                                              {"R_CUSTOMER", "CustomerCod"},
                                                              {"R_BAZARYAB", "BazaryabCod"},
                                                              {"A_SELLERS", "SellersCod"},
                                                              {"A_MASRAF", "MasrafCod"},
                                                              {"TAHVILPERSON", "Code"},
                                                              {"A_MOREDRESID", "MoredResidCod"},
                                                              {"MEGYAS", "MegyasCod"},
                                                              {"GROH", "Groh"},
                                                              {"KOLL", "Koll"},
                                                              {"MOEIN", "Koll+Moein"},
                                                              {"TAFSILY", "Tafsily"},
                                                              {"TAFSILY2", "Tafsily2"},
                                                              {"M_PROJECT", "ProjectCod"},
                                                              {"A_KALAPIC", "KalaNo"}};
  for (const auto& [t, k] : kKeys)
    if (UpperAscii(table) == t) return k;
  return {};
}

}  // namespace

std::string ColumnDefinition(const Field& f) {
  std::string name = "[" + f.name + "]";
  engine::TypeName t = engine::ParseTypeText(f.declaredType);
  switch (f.kind) {
    case FieldKind::String: {
      int size = f.size;
      if (t.name == "nvarchar" || t.name == "nchar") size /= 2;  // characters, not bytes
      return name + " Varchar(" + std::to_string(size > 0 ? size : 1) + ")";
    }
    case FieldKind::Integer:
      // Only a four-byte integer is "integer" to the client; smaller and larger ones are not.
      return f.size == 4 ? name + " Integer" : name + " Varchar(500)";
    case FieldKind::Float:
      return t.name == "float" || t.name.empty() ? name + " FLoat" : name + " Varchar(500)";
    case FieldKind::Memo:
      return name + " Text";
    case FieldKind::Blob:
      return name + " Image";
    default:
      return name + " Varchar(500)";
  }
}

long long CopyTableAcrossServers(Backend& remote, HostDatabase& local, const std::string& appFolder,
                                 const std::string& sourceTable, const std::string& targetTable) {
  std::string file = WorkFile(appFolder, targetTable.substr(2));
  auto sets = remote.Query("Select * From " + sourceTable);
  SaveRecordSet(sets.empty() ? ResultSet{} : sets.front(), file);
  ResultSet loaded = LoadRecordSet(file);
  long long n = CreateAndFill(local, loaded, targetTable);
  std::error_code ec;
  std::filesystem::remove(file, ec);
  return n;
}

void ExportTableToFile(Backend& connection, const std::string& appFolder,
                       const std::string& sourceDb, const std::string& table) {
  connection.Execute(" If Exists (Select * From Tempdb..SysObjects Where [Name] Like '##" +
                     EscapeQuotes(table) + "') Drop Table ##" + table + " " + " Select * into ##" +
                     table + " From " + sourceDb + ".." + table + " As X ");
  auto sets = connection.Query("Select * From ##" + table + " ");
  SaveRecordSet(sets.empty() ? ResultSet{} : sets.front(), WorkFile(appFolder, table));
}

void ImportTempTableFromFile(HostDatabase& local, const std::string& appFolder,
                             const std::string& table) {
  std::string file = WorkFile(appFolder, table);
  ResultSet loaded = LoadRecordSet(file);
  CreateAndFill(local, loaded, "##" + table + "Temp");
  std::error_code ec;
  std::filesystem::remove(file, ec);
}

std::string TableColumns(Backend& b, const std::string& table) {
  auto sets = b.Query(
      "select SC.[Name] As FieldName from SysObjects As SO Inner Join SysColumns As SC On "
      "(SO.[id] = SC.[id]) Where SO.Type = 'U' And SC.Status <> 128 And SO.[Name] = '" +
      EscapeQuotes(table) + "' ");
  std::string out;
  if (sets.empty()) return out;
  for (const auto& row : sets.front().rows)
    out += (out.empty() ? "" : " , ") + std::string("[") + engine::FormatValue(row[0]) + "]";
  return out;
}

void CopyMissingCodes(HostDatabase& local, Backend* remote, const std::string& appFolder,
                      const std::string& sourceDb, const std::string& table,
                      const std::string& related) {
  bool pictures = UpperAscii(table) == "A_KALAPIC";
  std::string key = KeyOf(table);
  std::string columns = pictures ? " KalaNo, KalaPic " : TableColumns(*local.connection(), table);
  std::string source = sourceDb + ".." + table;
  // What the filter reads of the source: the related table (items for units) on the same
  // server, or its copy here when the source is on another server.
  std::string relatedTable = UpperAscii(table) == "MEGYAS" ? "Kala" : related;
  std::string relatedSource = sourceDb + ".." + relatedTable;
  if (remote) {
    ExportTableToFile(*remote, appFolder, sourceDb, table);
    ImportTempTableFromFile(local, appFolder, table);
    source = "##" + table + "Temp";
    if (!pictures) {
      if (UpperAscii(relatedTable) != UpperAscii(table)) {
        ExportTableToFile(*remote, appFolder, sourceDb, relatedTable);
        ImportTempTableFromFile(local, appFolder, relatedTable);
      }
      relatedSource = "##" + relatedTable + "Temp";
    }
  }
  std::string filter;
  if (pictures) {
    local.RunSql("Delete From A_KALAPIC");
    filter = " Where Ltrim(Rtrim(KalaNo)) In  (Select Ltrim(Rtrim(KalaCod)) From Kala) ";
  } else {
    filter = " Where " + key + " Not In(Select " + key + " From " + table + ") ";
    if (UpperAscii(table) == "MEGYAS")
      filter += " And (" + key + " In(Select MegyasCod1 From " + relatedSource + ") " + " Or " +
                key + " In(Select MegyasCod2 From " + relatedSource + ") " + " Or " + key +
                " In(Select MegyasCod3 From " + relatedSource + ")) ";
    else
      filter += " And " + key + " In(Select " + key + " From " + relatedSource + ") ";
  }
  local.RunSql("Insert Into " + table + " (" + columns + ") " + " Select " + columns + " From " +
               source + " As X " + filter);
}

}  // namespace xfer::db
