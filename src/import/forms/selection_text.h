// Texts of the voucher selection form and the software selection dialog, as the suite shows them.
#pragma once

namespace xfer::import::text {

inline constexpr const char* kSelectCaption = "فرم انتخاب اسناد";
inline constexpr const char* kSelectTitleLine = "  انتخاب اسناد ";
inline constexpr const char* kAll = "همه";
inline constexpr const char* kNone = "هيچکدام";
inline constexpr const char* kRevert = "معکوس";
inline constexpr const char* kRange = "بازه";
inline constexpr const char* kRangeRevert = "م بازه";
inline constexpr const char* kOkButton = "تاييد";
inline constexpr const char* kCancel = "انصراف";
inline constexpr const char* kSelectorButton = "انتخاب اسناد";
inline constexpr const char* kKoll = "كل";
inline constexpr const char* kMoein = "معين";
inline constexpr const char* kBed = "بدهكار";
inline constexpr const char* kBes = "بستانكار";
inline constexpr const char* kSoftwareCaption = "انتخاب نرم افزار ...";
inline constexpr const char* kSoftwareTitleLine = "   انتخاب نرم افزار ...";
inline constexpr const char* kCloseHint = "بستن فرم";

}  // namespace xfer::import::text
