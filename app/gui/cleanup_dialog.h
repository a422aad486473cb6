// CleanupDialog: the sheet clean-up dialog (重複整理). It shows the choices
// of the clean-up job: merging collinear lines (and whether junction dots
// limit the merging of wires), removing items outside the sheet, leaving a
// sheet alone when its tidying would change its nets, the highest numbers
// per sheet or for the whole project (the missing numbers only for the
// whole project), the HTML log (only while the report template can be read)
// and viewing the log once written. It fills the job's CleanupOptions; the
// tool menu stores them and runs the job.
#pragma once

#include <QDialog>
#include <string>

#include "app/cleanup_job.h"

class QCheckBox;

namespace tavro::gui {

class CleanupDialog : public QDialog {
  Q_OBJECT

 public:
  // Starts from the settings (CleanupOptions::FromSettings).
  explicit CleanupDialog(QWidget* parent = nullptr);
  // Starts from `options`; the HTML log is offered only while the template
  // the job would read (options.templatePath, else HtmlTemplatePath()) can
  // be read.
  explicit CleanupDialog(const CleanupOptions& options, QWidget* parent = nullptr);

  // The job as the dialog shows it; what the dialog does not show comes
  // from the options it started from.
  CleanupOptions Options() const;
  // Whether the HTML log can be chosen (the template was found).
  bool HtmlAvailable() const { return htmlAvailable_; }

 private:
  void UpdateEnabled();

  CleanupOptions start_;
  bool htmlAvailable_ = false;
  bool missingWanted_ = false;  // the missing box's choice while by-sheet hides it
  QCheckBox* cleanLine_;
  QCheckBox* wireJunc_;
  QCheckBox* outside_;
  QCheckBox* keepNets_;
  QCheckBox* bySheet_;
  QCheckBox* missing_;
  QCheckBox* html_;
  QCheckBox* view_;
};

}  // namespace tavro::gui
