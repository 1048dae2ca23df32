// The module transfer forms as data: per form its tabs, and per tab (or per entry of a tab's
// combo box) the table it carries, with the column list, key expression, code widths to
// compare and Persian captions. One table per module; the frame (module_transfer.h), the forms
// and `xfer move` walk them with one routine.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "transfer/base/catalogue.h"

namespace xfer::transfer {

// A column a tab's grid shows: field and title ({NAMTAFSILY2} / {NAMPROJECT} as in captions).
struct GridColumn {
  const char* field;
  const char* title;
};

// A step that follows the carrying of a table or a print layout: one batch on the current
// database, one atomic unit of the run. `{SOURCE}` in the batch names the source period's table
// (its local copy when the source is on another server), `{CURRENT}` the current database.
struct FollowUp {
  const char* caption;   // Persian name of the step in the run report
  const char* table;     // the destination table it rewrites
  const char* source;    // the source period's table it reads
  const char* fetchTag;  // suffix of that table's local copy after the form's temporary name
  const char* batch;
};

// One table a form carries: a tab, or one entry of a tab's combo box.
struct ModuleTable {
  const char* tab;         // tab sheet, e.g. "Moein_TabSheet"
  const char* tabCaption;  // caption of the tab sheet
  const char* combo;       // combo box of the tab; "" when the tab has none
  int comboIndex;          // entry of the combo that chooses this table; -1 without a combo
  const char* comboItem;   // text of that entry
  const char* grid;        // grid showing the table, e.g. "dbgMoein"
  const char* query;       // the grid's query on the current database
  const char* table;       // table argument of the procedure, as the form passes it
  const char* tag;         // suffix of the conflict table after the form's temporary name
  const char* columns;     // column list, passed verbatim
  const char* key;         // key expression, passed verbatim
  const char* caption;     // Persian name for the progress window and the messages
  std::vector<WidthCheck> checks;
  std::vector<GridColumn> shown;
  // The progress title and the closing message where the form gives its own per table;
  // otherwise "انتقال " + caption and caption + " منتقل شد.".
  const char* progressTitle = "";
  const char* doneMessage = "";
  std::vector<FollowUp> followUps = {};  // run after the table, whatever its clashes
  const char* sortKey = "";              // the grid's client-side order; "" for none
  // When the period's procedure leaves no conflict table, the destination table is replaced
  // whole by the source's rows instead of merged.
  bool wholeWithoutConflicts = false;
};

// A tab that replaces whole tables of the current period rather than merging one.
enum class CopyKind {
  kUsers,       // the user tables, as the base transfer replaces them
  kPrintForms,  // the print layouts of the form's kind letter
};

struct CopyTab {
  const char* tab;      // tab sheet, e.g. "ts_User"
  const char* caption;  // caption of the tab sheet
  CopyKind kind;
  const char* grid;   // grid showing what the tab copies
  const char* query;  // the grid's query on the current database
  std::vector<GridColumn> shown;
  const char* printLetter;               // kind letter of the print layouts; "" for other kinds
  const char* firstId = ">0";            // which source layouts are copied: "Frmid" + this
  std::vector<FollowUp> afterEach = {};  // run with each layout copied, in its unit
};

// The entry a tab's combo box shows first; without one the last entry.
struct ComboDefault {
  const char* combo;
  int index;
};

// What closes a form's confirm button besides the marked period.
enum class FormGate {
  kNone,
  kYearVouchers,  // the current period holds an opening or closing voucher of the ledger
};

struct ModuleForm {
  const char* name;       // as `xfer move --form` takes it
  const char* className;  // the form class the host opens
  const char* caption;
  FormGate gate;
  const char* widthEnd;                    // ends the width-mismatch message
  const char* conflictDoneCode;            // dialog code of "carried" after the conflict window
  bool turnover;                           // the table grids offer the account turnover report
  std::vector<CopyTab> copies;             // shown before the table tabs
  std::vector<ModuleTable> tables;         // in the order of the form's tabs
  bool serverChoice = true;                // false: no cmdServer, every source is on this server
  bool emptySourceMessage = true;          // says so when the source table is empty
  const char* doneCode = "1IR";            // dialog code of "carried" without clashes
  const char* structureFirst = "";         // first sentence of the structure message, when its own
  const char* systemLetter = "M";          // the grids' system letter for the grid toolkit
  std::vector<const char*> tabOrder = {};  // the tabs' order when not periods, copies, tables
  std::vector<ComboDefault> comboDefaults = {};
};

// Every module form, in the order of the host's menu.
const std::vector<const ModuleForm*>& ModuleForms();
// The form of that name (case-insensitive); null when none.
const ModuleForm* FindModuleForm(std::string_view name);
// The table of a form by its table argument or tag (case-insensitive); null when none.
const ModuleTable* FindModuleTable(const ModuleForm& form, std::string_view table);
// The users or print tab of a form by its tab name or the table it replaces ("UserHub",
// "Prn_Form_T"; case-insensitive); null when none.
const CopyTab* FindCopyTab(const ModuleForm& form, std::string_view name);

// The forms' data, one definition per module.
const ModuleForm& MalyForm();
const ModuleForm& SellForm();
const ModuleForm& DaraForm();
const ModuleForm& AnbarForm();
const ModuleForm& NaghdForm();

}  // namespace xfer::transfer
