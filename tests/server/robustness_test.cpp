// Bad input at the socket ends that session only, and many concurrent clients each get their
// own engine connection: `xfer serve` keeps serving the others throughout.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include "temp_tree.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <random>
#include <thread>

#include "db/backend.h"
#include "engine/engine.h"
#include "serve_process.h"

namespace {

namespace fs = std::filesystem;
using xfer::engine::Value;

class ServerRobustness : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new fs::path(fs::temp_directory_path() / ("xfer_robust_" + std::to_string(getpid())));
    xfer_test::RemoveTree(*dir_);
    auto server = xfer::engine::Server::Open(dir_->string(), true);
    xfer::engine::Connection c(server);
    c.Execute("CREATE DATABASE D");
    c.Execute(
        "USE D CREATE TABLE Hesab (Code varchar(10) PRIMARY KEY, Name varchar(40)) "
        "INSERT INTO Hesab VALUES ('1', N'صندوق'), ('2', N'بانک')");
    serve_ = new xfer::testing::ServeProcess(dir_->string(), "xfer", "secret");
  }
  static void TearDownTestSuite() {
    delete serve_;
    xfer_test::RemoveTree(*dir_);
    delete dir_;
  }
  static std::unique_ptr<xfer::db::Backend> Odbc() {
    return xfer::db::OpenBackend("Data Source=" + serve_->dataSource() +
                                 ";Initial Catalog=D;User ID=xfer;Password=secret;");
  }
  // Sends `bytes`, half-closes, and waits (at most 10 s) for the server to close its side.
  static bool ServerHangsUpAfter(const std::string& bytes) {
    int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<uint16_t>(serve_->port()));
    ::inet_pton(AF_INET, "127.0.0.1", &addr.sin_addr);
    if (::connect(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) return false;
    ::send(s, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    ::shutdown(s, SHUT_WR);
    bool closed = false;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < deadline) {
      pollfd p{s, POLLIN, 0};
      if (::poll(&p, 1, 100) <= 0) continue;
      char buf[4096];
      ssize_t n = ::recv(s, buf, sizeof buf, 0);
      if (n <= 0) {
        closed = true;
        break;
      }
    }
    ::close(s);
    return closed;
  }
  static fs::path* dir_;
  static xfer::testing::ServeProcess* serve_;
};
fs::path* ServerRobustness::dir_ = nullptr;
xfer::testing::ServeProcess* ServerRobustness::serve_ = nullptr;

std::string Packet(uint8_t type, uint8_t status, const std::string& body, int lengthDelta = 0) {
  size_t length = 8 + body.size() + static_cast<size_t>(lengthDelta);
  std::string p{static_cast<char>(type),
                static_cast<char>(status),
                static_cast<char>((length >> 8) & 0xFF),
                static_cast<char>(length & 0xFF),
                0,
                0,
                1,
                0};
  return p + body;
}

const std::string kPreLogin =
    Packet(18, 1, std::string("\x00\x00\x06\x00\x06\xff\x10\x00\x00\x00\x00\x00", 12));

TEST_F(ServerRobustness, BadInputEndsOnlyThatSession) {
  std::mt19937 random(1402);
  std::string noise(3000, '\0');
  for (char& c : noise) c = static_cast<char>(random());
  std::string absurdLogin(94, '\0');
  absurdLogin[0] = 94;       // the login's own length matches the message
  absurdLogin[36] = '\xF0';  // host name at offset 0xFFF0, far past the end
  absurdLogin[37] = '\xFF';
  absurdLogin[38] = '\x10';
  const std::pair<const char*, std::string> cases[] = {
      {"random bytes", noise},
      {"truncated header", std::string("\x12\x01\x00", 3)},
      {"length larger than sent", Packet(18, 1, "abc", 500)},
      {"length below the header", Packet(18, 1, "", -4)},
      {"message never ends", Packet(18, 0, "abc")},
      {"unknown packet type", Packet(0x55, 1, "abc")},
      {"bad pre-login table", Packet(18, 1, std::string("\x00\xff\xff\x00\x10\xff", 6))},
      {"login with absurd lengths", kPreLogin + Packet(16, 1, absurdLogin)},
      {"batch before login", kPreLogin + Packet(1, 1, std::string(12, '\0'))},
  };
  for (const auto& [name, bytes] : cases) {
    SCOPED_TRACE(name);
    EXPECT_TRUE(ServerHangsUpAfter(bytes));
    auto ok = Odbc()->Query("SELECT COUNT(*) FROM Hesab");
    EXPECT_EQ(ok[0].rows[0][0], Value{2LL});
  }
  EXPECT_TRUE(serve_->running());
}

// 32 clients at once, each appending to a table of its own period database and reading a
// shared one; bounded to a few seconds and a fixed number of rounds.
TEST_F(ServerRobustness, ConcurrentClientsLoseNothing) {
  constexpr int kClients = 32;
  constexpr int kMaxRounds = 20;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
  std::atomic<int> failures{0};
  std::vector<int> rounds(kClients, 0);
  std::vector<std::thread> threads;
  for (int c = 0; c < kClients; ++c) {
    threads.emplace_back([&, c] {
      try {
        auto db = Odbc();
        std::string table = "KELVARO_" + std::to_string(c) + "_1403..Rows";
        db->Execute("CREATE DATABASE KELVARO_" + std::to_string(c) + "_1403");
        db->Execute("CREATE TABLE " + table + " (K int PRIMARY KEY, Name varchar(40))");
        // Every client makes at least one round however loaded the machine is.
        for (int r = 0; r < kMaxRounds && (r == 0 || std::chrono::steady_clock::now() < deadline);
             ++r) {
          std::vector<std::vector<Value>> rows;
          for (int k = 0; k < 50; ++k)
            rows.push_back({Value{r * 50LL + k}, Value{std::string("ردیف")}});
          db->AppendRows(table, {"K", "Name"}, rows);
          auto read = db->Query("SELECT COUNT(*) FROM Hesab SELECT COUNT(*) FROM " + table);
          if (read[0].rows[0][0] != Value{2LL} || read[1].rows[0][0] != Value{(r + 1) * 50LL})
            ++failures;
          rounds[static_cast<size_t>(c)] = r + 1;
        }
      } catch (const std::exception& e) {
        ADD_FAILURE() << "client " << c << ": " << e.what();
        ++failures;
      }
    });
  }
  for (auto& t : threads) t.join();
  EXPECT_EQ(failures, 0);
  auto db = Odbc();
  for (int c = 0; c < kClients; ++c) {
    EXPECT_GT(rounds[static_cast<size_t>(c)], 0);
    EXPECT_EQ(db->Query("SELECT COUNT(*) FROM KELVARO_" + std::to_string(c) + "_1403..Rows")[0]
                  .rows[0][0],
              Value{rounds[static_cast<size_t>(c)] * 50LL});
  }
}

}  // namespace
