// The import frame's own texts, shown exactly as the suite shows them.
#pragma once

namespace xfer::import::text {

// No period chosen.
inline constexpr const char* kNoPeriod = "دوره مالي انتخاب نشده است";
// Progress text of the load step.
inline constexpr const char* kLoading = "در حال انتقال ...";
// The item of the candidate grid's popup that runs the load step.
inline constexpr const char* kReportItem = "گزارش ...";
// A typed date that is not a Solar Hijri date.
inline constexpr const char* kBadDate = "تاريخ وارد شده اشکال دارد";
// The source does not answer a timer tick.
inline constexpr const char* kNoConnection = "ارتباط برقرار نيست";
// Automatic mode idle.
inline constexpr const char* kAutoOff = "غيرفعال بودن انتقال خودكار";
// Automatic mode running.
inline constexpr const char* kAutoOn = "فعال بودن انتقال خودكار";
// Radio group of summarising before sending.
inline constexpr const char* kPriorCaption = "وضعيت اسناد قبل از ارسال";
// Radio group of numbering after sending.
inline constexpr const char* kAfterCaption = "وضعيت اسناد پس از ارسال";
inline constexpr const char* kPriorNoChange = "بدون تغيير";
inline constexpr const char* kPriorDaily = "خلاصه(روزانه)";
inline constexpr const char* kPriorMonthly = "خلاصه(ماهيانه)";
inline constexpr const char* kPriorYearly = "خلاصه(ساليانه)";
// Check box: copy missing base records.
inline constexpr const char* kCopyBaseCaption =
    "انتقال اطلاعات پايه اي که در دوره مالي مبدا موجود است ولي در دوره مقصد وجود ندارد.";
inline constexpr const char* kServerHint = "تغيير نام سرور مبدا";
inline constexpr const char* kOk = "تاييد";
inline constexpr const char* kEvery = "هر";
inline constexpr const char* kMinutes = "دقيقه";
inline constexpr const char* kRunCount = "تعداد دفعات انتقال";
inline constexpr const char* kTo = "تا";

}  // namespace xfer::import::text
