// Writing a document as a DXF drawing exchange file (R10 text, AC1006): the
// file of CSheetDoc::WriteDXF and the SerializeDXF members of the items.
//
// Sheet coordinates in mils are written in inches (x 0.001, "%.4f"), angles
// in degrees. Every group code stands on a line of its own, right-aligned in
// three characters, and its value on the next line. Each item kind goes to
// the layer the header file gives it; everything of a title-frame sheet goes
// to the title layer. Point markers (the block "32767", which the header
// file's BLOCKS section defines) mark the connection points when the header
// file turns them on.
//
// The geometry of pin marks and text frames is the drawing walk's
// (GetPinStrokes, GetTextFrameOutline), so the DXF shows what is drawn.
#include <cmath>
#include <cstdio>
#include <numbers>
#include <string>
#include <string_view>

#include "core/draw/draw.h"
#include "core/file/archive.h"
#include "core/file/document.h"
#include "core/file/dxf_header.h"
#include "core/model/arc.h"
#include "core/model/junc.h"
#include "core/model/line.h"
#include "core/model/part.h"
#include "core/model/pin.h"
#include "core/model/sheet.h"
#include "core/model/text.h"
#include "core/model/text_axes.h"
#include "core/model/text_escape.h"
#include "core/platform/dbcs.h"
#include "core/platform/paths.h"
#include "core/platform/settings.h"

namespace tavro {

namespace {

constexpr double kDegree = std::numbers::pi / 180.0;

std::string Format(const char* format, auto... values) {
  char buf[256];
  std::snprintf(buf, sizeof buf, format, values...);
  return buf;
}

// One group: the code right-aligned in three characters, then the value.
void Group(CArchive& ar, int code, std::string_view value) {
  ar.WriteText(Format("%3d\n", code));
  ar.WriteText(value);
  ar.WriteText("\n");
}
void Group(CArchive& ar, int code, int value) { Group(ar, code, Format("%d", value)); }
// A length or coordinate in mils, written in inches.
void Inches(CArchive& ar, int code, double mils) { Group(ar, code, Format("%.4f", mils * 0.001)); }
void Real(CArchive& ar, int code, double value) { Group(ar, code, Format("%.4f", value)); }
void Point(CArchive& ar, int code, CPoint p) {
  Inches(ar, code, p.x);
  Inches(ar, code + 10, p.y);
}

// The point marker: an INSERT of block "32767" on layer 0, scaled alike in
// x and y. (Its entity code is written without leading blanks.)
void Marker(CArchive& ar, CPoint p, double scale) {
  ar.WriteText("0\nINSERT\n");
  Group(ar, 8, 0);
  Group(ar, 2, "32767");
  Point(ar, 10, p);
  Real(ar, 41, scale);
  Real(ar, 42, scale);
}

void LineEntity(CArchive& ar, int layer, CPoint a, CPoint b, bool markers) {
  if (markers) Marker(ar, a, 0.001);
  Group(ar, 0, "LINE");
  Group(ar, 8, layer);
  Point(ar, 10, a);
  Point(ar, 11, b);
  if (markers) Marker(ar, b, 0.001);
}

// The two barbs of an arrowhead of size s at `tip`, at ±15 degrees of the
// direction `theta` (radians), truncated toward zero.
void Barbs(CArchive& ar, int layer, CPoint tip, double theta, int s, bool markers) {
  for (double turn : {15.0, -15.0}) {
    const double a = theta + turn * kDegree;
    const CPoint end{tip.x + static_cast<int32_t>(s * std::cos(a)),
                     tip.y + static_cast<int32_t>(s * std::sin(a))};
    LineEntity(ar, layer, tip, end, markers);
  }
}

// The DXF text angle of a direction.
int TextAngle(uint32_t dir) {
  switch (dir & kTextDirMask) {
    case 0x100:
      return 90;
    case 0x200:
      return 180;
    case 0x300:
      return 270;
    default:
      return 0;
  }
}

// The horizontal (72) and vertical (73) justification of an alignment code;
// codes without a pair write none.
struct Justification {
  int org, h, v;
};
constexpr Justification kJustifications[] = {
    {0, 0, 3},  {2, 2, 3},  {6, 1, 3},  {8, 0, 1},  {10, 2, 1},
    {14, 1, 1}, {24, 0, 0}, {26, 2, 0}, {30, 1, 0},
};

// One line of text: `t` holds the line as its name and its anchor as point.
void TextEntity(CArchive& ar, int layer, CText t) {
  t.CalcBoundRect();
  const int angle = TextAngle(t.GetAttr());
  const CRect& r = t.GetTextBoundingRect();
  const CPoint first = angle == 90 || angle == 180 ? CPoint{r.right, r.top} : CPoint{r.left, r.top};
  Group(ar, 0, "TEXT");
  Group(ar, 8, layer);
  Point(ar, 10, first);
  Inches(ar, 40, t.GetSize());
  Group(ar, 1, t.GetName());
  Real(ar, 50, angle);
  Group(ar, 71, 0);
  for (const Justification& j : kJustifications) {
    if (j.org != t.GetOrg()) continue;
    Group(ar, 72, j.h);
    Group(ar, 73, j.v);
  }
  Point(ar, 11, t.GetPoint());
}

}  // namespace

// ---------------------------------------------------------------------------
// Texts

void CText::SerializeDXF(CArchive& ar, int layer) const {
  if (!ar.IsStoring() || name_.empty() || !IsDisp()) return;
  if (name_.find('&') != std::string::npos && IsDispProperty()) {
    // What the property shows: its last value (of a file name only the name).
    std::string value = GetPropertyVal(0);
    if (EqualNoCase(GetPropertyName(), "FILE")) {
      const size_t slash = ReverseFindChar(value, '\\');
      if (slash != std::string::npos) value.erase(0, slash + 1);
    }
    CText shown = *this;
    shown.ModifyAngle(0, kTextHidden);
    shown.SetName(value);
    shown.SerializeDXF(ar, layer);
    return;
  }
  if (text_detail::FindUnescaped(name_, "\\n") == text_detail::npos) {
    TextEntity(ar, layer, *this);
  } else {
    // One entity per line, the anchor moving one size per line across the
    // reading direction; empty lines are passed over.
    const text_detail::Axes ax = text_detail::AxesOf(attr_);
    CPoint anchor = point_;
    for (std::string_view part : text_detail::SplitUnescaped(name_, "\\n")) {
      const std::string line = TrimRight(part);
      if (!line.empty()) {
        CText copy = *this;
        copy.SetName(line, anchor, size_, attr_);
        TextEntity(ar, layer, copy);
      }
      const CPoint next{anchor.x - ax.ux * size_, anchor.y - ax.uy * size_};
      if (next.x < 0 || next.y < 0) break;
      anchor = next;
    }
  }
  if (GetFrame() != kFrameNone) SerializeDXFFrame(ar, layer, frameRect_);
}

void CText::SerializeDXFFrame(CArchive& ar, int layer, const CRect& frame) const {
  if (!ar.IsStoring()) return;
  const FrameOutline outline = GetTextFrameOutline(*this, frame);
  for (const CLine& l : outline.lines) l.SerializeDXF(ar, layer, false);
  for (const CArc& a : outline.arcs) a.SerializeDXF(ar, layer);
}

// ---------------------------------------------------------------------------
// Junctions, lines, arcs

void CJunc::SerializeDXF(CArchive& ar, int layer, bool markers) const {
  if (!ar.IsStoring()) return;
  if (markers) Marker(ar, point_, 0.04);
  CArc(point_, 20, 0, 0, 0, 8).SerializeDXF(ar, layer);
}

void CLine::SerializeDXF(CArchive& ar, int layer, bool markers) const {
  if (!ar.IsStoring()) return;
  LineEntity(ar, layer, start_, end_, markers);
  const double theta = std::atan2(static_cast<double>(end_.y - start_.y), end_.x - start_.x);
  if (startArrow_ > 0) Barbs(ar, layer, start_, theta, startArrow_, markers);
  if (endArrow_ > 0) Barbs(ar, layer, end_, theta + std::numbers::pi, endArrow_, markers);
  if (!nameText_.GetName().empty()) nameText_.SerializeDXF(ar, layer);
}

void CArc::SerializeDXF(CArchive& ar, int layer) const {
  if (!ar.IsStoring()) return;
  Group(ar, 0, startAngle_ != endAngle_ ? "ARC" : "CIRCLE");
  Group(ar, 8, layer);
  Point(ar, 10, center_);
  Inches(ar, 40, radius_);
  if (startAngle_ != endAngle_) {
    Real(ar, 50, startAngle_);
    Real(ar, 51, endAngle_);
  }
  if (radius_ <= 0) return;
  // The barbs lie along the tangent, turned by half the arrow's size over
  // the radius so that they follow the curve back from each end.
  if (startArrow_ > 0) {
    const double turn = startArrow_ * 0.5 / radius_;
    Barbs(ar, layer, GetStartPoint(), startAngle_ * kDegree + std::numbers::pi / 2 + turn,
          startArrow_, false);
  }
  if (endArrow_ > 0) {
    const double turn = endArrow_ * 0.5 / radius_;
    Barbs(ar, layer, GetEndPoint(), endAngle_ * kDegree - std::numbers::pi / 2 - turn, endArrow_,
          false);
  }
}

// ---------------------------------------------------------------------------
// Pins and parts

void CPin::SerializeDXF(CArchive& ar, int layer, bool markers) const {
  if (!ar.IsStoring() || !IsDisp()) return;
  const PinStrokes strokes = GetPinStrokes(*this);
  for (const CLine& l : strokes.wedge) l.SerializeDXF(ar, layer, false);
  if (strokes.dot) strokes.dot->SerializeDXF(ar, layer);
  strokes.stroke.SerializeDXF(ar, layer, markers);
  noText_.SerializeDXF(ar, layer);
  nameText_.SerializeDXF(ar, layer);
}

void CPart::SerializeDXF(CArchive& ar, int layer, bool markers) const {
  if (!ar.IsStoring()) return;
  partNameText_.SerializeDXF(ar, layer);
  refNameText_.SerializeDXF(ar, layer);
  valueText_.SerializeDXF(ar, layer);
  for (const auto& l : lines_) l->SerializeDXF(ar, layer, false);
  for (const auto& a : arcs_) a->SerializeDXF(ar, layer);
  for (const auto& t : texts_) {
    // A frame property that does not show its value draws only its frame.
    const bool frameOnly =
        t->GetName().find('&') != std::string::npos && t->IsProperty() > 0 &&
        !t->IsDispProperty() && [&] {
          const std::string n = t->GetPropertyName();
          return n.size() >= 5 && EqualNoCase(std::string_view(n).substr(0, 5), "FRAME");
        }();
    if (frameOnly) {
      if (!t->GetFrameBoundingRect().IsRectEmpty())
        t->SerializeDXFFrame(ar, layer, t->GetFrameBoundingRect());
    } else {
      t->SerializeDXF(ar, layer);
    }
  }
  for (const auto& p : pins_) p->SerializeDXF(ar, layer, markers);
}

// ---------------------------------------------------------------------------
// Sheets and the document

void CSheet::SerializeDXF(CArchive& ar, const std::array<int, 9>& layers, bool markers,
                          const CSheetDoc* doc) const {
  if (!ar.IsStoring()) return;
  DxfLayers l = layers;
  if (sheetType_ == kSheetTitle) l.fill(layers[kDxfLayerTitle]);
  for (const auto& j : juncs_) j->SerializeDXF(ar, l[kDxfLayerJunc], markers);
  for (const auto& g : lines_) g->SerializeDXF(ar, l[kDxfLayerLine], markers);
  for (const auto& p : pins_) p->SerializeDXF(ar, l[kDxfLayerPin], markers);
  for (const auto& t : texts_) {
    if (doc == nullptr) {
      t->SerializeDXF(ar, l[kDxfLayerText]);
      continue;
    }
    const std::string print = GetPrintProperty(*t, *doc);
    if (print.empty()) continue;
    CText copy = *t;
    if (print != t->GetName()) copy.SetName(print);
    copy.SerializeDXF(ar, l[kDxfLayerText]);
  }
  for (const auto& a : arcs_) a->SerializeDXF(ar, l[kDxfLayerArc]);
  for (const auto& p : parts_) p->SerializeDXF(ar, l[kDxfLayerPart], markers);
  for (const auto& w : wires_) w->SerializeDXF(ar, l[kDxfLayerWire], markers);
  for (const auto& b : buses_) b->SerializeDXF(ar, l[kDxfLayerBus], markers);
}

DocStatus CSheetDoc::WriteDXF(std::string& out) const {
  const std::optional<std::string> file = ReadFile(DataFile("DXF_HDR.DAT"));
  if (!file) return {false, "ＤＸＦヘッダファイルが見つかりません。", {}};
  const DxfHeader header = ParseDxfHeader(*file);

  CArchive ar;
  if (header.comment) ar.WriteText("999\nDXF created from TAVRO Ver1.02\n");
  Group(ar, 0, "SECTION");
  Group(ar, 2, "HEADER");
  Group(ar, 9, "$ACADVER");
  Group(ar, 1, "AC1006");
  Group(ar, 9, "$TEXTSTYLE");
  Group(ar, 7, "STANDARD");
  Group(ar, 9, "$CECOLOR");
  Group(ar, 62, 256);
  Group(ar, 9, "$AUNITS");
  Group(ar, 70, 0);
  Group(ar, 9, "$LUNITS");
  Group(ar, 70, 3);
  Group(ar, 9, "$EXTMIN");
  Point(ar, 10, {0, 0});
  Group(ar, 9, "$EXTMAX");
  Point(ar, 10, {workWidth_, workHeight_});
  Group(ar, 9, "$FILLMODE");
  Group(ar, 70, 1);
  Group(ar, 0, "ENDSEC");

  ar.WriteText(header.raw);

  Group(ar, 0, "SECTION");
  Group(ar, 2, "ENTITIES");
  sheet_->SerializeDXF(ar, header.layers, header.markers, this);
  if (AppSettings().GetInt("Sheet", "TitleDisp") != 0)
    titleSheet_->SerializeDXF(ar, header.layers, header.markers, this);
  Group(ar, 0, "ENDSEC");
  Group(ar, 0, "EOF");
  out = ar.TakeBuffer();
  return {};
}

}  // namespace tavro
