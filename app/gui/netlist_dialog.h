// NetlistDialog: the netlist dialog (ネットリスト): the format list in the
// order of the setting "NetType", the first number of unnamed nets, the
// footprint property, the component file and its extension, and the outputs
// that go with the netlist (net index, HTML report, LF line ends, viewing the
// file). It starts from the settings of section "Tool", checks the component
// extension when confirmed, stores the settings back, and fills the job's
// NetlistOptions; the tool menu runs the job.
#pragma once

#include <QDialog>
#include <QString>

#include "app/netlist_job.h"

class QCheckBox;
class QLineEdit;
class QListWidget;
class QSpinBox;

namespace tavro::gui {

class NetlistDialog : public QDialog {
  Q_OBJECT

 public:
  explicit NetlistDialog(QWidget* parent = nullptr);

  // The job as the dialog shows it. The net report always goes with a
  // netlist from the menu; the files covered follow the project's opening
  // ("ProjectAllFile").
  NetlistOptions Options() const;
  // 作成したファイルを見る: open the netlist once written.
  bool View() const;
  // Why the dialog cannot close as filled ("" when it can).
  QString Problem() const;
  // Stores what the dialog shows into section "Tool".
  void StoreSettings() const;

  void accept() override;

 private:
  QListWidget* formats_;
  QSpinBox* startNo_;
  QLineEdit* pcb_;
  QCheckBox* compo_;
  QLineEdit* ext_;
  QCheckBox* index_;
  QCheckBox* html_;
  QCheckBox* unix_;
  QCheckBox* view_;
};

}  // namespace tavro::gui
