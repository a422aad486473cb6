// Small pieces every dialog of the editor is made of.
#pragma once

#include <QString>

class QCheckBox;
class QDialog;
class QDialogButtonBox;
class QWidget;

namespace tavro::gui {

// The OK / キャンセル row of `dialog`, accepting and rejecting it; OK reads
// `okText` when one is given.
QDialogButtonBox* OkCancelButtons(QDialog* dialog, const QString& okText = {});

// A check box with its label (UTF-8) and object name, checked as `on`.
QCheckBox* CheckBox(QWidget* parent, const char* label, const char* name, bool on);

}  // namespace tavro::gui
