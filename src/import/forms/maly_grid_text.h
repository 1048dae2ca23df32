// Columns of the candidate grid, in order, with the titles the suite gives them; the second-detail
// and project titles come from the accounting options.
#pragma once

namespace xfer::import::text {

struct GridTitle {
  const char* field;
  const char* caption;  // empty: from the option named by `option`
  const char* option;
};

inline constexpr GridTitle kMalyGrid[] = {
    {"TypeSysNam", "نرم افزار صادر کننده سند", ""},
    {"Raj", "رديف", ""},
    {"SanadNo", " سند", ""},
    {"SanadDate", "تاريخ سند", ""},
    {"ProjectCod", "", "NAMPROJECT"},
    {"Tafsily2", "", "NAMTAFSILY2"},
    {"Tafsily", "تفصيلي", ""},
    {"Moein", "معين", ""},
    {"Koll", "کل", ""},
    {"Des", "شرح", ""},
    {"Bed", "بد", ""},
    {"Bes", "بس", ""},
    {"AtfCh", "عطف حرفي", ""},
    {"AtfDate", "عطف تاريخ", ""},
    {"AtfNum", "عطف عددي", ""},
};

}  // namespace xfer::import::text
