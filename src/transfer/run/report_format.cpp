#include "transfer/run/report_format.h"

#include <cstdio>

namespace xfer::transfer {
namespace {

std::string JsonString(const std::string& s) {
  std::string out = "\"";
  for (unsigned char c : s) {
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (c < 0x20) {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\u%04x", c);
          out += buf;
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  return out + "\"";
}

std::string Seconds(double s) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.3f", s);
  return buf;
}

}  // namespace

RunTotals Totals(const RunReport& report) {
  RunTotals t;
  for (const UnitResult& u : report.units) {
    ++t.units;
    if (u.sourceRows > 0) t.sourceRows += u.sourceRows;
    t.inserted += u.inserted;
    t.clashing += u.clashing;
    t.seconds += u.seconds;
  }
  return t;
}

std::string FormatReportTable(const RunReport& report) {
  std::string out;
  char line[512];
  std::snprintf(line, sizeof line, "%-22s %10s %10s %10s %8s  %s\n", "table", "source", "inserted",
                "clashing", "seconds", "caption");
  out += line;
  for (const UnitResult& u : report.units) {
    const std::string source = u.sourceRows < 0 ? "-" : std::to_string(u.sourceRows);
    std::snprintf(line, sizeof line, "%-22s %10s %10lld %10lld %8.3f  %s\n", u.table.c_str(),
                  source.c_str(), u.inserted, u.clashing, u.seconds, u.name.c_str());
    out += line;
    if (!u.error.empty()) out += "  error: " + u.error + "\n";
  }
  const RunTotals t = Totals(report);
  std::snprintf(line, sizeof line, "%lld tables, %lld rows inserted, %lld kept, %.3f s\n", t.units,
                t.inserted, t.clashing, t.seconds);
  out += line;
  if (report.stopped) out += "stopped on request after " + std::to_string(t.units) + " tables\n";
  return out;
}

std::string ReportJson(const RunReport& report) {
  std::string out =
      "{\"what\": " + JsonString(report.what) + ", \"source\": " + JsonString(report.source) +
      ", \"destination\": " + JsonString(report.destination) +
      ", \"user\": " + JsonString(report.user) + ", \"started\": " + JsonString(report.started) +
      ", \"stopped\": " + (report.stopped ? "true" : "false") +
      ", \"outcome\": " + JsonString(report.outcome) + ", \"units\": [";
  bool first = true;
  for (const UnitResult& u : report.units) {
    out += first ? "\n  " : ",\n  ";
    first = false;
    out += "{\"table\": " + JsonString(u.table) + ", \"caption\": " + JsonString(u.name) +
           ", \"sourceRows\": " + std::to_string(u.sourceRows) +
           ", \"inserted\": " + std::to_string(u.inserted) +
           ", \"clashing\": " + std::to_string(u.clashing) +
           ", \"replaced\": " + std::to_string(u.replaced) +
           ", \"seconds\": " + Seconds(u.seconds) + ", \"error\": " + JsonString(u.error) + "}";
  }
  return out + (first ? "]}\n" : "\n]}\n");
}

}  // namespace xfer::transfer
