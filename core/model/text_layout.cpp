// The rectangles of a text: measuring, placing by alignment and direction,
// multi-line layout and frame margins.
#include <algorithm>
#include <limits>
#include <string>

#include "core/model/text.h"
#include "core/model/text_axes.h"
#include "core/model/text_escape.h"
#include "core/platform/dbcs.h"

namespace tavro {

namespace {

using text_detail::Axes;
using text_detail::AxesOf;
using text_detail::EscapementOf;

using text_detail::FindUnescaped;
using text_detail::npos;
using text_detail::SplitUnescaped;

// ---------------------------------------------------------------------------
// Geometry

int32_t Clamp32(int64_t v) {
  return static_cast<int32_t>(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}

struct Rect64 {
  int64_t left, top, right, bottom;
  CRect ToRect() const { return {Clamp32(left), Clamp32(top), Clamp32(right), Clamp32(bottom)}; }
};

// Places a box of w along the reading direction and h across it so that the
// point named by the alignment code lies on `at`.
CRect PlaceBox(int64_t w, int64_t h, CPoint at, int org, uint32_t dir) {
  const int horz = org & 0x06;  // 0 left, 2 right, 6 centre
  const int vert = org & 0x18;  // 0 top, 8 bottom, 24 middle
  const int64_t a = horz == 0x06 ? w / 2 : horz == 0x02 ? w : 0;
  const int64_t b = vert == 0x18 ? h / 2 : vert == 0x00 ? h : 0;
  const Axes ax = AxesOf(dir);
  // Local box: along [-a, w - a], up [-b, h - b].
  const int64_t s0 = -a, s1 = w - a, t0 = -b, t1 = h - b;
  const int64_t x0 = at.x + ax.rx * s0 + ax.ux * t0, x1 = at.x + ax.rx * s1 + ax.ux * t1;
  const int64_t y0 = at.y + ax.ry * s0 + ax.uy * t0, y1 = at.y + ax.ry * s1 + ax.uy * t1;
  return Rect64{std::min(x0, x1), std::min(y0, y1), std::max(x0, x1), std::max(y0, y1)}.ToRect();
}

}  // namespace

CRect CText::GetBoundingRect() const {
  if (name_.empty() || !IsDisp()) return {};
  return textRect_.Union(frameRect_);
}

CRect CText::MeasureLine(std::string_view line, CPoint at) const {
  TextExtent e;
  if (HasOwnFont()) {
    LogFont f = font_;
    f.height = size_;
    f.escapement = EscapementOf(attr_);
    f.orientation = f.escapement;
    e = GetFontEngine().Measure(f, size_, line);
  } else {
    e = GetFontEngine().MeasureDefault(size_, line);
  }
  return PlaceBox(e.cx, e.cy, at, GetOrg(), attr_);
}

CRect CText::FrameOf(const CRect& text) const {
  const uint32_t frame = GetFrame();
  if (frame == kFrameNone || text.IsRectEmpty()) return text;
  const CRect n = text.Normalized();
  Rect64 r{n.left, n.top, n.right, n.bottom};
  const uint32_t dir = attr_ & 0x300;
  const bool upright = dir == kDir90 || dir == kDir270;  // reads along y
  const int64_t dx = upright ? 2 : 8, dy = upright ? 8 : 2;
  r.left -= dx;
  r.right += dx;
  r.top -= dy;
  r.bottom += dy;
  // Grows the frame by `start` before the text and `end` after it, along the
  // reading direction.
  auto along = [&](int64_t start, int64_t end) {
    switch (dir) {
      case kDir90:
        r.top -= start;
        r.bottom += end;
        break;
      case kDir180:
        r.right += start;
        r.left -= end;
        break;
      case kDir270:
        r.bottom += start;
        r.top -= end;
        break;
      default:
        r.left -= start;
        r.right += end;
        break;
    }
  };
  switch (frame) {
    case kFrameBox:
    case kFrameBox2:
      along(50, 50);
      break;
    case kFrameInOut:
    case kFrameParallel:
    case kFrameRound:
    case kFrameRound2:
    case kFrameRound3:
      along(100, 100);
      break;
    case kFrameDiamond: {
      const int64_t hw = (r.right - r.left) / 2, hh = (r.bottom - r.top) / 2;
      r.left -= hw;
      r.right += hw;
      r.top -= hh;
      r.bottom += hh;
      break;
    }
    case kFrameIn:
    case kFrameIn2:
      along(50, 100);
      break;
    case kFrameOut:
    case kFrameOut2:
      along(100, 50);
      break;
    default:
      break;  // underlines and unknown codes: the margin only
  }
  return r.ToRect();
}

void CText::SetBoundRect(const CRect& box) {
  textRect_ = box;
  frameRect_ = FrameOf(box);
}

void CText::CalcBoundRect() {
  textRect_.SetRectEmpty();
  frameRect_.SetRectEmpty();
  if (name_.empty()) return;

  // What the text shows: the last value of a display property; a hidden
  // property that does not show its value takes no room.
  std::string shown;
  if (IsDispProperty()) {
    shown = GetPropertyVal(0);
    if (EqualNoCase(GetPropertyName(), "FILE")) {
      const size_t slash = ReverseFindChar(shown, '\\');
      if (slash != npos) shown.erase(0, slash + 1);
    }
    if (shown.empty()) {
      textRect_ = PlaceBox(size_ / 2, size_, point_, GetOrg(), attr_);
      frameRect_ = FrameOf(textRect_);
      return;
    }
  } else if ((attr_ & kTextHidden) != 0 && IsProperty() > 0) {
    return;
  } else {
    shown = name_;
  }

  if (FindUnescaped(shown, "\\n") == npos) {
    textRect_ = MeasureLine(shown, point_);
  } else {
    // One line per row, the rows stepping by the text height away from the
    // up side of the text.
    const Axes ax = AxesOf(attr_);
    int64_t x = point_.x, y = point_.y;
    for (std::string_view part : SplitUnescaped(shown, "\\n")) {
      std::string line = TrimRight(part);
      if (line.empty()) line = " ";
      textRect_ |= MeasureLine(line, {Clamp32(x), Clamp32(y)});
      x -= static_cast<int64_t>(ax.ux) * size_;
      y -= static_cast<int64_t>(ax.uy) * size_;
    }
  }
  frameRect_ = FrameOf(textRect_);
}

}  // namespace tavro
