#include "import/voucher_selection.h"

#include "db/cross_server.h"
#include "db/text_util.h"
#include "engine/engine.h"
#include "import/maly_text.h"

namespace xfer::import {
namespace {

using db::Quote;

constexpr const char* kMark = "ض";

std::string Text(const db::ResultSet& rs, size_t row, size_t col) {
  const db::Value& v = rs.rows[row][col];
  return engine::IsNull(v) ? std::string() : engine::FormatValue(v);
}

db::ResultSet Last(std::vector<db::ResultSet> sets) {
  return sets.empty() ? db::ResultSet{} : std::move(sets.back());
}

}  // namespace

VoucherSelection::VoucherSelection(db::HostDatabase& database, std::string selectionTable,
                                   std::string softwareTable, std::string sourceDb,
                                   std::string filter, db::Backend* remote, std::string appFolder)
    : db_(database),
      sel_(std::move(selectionTable)),
      soft_(std::move(softwareTable)),
      sourceDb_(std::move(sourceDb)),
      filter_(std::move(filter)),
      remote_(remote),
      appFolder_(std::move(appFolder)) {}

std::string VoucherSelection::Scalar(const std::string& sql) {
  return db::ScalarText(*db_.connection(), sql);
}

void VoucherSelection::Show(const std::string& importTable) {
  // The programs and lines of the source period: read in place, or brought here first when the
  // source is on another server.
  std::string asnad = sourceDb_ + "..Asnad", types = sourceDb_ + "..ApplicationType";
  if (remote_) {
    db::CopyTableAcrossServers(*remote_, db_, appFolder_, asnad, sel_ + "_A");
    db::CopyTableAcrossServers(*remote_, db_, appFolder_, types, sel_ + "_T");
    asnad = sel_ + "_A";
    types = sel_ + "_T";
  }
  db_.RunSql("If Object_Id('tempdb.." + soft_ + "') Is Not Null Drop Table " + soft_);
  db_.RunSql(" Select Typesys,TypesysNam,Cast(' 'As Varchar(1)) SLC Into " + soft_ + " From " +
             types + " Where Typesys in (Select Distinct Typesys From " + asnad + ")");
  db_.RunSql(" Truncate Table " + sel_);
  db_.RunSql(" Insert Into " + sel_ +
             "(SanadNo, SanadDate, Koll, Moein, Tafsily, Tafsily2, ProjectCod, Des, Bed, " +
             " Bes, AtfCh, AtfDate, TypeSysNam ) " +
             " Select A.SanadNo, A.SanadDate, A.Koll, A.Moein, A.Tafsily, A.Tafsily2, "
             "A.ProjectCod, A.Des, A.Bed, " +
             " A.Bes, A.AtfCh, A.AtfDate, T.TypeSysNam " + " From " + asnad +
             " A Left Outer Join " + types + " T On (A.Typesys = T.Typesys) " + filter_);
  if (remote_) {
    db_.RunSql("Drop Table " + sel_ + "_A");
    db_.RunSql("Drop Table " + sel_ + "_T");
  }
  db_.RunSql(" If Exists(Select Top 1 * From Tempdb..SysObjects Where Name Like " +
             Quote(importTable) + " ) " + " Update " + sel_ + " Set SLC = '" + kMark +
             "' Where Ltrim(rtrim(Sanadno)) in (Select Ltrim(rtrim(LastNo)) From " + importTable +
             " Where Whatdoc != 'X')");
  db_.RunSql("Update " + sel_ + " Set SLC='' Where SLC is NULL");
  Follow();
}

db::ResultSet VoucherSelection::Rows() {
  return Last(db_.connection()->Query(" Select * From " + sel_ + " Order By SanadNo "));
}

bool VoucherSelection::Toggle(const std::string& sanadNo, std::string& message) {
  std::string no(db::Trim(sanadNo));
  db::ResultSet rs = Last(db_.connection()->Query("Select Top 1 SLC, TypeSysNam From " + sel_ +
                                                  " Where Ltrim(Rtrim(SanadNo)) = " + Quote(no)));
  if (rs.rows.empty()) return false;
  bool marked = db::Trim(Text(rs, 0, 0)) == kMark;
  if (!marked) {
    db::ResultSet programs = Last(db_.connection()->Query(" Select distinct TypeSysNam From  " +
                                                          sel_ + "  Where (SLC='" + kMark + "') "));
    for (size_t r = 0; r < programs.rows.size(); ++r)
      if (db::Trim(Text(programs, r, 0)) != db::Trim(Text(rs, 0, 1))) {
        message = text::kMixedSoftware;
        return false;
      }
  }
  db_.RunSql(" Update " + sel_ + " Set SLC = '" + (marked ? "" : kMark) +
             "' Where Ltrim(Rtrim(SanadNo)) = " + Quote(no));
  Follow();
  return true;
}

void VoucherSelection::MarkProgram(const std::string& typeSysNam) {
  db_.RunSql(" Update " + sel_ + " Set SLC = '" + kMark +
             "' Where Ltrim(Rtrim(TypeSysNam)) = " + Quote(db::Trim(typeSysNam)));
  Follow();
}

void VoucherSelection::All() {
  db_.RunSql(" Update " + sel_ + " Set SLC = '" + kMark + "' ");
  Follow();
}

void VoucherSelection::None() {
  db_.RunSql(" Update " + sel_ + " Set SLC = '' ");
  Follow();
}

void VoucherSelection::Revert() {
  db_.RunSql(" Update " + sel_ + " Set SLC = Case When SLC = '" + kMark + "' Then '' Else '" +
             kMark + "' End ");
  Follow();
}

void VoucherSelection::Range(const std::string& sanadNo) {
  std::string cur = Quote(sanadNo);
  db::ResultSet rs = Last(db_.connection()->Query(
      "Select M1 = (Select Max(SanadNo) From " + sel_ + " Where SLC='" + kMark + "' And SanadNo<" +
      cur + "), M2 = (Select Min(SanadNo) From " + sel_ + " Where SLC='" + kMark +
      "' And SanadNo>" + cur + ") "));
  // The neighbour below when there is one, else the one above; alone, the voucher itself.
  std::string m1 = rs.rows.empty() ? "" : Text(rs, 0, 0);
  std::string m2 = rs.rows.empty() ? "" : Text(rs, 0, 1);
  std::string other = !m1.empty() ? m1 : !m2.empty() ? m2 : sanadNo;
  std::string lo = other < sanadNo ? other : sanadNo, hi = other < sanadNo ? sanadNo : other;
  db_.RunSql("Update " + sel_ + " Set SLC='" + kMark + "' Where SanadNo Between " + Quote(lo) +
             " And " + Quote(hi));
  Follow();
}

void VoucherSelection::RangeReverse(const std::string& sanadNo) {
  std::string cur = Quote(sanadNo);
  db::ResultSet rs = Last(db_.connection()->Query(
      "Select M1 = (Select Max(SanadNo) From " + sel_ + " Where SLC='' And SanadNo<" + cur +
      "), M2 = (Select Min(SanadNo) From " + sel_ + " Where SLC='' And SanadNo>" + cur + ") "));
  std::string m1 = rs.rows.empty() ? "" : Text(rs, 0, 0);
  std::string m2 = rs.rows.empty() ? "" : Text(rs, 0, 1);
  if (!m1.empty() && !m2.empty())
    db_.RunSql("Update " + sel_ + " Set SLC='' Where SanadNo Between " + Quote(m1) + " And " +
               Quote(m2));
  else if (!m1.empty())
    db_.RunSql("Update " + sel_ + " Set SLC='" + kMark + "' Where SanadNo <= " + Quote(m1));
  else if (!m2.empty())
    db_.RunSql("Update " + sel_ + " Set SLC='" + kMark + "' Where SanadNo >= " + Quote(m2));
  Follow();
}

void VoucherSelection::ToggleProgram(const std::string& typeSysNam) {
  std::string name = Quote(db::Trim(typeSysNam));
  bool marked = db::Trim(Scalar("Select Top 1 SLC From " + soft_ +
                                " Where Ltrim(Rtrim(TypeSysNam)) = " + name)) == kMark;
  db_.RunSql(" Update " + soft_ + " Set SLC = '" + (marked ? "" : kMark) +
             "' Where Ltrim(Rtrim(TypeSysNam)) = " + name);
  if (!marked)
    db_.RunSql(" Update " + soft_ + " Set SLC = '' where Ltrim(Rtrim(TypeSysNam)) <> " + name);
}

void VoucherSelection::AllPrograms() {
  db_.RunSql(" Update " + soft_ + " Set SLC = '" + kMark + "' ");
}
void VoucherSelection::NoPrograms() {
  db_.RunSql(" Update " + soft_ + " Set SLC = '' ");
}
void VoucherSelection::RevertPrograms() {
  db_.RunSql(" Update " + soft_ + " Set SLC = Case When SLC = '" + kMark + "' Then '' Else '" +
             kMark + "' End ");
}

db::ResultSet VoucherSelection::Programs() {
  return Last(db_.connection()->Query("Select * from " + soft_));
}

void VoucherSelection::ConfirmPrograms() {
  db::ResultSet rs = Programs();
  long long marked = 0;
  std::string last;
  for (size_t r = 0; r < rs.rows.size(); ++r)
    if (db::Trim(Text(rs, r, 2)) == kMark) {
      ++marked;
      last = std::string(db::Trim(Text(rs, r, 1)));
    }
  // Every program chosen stays so: all vouchers go; otherwise the last one marked is chosen.
  if (marked > 0 && marked < static_cast<long long>(rs.rows.size())) {
    db_.RunSql(" Update " + soft_ + " Set SLC = '' where Ltrim(Rtrim(TypeSysNam)) <> " +
               Quote(last) + " ");
    db_.RunSql(" Update " + soft_ + " Set SLC = '" + kMark +
               "' where Ltrim(Rtrim(TypeSysNam)) = " + Quote(last) + " ");
  }
  db_.RunSql(" update " + sel_ + " set Slc='" + kMark + "' where TypeSysNam In" +
             " (Select A.TypeSysNam From " + soft_ + " as A " +
             " Where Ltrim(rtrim(isnull(A.Slc,''))) != '' )");
  db_.RunSql(" update " + sel_ + " set Slc='' where TypeSysNam In" + " (Select A.TypeSysNam From " +
             soft_ + " as A " + " Where Ltrim(rtrim(isnull(A.Slc,''))) = '' )");
  Follow();
}

void VoucherSelection::Follow() {
  db::ResultSet rs = Last(db_.connection()->Query(
      "Select TypeSysNam, Sum(Case When SLC = '" + std::string(kMark) +
      "' Then 1 Else 0 End), Count(*) From " + sel_ + " Group By TypeSysNam"));
  size_t whole = 0;
  std::string chosen;
  for (size_t r = 0; r < rs.rows.size(); ++r)
    if (Text(rs, r, 1) == Text(rs, r, 2) && Text(rs, r, 2) != "0") {
      ++whole;
      chosen = std::string(db::Trim(Text(rs, r, 0)));
    }
  if (whole > 0 && whole == rs.rows.size()) {
    db_.RunSql(" update " + soft_ + " set Slc='" + kMark + "' ");
    softwareText_ = text::kAllSoftware;
  } else if (whole > 0) {
    db_.RunSql(" update " + soft_ + " set Slc = Case When Ltrim(Rtrim(TypeSysNam)) = " +
               Quote(chosen) + " Then '" + kMark + "' Else '' End ");
    softwareText_ = chosen;
  } else {
    db_.RunSql(" update " + soft_ + " set Slc = '' ");
    softwareText_ = text::kChooseSoftware;
  }
}

std::vector<std::string> VoucherSelection::Chosen() {
  db::ResultSet rs =
      Last(db_.connection()->Query("Select Distinct Ltrim(Rtrim(SanadNo)) From " + sel_ +
                                   " Where Ltrim(rtrim(isnull(SLC,''))) != '' Order By 1"));
  std::vector<std::string> out;
  for (size_t r = 0; r < rs.rows.size(); ++r) out.push_back(Text(rs, r, 0));
  return out;
}

}  // namespace xfer::import
