// SettingsDialog: the editor's settings dialog (設定), the menu's face of
// `tavro config`. It lists every value of the table of defaults, and every
// other value the settings file holds, grouped by section: key, value in
// effect, default and what the value means (DescribeSetting). A value is
// edited in its cell and checked at once with CheckSettingValue, the check of
// `tavro config set`; a refused value shows why and blocks OK. "既定値に戻す"
// removes a stored value so that the default applies again. Binary values are
// shown as hex and cannot be edited. OK (or 適用) stores the changed values
// through the settings store with the command's own StoreSettingValue; when
// the file cannot be written the dialog says so and stays open.
#pragma once

#include <QDialog>
#include <QString>
#include <optional>
#include <string>
#include <vector>

#include "core/platform/settings.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace tavro::gui {

class SettingsDialog : public QDialog {
  Q_OBJECT

 public:
  // Shows and edits `settings` (the program's store in the editor).
  explicit SettingsDialog(Settings& settings, QWidget* parent = nullptr);

  // Shows the dialog for the program's store; true when it was closed with OK
  // (the changes are stored by then).
  static bool Run(QWidget* parent, Settings& settings = AppSettings());

  // Columns of the tree.
  enum Column { kKeyColumn, kValueColumn, kDefaultColumn, kMeaningColumn };

  // Types `text` as the value of Section/Key, as editing its cell does:
  // "" when the value is accepted, else why not (CheckSettingValue's words,
  // as `tavro config set` gives them). An unknown or binary value is refused.
  QString SetValue(const QString& section, const QString& key, const QString& text);
  // 既定値に戻す on one value: false when there is no such value or it is
  // binary.
  bool ResetValue(const QString& section, const QString& key);
  // Stores every changed value. False when a value is refused or the file
  // could not be written (Problem() says why); the values stored before the
  // failure stay stored.
  bool Apply();
  // Why the last Apply failed ("" after a good one).
  QString Problem() const { return problem_; }
  // The number of values changed and not yet stored.
  int PendingChanges() const;

  QTreeWidget* Tree() const { return tree_; }
  // The row of Section/Key, nullptr when the dialog has none.
  QTreeWidgetItem* ItemOf(const QString& section, const QString& key) const;

  void accept() override;

 private:
  enum class Change { kNone, kSet, kReset };
  struct Row {
    std::string section;  // CP932, as the table (else the file) spells it
    std::string key;
    bool binary = false;
    std::optional<std::string> defaultText;  // UTF-8; none for a value without a default
    bool stored = false;                     // the file holds the value
    std::string current;                     // UTF-8, the value in effect
    Change change = Change::kNone;
    std::string typed;                   // UTF-8, the value typed (kSet)
    std::optional<std::string> refused;  // why `typed` is refused
    QTreeWidgetItem* item = nullptr;
  };

  void Build();
  void AddRow(QTreeWidgetItem* section, Row row);
  Row* RowOf(QTreeWidgetItem* item);
  Row* FindRow(const QString& section, const QString& key);
  const Row* FindRow(const QString& section, const QString& key) const;
  // Reads the value in effect from the store and forgets the change.
  void Reload(Row& row);
  // Shows a row as it stands.
  void Show(Row& row);
  void Edited(QTreeWidgetItem* item, int column);
  void Typed(Row& row, const std::string& text);
  void ResetCurrent();
  void CurrentChanged();
  void Filter(const QString& text);
  void ShowProblem(const QString& text);
  static QString Name(const Row& row);

  Settings& settings_;
  std::vector<Row> rows_;
  QString problem_;
  bool showing_ = false;  // the dialog is writing into the tree itself
  QTreeWidget* tree_;
  QLineEdit* filter_;
  QLabel* status_;
  QPushButton* reset_;
};

}  // namespace tavro::gui
