// Script variables of the code widths, and the $(Name) substitution of the embedded scripts.
#include "suite/code_widths.h"

#include <stdexcept>

#include "suite/scripts.h"

namespace xfer::suite {

std::map<std::string, std::string> ScriptVariables(const CodeWidths& w) {
  const std::pair<const char*, int> widths[] = {
      {"GrohWidth", w.groh},
      {"KollWidth", w.koll},
      {"MoeinWidth", w.moein},
      {"TafsilyWidth", w.tafsily},
      {"Tafsily2Width", w.tafsily2},
      {"ProjectWidth", w.project},
      {"TafsilyGrohWidth", w.tafsilyGroh},
      {"Tafsily2GrohWidth", w.tafsily2Groh},
      {"ProjectGrohWidth", w.projectGroh},
      {"HesabNameWidth", w.hesabName},
      {"NameWidth", w.name},
      {"KalaWidth", w.kala},
      {"KalaGrohWidth", w.kalaGroh},
      {"AnbarWidth", w.anbar},
      {"MegyasWidth", w.megyas},
      {"CustomerWidth", w.customer},
      {"CustomerGrohWidth", w.customerGroh},
      {"BazaryabWidth", w.bazaryab},
      {"SellersWidth", w.sellers},
      {"PersonWidth", w.person},
      {"BankWidth", w.bank},
      {"ShobehWidth", w.shobeh},
      {"AcountWidth", w.acount},
      {"CashWidth", w.cash},
      {"ArzWidth", w.arz},
      {"SanadNoWidth", w.sanadNo},
      {"DocumentWidth", w.document},
      {"FactorNoWidth", w.factorNo},
      {"UserNameWidth", w.userName},
  };
  std::map<std::string, std::string> out;
  for (const auto& [name, value] : widths) {
    if (value < 1 || value > 8000)
      throw std::invalid_argument(std::string("width out of range: ") + name);
    out[name] = std::to_string(value);
  }
  return out;
}

std::string_view ScriptText(std::string_view name) {
  for (const auto& s : Scripts())
    if (s.name == name) return s.text;
  throw std::out_of_range("no suite script named " + std::string(name));
}

std::string Substitute(std::string_view text, const std::map<std::string, std::string>& values) {
  std::string out;
  out.reserve(text.size());
  size_t pos = 0;
  while (true) {
    size_t open = text.find("$(", pos);
    if (open == std::string_view::npos) break;
    size_t close = text.find(')', open + 2);
    if (close == std::string_view::npos) break;
    std::string name(text.substr(open + 2, close - open - 2));
    auto it = values.find(name);
    if (it == values.end()) throw std::invalid_argument("no value for script variable " + name);
    out.append(text.substr(pos, open - pos));
    out.append(it->second);
    pos = close + 1;
  }
  out.append(text.substr(pos));
  return out;
}

}  // namespace xfer::suite
