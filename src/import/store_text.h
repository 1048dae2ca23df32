// The inventory document import's own texts, shown exactly as the suite shows them.
#pragma once

namespace xfer::import::text {

inline constexpr const char* kStoreCaption = "انتقال اسناد انبار از دوره مالي";
inline constexpr const char* kNoType = "نوع سند انتخاب نشده است";
inline constexpr const char* kStoreBadDate = "تاريخ وارد شده اشکال دارد ";
// A date of another year than the source period's: kYearHead + that year + kYearTail.
inline constexpr const char* kYearHead = "سال ";
inline constexpr const char* kYearTail = " قابل قبول مي باشد  ";
inline constexpr const char* kAnbarFrom = "انبار از";
inline constexpr const char* kAnbarPickTitle = "انتخاب انبار";
// The preview's report properties and print.
inline constexpr const char* kStorePropertiesTitle = "انتقال مدارک انبار";
inline constexpr const char* kStoreReportKey = "A_ASNAD_IMPORT_1";
inline constexpr const char* kReportPrefix = "گزارش ";
inline constexpr const char* kHavaleh = "حواله با مرجع اطلاعات مقصد";

// rg_AfterImport of the inventory form, in the order of its items.
inline constexpr const char* kStoreReplace = "جايگزيني اسناد جديد با اسناد قديم";
inline constexpr const char* kStoreNewId = "با  شماره گذاري (ارسال اسناد با شماره جديد)";
inline constexpr const char* kStoreMerge = "بي شماره گذاري (ارسال و ترکيب با اسناد قديم)";
inline constexpr const char* kStoreOldId = "بي شماره گذاري (ارسال اسناد با شماره قديم)";

// Width checks of the load: the head of each message, then the destination's width and kWidthTail.
inline constexpr const char* kWidthDocument =
    "طول ستونهاي شماره سندهاي مبدا و مقصد متفاوت مي باشد. طول اين ستون بايد برابر ";
inline constexpr const char* kWidthKala =
    "طول ستونهاي كد کالا/قطعات مبدا و مقصد متفاوت مي باشد. طول اين ستون بايد برابر ";
inline constexpr const char* kWidthUser =
    "طول ستونهاي نام کاربر مبدا و مقصد متفاوت مي باشد. طول اين ستون بايد برابر ";
inline constexpr const char* kWidthAnbar =
    "طول ستونهاي کد انبار مبدا و مقصد متفاوت مي باشد. طول اين ستون بايد برابر ";
inline constexpr const char* kWidthPersonel =
    "طول ستونهاي تحويل دهنده گان مبدا و مقصد متفاوت مي باشد. طول اين ستون بايد برابر ";
inline constexpr const char* kWidthSellers =
    "طول ستونهاي کد فروشنده گان مبدا و مقصد متفاوت مي باشد. طول اين ستون بايد برابر ";
inline constexpr const char* kWidthTafsily2Head = "طول ستونهاي حساب ";
inline constexpr const char* kWidthTafsily2Tail =
    " مبدا و مقصد متفاوت مي باشد . طول اين ستون بايد برابر ";
inline constexpr const char* kWidthMasraf =
    "طول ستونهاي کد مورد مصرف مبدا و مقصد متفاوت مي باشد. طول اين ستون بايد برابر ";
inline constexpr const char* kWidthAvamelCode =
    "طول ستونهاي کد عوامل خريد مبدا و مقصد متفاوت مي باشد. طول اين ستون بايد برابر ";
inline constexpr const char* kWidthAvamelName =
    "طول ستونهاي نام عوامل خريد مبدا و مقصد متفاوت مي باشد. طول اين ستون بايد برابر ";
inline constexpr const char* kWidthAvamelType =
    "طول ستونهاي نوع عوامل خريد مبدا و مقصد متفاوت مي باشد. طول اين ستون بايد برابر ";
inline constexpr const char* kWidthAvamelMetod =
    "طول ستونهاي روشهاي عوامل خريد مبدا و مقصد متفاوت مي باشد. طول اين ستون بايد برابر ";
inline constexpr const char* kWidthTail = " باشد. ";

inline constexpr const char* kAvamelDiffer = "عوامل رسيد در دو سال مالي بايد يکسان باشند. ";
inline constexpr const char* kStoreMissingCodes =
    "رديفهايي که با رنگ سبز مشخص شده اند در قسمت اطلاعات پايه کامل نمي باشد";
inline constexpr const char* kOpeningNoNewId =
    "براي انتقال موجودي نميتوان از گزينه <با شماره گذاري (ارسال اسناد با شماره جديد)> استفاده كرد.";
inline constexpr const char* kOpeningHasLines =
    "به علت گردش موجود در موجودي اوليه امكان پذير نمي باشد";
inline constexpr const char* kNoRemote = "عمليات انتقال از سرور راه دور امكان پذير نيست !";
inline constexpr const char* kNotMoved =
    "اسناد نمايش داده شده به علت وجود عوامل در يکي از دو دوره منتقل نشده اند";
inline constexpr const char* kStoreDone = "انتقال انجام شد";
inline constexpr const char* kRepricing = " انتقال يافت(اسناد نياز به نرخ گذاري مجدد دارند)";
inline constexpr const char* kFromPeriod = " از دوره مالي ";
inline constexpr const char* kTransfer = "انتقال ";
// Totals rows of the preview.
inline constexpr const char* kTotalAnbar = "جمع انبار(";
inline constexpr const char* kTotalDocument = ")مدرک شماره(";
inline constexpr const char* kTotalAll = "جمع کل";

// Progress texts of the remote mirror.
inline constexpr const char* kPleaseWait = "لطفا صبر کنيد";
inline constexpr const char* kMakingMirror = " در حال ساخت پايگاه داده موقت ... ";
inline constexpr const char* kMakingTable = " در حال ساخت جدول موقت ";
inline constexpr const char* kMakingFile = " در حال ساخت فايل موقت ";
inline constexpr const char* kFillingTable = " در حال انتقال اطلاعات به جدول ";

}  // namespace xfer::import::text
