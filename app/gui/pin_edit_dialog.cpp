#include "app/gui/pin_edit_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

#include "app/gui/attribute_dialog_parts.h"
#include "app/gui/dialog_parts.h"

namespace tavro::gui {

PinEditDialog::PinEditDialog(const PinFields& fields, bool continuous, QWidget* parent)
    : QDialog(parent), initial_(fields) {
  setWindowTitle(QStringLiteral("ピン編集"));
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  number_ = new QLineEdit(FromCp932(fields.number), this);
  name_ = new QLineEdit(FromCp932(fields.name), this);
  name_->setMinimumWidth(200);
  form->addRow(QStringLiteral("番号(&N):"), number_);
  form->addRow(QStringLiteral("名称(&M):"), name_);

  type_ = new QComboBox(this);
  for (const PinTypeName& t : PinTypeNames()) type_->addItem(QString::fromUtf8(t.name), t.code);
  if (type_->findData(fields.type) < 0)  // a code without a name stays as it is
    type_->addItem(QString::number(fields.type), fields.type);
  type_->setCurrentIndex(type_->findData(fields.type));
  form->addRow(QStringLiteral("電気(&E):"), type_);

  length_ = new QSpinBox(this);
  length_->setRange(kPinMinLength, kPinMaxLength);
  length_->setSingleStep(50);
  length_->setSuffix(QStringLiteral(" mil"));
  length_->setValue(std::clamp(fields.length, kPinMinLength, kPinMaxLength));
  form->addRow(QStringLiteral("長さ(&L):"), length_);
  layout->addLayout(form);

  auto* shape = new QGroupBox(QStringLiteral("形状"), this);
  auto* shapeRow = new QHBoxLayout(shape);
  dot_ = CheckBox(shape, "ドット(&D)", "dot", fields.dot);
  clock_ = CheckBox(shape, "クロック(&C)", "clock", fields.clock);
  shapeRow->addWidget(dot_);
  shapeRow->addWidget(clock_);
  shapeRow->addStretch();
  layout->addWidget(shape);

  auto* shown = new QGroupBox(QStringLiteral("表示"), this);
  auto* shownRow = new QHBoxLayout(shown);
  shown_ = CheckBox(shown, "ピン(&V)", "shown", fields.shown);
  numberShown_ = CheckBox(shown, "番号(&O)", "numberShown", fields.numberShown);
  nameShown_ = CheckBox(shown, "名称(&A)", "nameShown", fields.nameShown);
  shownRow->addWidget(shown_);
  shownRow->addWidget(numberShown_);
  shownRow->addWidget(nameShown_);
  shownRow->addStretch();
  layout->addWidget(shown);

  continuous_ = CheckBox(this, "連続(&R)", "continuous", continuous);
  layout->addWidget(continuous_);
  layout->addWidget(OkCancelButtons(this));
}

PinFields PinEditDialog::Fields() const {
  PinFields f = initial_;
  f.number = EditedCp932(number_->text(), initial_.number);
  f.name = EditedCp932(name_->text(), initial_.name);
  f.type = type_->currentData().toInt();
  f.dot = dot_->isChecked();
  f.clock = clock_->isChecked();
  f.shown = shown_->isChecked();
  // A length outside what the box offers is kept while the box is not touched.
  const int shownLength = std::clamp(initial_.length, kPinMinLength, kPinMaxLength);
  f.length = length_->value() == shownLength ? initial_.length : length_->value();
  f.numberShown = numberShown_->isChecked();
  f.nameShown = nameShown_->isChecked();
  return f;
}

bool PinEditDialog::Continuous() const { return continuous_->isChecked(); }

QString PinEditDialog::Problem() const {
  if (QString why = EditedProblem(number_->text(), initial_.number); !why.isEmpty()) return why;
  return EditedProblem(name_->text(), initial_.name);
}

void PinEditDialog::accept() {
  if (const QString why = Problem(); !why.isEmpty()) {
    QMessageBox::warning(this, windowTitle(), why);
    return;
  }
  QDialog::accept();
}

}  // namespace tavro::gui
