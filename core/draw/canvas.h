// The canvas: the drawing primitives every output of a sheet offers (a PDF
// page, the editor's painter for screen, print, bitmap and SVG). The one
// drawing walk (core/draw/draw.h) draws every item through these calls only,
// so every output shows the same drawing.
//
// Coordinates are sheet mils with y pointing up. Colours are 0x00BBGGRR (red
// in the low byte). The pen (width, dash style, colour) strokes lines,
// polygon outlines, circles and arcs; the fill colour fills circles and arcs
// and colours text. A filled polygon takes the fill colour the canvas last
// used for a filled circle, a filled arc or a text, not the one set since:
// the arrowheads of the PDF output are filled that way, and every canvas
// fills them alike.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "core/model/geometry.h"
#include "core/platform/font.h"

namespace tavro {

using Color = uint32_t;

// Dash styles of the pen.
enum PenStyle : int {
  kPenSolid = 0,
  kPenDash = 1,        // [3 4]
  kPenDot = 2,         // [1 2]
  kPenDashDot = 3,     // [5 2 1 2]
  kPenDashDotDot = 4,  // [5 2 1 2 1 2]
};

// Text directions (the direction bits of a text's attribute word): the text
// reads along +x, +y, -x or -y.
enum TextDirection : int { kTextDir0 = 0, kTextDir90 = 256, kTextDir180 = 512, kTextDir270 = 768 };

class Canvas {
 public:
  virtual ~Canvas() = default;

  // Pen width in mils (0: the output's thinnest line).
  virtual void SetPenWidth(int width) = 0;
  virtual void SetPenStyle(int style) = 0;
  virtual void SetPenColor(Color color) = 0;
  virtual Color GetPenColor() const = 0;
  virtual void SetBrushColor(Color color) = 0;
  virtual Color GetBrushColor() const = 0;

  virtual void DrawLine(CPoint a, CPoint b) = 0;
  // Two points draw a line; more draw an open outline, or with fill a closed
  // shape filled (even-odd) and stroked.
  virtual void DrawPolygon(std::span<const CPoint> points, bool fill) = 0;
  // With fill the shape is filled and stroked; a filled circle or arc is
  // closed through its centre.
  virtual void DrawCircle(CPoint center, int radius, bool fill) = 0;
  // Counter-clockwise from start to end (whole degrees); end < start sweeps
  // through 360, equal angles draw nothing.
  virtual void DrawArc(CPoint center, int radius, int startAngle, int endAngle, bool fill) = 0;
  // One line of text in the fill colour: `baseline` is the start of its
  // baseline, `height` the cell height in mils, `direction` a TextDirection
  // and `font` the font record it is measured with (height not yet set).
  virtual void DrawText(std::string_view text, CPoint baseline, int height, int direction,
                        const LogFont& font) = 0;
};

}  // namespace tavro
