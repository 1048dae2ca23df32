// Record sets over a real embedded server: edit/post/append/delete reach the base table,
// requery keeps the position by bookmark, sorting, and record-set files round-trip.
#include "db/record_set.h"
#include "temp_tree.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "db/backend.h"
#include "db/record_set_file.h"
#include "engine/engine.h"

namespace xfer::db {
namespace {

namespace fs = std::filesystem;

class RecordSetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("xfer_rs_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    xfer_test::RemoveTree(dir_);
    engine::Server::Open(dir_.string(), true);
    backend_ = OpenBackend("Data Source=" + dir_.string() + ";Initial Catalog=master;");
    backend_->Execute("CREATE DATABASE Kel");
    backend_->Execute(
        "USE Kel CREATE TABLE KALA (Id int IDENTITY(1,1), KalaCod varchar(10) NOT NULL, "
        "KalaName varchar(30), Price float) INSERT INTO KALA (KalaCod, KalaName, Price) VALUES "
        "('3', 'مداد', 12.5), ('1', 'کاغذ', 3), ('2', 'O''Brien', NULL)");
  }
  void TearDown() override {
    backend_.reset();
    xfer_test::RemoveTree(dir_);
  }
  std::vector<engine::Value> Column(const std::string& sql) {
    std::vector<engine::Value> out;
    auto sets = backend_->Query(sql);
    for (auto& row : sets.at(0).rows) out.push_back(row.at(0));
    return out;
  }

  fs::path dir_;
  std::unique_ptr<Backend> backend_;
};

TEST_F(RecordSetTest, EditPostAppendAndDeleteReachTheBaseTable) {
  RecordSet rs;
  rs.Open(*backend_, "SELECT Id, KalaCod, KalaName, Price FROM KALA ORDER BY KalaCod");
  ASSERT_EQ(rs.RecordCount(), 3);
  EXPECT_EQ(rs.BaseTable(), "Kel..KALA");
  EXPECT_EQ(rs.fields()[1].kind, FieldKind::String);
  EXPECT_EQ(rs.fields()[1].size, 10);

  rs.MoveTo(1);  // KalaCod '2', the name with an apostrophe
  rs.Edit();
  rs.Set("KalaName", std::string("O'Neil"));
  rs.Post();
  EXPECT_EQ(Column("SELECT KalaName FROM KALA WHERE KalaCod = '2'")[0],
            engine::Value(std::string("O'Neil")));

  rs.Append();
  rs.Set("KalaCod", std::string("4"));
  rs.Set("KalaName", std::string("خودکار"));
  rs.Post();
  EXPECT_EQ(Column("SELECT COUNT(*) FROM KALA")[0], engine::Value(4LL));
  EXPECT_EQ(Column("SELECT Id FROM KALA WHERE KalaCod = '4'")[0], engine::Value(4LL));

  rs.beforeDelete = [](RecordSet&) { return false; };  // the owner refuses
  rs.First();
  rs.Delete();
  EXPECT_EQ(Column("SELECT COUNT(*) FROM KALA")[0], engine::Value(4LL));
  rs.beforeDelete = nullptr;
  rs.Delete();
  EXPECT_EQ(Column("SELECT COUNT(*) FROM KALA WHERE KalaCod = '1'")[0], engine::Value(0LL));
  EXPECT_EQ(rs.RecordCount(), 3);
}

TEST_F(RecordSetTest, RequeryKeepsTheBookmarkedRowAndSortIsClientSide) {
  RecordSet rs;
  rs.Open(*backend_, "SELECT KalaCod, Price FROM KALA ORDER BY KalaCod");
  rs.MoveTo(2);
  RecordSet::Bookmark mark = rs.GetBookmark();
  backend_->Execute("INSERT INTO KALA (KalaCod, Price) VALUES ('0', 1)");
  rs.Requery();
  EXPECT_EQ(rs.RecordCount(), 4);
  EXPECT_EQ(rs.Text("KalaCod"), "3");  // same row, now at index 3
  EXPECT_EQ(rs.RecNo(), 3);
  EXPECT_TRUE(rs.GotoBookmark(mark));

  rs.Sort("Price DESC, KalaCod");
  std::vector<std::string> order;
  for (rs.First(); !rs.Eof(); rs.Next()) order.push_back(rs.Text("KalaCod"));
  EXPECT_EQ(order, (std::vector<std::string>{"3", "1", "0", "2"}));  // NULL price last in DESC
}

TEST_F(RecordSetTest, FilesRoundTripEveryKindAndRejectDamage) {
  backend_->Execute(
      "CREATE TABLE T (i int, f float, s varchar(20), m text, b varbinary(10), d datetime) "
      "INSERT INTO T VALUES (-7, 0.1, 'سلام دنیا', 'یادداشت بلند', 0x00FF10, '2024-01-02'), "
      "(NULL, NULL, NULL, NULL, NULL, NULL)");
  ResultSet original = backend_->Query("SELECT * FROM T ORDER BY i DESC").at(0);
  std::string path = (dir_ / "T.txt").string();
  SaveRecordSet(original, path);
  ResultSet loaded = LoadRecordSet(path);
  ASSERT_EQ(loaded.fields.size(), original.fields.size());
  for (size_t i = 0; i < loaded.fields.size(); ++i) {
    EXPECT_EQ(loaded.fields[i].name, original.fields[i].name);
    EXPECT_EQ(loaded.fields[i].kind, original.fields[i].kind);
    EXPECT_EQ(loaded.fields[i].size, original.fields[i].size);
  }
  EXPECT_EQ(loaded.rows, original.rows);
  EXPECT_EQ(loaded.fields[4].kind, FieldKind::Blob);
  EXPECT_EQ(loaded.fields[3].kind, FieldKind::Memo);

  std::string bytes;
  {
    std::ifstream in(path, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), {});
  }
  auto rewrite = [&](const std::string& content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
  };
  const std::pair<std::string, std::string> damaged[] = {
      {bytes.substr(0, bytes.size() / 2), "damaged"},
      {bytes.substr(0, 4), "not a record-set file"},
      {std::string(bytes).replace(bytes.size() / 2, 1, "\x7f"), "damaged"},
  };
  for (const auto& [content, why] : damaged) {
    rewrite(content);
    try {
      LoadRecordSet(path);
      ADD_FAILURE() << "loaded a damaged file";
    } catch (const engine::SqlError& e) {
      EXPECT_NE(e.message().find(path), std::string::npos);
      EXPECT_NE(e.message().find(why), std::string::npos) << e.message();
    }
  }
  EXPECT_THROW(LoadRecordSet((dir_ / "missing.txt").string()), engine::SqlError);
}

}  // namespace
}  // namespace xfer::db

namespace xfer::db {
namespace {

// The client-side sort orders rows as the server's ORDER BY does: NULLs first, case and
// trailing blanks ignored, numbers by value, later keys breaking ties, equal rows kept in order.
TEST_F(RecordSetTest, ClientSortMatchesTheServersOrder) {
  backend_->Execute(
      "USE Kel CREATE TABLE S (Id int, T varchar(20), N float, I int) "
      "INSERT INTO S VALUES (1, 'abc', 2.5, 3), (2, 'ABC ', NULL, 1), (3, NULL, -7, 3), "
      "(4, 'Abd', 2.5, NULL), (5, 'سیب', 100, 2), (6, 'آب', 0, 2), (7, 'abc', -7, 1), "
      "(8, ' z', 1e10, 3), (9, 'ab', 2.5, 0), (10, 'ab' + CHAR(9), 3, 0)");
  for (const char* order :
       {"T", "T DESC", "N", "N DESC", "I, T", "I DESC, N DESC", "N, I, T DESC"}) {
    SCOPED_TRACE(order);
    RecordSet rs;
    rs.Open(*backend_, "SELECT Id, T, N, I FROM S ORDER BY Id");
    rs.Sort(order);
    std::vector<engine::Value> ids;
    for (rs.First(); !rs.Eof(); rs.Next()) ids.push_back(rs.Get("Id"));
    EXPECT_EQ(ids, Column(std::string("SELECT Id FROM S ORDER BY ") + order + ", Id"));
  }
}

}  // namespace
}  // namespace xfer::db
