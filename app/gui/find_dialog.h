// FindDialog: the find dialog (検索): the pattern with its history, the
// options of section "Find" and the items searched. It only fills
// FindOptions; the window runs the search.
#pragma once

#include <QDialog>

#include "app/find.h"

class QCheckBox;
class QComboBox;

namespace tavro::gui {

class FindDialog : public QDialog {
  Q_OBJECT

 public:
  FindDialog(const FindOptions& options, const std::vector<std::string>& history,
             QWidget* parent = nullptr);
  FindOptions Options() const;

 private:
  QComboBox* pattern_;
  QCheckBox* matchCase_;
  QCheckBox* word_;
  QCheckBox* hidden_;
  QCheckBox* allSheets_;
  QCheckBox* selectItems_;
  std::vector<std::pair<int, QCheckBox*>> targets_;
};

}  // namespace tavro::gui
