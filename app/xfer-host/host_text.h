// Persian texts of the desktop host.
#pragma once

namespace xfer::hostapp::text {

inline constexpr char kAppTitle[] = "انتقال اطلاعات";
inline constexpr char kUserName[] = "نام کاربر";
inline constexpr char kChoosePeriod[] = "انتخاب دوره مالي";
inline constexpr char kCompanyName[] = "نام شرکت";
inline constexpr char kServerName[] = "نام سرور";
inline constexpr char kOk[] = "تاييد";
inline constexpr char kCancel[] = "انصراف";
inline constexpr char kNoPeriod[] = "دوره مالي انتخاب نشده است";
inline constexpr char kCannotConnect[] = "نميتوان به سرور مورد نظر وصل شد.";
inline constexpr char kBadServer[] = "نام سرور اشتباه مي باشد";
inline constexpr char kTransferMenu[] = "انتقال";
inline constexpr char kNotBuilt[] = "اين فرم هنوز آماده نشده است";
inline constexpr char kRunning[] = "تا پايان انتقال در حال اجرا صبر کنيد";
inline constexpr char kToday[] = "تاريخ: ";
inline constexpr char kPeriod[] = "دوره مالي: ";
inline constexpr char kServer[] = "سرور: ";
inline constexpr char kPeriodDates[] = "از ";
inline constexpr char kDatesTo[] = " تا ";

}  // namespace xfer::hostapp::text
