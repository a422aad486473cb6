// CNet: the operations on one net's lists (adding without duplicates,
// appending, names, contact tests are in wire_group.cpp), its clean-up and
// sorting, and the predicates the writers ask.
#include "core/net/net.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "core/net/connectivity.h"
#include "core/net/net_keys.h"
#include "core/platform/dbcs.h"

namespace tavro {

namespace {

template <class T>
ItemList<T> CopyList(const ItemList<T>& from) {
  ItemList<T> out;
  out.reserve(from.size());
  for (const auto& item : from) out.push_back(std::make_unique<T>(*item));
  return out;
}

// Removes every item for which an earlier kept item is `same`. Items that
// are `same` share their `key`, so a long list compares each item only with
// the kept items of its key.
template <class T, class Same, class Key>
void RemoveLaterDuplicates(ItemList<T>& list, Same same, Key key) {
  constexpr size_t kShort = 16;  // below this, every pair is compared
  size_t kept = 0;
  if (list.size() <= kShort) {
    for (size_t i = 0; i < list.size(); ++i) {
      bool dup = false;
      for (size_t k = 0; k < kept && !dup; ++k) dup = same(*list[k], *list[i]);
      if (!dup) list[kept++] = std::move(list[i]);
    }
  } else {
    std::unordered_map<uint64_t, std::vector<size_t>> byKey;  // kept places per key
    for (size_t i = 0; i < list.size(); ++i) {
      std::vector<size_t>& same_key = byKey[key(*list[i])];
      bool dup = false;
      for (size_t k : same_key)
        if ((dup = same(*list[k], *list[i]))) break;
      if (dup) continue;
      same_key.push_back(kept);
      list[kept++] = std::move(list[i]);
    }
  }
  list.resize(kept);
}

}  // namespace

bool IsMarkerName(std::string_view name) { return Find(name, kMarkerPrefix) != std::string::npos; }

CNet::CNet(const CNet& o)
    : CObject(o),
      wires_(CopyList(o.wires_)),
      juncs_(CopyList(o.juncs_)),
      netId_(o.netId_),
      power_(o.power_),
      entries_(CopyList(o.entries_)),
      names_(o.names_) {}

CNet& CNet::operator=(const CNet& o) {
  if (this != &o) {
    CNet copy(o);
    *this = std::move(copy);
  }
  return *this;
}

// ---------------------------------------------------------------------------
// Adding

bool CNet::CheckItem(const CLine& wire) const {
  return std::any_of(wires_.begin(), wires_.end(), [&](const auto& w) { return *w == wire; });
}

bool CNet::CheckItem(const CJunc& junc) const {
  return std::any_of(juncs_.begin(), juncs_.end(), [&](const auto& j) { return *j == junc; });
}

bool CNet::CheckItem(const CNetName& entry) const {
  return std::any_of(entries_.begin(), entries_.end(), [&](const auto& e) { return *e == entry; });
}

bool CNet::CheckItem(const CPin& pin) const {
  return std::any_of(entries_.begin(), entries_.end(),
                     [&](const auto& e) { return e->GetPin() == pin; });
}

void CNet::Add(const CLine& wire) {
  if (!CheckItem(wire)) wires_.push_back(std::make_unique<CLine>(wire));
}

void CNet::Add(const CJunc& junc) {
  if (!CheckItem(junc)) juncs_.push_back(std::make_unique<CJunc>(junc));
}

void CNet::Add(const CNetName& entry) {
  if (!CheckItem(entry)) entries_.push_back(std::make_unique<CNetName>(entry));
}

void CNet::Append(const CNet& other) {
  for (const auto& w : other.wires_) Add(*w);
  for (const auto& j : other.juncs_) Add(*j);
  for (const auto& e : other.entries_) Add(*e);
  for (const auto& n : other.names_) SetNetName(n);
}

void CNet::Append2(const CNet& other) {
  for (const auto& e : other.entries_) entries_.push_back(std::make_unique<CNetName>(*e));
  for (const auto& n : other.names_) SetNetName(n);
}

// ---------------------------------------------------------------------------
// Names

void CNet::SetNetName(std::string_view name) {
  if (!CheckNetName(name)) names_.emplace_back(name);
}

bool CNet::CheckNetName(std::string_view name) const {
  return std::any_of(names_.begin(), names_.end(),
                     [&](const std::string& n) { return EqualNoCase(n, name); });
}

bool CNet::CheckNetName(const CNet& other) const {
  for (const auto& mine : names_) {
    if (IsMarkerName(mine)) continue;
    if (other.CheckNetName(mine)) return true;
  }
  return false;
}

// ---------------------------------------------------------------------------
// Clean-up and order

void CNet::NetCorrection() {
  RemoveLaterDuplicates(
      wires_, [](const CLine& a, const CLine& b) { return a == b; },
      [](const CLine& l) { return PairKey(l.GetStartPoint(), l.GetEndPoint()); });
  RemoveLaterDuplicates(
      juncs_, [](const CJunc& a, const CJunc& b) { return a == b; },
      [](const CJunc& j) { return netkeys::PointKey(j.GetPoint()); });
  // Pins by position, then entries by reference and number: each equality
  // sorts items into classes, so the first of each class stays.
  RemoveLaterDuplicates(
      entries_,
      [](const CNetName& a, const CNetName& b) {
        return a.GetPin().GetStartPoint() == b.GetPin().GetStartPoint() &&
               a.GetPin().GetEndPoint() == b.GetPin().GetEndPoint();
      },
      [](const CNetName& e) {
        return PairKey(e.GetPin().GetStartPoint(), e.GetPin().GetEndPoint());
      });
  NetRefPinCorrection();
  std::vector<std::string> names;
  for (auto& n : names_) {
    const bool dup =
        std::any_of(names.begin(), names.end(), [&](const auto& k) { return EqualNoCase(k, n); });
    if (!dup) names.push_back(std::move(n));
  }
  names_ = std::move(names);
}

void CNet::NetRefPinCorrection() {
  if (entries_.size() < 2) return;
  std::unordered_set<std::string> seen;
  std::erase_if(entries_, [&](const std::unique_ptr<CNetName>& e) {
    return !seen.insert(netkeys::SameKey(*e)).second;
  });
}

void CNet::Sort() {
  if (!CheckNet()) return;
  for (auto& e : entries_) e->BreakPartRef();
  // Selection sort: each position receives the first smallest remaining entry
  // (CNetName::Compare, with each entry's key taken once).
  std::vector<netkeys::EntryKey> keys;
  keys.reserve(entries_.size());
  for (const auto& e : entries_) keys.push_back(netkeys::KeyOf(*e));
  netkeys::SelectionSort(
      keys, std::vector<char>(entries_.size(), 1),
      [&](size_t i, size_t j) { std::swap(entries_[i], entries_[j]); },
      [](size_t) { return true; });
}

int CNet::Compare(const CNet& other) const {
  // Only real nets are compared (each holds at least two entries); a net
  // without entries comes first.
  if (entries_.empty() || other.entries_.empty())
    return static_cast<int>(!entries_.empty()) - static_cast<int>(!other.entries_.empty());
  return entries_.front()->Compare(*other.entries_.front());
}

// ---------------------------------------------------------------------------
// Predicates

bool CNet::CheckNet() const {
  return entries_.size() >= 2 && std::none_of(names_.begin(), names_.end(), IsMarkerName);
}

bool CNet::CheckAliasNet() const { return names_.size() < 2; }

bool CNet::IsOpenPinNet() const {
  if (CheckNet() || names_.size() >= 2) return false;
  return std::any_of(names_.begin(), names_.end(),
                     [](const std::string& n) { return n == kOpenPin1 || n == kOpenPin2; });
}

bool CNet::IsOpenWireNet() const {
  if (CheckNet() || names_.size() >= 2) return false;
  return std::none_of(names_.begin(), names_.end(),
                      [](const std::string& n) { return n == kOpenPin1 || n == kOpenPin2; });
}

}  // namespace tavro
