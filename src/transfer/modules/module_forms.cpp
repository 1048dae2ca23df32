// The list of module transfer forms and the lookups over it. A new module form adds its data
// file and one line here; the frame, the forms and `xfer move` need nothing else.
#include "db/text_util.h"
#include "transfer/modules/module_tables.h"

namespace xfer::transfer {

const std::vector<const ModuleForm*>& ModuleForms() {
  static const std::vector<const ModuleForm*> kForms = {&MalyForm(), &SellForm(), &DaraForm(),
                                                        &AnbarForm()};
  return kForms;
}

const ModuleForm* FindModuleForm(std::string_view name) {
  const std::string wanted = db::UpperAscii(db::Trim(name));
  for (const ModuleForm* f : ModuleForms())
    if (db::UpperAscii(f->name) == wanted || db::UpperAscii(f->className) == wanted) return f;
  return nullptr;
}

const ModuleTable* FindModuleTable(const ModuleForm& form, std::string_view table) {
  const std::string wanted = db::UpperAscii(db::Trim(table));
  for (const ModuleTable& t : form.tables)
    if (db::UpperAscii(t.table) == wanted || db::UpperAscii(t.tag) == wanted) return &t;
  return nullptr;
}

const CopyTab* FindCopyTab(const ModuleForm& form, std::string_view name) {
  const std::string wanted = db::UpperAscii(db::Trim(name));
  for (const CopyTab& c : form.copies) {
    const char* table = c.kind == CopyKind::kUsers ? "USERHUB" : "PRN_FORM_T";
    if (db::UpperAscii(c.tab) == wanted || wanted == table) return &c;
  }
  return nullptr;
}

}  // namespace xfer::transfer
