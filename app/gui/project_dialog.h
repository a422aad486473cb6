// ProjectDialog: the project's properties (プロジェクトのプロパティ), the
// menu's face of `tavro project`. It lists the sheet files of the project in
// project order with their check marks (the files that opening the project
// opens), and the project's named properties in a table where they are
// added, changed and deleted. OK writes what changed and nothing else: the
// check marks through ProjectFile::WriteFileList, the properties through
// ProjectFile::UpdateProperties in one write, as `tavro project --unset NAME
// --set NAME=VALUE` writes them. A property the file cannot keep, a name
// given twice or a character the file's code page lacks is refused with the
// row it is on; a file that cannot be written is reported and the dialog
// stays open.
#pragma once

#include <QDialog>
#include <QString>
#include <string>
#include <utility>
#include <vector>

#include "app/project.h"

class QLabel;
class QListWidget;
class QTableWidget;

namespace tavro::gui {

class ProjectDialog : public QDialog {
  Q_OBJECT

 public:
  // Reads the project (a platform path, UTF-8); LoadError() says when it
  // could not.
  explicit ProjectDialog(const std::string& projectPath, QWidget* parent = nullptr);

  // Shows the dialog for a project; true when it was closed with OK (the
  // changes are written by then). A project that cannot be read is reported
  // in a message box (false).
  static bool Run(QWidget* parent, const std::string& projectPath);

  // Why the project could not be read ("" when it was).
  QString LoadError() const { return loadError_; }

  // The files (checkable items, in project order) and the properties (名前,
  // 値), for a look and for tests.
  QListWidget* Files() const { return files_; }
  QTableWidget* Properties() const { return properties_; }
  // Appends a property row (追加); its row number.
  int AddProperty(const QString& name = {}, const QString& value = {});
  // Deletes a property row (削除).
  void RemoveProperty(int row);

  // Writes what changed since the project was read (or last written). False
  // when a row is refused or the file could not be written (Problem() says
  // why).
  bool Apply();
  QString Problem() const { return problem_; }

  void accept() override;

 private:
  void Load();
  void RemoveSelected();
  void ShowProblem(const QString& text);

  std::string path_;
  QString loadError_;
  QString problem_;
  std::vector<ProjectEntry> entries_;                          // as read
  std::vector<std::pair<std::string, std::string>> original_;  // CP932, as read
  QListWidget* files_;
  QTableWidget* properties_;
  QLabel* status_;
};

}  // namespace tavro::gui
