// PackageDialog (部品入力): asks for the package to place. The name is typed
// (the recently placed names offered) and looked up along the library list;
// the equivalent names of the alias tables are shown as it is typed; 部品一覧
// opens the library browser to pick a gate instead.
#pragma once

#include <QDialog>
#include <optional>

#include "app/gui/modes/input_mode.h"

class QComboBox;
class QLabel;

namespace tavro::gui {

class PackageDialog : public QDialog {
  Q_OBJECT

 public:
  explicit PackageDialog(QWidget* parent = nullptr);
  // The package chosen (after OK); nullopt otherwise.
  const std::optional<PackageChoice>& Choice() const { return choice_; }
  // Runs the dialog; the package chosen, nullopt when cancelled.
  static std::optional<PackageChoice> Ask(QWidget* parent);

  void accept() override;
  QComboBox* NameBox() const { return name_; }

 private:
  void ShowAliases();
  void Browse();
  void Remember(const std::string& name);

  QComboBox* name_;
  QLabel* aliases_;
  std::optional<PackageChoice> choice_;
};

}  // namespace tavro::gui
