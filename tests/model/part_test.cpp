#include "core/model/part.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "core/file/archive.h"
#include "model/fixed_font_engine.h"

namespace tavro {
namespace {

class PartTest : public ::testing::Test {
 protected:
  test::FixedFontEngine engine_;
};

CPart WithRef(const std::string& ref, unsigned packageMax = 1) {
  CPart p({0, 0}, {0, 0}, {0, 0}, packageMax, 0, 0, 0);
  p.SetRefName(ref, {0, 0}, kOrgBottomLeft);
  return p;
}

void AddProperty(CPart& p, const std::string& name, const std::string& value) {
  CText& t = p.NewText("", {0, 0}, 70, kOrgBottomLeft);
  t.SetProperty(name, value);
}

std::string Record(const CPart& p) {
  CArchive ar;
  p.DataWrite(ar);
  return ar.TakeBuffer();
}

// --- references --------------------------------------------------------------

TEST_F(PartTest, ReferenceSplitting) {
  struct Case {
    std::string ref;
    bool ok;
    std::string prefix, suffix;
    int number;
    int refNo;
    bool decided;
    std::string upToNumber;
  };
  const Case cases[] = {
      {"R12A", true, "R", "A", 12, 12, true, "R12"},
      {"U1B2", true, "U1B", "", 2, 2, true, "U1B2"},
      {"IC1-2", true, "IC1-", "", 2, 2, true, "IC1-2"},
      {"R?", true, "R", "", 0, -1, false, "R?"},
      {"R?A", true, "R", "A", 0, -1, false, "R?A"},
      {"U1?B", true, "U1", "B", 0, -1, false, "U1"},
      {"12", true, "", "", 12, 12, false, "12"},
      {"ABC", true, "ABC", "", 0, 0, false, "ABC"},
      {"", false, "", "", 0, -1, false, ""},
      // A number too large for an int saturates instead of overflowing.
      {"R99999999999", true, "R", "", INT_MAX, INT_MAX, true, "R99999999999"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.ref);
    const CPart p = WithRef(c.ref);
    std::string prefix = "x", suffix = "x";
    int number = -7;
    EXPECT_EQ(p.GetRefName(prefix, suffix, number), c.ok);
    EXPECT_EQ(prefix, c.prefix);
    EXPECT_EQ(suffix, c.suffix);
    EXPECT_EQ(number, c.number);
    EXPECT_EQ(p.GetRefNo(), c.refNo);
    EXPECT_EQ(p.RefCheck(), c.decided);
    EXPECT_EQ(p.GetRefNameA(), c.upToNumber);
  }
}

TEST_F(PartTest, SetRefNo) {
  struct Case {
    std::string ref;
    int no, force;
    unsigned packageMax;
    const char* refForm;  // nullptr: no "REFFORM" property
    std::string expected;
  };
  const Case cases[] = {
      {"R?", 5, 0, 1, nullptr, "R5"},
      {"R3", 5, 0, 1, nullptr, "R3"},
      {"R3", 5, 1, 1, nullptr, "R5"},
      {"R3", 0, 0, 1, nullptr, "R?"},
      {"R3A", 0, 0, 1, nullptr, "R?A"},
      {"R?A", 7, 0, 1, nullptr, "R7A"},
      {"12", 5, 1, 1, nullptr, "5"},
      {"ABC", 0, 0, 1, nullptr, "ABC?"},
      {"", 5, 1, 1, nullptr, ""},
      // The part's own format applies to single-gate parts only.
      {"R1", 7, 1, 1, "%03d", "R007"},
      {"R1", 7, 1, 0, "%03d", "R007"},
      {"R1", 7, 1, 4, "%03d", "R7"},
      {"R?", 7, 0, 1, "", "R7"},
      {"R1", 7, 1, 1, "%3d", "R  7"},
      {"R1", 7, 1, 1, "-%ld-", "R-7-"},
      {"R1", 7, 1, 1, "%%%d", "R%7"},
      {"R1", 7, 1, 1, "%-3i|", "R7  |"},
      {"R1", 10, 1, 1, "%x", "Ra"},
      // Anything but one integer conversion falls back to "%d".
      {"R1", 7, 1, 1, "%s%s%n", "R7"},
      {"R1", 7, 1, 1, "%n", "R7"},
      {"R1", 7, 1, 1, "%d%d", "R7"},
      {"R1", 7, 1, 1, "%*d", "R7"},
      {"R1", 7, 1, 1, "%999999999d", "R7"},
      {"R1", 7, 1, 1, "%.999d", "R7"},
      {"R1", 7, 1, 1, "abc", "R7"},
      {"R1", 7, 1, 1, "%", "R7"},
      {"R1", 7, 1, 1, "%lf", "R7"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.ref + " " + std::to_string(c.no) + " " + (c.refForm ? c.refForm : "-"));
    CPart p = WithRef(c.ref, c.packageMax);
    if (c.refForm) AddProperty(p, "REFFORM", c.refForm);
    p.SetRefNo(c.no, c.force);
    EXPECT_EQ(p.GetRefName(), c.expected);
  }
}

TEST_F(PartTest, IncRefName) {
  struct Case {
    std::string ref;
    int step;
    std::string expected;
  };
  const Case cases[] = {
      {"R3", -5, "R?"},
      {"R3", -3, "R?"},
      {"R1", -1, "R?"},  // below 1: undecided
      {"R3", 2, "R5"},
      {"R?", 1, "R1"},
      {"R?", -1, "R?"},
      {"U2A", 1, "U3A"},
      {"R2147483647", 5, "R2147483647"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.ref);
    CPart p = WithRef(c.ref);
    p.IncRefName(c.step);
    EXPECT_EQ(p.GetRefName(), c.expected);
  }
}

TEST_F(PartTest, CompareRef) {
  struct Case {
    std::string a, b;
    int sign;
  };
  const Case cases[] = {
      {"R2", "R10", -1}, {"R10", "R2", 1}, {"r5", "R5", 0},  {"R1A", "R1B", -1},
      {"u1a", "U1A", 0}, {"C9", "R1", -1}, {"R?", "R1", -1}, {"R2147483647", "R1", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.a + " vs " + c.b);
    const int r = WithRef(c.a).CompareRef(WithRef(c.b));
    EXPECT_EQ((r > 0) - (r < 0), c.sign);
  }
}

// --- properties --------------------------------------------------------------

TEST_F(PartTest, Properties) {
  CPart p;
  AddProperty(p, "VALUE", "10k");
  AddProperty(p, "MPN", "");
  AddProperty(p, "Vendor", "Acme");
  AddProperty(p, "FLAG", "1");
  AddProperty(p, "ZERO", "0");
  AddProperty(p, "VALUE", "second");  // the first one wins
  p.NewText("plain label", {0, 0}, 70, kOrgBottomLeft);

  EXPECT_EQ(p.GetProperty("value"), "10k");
  EXPECT_EQ(p.GetProperty("Missing"), "");
  EXPECT_EQ(p.GetProperty(""), "");

  EXPECT_EQ(p.GetPropertyCSV("MPN, Vendor"), "Acme");
  EXPECT_EQ(p.GetPropertyCSV("Missing,VALUE"), "10k");
  EXPECT_EQ(p.GetPropertyCSV("VALUE , Vendor"), "10k");
  EXPECT_EQ(p.GetPropertyCSV("Missing,MPN"), "");
  EXPECT_EQ(p.GetPropertyCSV("Vendor"), "Acme");

  EXPECT_TRUE(p.IsProperty("FLAG"));
  EXPECT_TRUE(p.IsProperty("value"));  // "10k" reads as 10
  EXPECT_FALSE(p.IsProperty("ZERO"));
  EXPECT_FALSE(p.IsProperty("MPN"));
  EXPECT_FALSE(p.IsProperty("Missing"));
}

TEST_F(PartTest, DeleteProperty) {
  CPart p;
  AddProperty(p, "NOTE", "hidden");
  p.NewText("&Note&Note&shown", {0, 0}, 70, kOrgBottomLeft);  // display property
  AddProperty(p, "note", "again");
  p.NewText("label", {0, 0}, 70, kOrgBottomLeft);

  p.DeleteProperty("Note");  // the non-display ones
  ASSERT_EQ(p.Texts().size(), 2u);
  EXPECT_EQ(p.Texts()[0]->GetName(), "&Note&Note&shown");

  p.DeleteProperty("[NOTE]");  // the display one
  ASSERT_EQ(p.Texts().size(), 1u);
  EXPECT_EQ(p.Texts()[0]->GetName(), "label");
}

TEST_F(PartTest, FindStringAndDeleteText) {
  CPart p;
  p.NewText("{TAVRO:DOCNAME}sheet1 [1]", {0, 0}, 70, kOrgBottomLeft);
  p.NewText("{TAVRO:SIZE}01200,00800", {0, 0}, 70, kOrgBottomLeft);
  EXPECT_EQ(p.FindString("{TAVRO:SIZE}"), "01200,00800");
  EXPECT_EQ(p.FindString("{TAVRO:DOCNAME}"), "sheet1 [1]");
  EXPECT_EQ(p.FindString("{TAVRO:NONE}"), "");
  p.DeleteText("{TAVRO:");
  EXPECT_TRUE(p.Texts().empty());
}

TEST_F(PartTest, HitProperty) {
  CPart p;
  // Shown value "abcd": 4 * 100 / 2 wide and 100 tall above (1000, 1000).
  const CText& shown = p.NewText("&V&V&abcd", {1000, 1000}, 100, kOrgBottomLeft);
  AddProperty(p, "HIDDEN", "x");
  EXPECT_EQ(p.HitProperty({1100, 1050}), &shown);
  EXPECT_EQ(p.HitProperty({1300, 1050}), nullptr);
}

// --- display and boxes -------------------------------------------------------

TEST_F(PartTest, SetDispShowsSomethingAlways) {
  // Hidden pins and hidden texts only: the part name comes back.
  CPart bare;
  bare.SetPartName("RES", {0, 0}, kOrgBottomLeft);
  bare.SetRefName("R1", {0, 100}, kOrgBottomLeft);
  bare.NewPin({0, 0}, {300, 0}, kPinHidden);
  bare.SetDisp(0, 0, 0);
  EXPECT_TRUE(bare.GetPartNameText().IsDisp());
  EXPECT_FALSE(bare.GetRefNameText().IsDisp());
  EXPECT_FALSE(bare.GetValNameText().GetAttr() & kTextHidden);  // empty: always shown
  EXPECT_FALSE(CRect(bare.GetRectStart(), bare.GetRectEnd()).IsRectEmpty());

  // A part with graphics keeps its part name hidden; 2 keeps a state.
  CPart drawn = bare;
  drawn.NewLine({0, 0}, {100, 0});
  drawn.SetDisp(0, 1, 2);
  EXPECT_FALSE(drawn.GetPartNameText().IsDisp());
  EXPECT_TRUE(drawn.GetRefNameText().IsDisp());
}

TEST_F(PartTest, FramePropertyBox) {
  CPart p;
  // "hello" is 250 x 100 at (0, 0); "xy" is 100 x 100 at (1000, 0).
  p.NewText("&A&A&hello", {0, 0}, 100, kOrgBottomLeft);
  p.NewText("&B&B&xy", {1000, 0}, 100, kOrgBottomLeft);
  p.NewText("&C&C&far", {5000, 5000}, 100, kOrgBottomLeft | kTextHidden);  // not listed
  CText& frame = p.NewText("", {0, 0}, 100, kOrgBottomLeft | kFrameBox);
  frame.SetProperty("FRAME1", "a, B,,");
  p.CalcBoundRect();

  EXPECT_EQ(frame.GetTextBoundingRect(), CRect(0, 0, 1100, 100));
  // The box frame: 8 and 2 of margin, and 50 more at both ends.
  EXPECT_EQ(frame.GetFrameBoundingRect(), CRect(-58, -2, 1158, 102));
  EXPECT_EQ(p.GetRectStart(), CPoint(-58, -2));
  EXPECT_EQ(p.GetRectEnd(), CPoint(5150, 5100));

  // Recomputing the texts keeps the frame around its properties.
  p.Offset({10, 10});
  p.CalcBoundRect(true);
  EXPECT_EQ(frame.GetTextBoundingRect(), CRect(10, 10, 1110, 110));
}

TEST_F(PartTest, BoundingRectFallbacks) {
  CPart p;
  p.SetPartName("NAME", {0, 0}, kOrgBottomLeft | kTextHidden);
  // No cached box and no displayed text: the part name is shown.
  const CRect r = p.GetBoundingRect();
  EXPECT_TRUE(p.GetPartNameText().IsDisp());
  EXPECT_EQ(r, p.GetPartNameText().GetBoundingRect());
  EXPECT_FALSE(r.IsRectEmpty());

  // The simple box prefers graphics and pins over texts.
  p.NewLine({0, 0}, {200, 100});
  EXPECT_EQ(p.GetSimpleBoundingRect(), p.Lines()[0]->GetBoundingRect());
  EXPECT_EQ(p.GetCenter(), p.Lines()[0]->GetBoundingRect().CenterPoint());
}

// --- pins --------------------------------------------------------------------

TEST_F(PartTest, SortPinAndSortPinNo) {
  CPart p;
  auto pin = [&](CPoint s, CPoint e, const char* no, uint32_t elect = 0) {
    CPin& x = p.NewPin(s, e, elect);
    x.SetNo(no, s, kOrgBottomLeft);
  };
  pin({0, 0}, {300, 0}, "10");      // 0x000
  pin({0, 0}, {0, 300}, "2");       // 0x100
  pin({0, 500}, {-300, 500}, "B");  // 0x200, hidden
  pin({0, 0}, {0, -300}, "1", 0);   // 0x300
  pin({0, 100}, {-300, 100}, "A");  // 0x200
  p.Pins()[2]->ModifyElect(kPinHidden, 0);

  p.SortPin();
  std::vector<std::string> order;
  for (const auto& x : p.Pins()) order.push_back(x->GetNo());
  EXPECT_EQ(order, (std::vector<std::string>{"A", "1", "10", "2", "B"}));

  p.SortPinNo();  // pins without a number count as 0, the first of equals stays first
  order.clear();
  for (const auto& x : p.Pins()) order.push_back(x->GetNo());
  EXPECT_EQ(order, (std::vector<std::string>{"A", "B", "1", "2", "10"}));
}

TEST_F(PartTest, CompareSortsPinsAndCopiesAreDeep) {
  CPart a({0, 0}, {0, 0}, {0, 0}, 2, 1, 0, 0);
  a.SetRefName("U1A", {0, 0}, kOrgBottomLeft);
  a.NewPin({0, 0}, {300, 0}, 0).SetNo("1", {0, 0}, kOrgBottomLeft);
  a.NewPin({0, 100}, {-300, 100}, 0).SetNo("2", {0, 0}, kOrgBottomLeft);
  a.NewText("label", {0, 0}, 70, kOrgBottomLeft);
  a.CalcBoundRect();

  CPart b = a;
  std::swap(b.Pins()[0], b.Pins()[1]);
  EXPECT_TRUE(a == b);
  EXPECT_TRUE(a.Compare(b));
  EXPECT_EQ(a.Pins()[0]->GetNo(), b.Pins()[0]->GetNo());  // both sorted

  b.Pins()[0]->SetNo("9", {0, 0}, kOrgBottomLeft);
  EXPECT_EQ(a.Pins()[0]->GetNo(), "2");  // the copy owns its own pins
  EXPECT_FALSE(a.Compare(b));
  EXPECT_TRUE(a == b);  // == looks at placement and package only

  CPart c = a;
  c.Texts()[0]->SetName("other");
  EXPECT_FALSE(a.Compare(c));
  c = a;
  c.SetPackage(0);
  EXPECT_FALSE(a == c);
}

TEST_F(PartTest, Find) {
  CPart p;
  p.SetPartName("RES", {1, 1}, kOrgBottomLeft);
  p.SetRefName("R7", {2, 2}, kOrgBottomLeft);
  p.SetValue("10K", {3, 3}, kOrgBottomLeft);
  p.NewText("NOTE", {4, 4}, 70, kOrgBottomLeft);
  CPin& pin = p.NewPin({0, 0}, {300, 0}, 0);
  pin.SetName("VCC", {5, 5}, kOrgBottomLeft);
  EXPECT_EQ(p.Find("R7", true, true, false, kFindPartRef), CPoint(2, 2));
  EXPECT_EQ(p.Find("R7", true, true, false, kFindPartName), std::nullopt);
  EXPECT_EQ(p.Find("10K", true, false, false, kFindPartValue), CPoint(3, 3));
  EXPECT_EQ(p.Find("NOTE", true, true, false, kFindPartText), CPoint(4, 4));
  EXPECT_EQ(p.Find("VCC", true, true, false, kFindPinName), CPoint(5, 5));
  EXPECT_EQ(p.Find("VCC", true, true, false, kFindPinNo), std::nullopt);
}

TEST_F(PartTest, IncNameAndZoomData) {
  CPart p;
  p.SetRefName("R3", {0, 0}, kOrgBottomLeft | kTextSelected);
  p.SetValue("C1", {0, 200}, kOrgBottomLeft);  // not selected
  CPin& pin = p.NewPin({0, 0}, {300, 0}, kPinSelected);
  pin.SetName("D0", {0, 0}, kOrgBottomLeft | kTextSelected);
  EXPECT_FALSE(p.IncName(2).IsRectEmpty());
  EXPECT_EQ(p.GetRefName(), "R5");
  EXPECT_EQ(p.GetValName(), "C1");
  EXPECT_EQ(pin.GetName(), "D2");

  // Selected pins grow by the grid step up to 600 and shrink down to 20.
  p.ZoomData(1, 200);
  EXPECT_EQ(pin.GetLen(), 500);
  p.ZoomData(1, 200);
  EXPECT_EQ(pin.GetLen(), 600);
  p.ZoomData(1, 200);
  EXPECT_EQ(pin.GetLen(), 600);
  p.ZoomData(0, 500);
  EXPECT_EQ(pin.GetLen(), 100);
  p.ZoomData(0, 90);
  EXPECT_EQ(pin.GetLen(), 20);
  EXPECT_EQ(p.GetRefNameText().GetSize(), 65 + 3 * 5 - 2 * 5);
}

// --- geometry ----------------------------------------------------------------

TEST_F(PartTest, TransformsReturnHome) {
  CPart p({100, 100}, {0, 0}, {0, 0}, 1, 0, 0, 0);
  p.SetRefName("R1", {100, 300}, kOrgBottomLeft);
  p.NewLine({0, 0}, {200, 100});
  p.NewPin({200, 100}, {500, 100}, 0);
  p.NewArc({100, 100}, 50, 0, 90, 0);
  p.CalcBoundRect();
  CPart before = p;

  for (int i = 0; i < 4; ++i) p.Rotate({50, 70}, 1);
  EXPECT_TRUE(p.Compare(before));
  EXPECT_EQ(p.GetAngle(), 0u);

  p.Rotate({50, 70}, 1);
  EXPECT_EQ(p.GetAngle(), 0x100u);
  EXPECT_EQ(p.GetOrg(), CPoint(20, 120));
  p.Rotate(0);  // about the origin
  EXPECT_EQ(p.GetAngle(), 0u);

  CPart m = before;
  m.MirrorX({0, 0});
  EXPECT_EQ(m.GetAngle(), kPartMirrorX);
  m.MirrorX({0, 0});
  m.MirrorY({0, 0});
  m.MirrorY({0, 0});
  EXPECT_EQ(m.GetAngle(), 0u);
  EXPECT_TRUE(m.Compare(before));

  CPart o = before;
  o.Offset({10, -20});
  EXPECT_EQ(o.GetOrg(), CPoint(110, 80));
  EXPECT_EQ(o.GetRectStart(), before.GetRectStart() + CPoint(10, -20));
  EXPECT_EQ(o.Pins()[0]->GetPoint(), CPoint(210, 80));
  EXPECT_EQ(o.GetRefNameText().GetPoint(), CPoint(110, 280));
}

// --- record ------------------------------------------------------------------

CPart RichPart() {
  CPart p({100, 100}, {0, 0}, {0, 0}, 2, 1, 0x11, 0x20);
  p.SetPartName("OPAMP", {0, 400}, kOrgBottomLeft);
  p.SetRefName("U1A", {0, 300}, kOrgBottomLeft);
  p.SetValue("LM358", {0, 200}, kOrgBottomLeft);
  CPin& pin = p.NewPin({0, 0}, {-300, 0}, uint32_t{kPinInput} | kPinDot);
  pin.SetName("IN+", {0, 0}, kOrgBottomLeft);
  pin.SetNo("3", {0, 0}, kOrgBottomLeft);
  CLine& l = p.NewLine({0, -200}, {0, 200});
  l.SetArrow(100, 250);
  p.NewArc({100, 0}, 80, 0, 180, 0).SetArrow(100, 0);
  AddProperty(p, "REFFORM", "%02d");
  p.NewText("label", {50, 50}, 70, kOrgBottomLeft);
  p.CalcBoundRect();
  return p;
}

TEST_F(PartTest, RecordRoundTrip) {
  CPart p = RichPart();
  const std::string bytes = Record(p);
  CArchive in(bytes);
  CPart q;
  q.DataRead(in, true, 8);
  EXPECT_TRUE(in.AtEnd());
  EXPECT_EQ(Record(q), bytes);
  EXPECT_TRUE(q.Compare(p));
  EXPECT_EQ(q.Lines()[0]->GetEndArrow(), 250);
  EXPECT_EQ(q.Arcs()[0]->GetStartArrow(), 100);
  EXPECT_EQ(q.GetAngle(), 0x11u);
  EXPECT_EQ(q.GetAttr(), 0x20u);
}

TEST_F(PartTest, ReadingDropsWorkTextsAndCanSkipChildren) {
  CPart p = RichPart();
  p.NewText("{TAVRO:DOCNAME}sheet [1]", {0, 0}, 70, kOrgBottomLeft);
  const std::string first = Record(p);
  const std::string second = Record(WithRef("R9"));
  const std::string bytes = first + second;

  CArchive in(bytes);
  CPart loaded;
  loaded.DataRead(in, true, 8);
  ASSERT_EQ(loaded.Texts().size(), 2u);  // REFFORM and the label
  for (const auto& t : loaded.Texts()) EXPECT_EQ(t->GetName().find("{TAVRO"), std::string::npos);

  // Skipping reads the whole record but keeps no children.
  CArchive again(bytes);
  CPart skipped;
  skipped.DataRead(again, false, 8);
  EXPECT_EQ(skipped.GetRefName(), "U1A");
  EXPECT_TRUE(skipped.Pins().empty() && skipped.Lines().empty() && skipped.Arcs().empty() &&
              skipped.Texts().empty());
  CPart next;
  next.DataRead(again, true, 8);
  EXPECT_EQ(next.GetRefName(), "R9");
  EXPECT_TRUE(again.AtEnd());
}

TEST_F(PartTest, OwnFontPinTextKeepsTheRecordReadable) {
  // Pin records inside a part are read without font records.
  CPart p = RichPart();
  p.Pins()[0]->NameText().ModifyAngle(kTextOwnFont, 0);
  const std::string bytes = Record(p) + Record(WithRef("R9"));
  CArchive in(bytes);
  CPart a, b;
  a.DataRead(in, true, 8);
  b.DataRead(in, true, 8);
  EXPECT_EQ(a.Pins()[0]->GetName(), "IN+");
  EXPECT_EQ(b.GetRefName(), "R9");
  EXPECT_TRUE(in.AtEnd());
}

TEST_F(PartTest, DamagedRecordsThrowAndLeaveThePartAlone) {
  const std::string bytes = Record(RichPart());
  for (size_t n = 0; n < bytes.size(); ++n) {
    CPart p = WithRef("R1");
    CArchive in(std::string_view(bytes).substr(0, n));
    EXPECT_THROW(p.DataRead(in, true, 8), ArchiveError) << "truncated at " << n;
    EXPECT_EQ(p.GetRefName(), "R1");
    EXPECT_TRUE(p.Pins().empty());
  }

  // A pin count far beyond the data is refused before anything is read.
  CArchive ar;
  for (int i = 0; i < 11; ++i) ar.WriteU32(0);  // points, words and text mask
  ar.WriteU32(0x7FFFFFFF);
  const std::string hostile = ar.TakeBuffer();
  CArchive in(hostile);
  CPart p;
  try {
    p.DataRead(in, true, 8);
    FAIL() << "no error";
  } catch (const ArchiveError& e) {
    EXPECT_NE(std::string(e.what()).find("pins"), std::string::npos) << e.what();
  }
}

}  // namespace
}  // namespace tavro
