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
// The structure converter library could not be loaded: the file is there, or it is not.
inline constexpr char kConverterPresent[] = "File Exits: ";
inline constexpr char kConverterMissing[] = "Can not load ";

}  // namespace xfer::transfer::form_text
