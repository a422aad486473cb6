#include "app/gui/library_list_dialog.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/gui/dialog_parts.h"
#include "core/platform/dbcs.h"
#include "library/library.h"

namespace tavro::gui {

LibraryListDialog::LibraryListDialog(const std::vector<std::string>& list, QWidget* parent)
    : QDialog(parent) {
  setWindowTitle(QStringLiteral("部品ファイルの設定"));
  auto* layout = new QVBoxLayout(this);
  auto* row = new QHBoxLayout;
  list_ = new QListWidget(this);
  list_->setMinimumWidth(420);
  for (const std::string& p : list) list_->addItem(QString::fromStdString(p));
  row->addWidget(list_, 1);
  auto* buttons = new QVBoxLayout;
  auto* add = new QPushButton(QStringLiteral("追加(&A)..."), this);
  remove_ = new QPushButton(QStringLiteral("削除(&D)"), this);
  up_ = new QPushButton(QStringLiteral("上へ(&U)"), this);
  down_ = new QPushButton(QStringLiteral("下へ(&W)"), this);
  for (QPushButton* b : {add, remove_, up_, down_}) {
    b->setAutoDefault(false);
    buttons->addWidget(b);
  }
  buttons->addStretch();
  row->addLayout(buttons);
  layout->addLayout(row, 1);
  layout->addWidget(OkCancelButtons(this));
  connect(add, &QPushButton::clicked, this, &LibraryListDialog::ChooseFiles);
  connect(remove_, &QPushButton::clicked, this, &LibraryListDialog::RemoveCurrent);
  connect(up_, &QPushButton::clicked, this, [this] { MoveCurrent(-1); });
  connect(down_, &QPushButton::clicked, this, [this] { MoveCurrent(1); });
  connect(list_, &QListWidget::currentRowChanged, this, [this] { UpdateButtons(); });
  if (list_->count() > 0) list_->setCurrentRow(0);
  UpdateButtons();
}

std::vector<std::string> LibraryListDialog::List() const {
  std::vector<std::string> out;
  for (int i = 0; i < list_->count(); ++i) out.push_back(list_->item(i)->text().toStdString());
  return out;
}

void LibraryListDialog::AddPaths(const QStringList& paths) {
  for (const QString& p : paths) {
    if (p.isEmpty() || !list_->findItems(p, Qt::MatchExactly).isEmpty()) continue;
    list_->addItem(p);
    list_->setCurrentRow(list_->count() - 1);
  }
  UpdateButtons();
}

void LibraryListDialog::ChooseFiles() {
  QFileDialog chooser(this, QStringLiteral("部品ファイルの追加"));
  chooser.setNameFilters(
      {QStringLiteral("部品ファイル (*.lib)"), QStringLiteral("すべてのファイル (*)")});
  // A new name makes a new library, created when it is first opened.
  chooser.setFileMode(QFileDialog::AnyFile);
  chooser.setAcceptMode(QFileDialog::AcceptOpen);
  chooser.setDefaultSuffix(QStringLiteral("lib"));
  if (chooser.exec() != QDialog::Accepted) return;
  QStringList paths;
  for (const QString& f : chooser.selectedFiles()) paths << QFileInfo(f).absoluteFilePath();
  AddPaths(paths);
}

void LibraryListDialog::RemoveCurrent() {
  const int row = list_->currentRow();
  if (row < 0) return;
  delete list_->takeItem(row);
  UpdateButtons();
}

void LibraryListDialog::MoveCurrent(int by) {
  const int row = list_->currentRow();
  const int to = row + by;
  if (row < 0 || to < 0 || to >= list_->count()) return;
  QListWidgetItem* item = list_->takeItem(row);
  list_->insertItem(to, item);
  list_->setCurrentRow(to);
  UpdateButtons();
}

void LibraryListDialog::UpdateButtons() {
  const int row = list_->currentRow();
  remove_->setEnabled(row >= 0);
  up_->setEnabled(row > 0);
  down_->setEnabled(row >= 0 && row + 1 < list_->count());
}

bool LibraryListDialog::Run(QWidget* parent) {
  CLibrary lib;
  LibraryListDialog dialog(lib.ReadLibraryList(), parent);
  if (dialog.exec() != QDialog::Accepted) return false;
  lib.SetLibraryList(dialog.List());
  if (!lib.WriteLibraryList()) {
    QMessageBox::warning(parent, dialog.windowTitle(), QStringLiteral("設定を保存できません"));
    return false;
  }
  return true;
}

bool LibraryListsDiffer(const std::vector<std::string>& a, const std::vector<std::string>& b) {
  if (a.size() != b.size()) return true;
  for (size_t i = 0; i < a.size(); ++i)
    if (!EqualNoCase(a[i], b[i])) return true;
  return false;
}

}  // namespace tavro::gui
