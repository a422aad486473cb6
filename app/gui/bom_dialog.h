// BomDialog: the parts list dialog (部品表作成): the drawing number, product
// name and number of boards of the project ("SHEETNO", "SETNAME",
// "PCBMAKE"), whether to write the count of each line ("Tool"/"PartCount"),
// whether to list the NOPARTLIST parts too (not stored) and the property
// list ("Tool"/"ListProperty"). On OK it stores the settings and, with a
// project, the three values into the project file; it fills the job's
// BomOptions, and the tool menu runs the job.
#pragma once

#include <QDialog>
#include <QString>
#include <functional>
#include <string>

#include "app/bom_job.h"

class QCheckBox;
class QLineEdit;
class QSpinBox;

namespace tavro::gui {

class BomDialog : public QDialog {
  Q_OBJECT

 public:
  // `projectPath`: the current project's file (UTF-8); empty without one,
  // when the values start empty and are used for this list only.
  explicit BomDialog(std::string projectPath, QWidget* parent = nullptr);

  // The job as the dialog shows it (the values are stored by the dialog).
  BomOptions Options() const;
  // The three project values as the dialog shows them (CP932).
  BomHeader Header() const;
  // Why the dialog cannot close as filled ("" when it can).
  QString Problem() const;
  // Stores "PartCount" and "ListProperty" into section "Tool".
  void StoreSettings() const;
  // Stores the three values into the project; false (with a message shown)
  // when the project file could not be written. True without a project.
  bool StoreProject() const;

  // Where messages go; a message box unless set.
  void SetWarn(std::function<void(const QString&)> warn) { warn_ = std::move(warn); }

  void accept() override;

 private:
  void Warn(const QString& message) const;

  std::string projectPath_;
  std::function<void(const QString&)> warn_;
  QLineEdit* sheetNo_;
  QLineEdit* setName_;
  QSpinBox* pcbMake_;
  QCheckBox* partCount_;
  QCheckBox* forceNoPartList_;
  QLineEdit* properties_;
};

}  // namespace tavro::gui
