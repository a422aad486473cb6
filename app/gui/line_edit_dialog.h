// LineEditDialog (ライン編集): the name of a wire, bus or graphic line and
// whether it is shown, the line style, the power-wire type (wires) and the
// arrowheads (graphic lines), and 連続 (continuous editing).
#pragma once

#include <QDialog>
#include <cstdint>

#include "app/gui/attribute_fields.h"

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace tavro::gui {

class LineEditDialog : public QDialog {
  Q_OBJECT

 public:
  // `lineType`: the type word of the line (its kind decides what applies).
  LineEditDialog(const LineFields& fields, uint32_t lineType, bool continuous,
                 QWidget* parent = nullptr);

  LineFields Fields() const;
  bool Continuous() const;
  QString Problem() const;

  QLineEdit* NameEdit() const { return name_; }
  QCheckBox* ShownBox() const { return shown_; }
  QComboBox* StyleList() const { return style_; }
  QCheckBox* PowerBox() const { return power_; }
  QCheckBox* StartArrowBox() const { return startArrow_; }
  QCheckBox* EndArrowBox() const { return endArrow_; }
  QCheckBox* ContinuousBox() const { return continuous_; }

  void accept() override;

 private:
  LineFields initial_;
  QLineEdit* name_ = nullptr;
  QCheckBox* shown_ = nullptr;
  QComboBox* style_ = nullptr;
  QCheckBox* power_ = nullptr;
  QCheckBox* startArrow_ = nullptr;
  QCheckBox* endArrow_ = nullptr;
  QCheckBox* continuous_ = nullptr;
};

}  // namespace tavro::gui
