// EditActions: the commands of the edit menu (編集) on the active sheet
// view: undo and redo, the clipboard, delete, select all and select again,
// move, copy and attribute move, mirror and rotate, reference reset, and the
// links up and down a sheet hierarchy. The same actions make the context
// menu of a sheet.
#pragma once

#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

class QAction;
class QMenu;
class QWidget;

namespace tavro {
class Host;
}

namespace tavro::gui {

class SheetView;

class EditActions : public QObject {
  Q_OBJECT

 public:
  struct Hooks {
    std::function<SheetView*()> activeView;
    // Opens a sheet file; null when it cannot be opened as a sheet.
    std::function<SheetView*(const QString& path)> openSheet;
    // A yes / no question; true for yes.
    std::function<bool(const QString& question)> confirm;
    std::function<void(const QString& message)> warn;
    // Hands a file to the desktop's "open" action; false when that failed.
    std::function<bool(const QString& path)> openExternally;
    // The host whose print colours and switches pictures are drawn with.
    std::function<Host&()> host;
    // 部品化 asks for the new part's name, reference and value (UTF-8);
    // false when cancelled. A dialog when unset.
    std::function<bool(QString& name, QString& ref, QString& value)> partNames;
  };
  EditActions(QWidget* parent, Hooks hooks);

  // Fills the edit menu (also used as the sheet's context menu).
  void FillMenu(QMenu* menu);
  // Enables what the active view's document allows.
  void Update();

  // The commands, for tests and for the window.
  void Undo();
  void Redo();
  void Cut();
  void Copy();
  void Paste();
  void Delete();
  void SelectAll();
  void Reselect();
  void Rotate();
  void MirrorLeftRight();
  void MirrorUpDown();
  void ResetRefs();
  bool GoDown();
  bool GoUp();
  // 部品化 / 部品分解 (after the question) of the selection.
  bool MakePart();
  bool BreakPart();
  // ピンの向き of the selected free pins: a direction (0x000, 0x100, 0x200,
  // 0x300) or a mark (kPinClock, kPinDot).
  void PinDirection(uint32_t angle);
  void PinMark(uint32_t mark);
  // 他の形式で保存: the selection (or, without one, the whole sheet) to the
  // clipboard as a picture.
  enum class Picture { kColor, kMono, kSvg };
  void CopyPicture(Picture kind);

 private:
  QAction* Make(const QString& text, const QKeySequence& key, void (EditActions::*slot)());

  Hooks hooks_;
  QWidget* parent_;
  QAction* undo_ = nullptr;
  QAction* redo_ = nullptr;
  QAction* cut_ = nullptr;
  QAction* copy_ = nullptr;
  QAction* paste_ = nullptr;
  QAction* delete_ = nullptr;
  QAction* selectAll_ = nullptr;
  QAction* reselect_ = nullptr;
  QAction* move_ = nullptr;
  QAction* duplicate_ = nullptr;
  QAction* attrMove_ = nullptr;
  QAction* mirrorLR_ = nullptr;
  QAction* mirrorUD_ = nullptr;
  QAction* rotate_ = nullptr;
  QAction* resetRefs_ = nullptr;
  QAction* pictureColor_ = nullptr;
  QAction* pictureMono_ = nullptr;
  QAction* pictureSvg_ = nullptr;
  QAction* makePart_ = nullptr;
  QAction* breakPart_ = nullptr;
  std::vector<QAction*> pinActions_;
  QAction* up_ = nullptr;
  QAction* down_ = nullptr;
};

}  // namespace tavro::gui
