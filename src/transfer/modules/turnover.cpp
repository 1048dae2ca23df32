#include "transfer/modules/turnover.h"

#include <cstdlib>

#include "db/option_string.h"
#include "db/text_util.h"
#include "engine/engine.h"

namespace xfer::transfer {
namespace {

// Account-code fields, the page they open and the entry that carries the code.
struct Level {
  const char* field;
  const char* page;
  const char* entry;
  const char* lines;  // voucher lines of the code: a condition over Asnad, {C} the code
};

const Level kLevels[] = {
    {"GROH", "G", "G", "Koll In (Select Koll From Koll Where Groh = {C})"},
    {"KOLL", "K", "K", "Koll = {C}"},
    {"MOEIN", "M", "M", "Koll = {K} And Moein = {C}"},
    {"TAFSILYGROHCOD", "T1", "GT1",
     "Tafsily In (Select Tafsily From Tafsily Where TafsilyGrohCod = {C})"},
    {"TAFSILY", "T1", "T1", "Tafsily = {C}"},
    {"TAFSILY2GROHCOD", "T2", "GT2",
     "Tafsily2 In (Select Tafsily2 From Tafsily2 Where Tafsily2GrohCod = {C})"},
    {"TAFSILY2", "T2", "T2", "Tafsily2 = {C}"},
    {"PROJECTGROHCOD", "P", "GP",
     "ProjectCod In (Select ProjectCod From M_Project Where ProjectGrohCod = {C})"},
    {"PROJECTCOD", "P", "P", "ProjectCod = {C}"},
};

const Level* LevelOf(const std::string& page, const std::string& entry) {
  for (const Level& l : kLevels)
    if (page == l.page && entry == l.entry) return &l;
  return nullptr;
}

std::string Replace(std::string text, const std::string& what, const std::string& with) {
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + with.size()))
    text.replace(at, what.size(), with);
  return text;
}

std::string Text(const db::Value& v) {
  return engine::IsNull(v) ? std::string() : engine::FormatValue(v);
}

}  // namespace

std::optional<TurnoverRequest> TurnoverFor(const std::string& field, const std::string& code,
                                           const std::string& koll, const std::string& periodStart,
                                           const std::string& periodEnd) {
  const std::string f = db::UpperAscii(db::Trim(field));
  const std::string c(db::Trim(code));
  if (c.empty()) return std::nullopt;
  for (const Level& l : kLevels) {
    if (f != l.field) continue;
    std::string s = db::SetOption("", "REPORT", "GARDESH_HESAB");
    s = db::SetOption(s, "PAGE", l.page);
    if (f == "MOEIN") s = db::SetOption(s, "K", std::string(db::Trim(koll)));
    if (std::string(l.page) != l.entry && f != "GROH" && f != "KOLL" && f != "MOEIN")
      s = db::SetOption(s, "TYPE", l.entry);
    s = db::SetOption(s, l.entry, c);
    return TurnoverRequest{s, "COND=SANADDATE;FR=" + periodStart + ";TO=" + periodEnd + ";"};
  }
  return std::nullopt;
}

std::vector<TurnoverLine> AccountTurnover(db::Backend& b, const TurnoverRequest& request) {
  std::vector<TurnoverLine> out;
  const std::string page = db::GetOption(request.selection, "PAGE");
  std::string entry = db::GetOption(request.selection, "TYPE");
  if (entry.empty()) entry = page;
  const Level* level = LevelOf(page, entry);
  if (!level) return out;
  std::string where =
      Replace(level->lines, "{C}", db::Quote(db::GetOption(request.selection, entry)));
  where = Replace(where, "{K}", db::Quote(db::GetOption(request.selection, "K")));
  std::string sql =
      "Select SanadDate, SanadNo, Des, Bed, Bes From Asnad Where TypeSys = 'M' And " + where;
  const std::string from = db::GetOption(request.condition, "FR");
  const std::string to = db::GetOption(request.condition, "TO");
  if (!from.empty()) sql += " And SanadDate >= " + db::Quote(from);
  if (!to.empty()) sql += " And SanadDate <= " + db::Quote(to);
  auto sets = b.Query(sql + " Order By SanadDate, SanadNo");
  if (sets.empty()) return out;
  double balance = 0;
  for (const auto& row : sets.front().rows) {
    TurnoverLine l;
    l.date = Text(row[0]);
    l.voucher = Text(row[1]);
    l.description = Text(row[2]);
    l.debit = std::strtod(Text(row[3]).c_str(), nullptr);
    l.credit = std::strtod(Text(row[4]).c_str(), nullptr);
    balance += l.debit - l.credit;
    l.balance = balance;
    out.push_back(std::move(l));
  }
  return out;
}

}  // namespace xfer::transfer
