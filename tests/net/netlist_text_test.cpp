// The netlist text producers on nets built by hand: counters, line
// continuation and wrapping, fixed-width nodes, headers and the format table.
#include <gtest/gtest.h>

#include <initializer_list>
#include <utility>

#include "core/net/net.h"
#include "core/net/netlist_format.h"
#include "core/platform/codec.h"
#include "net/net_sheets.h"

namespace tavro {
namespace {

using test::MakeNet;

// A net of n entries R1-1 ... Rn-1.
std::unique_ptr<CNet> Chain(int n, const std::string& prefix = "R") {
  auto net = std::make_unique<CNet>();
  for (int i = 1; i <= n; ++i) {
    CNetName e;
    e.SetRefName(prefix + std::to_string(i));
    CPin pin;
    pin.SetNo("1", CPoint{0, 0}, 0);
    e.SetPin(pin);
    net->Add(e);
  }
  return net;
}

std::string Text(const CNet& net, int format, unsigned start = 1) {
  unsigned counter = start;
  return net.MakeString(format, counter);
}

// ---------------------------------------------------------------------------
// Unnamed nets take the counter; a named net between them takes no number,
// except in 7, 15 and 16 (the counter advances after every net) and in 23 and
// 24 (every net is numbered, names are not used).

TEST(NetlistCounter, NumbersUnnamedNetsByTheFormatsRule) {
  struct Case {
    int format;
    const char* first;
    const char* named;
    const char* second;
    unsigned after;  // counter after the three nets
  };
  const Case cases[] = {
      {2, "NET000001 : ", "      SIG : ", "NET000002 : ", 3},
      {1, "        NET000001 : ", "              SIG : ", "        NET000002 : ", 3},
      {5, "NET 'N000001' ", "NET 'SIG' ", "NET 'N000002' ", 3},
      {26, "1[", "SIG[", "2[", 3},
      {7, "0001 NET0001 ", "0002 SIG ", "0003 NET0003 ", 4},
      {15, "NODE     1                $\n", "NODENAME SIG              $\n",
       "NODE     3                $\n", 4},
      {16, "NET000001 R1 1\n", "SIG R1 1\n", "NET000003 R1 1\n", 4},
      {23, "        NET000001 : ", "        NET000002 : ", "        NET000003 : ", 4},
      {24, " S0000001   ", " S0000002   ", " S0000003   ", 4},
  };
  const auto unnamed1 = MakeNet({{"R1", "1"}, {"R2", "1"}});
  const auto named = MakeNet({{"R1", "1"}, {"R2", "1"}}, {"SIG"});
  const auto unnamed2 = MakeNet({{"R1", "1"}, {"R2", "1"}});
  for (const Case& c : cases) {
    SCOPED_TRACE("format " + std::to_string(c.format));
    unsigned counter = 1;
    EXPECT_EQ(unnamed1->MakeString(c.format, counter).rfind(c.first, 0), 0u);
    EXPECT_EQ(named->MakeString(c.format, counter).rfind(c.named, 0), 0u);
    EXPECT_EQ(unnamed2->MakeString(c.format, counter).rfind(c.second, 0), 0u);
    EXPECT_EQ(counter, c.after);
  }
}

TEST(NetlistCounter, StartsAtTheStartNumberAndLeavesComponentFormatsAlone) {
  const auto net = Chain(2);
  EXPECT_EQ(Text(*net, 2, 41), "NET000041 : R1-1 , R2-1 .\n");
  for (int format : {19, 21, 22}) {
    unsigned counter = 5;
    EXPECT_EQ(net->MakeString(format, counter), "") << format;
    EXPECT_EQ(counter, 5u) << format;
  }
}

// ---------------------------------------------------------------------------
// Whole net texts: continuation lines and wrapping.

TEST(NetlistNetText, ContinuesAndWrapsLinesAsEachFormatSays) {
  struct Case {
    int format;
    int nodes;
    const char* text;
  };
  const Case cases[] = {
      // Seven pins in format 1: two lines, the second indented by 20 blanks.
      {1, 7,
       "        NET000001 : R1(1) , R2(1) , R3(1) , R4(1) , R5(1) ,\n"
       "                    R6(1) , R7(1) ;\n"},
      // Exactly five: the continuation is taken back.
      {1, 5, "        NET000001 : R1(1) , R2(1) , R3(1) , R4(1) , R5(1) ;\n"},
      // Format 3: "};" right after the last node and its blank.
      {3, 2, "NET00001 = {R1-1 , R2-1 };\n"},
      {3, 6, "NET00001 = {R1-1 , R2-1 , R3-1 , R4-1 , R5-1 ,\n            R6-1 };\n"},
      {2, 6, "NET000001 : R1-1 , R2-1 , R3-1 , R4-1 , R5-1 ,\n            R6-1 .\n"},
      {10, 5, "NET000001 ; R1.1 R2.1 R3.1 R4.1 R5.1\n"},
      {10, 6, "NET000001 ; R1.1 R2.1 R3.1 R4.1 R5.1,\n            R6.1\n"},
      {5, 6, "NET 'N000001' R1-1 R2-1 R3-1 R4-1 R5-1 \nNET 'N000001' R6-1 \n"},
      {17, 9,
       "/NET000001 R1(1) R2(1) R3(1) R4(1) R5(1) R6(1) R7(1) R8(1),\n"
       "           R9(1);\n"},
      // ultiBOARD: eight nodes close a line; a blank line follows only when
      // the last line was not full.
      {18, 8, "* NET000001\nR1-1, R2-1, R3-1, R4-1, R5-1, R6-1, R7-1, R8-1,\n"},
      {18, 9, "* NET000001\nR1-1, R2-1, R3-1, R4-1, R5-1, R6-1, R7-1, R8-1,\nR9-1,\n\n"},
      {28, 11,
       "NET00001 ; R1-1, R2-1, R3-1, R4-1, R5-1, R6-1, R7-1, R8-1, R9-1, R10-1,\n"
       "           R11-1\n"},
      {15, 4,
       "NODE     1                $\n    R1         1  R2         1  R3         1  R4         1   "
       "\n"},
      {15, 5,
       "NODE     1                $\n    R1         1  R2         1  R3         1  R4         1   "
       "$\n"
       "    R5         1  \n"},
      {6, 3, ".ADD_TER R1 1 NET0001\n.TER   R2 1\n       R3 1\n"},
      {9, 2, "NET000001 ; R1.1,\n            R2.1\n"},
      {24, 7,
       " S0000001   R1-1              R2-1              R3-1              R4-1              "
       "R5-1              R6-1              \n"
       "            R7-1              \n"},
      {26, 2, "1[R1-1,R2-1]\n"},
      {8, 2, "NET0001;R1^1,R2^1\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("format " + std::to_string(c.format) + ", " + std::to_string(c.nodes) + " nodes");
    EXPECT_EQ(Text(*Chain(c.nodes), c.format), c.text);
  }
}

// A net of the given references, each with pin 1.
std::unique_ptr<CNet> NetOfRefs(const std::vector<std::string>& refs) {
  auto net = std::make_unique<CNet>();
  for (const std::string& ref : refs) {
    CNetName e;
    e.SetRefName(ref);
    CPin pin;
    pin.SetNo("1", CPoint{0, 0}, 0);
    e.SetPin(pin);
    net->Add(e);
  }
  return net;
}

// Formats 28 and 29 keep the node that takes a line beyond 80 characters on
// that line and continue after it; format 18 moves that node to the next
// line.
TEST(NetlistNetText, LengthWrapKeepsOrMovesTheCrossingNode) {
  // Nine nodes with their ", " take 73 characters (eight of 8, one of 9);
  // the tenth (8) takes the sum to 81: it stays, and closes the line.
  const auto tenth = NetOfRefs(
      {"U101", "U102", "U103", "U104", "U105", "U106", "U107", "U108", "U1001", "U109", "U110"});
  const char* kTenth =
      "NET00001 ; U101-1, U102-1, U103-1, U104-1, U105-1, U106-1, U107-1, U108-1, U1001-1, "
      "U109-1,\n"
      "           U110-1\n";
  // Nodes of 20 characters with their separators: four make exactly 80, the
  // fifth crosses.
  const auto wide = NetOfRefs({"CONNECTOR_BANK_1", "CONNECTOR_BANK_2", "CONNECTOR_BANK_3",
                               "CONNECTOR_BANK_4", "CONNECTOR_BANK_5", "CONNECTOR_BANK_6"});
  const char* kWide =
      "NET00001 ; CONNECTOR_BANK_1-1, CONNECTOR_BANK_2-1, CONNECTOR_BANK_3-1, CONNECTOR_BANK_4-1, "
      "CONNECTOR_BANK_5-1,\n"
      "           CONNECTOR_BANK_6-1\n";
  for (int format : {28, 29}) {
    SCOPED_TRACE(format);
    EXPECT_EQ(Text(*tenth, format), kTenth);
    EXPECT_EQ(Text(*wide, format), kWide);
  }
  EXPECT_EQ(Text(*wide, 18),
            "* NET000001\n"
            "CONNECTOR_BANK_1-1, CONNECTOR_BANK_2-1, CONNECTOR_BANK_3-1, CONNECTOR_BANK_4-1,\n"
            "CONNECTOR_BANK_5-1, CONNECTOR_BANK_6-1,\n\n");
}

TEST(NetlistNetText, PadsWrapsWhenTheNodeLengthsPassFifty) {
  // Each " U100.1" counts 7: the eighth takes the sum to 56 and starts a new
  // line, and the sum starts again at 0 after it.
  auto net = std::make_unique<CNet>();
  for (int i = 0; i < 16; ++i) {
    CNetName e;
    e.SetRefName("U" + std::to_string(100 + i));
    CPin pin;
    pin.SetNo("1", CPoint{0, 0}, 0);
    e.SetPin(pin);
    net->Add(e);
  }
  net->SetNetName("BUS");
  EXPECT_EQ(Text(*net, 13),
            "*SIGNAL* BUS\n"
            " U100.1 U101.1 U102.1 U103.1 U104.1 U105.1 U106.1\n"
            " U107.1 U108.1 U109.1 U110.1 U111.1 U112.1 U113.1 U114.1\n"
            " U115.1\n");
}

TEST(NetlistNetText, ExpeditionContinuesBeforeLine80) {
  const std::string text = Text(*Chain(9, "RESISTOR"), 20);
  EXPECT_EQ(text,
            "\\XSIG000001\\    \\RESISTOR1\\-\\1\\ \\RESISTOR2\\-\\1\\ \\RESISTOR3\\-\\1\\ "
            "\\RESISTOR4\\-\\1\\ \n"
            "*  \\RESISTOR5\\-\\1\\ \\RESISTOR6\\-\\1\\ \\RESISTOR7\\-\\1\\ \\RESISTOR8\\-\\1\\ \n"
            "*  \\RESISTOR9\\-\\1\\ \n");
}

// ---------------------------------------------------------------------------
// Nodes.

TEST(NetlistNodes, CadlusPcNodesAreAlwaysFifteenCharacters) {
  const std::string kanji = J("抵抗器抵抗器抵");  // 7 double-byte characters
  for (const auto& [ref, no] : std::initializer_list<std::pair<std::string, std::string>>{
           {"R1", "1"}, {"CONNECTOR123", "A45"}, {"RR" + kanji, "1"}, {"", ""}}) {
    const auto net = MakeNet({{ref, no}});
    const std::string node = net->Entries()[0]->MakeString(24);
    EXPECT_EQ(node.size(), 15u) << ref;
    EXPECT_EQ(node, net->Entries()[0]->MakeString(-24));
  }
  // Cut, never inside a double-byte character: the 15th byte would be a
  // first half, so a blank takes its place.
  const auto dbcs = MakeNet({{"RR" + kanji, "1"}});
  EXPECT_EQ(dbcs->Entries()[0]->MakeString(24), "RR" + kanji.substr(0, 12) + " ");
  EXPECT_EQ(MakeNet({{"CONNECTOR123", "A45"}})->Entries()[0]->MakeString(24), "CONNECTOR123-A4");
}

TEST(NetlistNodes, TemplatesAndSpecialNodes) {
  const auto net = MakeNet({{"U12", "A3"}});
  const CNetName& e = *net->Entries()[0];
  const std::pair<int, const char*> cases[] = {{1, "U12(A3)"},
                                               {17, "U12(A3)"},
                                               {2, "U12-A3"},
                                               {29, "U12-A3"},
                                               {4, "U12,A3"},
                                               {25, "U12,A3"},
                                               {6, "U12 A3\n"},
                                               {16, "U12 A3\n"},
                                               {8, "U12^A3"},
                                               {13, "U12.A3"},
                                               {20, "\\U12\\-\\A3\\"},
                                               {15, "U12       A3"},
                                               {11, "PIN,1-1,U12,23,A3\n"},
                                               {0, " U12(  A3)             "},
                                               {19, ""},
                                               {21, ""},
                                               {22, ""},
                                               {99, ""}};
  for (const auto& [format, text] : cases) EXPECT_EQ(e.MakeString(format), text) << format;

  // FutureNet marks Output pins with 21; Scicards keeps one blank when the
  // reference and the pin number overflow the field of 12.
  CNetName out = e;
  out.Pin().SetElect(kPinOutput);
  EXPECT_EQ(out.MakeString(11), "PIN,1-1,U12,21,A3\n");
  const auto longRef = MakeNet({{"CONNECTOR1234", "10"}});
  EXPECT_EQ(longRef->Entries()[0]->MakeString(15), "CONNECTOR1234 10");
  const auto exact = MakeNet({{"CONNECTOR1", "10"}});
  EXPECT_EQ(exact->Entries()[0]->MakeString(15), "CONNECTOR110");
}

// ---------------------------------------------------------------------------
// Headers and footers.

TEST(NetlistHeader, FillsTheTemplatesInTwoSteps) {
  EXPECT_EQ(FormatTemplate("a %s b %% c %d %s", {"X"}), "a X b % c %d ");
  EXPECT_EQ(FormatTemplate("%s%s", {"%s", "%%"}), "%s%%");  // arguments are never templates

  const std::string date = "2024/01/02  03:04:05";
  EXPECT_EQ(NetlistHeader(19, "out.net", date),
            "%  Tavro Net List File\n%    File : out.net\n%    Date : 2024/01/02  03:04:05\n");
  EXPECT_EQ(NetlistHeader(20, "out.net", date), ";; V4.1.0\n%net\n%page=0001\n%Prior=0\n");
  // Two "%s": the title and the file line; the file name lands where the
  // template expected the date.
  EXPECT_EQ(NetlistHeader(11, "out.net", date),
            "NETLIST,2\n(DRAWING,TAVRO.NET,1-1\nDATA,50,TAVRO Generate Netlist\n"
            "DATA,51, Tavro Net List File\nDATA,54,Date    File : out.net\n)\n");
  EXPECT_EQ(NetlistHeader(4, "100%.net", date),
            "#\n# Tavro Net List File\n#   File : 100%.net\n#\n\n");
  // Format 24 takes the date line alone.
  const std::string h24 = NetlistHeader(24, "out.net", date);
  EXPECT_EQ(h24.substr(0, h24.find("\n\n") + 2),
            "\n===" + std::string("\x81\x40") + "JOINT NET LIST ===  [NETNAME" +
                std::string("\x81\x40") + "REF-PIN..]   Date : 2024/01/02  03:04:05\n\n");
  EXPECT_EQ(h24.substr(h24.find("\n\n") + 2), std::string(124, '-') + "\n");
  EXPECT_EQ(NetlistHeader(2, "out.net", date), "");
  EXPECT_EQ(CNet::MakeHead(10), "$NETS\n");
  EXPECT_EQ(CNet::MakeTail(28), "$END\n$THM\n$END\n");
  EXPECT_EQ(CNet::MakeTail(4), "");
}

// ---------------------------------------------------------------------------
// The format table.

TEST(NetlistFormats, NamesNumbersAndListPositions) {
  const std::pair<const char*, std::optional<int>> cases[] = {
      {"13", 13},          {"pads-pcb", 13},          {"PADS", 12},
      {"spice", 21},       {"CR3000-DRN", 23},        {" 1 ", 1},
      {"dk-σ/magic", 26},  {"DK-Σ/Magic", 26},        {"Computer Vision", 7},
      {"0", std::nullopt}, {"30", std::nullopt},      {"-24", std::nullopt},
      {"", std::nullopt},  {"PADS-PC", std::nullopt}, {"99999999999", std::nullopt}};
  for (const auto& [text, number] : cases) EXPECT_EQ(ParseNetlistFormat(text), number) << text;

  // Every public format once, at its list position.
  int count = 0;
  for (int pos = 0; pos < 29; ++pos) {
    const auto n = FormatAtListPosition(pos);
    ASSERT_TRUE(n) << pos;
    EXPECT_EQ(ListPositionOf(*n), pos);
    ++count;
  }
  EXPECT_EQ(count, 29);
  EXPECT_EQ(FormatAtListPosition(0), 1);
  EXPECT_EQ(FormatAtListPosition(10), 13);
  EXPECT_EQ(FormatAtListPosition(20), 21);
  EXPECT_EQ(FormatAtListPosition(29), std::nullopt);
  EXPECT_STREQ(FindNetlistFormat(21)->extension, ".cir");
  EXPECT_STREQ(FindNetlistFormat(27)->extension, ".asc");
  EXPECT_STREQ(FindNetlistFormat(28)->extension, ".net");
  EXPECT_EQ(NumberedNetName(2, 7), "NET000007");
  EXPECT_EQ(NumberedNetName(5, 7), "N000007");
  EXPECT_EQ(NumberedNetName(26, 7), "7");
  EXPECT_EQ(NumberedNetName(24, 7), "");  // names are not used
}

}  // namespace
}  // namespace tavro
