// The sheet text form: every record written, read back the same, and the
// reader's rules for pasted text.
#include "core/file/sheet_text.h"

#include <gtest/gtest.h>

#include <string>

#include "core/file/archive.h"
#include "core/model/sheet.h"
#include "core/platform/codec.h"
#include "core/platform/host.h"
#include "core/platform/settings.h"
#include "support/test_util.h"

namespace tavro {
namespace {

std::string WriteText(CSheet& s) {
  CArchive ar;
  s.SerializeText(ar);
  return ar.TakeBuffer();
}

void ReadText(CSheet& s, std::string_view text) {
  CArchive ar(text);
  s.SerializeText(ar);
}

// A sheet with every kind of record and every optional line.
CSheet RichSheet() {
  CSheet s(kSheetScratch);
  CLine& w = s.NewWire({0, 0}, {1000, 0});
  w.SetName("\"DATA\" 100 50 70 8");
  w.SetCrossName("\"[2]\" 100 -100 50 8");
  s.NewBus({0, 500}, {1000, 500}).SetName("\"D[0..7]\" 0 550 70 8");
  CLine& g = s.NewLine({0, 1000}, {500, 1500});
  g.SetArrow(100, 50);
  s.NewJunc({500, 0});
  CPin& p = s.NewPin({2000, 0}, {2300, 0}, kPinInput);
  p.SetName("\"CLK\" 1980 0 70 26");
  p.SetNo("\"7\" 2050 0 70 8");
  CText& t = s.NewText("say \"hi\"", {100, 2000}, 100, kOrgBottomLeft | kTextOwnFont | kFrameBox);
  t.SetFont("\"Arial\" 0 0 0 700 4 0 3 2 1 34");
  CArc& a = s.NewArc({3000, 3000}, 200, 0, 90, 0, 8);
  a.SetArrow(0, 100);
  CPart& part = s.NewPart({5000, 5000}, {}, {}, 4, 2, 0, 0);
  part.SetPartName("\"LM324\" 4800 4500 65 32776");
  part.SetRefName("\"U1B\" 4800 5300 65 8");
  part.SetValue("\"LM324\" 4800 4600 65 8");
  part.NewPin({4800, 5100}, {4600, 5100}, kPinInput).SetName("\"-\" 4818 5100 70 24");
  part.NewLine({4800, 5250}, {4800, 4750});
  part.NewArc({5000, 5000}, 50, 0, 180, 0);
  CText& prop = part.NewText("&PCB&SOP14", {5000, 5000}, 50, kOrgBottomLeft | kTextHidden);
  prop.ModifyAngle(kTextOwnFont, 0);
  prop.SetFont(("\"" + J("ＭＳ ゴシック") + "\" 0 0 0 400 0 128 0 0 0 49").c_str());
  part.CalcBoundRect();
  return s;
}

TEST(SheetTextTest, WritesEveryRecordAndReadsItBack) {
  CSheet s = RichSheet();
  const std::string text = WriteText(s);
  const CPart& p = *s.Parts()[0];
  char part[128];
  std::snprintf(part, sizeof part, "Part 5000 5000 %d %d %d %d 4 2 0 0\n", p.GetRectStart().x,
                p.GetRectStart().y, p.GetRectEnd().x, p.GetRectEnd().y);
  const std::string expected =
      "Line 0 0 1000 0 8 0 0 0\n"
      "Name \"DATA\" 100 50 70 8\n"
      "NetIndex \"[2]\" 100 -100 50 8\n"
      "Line 0 500 1000 500 8 2 0 0\n"
      "Name \"D[0..7]\" 0 550 70 8\n"
      "Line 0 1000 500 1500 8 1 100 50\n"
      "Junc 500 0\n"
      "Pin 2000 0 2300 0 1\n"
      "Name \"CLK\" 1980 0 70 26\n"
      "No \"7\" 2050 0 70 8\n"
      "Text \"say \"hi\"\" 100 2000 100 73736\n"
      "Font \"Arial\" 0 0 0 700 4 0 3 2 1 34\n"
      "Arc 3000 3000 200 0 90 8 0 0 100\n" +
      std::string(part) +
      "Name \"LM324\" 4800 4500 65 32776\n"
      "Ref \"U1B\" 4800 5300 65 8\n"
      "Val \"LM324\" 4800 4600 65 8\n"
      "Pin 4800 5100 4600 5100 1\n"
      "Name \"-\" 4818 5100 70 24\n"
      "Line 4800 5250 4800 4750 8 1 0 0\n"
      "Arc 5000 5000 50 0 180 8 0 0 0\n"
      "Text \"&PCB&SOP14\" 5000 5000 50 40968\n" +
      "Font \"" + J("ＭＳ ゴシック") + "\" 0 0 0 400 0 128 0 0 0 49\n" + "PartEnd\n";
  EXPECT_EQ(text, expected);

  // Read back: the same items, and the same text again.
  CSheet back(kSheetScratch);
  ReadText(back, text);
  EXPECT_EQ(WriteText(back), text);
  ASSERT_EQ(back.Parts().size(), 1u);
  EXPECT_TRUE(back.Parts()[0]->Compare(*s.Parts()[0]));
  EXPECT_EQ(back.Parts()[0]->Texts()[0]->GetFont(), s.Parts()[0]->Texts()[0]->GetFont());
  EXPECT_EQ(back.Texts()[0]->GetName(), "say \"hi\"");
  EXPECT_EQ(back.Texts()[0]->GetFont().FaceName(), "Arial");
  EXPECT_EQ(back.Wires()[0]->GetCrossNameText().GetName(), "[2]");
  EXPECT_EQ(back.Lines()[0]->GetEndArrow(), 50);
  EXPECT_EQ(back.GetItemCount(), 8);
}

TEST(SheetTextTest, CopiedPartPastesWithPinsGraphicsAndFontedTexts) {
  CSheet from = RichSheet();
  CSheet selection(kSheetScratch);
  selection.NewPart(*from.Parts()[0]);
  CSheet paste(kSheetScratch);
  ReadText(paste, WriteText(selection));
  ASSERT_EQ(paste.Parts().size(), 1u);
  CPart& got = *paste.Parts()[0];
  CPart& want = *from.Parts()[0];
  EXPECT_EQ(got.Pins().size(), 1u);
  EXPECT_EQ(got.Lines().size(), 1u);
  EXPECT_EQ(got.Arcs().size(), 1u);
  ASSERT_EQ(got.Texts().size(), 1u);
  EXPECT_TRUE(got.Texts()[0]->HasOwnFont());
  EXPECT_EQ(got.Texts()[0]->GetFont(), want.Texts()[0]->GetFont());
  EXPECT_EQ(got.GetRefName(), "U1B");
  EXPECT_EQ(got.GetPackageMax(), 4u);
  EXPECT_TRUE(got.Compare(want));
  EXPECT_FALSE(got.GetPartNameText().IsDisp());  // hidden part name stays hidden
}

TEST(SheetTextTest, AttributeTextsKeepTheirFonts) {
  CSheet s(kSheetScratch);
  CPart& part = s.NewPart({0, 0}, {}, {}, 0, 0, 0, 0);
  part.SetRefName("\"R1\" 0 100 65 8200");  // 8200 = own font | bottom-left
  part.RefNameText().SetFont("\"Arial\" 0 0 0 700 0 0 0 0 0 0");
  CLine& w = s.NewWire({0, 0}, {100, 0});
  w.SetName("\"N\" 0 0 70 8200");
  w.NameText().SetFont("\"Courier\" 0 0 0 400 4 0 0 0 0 0");
  CSheet back(kSheetScratch);
  ReadText(back, WriteText(s));
  EXPECT_EQ(back.Parts()[0]->GetRefNameText().GetFont().FaceName(), "Arial");
  EXPECT_EQ(back.Wires()[0]->GetNameText().GetFont().FaceName(), "Courier");
  EXPECT_EQ(back.Wires()[0]->GetNameText().GetFont().italic, 1);
}

TEST(SheetTextTest, PlainLinesBecomeAColumnOfTexts) {
  struct Case {
    int grid;
    int height;
    int pitch;
  } cases[] = {{100, 70, 100}, {50, 70, 100}, {30, 70, 90}, {100, 250, 300}, {0, 70, 70}};
  for (const Case& c : cases) {
    test::RecordingHost host;
    host.gridStep = c.grid;
    ScopedHost scoped(&host);
    ASSERT_TRUE(AppSettings().WriteInt("Default", "Text Height", c.height));
    CSheet s(kSheetScratch);
    ReadText(s, "first line\nsecond\r\nthird\n");
    ASSERT_EQ(s.Texts().size(), 3u) << c.grid;
    const char* names[] = {"first line", "second", "third"};
    for (int i = 0; i < 3; ++i) {
      const CText& t = *s.Texts()[i];
      EXPECT_EQ(t.GetName(), names[i]);
      EXPECT_EQ(t.GetPoint(), CPoint(0, -i * c.pitch)) << "grid " << c.grid << " text " << i;
      EXPECT_EQ(t.GetSize(), c.height);
    }
  }
  AppSettings().DeleteValue("Default", "Text Height");
}

TEST(SheetTextTest, LineEndsAndKeywordsWithoutCase) {
  // LF, CR, CR LF; keywords in any case; a zero byte ends the input; the last
  // line needs no line end.
  const std::string text = std::string("LINE 0 0 100 0 8 0 0 0\rjunc 5 6\r\nname ignored\n") +
                           "pin 0 0 0 300 15\nnO \"9\" 1 2 70 8\nText \"tail\" 1 2 70 8" +
                           std::string(1, '\0') + "Junc 7 7\n";
  CSheet s(kSheetScratch);
  ReadText(s, text);
  EXPECT_EQ(s.Wires().size(), 1u);
  ASSERT_EQ(s.Juncs().size(), 1u);
  EXPECT_EQ(s.Juncs()[0]->GetPoint(), CPoint(5, 6));
  ASSERT_EQ(s.Pins().size(), 1u);
  EXPECT_EQ(s.Pins()[0]->GetNo(), "9");
  EXPECT_EQ(s.Pins()[0]->GetName(), "");  // the "name" line had no pin or line before it
  ASSERT_EQ(s.Texts().size(), 1u);
  EXPECT_EQ(s.Texts()[0]->GetName(), "tail");
}

TEST(SheetTextTest, RecordsKeepDefaultsForMissingNumbers) {
  CSheet s(kSheetScratch);
  ReadText(s,
           "Line 10 20\n"
           "Line 1 2 3 4 5 1 x 9\n"
           "Arc 100 200 300\n"
           "Junc 99999999999 -99999999999\n"
           "Part 1 2\nPartEnd\n");
  ASSERT_EQ(s.Wires().size(), 1u);
  const CLine& w = *s.Wires()[0];
  EXPECT_EQ(w.GetStartPoint(), CPoint(10, 20));
  EXPECT_EQ(w.GetEndPoint(), CPoint(0, 0));
  EXPECT_EQ(w.GetWidth(), 8);
  ASSERT_EQ(s.Lines().size(), 1u);  // type 1 selects the graphic lines
  EXPECT_EQ(s.Lines()[0]->GetWidth(), 5);
  EXPECT_EQ(s.Lines()[0]->GetStartArrow(), 0);  // "x" stops the scan
  EXPECT_EQ(s.Lines()[0]->GetEndArrow(), 0);
  ASSERT_EQ(s.Arcs().size(), 1u);
  EXPECT_EQ(s.Arcs()[0]->GetRadius(), 300);
  EXPECT_EQ(s.Arcs()[0]->GetStartAngle(), 0);
  EXPECT_EQ(s.Juncs()[0]->GetPoint(), CPoint(INT32_MAX, INT32_MIN));
  ASSERT_EQ(s.Parts().size(), 1u);
  EXPECT_EQ(s.Parts()[0]->GetOrg(), CPoint(1, 2));
}

TEST(SheetTextTest, FreePinsAndTextsArePastedVisible) {
  CSheet s(kSheetScratch);
  ReadText(s,
           "Pin 0 0 300 0 32769\n"         // hidden input pin
           "Text \"note\" 0 0 70 32776\n"  // hidden text
           "Text \"\" 0 0 70 8\n"          // empty: ignored
           "Part 0 0 0 0 0 0 0 0 0 0\n"
           "Pin 0 0 0 300 32783\n"  // hidden power pin of a part stays hidden
           "Text \"&X&1\" 0 0 70 32776\n"
           "PartEnd\n");
  ASSERT_EQ(s.Pins().size(), 1u);
  EXPECT_TRUE(s.Pins()[0]->IsDisp());
  EXPECT_EQ(s.Pins()[0]->GetEleType(), kPinInput);
  ASSERT_EQ(s.Texts().size(), 1u);
  EXPECT_TRUE(s.Texts()[0]->IsDisp());
  EXPECT_FALSE(s.Parts()[0]->Pins()[0]->IsDisp());
  EXPECT_FALSE(s.Parts()[0]->Texts()[0]->IsDisp());
}

TEST(SheetTextTest, LinesWithoutAFittingItemAreIgnored) {
  CSheet s(kSheetScratch);
  ReadText(s,
           "Name \"n\" 0 0 70 8\n"  // nothing before it
           "No \"1\" 0 0 70 8\n"
           "Font \"Arial\" 0 0 0 0 0 0 0 0 0 0\n"
           "NetIndex \"x\" 0 0 70 8\n"
           "Line 0 0 100 0 8 0 0 0\n"
           "NetIndex \"x\" 0 0 70 8\n"  // the line has no name
           "Junc 0 0\n"
           "Name \"n\" 0 0 70 8\n"  // the last item is a junction
           "Ref \"R1\" 0 0 70 8\n"  // outside a part
           "PartEnd\n");            // outside a part
  EXPECT_EQ(s.GetItemCount(), 2);
  EXPECT_TRUE(s.Wires()[0]->GetName().empty());
  EXPECT_TRUE(s.Wires()[0]->GetCrossNameText().IsEmpty());
}

TEST(SheetTextTest, PartsCloseAtTheNextPartOrTheEnd) {
  CSheet s(kSheetScratch);
  ReadText(s,
           "Part 0 0 0 0 0 0 0 0 0 0\n"
           "Line 0 0 100 100 8 1 0 0\n"
           "Part 500 500 0 0 0 0 0 0 0 0\n"
           "Line 500 500 600 700 8 1 0 0\n");
  ASSERT_EQ(s.Parts().size(), 2u);
  EXPECT_EQ(s.Parts()[0]->Lines().size(), 1u);
  EXPECT_EQ(s.Parts()[1]->Lines().size(), 1u);
  // Each was closed: its box was computed from its line (grown by the pen).
  EXPECT_EQ(s.Parts()[0]->GetRectEnd(), CPoint(108, 108));
  EXPECT_EQ(s.Parts()[1]->GetRectStart(), CPoint(492, 492));
  EXPECT_EQ(s.Parts()[1]->GetRectEnd(), CPoint(608, 708));
}

TEST(SheetTextTest, LongLinesAreReadInBoundedPieces) {
  CSheet s(kSheetScratch);
  const std::string line(2 * kMaxTextFormLine + 10, 'x');
  ReadText(s, line + "\n");
  // Pieces of the line bound, each cut again to the plain-text bound.
  const int rest = static_cast<int>(kMaxTextFormLine - kMaxPlainText);
  const int want[] = {static_cast<int>(kMaxPlainText), rest, static_cast<int>(kMaxPlainText), rest,
                      10};
  ASSERT_EQ(s.Texts().size(), 5u);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(s.Texts()[i]->GetLength(), want[i]);
  // Written, each is one line that reads back the same.
  const std::string text = WriteText(s);
  CSheet back(kSheetScratch);
  ReadText(back, text);
  EXPECT_EQ(WriteText(back), text);
  // A double-byte character is never cut in two.
  CSheet wide(kSheetScratch);
  ReadText(wide, "x" + std::string(kMaxPlainText, '\x82'));
  ASSERT_GE(wide.Texts().size(), 2u);
  EXPECT_EQ(wide.Texts()[0]->GetLength(), static_cast<int>(kMaxPlainText) - 1);
}

TEST(SheetTextTest, NamesWithQuotesAndJapaneseRoundTrip) {
  const std::string names[] = {"a\"b", "\"", "\"\"x\"", J("抵抗\"値\""), "&TITLE&", "  "};
  for (const std::string& name : names) {
    CSheet s(kSheetScratch);
    s.NewText(name, {10, 20}, 70, kOrgBottomLeft);
    CSheet back(kSheetScratch);
    ReadText(back, WriteText(s));
    ASSERT_EQ(back.Texts().size(), 1u) << name;
    EXPECT_EQ(back.Texts()[0]->GetName(), name);
    EXPECT_EQ(back.Texts()[0]->GetPoint(), CPoint(10, 20));
  }
}

}  // namespace
}  // namespace tavro
