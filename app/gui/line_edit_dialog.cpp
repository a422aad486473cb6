#include "app/gui/line_edit_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QVBoxLayout>
#include <iterator>

#include "app/gui/attribute_dialog_parts.h"
#include "app/gui/dialog_parts.h"

namespace tavro::gui {

LineEditDialog::LineEditDialog(const LineFields& fields, uint32_t lineType, bool continuous,
                               QWidget* parent)
    : QDialog(parent), initial_(fields) {
  setWindowTitle(QStringLiteral("ライン編集"));
  const uint32_t kind = lineType & kLineKindMask;
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  auto* nameRow = new QHBoxLayout;
  name_ = new QLineEdit(FromCp932(fields.name), this);
  name_->setMinimumWidth(200);
  shown_ = CheckBox(this, "表示(&D)", "shown", fields.nameShown);
  nameRow->addWidget(name_, 1);
  nameRow->addWidget(shown_);
  auto* nameLabel = new QLabel(QStringLiteral("名前(&N):"), this);
  nameLabel->setBuddy(name_);
  form->addRow(nameLabel, nameRow);

  style_ = new QComboBox(this);
  for (int code = 0; code < static_cast<int>(std::size(kLineStyleNames)); ++code)
    style_->addItem(QString::fromUtf8(kLineStyleNames[code]), code);
  if (style_->findData(fields.style) < 0)  // a style this list does not know stays
    style_->addItem(QString::number(fields.style), fields.style);
  style_->setCurrentIndex(style_->findData(fields.style));
  form->addRow(QStringLiteral("線種(&S):"), style_);
  layout->addLayout(form);

  power_ = CheckBox(this, "電源(&P)", "power", fields.power);
  power_->setEnabled(kind != kLineGraphic && kind != kLineBus);
  layout->addWidget(power_);

  auto* arrows = new QGroupBox(QStringLiteral("矢印"), this);
  auto* arrowRow = new QHBoxLayout(arrows);
  startArrow_ = CheckBox(arrows, "始点(&B)", "startArrow", fields.startArrow);
  endArrow_ = CheckBox(arrows, "終点(&E)", "endArrow", fields.endArrow);
  arrowRow->addWidget(startArrow_);
  arrowRow->addWidget(endArrow_);
  arrowRow->addStretch();
  arrows->setEnabled(kind == kLineGraphic);
  layout->addWidget(arrows);

  continuous_ = CheckBox(this, "連続(&R)", "continuous", continuous);
  layout->addWidget(continuous_);
  layout->addWidget(OkCancelButtons(this));
}

LineFields LineEditDialog::Fields() const {
  LineFields f = initial_;
  f.name = EditedCp932(name_->text(), initial_.name);
  f.nameShown = shown_->isChecked();
  f.style = style_->currentData().toInt();
  f.power = power_->isChecked();
  f.startArrow = startArrow_->isChecked();
  f.endArrow = endArrow_->isChecked();
  return f;
}

bool LineEditDialog::Continuous() const { return continuous_->isChecked(); }

QString LineEditDialog::Problem() const { return EditedProblem(name_->text(), initial_.name); }

void LineEditDialog::accept() {
  if (const QString why = Problem(); !why.isEmpty()) {
    QMessageBox::warning(this, windowTitle(), why);
    return;
  }
  QDialog::accept();
}

}  // namespace tavro::gui
