#include "core/net/net_keys.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <functional>
#include <set>
#include <string_view>
#include <utility>

#include "core/model/junc.h"
#include "core/model/line.h"
#include "core/net/connectivity.h"
#include "core/net/net.h"
#include "core/platform/dbcs.h"

namespace tavro::netkeys {

namespace {

int Sign(int64_t v) { return v < 0 ? -1 : (v > 0 ? 1 : 0); }

}  // namespace

PointBox HitBox(const CLine& wire) {
  // One more than the pen on every side covers both the square ends of a
  // straight stroke and the rounding of the oblique test.
  const int32_t grow = std::abs(wire.GetWidth()) + 1;
  PointBox box;
  auto addStroke = [&](CPoint a, CPoint b) {
    box.Add(CRect(a, b).Normalized().Inflated(grow, grow));
  };
  addStroke(wire.GetStartPoint(), wire.GetEndPoint());
  for (int which : {1, 2}) {
    CPoint a, b;
    if (!wire.ArrowStrokes(which, a, b)) continue;
    const CPoint tip = which == 1 ? wire.GetStartPoint() : wire.GetEndPoint();
    addStroke(tip, a);
    addStroke(tip, b);
  }
  for (const CText* t : {&wire.GetNameText(), &wire.GetCrossNameText()}) {
    const CRect r = t->GetBoundingRect();
    if (!r.IsRectEmpty()) box.Add(r);
  }
  return box;
}

EntryKey KeyOf(const CNetName& entry) {
  EntryKey k;
  k.prefix = ToLower(entry.GetRefPrefix());
  k.number = entry.GetRefNo();
  k.ref = ToLower(entry.GetRefName());
  std::string letters = entry.GetPinNo();
  CNetName::BreakPinNo(letters, k.value);
  k.letters = ToLower(letters);
  return k;
}

int Compare(const EntryKey& a, const EntryKey& b) {
  if (const int c = a.prefix.compare(b.prefix); c != 0) return Sign(c);
  if (a.number != b.number) return Sign(int64_t{a.number} - b.number);
  if (const int c = a.ref.compare(b.ref); c != 0) return Sign(c);
  if (const int c = a.letters.compare(b.letters); c != 0) return Sign(c);
  return Sign(int64_t{a.value} - b.value);
}

}  // namespace tavro::netkeys

namespace tavro::netkeys {

std::string SameKey(const CNetName& entry) {
  std::string key = ToLower(entry.GetRefName());
  key += '\0';
  key += ToLower(entry.GetPinNo());
  return key;
}

bool SelectionSort(std::vector<EntryKey>& keys, const std::vector<char>& take,
                   const std::function<void(size_t, size_t)>& swap,
                   const std::function<bool(size_t)>& after) {
  // The positions still to be settled, smallest key first and, among equal
  // keys, the first position first: the item a scan would find.
  auto before = [&](size_t a, size_t b) {
    const int c = Compare(keys[a], keys[b]);
    return c != 0 ? c < 0 : a < b;
  };
  std::set<size_t, decltype(before)> open(before);
  for (size_t i = 0; i < keys.size(); ++i)
    if (take[i]) open.insert(i);
  for (size_t i = 0; i < keys.size(); ++i) {
    if (take[i]) {
      const size_t least = *open.begin();
      open.erase(open.begin());
      if (least != i) {
        open.erase(i);
        std::swap(keys[i], keys[least]);
        swap(i, least);
        open.insert(least);
      }
    }
    if (!after(i)) return false;
  }
  return true;
}

// ---------------------------------------------------------------------------
// Indexes

size_t IdTable::Find(uint64_t key) const {
  // Fibonacci hashing: the top bits of the product, as many as the table needs.
  const size_t mask = slots_.size() - 1;
  size_t at = static_cast<size_t>((key * 0x9E3779B97F4A7C15ULL) >> shift_);
  while (slots_[at].head != kNone && slots_[at].key != key) at = (at + 1) & mask;
  return at;
}

void IdTable::Grow() {
  std::vector<Slot> old = std::move(slots_);
  slots_.assign(old.empty() ? 64 : old.size() * 2, Slot{});
  shift_ = 64 - std::countr_zero(slots_.size());
  for (const Slot& s : old)
    if (s.head != kNone) slots_[Find(s.key)] = s;
}

void IdTable::Add(uint64_t key, uint32_t id) {
  if ((used_ + 1) * 4 > slots_.size() * 3) Grow();
  Slot& slot = slots_[Find(key)];
  if (slot.head == kNone) {
    slot.key = key;
    ++used_;
  }
  entries_.push_back({id, slot.head});
  slot.head = static_cast<uint32_t>(entries_.size() - 1);
}

void IdTable::Clear() {
  slots_.clear();
  entries_.clear();
  used_ = 0;
}

void ContactIndex::AddPoints(uint32_t id, const CNet& net) {
  ForEachContactPoint(net, [&](CPoint p) { AddPoint(id, p); });
}

void ContactIndex::AddName(uint32_t id, std::string_view name) {
  names_[ToLower(name)].push_back(id);
}

void ContactIndex::AddNames(uint32_t id, const CNet& net) {
  for (const auto& n : net.Names()) AddName(id, n);
}

void ContactIndex::Build(const std::vector<const CNet*>& nets, bool points, bool names) {
  Clear();
  for (uint32_t id = 0; id < nets.size(); ++id) {
    if (points) AddPoints(id, *nets[id]);
    if (names) AddNames(id, *nets[id]);
  }
}

const std::vector<uint32_t>* ContactIndex::Named(std::string_view name) const {
  const auto it = names_.find(ToLower(name));
  return it == names_.end() ? nullptr : &it->second;
}

namespace {

// Dots are filed in square cells of this many units a side; a wire whose hit
// box spans more cells than kMaxCells is tested against every dot instead.
constexpr int kCellShift = 10;
constexpr int64_t kMaxCells = 4096;

int64_t Cell(int32_t v) { return v >> kCellShift; }
uint64_t CellKey(int64_t x, int64_t y) {
  return (uint64_t{static_cast<uint32_t>(x)} << 32) | static_cast<uint32_t>(y);
}

}  // namespace

DotGrid::DotGrid(const std::vector<const CJunc*>& dots) : dots_(dots) {
  for (uint32_t i = 0; i < dots_.size(); ++i) {
    const CPoint p = dots_[i]->GetPoint();
    cells_[CellKey(Cell(p.x), Cell(p.y))].push_back(i);
  }
}

void DotGrid::WireOnDots(const CLine& wire, CNet& group) const {
  group.Add(wire);
  const PointBox reach = HitBox(wire);  // nothing outside it is hit
  if (reach.Empty()) return;
  const int64_t x0 = Cell(reach.left), x1 = Cell(reach.right);
  const int64_t y0 = Cell(reach.top), y1 = Cell(reach.bottom);
  std::vector<uint32_t> near;
  if ((x1 - x0 + 1) * (y1 - y0 + 1) > kMaxCells) {
    for (uint32_t i = 0; i < dots_.size(); ++i) near.push_back(i);
  } else {
    for (int64_t x = x0; x <= x1; ++x)
      for (int64_t y = y0; y <= y1; ++y)
        if (auto it = cells_.find(CellKey(x, y)); it != cells_.end())
          near.insert(near.end(), it->second.begin(), it->second.end());
    std::sort(near.begin(), near.end());
  }
  for (uint32_t i : near) {
    const CPoint p = dots_[i]->GetPoint();
    if (reach.Holds(p) && wire.CheckPoint(p)) group.Add(*dots_[i]);
  }
}

}  // namespace tavro::netkeys
