#include "import/import_frame.h"

#include "db/solar_date.h"
#include "db/text_util.h"
#include "engine/engine.h"
#include "import/import_sql.h"
#include "import/import_text.h"
#include "transfer/run/report_format.h"

namespace xfer::import {
namespace {

std::string Field(const db::ResultSet& rs, size_t row, const char* name) {
  for (size_t i = 0; i < rs.fields.size(); ++i)
    if (db::UpperAscii(rs.fields[i].name) == db::UpperAscii(name)) {
      const db::Value& v = rs.rows[row][i];
      return engine::IsNull(v) ? std::string() : engine::FormatValue(v);
    }
  return {};
}

// Year and company code of a period item (sYear + "-" + sCode + " : " + sName). The code ends
// at " : ", so codes of any length are read whole.
std::pair<std::string, std::string> YearAndCode(const std::string& item) {
  std::string year(db::Trim(item.substr(0, std::min<size_t>(4, item.size()))));
  size_t dash = item.find('-');
  size_t colon = item.find(" : ", dash == std::string::npos ? 0 : dash);
  if (dash == std::string::npos) return {year, ""};
  return {year, std::string(db::Trim(item.substr(
                    dash + 1, colon == std::string::npos ? std::string::npos : colon - dash - 1)))};
}

}  // namespace

ImportFrame::ImportFrame(db::HostGlobal& global, db::HostDate& date, db::HostDatabase& database,
                         db::Dialogs& dialogs)
    : g_(global), date_(date), db_(database), dialogs_(dialogs) {}

void ImportFrame::Prepare() {
  suffix_ = g_.workstation + date_.TimeStamp();
  RefillPeriods();
  Idle();
}

void ImportFrame::UseSourceServer(transfer::SourceServer server) {
  source_ = std::move(server);
  sourceLost_ = false;
  RefillPeriods();
  periodIndex_ = -1;
  CloseCandidates();
  Idle();
}

bool ImportFrame::RemoteSource() const {
  std::string name = db::UpperAscii(db::Trim(source_.name));
  return (source_.connection || sourceLost_) && !name.empty() &&
         name != db::UpperAscii(db::Trim(g_.serverName));
}

db::Backend& ImportFrame::RemoteQuery() {
  if (source_.connection) return *source_.connection;
  // Never the current server in place of a lost one: its periods could carry the same names.
  if (sourceLost_)
    throw engine::SqlError(53,
                           "A network-related or instance-specific error occurred: the "
                           "source server '" +
                               source_.name + "' cannot be reached.");
  return *db_.connection();
}

bool ImportFrame::ReconnectSource() {
  // The old connection goes first: while it holds a server open, a server directory that has
  // gone away would still be found through it.
  source_.connection.reset();
  sourceLost_ = true;
  try {
    source_.connection = db::OpenBackend(db::ConnectionString(
        g_, source_.name, "master", source_.authKind.empty() ? "SQL" : source_.authKind,
        source_.user, source_.password));
  } catch (const std::exception&) {
    return false;
  }
  sourceLost_ = false;
  return true;
}

void ImportFrame::RefillPeriods() {
  // The open period itself is left out, unless the list comes from another server.
  std::string sql =
      source_.connection
          ? "Select * From KELVARO_Hub..Hub_Company Where DBName In (Select [Name] From "
            "Master..SysDatabases) Order By sCode, sYear"
          : "Select * From KELVARO_Hub..Hub_Company Where DBName <> " + db::Quote(g_.databaseName) +
                " And DBName In (Select [Name] From Master..SysDatabases) Order By sCode, sYear ";
  auto sets = RemoteQuery().Query(sql);
  periods_.clear();
  if (sets.empty()) return;
  const db::ResultSet& rs = sets.back();
  for (size_t r = 0; r < rs.rows.size(); ++r)
    periods_.push_back(Field(rs, r, "sYear") + "-" + Field(rs, r, "sCode") + " : " +
                       Field(rs, r, "sName"));
}

bool ImportFrame::ChoosePeriod(int index) {
  if (index < -1 || index >= static_cast<int>(periods_.size())) return false;
  periodIndex_ = index;
  CloseCandidates();
  applyEnabled_ = false;
  Idle();
  if (index >= 0) ReadRanges();
  return true;
}

bool ImportFrame::ChoosePeriodByDatabase(const std::string& database) {
  std::string wanted = db::UpperAscii(db::Trim(database));
  for (size_t i = 0; i < periods_.size(); ++i) {
    auto [year, code] = YearAndCode(periods_[i]);
    if (db::UpperAscii("KELVARO_" + code + "_" + year) == wanted)
      return ChoosePeriod(static_cast<int>(i));
  }
  return false;
}

std::string ImportFrame::SourceDatabase() const {
  if (periodIndex_ < 0) return {};
  auto [year, code] = YearAndCode(periods_[static_cast<size_t>(periodIndex_)]);
  return "KELVARO_" + code + "_" + year;
}

std::string ImportFrame::SourceTag() const {
  if (periodIndex_ < 0) return {};
  auto [year, code] = YearAndCode(periods_[static_cast<size_t>(periodIndex_)]);
  return "[" + year + "_" + code + "]";
}

std::string ImportFrame::PaddedNumber(const std::string& typed) const {
  std::string n(db::Trim(typed));
  if (numberWidth <= 0) return n;
  size_t width = static_cast<size_t>(numberWidth);
  if (n.size() >= width) return n.substr(0, width);
  return std::string(width - n.size(), ' ') + n;
}

std::string ImportFrame::JoinDate(const std::string& year, const std::string& month,
                                  const std::string& day) {
  return year + "/" + month + "/" + day;
}

bool ImportFrame::CheckDates() {
  if (!dates.ticked) return true;
  for (const std::string* d : {&dates.from, &dates.to})
    if (!db::IsValidSolarDate(*d)) {
      Report(text::kBadDate, kRed);
      return false;
    }
  return true;
}

void ImportFrame::SetAutoMinutes(const std::string& minutes) {
  autoMinutes_ = minutes;
  Idle();
}

void ImportFrame::Idle() {
  state_ = {text::kAutoOff, kRed};
  timerEnabled_ = false;
  runCount_ = {"0", kRed};
}

bool ImportFrame::CheckBeforeAuto() {
  if (periodIndex_ >= 0) return true;
  Report(text::kNoPeriod, kRed);
  return false;
}

TickResult ImportFrame::StartAuto() {
  std::string minutes(db::Trim(autoMinutes_));
  if (minutes.empty()) return {};
  // An interval of 0 arms a timer that never fires; the first run below still happens.
  timerInterval_ = static_cast<int>(db::ParseInteger(minutes).value_or(0) * 60000);
  timerEnabled_ = true;
  state_ = {text::kAutoOn, kGreen};
  return RunOnce();
}

TickResult ImportFrame::Tick() {
  bool reached = true;
  if (RemoteSource()) reached = ReconnectSource();
  if (reached) {
    try {
      RemoteQuery().Query(" Select 1 ");
    } catch (const std::exception&) {
      reached = false;
    }
  }
  if (!reached) {
    Report(text::kNoConnection, kRed);
    TickResult r;
    r.connected = false;
    r.status = lastStatus_;
    return r;
  }
  return RunOnce();
}

TickResult ImportFrame::RunOnce() {
  TickResult r;
  lastStatus_ = {};
  try {
    r.loaded = Load();
    r.loadedRows = r.loaded ? candidateCount() : -1;
    if (r.loaded && applyEnabled_) {
      if (stop_ && stop_->Requested()) {
        r.stopped = true;
      } else {
        r.applied = Apply();
        if (r.applied) r.writtenRows = transfer::Totals(report_).inserted;
      }
    }
  } catch (const std::exception& e) {
    // A source that went away in the middle of the run reads as a lost connection.
    bool reached = true;
    try {
      RemoteQuery().Query(" Select 1 ");
    } catch (const std::exception&) {
      reached = false;
    }
    r.connected = reached;
    Report(reached ? std::string(e.what()) : std::string(text::kNoConnection), kRed);
  }
  r.status = lastStatus_;
  return r;
}

bool ImportFrame::choicesLocked() const {
  std::string n(db::Trim(runCount_.text));
  return !n.empty() && n != "0";
}

std::string ImportFrame::CountRun() {
  if (state_.colour == kRed) return runCount_.text;
  long long n = db::ParseInteger(db::Trim(runCount_.text)).value_or(0);
  runCount_ = {std::to_string(n + 1), kGreen};
  return runCount_.text;
}

void ImportFrame::Report(const std::string& text, int colour) {
  lastStatus_ = {text, colour};
  if (statusSink)
    statusSink(lastStatus_);
  else
    dialogs_.ShowDlgMsg(text, "", colour == kRed ? "1ER" : "1IR");
}

void ImportFrame::TakeRanges(const db::ResultSet& rs, size_t at) {
  dates.to = Text(rs, 0, at);
  dates.from = Text(rs, 0, at + 1);
  numbers.to = std::string(db::Trim(Text(rs, 0, at + 2)));
  numbers.from = std::string(db::Trim(Text(rs, 0, at + 3)));
}

void ImportFrame::ReadRangesFrom(const std::string& sql) {
  db::ResultSet rs = Last(RemoteQuery().Query(sql));
  if (rs.rows.empty()) return;
  TakeRanges(rs, 0);
  numberWidth = rs.fields.size() > 2 ? rs.fields[2].size : 0;
}

const db::ResultSet& ImportFrame::CachedCandidates(const std::string& sql, bool any) const {
  if (!candidatesRead_ && any) {
    auto sets = db_.connection()->Query(sql);
    candidates_ = sets.empty() ? db::ResultSet{} : std::move(sets.back());
    candidatesRead_ = true;
  }
  return candidates_;
}

void ImportFrame::ForgetCandidates() {
  candidates_ = db::ResultSet{};
  candidatesRead_ = false;
}

}  // namespace xfer::import
