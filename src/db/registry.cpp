#include "db/registry.h"

#include "db/text_util.h"
#include "engine/engine.h"

namespace xfer::db {
namespace {

std::string TextAt(const ResultSet& rs, size_t row, const std::string& field) {
  for (size_t i = 0; i < rs.fields.size(); ++i)
    if (UpperAscii(rs.fields[i].name) == UpperAscii(field)) {
      const Value& v = rs.rows[row][i];
      return engine::IsNull(v) ? std::string() : engine::FormatValue(v);
    }
  return {};
}

std::vector<std::string> Entries(const std::vector<ResultSet>& sets) {
  std::vector<std::string> out;
  if (sets.empty()) return out;
  const ResultSet& rs = sets.back();
  for (size_t r = 0; r < rs.rows.size(); ++r)
    out.push_back(PeriodEntry(TextAt(rs, r, "DBName"), TextAt(rs, r, "sName")));
  return out;
}

}  // namespace

std::string PeriodEntry(const std::string& dbName, const std::string& companyName) {
  return dbName + "    " + companyName;
}

std::string SourceDatabaseUntrimmed(const std::string& entry) {
  return UpperAscii(entry.substr(0, std::min<size_t>(entry.size(), 17)));
}

std::string SourceDatabaseOf(const std::string& entry) {
  return std::string(Trim(SourceDatabaseUntrimmed(entry)));
}

std::vector<std::string> ListPeriods(Backend& b, const std::string& excludeDb) {
  return Entries(b.Query("Select * From KELVARO_Hub..HUB_Company Where DbName Not Like '" +
                         EscapeQuotes(excludeDb) + "' Order By sCode, sYear"));
}

std::vector<std::string> ListRemotePeriods(Backend& remote, const std::string& tempName,
                                           const std::string& currentDb, bool sameServer) {
  std::string bare = tempName.starts_with("##") ? tempName.substr(2) : tempName;
  remote.Execute("If Exists (Select * From Tempdb..SysObjects Where [Name] Like '%" +
                 EscapeQuotes(bare) + "%') " + "Drop Table " + tempName);
  remote.Execute(
      "Update KELVARO_Hub..Hub_Company Set "
      "DBName='KELVARO_'+Ltrim(Rtrim(scode))+'_'+Ltrim(Rtrim(syear)) ");
  std::string filter = sameServer ? "From KELVARO_Hub..Hub_Company As X Where X.DBName <> '" +
                                        EscapeQuotes(currentDb) + "' And "
                                  : "From KELVARO_Hub..Hub_Company As X Where ";
  remote.Execute("Select X.*, ' ' As State Into " + tempName + " " + filter +
                 " X.DBName In (Select [Name] From Master..SysDatabases) Order By sCode, sYear ");
  return Entries(remote.Query("Select * From " + tempName));
}

PeriodRange PeriodDates(Backend& b, const std::string& entry) {
  auto sets = b.Query("Select * From KELVARO_Hub..HUB_Company Where DbName Like '" +
                      EscapeQuotes(SourceDatabaseOf(entry)) + "' ");
  PeriodRange r;
  if (!sets.empty() && !sets.front().rows.empty()) {
    r.first = TextAt(sets.front(), 0, "sDate1");
    r.last = TextAt(sets.front(), 0, "sDate2");
  }
  return r;
}

bool SameStructure(Backend& b, const std::string& currentDb, const std::string& sourceDb) {
  auto sets = b.Query(
      "Select Count(Distinct sVer) As iCount From Kelvaro_Hub..Hub_Company Where DBName = '" +
      EscapeQuotes(currentDb) + "' Or DBName = '" + EscapeQuotes(sourceDb) + "' ");
  long long n = 0;
  if (!sets.empty() && !sets.front().rows.empty())
    if (const auto* i = std::get_if<long long>(&sets.front().rows[0][0])) n = *i;
  return n <= 1;
}

std::string StructureMessage(const std::string& currentDb) {
  return std::string("ساختار فايل شرکت انتخاب شده با شرکت جاري متفاوت مي باشد. ") +
         "براي انتقال اطلاعات پايه حسابها بايد به شرکت'" + currentDb + "'" +
         "  وصل شويد و گزينه تغيير ساختار را اجرا کنيد . ";
}

}  // namespace xfer::db
