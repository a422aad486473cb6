// CPDFPage: the content stream of one PDF page, built as text with one
// operator per line. It is a Canvas, so the one drawing walk writes sheets on
// it; its own Write... primitives are the PDF forms of the canvas calls.
//
// Sheet coordinates are mils with y up; every number is written in points
// (mils x 0.072) and a single "cm" at the top of the page applies the scale
// and the margins. Pen and fill state is written lazily: each primitive
// compares the wanted width, dash style and colours with what the stream last
// set and writes only the operators that change.
//
// A page object is reused for every sheet of a run: WriteInit starts a sheet,
// CPDF::NewPage copies the page, and the copy takes the content away.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "core/draw/canvas.h"
#include "core/model/geometry.h"
#include "core/platform/font.h"

namespace tavro {

class CPDFPage : public Canvas {
 public:
  // Turns a font record into the document's font number (DrawText).
  using FontNumberer = std::function<int(const LogFont&)>;
  // For a font written with glyph ids (an embedded Japanese font), the
  // 2-byte big-endian glyph ids of a CP932 text; nullopt for every other
  // font, whose texts are written as their CP932 bytes.
  using TextEncoder = std::function<std::optional<std::string>(int fontNo, std::string_view text)>;

  CPDFPage();
  // A copy takes every setting and takes over the content: the copy's stream
  // holds the source's content bytes, and the source's content is empty.
  CPDFPage(CPDFPage& source);
  CPDFPage& operator=(CPDFPage& source);
  ~CPDFPage() override = default;

  // Page size code 0..5 (A2, A3, A4 landscape; A2, A3, A4 portrait). Any
  // other code is laid out as A4 landscape, the page tree's own box.
  void SetPageSize(int size) { pageSize_ = size; }
  int GetPageSize() const { return pageSize_; }
  // The drawing area whose corner lands at the margins (in mm), and the scale.
  void SetOffset(const CRect& extent, double leftMargin, double topMargin);
  void SetScale(double scale) { scale_ = scale; }
  double GetScale() const { return scale_; }

  // Contents object number (set by CPDF::NewPage).
  void SetObjNo(int objNo) { objNo_ = objNo; }
  int GetObjNo() const { return objNo_; }
  // The taken-over content of a copy.
  const std::string& GetStream() const { return stream_; }
  int GetStreamSize() const { return streamSize_; }
  // The content being written (emptied when a copy takes it over).
  const std::string& GetContent() const { return content_; }

  void SetFontNumberer(FontNumberer numberer) { numberer_ = std::move(numberer); }
  void SetTextEncoder(TextEncoder encoder) { encoder_ = std::move(encoder); }

  // Pen and fill (Canvas).
  void SetPenWidth(int width) override { penWidth_ = width; }
  void SetPenStyle(int style) override { penStyle_ = style; }
  void SetPenColor(Color color) override { penColor_ = color; }
  Color GetPenColor() const override { return penColor_; }
  void SetBrushColor(Color color) override { brushColor_ = color; }
  Color GetBrushColor() const override { return brushColor_; }
  int GetPenWidth() const { return penWidth_; }
  int GetPenStyle() const { return penStyle_; }

  // The page prologue: an optional background in `backColor`, the placement
  // matrix, black stroke, round caps and joins; the stroke state is reset.
  void WriteInit(bool background, Color backColor);
  void WriteLine(CPoint a, CPoint b);
  // Two points are a line; with fill the outline is closed, filled (even-odd)
  // in the fill colour the stream last set, and stroked; else left open.
  void WritePolygon(std::span<const CPoint> points, bool fill);
  void WriteCircle(CPoint center, int radius, bool fill);
  // Counter-clockwise from a1 to a2 (whole degrees) in segments of at most 90°.
  void WriteArc(CPoint center, int radius, int a1, int a2, bool fill);
  // One line of text at the baseline start `point`, `height` mils high, in
  // direction 0, 256, 512 or 768 (0 for any other value).
  void WriteText(std::string_view text, CPoint point, int height, int direction, int fontNo);

  // Canvas primitives: the Write... forms above.
  void DrawLine(CPoint a, CPoint b) override { WriteLine(a, b); }
  void DrawPolygon(std::span<const CPoint> points, bool fill) override {
    WritePolygon(points, fill);
  }
  void DrawCircle(CPoint center, int radius, bool fill) override {
    WriteCircle(center, radius, fill);
  }
  void DrawArc(CPoint center, int radius, int startAngle, int endAngle, bool fill) override {
    WriteArc(center, radius, startAngle, endAngle, fill);
  }
  // The font number comes from the numberer, or from the host without one.
  void DrawText(std::string_view text, CPoint baseline, int height, int direction,
                const LogFont& font) override;

  // Number forms. ConvStr: "%.3f" without trailing zeros or point, a leading
  // "0." written ".", and one blank after (1 -> "1 ", 0.25 -> ".25 ").
  static std::string ConvStr(double d);
  // Mils to points.
  static double ConvPoint(double v) { return v * 72 * 0.001; }
  static std::string ConvDataStrX(double x) { return ConvStr(ConvPoint(x)); }
  static std::string ConvDataStrY(double y) { return ConvStr(ConvPoint(y)); }
  static std::string ConvDataStr(double x, double y) { return ConvDataStrX(x) + ConvDataStrY(y); }
  static std::string ConvDataStr(CPoint p) { return ConvDataStr(p.x, p.y); }
  // Red, green and blue: 255 -> "1 ", 0 -> "0 ", else c / 256 as "%.4f ".
  static std::string ConvColorStr(Color color);
  // Dash operator of a pen style ("[3 4] 0 d", ... "[] 0 d").
  static const char* DashStr(int style);
  // Paper height in points and media box text ("842 595") of a size code.
  static int PageHeight(int size);
  static const char* MediaBoxStr(int size);
  static bool IsKnownPageSize(int size) { return size >= 0 && size <= 5; }

 protected:
  void WriteString(std::string_view line);  // appends line + "\n"
  void CheckPen();
  void CheckPenWidth();
  void CheckPenStyle();
  void CheckPenColor();
  void CheckBrush();
  // One Bézier segment of at most 90° (angles in radians), centre and radius in points.
  void WriteShortArc(double cx, double cy, double r, double t1, double t2);

 private:
  void CopySettings(const CPDFPage& source);

  int pageSize_ = 2;
  int streamSize_ = 0;
  int objNo_ = 0;
  int penStyle_ = -1;
  int penWidth_ = 0;
  Color penColor_ = 0xFFFFFFFF;
  int lastStyle_ = -1;
  int lastWidth_ = 0;
  Color lastColor_ = 0xFFFFFFFF;
  Color brushColor_ = 0;
  Color lastBrush_ = 0;  // a new content stream fills in black
  double leftMargin_ = 0;
  double topMargin_ = 0;
  double scale_ = 1.0;
  std::string content_;
  std::string stream_;
  CRect extent_;
  FontNumberer numberer_;
  TextEncoder encoder_;
};

}  // namespace tavro
