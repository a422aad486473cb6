// Precomputed keys that let the connectivity walks skip work without changing
// any answer: boxes around the points where a net can touch another, a small
// fingerprint of a net's names, and the sort key of a pin entry. Internal to
// core/net.
#pragma once

#include <climits>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/model/geometry.h"

namespace tavro {

class CJunc;
class CLine;
class CNet;
class CNetName;

namespace netkeys {

using tavro::PointKey;

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

// A box holding every point that the wire's hit test (CLine::CheckPoint)
// accepts: the stroke and its arrowheads with the pen, and the labels.
PointBox HitBox(const CLine& wire);

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

// Calls f(p) for every point where the net can touch another
// (CNet::CheckPoint): wire ends, junction dots, connection points of
// displayed pins. A point may come more than once.
template <class F>
void ForEachContactPoint(const CNet& net, F&& f);

// Ids filed under 64-bit keys: an open-addressing table of the last entry
// per key, and the entries chained back to the earlier ones of the key. One
// allocation per growth, none per key.
class IdTable {
 public:
  void Add(uint64_t key, uint32_t id);
  // Calls f(id) for every id filed under the key (the latest first).
  template <class F>
  void ForEach(uint64_t key, F&& f) const {
    if (slots_.empty()) return;
    for (uint32_t e = slots_[Find(key)].head; e != kNone; e = entries_[e].next) f(entries_[e].id);
  }
  void Clear();

 private:
  static constexpr uint32_t kNone = UINT32_MAX;
  struct Slot {
    uint64_t key = 0;
    uint32_t head = kNone;  // kNone: the slot is free
  };
  struct Entry {
    uint32_t id;
    uint32_t next;
  };
  size_t Find(uint64_t key) const;  // the key's slot, or the free slot where it would go
  void Grow();
  std::vector<Slot> slots_;
  std::vector<Entry> entries_;
  size_t used_ = 0;
  int shift_ = 58;  // 64 less the bits of the table's size
};

// The nets of a list by their place in it (the id), looked up by the points
// where they can touch and by their names (letter case folded as
// CompareNoCase folds it, so equal names share a key; a key may also hold a
// name that only folds alike, so a caller confirms with CheckNetName). The
// lists hold ids in no order, possibly repeated, possibly of nets since
// merged away: a caller takes the smallest id that qualifies.
class ContactIndex {
 public:
  void AddPoint(uint32_t id, CPoint p) { points_.Add(PointKey(p), id); }
  void AddPoints(uint32_t id, const CNet& net);
  void AddName(uint32_t id, std::string_view name);
  void AddNames(uint32_t id, const CNet& net);
  // The whole list, each net under its place (by its points, its names, or both).
  void Build(const std::vector<const CNet*>& nets, bool points = true, bool names = true);
  void Clear() {
    points_.Clear();
    names_.clear();
  }
  // Calls f(id) for the ids filed at the point.
  template <class F>
  void ForEachAt(CPoint p, F&& f) const {
    points_.ForEach(PointKey(p), f);
  }
  // The ids filed under the name's key; nullptr for none.
  const std::vector<uint32_t>* Named(std::string_view name) const;
  // The smallest id at the point below `limit` (any when unset).
  std::optional<uint32_t> FirstAt(CPoint p, std::optional<uint32_t> limit = std::nullopt) const {
    std::optional<uint32_t> best = limit;
    ForEachAt(p, [&](uint32_t id) {
      if (!best || id < *best) best = id;
    });
    return best == limit ? std::nullopt : best;
  }
  // The smallest id filed under the name's key that `ok` accepts.
  template <class Ok>
  std::optional<uint32_t> FirstNamed(std::string_view name, Ok&& ok) const {
    std::optional<uint32_t> best;
    if (const auto* ids = Named(name))
      for (uint32_t id : *ids)
        if ((!best || id < *best) && ok(id)) best = id;
    return best;
  }

 private:
  IdTable points_;
  std::unordered_map<std::string, std::vector<uint32_t>> names_;
};

// The junction dots of a sheet by where they lie, for the hit test of each
// wire against every dot (CSheet::GetWireOnJuncPoint) without a walk over
// all of them.
class DotGrid {
 public:
  explicit DotGrid(const std::vector<const CJunc*>& dots);
  // Adds the wire and, in list order, every dot its hit test accepts.
  void WireOnDots(const CLine& wire, CNet& group) const;

 private:
  std::vector<const CJunc*> dots_;
  std::unordered_map<uint64_t, std::vector<uint32_t>> cells_;
};

}  // namespace netkeys
}  // namespace tavro

#include "core/net/net.h"

namespace tavro::netkeys {

template <class F>
void ForEachContactPoint(const CNet& net, F&& f) {
  for (const auto& w : net.Wires()) {
    f(w->GetStartPoint());
    f(w->GetEndPoint());
  }
  for (const auto& j : net.Juncs()) f(j->GetPoint());
  for (const auto& e : net.Entries())
    if (e->GetPin().IsDisp()) f(e->GetPin().GetEndPoint());
}

}  // namespace tavro::netkeys
