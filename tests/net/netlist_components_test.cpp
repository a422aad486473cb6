// Component sections (CSheet::NetWrite) and the pin-level index
// (CSheet::NetIndex) on small working sheets built in code.
#include <gtest/gtest.h>

#include <map>

#include "core/model/sheet.h"
#include "core/net/net.h"
#include "core/net/netlist_format.h"
#include "core/platform/host.h"
#include "net/net_sheets.h"
#include "support/test_util.h"

namespace tavro {
namespace {

using test::MakeNet;

CPin& AddPin(CPart& part, const std::string& no, const std::string& name = "",
             uint32_t elect = kPinPassive) {
  const int y = -100 * part.GetPinCount();
  CPin& pin = part.NewPin({0, y}, {-100, y}, elect);
  pin.SetNo(no, {0, y}, 0);
  if (!name.empty()) pin.SetName(name, {0, y}, 0);
  return pin;
}

CPart& AddPart(CSheet& sheet, const std::string& ref, const std::string& partName,
               const std::string& value, unsigned gates = 1, unsigned gate = 0) {
  CPart& part = sheet.NewPart({0, 0}, {0, 0}, {0, 0}, gates, gate, 0, 0);
  part.SetPartName(partName.c_str());
  if (!ref.empty()) part.SetRefName(ref.c_str());
  if (!value.empty()) part.SetValue(value.c_str());
  return part;
}

// Two gates of a 7400 (hidden power pins repeated in both), a resistor with a
// footprint property, a part without value or footprint, and a power symbol.
// The sheet lists them out of reference order.
void BuildSheet(CSheet& s) {
  CPart& b = AddPart(s, "U1B", "7400", "", 4, 2);
  AddPin(b, "4", "2A");
  AddPin(b, "5", "2B");
  AddPin(b, "6", "2Y", kPinOutput);
  AddPin(b, "14", "VCC", kPinPower | kPinHidden);
  AddPin(b, "7", "GND", kPinPower | kPinHidden);
  CPart& r = AddPart(s, "R1", "RES", "10k");
  AddPin(r, "1");
  AddPin(r, "2");
  r.NewText("&FOOT&R0603", {0, 0}, 70, kTextHidden);
  CPart& a = AddPart(s, "U1A", "7400", "", 4, 1);
  AddPin(a, "1", "1A");
  AddPin(a, "2", "1B");
  AddPin(a, "3", "1Y", kPinOutput);
  AddPin(a, "14", "VCC", kPinPower | kPinHidden);
  AddPin(a, "7", "GND", kPinPower | kPinHidden);
  CPart& j = AddPart(s, "J1", "HDR2", "");
  AddPin(j, "1");
  AddPin(j, "2");
  CPart& gnd = AddPart(s, "", "GND", "");
  AddPin(gnd, "1", "GND", kPinPower);
}

NetList Nets() {
  NetList nets;
  nets.push_back(MakeNet({{"R1", "1"}, {"U1", "1"}, {"U1", "2"}}));  // unnamed
  nets.push_back(MakeNet({{"R1", "2"}, {"U1", "14"}}, {"VCC"}));
  nets.push_back(MakeNet({{"U1", "3"}, {"U1", "4"}, {"J1", "1"}}, {"CLK", "9CLK"}));
  nets.push_back(MakeNet({{"U1", "7"}, {"J1", "2"}}, {"GND", "0"}));
  nets.push_back(MakeNet({{"U1", "5"}}, {std::string(kOpenPin1)}));  // not a real net
  return nets;
}

std::string Section(int format, const NetList& nets, int start = 1,
                    NetWriteOptions options = {"FOOT", "board", "/nonexistent/pcadhead.txt"}) {
  CSheet sheet(kSheetScratch);
  BuildSheet(sheet);
  if (FindNetlistFormat(format)->indexed) {
    EXPECT_EQ(sheet.NetIndex(format, nets, start), 0);
  }
  std::string out;
  EXPECT_FALSE(sheet.NetWrite(format, out, options));
  return out;
}

TEST(NetlistComponents, ComponentOrientedWritersListEveryGatesPinsOnce) {
  const NetList nets = Nets();
  // U1 5 and U1 6 are on no real net.
  EXPECT_EQ(Section(-21, nets), "J1 9CLK 0 HDR2\nR1 1 VCC 10K\nU1 1 1 9CLK VCC 0 9CLK ? ? 7400\n");
  EXPECT_EQ(Section(-19, nets),
            "\n{COMPOSNET board.PCB\n{ENVIRONMENT\n{SUBCOMP\n"
            "{I FOOT.PRT J1\n{CN\n     1 CLK\n     2 GND\n}\n}\n"
            "{I R0603.PRT R1\n{CN\n     1 NET000001\n     2 VCC\n}\n}\n"
            "{I FOOT.PRT U1\n{CN\n     1 NET000001\n     2 NET000001\n     3 CLK\n    14 VCC\n"
            "     7 GND\n     4 CLK\n     5 ?\n     6 ?\n}\n}\n"
            "}\n");
  EXPECT_EQ(Section(-22, nets),
            "/* J1 */\n#define      1 CLK\n#define      2 GND\n#include \"HDR2.c\"\n"
            "#undef       1\n#undef       2\n\n"
            "/* R1 */\n#define      1 NET000001\n#define      2 VCC\n#include \"RES.c\"\n"
            "#undef       1\n#undef       2\n\n"
            "/* U1 */\n#define     1A NET000001\n#define     1B NET000001\n#define     1Y CLK\n"
            "#define    VCC VCC\n#define    GND GND\n#define     2A CLK\n#define     2B U1_2B\n"
            "#define     2Y U1_2Y\n#include \"7400.c\"\n"
            "#undef      1A\n#undef      1B\n#undef      1Y\n#undef     VCC\n#undef     GND\n"
            "#undef      2A\n#undef      2B\n#undef      2Y\n\n");
}

TEST(NetlistIndex, NamesJoinAndNumbersNeverCollide) {
  CSheet sheet(kSheetScratch);
  BuildSheet(sheet);
  NetList nets;
  nets.push_back(MakeNet({{"U1", "3"}, {"R1", "1"}}, {"A"}));
  nets.push_back(MakeNet({{"U1", "3"}, {"J1", "1"}}, {"B"}));  // the same pin on a second net
  nets.push_back(MakeNet({{"R1", "2"}, {"J1", "2"}}, {"1"}));
  nets.push_back(MakeNet({{"U1", "1"}, {"U1", "2"}}));  // unnamed
  test::RecordingHost host;
  ScopedHost scoped(&host);
  ASSERT_EQ(sheet.NetIndex(21, nets, 0), 0);
  ASSERT_EQ(host.stages.size(), 1u);
  EXPECT_EQ(host.stages[0].stage, kStageIndex);
  EXPECT_EQ(host.stages[0].total, 4);
  std::map<std::string, std::string> names;  // "U1A.3" -> net name
  for (const auto& part : sheet.Parts())
    for (const auto& pin : part->Pins())
      names[part->GetRefName() + "." + pin->GetNo()] = pin->GetNetName();
  EXPECT_EQ(names["U1A.3"], "A&&B");
  // The counter starts at 0 for this run: "0" is the simulator's ground and
  // "1" is taken by a named net, so the unnamed net becomes 2.
  EXPECT_EQ(names["U1A.1"], "2");
  EXPECT_EQ(names["R1.2"], "1");
  // Hidden power pins repeated in every gate receive the name in each gate;
  // pins no net reached carry the mark.
  EXPECT_EQ(names["U1B.14"], std::string(kNetIndexMark));
  EXPECT_EQ(names["U1A.14"], std::string(kNetIndexMark));

  // A cancel stops the index.
  host.cancelAtStep = 1;
  EXPECT_EQ(sheet.NetIndex(21, nets, 0), 1);
}

TEST(NetlistComponents, SectionsOfEachFormat) {
  const NetList nets = Nets();
  struct Case {
    int format;
    const char* text;
  };
  const Case cases[] = {
      {13, "*PART*\nJ1     HDR2\nR1     10k\nU1     7400\n\n*NET*\n"},
      {6, ".ADD_COM   J1   HDR2\n.ADD_COM   R1   RES\n.ADD_COM   U1   7400\n"},
      {25, "(COMPONENTS\nJ1,FOOT\nR1,R0603\nU1,FOOT\n)\n(NODES\n"},
      {29, "$PART\nFOOT HDR2 J1\nR0603 10k R1\nFOOT 7400 U1\n$END\n"},
      {28,
       "$PTS\n                !J1               ;HDR2\n                !R1               ;10k\n"
       "                !U1               ;7400\n$END\n"},
      {18,
       "* VERSION 4 1\nJ1, HDR2, FOOT, 0, 0, 270.00, HDR2;\nR1, 10k, R0603, 0, 0, 270.00, RES;\n"
       "U1, 7400, FOOT, 0, 0, 270.00, 7400;\n"},
      {11,
       "(SYM,1-1,1\nDATA,2,J1\nDATA,3,HDR2\nDATA,4,\nDATA,23,1\nDATA,23,2\n)\n"
       "(SYM,1-1,2\nDATA,2,R1\nDATA,3,RES\nDATA,4,10k\nDATA,23,1\nDATA,23,2\n)\n"
       "(SYM,1-1,3\nDATA,2,U1\nDATA,3,7400\nDATA,4,\nDATA,23,1\nDATA,23,2\nDATA,21,3\n"
       "DATA,23,14\nDATA,23,7\nDATA,23,4\nDATA,23,5\nDATA,21,6\n)\n"},
      {2, ""},  // no component section
  };
  for (const Case& c : cases) EXPECT_EQ(Section(c.format, nets), c.text) << c.format;
}

TEST(NetlistComponents, DreamCadGroupsEqualFootprintAndValue) {
  CSheet sheet(kSheetScratch);
  for (const char* ref : {"R3", "C1", "R1", "R2"}) {
    CPart& p = AddPart(sheet, ref, ref[0] == 'R' ? "RES" : "CAP", ref[0] == 'R' ? "10k" : "1u");
    p.NewText(ref == std::string("R2") ? "&PCB&R1005" : "&PCB&R0603", {0, 0}, 70, kTextHidden);
  }
  std::string out;
  EXPECT_FALSE(sheet.NetWrite(29, out, {"PCB", "x", ""}));
  EXPECT_EQ(out, "$PART\nR0603 1u C1\nR0603 10k R1 R3\nR1005 10k R2\n$END\n");
}

TEST(NetlistComponents, FutureNetKeepsTheSymbolNumberOnThePart) {
  CSheet sheet(kSheetScratch);
  BuildSheet(sheet);
  std::string out;
  ASSERT_FALSE(sheet.NetWrite(11, out, {}));
  std::vector<std::string> marks;
  for (const auto& part : sheet.Parts()) marks.push_back(part->FindString("{TAVRO:SYMNO}"));
  // Sorted by reference: the power symbol (no reference), J1, R1, U1A, U1B;
  // the second gate is not listed and gets no number.
  EXPECT_EQ(marks, (std::vector<std::string>{"", "1", "2", "3", ""}));
}

TEST(NetlistComponents, PcadTakesTheEnvironmentFileLineByLine) {
  test::TempDir tmp;
  test::WriteAll(tmp.file("pcadhead.txt"), "{LAYER 1\r\n}\r\n{UNITS MM}");
  std::string out = Section(-19, Nets(), 1, {"FOOT", "board", tmp.file("pcadhead.txt")});
  EXPECT_EQ(
      out.rfind("\n{COMPOSNET board.PCB\n{ENVIRONMENT\n{LAYER 1\n}\n{UNITS MM}\n{SUBCOMP\n{I FOOT",
                0),
      0u)
      << out;
}

TEST(NetlistComponents, CancelWhileSortingWritesNothing) {
  CSheet sheet(kSheetScratch);
  BuildSheet(sheet);
  test::RecordingHost host;
  host.cancelAtStep = 0;
  ScopedHost scoped(&host);
  std::string out;
  EXPECT_TRUE(sheet.NetWrite(13, out, {}));
  EXPECT_EQ(out, "");
}

}  // namespace
}  // namespace tavro
