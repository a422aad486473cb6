// Joining collinear lines and trimming corners while lines are drawn.
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

std::string Lines(CSheet& sheet) {
  std::string out;
  auto add = [&](const ItemList<CLine>& lines, const char* kind) {
    for (const auto& l : lines) {
      const CPoint s = l->GetStartPoint(), e = l->GetEndPoint();
      out += std::string(kind) + " " + std::to_string(s.x) + "," + std::to_string(s.y) + "-" +
             std::to_string(e.x) + "," + std::to_string(e.y);
      if (!l->GetName().empty()) out += " " + l->GetName();
      out += "\n";
    }
  };
  add(sheet.Wires(), "W");
  add(sheet.Buses(), "B");
  add(sheet.Lines(), "L");
  return out;
}

TEST(LineTrim, Joining) {
  struct Case {
    const char* what;
    std::string sheet;
    std::string after;
  } cases[] = {
      {"two wires on one row join across a gap",
       "Line 0 0 100 0 8 0 0 0\nLine 500 0 300 0 8 0 0 0\n", "W 0,0-500,0\n"},
      {"vertical wires on one column", "Line 0 0 0 100 8 0 0 0\nLine 0 400 0 200 8 0 0 0\n",
       "W 0,400-0,0\n"},
      {"a wire and a bus stay apart", "Line 0 0 100 0 8 0 0 0\nLine 300 0 500 0 24 2 0 0\n",
       "W 0,0-100,0\nB 300,0-500,0\n"},
      {"names A and B stay apart",
       "Line 0 0 100 0 8 0 0 0\nName \"A\" 0 0 70 8\nLine 300 0 500 0 8 0 0 0\nName \"B\" 300 0 70 "
       "8\n",
       "W 0,0-100,0 A\nW 300,0-500,0 B\n"},
      {"an unnamed wire joins a named one and takes its name",
       "Line 0 0 100 0 8 0 0 0\nLine 300 0 500 0 8 0 0 0\nName \"A\" 300 0 70 8\n",
       "W 0,0-500,0 A\n"},
      {"wires on two rows stay apart", "Line 0 0 100 0 8 0 0 0\nLine 0 100 100 100 8 0 0 0\n",
       "W 0,0-100,0\nW 0,100-100,100\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    CSheet sheet = Sheet(c.sheet);
    sheet.TrimLine(false);
    EXPECT_EQ(Lines(sheet), c.after);
  }
}

TEST(LineTrim, AGrabbedEndOrAnotherTypeNeverJoins) {
  CLine a({0, 0}, {100, 0}, kLineWire), b({300, 0}, {500, 0}, kLineWire);
  b.SetCheck(CPoint{300, 0}, 1);
  EXPECT_FALSE(a.Trim(b));
  b.SetCheck(0);
  CLine power({300, 0}, {500, 0}, kLineWire | kLinePower);
  EXPECT_FALSE(a.Trim(power));
  // The same line is not joined with itself; the other keeps its direction.
  CLine same(a);
  EXPECT_FALSE(a.Trim(same));
  CLine backward({500, 0}, {300, 0}, kLineWire);
  EXPECT_TRUE(a.Trim(backward));
  EXPECT_EQ(backward.GetStartPoint(), (CPoint{500, 0}));
  EXPECT_EQ(a.GetEndPoint(), (CPoint{500, 0}));
}

TEST(LineTrim, Corners) {
  struct Case {
    const char* what;
    std::string sheet;
    bool reverse;
    std::string after;
  } cases[] = {
      {"the shorter pieces are cut off", "Line 0 100 400 100 8 1 0 0\nLine 100 300 100 0 8 1 0 0\n",
       false, "L 100,100-400,100\nL 100,300-100,100\n"},
      {"lines that do not reach are extended",
       "Line 0 100 50 100 8 0 0 0\nLine 200 300 200 200 8 0 0 0\n", false,
       "W 0,100-200,100\nW 200,300-200,100\n"},
      {"a list that starts with a vertical line is left alone",
       "Line 100 300 100 0 8 0 0 0\nLine 0 100 400 100 8 0 0 0\n", false,
       "W 100,300-100,0\nW 0,100-400,100\n"},
      {"reverse pairs the head with the tail",
       "Line 0 100 50 100 8 0 0 0\nLine 0 500 50 500 8 0 0 0\nLine 200 300 200 200 8 0 0 0\nLine "
       "300 700 300 600 8 0 0 0\n",
       true, "W 0,100-300,100\nW 0,500-200,500\nW 200,500-200,200\nW 300,700-300,100\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    CSheet sheet = Sheet(c.sheet);
    CSheet before = Sheet(c.sheet);
    const bool changed = sheet.TrimLine(c.reverse);
    EXPECT_EQ(Lines(sheet), c.after);
    EXPECT_EQ(changed, Lines(sheet) != Lines(before));
  }
}

}  // namespace
}  // namespace tavro
