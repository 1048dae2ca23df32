// Installs the suite's databases through any backend that runs a T-SQL batch: the registry
// KELVARO_Hub and company periods "KELVARO_" + code + "_" + year with their schema, the suite's
// stored procedures and their registry row.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "suite/code_widths.h"

namespace xfer::suite {

// Runs one T-SQL batch on the backend's connection; failures throw. The connection keeps its
// current database between batches (USE), as an ADO connection does.
using BatchRunner = std::function<void(const std::string&)>;

inline constexpr std::string_view kHubDatabase = "KELVARO_Hub";
// Structure version written to Hub_Company.sVer for periods made by this schema.
inline constexpr std::string_view kStructureVersion = "3.2.1";

// "KELVARO_" + code + "_" + year.
std::string PeriodDatabaseName(std::string_view code, std::string_view year);

// Creates KELVARO_Hub when missing and its tables (Hub_Company, UserHub, UserHubDetail,
// UserPrivilege) when missing. Leaves the connection in KELVARO_Hub.
void InstallRegistry(const BatchRunner& run, const CodeWidths& widths = {});

struct PeriodSpec {
  std::string code;         // company code
  std::string year;         // fiscal year, four digits
  std::string companyName;  // Persian name shown in period lists
  std::string date1;        // first day, yyyy/mm/dd; empty: year/01/01
  std::string date2;        // last day; empty: year/12/29
  std::string version = std::string(kStructureVersion);
  CodeWidths widths;
};

// Creates the period database (which must not exist), installs the period schema and the
// procedures, and registers it in KELVARO_Hub..Hub_Company (replacing an older row of the same
// code and year). The registry must be installed. Leaves the connection in the new database.
void CreatePeriod(const BatchRunner& run, const PeriodSpec& period);

// In the current database: the period tables, then the stored procedures.
void InstallPeriodSchema(const BatchRunner& run, const CodeWidths& widths);
void InstallProcedures(const BatchRunner& run);

}  // namespace xfer::suite
