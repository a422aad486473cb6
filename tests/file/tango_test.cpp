// The Tango exchange: the export of every item kind (golden file), the
// import's records and edge cases, and the demo through Tango and back.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/file/archive.h"
#include "core/file/document.h"
#include "core/model/sheet.h"
#include "core/platform/paths.h"
#include "support/test_util.h"

namespace tavro {
namespace {

using test::TempDir;

// A sheet of every item kind, in the text form.
const char* const kSheet =
    "Line 100 100 900 100 8 0 0 0\n"
    "Name \"CLK\" 200 130 70 8\n"
    "Line 100 500 900 500 24 2 0 0\n"
    "Line 100 900 600 900 8 1 100 0\n"
    "Junc 500 100\n"
    "Text \"LEFT-BOTTOM-TURNED\" 1000 1000 70 264\n"
    "Text \"CENTRE\" 1000 1200 100 30\n"
    "Text \"&REV&A\" 1000 1400 70 8\n"
    "Arc 2000 2000 100 0 0 8 0 0 0\n"
    "Pin 3000 3000 3200 3000 0\n"
    "Part 2000 1000 1800 800 2300 1300 2 1 4353 0\n"
    "Name \"7474\" 2000 1300 65 32776\n"
    "Ref \"U1A\" 1800 1300 65 8\n"
    "Val \"HIDDEN\" 1800 800 65 32776\n"
    "Pin 1900 1100 1800 1100 81\n"
    "Name \"D\" 1920 1100 70 24\n"
    "No \"2\" 1850 1120 70 8\n"
    "Pin 1900 900 1800 900 32783\n"
    "Name \"GND\" 1920 900 70 24\n"
    "No \"7\" 1850 920 70 8\n"
    "Line 1900 800 2200 800 8 1 0 0\n"
    "Arc 2050 1050 50 0 0 8 0 0 0\n"
    "Text \"&PCB&SOP14\" 2000 1000 50 32776\n"
    "PartEnd\n";

CSheetDoc Doc(const std::string& text) {
  CSheetDoc doc;
  EXPECT_TRUE(doc.LoadText(text, "t.txt", false).ok);
  return doc;
}

CSheetDoc Imported(const std::string& tango) {
  CSheetDoc doc;
  const DocStatus st = doc.Load(tango, "t.sch", false);
  EXPECT_TRUE(st.ok) << st.message;
  return doc;
}

TEST(TangoTest, ExportOfEveryItemKind) {
  EXPECT_TRUE(test::MatchesGolden(Doc(kSheet).WriteTango(), "tango/export/expected.sch"));
}

TEST(TangoTest, CodesOfTextsArcsAndHiddenValues) {
  struct Case {
    uint32_t attr;
    int code;
  } cases[] = {{8 | 0x100, 1}, {30, 80}, {8, 0}, {2 | 0x300, 163}, {24, 16}};
  for (const Case& c : cases) EXPECT_EQ(CText("x", {}, 70, c.attr).GetTangoAngle(), c.code);

  const std::string tango = Doc(kSheet).WriteTango();
  // The full circle of the part with sweep 0; the sheet's arc and free pin
  // and the property text are not exchanged.
  EXPECT_NE(tango.find("ARC 2050 1050 50 0 0 0\n"), std::string::npos);
  EXPECT_EQ(tango.find("ARC 2000 2000"), std::string::npos);
  EXPECT_EQ(tango.find("&REV&"), std::string::npos);
  EXPECT_NE(tango.find("ATTR \"VALUE\" 9 \"HIDDEN\" 1800 800 0 0 0\n"), std::string::npos);

  // Read back: the value hidden, the part turned and mirrored as it was.
  const CSheetDoc back = Imported(tango);
  ASSERT_EQ(back.GetSheet().Parts().size(), 1u);
  const CPart& part = *back.GetSheet().Parts()[0];
  EXPECT_FALSE(part.GetValNameText().IsDisp());
  EXPECT_TRUE(part.GetRefNameText().IsDisp());
  EXPECT_EQ(part.GetAngle(), 0x1100u);
  EXPECT_EQ(part.GetPackageMax(), 2u);
  EXPECT_EQ(part.GetPackage(), 1u);
  ASSERT_EQ(part.Pins().size(), 2u);
  EXPECT_EQ(part.Pins()[0]->GetElect() & 0xFF, 0x51u);  // input, dot, clock
  EXPECT_EQ(part.Pins()[0]->GetNo(), "2");
  EXPECT_EQ(part.Pins()[0]->GetName(), "D");
  EXPECT_EQ(part.Pins()[1]->GetElect() & (kPinHidden | 0xF), kPinHidden | 15u);
  ASSERT_EQ(part.Arcs().size(), 1u);
  EXPECT_EQ(part.Arcs()[0]->GetStartAngle(), part.Arcs()[0]->GetEndAngle());
  ASSERT_EQ(back.GetSheet().Wires().size(), 1u);
  EXPECT_EQ(back.GetSheet().Wires()[0]->GetName(), "CLK");
  EXPECT_EQ(back.GetWorkWidth(), Doc(kSheet).GetWorkWidth());
}

TEST(TangoTest, ImportRecords) {
  const std::string head = ";Tango-Schematic 1.42J Series II\nSHEET 0 0 16535 11693 7\n";
  struct Case {
    const char* what;
    std::string body;
    std::string text;  // the sheet read, in the text form
  } cases[] = {
      {"records that need a part or a pin are ignored without one",
       "PIN 0 0 100 0 1 0 0 0 0 0 0 0\nPINDES 1 \"3\" 0 0 0 0 3\nATTR \"TYPE\" 9 \"X\" 0 0 0 0 3\n"
       "ARC 0 0 100 0 90 0\nATTR \"NAME\" 20 \"N\" 0 0 0 0 3\n",
       ""},
      {"a line longer than 127 bytes is read in pieces",
       "TEXT 70 \"" + std::string(150, 'A') + "\" 0 0 0 0 3\n" + std::string(127, 'B') +
           "JUNC 100 200\n",
       "Junc 100 200\n"},
      {"numbers that do not scan keep the values before", "WIRE 0 0 500 0\nWIRE 100 100 x 7\n",
       "Line 0 0 500 0 8 0 0 0\nLine 100 100 500 0 8 0 0 0\n"},
      {"RECTAN and MODULE draw rectangles; PORT adds a pin",
       "RECTAN 0 0 100 50\nMODULE 500 500 700 600 0\nPORT 500 550 2 1 0\nPARTEND\n",
       "Line 0 0 100 0 8 1 0 0\nLine 100 0 100 50 8 1 0 0\nLine 100 50 0 50 8 1 0 0\n"
       "Line 0 50 0 0 8 1 0 0\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const CSheetDoc doc = Imported(head + c.body);
    if (std::string(c.what).starts_with("RECTAN")) {
      ASSERT_EQ(doc.GetSheet().Parts().size(), 1u);
      const CPart& m = *doc.GetSheet().Parts()[0];
      EXPECT_EQ(m.Lines().size(), 4u);
      ASSERT_EQ(m.Pins().size(), 1u);
      EXPECT_EQ(m.Pins()[0]->GetEndPoint(), (CPoint{350, 550}));
      EXPECT_EQ(m.Pins()[0]->GetElect() & 0xF, 2u);
    }
    CSheet copy(doc.GetSheet());
    for (auto& p : copy.Parts()) p.reset();
    std::erase(copy.Parts(), nullptr);
    CArchive ar;
    copy.SerializeText(ar);
    EXPECT_EQ(ar.Buffer(), c.text);
  }
}

// A title file in Tango form is read into the title-frame sheet.
TEST(TangoTest, ATitleFrameInTangoForm) {
  TempDir dir;
  test::WriteAll(dir.file("Title.A3"),
                 ";Tango-Schematic 1.42J Series II\nLINE 0 0 16000 0 0 0\nTEXT 100 \"TITLE\" 100 "
                 "100 0 0 3\n");
  SetDataDirForTests(dir.path().string());
  CSheetDoc doc;
  const DocStatus st = doc.NewDocument();
  SetDataDirForTests({});
  EXPECT_TRUE(st.warnings.empty()) << (st.warnings.empty() ? "" : st.warnings[0]);
  EXPECT_EQ(doc.GetTitleSheet().Lines().size(), 1u);
  ASSERT_EQ(doc.GetTitleSheet().Texts().size(), 1u);
  EXPECT_EQ(doc.GetTitleSheet().Texts()[0]->GetName(), "TITLE");
}

TEST(TangoTest, TheDemoThroughTangoKeepsItsDrawingAndItsNets) {
  TempDir dir;
  const std::string demo = std::string(TAVRO_SOURCE_DIR) + "/examples/demo/";
  for (const char* sheet : {"amp1", "amp2"}) {
    CSheetDoc doc;
    ASSERT_TRUE(doc.Open(demo + sheet + ".tcd").ok);
    const std::string first = doc.WriteTango();
    const CSheetDoc back = Imported(first);
    EXPECT_EQ(back.WriteTango(), first) << sheet;
    test::WriteAll(dir.file(std::string(sheet) + ".sch"), first);
    const test::RunResult r = test::RunTavro(
        {"convert", dir.file(std::string(sheet) + ".sch"), dir.file(std::string(sheet) + ".tcd")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
  }
  std::filesystem::copy_file(demo + "demo.tpj", dir.file("demo.tpj"));
  const auto netlist = [](const std::string& project) {
    const test::RunResult r =
        test::RunTavro({"netlist", "-f", "PADS-PCB", "--unix", project, "-o", "-", "-q"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    return r.out;
  };
  EXPECT_EQ(netlist(dir.file("demo.tpj")), netlist(demo + "demo.tpj"));
}

}  // namespace
}  // namespace tavro
