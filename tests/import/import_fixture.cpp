#include "import_fixture.h"
#include "temp_tree.h"

#include <unistd.h>

#include "suite/demo.h"

namespace xfer::import::testing {
namespace fs = std::filesystem;

namespace {
fs::path Temp(const std::string& tag) {
  return fs::temp_directory_path() / ("xfer_import_" + tag + "_" + std::to_string(::getpid()));
}
}  // namespace

std::string PristineDemo() {
  static const std::string dir = [] {
    fs::path p = Temp("pristine");
    xfer_test::RemoveTree(p);
    suite::BuildDemoServer(p.string(), suite::DemoOptions{});
    std::atexit([] { xfer_test::RemoveTree(Temp("pristine")); });
    return p.string();
  }();
  return dir;
}

std::string CopyOfDemo(const std::string& tag) {
  fs::path to = Temp(tag);
  xfer_test::RemoveTree(to);
  fs::copy(PristineDemo(), to, fs::copy_options::recursive);
  return to.string();
}

void ImportTest::SetUp() {
  std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
  dir_ = CopyOfDemo(name);
  work_ = dir_ + "_work";
  fs::create_directories(work_);
  g_.serverName = dir_;
  g_.workstation = "WS";
  g_.userId = "1";
  g_.appFolder = work_;
}

void ImportTest::TearDown() {
  sql_.reset();
  server_.reset();
  link_ = db::HostDatabase{};
  xfer_test::RemoveTree(dir_);
  xfer_test::RemoveTree(work_);
}

std::unique_ptr<MalyImport> ImportTest::Open(const std::string& database) {
  size_t a = database.find('_'), b = database.rfind('_');
  g_.companyCode = database.substr(a + 1, b - a - 1);
  g_.fiscalYear = database.substr(b + 1);
  link_.ConnectDatabase(g_, g_.serverName, database, "SQL", "", "");
  auto m = std::make_unique<MalyImport>(g_, date_, link_, dialogs_);
  m->Prepare();
  return m;
}

engine::Connection& ImportTest::Sql() {
  if (!sql_) {
    server_ = engine::Server::Open(dir_, false);
    sql_ = std::make_unique<engine::Connection>(server_);
  }
  return *sql_;
}

std::string ImportTest::Value(const std::string& sql) {
  auto sets = Sql().Execute(sql);
  if (sets.empty() || sets.back().rows.empty()) return "<none>";
  return engine::FormatValue(sets.back().rows[0][0]);
}

std::vector<std::string> ImportTest::Rows(const std::string& sql) {
  std::vector<std::string> out;
  auto sets = Sql().Execute(sql);
  if (sets.empty()) return out;
  for (const auto& row : sets.back().rows) {
    std::string line;
    for (const auto& v : row) line += (engine::IsNull(v) ? "NULL" : engine::FormatValue(v)) + "|";
    out.push_back(line);
  }
  return out;
}

}  // namespace xfer::import::testing
