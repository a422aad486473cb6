// Writing a sheet as a Tango schematic text: the header of the document and
// the SerializeTango members of the items. Coordinates are written as they
// are (one unit is one mil, y up). Every text of a record ends with the same
// attribute tail: the name in quotes, its point, its justification-and-
// rotation code, 0 and a visibility (3 shown, 0 hidden).
#include <cmath>
#include <cstdio>
#include <string>

#include "core/file/archive.h"
#include "core/file/document.h"
#include "core/model/arc.h"
#include "core/model/junc.h"
#include "core/model/line.h"
#include "core/model/part.h"
#include "core/model/pin.h"
#include "core/model/sheet.h"
#include "core/model/text.h"

namespace tavro {

namespace {

constexpr double kPi = 3.14159265358979323846;

std::string Format(const char* format, auto... values) {
  char buf[256];
  std::snprintf(buf, sizeof buf, format, values...);
  return buf;
}

// A LINE record (the graphic line of a drawing or a stroke of an arrowhead).
void WriteLineRecord(CArchive& ar, CPoint a, CPoint b) {
  ar.WriteText(Format("LINE %d %d %d %d 0 0\n", a.x, a.y, b.x, b.y));
}

// The two barbs of an arrowhead of size s at `tip`, at ±15 degrees of the
// direction `theta` (radians), truncated toward zero.
void WriteBarbs(CArchive& ar, CPoint tip, double theta, int s) {
  for (double turn : {15.0, -15.0}) {
    const double a = theta + turn * kPi / 180.0;
    const CPoint end{tip.x + static_cast<int32_t>(s * std::cos(a)),
                     tip.y + static_cast<int32_t>(s * std::sin(a))};
    WriteLineRecord(ar, tip, end);
  }
}

}  // namespace

// ---------------------------------------------------------------------------
// Texts

int CText::GetTangoAngle() const {
  int justification = 0;
  switch (attr_ & kTextOrgMask) {
    case 24:
      justification = 1;
      break;
    case 0:
      justification = 2;
      break;
    case 14:
      justification = 4;
      break;
    case 30:
      justification = 5;
      break;
    case 6:
      justification = 6;
      break;
    case 10:
      justification = 8;
      break;
    case 26:
      justification = 9;
      break;
    case 2:
      justification = 10;
      break;
    default:
      justification = 0;
      break;  // left bottom, and the alignments without a code
  }
  return justification * 16 + static_cast<int>((attr_ & kTextDirMask) >> 8);
}

std::string CText::ConvTangoString() const {
  return "\"" + name_ + "\"" +
         Format(" %d %d %d 0 %d\n", point_.x, point_.y, GetTangoAngle(),
                (attr_ & kTextHidden) ? 0 : 3);
}

void CText::SerializeTango(CArchive& ar) const {
  if (!ar.IsStoring() || name_.empty() || IsProperty() > 0) return;
  ar.WriteText(Format("TEXT %d ", size_) + ConvTangoString());
}

// ---------------------------------------------------------------------------
// Junctions, lines, arcs

void CJunc::SerializeTango(CArchive& ar) const {
  if (!ar.IsStoring()) return;
  ar.WriteText(Format("JUNC %d %d\n", point_.x, point_.y));
}

void CLine::SerializeTango(CArchive& ar) const {
  if (!ar.IsStoring()) return;
  const int kind = static_cast<int>(type_ & kLineKindMask);
  if (kind == kLineGraphic) {
    WriteLineRecord(ar, start_, end_);
  } else {
    ar.WriteText(Format(kind == kLineBus ? "BUS %d %d %d %d\n" : "WIRE %d %d %d %d\n", start_.x,
                        start_.y, end_.x, end_.y));
  }
  if (!nameText_.GetName().empty())
    ar.WriteText(Format("ATTR \"NAME\" %d ", kind == 0 ? 20 : 3) + nameText_.ConvTangoString());
  if (start_ == end_) return;
  const double theta = std::atan2(static_cast<double>(end_.y - start_.y), end_.x - start_.x);
  if (startArrow_ > 0) WriteBarbs(ar, start_, theta, startArrow_);
  if (endArrow_ > 0) WriteBarbs(ar, end_, theta + kPi, endArrow_);
}

void CArc::SerializeTango(CArchive& ar) const {
  if (!ar.IsStoring()) return;
  int sweep = endAngle_ - startAngle_;
  if (sweep < 0) sweep += 360;
  ar.WriteText(Format("ARC %d %d %d %d %d 0\n", center_.x, center_.y, radius_, startAngle_, sweep));
  if (radius_ <= 0) return;
  // The barbs lie along the tangent, turned back by half the arrow's size
  // over the radius so that they follow the curve.
  if (startArrow_ > 0) {
    const double radial = startAngle_ * kPi / 180.0;
    WriteBarbs(ar, GetStartPoint(), radial + kPi / 2 + startArrow_ * 0.5 / radius_, startArrow_);
  }
  if (endArrow_ > 0) {
    const double radial = endAngle_ * kPi / 180.0;
    WriteBarbs(ar, GetEndPoint(), radial - kPi / 2 - endArrow_ * 0.5 / radius_, endArrow_);
  }
}

// ---------------------------------------------------------------------------
// Pins and parts

namespace {

int TangoPinType(uint32_t elect) {
  const uint32_t t = elect & 0xF;
  if (t <= 6) return static_cast<int>(t);
  if (t == 7) return 8;
  if (t == 8) return 9;
  if (t == 15) return 7;
  return 0;
}

int TangoPinDirection(uint32_t angle) {
  switch (angle & 0x380) {
    case 0x100:
      return 3;
    case 0x200:
      return 1;
    case 0x300:
      return 2;
    default:
      return 0;
  }
}

}  // namespace

void CPin::SerializeTango(CArchive& ar, int unit) const {
  if (!ar.IsStoring()) return;
  ar.WriteText(Format("PIN %d %d %d %d %d %d %d 0 %d 0 %d 0\n", start_.x, start_.y, end_.x, end_.y,
                      TangoPinType(elect_), TangoPinDirection(angle_),
                      (elect_ & 0x30) == 0x10 ? 1 : 0, (elect_ & kPinClock) ? 1 : 0,
                      (elect_ & kPinHidden) ? 1 : 0));
  ar.WriteText("ATTR \"NAME\" 10 " + nameText_.ConvTangoString());
  ar.WriteText(Format("PINDES %d \"", unit) + noText_.GetName() +
               Format("\" %d %d %d 0 %d\n", noText_.GetPoint().x, noText_.GetPoint().y,
                      noText_.GetTangoAngle(), noText_.IsDisp() ? 3 : 0));
}

void CPart::SerializeTango(CArchive& ar) const {
  if (!ar.IsStoring()) return;
  int degrees = 0;
  switch (angle_ & 0x380) {
    case 0x100:
      degrees = 90;
      break;
    case 0x200:
      degrees = 180;
      break;
    case 0x300:
      degrees = 270;
      break;
    default:
      break;
  }
  // The number after the rotation carries the mirroring (1 in x, 2 in y, 3
  // both), so that a part reads back turned and mirrored as it was.
  const int mirror = ((angle_ & 0x1000) ? 1 : 0) | ((angle_ & 0x2000) ? 2 : 0);
  ar.WriteText(Format("PART %d %d %d %d %d %d %d %d %u 0 0 0 0 %u 0\n", org_.x, org_.y,
                      rectStart_.x, rectStart_.y, rectEnd_.x, rectEnd_.y, degrees, mirror,
                      packageMax_, package_));
  if (!partNameText_.GetName().empty())
    ar.WriteText("ATTR \"TYPE\" 9 " + partNameText_.ConvTangoString());
  if (!refNameText_.GetName().empty())
    ar.WriteText("ATTR \"DESIGNATOR\" 9 " + refNameText_.ConvTangoString());
  if (!valueText_.GetName().empty())
    ar.WriteText("ATTR \"VALUE\" 9 " + valueText_.ConvTangoString());
  for (const auto& l : lines_) l->SerializeTango(ar);
  for (const auto& a : arcs_) a->SerializeTango(ar);
  for (const auto& t : texts_) t->SerializeTango(ar);
  const int unit = package_ == 0 ? 1 : static_cast<int>(package_);
  for (const auto& p : pins_) p->SerializeTango(ar, unit);
  ar.WriteText("PARTEND\n");
}

void CSheet::SerializeTango(CArchive& ar) const {
  if (!ar.IsStoring()) return;
  for (const auto& j : juncs_) j->SerializeTango(ar);
  for (const auto& l : lines_) l->SerializeTango(ar);
  for (const auto& t : texts_) t->SerializeTango(ar);
  for (const auto& p : parts_) p->SerializeTango(ar);
  for (const auto& w : wires_) w->SerializeTango(ar);
  for (const auto& b : buses_) b->SerializeTango(ar);
}

std::string CSheetDoc::WriteTango() const {
  CArchive ar;
  ar.WriteText(";Tango-Schematic 1.42J Series II\n");
  ar.WriteText("TANGO_SCHEMATIC 1 1 A\n");
  const int code = sizeCode_ == 0 ? 8 : sizeCode_ == 1 ? 7 : sizeCode_ == 2 ? 6 : 10;
  ar.WriteText(Format("SHEET 0 0 %d %d %d\n", workWidth_, workHeight_, code));
  const CRect& v = viewRect_;
  const int32_t xmin = std::max(std::min(v.left, v.right), 1);
  const int32_t ymin = std::max(std::min(v.top, v.bottom), 1);
  const int32_t xmax = std::min(std::max(v.left, v.right), workWidth_ - 1);
  const int32_t ymax = std::min(std::max(v.top, v.bottom), workHeight_ - 1);
  ar.WriteText(Format("SIZE %d %d %d %d %d %d\n", xmin, ymin, xmax, ymax, xmin, ymin));
  sheet_->SerializeTango(ar);
  return ar.TakeBuffer();
}

}  // namespace tavro
