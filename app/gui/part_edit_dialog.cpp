#include "app/gui/part_edit_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QSpinBox>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "app/gui/dialog_parts.h"
#include "app/gui/part_units.h"
#include "core/platform/codec.h"

namespace tavro::gui {

namespace {

QString Q(const std::string& cp932) { return QString::fromStdString(Cp932ToUtf8(cp932)); }
std::string C(const QString& s) { return Utf8ToCp932(s.toStdString()); }

// True when the code page of the files holds every character of `s`.
bool FitsCodePage(const QString& s) { return Cp932ToUtf8(C(s)) == s.toStdString(); }

// Unit numbers and counts a part may carry.
constexpr int kMaxUnits = 999;

}  // namespace

PartEditDialog::PartEditDialog(const CPart& part, QWidget* parent) : QDialog(parent), part_(part) {
  setWindowTitle(QStringLiteral("部品編集"));
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  name_ = new QLineEdit(Q(part.GetPartName()), this);
  value_ = new QLineEdit(Q(part.GetValName()), this);
  ref_ = new QLineEdit(Q(part.GetRefName()), this);
  name_->setMinimumWidth(220);
  form->addRow(QStringLiteral("部品名(&N):"), name_);
  form->addRow(QStringLiteral("値(&V):"), value_);
  form->addRow(QStringLiteral("参照番号(&R):"), ref_);

  auto* units = new QHBoxLayout;
  unit_ = new QSpinBox(this);
  units_ = new QSpinBox(this);
  unit_->setRange(0, kMaxUnits);
  units_->setRange(0, kMaxUnits);
  unit_->setValue(static_cast<int>(std::min<unsigned>(part.GetPackage(), kMaxUnits)));
  units_->setValue(static_cast<int>(std::min<unsigned>(part.GetPackageMax(), kMaxUnits)));
  units->addWidget(unit_);
  units->addWidget(new QLabel(QStringLiteral("/"), this));
  units->addWidget(units_);
  units->addStretch();
  auto* unitsLabel = new QLabel(QStringLiteral("素子(&U):"), this);
  unitsLabel->setBuddy(unit_);
  form->addRow(unitsLabel, units);
  inverted_ = CheckBox(this, "論理反転(&I)", "inverted", (part.GetAttr() & kPartInverted) != 0);
  form->addRow(inverted_);
  layout->addLayout(form);

  pins_ = new QTreeWidget(this);
  pins_->setRootIsDecorated(false);
  pins_->setHeaderLabels({QStringLiteral("番号"), QStringLiteral("名称"), QStringLiteral("電気")});
  pins_->setSelectionMode(QAbstractItemView::NoSelection);
  for (const auto& p : part.Pins()) {
    const char* type = p->GetEleName();
    new QTreeWidgetItem(
        pins_, {Q(p->GetNo()), Q(p->GetName()),
                type != nullptr ? QString::fromUtf8(type) : QString::number(p->GetEleType())});
  }
  pins_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  pins_->setMinimumHeight(140);
  layout->addWidget(new QLabel(QStringLiteral("ピン:"), this));
  layout->addWidget(pins_, 1);
  layout->addWidget(OkCancelButtons(this));
}

QString PartEditDialog::Problem() const {
  for (const QLineEdit* e : {name_, value_, ref_})
    if (!FitsCodePage(e->text()))
      return QStringLiteral("「%1」には使えない文字があります").arg(e->text());
  return {};
}

CPart PartEditDialog::Result() const {
  CPart p = part_;
  p.PartNameText().SetName(C(name_->text()));
  p.ValNameText().SetName(C(value_->text()));
  p.RefNameText().SetName(C(ref_->text()));
  p.SetPackage(static_cast<unsigned>(unit_->value()));
  p.SetPackageMax(static_cast<unsigned>(units_->value()));
  p.ModifyAttr(kPartInverted, inverted_->isChecked() ? kPartInverted : 0);
  p.CalcBoundRect(true);
  return p;
}

void PartEditDialog::accept() {
  if (const QString why = Problem(); !why.isEmpty()) {
    QMessageBox::warning(this, windowTitle(), why);
    return;
  }
  QDialog::accept();
}

}  // namespace tavro::gui
