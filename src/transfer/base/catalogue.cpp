#include "transfer/base/catalogue.h"

#include "db/text_util.h"

namespace xfer::transfer {

const BaseTableDescriptor* FindDescriptor(std::string_view table) {
  std::string want = db::UpperAscii(table);
  for (const auto& d : Catalogue())
    if (db::UpperAscii(d.table) == want) return &d;
  return nullptr;
}

std::string ExpandLevelNames(std::string text, const std::string& namTafsily2,
                             const std::string& namProject) {
  const std::pair<std::string, const std::string*> marks[] = {{"{NAMTAFSILY2}", &namTafsily2},
                                                              {"{NAMPROJECT}", &namProject}};
  for (const auto& [mark, value] : marks)
    for (size_t at; (at = text.find(mark)) != std::string::npos;)
      text.replace(at, mark.size(), *value);
  return text;
}

}  // namespace xfer::transfer
