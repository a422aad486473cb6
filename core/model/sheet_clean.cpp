// Sheet clean-up: removing empty, duplicated and stray items, merging
// collinear lines, and reducing a before / after pair of sheets to what
// changed.
//
// Every rule here is a walk in list order ("each item against every later
// item"); where a walk is quadratic, candidates are first grouped by a key
// that equal (or collinear) items necessarily share, and the walk then runs
// in list order within each group with the items' own comparisons. Items of
// different groups never affect each other, so the result is the one of the
// plain walk.
#include <algorithm>
#include <cstdint>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "core/model/sheet.h"

namespace tavro {

namespace {

// ---------------------------------------------------------------------------
// Two lines on one row or column

// 0 when both lines are horizontal on one row, 1 when both are vertical on
// one column, -1 otherwise.
int CommonAxis(const CLine& a, const CLine& b) {
  if (a.IsHorizontal() && b.IsHorizontal() && a.GetStartPoint().y == b.GetStartPoint().y) return 0;
  if (a.IsVertical() && b.IsVertical() && a.GetStartPoint().x == b.GetStartPoint().x) return 1;
  return -1;
}

int64_t Along(CPoint p, int axis) { return axis == 0 ? p.x : p.y; }

// The stretch a line covers along the axis.
struct Extent {
  int64_t lo = 0, hi = 0;
  bool Holds(int64_t t) const { return t >= lo && t <= hi; }
  bool HoldsStrictly(int64_t t) const { return t > lo && t < hi; }
};

Extent ExtentOf(const CLine& l, int axis) {
  const int64_t s = Along(l.GetStartPoint(), axis), e = Along(l.GetEndPoint(), axis);
  return {std::min(s, e), std::max(s, e)};
}

Extent Overlap(const Extent& a, const Extent& b) {
  return {std::max(a.lo, b.lo), std::min(a.hi, b.hi)};
}

// Gives the line the stretch [lo, hi], keeping its direction.
void SetExtent(CLine& l, int axis, int64_t lo, int64_t hi) {
  const bool rising = Along(l.GetStartPoint(), axis) <= Along(l.GetEndPoint(), axis);
  CPoint s = l.GetStartPoint(), e = l.GetEndPoint();
  auto put = [axis](CPoint& p, int64_t t) { (axis == 0 ? p.x : p.y) = static_cast<int32_t>(t); };
  put(s, rising ? lo : hi);
  put(e, rising ? hi : lo);
  l.SetStartPoint(s);
  l.SetPoint(e);
}

// Cuts the line back by an overlap that reaches one of its ends: the line
// keeps the part outside the overlap (nothing when the overlap is all of it).
void CutBack(CLine& l, int axis, const Extent& overlap) {
  const Extent x = ExtentOf(l, axis);
  if (overlap.lo <= x.lo)
    SetExtent(l, axis, std::min(overlap.hi, x.hi), x.hi);
  else
    SetExtent(l, axis, x.lo, std::max(overlap.lo, x.lo));
}

}  // namespace

bool CLine::Clean(CLine& other, int mask) {
  if (mask == 3) return false;
  if (IsArrow() != 0 || other.IsArrow() != 0) return false;
  if (!GetName().empty() && !other.GetName().empty() && GetName() != other.GetName()) return false;
  const int axis = CommonAxis(*this, other);
  if (axis < 0) return false;
  const Extent a = ExtentOf(*this, axis), b = ExtentOf(other, axis);
  const Extent overlap = Overlap(a, b);

  if (mask < 0) {
    constexpr uint32_t kIgnored = kLineHighlight | kLineMarkMask;
    if (((type_ ^ other.type_) & ~kIgnored) == 0) {
      // The same kind of line: one end of the other within this one joins them.
      if (!a.Holds(b.lo) && !a.Holds(b.hi)) return false;
      SetExtent(*this, axis, std::min(a.lo, b.lo), std::max(a.hi, b.hi));
      return true;
    }
    // Different kinds of wire overlapping at one end: the overlap goes from
    // the narrower one (from this one at equal widths); both stay.
    if (GetLineType() != kLineWire) return false;
    if ((a.HoldsStrictly(b.lo) ? 1 : 0) + (a.HoldsStrictly(b.hi) ? 1 : 0) != 1) return false;
    CutBack(width_ > other.width_ ? other : *this, axis, overlap);
    return false;
  }

  // The junction rules.
  const bool onStart = (mask & 1) != 0, onEnd = (mask & 2) != 0;
  if (!onStart && !onEnd) return a.Holds(b.lo) && a.Holds(b.hi);  // only a redundant line goes
  if (onStart && onEnd) return false;
  const int64_t tStart = Along(other.GetStartPoint(), axis),
                tEnd = Along(other.GetEndPoint(), axis);
  const bool startIn = a.Holds(tStart), endIn = a.Holds(tEnd);
  if (startIn && endIn) return true;
  if (!startIn && !endIn) return false;
  const int64_t outside = startIn ? tEnd : tStart;
  const bool junctionInside = (mask & (startIn ? 4 : 8)) != 0;
  const int64_t freeEnd = Along(onStart ? end_ : start_, axis);
  const int64_t junctionEnd = Along(onStart ? start_ : end_, axis);
  const bool pastFreeEnd = freeEnd > junctionEnd ? outside > freeEnd : outside < freeEnd;
  if (pastFreeEnd) {
    if (!junctionInside) {
      SetExtent(*this, axis, std::min(a.lo, b.lo), std::max(a.hi, b.hi));
      return true;
    }
    CutBack(*this, axis, overlap);  // this line now ends where the other's junction is
    return false;
  }
  // The other line runs out past this line's junction: it starts there.
  if ((mask & 12) == 0) CutBack(other, axis, overlap);
  return false;
}

// ---------------------------------------------------------------------------
// Removing flagged items

template <class T>
int CSheet::EraseFlagged(ItemList<T>& list, const std::vector<bool>& gone) {
  ItemList<T> kept, removed;
  kept.reserve(list.size());
  for (size_t i = 0; i < list.size(); ++i) (gone[i] ? removed : kept).push_back(std::move(list[i]));
  list = std::move(kept);
  // The bookkeeping (and the named-line hook) sees the sheet as it now is.
  for (const auto& item : removed) Removed(*item);
  return static_cast<int>(removed.size());
}

namespace {

template <class T, class Pred>
std::vector<bool> Flag(const ItemList<T>& list, Pred pred) {
  std::vector<bool> gone(list.size());
  for (size_t i = 0; i < list.size(); ++i) gone[i] = pred(*list[i]);
  return gone;
}

// Flags every item equal (`eq`) to an earlier kept item of the list; equal
// items share their `key`. `onDuplicate(kept, later)` runs for each one
// flagged, in list order.
template <class T, class Key, class Eq, class OnDuplicate>
std::vector<bool> FlagLaterDuplicates(ItemList<T>& list, Key key, Eq eq, OnDuplicate onDuplicate) {
  std::vector<bool> gone(list.size());
  std::unordered_map<uint64_t, std::vector<size_t>> kept;
  for (size_t i = 0; i < list.size(); ++i) {
    std::vector<size_t>& bucket = kept[key(*list[i])];
    for (size_t k : bucket)
      if (eq(*list[k], *list[i])) {
        onDuplicate(*list[k], *list[i]);
        gone[i] = true;
        break;
      }
    if (!gone[i]) bucket.push_back(i);
  }
  return gone;
}

// Pairs each item of `a` with the first unpaired equal item of `b`, flagging both.
template <class T, class Key, class Eq>
void FlagPairs(const ItemList<T>& a, const ItemList<T>& b, Key key, Eq eq, std::vector<bool>& goneA,
               std::vector<bool>& goneB) {
  goneA.assign(a.size(), false);
  goneB.assign(b.size(), false);
  std::unordered_map<uint64_t, std::vector<size_t>> buckets;
  for (size_t j = 0; j < b.size(); ++j) buckets[key(*b[j])].push_back(j);
  for (size_t i = 0; i < a.size(); ++i) {
    auto it = buckets.find(key(*a[i]));
    if (it == buckets.end()) continue;
    for (size_t j : it->second)
      if (!goneB[j] && eq(*a[i], *b[j])) {
        goneA[i] = goneB[j] = true;
        break;
      }
  }
}

uint64_t LineKey(const CLine& l) { return PairKey(l.GetStartPoint(), l.GetEndPoint()); }
uint64_t ArcKey(const CArc& a) { return PointKey(a.GetCenter()); }
uint64_t JuncKey(const CJunc& j) { return PointKey(j.GetPoint()); }
uint64_t PinKey(const CPin& p) { return PairKey(p.GetStartPoint(), p.GetEndPoint()); }
// Two texts without text are equal wherever they are.
uint64_t TextKey(const CText& t) { return t.IsEmpty() ? 0 : PointKey(t.GetPoint()) | 1; }

}  // namespace

// ---------------------------------------------------------------------------
// The clean-up members

int CSheet::CleanNulItem() {
  int n = 0;
  for (ItemList<CLine>* list : {&wires_, &buses_, &lines_})
    n += EraseFlagged(*list, Flag(*list, [](const CLine& l) { return l.IsPoint(); }));
  n += EraseFlagged(arcs_, Flag(arcs_, [](const CArc& a) { return a.GetRadial() < 1; }));
  n += EraseFlagged(texts_, Flag(texts_, [](const CText& t) { return t.IsEmpty(); }));
  return n;
}

int CSheet::CleanDupItem() {
  int n = 0;
  for (ItemList<CLine>* list : {&wires_, &buses_, &lines_}) {
    auto takeName = [](CLine& kept, const CLine& later) {
      if (kept.GetName().empty() && !later.GetName().empty()) kept.SetNameText(later.GetNameText());
    };
    // A copy with another name is no duplicate: its name joins the nets of
    // that name, and dropping it would cut them off.
    auto eq = [](const CLine& a, const CLine& b) {
      return a == b && (a.GetName().empty() || b.GetName().empty() || a.GetName() == b.GetName());
    };
    n += EraseFlagged(*list, FlagLaterDuplicates(*list, LineKey, eq, takeName));
  }
  auto equal = [](const auto& a, const auto& b) { return a == b; };
  auto none = [](auto&, const auto&) {};
  n += EraseFlagged(arcs_, FlagLaterDuplicates(arcs_, ArcKey, equal, none));
  n += EraseFlagged(texts_, FlagLaterDuplicates(texts_, TextKey, equal, none));
  n += EraseFlagged(juncs_, FlagLaterDuplicates(juncs_, JuncKey, equal, none));
  auto samePin = [](const CPin& a, const CPin& b) { return a.Compare(b); };
  n += EraseFlagged(pins_, FlagLaterDuplicates(pins_, PinKey, samePin, none));
  return n;
}

int CSheet::CleanOutItem(int32_t width, int32_t height) {
  const CRect sheet = CRect(0, 0, width, height).Normalized();
  // Outside: no overlap of positive area with the sheet.
  auto outside = [&sheet](CRect box) {
    box.NormalizeRect();
    return !(box.left < sheet.right && sheet.left < box.right && box.top < sheet.bottom &&
             sheet.top < box.bottom);
  };
  int n = 0;
  for (ItemList<CLine>* list : {&wires_, &buses_, &lines_})
    n += EraseFlagged(*list,
                      Flag(*list, [&](const CLine& l) { return outside(l.GetBoundingRect()); }));
  n +=
      EraseFlagged(arcs_, Flag(arcs_, [&](const CArc& a) { return outside(a.GetBoundingRect()); }));
  n += EraseFlagged(texts_,
                    Flag(texts_, [&](const CText& t) { return outside(t.GetBoundingRect()); }));
  n += EraseFlagged(juncs_,
                    Flag(juncs_, [&](const CJunc& j) { return outside(j.GetBoundingRect()); }));
  n += EraseFlagged(parts_, Flag(parts_, [&](CPart& p) { return outside(p.GetBoundingRect()); }));
  // A hidden pin has no box to draw; where it is decides (its points, grown
  // by one), so that a hidden pin on the sheet is never taken for a stray one.
  n += EraseFlagged(pins_, Flag(pins_, [&](const CPin& p) {
                      CRect box = p.GetBoundingRect();
                      if (box.IsRectEmpty())
                        box = CRect(p.GetStartPoint(), p.GetEndPoint()).Normalized().Inflated(1, 1);
                      return outside(box);
                    }));
  return n;
}

int CSheet::CleanLineList(ItemList<CLine>& list, bool junctionRules) {
  std::unordered_set<uint64_t> junctions;
  if (junctionRules)
    for (const auto& j : juncs_) junctions.insert(PointKey(j->GetPoint()));
  auto junctionAt = [&](CPoint p) { return junctions.contains(PointKey(p)); };

  // Only lines on one row (or one column) can merge: the pass runs in list
  // order within each row and column.
  std::unordered_map<uint64_t, std::vector<size_t>> rows;
  std::vector<uint64_t> order;  // the rows in the order first met
  for (size_t i = 0; i < list.size(); ++i) {
    const CLine& l = *list[i];
    uint64_t key;
    if (l.IsHorizontal())
      key = static_cast<uint32_t>(l.GetStartPoint().y);
    else if (l.IsVertical())
      key = (uint64_t{1} << 32) | static_cast<uint32_t>(l.GetStartPoint().x);
    else
      continue;
    auto [it, fresh] = rows.try_emplace(key);
    if (fresh) order.push_back(key);
    it->second.push_back(i);
  }

  std::vector<bool> gone(list.size());
  int changes = 0;
  for (uint64_t key : order) {
    const std::vector<size_t>& row = rows[key];
    for (size_t a = 0; a < row.size(); ++a) {
      if (gone[row[a]]) continue;
      CLine& w = *list[row[a]];
      for (size_t b = a + 1; b < row.size(); ++b) {
        if (gone[row[b]]) continue;
        CLine& v = *list[row[b]];
        int mask = -1;
        if (junctionRules) {
          mask = (junctionAt(w.GetStartPoint()) ? 1 : 0) | (junctionAt(w.GetEndPoint()) ? 2 : 0) |
                 (junctionAt(v.GetStartPoint()) ? 4 : 0) | (junctionAt(v.GetEndPoint()) ? 8 : 0);
          if (mask == 0) mask = -1;
        }
        const CLine wasW = w, wasV = v;
        if (w.Clean(v, mask)) {
          if (w.GetName().empty() && !v.GetName().empty()) w.SetNameText(v.GetNameText());
          gone[row[b]] = true;
          ++changes;
        } else if (w.GetStartPoint() != wasW.GetStartPoint() ||
                   w.GetEndPoint() != wasW.GetEndPoint() ||
                   v.GetStartPoint() != wasV.GetStartPoint() ||
                   v.GetEndPoint() != wasV.GetEndPoint()) {
          ++changes;
        }
        // A line cut back to nothing was wholly covered by the other: it goes.
        if (v.IsPoint()) gone[row[b]] = true;
        if (w.IsPoint()) {
          gone[row[a]] = true;
          break;
        }
      }
    }
  }
  EraseFlagged(list, gone);
  return changes;
}

int CSheet::CleanLine(bool wireJunc) {
  return CleanLineList(wires_, wireJunc) + CleanLineList(buses_, false) +
         CleanLineList(lines_, false);
}

void CSheet::NormalLines() {
  for (ItemList<CLine>* list : {&wires_, &buses_, &lines_})
    for (auto& l : *list)
      if (l->NormalPoint()) l->ModifyType(0, kLineSwapped);
}

void CSheet::RestoreLineDirections() {
  for (ItemList<CLine>* list : {&wires_, &buses_, &lines_})
    for (auto& l : *list)
      if (l->GetType() & kLineSwapped) {
        l->Swap();
        l->ModifyType(kLineSwapped, 0);
      }
}

void CSheet::CleanSheet(CSheet& other) {
  std::vector<bool> mine, theirs;
  auto sameLine = [](const CLine& a, const CLine& b) { return a.Compare(b); };
  for (auto list : {&CSheet::wires_, &CSheet::buses_, &CSheet::lines_}) {
    FlagPairs(this->*list, other.*list, LineKey, sameLine, mine, theirs);
    EraseFlagged(this->*list, mine);
    other.EraseFlagged(other.*list, theirs);
  }
  auto equal = [](const auto& a, const auto& b) { return a == b; };
  FlagPairs(arcs_, other.arcs_, ArcKey, equal, mine, theirs);
  EraseFlagged(arcs_, mine);
  other.EraseFlagged(other.arcs_, theirs);
  FlagPairs(texts_, other.texts_, TextKey, equal, mine, theirs);
  EraseFlagged(texts_, mine);
  other.EraseFlagged(other.texts_, theirs);
  FlagPairs(juncs_, other.juncs_, JuncKey, equal, mine, theirs);
  EraseFlagged(juncs_, mine);
  other.EraseFlagged(other.juncs_, theirs);
  auto samePin = [](const CPin& a, const CPin& b) { return a.Compare(b); };
  FlagPairs(pins_, other.pins_, PinKey, samePin, mine, theirs);
  EraseFlagged(pins_, mine);
  other.EraseFlagged(other.pins_, theirs);
}

}  // namespace tavro
