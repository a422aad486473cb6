#include "app/gui/check_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/gui/dialog_parts.h"
#include "core/platform/settings.h"

namespace tavro::gui {

CheckDialog::CheckDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("ネットレポート"));
  const Settings& s = AppSettings();
  const CheckOptions o = CheckOptions::FromSettings(s);
  auto* layout = new QVBoxLayout(this);
  auto* about = new QLabel(QStringLiteral("ネットを作成し、オープンネット、別名ネットと\n"
                                          "ピンの電気的ルールチェックの結果を出力します。"),
                           this);
  layout->addWidget(about);
  auto box = [this, layout](const char* label, const char* name, bool on) {
    QCheckBox* c = CheckBox(this, label, name, on);
    layout->addWidget(c);
    return c;
  };
  html_ = box("HTMLでも出力する(&H)", "html", o.html);
  unix_ = box("改行をLFにする(&U)", "unix", o.unixLineEnds);
  view_ = box("作成したファイルを見る(&V)", "view", s.GetInt("Tool", "View") != 0);
  layout->addWidget(OkCancelButtons(this));
}

CheckOptions CheckDialog::Options() const {
  const Settings& s = AppSettings();
  CheckOptions o = CheckOptions::FromSettings(s);
  o.html = html_->isChecked();
  o.unixLineEnds = unix_->isChecked();
  o.allFiles = s.GetInt("Sheet", "ProjectAllFile") != 0;
  return o;
}

bool CheckDialog::View() const { return view_->isChecked(); }

void CheckDialog::StoreSettings() const {
  Settings& s = AppSettings();
  s.WriteInt("Tool", "Html", html_->isChecked() ? 1 : 0);
  s.WriteInt("Tool", "NetUnix", unix_->isChecked() ? 1 : 0);
  s.WriteInt("Tool", "View", View() ? 1 : 0);
}

void CheckDialog::accept() {
  StoreSettings();
  QDialog::accept();
}

}  // namespace tavro::gui
