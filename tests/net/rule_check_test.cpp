// The rule check of a net (CNet::CheckPinDRC, CNetName::CheckDRC) and the
// lines of the net information file (CNet::MakeString with the internal
// formats 0 and -1, CNet::MakeDRCSubString), on nets built by hand.
#include "core/net/rule_check.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/model/pin.h"
#include "core/net/net.h"

namespace tavro {
namespace {

struct Pin {
  int type;
  const char* name = "";
};

// A net of pins U1-1, U2-1 ... of the given types on sheet /d/a.tcd, number 2;
// pin k ends at (100 k, -50 k).
std::unique_ptr<CNet> TypedNet(const std::vector<Pin>& pins,
                               const std::vector<std::string>& names = {}) {
  auto net = std::make_unique<CNet>();
  int k = 0;
  for (const Pin& p : pins) {
    ++k;
    CNetName e;
    e.SetRefName("U" + std::to_string(k));
    e.SetFileName("/d/a.tcd");
    e.SetFileNo(2);
    CPin pin({0, 0}, {100 * k, -50 * k}, static_cast<uint32_t>(p.type));
    pin.SetNo("1", {0, 0}, kOrgBottomLeft);
    if (*p.name) pin.SetName(p.name, {0, 0}, kOrgBottomLeft);
    e.SetPin(pin);
    net->Add(e);
  }
  for (const std::string& n : names) net->SetNetName(n);
  return net;
}

// The references of the entries that CheckDRC(bit) lists.
std::vector<std::string> Listed(const CNet& net, uint32_t bit) {
  std::vector<std::string> out;
  for (const auto& e : net.Entries())
    if (e->CheckDRC(bit)) out.push_back(e->GetRefName());
  return out;
}

std::string Text(const CNet& net, int format, unsigned arg) {
  const unsigned before = arg;
  std::string s = net.MakeString(format, arg);
  EXPECT_EQ(arg, before) << "the mode or bit is never advanced";
  return s;
}

using Refs = std::vector<std::string>;

// Every pair raised by a net of its combination, alone, with the pins it
// lists; Passive kinds in a net are never listed and raise nothing.
TEST(RuleCheck, EachCombinationRaisesItsPairAndListsItsPins) {
  struct Case {
    std::vector<Pin> pins;
    uint32_t mask;
    Refs listed;
  };
  const Case cases[] = {
      {{{kPinOutput}, {kPinOutput}, {kPinPassive}}, 0x1, {"U1", "U2"}},
      {{{kPinOutput}, {kPinInOut}}, 0x2, {"U1", "U2"}},
      {{{kPinOutput}, {kPinOpenLow}}, 0x4, {"U1", "U2"}},
      {{{kPinOutput}, {kPinOpenHigh}}, 0x8, {"U1", "U2"}},
      {{{kPinOutput}, {kPin3State}}, 0x10, {"U1", "U2"}},
      {{{kPinOutput}, {kPinPower}, {kPinPassiveUp}}, 0x20, {"U1", "U2"}},
      {{{kPinOpenLow}, {kPinOpenHigh}}, 0x40, {"U1", "U2"}},
      {{{kPinPower}, {kPinOpenLow}}, 0x80, {"U1", "U2"}},
      {{{kPinOpenHigh}, {kPinInOut}}, 0x100, {"U1", "U2"}},
      {{{kPinOpenHigh}, {kPinPassiveDown}, {kPinOpenHigh}}, 0x200, {"U1", "U3"}},
      {{{kPinOpenHigh}, {kPinPower}}, 0x400, {"U1", "U2"}},
      {{{kPin3State}, {kPinPower}}, 0x800, {"U1", "U2"}},
      {{{kPinInOut}, {kPinPower}}, 0x1000, {"U1", "U2"}},
      {{{kPinInput}, {kPinInput}, {kPinInput}}, 0x2000, {"U1", "U2", "U3"}},
      {{{kPinOpenLow}, {kPinOpenLow}}, 0x4000, {"U1", "U2"}},
      {{{kPin3State}, {kPin3State}}, 0x8000, {"U1", "U2"}},
      // A No Connect pin with a Passive pin: only the No Connect pin is listed.
      {{{kPinPassive}, {kPinNoConnect}}, 0x10000, {"U2"}},
  };
  ASSERT_EQ(std::size(cases), DrcPairs().size());
  for (size_t k = 0; k < std::size(cases); ++k) {
    const Case& c = cases[k];
    const auto net = TypedNet(c.pins);
    SCOPED_TRACE(DrcPairs()[k].name);
    EXPECT_EQ(DrcPairs()[k].bit, 1u << k);
    EXPECT_EQ(net->CheckPinDRC(), c.mask);
    EXPECT_EQ(Listed(*net, c.mask), c.listed);
  }
}

TEST(RuleCheck, NetsThatRaiseNothingOrSeveralPairs) {
  struct Case {
    const char* what;
    std::vector<Pin> pins;
    uint32_t mask;
  };
  const Case cases[] = {
      {"a single Input pin", {{kPinInput}}, 0},
      {"one Input among two entries", {{kPinInput}, {kPinPassive}}, 0},
      {"a No Connect pin alone", {{kPinNoConnect}}, 0},
      {"two No Connect pins", {{kPinNoConnect}, {kPinNoConnect}}, 0},
      {"the Passive kinds", {{kPinPassive}, {kPinPassiveDown}, {kPinPassiveUp}, {kPinPassive}}, 0},
      {"two Power pins", {{kPinPower}, {kPinPower}}, 0},
      {"no pins", {}, 0},
      // Two Outputs and a 3-State pin: both pairs; No Connect with anything raises "Open pin".
      {"Output, Output, 3-State", {{kPinOutput}, {kPin3State}, {kPinOutput}}, 0x1 | 0x10},
      {"No Connect with a pin of a type without a name", {{kPinNoConnect}, {10}}, 0x10000},
      {"Open-High, In-Out, Power",
       {{kPinOpenHigh}, {kPinInOut}, {kPinPower}},
       0x100 | 0x400 | 0x1000},
  };
  for (const Case& c : cases) EXPECT_EQ(TypedNet(c.pins)->CheckPinDRC(), c.mask) << c.what;

  // CheckDRC answers only for a single bit of the table.
  const auto net = TypedNet({{kPinOutput}, {kPinOutput}});
  for (uint32_t bit : {0u, 0x3u, 0x20000u, 0x80000000u})
    EXPECT_EQ(Listed(*net, bit), Refs{}) << bit;
  EXPECT_EQ(Listed(*net, 0x2000), (Refs{"U1", "U2"}));  // "All" pairs list every pin
}

TEST(RuleCheck, ReportNamesDropTheMarkerAndNameUnnamedWires) {
  EXPECT_EQ(ReportNetName("{TAVRO}Open Pin1"), "Open Pin1");
  EXPECT_EQ(ReportNetName("{TAVRO}Open Pin2"), "Open Pin2");
  EXPECT_EQ(ReportNetName(""), "Open Wire");
  EXPECT_EQ(ReportNetName("CLK{TAVRO}"), "CLK{TAVRO}");  // only a prefix is a marker
  EXPECT_EQ(ReportNetName("CLK"), "CLK");
}

// ---------------------------------------------------------------------------
// The lines of the net information file.

TEST(NetInfoLines, RuleCheckLinesOfThePinsAPairConcerns) {
  auto net = TypedNet({{kPinOutput, "Q"}, {kPinPassive, "P"}, {kPin3State, "T"}});
  // The connection point as users see coordinates, negative ones with one sign.
  EXPECT_EQ(net->MakeDRCSubString(*net->Entries()[0]),
            "   U1(   1)\tQ\tOutput\ta.tcd [2]\tX:   1.00 Y:  -0.50\n");
  EXPECT_EQ(Text(*net, -1, 0x10),
            "   U1(   1)\tQ\tOutput\ta.tcd [2]\tX:   1.00 Y:  -0.50\n"
            "   U3(   1)\tT\t3-State\ta.tcd [2]\tX:   3.00 Y:  -1.50\n"
            "\n");
  EXPECT_EQ(Text(*net, -1, 0x40), "\n");  // no pin of the pair's types: the line end alone
}

TEST(NetInfoLines, OpenNetLines) {
  struct Case {
    std::vector<std::string> names;
    Pin pin;
    const char* line;
  };
  const Case cases[] = {
      {{"{TAVRO}Open Pin1"},
       {kPinInput, "A"},
       "Open Pin1:   U1(   1)            A - Input pin a.tcd [2]\tX:   1.00 Y:  -0.50\n"},
      {{"{TAVRO}Open Pin2"},
       {kPinPower, "VCC"},
       "Open Pin2:   U1(   1)          VCC - Power pin a.tcd [2]\tX:   1.00 Y:  -0.50\n"},
      {{}, {kPinPassive}, "Open Wire:   U1(   1)              a.tcd [2]\tX:   1.00 Y:  -0.50\n"},
      {{"N1"},
       {kPinOutput, "Q"},
       "       N1:   U1(   1)            Q a.tcd [2]\tX:   1.00 Y:  -0.50\n"},
  };
  for (const Case& c : cases) {
    const auto net = TypedNet({c.pin}, c.names);
    EXPECT_EQ(Text(*net, 0, 0), c.line);
    EXPECT_EQ(Text(*net, 0, 1), "");  // fewer than two names: no alias line
  }
  // Only nets of fewer than two names with a pin have an open-net line.
  EXPECT_EQ(Text(*TypedNet({}, {"WIRE"}), 0, 0), "");
  EXPECT_EQ(Text(*TypedNet({{kPinInput}}, {"A", "B"}), 0, 0), "");
}

TEST(NetInfoLines, AliasLinesBreakAfterEveryFifthName) {
  const auto two = TypedNet({{kPinInput}, {kPinInput}}, {"DATA", "DATA_B"});
  EXPECT_EQ(Text(*two, 0, 1), "     DATA =>      DATA,    DATA_B;\n");
  // Six names: five on the first line, each in a field of 9 with ", " after
  // it; the sixth on a line of its own after 14 blanks, ending ";".
  const auto six = TypedNet({{kPinInput}}, {"D0", "D1", "D2", "D3", "D4", "LONGNAME_5"});
  EXPECT_EQ(Text(*six, 0, 1),
            "       D0 =>        D0,        D1,        D2,        D3,        D4, \n"
            "              LONGNAME_5;\n");
  const auto five = TypedNet({{kPinInput}}, {"A", "B", "C", "D", "E"});
  EXPECT_EQ(Text(*five, 0, 1),
            "        A =>         A,         B,         C,         D,         E;\n");
  // The hidden-net line (mode 2) is never written, nor any other mode.
  EXPECT_EQ(Text(*six, 0, 2), "");
  EXPECT_EQ(Text(*six, 0, 3), "");
}

}  // namespace
}  // namespace tavro
