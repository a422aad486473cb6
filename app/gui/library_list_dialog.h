// LibraryListDialog (部品ファイルの設定): the ordered list of library files
// that part lookups go along: add (a file chooser; a file that does not
// exist yet is offered for creation when it is first opened), remove, and
// move up and down. OK stores the list in the settings (section "Library
// File List").
#pragma once

#include <QDialog>
#include <QStringList>
#include <string>
#include <vector>

class QListWidget;
class QPushButton;

namespace tavro::gui {

class LibraryListDialog : public QDialog {
  Q_OBJECT

 public:
  explicit LibraryListDialog(const std::vector<std::string>& list, QWidget* parent = nullptr);

  // The list as the dialog shows it (UTF-8 paths).
  std::vector<std::string> List() const;
  // 追加: paths appended (a path already listed is not added twice).
  void AddPaths(const QStringList& paths);
  // 削除, 上へ, 下へ on the current row.
  void RemoveCurrent();
  void MoveCurrent(int by);
  QListWidget* ListWidget() const { return list_; }

  // Shows the dialog on the stored list; OK stores the new list. True when
  // the list was stored.
  static bool Run(QWidget* parent);

 private:
  void ChooseFiles();
  void UpdateButtons();

  QListWidget* list_ = nullptr;
  QPushButton* remove_ = nullptr;
  QPushButton* up_ = nullptr;
  QPushButton* down_ = nullptr;
};

// Whether two library lists differ: another count, or any path different
// when letter case is ignored.
bool LibraryListsDiffer(const std::vector<std::string>& a, const std::vector<std::string>& b);

}  // namespace tavro::gui
