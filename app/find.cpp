#include "app/find.h"

#include <algorithm>

#include "core/model/sheet.h"
#include "core/platform/dbcs.h"
#include "core/platform/settings.h"

namespace tavro {

namespace {

constexpr const char* kSection = "Find";

std::string HistoryKey(int n) { return "Find" + std::to_string(n); }

// Walks the matches of one sheet in the counting order, handing each to
// `take`; stops as soon as `take` returns true. True when stopped.
class MatchWalk {
 public:
  explicit MatchWalk(const FindOptions& o)
      : o_(o), pattern_(o.matchCase ? o.pattern : ToUpper(o.pattern)) {}

  template <class Take>
  bool Run(const CSheet& sheet, Take&& take) const {
    if (pattern_.empty()) return false;
    const int target = o_.target;
    if (target & kFindWire)
      for (const auto& wire : sheet.Wires())
        if (auto at = wire->Find(pattern_, o_.matchCase, o_.word, o_.hidden))
          if (take(FindMatch{kKindWire, wire.get(), kFindWire, wire->GetName(), *at})) return true;

    for (const auto& part : sheet.Parts())
      if (Part(*part, take)) return true;

    if (target & (kFindPinName | kFindPinNo))
      for (const auto& pin : sheet.Pins()) {
        // The same as the pin's Find with the whole mask, which tries the
        // name first; asked bit by bit to know which text matched.
        for (const int bit : {kFindPinName, kFindPinNo}) {
          if (!(target & bit)) continue;
          if (auto at = pin->Find(pattern_, o_.matchCase, o_.word, o_.hidden, bit)) {
            const std::string& text = bit == kFindPinName ? pin->GetName() : pin->GetNo();
            if (take(FindMatch{kKindPin, pin.get(), bit, text, *at})) return true;
            break;
          }
        }
      }

    if (target & kFindText)
      for (const auto& text : sheet.Texts())
        if (auto at = In(*text))
          if (take(FindMatch{kKindText, text.get(), kFindText, text->GetName(), *at})) return true;
    return false;
  }

 private:
  std::optional<CPoint> In(const CText& t) const {
    return t.Find(pattern_, o_.matchCase, o_.word, o_.hidden);
  }

  template <class Take>
  bool Part(const CPart& part, Take& take) const {
    const int target = o_.target;
    auto match = [&](int bit, const std::string& text, CPoint at) {
      return take(FindMatch{kKindPart, &part, bit, text, at});
    };
    const struct {
      int bit;
      const CText& text;
    } attrs[] = {{kFindPartName, part.GetPartNameText()},
                 {kFindPartRef, part.GetRefNameText()},
                 {kFindPartValue, part.GetValNameText()}};
    for (const auto& a : attrs)
      if (target & a.bit)
        if (auto at = part.Find(pattern_, o_.matchCase, o_.word, o_.hidden, a.bit))
          if (match(a.bit, a.text.GetName(), *at)) return true;
    if (target & (kFindPinName | kFindPinNo))
      for (const auto& pin : part.Pins()) {
        if (target & kFindPinName)
          if (auto at = pin->Find(pattern_, o_.matchCase, o_.word, o_.hidden, kFindPinName))
            if (match(kFindPinName, pin->GetName(), *at)) return true;
        if (target & kFindPinNo)
          if (auto at = pin->Find(pattern_, o_.matchCase, o_.word, o_.hidden, kFindPinNo))
            if (match(kFindPinNo, pin->GetNo(), *at)) return true;
      }
    if (target & kFindPartText)
      for (const auto& text : part.Texts())
        if (auto at = In(*text))
          if (match(kFindPartText, text->GetName(), *at)) return true;
    return false;
  }

  const FindOptions& o_;
  std::string pattern_;
};

// The match numbered n (0-based) in the counting order.
std::optional<FindMatch> NthMatch(const CSheet& sheet, const FindOptions& o, int n) {
  std::optional<FindMatch> found;
  int count = 0;
  MatchWalk(o).Run(sheet, [&](FindMatch&& m) {
    if (count++ < n) return false;
    found = std::move(m);
    return true;
  });
  return found;
}

}  // namespace

FindOptions FindOptions::FromSettings(const Settings& s) {
  FindOptions o;
  o.pattern = s.GetString(kSection, HistoryKey(1), "");
  o.matchCase = s.GetInt(kSection, "MatchCase") != 0;
  o.word = s.GetInt(kSection, "Word") != 0;
  o.hidden = s.GetInt(kSection, "Hide") != 0;
  o.allSheets = s.GetInt(kSection, "AllSheet") != 0;
  o.selectItems = s.GetInt(kSection, "SelectItem") != 0;
  o.target = s.GetInt(kSection, "Target");
  return o;
}

std::vector<std::string> FindHistory(const Settings& s) {
  std::vector<std::string> history;
  for (int n = 1; n <= kFindHistoryMax; ++n) {
    std::string p = s.GetString(kSection, HistoryKey(n), "");
    if (p.empty()) break;
    history.push_back(std::move(p));
  }
  return history;
}

bool FindOptions::Store(Settings& s) const {
  bool ok = s.WriteInt(kSection, "MatchCase", matchCase ? 1 : 0);
  ok = s.WriteInt(kSection, "Word", word ? 1 : 0) && ok;
  ok = s.WriteInt(kSection, "Hide", hidden ? 1 : 0) && ok;
  ok = s.WriteInt(kSection, "AllSheet", allSheets ? 1 : 0) && ok;
  ok = s.WriteInt(kSection, "SelectItem", selectItems ? 1 : 0) && ok;
  ok = s.WriteInt(kSection, "Target", target) && ok;
  if (pattern.empty()) return ok;

  const std::vector<std::string> old = FindHistory(s);
  std::vector<std::string> history = {pattern};
  for (const std::string& p : old)
    if (p != pattern && history.size() < static_cast<size_t>(kFindHistoryMax)) history.push_back(p);
  for (size_t i = 0; i < history.size(); ++i)
    ok = s.WriteString(kSection, HistoryKey(static_cast<int>(i) + 1), history[i]) && ok;
  return ok;
}

std::vector<FindMatch> FindAll(const CSheet& sheet, const FindOptions& options) {
  std::vector<FindMatch> all;
  MatchWalk(options).Run(sheet, [&](FindMatch&& m) {
    all.push_back(std::move(m));
    return false;
  });
  return all;
}

std::vector<FindMatch> SelectMatches(const CSheet& sheet, const FindOptions& options) {
  // The matches of one item follow each other in the counting order.
  std::vector<FindMatch> items;
  MatchWalk(options).Run(sheet, [&](FindMatch&& m) {
    if (items.empty() || items.back().item != m.item) items.push_back(std::move(m));
    return false;
  });
  return items;
}

std::optional<FindHit> FindNext(std::span<const FindDocument> docs, size_t current,
                                const FindOptions& options, bool newSearch) {
  if (current >= docs.size()) return std::nullopt;
  const size_t walked = options.allSheets ? docs.size() : 1;
  auto at = [&](size_t k) -> const FindDocument& { return docs[(current + k) % docs.size()]; };
  if (newSearch)
    for (size_t k = 0; k < walked; ++k) *at(k).found = 0;
  for (size_t k = 0; k < walked; ++k) {
    const FindDocument& d = at(k);
    int& found = *d.found;
    found = std::max(found, 0);
    if (auto m = NthMatch(*d.sheet, options, found)) {
      ++found;
      return FindHit{(current + k) % docs.size(), std::move(*m)};
    }
  }
  for (size_t k = 0; k < walked; ++k) *at(k).found = 0;
  return std::nullopt;
}

}  // namespace tavro
