// PartEditDialog (部品編集): the fields of one part: its name, value and
// reference, its unit number and unit count (素子), its logical form
// (論理反転: bit value 2 of the attribute word), and its pins as a list to
// read (number, name, electrical type). The library browser edits a gate
// with it; the editor's 修正 edits a placed part.
#pragma once

#include <QDialog>

#include "core/model/part.h"

class QCheckBox;
class QLineEdit;
class QSpinBox;
class QTreeWidget;

namespace tavro::gui {

class PartEditDialog : public QDialog {
  Q_OBJECT

 public:
  explicit PartEditDialog(const CPart& part, QWidget* parent = nullptr);

  // The part with the dialog's values (texts converted to CP932).
  CPart Result() const;
  // Why the values cannot be taken ("" when they can): a text the file's
  // code page cannot hold.
  QString Problem() const;

  QLineEdit* NameEdit() const { return name_; }
  QLineEdit* ValueEdit() const { return value_; }
  QLineEdit* RefEdit() const { return ref_; }
  QSpinBox* UnitEdit() const { return unit_; }
  QSpinBox* UnitCountEdit() const { return units_; }
  QCheckBox* InvertedBox() const { return inverted_; }
  QTreeWidget* PinList() const { return pins_; }

  void accept() override;

 private:
  CPart part_;
  QLineEdit* name_ = nullptr;
  QLineEdit* value_ = nullptr;
  QLineEdit* ref_ = nullptr;
  QSpinBox* unit_ = nullptr;
  QSpinBox* units_ = nullptr;
  QCheckBox* inverted_ = nullptr;
  QTreeWidget* pins_ = nullptr;
};

}  // namespace tavro::gui
