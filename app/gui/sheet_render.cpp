#include "app/gui/sheet_render.h"

#include <algorithm>
#include <cmath>

#include "core/file/document.h"
#include "core/model/sheet.h"
#include "core/platform/host.h"
#include "core/platform/settings.h"

namespace tavro::gui {

namespace {

// Grid dots closer than this on the device are not drawn (they would only
// grey the sheet).
constexpr double kMinGridPixels = 8.0;

void DrawGrid(QPainter& painter, const SheetTransform& t, const CRect& area, int step, Color color,
              const QRectF& visible) {
  if (step <= 0 || t.Length(step) < kMinGridPixels) return;
  const CPoint a = t.Unmap(visible.topLeft());
  const CPoint b = t.Unmap(visible.bottomRight());
  const int64_t x0 = std::max<int64_t>(area.left, std::min(a.x, b.x));
  const int64_t x1 = std::min<int64_t>(area.right, std::max(a.x, b.x));
  const int64_t y0 = std::max<int64_t>(area.top, std::min(a.y, b.y));
  const int64_t y1 = std::min<int64_t>(area.bottom, std::max(a.y, b.y));
  if (x0 > x1 || y0 > y1) return;
  QPen pen(QtCanvas::ToQColor(color));
  pen.setWidthF(std::max(1.0, t.Length(step) / 40));
  pen.setCapStyle(Qt::SquareCap);
  painter.setPen(pen);
  std::vector<QPointF> dots;
  const int64_t first = (x0 + step - 1) / step * step;
  const int64_t firstY = (y0 + step - 1) / step * step;
  for (int64_t y = firstY; y <= y1; y += step) {
    dots.clear();
    for (int64_t x = first; x <= x1; x += step)
      dots.push_back(t.Map(static_cast<double>(x), static_cast<double>(y)));
    painter.drawPoints(dots.data(), static_cast<int>(dots.size()));
  }
}

// Every colour of a style replaced by one (the selection, the highlight).
DrawStyle OneColor(const DrawStyle& style, Color color) {
  DrawStyle s = style;
  s.colors.fill(color);
  return s;
}

}  // namespace

RenderOptions RenderOptions::Screen(Host& host) {
  RenderOptions o;
  o.style = DrawStyle::FromHost(host);
  o.style.drawNoPrint = true;
  o.style.pinX = true;
  o.color = true;
  o.background = true;
  o.titleFrame = host.DisplaySwitch(kDispTitle);
  o.grid = host.DisplaySwitch(kDispGrid);
  o.subGrid = false;
  const Settings& s = AppSettings();
  o.mainGridStep = s.GetInt("Sheet", "MainGrid");
  o.subGridStep = s.GetInt("Sheet", "SubGrid");
  return o;
}

RenderOptions RenderOptions::Print(Host& host, bool color) {
  RenderOptions o;
  o.style = DrawStyle::FromHost(host);
  o.color = color;
  o.background = true;
  o.titleFrame = host.DisplaySwitch(kDispTitle);
  o.grid = color && AppSettings().GetInt("Printer", "Grid") != 0;
  o.mainGridStep = AppSettings().GetInt("Sheet", "MainGrid");
  return o;
}

CRect WorkArea(const CSheetDoc& doc) {
  return CRect(0, 0, doc.GetWorkWidth(), doc.GetWorkHeight());
}

void RenderDocument(QPainter& painter, const SheetTransform& t, const CSheetDoc& doc,
                    const RenderOptions& options, const QRectF& visible) {
  const CRect area = WorkArea(doc);
  if (options.background) {
    const Color paper = options.color ? options.style.colors[kDispSheet] : 0xFFFFFFu;
    const QRectF r = QRectF(t.Map(area.left, area.bottom), t.Map(area.right, area.top));
    painter.fillRect(r.normalized(), QtCanvas::ToQColor(paper));
  }
  if (options.subGrid)
    DrawGrid(painter, t, area, options.subGridStep,
             options.color ? options.style.colors[kDispSubGrid] : 0x808080u, visible);
  if (options.grid)
    DrawGrid(painter, t, area, options.mainGridStep,
             options.color ? options.style.colors[kDispGrid] : 0x808080u, visible);

  QtCanvas canvas(painter, t);
  DrawWalk walk(canvas, options.style);
  if (options.titleFrame) walk.Sheet(doc.GetTitleSheet(), options.color, &doc);
  walk.Sheet(doc.GetSheet(), options.color, &doc);

  const Color mark = options.style.colors[kDispHighlight];
  if (options.highlight) {
    DrawWalk hl(canvas, OneColor(options.style, mark));
    hl.Sheet(*options.highlight, true, &doc);
  }
  if (options.selection) {
    DrawWalk sel(canvas, OneColor(options.style, mark));
    sel.Sheet(*options.selection, true, &doc);
  }
  if (options.placing) walk.Sheet(*options.placing, options.color, &doc);
}

}  // namespace tavro::gui
