// CSheet: sorting the lists in place. Every sort is a selection sort: each
// pass picks the first smallest of the remaining items and swaps it into
// place, so items that compare equal keep a predictable order. The part
// sorts report progress and can be cancelled through the host.
#include <algorithm>
#include <cstdint>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "core/model/sheet.h"
#include "core/platform/dbcs.h"
#include "core/platform/host.h"

namespace tavro {

namespace {

// Selection sort of `list` with `keys` moved along; less(a, b) on the keys.
// Used where `less` is not a strict weak order (the pin order), so only the
// plain scan gives the defined result.
template <class T, class Key, class Less>
void SelectionSort(ItemList<T>& list, std::vector<Key>& keys, Less less) {
  for (size_t i = 0; i + 1 < list.size(); ++i) {
    size_t m = i;
    for (size_t j = i + 1; j < list.size(); ++j)
      if (less(keys[j], keys[m])) m = j;
    if (m != i) {
      std::swap(list[i], list[m]);
      std::swap(keys[i], keys[m]);
    }
  }
}

// The same selection sort for a strict weak order `less`, finding each
// pass's first smallest item through an ordered index of the unsorted
// positions (smallest key, then first position) instead of a scan: the
// result, swaps included, is exactly the scan's. `afterPass(i)` runs after
// position i is settled and returns false to stop; the sort then returns
// false.
template <class T, class Key, class Less, class AfterPass>
bool OrderedSelectionSort(ItemList<T>& list, std::vector<Key>& keys, Less less,
                          AfterPass afterPass) {
  auto before = [&](size_t a, size_t b) {
    if (less(keys[a], keys[b])) return true;
    if (less(keys[b], keys[a])) return false;
    return a < b;
  };
  std::set<size_t, decltype(before)> open(before);
  for (size_t i = 0; i < list.size(); ++i) open.insert(i);
  for (size_t i = 0; i < list.size(); ++i) {
    const size_t least = *open.begin();
    open.erase(open.begin());
    if (least != i) {
      // Position i moves to `least`: re-file it under its new position.
      open.erase(i);
      std::swap(list[i], list[least]);
      std::swap(keys[i], keys[least]);
      open.insert(least);
    }
    if (!afterPass(i)) return false;
  }
  return true;
}

template <class T, class Key, class Less>
void OrderedSelectionSort(ItemList<T>& list, std::vector<Key>& keys, Less less) {
  OrderedSelectionSort(list, keys, less, [](size_t) { return true; });
}

// The part sorts: one pass per position, each followed by a step of the
// progress; 1 when the host asks to stop, else 0.
template <class Key, class Less>
int SortParts(ItemList<CPart>& parts, std::vector<Key>& keys, Less less) {
  if (parts.empty()) return 0;
  Host& host = CurrentHost();
  host.BeginStage(kStageSortParts, static_cast<int>(parts.size()));
  const bool done =
      OrderedSelectionSort(parts, keys, less, [&](size_t) { return host.Step(true) == 0; });
  return done ? 0 : 1;
}

// The decimal value at the start of s, as atoi reads it (saturated).
int64_t LeadingValue(std::string_view s) {
  size_t i = 0;
  while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
  bool neg = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) neg = s[i++] == '-';
  int64_t v = 0;
  for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i)
    v = std::min<int64_t>(v * 10 + (s[i] - '0'), INT64_C(1) << 40);
  return neg ? -v : v;
}

}  // namespace

void CSheet::SortText() {
  std::vector<const CText*> keys;
  for (const auto& t : texts_) keys.push_back(t.get());
  OrderedSelectionSort(texts_, keys, [](const CText* a, const CText* b) { return *a < *b; });
}

void CSheet::SortPin() {
  std::vector<const CPin*> keys;
  for (const auto& p : pins_) keys.push_back(p.get());
  SelectionSort(pins_, keys, [](const CPin* a, const CPin* b) { return *a < *b; });
}

void CSheet::SortLine(int kind) {
  ItemList<CLine>& list = kind == kKindHWire || kind == kKindVWire ? wires_
                          : kind == kKindHBus || kind == kKindVBus ? buses_
                                                                   : lines_;
  std::vector<CPoint> keys;
  for (const auto& l : list) keys.push_back(l->GetStartPoint());
  const bool rows = kind == kKindHWire || kind == kKindHBus || kind == kKindHLine;
  if (rows) {
    // Horizontal lines from the top down, each row from the left.
    OrderedSelectionSort(list, keys,
                         [](CPoint a, CPoint b) { return a.y != b.y ? a.y > b.y : a.x < b.x; });
  } else {
    // Vertical lines from the left, each column from the bottom up.
    OrderedSelectionSort(list, keys,
                         [](CPoint a, CPoint b) { return a.x != b.x ? a.x < b.x : a.y < b.y; });
  }
}

int CSheet::SortPart() {
  // Key: rows from the top of the sheet (the height comes from the
  // "{TAVRO:SIZE}width,height" text the gathering adds), then x. The key is
  // the signed 32-bit value of ((height - y) << 16) | (x & 0xFFFF), computed
  // in unsigned arithmetic so that large coordinates wrap instead of
  // overflowing.
  std::vector<int32_t> keys;
  for (const auto& p : parts_) {
    const std::string size = p->FindString("{TAVRO:SIZE}");
    const std::string_view tail =
        size.size() > 5 ? std::string_view(size).substr(size.size() - 5) : std::string_view(size);
    const int64_t height = LeadingValue(tail);
    const CPoint c = p->GetCenter();
    const auto row = static_cast<uint32_t>(static_cast<uint64_t>(height - c.y));
    const uint32_t key = (row << 16) | (static_cast<uint32_t>(c.x) & 0xFFFFu);
    keys.push_back(static_cast<int32_t>(key));
  }
  return SortParts(parts_, keys, [](int32_t a, int32_t b) { return a < b; });
}

int CSheet::SortPartRef() {
  std::vector<CPart::RefParts> keys;
  for (const auto& p : parts_) keys.push_back(CPart::SplitRef(p->GetRefName()));
  return SortParts(parts_, keys, [](const CPart::RefParts& a, const CPart::RefParts& b) {
    return CPart::CompareRefParts(a, b) < 0;
  });
}

bool CSheet::FindPartRef(std::string_view ref) const {
  for (const auto& p : parts_)
    if (EqualNoCase(p->GetRefNameA(), ref)) return true;
  return false;
}

}  // namespace tavro
