// The golden project (tests/data/netlist/project: two sheets in the text
// form) written in every one of the 29 formats and compared byte for byte
// with the expected files derived by hand (tests/data/netlist/README.md).
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "app/cli/doc_input.h"
#include "app/netlist_job.h"
#include "core/net/netlist_format.h"
#include "core/platform/clock.h"
#include "support/test_util.h"

namespace tavro {
namespace {

using test::DataPath;
using test::MatchesGolden;
using test::ReadAll;
using test::TempDir;

constexpr std::time_t kEpoch = 1700000000;  // 2023/11/15 07:13:20 in Japan

struct FixedClock {
  FixedClock() { SetFixedNow(kEpoch); }
  ~FixedClock() { SetFixedNow(-1); }
};

std::string Ext(int format) { return FindNetlistFormat(format)->extension; }

std::string GoldenName(int format) {
  char dir[8];
  std::snprintf(dir, sizeof dir, "%02d", format);
  return std::string("netlist/") + dir + "/expected" + Ext(format);
}

NetlistOptions GoldenOptions(int format, const TempDir& tmp) {
  NetlistOptions o;
  o.format = format;
  o.startNo = 1;
  o.pcbProperty = "PCB";
  o.unixLineEnds = true;
  o.outputPath = tmp.file("golden" + Ext(format));
  return o;
}

class NetlistGolden : public ::testing::TestWithParam<int> {};

TEST_P(NetlistGolden, ProjectMatchesHandDerivedFile) {
  const int format = GetParam();
  FixedClock clock;
  TempDir tmp;
  const NetlistResult r = RunNetlist(DataPath("netlist/project/golden.tpj"),
                                     GoldenOptions(format, tmp), nullptr, cli::ReadInputDocument);
  ASSERT_EQ(r.status, NetlistResult::kOk) << r.message;
  // Seven nets: CLK (3 pins), GND (4), OUT/DATA (2), VCC (2) and three unnamed ones (3, 2, 2).
  EXPECT_EQ(r.nets, 7);
  EXPECT_EQ(r.connections, 11);
  EXPECT_TRUE(MatchesGolden(ReadAll(r.outputPath), GoldenName(format)));
}

INSTANTIATE_TEST_SUITE_P(AllFormats, NetlistGolden, ::testing::Range(1, 30),
                         [](const auto& info) { return "Format" + std::to_string(info.param); });

// The same project through the program: stdout, the default CR LF line ends
// and the clock from SOURCE_DATE_EPOCH. The stored "Index" (on by default)
// writes the net index beside the netlist.
TEST(NetlistCommand, WritesTheGoldenProjectEndToEnd) {
  TempDir tmp;
  const std::string out = tmp.file("golden.net");
  const auto r = test::RunTavro({"netlist", "-f", "pads-pcb", "--pcb", "PCB", "--start", "1", "-o",
                                 out, DataPath("netlist/project/golden.tpj")},
                                {"SOURCE_DATE_EPOCH=1700000000"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const std::string index = tmp.file("golden.net.csv");
  EXPECT_EQ(r.out,
            "netlist: " + out + " (PADS-PCB)\nindex: " + index + "\nnets: 7\nconnections: 11\n");
  EXPECT_TRUE(std::filesystem::exists(index));
  EXPECT_EQ(r.err, "");
  std::string expected = ReadAll(DataPath(GoldenName(13)));
  std::string crlf;
  for (char c : expected) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  EXPECT_EQ(ReadAll(out), crlf);
}

}  // namespace
}  // namespace tavro
