// Demo servers: a registry with companies and consecutive fiscal periods full of Persian master
// data and documents, at any scale, the same for the same seed. A second server holds other
// periods of the same companies for cross-server work.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "suite/suite.h"

namespace xfer::suite {

struct DemoOptions {
  int scale = 1;  // about a thousand master rows at 1, hundreds of thousands at 100, growing
                  // in step with the scale beyond 100
  std::uint64_t seed = 1;
};

struct DemoCompany {
  std::string code;
  std::string name;
};

struct DemoReport {
  std::vector<std::string> databases;  // period databases made, in order
  long long masterRows = 0;            // rows written to master (catalogue) tables
};

// Companies 1 and 2 of the main demo server.
std::vector<DemoCompany> DemoCompanies();

// Installs the registry and, per company, the periods 1402 (every master row) and 1403 (a part
// of them, some renamed, some of its own), with documents of each year.
DemoReport BuildDemo(const BatchRunner& run, const DemoOptions& options);
// Installs the registry and, per company, the periods 1401 and 1404 of the same master data.
DemoReport BuildRemoteDemo(const BatchRunner& run, const std::vector<DemoCompany>& companies,
                           const DemoOptions& options);

// The same on embedded servers. The directory is created; a server that already holds
// KELVARO_Hub is refused (std::runtime_error). The remote server takes its companies from the
// registry of `mainDirectory`.
DemoReport BuildDemoServer(const std::string& directory, const DemoOptions& options);
DemoReport BuildRemoteDemoServer(const std::string& directory, const std::string& mainDirectory,
                                 const DemoOptions& options);

}  // namespace xfer::suite
