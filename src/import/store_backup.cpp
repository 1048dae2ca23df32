#include "import/store_backup.h"

#include <algorithm>
#include <ctime>
#include <map>

#include "db/text_util.h"
#include "engine/engine.h"
#include "transfer/run/atomic_unit.h"

namespace xfer::import {
namespace {

std::string Cell(const db::ResultSet& rs, size_t row, size_t col) {
  const db::Value& v = rs.rows[row][col];
  return engine::IsNull(v) ? std::string() : engine::FormatValue(v);
}

std::vector<std::string> BackupNames(db::Backend& b) {
  std::vector<std::string> names;
  auto sets = b.Query("Select [Name] From SysObjects Where Type = 'U' And [Name] Like 'BCK[_]%'");
  if (sets.empty()) return names;
  for (size_t r = 0; r < sets.back().rows.size(); ++r) names.push_back(Cell(sets.back(), r, 0));
  return names;
}

// The table a backup name belongs to (longest prefix first: A_TranSanj_Movagat before
// A_TranSanj) and its stamp; null when it is no inventory backup.
const BackedUpTable* Owner(const std::string& name, std::string& stamp) {
  const BackedUpTable* best = nullptr;
  for (const BackedUpTable& t : StoreBackupTables()) {
    std::string prefix = db::UpperAscii(t.prefix);
    if (db::UpperAscii(name).rfind(prefix, 0) == 0 &&
        (!best || std::string(t.prefix).size() > std::string(best->prefix).size()))
      best = &t;
  }
  if (best) stamp = name.substr(std::string(best->prefix).size());
  return best;
}

}  // namespace

const std::vector<BackedUpTable>& StoreBackupTables() {
  static const std::vector<BackedUpTable> tables = {
      {"A_TranID", "BCK_A_TranID_"},
      {"A_TranSanj", "BCK_A_TranSanj_"},
      {"A_TranSanj_Movagat", "BCK_A_TranSanj_Movagat_"},
      {"A_TranSerial", "BCK_A_TranSerial_"},
      {"A_TranTax", "BCK_A_TranTax_"},
      {"Avamel_Resid", "BCK_A_Avamel_Resid_"},
      {"SarfaslMasraf", "BCK_SarfaslMasraf_"},
      {"A_HamlInfo", "BCK_A_HamlInfo_"},
  };
  return tables;
}

std::string BackupStamp(const std::string& solarDate, const std::string& time) {
  std::string date, clock;
  for (char c : solarDate)
    if (c >= '0' && c <= '9') date += c;
  for (char c : time)
    if (c >= '0' && c <= '9') clock += c;
  if (clock.size() < 6) clock = std::string(6 - clock.size(), '0') + clock;
  if (date.empty()) {
    // A session without the host's date: the machine's calendar date keeps stamps in order.
    std::time_t now = std::time(nullptr);
    char buf[16];
    std::strftime(buf, sizeof buf, "%Y%m%d", std::localtime(&now));
    date = buf;
  }
  return date + "_" + clock;
}

std::string BackupStoreTables(db::Backend& b, const std::string& stamp) {
  for (const std::string& name : BackupNames(b)) {
    std::string ignored;
    if (Owner(name, ignored)) b.Execute("Drop Table [" + name + "]");
  }
  for (const BackedUpTable& t : StoreBackupTables())
    b.Execute("Select * Into [" + std::string(t.prefix) + stamp + "] From " + t.table);
  return stamp;
}

std::vector<StoreBackup> ListStoreBackups(db::Backend& b) {
  std::map<std::string, StoreBackup> sets;
  for (const std::string& name : BackupNames(b)) {
    std::string stamp;
    if (!Owner(name, stamp)) continue;
    StoreBackup& s = sets[stamp];
    s.stamp = stamp;
    s.tables.push_back(name);
  }
  std::vector<StoreBackup> out;
  for (auto& [stamp, s] : sets) {
    s.complete = s.tables.size() == StoreBackupTables().size();
    std::sort(s.tables.begin(), s.tables.end());
    out.push_back(s);
  }
  return out;
}

bool RestoreStoreBackup(db::HostDatabase& destination, const std::string& stamp) {
  db::Backend& b = *destination.connection();
  bool complete = false;
  for (const StoreBackup& s : ListStoreBackups(b))
    if (s.stamp == stamp) complete = s.complete;
  if (!complete) return false;
  transfer::RunAtomic(destination, [&] {
    for (const BackedUpTable& t : StoreBackupTables()) {
      std::string table = t.table;
      auto probe = b.Query("Select Top 0 * From " + table);
      std::string columns;
      for (const db::Field& f : probe.back().fields)
        columns += (columns.empty() ? "[" : ", [") + f.name + "]";
      bool identity = !b.Query("Select [Name] From SysColumns Where Id = Object_Id('" + table +
                               "') And Status = 128")
                           .back()
                           .rows.empty();
      b.Execute("Delete From " + table);
      if (identity) b.Execute("Set Identity_Insert " + table + " On");
      b.Execute("Insert Into " + table + " (" + columns + ") Select " + columns + " From [" +
                t.prefix + stamp + "]");
      if (identity) b.Execute("Set Identity_Insert " + table + " Off");
    }
  });
  return true;
}

}  // namespace xfer::import
