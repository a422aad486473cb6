#include "app/gui/cleanup_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "app/gui/dialog_parts.h"
#include "app/html_template.h"
#include "core/platform/settings.h"

namespace tavro::gui {

CleanupDialog::CleanupDialog(QWidget* parent)
    : CleanupDialog(CleanupOptions::FromSettings(AppSettings()), parent) {}

CleanupDialog::CleanupDialog(const CleanupOptions& options, QWidget* parent)
    : QDialog(parent), start_(options), missingWanted_(options.missing && !options.bySheet) {
  setWindowTitle(QStringLiteral("重複整理"));
  HtmlTemplate::Load(options.templatePath, &htmlAvailable_);
  auto* layout = new QVBoxLayout(this);

  auto* sheetBox = new QGroupBox(QStringLiteral("図面の整理"), this);
  auto* sheetLayout = new QVBoxLayout(sheetBox);
  cleanLine_ = CheckBox(sheetBox, "線の整理を行う", "cleanLine", options.cleanLine);
  wireJunc_ =
      CheckBox(sheetBox, "ワイヤ整理にジャンクションを使用する", "wireJunc", options.wireJunc);
  outside_ = CheckBox(sheetBox, "範囲外アイテムを削除する", "outside", options.outside);
  keepNets_ = CheckBox(sheetBox, "接続が変わる整理はしない", "keepNets", options.keepNets);
  sheetLayout->addWidget(cleanLine_);
  // The junction choice belongs to the line merging: indented under it.
  auto* juncRow = new QHBoxLayout;
  juncRow->addSpacing(20);
  juncRow->addWidget(wireJunc_, 1);
  sheetLayout->addLayout(juncRow);
  sheetLayout->addWidget(outside_);
  sheetLayout->addWidget(keepNets_);
  layout->addWidget(sheetBox);

  auto* refBox = new QGroupBox(QStringLiteral("部品番号のチェック"), this);
  auto* refLayout = new QVBoxLayout(refBox);
  bySheet_ = CheckBox(refBox, "部品番号は図面毎に計算する", "bySheet", options.bySheet);
  missing_ = CheckBox(refBox, "部品番号の欠番を出力する", "missing", missingWanted_);
  refLayout->addWidget(bySheet_);
  refLayout->addWidget(missing_);
  layout->addWidget(refBox);

  auto* outBox = new QGroupBox(QStringLiteral("ログ"), this);
  auto* outLayout = new QVBoxLayout(outBox);
  html_ = CheckBox(outBox, "HTML形式で出力", "html", options.html && htmlAvailable_);
  view_ = CheckBox(outBox, "作成したファイルを見る", "view", options.view);
  if (!htmlAvailable_)
    html_->setToolTip(QStringLiteral("HTMLのテンプレートファイルが見つかりません"));
  outLayout->addWidget(html_);
  outLayout->addWidget(view_);
  layout->addWidget(outBox);

  layout->addWidget(OkCancelButtons(this));

  connect(cleanLine_, &QCheckBox::toggled, this, [this] { UpdateEnabled(); });
  connect(bySheet_, &QCheckBox::toggled, this, [this] { UpdateEnabled(); });
  // Only the user's own choice is remembered, not the box cleared by by-sheet.
  connect(missing_, &QCheckBox::toggled, this, [this](bool on) {
    if (missing_->isEnabled()) missingWanted_ = on;
  });
  UpdateEnabled();
}

void CleanupDialog::UpdateEnabled() {
  wireJunc_->setEnabled(cleanLine_->isChecked());
  // The missing numbers are listed for the whole project only.
  if (bySheet_->isChecked()) {
    missing_->setEnabled(false);
    missing_->setChecked(false);
  } else if (!missing_->isEnabled()) {
    missing_->setEnabled(true);
    missing_->setChecked(missingWanted_);
  }
  html_->setEnabled(htmlAvailable_);
  if (!htmlAvailable_) html_->setChecked(false);
}

CleanupOptions CleanupDialog::Options() const {
  CleanupOptions o = start_;
  o.cleanLine = cleanLine_->isChecked();
  o.wireJunc = wireJunc_->isChecked();
  o.outside = outside_->isChecked();
  o.keepNets = keepNets_->isChecked();
  o.bySheet = bySheet_->isChecked();
  o.missing = !o.bySheet && missing_->isChecked();
  o.html = htmlAvailable_ && html_->isChecked();
  o.view = view_->isChecked();
  return o;
}

}  // namespace tavro::gui
