// SheetInfoDialog: what a sheet document holds (図面の情報), the menu's face
// of `tavro info`: the file, format version, paper, work size, view, the
// title frame in use and where it comes from, the items of the main and
// title-frame sheets by kind, the file's times and the document's
// properties. It shows the document as it stands in the editor (unsaved
// changes included) from the facts GetSheetInfo gathers for the command.
// Nothing is edited.
#pragma once

#include <QDialog>

#include "app/sheet_info.h"

class QLabel;
class QListWidget;
class QTableWidget;

namespace tavro {
class CSheetDoc;
}

namespace tavro::gui {

class SheetInfoDialog : public QDialog {
  Q_OBJECT

 public:
  explicit SheetInfoDialog(const CSheetDoc& doc, QWidget* parent = nullptr);

  // Shows the dialog for a document until it is closed (true).
  static bool Run(QWidget* parent, const CSheetDoc& doc);

  const SheetInfo& Info() const { return info_; }
  // A fact as shown, by the object name of its label: "file", "version",
  // "paper", "work", "view", "title", "created", "modified", "accessed".
  QString Fact(const QString& name) const;
  // The counts (種類, 図面, 図枠; rows in the order of ItemCounts) and the
  // document's properties.
  QTableWidget* Counts() const { return counts_; }
  QListWidget* Properties() const { return properties_; }

 private:
  SheetInfo info_;
  QTableWidget* counts_;
  QListWidget* properties_;
};

}  // namespace tavro::gui
