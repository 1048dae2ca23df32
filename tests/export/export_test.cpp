// Every export format written from a record set of the embedded engine and read back by an
// independent reader: the tab files byte for byte in their layout, DBF through shapelib's
// reader, xlsx, HTML and CSV through Python's openpyxl, html.parser and csv modules.
#include <gtest/gtest.h>
#include <iconv.h>
#include <shapefil.h>
#include "temp_tree.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "db/record_set.h"
#include "db/session.h"
#include "engine/engine.h"
#include "export/code_page.h"
#include "export/dbf_file.h"
#include "export/export_format.h"
#include "export/html_page.h"
#include "export/tab_text.h"

namespace xfer::grid_export {
namespace {

namespace fs = std::filesystem;

class ExportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("xfer_export_" +
            std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    xfer_test::RemoveTree(dir_);
    auto server = engine::Server::Open(dir_.string(), true);
    engine::Connection c(server);
    c.Execute("CREATE DATABASE E1");
    c.Execute(
        "USE E1 CREATE TABLE T (Code varchar(10), Name varchar(40), Price float, Qty int, "
        "Dt varchar(10)) "
        "INSERT INTO T VALUES ('1', 'پرتقال یزدی', 12.5, 3, '1403/01/05') "
        "INSERT INTO T VALUES ('2', 'O''Neil <b> & گچ', NULL, -4, '1403/12/29') "
        "INSERT INTO T VALUES ('3', 'ژاله, \"کاغذ\"', 1234567.125, NULL, '')");
    link_.ConnectDatabase(g_, dir_.string(), "E1", "SQL", "", "");
    rs_.Open(*link_.connection(), "SELECT Code, Name, Price, Qty, Dt FROM T ORDER BY Code");
  }
  void TearDown() override {
    rs_.Close();
    link_ = db::HostDatabase();
    xfer_test::RemoveTree(dir_);
  }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  static std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  }
  // The rows as JSON for the Python reader: texts as the grid shows them.
  std::string ExpectedJson() const {
    RecordSetSource source(rs_);
    auto quote = [](const std::string& s) {
      std::string out = "\"";
      for (char c : s) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
      }
      return out + "\"";
    };
    std::string json = "{\"captions\": [";
    for (size_t c = 0; c < source.Columns().size(); ++c)
      json += (c ? ", " : "") + quote(source.Columns()[c].caption);
    json += "], \"numbers\": [";
    for (size_t c = 0; c < source.Columns().size(); ++c)
      json += std::string(c ? ", " : "") +
              (source.Columns()[c].kind == CellKind::kNumber ? "true" : "false");
    json += "], \"rows\": [";
    for (size_t r = 0; r < source.Rows(); ++r) {
      json += r ? ", [" : "[";
      for (size_t c = 0; c < source.Columns().size(); ++c)
        json += (c ? ", " : "") + quote(source.Text(r, c));
      json += "]";
    }
    const std::string path = (dir_ / "expected.json").string();
    std::ofstream(path, std::ios::binary) << json << "]}";
    return path;
  }
  int Python(const std::string& kind, const std::string& file) const {
    const std::string command = std::string(XFER_PYTHON) + " " + XFER_READ_BACK + " " + kind +
                                " '" + file + "' '" + ExpectedJson() + "'";
    return std::system(command.c_str());
  }

  fs::path dir_;
  db::HostGlobal g_;
  db::HostDatabase link_;
  db::RecordSet rs_;
};

TEST_F(ExportTest, TabFilesFollowTheLayoutByteForByte) {
  const std::string body =
      "Code\tName\tPrice\tQty\tDt\t  |"
      "1\tپرتقال یزدی\t12.5\t3\t1403/01/05\t  |"
      "2\tO'Neil <b> & گچ\t\t-4\t1403/12/29\t  |"
      "3\tژاله, \"کاغذ\"\t1234567.125\t\t\t  |";
  auto lines = [&](const std::string& end) {
    std::string s = body;
    for (size_t at; (at = s.find('|')) != std::string::npos;) s.replace(at, 1, end);
    return s;
  };
  RecordSetSource source(rs_);
  EXPECT_EQ(TabText(source, "\n"), lines("\n"));  // the clipboard
  for (Format f : {Format::kXls, Format::kDoc}) {
    const std::string path = Path(std::string("out") + Extension(f));
    WriteExport(f, source, path, {});
    EXPECT_EQ(Read(path), "\xEF\xBB\xBF" + lines("\r\n")) << path;
  }
  // An empty dataset gives the header line only.
  rs_.Open(*link_.connection(), "SELECT * FROM T WHERE 1 = 0");
  EXPECT_EQ(TabText(RecordSetSource(rs_), "\n"), "Code\tName\tPrice\tQty\tDt\t  \n");
}

TEST_F(ExportTest, HtmlPageHasTheSpecifiedLinesAndParses) {
  const std::string page = HtmlPage(RecordSetSource(rs_), "فهرست", "1403/05/06");
  EXPECT_EQ(page.substr(0, page.find("<TR>")),
            "<HTML dir=rtl>\n<HEAD>\n<TITLE> فهرست</TITLE>\n</HEAD>\n"
            "<BODY bgcolor=LightSteelBlue >\n<H3 Align=CENTER>فهرست</H3>\n"
            "<TT Align=Right > در تاريخ:1403/05/06</TT>\n<TABLE BORDER=1>\n");
  EXPECT_NE(page.find("<TD  ALIGN=RIGHT bgColor=LightYellow ><font Face=Tahoma   size=2 >"
                      "پرتقال یزدی</font></TD>\n"),
            std::string::npos);
  EXPECT_TRUE(page.ends_with("</TR>\n</TABLE>\n</BODY>\n</HTML>\n"));
  const std::string path = Path("out.html");
  WriteHtmlPage(RecordSetSource(rs_), "فهرست", "1403/05/06", path);
  EXPECT_EQ(Python("html", path), 0);
}

TEST_F(ExportTest, XlsxAndCsvReadBackWithTypesAndLayout) {
  RecordSetSource source(rs_);
  for (auto [format, kind] : {std::pair{Format::kXlsx, "xlsx"}, std::pair{Format::kCsv, "csv"}}) {
    const std::string path = Path(std::string("out") + Extension(format));
    WriteExport(format, source, path, {"فهرست اقلام", ""});
    EXPECT_EQ(Python(kind, path), 0) << kind;
  }
}

// A DBF text field back to UTF-8 from the code page its ".cpg" names.
std::string FromCodePage(const std::string& bytes, const std::string& page) {
  iconv_t cd = iconv_open("UTF-8", page == "1256" ? "CP1256" : "IBM864");
  std::string in = bytes, out(bytes.size() * 4 + 4, '\0');
  char* src = in.data();
  char* dst = out.data();
  size_t inLeft = in.size(), outLeft = out.size();
  iconv(cd, &src, &inLeft, &dst, &outLeft);
  iconv_close(cd);
  out.resize(out.size() - outLeft);
  return out;
}

TEST_F(ExportTest, DbfReadsBackThroughShapelibInItsCodePage) {
  struct Case {
    Format format;
    const char* cpg;
    const char* name;  // the Name of the first record as the page holds it; null: not compared
  };
  for (const Case& c :
       {Case{Format::kDbfWin, "1256", "پرتقال يزدي"}, Case{Format::kDbfDos, "864", nullptr}}) {
    SCOPED_TRACE(c.cpg);
    const std::string path = Path(std::string("out_") + c.cpg + ".DBF");
    WriteExport(c.format, RecordSetSource(rs_), path, {});
    EXPECT_EQ(Read(Path(std::string("out_") + c.cpg + ".cpg")), c.cpg);
    DBFHandle dbf = DBFOpen(path.c_str(), "rb");
    ASSERT_NE(dbf, nullptr);
    EXPECT_EQ(DBFGetRecordCount(dbf), 3);
    ASSERT_EQ(DBFGetFieldCount(dbf), 5);
    char name[12];
    int width = 0, decimals = 0;
    EXPECT_EQ(DBFGetFieldInfo(dbf, 1, name, &width, &decimals), FTString);
    EXPECT_STREQ(name, "NAME");
    EXPECT_EQ(DBFGetFieldInfo(dbf, 2, name, &width, &decimals), FTDouble);
    EXPECT_EQ(decimals, 3);
    const std::string raw = DBFReadStringAttribute(dbf, 0, 1);
    if (c.name) {
      EXPECT_EQ(FromCodePage(raw, c.cpg), c.name);
    }
    // One byte per letter, every letter held by the page.
    EXPECT_EQ(raw.size(), 11u);
    EXPECT_EQ(raw.find('?'), std::string::npos);
    EXPECT_EQ(FromCodePage(DBFReadStringAttribute(dbf, 1, 1), c.cpg).substr(0, 11), "O'Neil <b> ");
    EXPECT_DOUBLE_EQ(DBFReadDoubleAttribute(dbf, 2, 2), 1234567.125);
    EXPECT_TRUE(DBFIsAttributeNULL(dbf, 1, 2));
    EXPECT_EQ(DBFReadIntegerAttribute(dbf, 1, 3), -4);
    EXPECT_EQ(std::string(DBFReadStringAttribute(dbf, 1, 4)), "1403/12/29");
    DBFClose(dbf);
  }
}

TEST_F(ExportTest, AnUnwritableFolderIsReportedAndLeavesNothing) {
  for (Format f : {Format::kXlsx, Format::kXls, Format::kHtml, Format::kDbfWin, Format::kCsv}) {
    const std::string path = Path(std::string("missing/out") + Extension(f));
    EXPECT_THROW(WriteExport(f, RecordSetSource(rs_), path, {}), std::runtime_error) << path;
    EXPECT_FALSE(fs::exists(path));
  }
}

}  // namespace
}  // namespace xfer::grid_export
