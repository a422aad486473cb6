// PinEditDialog (ピン編集): a pin's number and name, its electrical type
// (電気), its marks (形状: ドット, クロック), whether it is shown, its length
// in mils, which of its texts are shown (番号, 名称), and 連続 (continuous
// editing).
#pragma once

#include <QDialog>

#include "app/gui/attribute_fields.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QSpinBox;

namespace tavro::gui {

class PinEditDialog : public QDialog {
  Q_OBJECT

 public:
  PinEditDialog(const PinFields& fields, bool continuous, QWidget* parent = nullptr);

  PinFields Fields() const;
  bool Continuous() const;
  QString Problem() const;

  QLineEdit* NumberEdit() const { return number_; }
  QLineEdit* NameEdit() const { return name_; }
  QComboBox* TypeList() const { return type_; }
  QCheckBox* DotBox() const { return dot_; }
  QCheckBox* ClockBox() const { return clock_; }
  QCheckBox* ShownBox() const { return shown_; }
  QSpinBox* LengthEdit() const { return length_; }
  QCheckBox* NumberShownBox() const { return numberShown_; }
  QCheckBox* NameShownBox() const { return nameShown_; }
  QCheckBox* ContinuousBox() const { return continuous_; }

  void accept() override;

 private:
  PinFields initial_;
  QLineEdit* number_ = nullptr;
  QLineEdit* name_ = nullptr;
  QComboBox* type_ = nullptr;
  QCheckBox* dot_ = nullptr;
  QCheckBox* clock_ = nullptr;
  QCheckBox* shown_ = nullptr;
  QSpinBox* length_ = nullptr;
  QCheckBox* numberShown_ = nullptr;
  QCheckBox* nameShown_ = nullptr;
  QCheckBox* continuous_ = nullptr;
};

}  // namespace tavro::gui
