#include "app/gui/part_attr_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <cstdint>

#include "app/gui/attribute_dialog_parts.h"
#include "app/gui/attribute_fields.h"
#include "app/gui/dialog_parts.h"

namespace tavro::gui {

PartAttrDialog::PartAttrDialog(const CPart& part, std::string sheetPath, QWidget* parent)
    : QDialog(parent), part_(part), sheetPath_(std::move(sheetPath)) {
  setWindowTitle(QStringLiteral("部品属性編集"));
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  name_ = new QLineEdit(this);
  name_->setMinimumWidth(240);
  form->addRow(QStringLiteral("属性名(&N):"), name_);
  value_ = new QLineEdit(this);
  lines_ = new QPlainTextEdit(this);
  lines_->setVisible(false);
  lines_->setMaximumHeight(90);
  auto* values = new QVBoxLayout;
  values->addWidget(value_);
  values->addWidget(lines_);
  auto* valueLabel = new QLabel(QStringLiteral("値(&V):"), this);
  valueLabel->setBuddy(value_);
  form->addRow(valueLabel, values);
  layout->addLayout(form);

  auto* flags = new QHBoxLayout;
  display_ = CheckBox(this, "表示属性(&D)", "display", false);
  multiLine_ = CheckBox(this, "複数行(&M)", "multiLine", false);
  flags->addWidget(display_);
  flags->addWidget(multiLine_);
  flags->addStretch();
  auto* browse = new QPushButton(QStringLiteral("参照(&B)..."), this);
  absolute_ = CheckBox(this, "絶対パス(&P)", "absolute", false);
  flags->addWidget(browse);
  flags->addWidget(absolute_);
  layout->addLayout(flags);
  connect(multiLine_, &QCheckBox::toggled, this, &PartAttrDialog::SetMultiLine);
  connect(browse, &QPushButton::clicked, this, &PartAttrDialog::Browse);

  list_ = new QTreeWidget(this);
  list_->setRootIsDecorated(false);
  list_->setHeaderLabels({QStringLiteral("属性名"), QStringLiteral("値")});
  list_->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
  list_->setMinimumHeight(150);
  connect(list_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
    SelectRow(item ? list_->indexOfTopLevelItem(item) : -1);
  });
  auto* listRow = new QHBoxLayout;
  listRow->addWidget(list_, 1);
  auto* buttons = new QVBoxLayout;
  auto* add = new QPushButton(QStringLiteral("追加変更(&A)"), this);
  auto* remove = new QPushButton(QStringLiteral("削除(&X)"), this);
  buttons->addWidget(add);
  buttons->addWidget(remove);
  buttons->addStretch();
  listRow->addLayout(buttons);
  layout->addLayout(listRow, 1);
  const auto tell = [this](const QString& why) {
    if (!why.isEmpty()) QMessageBox::warning(this, windowTitle(), why);
  };
  connect(add, &QPushButton::clicked, this, [this, tell] { tell(AddOrChange()); });
  connect(remove, &QPushButton::clicked, this, [this, tell] { tell(Remove()); });
  layout->addWidget(OkCancelButtons(this));
  Fill(SIZE_MAX);
}

void PartAttrDialog::Fill(size_t select) {
  const QSignalBlocker block(list_);
  list_->clear();
  for (const PartProperty& p : PartProperties(part_)) {
    const QString name = FromCp932(p.name);
    auto* item = new QTreeWidgetItem(
        list_, {p.display ? QStringLiteral("[%1]").arg(name) : name, FromCp932(p.value)});
    item->setData(0, Qt::UserRole, static_cast<qulonglong>(p.text));
    if (p.text == select) list_->setCurrentItem(item);
  }
}

void PartAttrDialog::SelectRow(int row) {
  QTreeWidgetItem* item = list_->topLevelItem(row);
  if (item == nullptr) return;
  const size_t text = item->data(0, Qt::UserRole).toULongLong();
  for (const PartProperty& p : PartProperties(part_)) {
    if (p.text != text) continue;
    loadedName_ = p.name;
    loadedValue_ = p.value;
    name_->setText(FromCp932(p.name));
    display_->setChecked(p.display);
    const QString value = FromCp932(p.value);
    multiLine_->setChecked(BreaksToLines(value) != value);
    if (multiLine_->isChecked())
      lines_->setPlainText(BreaksToLines(value));
    else
      value_->setText(value);
  }
  if (list_->currentItem() != item) {
    const QSignalBlocker block(list_);
    list_->setCurrentItem(item);
  }
}

void PartAttrDialog::SetMultiLine(bool on) {
  if (on)
    lines_->setPlainText(BreaksToLines(value_->text()));
  else
    value_->setText(LinesToBreaks(lines_->toPlainText()));
  value_->setVisible(!on);
  lines_->setVisible(on);
}

QString PartAttrDialog::Value() const {
  return multiLine_->isChecked() ? LinesToBreaks(lines_->toPlainText()) : value_->text();
}

QString PartAttrDialog::AddOrChange() {
  const QString value = Value();
  if (QString why = EditedProblem(name_->text(), loadedName_); !why.isEmpty()) return why;
  if (QString why = EditedProblem(value, loadedValue_); !why.isEmpty()) return why;
  const std::string name = EditedCp932(name_->text(), loadedName_);
  if (const std::string why = PropertyNameProblem(name); !why.empty())
    return QString::fromStdString(why);
  const size_t text =
      SetPartProperty(part_, name, EditedCp932(value, loadedValue_), display_->isChecked());
  Fill(text);
  return {};
}

QString PartAttrDialog::Remove() {
  QTreeWidgetItem* item = list_->currentItem();
  if (item == nullptr) return QStringLiteral("削除する属性を選択してください");
  RemovePartProperty(part_, item->data(0, Qt::UserRole).toULongLong());
  Fill(SIZE_MAX);
  return {};
}

void PartAttrDialog::Browse() {
  QString file;
  if (chooseFile_) {
    file = chooseFile_();
  } else {
    const QString folder =
        sheetPath_.empty() ? QString() : QFileInfo(QString::fromStdString(sheetPath_)).path();
    file = QFileDialog::getOpenFileName(this, QStringLiteral("参照"), folder);
  }
  if (file.isEmpty()) return;
  const QString value =
      FromCp932(PropertyFileValue(file.toStdString(), sheetPath_, absolute_->isChecked()));
  if (multiLine_->isChecked()) multiLine_->setChecked(false);
  value_->setText(value);
}

}  // namespace tavro::gui
