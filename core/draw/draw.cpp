// The drawing walk of the sheet and its items.
#include "core/draw/draw.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

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
#include "core/platform/font.h"
#include "core/platform/font_engine.h"
#include "core/platform/settings.h"

namespace tavro {

namespace {

using text_detail::Axes;
using text_detail::AxesOf;
using text_detail::EscapementOf;

constexpr uint8_t kJapaneseCharSet = 128;
constexpr double kDegree = std::numbers::pi / 180.0;

int32_t Clamp32(int64_t v) {
  return static_cast<int32_t>(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}

// A coordinate computed in floating point, truncated toward zero.
int32_t Truncate(double v) {
  if (!(v > -2147483648.0)) return std::numeric_limits<int32_t>::min();
  if (!(v < 2147483647.0)) return std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(v);
}

// The dash style of a line or arc: bits 9 to 11 of its type word.
int PenStyleOf(uint32_t type) {
  switch ((type >> 9) & 7) {
    case 1:
      return kPenDot;
    case 2:
      return kPenDash;
    case 3:
      return kPenDashDot;
    case 4:
      return kPenDashDotDot;
    default:
      return kPenSolid;
  }
}

bool HasDoubleByte(std::string_view s) {
  for (unsigned char c : s) {
    if (IsLeadByte(c) || (c >= 0xA1 && c <= 0xDF)) return true;
  }
  return false;
}

CPoint Along(CPoint p, const Axes& ax, int64_t along, int64_t up) {
  return {Clamp32(p.x + ax.rx * along + ax.ux * up), Clamp32(p.y + ax.ry * along + ax.uy * up)};
}

// Only a name holding an '&' can be a property: a sheet's thousands of plain
// texts are not parsed for one.
bool MayBeProperty(const CText& text) { return text.GetName().find('&') != std::string::npos; }

CLine TempLine(CPoint a, CPoint b, int width) {
  CLine line(a, b, kLineGraphic);
  line.SetWidth(width);
  return line;
}

}  // namespace

// ---------------------------------------------------------------------------
// Style

DrawStyle DrawStyle::FromHost(Host& host) {
  DrawStyle s;
  for (int i = 0; i < kDispItemCount; ++i) {
    s.colors[i] = host.DisplayColor(i);
    s.shown[i] = host.DisplaySwitch(i);
  }
  s.drawNoPrint = AppSettings().GetInt("Printer", "Hide") != 0;
  s.pinX = AppSettings().GetInt("Printer", "PinX") != 0;
  return s;
}

DrawStyle DrawStyle::ColorSet(bool color, bool titleSheet) const {
  DrawStyle s = *this;
  if (!color) {
    s.colors.fill(0);
  } else if (titleSheet) {
    s.colors.fill(colors[kDispTitle]);
  }
  return s;
}

// ---------------------------------------------------------------------------
// Text helpers

TrueName GetTrueName(std::string_view name) {
  TrueName t;
  t.text.reserve(name.size());
  size_t run = 0;
  for (size_t i = 0; i < name.size();) {
    const size_t n = CharLen(name, i);
    if (n == 1 && name[i] == '~') {
      t.runs.push_back(run);
      run = 0;
    } else {
      t.text.append(name.substr(i, n));
      run += n;
    }
    i += n;
  }
  t.runs.push_back(run);
  return t;
}

DefaultFonts DefaultFonts::FromSettings() {
  return {FcFtFontEngine::DefaultSingleByteFont(), FcFtFontEngine::DefaultDoubleByteFont()};
}

LogFont TextFont(const CText& text, std::string_view shown, const DefaultFonts& defaults) {
  const bool japanese = HasDoubleByte(shown);
  LogFont f;
  if (text.HasOwnFont()) {
    f = text.GetFont();
    if (japanese && f.charSet != kJapaneseCharSet) {
      const LogFont own = f;
      f = defaults.doubleByte;
      f.weight = own.weight;
      f.italic = own.italic;
    }
  } else {
    f = japanese ? defaults.doubleByte : defaults.singleByte;
  }
  f.height = text.GetSize();
  f.escapement = EscapementOf(text.GetAttr());
  f.orientation = f.escapement;
  return f;
}

// ---------------------------------------------------------------------------
// The walk

DrawWalk::DrawWalk(Canvas& canvas, const DrawStyle& style)
    : canvas_(canvas), style_(style), fonts_(DefaultFonts::FromSettings()) {}

void DrawWalk::Sheet(const CSheet& sheet, bool color, const CSheetDoc* doc) {
  const DrawStyle display = style_;
  const bool title = sheet.GetSheetType() == kSheetTitle;
  style_ = display.ColorSet(color, title);
  // A title-frame sheet shows everything.
  if (title) style_.shown.fill(true);
  const auto& c = style_.colors;
  const auto on = [&](int item) { return style_.shown[item]; };

  if (on(kDispWire)) {
    canvas_.SetPenColor(c[kDispWire]);
    canvas_.SetBrushColor(c[kDispWireName]);
    for (const auto& w : sheet.Wires()) Line(*w, on(kDispWireName));
  }
  if (on(kDispBus)) {
    canvas_.SetPenColor(c[kDispBus]);
    canvas_.SetBrushColor(c[kDispBusName]);
    for (const auto& b : sheet.Buses()) Line(*b, on(kDispBusName));
  }
  if (on(kDispLine)) {
    canvas_.SetPenColor(c[kDispLine]);
    canvas_.SetBrushColor(c[kDispLineName]);
    for (const auto& l : sheet.Lines()) Line(*l, on(kDispLineName));
    canvas_.SetBrushColor(c[kDispLine]);
    for (const auto& a : sheet.Arcs()) Arc(*a);
  }
  if (on(kDispText)) {
    canvas_.SetBrushColor(c[kDispText]);
    for (const auto& t : sheet.Texts()) {
      if (doc == nullptr) {
        Text(*t);
        continue;
      }
      std::string print = sheet.GetPrintProperty(*t, *doc);
      if (print.empty()) continue;
      if (print == t->GetName()) {
        Text(*t);
      } else {
        CText copy = *t;
        copy.SetName(print);
        Text(copy);
      }
    }
  }
  if (on(kDispPin)) {
    for (const auto& p : sheet.Pins()) Pin(*p, on(kDispPinName), on(kDispPinNo));
  }
  if (on(kDispPart)) {
    for (const auto& p : sheet.Parts()) Part(*p);
  }
  if (on(kDispJunc)) {
    canvas_.SetPenColor(c[kDispJunc]);
    canvas_.SetBrushColor(c[kDispJunc]);
    for (const auto& j : sheet.Juncs()) Junc(*j);
  }
  style_ = display;
}

void DrawWalk::Dart(CPoint tip, double angle, int size) {
  const double s = size;
  const CPoint pts[4] = {
      {Truncate(tip.x + 0.7 * s * std::cos(angle)), Truncate(tip.y + 0.7 * s * std::sin(angle))},
      {Truncate(tip.x + s * std::cos(angle + 15 * kDegree)),
       Truncate(tip.y + s * std::sin(angle + 15 * kDegree))},
      tip,
      {Truncate(tip.x + s * std::cos(angle - 15 * kDegree)),
       Truncate(tip.y + s * std::sin(angle - 15 * kDegree))},
  };
  canvas_.DrawPolygon(pts, true);
}

void DrawWalk::Line(const CLine& line, bool writeName) {
  const CPoint a = line.GetStartPoint(), b = line.GetEndPoint();
  canvas_.SetPenWidth(line.GetWidth());
  canvas_.SetPenStyle(PenStyleOf(line.GetType()));
  canvas_.DrawLine(a, b);
  canvas_.SetPenStyle(kPenSolid);
  if (line.GetStartArrow() > 0) {
    Dart(a, std::atan2(double(b.y) - a.y, double(b.x) - a.x), line.GetStartArrow());
  }
  if (line.GetEndArrow() > 0) {
    Dart(b, std::atan2(double(a.y) - b.y, double(a.x) - b.x), line.GetEndArrow());
  }
  if (writeName && !line.GetNameText().IsEmpty()) Text(line.GetNameText());
}

void DrawWalk::Arc(const CArc& arc) {
  const bool fill = (arc.GetType() & 0x8000) != 0;
  canvas_.SetPenWidth(arc.GetWidth());
  canvas_.SetPenStyle(PenStyleOf(arc.GetType()));
  if (arc.GetStartAngle() != arc.GetEndAngle()) {
    canvas_.DrawArc(arc.GetCenter(), arc.GetRadius(), arc.GetStartAngle(), arc.GetEndAngle(), fill);
  } else {
    canvas_.DrawCircle(arc.GetCenter(), arc.GetRadius(), fill);
  }
  canvas_.SetPenStyle(kPenSolid);
  canvas_.SetPenWidth(arc.GetWidth() / 2);
  const double r2 = 2.0 * arc.GetRadius();
  if (const int s = arc.GetStartArrow(); s > 0) {
    const double turn = r2 > 0 ? s / r2 : 0;
    Dart(arc.GetStartPoint(), arc.GetStartAngle() * kDegree + std::numbers::pi / 2 + turn, s);
  }
  if (const int s = arc.GetEndArrow(); s > 0) {
    const double turn = r2 > 0 ? s / r2 : 0;
    Dart(arc.GetEndPoint(), arc.GetEndAngle() * kDegree - std::numbers::pi / 2 - turn, s);
  }
  canvas_.SetPenWidth(8);
}

void DrawWalk::Junc(const CJunc& junc) { canvas_.DrawCircle(junc.GetPoint(), 20, true); }

PinStrokes GetPinStrokes(const CPin& pin) {
  const CPoint start = pin.GetStartPoint(), end = pin.GetEndPoint();
  // The unit vector from the root to the connection point, and its normal.
  double ux = 1, uy = 0;
  switch (pin.GetAngle() & kDirMask) {
    case kDir0:
      break;
    case kDir90:
      ux = 0, uy = 1;
      break;
    case kDir180:
      ux = -1, uy = 0;
      break;
    case kDir270:
      ux = 0, uy = -1;
      break;
    default: {
      const double dx = double(end.x) - start.x, dy = double(end.y) - start.y;
      const double len = std::hypot(dx, dy);
      if (len > 0) ux = dx / len, uy = dy / len;
      break;
    }
  }
  const auto at = [&](double along, double across) {
    return CPoint{Clamp32(std::llround(start.x + ux * along - uy * across)),
                  Clamp32(std::llround(start.y + uy * along + ux * across))};
  };
  PinStrokes strokes{{}, std::nullopt, TempLine(start, end, 8)};
  const uint32_t elect = pin.GetElect();
  if ((elect & kPinClock) != 0) {
    // A wedge into the body: 35 deep, 70 wide.
    const CPoint apex = at(-35, 0);
    strokes.wedge.push_back(TempLine(at(0, 35), apex, 8));
    strokes.wedge.push_back(TempLine(apex, at(0, -35), 8));
  }
  if ((elect & kPinDot) != 0) {
    strokes.dot.emplace(at(25, 0), 25, 0, 0, 0, 8);
    strokes.stroke = TempLine(at(50, 0), end, 8);
  }
  return strokes;
}

void DrawWalk::Pin(const CPin& pin, bool name, bool number) {
  if (!pin.IsDisp()) return;
  const auto& c = style_.colors;
  canvas_.SetPenWidth(8);
  canvas_.SetPenStyle(kPenSolid);
  canvas_.SetPenColor(c[kDispPin]);
  const CPoint end = pin.GetEndPoint();
  const PinStrokes strokes = GetPinStrokes(pin);
  for (const CLine& l : strokes.wedge) Line(l, false);
  if (strokes.dot) Arc(*strokes.dot);
  Line(strokes.stroke, false);
  if (number && !pin.GetNoText().IsEmpty()) {
    canvas_.SetBrushColor(c[kDispPinNo]);
    Text(pin.GetNoText());
  }
  if (name && !pin.GetNameText().IsEmpty()) {
    canvas_.SetBrushColor(c[kDispPinName]);
    Text(pin.GetNameText());
  }
  if (pin.IsDispX() && style_.pinX) {
    canvas_.SetPenColor(c[kDispLine]);
    Line(TempLine({end.x - 25, end.y - 25}, {end.x + 25, end.y + 25}, 8), false);
    Line(TempLine({end.x - 25, end.y + 25}, {end.x + 25, end.y - 25}, 8), false);
  }
}

void DrawWalk::Part(const CPart& part) {
  const auto& c = style_.colors;
  const auto on = [&](int item) { return style_.shown[item]; };
  if (on(kDispPartNo)) {
    canvas_.SetBrushColor(c[kDispPartNo]);
    Text(part.GetRefNameText());
  }
  if (on(kDispPartName)) {
    canvas_.SetBrushColor(c[kDispPartName]);
    Text(part.GetPartNameText());
  }
  if (on(kDispPartVal)) {
    canvas_.SetBrushColor(c[kDispPartVal]);
    Text(part.GetValNameText());
  }
  if ((part.GetAttr() & 0x20) == 0 && on(kDispPin)) {
    for (const auto& p : part.Pins()) Pin(*p, on(kDispPinName), on(kDispPinNo));
  }
  if (!on(kDispPart)) return;
  canvas_.SetPenColor(c[kDispPart]);
  canvas_.SetBrushColor(c[kDispPart]);
  for (const auto& l : part.Lines()) Line(*l, true);
  for (const auto& a : part.Arcs()) Arc(*a);
  canvas_.SetBrushColor(c[kDispText]);
  for (const auto& t : part.Texts()) {
    const bool frameOnly = MayBeProperty(*t) && t->IsProperty() > 0 && !t->IsDispProperty() && [&] {
      const std::string n = t->GetPropertyName();
      return n.size() >= 5 && EqualNoCase(std::string_view(n).substr(0, 5), "FRAME");
    }();
    if (frameOnly) {
      if (!t->GetFrameBoundingRect().IsRectEmpty()) TextFrame(*t, t->GetFrameBoundingRect());
    } else {
      Text(*t);
    }
  }
}

void DrawWalk::Text(const CText& text) {
  if (text.IsEmpty()) return;
  const bool property = MayBeProperty(text) && text.IsDispProperty();
  // Shown (CText::IsDisp): a property showing its value, or a text not hidden.
  if (!property && (text.GetAttr() & kTextHidden) != 0) return;
  if (!text.IsPrint() && !style_.drawNoPrint) return;
  const CText* t = &text;
  CText shown;
  if (property) {
    // What the property shows: its last value (of a file name only the name).
    std::string value = text.GetPropertyVal(0);
    if (EqualNoCase(text.GetPropertyName(), "FILE")) {
      const size_t slash = ReverseFindChar(value, '\\');
      if (slash != std::string::npos) value.erase(0, slash + 1);
    }
    shown = text;
    shown.ModifyAngle(0, kTextHidden);
    shown.SetName(value);
    if (shown.IsEmpty()) return;
    t = &shown;
  }
  const std::string& name = t->GetName();
  if (text_detail::FindUnescaped(name, "\\n") == text_detail::npos) {
    TextLine(*t, name, t->GetPoint());
  } else {
    const Axes ax = AxesOf(t->GetAttr());
    CPoint anchor = t->GetPoint();
    for (std::string_view part : text_detail::SplitUnescaped(name, "\\n")) {
      const std::string line = TrimRight(part);
      if (!line.empty()) TextLine(*t, line, anchor);
      const CPoint next = Along(anchor, ax, 0, -static_cast<int64_t>(t->GetSize()));
      if (next.x < 0 || next.y < 0) break;
      anchor = next;
    }
  }
  if (t->GetFrame() != kFrameNone) TextFrame(*t, t->GetFrameBoundingRect());
}

void DrawWalk::TextLine(const CText& text, std::string_view line, CPoint anchor) {
  const TrueName tn = GetTrueName(line);
  if (tn.text.empty()) return;
  const LogFont font = TextFont(text, tn.text, fonts_);
  const int size = text.GetSize();
  FontEngine& engine = GetFontEngine();
  const FontMetrics m = engine.Metrics(font, size);
  const int64_t w = engine.Measure(font, size, tn.text).cx;
  const uint32_t attr = text.GetAttr();
  int64_t up = 0;
  switch (attr & 0x18) {
    case 0x00:
      up = m.ascent - m.internalLeading;
      break;
    case 0x08:
      up = -static_cast<int64_t>(m.descent);
      break;
    case 0x18:
      up = (m.ascent - m.internalLeading) / 2;
      break;
    default:
      break;  // baseline
  }
  int64_t along = 0;
  switch (attr & 0x06) {
    case 0x02:
      along = w;
      break;
    case 0x06:
      along = w / 2;
      break;
    default:
      break;
  }
  const Axes ax = AxesOf(attr);
  const CPoint start = Along(anchor, ax, -along, -up);
  int dir = static_cast<int>(text.GetDir());
  const std::string face = font.FaceName();
  if (font.charSet == kJapaneseCharSet && !face.empty() && face[0] == '@') dir = (dir + 256) % 1024;
  canvas_.DrawText(tn.text, start, size, dir, font);

  // Overlines: one stroke above each overlined run, at the font's ascent.
  if (tn.runs.size() < 2) return;
  const Color saved = canvas_.GetPenColor();
  canvas_.SetPenWidth(4);
  canvas_.SetPenStyle(kPenSolid);
  canvas_.SetPenColor(canvas_.GetBrushColor());
  size_t offset = 0;
  int64_t x0 = 0;
  for (size_t i = 0; i < tn.runs.size(); ++i) {
    const size_t end = offset + tn.runs[i];
    const int64_t x1 =
        end == tn.text.size()
            ? w
            : engine.Measure(font, size, std::string_view(tn.text).substr(0, end)).cx;
    if (i % 2 == 1 && x1 > x0) {
      canvas_.DrawLine(Along(start, ax, x0, m.ascent), Along(start, ax, x1, m.ascent));
    }
    offset = end;
    x0 = x1;
  }
  canvas_.SetPenColor(saved);
}

}  // namespace tavro
