// The base-information transfer form: the user ticks the modules, picks a source period (of this
// server or of another one chosen with the server button) and confirms; the transfer itself is
// BaseTransfer's. The form also starts the suite's structure converter.
#pragma once

#include <QLibrary>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "transfer/base/catalogue.h"
#include "transfer/forms/form_session.h"
#include "transfer/forms/session_dialogs.h"
#include "transfer/forms/structure_converter.h"
#include "transfer/run/run_report.h"
#include "ui/run_summary.h"

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QPushButton;
class QToolButton;

namespace xfer::ui {
class CaptionPanel;
}

namespace xfer::transfer {

class BaseTransfer;

// Source server settings: empty until the server button is first used.
struct SourceServerSettings {
  std::string name;
  std::string authKind;  // "WIN" or "SQL"
  std::string user;
  std::string password;
};

class TXferKolForm : public QWidget {
  Q_OBJECT
 public:
  explicit TXferKolForm(SessionSource session, QWidget* parent = nullptr);
  ~TXferKolForm() override;
  TXferKolForm(const TXferKolForm&) = delete;
  TXferKolForm& operator=(const TXferKolForm&) = delete;

  // The remembered-servers file the server button's connection form uses (its default if empty).
  void setServersFile(const QString& file) { serversFile_ = file; }
  const SourceServerSettings& sourceServer() const { return source_; }
  // The running transfer, once the form was shown on a session with a database.
  const BaseTransfer* transfer() const { return transfer_.get(); }
  // The summary window of the latest run, while it is open.
  ui::TRunSummary* summary() const { return summary_; }

 public slots:
  void FormShow();
  void cmbCompanyChange();
  void chkSazmandehiClick();
  void cmdOkClick();
  void cmdServerClick();
  void cmdSakhtarClick();
  void sb_ClosedClick();
  void sb_MinimizedClick();

 protected:
  void showEvent(QShowEvent* e) override;

 private:
  void BuildWidgets();
  void FillPeriods(const std::vector<std::string>& periods);
  void ShowPeriods();
  // The kept rows of the last run's units, offered in the conflict window of the module form
  // that carries the same table (a source on this server only).
  void OfferKeptRows(ui::TRunSummary& summary);
  void ReviewKeptRows(const UnitResult& unit, const std::string& sourceDb);
  std::set<Module> TickedModules() const;
  std::set<std::string> TickedOptions() const;
  // Runs a handler body; a server error ends it with the error shown in the message dialog.
  template <typename F>
  void Guarded(F&& body);

  SessionSource session_;
  SessionDialogs dialogs_;
  FormSession transferSession_;  // the session objects transfer_ was made with
  std::unique_ptr<BaseTransfer> transfer_;
  StopRequest stop_;
  QPointer<ui::TRunSummary> summary_;
  SourceServerSettings source_;
  QString serversFile_;
  QLibrary converter_;
  StructureConverterEntry converterEntry_ = nullptr;

  ui::CaptionPanel* Caption_Panel = nullptr;
  QToolButton* sb_Minimized = nullptr;
  QToolButton* sb_Closed = nullptr;
  QLabel* lblCompany = nullptr;
  QComboBox* cmbCompany = nullptr;
  QCheckBox* chkMaly = nullptr;
  QCheckBox* chkStore = nullptr;
  QCheckBox* chkDara = nullptr;
  QCheckBox* chkNaghd = nullptr;
  QCheckBox* chkTrado = nullptr;
  QCheckBox* chkSazmandehi = nullptr;
  QFrame* pnlCondSazmandehi = nullptr;
  std::vector<QCheckBox*> organizingBoxes_;
  QPushButton* cmdOk = nullptr;
  QPushButton* cmdServer = nullptr;
  QPushButton* cmdSakhtar = nullptr;
  QLabel* lbServerNam = nullptr;
  QLabel* lblDestination = nullptr;
  QLabel* lblSourceDates = nullptr;
  QLabel* lblNotice = nullptr;
};

}  // namespace xfer::transfer
