// Each settings object is a list of (option string, keys) read in one walk; defaults apply to
// values the strings leave empty.
#include "db/settings.h"

#include <vector>

#include "db/option_string.h"
#include "db/text_util.h"
#include "engine/engine.h"

namespace xfer::db {
namespace {

struct Source {
  const std::string* options;
  std::vector<const char*> keys;
};

// The columns of the first row of a query as text, in select-list order; empty strings when
// there is no row (a missing Options or user row reads as empty option strings).
std::vector<std::string> FirstRow(Backend& b, const std::string& sql, size_t columns) {
  std::vector<std::string> out(columns);
  auto sets = b.Query(sql);
  if (sets.empty() || sets.front().rows.empty()) return out;
  const auto& row = sets.front().rows[0];
  for (size_t i = 0; i < columns && i < row.size(); ++i)
    out[i] = engine::IsNull(row[i]) ? std::string() : engine::FormatValue(row[i]);
  return out;
}

void Read(ModuleSettings& s, const std::vector<Source>& sources) {
  for (const auto& src : sources)
    for (const char* key : src.keys) s.values[key] = GetOption(*src.options, key);
}

void ReadWidths(Backend& b, ModuleSettings& s) {
  auto sets = b.Query(
      "Select COL_LENGTH('GrohTafsily', 'TafsilyGrohCod') As LenCodGrohTafsily, "
      "COL_LENGTH('GrohTafsily2', 'Tafsily2GrohCod') As LenCodGrohTafsily2, "
      "COL_LENGTH('M_GrohProject', 'ProjectGrohCod') As LenCodGrohProject ");
  if (sets.empty() || sets.front().rows.empty()) return;
  auto asInt = [](const Value& v) {
    const auto* i = std::get_if<long long>(&v);
    return i ? static_cast<int>(*i) : 0;
  };
  const auto& row = sets.front().rows[0];
  s.lenCodGrohTafsily = asInt(row[0]);
  s.lenCodGrohTafsily2 = asInt(row[1]);
  s.lenCodGrohProject = asInt(row[2]);
}

std::string Key(const HostGlobal& g) {
  return EscapeQuotes(g.companyCode + g.fiscalYear);
}

}  // namespace

std::string ModuleSettings::Get(const std::string& key) const {
  auto it = values.find(key);
  return it == values.end() ? std::string() : it->second;
}

ModuleSettings ReadAccountingSettings(Backend& b, const HostGlobal& g) {
  ModuleSettings s;
  std::string kelvaro = LookupFirst(b, "SCode", g.companyCode + g.fiscalYear, "Kelvaro", "Options");
  std::string user = LookupFirst(b, "UserID", std::to_string(g.userNumber), "Kelvaro", "UserHub");
  Read(s, {{&kelvaro, {"NAMTAFSILY2", "NAMPROJECT", "TYPESARFASLCOD"}},
           {&user, {"DEL_REP_RECORD", "REPLACE_DES"}}});
  ReadWidths(b, s);
  return s;
}

ModuleSettings ReadSalesSettings(Backend& b, const HostGlobal& g) {
  ModuleSettings s;
  std::string sql =
      "Select Kelvaro, Forosh, Anbar From Options Where Ltrim(Rtrim(SCode))='" + Key(g) + "'";
  auto options = FirstRow(b, sql, 3);
  const std::string &kelvaro = options[0], &forosh = options[1], &anbar = options[2];
  std::string user = FirstRow(
      b, "Select Sell From UserHub Where User_Pass1='" + EscapeQuotes(g.userKey) + "'", 1)[0];
  Read(s, {{&kelvaro, {"NAMTAFSILY2", "NAMPROJECT", "TYPE_CREATE_NEWAT", "TYPESARFASLCOD"}},
           {&forosh, {"NAMBAZARYAB",     "NAMMOVAZEH",     "NAMPREFACTOR",
                      "NAMFACTOR",       "AUTO",           "NAMSANAD2",
                      "KH_FACTORPRINT",  "NAMGROHKALA",    "NAMADDRESS",
                      "SHOWBUYINFO",     "SHOWMASRAFINFO", "SET_HAVALEH_NO",
                      "REPLACE_DES",     "CREATE_AT",      "MOJODI_FOROSH",
                      "MOJODI_MAINQTYR", "SANAD_TIME",     "SANAD_TYPE",
                      "HAVALEH_TIME",    "Havaleh_DAILY",  "HAVALEH_TYPE",
                      "ETEBAR",          "TYPE_BARCOD",    "N_COMMAND",
                      "POSPRINTER",      "NUMPRINT",       "ANBARSELL",
                      "CUSTOMER_REM",    "UseTypeFactor",  "DEL_REPEATED_PREFACTOR",
                      "POSCOM",          "DRAWER",         "POSTYPE"}},
           {&anbar,
            {"TYPEKALACOD", "QTYNAME", "QTYNAME1", "QTYNAME2", "CHQ_MOJODISERIAL", "BACH_TYPE",
             "KALA_TEKRAR", "TIMEBARCODE"}},
           {&user,
            {"BODYDISCOUNT", "ENDDISCOUNT", "DTKFIFPRIN", "CUSTREM", "DEL_REP_RECORD",
             "CHANGE_CONST_FEE"}}});
  static const std::pair<const char*, const char*> kDefaults[] = {
      {"NUMPRINT", "0"},        {"BODYDISCOUNT", "NO"},  {"ENDDISCOUNT", "NO"},
      {"DEL_REP_RECORD", "NO"}, {"SHOWMASRAFINFO", "F"}, {"AUTO", "NO"}};
  for (const auto& [key, value] : kDefaults)
    if (s.values[key].empty()) s.values[key] = value;
  ReadWidths(b, s);
  return s;
}

ModuleSettings ReadInventorySettings(Backend& b, const HostGlobal& g) {
  ModuleSettings s;
  std::string sql = "Select Kelvaro, Anbar From Options Where LTRIM(SCode)='" + Key(g) + "'";
  auto options = FirstRow(b, sql, 2);
  const std::string &kelvaro = options[0], &anbar = options[1];
  std::string user = FirstRow(
      b, "Select Anbar From UserHub Where User_Pass1 = '" + EscapeQuotes(g.userKey) + "'", 1)[0];
  Read(s, {{&kelvaro, {"NAMTAFSILY2", "TYPE_CREATE_NEWAT", "NAMPROJECT", "TYPESARFASLCOD"}},
           {&anbar,
            {"TYPEKALACOD", "QTYNAME", "QTYNAME1", "QTYNAME2", "BUYFACTORNAME", "SANAD_TIME",
             "SANAD_TYPE", "CREATE_AT", "MOJODI_ANBAR", "MOJODI_MAINQTY", "SHOWCUSTOMER",
             "HAVALEH_CUSTOMER", "KH_SANAD", "CHQ_MOJODISERIAL", "CHQ_DIGIT", "BACH_TYPE",
             "FEE_OF_NERKH", "TYPE_SANAD_FOROSH", "KALA_TEKRAR"}},
           {&user, {"ANBARTYPE", "DEL_REP_RECORD", "DeterminateUser"}}});
  ReadWidths(b, s);
  return s;
}

}  // namespace xfer::db
