#include "export/html_page.h"

#include "export/file_out.h"

namespace xfer::grid_export {
namespace {

void Escape(std::string& out, const std::string& text) {
  for (char c : text) {
    switch (c) {
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '&':
        out += "&amp;";
        break;
      default:
        out += c;
    }
  }
}

}  // namespace

std::string HtmlPage(const ExportSource& source, const std::string& title,
                     const std::string& solarDate, const ExportProgress& progress) {
  std::string t;
  Escape(t, title);
  std::string out = "<HTML dir=rtl>\n<HEAD>\n<TITLE> " + t + "</TITLE>\n</HEAD>\n" +
                    "<BODY bgcolor=LightSteelBlue >\n<H3 Align=CENTER>" + t + "</H3>\n" +
                    "<TT Align=Right > در تاريخ:" + solarDate + "</TT>\n<TABLE BORDER=1>\n<TR>\n";
  const auto& columns = source.Columns();
  for (const ExportColumn& c : columns) {
    out += "<TH ALIGN=RIGHT bgColor=Gray>";
    Escape(out, c.caption);
    out += "</TH>\n";
  }
  out += "</TR>\n";
  const size_t rows = source.Rows();
  for (size_t r = 0; r < rows; ++r) {
    // Record numbers count from 1: odd records are light yellow.
    const char* colour = r % 2 == 0 ? "LightYellow" : "gray";
    out += "<TR>\n";
    for (size_t c = 0; c < columns.size(); ++c) {
      out += "<TD  ALIGN=RIGHT bgColor=";
      out += colour;
      out += " ><font Face=Tahoma   size=2 >";
      Escape(out, source.Text(r, c));
      out += "</font></TD>\n";
    }
    out += "</TR>\n";
    if (progress && (r % 4096 == 4095)) progress(r + 1, rows);
  }
  if (progress) progress(rows, rows);
  return out + "</TABLE>\n</BODY>\n</HTML>\n";
}

void WriteHtmlPage(const ExportSource& source, const std::string& title,
                   const std::string& solarDate, const std::string& path,
                   const ExportProgress& progress) {
  WriteWholeFile(path, kUtf8Mark + HtmlPage(source, title, solarDate, progress));
}

}  // namespace xfer::grid_export
