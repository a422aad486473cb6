// Find in the editor's window: find next walks the open sheets, moves to
// each match and selects it, says when nothing is left and starts again;
// with "SelectItem" every match is selected at once.
#include <gtest/gtest.h>

#include "app/find.h"
#include "app/gui/editor_document.h"
#include "app/gui/main_window.h"
#include "app/gui/sheet_view.h"

namespace tavro::gui {
namespace {

const QString kDemo = QStringLiteral(TAVRO_SOURCE_DIR "/examples/demo/demo.tpj");

TEST(FindWindowTest, FindNextWalksTheOpenSheetsAndWraps) {
  MainWindow w;
  w.resize(1000, 700);
  w.show();
  ASSERT_TRUE(w.OpenProject(kDemo));
  SheetView* amp1 = w.ActiveView();
  ASSERT_EQ(amp1->Document().DisplayName(), "amp1.tcd");
  SheetView* amp2 = w.Views()[0] == amp1 ? w.Views()[1] : w.Views()[0];

  FindOptions o;
  o.pattern = "stage1";  // the wire name STAGE1: once on amp1, twice on amp2
  o.target = kFindWire;
  o.allSheets = true;
  const SheetView* expected[] = {amp1, amp2, amp2};
  for (int press = 0; press < 3; ++press) {
    ASSERT_TRUE(w.Find(o, press == 0)) << press;
    SheetView* v = w.ActiveView();
    EXPECT_EQ(v, expected[press]) << press;
    // The wire found is the one selected, and it is in view.
    ASSERT_EQ(v->Document().Selected().Entries(kSelWires).size(), 1u) << press;
    const CLine& wire =
        *v->Document().Sheet().Wires()[v->Document().Selected().Entries(kSelWires)[0].index];
    EXPECT_EQ(wire.GetName(), "STAGE1");
    EXPECT_TRUE(v->VisibleArea().Normalized().PtInRect(wire.GetNameText().GetPoint())) << press;
  }
  EXPECT_FALSE(w.Find(o, false));
  // Then it starts again, from the sheet in front.
  ASSERT_TRUE(w.Find(o, false));
  EXPECT_EQ(w.ActiveView(), amp2);
  EXPECT_EQ(amp2->Document().Selected().Entries(kSelWires).size(), 1u);

  // Letter case counts when asked: nothing is named "stage1".
  o.matchCase = true;
  EXPECT_FALSE(w.Find(o, true));

  // Every match at once.
  o.matchCase = false;
  o.selectItems = true;
  ASSERT_TRUE(w.Find(o, true));
  EXPECT_EQ(amp1->Document().Selected().Count(), 1);
  EXPECT_EQ(amp2->Document().Selected().Count(), 2);
}

}  // namespace
}  // namespace tavro::gui
