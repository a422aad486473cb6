// PartAttrDialog (部品属性編集): the properties of a part (its texts of the
// form "&NAME&value"): a list of them, and a property name (属性名)
// and value (値) that 追加変更 stores (changing the property of that name, or
// adding one) and 削除 removes. 表示属性 makes a shown property (listed as
// "[NAME]"), 複数行 edits the value as several lines (stored with "\n"
// breaks), and 参照 picks a file as the value, with its absolute path when
// 絶対パス is checked, else relative to the sheet's folder. The dialog works
// on a copy of the part; OK gives the copy back, キャンセル drops it.
#pragma once

#include <QDialog>
#include <functional>
#include <string>

#include "core/model/part.h"

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QTreeWidget;

namespace tavro::gui {

class PartAttrDialog : public QDialog {
  Q_OBJECT

 public:
  // `sheetPath`: the sheet file (UTF-8; empty for a sheet not yet saved).
  PartAttrDialog(const CPart& part, std::string sheetPath, QWidget* parent = nullptr);

  const CPart& Result() const { return part_; }

  // 追加変更 / 削除 / 参照. AddOrChange and Remove return why nothing was
  // done ("" when done); the buttons show it.
  QString AddOrChange();
  QString Remove();
  void Browse();
  // Asks for a file (UTF-8 path; empty when cancelled); null: a file dialog.
  void SetFileChooser(std::function<QString()> chooser) { chooseFile_ = std::move(chooser); }

  // The value as typed (several lines joined with "\n" breaks).
  QString Value() const;
  // Puts a listed property into the fields.
  void SelectRow(int row);

  QLineEdit* NameEdit() const { return name_; }
  QLineEdit* ValueEdit() const { return value_; }
  QPlainTextEdit* ValueLines() const { return lines_; }
  QCheckBox* DisplayBox() const { return display_; }
  QCheckBox* MultiLineBox() const { return multiLine_; }
  QCheckBox* AbsoluteBox() const { return absolute_; }
  QTreeWidget* List() const { return list_; }

 private:
  void Fill(size_t select);
  void SetMultiLine(bool on);

  CPart part_;
  std::string sheetPath_;
  std::function<QString()> chooseFile_;
  // The bytes of the property last put into the fields (kept when the
  // fields are stored unchanged).
  std::string loadedName_;
  std::string loadedValue_;
  QLineEdit* name_ = nullptr;
  QLineEdit* value_ = nullptr;
  QPlainTextEdit* lines_ = nullptr;
  QCheckBox* display_ = nullptr;
  QCheckBox* multiLine_ = nullptr;
  QCheckBox* absolute_ = nullptr;
  QTreeWidget* list_ = nullptr;
};

}  // namespace tavro::gui
