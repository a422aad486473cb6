// QtCanvas: the drawing walk's canvas over a QPainter, for the screen, the
// printer, bitmap and SVG export. It draws what a PDF page draws: round caps
// and joins, dash patterns of the same length on the sheet, filled shapes
// filled even-odd and stroked, filled polygons and arcs in the fill colour
// last used by a filled circle or a text, and texts set with an em of their
// height from the font file the font engine chooses, so the glyphs and their
// advances are those of the PDF with embedded fonts.
#pragma once

#include <QPainter>
#include <QPointF>
#include <QTransform>

#include "core/draw/canvas.h"

namespace tavro::gui {

// Sheet mils (y up) to device pixels (y down): a device point is
// ((x - left) * scale, (top - y) * scale).
struct SheetTransform {
  double scale = 1.0;  // pixels per mil
  double left = 0;     // sheet x at device x 0
  double top = 0;      // sheet y at device y 0

  QPointF Map(CPoint p) const { return {(p.x - left) * scale, (top - p.y) * scale}; }
  QPointF Map(double x, double y) const { return {(x - left) * scale, (top - y) * scale}; }
  // The sheet point under a device point, rounded to the nearest mil.
  CPoint Unmap(QPointF d) const;
  double Length(double mils) const { return mils * scale; }
  // The same mapping as a QTransform (sheet to device).
  QTransform ToDevice() const;
};

class QtCanvas : public Canvas {
 public:
  QtCanvas(QPainter& painter, const SheetTransform& transform);

  void SetPenWidth(int width) override { penWidth_ = width; }
  void SetPenStyle(int style) override { penStyle_ = style; }
  void SetPenColor(Color color) override { penColor_ = color; }
  Color GetPenColor() const override { return penColor_; }
  void SetBrushColor(Color color) override { brushColor_ = color; }
  Color GetBrushColor() const override { return brushColor_; }

  void DrawLine(CPoint a, CPoint b) override;
  void DrawPolygon(std::span<const CPoint> points, bool fill) override;
  void DrawCircle(CPoint center, int radius, bool fill) override;
  void DrawArc(CPoint center, int radius, int startAngle, int endAngle, bool fill) override;
  void DrawText(std::string_view text, CPoint baseline, int height, int direction,
                const LogFont& font) override;

  // 0x00BBGGRR to a Qt colour.
  static QColor ToQColor(Color color);

 private:
  QPen Pen() const;
  // Whether the pen is at most about one device pixel wide.
  bool Hairline() const;
  void StrokeAndFill(const QPainterPath& path, bool fill, Color fillColor);

  QPainter& painter_;
  SheetTransform t_;
  int penWidth_ = 0;
  int penStyle_ = kPenSolid;
  Color penColor_ = 0;
  Color brushColor_ = 0;
  // The fill of polygons and arcs: the colour of the last filled circle or
  // text (black before any).
  Color lastFill_ = 0;
};

// Releases the fonts the canvases loaded (before the application ends).
void ReleaseFontCache();

}  // namespace tavro::gui
