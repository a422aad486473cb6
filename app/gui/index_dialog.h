// IndexDialog: the net index dialog (ネットインデックス): names that occur
// once, positions, HTML instead of CSV, and viewing the file — the four
// settings of section "Tool" — stored back when confirmed; it fills the
// job's NetIndexOptions.
#pragma once

#include <QDialog>

#include "app/net_index.h"

class QCheckBox;

namespace tavro::gui {

class IndexDialog : public QDialog {
  Q_OBJECT

 public:
  explicit IndexDialog(QWidget* parent = nullptr);

  // The job as the dialog shows it ("view" included: open the index once
  // written).
  NetIndexOptions Options() const;
  // Stores what the dialog shows into section "Tool".
  void StoreSettings() const;

  void accept() override;

 private:
  QCheckBox* single_;
  QCheckBox* xy_;
  QCheckBox* html_;
  QCheckBox* view_;
};

}  // namespace tavro::gui
