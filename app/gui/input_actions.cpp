#include "app/gui/input_actions.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>

#include "app/gui/modes/arc_mode.h"
#include "app/gui/modes/line_mode.h"
#include "app/gui/modes/place_mode.h"
#include "app/gui/modes/ref_click_mode.h"
#include "app/gui/sheet_view.h"

namespace tavro::gui {

InputActions::InputActions(QObject* parent, std::function<SheetView*()> activeView)
    : QObject(parent), activeView_(std::move(activeView)), group_(new QActionGroup(this)) {
  struct Entry {
    Kind kind;
    const char* label;
    QKeySequence key;
  };
  const Entry entries[] = {
      {kSelect, "選択(&S)", QKeySequence()},
      {kWire, "ワイヤ(&W)", QKeySequence(Qt::CTRL | Qt::Key_W)},
      {kBus, "バス(&B)", QKeySequence(Qt::CTRL | Qt::Key_B)},
      {kLine, "ライン(&L)", QKeySequence(Qt::CTRL | Qt::Key_L)},
      {kText, "文字(&T)", QKeySequence(Qt::CTRL | Qt::Key_T)},
      {kPart, "部品(&P)", QKeySequence(Qt::CTRL | Qt::Key_R)},
      {kPin, "ピン(&I)", QKeySequence(Qt::CTRL | Qt::Key_I)},
      {kArc, "曲線（&U）", QKeySequence(Qt::CTRL | Qt::Key_U)},
      {kRefClick, "部品番号クリック指定(&Z)", QKeySequence(Qt::CTRL | Qt::Key_Q)},
  };
  for (const Entry& e : entries) {
    auto* a = new QAction(QString::fromUtf8(e.label), this);
    a->setCheckable(true);
    a->setShortcut(e.key);
    a->setData(static_cast<int>(e.kind));
    group_->addAction(a);
    connect(a, &QAction::triggered, this, [this, kind = e.kind] {
      if (SheetView* view = activeView_()) Start(*view, kind);
      Update();
    });
    actions_.push_back(a);
  }
  Update();
}

void InputActions::FillMenu(QMenu* menu) const {
  menu->addAction(actions_[kSelect]);
  menu->addSeparator();
  for (size_t k = kWire; k < actions_.size(); ++k) menu->addAction(actions_[k]);
}

std::unique_ptr<InputMode> InputActions::Make(Kind kind, ModeAdapter& adapter) {
  switch (kind) {
    case kWire:
      return std::make_unique<LineMode>(adapter, kLineWire);
    case kBus:
      return std::make_unique<LineMode>(adapter, kLineBus);
    case kLine:
      return std::make_unique<LineMode>(adapter, kLineGraphic);
    case kText:
      return std::make_unique<TextMode>(adapter);
    case kPart:
      return std::make_unique<PartMode>(adapter);
    case kPin:
      return std::make_unique<PinMode>(adapter);
    case kArc:
      return std::make_unique<ArcMode>(adapter);
    case kRefClick:
      return std::make_unique<RefClickMode>(adapter);
    case kSelect:
      break;
  }
  return nullptr;
}

void InputActions::Start(SheetView& view, Kind kind) {
  view.SetMode(Make(kind, view.Adapter()), kind);
  view.setFocus();
}

void InputActions::Update() {
  SheetView* view = activeView_();
  for (QAction* a : actions_) a->setEnabled(view != nullptr);
  const int kind = view ? view->ModeKind() : kSelect;
  if (kind >= 0 && kind < static_cast<int>(actions_.size())) actions_[kind]->setChecked(true);
}

}  // namespace tavro::gui
