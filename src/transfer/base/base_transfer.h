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
  // columns whose boxes are ticked on the organizing panel. False when a check stopped it.
  bool Run(const std::set<Module>& ticked, const std::set<std::string>& options);

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
  const std::vector<TableStats>& stats() const { return stats_; }
  const std::string& namTafsily2() const { return namTafsily2_; }
  const std::string& namProject() const { return namProject_; }

 private:
  bool RunBlock(const TransferBlock& block, const std::set<Module>& ticked,
                const std::set<std::string>& options);
  bool RunStep(const BlockStep& step);
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
  std::vector<TableStats> stats_;
};

}  // namespace xfer::transfer
