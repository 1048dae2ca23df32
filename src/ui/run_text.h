// Persian texts of a run as every form shows it: the progress window's stop button, the
// questions before stopping or closing, and the run summary window.
#pragma once

namespace xfer::ui::run_text {

inline constexpr char kStop[] = "توقف";
inline constexpr char kStopHint[] = "توقف انتقال پس از پايان جدول در حال انتقال";
inline constexpr char kStopQuestion[] =
    "انتقال پس از پايان جدول در حال انتقال متوقف شود؟\nجدولهاي منتقل شده کامل باقي مي مانند.";
inline constexpr char kCloseQuestion[] =
    "انتقال اطلاعات در حال اجراست.\nپس از پايان جدول در حال انتقال، انتقال متوقف و پنجره بسته "
    "شود؟";
inline constexpr char kStopAsked[] = "توقف پس از پايان اين جدول...";
inline constexpr char kOf[] = " از ";

inline constexpr char kSummaryCaption[] = "خلاصه انتقال";
inline constexpr char kSource[] = "مبدا: ";
inline constexpr char kDestination[] = "مقصد: ";
inline constexpr char kStarted[] = "شروع: ";
inline constexpr char kColCaption[] = "شرح";
inline constexpr char kColSource[] = "رديفهاي مبدا";
inline constexpr char kColCarried[] = "منتقل شده";
inline constexpr char kColKept[] = "موجود در مقصد، منتقل نشده";
inline constexpr char kColSeconds[] = "ثانيه";
inline constexpr char kTotal[] = "جمع";
inline constexpr char kOutcomeOk[] = "انتقال کامل شد.";
inline constexpr char kOutcomeStopped[] =
    "انتقال به درخواست کاربر متوقف شد. جدولهاي منتقل شده کامل هستند و بقيه منتقل نشدند.";
inline constexpr char kOutcomeEnded[] = "انتقال متوقف شد: ";
inline constexpr char kKeptNote[] =
    "رديفهايي که کليد آنها در مقصد وجود دارد منتقل نشدند و اطلاعات مقصد تغيير نکرد.";
inline constexpr char kConflicts[] = "رديفهاي منتقل نشده";
inline constexpr char kConflictsLater[] =
    "جايگزيني رديفهاي منتقل نشده در فرم انتقال هر سيستم انجام مي شود؛ اين فرم هنوز آماده نشده است";
inline constexpr char kConflictsRemote[] =
    "رديفهاي منتقل نشده از سرور ديگر در فرم انتقال همان سيستم جايگزين مي شوند";
inline constexpr char kConflictsHint[] = "نمايش رديفهاي منتقل نشده جدول انتخاب شده براي جايگزيني";
inline constexpr char kClose[] = "بستن";

}  // namespace xfer::ui::run_text
