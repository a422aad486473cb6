#include "app/gui/edit_actions.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QGuiApplication>
#include <QKeySequence>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QStringList>
#include <QWidget>
#include <algorithm>
#include <iterator>
#include <memory>
#include <optional>
#include <set>

#include "app/gui/attribute_fields.h"
#include "app/gui/continuous_edit.h"
#include "app/gui/copy_increment.h"
#include "app/gui/dialog_parts.h"
#include "app/gui/editor_document.h"
#include "app/gui/image_export.h"
#include "app/gui/library_browser.h"
#include "app/gui/line_edit_dialog.h"
#include "app/gui/part_edit_dialog.h"
#include "app/gui/part_units.h"
#include "app/gui/pin_edit_dialog.h"
#include "app/gui/print.h"
#include "app/gui/register_parts_dialog.h"
#include "app/gui/sheet_view.h"
#include "app/gui/text_edit_dialog.h"
#include "core/file/archive.h"
#include "core/net/connectivity.h"
#include "core/platform/codec.h"
#include "core/platform/settings.h"
#include "library/library_ops.h"

namespace tavro::gui {

namespace {

// The part selected alone, or null.
const CPart* SinglePart(const EditorDocument& doc) {
  const Selection& s = doc.Selected();
  if (s.Count() != 1 || s.Entries(kSelParts).size() != 1) return nullptr;
  return doc.Sheet().Parts()[s.Entries(kSelParts).front().index].get();
}

// The item 修正 opens an editor on: the first list of the selection that
// has an editor (wires, buses, graphic lines, free texts, free pins, parts)
// and in it the selected item that comes first in the editing order (the
// first in list order for parts).
struct EditTarget {
  SelList list;
  uint32_t index;
};

template <class Sheet>
auto& LinesOf(Sheet& sheet, SelList list) {
  return list == kSelWires ? sheet.Wires() : list == kSelBuses ? sheet.Buses() : sheet.Lines();
}

// The stored record of a part, to tell whether an editor changed it.
std::string PartRecord(const CPart& part) {
  CArchive ar;
  part.DataWrite(ar);
  return ar.TakeBuffer();
}

constexpr SelList kEditableLists[] = {kSelWires, kSelBuses, kSelLines,
                                      kSelTexts, kSelPins,  kSelParts};

std::optional<EditTarget> AttributeTarget(const EditorDocument& doc) {
  const Selection& s = doc.Selected();
  const CSheet& sheet = doc.Sheet();
  for (SelList list : kEditableLists) {
    const std::vector<SelEntry>& entries = s.Entries(list);
    if (entries.empty()) continue;
    const uint32_t first = entries.front().index;
    std::vector<uint32_t> order;
    if (list == kSelTexts) order = TextEditingOrder(sheet.Texts());
    if (list == kSelPins) order = PinEditingOrder(sheet.Pins());
    if (list == kSelWires || list == kSelBuses || list == kSelLines)
      order = LineEditingOrder(LinesOf(sheet, list), *LinesOf(sheet, list)[first]);
    for (const uint32_t i : order)
      if (s.Contains(list, i)) return EditTarget{list, i};
    return EditTarget{list, first};
  }
  return std::nullopt;
}

// One kind of item with a continuous editor: how to reach the item, read
// and write its fields, step them to the next item, and open its dialog.
template <class Item, class Fields, class Dialog>
struct ContinuousEditor {
  SelList list;
  std::function<Item&(CSheet&, uint32_t)> item;
  Fields (*read)(const Item&);
  void (*apply)(Item&, const Fields&);
  Fields (*next)(const Fields&, const Item&, const CopyIncrement&);
  std::function<std::unique_ptr<Dialog>(const Fields&, bool continuous)> open;
  // After the dialog was confirmed (the item as the sheet now holds it).
  std::function<void(const Dialog&, const Item&)> confirmed;
  bool ring = false;
  bool reEdit = true;
};

// Runs an editor on the item at `index` and, while 連続 is checked, on the
// next ones; each confirmed change is one undoable step. True when the
// sheet changed.
template <class Item, class Fields, class Dialog>
bool RunContinuous(SheetView& view, const ContinuousEditor<Item, Fields, Dialog>& kind,
                   uint32_t index, const DialogRunner& runner) {
  EditorDocument& doc = view.Document();
  const CopyIncrement inc = CopyIncrement::FromSettings();
  std::optional<Fields> shown;
  std::set<uint32_t> done;
  bool continuous = false;
  bool changed = false;
  for (;;) {
    Selection one;
    one.Add(kind.list, index);
    doc.Select(one);
    view.AfterEdit();
    const Fields now = kind.read(kind.item(doc.Sheet(), index));
    const std::unique_ptr<Dialog> dialog = kind.open(shown ? *shown : now, continuous);
    if (!RunDialog(runner, *dialog)) break;
    const Fields f = dialog->Fields();
    if (!(f == now)) {
      doc.Edit([&](CSheet& sheet, Selection&) {
        kind.apply(kind.item(sheet, index), f);
        sheet.SetCalcOpenMode(1);  // names and pin types take part in the nets
      });
      view.AfterEdit();
      changed = true;
    }
    if (kind.confirmed) kind.confirmed(*dialog, kind.item(doc.Sheet(), index));
    done.insert(index);
    continuous = dialog->Continuous();
    if (!continuous) break;
    const std::optional<uint32_t> next = NextItem(doc.Sheet(), kind.list, index, kind.ring);
    if (!next || (!kind.reEdit && done.count(*next) != 0)) break;
    index = *next;
    shown = kind.next(f, kind.item(doc.Sheet(), index), inc);
  }
  return changed;
}

}  // namespace

EditActions::EditActions(QWidget* parent, Hooks hooks)
    : QObject(parent), hooks_(std::move(hooks)), parent_(parent) {
  undo_ =
      Make(QStringLiteral("元に戻す(&U)"), QKeySequence(Qt::CTRL | Qt::Key_Z), &EditActions::Undo);
  redo_ =
      Make(QStringLiteral("やり直し(&R)"), QKeySequence(Qt::CTRL | Qt::Key_Y), &EditActions::Redo);
  cut_ =
      Make(QStringLiteral("切り取り(&T)"), QKeySequence(Qt::CTRL | Qt::Key_X), &EditActions::Cut);
  copy_ = Make(QStringLiteral("ｸﾘｯﾌﾟﾎﾞｰﾄﾞ保存(&C)"), QKeySequence(Qt::CTRL | Qt::Key_C),
               &EditActions::Copy);
  paste_ =
      Make(QStringLiteral("貼り付け(&P)"), QKeySequence(Qt::CTRL | Qt::Key_V), &EditActions::Paste);
  delete_ = Make(QStringLiteral("削除(&D)"), QKeySequence(Qt::Key_Delete), &EditActions::Delete);
  selectAll_ = Make(QStringLiteral("すべて選択(&A)"), QKeySequence(Qt::CTRL | Qt::Key_A),
                    &EditActions::SelectAll);
  reselect_ = Make(QStringLiteral("再選択(&E)"), QKeySequence(Qt::Key_F4), &EditActions::Reselect);
  move_ = new QAction(QStringLiteral("移動(&M)"), this);
  connect(move_, &QAction::triggered, this, [this] {
    if (SheetView* v = hooks_.activeView()) v->BeginMoveSelection(false);
  });
  duplicate_ = new QAction(QStringLiteral("コピー(&O)"), this);
  connect(duplicate_, &QAction::triggered, this, [this] {
    if (SheetView* v = hooks_.activeView()) v->BeginMoveSelection(true);
  });
  attrMove_ = new QAction(QStringLiteral("属性移動(&K)"), this);
  connect(attrMove_, &QAction::triggered, this, [this] {
    if (SheetView* v = hooks_.activeView()) v->BeginAttributeMove();
  });
  editAttrs_ = new QAction(QStringLiteral("修正(&E)..."), this);
  connect(editAttrs_, &QAction::triggered, this, [this] { EditAttributes(); });
  mirrorLR_ = Make(QStringLiteral("左右反転(&X)"), QKeySequence(), &EditActions::MirrorLeftRight);
  mirrorUD_ = Make(QStringLiteral("上下反転(&Y)"), QKeySequence(), &EditActions::MirrorUpDown);
  rotate_ = Make(QStringLiteral("９０度回転(&R)"), QKeySequence(), &EditActions::Rotate);
  resetRefs_ =
      Make(QStringLiteral("部品番号リセット(&N)"), QKeySequence(), &EditActions::ResetRefs);
  pictureColor_ = new QAction(QStringLiteral("カラービットマップ(&C)"), this);
  connect(pictureColor_, &QAction::triggered, this, [this] { CopyPicture(Picture::kColor); });
  pictureMono_ = new QAction(QStringLiteral("白黒ビットマップ(&M)"), this);
  connect(pictureMono_, &QAction::triggered, this, [this] { CopyPicture(Picture::kMono); });
  pictureSvg_ = new QAction(QStringLiteral("ベクター図形 (SVG)(&V)"), this);
  connect(pictureSvg_, &QAction::triggered, this, [this] { CopyPicture(Picture::kSvg); });
  makePart_ = new QAction(QStringLiteral("部品化(&B)"), this);
  connect(makePart_, &QAction::triggered, this, [this] { MakePart(); });
  // Lines: joined on their rows and columns, corners trimmed (the selected
  // lines, paired from the head or from the tail).
  trimLines_ = new QAction(QStringLiteral("線の結合・角の整理(&K)"), this);
  trimLinesReverse_ = new QAction(QStringLiteral("線の結合・角の整理（逆順）"), this);
  for (auto [action, reverse] : {std::pair{trimLines_, false}, std::pair{trimLinesReverse_, true}})
    connect(action, &QAction::triggered, this, [this, reverse = reverse] {
      SheetView* v = hooks_.activeView ? hooks_.activeView() : nullptr;
      if (v && v->Document().TrimSelectedLines(reverse)) v->AfterEdit();
    });
  breakPart_ = new QAction(QStringLiteral("部品分解(&Q)"), this);
  connect(breakPart_, &QAction::triggered, this, [this] { BreakPart(); });
  const std::pair<const char*, uint32_t> directions[] = {
      {"左側(&L)", 0x200}, {"下側(&D)", 0x300}, {"右側(&R)", 0x000}, {"上側(&U)", 0x100}};
  for (const auto& [label, angle] : directions) {
    auto* a = new QAction(QString::fromUtf8(label), this);
    connect(a, &QAction::triggered, this, [this, angle = angle] { PinDirection(angle); });
    pinActions_.push_back(a);
  }
  const std::pair<const char*, uint32_t> marks[] = {{"クロック(&C)", kPinClock},
                                                    {"ドット(&O)", kPinDot}};
  for (const auto& [label, mark] : marks) {
    auto* a = new QAction(QString::fromUtf8(label), this);
    connect(a, &QAction::triggered, this, [this, mark = mark] { PinMark(mark); });
    pinActions_.push_back(a);
  }
  cancelInput_ = new QAction(QStringLiteral("入力キャンセル(&X)"), this);
  connect(cancelInput_, &QAction::triggered, this, [this] {
    if (SheetView* v = hooks_.activeView ? hooks_.activeView() : nullptr) v->CancelInput();
  });
  nextUnit_ = new QAction(QStringLiteral("次の部品(&N)"), this);
  connect(nextUnit_, &QAction::triggered, this, [this] { StepUnits(UnitStep::kNext); });
  previousUnit_ = new QAction(QStringLiteral("前の部品(&P)"), this);
  connect(previousUnit_, &QAction::triggered, this, [this] { StepUnits(UnitStep::kPrevious); });
  invertUnit_ = new QAction(QStringLiteral("部品論理反転(&I)"), this);
  connect(invertUnit_, &QAction::triggered, this, [this] { StepUnits(UnitStep::kInvert); });
  registerParts_ = new QAction(QStringLiteral("部品ファイルに部品登録(&S)..."), this);
  connect(registerParts_, &QAction::triggered, this, [this] { RegisterSelectedParts(); });
  browseLibraries_ = new QAction(QStringLiteral("部品ファイル編集(&J)..."), this);
  connect(browseLibraries_, &QAction::triggered, this, [this] { BrowseLibraries(); });
  up_ = new QAction(QStringLiteral("上層ファイル(&H)"), this);
  connect(up_, &QAction::triggered, this, [this] { GoUp(); });
  down_ = new QAction(QStringLiteral("下層ファイル(&L)"), this);
  connect(down_, &QAction::triggered, this, [this] { GoDown(); });
  for (QAction* a : {undo_, redo_, cut_, copy_, paste_, delete_, selectAll_, reselect_, move_,
                     duplicate_, attrMove_, mirrorLR_, mirrorUD_, rotate_, resetRefs_, up_, down_})
    parent_->addAction(a);
  Update();
}

QAction* EditActions::Make(const QString& text, const QKeySequence& key,
                           void (EditActions::*slot)()) {
  auto* a = new QAction(text, this);
  if (!key.isEmpty()) a->setShortcut(key);
  connect(a, &QAction::triggered, this, slot);
  return a;
}

void EditActions::FillMenu(QMenu* menu) {
  menu->addAction(undo_);
  menu->addAction(redo_);
  menu->addSeparator();
  menu->addAction(cut_);
  menu->addAction(copy_);
  menu->addAction(paste_);
  QMenu* picture = menu->addMenu(QStringLiteral("他の形式で保存(&F)"));
  picture->addAction(pictureColor_);
  picture->addAction(pictureMono_);
  picture->addAction(pictureSvg_);
  menu->addAction(delete_);
  menu->addSeparator();
  menu->addAction(selectAll_);
  menu->addAction(reselect_);
  menu->addSeparator();
  menu->addAction(move_);
  menu->addAction(duplicate_);
  menu->addAction(attrMove_);
  menu->addAction(editAttrs_);
  QMenu* turn = menu->addMenu(QStringLiteral("反転・回転(&V)"));
  turn->addAction(mirrorLR_);
  turn->addAction(mirrorUD_);
  turn->addAction(rotate_);
  turn->addSeparator();
  turn->addAction(nextUnit_);
  turn->addAction(previousUnit_);
  turn->addAction(invertUnit_);
  QMenu* pins = menu->addMenu(QStringLiteral("ピンの向き(&I)"));
  for (size_t i = 0; i < pinActions_.size(); ++i) {
    if (i == 4) pins->addSeparator();
    pins->addAction(pinActions_[i]);
  }
  pins->addSeparator();
  pins->addAction(cancelInput_);
  menu->addSeparator();
  menu->addAction(trimLines_);
  menu->addAction(trimLinesReverse_);
  menu->addSeparator();
  menu->addAction(makePart_);
  menu->addAction(breakPart_);
  menu->addAction(resetRefs_);
  menu->addSeparator();
  menu->addAction(registerParts_);
  menu->addAction(browseLibraries_);
  menu->addSeparator();
  menu->addAction(up_);
  menu->addAction(down_);
}

void EditActions::Update() {
  SheetView* v = hooks_.activeView ? hooks_.activeView() : nullptr;
  const EditorDocument* d = v ? &v->Document() : nullptr;
  const bool selected = d && !d->Selected().Empty();
  undo_->setEnabled(d && d->CanUndo());
  redo_->setEnabled(d && d->CanRedo());
  for (QAction* a : {cut_, copy_, delete_, move_, duplicate_, mirrorLR_, mirrorUD_, rotate_})
    a->setEnabled(selected);
  paste_->setEnabled(d != nullptr);
  for (QAction* a : {pictureColor_, pictureMono_, pictureSvg_}) a->setEnabled(d != nullptr);
  selectAll_->setEnabled(d != nullptr);
  reselect_->setEnabled(d != nullptr);
  attrMove_->setEnabled(d != nullptr);
  editAttrs_->setEnabled(d &&
                         std::any_of(std::begin(kEditableLists), std::end(kEditableLists),
                                     [d](SelList l) { return !d->Selected().Entries(l).empty(); }));
  resetRefs_->setEnabled(d && !d->Selected().Entries(kSelParts).empty());
  const bool parts = d && !d->Selected().Entries(kSelParts).empty();
  breakPart_->setEnabled(parts);
  for (QAction* a : {nextUnit_, previousUnit_, invertUnit_, registerParts_}) a->setEnabled(parts);
  makePart_->setEnabled(
      d && (!d->Selected().Entries(kSelLines).empty() || !d->Selected().Entries(kSelArcs).empty() ||
            !d->Selected().Entries(kSelPins).empty() || !d->Selected().Entries(kSelTexts).empty()));
  for (QAction* a : pinActions_) a->setEnabled(d && !d->Selected().Entries(kSelPins).empty());
  const bool lines =
      d && (!d->Selected().Entries(kSelWires).empty() ||
            !d->Selected().Entries(kSelBuses).empty() || !d->Selected().Entries(kSelLines).empty());
  trimLines_->setEnabled(lines);
  cancelInput_->setEnabled(v != nullptr);
  trimLinesReverse_->setEnabled(lines);
  const CPart* part = d ? SinglePart(*d) : nullptr;
  down_->setEnabled(part && !part->GetProperty("FILE").empty());
  up_->setEnabled(d && !d->UpperPath().empty());
  browseLibraries_->setEnabled(true);
}

// ---- the commands ----

void EditActions::Undo() {
  if (SheetView* v = hooks_.activeView(); v && v->Document().Undo()) v->AfterEdit();
}

void EditActions::Redo() {
  if (SheetView* v = hooks_.activeView(); v && v->Document().Redo()) v->AfterEdit();
}

void EditActions::Copy() {
  SheetView* v = hooks_.activeView();
  if (!v) return;
  const std::string text = v->Document().SelectionText();
  if (text.empty()) return;
  // The sheet text form as plain text: another sheet, or another instance of
  // the program, pastes it whole.
  QGuiApplication::clipboard()->setText(QString::fromStdString(Cp932ToUtf8(text)));
}

void EditActions::Cut() {
  SheetView* v = hooks_.activeView();
  if (!v || v->Document().Selected().Empty()) return;
  Copy();
  v->Document().DeleteSelection();
  v->AfterEdit();
}

void EditActions::Paste() {
  SheetView* v = hooks_.activeView();
  if (!v) return;
  const QString text = QGuiApplication::clipboard()->text();
  if (text.isEmpty()) return;
  if (v->Document().Paste(Utf8ToCp932(text.toStdString())) == 0) {
    if (hooks_.warn) hooks_.warn(QStringLiteral("クリップボードに図面のデータがありません"));
    return;
  }
  v->AfterEdit();
}

void EditActions::Delete() {
  SheetView* v = hooks_.activeView();
  if (!v || v->Document().Selected().Empty()) return;
  v->Document().DeleteSelection();
  v->AfterEdit();
}

void EditActions::SelectAll() {
  SheetView* v = hooks_.activeView();
  if (!v) return;
  v->Document().Select(Selection::All(v->Document().Sheet()));
  v->AfterEdit();
}

void EditActions::Reselect() {
  SheetView* v = hooks_.activeView();
  if (v && v->Document().Reselect()) v->AfterEdit();
}

void EditActions::Rotate() {
  if (SheetView* v = hooks_.activeView()) {
    v->Document().RotateSelection(v->GridStep());
    v->AfterEdit();
  }
}

void EditActions::MirrorLeftRight() {
  if (SheetView* v = hooks_.activeView()) {
    v->Document().MirrorSelection(true, v->GridStep());
    v->AfterEdit();
  }
}

void EditActions::MirrorUpDown() {
  if (SheetView* v = hooks_.activeView()) {
    v->Document().MirrorSelection(false, v->GridStep());
    v->AfterEdit();
  }
}

void EditActions::ResetRefs() {
  SheetView* v = hooks_.activeView();
  if (!v || v->Document().Selected().Entries(kSelParts).empty()) return;
  if (hooks_.confirm &&
      !hooks_.confirm(QStringLiteral("選択された部品の参照番号をリセットしますか？")))
    return;
  v->Document().ResetSelectedRefs();
  v->AfterEdit();
}

bool EditActions::GoDown() {
  SheetView* v = hooks_.activeView();
  if (!v) return false;
  EditorDocument& doc = v->Document();
  const CPart* part = SinglePart(doc);
  if (!part) return false;
  const std::string value = part->GetProperty("FILE");
  if (value.empty()) return false;
  const std::string upper = doc.Path();
  const QString path = QString::fromStdString(ResolveSheetFile(value, upper));
  doc.ClearSelection();
  v->AfterEdit();
  if (SheetView* lower = hooks_.openSheet(path)) {
    lower->Document().SetUpperPath(upper);
    lower->AfterEdit();
    return true;
  }
  // Not a sheet: the desktop opens it (a data sheet, a drawing...).
  if (hooks_.openExternally && hooks_.openExternally(path)) return true;
  if (QFileInfo::exists(path)) {
    QApplication::beep();
    if (hooks_.warn) hooks_.warn(QStringLiteral("実行できません\n %1").arg(path));
  } else if (hooks_.warn) {
    hooks_.warn(QStringLiteral("ファイル %1 を開けません").arg(path));
  }
  return false;
}

// ---- 修正 ----

bool EditActions::EditAttributes() {
  SheetView* v = hooks_.activeView();
  if (!v) return false;
  EditorDocument& doc = v->Document();
  const std::optional<EditTarget> target = AttributeTarget(doc);
  if (!target) return false;
  const CopyIncrement inc = CopyIncrement::FromSettings();
  const SelList list = target->list;
  switch (list) {
    case kSelWires:
    case kSelBuses:
    case kSelLines: {
      ContinuousEditor<CLine, LineFields, LineEditDialog> kind;
      kind.list = list;
      kind.item = [list](CSheet& sheet, uint32_t i) -> CLine& { return *LinesOf(sheet, list)[i]; };
      kind.read = ReadLineFields;
      kind.apply = ApplyLineFields;
      kind.next = NextLineFields;
      const uint32_t type = LinesOf(doc.Sheet(), list)[target->index]->GetType();
      kind.open = [this, type](const LineFields& f, bool continuous) {
        return std::make_unique<LineEditDialog>(f, type, continuous, parent_);
      };
      kind.ring = inc.lineRing;
      kind.reEdit = inc.lineReEdit;
      return RunContinuous(*v, kind, target->index, runDialog_);
    }
    case kSelPins: {
      ContinuousEditor<CPin, PinFields, PinEditDialog> kind;
      kind.list = list;
      kind.item = [](CSheet& sheet, uint32_t i) -> CPin& { return *sheet.Pins()[i]; };
      kind.read = ReadPinFields;
      kind.apply = ApplyPinFields;
      kind.next = NextPinFields;
      kind.open = [this](const PinFields& f, bool continuous) {
        return std::make_unique<PinEditDialog>(f, continuous, parent_);
      };
      kind.ring = inc.pinRing;
      kind.reEdit = inc.pinReEdit;
      return RunContinuous(*v, kind, target->index, runDialog_);
    }
    case kSelTexts: {
      ContinuousEditor<CText, TextFields, TextEditDialog> kind;
      kind.list = list;
      kind.item = [](CSheet& sheet, uint32_t i) -> CText& { return *sheet.Texts()[i]; };
      kind.read = ReadTextFields;
      kind.apply = ApplyTextFields;
      kind.next = NextTextFields;
      kind.open = [this](const TextFields& f, bool continuous) {
        const bool keep = AppSettings().GetInt("Text", "Remember Attr") != 0;
        return std::make_unique<TextEditDialog>(f, keep, continuous, parent_);
      };
      // 属性を維持: the text's look becomes the default of new texts.
      kind.confirmed = [](const TextEditDialog& dialog, const CText& text) {
        AppSettings().WriteInt("Text", "Remember Attr", dialog.KeepAttributes() ? 1 : 0);
        text.SetAttribute();
      };
      kind.ring = inc.textRing;
      return RunContinuous(*v, kind, target->index, runDialog_);
    }
    case kSelParts: {
      const uint32_t index = target->index;
      PartEditDialog dialog(*doc.Sheet().Parts()[index], parent_);
      dialog.SetSheetPath(doc.Path());
      dialog.SetDialogRunner(runDialog_);
      if (!RunDialog(runDialog_, dialog)) return false;
      CPart result = dialog.Result();
      if (PartRecord(result) == PartRecord(*doc.Sheet().Parts()[index])) return false;
      doc.Edit([&](CSheet& sheet, Selection&) {
        *sheet.Parts()[index] = std::move(result);
        sheet.SetCalcOpenMode(1);
      });
      v->AfterEdit();
      return true;
    }
    default:
      return false;
  }
}

bool EditActions::MakePart() {
  SheetView* v = hooks_.activeView();
  if (!v) return false;
  QString name = QString::fromStdString(Cp932ToUtf8(AppSettings().GetString("MakePart", "Name")));
  QString ref = QStringLiteral("U?");
  QString value;
  if (hooks_.partNames) {
    if (!hooks_.partNames(name, ref, value)) return false;
  } else {
    QDialog dialog(parent_);
    dialog.setWindowTitle(QStringLiteral("部品化"));
    auto* form = new QFormLayout(&dialog);
    auto* nameEdit = new QLineEdit(name, &dialog);
    auto* refEdit = new QLineEdit(ref, &dialog);
    auto* valueEdit = new QLineEdit(value, &dialog);
    form->addRow(QStringLiteral("部品名(&N):"), nameEdit);
    form->addRow(QStringLiteral("参照番号(&R):"), refEdit);
    form->addRow(QStringLiteral("値(&V):"), valueEdit);
    form->addRow(OkCancelButtons(&dialog));
    if (dialog.exec() != QDialog::Accepted) return false;
    name = nameEdit->text();
    ref = refEdit->text();
    value = valueEdit->text();
  }
  if (name.isEmpty()) {
    if (hooks_.warn) hooks_.warn(QStringLiteral("部品名を入力してください"));
    return false;
  }
  AppSettings().WriteString("MakePart", "Name", Utf8ToCp932(name.toStdString()));
  const bool made = v->Document().MakePartOfSelection(
      Utf8ToCp932(name.toStdString()), Utf8ToCp932(ref.toStdString()),
      Utf8ToCp932(value.toStdString()), v->GridStep());
  v->AfterEdit();
  return made;
}

bool EditActions::BreakPart() {
  SheetView* v = hooks_.activeView();
  if (!v || v->Document().Selected().Entries(kSelParts).empty()) return false;
  if (hooks_.confirm && !hooks_.confirm(QStringLiteral("部品を分解しますか？"))) return false;
  const bool broken = v->Document().BreakSelectedParts() > 0;
  v->AfterEdit();
  return broken;
}

void EditActions::PinDirection(uint32_t angle) {
  SheetView* v = hooks_.activeView();
  if (v && v->Document().SetPinDirection(angle)) v->AfterEdit();
}

void EditActions::PinMark(uint32_t mark) {
  SheetView* v = hooks_.activeView();
  if (v && v->Document().TogglePinMark(mark)) v->AfterEdit();
}

void EditActions::CopyPicture(Picture kind) {
  SheetView* v = hooks_.activeView();
  if (!v || !hooks_.host) return;
  const EditorDocument& d = v->Document();
  CSheetDoc selection;
  const bool partial = !d.Selected().Empty();
  if (partial) SelectionDocument(d.SelectionSheet(), selection);
  const CSheetDoc& doc = partial ? selection : d.Doc();
  ImageOptions options;
  options.mono = kind == Picture::kMono;
  auto data = std::make_unique<QMimeData>();
  if (kind == Picture::kSvg) {
    options.format = ImageOptions::kSvg;
    const QByteArray svg = RenderSvg(doc, options, hooks_.host());
    if (svg.isEmpty()) return;
    data->setData(QStringLiteral("image/svg+xml"), svg);
  } else {
    const QImage image = RenderImage(doc, options, hooks_.host());
    if (image.isNull()) {
      if (hooks_.warn) hooks_.warn(QStringLiteral("画像が大きすぎます"));
      return;
    }
    data->setImageData(image);
  }
  // The clipboard owns what it is given.
  QGuiApplication::clipboard()->setMimeData(data.release());
}

bool EditActions::GoUp() {
  SheetView* v = hooks_.activeView();
  if (!v || v->Document().UpperPath().empty()) return false;
  return hooks_.openSheet(QString::fromStdString(v->Document().UpperPath())) != nullptr;
}

// ---- the part libraries ----

bool EditActions::StepUnits(UnitStep step) {
  SheetView* v = hooks_.activeView();
  if (!v || v->Document().Selected().Entries(kSelParts).empty()) return false;
  EditorDocument& doc = v->Document();
  // Looking a package up never creates a library: a missing library of the
  // list is passed over (its question answered no); a damaged one is told.
  const LibraryPrompts prompts{{}, [this](std::string_view m) {
                                 if (hooks_.warn)
                                   hooks_.warn(QString::fromStdString(std::string(m)));
                               }};
  const std::vector<std::string> libraries = LibraryListOrStarter();
  std::vector<std::pair<size_t, CPart>> replaced;
  QStringList missing, noUnit;
  for (const SelEntry& e : doc.Selected().Entries(kSelParts)) {
    const CPart& part = *doc.Sheet().Parts()[e.index];
    const QString name = QString::fromStdString(Cp932ToUtf8(part.GetPartName()));
    CSheet gates(kSheetScratch);
    if (part.GetPartName().empty() ||
        FindPackage(libraries, part.GetPartName(), gates, prompts).empty()) {
      missing << name;
      continue;
    }
    const std::optional<size_t> at = StepUnit(part, gates, step);
    if (!at) {
      noUnit << name;
      continue;
    }
    replaced.emplace_back(e.index, PlaceUnit(part, *gates.Parts()[*at], gates));
  }
  if (!replaced.empty()) {
    doc.ReplaceParts(replaced);
    v->AfterEdit();
  }
  if (hooks_.warn) {
    const QString list = QStringLiteral("\n");
    if (!missing.isEmpty())
      hooks_.warn(QStringLiteral("部品ファイルに部品がありません\n") + missing.join(list));
    if (!noUnit.isEmpty())
      hooks_.warn((step == UnitStep::kInvert ? QStringLiteral("論理反転した部品がありません\n")
                                             : QStringLiteral("切り替える部品がありません\n")) +
                  noUnit.join(list));
  }
  return !replaced.empty();
}

bool EditActions::RegisterSelectedParts() {
  SheetView* v = hooks_.activeView();
  if (!v) return false;
  const EditorDocument& doc = v->Document();
  const std::vector<SelEntry>& entries = doc.Selected().Entries(kSelParts);
  if (entries.empty()) return false;
  // The selected parts in the order of the sheet (the entries ascend).
  CSheet parts(kSheetScratch);
  for (const SelEntry& e : entries) parts.NewPart(*doc.Sheet().Parts()[e.index]);
  PackageRequest request = PackageRequest::FromSettings(parts.Parts().front()->GetPartName());
  if (hooks_.packageRequest) {
    if (!hooks_.packageRequest(request)) return false;
  } else {
    RegisterPartsDialog dialog(request, LibraryListOrStarter(), parent_);
    if (dialog.exec() != QDialog::Accepted) return false;
    request = dialog.Request();
  }
  if (request.package.empty() || request.library.empty()) {
    if (hooks_.warn) hooks_.warn(QStringLiteral("パッケージ名と部品ファイルを指定して下さい。"));
    return false;
  }
  request.Store();
  // The questions (create the library? replace the package?) are yes / no;
  // what the library shows is told as it comes, the rest once at the end.
  std::string asked;
  std::vector<std::string> shown;
  const LibraryPrompts prompts{[&](std::string_view q) {
                                 asked = q;
                                 return hooks_.confirm &&
                                        hooks_.confirm(QString::fromStdString(asked));
                               },
                               [&](std::string_view m) {
                                 shown.emplace_back(m);
                                 if (hooks_.warn) hooks_.warn(QString::fromStdString(shown.back()));
                               }};
  const LibOpResult r =
      RegisterParts(request.library, request.package, parts, request.except, prompts);
  if (!r.ok() && !r.message.empty() && r.message != asked &&
      std::find(shown.begin(), shown.end(), r.message) == shown.end() && hooks_.warn)
    hooks_.warn(QString::fromStdString(r.message));
  return r.status == LibOpStatus::kDone;
}

void EditActions::BrowseLibraries() {
  LibraryBrowser browser(LibraryBrowser::Use::kEdit, parent_);
  browser.exec();
}

}  // namespace tavro::gui
