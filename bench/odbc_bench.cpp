// The network path against the same work in process: SELECT of 1M rows and a 100k-row append
// through the ODBC backend against `xfer serve` (served from a thread of this process on a
// loopback port), and through the embedded backend on the same directory. Prints rows per
// second of both and the ratio. Row counts can be given: odbc_bench [select rows] [insert rows].
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "bench_util.h"
#include "db/backend.h"
#include "engine/engine.h"
#include "server/listener.h"
#include "server/users.h"

namespace fs = std::filesystem;
using xfer::bench::Clock;
using namespace xfer;

namespace {

using xfer::bench::Since;

void Report(const char* what, long long rows, double inProcess, double odbc) {
  std::printf("%-28s in process %12.0f rows/s   ODBC %12.0f rows/s   ODBC takes %.2fx the time\n",
              what, rows / inProcess, rows / odbc, odbc / inProcess);
}

}  // namespace

int main(int argc, char** argv) {
  long long selectRows = argc > 1 ? std::atoll(argv[1]) : 1000000;
  long long insertRows = argc > 2 ? std::atoll(argv[2]) : 100000;
  fs::path dir = fs::temp_directory_path() / "xfer_bench_odbc";
  fs::remove_all(dir);
  auto server = engine::Server::Open(dir.string(), true);
  {
    engine::Connection c(server);
    c.Execute("CREATE DATABASE B");
    c.Execute(
        "USE B CREATE TABLE Big (Id int PRIMARY KEY, Code varchar(20), Name varchar(40), "
        "Amount numeric(18, 2), Day datetime)");
    std::vector<std::vector<engine::Value>> rows;
    for (long long i = 0; i < selectRows; ++i) {
      rows.push_back({i, "K" + std::to_string(i), std::string("ردیف شماره ") + std::to_string(i),
                      i * 1.25, std::string("2024-03-20 10:00:00.000")});
      if (rows.size() == 100000 || i + 1 == selectRows) {
        c.BulkInsert("B..Big", {"Id", "Code", "Name", "Amount", "Day"}, rows);
        rows.clear();
      }
    }
  }
  server::Users::Store(dir.string(), "bench", "bench");
  server::ServedDirectory served{server, server::Users::Load(dir.string()), "XFER"};
  server::Listener listener(served, "127.0.0.1", 0);
  std::atomic<bool> stop{false};
  std::thread serving([&] { listener.Serve(stop); });

  auto local = db::OpenBackend("Data Source=" + dir.string() + ";Initial Catalog=B;");
  auto odbc = db::OpenBackend("Data Source=127.0.0.1," + std::to_string(listener.port()) +
                              ";Initial Catalog=B;User ID=bench;Password=bench;");

  auto t = Clock::now();
  auto a = local->Query("SELECT * FROM Big");
  double inProcess = Since(t);
  t = Clock::now();
  auto b = odbc->Query("SELECT * FROM Big");
  double network = Since(t);
  if (a[0].rows.size() != b[0].rows.size()) {
    std::fprintf(stderr, "row counts differ\n");
    return 1;
  }
  Report("SELECT", selectRows, inProcess, network);

  std::vector<std::vector<engine::Value>> rows;
  for (long long i = 0; i < insertRows; ++i)
    rows.push_back({i, "K" + std::to_string(i), std::string("ردیف"), i * 0.5,
                    std::string("2024-03-20 10:00:00.000")});
  local->Execute(
      "CREATE TABLE InsLocal (Id int PRIMARY KEY, Code varchar(20), Name "
      "varchar(40), Amount numeric(18, 2), Day datetime)");
  odbc->Execute(
      "CREATE TABLE InsOdbc (Id int PRIMARY KEY, Code varchar(20), Name varchar(40), "
      "Amount numeric(18, 2), Day datetime)");
  t = Clock::now();
  local->AppendRows("InsLocal", {"Id", "Code", "Name", "Amount", "Day"}, rows);
  inProcess = Since(t);
  t = Clock::now();
  odbc->AppendRows("InsOdbc", {"Id", "Code", "Name", "Amount", "Day"}, rows);
  network = Since(t);
  Report("insert batch", insertRows, inProcess, network);

  odbc.reset();
  local.reset();
  stop = true;
  serving.join();
  fs::remove_all(dir);
  return 0;
}
