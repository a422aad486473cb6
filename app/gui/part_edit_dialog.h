// PartEditDialog (部品編集): the fields of one part: its name, value and
// reference, its unit number and unit count (素子), its logical form
// (論理反転: bit value 2 of the attribute word), and its pins, listed in
// their editing order, with ピン編集 (the pin editor on the selected pin,
// 連続 going on down the list) and 属性編集 (the part's properties). The
// pins and properties are edited on the dialog's copy of the part; OK gives
// the copy back with the fields, キャンセル drops every change. The library
// browser edits a gate with it; the editor's 修正 edits a placed part.
#pragma once

#include <QDialog>
#include <string>

#include "app/gui/attribute_dialog_parts.h"
#include "app/gui/attribute_fields.h"
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
  PartFields Fields() const;
  // Why the values cannot be taken ("" when they can): a text the file's
  // code page cannot hold.
  QString Problem() const;

  // The sheet file the part is on (UTF-8; for 参照 of the attribute editor).
  void SetSheetPath(std::string path) { sheetPath_ = std::move(path); }
  // How the pin and attribute editors are run (tests fill them).
  void SetDialogRunner(DialogRunner runner) { runner_ = std::move(runner); }

  // ピン編集 on the pin in row `row` of the pin list (and, with 連続, on the
  // pins after it); true when a pin was changed.
  bool EditPin(int row);
  // 属性編集; true when confirmed.
  bool EditAttributes();

  QLineEdit* NameEdit() const { return name_; }
  QLineEdit* ValueEdit() const { return value_; }
  QLineEdit* RefEdit() const { return ref_; }
  QSpinBox* UnitEdit() const { return unit_; }
  QSpinBox* UnitCountEdit() const { return units_; }
  QCheckBox* InvertedBox() const { return inverted_; }
  QTreeWidget* PinList() const { return pins_; }

  void accept() override;

 private:
  void FillPins(int current);

  CPart part_;
  PartFields initial_;
  std::string sheetPath_;
  DialogRunner runner_;
  QLineEdit* name_ = nullptr;
  QLineEdit* value_ = nullptr;
  QLineEdit* ref_ = nullptr;
  QSpinBox* unit_ = nullptr;
  QSpinBox* units_ = nullptr;
  QCheckBox* inverted_ = nullptr;
  QTreeWidget* pins_ = nullptr;
};

}  // namespace tavro::gui
