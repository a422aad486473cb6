// The table of netlist formats and the header steps.
#include "core/net/netlist_format.h"

#include <algorithm>
#include <array>

#include "core/net/net.h"
#include "core/net/netlist_writers.h"
#include "core/platform/clock.h"
#include "core/platform/dbcs.h"

namespace tavro {

using namespace netlist;

namespace {

// The rule under the headers of formats 24 and -24: 124 dashes.
#define TAVRO_DASHES_LINE                                                                          \
  "----------------------------------------------------------------------------------------------" \
  "------------------------------\n"

// clang-format off
// Per format: number, list position, name, extension;
//   header template, header arguments;
//   footer;
//   node template, node writer, net line start, numbered name, counter rule, net writer;
//   component section, built on the pin-level index.
// The ideographic space in the 24 and -24 headers is CP932 0x81 0x40. Format
// 24 numbers every net: its "name" is the counter in seven digits, which the
// line start puts after " S". Scicards writes unnamed nets under a line start
// of their own (NetScicards).
const std::array kFormats = std::to_array<NetlistFormat>({
    {1, 0, "CR3000", ".net",
     "/*\n *%s\n *%s\n *%s\n */\n\n$CCF\n{\n  NET {\n", HeadArgs::kFileAndDate,
     "      }\n}\n",
     "%s(%s)", nullptr, "        %9s : ", "NET%06u", NetCounter::kUnnamed, NetCr3000,
     nullptr, false},
    {6, 1, "VISULA", ".net",
     ".HEA\n.REM%s\n  %s\n  %s\n.EOR\n\n", HeadArgs::kFileAndDate,
     ".END\n",
     "%s %s\n", nullptr, "%s", "NET%04u", NetCounter::kUnnamed, NetVisula,
     CompVisula, false},
    {2, 2, "ECAD", ".net",
     nullptr, HeadArgs::kFileAndDate,
     nullptr,
     "%s-%s", nullptr, "%9s : ", "NET%06u", NetCounter::kUnnamed, NetEcad,
     nullptr, false},
    {7, 3, "Computer Vision", ".net",
     nullptr, HeadArgs::kFileAndDate,
     nullptr,
     "%s-%s", nullptr, "%s ", "NET%04u", NetCounter::kEveryNet, NetCompVision,
     nullptr, false},
    {4, 4, "Tango", ".net",
     "#\n#%s\n#%s\n#\n\n", HeadArgs::kFileAndDate,
     nullptr,
     "%s,%s", nullptr, "(\n%s\n", "NET%06d", NetCounter::kUnnamed, NetLines,
     CompTango, false},
    {10, 5, "TELESIS", ".net",
     "$NETS\n", HeadArgs::kFileAndDate,
     "$END\n",
     "%s.%s", nullptr, "%9s ; ", "NET%06u", NetCounter::kUnnamed, NetTelesis,
     nullptr, false},
    {9, 6, "WORK VIEW", ".net",
     nullptr, HeadArgs::kFileAndDate,
     nullptr,
     "%s.%s", nullptr, "%9s", "NET%06u", NetCounter::kUnnamed, NetWorkView,
     nullptr, false},
    {8, 7, "POWER VIEW", ".net",
     nullptr, HeadArgs::kFileAndDate,
     nullptr,
     "%s^%s", nullptr, "%s;", "NET%04d", NetCounter::kUnnamed, NetPowerView,
     nullptr, false},
    {11, 8, "FutureNet(NETC)", ".net",
     "NETLIST,2\n(DRAWING,TAVRO.NET,1-1\nDATA,50,TAVRO Generate Netlist\nDATA,51,%s\nDATA,54,Date %s\n)\n", HeadArgs::kFileAndDate,
     nullptr,
     nullptr, NodeFutureNet, "%s", "NET%d", NetCounter::kUnnamed, NetFutureNet,
     CompFutureNet, false},
    {12, 9, "PADS", ".net",
     "*PADS-PCB\n*Net\n", HeadArgs::kFileAndDate,
     "*End\n",
     "%s.%s", nullptr, "*Sig %s\n", "NET%06u", NetCounter::kUnnamed, NetPads,
     nullptr, false},
    {13, 10, "PADS-PCB", ".net",
     "*PADS-PCB*\n", HeadArgs::kFileAndDate,
     "*END*\n",
     "%s.%s", nullptr, "*SIGNAL* %s\n", "NET%06u", NetCounter::kUnnamed, NetPads,
     CompPads, false},
    {14, 11, "PADS-2000", ".net",
     "*PADS2000*\n*NET*\n", HeadArgs::kFileAndDate,
     "*END*\n",
     "%s.%s", nullptr, "*SIGNAL* %s\n", "NET%06u", NetCounter::kUnnamed, NetPads,
     nullptr, false},
    {15, 12, "Scicards", ".net",
     nullptr, HeadArgs::kFileAndDate,
     "EOS\n",
     nullptr, NodeScicards, "NODENAME %-16s $\n", nullptr, NetCounter::kEveryNet, NetScicards,
     CompScicards, false},
    {3, 13, "CADVANCE", ".net",
     "/*\n * %s\n * %s\n * %s\n */\n$NET_LIST [ MM ] {\n", HeadArgs::kFileAndDate,
     "\t}\n}\n",
     "%s-%s", nullptr, "%8s = {", "NET%05d", NetCounter::kUnnamed, NetCadvance,
     CompCadvance, false},
    {16, 14, "CADLUS", ".net",
     nullptr, HeadArgs::kFileAndDate,
     nullptr,
     "%s %s\n", nullptr, "%s ", "NET%06u", NetCounter::kEveryNet, NetCadlus,
     nullptr, false},
    {17, 15, "Calay", ".net",
     nullptr, HeadArgs::kFileAndDate,
     nullptr,
     "%s(%s)", nullptr, "/%-9s ", "NET%06u", NetCounter::kUnnamed, NetCalay,
     CompCalay, false},
    {18, 16, "ultiBOARD", ".net",
     "++ %s\n++ %s\n++ %s\n\n", HeadArgs::kFileAndDate,
     nullptr,
     "%s-%s", nullptr, "* %s\n", "NET%06u", NetCounter::kUnnamed, NetUltiboard,
     CompUltiboard, false},
    {19, 17, "PCAD", ".net",
     "%%%% %s\n%%%% %s\n%%%% %s\n", HeadArgs::kFileAndDate,
     "}\n}\n",
     nullptr, nullptr, nullptr, nullptr, NetCounter::kNone, nullptr,
     CompPcad, true},
    {5, 18, "Mentor", ".net",
     "#\n#%s\n#%s\n#\n\n", HeadArgs::kFileAndDate,
     nullptr,
     "%s-%s", nullptr, "NET '%s' ", "N%06u", NetCounter::kUnnamed, NetMentor,
     CompMentor, false},
    {20, 19, "Expedition PCB", ".net",
     ";; V4.1.0\n%%%%net\n%%%%page=0001\n%%%%Prior=0\n", HeadArgs::kFileAndDate,
     nullptr,
     "\\%s\\-\\%s\\", nullptr, "\\%s\\    ", "XSIG%06u", NetCounter::kUnnamed, NetExpedition,
     nullptr, false},
    {21, 20, "SPICE", ".cir",
     "* %s\n* %s\n* %s\n", HeadArgs::kFileAndDate,
     nullptr,
     nullptr, nullptr, nullptr, nullptr, NetCounter::kNone, nullptr,
     CompSpice, true},
    {22, 21, "TVR", ".net",
     "/*\n * %s\n * %s\n * %s\n */\n", HeadArgs::kFileAndDate,
     nullptr,
     nullptr, nullptr, nullptr, nullptr, NetCounter::kNone, nullptr,
     CompTvr, true},
    {23, 22, "CR3000-DRN", ".net",
     "/*\n *%s\n *%s\n *%s\n */\n\n$CCF\n{\n  NET {\n", HeadArgs::kFileAndDate,
     "      }\n}\n",
     "%s(%s)", nullptr, "        %9s : ", "NET%06u", NetCounter::kAlways, NetCr3000,
     nullptr, false},
    {24, 23, "CADLUS-PC(DIS)", ".net",
     "\n===" "\x81\x40" "JOINT NET LIST ===  [NETNAME" "\x81\x40" "REF-PIN..]%s\n\n" TAVRO_DASHES_LINE, HeadArgs::kDateOnly,
     nullptr,
     nullptr, NodeCadlusPc, " S%s   ", "%07u", NetCounter::kAlways, NetCadlusPc,
     nullptr, false},
    {25, 24, "EDWinXP PCB", ".net",
     "(PATH,TAVRO()\n", HeadArgs::kFileAndDate,
     ")\n),TAVRO\n",
     "%s,%s", nullptr, "(%s\n", "NET%04d", NetCounter::kUnnamed, NetLines,
     CompEdwin, false},
    {26, 25, "DK-Σ/Magic", ".net",
     nullptr, HeadArgs::kFileAndDate,
     nullptr,
     "%s-%s", nullptr, "%s[", "%d", NetCounter::kUnnamed, NetDkMagic,
     nullptr, false},
    {27, 26, "PowerPCB", ".asc",
     "!PADS-POWERPCB-V5.0-BASIC! DESIGN DATABASE ASCII FILE 1.0\n", HeadArgs::kFileAndDate,
     "*END*\n",
     "%s.%s", nullptr, "*SIGNAL* %s\n", "NET%06u", NetCounter::kUnnamed, NetPads,
     CompPads, false},
    {28, 27, "MM-2/MM-Colmo", ".net",
     "$NET\n", HeadArgs::kFileAndDate,
     "$END\n$THM\n$END\n",
     "%s-%s", nullptr, "%-8s ; ", "NET%05u", NetCounter::kUnnamed, NetMm2,
     CompMm2, false},
    {29, 28, "Dream CAD", ".net",
     "$NET\n", HeadArgs::kFileAndDate,
     "$END\n",
     "%s-%s", nullptr, "%-8s ; ", "NET%05u", NetCounter::kUnnamed, NetMm2,
     CompDreamCad, false},
    {0, -1, "net information", ".nrp",
     nullptr, HeadArgs::kFileAndDate,
     nullptr,
     nullptr, NodeNetInfo, nullptr, nullptr, NetCounter::kNone, NetInfo,
     nullptr, false},
    {-1, -1, "rule check", ".nrp",
     nullptr, HeadArgs::kFileAndDate,
     nullptr,
     nullptr, nullptr, nullptr, nullptr, NetCounter::kNone, NetRuleCheck,
     nullptr, false},
    {-24, -1, "open nets", ".net",
     "\n=== " "\x81\x40" "OPEN NET LIST ===  [NETNAME" "\x81\x40" "REF-PIN..]%s\n\n" TAVRO_DASHES_LINE, HeadArgs::kDateOnly,
     nullptr,
     nullptr, NodeCadlusPc, " ********   ", nullptr, NetCounter::kNone, NetCadlusPc,
     nullptr, false},
    {-19, -1, "PCAD components", ".net",
     nullptr, HeadArgs::kFileAndDate,
     nullptr,
     nullptr, nullptr, nullptr, nullptr, NetCounter::kNone, nullptr,
     CompPcad, true},
    {-21, -1, "SPICE components", ".cir",
     nullptr, HeadArgs::kFileAndDate,
     nullptr,
     nullptr, nullptr, nullptr, nullptr, NetCounter::kNone, nullptr,
     CompSpice, true},
    {-22, -1, "TVR components", ".net",
     nullptr, HeadArgs::kFileAndDate,
     nullptr,
     nullptr, nullptr, nullptr, nullptr, NetCounter::kNone, nullptr,
     CompTvr, true},

});
// clang-format on

#undef TAVRO_DASHES_LINE

}  // namespace

std::span<const NetlistFormat> NetlistFormats() { return kFormats; }

const NetlistFormat* FindNetlistFormat(int number) {
  for (const NetlistFormat& f : kFormats)
    if (f.number == number) return &f;
  return nullptr;
}

std::optional<int> ParseNetlistFormat(std::string_view text) {
  std::string t = Trim(text);
  if (t.empty()) return std::nullopt;
  if (std::all_of(t.begin(), t.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    if (t.size() > 3) return std::nullopt;
    const int n = std::stoi(t);
    if (n >= 1 && n <= 29) return n;
    return std::nullopt;
  }
  // Names are UTF-8; ASCII letters compare without regard to case, and the
  // small sigma stands for the capital one of "DK-Σ/Magic".
  for (size_t at = t.find("σ"); at != std::string::npos; at = t.find("σ", at))
    t.replace(at, std::string_view("σ").size(), "Σ");
  for (const NetlistFormat& f : kFormats)
    if (f.listPosition >= 0 && EqualNoCase(t, f.name)) return f.number;
  return std::nullopt;
}

std::optional<int> FormatAtListPosition(int position) {
  for (const NetlistFormat& f : kFormats)
    if (f.listPosition >= 0 && f.listPosition == position) return f.number;
  return std::nullopt;
}

int ListPositionOf(int number) {
  const NetlistFormat* f = FindNetlistFormat(number);
  return f ? f->listPosition : -1;
}

std::string NumberedNetName(int format, unsigned counter) {
  const NetlistFormat* f = FindNetlistFormat(format);
  if (!f || !f->numberedName || f->counter == NetCounter::kAlways) return {};
  // Scicards writes an unnamed net under its own keyword ("NODE"), so its
  // numbers never meet a name.
  if (format == 15) return {};
  return Sprintf(f->numberedName, counter);
}

}  // namespace tavro
