// AnnotateDialog: the reference numbering dialog (部品番号割付). Four modes:
//   0 未決定の部品番号のみ割付ける        number the undecided references
//   1 全ての部品番号を付け直す            renumber all references
//   2 部品割付ファイルを使用              apply a Was-Is file
//   3 部品割付テンプレートファイルの作成  write a Was-Is template
// with the step (+1 / +2) and the first number for modes 0 and 1, the page
// offset for mode 1, counting per sheet for mode 0, and the simple Was-Is
// form and the file for modes 2 and 3. It starts from the settings of
// section "Tool", stores them back when confirmed and fills the jobs'
// options; the tool menu runs the job of the mode.
#pragma once

#include <QDialog>
#include <QString>
#include <array>
#include <string>

#include "app/annotate_job.h"
#include "app/wasis_job.h"

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace tavro::gui {

class AnnotateDialog : public QDialog {
  Q_OBJECT

 public:
  // `wasisPath`: where the Was-Is file goes by default (beside the project,
  // or the first open sheet; UTF-8); empty when there is none yet.
  explicit AnnotateDialog(const std::string& wasisPath, QWidget* parent = nullptr);

  // The mode chosen, 0 to 3.
  int Mode() const;
  void SetMode(int mode);
  // The jobs as the dialog shows them (the files covered follow the
  // project's opening, "ProjectAllFile").
  AnnotateOptions Options() const;
  WasisOptions Wasis() const;
  // Stores what the dialog shows into section "Tool".
  void StoreSettings() const;

  void accept() override;

 private:
  void UpdateEnabled();
  void Browse();

  std::array<QRadioButton*, 4> modes_{};
  QRadioButton* step1_;
  QRadioButton* step2_;
  QSpinBox* firstNo_;
  QSpinBox* pageOffset_;
  QCheckBox* eachSheet_;
  QCheckBox* simple_;
  QLineEdit* file_;
  QPushButton* browse_;
};

}  // namespace tavro::gui
