// Texts of the accounting voucher import, shown exactly as the suite shows them.
#pragma once

namespace xfer::import::text {

inline constexpr const char* kMalyCaption = "انتقال اسناد حسابداري از دوره مالي";
// The destination holds its closing voucher.
inline constexpr const char* kClosed = "سند اختتاميه صادر شده است";
// The destination holds its temporary-accounts voucher.
inline constexpr const char* kTemporaryClosed = "سند حسابهاي موقت صادر شده است";
// Lines whose accounts the destination lacks.
inline constexpr const char* kMissingCodes =
    "سرفصل هايي كه با رنگ سبز مشخص شده اند در دوره مالي جاري وجود ندارند.";
// New numbers would not fit Asnad.SanadNo.
inline constexpr const char* kNoNumberRoom = "طول شماره سند براي انتقال كافي نيست";
// An apply finished.
inline constexpr const char* kDone = "انتقال انجام شد";
inline constexpr const char* kAfterNewId = "با  شماره گذاري (ارسال اسناد با شماره جديد)";
inline constexpr const char* kAfterOldId =
    "بي شماره گذاري (ارسال و تركيب با اسناد قديم در صورت موجود بودن شماره سند در اين شركت)";
inline constexpr const char* kAfterOldIdNoChange =
    "بي شماره گذاري(ارسال اسناد با شماره قديم در صورت موجود نبودن شماره سند در اين شركت)";
inline constexpr const char* kAfterReplace = "جايگزيني اسناد جديد با قديم";
inline constexpr const char* kWidthEnd = " باشد. ";
inline constexpr const char* kWidthAtfCh =
    "طول ستونهاي عطف حرفي سند مبدا و مقصد متفاوت مي باشد. طول اين ستون بايد برابر ";
inline constexpr const char* kWidthDes =
    "طول ستونهاي شرح سند مبدا و مقصد متفاوت مي باشد. طول اين ستون بايد برابر ";
inline constexpr const char* kWidthSanadNo =
    "طول ستونهاي شماره سندهاي مبدا و مقصد متفاوت مي باشد. طول اين ستون بايد برابر ";
inline constexpr const char* kWidthProjectHead = "طول ستونهاي کد ";
inline constexpr const char* kWidthLevelTail =
    " مبدا و مقصد متفاوت مي باشد . طول اين ستون بايد برابر ";
inline constexpr const char* kWidthTafsily2Head = "طول ستونهاي حساب ";
inline constexpr const char* kWidthTafsily =
    "طول ستونهاي حساب تفصيلي مبدا و مقصد متفاوت مي باشد. طول اين ستون بايد برابر ";
inline constexpr const char* kWidthMoein =
    "طول ستونهاي حساب معين مبدا و مقصد متفاوت مي باشد. طول اين ستون بايد برابر ";
inline constexpr const char* kWidthKoll =
    "طول ستونهاي حساب کل مبدا و مقصد متفاوت مي باشد. طول اين ستون بايد برابر ";
inline constexpr const char* kWidthGroh =
    "طول ستونهاي گروه حسابهاي مبدا و مقصد متفاوت مي باشد. طول اين ستون بايد برابر ";
inline constexpr const char* kReportTitle = "مشخصات گزارش [انتقال اسناد حسابداري]";
inline constexpr const char* kReportCaption = "گزارش انتقال اسناد حسابداري";
inline constexpr const char* kSelectTitle = "فرم انتخاب اسناد";
inline constexpr const char* kMixedSoftware = "مجاز به انتخاب چند نرم افزار نمي باشيد.";
inline constexpr const char* kAllSoftware = "همه نرم افزار ها ...";
inline constexpr const char* kChooseSoftware = "انتخاب نرم افزار...";
// Refusals of an apply that the checks before writing make (the suite's wording style).
inline constexpr const char* kUnbalancedHead = "سند شماره ";
inline constexpr const char* kUnbalancedTail =
    " تراز نيست: جمع بدهكار و بستانكار آن برابر نمي باشد.";
inline constexpr const char* kMissingAccount = "حساب موجود نيست: ";
inline constexpr const char* kNothingLoaded = "سندي براي انتقال وجود ندارد";

}  // namespace xfer::import::text
