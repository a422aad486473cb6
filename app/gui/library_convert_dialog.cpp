#include "app/gui/library_convert_dialog.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/gui/dialog_parts.h"
#include "core/platform/settings.h"

namespace tavro::gui {

namespace {

const QStringList& Filters() {
  static const QStringList filters{QStringLiteral("テキストファイル (*.txt)"),
                                   QStringLiteral("部品ファイル (*.lib)"),
                                   QStringLiteral("すべてのファイル (*.*)")};
  return filters;
}

}  // namespace

LibraryConvertDialog::LibraryConvertDialog(const LibraryConvertJob& job, QWidget* parent,
                                           Hooks hooks)
    : QDialog(parent), hooks_(std::move(hooks)) {
  setWindowTitle(QStringLiteral("部品ファイル変換"));
  auto* layout = new QVBoxLayout(this);
  auto* direction = new QGroupBox(QStringLiteral("変換の方向"), this);
  auto* radios = new QVBoxLayout(direction);
  toText_ = new QRadioButton(QStringLiteral("部品ファイルからテキストファイルへ"), direction);
  fromText_ = new QRadioButton(QStringLiteral("テキストファイルから部品ファイルへ"), direction);
  radios->addWidget(toText_);
  radios->addWidget(fromText_);
  layout->addWidget(direction);

  auto* form = new QFormLayout;
  auto fileRow = [&](const QString& label, QLineEdit*& edit, bool destination) {
    auto* row = new QHBoxLayout;
    edit = new QLineEdit(this);
    edit->setMinimumWidth(340);
    auto* browse = new QPushButton(QStringLiteral("参照..."), this);
    browse->setAutoDefault(false);
    connect(browse, &QPushButton::clicked, this, [this, destination] { Browse(destination); });
    row->addWidget(edit, 1);
    row->addWidget(browse);
    auto* name = new QLabel(label, this);
    name->setBuddy(edit);
    form->addRow(name, row);
  };
  fileRow(QStringLiteral("変換元(&S):"), source_, false);
  fileRow(QStringLiteral("変換先(&D):"), dest_, true);
  layout->addLayout(form);
  layout->addWidget(OkCancelButtons(this));
  SetJob(job);
}

LibraryConvertJob LibraryConvertDialog::Job() const {
  LibraryConvertJob job;
  job.type = fromText_->isChecked() ? LibraryConvertJob::kFromText : LibraryConvertJob::kToText;
  job.source = source_->text().trimmed().toStdString();
  job.dest = dest_->text().trimmed().toStdString();
  return job;
}

void LibraryConvertDialog::SetJob(const LibraryConvertJob& job) {
  (job.type == LibraryConvertJob::kFromText ? fromText_ : toText_)->setChecked(true);
  source_->setText(QString::fromStdString(job.source));
  dest_->setText(QString::fromStdString(job.dest));
}

void LibraryConvertDialog::ChooseDestination(const QString& path, int filter) {
  dest_->setText(path);
  if (filter == 0) toText_->setChecked(true);
  if (filter == 1) fromText_->setChecked(true);
}

void LibraryConvertDialog::Browse(bool destination) {
  QLineEdit* edit = destination ? dest_ : source_;
  // The filter of the file the direction expects there comes first.
  const bool text = destination == toText_->isChecked();
  QString filter = Filters()[text ? 0 : 1];
  const QString path =
      destination
          ? QFileDialog::getSaveFileName(this, QStringLiteral("ファイルの指定"), edit->text(),
                                         Filters().join(QStringLiteral(";;")), &filter,
                                         QFileDialog::DontConfirmOverwrite)
          : QFileDialog::getOpenFileName(this, QStringLiteral("ファイルの指定"), edit->text(),
                                         Filters().join(QStringLiteral(";;")), &filter);
  if (path.isEmpty()) return;
  if (destination)
    ChooseDestination(path, static_cast<int>(Filters().indexOf(filter)));
  else
    edit->setText(path);
}

bool LibraryConvertDialog::Convert() {
  const LibraryConvertJob job = Job();
  auto ask = [this](std::string_view question) {
    const QString q = QString::fromUtf8(question.data(), static_cast<qsizetype>(question.size()));
    if (hooks_.ask) return hooks_.ask(q);
    return QMessageBox::question(this, windowTitle(), q, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
  };
  auto warn = [this](const QString& message) {
    if (hooks_.warn)
      hooks_.warn(message);
    else
      QMessageBox::warning(this, windowTitle(), message);
  };
  // The library's own messages come back in the result and are told once.
  const LibraryConvertResult r = RunLibraryConvert(job, ask, {ask, {}});
  if (r.status == LibraryConvertResult::kCancelled) return false;
  if (!r.ok()) {
    warn(QString::fromStdString(r.message));
    return false;
  }
  if (!job.Store(AppSettings())) warn(QStringLiteral("設定を保存できません"));
  const QString done = QString::fromUtf8(kConvertDone.data(), kConvertDone.size());
  if (hooks_.inform)
    hooks_.inform(done);
  else
    QMessageBox::information(this, windowTitle(), done);
  return true;
}

void LibraryConvertDialog::accept() {
  if (Convert()) QDialog::accept();
}

void LibraryConvertDialog::Run(QWidget* parent) {
  LibraryConvertDialog dialog(LibraryConvertJob::FromSettings(AppSettings()), parent);
  dialog.exec();
}

}  // namespace tavro::gui
