#include "app/gui/project_dialog.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <set>

#include "app/gui/dialog_parts.h"
#include "core/platform/codec.h"
#include "core/platform/dbcs.h"

namespace tavro::gui {

namespace {

QString Q(const std::string& utf8) { return QString::fromStdString(utf8); }
QString FromCp(const std::string& cp932) { return Q(Cp932ToUtf8(cp932)); }

// The row of the property list a table row was read from (-1: added).
constexpr int kOriginRole = Qt::UserRole;

// What the properties the program keeps in a project stand for.
QString KnownProperty(const QString& name) {
  static const std::pair<const char*, const char*> kKnown[] = {
      {"SHEETNO", "図面番号 (部品表)"},     {"SETNAME", "製品名 (部品表)"},
      {"PCBMAKE", "製作台数 (部品表)"},     {"PDFTITLE", "PDFのタイトル"},
      {"PDFSUBTITLE", "PDFのサブタイトル"},
  };
  for (const auto& [key, meaning] : kKnown)
    if (name.compare(QLatin1String(key), Qt::CaseInsensitive) == 0)
      return QString::fromUtf8(meaning);
  return {};
}

}  // namespace

ProjectDialog::ProjectDialog(const std::string& projectPath, QWidget* parent)
    : QDialog(parent), path_(projectPath) {
  setWindowTitle(QStringLiteral("プロジェクトのプロパティ"));
  auto* layout = new QVBoxLayout(this);
  auto* where = new QLabel(QStringLiteral("プロジェクトファイル: %1").arg(Q(path_)), this);
  where->setTextInteractionFlags(Qt::TextSelectableByMouse);
  layout->addWidget(where);

  auto* filesBox = new QGroupBox(QStringLiteral("図面ファイル(&F)"), this);
  auto* filesLayout = new QVBoxLayout(filesBox);
  files_ = new QListWidget(filesBox);
  files_->setObjectName(QStringLiteral("files"));
  filesLayout->addWidget(files_);
  auto* filesNote = new QLabel(
      QStringLiteral("チェックした図面がプロジェクトを開くときに開かれます。"), filesBox);
  filesLayout->addWidget(filesNote);
  layout->addWidget(filesBox, 1);

  auto* propBox = new QGroupBox(QStringLiteral("プロパティ(&P)"), this);
  auto* propLayout = new QHBoxLayout(propBox);
  properties_ = new QTableWidget(0, 2, propBox);
  properties_->setObjectName(QStringLiteral("properties"));
  properties_->setHorizontalHeaderLabels({QStringLiteral("名前"), QStringLiteral("値")});
  properties_->horizontalHeader()->setStretchLastSection(true);
  properties_->verticalHeader()->setVisible(false);
  properties_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 10);
  properties_->setSelectionBehavior(QAbstractItemView::SelectRows);
  properties_->setColumnWidth(0, 160);
  propLayout->addWidget(properties_, 1);
  auto* propButtons = new QVBoxLayout;
  auto* add = new QPushButton(QStringLiteral("追加(&A)"), propBox);
  auto* remove = new QPushButton(QStringLiteral("削除(&D)"), propBox);
  add->setObjectName(QStringLiteral("add"));
  remove->setObjectName(QStringLiteral("remove"));
  propButtons->addWidget(add);
  propButtons->addWidget(remove);
  propButtons->addStretch(1);
  propLayout->addLayout(propButtons);
  layout->addWidget(propBox, 1);
  connect(add, &QPushButton::clicked, this, [this] {
    const int row = AddProperty();
    properties_->setCurrentCell(row, 0);
    properties_->editItem(properties_->item(row, 0));
  });
  connect(remove, &QPushButton::clicked, this, &ProjectDialog::RemoveSelected);
  connect(properties_, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
    if (item->column() == 0) item->setToolTip(KnownProperty(item->text().trimmed()));
  });

  status_ = new QLabel(this);
  status_->setObjectName(QStringLiteral("problem"));
  status_->setWordWrap(true);
  status_->setStyleSheet(QStringLiteral("color: #b00000;"));
  layout->addWidget(status_);

  layout->addWidget(OkCancelButtons(this));

  Load();
  resize(620, 520);
}

bool ProjectDialog::Run(QWidget* parent, const std::string& projectPath) {
  ProjectDialog dialog(projectPath, parent);
  if (!dialog.LoadError().isEmpty()) {
    QMessageBox::warning(parent, dialog.windowTitle(), dialog.LoadError());
    return false;
  }
  return dialog.exec() == QDialog::Accepted;
}

void ProjectDialog::Load() {
  files_->clear();
  properties_->setRowCount(0);
  entries_.clear();
  original_.clear();
  auto entries = ProjectFile::ReadEntries(path_);
  if (!entries) {
    loadError_ = QStringLiteral("ファイル %1 を開けません (プロジェクトファイルではありません)")
                     .arg(Q(path_));
    setEnabled(false);
    return;
  }
  entries_ = std::move(*entries);
  const QDir folder = QFileInfo(Q(path_)).absoluteDir();
  for (const ProjectEntry& e : entries_) {
    const QString path = Q(e.path);
    const QString rel = folder.relativeFilePath(path);
    auto* item = new QListWidgetItem(rel.startsWith(QLatin1String("..")) ? path : rel, files_);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    item->setCheckState(e.checked ? Qt::Checked : Qt::Unchecked);
    if (QFileInfo::exists(path)) {
      item->setToolTip(path);
    } else {
      item->setForeground(palette().brush(QPalette::Disabled, QPalette::Text));
      item->setToolTip(QStringLiteral("%1 (ファイルがありません)").arg(path));
    }
  }
  original_ = ProjectFile::GetProperties(path_);
  for (size_t i = 0; i < original_.size(); ++i) {
    const int row = AddProperty(FromCp(original_[i].first), FromCp(original_[i].second));
    properties_->item(row, 0)->setData(kOriginRole, static_cast<int>(i));
  }
}

int ProjectDialog::AddProperty(const QString& name, const QString& value) {
  const int row = properties_->rowCount();
  properties_->insertRow(row);
  auto* nameItem = new QTableWidgetItem(name);
  nameItem->setData(kOriginRole, -1);
  properties_->setItem(row, 0, nameItem);
  properties_->setItem(row, 1, new QTableWidgetItem(value));
  return row;
}

void ProjectDialog::RemoveProperty(int row) {
  if (row >= 0 && row < properties_->rowCount()) properties_->removeRow(row);
}

void ProjectDialog::RemoveSelected() {
  std::set<int, std::greater<>> rows;
  for (const QModelIndex& i : properties_->selectionModel()->selectedRows()) rows.insert(i.row());
  if (rows.empty() && properties_->currentRow() >= 0) rows.insert(properties_->currentRow());
  for (int row : rows) RemoveProperty(row);
}

bool ProjectDialog::Apply() {
  problem_.clear();
  auto refuse = [this](int row, const QString& why) {
    problem_ = QStringLiteral("%1 行目: %2").arg(row + 1).arg(why);
    properties_->setCurrentCell(row, 0);
    ShowProblem(problem_);
    return false;
  };

  // The properties as the table shows them; a row left blank is no property.
  std::vector<std::pair<std::string, std::string>> rows;
  std::vector<int> rowNumbers;  // of the table
  for (int r = 0; r < properties_->rowCount(); ++r) {
    const QTableWidgetItem* nameItem = properties_->item(r, 0);
    const QTableWidgetItem* valueItem = properties_->item(r, 1);
    const QString name = nameItem ? nameItem->text().trimmed() : QString();
    const QString value = valueItem ? valueItem->text().trimmed() : QString();
    if (name.isEmpty() && value.isEmpty()) continue;
    const int origin = nameItem ? nameItem->data(kOriginRole).toInt() : -1;
    std::pair<std::string, std::string> prop;
    if (origin >= 0 && static_cast<size_t>(origin) < original_.size() &&
        name == FromCp(original_[static_cast<size_t>(origin)].first) &&
        value == FromCp(original_[static_cast<size_t>(origin)].second)) {
      // Untouched: the bytes as read, whatever the code page made of them.
      prop = original_[static_cast<size_t>(origin)];
    } else {
      size_t lost = 0;
      prop.first = Utf8ToCp932(name.toStdString(), &lost);
      prop.second = Utf8ToCp932(value.toStdString(), &lost);
      if (lost > 0) return refuse(r, QStringLiteral("シフトJISで表せない文字があります"));
      if (auto bad = ProjectFile::CheckProperty(prop.first, prop.second)) return refuse(r, Q(*bad));
    }
    rows.push_back(std::move(prop));
    rowNumbers.push_back(r);
  }

  // What changed, name by name (letter case aside): a name no row has any
  // more goes; a name whose rows are not the lines read is set. A name given
  // twice is refused, unless the file had it so and it is left alone.
  using Props = std::vector<std::pair<std::string, std::string>>;
  auto named = [](const Props& list, const std::string& name) {
    Props out;
    for (const auto& p : list)
      if (EqualNoCase(p.first, name)) out.push_back(p);
    return out;
  };
  std::vector<std::string> removed;
  Props set;
  std::vector<std::string> done;
  auto handled = [&done](const std::string& name) {
    if (std::any_of(done.begin(), done.end(),
                    [&name](const std::string& d) { return EqualNoCase(d, name); }))
      return true;
    done.push_back(name);
    return false;
  };
  for (size_t i = 0; i < rows.size(); ++i) {
    if (handled(rows[i].first)) continue;
    const Props now = named(rows, rows[i].first);
    const Props read = named(original_, rows[i].first);
    if (now == read) continue;
    if (now.size() > 1) {
      const size_t second = static_cast<size_t>(
          std::find_if(rows.begin() + static_cast<std::ptrdiff_t>(i) + 1, rows.end(),
                       [&](const auto& p) { return EqualNoCase(p.first, rows[i].first); }) -
          rows.begin());
      return refuse(
          rowNumbers[second],
          QStringLiteral("プロパティ名「%1」が重複しています").arg(FromCp(rows[second].first)));
    }
    if (read.size() > 1) removed.push_back(rows[i].first);
    set.push_back(rows[i]);
  }
  for (const auto& [name, value] : original_)
    if (!handled(name)) removed.push_back(name);

  std::vector<ProjectEntry> entries = entries_;
  bool checksChanged = false;
  for (size_t i = 0; i < entries.size() && static_cast<int>(i) < files_->count(); ++i) {
    const bool checked = files_->item(static_cast<int>(i))->checkState() == Qt::Checked;
    checksChanged |= checked != entries[i].checked;
    entries[i].checked = checked;
  }

  std::string error;
  auto cannotWrite = [this, &error] {
    problem_ = QStringLiteral("ファイル %1 を作成できません (%2)").arg(Q(path_), Q(error));
    ShowProblem(problem_);
    return false;
  };
  if (checksChanged) {
    if (!ProjectFile::WriteFileList(path_, entries, &error)) return cannotWrite();
    entries_ = entries;
  }
  if (!removed.empty() || !set.empty()) {
    if (!ProjectFile::UpdateProperties(path_, removed, set, &error)) return cannotWrite();
  }
  ShowProblem({});
  Load();
  return true;
}

void ProjectDialog::accept() {
  if (!Apply()) {
    QMessageBox::warning(this, windowTitle(), problem_);
    return;
  }
  QDialog::accept();
}

void ProjectDialog::ShowProblem(const QString& text) { status_->setText(text); }

}  // namespace tavro::gui
