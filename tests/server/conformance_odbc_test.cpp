// The conformance case files once more, each batch run both in process and through ODBC against
// `xfer serve` on a copy of the same fresh server: the printed result sets and the error
// numbers must be the same on both paths.
#include <gtest/gtest.h>
#include "temp_tree.h"

#include <chrono>
#include <thread>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "case_file.h"
#include "db/backend.h"
#include "engine/engine.h"
#include "serve_process.h"

namespace {

namespace fs = std::filesystem;
using namespace xfer;
using engine::conformance::RecordKind;

struct Outcome {
  int error = 0;
  std::string printed;
};

Outcome RunBatch(db::Backend& b, const std::string& batch) {
  Outcome o;
  try {
    auto sets = b.Query(batch);
    for (size_t i = 0; i < sets.size(); ++i) o.printed += engine::FormatResultSet(sets[i]) + "\n";
  } catch (const engine::SqlError& e) {
    o.error = e.number();
  }
  return o;
}

class ConformanceThroughOdbc : public ::testing::TestWithParam<std::string> {};

TEST_P(ConformanceThroughOdbc, SameOutcomeAsInProcess) {
  std::ifstream in(fs::path(XFER_CONFORMANCE_CASES) / GetParam(), std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  auto records = engine::conformance::ParseCaseFile(text.str());
  fs::path base =
      fs::temp_directory_path() / ("xfer_conf_odbc_" + std::to_string(getpid()) + "_" + GetParam());
  xfer_test::RemoveTree(base);
  engine::Server::Open((base / "local").string(), true);
  engine::Server::Open((base / "served").string(), true);
  {
    xfer::testing::ServeProcess serve((base / "served").string(), "conf", "conf");
    std::map<int, std::unique_ptr<db::Backend>> local, remote;
    auto open = [&](int n) {
      if (!local[n]) {
        local[n] = db::OpenBackend("Data Source=" + (base / "local").string() + ";");
        remote[n] =
            db::OpenBackend("Data Source=" + serve.dataSource() + ";User ID=conf;Password=conf;");
      }
    };
    int current = 0;
    size_t printed = 0;
    open(0);
    for (const auto& r : records) {
      if (r.kind == RecordKind::Connection) {
        current = r.connection;
        open(current);
        continue;
      }
      if (r.kind == RecordKind::Disconnect) {
        local.erase(r.connection);
        remote.erase(r.connection);
        // The server ends a session after its client has gone, as SQL Server does; wait until
        // it has dropped that session's ## tables before the next statement looks for them.
        auto live = std::find_if(local.begin(), local.end(),
                                 [](const auto& c) { return c.second != nullptr; });
        if (live != local.end() && remote[live->first]) {
          const int other = live->first;
          const std::string probe =
              "SELECT name FROM tempdb..sysobjects WHERE name LIKE '##%' ORDER BY name";
          std::string want = RunBatch(*local[other], probe).printed;
          for (int i = 0; i < 300 && RunBatch(*remote[other], probe).printed != want; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        continue;
      }
      Outcome a = RunBatch(*local[current], r.batch);
      Outcome b = RunBatch(*remote[current], r.batch);
      EXPECT_EQ(b.error, a.error) << GetParam() << ":" << r.line << "\n" << r.batch;
      EXPECT_EQ(b.printed, a.printed) << GetParam() << ":" << r.line << "\n" << r.batch;
      printed += a.printed.size();
    }
    EXPECT_GT(printed, 0u) << "no batch of the file printed anything";
  }
  xfer_test::RemoveTree(base);
}

std::vector<std::string> CaseFiles() {
  std::vector<std::string> files;
  for (const auto& e : fs::directory_iterator(XFER_CONFORMANCE_CASES))
    if (e.path().extension() == ".test") files.push_back(e.path().filename().string());
  std::sort(files.begin(), files.end());
  return files;
}

INSTANTIATE_TEST_SUITE_P(Cases, ConformanceThroughOdbc, ::testing::ValuesIn(CaseFiles()),
                         [](const auto& param) {
                           std::string n = param.param.substr(0, param.param.rfind('.'));
                           for (char& c : n)
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           return n;
                         });

}  // namespace
