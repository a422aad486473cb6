#include "core/net/net_keys.h"

#include <cstdlib>
#include <functional>
#include <set>
#include <string_view>
#include <utility>

#include "core/model/line.h"
#include "core/net/connectivity.h"
#include "core/net/net.h"
#include "core/platform/dbcs.h"

namespace tavro::netkeys {

namespace {

int Sign(int64_t v) { return v < 0 ? -1 : (v > 0 ? 1 : 0); }

}  // namespace

PointBox ContactBox(const CNet& net) {
  PointBox box;
  for (const auto& w : net.Wires()) {
    box.Add(w->GetStartPoint());
    box.Add(w->GetEndPoint());
  }
  for (const auto& j : net.Juncs()) box.Add(j->GetPoint());
  for (const auto& e : net.Entries())
    if (e->GetPin().IsDisp()) box.Add(e->GetPin().GetEndPoint());
  return box;
}

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

uint64_t NameBit(std::string_view name) {
  return uint64_t{1} << (std::hash<std::string>{}(ToLower(name)) % 64);
}

uint64_t NameBits(const CNet& net, bool withMarkers) {
  uint64_t bits = 0;
  for (const auto& n : net.Names())
    if (withMarkers || !IsMarkerName(n)) bits |= NameBit(n);
  return bits;
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

}  // namespace tavro::netkeys
