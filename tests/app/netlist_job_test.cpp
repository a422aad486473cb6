// The netlist job: options from the settings, covered sheets, naming of the
// outputs, component files, line ends, failures and progress.
#include "app/netlist_job.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "app/cli/doc_input.h"
#include "core/net/netlist_format.h"
#include "core/platform/clock.h"
#include "core/platform/settings.h"
#include "net/net_sheets.h"
#include "support/test_util.h"

namespace tavro {
namespace {

using test::MakeNet;

namespace fs = std::filesystem;
using test::ReadAll;
using test::TempDir;
using test::WriteAll;

// A resistor between the labels IN and OUT, and on OUT the block symbol X1,
// which stands for "sub.txt" when that sheet is open.
constexpr const char* kSheet =
    "Line 0 0 100 0 8 0 0 0\nName \"IN\" 0 20 70 0\n"
    "Line 400 0 500 0 8 0 0 0\nName \"OUT\" 400 20 70 0\n"
    "Line 800 0 900 0 8 0 0 0\n"
    "Part 250 0 100 -50 400 50 1 0 0 0\nName \"RES\" 250 100 70 32768\nRef \"R1\" 250 100 70 0\n"
    "Val \"1k\" 250 -100 70 0\n"
    "Pin 200 0 100 0 0\nNo \"1\" 150 20 70 0\nPin 300 0 400 0 0\nNo \"2\" 350 20 70 0\n"
    "Text \"&PCB&R1608\" 250 -150 70 32768\nPartEnd\n"
    "Part 650 0 500 -50 800 50 1 0 0 0\nName \"BLOCK\" 650 100 70 32768\nRef \"X1\" 650 100 70 0\n"
    "Pin 600 0 500 0 0\nNo \"1\" 550 20 70 0\nPin 700 0 800 0 0\nNo \"2\" 750 20 70 0\n"
    "Text \"&FILE&sub.txt\" 650 -150 70 32768\nPartEnd\n";
// The sheet behind the block: one more resistor on OUT.
constexpr const char* kSub =
    "Line 0 0 100 0 8 0 0 0\nName \"OUT\" 0 20 70 0\n"
    "Part 250 0 100 -50 400 50 1 0 0 0\nName \"RES\" 250 100 70 32768\nRef \"R9\" 250 100 70 0\n"
    "Pin 200 0 100 0 0\nNo \"1\" 150 20 70 0\nPin 300 0 400 0 0\nNo \"2\" 350 20 70 0\nPartEnd\n";

class NetlistJob : public ::testing::Test {
 protected:
  void SetUp() override {
    SetFixedNow(0);
    WriteAll(tmp_.file("top.txt"), kSheet);
    WriteAll(tmp_.file("sub.txt"), kSub);
    Project("1:top.txt\n1:sub.txt\n");
  }
  void TearDown() override { SetFixedNow(-1); }
  void Project(const std::string& list) {
    WriteAll(tmp_.file("p.tpj"), "Project File Ver 0.03\n" + list + "EndFileList\n");
  }
  NetlistResult Run(const std::string& input, NetlistOptions o, Host* host = nullptr) {
    return RunNetlist(tmp_.file(input), o, host, cli::ReadInputDocument);
  }
  static NetlistOptions Format(int f) {
    NetlistOptions o;
    o.format = f;
    o.pcbProperty = "PCB";
    return o;
  }
  TempDir tmp_;
};

TEST_F(NetlistJob, WritesBesideTheInputWithCrLfByDefault) {
  const NetlistResult r = Run("p.tpj", Format(13));
  ASSERT_EQ(r.status, NetlistResult::kOk) << r.message;
  EXPECT_EQ(r.outputPath, tmp_.file("p.net"));
  // X1 stands for sub.txt, which the run has open: it is neither a component
  // nor on a net, and R9 of the sub-sheet joins OUT by name.
  EXPECT_EQ(ReadAll(r.outputPath),
            "*PADS-PCB*\r\n*PART*\r\nR1     1k\r\nR9     RES\r\n\r\n*NET*\r\n"
            "*SIGNAL* OUT\r\n R1.2 R9.1\r\n*END*\r\n");
  EXPECT_EQ(r.nets, 1);

  // The sheet alone: the block is an ordinary part on OUT.
  NetlistOptions o = Format(13);
  o.unixLineEnds = true;
  const NetlistResult one = Run("top.txt", o);
  ASSERT_EQ(one.status, NetlistResult::kOk) << one.message;
  EXPECT_EQ(one.outputPath, tmp_.file("top.net"));
  EXPECT_EQ(ReadAll(one.outputPath),
            "*PADS-PCB*\n*PART*\nR1     1k\nX1     BLOCK\n\n*NET*\n*SIGNAL* OUT\n R1.2 X1.1\n"
            "*END*\n");
  EXPECT_EQ(one.nets, 1);
  EXPECT_EQ(one.connections, 1);

  EXPECT_EQ(Run("p.tpj", Format(21)).outputPath, tmp_.file("p.cir"));
  EXPECT_EQ(Run("p.tpj", Format(27)).outputPath, tmp_.file("p.asc"));
}

TEST_F(NetlistJob, ComponentSectionGoesToItsOwnFile) {
  NetlistOptions o = Format(17);
  o.componentFile = true;
  o.componentExt = "cmp";
  o.unixLineEnds = true;
  const NetlistResult r = Run("top.txt", o);
  ASSERT_EQ(r.status, NetlistResult::kOk) << r.message;
  EXPECT_EQ(r.componentPath, tmp_.file("top.cmp"));
  EXPECT_EQ(ReadAll(r.outputPath), "/OUT       R1(2) X1(1);\n");
  EXPECT_EQ(ReadAll(r.componentPath),
            "R1                  1k                  R1608               000     000     0\n"
            "X1                  BLOCK               PCB                 000     000     0\n\n");

  // Formats without a section write no component file; SPICE keeps its
  // element lines in the netlist.
  for (int f : {2, 21}) {
    o.format = f;
    const NetlistResult n = Run("top.txt", o);
    ASSERT_EQ(n.status, NetlistResult::kOk) << n.message;
    EXPECT_EQ(n.componentPath, "");
  }
  EXPECT_NE(ReadAll(tmp_.file("top.cir")).find("R1 ? OUT 1K\n"), std::string::npos);
}

TEST(NetlistJobNames, ComponentExtensionIsCheckedAsTheDialogDoes) {
  const std::string empty = "コンポーネントファイル拡張子を設定してください。";
  const std::string bad = "ファイル拡張子が不正または使用できません。";
  const std::pair<const char*, std::optional<std::string>> cases[] = {
      {"cmp", std::nullopt}, {".cmp", std::nullopt},
      {"CMP", std::nullopt}, {"", empty},
      {"  ", empty},         {".", empty},
      {"tcd", bad},          {"TPJ", bad},
      {"bak", bad},          {"net", bad},
      {"Exe", bad},          {"nrp", bad},
      {"csv", bad},          {"log", bad},
      {"html", bad},         {"a/b", bad},
      {"a.b", bad},          {"asc", bad}};  // the PowerPCB netlist's own extension
  for (const auto& [ext, message] : cases)
    EXPECT_EQ(CheckComponentExt(ext, ".asc"), message) << ext;
  EXPECT_EQ(CheckComponentExt("asc", ".net"), std::nullopt);

  EXPECT_EQ(ComponentFilePath("/a/b/out.net", "cmp"), "/a/b/out.cmp");
  EXPECT_EQ(ComponentFilePath("/a/b/out.net", ".cmp"), "/a/b/out.cmp");
  EXPECT_EQ(NetlistOutputPath("/a/demo.tpj", 13), "/a/demo.net");
  EXPECT_EQ(NetlistOutputPath("/a/demo.tpj", 21), "/a/demo.cir");
  EXPECT_EQ(NetlistOutputPath("/a/demo.tcd", 27), "/a/demo.asc");
  EXPECT_EQ(ApplyLineEnds("a\nb\n", false), "a\r\nb\r\n");
  EXPECT_EQ(ApplyLineEnds("a\nb\n", true), "a\nb\n");
}

TEST(NetlistJobNames, OptionsComeFromSectionTool) {
  Settings s;  // in memory
  NetlistOptions d = NetlistOptions::FromSettings(s);
  EXPECT_EQ(d.format, 1);  // list position 0
  EXPECT_EQ(d.startNo, 1u);
  EXPECT_FALSE(d.componentFile);
  EXPECT_FALSE(d.unixLineEnds);
  EXPECT_TRUE(d.index);
  s.WriteInt("Tool", "NetType", 20);
  s.WriteInt("Tool", "StartNo", 100);
  s.WriteString("Tool", "PCB", "FOOT");
  s.WriteInt("Tool", "Compo", 1);
  s.WriteString("Tool", "Ext", "cmp");
  s.WriteInt("Tool", "NetUnix", 1);
  NetlistOptions o = NetlistOptions::FromSettings(s);
  EXPECT_EQ(o.format, 21);  // list position 20 is SPICE
  EXPECT_EQ(o.startNo, 100u);
  EXPECT_EQ(o.pcbProperty, "FOOT");
  EXPECT_TRUE(o.componentFile);
  EXPECT_EQ(o.componentExt, "cmp");
  EXPECT_TRUE(o.unixLineEnds);
  s.WriteInt("Tool", "NetType", 99);  // out of the list
  EXPECT_EQ(NetlistOptions::FromSettings(s).format, 1);
}

TEST_F(NetlistJob, FailuresNameTheFileAndWriteNothing) {
  Project("1:top.txt\n1:missing.txt\n");
  NetlistResult r = Run("p.tpj", Format(13));
  EXPECT_EQ(r.status, NetlistResult::kFailed);
  EXPECT_NE(r.message.find(tmp_.file("missing.txt")), std::string::npos) << r.message;
  EXPECT_NE(r.message.find("を開けません"), std::string::npos) << r.message;
  EXPECT_FALSE(fs::exists(tmp_.file("p.net")));

  WriteAll(tmp_.file("bad.tcd"), "Tavro DATA FILE Ver 0.08\n\x01\x02");
  Project("1:top.txt\n1:bad.tcd\n");
  r = Run("p.tpj", Format(13));
  EXPECT_EQ(r.status, NetlistResult::kFailed);
  EXPECT_NE(r.message.find(tmp_.file("bad.tcd")), std::string::npos) << r.message;
  EXPECT_FALSE(fs::exists(tmp_.file("p.net")));

  // Unchecked files are covered only with allFiles.
  Project("0:top.txt\n");
  r = Run("p.tpj", Format(13));
  EXPECT_EQ(r.status, NetlistResult::kFailed);
  NetlistOptions all = Format(13);
  all.allFiles = true;
  EXPECT_EQ(Run("p.tpj", all).status, NetlistResult::kOk);

  WriteAll(tmp_.file("no.tpj"), "hello\n");
  EXPECT_EQ(Run("no.tpj", Format(13)).status, NetlistResult::kFailed);

  // Never over an input.
  NetlistOptions over = Format(13);
  over.outputPath = tmp_.file("top.txt");
  r = Run("top.txt", over);
  EXPECT_EQ(r.status, NetlistResult::kFailed);
  EXPECT_EQ(ReadAll(tmp_.file("top.txt")), kSheet);

  NetlistOptions same = Format(13);
  same.outputPath = tmp_.file("out.cmp");
  same.componentFile = true;
  same.componentExt = "cmp";
  EXPECT_EQ(Run("top.txt", same).status, NetlistResult::kFailed);
  EXPECT_FALSE(fs::exists(tmp_.file("out.cmp")));

  NetlistOptions compo = Format(13);
  compo.componentFile = true;
  compo.componentExt = "tcd";
  r = Run("top.txt", compo);
  EXPECT_EQ(r.status, NetlistResult::kFailed);
  EXPECT_EQ(r.message, "ファイル拡張子が不正または使用できません。");
}

TEST_F(NetlistJob, ReportsProgressAndStopsOnCancel) {
  test::RecordingHost host;
  ASSERT_EQ(Run("p.tpj", Format(21), &host).status, NetlistResult::kOk);
  std::vector<int> stages;
  for (const auto& s : host.stages)
    if (stages.empty() || stages.back() != s.stage) stages.push_back(s.stage);
  // Reading, then per sheet wire and pin groups (with merging), the project
  // merge and sort, the parts sort, the index and the writing.
  ASSERT_FALSE(stages.empty());
  EXPECT_EQ(stages.front(), kStageReadFiles);
  EXPECT_EQ(host.stages.front().total, 2);
  EXPECT_EQ(stages.back(), kStageWrite);
  for (int s : {kStageWireGroups, kStagePinGroups, kStageMerge, kStageSortNets, kStageSortParts,
                kStageIndex})
    EXPECT_NE(std::find(stages.begin(), stages.end(), s), stages.end()) << s;

  for (int at : {0, 3, host.steps + host.polls - 1}) {
    fs::remove(tmp_.file("p.cir"));
    test::RecordingHost cancel;
    cancel.cancelAtStep = at;
    EXPECT_EQ(Run("p.tpj", Format(21), &cancel).status, NetlistResult::kCancelled) << at;
    EXPECT_FALSE(fs::exists(tmp_.file("p.cir"))) << at;
  }
}

// ---------------------------------------------------------------------------
// Composing from nets built by hand.

TEST(NetlistCompose, SinglePinAndOpenNetsOnlyInTheOpenListOfFormat24) {
  NetList nets;
  nets.push_back(MakeNet({{"R1", "1"}, {"R2", "1"}}));
  nets.push_back(MakeNet({{"R3", "1"}}));                                         // a single pin
  nets.push_back(MakeNet({{"R4", "1"}}, {std::string(kOpenPin1)}));               // an open pin
  nets.push_back(MakeNet({{"R5", "1"}, {"R6", "1"}}, {std::string(kOpenPin2)}));  // marked
  nets.push_back(MakeNet({}, {"WIRE"}));                                          // wires only
  CSheet working(kSheetScratch);
  NetlistOptions o;
  o.format = 2;
  NetlistText t = ComposeNetlist(nets, working, o, "x.net", "D");
  EXPECT_EQ(t.netlist, "NET000001 : R1-1 , R2-1 .\n");
  EXPECT_EQ(t.nets, 1);
  EXPECT_EQ(t.connections, 1);

  o.format = 24;
  t = ComposeNetlist(nets, working, o, "x.net", "D");
  const std::string open = t.netlist.substr(t.netlist.find("OPEN NET LIST"));
  EXPECT_EQ(open.substr(open.find("\n ")),
            "\n ********   R3-1              \n ********   R4-1              \n"
            " ********   R5-1              R6-1              \n");
  EXPECT_NE(t.netlist.find(" S0000001   R1-1 "), std::string::npos);
}

TEST(NetlistCompose, GeneratedNamesNeverRepeatANetsName) {
  NetList nets;
  nets.push_back(MakeNet({{"R1", "1"}, {"R2", "1"}}, {"net000001"}));
  nets.push_back(MakeNet({{"R3", "1"}, {"R4", "1"}}));
  nets.push_back(MakeNet({{"R5", "1"}, {"R6", "1"}}, {"NET000003"}));
  nets.push_back(MakeNet({{"R7", "1"}, {"R8", "1"}}));
  CSheet working(kSheetScratch);
  NetlistOptions o;
  o.format = 13;
  const NetlistText t = ComposeNetlist(nets, working, o, "x.net", "D");
  EXPECT_EQ(t.netlist,
            "*PADS-PCB*\n*PART*\n\n*NET*\n*SIGNAL* net000001\n R1.1 R2.1\n*SIGNAL* NET000002\n"
            " R3.1 R4.1\n*SIGNAL* NET000003\n R5.1 R6.1\n*SIGNAL* NET000004\n R7.1 R8.1\n*END*\n");
}

}  // namespace
}  // namespace tavro
