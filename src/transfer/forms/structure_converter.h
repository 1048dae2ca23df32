// The suite's structure converter library as the base-information transfer form calls it: where
// it is installed below the application folder and the entry point it exports. The library is
// not part of this module; it builds against this header.
#pragma once

#include <string>

namespace xfer::db {
struct HostGlobal;
class HostDate;
class HostDatabase;
}  // namespace xfer::db

namespace xfer::ui {
class TDlgMsg;
}

extern "C" {
// Converts the structure of the current period; `module` names the calling module ("M").
typedef void (*StructureConverterEntry)(xfer::db::HostGlobal* global, xfer::db::HostDate* myDate,
                                        xfer::db::HostDatabase* myDatabase,
                                        xfer::ui::TDlgMsg* dlgMsg, const char* module);
}

namespace xfer::transfer {

inline constexpr char kConverterFolder[] = "Lib";
inline constexpr char kConverterFile[] = "libStructureConverter.so";
inline constexpr char kConverterEntry[] = "ConvertStructure";

// The library file under an application folder.
inline std::string ConverterPath(const std::string& appFolder) {
  return appFolder + "/" + kConverterFolder + "/" + kConverterFile;
}

}  // namespace xfer::transfer
