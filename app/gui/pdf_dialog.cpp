#include "app/gui/pdf_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <cmath>

#include "app/gui/dialog_parts.h"
#include "app/project.h"
#include "core/platform/codec.h"
#include "core/platform/settings.h"

namespace tavro::gui {

namespace {

QString FromCp(const std::string& cp932) { return QString::fromStdString(Cp932ToUtf8(cp932)); }
std::string Cp(const QString& s) { return Utf8ToCp932(s.toStdString()); }

QString WithPdf(const QString& name) {
  return QString::fromStdString(WithPdfExtension(name.toStdString()));
}

}  // namespace

PdfDialog::PdfDialog(const Context& context, QWidget* parent) : QDialog(parent), context_(context) {
  setWindowTitle(QStringLiteral("PDF変換"));
  const Settings& s = AppSettings();
  const PdfOptions o = PdfOptions::FromSettings(s);
  const bool project = !context_.projectPath.empty();

  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  auto* outputRow = new QHBoxLayout;
  output_ = new QLineEdit(this);
  output_->setObjectName(QStringLiteral("output"));
  output_->setMinimumWidth(360);
  auto* browse = new QPushButton(QStringLiteral("参照(&B)..."), this);
  connect(browse, &QPushButton::clicked, this, &PdfDialog::Browse);
  outputRow->addWidget(output_, 1);
  outputRow->addWidget(browse);
  // A row holding a layout gets no buddy of its own: the label names the field.
  auto* outputLabel = new QLabel(QStringLiteral("出力ファイル名(&O):"), this);
  outputLabel->setBuddy(output_);
  form->addRow(outputLabel, outputRow);
  auto line = [this](const std::string& cp932, const char* name) {
    auto* e = new QLineEdit(FromCp(cp932), this);
    e->setObjectName(QString::fromUtf8(name));
    return e;
  };
  title_ = line(project ? ProjectFile::GetProperty(context_.projectPath, "PDFTITLE") : "", "title");
  subtitle_ = line(project ? ProjectFile::GetProperty(context_.projectPath, "PDFSUBTITLE") : "",
                   "subtitle");
  author_ = line(context_.author, "author");
  form->addRow(QStringLiteral("タイトル(&T):"), title_);
  form->addRow(QStringLiteral("サブタイトル(&U):"), subtitle_);
  form->addRow(QStringLiteral("作成者(&A):"), author_);
  layout->addLayout(form);

  auto* middle = new QHBoxLayout;
  auto* targetBox = new QGroupBox(QStringLiteral("対象"), this);
  auto* targetLayout = new QVBoxLayout(targetBox);
  project_ = new QRadioButton(
      project ? QStringLiteral("プロジェクト(&P)") : QStringLiteral("開いている図面(&P)"),
      targetBox);
  project_->setObjectName(QStringLiteral("targetProject"));
  document_ = new QRadioButton(QStringLiteral("現在の図面(&D)"), targetBox);
  document_->setObjectName(QStringLiteral("targetDocument"));
  document_->setEnabled(!context_.documentPath.empty());
  allFiles_ = new QCheckBox(QStringLiteral("全ファイル(&L)"), targetBox);
  allFiles_->setObjectName(QStringLiteral("allFiles"));
  allFiles_->setChecked(o.allFiles);
  targetLayout->addWidget(project_);
  auto* allFilesRow = new QHBoxLayout;
  allFilesRow->addSpacing(24);  // belongs to the project
  allFilesRow->addWidget(allFiles_);
  targetLayout->addLayout(allFilesRow);
  targetLayout->addWidget(document_);
  // Without a project the open sheets stand for it, unless a sheet is active.
  (project || context_.documentPath.empty() ? project_ : document_)->setChecked(true);
  connect(project_, &QRadioButton::toggled, this, &PdfDialog::TargetChanged);
  middle->addWidget(targetBox);

  auto* pageBox = new QGroupBox(QStringLiteral("配置"), this);
  auto* pageForm = new QFormLayout(pageBox);
  titleInclude_ = new QCheckBox(QStringLiteral("図枠が基準(&F)"), pageBox);
  titleInclude_->setObjectName(QStringLiteral("titleInclude"));
  titleInclude_->setChecked(o.titleInclude);
  pageForm->addRow(titleInclude_);
  auto margin = [pageBox](double value, const char* name) {
    auto* spin = new QSpinBox(pageBox);
    spin->setObjectName(QString::fromUtf8(name));
    spin->setRange(-100, 100);
    spin->setSuffix(QStringLiteral(" mm"));
    spin->setValue(static_cast<int>(std::lround(value)));
    return spin;
  };
  top_ = margin(o.topMargin, "top");
  left_ = margin(o.leftMargin, "left");
  pageForm->addRow(QStringLiteral("上余白(&M):"), top_);
  pageForm->addRow(QStringLiteral("左余白(&E):"), left_);
  scale_ = new QDoubleSpinBox(pageBox);
  scale_->setObjectName(QStringLiteral("scale"));
  scale_->setRange(0.4, 1.6);
  scale_->setSingleStep(0.02);
  scale_->setDecimals(2);
  scale_->setValue(o.scale);
  pageForm->addRow(QStringLiteral("倍率(&S):"), scale_);
  middle->addWidget(pageBox);
  layout->addLayout(middle);

  auto* options = new QHBoxLayout;
  auto box = [this, options](const char* label, const char* name, bool on) {
    auto* c = new QCheckBox(QString::fromUtf8(label), this);
    c->setObjectName(QString::fromUtf8(name));
    c->setChecked(on);
    options->addWidget(c);
    return c;
  };
  back_ = box("背景(&G)", "back", o.background);
  color_ = box("カラー(&C)", "color", o.color);
  view_ = box("作成したファイルを見る(&V)", "view", s.GetInt("PDF", "View") != 0);
  options->addStretch(1);
  layout->addLayout(options);

  layout->addWidget(OkCancelButtons(this));

  suggested_ = Suggestion();
  output_->setText(suggested_);
  allFiles_->setEnabled(project_->isChecked() && project);
}

QString PdfDialog::Suggestion() const {
  const std::string& base = project_->isChecked() && !context_.projectPath.empty()
                                ? context_.projectPath
                                : context_.documentPath;
  return base.empty() ? QString() : QString::fromStdString(PdfPath(base));
}

void PdfDialog::TargetChanged() {
  allFiles_->setEnabled(project_->isChecked() && !context_.projectPath.empty());
  // The name follows the target until the user writes one of his own.
  const bool own = output_->text() != suggested_;
  suggested_ = Suggestion();
  if (!own) output_->setText(suggested_);
}

void PdfDialog::Browse() {
  const QString name =
      QFileDialog::getSaveFileName(this, QStringLiteral("PDFファイルの指定"), output_->text(),
                                   QStringLiteral("PDFファイル (*.pdf);;すべてのファイル (*)"),
                                   nullptr, QFileDialog::DontConfirmOverwrite);
  if (!name.isEmpty()) output_->setText(name);
}

PdfOptions PdfDialog::Options() const {
  PdfOptions o = PdfOptions::FromSettings(AppSettings());
  const QString name = output_->text().trimmed();
  o.outputPath = name.isEmpty() ? std::string() : WithPdf(name).toStdString();
  o.title = Cp(title_->text());
  o.subtitle = Cp(subtitle_->text());
  o.author = Cp(author_->text());
  o.allFiles = allFiles_->isChecked();
  o.titleInclude = titleInclude_->isChecked();
  o.topMargin = top_->value();
  o.leftMargin = left_->value();
  o.scale = scale_->value();
  o.background = back_->isChecked();
  o.color = color_->isChecked();
  o.storeTitles = true;
  return o;
}

PdfTarget PdfDialog::Target() const {
  return document_->isChecked() ? PdfTarget::kDocument : PdfTarget::kProject;
}

bool PdfDialog::View() const { return view_->isChecked(); }

QString PdfDialog::Problem() const {
  if (output_->text().trimmed().isEmpty())
    return QStringLiteral("出力ファイル名を入力してください。");
  return {};
}

void PdfDialog::StoreSettings() const {
  Settings& s = AppSettings();
  Options().Store(s);
  s.WriteInt("PDF", "View", View() ? 1 : 0);
}

void PdfDialog::accept() {
  const QString problem = Problem();
  if (!problem.isEmpty()) {
    QMessageBox::warning(this, windowTitle(), problem);
    output_->setFocus();
    return;
  }
  const QString name = WithPdf(output_->text().trimmed());
  output_->setText(name);
  // A file the user named himself is not replaced without asking.
  if (name != WithPdf(suggested_) && QFileInfo::exists(name)) {
    const QString question = QStringLiteral("ファイルが存在します。上書きしますか？");
    const bool yes = confirm_ ? confirm_(question)
                              : QMessageBox::question(this, windowTitle(), question,
                                                      QMessageBox::Yes | QMessageBox::No,
                                                      QMessageBox::No) == QMessageBox::Yes;
    if (!yes) {
      output_->setFocus();
      output_->selectAll();
      return;
    }
  }
  StoreSettings();
  QDialog::accept();
}

}  // namespace tavro::gui
