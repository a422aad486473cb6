// The DXF export: the whole file for a sheet of every item kind (golden
// files), the header file's settings and edge cases (a table of cases), and a
// real DXF reader (ezdxf) auditing every file these tests write, the demo's
// amp1 through `tavro convert` among them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "core/file/document.h"
#include "core/file/dxf_header.h"
#include "core/platform/paths.h"
#include "core/platform/settings.h"
#include "support/test_util.h"

namespace tavro {
namespace {

using test::TempDir;

// A sheet of every item kind, in the text form: a named wire, a bus, a
// graphic line with arrowheads at both ends, a junction, free texts (turned,
// centred, framed, two lines, a hidden property, a shown property), an arc
// with arrowheads, a full circle, a free pin, and a part with a clock pin, an
// inverted pin, a hidden pin, a line, an arc and a hidden value.
const char* const kSheet =
    "Line 100 100 900 100 8 0 0 0\n"
    "Name \"CLK\" 200 130 70 8\n"
    "Line 100 500 900 500 24 2 0 0\n"
    "Line 100 900 600 900 8 1 100 60\n"
    "Junc 500 100\n"
    "Text \"TURNED\" 1000 1000 70 264\n"
    "Text \"CENTRE\" 1000 1200 100 30\n"
    "Text \"BOXED\" 1000 1400 70 65544\n"
    "Text \"TWO\\nLINES\" 1000 1600 50 0\n"
    "Text \"&REV&A\" 1000 1800 70 8\n"
    "Text \"&SHOWN&SHOWN&B\" 1000 2000 70 24\n"
    "Arc 2000 2000 100 0 90 8 0 50 50\n"
    "Arc 2400 2000 60 0 0 8 0 0 0\n"
    "Pin 3000 3000 3200 3000 0\n"
    "Name \"FREE\" 3220 3000 60 24\n"
    "Part 2000 1000 1800 800 2300 1300 2 1 0 0\n"
    "Name \"7474\" 2000 1300 65 8\n"
    "Ref \"U1A\" 1800 1300 65 8\n"
    "Val \"HIDDEN\" 1800 800 65 32776\n"
    "Pin 1900 1100 1800 1100 64\n"
    "Name \"CK\" 1920 1100 70 24\n"
    "No \"3\" 1850 1120 50 8\n"
    "Pin 1900 1000 1800 1000 16\n"
    "Name \"CLR\" 1920 1000 70 24\n"
    "Pin 1900 900 1800 900 32783\n"
    "Name \"GND\" 1920 900 70 24\n"
    "Line 1900 800 2200 800 8 1 0 0\n"
    "Arc 2050 1050 50 0 0 8 0 0 0\n"
    "PartEnd\n";

std::string ShippedHeader() {
  return test::ReadAll(std::string(TAVRO_SOURCE_DIR) + "/data/DXF_HDR.DAT");
}

// Writes `header` (when given) as DXF_HDR.DAT of a data folder of its own and
// exports the document; the title frame is written when `title`.
struct Export {
  DocStatus status;
  std::string dxf;
};
Export ExportDxf(const CSheetDoc& doc, const std::string* header, bool title = true) {
  TempDir data;
  if (header != nullptr) test::WriteAll(data.file("DXF_HDR.DAT"), *header);
  SetDataDirForTests(data.path().string());
  AppSettings().WriteInt("Sheet", "TitleDisp", title ? 1 : 0);
  Export e;
  e.dxf = "untouched";
  e.status = doc.WriteDXF(e.dxf);
  SetDataDirForTests({});
  AppSettings().WriteInt("Sheet", "TitleDisp", 1);
  return e;
}

CSheetDoc Doc(const std::string& text) {
  CSheetDoc doc;
  EXPECT_TRUE(doc.LoadText(text, "t.txt", false).ok);
  return doc;
}

// A document whose title-frame sheet holds the items of `text`.
CSheetDoc TitleDoc(const std::string& text) {
  CSheetDoc doc = Doc("Junc 100 100\n");
  CSheetDoc items = Doc(text);
  for (auto& l : items.GetSheet().Lines()) doc.GetTitleSheet().Lines().push_back(std::move(l));
  for (auto& t : items.GetSheet().Texts()) doc.GetTitleSheet().Texts().push_back(std::move(t));
  return doc;
}

std::string WithSetting(std::string header, const std::string& from, const std::string& to) {
  const size_t at = header.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) header.replace(at, from.size(), to);
  return header;
}

// --- golden files --------------------------------------------------------

struct GoldenCase {
  const char* name;
  std::function<CSheetDoc()> doc;
  std::function<std::string()> header;
};

const GoldenCase kGoldens[] = {
    // The shipped header file: comment line, tables and blocks, no markers.
    {"every_item", [] { return Doc(kSheet); }, ShippedHeader},
    // Point markers at the ends of lines and pin strokes, and at junctions.
    {"markers",
     [] {
       return Doc(
           "Line 100 100 500 100 8 0 0 0\nJunc 300 100\nPin 700 100 600 100 0\n"
           "Line 100 300 500 300 8 1 0 50\n");
     },
     [] { return WithSetting(ShippedHeader(), "[APOINT] 0", "[APOINT] 1"); }},
};

TEST(DxfTest, GoldenFiles) {
  for (const GoldenCase& c : kGoldens) {
    const std::string header = c.header();
    const Export e = ExportDxf(c.doc(), &header, false);
    ASSERT_TRUE(e.status.ok) << e.status.message;
    EXPECT_TRUE(test::MatchesGolden(e.dxf, std::string("dxf/") + c.name + "/expected.dxf"))
        << c.name;
  }
}

// --- settings and edge cases ---------------------------------------------

const std::string kMinimalHeader = "[VERSION] 1\n[HEADER]\n";

struct EdgeCase {
  const char* name;
  std::function<CSheetDoc()> doc;
  std::function<std::string()> header;  // empty: no header file
  std::vector<std::string> present;     // substrings the file holds
  std::vector<std::string> absent;      // substrings it must not hold
  bool title = true;
};

const EdgeCase kEdges[] = {
    {"the comment line by default",
     [] { return Doc("Junc 0 0\n"); },
     [] { return kMinimalHeader; },
     {"999\nDXF created from TAVRO Ver1.02\n  0\nSECTION\n  2\nHEADER\n"},
     {}},
    {"[CMD999] 0 drops the comment line",
     [] { return Doc("Junc 0 0\n"); },
     [] { return "[VERSION] 1\n  [cmd999] 0\n[HEADER]\n"; },
     {"  0\nSECTION\n  2\nHEADER\n"},
     {"999", "DXF created"}},
    {"the extents are the work area in inches",
     [] {
       CSheetDoc d = Doc("Junc 0 0\n");
       d.SetWorkSize(16535, 11693);
       return d;
     },
     [] { return kMinimalHeader; },
     {"  9\n$EXTMIN\n 10\n0.0000\n 20\n0.0000\n  9\n$EXTMAX\n 10\n16.5350\n 20\n11.6930\n"},
     {}},
    {"a title frame goes to layer 15",
     [] { return TitleDoc("Line 0 0 1000 0 8 1 0 0\nText \"TITLE\" 100 100 70 8\n"); },
     [] { return kMinimalHeader; },
     {"  0\nLINE\n  8\n15\n 10\n0.0000\n 20\n0.0000\n 11\n1.0000\n", "  0\nTEXT\n  8\n15\n"},
     {"  8\n3\n", "  8\n5\n"}},
    {"[TITLE] moves the title layer",
     [] { return TitleDoc("Line 0 0 1000 0 8 1 0 0\n"); },
     [] { return "[VERSION] 1\n[TITLE] 20\n[HEADER]\n"; },
     {"  0\nLINE\n  8\n20\n"},
     {}},
    {"no title frame when it is not shown",
     [] { return TitleDoc("Line 0 0 1000 0 8 1 0 0\n"); },
     [] { return kMinimalHeader; },
     {"  0\nCIRCLE\n"},
     {"  0\nLINE\n"},
     false},
    {"a left-middle text has vertical code 0",
     [] { return Doc("Text \"LM\" 1000 2000 100 24\n"); },
     [] { return kMinimalHeader; },
     {"  1\nLM\n 50\n0.0000\n 71\n0\n 72\n0\n 73\n0\n 11\n1.0000\n 21\n2.0000\n"},
     {}},
    {"a turned text is at 90 degrees",
     [] { return Doc("Text \"UP\" 1000 2000 100 264\n"); },
     [] { return kMinimalHeader; },
     {"  1\nUP\n 50\n90.0000\n 71\n0\n 72\n0\n 73\n1\n"},
     {}},
    {"an alignment without a pair writes no codes",
     [] { return Doc("Text \"ODD\" 1000 2000 100 4\n"); },
     [] { return kMinimalHeader; },
     {"  1\nODD\n 50\n0.0000\n 71\n0\n 11\n"},
     {" 72\n"}},
    {"a full circle is a CIRCLE",
     [] { return Doc("Arc 1000 1000 250 45 45 8 0 0 0\n"); },
     [] { return kMinimalHeader; },
     {"  0\nCIRCLE\n  8\n7\n 10\n1.0000\n 20\n1.0000\n 40\n0.2500\n  0\nENDSEC\n"},
     {"ARC"}},
    {"an arc keeps its angles",
     [] { return Doc("Arc 1000 1000 250 30 120 8 0 0 0\n"); },
     [] { return kMinimalHeader; },
     {"  0\nARC\n  8\n7\n 10\n1.0000\n 20\n1.0000\n 40\n0.2500\n 50\n30.0000\n 51\n120.0000\n"},
     {"CIRCLE"}},
    {"[LAYER] renumbers the kinds",
     [] { return Doc("Line 0 0 100 0 8 0 0 0\nLine 0 50 100 50 24 2 0 0\nJunc 0 0\n"); },
     [] { return "[VERSION] 1\n[LAYER] 11 12 13 14\n[HEADER]\n"; },
     {"  0\nLINE\n  8\n11\n", "  0\nLINE\n  8\n12\n", "  0\nCIRCLE\n  8\n14\n"},
     {}},
    {"without [VERSION] only the lines after [HEADER] are copied",
     [] { return Doc("Junc 0 0\n"); },
     [] {
       return "# a comment\n[LAYER] 1 2 3 9\n\n[HEADER]\n  0\nSECTION\n\n  2\nBLOCKS\n  "
              "0\nENDSEC\n";
     },
     {"  0\nENDSEC\n  0\nSECTION\n  2\nBLOCKS\n  0\nENDSEC\n  0\nSECTION\n  2\nENTITIES\n",
      "  0\nCIRCLE\n  8\n9\n"},
     {"[LAYER]", "# a comment"}},
    {"a hidden pin and a hidden text write nothing",
     [] {
       return Doc(
           "Part 0 0 0 0 100 100 0 1 0 0\nPin 0 0 -100 0 32768\nName \"NC\" 0 0 70 8\n"
           "Val \"V\" 0 0 70 32776\nPartEnd\n");
     },
     [] { return kMinimalHeader; },
     {"  2\nENTITIES\n  0\nENDSEC\n  0\nEOF\n"},
     {"  0\nLINE\n", "  0\nTEXT\n"}},
};

TEST(DxfTest, SettingsAndEdgeCases) {
  for (const EdgeCase& c : kEdges) {
    const std::string header = c.header();
    const Export e = ExportDxf(c.doc(), &header, c.title);
    ASSERT_TRUE(e.status.ok) << c.name << ": " << e.status.message;
    EXPECT_TRUE(e.dxf.ends_with("  0\nENDSEC\n  0\nEOF\n")) << c.name;
    for (const std::string& s : c.present)
      EXPECT_NE(e.dxf.find(s), std::string::npos) << c.name << " lacks:\n" << s << "\n" << e.dxf;
    for (const std::string& s : c.absent)
      EXPECT_EQ(e.dxf.find(s), std::string::npos) << c.name << " holds:\n" << s << "\n" << e.dxf;
  }
}

TEST(DxfTest, WithoutTheHeaderFileNothingIsWritten) {
  const Export e = ExportDxf(Doc(kSheet), nullptr);
  EXPECT_FALSE(e.status.ok);
  EXPECT_EQ(e.status.message, "ＤＸＦヘッダファイルが見つかりません。");
  EXPECT_EQ(e.dxf, "untouched");
}

TEST(DxfTest, HeaderFileSettings) {
  struct Case {
    const char* text;
    DxfLayers layers;
    bool comment, markers;
    const char* version;
    const char* raw;
  } cases[] = {
      {"", {15, 1, 2, 3, 4, 5, 6, 7, 8}, true, false, "", ""},
      // "[TITLE]30": the value starts at "0".
      {"  [version]  2.5 \r\n#[APOINT] 1\n[apoint] 7\n[CMD999] x\n[TITLE]30\n",
       {0, 1, 2, 3, 4, 5, 6, 7, 8},
       false,
       true,
       "2.5",
       ""},
      // A value starts one character after its keyword.
      {"[TITLE] 30\n[LAYER] 9 x 7\n", {30, 9, 0, 7, 4, 5, 6, 7, 8}, true, false, "", ""},
      {"[LAYER]-1 2\n[HEADER]\r\n  0\r\n\r\n#KEPT\n[APOINT] 1\n",
       {15, 1, 2, 3, 4, 5, 6, 7, 8},
       true,
       false,
       "",
       "  0\n#KEPT\n[APOINT] 1\n"},
  };
  for (const Case& c : cases) {
    const DxfHeader h = ParseDxfHeader(c.text);
    EXPECT_EQ(h.layers, c.layers) << c.text;
    EXPECT_EQ(h.comment, c.comment) << c.text;
    EXPECT_EQ(h.markers, c.markers) << c.text;
    EXPECT_EQ(h.version, c.version) << c.text;
    EXPECT_EQ(h.raw, c.raw) << c.text;
  }
}

// --- a real reader -------------------------------------------------------

bool EzdxfAvailable() {
  return std::system("/usr/bin/python3 -c 'import ezdxf' >/dev/null 2>&1") == 0;
}

// ezdxf reads the file and its audit finds no error.
::testing::AssertionResult EzdxfAccepts(const std::string& path) {
  const std::string cmd =
      "/usr/bin/python3 -c \"import ezdxf,sys; d=ezdxf.readfile(sys.argv[1]); a=d.audit(); "
      "[print(e.message) for e in a.errors]; sys.exit(1 if a.has_errors else 0)\" '" +
      path + "' 2>&1";
  const int rc = std::system(cmd.c_str());
  if (rc == 0) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "ezdxf rejects " << path;
}

TEST(DxfTest, EzdxfReadsEveryFileWritten) {
  if (!EzdxfAvailable())
    GTEST_SKIP() << "python3-ezdxf is not installed (apt-get install python3-ezdxf): the DXF "
                    "files are not checked by a DXF reader";
  TempDir dir;
  int n = 0;
  const auto check = [&](const std::string& dxf, const std::string& what) {
    const std::string path = dir.file("f" + std::to_string(n++) + ".dxf");
    test::WriteAll(path, dxf);
    EXPECT_TRUE(EzdxfAccepts(path)) << what;
  };
  for (const GoldenCase& c : kGoldens) {
    const std::string header = c.header();
    check(ExportDxf(c.doc(), &header, true).dxf, c.name);
  }
  for (const EdgeCase& c : kEdges) {
    const std::string header = c.header();
    check(ExportDxf(c.doc(), &header, c.title).dxf, c.name);
  }
  // The demo through the command, with the data folder the program ships.
  for (const char* sheet : {"amp1", "amp2"}) {
    const std::string out = dir.file(std::string(sheet) + ".dxf");
    const test::RunResult r = test::RunTavro(
        {"convert", std::string(TAVRO_SOURCE_DIR) + "/examples/demo/" + sheet + ".tcd", out});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(test::ReadAll(out).starts_with("999\nDXF created from TAVRO Ver1.02\n"));
    EXPECT_TRUE(EzdxfAccepts(out)) << sheet;
  }
}

}  // namespace
}  // namespace tavro
