#include "app/gui/bom_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QSpinBox>
#include <QVBoxLayout>

#include "app/covered_sheets.h"
#include "app/gui/dialog_parts.h"
#include "core/platform/codec.h"
#include "core/platform/settings.h"

namespace tavro::gui {

namespace {

QString FromCp(const std::string& cp932) { return QString::fromStdString(Cp932ToUtf8(cp932)); }
std::string Cp(const QString& s) { return Utf8ToCp932(s.toStdString()); }

}  // namespace

BomDialog::BomDialog(std::string projectPath, QWidget* parent)
    : QDialog(parent), projectPath_(std::move(projectPath)) {
  setWindowTitle(QStringLiteral("部品表作成"));
  const BomOptions o = BomOptions::FromSettings(AppSettings());
  // A stored count that is not a number from 1 to 32767 shows as 1.
  const BomHeader h = projectPath_.empty() ? BomHeader{} : ReadBomHeader(projectPath_);

  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  auto line = [this](const std::string& cp932, const char* name) {
    auto* e = new QLineEdit(FromCp(cp932), this);
    e->setObjectName(QString::fromUtf8(name));
    e->setMinimumWidth(280);
    return e;
  };
  sheetNo_ = line(h.sheetNo, "sheetNo");
  setName_ = line(h.setName, "setName");
  pcbMake_ = new QSpinBox(this);
  pcbMake_->setObjectName(QStringLiteral("pcbMake"));
  pcbMake_->setRange(1, kMaxPcbMake);
  pcbMake_->setValue(h.pcbMake > 0 ? h.pcbMake : 1);
  properties_ = line(o.listProperty, "properties");
  properties_->setToolTip(
      QStringLiteral("プロパティ名をカンマで区切って指定します（例: MAKER,PARTNO）"));
  form->addRow(QStringLiteral("図面番号(&N):"), sheetNo_);
  form->addRow(QStringLiteral("製品名(&S):"), setName_);
  form->addRow(QStringLiteral("製作台数(&M):"), pcbMake_);
  form->addRow(QStringLiteral("プロパティリスト(&P):"), properties_);
  layout->addLayout(form);
  partCount_ = CheckBox(this, "個数を出力(&C)", "partCount", o.partCount);
  forceNoPartList_ = CheckBox(this, "NOPARTLISTを強制出力(&F)", "forceNoPartList", false);
  layout->addWidget(partCount_);
  layout->addWidget(forceNoPartList_);
  if (projectPath_.empty()) {
    auto* note = new QLabel(
        QStringLiteral(
            "プロジェクトが設定されていないため、図面番号・製品名・製作台数は保存されません"),
        this);
    note->setWordWrap(true);
    layout->addWidget(note);
  }
  layout->addWidget(OkCancelButtons(this));
}

BomHeader BomDialog::Header() const {
  BomHeader h;
  h.sheetNo = Cp(sheetNo_->text().trimmed());
  h.setName = Cp(setName_->text().trimmed());
  h.pcbMake = pcbMake_->value();
  return h;
}

BomOptions BomDialog::Options() const {
  BomOptions o = BomOptions::FromSettings(AppSettings());
  const BomHeader h = Header();
  o.sheetNo = h.sheetNo;
  o.setName = h.setName;
  o.pcbMake = h.pcbMake;
  o.storeHeader = false;  // stored when the dialog is confirmed
  o.partCount = partCount_->isChecked();
  o.forceNoPartList = forceNoPartList_->isChecked();
  o.listProperty = Cp(properties_->text());
  return o;
}

QString BomDialog::Problem() const {
  if (auto bad = CheckBomHeader(Header())) return QString::fromStdString(*bad);
  return {};
}

void BomDialog::StoreSettings() const { Options().Store(AppSettings()); }

bool BomDialog::StoreProject() const {
  if (projectPath_.empty()) return true;
  std::string why;
  if (StoreBomHeader(projectPath_, Header(), &why)) return true;
  Warn(QString::fromStdString(FileMessage(kMsgCannotCreate, projectPath_, why)));
  return false;
}

void BomDialog::Warn(const QString& message) const {
  if (warn_)
    warn_(message);
  else
    QMessageBox::warning(const_cast<BomDialog*>(this), windowTitle(), message);
}

void BomDialog::accept() {
  const QString problem = Problem();
  if (!problem.isEmpty()) {
    Warn(problem);
    return;
  }
  StoreSettings();
  // A project that cannot be written keeps its values; the list is still made.
  StoreProject();
  QDialog::accept();
}

}  // namespace tavro::gui
