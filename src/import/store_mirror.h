// The remote inventory mirror: when the source period of an inventory import lies on another
// server, the source's document tables of the chosen family are copied (through work files, the
// cross-server route) into the database Tmp_A_Remote on this server, so the import procedure
// reads them by database prefix; the serial-stock procedure that opening stock needs is made
// there from the local object store.
#pragma once

#include <functional>
#include <string>

#include "db/backend.h"
#include "db/dialogs.h"
#include "db/session.h"
#include "import/import_frame.h"

namespace xfer::import {

inline constexpr const char* kStoreMirror = "Tmp_A_Remote";

// Makes Tmp_A_Remote afresh on the server of `local` and fills it with the tables of the family
// of `code` (drafts 300/500, temporary receipts 400, item requests 600, documents for any other
// code; all four for 1000), the rows whose header passes `filter` (conditions on TA starting with
// And). Progress texts go to `status`. False when the mirror could not be made.
bool MirrorStoreSource(db::Backend& remote, db::HostDatabase& local, db::Dialogs& dialogs,
                       const std::string& appFolder, const std::string& sourceDb,
                       const std::string& code, const std::string& filter,
                       const std::function<void(const Status&)>& status);
// Drops Tmp_A_Remote, leaving the connection in its own database.
void DropStoreMirror(db::HostDatabase& local);

}  // namespace xfer::import
