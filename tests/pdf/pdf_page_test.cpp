// The page content stream: numbers, colours, the lazy pen and fill state and
// every primitive, compared with streams worked out by hand. Coordinates are
// mils; 1000 mils are 72 points, so (1000, 2000) is written "72 144 ".
#include "core/pdf/pdf_page.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "core/platform/codec.h"
#include "core/platform/host.h"

namespace tavro {
namespace {

// Opens the protected steps to the tests.
class PageProbe : public CPDFPage {
 public:
  using CPDFPage::CheckBrush;
  using CPDFPage::CheckPen;
  // The content written since the last Mark().
  std::string Since() const { return GetContent().substr(mark_); }
  void Mark() { mark_ = GetContent().size(); }
  // WriteInit on an A4 landscape page, then Mark().
  void Start() {
    WriteInit(false, 0);
    Mark();
  }

 private:
  size_t mark_ = 0;
};

size_t Count(const std::string& s, const std::string& what) {
  size_t n = 0;
  for (size_t at = s.find(what); at != std::string::npos; at = s.find(what, at + 1)) ++n;
  return n;
}

TEST(PdfPageNumbers, ConvStr) {
  struct Case {
    double value;
    const char* text;
  };
  const Case cases[] = {
      {1, "1 "},     {1.0, "1 "},     {0.25, ".25 "},         {12.3456, "12.346 "}, {0, "0 "},
      {0.5, ".5 "},  {-0.5, "-0.5 "}, {-12.3456, "-12.346 "}, {-3, "-3 "},          {100, "100 "},
      {1.5, "1.5 "}, {0.0004, "0 "},  {42.519685, "42.52 "},  {0.0726, ".073 "},    {1191, "1191 "},
  };
  for (const Case& c : cases) EXPECT_EQ(CPDFPage::ConvStr(c.value), c.text) << c.value;
  // A point is two numbers, x first; the operator follows directly.
  EXPECT_EQ(CPDFPage::ConvDataStr(CPoint(20, 10)) + "m", "1.44 .72 m");
  EXPECT_EQ(CPDFPage::ConvDataStr(CPoint(-1000, 0)), "-72 0 ");
}

TEST(PdfPageNumbers, ColoursAndDashes) {
  EXPECT_EQ(CPDFPage::ConvColorStr(0x000000), "0 0 0 ");
  EXPECT_EQ(CPDFPage::ConvColorStr(0x0000FF), "1 0 0 ");       // red in the low byte
  EXPECT_EQ(CPDFPage::ConvColorStr(0xFF0000), "0 0 1 ");       // blue in the third
  EXPECT_EQ(CPDFPage::ConvColorStr(0x008000), "0 0.5000 0 ");  // 128 / 256
  EXPECT_EQ(CPDFPage::ConvColorStr(0x204060), "0.3750 0.2500 0.1250 ");
  const char* const dashes[] = {"[] 0 d",        "[3 4] 0 d",         "[1 2] 0 d",
                                "[5 2 1 2] 0 d", "[5 2 1 2 1 2] 0 d", "[] 0 d"};
  for (int style = 0; style <= 5; ++style) EXPECT_STREQ(CPDFPage::DashStr(style), dashes[style]);
  EXPECT_EQ(CPDFPage::DashStr(-1), std::string("[] 0 d"));
}

TEST(PdfPage, WriteInitPlacesTheDrawing) {
  PageProbe page;
  page.SetPageSize(2);
  page.SetOffset(CRect(0, 0, 10000, 7000), 15, 15);
  page.WriteInit(false, 0);
  // tx = 15 * 72 / 25.4 = 42.52; ty = 595 - 7000 * 0.072 - 42.52 = 48.48.
  EXPECT_EQ(page.GetContent(), "1 0 0 1 42.52 48.48 cm\n0 0 0 RG\n1 J\n1 j\n");

  // With a background, then scale 0.5 on A3 landscape (height 842), extent
  // left 100: tx = 10 mm (28.346) - 100 * 0.072 (unscaled) = 21.146;
  // ty = 842 - 7000 * 0.072 * 0.5 - 20 mm (56.693) = 533.307.
  PageProbe back;
  back.SetPageSize(1);
  back.SetScale(0.5);
  back.SetOffset(CRect(100, 0, 10100, 7000), 10, 20);
  back.WriteInit(true, 0xF0FFFF);
  EXPECT_EQ(back.GetContent(),
            "q\n1 0 0 1 0 0 cm\n1 1 0.9375 RG\n1 1 0.9375 rg\n0 0 1191 842 re\nB\nQ\n"
            ".5 0 0 .5 21.146 533.307 cm\n0 0 0 RG\n1 J\n1 j\n");
}

TEST(PdfPage, PageHeightsAndBoxes) {
  const int heights[] = {1191, 842, 595, 1684, 1191, 842};
  const char* const boxes[] = {"1684 1191", "1191 842", "842 595",
                               "1191 1684", "842 1191", "595 842"};
  for (int code = 0; code < 6; ++code) {
    EXPECT_EQ(CPDFPage::PageHeight(code), heights[code]);
    EXPECT_STREQ(CPDFPage::MediaBoxStr(code), boxes[code]);
  }
  // A size code from a damaged file is laid out as A4 landscape.
  EXPECT_EQ(CPDFPage::PageHeight(9), 595);
  EXPECT_STREQ(CPDFPage::MediaBoxStr(-1), "842 595");
}

TEST(PdfPage, PenStateIsWrittenOnlyWhenItChanges) {
  PageProbe page;
  page.Start();
  // Width 0 after WriteInit: no "w" (the PDF default width stays), no dash,
  // no colour (the prologue's black).
  page.WriteLine({0, 0}, {1000, 0});
  EXPECT_EQ(page.Since(), "0 0 m\n72 0 l\nS\n");

  page.Mark();
  page.SetPenWidth(10);
  page.SetPenStyle(1);
  page.SetPenColor(0x0000FF);
  page.WriteLine({0, 0}, {1000, 0});
  page.WriteLine({0, 0}, {1000, 0});
  EXPECT_EQ(page.Since(), ".72 w\n[3 4] 0 d\n1 0 0 RG\n0 0 m\n72 0 l\nS\n0 0 m\n72 0 l\nS\n");

  page.Mark();
  page.SetPenColor(0x008000);
  page.SetPenStyle(0);
  page.WriteLine({0, 0}, {0, 1000});
  EXPECT_EQ(page.Since(), "[] 0 d\n0 0.5000 0 RG\n0 0 m\n0 72 l\nS\n");

  // WriteInit forgets the stroke state: the same pen is written again.
  page.WriteInit(false, 0);
  page.Mark();
  page.SetPenWidth(10);
  page.SetPenColor(0x0000FF);
  page.CheckPen();
  EXPECT_EQ(page.Since(), ".72 w\n1 0 0 RG\n");
}

TEST(PdfPage, FillStateCarriesOverButIsWrittenOnEveryPage) {
  PageProbe page;
  page.Start();
  page.SetBrushColor(0x0000FF);
  page.CheckBrush();
  page.CheckBrush();
  EXPECT_EQ(page.Since(), "1 0 0 rg\n");
  // A new sheet's stream starts filling in black: the wanted red stays and is
  // written again before it is used.
  page.WriteInit(false, 0);
  EXPECT_EQ(page.GetBrushColor(), 0x0000FFu);
  page.Mark();
  page.CheckBrush();
  EXPECT_EQ(page.Since(), "1 0 0 rg\n");
  // Black needs nothing on a fresh stream.
  page.WriteInit(false, 0);
  page.SetBrushColor(0);
  page.Mark();
  page.CheckBrush();
  EXPECT_EQ(page.Since(), "");
}

TEST(PdfPage, Polygons) {
  PageProbe page;
  page.Start();
  const CPoint line[] = {{0, 0}, {1000, 0}};
  page.WritePolygon(line, true);
  EXPECT_EQ(page.Since(), "0 0 m\n72 0 l\nS\n");

  // Filled: closed, filled even-odd and stroked in the last fill colour the
  // stream set (no "rg" of its own), and an empty line follows.
  page.Mark();
  page.SetBrushColor(0x0000FF);
  const CPoint dart[] = {{0, 0}, {100, 0}, {50, 80}};
  page.WritePolygon(dart, true);
  EXPECT_EQ(page.Since(), "0 0 m\n7.2 0 l\n3.6 5.76 l\nh\nb*\n\n");

  page.Mark();
  page.WritePolygon(dart, false);
  EXPECT_EQ(page.Since(), "0 0 m\n7.2 0 l\n3.6 5.76 l\nS\n");

  page.Mark();
  page.WritePolygon({}, true);
  EXPECT_EQ(page.Since(), "");
}

TEST(PdfPage, Circles) {
  PageProbe page;
  page.Start();
  page.SetBrushColor(0xFF0000);
  // Centre (72, 0) pt, radius 7.2 pt, control distance 7.2 * 0.5523 = 3.976.
  page.WriteCircle({1000, 0}, 100, true);
  EXPECT_EQ(page.Since(),
            "0 0 1 rg\n"
            "79.2 0 m\n"
            "79.2 3.976 75.976 7.2 72 7.2 c\n"
            "68.024 7.2 64.8 3.976 64.8 0 c\n"
            "64.8 -3.976 68.024 -7.2 72 -7.2 c\n"
            "75.976 -7.2 79.2 -3.976 79.2 0 c\n"
            "72 0 l\nh\nb*\n");  // the radius line to the centre closes the fill

  page.Mark();
  page.SetBrushColor(0x0000FF);  // not used by an open circle
  page.WriteCircle({1000, 0}, 100, false);
  const std::string open = page.Since();
  EXPECT_EQ(open.find("rg"), std::string::npos);
  EXPECT_EQ(open.substr(open.size() - 2), "S\n");
  EXPECT_EQ(Count(open, " c\n"), 4u);
}

TEST(PdfPage, ArcsAreQuarterSegments) {
  PageProbe page;
  page.Start();
  // A quarter of radius 72 pt: k = 4/3 (1 - cos 45°) / sin 45° = 0.55228,
  // 72 k = 39.765.
  page.WriteArc({0, 0}, 1000, 0, 90, false);
  EXPECT_EQ(page.Since(), "72 0 m\n72 39.765 39.765 72 0 72 c\nS\n");

  page.Mark();
  page.WriteArc({0, 0}, 1000, 0, 90, true);
  EXPECT_EQ(page.Since(), "72 0 m\n72 39.765 39.765 72 0 72 c\n0 0 l\nh\nb*\n");

  struct Case {
    int a1, a2;
    size_t segments;
  };
  const Case cases[] = {
      {0, 360, 4},     // four quarters
      {0, 180, 2},     // two
      {300, 30, 1},    // through 360: a sweep of 90 in one segment
      {10, 20, 1},     //
      {45, 45, 0},     // only the move
      {90, 0, 3},      // 270 counter-clockwise
      {0, 100000, 8},  // many turns stay bounded
  };
  for (const Case& c : cases) {
    page.Mark();
    page.WriteArc({0, 0}, 1000, c.a1, c.a2, false);
    const std::string s = page.Since();
    EXPECT_EQ(Count(s, " c\n"), c.segments) << c.a1 << " " << c.a2 << "\n" << s;
    EXPECT_EQ(s.substr(s.size() - 2), "S\n");
  }
  page.Mark();
  page.WriteArc({0, 0}, 1000, 300, 30, false);
  EXPECT_EQ(page.Since().substr(0, 14), "36 -62.354 m\n7");  // the move to 300°
}

TEST(PdfPage, Texts) {
  struct Case {
    std::string text;
    int direction;
    const char* position;
    std::string shown;
  };
  const Case cases[] = {
      {"R1", 0, "72 144 TD", "(R1)"},
      {"a(b)c", 0, "72 144 TD", "(a\\(b\\)c)"},
      {"a\\nb", 0, "72 144 TD", "(a\\\\nb)"},  // backslash-n stays visible
      {"C:\\", 0, "72 144 TD", "(C:\\\\)"},    // a last backslash cannot eat ")"
      {J("抵抗"), 0, "72 144 TD", "<92EF8D52>"},
      {"A " + J("ｱｲｳ"), 0, "72 144 TD", "<4120B1B2B3>"},  // half-width kana: hex
      {"up", 256, "0 1 -1 0 72 144 Tm", "(up)"},
      {"down", 512, "-1 0 0 -1 72 144 Tm", "(down)"},
      {"left", 768, "0 -1 1 0 72 144 Tm", "(left)"},
      {"odd", 100, "72 144 TD", "(odd)"},
  };
  for (const Case& c : cases) {
    PageProbe page;
    page.Start();
    page.WriteText(c.text, {1000, 2000}, 100, c.direction, 3);
    EXPECT_EQ(page.Since(),
              std::string("BT\n") + c.position + "\n/F3 7.2 Tf\n0 Tc 0 Tw " + c.shown + " Tj\nET\n")
        << c.text;
  }
  // The text takes the fill colour, set after the position.
  PageProbe page;
  page.Start();
  page.SetBrushColor(0x0000FF);
  page.WriteText("x", {0, 0}, 50, 0, 0);
  EXPECT_EQ(page.Since(), "BT\n0 0 TD\n1 0 0 rg\n/F0 3.6 Tf\n0 Tc 0 Tw (x) Tj\nET\n");
}

class FontNoHost : public Host {
 public:
  int FontNo(const LogFont& font) override { return font.weight == 700 ? 5 : 4; }
};

TEST(PdfPage, DrawTextAsksForTheFontNumberAndGlyphs) {
  LogFont bold;
  bold.weight = 700;
  {
    FontNoHost host;
    ScopedHost scoped(&host);
    PageProbe page;
    page.Start();
    page.DrawText("a", {0, 0}, 100, 0, bold);
    EXPECT_NE(page.Since().find("/F5 7.2 Tf"), std::string::npos) << page.Since();
    // A numberer takes the host's place.
    page.SetFontNumberer([](const LogFont&) { return 7; });
    page.Mark();
    page.DrawText("a", {0, 0}, 100, 0, bold);
    EXPECT_NE(page.Since().find("/F7 7.2 Tf"), std::string::npos) << page.Since();
  }
  // A font written with glyph ids gets the encoder's bytes as a hex string.
  PageProbe page;
  page.Start();
  page.SetTextEncoder([](int fontNo, std::string_view) -> std::optional<std::string> {
    if (fontNo != 2) return std::nullopt;
    return std::string("\x00\x41\x12\xAB", 4);
  });
  page.WriteText("ab", {0, 0}, 100, 0, 2);
  page.WriteText("ab", {0, 0}, 100, 0, 1);
  EXPECT_EQ(page.Since(),
            "BT\n0 0 TD\n/F2 7.2 Tf\n0 Tc 0 Tw <004112AB> Tj\nET\n"
            "BT\n0 0 TD\n/F1 7.2 Tf\n0 Tc 0 Tw (ab) Tj\nET\n");
}

TEST(PdfPage, CanvasCallsAreTheWritePrimitives) {
  PageProbe direct, canvas;
  direct.Start();
  canvas.Start();
  Canvas& c = canvas;
  const CPoint pts[] = {{0, 0}, {100, 0}, {50, 80}};
  for (PageProbe* p : {&direct, &canvas}) p->SetPenWidth(8);
  c.DrawLine({0, 0}, {10, 10});
  c.DrawPolygon(pts, true);
  c.DrawCircle({5, 5}, 20, true);
  c.DrawArc({5, 5}, 20, 0, 270, false);
  direct.WriteLine({0, 0}, {10, 10});
  direct.WritePolygon(pts, true);
  direct.WriteCircle({5, 5}, 20, true);
  direct.WriteArc({5, 5}, 20, 0, 270, false);
  EXPECT_EQ(canvas.Since(), direct.Since());
}

TEST(PdfPage, ACopyTakesOverTheContent) {
  CPDFPage page;
  page.SetPageSize(4);
  page.SetScale(1.2);
  page.WriteInit(false, 0);
  page.SetPenWidth(8);
  page.WriteLine({0, 0}, {10, 10});
  const std::string content = page.GetContent();

  CPDFPage copy(page);
  EXPECT_EQ(copy.GetStream(), content);
  EXPECT_EQ(copy.GetStreamSize(), static_cast<int>(content.size()));
  EXPECT_EQ(copy.GetContent(), "");
  EXPECT_EQ(copy.GetPageSize(), 4);
  EXPECT_EQ(copy.GetScale(), 1.2);
  EXPECT_EQ(copy.GetPenWidth(), 8);
  EXPECT_EQ(page.GetContent(), "");  // the source is empty, ready for the next sheet
  EXPECT_EQ(page.GetStreamSize(), 0);

  // The source goes on with its pen state: the width is not written again.
  page.WriteLine({0, 0}, {10, 10});
  EXPECT_EQ(page.GetContent(), "0 0 m\n.72 .72 l\nS\n");

  CPDFPage assigned;
  assigned = page;
  EXPECT_EQ(assigned.GetStream(), "0 0 m\n.72 .72 l\nS\n");
  EXPECT_EQ(page.GetContent(), "");
}

}  // namespace
}  // namespace tavro
