#include "app/gui/dialog_parts.h"

#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>

namespace tavro::gui {

QDialogButtonBox* OkCancelButtons(QDialog* dialog, const QString& okText) {
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
  if (!okText.isEmpty()) buttons->button(QDialogButtonBox::Ok)->setText(okText);
  buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));
  QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
  return buttons;
}

QCheckBox* CheckBox(QWidget* parent, const char* label, const char* name, bool on) {
  auto* c = new QCheckBox(QString::fromUtf8(label), parent);
  if (name != nullptr) c->setObjectName(QString::fromUtf8(name));
  c->setChecked(on);
  return c;
}

}  // namespace tavro::gui
