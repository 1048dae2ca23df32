// The base-information transfer: carries the master tables of a source period into the
// current period, module by module, following the catalogue. The form and the command-line
// tool both drive this class; it talks to the user only through the Dialogs interface.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "db/backend.h"
#include "db/dialogs.h"
#include "db/session.h"
#include "transfer/base/catalogue.h"
#include "transfer/run/run_report.h"

namespace xfer::transfer {

// The source server chosen with the server button; empty name: the current server.
struct SourceServer {
  std::string name;
  std::string authKind;
  std::string user;
  std::string password;
  std::unique_ptr<db::Backend> connection;
};

class BaseTransfer {
 public:
  BaseTransfer(db::HostGlobal& global, db::HostDate& date, db::HostDatabase& database,
               db::Dialogs& dialogs);

  // What the form does when it is shown: the temporary name and the level names.
  void Prepare();
  // The periods the source combo offers.
  std::vector<std::string> Periods();
  // Uses another server as source (nullptr connection: back to the current server).
  void UseSourceServer(SourceServer server);
  // Gives the source server back to whoever lent it.
  SourceServer TakeSourceServer() { return std::move(source_); }
  bool RemoteSource() const;
  db::Backend& RemoteQuery();  // the source server's connection, or the local one

  // The chosen entry of the period combo; reads the source period's dates.
  void ChoosePeriod(const std::string& entry);
  const std::string& periodEntry() const { return periodEntry_; }
  std::string SourceDatabase() const;

  // The confirm button: checks, then every ticked block in order. `options` holds the Options
  // columns whose boxes are ticked on the organizing panel. False when a check, the user's
  // answer or a stop request ended it; report() tells which.
  bool Run(const std::set<Module>& ticked, const std::set<std::string>& options);
  // Asked between units: once requested, the run ends before its next unit. Null: no stop.
  void SetStopRequest(const StopRequest* stop) { stop_ = stop; }

  // First and last date of the chosen source period and of the current one (YYYY/MM/DD).
  const std::string& sourceFirstDate() const { return sDate1_; }
  const std::string& sourceLastDate() const { return sDate2_; }
  const std::string& destinationFirstDate() const { return destDate1_; }
  const std::string& destinationLastDate() const { return destDate2_; }
  // The chosen source period starts after the current one: carrying would go backwards.
  bool CarriesBackwards() const;

  // Steps, public for the module transfer forms that share them.
  bool CheckCodeLength(const std::string& table, const std::string& column,
                       const std::string& caption, std::string& sourceDb);
  bool RunDescriptor(const BaseTableDescriptor& d);
  void TransferBaseTable(std::string sourceDb, const std::string& table, const std::string& columns,
                         const std::string& key, const std::string& name);
  bool TransferUsers();
  void RecomputeOpenings(const std::string& table, const std::string& sourceDb);
  void CopyPrintForms(const std::string& letter);

  const std::string& tempName() const { return tempName_; }
  // What the last run did, unit by unit; steps called on their own add their units too.
  const RunReport& report() const { return report_; }
  const std::vector<TableStats>& stats() const { return report_.units; }
  const std::string& namTafsily2() const { return namTafsily2_; }
  const std::string& namProject() const { return namProject_; }

 private:
  // One unit of a block as planned before the run: its caption and the work, false when a
  // check stopped it.
  struct PlannedUnit {
    std::string caption;
    std::function<bool()> run;
  };
  std::vector<PlannedUnit> PlanBlock(const TransferBlock& block, const std::set<Module>& ticked,
                                     const std::set<std::string>& options);
  bool RunBlock(const TransferBlock& block, const std::vector<PlannedUnit>& units);
  // A unit that is not one table copy (print layouts, sales-document settings): timed and
  // counted by the rows of `table` (`where` selects them) after the work.
  void RecordUnit(const std::string& table, const std::string& caption, const std::string& where,
                  const std::function<void()>& work);
  void FollowUp(const BaseTableDescriptor& d, const std::string& sourceDb);
  void CopySalesDocuments();
  // A source table as the local server can read it: db..table on the same server, else a
  // local copy made through a work file under the form's temporary name + `suffix`.
  std::string LocalSource(const std::string& sourceDb, const std::string& table,
                          const std::string& suffix);
  long long Count(db::Backend& b, const std::string& table);
  // Runs `work` as one atomic unit of the current database.
  void InTransaction(const std::function<void()>& work);

  db::HostGlobal& g_;
  db::HostDate& date_;
  db::HostDatabase& db_;
  db::Dialogs& dialogs_;
  SourceServer source_;
  std::string tempName_;
  std::string namTafsily2_, namProject_;
  std::string periodEntry_;
  std::string sDate1_, sDate2_;
  std::string destDate1_, destDate2_;
  const StopRequest* stop_ = nullptr;
  long long unitsDone_ = 0, unitsTotal_ = 0;
  RunReport report_;
};

}  // namespace xfer::transfer
