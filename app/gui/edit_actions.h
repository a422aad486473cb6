// EditActions: the commands of the edit menu (編集) on the active sheet
// view: undo and redo, the clipboard, delete, select all and select again,
// move, copy and attribute move, 修正 (the attribute editors of lines, pins,
// texts and parts), mirror and rotate, reference reset, and the
// links up and down a sheet hierarchy, and the commands that reach the part
// libraries: the next / previous unit and the logical inversion of placed
// parts, registering the selected parts as a package, and the library
// browser. The same actions make the context menu of a sheet.
#pragma once

#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

class QAction;
class QDialog;
class QMenu;
class QWidget;

namespace tavro {
class Host;
}

namespace tavro::gui {

class SheetView;
struct PackageRequest;
enum class UnitStep;

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
    // 部品ファイルに部品登録 asks for the package name, the library and the
    // excluded properties; false when cancelled. A dialog when unset.
    std::function<bool(PackageRequest& request)> packageRequest;
  };
  EditActions(QWidget* parent, Hooks hooks);

  // How the attribute editors of 修正 (ライン編集, ピン編集, 文字編集,
  // 部品編集 and the editors it opens) are run: the runner fills a dialog
  // and accepts or rejects it (tests). Modal for the user when null.
  void SetDialogRunner(std::function<void(QDialog& dialog)> runner) {
    runDialog_ = std::move(runner);
  }

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
  // 修正: the attribute editor of the selected item (the first of the
  // selection's first list that has one: wires, buses, graphic lines, free
  // texts, free pins, parts). Each confirmed editor is one change; with 連続
  // the editor goes on to the next item of the kind until it is cancelled.
  // True when the sheet changed.
  bool EditAttributes();
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
  // 次の部品 / 前の部品 / 部品論理反転: every selected part whose package a
  // library of the list holds becomes the unit the step leads to, in one
  // change; the parts that cannot are named in one message. False when
  // nothing changed.
  bool StepUnits(UnitStep step);
  // 部品ファイルに部品登録: the selected parts (in sheet order) become one
  // package of a library, after the dialog; the sheet is not changed. False
  // when nothing was written.
  bool RegisterSelectedParts();
  // 部品ファイル編集: the library browser.
  void BrowseLibraries();

 private:
  QAction* Make(const QString& text, const QKeySequence& key, void (EditActions::*slot)());

  Hooks hooks_;
  std::function<void(QDialog& dialog)> runDialog_;
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
  QAction* editAttrs_ = nullptr;
  QAction* mirrorLR_ = nullptr;
  QAction* mirrorUD_ = nullptr;
  QAction* rotate_ = nullptr;
  QAction* resetRefs_ = nullptr;
  QAction* pictureColor_ = nullptr;
  QAction* pictureMono_ = nullptr;
  QAction* pictureSvg_ = nullptr;
  QAction* makePart_ = nullptr;
  QAction* trimLines_ = nullptr;
  QAction* cancelInput_ = nullptr;
  QAction* trimLinesReverse_ = nullptr;
  QAction* breakPart_ = nullptr;
  QAction* nextUnit_ = nullptr;
  QAction* previousUnit_ = nullptr;
  QAction* invertUnit_ = nullptr;
  QAction* registerParts_ = nullptr;
  QAction* browseLibraries_ = nullptr;
  std::vector<QAction*> pinActions_;
  QAction* up_ = nullptr;
  QAction* down_ = nullptr;
};

}  // namespace tavro::gui
