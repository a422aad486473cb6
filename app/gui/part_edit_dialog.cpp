#include "app/gui/part_edit_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <set>

#include "app/gui/continuous_edit.h"
#include "app/gui/copy_increment.h"
#include "app/gui/dialog_parts.h"
#include "app/gui/part_attr_dialog.h"
#include "app/gui/part_units.h"
#include "app/gui/pin_edit_dialog.h"

namespace tavro::gui {

namespace {

// Unit numbers and counts a part may carry.
constexpr int kMaxUnits = 999;

}  // namespace

PartEditDialog::PartEditDialog(const CPart& part, QWidget* parent)
    : QDialog(parent), part_(part), initial_(ReadPartFields(part)) {
  setWindowTitle(QStringLiteral("部品編集"));
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  name_ = new QLineEdit(FromCp932(part.GetPartName()), this);
  value_ = new QLineEdit(FromCp932(part.GetValName()), this);
  ref_ = new QLineEdit(FromCp932(part.GetRefName()), this);
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
  pins_->setSelectionMode(QAbstractItemView::SingleSelection);
  pins_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  pins_->setMinimumHeight(140);
  connect(pins_, &QTreeWidget::itemDoubleClicked, this,
          [this](QTreeWidgetItem* item) { EditPin(pins_->indexOfTopLevelItem(item)); });
  FillPins(0);
  layout->addWidget(new QLabel(QStringLiteral("ピン:"), this));
  auto* pinRow = new QHBoxLayout;
  pinRow->addWidget(pins_, 1);
  auto* buttons = new QVBoxLayout;
  auto* editPin = new QPushButton(QStringLiteral("ピン編集(&P)..."), this);
  auto* editAttrs = new QPushButton(QStringLiteral("属性編集(&A)..."), this);
  editPin->setEnabled(!part.Pins().empty());
  buttons->addWidget(editPin);
  buttons->addWidget(editAttrs);
  buttons->addStretch();
  pinRow->addLayout(buttons);
  layout->addLayout(pinRow, 1);
  connect(editPin, &QPushButton::clicked, this,
          [this] { EditPin(pins_->indexOfTopLevelItem(pins_->currentItem())); });
  connect(editAttrs, &QPushButton::clicked, this, [this] { EditAttributes(); });
  layout->addWidget(OkCancelButtons(this));
}

void PartEditDialog::FillPins(int current) {
  pins_->clear();
  for (const uint32_t i : PinEditingOrder(part_.Pins())) {
    const CPin& p = *part_.Pins()[i];
    const char* type = p.GetEleName();
    auto* item = new QTreeWidgetItem(
        pins_, {FromCp932(p.GetNo()), FromCp932(p.GetName()),
                type != nullptr ? QString::fromUtf8(type) : QString::number(p.GetEleType())});
    item->setData(0, Qt::UserRole, i);
  }
  if (QTreeWidgetItem* item = pins_->topLevelItem(current)) pins_->setCurrentItem(item);
}

bool PartEditDialog::EditPin(int row) {
  if (row < 0 || row >= pins_->topLevelItemCount()) return false;
  const CopyIncrement inc = CopyIncrement::FromSettings();
  const std::vector<uint32_t> order = PinEditingOrder(part_.Pins());
  uint32_t pin = pins_->topLevelItem(row)->data(0, Qt::UserRole).toUInt();
  PinFields shown = ReadPinFields(*part_.Pins()[pin]);
  std::set<uint32_t> done;
  bool continuous = false;
  bool changed = false;
  for (;;) {
    pins_->setCurrentItem(pins_->topLevelItem(
        static_cast<int>(std::find(order.begin(), order.end(), pin) - order.begin())));
    PinEditDialog dialog(shown, continuous, this);
    if (!RunDialog(runner_, dialog)) break;
    const PinFields f = dialog.Fields();
    CPin& target = *part_.Pins()[pin];
    if (!(f == ReadPinFields(target))) {
      ApplyPinFields(target, f);
      changed = true;
    }
    done.insert(pin);
    continuous = dialog.Continuous();
    if (!continuous) break;
    const std::optional<uint32_t> next = NextInOrder(order, pin, inc.pinRing);
    if (!next || (!inc.pinReEdit && done.count(*next) != 0)) break;
    pin = *next;
    shown = NextPinFields(f, *part_.Pins()[pin], inc);
  }
  if (changed) part_.CalcBoundRect(true);
  FillPins(pins_->indexOfTopLevelItem(pins_->currentItem()));
  return changed;
}

bool PartEditDialog::EditAttributes() {
  PartAttrDialog dialog(part_, sheetPath_, this);
  if (!RunDialog(runner_, dialog)) return false;
  part_ = dialog.Result();
  return true;
}

QString PartEditDialog::Problem() const {
  if (QString why = EditedProblem(name_->text(), initial_.name); !why.isEmpty()) return why;
  if (QString why = EditedProblem(value_->text(), initial_.value); !why.isEmpty()) return why;
  return EditedProblem(ref_->text(), initial_.ref);
}

PartFields PartEditDialog::Fields() const {
  PartFields f = initial_;
  f.name = EditedCp932(name_->text(), initial_.name);
  f.value = EditedCp932(value_->text(), initial_.value);
  f.ref = EditedCp932(ref_->text(), initial_.ref);
  // A count beyond what the boxes offer is kept while its box is not touched.
  const auto kept = [](unsigned was, int now) {
    return now == static_cast<int>(std::min<unsigned>(was, kMaxUnits)) ? was
                                                                       : static_cast<unsigned>(now);
  };
  f.unit = kept(initial_.unit, unit_->value());
  f.units = kept(initial_.units, units_->value());
  f.inverted = inverted_->isChecked();
  return f;
}

CPart PartEditDialog::Result() const {
  CPart p = part_;
  ApplyPartFields(p, Fields());
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
