// Drawing a circuit from an empty sheet with the mouse, as a user does:
// parts from the starter library, wires, a label and numbering by clicks,
// then the saved sheet's netlist.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <cstdlib>

#include "app/doc_save.h"
#include "app/gui/editor_document.h"
#include "app/gui/input_actions.h"
#include "app/gui/main_window.h"
#include "app/gui/sheet_view.h"
#include "app/gui/view_mode_adapter.h"
#include "core/platform/settings.h"
#include "support/test_util.h"

namespace tavro::gui {
namespace {

void Send(SheetView& v, QEvent::Type type, CPoint at, Qt::MouseButton button,
          Qt::KeyboardModifiers mods = Qt::NoModifier) {
  QWidget* vp = v.viewport();
  const QPointF p = v.Transform().Map(at.x, at.y);
  const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : button;
  QMouseEvent e(type, p, vp->mapToGlobal(p), button, held, mods);
  QApplication::sendEvent(vp, &e);
}

void Click(SheetView& v, CPoint at, Qt::MouseButton button = Qt::LeftButton,
           Qt::KeyboardModifiers mods = Qt::NoModifier) {
  Send(v, QEvent::MouseMove, at, Qt::NoButton, mods);
  Send(v, QEvent::MouseButtonPress, at, button, mods);
  Send(v, QEvent::MouseButtonRelease, at, button, mods);
}

void Key(SheetView& v, int key) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
  QApplication::sendEvent(&v, &press);
}

// A polyline of wire ended by a right click.
void Wire(SheetView& v, std::initializer_list<CPoint> points) {
  for (CPoint p : points) Click(v, p);
  Click(v, *(points.end() - 1), Qt::RightButton);
}

TEST(DrawingTest, ACircuitFromAnEmptySheetGivesTheNetsDrawn) {
  test::TempDir dir;
  MainWindow w;
  w.resize(1400, 900);
  w.show();
  SheetView* v = w.NewSheet();
  ASSERT_NE(v, nullptr);
  v->ZoomTo(CRect(1000, 700, 4000, 2900));
  QApplication::processEvents();

  // Parts from the starter library: a divider R1-R2 between a VCC and a GND
  // symbol, and R3 across the two rails.
  std::string package;
  v->Dialogs().choosePackage = [&] { return FindListedPackage(package); };
  w.Input().Action(InputActions::kPart)->trigger();
  ASSERT_NE(v->Mode(), nullptr);
  EXPECT_TRUE(w.Input().Action(InputActions::kPart)->isChecked());
  package = "R";
  Click(*v, {2000, 2000});  // takes the package
  Click(*v, {2000, 2000});  // places it, and the next one follows the pointer
  Click(*v, {3000, 2000});
  Click(*v, {2500, 1200});
  Key(*v, Qt::Key_Escape);
  package = "VCC";
  Click(*v, {1500, 2500});
  Click(*v, {1500, 2500});
  Key(*v, Qt::Key_Escape);
  package = "GND";
  Click(*v, {3500, 1000});
  Click(*v, {3500, 1000});
  Key(*v, Qt::Key_Escape);
  ASSERT_EQ(v->Document().Sheet().Parts().size(), 5u);

  // The wires; a dot where three meet: where the second wire leaves the
  // first one's corner, and where R2's wire ends on R3's corner.
  w.Input().Action(InputActions::kWire)->trigger();
  Wire(*v, {{1500, 2500}, {1500, 2000}, {1800, 2000}});
  Wire(*v, {{1500, 2000}, {1500, 1200}, {2300, 1200}});
  Wire(*v, {{2200, 2000}, {2800, 2000}});
  Wire(*v, {{3200, 2000}, {3500, 2000}, {3500, 1200}});
  Wire(*v, {{2700, 1200}, {3500, 1200}, {3500, 1000}});
  EXPECT_EQ(v->Document().Sheet().Wires().size(), 9u);
  ASSERT_EQ(v->Document().Sheet().Juncs().size(), 2u);
  EXPECT_EQ(v->Document().Sheet().Juncs()[0]->GetPoint(), (CPoint{1500, 2000}));
  EXPECT_EQ(v->Document().Sheet().Juncs()[1]->GetPoint(), (CPoint{3500, 1200}));
  Key(*v, Qt::Key_Escape);  // the mode ends
  EXPECT_EQ(v->Mode(), nullptr);
  EXPECT_TRUE(w.Input().Action(InputActions::kSelect)->isChecked());

  // The middle wire gets a name.
  v->Document().Edit([](CSheet& sheet, Selection&) {
    for (const auto& l : sheet.Wires())
      if (l->GetStartPoint() == CPoint{2200, 2000}) l->SetName("MID", {2400, 2030}, 0);
  });

  // Numbering by clicks, from the first resistor as the base (R?: 0).
  w.Input().Action(InputActions::kRefClick)->trigger();
  Click(*v, {2000, 2000}, Qt::LeftButton, Qt::ControlModifier);
  for (CPoint p : {CPoint{2000, 2000}, CPoint{3000, 2000}, CPoint{2500, 1200}}) Click(*v, p);
  const auto& parts = v->Document().Sheet().Parts();
  EXPECT_EQ(parts[0]->GetRefName(), "R1");
  EXPECT_EQ(parts[1]->GetRefName(), "R2");
  EXPECT_EQ(parts[2]->GetRefName(), "R3");
  w.Input().Action(InputActions::kSelect)->trigger();

  const std::string path = dir.file("drawn.tcd");
  ASSERT_TRUE(v->Document().SaveAs(path, SaveOptions::FromSettings(AppSettings())).ok);
  if (const char* shots = std::getenv("TAVRO_SCREENSHOT_DIR"))
    w.grab().save(QString::fromUtf8(shots) + "/drawn.png");

  const test::RunResult r =
      test::RunTavro({"netlist", "-f", "PADS-PCB", "--unix", path, "-o", "-"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const size_t nets = r.out.find("*NET*");
  ASSERT_NE(nets, std::string::npos) << r.out;
  EXPECT_EQ(r.out.substr(nets),
            "*NET*\n*SIGNAL* VCC\n R1.1 R3.1\n*SIGNAL* MID\n R1.2 R2.1\n*SIGNAL* GND\n"
            " R2.2 R3.2\n*END*\n")
      << r.out;
}

// 線の結合・角の整理 on the selected lines only: the wires on one row join,
// the corner is trimmed, a line not selected stays, and undo gives back the
// sheet.
TEST(DrawingTest, TrimmingTheSelectedLines) {
  EditorDocument d;
  ASSERT_TRUE(d.Doc()
                  .LoadText("Line 0 100 400 100 8 1 0 0\nLine 100 300 100 0 8 1 0 0\n"
                            "Line 0 0 100 0 8 0 0 0\nLine 300 0 500 0 8 0 0 0\n"
                            "Line 0 900 100 900 8 0 0 0\n",
                            "t", false)
                  .ok);
  const std::string before = d.Doc().WriteText();
  Selection sel;
  for (uint32_t i : {0u, 1u}) sel.Add(kSelWires, i);
  for (uint32_t i : {0u, 1u}) sel.Add(kSelLines, i);
  d.Select(sel);
  ASSERT_TRUE(d.TrimSelectedLines(false));
  EXPECT_EQ(d.Doc().WriteText(),
            "Line 0 900 100 900 8 0 0 0\nLine 0 0 500 0 8 0 0 0\n"
            "Line 100 100 400 100 8 1 0 0\nLine 100 300 100 100 8 1 0 0\n");
  EXPECT_EQ(d.Selected().Count(), 3);
  ASSERT_TRUE(d.Undo());
  EXPECT_EQ(d.Doc().WriteText(), before);
  // Nothing to join or trim: no change is recorded.
  Selection one;
  one.Add(kSelWires, 2);
  d.Select(one);
  EXPECT_FALSE(d.TrimSelectedLines(false));
}

}  // namespace
}  // namespace tavro::gui
