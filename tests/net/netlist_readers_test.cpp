// Netlists read back by independent tools: ngspice for SPICE, pcb-rnd for
// the PADS family, Calay and Mentor. A tool that is not installed skips its
// test (./test.sh installs both).
//
// Where a reader and our format rules disagree, the rules hold and only what
// both agree a file means is compared: the connections (net, reference, pin).
//  - PADS-PCB / PowerPCB: pcb-rnd takes the second column of a "*PART*" line
//    as the footprint; our rules write the value there (the part name when
//    the value is empty), so pcb-rnd looks for footprints named "10k"...
//  - Calay: pcb-rnd takes the third column of the component file as the
//    footprint and does not report the value column.
//  - Tango (not tested here): pcb-rnd reads no nodes written "R,P".
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <sstream>
#include <tuple>

#include "app/cli/doc_input.h"
#include "app/netlist_job.h"
#include "core/net/netlist_format.h"
#include "support/test_util.h"

namespace tavro {
namespace {

namespace fs = std::filesystem;
using test::DataPath;
using test::TempDir;

bool HaveTool(const std::string& name) {
  const char* path = std::getenv("PATH");
  std::stringstream ss(path ? path : "");
  for (std::string dir; std::getline(ss, dir, ':');) {
    std::error_code ec;
    if (!dir.empty() && fs::exists(fs::path(dir) / name, ec)) return true;
  }
  return false;
}

// Runs a shell command (inputs are our own temporary paths) and returns its output.
std::string Capture(const std::string& command) {
  std::string out;
  if (FILE* p = ::popen(command.c_str(), "r")) {
    char buf[4096];
    for (size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
    ::pclose(p);
  }
  return out;
}

NetlistResult Write(const std::string& input, int format, const std::string& output,
                    const std::string& compoExt = {}) {
  NetlistOptions o;
  o.format = format;
  o.outputPath = output;
  o.pcbProperty = "PCB";
  o.componentFile = !compoExt.empty();
  o.componentExt = compoExt;
  return RunNetlist(input, o, nullptr, cli::ReadInputDocument);
}

// ---------------------------------------------------------------------------
// SPICE: a source, a resistor and a capacitor; ngspice must read the deck
// without a warning or an error, and the operating point proves the nets:
// no current flows through R1 into C1, so node 1 sits at the source's 5 V.

TEST(NetlistReaders, NgspiceReadsSpice) {
  if (!HaveTool("ngspice")) GTEST_SKIP() << "ngspice is not installed";
  TempDir tmp;
  const std::string cir = tmp.file("rcv.cir");
  const NetlistResult r = Write(DataPath("netlist/rcv/rcv.txt"), 21, cir);
  ASSERT_EQ(r.status, NetlistResult::kOk) << r.message;
  test::WriteAll(tmp.file("w.sp"), "* w\n.include " + cir + "\n.op\n.end\n");
  const std::string out = Capture("cd '" + tmp.path().string() + "' && ngspice -b w.sp 2>&1");
  std::istringstream lines(out);
  for (std::string line; std::getline(lines, line);) {
    EXPECT_EQ(line.find("Warning"), std::string::npos) << line;
    EXPECT_EQ(line.find("Error"), std::string::npos) << line;
    EXPECT_EQ(line.find("error"), std::string::npos) << line;
  }
  EXPECT_NE(out.find("V(1)                             5.000000e+00"), std::string::npos) << out;
  EXPECT_NE(out.find("in                               5.000000e+00"), std::string::npos) << out;
}

// ---------------------------------------------------------------------------
// pcb-rnd: the golden project's nets as pcb-rnd reports them ("conn NET REF
// PIN" lines of its tEDAx netlist).

using Conn = std::tuple<std::string, std::string, std::string>;

std::set<Conn> GoldenConns(const std::string& unnamedPrefix) {
  const std::string n1 = unnamedPrefix + "1", n2 = unnamedPrefix + "2", n3 = unnamedPrefix + "3";
  return {{"CLK", "C1", "1"}, {"CLK", "U1", "3"},  {"CLK", "U1", "4"}, {"GND", "C1", "2"},
          {"GND", "R3", "2"}, {"GND", "R4", "2"},  {"GND", "U1", "7"}, {"OUT", "J1", "1"},
          {"OUT", "R2", "2"}, {n1, "R1", "1"},     {n1, "U1", "1"},    {n1, "U1", "2"},
          {"VCC", "R1", "2"}, {"VCC", "U1", "14"}, {n2, "R2", "1"},    {n2, "U1", "6"},
          {n3, "R3", "1"},    {n3, "R4", "1"}};
}

std::set<Conn> PcbRndConns(const std::string& loadAction, const std::string& dir) {
  const std::string script = dir + "/load.txt";
  test::WriteAll(script, loadAction + "\nSaveTedax(netlist, /dev/stdout)\n");
  const std::string out =
      Capture("cd '" + dir + "' && timeout 120 pcb-rnd --gui batch < '" + script + "' 2>/dev/null");
  std::set<Conn> conns;
  std::istringstream lines(out);
  for (std::string line; std::getline(lines, line);) {
    std::istringstream words(line);
    std::string kw, net, ref, pin;
    if (words >> kw >> net >> ref >> pin && kw == "conn") conns.insert({net, ref, pin});
  }
  return conns;
}

struct PcbRndCase {
  int format;
  const char* compoExt;  // component file, or ""
  const char* action;    // pcb-rnd's import action
  const char* unnamed;   // how the format names unnamed nets
};

// Shown by the test runner (ctest lists each case by this).
void PrintTo(const PcbRndCase& c, std::ostream* os) { *os << "format " << c.format; }

class PcbRndReads : public ::testing::TestWithParam<PcbRndCase> {};

TEST_P(PcbRndReads, TheGoldenProject) {
  if (!HaveTool("pcb-rnd")) GTEST_SKIP() << "pcb-rnd is not installed";
  const PcbRndCase& c = GetParam();
  TempDir tmp;
  const std::string out = tmp.file(std::string("out") + FindNetlistFormat(c.format)->extension);
  const NetlistResult r = Write(DataPath("netlist/project/golden.tpj"), c.format, out, c.compoExt);
  ASSERT_EQ(r.status, NetlistResult::kOk) << r.message;
  // The Mentor reader wants the schematic beside the netlist.
  if (c.format == 5) test::WriteAll(tmp.file("out.asc"), "Version 4\n");
  const auto conns = PcbRndConns(std::string(c.action) + "(" + out + ")", tmp.path().string());
  EXPECT_EQ(conns, GoldenConns(c.unnamed));
}

INSTANTIATE_TEST_SUITE_P(Formats, PcbRndReads,
                         ::testing::Values(PcbRndCase{13, "", "LoadFpcbnlFrom", "NET00000"},
                                           PcbRndCase{14, "", "LoadFpcbnlFrom", "NET00000"},
                                           PcbRndCase{27, "", "LoadFpcbnlFrom", "NET00000"},
                                           PcbRndCase{17, "cmp", "LoadCalayFrom", "NET00000"},
                                           PcbRndCase{5, "", "LoadLtspiceFrom", "N00000"}),
                         [](const auto& info) {
                           return "Format" + std::to_string(info.param.format);
                         });

}  // namespace
}  // namespace tavro
