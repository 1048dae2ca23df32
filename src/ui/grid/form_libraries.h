// The suite's dialog libraries behind the grid commands: which plugin file and exported function
// serve each command, where the files are looked for, and one call of a library (load, find the
// function, call, unload). A missing library or function makes the call do nothing.
#pragma once

#include <QString>
#include <string>

#include "ui/grid/grid_library_api.h"

namespace xfer::ui::grid {

enum class GridService {
  kFilter,
  kColumns,
  kReportProperties,
  kSearch,
  kAdvancedSort,
  kSms,
  kPrint,
  kAdvancedPrint
};

struct GridLibrary {
  GridService service;
  const char* file;   // under the library folder
  const char* entry;  // exported function
};

const GridLibrary& LibraryOf(GridService service);

// Library folder below the application folder, and the variable that names the development
// folder used instead while a debugger is attached (the build tree's library folder when unset).
inline constexpr char kLibraryFolder[] = "Lib";
inline constexpr char kDevelopmentFolderVariable[] = "XFER_DEV_LIBRARY_DIR";

// True when a debugger traces this process.
bool DebuggerAttached();
// Where the libraries are loaded from: the development folder under a debugger, else the
// library folder of the application folder.
QString LibraryFolder(const std::string& appFolder);

// One call of the library serving `service`; false when the library or its function is missing.
bool CallLibrary(GridService service, const std::string& appFolder, GridLibraryCall& call);

}  // namespace xfer::ui::grid
