// Points, rectangles and the codes every item shares: directions, rotation,
// mirroring, text alignment and item kinds. Coordinates are signed 32-bit
// integers in mils (0.001 inch) with y pointing up.
#pragma once

#include <algorithm>
#include <climits>
#include <cstdint>
#include <string>

namespace tavro {

// Coordinates come from files, so arithmetic on them must not overflow:
// results beyond the 32-bit range stop at its ends (no drawing comes near).
constexpr int32_t Sat32(int64_t v) {
  return v > INT32_MAX ? INT32_MAX : v < INT32_MIN ? INT32_MIN : static_cast<int32_t>(v);
}
constexpr int32_t AddSat(int32_t a, int64_t b) { return Sat32(int64_t{a} + b); }

struct CPoint {
  int32_t x = 0;
  int32_t y = 0;

  constexpr CPoint() = default;
  constexpr CPoint(int32_t x_, int32_t y_) : x(x_), y(y_) {}

  constexpr CPoint operator+(CPoint o) const { return {AddSat(x, o.x), AddSat(y, o.y)}; }
  constexpr CPoint operator-(CPoint o) const {
    return {AddSat(x, -int64_t{o.x}), AddSat(y, -int64_t{o.y})};
  }
  constexpr CPoint operator-() const { return {Sat32(-int64_t{x}), Sat32(-int64_t{y})}; }
  constexpr CPoint& operator+=(CPoint o) { return *this = *this + o; }
  constexpr CPoint& operator-=(CPoint o) { return *this = *this - o; }
  constexpr bool operator==(const CPoint&) const = default;

  // Quarter turn about c: dir != 0 counter-clockwise, dir == 0 clockwise.
  constexpr CPoint Rotated(CPoint c, int dir) const {
    const int64_t dx = int64_t{x} - c.x, dy = int64_t{y} - c.y;
    return dir != 0 ? CPoint{AddSat(c.x, -dy), AddSat(c.y, dx)}
                    : CPoint{AddSat(c.x, dy), AddSat(c.y, -dx)};
  }
  constexpr CPoint MirroredX(CPoint c) const { return {Sat32(2 * int64_t{c.x} - x), y}; }
  constexpr CPoint MirroredY(CPoint c) const { return {x, Sat32(2 * int64_t{c.y} - y)}; }
};

// A rectangle as stored: (left, top, right, bottom), possibly un-normalised.
// "Empty" means all four values are zero; the union of an empty rectangle with
// another is the other. Containment and intersection normalise first and
// include the edges.
struct CRect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;

  constexpr CRect() = default;
  constexpr CRect(int32_t l, int32_t t, int32_t r, int32_t b)
      : left(l), top(t), right(r), bottom(b) {}
  constexpr CRect(CPoint a, CPoint b) : left(a.x), top(a.y), right(b.x), bottom(b.y) {}

  constexpr bool operator==(const CRect&) const = default;

  constexpr bool IsRectEmpty() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
  constexpr void SetRectEmpty() { *this = CRect(); }
  constexpr int32_t Width() const { return right - left; }
  constexpr int32_t Height() const { return bottom - top; }
  constexpr CPoint TopLeft() const { return {left, top}; }
  constexpr CPoint BottomRight() const { return {right, bottom}; }
  constexpr CPoint CenterPoint() const { return {(left + right) / 2, (top + bottom) / 2}; }

  constexpr CRect Normalized() const {
    return {std::min(left, right), std::min(top, bottom), std::max(left, right),
            std::max(top, bottom)};
  }
  constexpr void NormalizeRect() { *this = Normalized(); }

  // Grows the rectangle by dx on the left and right and dy on top and bottom
  // (assumes a normalised rectangle).
  constexpr void InflateRect(int32_t dx, int32_t dy) {
    left = AddSat(left, -int64_t{dx});
    right = AddSat(right, dx);
    top = AddSat(top, -int64_t{dy});
    bottom = AddSat(bottom, dy);
  }
  constexpr CRect Inflated(int32_t dx, int32_t dy) const {
    CRect r = *this;
    r.InflateRect(dx, dy);
    return r;
  }
  constexpr void OffsetRect(CPoint d) {
    left = AddSat(left, d.x);
    right = AddSat(right, d.x);
    top = AddSat(top, d.y);
    bottom = AddSat(bottom, d.y);
  }

  // Edges included; the rectangle is normalised first.
  constexpr bool PtInRect(CPoint p) const {
    CRect n = Normalized();
    return p.x >= n.left && p.x <= n.right && p.y >= n.top && p.y <= n.bottom;
  }

  // True when the two (normalised) rectangles share at least one point.
  // An empty rectangle meets nothing.
  constexpr bool Intersects(const CRect& o) const {
    if (IsRectEmpty() || o.IsRectEmpty()) return false;
    CRect a = Normalized(), b = o.Normalized();
    return a.left <= b.right && b.left <= a.right && a.top <= b.bottom && b.top <= a.bottom;
  }

  // Union of the normalised rectangles; an empty rectangle is the identity.
  constexpr CRect Union(const CRect& o) const {
    if (o.IsRectEmpty()) return *this;
    if (IsRectEmpty()) return o;
    CRect a = Normalized(), b = o.Normalized();
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
            std::max(a.bottom, b.bottom)};
  }
  constexpr CRect& operator|=(const CRect& o) {
    *this = Union(o);
    return *this;
  }

  // Intersection of the normalised rectangles; empty when they do not meet.
  constexpr CRect Intersection(const CRect& o) const {
    if (!Intersects(o)) return {};
    CRect a = Normalized(), b = o.Normalized();
    return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
            std::min(a.bottom, b.bottom)};
  }
};

// Quarter-turn codes of a direction word (mask 0x380; 0x080 marks an oblique pin).
inline constexpr uint32_t kDirMask = 0x380;
inline constexpr uint32_t kDir0 = 0x000;
inline constexpr uint32_t kDir90 = 0x100;
inline constexpr uint32_t kDir180 = 0x200;
inline constexpr uint32_t kDir270 = 0x300;
inline constexpr uint32_t kDirOblique = 0x080;

// Steps a quarter-turn code: dir != 0 by +0x100 (0x300 wraps to 0), dir == 0 by -0x100.
constexpr uint32_t StepQuarterTurn(uint32_t code, int dir) {
  uint32_t q = code & 0x300;
  q = dir != 0 ? (q + 0x100) & 0x300 : (q + 0x300) & 0x300;
  return q;
}

// Part rotation/mirror word bits.
inline constexpr uint32_t kPartMirrorX = 0x1000;
inline constexpr uint32_t kPartMirrorY = 0x2000;

// Text alignment codes (the Org bits of a text attribute word).
enum TextOrg : int {
  kOrgTopLeft = 0,
  kOrgTopCenter = 6,
  kOrgTopRight = 2,
  kOrgMiddleLeft = 24,
  kOrgMiddleCenter = 30,
  kOrgMiddleRight = 26,
  kOrgBottomLeft = 8,
  kOrgBottomCenter = 14,
  kOrgBottomRight = 10,
};

// Maps the numeric-keypad key codes 97-105 (keypad 1-9) to alignment codes;
// any other value is returned unchanged.
constexpr int KeypadToOrg(int code) {
  switch (code) {
    case 97:
      return kOrgBottomLeft;
    case 98:
      return kOrgBottomCenter;
    case 99:
      return kOrgBottomRight;
    case 100:
      return kOrgMiddleLeft;
    case 101:
      return kOrgMiddleCenter;
    case 102:
      return kOrgMiddleRight;
    case 103:
      return kOrgTopLeft;
    case 104:
      return kOrgTopCenter;
    case 105:
      return kOrgTopRight;
    default:
      return code;
  }
}

// Item kind codes taken and returned by the sheet's counting and list operations.
enum ItemKind : int {
  kKindWire = 1,
  kKindBus = 3,
  kKindLine = 5,
  kKindJunc = 7,
  kKindPart = 8,
  kKindPin = 11,
  kKindText = 14,
  kKindArc = 22,
  kKindPartPins = 23,
  kKindHWire = 24,
  kKindVWire = 25,
  kKindHBus = 26,
  kKindVBus = 27,
  kKindHLine = 28,
  kKindVLine = 29,
  kKindHAny = 30,
  kKindVAny = 31,
};

// A point as one exact key (both full coordinates), for hash tables of
// points; and an ordered pair of points (a line's ends) as one hash key.
inline uint64_t PointKey(CPoint p) {
  return (uint64_t{static_cast<uint32_t>(p.y)} << 32) | static_cast<uint32_t>(p.x);
}
inline uint64_t PairKey(CPoint a, CPoint b) {
  return PointKey(a) ^ (PointKey(b) * 0x9E3779B97F4A7C15ULL);
}

// Shows a coordinate as users see it: value / 100 and value % 100, "%4d.%02d".
std::string FormatCoord(int32_t v);

}  // namespace tavro
