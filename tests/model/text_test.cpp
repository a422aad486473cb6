#include "core/model/text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/file/archive.h"
#include "core/platform/codec.h"
#include "core/platform/settings.h"
#include "model/fixed_font_engine.h"

namespace tavro {
namespace {

constexpr uint32_t kBL = kOrgBottomLeft;

class TextTest : public ::testing::Test {
 protected:
  test::FixedFontEngine engine_;
};

CText Selected(std::string name, uint32_t attr = kBL) {
  CText t(std::move(name), {0, 0}, 100, attr | kTextSelected);
  return t;
}

// --- trailing numbers --------------------------------------------------------

TEST_F(TextTest, IncName) {
  struct Case {
    std::string name;
    int step;
    std::string expected;
  };
  const Case cases[] = {
      {"R9", 1, "R10"},
      {"R09", 1, "R10"},
      {"R009", 1, "R010"},
      {"R99", 1, "R100"},
      {"R10", -1, "R9"},
      {"R010", -1, "R009"},
      {"U1~", 1, "U2~"},
      {"A", 2, "A2"},
      {"A", -1, "A"},
      {"A~", 3, "A3~"},
      {"R" + J("１"), 1, "R" + J("２")},
      {J("Ｒ０９"), 1, J("Ｒ１０")},
      {J("抵抗"), 1, J("抵抗１")},
      {J("抵抗") + "1", 1, J("抵抗") + "2"},
      {"R?1", 1, "R?1"},
      {"?", 1, "?"},
      {"R5", 0, "R5"},
      {"", 1, ""},
      // A negative result leaves one zero fewer than the old number had.
      {"R3", -5, "R"},
      {"R03", -5, "R0"},
      {J("Ｕ００３"), -5, J("Ｕ００")},
      // Results of nothing but overline markers keep the old name.
      {"3", -5, "3"},
      {"5~", -9, "5~"},
      {"~3~", -5, "~3~"},
      // Numbers too long to count with are left alone.
      {"R1234567890123456789012", 1, "R1234567890123456789012"},
      // A "~" byte that ends a double-byte character is no marker.
      {"R\x81\x7E", 1, "R\x81\x7E" + J("１")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Cp932ToUtf8(c.name) + " " + std::to_string(c.step));
    CText t(c.name, {0, 0}, 70, kBL);
    EXPECT_EQ(t.IncName(c.step), c.expected != c.name);
    EXPECT_EQ(t.GetName(), c.expected);
  }
}

TEST_F(TextTest, SetNumberLenAndGetNumberLen) {
  struct Case {
    std::string name;
    int len;
    std::string expected;
  };
  const Case cases[] = {
      {"R7", 3, "R007"},
      {"R", 3, "R000"},
      {"R0007", 3, "R007"},
      {"R0007", 0, "R7"},
      {"R1234", 2, "R1234"},
      {"U1~", 3, "U001~"},
      {J("抵抗"), 2, J("抵抗００")},
      {J("Ｒ７"), 2, J("Ｒ０７")},
      {"R", 0, "R"},
      {"R000", 0, "R0"},
      {"~", 0, "~"},
      {"", 3, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Cp932ToUtf8(c.name) + " " + std::to_string(c.len));
    CText t(c.name, {0, 0}, 70, kBL);
    t.SetNumberLen(c.len);
    EXPECT_EQ(t.GetName(), c.expected);
  }

  const std::pair<std::string, int> lens[] = {
      {"", -1}, {"R", 0}, {"R007~", 3}, {"R" + J("１２"), 2}, {"12R", 0}, {"~", 0}, {"12", 2}};
  for (const auto& [name, len] : lens)
    EXPECT_EQ(CText(name, {}, 70, kBL).GetNumberLen(), len) << name;

  // An absurd length is capped instead of allocating without bound.
  CText big("R", {}, 70, kBL);
  big.SetNumberLen(1 << 30);
  EXPECT_EQ(big.GetNumberLen(), 255);
}

// --- properties --------------------------------------------------------------

TEST_F(TextTest, PropertyParsing) {
  CText v("&VALUE&10k", {}, 70, kBL);
  EXPECT_EQ(v.IsProperty(), 1);
  EXPECT_EQ(v.GetPropertyName(), "VALUE");
  EXPECT_EQ(v.GetPropertyVal(1), "10k");
  EXPECT_EQ(v.GetPropertyVal(0), "10k");
  EXPECT_EQ(v.GetPropertyVal(2), "");
  EXPECT_FALSE(v.IsDispProperty());

  CText esc("&VALUE&10\\&20", {}, 70, kBL);
  EXPECT_EQ(esc.IsProperty(), 1);
  EXPECT_EQ(esc.GetPropertyVal(1), "10&20");

  EXPECT_EQ(CText("VALUE&10k", {}, 70, kBL).IsProperty(), 0);
  EXPECT_EQ(CText("&VALUE", {}, 70, kBL).IsProperty(), 0);
  EXPECT_EQ(CText("& NAME &x", {}, 70, kBL).GetPropertyName(), "NAME");

  CText disp("&VALUE&value&10k&20k", {}, 70, kBL | kTextHidden);
  EXPECT_EQ(disp.IsProperty(), 3);
  EXPECT_TRUE(disp.IsDispProperty());
  EXPECT_TRUE(disp.IsDisp());  // a display property shows although hidden
  EXPECT_EQ(disp.GetPropertyVal(0), "20k");
  EXPECT_EQ(disp.GetDispString(), "20k");
  EXPECT_EQ(v.GetDispString(), "&VALUE&10k");
}

TEST_F(TextTest, PropertyEscapesAndDoubleByteCharacters) {
  // The property readers walk the text without copying it: an "&" after a
  // backslash is escaped, but not after a double-byte character whose trail
  // byte happens to be 0x5C ("表" is 0x95 0x5C).
  const std::string hyo = J("表");
  struct Case {
    std::string text;
    int count;          // IsProperty
    std::string name;   // GetPropertyName
    std::string first;  // GetPropertyVal(1)
    std::string last;   // GetPropertyVal(0)
    bool display;       // IsDispProperty
  };
  const Case cases[] = {
      {"&A&a", 1, "A", "a", "a", true},    // first value equals the name without regard to case
      {"& a &A", 1, "a", "A", "A", true},  // the name is trimmed
      {"&A&A&", 2, "A", "A", "", true},
      {"&A&&", 2, "A", "", "", false},
      {"&A&\\&x", 1, "A", "&x", "&x", false},
      // An escaped "&" in front: a property by its count, but without a name.
      {"\\&&A&B", 1, "", "B", "B", false},
      // A backslash before the escape is a character of its own.
      {"\\\\&A&x", 0, "", "", "", false},
      {"&\\&&\\&", 1, "\\&", "&", "&", false},
      {"&" + hyo + "&x", 1, hyo, "x", "x", false},
      {"&A&x" + hyo + "&", 2, "A", "x" + hyo, "", false},
      {"A&x", 0, "", "", "", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Cp932ToUtf8(c.text));
    const CText t(c.text, {}, 70, kBL | kTextHidden);
    EXPECT_EQ(t.IsProperty(), c.count);
    EXPECT_EQ(t.GetPropertyName(), c.name);
    EXPECT_EQ(t.GetPropertyVal(1), c.first);
    EXPECT_EQ(t.GetPropertyVal(0), c.last);
    EXPECT_EQ(t.IsDispProperty(), c.display);
  }
}

TEST_F(TextTest, SetPropertyAndSetPropertyVal) {
  CText t;
  t.SetProperty(" VALUE ", " 10&20 ");
  EXPECT_EQ(t.GetName(), "&VALUE&10\\&20");
  EXPECT_FALSE(t.IsDisp());
  EXPECT_EQ(t.GetPropertyVal(1), "10&20");

  struct Case {
    std::string name;
    std::string value;
    int n;
    std::string expected;
  };
  const Case cases[] = {
      {"&A&1&2", "x", 1, "&A&x&2"},    {"&A&1&2", "x", 0, "&A&1&x"},
      {"&A&1&2", "x", 4, "&A&1&2&&x"}, {"&A&1", "a&b", 1, "&A&a\\&b"},
      {"&A", "v", 0, "&A&v"},          {"&V&V", "x", 0, "&V&V&x"},
      {"&V&V&a", "x", 0, "&V&V&x"},    {"&V&v&a&b", "x", 0, "&V&v&a&x"},
      {"plain", "x", 1, "plain"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CText p(c.name, {}, 70, kBL);
    EXPECT_EQ(p.SetPropertyVal(c.value, c.n), c.name[0] == '&');
    EXPECT_EQ(p.GetName(), c.expected);
  }
}

// --- setters -----------------------------------------------------------------

TEST_F(TextTest, FrameChangeStepsThroughTheSelectorOrder) {
  const auto& styles = TextFrameStyles();
  ASSERT_EQ(styles.size(), 15u);
  EXPECT_EQ(styles[0].name, J("枠なし"));
  EXPECT_EQ(styles[14].name, J("2重下線"));
  EXPECT_EQ(styles[9].name, J("ダイヤ"));
  EXPECT_EQ(styles[9].bitmap, 314);

  CText t = Selected("A");
  for (size_t i = 1; i <= styles.size(); ++i) {
    EXPECT_TRUE(t.FrameChange(0));
    EXPECT_EQ(t.GetFrame(), styles[i % styles.size()].code);
  }
  EXPECT_TRUE(t.FrameChange(1));  // back from the first to the last
  EXPECT_EQ(t.GetFrame(), kFrameUnderline2);
  EXPECT_TRUE(t.FrameChange(1));
  EXPECT_EQ(t.GetFrame(), kFrameUnderline);

  CText unselected("A", {}, 100, kBL);
  EXPECT_FALSE(unselected.FrameChange(0));
  CText hidden = Selected("A", kBL | kTextHidden);
  EXPECT_FALSE(hidden.FrameChange(0));
  CText unknown = Selected("A", kBL | 0xF0000);
  EXPECT_FALSE(unknown.FrameChange(0));
  EXPECT_EQ(unknown.GetFrame(), 0xF0000u);
}

TEST_F(TextTest, ChangeSizeLimits) {
  struct Case {
    int size, dir;
    bool changed;
    int expected;
  };
  const Case cases[] = {{298, 1, true, 300}, {300, 1, false, 300}, {70, 2, true, 75},
                        {22, 0, true, 20},   {21, -1, true, 20},   {20, 0, false, 20}};
  for (const Case& c : cases) {
    CText t("A", {}, c.size, kBL);
    EXPECT_EQ(t.ChangeSize(c.dir), c.changed) << c.size;
    EXPECT_EQ(t.GetSize(), c.expected);
  }
  CText hidden("A", {}, 100, kBL | kTextHidden);
  EXPECT_FALSE(hidden.ChangeSize(1));
  CText empty("", {}, 100, kBL);
  EXPECT_FALSE(empty.ChangeSize(1));
}

TEST_F(TextTest, SetOrgMapsKeypadCodes) {
  const std::pair<int, int> cases[] = {{97, 8}, {101, 30}, {105, 2}, {30, 30}, {16, 16}};
  for (auto [in, out] : cases) {
    CText t("A", {}, 100, kBL | kDir90);
    t.SetOrg(in);
    EXPECT_EQ(t.GetOrg(), out) << in;
    EXPECT_EQ(t.GetDir(), kDir90);
  }
  CText hidden("A", {}, 100, kBL | kTextHidden);
  hidden.SetOrg(105);
  EXPECT_EQ(hidden.GetOrg(), kBL);
}

TEST_F(TextTest, DisplayPrintAndSelection) {
  CText t("ABC", {1000, 2000}, 100, kBL);
  EXPECT_TRUE(t.IsDisp());
  t.Disp(0);
  EXPECT_EQ(t.GetAttr() & kTextHidden, kTextHidden);
  EXPECT_FALSE(t.IsDisp());
  EXPECT_FALSE(t.SetTextSel({0, 0, 5000, 5000}));
  t.Disp(1);
  EXPECT_FALSE(t.SetTextSel({0, 0, 10, 10}));
  EXPECT_FALSE(t.IsTextSel());
  EXPECT_TRUE(t.SetTextSel({1100, 2050, 1100, 2050}));
  EXPECT_TRUE(t.IsTextSel());
  t.ResetTextSel();
  EXPECT_FALSE(t.IsTextSel());

  CText own("A", {}, 100, kBL | kTextOwnFont);
  own.Print(0);
  EXPECT_FALSE(own.IsPrint());
  EXPECT_EQ(own.GetFont().strikeOut, 1);
  own.Print(1);
  EXPECT_TRUE(own.IsPrint());
  EXPECT_EQ(own.GetFont().strikeOut, 0);
  CText plain("A", {}, 100, kBL);
  plain.Print(0);
  EXPECT_EQ(plain.GetFont().strikeOut, 0);  // no own font: the record stays as it is

  t.ModifyAngle(kTextNoPrint | kOrgTopLeft, kTextOrgMask);
  EXPECT_EQ(t.GetAttr(), kTextNoPrint | kOrgTopLeft);
  t.SetAngle(kBL);
  EXPECT_EQ(t.GetAttr(), kBL);
}

TEST_F(TextTest, SetAttributeRemembersTheLookOnlyWhenAsked) {
  Settings& s = AppSettings();
  s.DeleteSection("Text");
  CText t("A", {}, 120, kTextNoPrint | kFrameBox | kDir90 | kOrgMiddleRight);
  t.SetAttribute();
  EXPECT_EQ(s.GetInt("Text", "Text Height", -1), -1);

  s.WriteInt("Text", "Remember Attr", 1);
  t.SetAttribute();
  EXPECT_EQ(s.GetInt("Text", "Text Height", -1), 120);
  EXPECT_EQ(s.GetInt("Text", "Text H Base", -1), 2);
  EXPECT_EQ(s.GetInt("Text", "Text V Base", -1), 1);
  EXPECT_EQ(s.GetInt("Text", "Text Direction", -1), 0x100);
  EXPECT_EQ(s.GetInt("Text", "Printable", -1), 0);
  EXPECT_EQ(s.GetInt("Text", "Text Frame", -1), 0x10000);

  const std::pair<int, std::pair<int, int>> bases[] = {{0, {0, 0}},  {6, {1, 0}},  {2, {2, 0}},
                                                       {24, {0, 1}}, {30, {1, 1}}, {14, {1, 2}},
                                                       {10, {2, 2}}, {8, {0, 2}},  {16, {0, 2}}};
  for (const auto& [org, hv] : bases) {
    CText o("A", {}, 70, static_cast<uint32_t>(org));
    o.SetAttribute();
    EXPECT_EQ(s.GetInt("Text", "Text H Base", -1), hv.first) << org;
    EXPECT_EQ(s.GetInt("Text", "Text V Base", -1), hv.second) << org;
  }
  s.DeleteSection("Text");
}

// --- search and comparison ---------------------------------------------------

TEST_F(TextTest, Find) {
  struct Case {
    std::string name;
    uint32_t attr;
    std::string pattern;
    bool matchCase, whole, includeHidden;
    bool found;
  };
  const Case cases[] = {
      {"Resistor", kBL, "SIST", false, false, false, true},
      {"Resistor", kBL, "SIST", true, false, false, false},
      {"Resistor", kBL, "sist", true, false, false, true},
      {"Resistor", kBL, "RESISTOR", false, true, false, true},
      {"Resistor", kBL, "RESIST", false, true, false, false},
      {"Resistor", kBL | kTextHidden, "R", false, false, false, false},
      {"Resistor", kBL | kTextHidden, "R", false, false, true, true},
      {"", kBL, "", false, false, true, false},
      // The trail byte of a double-byte character is never upper-cased or matched.
      {J("ソa"), kBL, "\\A", false, false, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name + "/" + c.pattern);
    CText t(c.name, {12, 34}, 70, c.attr);
    auto where = t.Find(c.pattern, c.matchCase, c.whole, c.includeHidden);
    EXPECT_EQ(where.has_value(), c.found);
    if (where) {
      EXPECT_EQ(*where, CPoint(12, 34));
    }
  }
}

TEST_F(TextTest, EqualityAndSortOrder) {
  CText a("R1", {10, 20}, 70, kBL);
  CText b = a;
  b.ModifyAngle(kTextSelected, 0);
  EXPECT_EQ(a, b);  // the selected bit is ignored
  LogFont f;
  f.SetFaceName("Arial");
  b.SetFont(f);
  EXPECT_EQ(a, b);  // so is the font
  EXPECT_NE(a, CText("R1", {10, 20}, 75, kBL));
  EXPECT_NE(a, CText("R1", {10, 21}, 70, kBL));
  EXPECT_NE(a, CText("R1", {10, 20}, 70, kBL | kTextHidden));
  EXPECT_NE(a, CText("r1", {10, 20}, 70, kBL));
  EXPECT_NE(a, CText("", {10, 20}, 70, kBL));
  EXPECT_EQ(CText("", {1, 2}, 70, kBL), CText("", {3, 4}, 90, 0));

  std::vector<CText> texts = {CText("a", {5, 0}, 70, kBL), CText("b", {1, 10}, 70, kBL),
                              CText("c", {0, 0}, 70, kBL), CText("d", {-3, 10}, 70, kBL)};
  std::sort(texts.begin(), texts.end());
  std::string order;
  for (const CText& t : texts) order += t.GetName();
  EXPECT_EQ(order, "dbca");
}

// --- text and font lines -----------------------------------------------------

TEST_F(TextTest, SetNameParsesTextLines) {
  CText t("\"R1\" 100 -200 50 8200");
  EXPECT_EQ(t.GetName(), "R1");
  EXPECT_EQ(t.GetPoint(), CPoint(100, -200));
  EXPECT_EQ(t.GetSize(), 50);
  EXPECT_EQ(t.GetAttr(), 8200u);

  t.SetName("\"say \"hi\"\" 1 2 3 4");
  EXPECT_EQ(t.GetName(), "say \"hi\"");
  EXPECT_EQ(t.GetPoint(), CPoint(1, 2));
  EXPECT_EQ(t.GetAttr(), 4u);

  t.SetName("\"R2\" 5");  // missing numbers keep their values
  EXPECT_EQ(t.GetName(), "R2");
  EXPECT_EQ(t.GetPoint(), CPoint(5, 2));
  EXPECT_EQ(t.GetSize(), 3);

  t.SetName("\"R3\" 7 x 9");  // scanning stops at a field that is not a number
  EXPECT_EQ(t.GetPoint(), CPoint(7, 2));
  EXPECT_EQ(t.GetSize(), 3);

  t.SetName("\"A\" 0 0 70 -2147483640 99999999999999");
  EXPECT_EQ(t.GetAttr(), 0x80000008u);

  t.SetName("plain text");
  EXPECT_EQ(t.GetName(), "plain text");
  t.SetName("");
  EXPECT_EQ(t.GetName(), "plain text");
  t.SetName("\"");
  EXPECT_EQ(t.GetName(), "");

  CText w("R5", {-1, 2}, 70, 0x80000008u);
  EXPECT_EQ(w.TextLine(), "\"R5\" -1 2 70 -2147483640");
  CText back(w.TextLine().c_str());
  EXPECT_EQ(back, w);
}

TEST_F(TextTest, SetFontParsesFontLines) {
  CText t("A", {}, 70, kBL | kTextOwnFont);
  const std::string face = J("ＭＳ ゴシック");
  t.SetFont(("\"" + face + "\"   1 2 3 700 7 128 4 5 6 49").c_str());
  const LogFont& f = t.GetFont();
  EXPECT_EQ(f.FaceName(), face);
  EXPECT_EQ(f.width, 1);
  EXPECT_EQ(f.escapement, 2);
  EXPECT_EQ(f.orientation, 3);
  EXPECT_EQ(f.weight, 700);
  EXPECT_EQ(f.strikeOut, 1);
  EXPECT_EQ(f.underline, 1);
  EXPECT_EQ(f.italic, 1);
  EXPECT_EQ(f.charSet, 128);
  EXPECT_EQ(f.outPrecision, 4);
  EXPECT_EQ(f.clipPrecision, 5);
  EXPECT_EQ(f.quality, 6);
  EXPECT_EQ(f.pitchAndFamily, 49);
  EXPECT_EQ(t.FontLine(), "\"" + face + "\" 1 2 3 700 7 128 4 5 6 49");

  CText copy("A", {}, 70, kBL | kTextOwnFont);
  copy.SetFont(t.FontLine().c_str());
  EXPECT_EQ(copy.GetFont(), f);

  t.SetFont("Arial");  // a bare face name clears the rest
  EXPECT_EQ(t.GetFont().FaceName(), "Arial");
  EXPECT_EQ(t.GetFont().weight, 0);

  CText plain("A", {}, 70, kBL);
  plain.SetFont("\"Arial\" 0 0 0 700 0 0 0 0 0 0");
  EXPECT_EQ(plain.GetFont(), LogFont{});
}

// --- binary record -----------------------------------------------------------

TEST_F(TextTest, RecordImage) {
  CText t("R1", {1, -2}, 70, kBL);
  CArchive out;
  t.DataWrite(out);
  const CRect r = t.GetTextBoundingRect();
  CArchive expect;
  expect.WriteU8(2);
  expect.WriteText("R1");
  expect.WriteI32(1);
  expect.WriteI32(-2);
  expect.WriteI32(70);
  expect.WriteU32(kBL);
  expect.WriteRect(r);
  EXPECT_EQ(out.Buffer(), expect.Buffer());
  EXPECT_EQ(r, CRect(1, -2, 71, 68));
}

TEST_F(TextTest, RecordRoundTripWithFont) {
  CText t("Text", {100, 200}, 90,
          kTextOwnFont | kTextSelected | kFrameIn | kDir90 | kOrgMiddleCenter);
  LogFont f;
  f.SetFaceName("Arial");
  f.weight = 700;
  f.charSet = 128;
  t.SetFont(f);
  CArchive out;
  t.DataWrite(out);
  EXPECT_EQ(out.Buffer().size(), 1u + 4 + 8 + 4 + 4 + 16 + LogFont::kSize);

  CArchive in(out.Buffer());
  CText back;
  back.DataRead(in, 8);
  EXPECT_TRUE(in.AtEnd());
  EXPECT_EQ(back, t);
  EXPECT_EQ(back.GetAttr(), t.GetAttr());  // the selected bit is stored as it stands
  EXPECT_EQ(back.GetFont(), f);
  EXPECT_EQ(back.GetTextBoundingRect(), t.GetTextBoundingRect());
  EXPECT_EQ(back.GetFrameBoundingRect(), t.GetFrameBoundingRect());

  // Before version 6 no font record is read even when the attribute says so.
  CArchive old(out.Buffer());
  CText v5;
  v5.DataRead(old, 5);
  EXPECT_EQ(old.Remaining(), LogFont::kSize);
  EXPECT_EQ(v5.GetFont(), LogFont{});
  EXPECT_EQ(v5.GetName(), "Text");
}

TEST_F(TextTest, RecordRectanglesAreRecomputed) {
  CArchive out;
  out.WriteString("AB");
  out.WritePoint({0, 0});
  out.WriteI32(100);
  out.WriteU32(kBL);
  out.WriteRect({9, 9, 9, 9});
  CArchive in(out.Buffer());
  CText t;
  t.DataRead(in, 8);
  EXPECT_EQ(t.GetTextBoundingRect(), CRect(0, 0, 100, 100));
}

TEST_F(TextTest, RecordDisplayPropertyFixUp) {
  const std::pair<std::string, std::string> cases[] = {
      {"&VALUE&VALUE", "&VALUE&VALUE&"},  // an old display property without value
      {"&Value&VALUE", "&Value&VALUE"},   // equal only without regard to case
      {"&VALUE&VALUE&x", "&VALUE&VALUE&x"},
      {"&VALUE&10k", "&VALUE&10k"},
  };
  for (const auto& [stored, loaded] : cases) {
    CText t(stored, {}, 70, kBL | kTextHidden);
    CArchive out;
    t.DataWrite(out);
    CArchive in(out.Buffer());
    CText back;
    back.DataRead(in, 8);
    EXPECT_EQ(back.GetName(), loaded);
  }
}

TEST_F(TextTest, DamagedRecordThrowsAndKeepsTheText) {
  CText t("Text", {100, 200}, 90, kBL | kTextOwnFont);
  CArchive out;
  t.DataWrite(out);
  const std::string full = out.TakeBuffer();
  for (size_t n = 0; n < full.size(); ++n) {
    const std::string cut = full.substr(0, n);
    CArchive in(cut);
    CText keep("keep", {1, 1}, 70, kBL);
    EXPECT_THROW(keep.DataRead(in, 8), ArchiveError) << n;
    EXPECT_EQ(keep.GetName(), "keep");
  }
}

}  // namespace
}  // namespace tavro
