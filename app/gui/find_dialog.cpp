#include "app/gui/find_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/gui/dialog_parts.h"
#include "core/platform/codec.h"

namespace tavro::gui {

FindDialog::FindDialog(const FindOptions& options, const std::vector<std::string>& history,
                       QWidget* parent)
    : QDialog(parent) {
  setWindowTitle(QStringLiteral("検索"));
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  pattern_ = new QComboBox(this);
  pattern_->setEditable(true);
  pattern_->setInsertPolicy(QComboBox::NoInsert);
  for (const std::string& h : history) pattern_->addItem(QString::fromStdString(Cp932ToUtf8(h)));
  pattern_->setCurrentText(QString::fromStdString(Cp932ToUtf8(options.pattern)));
  pattern_->lineEdit()->selectAll();
  pattern_->setMinimumWidth(280);
  form->addRow(QStringLiteral("検索する文字列(&N):"), pattern_);
  layout->addLayout(form);

  auto box = [this](const char* label, bool on) { return CheckBox(this, label, nullptr, on); };
  matchCase_ = box("大文字と小文字を区別する(&C)", options.matchCase);
  word_ = box("単語単位で検索する(&W)", options.word);
  hidden_ = box("非表示文字、非表示ピンも検索する(&H)", options.hidden);
  allSheets_ = box("開いている図面全部を対象にする(&A)", options.allSheets);
  selectItems_ = box("対象アイテムを選択状態にする(&S)", options.selectItems);
  for (QCheckBox* c : {matchCase_, word_, hidden_, allSheets_, selectItems_}) layout->addWidget(c);

  auto* group = new QGroupBox(QStringLiteral("検索対象アイテム"), this);
  auto* grid = new QGridLayout(group);
  const std::pair<int, const char*> bits[] = {
      {0x1, "部品名"},    {0x2, "部品番号"},      {0x4, "部品値"},   {0x8, "ピン名"},
      {0x10, "ピン番号"}, {0x20, "部品内の文字"}, {0x100, "信号名"}, {0x200, "文字列"}};
  int n = 0;
  for (const auto& [bit, label] : bits) {
    QCheckBox* c = box(label, (options.target & bit) != 0);
    grid->addWidget(c, n / 2, n % 2);
    targets_.emplace_back(bit, c);
    ++n;
  }
  layout->addWidget(group);

  layout->addWidget(OkCancelButtons(this, QStringLiteral("検索")));
}

FindOptions FindDialog::Options() const {
  FindOptions o;
  o.pattern = Utf8ToCp932(pattern_->currentText().toStdString());
  o.matchCase = matchCase_->isChecked();
  o.word = word_->isChecked();
  o.hidden = hidden_->isChecked();
  o.allSheets = allSheets_->isChecked();
  o.selectItems = selectItems_->isChecked();
  o.target = 0;
  for (const auto& [bit, c] : targets_)
    if (c->isChecked()) o.target |= bit;
  return o;
}

}  // namespace tavro::gui
