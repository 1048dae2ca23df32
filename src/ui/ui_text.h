// Persian texts of the shared dialogs, kept in one place so every form shows them identically.
#pragma once

namespace xfer::ui::text {

// Message dialog buttons; "&" marks the keyboard mnemonic.
inline constexpr char kOk[] = "&تاييد";
inline constexpr char kCancel[] = "&انصراف";
inline constexpr char kYes[] = "&بله";
inline constexpr char kNo[] = "&خير";
// A dialog with this caption switches the single OK button of every later dialog to it.
inline constexpr char kContinue[] = "ادامه";

// Existing-form dialog.
inline constexpr char kApplyFormWithName[] = "فرمي با نام :";
inline constexpr char kApplyExists[] =
    "در شركت فعلي موجود است. عمليات انتقال چگونه ادامه پيدا كند؟";
inline constexpr char kApplyReplace[] = "جايگزيني بر روي فرم فعلي";
inline constexpr char kApplyRename[] = "انتقال فرم با يك نام ديگر :";
inline constexpr char kApplySkip[] = "عدم انتقال فرم";
inline constexpr char kApplyOk[] = "تاييد";
inline constexpr char kApplyCancel[] = "انصراف";
inline constexpr char kApplyChangeName[] = "لطفا نام فرم را تغيير دهيد.";

}  // namespace xfer::ui::text
