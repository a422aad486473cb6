// CheckDialog: the net report and rule check (ネットレポート): the report
// is the one a netlist writes beside itself, here written on its own beside
// the project (or the first sheet). The dialog shows the settings of section
// "Tool" that shape it — its HTML form, LF line ends, viewing the file —
// stores them back when confirmed, and fills the job's CheckOptions.
#pragma once

#include <QDialog>

#include "app/check_job.h"

class QCheckBox;

namespace tavro::gui {

class CheckDialog : public QDialog {
  Q_OBJECT

 public:
  explicit CheckDialog(QWidget* parent = nullptr);

  // The job as the dialog shows it; the files covered follow the project's
  // opening ("ProjectAllFile").
  CheckOptions Options() const;
  // 作成したファイルを見る: open the report once written.
  bool View() const;
  // Stores what the dialog shows into section "Tool".
  void StoreSettings() const;

  void accept() override;

 private:
  QCheckBox* html_;
  QCheckBox* unix_;
  QCheckBox* view_;
};

}  // namespace tavro::gui
