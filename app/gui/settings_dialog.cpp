#include "app/gui/settings_dialog.h"

#include <QBrush>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <set>

#include "app/setting_meaning.h"
#include "app/setting_value.h"
#include "core/platform/codec.h"
#include "core/platform/dbcs.h"

namespace tavro::gui {

namespace {

QString Q(const std::string& utf8) { return QString::fromStdString(utf8); }
QString FromCp(const std::string& cp932) { return Q(Cp932ToUtf8(cp932)); }

constexpr int kRowRole = Qt::UserRole;

// The settings page of a section, for the section's row.
const char* PageName(std::string_view section) {
  static const std::pair<const char*, const char*> kPages[] = {
      {"Sheet", "図面"},
      {"Color", "表示/認識"},
      {"Default", "初期設定"},
      {"Text", "テキスト入力"},
      {"CopyIncrement", "コピー＆編集"},
      {"Line", "線入力"},
      {"FileSave", "保存"},
      {"Printer", "印刷"},
      {"Tool", "ツール"},
      {"Settings", "設定"},
      {"PDF", "PDF変換"},
      {"Find", "検索"},
      {"CleanSection", "図面整理"},
      {"MakePart", "部品作成"},
      {"Recent Part List", "最近使った部品"},
      {"Recent File List", "最近使ったファイル"},
      {"Project File List", "最近使ったプロジェクト"},
      {"Library File List", "ライブラリ"},
      {"Library Convert", "ライブラリ変換"},
  };
  for (const auto& [name, page] : kPages)
    if (EqualNoCase(section, name)) return page;
  return "";
}

// A colour setting's colour, for a swatch beside its meaning.
std::optional<QColor> ColourOf(std::string_view section, const std::string& value) {
  if (!EqualNoCase(section, "Color")) return std::nullopt;
  const auto n = ParseSettingInt(value.substr(0, value.find(' ')));
  if (!n || *n < 0 || *n > 0xFFFFFF) return std::nullopt;
  return QColor(*n & 0xFF, (*n >> 8) & 0xFF, (*n >> 16) & 0xFF);
}

// Only the value column is edited in place.
class ValueDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const override {
    if (index.column() != SettingsDialog::kValueColumn) return nullptr;
    return QStyledItemDelegate::createEditor(parent, option, index);
  }
};

}  // namespace

SettingsDialog::SettingsDialog(Settings& settings, QWidget* parent)
    : QDialog(parent), settings_(settings) {
  setWindowTitle(QStringLiteral("設定"));
  auto* layout = new QVBoxLayout(this);

  const std::string& path = settings_.Path();
  auto* where = new QLabel(
      path.empty() ? QStringLiteral("設定ファイルがありません (変更はこの実行の間だけ有効です)")
                   : QStringLiteral("設定ファイル: %1").arg(Q(path)),
      this);
  where->setTextInteractionFlags(Qt::TextSelectableByMouse);
  layout->addWidget(where);

  auto* filterRow = new QHBoxLayout;
  auto* filterLabel = new QLabel(QStringLiteral("絞り込み(&F):"), this);
  filter_ = new QLineEdit(this);
  filter_->setObjectName(QStringLiteral("filter"));
  filter_->setPlaceholderText(QStringLiteral("セクション、キー、値または意味の一部"));
  filter_->setClearButtonEnabled(true);
  filterLabel->setBuddy(filter_);
  filterRow->addWidget(filterLabel);
  filterRow->addWidget(filter_, 1);
  layout->addLayout(filterRow);

  tree_ = new QTreeWidget(this);
  tree_->setObjectName(QStringLiteral("settings"));
  tree_->setColumnCount(4);
  tree_->setHeaderLabels({QStringLiteral("キー"), QStringLiteral("値"), QStringLiteral("既定値"),
                          QStringLiteral("意味")});
  tree_->setItemDelegate(new ValueDelegate(tree_));
  tree_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                         QAbstractItemView::SelectedClicked);
  tree_->setAlternatingRowColors(true);
  tree_->setUniformRowHeights(true);
  tree_->header()->setStretchLastSection(true);
  layout->addWidget(tree_, 1);

  status_ = new QLabel(this);
  status_->setObjectName(QStringLiteral("problem"));
  status_->setWordWrap(true);
  status_->setStyleSheet(QStringLiteral("color: #b00000;"));
  layout->addWidget(status_);

  auto* buttons = new QDialogButtonBox(
      QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Apply, this);
  buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));
  buttons->button(QDialogButtonBox::Apply)->setText(QStringLiteral("適用(&A)"));
  reset_ = buttons->addButton(QStringLiteral("既定値に戻す(&D)"), QDialogButtonBox::ResetRole);
  reset_->setObjectName(QStringLiteral("reset"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(buttons->button(QDialogButtonBox::Apply), &QPushButton::clicked, this, [this] {
    if (!Apply()) QMessageBox::warning(this, windowTitle(), problem_);
  });
  connect(reset_, &QPushButton::clicked, this, &SettingsDialog::ResetCurrent);
  layout->addWidget(buttons);

  Build();
  connect(tree_, &QTreeWidget::itemChanged, this, &SettingsDialog::Edited);
  connect(tree_, &QTreeWidget::currentItemChanged, this, &SettingsDialog::CurrentChanged);
  connect(filter_, &QLineEdit::textChanged, this, &SettingsDialog::Filter);
  CurrentChanged();

  tree_->setColumnWidth(kKeyColumn, 230);
  tree_->setColumnWidth(kValueColumn, 170);
  tree_->setColumnWidth(kDefaultColumn, 130);
  resize(900, 620);
}

bool SettingsDialog::Run(QWidget* parent, Settings& settings) {
  SettingsDialog dialog(settings, parent);
  return dialog.exec() == QDialog::Accepted;
}

void SettingsDialog::Build() {
  // The table of defaults in its order, then what the file holds besides,
  // each in the section it belongs to.
  std::vector<Row> rows;
  std::set<std::string> listed;
  auto add = [&](const std::string& section, const std::string& key) {
    if (!listed.insert(ToUpper(section + '\x01' + key)).second) return;
    Row row;
    row.section = section;
    row.key = key;
    rows.push_back(std::move(row));
  };
  for (const SettingDefault& d : SettingDefaults()) add(d.section, d.key);
  for (const Settings::Entry& e : settings_.Entries()) add(e.section, e.key);
  std::vector<std::pair<std::string, QTreeWidgetItem*>> sections;
  rows_.reserve(rows.size());
  for (Row& row : rows) {
    QTreeWidgetItem* parent = nullptr;
    for (const auto& [name, item] : sections)
      if (EqualNoCase(name, row.section)) parent = item;
    if (!parent) {
      parent = new QTreeWidgetItem(tree_);
      const char* page = PageName(row.section);
      parent->setText(kKeyColumn, FromCp(row.section));
      parent->setText(kMeaningColumn, QString::fromUtf8(page));
      QFont bold = parent->font(kKeyColumn);
      bold.setBold(true);
      parent->setFont(kKeyColumn, bold);
      parent->setFlags(Qt::ItemIsEnabled);
      sections.emplace_back(row.section, parent);
    }
    AddRow(parent, std::move(row));
  }
  for (const auto& [name, item] : sections) {
    item->setText(kValueColumn, QStringLiteral("%1 件").arg(item->childCount()));
    item->setExpanded(true);
  }
}

void SettingsDialog::AddRow(QTreeWidgetItem* section, Row row) {
  row.binary = settings_.GetBinary(row.section, row.key).has_value();
  row.defaultText = SettingDefaultText(row.section, row.key);
  row.item = new QTreeWidgetItem(section);
  row.item->setData(kKeyColumn, kRowRole, static_cast<int>(rows_.size()));
  row.item->setText(kKeyColumn, FromCp(row.key));
  row.item->setText(kDefaultColumn,
                    row.defaultText ? Q(*row.defaultText) : QStringLiteral("(なし)"));
  Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
  if (!row.binary) flags |= Qt::ItemIsEditable;
  row.item->setFlags(flags);
  rows_.push_back(std::move(row));
  Reload(rows_.back());
}

SettingsDialog::Row* SettingsDialog::RowOf(QTreeWidgetItem* item) {
  if (!item) return nullptr;
  const QVariant v = item->data(kKeyColumn, kRowRole);
  if (!v.isValid()) return nullptr;
  const int i = v.toInt();
  return i >= 0 && i < static_cast<int>(rows_.size()) ? &rows_[static_cast<size_t>(i)] : nullptr;
}

const SettingsDialog::Row* SettingsDialog::FindRow(const QString& section,
                                                   const QString& key) const {
  const std::string s = Utf8ToCp932(section.toStdString());
  const std::string k = Utf8ToCp932(key.toStdString());
  for (const Row& row : rows_)
    if (EqualNoCase(row.section, s) && EqualNoCase(row.key, k)) return &row;
  return nullptr;
}

SettingsDialog::Row* SettingsDialog::FindRow(const QString& section, const QString& key) {
  return const_cast<Row*>(std::as_const(*this).FindRow(section, key));
}

QTreeWidgetItem* SettingsDialog::ItemOf(const QString& section, const QString& key) const {
  const Row* row = FindRow(section, key);
  return row ? row->item : nullptr;
}

QString SettingsDialog::Name(const Row& row) { return FromCp(row.section + "/" + row.key); }

void SettingsDialog::Reload(Row& row) {
  row.stored = settings_.Has(row.section, row.key);
  row.current = SettingValueText(settings_, row.section, row.key);
  row.change = Change::kNone;
  row.typed.clear();
  row.refused.reset();
  Show(row);
}

void SettingsDialog::Show(Row& row) {
  const bool wasShowing = showing_;
  showing_ = true;
  QTreeWidgetItem* item = row.item;
  std::string value = row.current;
  if (row.change == Change::kSet) value = row.typed;
  if (row.change == Change::kReset) value = row.defaultText.value_or(std::string());
  item->setText(kValueColumn, Q(value));

  QString meaning;
  if (row.refused) {
    meaning = QStringLiteral("× %1").arg(Q(*row.refused));
  } else if (row.binary) {
    meaning = QStringLiteral("バイナリ値 (編集できません)");
  } else if (auto m = DescribeSetting(row.section, row.key, value)) {
    meaning = Q(*m);
  }
  if (row.change == Change::kReset && !row.defaultText) meaning = QStringLiteral("削除します");
  item->setText(kMeaningColumn, meaning);
  item->setForeground(kMeaningColumn, row.refused ? QBrush(QColor(0xB0, 0, 0)) : QBrush());
  item->setForeground(kValueColumn, row.refused ? QBrush(QColor(0xB0, 0, 0)) : QBrush());
  if (auto colour = row.refused ? std::nullopt : ColourOf(row.section, value)) {
    QPixmap swatch(12, 12);
    swatch.fill(*colour);
    item->setIcon(kMeaningColumn, QIcon(swatch));
  } else {
    item->setIcon(kMeaningColumn, QIcon());
  }
  // Stored values in bold, changes not yet stored on a tinted ground.
  const bool own = row.change == Change::kSet || (row.stored && row.change != Change::kReset);
  QFont font = item->font(kValueColumn);
  font.setBold(own);
  item->setFont(kValueColumn, font);
  const QBrush tint = row.change == Change::kNone ? QBrush() : QBrush(QColor(0xFF, 0xF4, 0xC0));
  for (int c = 0; c < 4; ++c) item->setBackground(c, tint);
  QString tip = row.refused  ? Q(*row.refused)
                : row.stored ? QStringLiteral("設定ファイルの値")
                             : QStringLiteral("既定値");
  item->setToolTip(kValueColumn, tip);
  showing_ = wasShowing;
}

void SettingsDialog::Edited(QTreeWidgetItem* item, int column) {
  if (showing_ || column != kValueColumn) return;
  if (Row* row = RowOf(item)) Typed(*row, item->text(kValueColumn).toStdString());
}

void SettingsDialog::Typed(Row& row, const std::string& text) {
  row.refused = CheckSettingValue(row.section, row.key, text);
  // A text value holds CP932: characters it has no form for would be lost.
  size_t lost = 0;
  Utf8ToCp932(text, &lost);
  if (!row.refused && lost > 0)
    row.refused = "has characters the settings file cannot hold (Shift-JIS)";
  if (!row.refused && text == row.current) {
    row.change = Change::kNone;
    row.typed.clear();
  } else {
    row.change = Change::kSet;
    row.typed = text;
  }
  Show(row);
  if (row.refused)
    ShowProblem(QStringLiteral("%1: %2").arg(Name(row), Q(*row.refused)));
  else
    ShowProblem({});
  CurrentChanged();
}

QString SettingsDialog::SetValue(const QString& section, const QString& key, const QString& text) {
  Row* row = FindRow(section, key);
  if (!row) return QStringLiteral("unknown setting");
  if (row->binary) return QStringLiteral("holds binary data and is set by the editor only");
  // As an edit of the cell does.
  showing_ = true;
  row->item->setText(kValueColumn, text);
  showing_ = false;
  Typed(*row, text.toStdString());
  return row->refused ? Q(*row->refused) : QString();
}

bool SettingsDialog::ResetValue(const QString& section, const QString& key) {
  Row* row = FindRow(section, key);
  if (!row || row->binary) return false;
  row->refused.reset();
  row->typed.clear();
  row->change = row->stored ? Change::kReset : Change::kNone;
  Show(*row);
  ShowProblem({});
  CurrentChanged();
  return true;
}

void SettingsDialog::ResetCurrent() {
  if (Row* row = RowOf(tree_->currentItem())) ResetValue(FromCp(row->section), FromCp(row->key));
}

void SettingsDialog::CurrentChanged() {
  const Row* row = RowOf(tree_->currentItem());
  reset_->setEnabled(row && !row->binary && (row->stored || row->change != Change::kNone));
}

int SettingsDialog::PendingChanges() const {
  int n = 0;
  for (const Row& row : rows_)
    if (row.change != Change::kNone) ++n;
  return n;
}

bool SettingsDialog::Apply() {
  problem_.clear();
  for (Row& row : rows_) {
    if (!row.refused) continue;
    problem_ = QStringLiteral("%1: %2").arg(Name(row), Q(*row.refused));
    tree_->setCurrentItem(row.item);
    ShowProblem(problem_);
    return false;
  }
  for (Row& row : rows_) {
    if (row.change == Change::kNone) continue;
    const bool ok = row.change == Change::kReset
                        ? settings_.DeleteValue(row.section, row.key)
                        : StoreSettingValue(settings_, row.section, row.key, row.typed);
    if (!ok) {
      problem_ = QStringLiteral("ファイル %1 を作成できません (%2)")
                     .arg(Q(settings_.Path()), Q(settings_.LastError()));
      tree_->setCurrentItem(row.item);
      ShowProblem(problem_);
      return false;
    }
    Reload(row);
  }
  ShowProblem({});
  CurrentChanged();
  return true;
}

void SettingsDialog::accept() {
  if (!Apply()) {
    QMessageBox::warning(this, windowTitle(), problem_);
    return;
  }
  QDialog::accept();
}

void SettingsDialog::Filter(const QString& text) {
  const QString want = text.trimmed();
  for (int i = 0; i < tree_->topLevelItemCount(); ++i) {
    QTreeWidgetItem* section = tree_->topLevelItem(i);
    const bool sectionMatches = want.isEmpty() ||
                                section->text(kKeyColumn).contains(want, Qt::CaseInsensitive) ||
                                section->text(kMeaningColumn).contains(want, Qt::CaseInsensitive);
    int shown = 0;
    for (int j = 0; j < section->childCount(); ++j) {
      QTreeWidgetItem* item = section->child(j);
      bool match = sectionMatches;
      for (int c = 0; c < 4 && !match; ++c)
        match = item->text(c).contains(want, Qt::CaseInsensitive);
      item->setHidden(!match);
      if (match) ++shown;
    }
    section->setHidden(shown == 0);
  }
}

void SettingsDialog::ShowProblem(const QString& text) { status_->setText(text); }

}  // namespace tavro::gui
