#include "app/gui/library_browser.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QSplitter>
#include <QStyle>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "app/gui/library_list_dialog.h"
#include "app/gui/part_edit_dialog.h"
#include "app/gui/part_preview.h"
#include "app/gui/part_units.h"
#include "core/model/sheet.h"
#include "core/platform/codec.h"
#include "core/platform/dbcs.h"

namespace tavro::gui {

namespace {

// Item data roles beside Qt::UserRole (the node's item data).
constexpr int kPathRole = Qt::UserRole + 1;     // library nodes: the path (UTF-8)
constexpr int kPackageRole = Qt::UserRole + 2;  // package and gate nodes: the name (CP932)
constexpr int kFilledRole = Qt::UserRole + 3;   // library nodes: packages read

constexpr int kKindName = 1;  // a gate labelled by its gate name
constexpr int kKindRef = 2;   // a gate labelled by its reference

QString Q(const std::string& cp932) { return QString::fromStdString(Cp932ToUtf8(cp932)); }
std::string C(const QString& s) { return Utf8ToCp932(s.toStdString()); }
QByteArray Bytes(const std::string& s) {
  return QByteArray(s.data(), static_cast<qsizetype>(s.size()));
}

// The small pictures of the tree.
enum class Icon { kPackage, kGate, kGateInverted, kNamedGate, kNamedPackage };

QIcon MakeIcon(Icon which) {
  QPixmap pm(16, 16);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(40, 40, 40), 1.2));
  switch (which) {
    case Icon::kPackage:  // a chip with its pins
      p.setBrush(QColor(90, 90, 90));
      p.drawRect(QRectF(4, 2.5, 8, 11));
      for (double y : {4.5, 8.0, 11.5}) {
        p.drawLine(QPointF(1.5, y), QPointF(4, y));
        p.drawLine(QPointF(12, y), QPointF(14.5, y));
      }
      break;
    case Icon::kGate:
    case Icon::kGateInverted: {  // a gate, with the bubble of the inverted form
      QPainterPath body;
      body.moveTo(2.5, 3);
      body.lineTo(7, 3);
      body.arcTo(QRectF(2, 3, 10, 10), 90, -180);
      body.lineTo(2.5, 13);
      body.closeSubpath();
      p.setBrush(which == Icon::kGate ? QColor(250, 235, 160) : QColor(170, 215, 250));
      p.drawPath(body);
      if (which == Icon::kGateInverted) {
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(13.5, 8), 1.8, 1.8);
      }
      break;
    }
    case Icon::kNamedGate:  // one unit box
      p.setBrush(QColor(200, 235, 200));
      p.drawRect(QRectF(3, 3, 10, 10));
      p.drawLine(QPointF(5.5, 8), QPointF(10.5, 8));
      break;
    case Icon::kNamedPackage:  // a stack of unit boxes
      p.setBrush(QColor(200, 235, 200));
      p.drawRect(QRectF(6, 1.5, 8.5, 8.5));
      p.drawRect(QRectF(1.5, 6, 8.5, 8.5));
      break;
  }
  return QIcon(pm);
}

const QIcon& IconOf(Icon which) {
  static const QIcon icons[] = {MakeIcon(Icon::kPackage), MakeIcon(Icon::kGate),
                                MakeIcon(Icon::kGateInverted), MakeIcon(Icon::kNamedGate),
                                MakeIcon(Icon::kNamedPackage)};
  return icons[static_cast<int>(which)];
}

QString LibraryLabel(const std::string& path) {
  const QString p = QString::fromStdString(path);
  return QStringLiteral("%1 <%2>").arg(QFileInfo(p).fileName(), p);
}

// The label of a gate: its reference, else its gate name, else the package
// name.
std::string GateLabel(const LibIndexEntry& gate, const std::string& package) {
  if (!gate.reference.empty()) return gate.reference;
  return gate.gateName.empty() ? package : gate.gateName;
}

}  // namespace

LibraryBrowser::LibraryBrowser(Use use, QWidget* parent, Hooks hooks)
    : QDialog(parent), use_(use), hooks_(std::move(hooks)) {
  setWindowTitle(QStringLiteral("部品一覧"));
  setSizeGripEnabled(true);
  auto* layout = new QVBoxLayout(this);
  auto* split = new QSplitter(Qt::Horizontal, this);
  layout->addWidget(split, 1);

  tree_ = new QTreeWidget(split);
  tree_->setHeaderHidden(true);
  tree_->setMinimumWidth(260);
  tree_->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
  tree_->installEventFilter(this);
  split->addWidget(tree_);

  auto* side = new QWidget(split);
  auto* column = new QVBoxLayout(side);
  column->setContentsMargins(0, 0, 0, 0);
  auto* editing = new QGroupBox(QStringLiteral("部品ファイル編集"), side);
  auto* editLayout = new QVBoxLayout(editing);
  auto* buttons = new QHBoxLayout;
  copy_ = new QPushButton(QStringLiteral("コピー(&C)"), editing);
  move_ = new QPushButton(QStringLiteral("移動(&M)"), editing);
  delete_ = new QPushButton(QStringLiteral("削除(&D)"), editing);
  for (QPushButton* b : {copy_, move_, delete_}) {
    b->setAutoDefault(false);
    buttons->addWidget(b);
  }
  editLayout->addLayout(buttons);
  auto* targetLabel = new QLabel(QStringLiteral("移動コピー先(&F):"), editing);
  target_ = new QComboBox(editing);
  target_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  target_->setMinimumContentsLength(24);
  targetLabel->setBuddy(target_);
  editLayout->addWidget(targetLabel);
  editLayout->addWidget(target_);
  column->addWidget(editing);

  auto* environment = new QPushButton(QStringLiteral("環境設定(&N)"), side);
  environment->setAutoDefault(false);
  column->addWidget(environment, 0, Qt::AlignLeft);

  auto* info = new QGroupBox(QStringLiteral("部品情報"), side);
  auto* infoLayout = new QVBoxLayout(info);
  auto* form = new QFormLayout;
  for (const char* label : {"部品名", "参照名", "初期値", "素子番号", "素子数"}) {
    auto* field = new QLineEdit(info);
    field->setReadOnly(true);
    form->addRow(QString::fromUtf8(label), field);
    fields_.push_back(field);
  }
  infoLayout->addLayout(form);
  edit_ = new QPushButton(QStringLiteral("編集(&E)"), info);
  edit_->setAutoDefault(false);
  infoLayout->addWidget(edit_, 0, Qt::AlignRight);
  column->addWidget(info);

  preview_ = new PartPreview(side);
  preview_->setMinimumHeight(160);
  column->addWidget(preview_, 1);
  split->addWidget(side);
  split->setStretchFactor(0, 1);
  split->setStretchFactor(1, 1);

  auto* box = new QDialogButtonBox(this);
  if (use_ == Use::kPick) {
    box->addButton(QDialogButtonBox::Ok);
    box->addButton(QStringLiteral("キャンセル"), QDialogButtonBox::RejectRole);
  } else {
    box->addButton(QStringLiteral("閉じる"), QDialogButtonBox::RejectRole);
  }
  connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(box);

  connect(tree_, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* node) {
    if (Data(node) == 0 && !node->data(0, kFilledRole).toBool()) Fill(node);
  });
  connect(tree_, &QTreeWidget::currentItemChanged, this, [this] {
    ShowSelected();
    UpdateButtons();
  });
  connect(tree_, &QTreeWidget::itemChanged, this,
          [this](QTreeWidgetItem* node) { OnItemChanged(node); });
  connect(tree_, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* node) {
    if (use_ == Use::kPick && (IsPackage(node) || IsGate(node))) accept();
  });
  connect(copy_, &QPushButton::clicked, this, [this] { CopySelected(false); });
  connect(move_, &QPushButton::clicked, this, [this] { CopySelected(true); });
  connect(delete_, &QPushButton::clicked, this, [this] { DeleteSelected(); });
  connect(edit_, &QPushButton::clicked, this, [this] { EditSelected(); });
  connect(environment, &QPushButton::clicked, this, [this] { Environment(); });

  BuildTree(LibraryListOrStarter());
  resize(820, 560);
}

LibraryBrowser::~LibraryBrowser() = default;

// ---- nodes ----

int LibraryBrowser::Data(const QTreeWidgetItem* node) {
  return node ? node->data(0, Qt::UserRole).toInt() : kPlaceholder;
}

bool LibraryBrowser::IsPackage(const QTreeWidgetItem* node) { return Data(node) == 1; }

bool LibraryBrowser::IsGate(const QTreeWidgetItem* node) { return Data(node) >= 16; }

std::string LibraryBrowser::LibraryOf(const QTreeWidgetItem* node) {
  while (node && node->parent()) node = node->parent();
  return node ? node->data(0, kPathRole).toString().toStdString() : std::string();
}

std::string LibraryBrowser::PackageOf(const QTreeWidgetItem* node) {
  if (!node) return {};
  const QByteArray name = node->data(0, kPackageRole).toByteArray();
  return std::string(name.constData(), static_cast<size_t>(name.size()));
}

int LibraryBrowser::GateOf(const QTreeWidgetItem* node) {
  return IsGate(node) ? Data(node) / 16 : 0;
}

void LibraryBrowser::BuildTree(const std::vector<std::string>& libraries) {
  libraries_ = libraries;
  updating_ = true;
  tree_->clear();
  target_->clear();
  int widest = 0;
  const QFontMetrics metrics(target_->view()->font());
  for (const std::string& path : libraries_) {
    auto* node = new QTreeWidgetItem(tree_, {LibraryLabel(path)});
    node->setData(0, Qt::UserRole, 0);
    node->setData(0, kPathRole, QString::fromStdString(path));
    node->setIcon(0, style()->standardIcon(QStyle::SP_DirIcon));
    auto* placeholder = new QTreeWidgetItem(node);
    placeholder->setData(0, Qt::UserRole, kPlaceholder);
    target_->addItem(QString::fromStdString(path));
    widest = std::max(widest, metrics.horizontalAdvance(QString::fromStdString(path)));
  }
  // The drop-down shows the longest path whole.
  target_->view()->setMinimumWidth(widest + 40);
  if (target_->count() > 1) target_->setCurrentIndex(1);
  updating_ = false;
  ShowSelected();
  UpdateButtons();
}

QTreeWidgetItem* LibraryBrowser::LibraryNode(const std::string& library) const {
  for (int i = 0; i < tree_->topLevelItemCount(); ++i) {
    QTreeWidgetItem* node = tree_->topLevelItem(i);
    if (LibraryOf(node) == library) return node;
  }
  return nullptr;
}

bool LibraryBrowser::Fill(QTreeWidgetItem* libraryNode) {
  const std::string library = LibraryOf(libraryNode);
  std::optional<std::vector<LibPackage>> packages = ListLibrary(library, Prompts());
  updating_ = true;
  qDeleteAll(libraryNode->takeChildren());
  if (!packages) {
    // Nothing to show; a later expansion tries again.
    libraryNode->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    libraryNode->setData(0, kFilledRole, false);
    libraryNode->setExpanded(false);
    updating_ = false;
    return false;
  }
  std::stable_sort(packages->begin(), packages->end(),
                   [](const LibPackage& a, const LibPackage& b) {
                     const int c = CompareNoCase(a.name, b.name);
                     return c != 0 ? c < 0 : a.name < b.name;
                   });
  for (const LibPackage& pkg : *packages) {
    auto* node = new QTreeWidgetItem(libraryNode, {Q(pkg.name)});
    node->setData(0, Qt::UserRole, 1);
    node->setData(0, kPackageRole, Bytes(pkg.name));
    node->setFlags(node->flags() | Qt::ItemIsEditable);
    node->setIcon(0, IconOf(Icon::kPackage));
    if (pkg.gates.size() < 2) continue;
    for (size_t i = 0; i < pkg.gates.size(); ++i) {
      const LibIndexEntry& g = pkg.gates[i];
      const bool byRef = !g.reference.empty();
      auto* gate = new QTreeWidgetItem(node, {Q(GateLabel(g, pkg.name))});
      gate->setData(0, Qt::UserRole, static_cast<int>(i + 1) * 16 + (byRef ? kKindRef : kKindName));
      gate->setData(0, kPackageRole, Bytes(pkg.name));
      if (byRef) {
        gate->setIcon(0, IconOf((g.attr & kPartInverted) != 0 ? Icon::kGateInverted : Icon::kGate));
      } else {
        gate->setIcon(0, IconOf(Icon::kNamedGate));
        node->setIcon(0, IconOf(Icon::kNamedPackage));
      }
    }
  }
  libraryNode->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
  libraryNode->setData(0, kFilledRole, true);
  updating_ = false;
  return true;
}

QTreeWidgetItem* LibraryBrowser::PackageNode(const std::string& library,
                                             const std::string& package) {
  QTreeWidgetItem* lib = LibraryNode(library);
  if (!lib) return nullptr;
  if (!lib->data(0, kFilledRole).toBool() && !Fill(lib)) return nullptr;
  for (int i = 0; i < lib->childCount(); ++i)
    if (PackageOf(lib->child(i)) == package) return lib->child(i);
  return nullptr;
}

void LibraryBrowser::Select(QTreeWidgetItem* node) {
  if (!node) return;
  for (QTreeWidgetItem* up = node->parent(); up; up = up->parent()) up->setExpanded(true);
  tree_->setCurrentItem(node);
  tree_->scrollToItem(node);
}

void LibraryBrowser::Reload(const std::string& library, const std::string& package, int gate) {
  QTreeWidgetItem* lib = LibraryNode(library);
  if (!lib || !lib->data(0, kFilledRole).toBool()) return;
  const bool expanded = lib->isExpanded();
  QTreeWidgetItem* current = tree_->currentItem();
  const bool selectedHere = current && LibraryOf(current) == library;
  const std::string keepPackage = selectedHere ? PackageOf(current) : std::string();
  const int keepGate = selectedHere ? GateOf(current) : 0;
  if (selectedHere) tree_->setCurrentItem(lib);
  Fill(lib);
  lib->setExpanded(expanded);
  const std::string wanted = !package.empty() ? package : keepPackage;
  const int wantedGate = !package.empty() ? gate : keepGate;
  if (wanted.empty()) return;
  QTreeWidgetItem* node = PackageNode(library, wanted);
  if (!node) return;
  if (wantedGate > 0 && node->childCount() > 0)
    node = node->child(std::min(wantedGate, node->childCount()) - 1);
  Select(node);
}

// ---- what is shown ----

void LibraryBrowser::ShowSelected() {
  QTreeWidgetItem* node = tree_->currentItem();
  CPart part;
  bool shown = false;
  if (IsPackage(node) || IsGate(node)) {
    CLibrary lib(Prompts());
    shown = lib.GetPart(part, LibraryOf(node), PackageOf(node), std::max(1, GateOf(node))) == 1;
  }
  if (!shown) {
    for (QLineEdit* f : fields_) f->clear();
    preview_->SetPart(std::nullopt);
    return;
  }
  fields_[0]->setText(Q(part.GetPartName()));
  fields_[1]->setText(Q(part.GetRefName()));
  fields_[2]->setText(Q(part.GetValName()));
  fields_[3]->setText(QString::number(part.GetPackage()));
  fields_[4]->setText(QString::number(part.GetPackageMax()));
  preview_->SetPart(std::move(part));
}

QStringList LibraryBrowser::Fields() const {
  QStringList out;
  for (const QLineEdit* f : fields_) out << f->text();
  return out;
}

void LibraryBrowser::UpdateButtons() {
  QTreeWidgetItem* node = tree_->currentItem();
  const bool onPackage = IsPackage(node) || IsGate(node);
  for (QPushButton* b : {copy_, move_, delete_, edit_}) b->setEnabled(onPackage);
}

void LibraryBrowser::SetTarget(const std::string& library) {
  const int i = target_->findText(QString::fromStdString(library));
  if (i >= 0) target_->setCurrentIndex(i);
}

// ---- questions and messages ----

bool LibraryBrowser::Ask(const QString& question, bool okCancel) {
  if (hooks_.ask) return hooks_.ask(question);
  if (okCancel)
    return QMessageBox::question(this, windowTitle(), question,
                                 QMessageBox::Ok | QMessageBox::Cancel,
                                 QMessageBox::Cancel) == QMessageBox::Ok;
  return QMessageBox::question(this, windowTitle(), question, QMessageBox::Yes | QMessageBox::No,
                               QMessageBox::No) == QMessageBox::Yes;
}

void LibraryBrowser::Warn(const QString& message) {
  if (hooks_.warn) {
    hooks_.warn(message);
    return;
  }
  QMessageBox::warning(this, windowTitle(), message);
}

LibraryPrompts LibraryBrowser::Prompts() {
  lastAsked_.clear();
  shown_.clear();
  return {[this](std::string_view question) {
            lastAsked_ = question;
            return Ask(QString::fromUtf8(question.data(), static_cast<qsizetype>(question.size())),
                       false);
          },
          [this](std::string_view message) {
            shown_.emplace_back(message);
            Warn(QString::fromUtf8(message.data(), static_cast<qsizetype>(message.size())));
          }};
}

bool LibraryBrowser::Report(const LibOpResult& result) {
  if (result.ok()) return true;
  // A question the user answered no, or a message the library showed
  // already, is not told again.
  const std::string& m = result.message;
  if (!m.empty() && m != lastAsked_ && std::find(shown_.begin(), shown_.end(), m) == shown_.end())
    Warn(QString::fromStdString(m));
  return false;
}

// ---- the commands ----

bool LibraryBrowser::DeleteSelected() {
  QTreeWidgetItem* node = tree_->currentItem();
  if (!IsPackage(node) && !IsGate(node)) return false;
  const std::string library = LibraryOf(node);
  const std::string package = PackageOf(node);
  const int gate = GateOf(node);
  const std::string label = gate > 0 ? C(node->text(0)) : package;
  if (!Ask(QString::fromStdString(DeleteQuestion(label)), true)) return false;
  if (!Report(tavro::DeletePackage(library, package, gate, Prompts()))) return false;
  // A package that lost a gate is selected again; one that is gone leaves
  // its library selected.
  tree_->setCurrentItem(LibraryNode(library));
  Reload(library);
  if (gate > 0) Select(PackageNode(library, package));
  return true;
}

bool LibraryBrowser::CopySelected(bool move) {
  QTreeWidgetItem* node = tree_->currentItem();
  if (!IsPackage(node) && !IsGate(node)) return false;
  const std::string from = LibraryOf(node);
  const std::string package = PackageOf(node);
  const std::string to = target_->currentText().toStdString();
  if (to.empty() || to == from) return false;
  const LibOpResult r = CopyPackage(from, package, to, move, Prompts());
  if (!Report(r) || r.status != LibOpStatus::kDone) return false;
  if (move) tree_->setCurrentItem(LibraryNode(from));
  Reload(from);
  Reload(to);
  if (move) {
    QTreeWidgetItem* lib = LibraryNode(to);
    if (lib) lib->setExpanded(true);
    Select(PackageNode(to, package));
  }
  return true;
}

bool LibraryBrowser::RenamePackage(QTreeWidgetItem* node, const QString& name) {
  if (!IsPackage(node)) return false;
  const std::string library = LibraryOf(node);
  const std::string oldName = PackageOf(node);
  const std::string newName = C(name.trimmed());
  auto revert = [&] {
    updating_ = true;
    node->setText(0, Q(oldName));
    updating_ = false;
  };
  if (newName.empty() || newName == oldName) {
    revert();
    return false;
  }
  if (Cp932ToUtf8(newName) != name.trimmed().toStdString()) {
    revert();
    Warn(QStringLiteral("「%1」には使えない文字があります").arg(name));
    return false;
  }
  const LibOpResult r = tavro::RenamePackage(library, oldName, newName, Prompts());
  if (!Report(r) || r.status != LibOpStatus::kDone) {
    revert();
    return false;
  }
  tree_->setCurrentItem(LibraryNode(library));
  Reload(library, newName);
  return true;
}

void LibraryBrowser::OnItemChanged(QTreeWidgetItem* node) {
  if (updating_ || !IsPackage(node) || node->text(0) == Q(PackageOf(node))) return;
  // The label was edited: renamed once the editor has let go of the node
  // (the rename reads the library's nodes again).
  const std::string library = LibraryOf(node);
  const std::string package = PackageOf(node);
  const QString name = node->text(0);
  QTimer::singleShot(0, this, [this, library, package, name] {
    if (QTreeWidgetItem* n = PackageNode(library, package)) RenamePackage(n, name);
  });
}

bool LibraryBrowser::EditSelected() {
  QTreeWidgetItem* node = tree_->currentItem();
  if (!IsPackage(node) && !IsGate(node)) return false;
  const std::string library = LibraryOf(node);
  const std::string package = PackageOf(node);
  const int nodeGate = GateOf(node);
  const int gate = std::max(1, nodeGate);
  CLibrary lib(Prompts());
  lib.SetLibraryName(library);
  CSheet gates(kSheetScratch);
  lib.SetPackageName(package);
  if (lib.ReadFile() != 1 || lib.ReadPart(gates, false) != 1 || gates.Parts().empty()) {
    Report({LibOpStatus::kFailed, lib.LastMessage().empty()
                                      ? "パッケージ " + Cp932ToUtf8(package) + " が読めません"
                                      : lib.LastMessage()});
    return false;
  }
  const size_t at = std::min<size_t>(gate, gates.Parts().size()) - 1;
  CPart part = *gates.Parts()[at];
  if (hooks_.editPart) {
    if (!hooks_.editPart(part)) return false;
  } else {
    PartEditDialog dialog(part, this);
    if (dialog.exec() != QDialog::Accepted) return false;
    part = dialog.Result();
  }
  *gates.Parts()[at] = part;
  if (!Report(RewritePackage(library, package, gates, Prompts()))) return false;
  Reload(library, package, nodeGate);
  return true;
}

void LibraryBrowser::Environment() {
  const std::vector<std::string> before = libraries_;
  const bool stored = hooks_.libraryList ? hooks_.libraryList() : LibraryListDialog::Run(this);
  if (!stored) return;
  CLibrary lib;
  const std::vector<std::string> after = lib.ReadLibraryList();
  if (LibraryListsDiffer(before, after)) BuildTree(after);
}

bool LibraryBrowser::eventFilter(QObject* watched, QEvent* event) {
  // Del on the tree deletes (while a label is edited, its editor has the keys).
  if (watched == tree_ && event->type() == QEvent::KeyPress &&
      static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
    DeleteSelected();
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

void LibraryBrowser::accept() {
  picked_.reset();
  QTreeWidgetItem* node = tree_->currentItem();
  if (use_ == Use::kPick && (IsPackage(node) || IsGate(node)) && preview_->Part()) {
    const int gate = std::max(1, GateOf(node));
    picked_ = PickedPart{*preview_->Part(), LibraryOf(node), PackageOf(node), gate};
  }
  QDialog::accept();
}

}  // namespace tavro::gui
