#include "app/gui/part_preview.h"

#include <QPainter>
#include <algorithm>

#include "app/gui/qt_canvas.h"
#include "app/gui/sheet_render.h"
#include "core/draw/draw.h"
#include "core/model/sheet.h"
#include "core/platform/host.h"

namespace tavro::gui {

namespace {

// Blank paper around the part, in pixels.
constexpr int kMargin = 12;
// A small part is not blown up beyond this (pixels per mil): a resistor
// stays a resistor, not a poster of one.
constexpr double kMaxScale = 0.6;

}  // namespace

PartPreview::PartPreview(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void PartPreview::SetPart(std::optional<CPart> part) {
  part_ = std::move(part);
  if (part_) part_->CalcBoundRect(true);
  update();
}

void PartPreview::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const RenderOptions options = RenderOptions::Screen(CurrentHost());
  painter.fillRect(rect(), QtCanvas::ToQColor(options.style.colors[kDispSheet]));
  if (!part_) return;
  CSheet sheet(kSheetScratch);
  CPart& part = sheet.NewPart(*part_);
  const CRect box = part.GetBoundingRect().Normalized();
  const double w = std::max(1, box.right - box.left);
  const double h = std::max(1, box.bottom - box.top);
  const double room = std::max(1, width() - 2 * kMargin);
  const double roomY = std::max(1, height() - 2 * kMargin);
  SheetTransform t;
  t.scale = std::min({room / w, roomY / h, kMaxScale});
  // The box's centre at the widget's centre (sheet y points up).
  t.left = (box.left + box.right) / 2.0 - width() / 2.0 / t.scale;
  t.top = (box.top + box.bottom) / 2.0 + height() / 2.0 / t.scale;
  painter.setRenderHint(QPainter::Antialiasing);
  QtCanvas canvas(painter, t);
  DrawWalk walk(canvas, options.style);
  walk.Sheet(sheet, true, nullptr);
}

}  // namespace tavro::gui
