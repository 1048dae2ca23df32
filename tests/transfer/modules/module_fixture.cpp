#include "module_fixture.h"
#include "temp_tree.h"

#include <unistd.h>

#include <algorithm>

#include "suite/demo.h"

namespace xfer::transfer::testing {
namespace {

namespace fs = std::filesystem;

std::string TemplateDir() {
  return (fs::temp_directory_path() / ("xfer_modules_demo_" + std::to_string(::getpid()))).string();
}

std::string Text(const db::Value& v) {
  return engine::IsNull(v) ? "<null>" : engine::FormatValue(v);
}

}  // namespace

void ModuleFixture::SetUpTestSuite() {
  if (fs::exists(TemplateDir())) return;
  suite::BuildDemoServer(TemplateDir(), {});
}

void ModuleFixture::TearDownTestSuite() {
  xfer_test::RemoveTree(TemplateDir());
}

void ModuleFixture::SetUp() {
  dir_ = CopyServer("local");
  Reopen(dir_);
}

void ModuleFixture::Reopen(const std::string& dir) {
  conn_.reset();
  server_ = engine::Server::Open(dir, false);
  conn_ = std::make_unique<engine::Connection>(server_);
}

void ModuleFixture::TearDown() {
  conn_.reset();
  server_.reset();
  for (const auto& d : dirs_) xfer_test::RemoveTree(d);
}

std::string ModuleFixture::CopyServer(const std::string& tag) {
  std::string dir = (fs::temp_directory_path() /
                     ("xfer_modules_" + tag + "_" + std::to_string(::getpid()) + "_" +
                      ::testing::UnitTest::GetInstance()->current_test_info()->name()))
                        .string();
  xfer_test::RemoveTree(dir);
  fs::copy(TemplateDir(), dir, fs::copy_options::recursive);
  dirs_.push_back(dir);
  return dir;
}

std::unique_ptr<ModuleTransfer> ModuleFixture::Start(const std::string& server,
                                                     const std::string& source,
                                                     const ModuleForm* form) {
  g_.workstation = "WS";
  g_.companyCode = "1";
  g_.fiscalYear = "1403";
  g_.serverName = server;
  g_.appFolder = server;
  g_.today = "1403/01/05";
  date_.clock = [] { return db::ClockTime{1, 1, 1, 5}; };
  link_.ConnectDatabase(g_, server, kDest, "SQL", "", "");
  auto t = std::make_unique<ModuleTransfer>(g_, date_, link_, dialogs_, form ? *form : MalyForm());
  t->Prepare();
  t->FillPeriodList();
  if (!source.empty()) t->ToggleMark(source);
  return t;
}

void ModuleFixture::UseRemote(ModuleTransfer& t, const std::string& server) {
  SourceServer s;
  s.name = server;
  s.connection = db::OpenBackend(db::ConnectionString(g_, server, "master", "SQL", "", ""));
  t.UseSourceServer(std::move(s));
  t.FillPeriodList();
  t.ToggleMark(kSource);
}

void ModuleFixture::Run(const std::string& db, const std::string& sql) {
  conn_->Execute("USE " + db + " " + sql);
}

std::string ModuleFixture::Value(const std::string& db, const std::string& sql) {
  auto sets = conn_->Execute("USE " + db + " " + sql);
  if (sets.empty() || sets.back().rows.empty()) return "<none>";
  return Text(sets.back().rows[0][0]);
}

KeyedRows ModuleFixture::Rows(const std::string& db, const ModuleTable& t) {
  auto sets = conn_->Execute(std::string("SELECT (") + t.key + ") AS K, " + t.columns + " FROM " +
                             db + ".." + t.table);
  KeyedRows out;
  for (const auto& row : sets.back().rows) {
    std::string line;
    for (size_t c = 1; c < row.size(); ++c) line += Text(row[c]) + "|";
    out[Text(row[0])].push_back(line);
  }
  for (auto& [key, rows] : out) std::sort(rows.begin(), rows.end());
  return out;
}

std::map<std::string, std::string> ModuleFixture::Checksums(const std::string& db) {
  std::map<std::string, std::string> out;
  auto tables = conn_->Execute("SELECT name FROM " + db + "..sysobjects WHERE xtype = 'U'");
  for (const auto& t : tables.back().rows) {
    std::string name = Text(t[0]);
    auto sets = conn_->Execute("SELECT * FROM " + db + ".." + name);
    std::vector<std::string> rows;
    for (const auto& row : sets.back().rows) {
      std::string line;
      for (const auto& v : row) line += Text(v) + "|";
      rows.push_back(line);
    }
    std::sort(rows.begin(), rows.end());
    std::string all;
    for (const auto& r : rows) all += r + "\n";
    out[name] = std::to_string(std::hash<std::string>{}(all)) + "/" + std::to_string(rows.size());
  }
  return out;
}

}  // namespace xfer::transfer::testing
