// Registry and period installation: runs the embedded scripts in order, filling in the code
// widths, and writes the registry row of each new period.
#include "suite/suite.h"

#include <array>

#include "db/text_util.h"
#include "suite/scripts.h"

namespace xfer::suite {
namespace {

constexpr std::array kPeriodScripts = {
    "users",         "period_system",   "period_accounting", "period_inventory",
    "period_assets", "period_treasury", "period_sales"};
constexpr std::array kProcedureScripts = {"sp_Sayer_XferHesab",
                                          "sp_N_Report_Acount",
                                          "sp_N_Report_Holder",
                                          "sp_N_Report_Cash",
                                          "sp_N_Report_Tankhah",
                                          "sp_M_Asnad_Import_Perpar",
                                          "sp_M_Asnad_Import",
                                          "sp_A_Rep_KartMojodi",
                                          "sp_A_Rep_MojodiSerial",
                                          "sp_A_Asnad_Import_Perpar",
                                          "sp_A_Asnad_Import_NewNo",
                                          "sp_A_Asnad_Import",
                                          "sp_R_Asnad_Import_Perpar",
                                          "sp_R_Asnad_Import_Applay",
                                          "sp_N_Create_LastChqAction",
                                          "sp_N_Asnad_Chq_Prepare",
                                          "sp_N_Asnad_ChqGet_Prepare_Enteghal",
                                          "sp_N_Asnad_ChqPay_Prepare_Enteghal",
                                          "sp_N_Asnad_Trans_Chq_Enteghal",
                                          "sp_N_Asnad_Trans_ChqGet_Enteghal_First",
                                          "sp_N_Asnad_Trans_ChqPay_Enteghal_First",
                                          "sp_N_Asnad_Softeh_Prepare",
                                          "sp_N_Asnad_SoftehGet_Prepare_Enteghal",
                                          "sp_N_Asnad_SoftehPay_Prepare_Enteghal",
                                          "sp_N_Asnad_Softeh_Apply",
                                          "sp_N_Asnad_SoftehGet_Apply_Enteghal",
                                          "sp_N_Asnad_SoftehPay_Apply_Enteghal"};

void RunScript(const BatchRunner& run, std::string_view name,
               const std::map<std::string, std::string>& vars) {
  run(Substitute(ScriptText(name), vars));
}

}  // namespace

std::string PeriodDatabaseName(std::string_view code, std::string_view year) {
  return "KELVARO_" + std::string(code) + "_" + std::string(year);
}

void InstallRegistry(const BatchRunner& run, const CodeWidths& widths) {
  const std::string hub(kHubDatabase);
  run("IF DB_ID('" + hub + "') IS NULL CREATE DATABASE " + hub);
  run("USE " + hub);
  auto vars = ScriptVariables(widths);
  RunScript(run, "hub_registry", vars);
  RunScript(run, "users", vars);
}

void InstallPeriodSchema(const BatchRunner& run, const CodeWidths& widths) {
  auto vars = ScriptVariables(widths);
  for (const char* name : kPeriodScripts) RunScript(run, name, vars);
}

void InstallProcedures(const BatchRunner& run) {
  for (const char* name : kProcedureScripts) RunScript(run, name, {});
}

void CreatePeriod(const BatchRunner& run, const PeriodSpec& period) {
  using db::Quote;
  const std::string name = PeriodDatabaseName(period.code, period.year);
  run("CREATE DATABASE " + name);
  run("USE " + name);
  InstallPeriodSchema(run, period.widths);
  InstallProcedures(run);
  const std::string date1 = period.date1.empty() ? period.year + "/01/01" : period.date1;
  const std::string date2 = period.date2.empty() ? period.year + "/12/29" : period.date2;
  const std::string hub = std::string(kHubDatabase) + "..Hub_Company";
  run("DELETE FROM " + hub + " WHERE sCode = " + Quote(period.code) +
      " AND sYear = " + Quote(period.year) + "\nINSERT INTO " + hub +
      " (sCode, sYear, sName, DBName, sVer, sDate1, sDate2, IsActive, CreateDate) VALUES (" +
      Quote(period.code) + ", " + Quote(period.year) + ", " + Quote(period.companyName) + ", " +
      Quote(name) + ", " + Quote(period.version) + ", " + Quote(date1) + ", " + Quote(date2) +
      ", 'T', " + Quote(date1) + ")");
}

}  // namespace xfer::suite
