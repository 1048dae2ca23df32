// Persian texts of the server-connection form.
#pragma once

namespace xfer::ui::text {

inline constexpr char kRemoteCaption[] = "برقراري ارتباط راه دور";
inline constexpr char kServerLabel[] = " نام سرور";
inline constexpr char kWinAuth[] = "استفاده از رمز ويندوز ";
inline constexpr char kAuthGroup[] = " روش وصل شدن به سرور";
inline constexpr char kUserLabel[] = " نام کاربر SQL ";
inline constexpr char kPasswordLabel[] = "رمز کاربر SQL";
inline constexpr char kRemoteOk[] = "تاييد";
inline constexpr char kRemoteCancel[] = "انصراف";
inline constexpr char kWrongServer[] = "نام سرور اشتباه مي باشد";
inline constexpr char kEmptyServer[] = "نام سرور خالي مي باشد";
inline constexpr char kConnectTitle[] = "برقراري ارتباط با سرور";
inline constexpr char kConnecting[] = "در حال وصل شدن به سرور";
inline constexpr char kCannotConnect[] = "نميتوان به سرور مورد نظر وصل شد.";
// The SQL Server choice reads like the Windows one, with SQL for the password's source.
inline constexpr char kSqlAuth[] = "استفاده از رمز SQL";

}  // namespace xfer::ui::text
