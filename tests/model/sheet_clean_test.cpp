// Sheet clean-up members: empty items, duplicates, items off the paper, the
// merging of collinear lines with and without junction rules, and the
// reduction of a before / after pair.
#include <gtest/gtest.h>

#include "core/file/archive.h"
#include "core/model/sheet.h"

namespace tavro {
namespace {

CSheet Sheet(const std::string& text) {
  CSheet sheet;
  CArchive ar(text);
  sheet.SerializeText(ar);
  return sheet;
}

// The lines of a sheet, one per line: kind, ends, type word when not plain,
// name.
std::string Lines(const CSheet& sheet) {
  std::string out;
  auto add = [&](const ItemList<CLine>& lines, const char* kind) {
    for (const auto& l : lines) {
      const CPoint s = l->GetStartPoint(), e = l->GetEndPoint();
      out += std::string(kind) + " " + std::to_string(s.x) + "," + std::to_string(s.y) + "-" +
             std::to_string(e.x) + "," + std::to_string(e.y);
      if ((l->GetType() & ~kLineKindMask) != 0) out += " t" + std::to_string(l->GetType());
      if (!l->GetName().empty()) out += " " + l->GetName();
      out += "\n";
    }
  };
  add(sheet.Wires(), "W");
  add(sheet.Buses(), "B");
  add(sheet.Lines(), "L");
  return out;
}

// The merging pass as the clean-up runs it: normal form, merge, directions back.
void Merge(CSheet& sheet, bool wireJunc) {
  sheet.NormalLines();
  sheet.CleanLine(wireJunc);
  sheet.RestoreLineDirections();
}

const char* kWire0to100 = "Line 0 0 100 0 8 0 0 0\n";

TEST(SheetClean, MergingLines) {
  struct Case {
    const char* what;
    bool wireJunc;
    std::string sheet;
    std::string after;
  } cases[] = {
      {"overlapping wires become one", false,
       std::string(kWire0to100) + "Line 50 0 150 0 8 0 0 0\n", "W 0,0-150,0\n"},
      {"the second drawn backwards", false, std::string(kWire0to100) + "Line 150 0 50 0 8 0 0 0\n",
       "W 0,0-150,0\n"},
      {"the first keeps its own direction", false,
       "Line 100 0 0 0 8 0 0 0\nLine 50 0 150 0 8 0 0 0\n", "W 150,0-0,0\n"},
      {"vertical wires end to end", false, "Line 0 0 0 100 8 0 0 0\nLine 0 100 0 200 8 0 0 0\n",
       "W 0,0-0,200\n"},
      {"apart on one row", false, std::string(kWire0to100) + "Line 200 0 300 0 8 0 0 0\n",
       "W 0,0-100,0\nW 200,0-300,0\n"},
      {"a later wire around the first is not taken in", false,
       "Line 40 0 60 0 8 0 0 0\nLine 0 0 100 0 8 0 0 0\n", "W 40,0-60,0\nW 0,0-100,0\n"},
      {"a name goes to the line that stays", false,
       std::string(kWire0to100) + "Line 50 0 150 0 8 0 0 0\nName \"CLK\" 60 0 70 8\n",
       "W 0,0-150,0 CLK\n"},
      {"different names stay apart", false,
       "Line 0 0 100 0 8 0 0 0\nName \"A\" 0 0 70 8\nLine 50 0 150 0 8 0 0 0\nName \"B\" 60 0 70 "
       "8\n",
       "W 0,0-100,0 A\nW 50,0-150,0 B\n"},
      {"buses merge", false, "Line 0 0 100 0 24 2 0 0\nLine 50 0 150 0 24 2 0 0\n",
       "B 0,0-150,0\n"},
      {"a graphic line with an arrow never merges", false,
       "Line 0 0 100 0 8 1 0 100\nLine 50 0 150 0 8 1 0 0\n", "L 0,0-100,0\nL 50,0-150,0\n"},
      {"graphic lines of two styles neither merge nor shorten", false,
       "Line 0 0 100 0 8 1 0 0\nLine 50 0 150 0 8 513 0 0\n", "L 0,0-100,0\nL 50,0-150,0 t513\n"},
      // Wires of different type words: the overlap leaves the narrower one.
      {"a wider first wire keeps the overlap", false,
       "Line 0 0 100 0 16 4 0 0\nLine 50 0 150 0 8 0 0 0\n", "W 0,0-100,0 t4\nW 100,0-150,0\n"},
      {"a narrower first wire gives it up", false,
       "Line 0 0 100 0 8 0 0 0\nLine 50 0 150 0 16 4 0 0\n", "W 0,0-50,0\nW 50,0-150,0 t4\n"},
      {"at equal widths the first gives it up", false,
       "Line 0 0 100 0 8 0 0 0\nLine 50 0 150 0 8 512 0 0\n", "W 0,0-50,0\nW 50,0-150,0 t512\n"},
      {"a narrower wire wholly on a wider one goes", false,
       "Line 0 0 100 0 16 4 0 0\nLine 50 0 100 0 8 0 0 0\n", "W 0,0-100,0 t4\n"},
      // Junction rules.
      {"no junctions: merged as without the rules", true,
       std::string(kWire0to100) + "Line 50 0 150 0 8 0 0 0\n", "W 0,0-150,0\n"},
      {"a junction at the end: the second starts there", true,
       std::string(kWire0to100) + "Line 50 0 150 0 8 0 0 0\nJunc 100 0\n",
       "W 0,0-100,0\nW 100,0-150,0\n"},
      {"a junction at the start: extended past the free end", true,
       std::string(kWire0to100) + "Line 50 0 150 0 8 0 0 0\nJunc 0 0\n", "W 0,0-150,0\n"},
      {"a junction inside: cut back to it", true,
       std::string(kWire0to100) + "Line 50 0 150 0 8 0 0 0\nJunc 0 0\nJunc 50 0\n",
       "W 0,0-50,0\nW 50,0-150,0\n"},
      {"junctions on both ends: left alone", true,
       std::string(kWire0to100) + "Line 50 0 150 0 8 0 0 0\nJunc 0 0\nJunc 100 0\n",
       "W 0,0-100,0\nW 50,0-150,0\n"},
      {"a junction on the second only: only a redundant wire goes", true,
       std::string(kWire0to100) + "Line 50 0 150 0 8 0 0 0\nLine 20 0 80 0 8 0 0 0\nJunc 150 0\n",
       "W 0,0-100,0\nW 50,0-150,0\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    CSheet sheet = Sheet(c.sheet);
    Merge(sheet, c.wireJunc);
    EXPECT_EQ(Lines(sheet), c.after);
    for (const auto& w : sheet.Wires()) EXPECT_EQ(w->GetType() & kLineSwapped, 0u);
  }
}

TEST(SheetClean, EmptyItemsGo) {
  CSheet sheet = Sheet(std::string(kWire0to100) +
                       "Line 300 300 300 300 8 0 0 0\n"  // zero-length wire
                       "Line 10 10 10 10 8 1 0 0\n"      // zero-length graphic line
                       "Text \"keep\" 0 0 70 8\n"
                       "Arc 500 500 0 0 0 8 0 0 0\n"  // radius 0
                       "Arc 500 500 100 0 0 8 0 0 0\n");
  sheet.NewText("", CPoint(0, 0), 70, 8);  // an empty text (the text form never reads one)
  EXPECT_EQ(sheet.CleanNulItem(), 4);
  EXPECT_EQ(Lines(sheet), "W 0,0-100,0\n");
  ASSERT_EQ(sheet.Texts().size(), 1u);
  EXPECT_EQ(sheet.Texts()[0]->GetName(), "keep");
  ASSERT_EQ(sheet.Arcs().size(), 1u);
  EXPECT_EQ(sheet.Arcs()[0]->GetRadial(), 100);
  EXPECT_EQ(sheet.CleanNulItem(), 0);
}

TEST(SheetClean, DuplicatesGo) {
  struct Case {
    const char* what;
    std::string sheet;
    int removed;
    std::string after;
  } cases[] = {
      {"an unnamed copy takes the name of the one removed",
       std::string(kWire0to100) + kWire0to100 + "Name \"A\" 50 0 70 8\n", 1, "W 0,0-100,0 A\n"},
      {"a named first keeps its name",
       "Line 0 0 100 0 8 0 0 0\nName \"A\" 50 0 70 8\n" + std::string(kWire0to100), 1,
       "W 0,0-100,0 A\n"},
      {"copies under two names both stay (each name joins its nets)",
       "Line 0 0 100 0 8 0 0 0\nName \"A\" 50 0 70 8\nLine 0 0 100 0 8 0 0 0\nName \"B\" 50 0 70 "
       "8\n",
       0, "W 0,0-100,0 A\nW 0,0-100,0 B\n"},
      {"three copies leave one", std::string(kWire0to100) + kWire0to100 + kWire0to100, 2,
       "W 0,0-100,0\n"},
      {"another type word is no copy", std::string(kWire0to100) + "Line 0 0 100 0 16 4 0 0\n", 0,
       "W 0,0-100,0\nW 0,0-100,0 t4\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    CSheet sheet = Sheet(c.sheet);
    EXPECT_EQ(sheet.CleanDupItem(), c.removed);
    EXPECT_EQ(Lines(sheet), c.after);
  }

  // The other lists by their own comparisons; parts are never compared.
  const std::string part =
      "Part 1000 1000 900 900 1100 1100 1 0 0 0\nRef \"R1\" 1000 1200 65 8\nPartEnd\n";
  CSheet sheet = Sheet(
      "Junc 5 5\nJunc 5 5\nJunc 6 6\n"
      "Arc 0 0 50 0 90 8 0 0 0\nArc 0 0 50 0 90 8 0 0 0\nArc 0 0 50 0 180 8 0 0 0\n"
      "Text \"T\" 0 0 70 8\nText \"T\" 0 0 70 8\nText \"T\" 10 0 70 8\n"
      "Pin 0 0 100 0 0\nNo \"1\" 50 0 70 8\nPin 0 0 100 0 0\nNo \"1\" 50 0 70 8\n"
      "Pin 0 0 100 0 0\nNo \"2\" 50 0 70 8\n" +
      part + part);
  EXPECT_EQ(sheet.CleanDupItem(), 4);
  EXPECT_EQ(sheet.Juncs().size(), 2u);
  EXPECT_EQ(sheet.Arcs().size(), 2u);
  EXPECT_EQ(sheet.Texts().size(), 2u);
  EXPECT_EQ(sheet.Pins().size(), 2u);
  EXPECT_EQ(sheet.Parts().size(), 2u);
}

TEST(SheetClean, ItemsOffThePaperGo) {
  // The paper is 0,0 - 1000,1000.
  CSheet sheet = Sheet(
      "Line 100 100 200 100 8 0 0 0\n"    // on the paper
      "Line -100 500 50 500 8 0 0 0\n"    // across its edge
      "Line 2000 100 2100 100 8 0 0 0\n"  // off it
      "Text \"off\" -600 -600 70 8\n"
      "Junc 5000 5000\n"
      "Pin 500 500 600 500 32768\n"    // a hidden free pin on the paper stays
      "Pin 1500 500 1600 500 32768\n"  // a hidden one off it goes
      "Part 3000 3000 2900 2900 3100 3100 1 0 0 0\nRef \"R9\" 3000 3200 65 8\nPartEnd\n");
  EXPECT_EQ(sheet.CleanOutItem(1000, 1000), 5);
  EXPECT_EQ(Lines(sheet), "W 100,100-200,100\nW -100,500-50,500\n");
  EXPECT_TRUE(sheet.Texts().empty());
  EXPECT_TRUE(sheet.Juncs().empty());
  EXPECT_TRUE(sheet.Parts().empty());
  ASSERT_EQ(sheet.Pins().size(), 1u);
  EXPECT_EQ(sheet.Pins()[0]->GetStartPoint(), CPoint(500, 500));
}

TEST(SheetClean, BeforeAndAfterReduceToTheChange) {
  CSheet before = Sheet(std::string(kWire0to100) +
                        "Line 50 0 150 0 8 0 0 0\nJunc 7 7\n"
                        "Text \"T\" 0 0 70 8\n");
  CSheet after(before);
  Merge(after, false);
  before.CleanSheet(after);
  EXPECT_EQ(Lines(before), "W 0,0-100,0\nW 50,0-150,0\n");
  EXPECT_EQ(Lines(after), "W 0,0-150,0\n");
  EXPECT_TRUE(before.Juncs().empty() && after.Juncs().empty());
  EXPECT_TRUE(before.Texts().empty() && after.Texts().empty());
}

}  // namespace
}  // namespace tavro
