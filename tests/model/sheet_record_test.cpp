// The sheet body record: round trips, the version differences of older
// files, and damaged bodies.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/file/archive.h"
#include "core/model/sheet.h"
#include "model/fixed_font_engine.h"

namespace tavro {
namespace {

class SheetRecordTest : public ::testing::Test {
 protected:
  test::FixedFontEngine engine_;
};

LogFont Arial() {
  LogFont f;
  f.SetFaceName("Arial");
  f.weight = 700;
  return f;
}

// A sheet holding every kind of item, with names, arrows, fonts and a part
// with all of its children.
CSheet FullSheet() {
  CSheet s(kSheetMain);
  s.NewWire({0, 0}, {1000, 0}).SetName("DATA", {100, 10}, kOrgBottomLeft);
  CLine& bus = s.NewBus({0, 500}, {1000, 500});
  bus.SetWidth(24);  // as read back from the default settings
  bus.SetName("D[0..7]", {100, 510}, kOrgBottomLeft);
  s.NewLine({0, 1000}, {500, 1500}).SetArrow(100, 250);
  s.NewJunc({500, 0});
  CPin& pin = s.NewPin({2000, 0}, {2300, 0}, uint32_t{kPinInput} | kPinClock);
  pin.SetName("CLK", {1900, 0}, kOrgMiddleRight | kTextOwnFont);
  pin.NameText().SetFont(Arial());
  pin.SetNo("5", {2050, 0}, kOrgBottomLeft);
  CText& note = s.NewText("note", {0, 2000}, 80, kOrgBottomLeft | kTextOwnFont);
  note.SetFont(Arial());
  s.NewText("plain\\nsecond line", {0, 2500}, 70, kOrgTopLeft | kFrameBox);
  s.NewArc({3000, 3000}, 200, 0, 270, 0, 8).SetArrow(100, 0);

  CPart& part = s.NewPart({4000, 0}, {0, 0}, {0, 0}, 2, 1, 0x01, 0x20);
  part.SetPartName("LM358", {4000, 400}, kOrgBottomLeft);
  part.SetRefName("U1A", {4000, 300}, kOrgBottomLeft);
  part.SetValue("dual", {4000, 200}, kOrgBottomLeft);
  CPin& in = part.NewPin({4000, 0}, {3700, 0}, uint32_t{kPinInput} | kPinDot);
  in.SetName("IN+", {3980, 0}, kOrgMiddleRight);
  in.SetNo("3", {3950, 0}, kOrgBottomRight);
  part.NewLine({4000, -200}, {4000, 200}).SetArrow(0, 100);
  part.NewArc({4100, 0}, 80, 0, 180, 0).SetArrow(100, 0);
  part.NewText("&MPN&MPN&LM358DR", {4000, -300}, 60, kOrgBottomLeft);
  CText& frame = part.NewText("", {0, 0}, 60, kOrgBottomLeft | kFrameBox);
  frame.SetProperty("FRAME", "MPN");
  part.CalcBoundRect();
  return s;
}

std::string Body(const CSheet& s) {
  CArchive ar;
  s.DataWrite(ar);
  return ar.TakeBuffer();
}

// Reads a body into `s` and checks that all of it was used.
void Read(CSheet& s, std::string_view bytes) {
  CArchive in(bytes);
  s.DataRead(in);
  EXPECT_TRUE(in.AtEnd()) << in.Remaining() << " bytes left";
}

TEST_F(SheetRecordTest, RoundTripOfEveryItemKind) {
  CSheet s = FullSheet();
  const std::string bytes = Body(s);
  CSheet r(kSheetMain);
  Read(r, bytes);
  EXPECT_EQ(Body(r), bytes);
  EXPECT_TRUE(r == s);
  EXPECT_EQ(r.GetItemCount(), s.GetItemCount());
  for (int kind : {kKindWire, kKindBus, kKindLine, kKindJunc, kKindPart, kKindPin, kKindText,
                   kKindArc, kKindPartPins})
    EXPECT_EQ(r.GetCount(kind), s.GetCount(kind)) << kind;

  EXPECT_EQ(r.Wires()[0]->GetName(), "DATA");
  EXPECT_EQ(r.Lines()[0]->GetEndArrow(), 250);
  EXPECT_EQ(r.Arcs()[0]->GetStartArrow(), 100);
  EXPECT_EQ(r.Texts()[0]->GetFont().FaceName(), "Arial");
  EXPECT_EQ(r.Pins()[0]->GetNameText().GetFont().FaceName(), "Arial");
  const CPart& part = *r.Parts()[0];
  EXPECT_EQ(part.Lines()[0]->GetEndArrow(), 100);
  EXPECT_FALSE(part.Texts()[1]->GetTextBoundingRect().IsRectEmpty());  // the frame is back
}

TEST_F(SheetRecordTest, ReadingAppendsAndCountsWhatItAdds) {
  CArchive ar;
  ar.WriteI32(kSheetScratch);
  ar.WriteI32(999);  // the stored count is not trusted
  ar.WriteU32(0);    // wires
  ar.WriteU32(1);    // buses: a wire stored here goes to the wires
  CLine({0, 0}, {100, 0}, kLineWire).DataWrite(ar, true);
  ar.WriteU32(0);  // graphic lines
  ar.WriteU32(0);  // junctions
  ar.WriteU32(0);  // pins
  ar.WriteU32(2);  // texts: an empty one is dropped
  CText().DataWrite(ar);
  CText("kept", {0, 0}, 70, kOrgBottomLeft).DataWrite(ar);
  ar.WriteU32(0);  // arcs
  ar.WriteU32(0);  // parts
  ar.WriteU32(0);  // end
  const std::string bytes = ar.TakeBuffer();

  CSheet s(kSheetMain);
  s.NewJunc({7, 7});
  s.SetCalcOpenMode(0);
  Read(s, bytes);
  EXPECT_EQ(s.Wires().size(), 1u);
  EXPECT_TRUE(s.Buses().empty());
  ASSERT_EQ(s.Texts().size(), 1u);
  EXPECT_EQ(s.Texts()[0]->GetName(), "kept");
  EXPECT_EQ(s.GetItemCount(), 3);
  EXPECT_EQ(s.GetSheetType(), kSheetScratch);  // as stored; the document sets the role
  EXPECT_EQ(s.GetCalcOpenMode(), 1);           // a wire came into the main sheet
}

// A body in the form of version v, built field by field: a graphic line, a
// text with its own font, an arc, and a part holding a graphic line.
std::string OldBody(int v) {
  CArchive ar;
  ar.WriteI32(kSheetMain);
  ar.WriteI32(4);
  ar.WriteU32(0);  // wires
  ar.WriteU32(0);  // buses
  ar.WriteU32(1);  // graphic lines
  ar.WriteU32(kLineGraphic);
  ar.WritePoint({0, 0});
  ar.WritePoint({100, 0});
  if (v >= 6) ar.WriteU32(0);       // text mask
  if (v >= 7) ar.WriteU16(0x0A19);  // arrows: start 100, end 250
  ar.WriteU32(0);                   // junctions
  ar.WriteU32(0);                   // pins
  ar.WriteU32(1);                   // texts
  CText t("font", {0, 0}, 70, kOrgBottomLeft | kTextOwnFont);
  t.SetFont(Arial());
  if (v >= 6) {
    t.DataWrite(ar);
  } else {  // the own-font bit without a font record
    ar.WriteString("font");
    ar.WritePoint({0, 0});
    ar.WriteI32(70);
    ar.WriteU32(kOrgBottomLeft | kTextOwnFont);
    ar.WriteRect({});
  }
  ar.WriteU32(1);  // arcs
  ar.WritePoint({500, 500});
  ar.WriteI32(100);
  ar.WriteI32(0);
  ar.WriteI32(90);
  ar.WriteU32(0);
  if (v >= 8) ar.WriteU16(0x0A00);             // start arrow 100
  ar.WriteU32(1);                              // parts
  for (int i = 0; i < 6; ++i) ar.WriteI32(0);  // origin and box
  for (int i = 0; i < 4; ++i) ar.WriteU32(0);  // package, angle, attr
  ar.WriteU32(0);                              // no attribute texts
  ar.WriteU32(0);                              // pins
  ar.WriteU32(1);                              // lines
  ar.WriteU32(kLineGraphic);
  ar.WritePoint({0, 0});
  ar.WritePoint({0, 100});
  if (v >= 8) {  // older parts hold their lines in the oldest form
    ar.WriteU32(0);
    ar.WriteU16(0x0A19);
  }
  ar.WriteU32(0);              // arcs
  ar.WriteU32(0);              // texts
  if (v >= 8) ar.WriteU32(0);  // end
  return ar.TakeBuffer();
}

TEST_F(SheetRecordTest, OlderVersions) {
  struct Case {
    int version;
    int lineEndArrow;
    const char* face;
    int arcStartArrow;
    int partLineEndArrow;
  };
  const Case cases[] = {
      {5, 0, "", 0, 0},
      {6, 0, "Arial", 0, 0},
      {7, 250, "Arial", 0, 0},
      {8, 250, "Arial", 100, 250},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.version);
    CSheet s(kSheetMain);
    s.SetVersion(c.version);
    Read(s, OldBody(c.version));
    ASSERT_EQ(s.GetItemCount(), 4);
    EXPECT_EQ(s.Lines()[0]->GetEndArrow(), c.lineEndArrow);
    EXPECT_TRUE(s.Texts()[0]->HasOwnFont());
    EXPECT_EQ(s.Texts()[0]->GetFont().FaceName(), c.face);
    EXPECT_EQ(s.Arcs()[0]->GetStartArrow(), c.arcStartArrow);
    EXPECT_EQ(s.Parts()[0]->Lines()[0]->GetEndArrow(), c.partLineEndArrow);
    // The part's box is recomputed from its children.
    EXPECT_EQ(s.Parts()[0]->GetRectEnd().y, s.Parts()[0]->Lines()[0]->GetBoundingRect().bottom);
  }
}

TEST_F(SheetRecordTest, DamagedBodiesLeaveTheSheetAsItWas) {
  const std::string bytes = Body(FullSheet());
  for (size_t n = 0; n < bytes.size(); ++n) {
    CSheet s(kSheetMain);
    int calls = 0;
    s.SetCrossNameNotify([&](const CLine&, bool) { ++calls; });
    s.NewText("before", {0, 0}, 70, kOrgBottomLeft);
    CArchive in(std::string_view(bytes).substr(0, n));
    ASSERT_THROW(s.DataRead(in), ArchiveError) << "truncated at " << n;
    EXPECT_EQ(s.GetItemCount(), 1);
    EXPECT_EQ(s.Texts().size(), 1u);
    EXPECT_TRUE(s.Wires().empty() && s.Parts().empty());
    EXPECT_EQ(s.GetCalcOpenMode(), 0);
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(s.GetSheetType(), kSheetMain);
  }
}

TEST_F(SheetRecordTest, CountsLargerThanTheDataAreRefused) {
  struct Case {
    const char* what;
    int section;  // index of the section whose count is too large (0 wires .. 7 parts)
    uint32_t count;
  };
  const Case cases[] = {
      {"wires", 0, 0xFFFFFFFFu},
      {"buses", 1, 1000000},
      {"junctions", 3, 0x10000000},
      {"pins", 4, 5},
      {"texts", 5, 3},
      {"arcs", 6, 0x80000000u},
      {"parts", 7, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    CArchive ar;
    ar.WriteI32(0);
    ar.WriteI32(0);
    for (int i = 0; i < 8; ++i) ar.WriteU32(i == c.section ? c.count : 0);
    ar.WriteU32(0);
    const std::string bytes = ar.TakeBuffer();
    CSheet s(kSheetMain);
    CArchive in(bytes);
    try {
      s.DataRead(in);
      FAIL() << "no error";
    } catch (const ArchiveError& e) {
      EXPECT_NE(std::string(e.what()).find(c.what), std::string::npos) << e.what();
    }
    EXPECT_EQ(s.GetItemCount(), 0);
  }

  // A count inside a part is checked as well.
  CSheet one(kSheetScratch);
  CPart& p = one.NewPart({0, 0}, {0, 0}, {0, 0}, 1, 0, 0, 0);
  p.NewText("x", {0, 0}, 70, kOrgBottomLeft);
  std::string bytes = Body(one);
  // The part's text count sits before its one text record (1 + 8 + 4 + 4 + 16
  // bytes + "x") and the end field.
  const size_t at = bytes.size() - 4 - 34 - 4;
  bytes[at] = '\xff';
  bytes[at + 1] = '\xff';
  CSheet s(kSheetScratch);
  CArchive in(bytes);
  EXPECT_THROW(s.DataRead(in), ArchiveError);
  EXPECT_EQ(s.GetItemCount(), 0);
}

}  // namespace
}  // namespace tavro
