#include "app/gui/register_parts_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QMessageBox>

#include "app/gui/dialog_parts.h"
#include "core/platform/codec.h"
#include "core/platform/dbcs.h"
#include "core/platform/settings.h"

namespace tavro::gui {

namespace {

constexpr const char* kSection = "Library File List";

QString Q(const std::string& cp932) { return QString::fromStdString(Cp932ToUtf8(cp932)); }
std::string C(const QString& s) { return Utf8ToCp932(s.toStdString()); }

}  // namespace

PackageRequest PackageRequest::FromSettings(const std::string& partName) {
  const Settings& s = AppSettings();
  return {partName, Cp932ToUtf8(s.GetString(kSection, "AddPart")), s.GetString(kSection, "Except")};
}

bool PackageRequest::Store() const {
  Settings& s = AppSettings();
  bool ok = s.WriteString(kSection, "AddPart", Utf8ToCp932(library));
  return s.WriteString(kSection, "Except", except) && ok;
}

RegisterPartsDialog::RegisterPartsDialog(const PackageRequest& request,
                                         const std::vector<std::string>& libraries, QWidget* parent)
    : QDialog(parent) {
  setWindowTitle(QStringLiteral("パッケージ登録"));
  auto* form = new QFormLayout(this);
  name_ = new QLineEdit(Q(request.package), this);
  library_ = new QComboBox(this);
  library_->setEditable(true);
  library_->setInsertPolicy(QComboBox::NoInsert);
  library_->setMinimumContentsLength(36);
  library_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  int current = 0;
  for (size_t i = 0; i < libraries.size(); ++i) {
    library_->addItem(QString::fromStdString(libraries[i]));
    if (EqualNoCase(libraries[i], request.library)) current = static_cast<int>(i);
  }
  if (!libraries.empty())
    library_->setCurrentIndex(current);
  else
    library_->setEditText(QString::fromStdString(request.library));
  except_ = new QLineEdit(Q(request.except), this);
  form->addRow(QStringLiteral("パッケージ名(&N):"), name_);
  form->addRow(QStringLiteral("部品ファイル(&F):"), library_);
  form->addRow(QStringLiteral("除外する属性(&E):"), except_);
  form->addRow(OkCancelButtons(this));
}

PackageRequest RegisterPartsDialog::Request() const {
  return {C(name_->text().trimmed()), library_->currentText().trimmed().toStdString(),
          C(except_->text())};
}

void RegisterPartsDialog::accept() {
  QString why;
  if (name_->text().trimmed().isEmpty())
    why = QStringLiteral("パッケージ名を入力して下さい。");
  else if (library_->currentText().trimmed().isEmpty())
    why = QStringLiteral("部品ファイルを指定して下さい。");
  else if (Q(C(name_->text().trimmed())) != name_->text().trimmed())
    why = QStringLiteral("パッケージ名に使えない文字があります");
  if (!why.isEmpty()) {
    QMessageBox::warning(this, windowTitle(), why);
    return;
  }
  QDialog::accept();
}

}  // namespace tavro::gui
