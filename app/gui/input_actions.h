// InputActions: the input menu (入力) of the editor: one checkable command
// per input mode (ワイヤ Ctrl+W, バス Ctrl+B, ライン Ctrl+L, 文字 Ctrl+T,
// 部品 Ctrl+R, ピン Ctrl+I, 曲線 Ctrl+U, 部品番号クリック指定 Ctrl+Q) and
// 選択 (back to selecting). Choosing one starts the mode in the active sheet
// window; the checked command follows the active window's mode.
#pragma once

#include <QObject>
#include <functional>
#include <memory>
#include <vector>

class QAction;
class QActionGroup;
class QMenu;

namespace tavro::gui {

class InputMode;
class ModeAdapter;
class SheetView;

class InputActions : public QObject {
  Q_OBJECT

 public:
  enum Kind : int {
    kSelect = 0,
    kWire,
    kBus,
    kLine,
    kText,
    kPart,
    kPin,
    kArc,
    kRefClick,
  };

  InputActions(QObject* parent, std::function<SheetView*()> activeView);

  void FillMenu(QMenu* menu) const;
  QAction* Action(Kind kind) const { return actions_[kind]; }
  // Starts a mode in a view (kSelect ends the view's mode).
  static void Start(SheetView& view, Kind kind);
  // A new mode of a kind for an adapter; nullptr for kSelect.
  static std::unique_ptr<InputMode> Make(Kind kind, ModeAdapter& adapter);
  // Checks the command of the active view's mode and enables the commands
  // when a view is open.
  void Update();

 private:
  std::function<SheetView*()> activeView_;
  QActionGroup* group_;
  std::vector<QAction*> actions_;
};

}  // namespace tavro::gui
