// The net report: golden files of the rule-check job on small sheets in the
// text form (tests/data/report, derived by hand: see its README), the HTML
// report through the shipped template, and the check job's outputs,
// failures and progress, and the report and index written by the netlist job.
#include "app/net_report.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/check_job.h"
#include "app/cli/doc_input.h"
#include "app/html_template.h"
#include "app/netlist_job.h"
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
using test::WriteAll;

constexpr std::time_t kEpoch = 1700000000;  // 2023/11/15 07:13:20 in Japan

std::string ShippedTemplate() { return std::string(TAVRO_SOURCE_DIR) + "/data/tavrohtml.dat"; }

// Copies the files of a fixture folder into `to`.
void CopyFixture(const std::string& folder, const TempDir& to) {
  for (const auto& f : fs::directory_iterator(DataPath(folder)))
    if (f.path().filename().string().rfind("expected", 0) != 0)
      fs::copy_file(f.path(), to.path() / f.path().filename());
}

class NetReport : public ::testing::Test {
 protected:
  void SetUp() override { SetFixedNow(kEpoch); }
  void TearDown() override { SetFixedNow(-1); }
  static CheckResult Check(std::vector<std::string> inputs, CheckOptions o, Host* host = nullptr) {
    return RunCheck(inputs, o, host, cli::ReadInputDocument);
  }
  static CheckOptions TextOnly() {
    CheckOptions o;
    o.writeFile = false;
    o.unixLineEnds = true;
    return o;
  }
};

// ---------------------------------------------------------------------------
// Goldens

TEST_F(NetReport, ReportsMatchTheHandDerivedFiles) {
  struct Case {
    const char* folder;
    std::vector<std::string> inputs;
    NetCounts counts;
    int openNets, openAliasNets, aliasNets;
    std::vector<int> pairs;  // nets per pair, bit order
    const char* status;
  };
  const std::vector<int> one(kDrcPairCount, 1);
  std::vector<int> edges(kDrcPairCount, 0), project(kDrcPairCount, 0);
  edges[0] = 1;     // BUS: two Outputs
  edges[13] = 2;    // D0..D5 and the unnamed net: two Inputs each
  project[0] = 1;   // CLK: an Output on each sheet
  project[13] = 1;  // DATA: an Input on each sheet
  const Case cases[] = {
      // Every pair raised by a net of its combination, and two nets that raise nothing.
      {"report/pairs",
       {"report/pairs/pairs.txt"},
       {19, 22},
       0,
       0,
       0,
       one,
       "総ネット数   19 /    41"},
      // Open pins, an open wire, a No Connect pin alone, an open alias net, six names.
      {"report/edges",
       {"report/edges/edges.txt"},
       {3, 3},
       4,
       1,
       1,
       edges,
       "総ネット数    3 /     6"},
      // Two covered sheets, numbers 1 and 3 (the unchecked file in between is 2).
      {"report/project",
       {"report/project/report.tpj"},
       {3, 4},
       1,
       0,
       1,
       project,
       "総ネット数    3 /     7"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.folder);
    std::vector<std::string> inputs;
    for (const std::string& in : c.inputs) inputs.push_back(DataPath(in));
    const CheckResult r = Check(inputs, TextOnly());
    ASSERT_EQ(r.status, CheckResult::kOk) << r.message;
    EXPECT_TRUE(MatchesGolden(r.text, std::string(c.folder) + "/expected.nrp"));
    EXPECT_EQ(r.counts.nets, c.counts.nets);
    EXPECT_EQ(r.counts.connections, c.counts.connections);
    EXPECT_EQ(r.summary.openNets, c.openNets);
    EXPECT_EQ(r.summary.openAliasNets, c.openAliasNets);
    EXPECT_EQ(r.summary.aliasNets, c.aliasNets);
    EXPECT_EQ(std::vector<int>(r.summary.pairs.begin(), r.summary.pairs.end()), c.pairs);
    EXPECT_TRUE(r.summary.HasViolations());
    EXPECT_EQ(r.statusText, c.status);
  }
}

// The HTML report of the edge cases through the shipped template, the sheet
// recorded as /design/edges.txt: escaped names, the DRC rows of an unnamed
// net, the alias names.
TEST_F(NetReport, HtmlReportMatchesTheHandDerivedFile) {
  CSheetDoc doc;
  ASSERT_TRUE(cli::ReadInputDocument(DataPath("report/edges/edges.txt"), doc).ok);
  const NetSheet sheets[] = {{&doc.GetSheet(), "/design/edges.txt", 1}};
  NetList nets;
  ASSERT_EQ(BuildNets(sheets, nets), 0);
  const auto classes = ClassifyNets(nets);
  ASSERT_TRUE(classes);
  bool found = false;
  const HtmlTemplate tmpl = HtmlTemplate::Load(ShippedTemplate(), &found);
  ASSERT_TRUE(found);
  const std::string html =
      ComposeNetReportHtml(*classes, CountNets(nets), tmpl, {"/design/edges.txt"}, NetlistDate());
  EXPECT_TRUE(MatchesGolden(html, "report/edges/expected.nrp.html"));
}

// ---------------------------------------------------------------------------
// The check job

TEST_F(NetReport, WritesBesideTheProjectOrTheFirstSheet) {
  TempDir tmp;
  CopyFixture("report/project", tmp);
  CheckOptions o;
  o.html = true;
  o.templatePath = ShippedTemplate();
  CheckResult r = Check({tmp.file("report.tpj")}, o);
  ASSERT_EQ(r.status, CheckResult::kOk) << r.message;
  EXPECT_EQ(r.reportPath, tmp.file("report.nrp"));
  EXPECT_EQ(r.htmlPath, tmp.file("report.nrp.html"));
  EXPECT_TRUE(r.warnings.empty());
  // CR LF line ends by default; the text is what was written.
  std::string crlf = ApplyLineEnds(ReadAll(DataPath("report/project/expected.nrp")), false);
  EXPECT_EQ(ReadAll(r.reportPath), crlf);
  EXPECT_EQ(r.text, crlf);
  // The HTML lists the project's three files, so that sheet 3 is the third entry.
  const std::string html = ReadAll(r.htmlPath);
  const std::string files = "\"\",\r\n\"" + Utf8ToCp932(tmp.file("top.txt")) + "\",\r\n\"" +
                            Utf8ToCp932(tmp.file("skip.txt")) + "\",\r\n\"" +
                            Utf8ToCp932(tmp.file("bottom.txt")) + "\"\r\n";
  EXPECT_NE(html.find(files), std::string::npos);
  EXPECT_NE(html.find("<h2>DRC Output-Output</h2>"), std::string::npos);

  // Sheets without a project: beside the first, numbered in the order given.
  r = Check({tmp.file("bottom.txt"), tmp.file("top.txt")}, CheckOptions());
  ASSERT_EQ(r.status, CheckResult::kOk) << r.message;
  EXPECT_EQ(r.reportPath, tmp.file("bottom.nrp"));
  EXPECT_EQ(r.htmlPath, "");
  EXPECT_FALSE(fs::exists(tmp.file("bottom.nrp.html")));
  const std::string text = ReadAll(r.reportPath);
  EXPECT_NE(text.find("   U2(   1)\tQ\tOutput\tbottom.txt [1]\t"), std::string::npos) << text;
  EXPECT_NE(text.find("   U1(   1)\tQ\tOutput\ttop.txt [2]\t"), std::string::npos) << text;

  // A given output path, and the text alone.
  o = CheckOptions();
  o.outputPath = tmp.file("out/check.txt");
  fs::create_directory(tmp.file("out"));
  o.html = true;
  r = Check({tmp.file("report.tpj")}, o);
  ASSERT_EQ(r.status, CheckResult::kOk) << r.message;
  EXPECT_TRUE(fs::exists(tmp.file("out/check.txt")));
  EXPECT_EQ(r.htmlPath, tmp.file("out/check.nrp.html"));
  fs::remove(tmp.file("report.nrp"));
  r = Check({tmp.file("report.tpj")}, TextOnly());
  EXPECT_EQ(r.text, ReadAll(DataPath("report/project/expected.nrp")));
  EXPECT_FALSE(fs::exists(tmp.file("report.nrp")));
}

TEST_F(NetReport, CleanNetsRaiseNothing) {
  TempDir tmp;
  // Two resistors in a loop, R2's vertical pins ending on R1's: two nets of
  // two Passive pins each.
  const std::string sheet =
      "Part 250 0 100 -50 400 50 1 0 0 0\nRef \"R1\" 250 100 70 0\n"
      "Pin 200 0 100 0 0\nNo \"1\" 150 20 70 0\nPin 300 0 400 0 0\nNo \"2\" 350 20 70 0\nPartEnd\n"
      "Part 250 -150 100 -200 400 -100 1 0 0 0\nRef \"R2\" 250 -250 70 0\n"
      "Pin 100 -100 100 0 0\nNo \"1\" 120 -50 70 0\nPin 400 -100 400 0 0\nNo \"2\" 420 -50 70 0\n"
      "PartEnd\n";
  WriteAll(tmp.file("clean.txt"), sheet);
  const CheckResult r = Check({tmp.file("clean.txt")}, TextOnly());
  ASSERT_EQ(r.status, CheckResult::kOk) << r.message;
  EXPECT_FALSE(r.summary.HasViolations()) << r.text;
  EXPECT_EQ(r.counts.nets, 2);
  EXPECT_EQ(r.text.substr(r.text.find("Open Net(s)")),
            "Open Net(s)\n\nOpen Alias Net(s)\n\nAlias Net(s)\n\n");
}

TEST_F(NetReport, FailuresNameTheFileAndWriteNothing) {
  TempDir tmp;
  CopyFixture("report/project", tmp);
  struct Case {
    std::vector<std::string> inputs;
    CheckOptions options;
    std::string named;  // in the message
  };
  CheckOptions overInput;
  overInput.outputPath = tmp.file("top.txt");
  CheckOptions htmlOverText;
  htmlOverText.html = true;
  htmlOverText.htmlPath = tmp.file("x.nrp");
  htmlOverText.outputPath = tmp.file("x.nrp");
  const Case cases[] = {
      {{tmp.file("missing.txt")}, CheckOptions(), tmp.file("missing.txt")},
      {{tmp.file("report.tpj")}, overInput, tmp.file("top.txt")},
      {{tmp.file("report.tpj"), tmp.file("top.txt")}, CheckOptions(), "project"},
      {{}, CheckOptions(), "no sheet"},
      {{tmp.file("report.tpj")}, htmlOverText, tmp.file("x.nrp")},
  };
  const std::string top = ReadAll(tmp.file("top.txt"));
  for (const Case& c : cases) {
    const CheckResult r = Check(c.inputs, c.options);
    EXPECT_EQ(r.status, CheckResult::kFailed);
    EXPECT_NE(r.message.find(c.named), std::string::npos) << r.message;
  }
  EXPECT_EQ(ReadAll(tmp.file("top.txt")), top);
  EXPECT_FALSE(fs::exists(tmp.file("report.nrp")));
  EXPECT_FALSE(fs::exists(tmp.file("x.nrp")));
  // A folder that cannot take the file.
  CheckOptions noFolder;
  noFolder.outputPath = tmp.file("no/such/folder/r.nrp");
  const CheckResult r = Check({tmp.file("report.tpj")}, noFolder);
  EXPECT_EQ(r.status, CheckResult::kFailed);
  EXPECT_NE(r.message.find("r.nrp"), std::string::npos) << r.message;
}

TEST_F(NetReport, MissingTemplateGivesAnEmptyFrameAndAWarning) {
  TempDir tmp;
  CopyFixture("report/edges", tmp);
  CheckOptions o;
  o.html = true;
  o.templatePath = tmp.file("none.dat");
  const CheckResult r = Check({tmp.file("edges.txt")}, o);
  ASSERT_EQ(r.status, CheckResult::kOk) << r.message;
  ASSERT_EQ(r.warnings.size(), 1u);
  EXPECT_NE(r.warnings[0].find(tmp.file("none.dat")), std::string::npos);
  EXPECT_EQ(ReadAll(r.htmlPath), "");
  // The text report is unaffected.
  EXPECT_EQ(ReadAll(r.reportPath),
            ApplyLineEnds(ReadAll(DataPath("report/edges/expected.nrp")), false));
}

TEST_F(NetReport, ReportsProgressAndStopsOnCancel) {
  TempDir tmp;
  CopyFixture("report/project", tmp);
  test::RecordingHost host;
  ASSERT_EQ(Check({tmp.file("report.tpj")}, CheckOptions(), &host).status, CheckResult::kOk);
  EXPECT_EQ(host.stages.front().stage, kStageReadFiles);
  EXPECT_EQ(host.stages.back().stage, kStageNetReport);
  EXPECT_EQ(host.stages.back().total, 4);  // CLK, DATA, A/B/C and the open pin
  EXPECT_STREQ(StageTextUtf8(kStageNetReport), "ネット情報出力中");
  for (int at : {0, 5, host.steps + host.polls - 1}) {
    fs::remove(tmp.file("report.nrp"));
    test::RecordingHost cancel;
    cancel.cancelAtStep = at;
    EXPECT_EQ(Check({tmp.file("report.tpj")}, CheckOptions(), &cancel).status,
              CheckResult::kCancelled)
        << at;
    EXPECT_FALSE(fs::exists(tmp.file("report.nrp"))) << at;
  }
}

TEST(NetReportOptions, ComeFromSectionTool) {
  Settings s;
  CheckOptions d = CheckOptions::FromSettings(s);
  EXPECT_FALSE(d.html);
  EXPECT_FALSE(d.unixLineEnds);
  s.WriteInt("Tool", "Html", 1);
  s.WriteInt("Tool", "NetUnix", 1);
  d = CheckOptions::FromSettings(s);
  EXPECT_TRUE(d.html);
  EXPECT_TRUE(d.unixLineEnds);
  EXPECT_EQ(NetReportPath("/a/demo.tpj"), "/a/demo.nrp");
  EXPECT_EQ(NetReportHtmlPath("/a/demo.nrp"), "/a/demo.nrp.html");
}

// ---------------------------------------------------------------------------
// The netlist job with its report and index

TEST_F(NetReport, NetlistWritesTheReportAndTheIndexAfterIt) {
  TempDir tmp;
  CopyFixture("report/project", tmp);
  NetlistOptions o;
  o.format = 13;
  o.unixLineEnds = true;
  o.report = true;
  o.html = true;
  o.index = true;
  o.templatePath = ShippedTemplate();
  NetlistResult r = RunNetlist(tmp.file("report.tpj"), o, nullptr, cli::ReadInputDocument);
  ASSERT_EQ(r.status, NetlistResult::kOk) << r.message;
  EXPECT_EQ(r.reportPath, tmp.file("report.nrp"));
  EXPECT_EQ(r.reportHtmlPath, tmp.file("report.nrp.html"));
  EXPECT_EQ(r.indexPath, tmp.file("report.net.csv"));
  // The report takes the netlist's counts and is the check job's report.
  EXPECT_EQ(r.nets, 3);
  EXPECT_EQ(r.connections, 4);
  EXPECT_EQ(ReadAll(r.reportPath), ReadAll(DataPath("report/project/expected.nrp")));
  EXPECT_EQ(r.report.openNets, 1);
  EXPECT_EQ(r.statusText, "総ネット数    3 /     7");
  EXPECT_TRUE(fs::exists(r.reportHtmlPath));
  // The index covers every file of the project, the unchecked one too.
  EXPECT_EQ(ReadAll(r.indexPath).substr(ReadAll(r.indexPath).find("Wire net index")),
            "Wire net index\nA,        1\nB,        1,  3\nC,        3\nCLK,      1,  3\n"
            "DATA,     1,  3\n");

  // A netlist elsewhere takes its report and index with it; a sheet has no index.
  fs::create_directory(tmp.file("out"));
  o.outputPath = tmp.file("out/board.net");
  o.html = false;
  o.indexOptions.html = true;
  r = RunNetlist(tmp.file("report.tpj"), o, nullptr, cli::ReadInputDocument);
  ASSERT_EQ(r.status, NetlistResult::kOk) << r.message;
  EXPECT_EQ(r.reportPath, tmp.file("out/board.nrp"));
  EXPECT_EQ(r.reportHtmlPath, "");
  EXPECT_EQ(r.indexPath, tmp.file("out/board.net.html"));
  EXPECT_TRUE(fs::exists(r.indexPath));
  r = RunNetlist(tmp.file("top.txt"), o, nullptr, cli::ReadInputDocument);
  ASSERT_EQ(r.status, NetlistResult::kOk) << r.message;
  EXPECT_EQ(r.indexPath, "");

  // Without report and index only the netlist is written.
  NetlistOptions plain;
  plain.format = 13;
  plain.outputPath = tmp.file("plain.net");
  r = RunNetlist(tmp.file("report.tpj"), plain, nullptr, cli::ReadInputDocument);
  ASSERT_EQ(r.status, NetlistResult::kOk) << r.message;
  EXPECT_EQ(r.reportPath, "");
  EXPECT_FALSE(fs::exists(tmp.file("plain.nrp")));
  EXPECT_FALSE(fs::exists(tmp.file("plain.net.csv")));
}

}  // namespace
}  // namespace tavro
