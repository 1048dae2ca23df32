// The base-table catalogue and the blocks of the base-information transfer, as data: one
// descriptor per master table, walked by one generic routine (base_transfer.cpp).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace xfer::transfer {

enum class Module { kMaly, kStore, kDara, kNaghd, kTrado, kSazmandehi };

struct WidthCheck {
  const char* table;  // table whose column width is compared between the two periods
  const char* column;
  const char* caption;  // names the column in the mismatch message
};

struct BaseTableDescriptor {
  Module module;
  const char* table;  // table argument of the transfer procedure
  const char* key;    // key expression over the table's columns (quotes not doubled)
  const char* name;   // Persian name; {NAMTAFSILY2} / {NAMPROJECT} stand for level names
  std::vector<WidthCheck> checks;
  const char* columns;  // column list copied from source to destination
};

enum class StepKind { kTable, kUsers };
struct BlockStep {
  StepKind kind;
  const char* table;  // for kTable: a catalogue table argument
};

// Tables a block adds when none of `unless` is ticked.
struct ExtraSteps {
  std::vector<Module> unless;
  std::vector<BlockStep> steps;
};

struct TransferBlock {
  Module module;
  const char* checkBox;
  const char* title;  // progress window title
  std::vector<BlockStep> steps;
  std::vector<ExtraSteps> extras;
  const char* printLetter;  // print layouts copied after the block; "" for none
  bool salesDocuments;      // the sales-document settings follow the block
  const char* doneMessage;
};

// One software-organizing option: one column of the Options table.
struct OptionsDescriptor {
  const char* checkBox;
  const char* column;
  const char* name;
};

const std::vector<BaseTableDescriptor>& Catalogue();
const std::vector<TransferBlock>& TransferBlocks();
const std::vector<OptionsDescriptor>& OrganizingOptions();

// The descriptor of a table argument (case-insensitive); null when the catalogue has none.
const BaseTableDescriptor* FindDescriptor(std::string_view table);

// Replaces {NAMTAFSILY2} and {NAMPROJECT} with the company's names of those levels.
std::string ExpandLevelNames(std::string text, const std::string& namTafsily2,
                             const std::string& namProject);

// Texts of the base-information transfer.
namespace text {
inline constexpr const char* kFormCaption = "انتقال اطلاعات پايه";
inline constexpr const char* kNotice = "در صورت وجود اطلاعات جايگزين خواهد شد";
inline constexpr const char* kChooseCompany = "لطفا يک شرکت انتخاب کنيد";
inline constexpr const char* kWait = "لطفا صبر کنيد";
inline constexpr const char* kWidthPrefix = "طول ";
inline constexpr const char* kWidthSuffix = " مبدا و مقصد متفاوت مي باشد";
inline constexpr const char* kUsersCaption = "نام کاربران";
// Messages of the run beyond the form's own: nothing ticked, and carrying from a newer period
// into an older one (source, its dates, current period).
inline constexpr const char* kChooseModule = "لطفا حداقل يک سيستم را براي انتقال انتخاب کنيد";
inline constexpr const char* kBackwardsSource = "دوره مبدا ";
inline constexpr const char* kBackwardsFrom = " (از ";
inline constexpr const char* kBackwardsTo = " تا ";
inline constexpr const char* kBackwardsNewer = ") جديدتر از دوره جاري ";
inline constexpr const char* kBackwardsAsk =
    " است.\nاطلاعات از دوره جديدتر به دوره قديمي تر منتقل شود؟";
// Captions of the units that are not catalogue tables.
inline constexpr const char* kPrintFormsCaption = "فرمهاي چاپ";
inline constexpr const char* kSalesDocumentsCaption = "تنظيمات اسناد فروش";
}  // namespace text

}  // namespace xfer::transfer
