#include "app/gui/annotate_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

#include "app/gui/dialog_parts.h"
#include "core/platform/settings.h"

namespace tavro::gui {

namespace {

const char* const kModeLabels[4] = {
    "未決定の部品番号のみ割付ける(&U)",
    "全ての部品番号を付け直す(&A)",
    "部品割付ファイルを使用(&F)",
    "部品割付テンプレートファイルの作成(&T)",
};
const char* const kModeNames[4] = {"modeUndecided", "modeAll", "modeApply", "modeTemplate"};

}  // namespace

AnnotateDialog::AnnotateDialog(const std::string& wasisPath, QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("部品番号割付"));
  const Settings& s = AppSettings();
  const AnnotateOptions o = AnnotateOptions::FromSettings(s);
  const WasisOptions w = WasisOptions::FromSettings(s);
  auto* layout = new QVBoxLayout(this);

  auto* modeBox = new QGroupBox(QStringLiteral("処理"), this);
  auto* modeLayout = new QVBoxLayout(modeBox);
  auto* group = new QButtonGroup(this);
  for (int i = 0; i < 4; ++i) {
    modes_[i] = new QRadioButton(QString::fromUtf8(kModeLabels[i]), modeBox);
    modes_[i]->setObjectName(QString::fromUtf8(kModeNames[i]));
    group->addButton(modes_[i], i);
    modeLayout->addWidget(modes_[i]);
    connect(modes_[i], &QRadioButton::toggled, this, [this] { UpdateEnabled(); });
  }
  layout->addWidget(modeBox);

  auto* numberBox = new QGroupBox(QStringLiteral("番号"), this);
  auto* form = new QFormLayout(numberBox);
  auto* stepRow = new QHBoxLayout;
  step1_ = new QRadioButton(QStringLiteral("+1"), numberBox);
  step1_->setObjectName(QStringLiteral("step1"));
  step2_ = new QRadioButton(QStringLiteral("+2"), numberBox);
  step2_->setObjectName(QStringLiteral("step2"));
  (o.step == 2 ? step2_ : step1_)->setChecked(true);
  stepRow->addWidget(step1_);
  stepRow->addWidget(step2_);
  stepRow->addStretch(1);
  form->addRow(QStringLiteral("増分:"), stepRow);
  auto spin = [numberBox](int low, int high, int value, const char* name) {
    auto* sp = new QSpinBox(numberBox);
    sp->setObjectName(QString::fromUtf8(name));
    sp->setRange(low, high);
    sp->setValue(std::clamp(value, low, high));
    return sp;
  };
  firstNo_ = spin(1, 9999, o.firstNo, "firstNo");
  pageOffset_ = spin(0, 9999, o.pageOffset, "pageOffset");
  form->addRow(QStringLiteral("開始番号(&N):"), firstNo_);
  form->addRow(QStringLiteral("ページオフセット(&O):"), pageOffset_);
  eachSheet_ = CheckBox(numberBox, "図面毎に番号を付ける(&E)", "eachSheet", o.eachSheet);
  form->addRow(eachSheet_);
  layout->addWidget(numberBox);

  auto* fileBox = new QGroupBox(QStringLiteral("割付ファイル"), this);
  auto* fileLayout = new QVBoxLayout(fileBox);
  simple_ = CheckBox(fileBox, "簡易割付ファイルを使用する(&S)", "simple", w.simple);
  fileLayout->addWidget(simple_);
  auto* fileRow = new QHBoxLayout;
  file_ = new QLineEdit(QString::fromStdString(wasisPath), fileBox);
  file_->setObjectName(QStringLiteral("file"));
  file_->setMinimumWidth(360);
  browse_ = new QPushButton(QStringLiteral("参照(&B)..."), fileBox);
  connect(browse_, &QPushButton::clicked, this, &AnnotateDialog::Browse);
  fileRow->addWidget(file_, 1);
  fileRow->addWidget(browse_);
  fileLayout->addLayout(fileRow);
  layout->addWidget(fileBox);

  layout->addWidget(OkCancelButtons(this));
  SetMode(std::clamp(s.GetInt("Tool", "PartNoMakeType"), 0, 3));
}

int AnnotateDialog::Mode() const {
  for (int i = 0; i < 4; ++i)
    if (modes_[i]->isChecked()) return i;
  return 0;
}

void AnnotateDialog::SetMode(int mode) {
  modes_[std::clamp(mode, 0, 3)]->setChecked(true);
  UpdateEnabled();
}

void AnnotateDialog::UpdateEnabled() {
  const int mode = Mode();
  const bool numbering = mode == 0 || mode == 1;
  step1_->setEnabled(numbering);
  step2_->setEnabled(numbering);
  firstNo_->setEnabled(numbering);
  pageOffset_->setEnabled(mode == 1);
  eachSheet_->setEnabled(mode == 0);
  simple_->setEnabled(!numbering);
  file_->setEnabled(!numbering);
  browse_->setEnabled(!numbering);
}

void AnnotateDialog::Browse() {
  const QString filter = QStringLiteral("部品割付ファイル (*.tws);;すべてのファイル (*)");
  const QString name =
      Mode() == 3 ? QFileDialog::getSaveFileName(this, QStringLiteral("部品割付ファイルの指定"),
                                                 file_->text(), filter)
                  : QFileDialog::getOpenFileName(this, QStringLiteral("部品割付ファイルの指定"),
                                                 file_->text(), filter);
  if (!name.isEmpty()) file_->setText(name);
}

AnnotateOptions AnnotateDialog::Options() const {
  AnnotateOptions o = AnnotateOptions::FromSettings(AppSettings());
  o.mode = Mode() == 1 ? 1 : 0;
  o.step = step2_->isChecked() ? 2 : 1;
  o.firstNo = firstNo_->value();
  o.pageOffset = pageOffset_->value();
  o.eachSheet = eachSheet_->isChecked();
  return o;
}

WasisOptions AnnotateDialog::Wasis() const {
  WasisOptions o = WasisOptions::FromSettings(AppSettings());
  o.simple = simple_->isChecked();
  o.filePath = file_->text().trimmed().toStdString();
  return o;
}

void AnnotateDialog::StoreSettings() const {
  Settings& s = AppSettings();
  s.WriteInt("Tool", "PartNoMakeType", Mode());
  s.WriteInt("Tool", "PartNoStep", step2_->isChecked() ? 1 : 0);
  s.WriteInt("Tool", "PartTopRefNo", firstNo_->value());
  s.WriteInt("Tool", "RefPageOffset", pageOffset_->value());
  s.WriteInt("Tool", "EachSheet", eachSheet_->isChecked() ? 1 : 0);
  s.WriteInt("Tool", "SimpleWasis", simple_->isChecked() ? 1 : 0);
}

void AnnotateDialog::accept() {
  StoreSettings();
  QDialog::accept();
}

}  // namespace tavro::gui
