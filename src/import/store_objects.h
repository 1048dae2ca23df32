// The local object store: the suite's procedure texts kept beside the application (folder
// "Data/DB_Objects" under the application folder), so a procedure can be made in a database that
// was not installed by the suite, such as the remote inventory mirror. In its least form it is
// one embedded database with the table SP_Text (SPName, SPText).
#pragma once

#include <string>

namespace xfer::import {

// The folder of the store under `appFolder`.
std::string ObjectStoreFolder(const std::string& appFolder);
// Writes the procedures the module needs into the store when they are missing.
void EnsureObjectStore(const std::string& appFolder);
// The text stored under `spName` ("dbo.sp_A_Rep_MojodiSerial.PRC"); empty when there is none.
std::string ObjectText(const std::string& appFolder, const std::string& spName);

}  // namespace xfer::import
