// Persian captions of the base-information transfer form; its messages live with the transfer
// (transfer/base/catalogue.h).
#pragma once

namespace xfer::transfer::form_text {

inline constexpr char kCompanyLabel[] = "نام پايگاه داده مبدا";
inline constexpr char kChkMaly[] = "حسابداري";
inline constexpr char kChkStore[] = "انبار";
inline constexpr char kChkDara[] = "دارايي";
inline constexpr char kChkNaghd[] = "نقدينگي";
inline constexpr char kChkTrado[] = "فروش";
inline constexpr char kChkSazmandehi[] = "سازماندهي نرم افزار";
inline constexpr char kOk[] = "تاييد";
inline constexpr char kServer[] = " تغيير سرور";
inline constexpr char kServerHint[] = "تغيير نام سرور مبدا";
inline constexpr char kSakhtar[] = "فراخواني ساختار";
// The structure converter library could not be loaded: the file is there, or it is not. The
// user is told in Persian what to do; where the library was looked for goes to the log.
inline constexpr char kConverterPresent[] =
    "برنامه تغيير ساختار قابل اجرا نيست. لطفا آن را دوباره نصب کنيد.";
inline constexpr char kConverterMissing[] =
    "برنامه تغيير ساختار روي اين سيستم نصب نشده است. لطفا آن را نصب کنيد.";
// The periods on both sides of the transfer.
inline constexpr char kDestinationLabel[] = "دوره مقصد: ";
inline constexpr char kSourceDatesLabel[] = "دوره مبدا از ";
inline constexpr char kDatesFrom[] = " از ";
inline constexpr char kDatesTo[] = " تا ";

// The kept rows of a chart-of-accounts table while the period holds its year vouchers.
inline constexpr char kKeptRowsGated[] =
    "سند افتتاحيه يا اختتاميه در دوره جاري ثبت شده است؛ رديفهاي حسابها جايگزين نمي شوند.";

}  // namespace xfer::transfer::form_text
