// Texts of the sales document import, shown exactly as the suite shows them.
#pragma once

namespace xfer::import::text {

// The form's caption before the sales options name the documents.
inline constexpr const char* kTradoCaption = "انتقال فاکتور/صورتحساب فروش از دوره مالي";
// The title built from the sales module's names: head + pre-invoice + "/" + invoice + tail.
inline constexpr const char* kTradoTitleHead = "                    انتقال ";
inline constexpr const char* kTradoTitleTail = " فروش از دوره مالي";
// Document types when the sales options name nothing.
inline constexpr const char* kPreFactor = "پيش فاكتور";
inline constexpr const char* kFactor = "صورتحساب";
inline constexpr const char* kReturnPrefix = "برگشتي ";
// No document type chosen.
inline constexpr const char* kNoType = "نوع سند انتخاب نشده است";
// Lines whose codes this period lacks (drawn green).
inline constexpr const char* kMissingBase =
    "رديفهايي که با رنگ سبز مشخص شده اند در قسمت اطلاعات پايه کامل نمي باشد";
// An apply finished: the type's name, then this, then the run count.
inline constexpr const char* kTradoDoneTail = "ها منتقل شدند";
inline constexpr const char* kAdamEntegal = "عدم انتقال پيش فاکتورهاي تبديل شده به صورتحساب";
inline constexpr const char* kTradoAfterNewId = "با  شماره گذاري (ارسال اسناد با شماره جديد)";
inline constexpr const char* kTradoAfterOldIdNew =
    "بي شماره گذاري (ارسال صورتحساب با شماره قديم در صورت موجود نبودن صورتحساب در اين شركت)";
inline constexpr const char* kTradoAfterOldIdReplace =
    "بي شماره گذاري (ارسال با شماره قديم و در صورت موجود بودن در اين شركت حذف و جايگزين شدن "
    "صورتحساب جديد)";
inline constexpr const char* kTradoReportTitle = "مشخصات گزارش [انتقال فاکتور/صورتحساب]";
// Width checks of the load: the head of each message, then the destination's width and
// kWidthEnd (import_text.h of the voucher import).
inline constexpr const char* kWidthCatgagoryNam =
    "طول ستونهاي نام عوامل صورتحساب مبدا و مقصد متفاوت مي باشد. طول اين ستون بايد برابر ";
inline constexpr const char* kWidthCatgagoryCod =
    "طول ستونهاي کد عوامل صورتحساب مبدا و مقصد متفاوت مي باشد. طول اين ستون بايد برابر ";
inline constexpr const char* kWidthCatgagoryMetod =
    "طول ستونهاي روش عوامل صورتحساب مبدا و مقصد متفاوت مي باشد. طول اين ستون بايد برابر ";
inline constexpr const char* kWidthKalaCod =
    "طول ستونهاي كد کالا/خدمات مبدا و مقصد متفاوت مي باشد. طول اين ستون بايد برابر ";
inline constexpr const char* kWidthAddress =
    "طول ستونهاي آدرس مبدا و مقصد متفاوت مي باشد . طول اين ستون بايد برابر ";
inline constexpr const char* kWidthSanadNoForosh2 =
    "طول ستونهاي شماره ثانويه مبدا و مقصد متفاوت مي باشد. طول اين ستون بايد برابر ";
inline constexpr const char* kWidthSanadNoForosh =
    "طول ستونهاي شماره فاکتور مبدا و مقصد متفاوت مي باشد. طول اين ستون بايد برابر ";
inline constexpr const char* kWidthCustomerCod =
    "طول ستونهاي کد مشتريان مبدا و مقصد متفاوت مي باشد. طول اين ستون بايد برابر ";
inline constexpr const char* kWidthBazaryabCod =
    "طول ستونهاي کد بازارياب مبدا و مقصد متفاوت مي باشد. طول اين ستون بايد برابر ";
inline constexpr const char* kWidthAnbarCod =
    "طول ستونهاي کد انبار مبدا و مقصد متفاوت مي باشد. طول اين ستون بايد برابر ";
// Refusals of an apply that the checks before writing make (the suite's wording style).
inline constexpr const char* kNoFactorNumberRoom = "طول شماره فاکتور براي انتقال كافي نيست";
inline constexpr const char* kMissingCode = "کد موجود نيست: ";

}  // namespace xfer::import::text
