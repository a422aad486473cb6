#include "app/gui/sheet_info_dialog.h"

#include <QDateTime>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "core/file/document.h"

namespace tavro::gui {

namespace {

QString Q(const std::string& utf8) { return QString::fromStdString(utf8); }

QString TitleSourceLabel(TitleSource s) {
  switch (s) {
    case TitleSource::kEmbedded:
      return QStringLiteral("図面に埋め込み");
    case TitleSource::kFile:
      return QStringLiteral("図枠ファイル");
    default:
      return QStringLiteral("なし");
  }
}

// Local (Japanese) time, as the system's dates are.
QString Time(std::time_t t) {
  if (t == 0) return QStringLiteral("不明");
  return QDateTime::fromSecsSinceEpoch(static_cast<qint64>(t))
      .toString(QStringLiteral("yyyy/MM/dd HH:mm:ss"));
}

}  // namespace

SheetInfoDialog::SheetInfoDialog(const CSheetDoc& doc, QWidget* parent)
    : QDialog(parent), info_(GetSheetInfo(doc, doc.GetPath())) {
  setWindowTitle(QStringLiteral("図面の情報"));
  auto* layout = new QVBoxLayout(this);

  auto* form = new QFormLayout;
  auto fact = [this, form](const char* label, const char* name, const QString& text) {
    auto* value = new QLabel(text, this);
    value->setObjectName(QString::fromUtf8(name));
    value->setTextInteractionFlags(Qt::TextSelectableByMouse);
    form->addRow(QString::fromUtf8(label), value);
  };
  const CRect& v = info_.view;
  fact("ファイル:", "file", info_.path.empty() ? QStringLiteral("(無題)") : Q(info_.path));
  fact("ファイルの版:", "version", QString::number(info_.version));
  fact("用紙:", "paper",
       QStringLiteral("%1 (%2)")
           .arg(info_.paper.empty() ? QStringLiteral("不明") : Q(info_.paper))
           .arg(info_.sizeCode));
  fact("作図領域:", "work", QStringLiteral("%1 x %2").arg(info_.workWidth).arg(info_.workHeight));
  fact("表示範囲:", "view",
       QStringLiteral("(%1, %2) - (%3, %4)").arg(v.left).arg(v.top).arg(v.right).arg(v.bottom));
  fact("図枠:", "title",
       QStringLiteral("%1 (%2)").arg(
           info_.titleFile.empty() ? QStringLiteral("なし") : Q(info_.titleFile),
           TitleSourceLabel(info_.titleSource)));
  fact("作成日時:", "created", Time(info_.times.creation));
  fact("更新日時:", "modified", Time(info_.times.lastWrite));
  fact("アクセス日時:", "accessed", Time(info_.times.lastAccess));
  layout->addLayout(form);

  auto* columns = new QHBoxLayout;
  auto* countBox = new QGroupBox(QStringLiteral("アイテム数"), this);
  auto* countLayout = new QVBoxLayout(countBox);
  counts_ = new QTableWidget(static_cast<int>(info_.mainCounts.size()), 3, countBox);
  counts_->setObjectName(QStringLiteral("counts"));
  counts_->setHorizontalHeaderLabels(
      {QStringLiteral("種類"), QStringLiteral("図面"), QStringLiteral("図枠")});
  counts_->verticalHeader()->setVisible(false);
  counts_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  counts_->setSelectionMode(QAbstractItemView::NoSelection);
  counts_->setFocusPolicy(Qt::NoFocus);
  for (size_t i = 0; i < info_.mainCounts.size(); ++i) {
    const int row = static_cast<int>(i);
    counts_->setItem(row, 0, new QTableWidgetItem(QString::fromUtf8(info_.mainCounts[i].label)));
    const size_t inTitle = i < info_.titleCounts.size() ? info_.titleCounts[i].count : 0;
    for (const auto& [column, n] :
         {std::pair{1, info_.mainCounts[i].count}, std::pair{2, inTitle}}) {
      auto* item = new QTableWidgetItem(QString::number(n));
      item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      counts_->setItem(row, column, item);
    }
  }
  QHeaderView* header = counts_->horizontalHeader();
  header->setSectionResizeMode(0, QHeaderView::Stretch);
  header->setSectionResizeMode(1, QHeaderView::ResizeToContents);
  header->setSectionResizeMode(2, QHeaderView::ResizeToContents);
  counts_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
  counts_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  counts_->setMinimumSize(260,
                          counts_->verticalHeader()->defaultSectionSize() * counts_->rowCount() +
                              header->sizeHint().height() + 2 * counts_->frameWidth());
  counts_->setMaximumHeight(counts_->minimumHeight());
  countLayout->addWidget(counts_);
  countLayout->addStretch(1);
  columns->addWidget(countBox, 1);

  auto* propBox = new QGroupBox(QStringLiteral("図面のプロパティ"), this);
  auto* propLayout = new QVBoxLayout(propBox);
  properties_ = new QListWidget(propBox);
  properties_->setObjectName(QStringLiteral("properties"));
  for (const std::string& p : info_.properties) properties_->addItem(Q(p));
  propLayout->addWidget(properties_);
  if (info_.properties.empty()) {
    properties_->hide();
    propLayout->addWidget(new QLabel(QStringLiteral("(なし)"), propBox), 0, Qt::AlignTop);
  }
  columns->addWidget(propBox, 1);
  layout->addLayout(columns, 1);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("閉じる"));
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::accept);
  layout->addWidget(buttons);
  resize(600, 470);
}

bool SheetInfoDialog::Run(QWidget* parent, const CSheetDoc& doc) {
  SheetInfoDialog dialog(doc, parent);
  return dialog.exec() == QDialog::Accepted;
}

QString SheetInfoDialog::Fact(const QString& name) const {
  const auto* label = findChild<QLabel*>(name);
  return label ? label->text() : QString();
}

}  // namespace tavro::gui
