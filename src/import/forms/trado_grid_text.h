// Columns of the sales candidate grid, in order, with the titles the suite gives them.
#pragma once

namespace xfer::import::text {

struct TradoGridTitle {
  const char* field;
  const char* caption;
  bool amount;  // shown with thousands separators
};

inline constexpr TradoGridTitle kTradoGrid[] = {
    {"SanadNoForosh2", "شماره ثانويه", false},
    {"PreSanadNoForosh", "شماره مرجع", false},
    {"OldSanadNoForosh", "شماره", false},
    {"SanadNoForosh", "شماره جديد", false},
    {"SanadDate", "تاريخ", false},
    {"AnbarCod", "انبار", false},
    {"AnbarNam", "نام انبار", false},
    {"BazaryabCod", "بازارياب", false},
    {"BazaryabNam", "نام بازارياب", false},
    {"CustomerCod", "مشتري", false},
    {"CustomerNam", "نام مشتري", false},
    {"KalaCod", "كالا/خدمات", false},
    {"KalaNam", "نام كالا/خدمات", false},
    {"Qty2", "مقياس2", true},
    {"Qty1", "مقياس1", true},
    {"Qty", "مقياس", true},
    {"FeeBuy", "في خريد", true},
    {"BuyValue", "قيمت خريد", true},
    {"FeeMasraf", "في مصرف کننده", true},
    {"MasrafValue", "قيمت مصرف کننده", true},
    {"FeeSell", "في فروش", true},
    {"SellValue", "قيمت فروش", true},
    {"PercentTakfif", "درصد تخفيف", true},
    {"Takfif", "تخفيف", true},
    {"SellTax", "ماليات", true},
    {"AmValue", "عوارض", true},
};

}  // namespace xfer::import::text
