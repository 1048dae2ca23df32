// Clients we did not write against `xfer serve`: FreeTDS's tsql and unixODBC's isql connect,
// run batches and read Persian text, numbers and dates back; a wrong password is refused with
// login error 18456 and no batch runs.
#include <gtest/gtest.h>
#include "temp_tree.h"

#include <filesystem>

#include "engine/engine.h"
#include "serve_process.h"

namespace {

namespace fs = std::filesystem;
using xfer::testing::RunWithInput;
using xfer::testing::ServeProcess;

class Clients : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new fs::path(fs::temp_directory_path() / ("xfer_clients_" + std::to_string(getpid())));
    xfer_test::RemoveTree(*dir_);
    auto server = xfer::engine::Server::Open(dir_->string(), true);
    xfer::engine::Connection c(server);
    c.Execute("CREATE DATABASE KELVARO_1_1402");
    c.Execute(
        "USE KELVARO_1_1402 CREATE TABLE Hesab (Code varchar(10), Name varchar(40), Mande "
        "numeric(18, 2), Tarikh datetime) INSERT INTO Hesab VALUES ('101', N'صندوق', 1250.5, "
        "'2024-03-20 10:00:00'), ('102', N'بانک ملی', -3, NULL)");
    serve_ = new ServeProcess(dir_->string(), "sa", "Gozar-1402");
  }
  static void TearDownTestSuite() {
    delete serve_;
    xfer_test::RemoveTree(*dir_);
    delete dir_;
  }
  static std::string Tsql(const std::string& password, const std::string& input, int* status) {
    return RunWithInput("timeout 20 tsql -H 127.0.0.1 -p " + std::to_string(serve_->port()) +
                            " -U sa -P '" + password + "'",
                        input, status);
  }
  static std::string Isql(const std::string& password, const std::string& input, int* status) {
    return RunWithInput("timeout 20 isql -v -b -k 'DRIVER=FreeTDS;SERVER=127.0.0.1;PORT=" +
                            std::to_string(serve_->port()) + ";UID=sa;PWD=" + password +
                            ";DATABASE=KELVARO_1_1402;ClientCharset=UTF-8'",
                        input, status);
  }
  static fs::path* dir_;
  static ServeProcess* serve_;
};
fs::path* Clients::dir_ = nullptr;
ServeProcess* Clients::serve_ = nullptr;

TEST_F(Clients, TsqlRunsBatchesAndReadsResults) {
  int status = 0;
  std::string out = Tsql("Gozar-1402",
                         "USE KELVARO_1_1402\ngo\n"
                         "SELECT Code, Name, Mande FROM Hesab ORDER BY Code\ngo\n"
                         "PRINT N'پایان'\nSELECT 7 / 0\ngo\nexit\n",
                         &status);
  EXPECT_NE(out.find("101\tصندوق\t1250.50"), std::string::npos) << out;
  EXPECT_NE(out.find("102\tبانک ملی\t-3.00"), std::string::npos) << out;
  EXPECT_NE(out.find("پایان"), std::string::npos) << out;
  EXPECT_NE(out.find("Msg 8134"), std::string::npos) << out;
  EXPECT_NE(out.find("Divide by zero"), std::string::npos) << out;
}

TEST_F(Clients, IsqlRunsStatementsThroughOdbc) {
  int status = 0;
  std::string out = Isql("Gozar-1402",
                         "SELECT Code, Tarikh FROM Hesab WHERE Code = '101'\n"
                         "INSERT INTO Hesab (Code, Name) VALUES ('103', N'اسناد')\n"
                         "SELECT COUNT(*) AS N FROM Hesab\n"
                         "DELETE FROM Hesab WHERE Code = '103'\n",
                         &status);
  EXPECT_EQ(status, 0) << out;
  EXPECT_NE(out.find("2024-03-20 10:00:00.000"), std::string::npos) << out;
  EXPECT_NE(out.find("| 3 "), std::string::npos) << out;
  EXPECT_NE(out.find("SQLRowCount returns 1"), std::string::npos) << out;
}

TEST_F(Clients, WrongPasswordIsRefusedWithLoginError) {
  int status = 0;
  std::string tsql =
      Tsql("not-the-password", "SELECT Name FROM KELVARO_1_1402..Hesab\ngo\nexit\n", &status);
  EXPECT_NE(tsql.find("Msg 18456"), std::string::npos) << tsql;
  EXPECT_EQ(tsql.find("صندوق"), std::string::npos) << tsql;
  std::string isql = Isql("not-the-password", "SELECT Name FROM Hesab\n", &status);
  EXPECT_NE(status, 0);
  EXPECT_NE(isql.find("Login failed for user 'sa'"), std::string::npos) << isql;
  EXPECT_EQ(isql.find("صندوق"), std::string::npos) << isql;
  EXPECT_TRUE(serve_->running());
}

}  // namespace
