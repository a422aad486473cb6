// SheetView: the window of one sheet document: draws it through the one
// drawing walk at the current zoom, scrolls and zooms (whole sheet, window,
// in, out, previous view, centre, stored views 1 and 2), reports the pointer
// position in sheet mils, and lights the net of the wire under the pointer.
#pragma once

#include <QAbstractScrollArea>
#include <QMenu>
#include <QPoint>
#include <memory>
#include <vector>

#include "app/gui/modes/input_mode.h"
#include "app/gui/qt_canvas.h"
#include "app/gui/sheet_render.h"

namespace tavro::gui {

class EditorDocument;
class ViewModeAdapter;
struct ModeDialogs;

class SheetView : public QAbstractScrollArea {
  Q_OBJECT

 public:
  // The view owns its document.
  explicit SheetView(std::unique_ptr<EditorDocument> document, QWidget* parent = nullptr);
  ~SheetView() override;

  EditorDocument& Document() { return document_; }
  const SheetTransform& Transform() const { return t_; }

  // --- zoom ---
  void ZoomWhole();                // 全体表示
  void ZoomIn();                   // 拡大 (by "ZoomAspect" percent)
  void ZoomOut();                  // 縮小
  void ZoomPrevious();             // 前画面
  void ZoomTo(const CRect& area);  // show this sheet area whole
  void CenterOn(CPoint p);         // センター表示 of a point
  void BeginZoomWindow();          // ウインドウ: the next drag gives the area
  void BeginCenter();              // センター表示: the next click gives the centre
  void GoToView(int n);            // 表示１ / 表示２ (the whole sheet when not set)
  void StoreView(int n);           // 表示範囲: the current view becomes view n
  void ClearViews();
  // The sheet area the window shows.
  CRect VisibleArea() const;
  // Scrolls so that a sheet point is in view; centred when it was outside.
  void EnsureVisible(CPoint p);

  // --- editing ---
  // The step that moves and rotations keep to: the sub grid while it is
  // shown, else the main grid.
  int GridStep() const;
  // How far (mils) a click may miss an item at the current zoom.
  int HitTolerance() const;
  // After the document changed from outside (a menu command): redraw and
  // tell the window.
  void AfterEdit();
  // 移動 / コピー: the next drag (from anywhere) moves or copies the selection.
  void BeginMoveSelection(bool copy);
  // 属性移動: the next drag on an attribute text moves it.
  void BeginAttributeMove();
  // The menu shown on a right click (the edit menu of the window).
  void SetContextMenu(QMenu* menu) { contextMenu_ = menu; }

  // --- input modes ---
  // Starts an input mode (made for this view's adapter; `kind` is the
  // caller's name for it); nullptr returns to selecting.
  void SetMode(std::unique_ptr<InputMode> mode, int kind = 0);
  InputMode* Mode() const { return mode_.get(); }
  int ModeKind() const { return mode_ ? modeKind_ : 0; }
  // 入力キャンセル: drops what the mode has under way (the mode stays).
  void CancelInput();
  // What the modes of this view reach of it.
  ModeAdapter& Adapter();
  // The dialogs the modes of this view open (tests answer instead).
  ModeDialogs& Dialogs();

  bool SubGrid() const { return subGrid_; }
  void SetSubGrid(bool on);
  // Re-reads colours, switches and grid from the settings.
  void ReloadStyle();

 Q_SIGNALS:
  // The pointer moved to a sheet point (mils).
  void PointerMoved(CPoint at);
  // A prompt for the status bar ("" when none).
  void Prompt(const QString& text);
  // The names of the net lit under the pointer (empty when none).
  void NetPointed(const QStringList& names);
  // The document changed (its title mark, the selection readouts and the
  // enabled commands may follow).
  void Changed();
  // The input mode ended (Escape with nothing under way).
  void ModeEnded();
  // The left pane's readout while a mode shows one ("" for the position).
  void Readout(const QString& text);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  void wheelEvent(QWheelEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  enum class Pending { kNone, kZoomWindow, kCenter, kAttrMove, kMove, kCopy };
  // What a drag with the left button does.
  enum class Drag { kNone, kBand, kMove, kCopy, kAttr };

  CPoint Snap(CPoint d) const;
  // Passes a mode's answer on; true when the event went to the mode.
  void Answer(ModeAnswer answer);
  ModePointer PointerOf(QMouseEvent* event) const;
  void ShowModePrompt(CPoint at);
  void UpdatePreview(CPoint d);

  // Sets the zoom keeping the sheet point `anchor` under the device point `at`.
  void SetScale(double scale, CPoint anchor, QPointF at);
  void PushHistory();
  // The sheet area the scroll bars cover (the work area with a margin).
  CRect ScrollArea() const;
  void ClampAndSync();
  double FitScale(const CRect& area) const;
  void UpdateHighlight(CPoint at);
  void ClearHighlight();

  std::unique_ptr<EditorDocument> owned_;
  EditorDocument& document_;
  SheetTransform t_;
  bool fitted_ = false;
  bool syncing_ = false;
  bool subGrid_ = false;
  RenderOptions style_;
  std::vector<SheetTransform> history_;
  Pending pending_ = Pending::kNone;
  bool dragging_ = false;
  QPoint dragStart_;
  QPoint dragNow_;
  bool panning_ = false;
  QPoint panLast_;
  int cursorMode_ = 0;
  QPoint pointer_{-1, -1};
  std::unique_ptr<CSheet> highlight_;
  Drag drag_ = Drag::kNone;
  CPoint dragFrom_;                  // sheet point where the drag began
  CPoint dragDelta_;                 // snapped offset so far
  std::unique_ptr<CSheet> preview_;  // the selection where the drag would put it
  QMenu* contextMenu_ = nullptr;
  std::unique_ptr<ViewModeAdapter> adapter_;
  std::unique_ptr<InputMode> mode_;
  int modeKind_ = 0;
  bool skipContextMenu_ = false;  // a right click that went to the mode
};

}  // namespace tavro::gui
