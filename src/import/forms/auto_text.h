// Texts of the automatic transfer form, shown exactly as the suite shows them.
#pragma once

namespace xfer::import::text {

inline constexpr const char* kAutoCaption = "انتقال اسناد";
inline constexpr const char* kAutoConfirm = "تاييد نهايي";

}  // namespace xfer::import::text
