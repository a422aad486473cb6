// QtCanvas: the drawing walk's canvas over a QPainter, for the screen, the
// printer, bitmap and SVG export. It draws what a PDF page draws: round caps
// and joins, dash patterns of the same length on the sheet, filled shapes
// filled even-odd and stroked, filled polygons and arcs in the fill colour
// last used by a filled circle or a text, and texts set with an em of their
// height from the font file the font engine chooses, so the glyphs and their
// advances are those of the PDF with embedded fonts (unkerned, as the PDF
// sets them).
//
// A sheet holds thousands of items, so the canvas gives the painter only the
// changes: the pen, brush and antialiasing are set when they differ from what
// it last set, and the sized fonts and the glyph runs of the texts stay
// between texts and frames. On a bitmap a filled circle in its pen colour (a
// junction) is drawn as the one disc its fill and outline make. While a
// canvas lives, only it changes the painter's pen, brush, render hints and
// transform; it leaves the antialiasing and the transform as it found them.
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
  ~QtCanvas() override;
  QtCanvas(const QtCanvas&) = delete;
  QtCanvas& operator=(const QtCanvas&) = delete;

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

  // The painter's state for the next primitive, set only where it differs.
  // A line of about one pixel is drawn without antialiasing: whole on the
  // pixels it crosses, as a PDF reader draws its thinnest lines.
  void UseStroke(bool sharp);
  void UseNoPen();
  void UseBrush(bool fill, Color color);
  void UseTextPen();
  void UseAntialiasing(bool on);
  void UseBaseTransform();

  QPainter& painter_;
  SheetTransform t_;
  // The painter as the canvas found it.
  const bool antialiased_;
  const QTransform baseTransform_;
  // Filled circles drawn in the pen colour are drawn as one disc (on bitmaps;
  // a vector output keeps the outline).
  const bool dots_;
  // What the canvas last gave the painter.
  enum class PenState { kUnknown, kNone, kStroke, kText };
  PenState penState_ = PenState::kUnknown;
  int setPenWidth_ = 0;
  int setPenStyle_ = kPenSolid;
  Color setPenColor_ = 0;
  enum class BrushState { kUnknown, kNone, kColor };
  BrushState brushState_ = BrushState::kUnknown;
  Color setBrushColor_ = 0;
  bool setAntialiased_;
  bool textTransform_ = false;  // a text's transform is set, not the base one

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
