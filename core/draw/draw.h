// The one drawing walk: how every item of a sheet is drawn, through the
// primitives of a Canvas (a PDF page, the editor's painter). Pens and fills
// per list, arrowheads, pin marks, texts placed by the font engine's metrics,
// split at backslash-n, overlined and framed.
//
// A walk draws with a style: the colour of each display item and its display
// switch. DrawSheet picks the colour set of the output first (every colour
// black, or the display colours, or the title-frame colour for everything on
// a title-frame sheet) and gives each list its pen and fill; the item members
// draw in the canvas's current colours, as the sheet left them.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/draw/canvas.h"
#include "core/model/arc.h"
#include "core/model/geometry.h"
#include "core/model/line.h"
#include "core/platform/host.h"

namespace tavro {

class CJunc;
class CPart;
class CPin;
class CSheet;
class CSheetDoc;
class CText;
class FontEngine;

struct DrawStyle {
  std::array<Color, kDispItemCount> colors{};  // by DisplayItem
  std::array<bool, kDispItemCount> shown{};    // display switches
  // Texts marked not to be printed are drawn too (the print setting "Hide";
  // the screen shows them always).
  bool drawNoPrint = false;
  // The X on open pins (the print setting "PinX").
  bool pinX = false;

  // The display colours and switches of the host, with the print settings
  // "Hide" and "PinX" of section "Printer".
  static DrawStyle FromHost(Host& host);
  // The colour set a sheet is drawn with: all black without colour; with
  // colour the title-frame colour for every item of a title-frame sheet,
  // else these colours.
  DrawStyle ColorSet(bool color, bool titleSheet) const;
};

// A text's display string without its overline marks, and the byte lengths
// of its runs, alternating plain and overlined (the first run is plain; a
// "~" switches between them).
struct TrueName {
  std::string text;
  std::vector<size_t> runs;
};
TrueName GetTrueName(std::string_view name);

// The default faces of texts without a font of their own (the font engine's
// single-byte and Japanese defaults, from the settings). A walk reads them
// once: a sheet's thousands of texts need not look them up one by one.
struct DefaultFonts {
  LogFont singleByte;
  LogFont doubleByte;

  static DefaultFonts FromSettings();
};

// The font record a text is drawn with: its own font, else the default face
// of its characters (the Japanese face when it holds a double-byte or
// half-width katakana character), with the height and the escapement of its
// direction. A single-byte own font cannot show Japanese characters: such a
// text takes the default Japanese face instead.
LogFont TextFont(const CText& text, std::string_view shown, const DefaultFonts& defaults);

// The strokes of a shown pin, as temporary items of width 8: the clock wedge
// (two lines, 35 deep and 70 wide into the body), the inversion dot (a full
// circle of radius 25 centred 25 from the root) and the pin stroke to the
// connection point, from the root or, with the dot, from 50 along.
struct PinStrokes {
  std::vector<CLine> wedge;
  std::optional<CArc> dot;
  CLine stroke;
};
PinStrokes GetPinStrokes(const CPin& pin);

// The outline of a text's frame style around `frame`, as line and arc items
// of width 4 (a box when the text has no frame style; nothing for an empty
// rectangle). See core/draw/text_frame.cpp for the shapes.
struct FrameOutline {
  std::vector<CLine> lines;
  std::vector<CArc> arcs;
};
FrameOutline GetTextFrameOutline(const CText& text, const CRect& frame);

class DrawWalk {
 public:
  // The default faces are read from the settings here, once for the walk.
  DrawWalk(Canvas& canvas, const DrawStyle& style);

  // The whole sheet with the colour set of `color`; `doc` (may be null)
  // supplies the macro values of the free texts.
  void Sheet(const CSheet& sheet, bool color, const CSheetDoc* doc);

  // The items, in the canvas's current colours (pins and parts take their
  // colours from the style).
  void Line(const CLine& line, bool writeName);
  void Arc(const CArc& arc);
  void Junc(const CJunc& junc);
  void Pin(const CPin& pin, bool name, bool number);
  void Part(const CPart& part);
  void Text(const CText& text);
  // The outline of a text's frame style around `frame` (a box when the text
  // has no frame style).
  void TextFrame(const CText& text, const CRect& frame);

  const DrawStyle& Style() const { return style_; }

 private:
  void TextLine(const CText& text, std::string_view line, CPoint anchor);
  void Dart(CPoint tip, double angle, int size);

  Canvas& canvas_;
  DrawStyle style_;
  DefaultFonts fonts_;
};

}  // namespace tavro
