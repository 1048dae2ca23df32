// Demo server orchestration: registry, companies, periods in pairs, and the per-period context
// the module fillers share.
#include "suite/demo.h"

#include <stdexcept>

#include "engine/engine.h"
#include "suite/demo_gen.h"
#include "suite/demo_words.h"
#include "suite/engine_runner.h"

namespace xfer::suite {
namespace demo {

std::uint64_t Hash(std::string_view text) {
  std::uint64_t h = 1469598103934665603ull;
  for (unsigned char c : text) {
    h ^= c;
    h *= 1099511628211ull;
  }
  return h;
}

Rng Period::Stream(std::string_view table) const {
  return Rng(seed ^ Hash(table));
}
Rng Period::YearStream(std::string_view what) const {
  return Rng(seed ^ Hash(year) ^ (Hash(what) << 1));
}

int Period::Count(int base, int cap) const {
  // Up to 100 it grows faster than the scale, so that 1 stays small and 100 is a heavy load;
  // beyond, in step with it, so that 1000 holds ten times the rows of 100 and fits a disk.
  const long long s = scale;
  const long long volume = s <= 100 ? s + s * s / 25 : 5 * s;
  long long n = static_cast<long long>(base) * volume;
  return static_cast<int>(n < cap ? n : cap);
}

bool Period::Has(int i, int n) const {
  if (role == Role::Full) return i < n;
  return i < n / 5 + 1 || i >= n;
}

std::string Period::Name(std::string_view base, int i) const {
  std::string name(base);
  if (Renamed(i)) name += " (جديد)";
  return name;
}

std::string Period::Date(Rng& rng) const {
  int month = static_cast<int>(rng.Between(1, 12));
  int day = static_cast<int>(rng.Between(1, month <= 6 ? 31 : 29));
  return year + "/" + Code(month, 2) + "/" + Code(day, 2);
}

std::string Code(long long n, int width) {
  std::string digits = std::to_string(n);
  if (static_cast<int>(digits.size()) >= width) return digits;
  return std::string(static_cast<size_t>(width) - digits.size(), '0') + digits;
}

std::string PersonName(Rng& rng) {
  return std::string(rng.Pick(words::FirstNames())) + " " +
         std::string(rng.Pick(words::FamilyNames()));
}

namespace {

void FillPeriod(const Period& p) {
  p.run("BEGIN TRAN");
  FillSystem(p);
  FillAccounting(p);
  FillInventory(p);
  FillAssets(p);
  FillTreasury(p);
  FillCheques(p);
  FillSales(p);
  p.run("COMMIT");
}

void FillRegistryUsers(const BatchRunner& run) {
  run("IF NOT EXISTS (SELECT * FROM UserHub) "
      "INSERT INTO UserHub (UserID, User_Name, User_Pass1, IsAdmin, IsActive, Kelvaro) VALUES "
      "(1, 'مدير', 'ADMIN', 'T', 'T', 'CHANGE_NAMHESAB=T;'), "
      "(2, 'حسابدار', 'ACC01', 'F', 'T', 'CHANGE_NAMHESAB=F;'), "
      "(3, 'انباردار', 'STORE01', 'F', 'T', ''), (4, 'فروشنده', 'SELL01', 'F', 'T', '')");
}

DemoReport Build(const DemoRunner& run, const std::vector<DemoCompany>& companies,
                 const std::string& firstYear, const std::string& nextYear,
                 const DemoOptions& options) {
  if (options.scale < 1) throw std::invalid_argument("demo scale must be at least 1");
  InstallRegistry(run.batch);
  FillRegistryUsers(run.batch);
  DemoReport report;
  for (const auto& company : companies) {
    std::uint64_t seed = options.seed * 1000003ull ^ Hash("company " + company.code);
    for (const auto& [year, role] : {std::pair{firstYear, Role::Full}, {nextYear, Role::Next}}) {
      PeriodSpec period;
      period.code = company.code;
      period.year = year;
      period.companyName = company.name;
      CreatePeriod(run.batch, period);
      Period p{run,          seed, options.scale, role,
               company.code, year, company.name,  &report.masterRows};
      FillPeriod(p);
      // A server keeps statistics of the tables it holds; a period just filled is measured once.
      run("USE " + PeriodDatabaseName(company.code, year) + " EXEC sp_updatestats");
      report.databases.push_back(PeriodDatabaseName(company.code, year));
    }
  }
  run("USE master");
  return report;
}

std::shared_ptr<engine::Server> FreshServer(const std::string& directory) {
  auto server = engine::Server::Open(directory, true);
  if (server->HasDatabase(kHubDatabase))
    throw std::runtime_error("server " + directory + " already holds " + std::string(kHubDatabase));
  return server;
}

}  // namespace
}  // namespace demo

std::vector<DemoCompany> DemoCompanies() {
  return {{"1", "بازرگاني آريا"}, {"2", "صنايع غذايي البرز"}};
}

DemoReport BuildDemo(const BatchRunner& run, const DemoOptions& options) {
  return demo::Build({run, {}}, DemoCompanies(), "1402", "1403", options);
}

DemoReport BuildRemoteDemo(const BatchRunner& run, const std::vector<DemoCompany>& companies,
                           const DemoOptions& options) {
  return demo::Build({run, {}}, companies, "1401", "1404", options);
}

DemoReport BuildDemoServer(const std::string& directory, const DemoOptions& options) {
  auto server = demo::FreshServer(directory);
  engine::Connection conn(server);
  return demo::Build({EngineRunner(conn), EngineAppender(conn)}, DemoCompanies(), "1402", "1403",
                     options);
}

DemoReport BuildRemoteDemoServer(const std::string& directory, const std::string& mainDirectory,
                                 const DemoOptions& options) {
  std::vector<DemoCompany> companies;
  {
    auto main = engine::Server::Open(mainDirectory, false);
    engine::Connection conn(main, kHubDatabase);
    auto sets = conn.Execute(
        "SELECT sCode, MAX(sName) AS sName FROM Hub_Company GROUP BY sCode ORDER BY sCode");
    for (const auto& row : sets.at(0).rows)
      companies.push_back({engine::FormatValue(row.at(0)), engine::FormatValue(row.at(1))});
  }
  if (companies.empty()) throw std::runtime_error("no companies registered in " + mainDirectory);
  auto server = demo::FreshServer(directory);
  engine::Connection conn(server);
  return demo::Build({EngineRunner(conn), EngineAppender(conn)}, companies, "1401", "1404",
                     options);
}

}  // namespace xfer::suite
