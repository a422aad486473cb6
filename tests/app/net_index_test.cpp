// The net index: golden files of a three-sheet project (tests/data/report,
// derived by hand: see its README) in the text forms and through the HTML
// template, the order of entries, and the job's output, warnings and cancel.
#include "app/net_index.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/cli/doc_input.h"
#include "app/html_template.h"
#include "core/model/sheet.h"
#include "core/net/netlist_format.h"
#include "core/platform/clock.h"
#include "core/platform/codec.h"
#include "core/platform/settings.h"
#include "support/test_util.h"

namespace tavro {
namespace {

namespace fs = std::filesystem;
using test::DataPath;
using test::MatchesGolden;
using test::ReadAll;
using test::TempDir;

constexpr const char* kSheets[] = {"idx1.txt", "idx2.txt", "idx3.txt"};

// The entries of the three sheets in project order, sorted.
std::vector<NetIndexEntry> Collected() {
  std::vector<NetIndexEntry> entries;
  for (int i = 0; i < 3; ++i) {
    CSheetDoc doc;
    EXPECT_TRUE(
        cli::ReadInputDocument(DataPath(std::string("report/index/") + kSheets[i]), doc).ok);
    EXPECT_FALSE(CollectNetIndex(doc.GetSheet(), i, entries));
  }
  SortNetIndex(entries);
  return entries;
}

// The files as the goldens show them.
const std::vector<std::string> kFiles = {"/design/idx1.txt", "/design/idx2.txt",
                                         "/design/idx3.txt"};

TEST(NetIndex, TextFormsMatchTheHandDerivedFiles) {
  // Clk and CLK on sheets 1 and 3 are one line, under the first spelling;
  // ADDR0 at X 12345, Y 600 is written 123.45 and 6.00.
  const std::vector<NetIndexEntry> all = Collected();
  EXPECT_TRUE(
      MatchesGolden(ComposeNetIndexText(all, kFiles, false), "report/index/expected.net.csv"));
  EXPECT_TRUE(
      MatchesGolden(ComposeNetIndexText(all, kFiles, true), "report/index-xy/expected.net.csv"));
  std::vector<NetIndexEntry> multi = all;
  DropSingleNames(multi);  // IndexSingle 0: RESET and VCC_IO occur once
  EXPECT_TRUE(MatchesGolden(ComposeNetIndexText(multi, kFiles, false),
                            "report/index-single0/expected.net.csv"));
}

TEST(NetIndex, HtmlFormMatchesTheHandDerivedFile) {
  SetFixedNow(1700000000);
  bool found = false;
  const HtmlTemplate tmpl =
      HtmlTemplate::Load(std::string(TAVRO_SOURCE_DIR) + "/data/tavrohtml.dat", &found);
  ASSERT_TRUE(found);
  const std::string html = ComposeNetIndexHtml(Collected(), kFiles, false, tmpl, NetlistDate());
  SetFixedNow(-1);
  EXPECT_TRUE(MatchesGolden(html, "report/index-html/expected.net.html"));
}

TEST(NetIndex, SortsByNameIgnoringCaseThenFileKeepingTheOrderOfEqualEntries) {
  std::vector<NetIndexEntry> e = {{"b", 0, {1, 0}},   {"CLK", 1, {2, 0}}, {"clk", 1, {3, 0}},
                                  {"Clk", 0, {4, 0}}, {"a", 1, {5, 0}},   {"CLK", 1, {6, 0}}};
  SortNetIndex(e);
  std::vector<int> order;
  for (const auto& x : e) order.push_back(x.at.x);
  EXPECT_EQ(order, (std::vector<int>{5, 1, 4, 2, 3, 6}));
  DropSingleNames(e);
  order.clear();
  for (const auto& x : e) order.push_back(x.at.x);
  EXPECT_EQ(order, (std::vector<int>{4, 2, 3, 6}));
}

// ---------------------------------------------------------------------------
// The job

class NetIndexJob : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* f : {"idx1.txt", "idx2.txt", "idx3.txt", "index.tpj"})
      fs::copy_file(DataPath(std::string("report/index/") + f), tmp_.path() / f);
  }
  NetIndexResult Run(NetIndexOptions o, Host* host = nullptr) {
    const std::string in[] = {tmp_.file("index.tpj")};
    return RunNetIndex(in, o, host, cli::ReadInputDocument);
  }
  // The file list of the temporary project, and the golden's index part.
  std::string Expected(const char* golden) {
    std::string s = "File lists\n";
    for (int i = 0; i < 3; ++i)
      s += "  " + std::to_string(i + 1) + " ," + Utf8ToCp932(tmp_.file(kSheets[i])) + "\n";
    const std::string g = ReadAll(DataPath(golden));
    return s + g.substr(g.find("Wire net index"));
  }
  TempDir tmp_;
};

TEST_F(NetIndexJob, WritesEveryProjectFileBesideTheProject) {
  NetIndexOptions o;
  const NetIndexResult r = Run(o);
  ASSERT_EQ(r.status, NetIndexResult::kOk) << r.message;
  // idx2.txt is unchecked in the project, and indexed all the same.
  EXPECT_EQ(r.outputPath, tmp_.file("index.net.csv"));
  EXPECT_EQ(ReadAll(r.outputPath), ApplyLineEnds(Expected("report/index/expected.net.csv"), false));
  EXPECT_EQ(r.text, ReadAll(r.outputPath));
  EXPECT_EQ(r.entries, 11);
  EXPECT_TRUE(r.warnings.empty());

  o.xy = true;
  o.unixLineEnds = true;
  o.outputPath = tmp_.file("xy.csv");
  EXPECT_EQ(Run(o).text, Expected("report/index-xy/expected.net.csv"));
  EXPECT_EQ(ReadAll(tmp_.file("xy.csv")), Expected("report/index-xy/expected.net.csv"));

  // The text alone, and the HTML form's name.
  NetIndexOptions h;
  h.html = true;
  h.writeFile = false;
  const NetIndexResult html = Run(h);
  EXPECT_EQ(html.outputPath, tmp_.file("index.net.html"));
  EXPECT_FALSE(fs::exists(html.outputPath));
  EXPECT_NE(html.text.find(J("ネットインデックス")), std::string::npos);
}

TEST_F(NetIndexJob, SkipsASheetThatCannotBeReadAndSaysSo) {
  fs::remove(tmp_.file("idx3.txt"));
  NetIndexOptions o;
  o.unixLineEnds = true;
  const NetIndexResult r = Run(o);
  ASSERT_EQ(r.status, NetIndexResult::kOk) << r.message;
  ASSERT_EQ(r.warnings.size(), 1u);
  EXPECT_NE(r.warnings[0].find(tmp_.file("idx3.txt")), std::string::npos) << r.warnings[0];
  // Its number stays in the file list; its names are gone.
  EXPECT_NE(r.text.find("  3 ," + Utf8ToCp932(tmp_.file("idx3.txt")) + "\n"), std::string::npos);
  EXPECT_EQ(r.text.substr(r.text.find("Wire net index")),
            "Wire net index\nADDR0,    1\nClk,      1\nDATA,     1,  1,  2\nLONG_SIGNAL,  2\n"
            "VCC_IO,   2\n");
}

TEST_F(NetIndexJob, FailsWithoutWritingAndStopsOnCancel) {
  NetIndexOptions over;
  over.outputPath = tmp_.file("idx2.txt");
  const std::string before = ReadAll(tmp_.file("idx2.txt"));
  NetIndexResult r = Run(over);
  EXPECT_EQ(r.status, NetIndexResult::kFailed);
  EXPECT_NE(r.message.find("idx2.txt"), std::string::npos);
  EXPECT_EQ(ReadAll(tmp_.file("idx2.txt")), before);

  test::RecordingHost host;
  ASSERT_EQ(Run(NetIndexOptions(), &host).status, NetIndexResult::kOk);
  ASSERT_GE(host.stages.size(), 4u);
  EXPECT_EQ(host.stages[0].stage, kStageNetIndex);
  EXPECT_EQ(host.stages[1].stage, kStageCollect);
  EXPECT_EQ(host.stages[1].total, 3);
  EXPECT_EQ(host.stages.back().stage, kStageWriteFile);
  for (int at : {0, 2, host.steps + host.polls - 1}) {
    fs::remove(tmp_.file("index.net.csv"));
    test::RecordingHost cancel;
    cancel.cancelAtStep = at;
    EXPECT_EQ(Run(NetIndexOptions(), &cancel).status, NetIndexResult::kCancelled) << at;
    EXPECT_FALSE(fs::exists(tmp_.file("index.net.csv"))) << at;
  }
}

TEST(NetIndexOptionsTest, ComeFromSectionTool) {
  Settings s;
  NetIndexOptions d = NetIndexOptions::FromSettings(s);
  EXPECT_TRUE(d.single);
  EXPECT_FALSE(d.html);
  EXPECT_FALSE(d.xy);
  EXPECT_TRUE(d.view);
  s.WriteInt("Tool", "IndexSingle", 0);
  s.WriteInt("Tool", "IndexHtml", 1);
  s.WriteInt("Tool", "IndexXY", 1);
  s.WriteInt("Tool", "IndexView", 0);
  d = NetIndexOptions::FromSettings(s);
  EXPECT_FALSE(d.single);
  EXPECT_TRUE(d.html);
  EXPECT_TRUE(d.xy);
  EXPECT_FALSE(d.view);
  EXPECT_EQ(NetIndexOutputPath("/a/demo.tpj", false), "/a/demo.net.csv");
  EXPECT_EQ(NetIndexOutputPath("/a/demo.tpj", true), "/a/demo.net.html");
}

}  // namespace
}  // namespace tavro
