// The rule-check pairs, the mask of a net and the pins a pair lists.
#include "core/net/rule_check.h"

#include <array>

#include "core/model/pin.h"
#include "core/net/net.h"

namespace tavro {

namespace {

// clang-format off
constexpr std::array<DrcPair, kDrcPairCount> kPairs = {{
    {0x1,     "Output-Output",  DrcRule::kTwoOrMore, kPinOutput,    0},
    {0x2,     "Output-In Out",  DrcRule::kBoth,      kPinOutput,    kPinInOut},
    {0x4,     "Output-Open L",  DrcRule::kBoth,      kPinOutput,    kPinOpenLow},
    {0x8,     "Output-Open H",  DrcRule::kBoth,      kPinOutput,    kPinOpenHigh},
    {0x10,    "Output-3 State", DrcRule::kBoth,      kPinOutput,    kPin3State},
    {0x20,    "Output-Power",   DrcRule::kBoth,      kPinOutput,    kPinPower},
    {0x40,    "Open L-Open H",  DrcRule::kBoth,      kPinOpenLow,   kPinOpenHigh},
    {0x80,    "Open L-Power",   DrcRule::kBoth,      kPinOpenLow,   kPinPower},
    {0x100,   "Open H-In Out",  DrcRule::kBoth,      kPinOpenHigh,  kPinInOut},
    {0x200,   "Open H-Open H",  DrcRule::kTwoOrMore, kPinOpenHigh,  0},
    {0x400,   "Open H-Power",   DrcRule::kBoth,      kPinOpenHigh,  kPinPower},
    {0x800,   "3 State-Power",  DrcRule::kBoth,      kPin3State,    kPinPower},
    {0x1000,  "In Out-Power",   DrcRule::kBoth,      kPinInOut,     kPinPower},
    {0x2000,  "All Input",      DrcRule::kAllOf,     kPinInput,     0},
    {0x4000,  "All OpenL",      DrcRule::kAllOf,     kPinOpenLow,   0},
    {0x8000,  "All 3 State",    DrcRule::kAllOf,     kPin3State,    0},
    {0x10000, "Open pin",       DrcRule::kWithOther, kPinNoConnect, 0},
}};
// clang-format on

}  // namespace

std::span<const DrcPair> DrcPairs() { return kPairs; }

const DrcPair* FindDrcPair(uint32_t bit) {
  for (const DrcPair& p : kPairs)
    if (p.bit == bit) return &p;
  return nullptr;
}

std::string ReportNetName(std::string_view name) {
  if (name.starts_with(kMarkerPrefix)) name.remove_prefix(kMarkerPrefix.size());
  return name.empty() ? std::string("Open Wire") : std::string(name);
}

uint32_t CNet::CheckPinDRC() const {
  std::array<size_t, kPinTypeMask + 1> count{};
  for (const auto& e : entries_) ++count[static_cast<size_t>(e->GetPin().GetEleType())];
  const size_t all = entries_.size();
  uint32_t mask = 0;
  for (const DrcPair& p : kPairs) {
    const size_t a = count[static_cast<size_t>(p.a)];
    bool raised = false;
    switch (p.rule) {
      case DrcRule::kTwoOrMore:
        raised = a >= 2;
        break;
      case DrcRule::kBoth:
        raised = a >= 1 && count[static_cast<size_t>(p.b)] >= 1;
        break;
      case DrcRule::kAllOf:
        raised = all >= 2 && a == all;
        break;
      case DrcRule::kWithOther:
        raised = a >= 1 && all > a;
        break;
    }
    if (raised) mask |= p.bit;
  }
  return mask;
}

bool CNetName::CheckDRC(uint32_t bit) const {
  const DrcPair* p = FindDrcPair(bit);
  if (!p) return false;
  const int type = GetPin().GetEleType();
  switch (p->rule) {
    case DrcRule::kAllOf:
      return true;
    case DrcRule::kBoth:
      return type == p->a || type == p->b;
    case DrcRule::kTwoOrMore:
    case DrcRule::kWithOther:
      return type == p->a;
  }
  return false;
}

}  // namespace tavro
