#include "app/gui/sheet_view.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "app/gui/editor_document.h"
#include "app/gui/readouts.h"
#include "app/gui/view_mode_adapter.h"
#include "core/model/sheet.h"
#include "core/platform/codec.h"
#include "core/platform/host.h"
#include "core/platform/settings.h"

namespace tavro::gui {

namespace {

// Zoom limits in pixels per mil: from a quarter of the whole-sheet view up to
// two pixels per mil (a 0.1-inch grid 200 pixels apart).
constexpr double kMaxScale = 2.0;
constexpr size_t kHistoryDepth = 32;
// How close (in pixels) the pointer must come to a wire to light its net.
constexpr int kHitPixels = 4;

QColor DeskColor() { return QColor(96, 96, 96); }

}  // namespace

SheetView::SheetView(std::unique_ptr<EditorDocument> document, QWidget* parent)
    : QAbstractScrollArea(parent), owned_(std::move(document)), document_(*owned_) {
  setMouseTracking(true);
  viewport()->setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  ReloadStyle();
}

SheetView::~SheetView() = default;

// ---- input modes ----

ModeAdapter& SheetView::Adapter() {
  if (!adapter_) adapter_ = std::make_unique<ViewModeAdapter>(*this);
  return *adapter_;
}

ModeDialogs& SheetView::Dialogs() {
  Adapter();
  return adapter_->Dialogs();
}

void SheetView::SetMode(std::unique_ptr<InputMode> mode, int kind) {
  mode_ = std::move(mode);
  modeKind_ = kind;
  pending_ = Pending::kNone;
  drag_ = Drag::kNone;
  preview_.reset();
  if (mode_ && !document_.Selected().Empty()) {
    // The items drawn go in beside the selection's, never into it.
    document_.ClearSelection();
    Q_EMIT Changed();
  }
  ClearHighlight();
  Q_EMIT Prompt(mode_ ? QString::fromStdString(mode_->Prompt()) : QString());
  Q_EMIT Readout(QString());
  viewport()->update();
}

void SheetView::CancelInput() {
  if (!mode_ || !mode_->Busy()) return;
  ModePointer p;
  p.raw = pointer_.x() >= 0 ? t_.Unmap(QPointF(pointer_)) : CPoint{};
  p.at = Snap(p.raw);
  mode_->Key(kKeyEscape, p);
  ShowModePrompt(p.at);
  viewport()->update();
}

ModePointer SheetView::PointerOf(QMouseEvent* event) const {
  ModePointer p;
  p.raw = t_.Unmap(event->position());
  p.at = Snap(p.raw);
  p.button = event->button() == Qt::RightButton    ? ModePointer::kRight
             : event->button() == Qt::MiddleButton ? ModePointer::kMiddle
                                                   : ModePointer::kLeft;
  p.shift = (event->modifiers() & Qt::ShiftModifier) != 0;
  p.ctrl = (event->modifiers() & Qt::ControlModifier) != 0;
  return p;
}

void SheetView::ShowModePrompt(CPoint at) {
  if (!mode_) return;
  Q_EMIT Prompt(QString::fromStdString(mode_->Prompt()));
  Q_EMIT Readout(QString::fromStdString(mode_->Readout(at)));
}

void SheetView::Answer(ModeAnswer answer) {
  if (answer == ModeAnswer::kCancel) {
    SetMode(nullptr);
    Q_EMIT ModeEnded();
    return;
  }
  if (answer == ModeAnswer::kCommit) Q_EMIT Changed();
  viewport()->update();
}

void SheetView::ReloadStyle() {
  style_ = RenderOptions::Screen(CurrentHost());
  style_.subGrid = subGrid_;
  cursorMode_ = AppSettings().GetInt("Sheet", "Cursor");
  viewport()->setCursor(cursorMode_ == 0 ? Qt::ArrowCursor : Qt::CrossCursor);
  viewport()->update();
}

void SheetView::SetSubGrid(bool on) {
  subGrid_ = on;
  style_.subGrid = on;
  viewport()->update();
}

// ---- geometry ----

CRect SheetView::ScrollArea() const {
  const CRect work = WorkArea(document_.Doc());
  const int mx = std::max(1000, (work.right - work.left) / 10);
  const int my = std::max(1000, (work.bottom - work.top) / 10);
  return work.Inflated(mx, my);
}

double SheetView::FitScale(const CRect& area) const {
  const QSize vp = viewport()->size();
  const double w = std::max<double>(1, static_cast<double>(area.right) - area.left);
  const double h = std::max<double>(1, static_cast<double>(area.bottom) - area.top);
  const double s = std::min((vp.width() - 8) / w, (vp.height() - 8) / h);
  return std::clamp(s, 1e-4, kMaxScale);
}

CRect SheetView::VisibleArea() const {
  const CPoint a = t_.Unmap(QPointF(0, viewport()->height()));
  const CPoint b = t_.Unmap(QPointF(viewport()->width(), 0));
  return CRect(a.x, a.y, b.x, b.y);
}

void SheetView::ClampAndSync() {
  const CRect area = ScrollArea();
  const QSize vp = viewport()->size();
  const double contentW = (static_cast<double>(area.right) - area.left) * t_.scale;
  const double contentH = (static_cast<double>(area.bottom) - area.top) * t_.scale;
  // A sheet smaller than the window sits in its middle.
  if (contentW <= vp.width()) {
    t_.left = (area.left + area.right) / 2.0 - vp.width() / 2.0 / t_.scale;
  } else {
    t_.left =
        std::clamp(t_.left, static_cast<double>(area.left), area.right - vp.width() / t_.scale);
  }
  if (contentH <= vp.height()) {
    t_.top = (area.top + area.bottom) / 2.0 + vp.height() / 2.0 / t_.scale;
  } else {
    t_.top =
        std::clamp(t_.top, area.top + vp.height() / t_.scale, static_cast<double>(area.bottom));
  }
  syncing_ = true;
  QScrollBar* h = horizontalScrollBar();
  QScrollBar* v = verticalScrollBar();
  h->setRange(0, std::max(0, static_cast<int>(contentW - vp.width())));
  h->setPageStep(vp.width());
  h->setSingleStep(std::max(1, vp.width() / 16));
  h->setValue(static_cast<int>(std::lround((t_.left - area.left) * t_.scale)));
  v->setRange(0, std::max(0, static_cast<int>(contentH - vp.height())));
  v->setPageStep(vp.height());
  v->setSingleStep(std::max(1, vp.height() / 16));
  v->setValue(static_cast<int>(std::lround((area.bottom - t_.top) * t_.scale)));
  syncing_ = false;
  viewport()->update();
}

void SheetView::scrollContentsBy(int, int) {
  if (syncing_) return;
  const CRect area = ScrollArea();
  t_.left = area.left + horizontalScrollBar()->value() / t_.scale;
  t_.top = area.bottom - verticalScrollBar()->value() / t_.scale;
  viewport()->update();
}

void SheetView::SetScale(double scale, CPoint anchor, QPointF at) {
  const double minScale = FitScale(WorkArea(document_.Doc())) / 4;
  t_.scale = std::clamp(scale, std::min(minScale, kMaxScale), kMaxScale);
  t_.left = anchor.x - at.x() / t_.scale;
  t_.top = anchor.y + at.y() / t_.scale;
  ClampAndSync();
}

void SheetView::PushHistory() {
  history_.push_back(t_);
  if (history_.size() > kHistoryDepth) history_.erase(history_.begin());
}

// ---- zoom commands ----

void SheetView::ZoomTo(const CRect& area) {
  const CRect r = area.Normalized();
  const double s = FitScale(r);
  const QSize vp = viewport()->size();
  SetScale(s, CPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2),
           QPointF(vp.width() / 2.0, vp.height() / 2.0));
}

void SheetView::ZoomWhole() {
  PushHistory();
  ZoomTo(WorkArea(document_.Doc()));
}

void SheetView::ZoomIn() {
  PushHistory();
  const double step = 1 + std::clamp(AppSettings().GetInt("Sheet", "ZoomAspect"), 1, 400) / 100.0;
  const QPointF mid(viewport()->width() / 2.0, viewport()->height() / 2.0);
  SetScale(t_.scale * step, t_.Unmap(mid), mid);
}

void SheetView::ZoomOut() {
  PushHistory();
  const double step = 1 + std::clamp(AppSettings().GetInt("Sheet", "ZoomAspect"), 1, 400) / 100.0;
  const QPointF mid(viewport()->width() / 2.0, viewport()->height() / 2.0);
  SetScale(t_.scale / step, t_.Unmap(mid), mid);
}

void SheetView::ZoomPrevious() {
  if (history_.empty()) return;
  t_ = history_.back();
  history_.pop_back();
  ClampAndSync();
}

void SheetView::CenterOn(CPoint p) {
  PushHistory();
  SetScale(t_.scale, p, QPointF(viewport()->width() / 2.0, viewport()->height() / 2.0));
}

void SheetView::EnsureVisible(CPoint p) {
  const CRect v = VisibleArea().Normalized();
  if (v.PtInRect(p)) return;
  CenterOn(p);
}

void SheetView::BeginZoomWindow() {
  pending_ = Pending::kZoomWindow;
  Q_EMIT Prompt(QStringLiteral("表示したい範囲をドラッグで指示します"));
}

void SheetView::BeginCenter() {
  pending_ = Pending::kCenter;
  Q_EMIT Prompt(QStringLiteral("画面の中心にしたい位置を左クリックで指示します"));
}

void SheetView::GoToView(int n) {
  const std::optional<CRect>& v = document_.View(n);
  PushHistory();
  ZoomTo(v ? *v : WorkArea(document_.Doc()));
}

void SheetView::StoreView(int n) {
  if (n == 0) {
    document_.Doc().SetViewRect(VisibleArea().Normalized());
    document_.SetModified(true);
    Q_EMIT Changed();
    return;
  }
  document_.View(n) = VisibleArea().Normalized();
}

void SheetView::ClearViews() {
  document_.View(1).reset();
  document_.View(2).reset();
}

// ---- events ----

void SheetView::showEvent(QShowEvent* event) {
  QAbstractScrollArea::showEvent(event);
  if (!fitted_) {
    fitted_ = true;
    // The view stored in the file, else the whole sheet.
    const CRect stored = document_.Doc().GetViewRect().Normalized();
    ZoomTo(stored.IsRectEmpty() ? WorkArea(document_.Doc()) : stored);
  }
}

void SheetView::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  if (fitted_) ClampAndSync();
}

void SheetView::paintEvent(QPaintEvent*) {
  QPainter painter(viewport());
  painter.fillRect(viewport()->rect(), DeskColor());
  painter.setRenderHint(QPainter::Antialiasing);
  RenderOptions options = style_;
  // While a drag moves the selection, it is drawn where it would go.
  options.selection = preview_ ? preview_.get() : &document_.SelectionSheet();
  options.highlight = highlight_.get();
  if (mode_) options.placing = mode_->Preview();
  RenderDocument(painter, t_, document_.Doc(), options, QRectF(viewport()->rect()));
  if (drag_ == Drag::kBand) {
    QPen pen(QtCanvas::ToQColor(style_.style.colors[kDispHighlight]));
    pen.setStyle(Qt::DotLine);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRect(dragStart_, dragNow_).normalized());
  }
  if (dragging_ && pending_ == Pending::kZoomWindow) {
    QPen pen(QtCanvas::ToQColor(style_.style.colors[kDispHighlight]));
    pen.setStyle(Qt::DashLine);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRect(dragStart_, dragNow_).normalized());
  }
  if (cursorMode_ == 2 && pointer_.x() >= 0) {
    // The full-window cross hair.
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QtCanvas::ToQColor(static_cast<Color>(AppSettings().GetInt("Color", "Cursor"))));
    painter.drawLine(0, pointer_.y(), viewport()->width(), pointer_.y());
    painter.drawLine(pointer_.x(), 0, pointer_.x(), viewport()->height());
  }
}

void SheetView::wheelEvent(QWheelEvent* event) {
  const QPoint delta = event->angleDelta();
  if (event->modifiers() & Qt::ControlModifier) {
    const double step = 1 + std::clamp(AppSettings().GetInt("Sheet", "ZoomAspect"), 1, 400) / 100.0;
    const QPointF at = event->position();
    const double factor = delta.y() > 0 ? step : 1 / step;
    SetScale(t_.scale * factor, t_.Unmap(at), at);
    event->accept();
    return;
  }
  // "WheelScroll" scrolls across first; Shift swaps the two.
  bool across = AppSettings().GetInt("Sheet", "WheelScroll") != 0;
  if (event->modifiers() & Qt::ShiftModifier) across = !across;
  QScrollBar* bar = across ? horizontalScrollBar() : verticalScrollBar();
  const int amount = delta.y() != 0 ? delta.y() : delta.x();
  bar->setValue(bar->value() - amount * bar->singleStep() / 120 * 3);
  event->accept();
}

void SheetView::mousePressEvent(QMouseEvent* event) {
  setFocus();
  if (event->button() == Qt::MiddleButton) {
    panning_ = true;
    panLast_ = event->position().toPoint();
    return;
  }
  if (mode_ && pending_ == Pending::kNone && (event->button() == Qt::LeftButton || mode_->Busy())) {
    // A right click ends what a mode has under way; with nothing under way
    // it opens the menu as usual.
    skipContextMenu_ = event->button() == Qt::RightButton;
    ModePointer p = PointerOf(event);
    Answer(mode_->Press(p));
    ShowModePrompt(p.at);
    return;
  }
  if (event->button() != Qt::LeftButton) return;
  if (pending_ == Pending::kCenter) {
    pending_ = Pending::kNone;
    CenterOn(t_.Unmap(event->position()));
    Q_EMIT Prompt(QString());
    return;
  }
  if (pending_ == Pending::kZoomWindow) {
    dragging_ = true;
    dragStart_ = dragNow_ = event->position().toPoint();
    return;
  }
  const CPoint at = t_.Unmap(event->position());
  dragFrom_ = at;
  dragDelta_ = CPoint();
  dragStart_ = dragNow_ = event->position().toPoint();
  if (pending_ == Pending::kAttrMove) {
    drag_ = Drag::kAttr;
    return;
  }
  if (pending_ == Pending::kMove || pending_ == Pending::kCopy) {
    drag_ = pending_ == Pending::kCopy ? Drag::kCopy : Drag::kMove;
    pending_ = Pending::kNone;
    Q_EMIT Prompt(QString());
    return;
  }
  const bool add = (event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier)) != 0;
  const CSheet& sheet = document_.Sheet();
  SelList list;
  uint32_t index;
  if (!Selection::HitTest(sheet, at, HitTolerance(), list, index)) {
    // Empty paper: a rectangle selects (and, without Shift or Ctrl, what
    // was selected is let go).
    if (!add && !document_.Selected().Empty()) {
      document_.ClearSelection();
      Q_EMIT Changed();
    }
    drag_ = Drag::kBand;
    return;
  }
  if (add && document_.Selected().Contains(list, index) &&
      !(event->modifiers() & Qt::ControlModifier)) {
    Selection sel = document_.Selected();
    sel.Remove(list, index);
    document_.Select(std::move(sel));
    Q_EMIT Changed();
    viewport()->update();
    return;
  }
  if (!document_.Selected().Contains(list, index)) {
    Selection sel = add ? document_.Selected() : Selection();
    sel.Add(list, index);
    document_.Select(std::move(sel));
    Q_EMIT Changed();
  }
  // A drag from a selected item moves the selection; with Ctrl it copies it.
  drag_ = (event->modifiers() & Qt::ControlModifier) ? Drag::kCopy : Drag::kMove;
  viewport()->update();
}

int SheetView::GridStep() const {
  return std::max(1, subGrid_ ? style_.subGridStep : style_.mainGridStep);
}

int SheetView::HitTolerance() const { return std::max(1, static_cast<int>(kHitPixels / t_.scale)); }

CPoint SheetView::Snap(CPoint d) const {
  const int64_t g = GridStep();
  auto snap = [g](int32_t v) {
    const int64_t q = (v >= 0 ? v + g / 2 : v - g / 2) / g;
    return Sat32(q * g);
  };
  return {snap(d.x), snap(d.y)};
}

void SheetView::UpdatePreview(CPoint d) {
  if (d == dragDelta_ && preview_) return;
  dragDelta_ = d;
  if (d == CPoint()) {
    preview_.reset();
  } else if (drag_ == Drag::kCopy) {
    preview_ = std::make_unique<CSheet>(document_.Selected().Copy(document_.Sheet(), true));
    preview_->SetCheck();
    preview_->OffsetItem(d, true);
  } else {
    preview_ = std::make_unique<CSheet>(document_.Selected().Copy(document_.Sheet()));
    preview_->OffsetItem(d, false);
  }
  viewport()->update();
}

void SheetView::AfterEdit() {
  preview_.reset();
  highlight_.reset();
  viewport()->update();
  Q_EMIT Changed();
}

void SheetView::BeginMoveSelection(bool copy) {
  if (document_.Selected().Empty()) return;
  pending_ = copy ? Pending::kCopy : Pending::kMove;
  Q_EMIT Prompt(copy ? QStringLiteral("コピー先へドラッグしてください")
                     : QStringLiteral("移動先へドラッグしてください"));
}

void SheetView::BeginAttributeMove() {
  pending_ = Pending::kAttrMove;
  Q_EMIT Prompt(QStringLiteral("移動したい属性文字をドラッグしてください"));
}

void SheetView::contextMenuEvent(QContextMenuEvent* event) {
  if (skipContextMenu_) {
    skipContextMenu_ = false;
    return;
  }
  if (contextMenu_ == nullptr) return;
  // A right click on an item that is not selected selects it first.
  const CPoint at = t_.Unmap(QPointF(event->pos()));
  SelList list;
  uint32_t index;
  if (Selection::HitTest(document_.Sheet(), at, HitTolerance(), list, index) &&
      !document_.Selected().Contains(list, index)) {
    Selection sel;
    sel.Add(list, index);
    document_.Select(std::move(sel));
    viewport()->update();
    Q_EMIT Changed();
  }
  contextMenu_->exec(event->globalPos());
}

void SheetView::mouseMoveEvent(QMouseEvent* event) {
  const QPoint pos = event->position().toPoint();
  if (panning_) {
    const QPoint d = pos - panLast_;
    panLast_ = pos;
    horizontalScrollBar()->setValue(horizontalScrollBar()->value() - d.x());
    verticalScrollBar()->setValue(verticalScrollBar()->value() - d.y());
  }
  if (dragging_) {
    dragNow_ = pos;
    viewport()->update();
  }
  if (drag_ != Drag::kNone) {
    dragNow_ = pos;
    const CPoint d = Snap(t_.Unmap(event->position()) - dragFrom_);
    if (drag_ == Drag::kMove || drag_ == Drag::kCopy) UpdatePreview(d);
    if (drag_ == Drag::kBand || drag_ == Drag::kAttr) viewport()->update();
  }
  pointer_ = pos;
  if (cursorMode_ == 2) viewport()->update();
  const CPoint at = t_.Unmap(event->position());
  Q_EMIT PointerMoved(at);
  if (mode_ && !panning_ && pending_ == Pending::kNone) {
    ModePointer p = PointerOf(event);
    Answer(mode_->Move(p));
    ShowModePrompt(p.at);
    return;
  }
  if (!dragging_ && !panning_ && drag_ == Drag::kNone && pending_ == Pending::kNone)
    UpdateHighlight(at);
}

void SheetView::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::MiddleButton) {
    panning_ = false;
    return;
  }
  if (mode_ && drag_ == Drag::kNone && !dragging_) {
    Answer(mode_->Release(PointerOf(event)));
    return;
  }
  if (event->button() == Qt::LeftButton && drag_ != Drag::kNone) {
    const Drag drag = drag_;
    drag_ = Drag::kNone;
    const CPoint d = Snap(t_.Unmap(event->position()) - dragFrom_);
    preview_.reset();
    switch (drag) {
      case Drag::kMove:
        if (d != CPoint()) document_.MoveSelection(d);
        break;
      case Drag::kCopy:
        if (d != CPoint()) document_.CopySelection(d);
        break;
      case Drag::kAttr:
        pending_ = Pending::kNone;
        Q_EMIT Prompt(QString());
        document_.MoveAttributeAt(dragFrom_, HitTolerance(), d);
        break;
      case Drag::kBand: {
        const QRect r = QRect(dragStart_, event->position().toPoint()).normalized();
        if (r.width() >= 3 || r.height() >= 3) {
          const CPoint a = t_.Unmap(r.topLeft());
          const CPoint b = t_.Unmap(r.bottomRight());
          Selection found = Selection::InRect(document_.Sheet(), CRect(a.x, b.y, b.x, a.y));
          if (event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier)) {
            Selection sel = document_.Selected();
            for (int list = 0; list < kSelListCount; ++list)
              for (const SelEntry& e : found.Entries(static_cast<SelList>(list)))
                sel.Add(static_cast<SelList>(list), e.index, e.grab);
            found = std::move(sel);
          }
          document_.Select(std::move(found));
        }
        break;
      }
      case Drag::kNone:
        break;
    }
    AfterEdit();
    return;
  }
  if (event->button() != Qt::LeftButton || !dragging_) return;
  dragging_ = false;
  pending_ = Pending::kNone;
  Q_EMIT Prompt(QString());
  const QRect r = QRect(dragStart_, event->position().toPoint()).normalized();
  if (r.width() < 4 || r.height() < 4) {
    viewport()->update();
    return;
  }
  const CPoint a = t_.Unmap(r.topLeft());
  const CPoint b = t_.Unmap(r.bottomRight());
  PushHistory();
  ZoomTo(CRect(a.x, b.y, b.x, a.y));
}

void SheetView::mouseDoubleClickEvent(QMouseEvent* event) {
  if (mode_ && event->button() == Qt::LeftButton && pending_ == Pending::kNone) {
    ModePointer p = PointerOf(event);
    p.doubleClick = true;
    Answer(mode_->Press(p));
    ShowModePrompt(p.at);
    return;
  }
  QAbstractScrollArea::mouseDoubleClickEvent(event);
}

void SheetView::leaveEvent(QEvent* event) {
  QAbstractScrollArea::leaveEvent(event);
  pointer_ = QPoint(-1, -1);
  ClearHighlight();
  viewport()->update();
}

namespace {

// The key of an input mode for a key press; 0 for none.
int ModeKeyOf(const QKeyEvent* event) {
  const int k = event->key();
  if (k >= Qt::Key_A && k <= Qt::Key_Z) return 'A' + (k - Qt::Key_A);
  if (k >= Qt::Key_1 && k <= Qt::Key_9) return '1' + (k - Qt::Key_1);
  switch (k) {
    case Qt::Key_Escape:
      return kKeyEscape;
    case Qt::Key_Backspace:
      return kKeyBackspace;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return kKeyReturn;
    case Qt::Key_F6:
      return kKeyF6;
    case Qt::Key_F7:
      return kKeyF7;
    case Qt::Key_Plus:
      return kKeyPlus;
    case Qt::Key_Minus:
      return kKeyMinus;
    case Qt::Key_Slash:
      return kKeySlash;
    default:
      return 0;
  }
}

}  // namespace

void SheetView::keyPressEvent(QKeyEvent* event) {
  if (mode_ && pending_ == Pending::kNone &&
      (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) == 0) {
    if (const int key = ModeKeyOf(event)) {
      ModePointer p;
      p.raw = pointer_.x() >= 0 ? t_.Unmap(QPointF(pointer_)) : CPoint{};
      p.at = Snap(p.raw);
      p.shift = (event->modifiers() & Qt::ShiftModifier) != 0;
      Answer(mode_->Key(key, p));
      ShowModePrompt(p.at);
      return;
    }
  }
  QScrollBar* h = horizontalScrollBar();
  QScrollBar* v = verticalScrollBar();
  switch (event->key()) {
    case Qt::Key_Left:
      h->setValue(h->value() - h->pageStep() / 8);
      return;
    case Qt::Key_Right:
      h->setValue(h->value() + h->pageStep() / 8);
      return;
    case Qt::Key_Up:
      v->setValue(v->value() - v->pageStep() / 8);
      return;
    case Qt::Key_Down:
      v->setValue(v->value() + v->pageStep() / 8);
      return;
    case Qt::Key_Escape:
      if (drag_ != Drag::kNone) {
        drag_ = Drag::kNone;
        preview_.reset();
        viewport()->update();
        return;
      }
      if (pending_ == Pending::kNone && !document_.Selected().Empty()) {
        document_.ClearSelection();
        AfterEdit();
        return;
      }
      if (pending_ != Pending::kNone) {
        pending_ = Pending::kNone;
        dragging_ = false;
        Q_EMIT Prompt(QString());
        viewport()->update();
        return;
      }
      break;
    default:
      break;
  }
  QAbstractScrollArea::keyPressEvent(event);
}

// ---- the net under the pointer ----

void SheetView::ClearHighlight() {
  if (!highlight_) return;
  highlight_.reset();
  Q_EMIT NetPointed({});
  viewport()->update();
}

void SheetView::UpdateHighlight(CPoint at) {
  CSheet& sheet = document_.Doc().GetSheet();
  const int tol = std::max(1, static_cast<int>(kHitPixels / t_.scale));
  const CRect probe(at.x - tol, at.y - tol, at.x + tol, at.y + tol);
  const CLine* hit = nullptr;
  for (const auto& w : sheet.Wires())
    if (w->CheckPoint(probe)) {
      hit = w.get();
      break;
    }
  if (hit == nullptr) {
    ClearHighlight();
    return;
  }
  // Already lit: the same net.
  if (highlight_) {
    for (const auto& w : highlight_->Wires())
      if (w->GetStartPoint() == hit->GetStartPoint() && w->GetEndPoint() == hit->GetEndPoint())
        return;
  }
  std::vector<std::string> names;
  sheet.SetHighlight(hit->GetStartPoint(), names, false);
  auto lit = std::make_unique<CSheet>(kSheetScratch);
  for (auto& w : sheet.Wires()) {
    if ((w->GetType() & kLineHighlight) == 0) continue;
    // The mark is the view's, not the sheet's: it is taken off at once.
    w->ModifyType(kLineHighlight, 0);
    lit->NewLine(*w).ModifyType(kLineHighlight, 0);
  }
  highlight_ = std::move(lit);
  QStringList list;
  for (const std::string& n : names) list << QString::fromStdString(Cp932ToUtf8(n));
  Q_EMIT NetPointed(list);
  viewport()->update();
}

}  // namespace tavro::gui
