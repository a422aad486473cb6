#include "app/gui/index_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/gui/dialog_parts.h"
#include "core/platform/settings.h"

namespace tavro::gui {

IndexDialog::IndexDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("ネットインデックス"));
  const NetIndexOptions o = NetIndexOptions::FromSettings(AppSettings());
  auto* layout = new QVBoxLayout(this);
  auto box = [this, layout](const char* label, const char* name, bool on) {
    QCheckBox* c = CheckBox(this, label, name, on);
    layout->addWidget(c);
    return c;
  };
  single_ = box("１箇所にしかない信号名も出力する(&S)", "single", o.single);
  xy_ = box("座標を出力する(&X)", "xy", o.xy);
  html_ = box("HTMLで出力する(&H)", "html", o.html);
  view_ = box("作成したファイルを見る(&V)", "view", o.view);
  layout->addWidget(OkCancelButtons(this));
}

NetIndexOptions IndexDialog::Options() const {
  NetIndexOptions o = NetIndexOptions::FromSettings(AppSettings());
  o.single = single_->isChecked();
  o.xy = xy_->isChecked();
  o.html = html_->isChecked();
  o.view = view_->isChecked();
  return o;
}

void IndexDialog::StoreSettings() const {
  Settings& s = AppSettings();
  s.WriteInt("Tool", "IndexSingle", single_->isChecked() ? 1 : 0);
  s.WriteInt("Tool", "IndexXY", xy_->isChecked() ? 1 : 0);
  s.WriteInt("Tool", "IndexHtml", html_->isChecked() ? 1 : 0);
  s.WriteInt("Tool", "IndexView", view_->isChecked() ? 1 : 0);
}

void IndexDialog::accept() {
  StoreSettings();
  QDialog::accept();
}

}  // namespace tavro::gui
