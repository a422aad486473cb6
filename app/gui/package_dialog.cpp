#include "app/gui/package_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/gui/dialog_parts.h"
#include "app/gui/library_browser.h"
#include "app/gui/view_mode_adapter.h"
#include "core/platform/codec.h"
#include "core/platform/dbcs.h"
#include "core/platform/settings.h"
#include "library/library.h"

namespace tavro::gui {

namespace {

constexpr const char* kRecent = "Recent Part List";
constexpr int kRecentCount = 10;

std::string RecentKey(int n) { return "Part" + std::to_string(n); }

}  // namespace

PackageDialog::PackageDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("部品入力"));
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  name_ = new QComboBox(this);
  name_->setObjectName(QStringLiteral("package"));
  name_->setEditable(true);
  name_->setInsertPolicy(QComboBox::NoInsert);
  name_->setMinimumWidth(240);
  const Settings& s = AppSettings();
  for (int n = 1; n <= kRecentCount; ++n) {
    const std::string v = s.GetString(kRecent, RecentKey(n), "");
    if (!v.empty()) name_->addItem(QString::fromStdString(Cp932ToUtf8(v)));
  }
  name_->setCurrentIndex(name_->count() > 0 ? 0 : -1);
  form->addRow(QStringLiteral("部品名(&N):"), name_);
  aliases_ = new QLabel(this);
  aliases_->setObjectName(QStringLiteral("aliases"));
  form->addRow(QStringLiteral("同等品:"), aliases_);
  layout->addLayout(form);
  auto* row = new QHBoxLayout;
  auto* browse = new QPushButton(QStringLiteral("部品一覧(&L)..."), this);
  row->addWidget(browse);
  row->addStretch(1);
  row->addWidget(OkCancelButtons(this));
  layout->addLayout(row);
  connect(browse, &QPushButton::clicked, this, &PackageDialog::Browse);
  connect(name_, &QComboBox::currentTextChanged, this, &PackageDialog::ShowAliases);
  ShowAliases();
}

void PackageDialog::ShowAliases() {
  CLibrary lib;
  lib.SetPackageName(Utf8ToCp932(name_->currentText().trimmed().toStdString()));
  std::string line;
  aliases_->setText(lib.SetPartNameList(line) ? QString::fromStdString(Cp932ToUtf8(line))
                                              : QString());
}

void PackageDialog::Remember(const std::string& name) {
  Settings& s = AppSettings();
  std::vector<std::string> names{name};
  for (int n = 1; n <= kRecentCount; ++n) {
    const std::string v = s.GetString(kRecent, RecentKey(n), "");
    if (!v.empty() && !EqualNoCase(v, name)) names.push_back(v);
  }
  for (int n = 1; n <= kRecentCount && n <= static_cast<int>(names.size()); ++n)
    s.WriteString(kRecent, RecentKey(n), names[n - 1]);
}

void PackageDialog::accept() {
  const std::string name = Utf8ToCp932(name_->currentText().trimmed().toStdString());
  if (name.empty()) {
    QMessageBox::warning(this, windowTitle(), QStringLiteral("部品名を入力してください"));
    return;
  }
  choice_ = FindListedPackage(name);
  if (!choice_) {
    QMessageBox::warning(this, windowTitle(),
                         QStringLiteral("部品ファイルに部品 %1 がありません")
                             .arg(QString::fromStdString(Cp932ToUtf8(name))));
    return;
  }
  Remember(name);
  QDialog::accept();
}

void PackageDialog::Browse() {
  LibraryBrowser browser(LibraryBrowser::Use::kPick, this);
  if (browser.exec() != QDialog::Accepted || !browser.GetPart()) return;
  const PickedPart& picked = *browser.GetPart();
  // The whole package, so that N steps through its units; the picked gate
  // first.
  std::optional<PackageChoice> found = FindListedPackage(picked.package);
  PackageChoice c;
  c.name = picked.package;
  c.gates.NewPart(picked.part);
  if (found) {
    for (const auto& g : found->gates.Parts())
      if (!(g->GetPackage() == picked.part.GetPackage() &&
            g->GetRefName() == picked.part.GetRefName()))
        c.gates.NewPart(*g);
  }
  choice_ = std::move(c);
  Remember(picked.package);
  QDialog::accept();
}

std::optional<PackageChoice> PackageDialog::Ask(QWidget* parent) {
  PackageDialog dialog(parent);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.Choice();
}

}  // namespace tavro::gui
