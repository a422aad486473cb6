#include "app/ref_numbering.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <map>
#include <optional>
#include <unordered_map>

#include "app/part_gather.h"
#include "core/platform/codec.h"
#include "core/platform/dbcs.h"
#include "core/platform/host.h"

namespace tavro {

namespace {

constexpr int64_t kMaxNumber = std::numeric_limits<int>::max();

struct Counter {
  int64_t highest = 0;
};

// The counter table: at most kMaxCounters entries, found by prefix (letter
// case ignored) and group.
class CounterTable {
 public:
  Counter* Find(const std::string& prefix, int group) {
    const auto it = index_.find(Key(prefix, group));
    return it == index_.end() ? nullptr : &counters_[it->second];
  }
  Counter& Add(const std::string& prefix, int group, int64_t highest) {
    index_[Key(prefix, group)] = counters_.size();
    counters_.push_back({highest});
    groups_.push_back(group);
    return counters_.back();
  }
  size_t Size() const { return counters_.size(); }
  bool Full() const { return counters_.size() >= kMaxCounters; }
  // Raises every counter to at least the first number of its group's page.
  void RaiseToPages(int64_t pageOffset, int64_t firstNo) {
    for (size_t i = 0; i < counters_.size(); ++i) {
      const int64_t floor = std::max<int64_t>(groups_[i], 0) * pageOffset + firstNo - 1;
      counters_[i].highest = std::max(counters_[i].highest, std::min(floor, kMaxNumber));
    }
  }

 private:
  static std::string Key(const std::string& prefix, int group) {
    return ToUpper(prefix) + '\0' + std::to_string(group);
  }
  std::vector<Counter> counters_;
  std::vector<int> groups_;
  std::unordered_map<std::string, size_t> index_;
};

// The packages in use: for each prefix, part name, value (letter case
// ignored) and group, the gates carried by each number.
class PackageIndex {
 public:
  void Add(const CPart& part, const std::string& prefix, int group, int number) {
    packages_[Key(part, prefix, group)][number].push_back(part.GetPackage());
  }
  // The lowest number whose package does not hold this part's gate yet.
  std::optional<int> FreeSlot(const CPart& part, const std::string& prefix, int group) const {
    const auto it = packages_.find(Key(part, prefix, group));
    if (it == packages_.end()) return std::nullopt;
    for (const auto& [number, gates] : it->second)
      if (std::find(gates.begin(), gates.end(), part.GetPackage()) == gates.end()) return number;
    return std::nullopt;
  }

 private:
  static std::string Key(const CPart& part, const std::string& prefix, int group) {
    return ToUpper(prefix) + '\0' + ToUpper(part.GetPartName()) + '\0' +
           ToUpper(part.GetValName()) + '\0' + std::to_string(group);
  }
  std::unordered_map<std::string, std::map<int, std::vector<unsigned>>> packages_;
};

int GroupOf(const CPart& part, bool grouping) {
  if (!grouping) return -1;
  const std::optional<int> index = TagSheetIndex(GatheredDocName(part));
  return index && *index > 0 ? *index - 1 : 0;
}

bool Undecided(const CPart& part) { return FindChar(part.GetRefName(), '?') != std::string::npos; }

}  // namespace

bool NumberingGroupsBySheet(const NumberingOptions& o) {
  return o.mode == 0 ? o.eachSheet : o.pageOffset != 0;
}

NumberingOutcome NumberGatheredParts(CSheet& gathered, const NumberingOptions& options) {
  NumberingOutcome out;
  Host& host = CurrentHost();
  ItemList<CPart>& parts = gathered.Parts();
  const bool grouping = NumberingGroupsBySheet(options);
  const int step = options.step == 2 ? 2 : 1;
  const int firstNo = std::clamp(options.firstNo, 1, 9999);

  if (options.mode == 1)
    for (const auto& part : parts) part->SetRefNo(0, 0);

  // Pass 1: the highest number of every prefix in use.
  CounterTable counters;
  bool overFlow = false;
  host.BeginStage(kStageRefCheck, static_cast<int>(parts.size()));
  for (const auto& part : parts) {
    if (host.Step(true) != 0) {
      out.cancelled = true;
      return out;
    }
    const CPart::RefParts ref = CPart::SplitRef(part->GetRefName());
    if (!ref.valid) continue;
    const int group = GroupOf(*part, grouping);
    if (Counter* c = counters.Find(ref.prefix, group)) {
      c->highest = std::max<int64_t>(c->highest, ref.number);
    } else if (!overFlow) {
      counters.Add(ref.prefix, group, ref.number);
      if (counters.Full()) {
        overFlow = true;
        out.messages.push_back(kMsgCounterOverFlow);
      }
    }
  }
  counters.RaiseToPages(options.mode == 1 ? options.pageOffset : 0, firstNo);

  // Pass 2: a number for every undecided reference.
  PackageIndex packages;
  for (const auto& part : parts) {
    if (!part->RefCheck()) continue;
    const CPart::RefParts ref = CPart::SplitRef(part->GetRefName());
    packages.Add(*part, ref.prefix, GroupOf(*part, grouping), ref.number);
  }
  host.BeginStage(kStageRefCalc, static_cast<int>(parts.size()));
  for (const auto& part : parts) {
    if (host.Step(true) != 0) {
      out.cancelled = true;
      return out;
    }
    if (!Undecided(*part)) continue;
    const CPart::RefParts ref = CPart::SplitRef(part->GetRefName());
    const int group = GroupOf(*part, grouping);
    Counter* counter = counters.Find(ref.prefix, group);
    int number = 0;
    if (counter == nullptr) {
      if (counters.Full()) {
        out.messages.push_back(kMsgCounterOverflow);
        break;
      }
      counters.Add(ref.prefix, group, firstNo);
      number = firstNo;
    } else if (auto slot = part->GetPackageMax() >= 2 ? packages.FreeSlot(*part, ref.prefix, group)
                                                      : std::nullopt) {
      number = *slot;
    } else if (counter->highest + step > kMaxNumber) {
      out.warnings.push_back(Cp932ToUtf8(part->GetRefName()) + ": no number left after " +
                             std::to_string(counter->highest));
      continue;
    } else {
      counter->highest += step;
      number = static_cast<int>(counter->highest);
    }
    part->SetRefNo(number, 0);
    packages.Add(*part, ref.prefix, group, number);
    if (counter == nullptr && counters.Full()) {
      out.messages.push_back(kMsgCounterOverflow);
      break;
    }
  }
  out.counters = static_cast<int>(counters.Size());
  return out;
}

std::string CounterMessage(int counters) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "リファレンスカウンター %4d", counters);
  return buf;
}

}  // namespace tavro
