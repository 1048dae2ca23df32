// Persian texts of the grid toolkit: menu captions, messages and the mark character.
#pragma once

namespace xfer::ui::grid::text {

// The mark of a chosen row; grids draw it as a check mark.
inline constexpr char kMark[] = "ض";
inline constexpr char kCheckGlyph[] = "✔";

inline constexpr char kHelp[] = "راهنما";
inline constexpr char kSearch[] = "جستجو ...";
inline constexpr char kSearchReport[] = "جستجو...";
inline constexpr char kSaveLayout[] = "ثبت وضعيت ستونها";
inline constexpr char kResetLayout[] = "بازگشت به وضعيت اوليه ستونها";
inline constexpr char kSendTo[] = "ارسال به";
inline constexpr char kClipboard[] = "Clipboard (محيط ديگر ...)";
inline constexpr char kClipboardReport[] = "Clipboard ( محيط ديگر ...)";
inline constexpr char kExcel[] = "Excel";
inline constexpr char kExcelBook[] = "Excel (xlsx)";
inline constexpr char kWord[] = "Word";
inline constexpr char kHtml[] = "HTML";
inline constexpr char kCopyRow[] = "کپي رديف به حافظه";
inline constexpr char kRestoreRow[] = "بازيابي رديف از حافظه";
inline constexpr char kCopyCell[] = "کپي خانه به حافظه";
inline constexpr char kRestoreCell[] = "بازيابي خانه از حافظه";
inline constexpr char kDeleteRow[] = "حذف رديف";
inline constexpr char kHideColumn[] = "حذف ستون";
inline constexpr char kColumns[] = "ستونها ...";
inline constexpr char kColumnChart[] = "نمودار ستوني اطلاعات ...";
inline constexpr char kRowChart[] = "نمودار سطري اطلاعات ...";
inline constexpr char kFilter[] = "پالايش گزارش ...";
inline constexpr char kUnfilter[] = "بازگشت از پالايش";
inline constexpr char kProperties[] = "مشخصات گزارش ...";
inline constexpr char kPrint[] = "چاپ ...";
inline constexpr char kAdvancedPrint[] = "چاپ پيشرفته ...";
inline constexpr char kAdvancedSort[] = "مرتب سازي پيشرفته ...";
inline constexpr char kFitWidths[] = "تنظيم عرض ستونها";
inline constexpr char kDbfDos[] = "Dbf->Dos";
inline constexpr char kDbfWin[] = "Dbf->Win";
inline constexpr char kSms[] = "ارسال SMS";

inline constexpr char kAskDelete[] = "آيا حذف شود؟";
inline constexpr char kHasTurnover[] = "گردش دارد.";
inline constexpr char kLayoutSaved[] = "وضعيت ستونها ثبت شد.";
inline constexpr char kLayoutReset[] =
    "ستونها به وضعيت اوليه بازگشت. \nلطفا براي مشاهده ستونهاي اوليه\nاز فرم خارج شده و دوباره "
    "وارد شويد.";
inline constexpr char kSmsNotRunning[] = "نرم افزار مديريت پيامک  اجرا نشده !";

}  // namespace xfer::ui::grid::text
