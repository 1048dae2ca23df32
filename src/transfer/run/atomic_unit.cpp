#include "transfer/run/atomic_unit.h"

#include "db/text_util.h"
#include "transfer/run/unit_boundary.h"

namespace xfer::transfer {

void RunAtomic(db::HostDatabase& destination, const std::function<void()>& work,
               const std::string& probeDatabase) {
  std::string probe(db::Trim(probeDatabase));
  if (!probe.empty()) db::CodeLength(*destination.connection(), probe + "..Options", "SCode");
  destination.RunSql("BEGIN TRAN");
  try {
    work();
  } catch (...) {
    try {
      destination.RunSql("IF @@TRANCOUNT > 0 ROLLBACK TRAN");
    } catch (...) {
    }
    throw;
  }
  destination.RunSql("COMMIT TRAN");
  UnitCommitted();
}

}  // namespace xfer::transfer
