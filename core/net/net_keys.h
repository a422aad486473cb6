// Precomputed keys that let the connectivity walks skip work without changing
// any answer: boxes around the points where a net can touch another, a small
// fingerprint of a net's names, and the sort key of a pin entry. Internal to
// core/net.
#pragma once

#include <climits>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/model/geometry.h"

namespace tavro {

class CLine;
class CNet;
class CNetName;

namespace netkeys {

// A point as one exact key (both full coordinates).
inline uint64_t PointKey(CPoint p) {
  return (uint64_t{static_cast<uint32_t>(p.y)} << 32) | static_cast<uint32_t>(p.x);
}

// The smallest box (edges included) around a set of points; empty at first.
struct PointBox {
  int32_t left = INT32_MAX, top = INT32_MAX, right = INT32_MIN, bottom = INT32_MIN;

  bool Empty() const { return left > right; }
  void Add(CPoint p) {
    left = p.x < left ? p.x : left;
    right = p.x > right ? p.x : right;
    top = p.y < top ? p.y : top;
    bottom = p.y > bottom ? p.y : bottom;
  }
  void Add(const PointBox& o) {
    if (o.Empty()) return;
    Add(CPoint(o.left, o.top));
    Add(CPoint(o.right, o.bottom));
  }
  // Adds a stored rectangle (normalised first).
  void Add(const CRect& r) {
    const CRect n = r.Normalized();
    Add(CPoint(n.left, n.top));
    Add(CPoint(n.right, n.bottom));
  }
  bool Holds(CPoint p) const { return p.x >= left && p.x <= right && p.y >= top && p.y <= bottom; }
  bool Meets(const PointBox& o) const {
    return left <= o.right && o.left <= right && top <= o.bottom && o.top <= bottom;
  }
};

// The box of every point where the net can touch another (CNet::CheckPoint):
// wire ends, junction dots and the connection points of displayed pins. Two
// nets whose boxes do not meet never touch.
PointBox ContactBox(const CNet& net);

// A box holding every point that the wire's hit test (CLine::CheckPoint)
// accepts: the stroke and its arrowheads with the pen, and the labels.
PointBox HitBox(const CLine& wire);

// One bit per name (letter case ignored): two nets can share a name only when
// their fingerprints share a bit. `withMarkers` false leaves out the marker
// names, as CNet::CheckNetName(other) does for the net it is asked of.
uint64_t NameBit(std::string_view name);
uint64_t NameBits(const CNet& net, bool withMarkers);

// The order of CNetName::Compare as one precomputed value (taken after
// BreakPartRef): the strings are folded as CompareNoCase folds them, so a
// plain byte comparison gives the same answer.
struct EntryKey {
  std::string prefix;
  int number = 0;
  std::string ref;
  std::string letters;
  int value = 0;
};
EntryKey KeyOf(const CNetName& entry);
// <0, 0, >0 exactly as CNetName::Compare of the two entries.
int Compare(const EntryKey& a, const EntryKey& b);

// The equality of CNetName (reference and pin number, letter case ignored)
// as one string: equal entries have equal strings.
std::string SameKey(const CNetName& entry);

// The selection sort of the connectivity lists: position after position,
// among the positions that take part (`take`), the first item with the
// smallest key from that position on is swapped into it. Gives exactly that
// order, finding each smallest item through an ordered index instead of a
// scan. `swap(i, j)` exchanges two items of the caller's list (the keys are
// exchanged here); `after(i)` runs when position i (taking part or not) is
// done and returns false to stop the sort, which then returns false.
bool SelectionSort(std::vector<EntryKey>& keys, const std::vector<char>& take,
                   const std::function<void(size_t, size_t)>& swap,
                   const std::function<bool(size_t)>& after);

}  // namespace netkeys
}  // namespace tavro
