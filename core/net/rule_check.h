// The electrical rule check of a net: which pairs of pin electrical types
// must not meet on one net, and which pins a raised pair lists.
//
// CNet::CheckPinDRC counts the net's pin entries per electrical type and
// returns a mask; bit k stands for pair k of the table below (the names are
// the net report's captions). A pair is raised when the net holds
//   - two or more pins of one type (Output-Output, Open H-Open H);
//   - a pin of each of two types (Output-In Out, Open L-Power ...);
//   - at least two pin entries, all of one type (All Input, All OpenL,
//     All 3 State): a single Input pin on a net raises nothing;
//   - a No Connect pin together with a pin of any other type (Open pin): a
//     No Connect pin alone raises nothing, with a Passive pin it does.
// Passive, Passive-Down and Passive-Up pins are in no pair, so they never
// raise one by themselves. CNetName::CheckDRC tells the pins a pair lists:
// the pins of its types, every pin for the "All" pairs, only the No Connect
// pins for "Open pin".
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace tavro {

// How a pair is raised from the counts of its types a and b.
enum class DrcRule {
  kTwoOrMore,  // two or more pins of type a
  kBoth,       // a pin of type a and a pin of type b
  kAllOf,      // at least two entries, every one of type a
  kWithOther,  // a pin of type a and a pin of any other type
};

struct DrcPair {
  uint32_t bit;      // the pair's single bit in the mask
  const char* name;  // the report's caption ("Output-3 State")
  DrcRule rule;
  int a;  // electrical types (PinType)
  int b;  // only for kBoth
};

inline constexpr int kDrcPairCount = 17;

// The 17 pairs in bit order.
std::span<const DrcPair> DrcPairs();
// The pair of a single bit; nullptr for any other value.
const DrcPair* FindDrcPair(uint32_t bit);

// A net name as the net report shows it: the "{TAVRO}" marker prefix
// dropped ("{TAVRO}Open Pin1" is shown "Open Pin1"), an empty name shown as
// "Open Wire".
std::string ReportNetName(std::string_view name);

}  // namespace tavro
