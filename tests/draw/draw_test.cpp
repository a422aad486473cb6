#include "core/draw/draw.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "core/model/arc.h"
#include "core/model/junc.h"
#include "core/model/line.h"
#include "core/model/part.h"
#include "core/model/pin.h"
#include "core/model/sheet.h"
#include "core/model/text.h"
#include "core/platform/codec.h"
#include "model/fixed_font_engine.h"
#include "support/test_util.h"

namespace tavro {
namespace {

// A canvas that writes every call as one line of text.
class RecordingCanvas : public Canvas {
 public:
  std::string log;

  void SetPenWidth(int w) override { Add("width %d", w); }
  void SetPenStyle(int s) override { Add("style %d", s); }
  void SetPenColor(Color c) override {
    pen_ = c;
    Add("pen %06X", c);
  }
  Color GetPenColor() const override { return pen_; }
  void SetBrushColor(Color c) override {
    brush_ = c;
    Add("brush %06X", c);
  }
  Color GetBrushColor() const override { return brush_; }
  void DrawLine(CPoint a, CPoint b) override { Add("line %d,%d %d,%d", a.x, a.y, b.x, b.y); }
  void DrawPolygon(std::span<const CPoint> pts, bool fill) override {
    std::string s = fill ? "fill polygon" : "polygon";
    for (CPoint p : pts) s += " " + std::to_string(p.x) + "," + std::to_string(p.y);
    log += s + "\n";
  }
  void DrawCircle(CPoint c, int r, bool fill) override {
    Add("%s %d,%d r%d", fill ? "fill circle" : "circle", c.x, c.y, r);
  }
  void DrawArc(CPoint c, int r, int a1, int a2, bool fill) override {
    Add("%s %d,%d r%d %d-%d", fill ? "fill arc" : "arc", c.x, c.y, r, a1, a2);
  }
  void DrawText(std::string_view text, CPoint p, int height, int dir,
                const LogFont& font) override {
    log += "text \"" + Cp932ToUtf8(std::string(text)) + "\" " + std::to_string(p.x) + "," +
           std::to_string(p.y) + " h" + std::to_string(height) + " d" + std::to_string(dir) +
           " cs" + std::to_string(font.charSet) + "\n";
  }

  // The lines of the log that begin with `prefix`.
  std::vector<std::string> Lines(std::string_view prefix) const {
    std::vector<std::string> out;
    size_t pos = 0;
    while (pos < log.size()) {
      size_t nl = log.find('\n', pos);
      std::string line = log.substr(pos, nl - pos);
      if (line.rfind(prefix, 0) == 0) out.push_back(line);
      pos = nl + 1;
    }
    return out;
  }

 private:
  template <class... A>
  void Add(const char* fmt, A... a) {
    char buf[128];
    std::snprintf(buf, sizeof buf, fmt, a...);
    log += buf;
    log += '\n';
  }
  Color pen_ = 0, brush_ = 0;
};

DrawStyle ColourfulStyle() {
  DrawStyle s;
  for (int i = 0; i < kDispItemCount; ++i) {
    s.colors[i] = 0x010101u * static_cast<uint32_t>(i);  // colour i reads i i i
    s.shown[i] = true;
  }
  return s;
}

class DrawTest : public ::testing::Test {
 protected:
  test::FixedFontEngine engine_;
  RecordingCanvas canvas_;
};

// One item of every kind, drawn in colour: the lists come in their order,
// each with its pen and fill, and the marks, arrowheads and texts.
CSheet SmallSheet() {
  CSheet sheet;
  CLine& wire = sheet.NewWire({0, 0}, {500, 0});
  wire.SetWidth(8);
  wire.SetName("SIG", {100, 20}, 0);
  sheet.NewBus({0, 1000}, {500, 1000}).SetWidth(24);
  CLine& line = sheet.NewLine({0, 2000}, {1000, 2000});
  line.SetWidth(8);
  line.SetArrow(100, 50);
  sheet.NewArc({3000, 3000}, 200, 0, 90, 0, 8);
  sheet.NewJunc({500, 0});
  sheet.NewText("NOTE", {100, 4000}, 100, kOrgBottomLeft);
  CPin& pin = sheet.NewPin({2000, 0}, {2300, 0}, kPinDot | kPinClock);
  pin.SetNo("1", {2050, 0}, kOrgBottomLeft);
  CPart& part = sheet.NewPart({5000, 5000}, {4900, 4900}, {5100, 5100}, 1, 0, 0, 0);
  part.SetRefName("R1", {5000, 5200}, kOrgBottomLeft);
  return sheet;
}

TEST_F(DrawTest, SheetInColour) {
  const CSheet sheet = SmallSheet();
  DrawWalk(canvas_, ColourfulStyle()).Sheet(sheet, true, nullptr);
  EXPECT_TRUE(test::MatchesGolden(canvas_.log, "draw/sheet/expected.txt"));
}

TEST_F(DrawTest, ColourSets) {
  const CSheet sheet = SmallSheet();
  // Without colour every pen and fill is black.
  DrawWalk(canvas_, ColourfulStyle()).Sheet(sheet, false, nullptr);
  for (const auto& l : canvas_.Lines("pen ")) EXPECT_EQ(l, "pen 000000");
  for (const auto& l : canvas_.Lines("brush ")) EXPECT_EQ(l, "brush 000000");

  // A title-frame sheet takes the title-frame colour for everything, and
  // shows every list even with the switches off.
  CSheet title(kSheetTitle);
  title = sheet;
  DrawStyle off = ColourfulStyle();
  off.shown.fill(false);
  canvas_.log.clear();
  DrawWalk(canvas_, off).Sheet(title, true, nullptr);
  const std::string t = "pen 111111";  // kDispTitle == 17
  EXPECT_FALSE(canvas_.Lines("line").empty());
  for (const auto& l : canvas_.Lines("pen ")) EXPECT_EQ(l, t);
  for (const auto& l : canvas_.Lines("brush ")) EXPECT_EQ(l, "brush 111111");

  // A main sheet with the switches off draws nothing.
  canvas_.log.clear();
  DrawWalk(canvas_, off).Sheet(sheet, true, nullptr);
  EXPECT_TRUE(canvas_.Lines("line").empty());
  EXPECT_TRUE(canvas_.Lines("text").empty());
}

TEST_F(DrawTest, TextPlacementByAlignmentAndDirection) {
  // The fixed engine: an own font measures size per byte, ascent 4/5 of the
  // size, no internal leading. "AB" at size 100 is 200 long.
  struct Case {
    uint32_t attr;
    int x, y;  // the baseline start
  };
  const Case cases[] = {
      {kOrgBottomLeft, 1000, 1020},  // base side up by the descent
      {kOrgTopLeft, 1000, 920},      // down by the ascent
      {kOrgMiddleCenter, 900, 960},  // half the ascent, half the length
      {kOrgBottomRight, 800, 1020},  // back by the whole length
      {0x10, 1000, 1000},            // on the baseline
      {kOrgBottomLeft | kDir90, 980, 1000},
      {kOrgBottomRight | kDir180, 1200, 980},
      {kOrgTopLeft | kDir270, 920, 1000},
  };
  for (const Case& c : cases) {
    CText t("AB", {1000, 1000}, 100, c.attr | kTextOwnFont);
    LogFont f;
    f.SetFaceName("Arial");
    t.SetFont(f);
    canvas_.log.clear();
    DrawWalk(canvas_, ColourfulStyle()).Text(t);
    const auto texts = canvas_.Lines("text");
    ASSERT_EQ(texts.size(), 1u) << c.attr;
    const std::string at = " " + std::to_string(c.x) + "," + std::to_string(c.y) + " ";
    EXPECT_NE(texts[0].find(at), std::string::npos) << std::hex << c.attr << ": " << texts[0];
    EXPECT_NE(texts[0].find(" d" + std::to_string(c.attr & 0x300)), std::string::npos);
  }
}

TEST_F(DrawTest, TextLinesPrintFlagAndFonts) {
  DrawStyle style = ColourfulStyle();
  // Three lines one size apart, the empty one writing nothing.
  CText lines("A\\nB  \\n\\nD", {0, 1000}, 100, kOrgBottomLeft);
  DrawWalk(canvas_, style).Text(lines);
  const auto texts = canvas_.Lines("text");
  ASSERT_EQ(texts.size(), 3u);
  EXPECT_EQ(texts[0], "text \"A\" 0,1020 h100 d0 cs0");
  EXPECT_EQ(texts[1], "text \"B\" 0,920 h100 d0 cs0");
  EXPECT_EQ(texts[2], "text \"D\" 0,720 h100 d0 cs0");

  // Lines stop where the anchor would leave the sheet.
  canvas_.log.clear();
  DrawWalk(canvas_, style).Text(CText("A\\nB\\nC", {0, 150}, 100, kOrgBottomLeft));
  EXPECT_EQ(canvas_.Lines("text").size(), 2u);

  // A text not to be printed is left out unless asked for.
  CText hidden("X", {0, 0}, 100, kOrgBottomLeft | kTextNoPrint);
  canvas_.log.clear();
  DrawWalk(canvas_, style).Text(hidden);
  EXPECT_TRUE(canvas_.Lines("text").empty());
  style.drawNoPrint = true;
  DrawWalk(canvas_, style).Text(hidden);
  EXPECT_EQ(canvas_.Lines("text").size(), 1u);

  // Japanese characters take the Japanese face, also over a single-byte own font.
  CText jp(J("抵抗"), {0, 0}, 100, kOrgBottomLeft | kTextOwnFont);
  LogFont arial;
  arial.SetFaceName("Arial");
  jp.SetFont(arial);
  canvas_.log.clear();
  DrawWalk(canvas_, style).Text(jp);
  ASSERT_EQ(canvas_.Lines("text").size(), 1u);
  EXPECT_NE(canvas_.Lines("text")[0].find("cs128"), std::string::npos);

  // A display property shows its last value.
  CText prop("&VALUE&VALUE&10k", {0, 0}, 100, kOrgBottomLeft | kTextHidden);
  canvas_.log.clear();
  DrawWalk(canvas_, style).Text(prop);
  ASSERT_EQ(canvas_.Lines("text").size(), 1u);
  EXPECT_EQ(canvas_.Lines("text")[0].substr(0, 11), "text \"10k\" ");
}

TEST_F(DrawTest, Overlines) {
  const TrueName tn = GetTrueName("A~RST~B");
  EXPECT_EQ(tn.text, "ARSTB");
  EXPECT_EQ(tn.runs, (std::vector<size_t>{1, 3, 1}));
  // A "~" that is the trail byte of a double-byte character is no mark.
  const std::string kana = J("ソ");  // 0x83 0x7E
  EXPECT_EQ(GetTrueName(kana).text, kana);

  CText t("A~RST~B", {0, 0}, 100, kOrgBottomLeft | kTextOwnFont);
  LogFont f;
  f.SetFaceName("Arial");
  t.SetFont(f);
  DrawWalk(canvas_, ColourfulStyle()).Text(t);
  ASSERT_EQ(canvas_.Lines("text").size(), 1u);
  EXPECT_EQ(canvas_.Lines("text")[0].substr(0, 13), "text \"ARSTB\" ");
  // Over "RST", 100 to 400 along, at the ascent above the baseline (20 + 80).
  EXPECT_EQ(canvas_.Lines("line"), (std::vector<std::string>{"line 100,100 400,100"}));
}

TEST_F(DrawTest, FrameOutlinesStayInTheirFrame) {
  // Every style draws something, and its points lie on or inside the frame
  // rectangle (the second underline lies just below it, on the base side).
  for (const TextFrameStyle& st : TextFrameStyles()) {
    if (st.code == kFrameNone) continue;
    for (uint32_t dir : {kDir0, kDir90}) {
      CText t("LABEL", {1000, 1000}, 100, kOrgBottomLeft | dir | st.code);
      const CRect frame = t.GetFrameBoundingRect().Normalized();
      canvas_.log.clear();
      DrawWalk(canvas_, ColourfulStyle()).TextFrame(t, frame);
      const auto lines = canvas_.Lines("line");
      const auto arcs = canvas_.Lines("arc");
      EXPECT_FALSE(lines.empty() && arcs.empty()) << st.code;
      for (const std::string& l : lines) {
        int x0, y0, x1, y1;
        ASSERT_EQ(std::sscanf(l.c_str(), "line %d,%d %d,%d", &x0, &y0, &x1, &y1), 4);
        const int slack = st.code == kFrameUnderline2 ? 12 : 0;
        for (auto [x, y] : {std::pair{x0, y0}, std::pair{x1, y1}}) {
          EXPECT_GE(x, frame.left - slack) << std::hex << st.code << " " << l;
          EXPECT_LE(x, frame.right + slack) << std::hex << st.code << " " << l;
          EXPECT_GE(y, frame.top - slack) << std::hex << st.code << " " << l;
          EXPECT_LE(y, frame.bottom + slack) << std::hex << st.code << " " << l;
        }
      }
    }
  }
}

TEST_F(DrawTest, PartFramePropertyDrawsOnlyItsFrame) {
  CSheet sheet;
  CPart& part = sheet.NewPart({0, 0}, {-100, -100}, {100, 100}, 1, 0, 0, 0);
  auto value = std::make_unique<CText>("&VALUE&VALUE&10k", CPoint{0, 0}, 100, kOrgBottomLeft);
  part.Texts().push_back(std::move(value));
  auto frame =
      std::make_unique<CText>("&FRAME&VALUE", CPoint{0, 0}, 100, kOrgBottomLeft | kTextHidden);
  frame->SetBoundRect(CRect(0, 0, 300, 100));
  part.Texts().push_back(std::move(frame));
  DrawWalk(canvas_, ColourfulStyle()).Part(part);
  const auto texts = canvas_.Lines("text");
  ASSERT_EQ(texts.size(), 1u);                  // the value only, not "VALUE" of the frame
  EXPECT_EQ(canvas_.Lines("line").size(), 4u);  // the frame's box
}

}  // namespace
}  // namespace tavro
