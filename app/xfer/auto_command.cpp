// `xfer auto`: the automatic transfer launcher without the form. The chosen document imports run
// the ticks of their automatic mode on a schedule (every N minutes, N times or until stopped, or
// once for cron and timers): each tick probes the source, loads, and applies when the load left
// something, and one line per import and tick is logged. A source that goes away turns the tick
// red and is looked for again on the next one. A termination signal is honoured between
// statements of a load or between ticks, never inside an apply: every apply lands whole.
#include <unistd.h>
#include <CLI/CLI.hpp>

#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <iostream>
#include <memory>
#include <sstream>
#include <thread>

#include "cli_session.h"
#include "commands.h"
#include "console_dialogs.h"
#include "db/text_util.h"
#include "engine/error.h"
#include "import/import_modules.h"
#include "import/import_text.h"
#include "transfer/run/run_report.h"
#include "transfer/run/unit_boundary.h"

namespace xfer::cli {
namespace {

// The value of a per-import option for `module`: "trado=FACTOR,store=85" names one per import; a
// plain value (or an entry without a name) serves every import not named.
std::string ForModule(const std::string& option, std::string_view module) {
  std::string plain, entry;
  std::istringstream entries(option);
  while (std::getline(entries, entry, ',')) {
    size_t eq = entry.find('=');
    if (eq == std::string::npos) {
      if (plain.empty()) plain = db::Trim(entry);
    } else if (db::LowerAscii(db::Trim(entry.substr(0, eq))) == module) {
      return std::string(db::Trim(entry.substr(eq + 1)));
    }
  }
  return plain;
}

struct AutoOptions {
  std::string server;
  std::string database;
  std::string source;
  std::string sourceServer;
  std::vector<std::string> modules;
  double every = -1;  // minutes
  int times = 0;      // 0: until stopped
  bool once = false;
  import::ImportSettings settings;
  std::string fromNo, toNo, fromDate, toDate;
};

// SIGTERM or Ctrl-C: the loop ends at its next statement boundary outside an apply.
transfer::StopRequest g_stop;
extern "C" void StopSchedule(int) {
  g_stop.Request();
}

// The console, less its progress titles when nobody watches: a log stays one line per tick.
class AutoDialogs : public ConsoleDialogs {
 public:
  void ShowState(const std::string& kind, const std::string& title,
                 const std::string& message) override {
    if (::isatty(STDERR_FILENO)) ConsoleDialogs::ShowState(kind, title, message);
  }
};

// One import on its own session, so the imports' temporary tables and transactions stay apart.
struct Slot {
  const import::ImportModule* module = nullptr;
  AutoDialogs dialogs;
  std::unique_ptr<CliSession> session;
  std::unique_ptr<import::ImportFrame> frame;
};

std::string Now() {
  std::time_t t = std::time(nullptr);
  std::tm local{};
  localtime_r(&t, &local);
  char buf[32];
  std::strftime(buf, sizeof buf, "%Y-%m-%d %H:%M:%S", &local);
  return buf;
}

// Opens the import of `slot` as the launcher leaves it set up; returns the check that stopped
// it, empty when it is ready. Server errors are thrown.
std::string Open(Slot& slot, const AutoOptions& o) {
  slot.frame.reset();
  slot.session = OpenCliSession(o.server, o.database);
  db::HostGlobal& g = slot.session->global;
  // Each import names its temporary tables after the workstation: one name per import.
  g.workstation += db::UpperAscii(slot.module->name);
  g.userId = g.workstation;
  slot.frame = slot.module->make(g, slot.session->date, slot.session->link, slot.dialogs);
  import::ImportFrame& f = *slot.frame;
  f.Prepare();
  if (!o.sourceServer.empty()) f.UseSourceServer(CliSourceServer(*slot.session, o.sourceServer));
  if (!f.ChoosePeriodByDatabase(o.source)) return import::text::kNoPeriod;
  import::ImportSettings settings = o.settings;
  settings.type = ForModule(o.settings.type, slot.module->name);
  settings.mode = ForModule(o.settings.mode, slot.module->name);
  if (std::string bad = slot.module->configure(f, settings); !bad.empty()) return bad;
  import::Status refused;
  f.statusSink = [&refused](const import::Status& s) { refused = s; };
  if (!f.CheckBeforeAuto()) return refused.text;
  f.statusSink = nullptr;
  // The form's edit holds whole minutes; the schedule itself is kept here.
  f.SetAutoMinutes(std::to_string(std::max(0L, std::lround(o.every < 0 ? 0 : o.every))));
  f.SetStopRequest(&g_stop);
  return {};
}

const char* Outcome(const import::TickResult& r) {
  if (!r.connected) return "no-connection";
  if (r.stopped) return "stopped";
  if (r.applied) return r.writtenRows > 0 ? "applied" : "kept";
  if (r.status.colour == import::kRed) return "refused";
  if (r.loaded && r.loadedRows == 0) return "nothing";
  return r.loaded ? "loaded" : "refused";
}

// One tick of one import: the first (or the first after its session was lost) is the start of
// automatic mode, which runs at once; the others are timer ticks. Logs its line.
bool RunTick(Slot& slot, const AutoOptions& o) {
  import::TickResult r;
  std::string error;
  try {
    if (!slot.frame) {
      error = Open(slot, o);
      if (!error.empty()) slot.frame.reset();
    }
    if (slot.frame) {
      // The status goes into the tick's log line, not to the console a second time.
      slot.frame->statusSink = [](const import::Status&) {};
      r = slot.frame->timerEnabled() ? slot.frame->Tick() : slot.frame->StartAuto();
      // A lost link to a period on this server cannot be found again through itself: the next
      // tick opens a new session.
      if (!r.connected && !slot.frame->RemoteSource()) slot.frame.reset();
    } else {
      r.status = {error, import::kRed};
    }
  } catch (const std::exception& e) {
    // The session could not be opened: the server is not there (now).
    slot.frame.reset();
    r = import::TickResult{};
    r.connected = false;
    r.status = {import::text::kNoConnection, import::kRed};
    error = e.what();
  }
  std::string loaded = r.loadedRows < 0 ? "-" : std::to_string(r.loadedRows);
  std::printf("%s\t%s\tloaded=%s\tapplied=%lld\t%s\t%s\n", Now().c_str(), slot.module->name,
              loaded.c_str(), r.writtenRows, Outcome(r), r.status.text.c_str());
  std::fflush(stdout);
  if (!error.empty() && error != r.status.text)
    std::cerr << slot.module->name << ": " << error << "\n";
  return r.connected && r.status.colour != import::kRed;
}

// Waits until `until`, waking early for a stop request.
void WaitUntil(std::chrono::steady_clock::time_point until) {
  while (!g_stop.Requested() && std::chrono::steady_clock::now() < until)
    std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(
        until - std::chrono::steady_clock::now(), std::chrono::milliseconds(200)));
}

int RunAuto(AutoOptions o) {
  if (o.once) o.times = 1;
  if (!o.once && o.every < 0) {
    std::cerr << "--every MINUTES or --once is needed\n";
    return 2;
  }
  // The vouchers by default: the document imports each need a document type of their own.
  if (o.modules.empty()) o.modules = {"maly"};
  std::vector<Slot> slots(o.modules.size());
  for (size_t i = 0; i < slots.size(); ++i) {
    slots[i].module = import::FindImportModule(o.modules[i]);
    if (!slots[i].module) {
      std::string accepted;
      for (const auto& m : import::ImportModules())
        accepted += (accepted.empty() ? "" : ", ") + std::string(m.name);
      std::cerr << "بخش ناشناخته '" << o.modules[i] << "'. بخشهاي پذيرفته: " << accepted << "\n";
      return 1;
    }
  }
  if (!CheckServerPaths(o.server, o.sourceServer)) return 1;
  o.settings.numbers = {!o.fromNo.empty() || !o.toNo.empty(), o.fromNo, o.toNo};
  o.settings.dates = {!o.fromDate.empty() || !o.toDate.empty(), o.fromDate, o.toDate};

  g_stop.Clear();
  std::signal(SIGINT, StopSchedule);
  std::signal(SIGTERM, StopSchedule);
  // Every import is opened and checked before the first tick: a mistyped period or setting
  // stops the run before anything is written.
  for (Slot& slot : slots) {
    try {
      if (std::string bad = Open(slot, o); !bad.empty()) {
        slot.dialogs.ShowDlgMsg(bad, "", "1ER");
        std::cerr << "(" << slot.module->name << ", source '" << o.source << "')\n";
        return 1;
      }
    } catch (const engine::SqlError& e) {
      std::cerr << "Msg " << e.number() << ", Level " << e.severity() << ": " << e.message()
                << "\n";
      return 1;
    }
  }

  // An interval of 0, as on the form, never comes round again: the first run is the only one.
  if (o.every == 0) o.times = 1;
  const auto interval = std::chrono::duration_cast<std::chrono::steady_clock::duration>(
      std::chrono::duration<double>(std::max(0.0, o.every) * 60));
  const bool terminal = ::isatty(STDERR_FILENO) != 0;
  auto next = std::chrono::steady_clock::now();
  std::vector<bool> lastOk(slots.size(), true);
  for (int tick = 0; (o.times == 0 || tick < o.times) && !g_stop.Requested(); ++tick) {
    if (tick > 0) {
      next += interval;
      if (terminal) {
        std::time_t at = std::time(nullptr) + std::chrono::duration_cast<std::chrono::seconds>(
                                                  next - std::chrono::steady_clock::now())
                                                  .count();
        std::tm local{};
        localtime_r(&at, &local);
        char buf[16];
        std::strftime(buf, sizeof buf, "%H:%M:%S", &local);
        std::cerr << "next tick at " << buf << " (Ctrl-C stops)\n";
      }
      WaitUntil(next);
    }
    for (size_t i = 0; i < slots.size() && !g_stop.Requested(); ++i)
      lastOk[i] = RunTick(slots[i], o);
    transfer::AtRest();
    if (g_stop.Requested()) break;
  }
  std::signal(SIGINT, SIG_DFL);
  std::signal(SIGTERM, SIG_DFL);
  if (g_stop.Requested()) {
    std::cerr << "stopped; every apply that began has landed whole\n";
    return 0;
  }
  for (bool ok : lastOk)
    if (!ok) return 1;
  return 0;
}

}  // namespace

void RegisterAutoCommand(CLI::App& app) {
  auto o = std::make_shared<AutoOptions>();
  CLI::App* cmd = app.add_subcommand(
      "auto",
      "Run document imports on a schedule, as the automatic transfer form does: every tick "
      "probes the source, loads, and applies what the load found; one log line per import and "
      "tick");
  cmd->add_option("--server", o->server, "Server directory of the current period")->required();
  cmd->add_option("--database", o->database, "Current (destination) period database")->required();
  cmd->add_option("--source", o->source, "Source period database")->required();
  cmd->add_option("--source-server", o->sourceServer, "Server directory of the source period");
  std::string names;
  for (const auto& m : import::ImportModules())
    names += (names.empty() ? "" : ",") + std::string(m.name);
  cmd->add_option("--modules", o->modules, "Imports to run (default maly): " + names)
      ->delimiter(',');
  cmd->add_option("--every", o->every, "Minutes between ticks (fractions allowed)");
  cmd->add_option("--times", o->times, "Ticks to run, then exit (default: until stopped)")
      ->check(CLI::PositiveNumber);
  cmd->add_flag("--once", o->once, "Run one tick and exit (for cron or a systemd timer)");
  std::string modes;
  for (const auto& m : import::ImportModules())
    modes += (modes.empty() ? "" : "; ") + std::string(m.name) + ": " + m.modes;
  cmd->add_option(
      "--mode", o->settings.mode,
      "Numbering after sending (" + modes + "); per import as maly=NEWID,trado=OLDID_NEW");
  cmd->add_option("--summary", o->settings.summary,
                  "Before sending: NOCHANGE, DEAILY, MONTLY or YEARLY");
  cmd->add_option(
      "--type", o->settings.type,
      "Document type of the imports that have one; per import as trado=FACTOR,store=85");
  cmd->add_flag("--copy-base", o->settings.copyBase,
                "Copy the base records the documents need from the source when missing here");
  cmd->add_option("--from-no", o->fromNo, "First document number");
  cmd->add_option("--to-no", o->toNo, "Last document number");
  cmd->add_option("--from-date", o->fromDate, "First document date (YYYY/MM/DD)");
  cmd->add_option("--to-date", o->toDate, "Last document date (YYYY/MM/DD)");
  cmd->callback([o] { SetExitCode(RunAuto(*o)); });
}

}  // namespace xfer::cli
