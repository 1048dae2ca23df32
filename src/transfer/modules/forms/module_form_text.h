// Texts of the module transfer forms and their conflict window.
#pragma once

namespace xfer::transfer::module_text {

inline constexpr const char* kOk = "تاييد";
inline constexpr const char* kServer = " تغيير سرور";
inline constexpr const char* kServerHint = "تغيير نام سرور مبدا";
inline constexpr const char* kMinimizeHint = "كوچك كردن فرم";
inline constexpr const char* kCloseHint = "بستن فرم";
inline constexpr const char* kServerName = "ServerName";
inline constexpr const char* kPeriodTab = "انتخاب دوره مالي";
inline constexpr const char* kState = "انتخاب";
inline constexpr const char* kCode = "کد";
inline constexpr const char* kYear = "سال";
inline constexpr const char* kCompany = "نام شرکت";
inline constexpr const char* kFirstDate = "اول دوره";
inline constexpr const char* kLastDate = "آخر دوره";
inline constexpr const char* kTurnoverItem = "نمايش گردش حساب/سند ...";

inline constexpr const char* kConflictCaption = "اطلاعات منتقل نشده ";
inline constexpr const char* kConflictTitle = "         اطلاعات منتقل نشده";
inline constexpr const char* kOkCheck = "جايگزيني اطلاعات انتخابي";
inline constexpr const char* kOkAll = "جايگزيني تمامي اطلاعات";
inline constexpr const char* kReserved = "معكوس انتخاب";
inline constexpr const char* kCancel = "انصراف";

}  // namespace xfer::transfer::module_text
