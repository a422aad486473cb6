// PdfDialog: the PDF conversion dialog (PDF変換): output file with a browse
// button, title, subtitle and author, the target (the project, or the open
// sheets without one; or the active sheet alone) with "全ファイル", the
// title frame as the placed box, margins, scale, background, colour and
// viewing the file. It starts from section "PDF" and the project's
// "PDFTITLE" / "PDFSUBTITLE"; on OK it checks the name (".pdf" appended, an
// existing file other than the one suggested asks before it is replaced)
// and stores section "PDF". It fills the job's PdfOptions; the tool menu
// runs the job.
#pragma once

#include <QDialog>
#include <QString>
#include <functional>
#include <string>

#include "app/pdf_job.h"

class QCheckBox;
class QDoubleSpinBox;
class QLineEdit;
class QRadioButton;
class QSpinBox;

namespace tavro::gui {

// What the PDF covers.
enum class PdfTarget {
  kProject,   // the project's sheets (without a project: the open sheets)
  kDocument,  // the active sheet alone
};

class PdfDialog : public QDialog {
  Q_OBJECT

 public:
  struct Context {
    std::string projectPath;   // UTF-8; empty without a project
    std::string documentPath;  // the active sheet's file (UTF-8); empty when none
    std::string author;        // CP932, the author the program knows
  };
  explicit PdfDialog(const Context& context, QWidget* parent = nullptr);

  // The job as the dialog shows it: the name with ".pdf", the titles stored
  // into the project after writing.
  PdfOptions Options() const;
  PdfTarget Target() const;
  // 作成したファイルを見る.
  bool View() const;
  // Why the dialog cannot close as filled ("" when it can).
  QString Problem() const;
  // Stores what the dialog shows into section "PDF".
  void StoreSettings() const;

  // The question "ファイルが存在します。上書きしますか？" (true: yes); a
  // message box unless set.
  void SetConfirm(std::function<bool(const QString&)> confirm) { confirm_ = std::move(confirm); }

  void accept() override;

 private:
  // The name suggested for the target: the project's or the sheet's path
  // with ".pdf".
  QString Suggestion() const;
  void TargetChanged();
  void Browse();

  Context context_;
  QString suggested_;
  std::function<bool(const QString&)> confirm_;
  QLineEdit* output_;
  QLineEdit* title_;
  QLineEdit* subtitle_;
  QLineEdit* author_;
  QRadioButton* project_;
  QRadioButton* document_;
  QCheckBox* allFiles_;
  QCheckBox* titleInclude_;
  QSpinBox* top_;
  QSpinBox* left_;
  QDoubleSpinBox* scale_;
  QCheckBox* back_;
  QCheckBox* color_;
  QCheckBox* view_;
};

}  // namespace tavro::gui
