// TGrafColSetForm: which points a chart shows. Labels move between the chosen list and the
// available list one at a time or all at once.
#pragma once

#include <QDialog>
#include <QStringList>

class QListWidget;
class QPushButton;

namespace xfer::ui::chart {

class TGrafColSetForm : public QDialog {
  Q_OBJECT
 public:
  TGrafColSetForm(const QStringList& chosen, const QStringList& available,
                  QWidget* parent = nullptr);
  TGrafColSetForm(const TGrafColSetForm&) = delete;
  TGrafColSetForm& operator=(const TGrafColSetForm&) = delete;

  QStringList chosen() const;

 public slots:
  void cmd_1_To_LeftClick();
  void cmd_n_To_LeftClick();
  void cmd_1_To_RightClick();
  void cmd_n_To_RightClick();

 private:
  QListWidget* lstChosen = nullptr;
  QListWidget* lstAvailable = nullptr;
  QPushButton* cmd_1_To_Left = nullptr;
  QPushButton* cmd_n_To_Left = nullptr;
  QPushButton* cmd_1_To_Right = nullptr;
  QPushButton* cmd_n_To_Right = nullptr;
};

}  // namespace xfer::ui::chart
