// Editing a sheet in the editor: selecting, the edit commands with undo and
// redo back to the very same bytes, the clipboard between two windows, the
// mouse, the status readouts and the links of a sheet hierarchy.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QMessageBox>
#include <QMouseEvent>
#include <functional>

#include "app/gui/edit_actions.h"
#include "app/gui/editor_document.h"
#include "app/gui/main_window.h"
#include "app/gui/readouts.h"
#include "app/gui/sheet_view.h"
#include "core/platform/codec.h"
#include "support/test_util.h"

namespace tavro::gui {
namespace {

using test::TempDir;

const std::string kAmp1 = TAVRO_SOURCE_DIR "/examples/demo/amp1.tcd";

// A resistor whose pin 1 meets a wire running left, a free text and a
// graphic line with an arrow.
const char* const kSmall =
    "Line 1000 1000 1400 1000 8 0 0 0\n"
    "Name \"SIG\" 1100 1050 70 8\n"
    "Line 2400 1000 2800 1000 8 0 0 0\n"
    "Text \"note\" 1000 2000 80 8\n"
    "Line 3000 3000 3400 3000 8 1 0 60\n"
    "Part 1500 1000 1394 950 1606 1050 0 0 0 0\n"
    "Name \"R\" 1500 1000 65 32776\n"
    "Ref \"R1\" 1400 1100 65 8\n"
    "Val \"10k\" 1400 900 65 8\n"
    "Pin 1450 1000 1400 1000 0\n"
    "No \"1\" 1400 1000 70 32778\n"
    "Pin 1550 1000 1600 1000 0\n"
    "No \"2\" 1600 1000 70 32776\n"
    "PartEnd\n";

EditorDocument SmallDoc() {
  EditorDocument d;
  EXPECT_TRUE(d.Doc().LoadText(kSmall, "small", false).ok);
  return d;
}

std::string Bytes(const EditorDocument& d) { return d.Doc().Write(false); }

struct EditCase {
  const char* name;
  std::function<void(EditorDocument&)> edit;
};

class EditUndoTest : public ::testing::TestWithParam<EditCase> {};

// Every edit changes the sheet; undo gives back the bytes of the file as
// opened, redo the bytes after the edit, and the document is clean exactly
// when it shows what was opened.
TEST_P(EditUndoTest, UndoAndRedoGiveBackTheSameBytes) {
  EditorDocument d;
  ASSERT_TRUE(d.Open(kAmp1).ok);
  const std::string before = Bytes(d);
  // A window of the demo: a few parts, the wires between them, some crossing
  // the edge.
  d.Select(Selection::InRect(d.Sheet(), CRect(4300, 4300, 5600, 6400)));
  ASSERT_GT(d.Selected().Count(), 3);
  GetParam().edit(d);
  const std::string after = Bytes(d);
  ASSERT_NE(after, before);
  EXPECT_TRUE(d.IsModified());
  ASSERT_TRUE(d.Undo());
  EXPECT_EQ(Bytes(d), before);
  EXPECT_FALSE(d.IsModified());
  EXPECT_FALSE(d.CanUndo());
  ASSERT_TRUE(d.Redo());
  EXPECT_EQ(Bytes(d), after);
  EXPECT_TRUE(d.IsModified());
  EXPECT_FALSE(d.CanRedo());
}

INSTANTIATE_TEST_SUITE_P(
    Edits, EditUndoTest,
    ::testing::Values(
        EditCase{"Move", [](EditorDocument& d) { d.MoveSelection(CPoint(300, -200)); }},
        EditCase{"Copy", [](EditorDocument& d) { d.CopySelection(CPoint(2000, 0)); }},
        EditCase{"Delete", [](EditorDocument& d) { d.DeleteSelection(); }},
        EditCase{"Rotate", [](EditorDocument& d) { d.RotateSelection(100); }},
        EditCase{"MirrorLeftRight", [](EditorDocument& d) { d.MirrorSelection(true, 100); }},
        EditCase{"MirrorUpDown", [](EditorDocument& d) { d.MirrorSelection(false, 100); }},
        EditCase{"ResetRefs", [](EditorDocument& d) { EXPECT_GT(d.ResetSelectedRefs(), 0); }},
        EditCase{"BreakParts", [](EditorDocument& d) { EXPECT_GT(d.BreakSelectedParts(), 0); }},
        EditCase{"PasteItsOwnText",
                 [](EditorDocument& d) { EXPECT_GT(d.Paste(d.SelectionText()), 0); }}),
    [](const ::testing::TestParamInfo<EditCase>& info) { return std::string(info.param.name); });

TEST(EditingTest, ARubberBandMovesOneEndAndTheOrderOfTheFileStays) {
  EditorDocument d = SmallDoc();
  // Around the part and the near end of the wire on its left only.
  d.Select(Selection::InRect(d.Sheet(), CRect(1300, 800, 1700, 1200)));
  ASSERT_EQ(d.Selected().Entries(kSelParts).size(), 1u);
  ASSERT_EQ(d.Selected().Entries(kSelWires).size(), 1u);
  EXPECT_EQ(d.Selected().Entries(kSelWires)[0].grab, kGrabEnd);
  d.MoveSelection(CPoint(0, 500));
  const CLine& wire = *d.Sheet().Wires()[0];
  EXPECT_EQ(wire.GetStartPoint(), CPoint(1000, 1000));  // stays
  EXPECT_EQ(wire.GetEndPoint(), CPoint(1400, 1500));    // follows pin 1
  EXPECT_EQ(d.Sheet().Parts()[0]->GetOrg(), CPoint(1500, 1500));
  // The far wire was not touched, and nothing changed its place in the lists.
  EXPECT_EQ(d.Sheet().Wires()[1]->GetStartPoint(), CPoint(2400, 1000));
  // Rotating leaves the rubber band alone and turns the part about the grid
  // point at the selection's centre.
  d.RotateSelection(100);
  EXPECT_EQ(wire.GetEndPoint(), CPoint(1400, 1500));
  EXPECT_EQ(d.Sheet().Parts()[0]->GetOrg(), CPoint(1500, 1500));
}

TEST(EditingTest, MakeAPartAndBreakItAgain) {
  // A body of four graphic lines, two free pins, a free text and the
  // placeholder of the reference.
  EditorDocument d;
  ASSERT_TRUE(d.Doc()
                  .LoadText("Line 1000 1000 1200 1000 8 1 0 0\n"
                            "Line 1200 1000 1200 1300 8 1 0 0\n"
                            "Line 1200 1300 1000 1300 8 1 0 0\n"
                            "Line 1000 1300 1000 1000 8 1 0 0\n"
                            "Line 500 500 700 500 8 0 0 0\n"
                            "Pin 1000 1100 800 1100 0\n"
                            "Pin 1200 1100 1400 1100 0\n"
                            "Text \"AMP\" 1050 1150 50 8\n"
                            "Text \"Ref\" 1000 1400 65 8\n",
                            "body", false)
                  .ok);
  d.Select(Selection::All(d.Sheet()));
  ASSERT_TRUE(d.MakePartOfSelection("BUF", "U?", "", 100));
  // The wire stays a wire; the rest is one part, selected.
  ASSERT_EQ(d.Sheet().Parts().size(), 1u);
  EXPECT_EQ(d.Sheet().Wires().size(), 1u);
  EXPECT_EQ(d.Sheet().Lines().size(), 0u);
  EXPECT_EQ(d.Sheet().Pins().size(), 0u);
  EXPECT_EQ(d.Sheet().Texts().size(), 0u);
  const CPart& part = *d.Sheet().Parts()[0];
  EXPECT_EQ(part.GetPartName(), "BUF");
  EXPECT_EQ(part.GetRefName(), "U?");
  EXPECT_EQ(part.GetRefNameText().GetPoint(), CPoint(1000, 1400));  // at the placeholder
  EXPECT_EQ(part.GetOrg(), CPoint(1100, 1200));                     // the box's centre on the grid
  EXPECT_EQ(part.Lines().size(), 4u);
  EXPECT_EQ(part.Pins().size(), 2u);
  ASSERT_EQ(part.Texts().size(), 1u);  // AMP; the placeholder is not kept
  EXPECT_EQ(d.Selected().Entries(kSelParts).size(), 1u);
  // Broken again: its lines, pins, the extra text and the shown attribute texts.
  EXPECT_EQ(d.BreakSelectedParts(), 1);
  EXPECT_EQ(d.Sheet().Parts().size(), 0u);
  EXPECT_EQ(d.Sheet().Lines().size(), 4u);
  EXPECT_EQ(d.Sheet().Pins().size(), 2u);
  EXPECT_EQ(d.Sheet().Texts().size(), 3u);  // AMP, BUF and U?
  // A selection of only wires makes no part.
  Selection wire;
  wire.Add(kSelWires, 0);
  d.Select(wire);
  EXPECT_FALSE(d.MakePartOfSelection("X", "X?", "", 100));
}

TEST(EditingTest, PinDirectionAndMarks) {
  EditorDocument d;
  ASSERT_TRUE(d.Doc().LoadText("Pin 1000 1000 1300 1000 0\n", "pin", false).ok);
  d.Select(Selection::All(d.Sheet()));
  const struct {
    uint32_t angle;
    CPoint end;
  } cases[] = {{0x200, CPoint(700, 1000)},
               {0x300, CPoint(1000, 700)},
               {0x100, CPoint(1000, 1300)},
               {0x000, CPoint(1300, 1000)}};
  for (const auto& c : cases) {
    ASSERT_TRUE(d.SetPinDirection(c.angle));
    EXPECT_EQ(d.Sheet().Pins()[0]->GetEndPoint(), c.end) << c.angle;
  }
  ASSERT_TRUE(d.TogglePinMark(kPinClock));
  EXPECT_NE(d.Sheet().Pins()[0]->GetElect() & kPinClock, 0u);
  ASSERT_TRUE(d.TogglePinMark(kPinClock));
  EXPECT_EQ(d.Sheet().Pins()[0]->GetElect() & kPinClock, 0u);
}

TEST(EditingTest, SelectingTakesTheSmallestItemUnderThePointer) {
  EditorDocument d = SmallDoc();
  const struct {
    CPoint at;
    SelList list;
  } cases[] = {
      {CPoint(1200, 1000), kSelWires},  // on the wire
      {CPoint(1500, 1000), kSelParts},  // inside the part
      {CPoint(3200, 3000), kSelLines},  // on the graphic line
  };
  for (const auto& c : cases) {
    SelList list;
    uint32_t index;
    ASSERT_TRUE(Selection::HitTest(d.Sheet(), c.at, 10, list, index)) << c.at.x;
    EXPECT_EQ(list, c.list) << c.at.x;
  }
  SelList list;
  uint32_t index;
  EXPECT_FALSE(Selection::HitTest(d.Sheet(), CPoint(5000, 5000), 10, list, index));
}

TEST(EditingTest, ReselectAndUndoDepth) {
  EditorDocument d = SmallDoc();
  d.SetUndoDepth(2);
  d.Select(Selection::All(d.Sheet()));
  const Selection all = d.Selected();
  d.ClearSelection();
  ASSERT_TRUE(d.Reselect());
  EXPECT_EQ(d.Selected(), all);
  for (int i = 0; i < 3; ++i) d.MoveSelection(CPoint(100, 0));
  // Two changes can be undone, not three.
  EXPECT_TRUE(d.Undo());
  EXPECT_TRUE(d.Undo());
  EXPECT_FALSE(d.Undo());
  EXPECT_EQ(d.Sheet().Parts()[0]->GetOrg(), CPoint(1600, 1000));
  // The selection comes back with the state it went with.
  EXPECT_EQ(d.Selected(), all);
}

TEST(EditingTest, Readouts) {
  EditorDocument d = SmallDoc();
  auto readout = [&](SelList list, uint32_t index) {
    Selection s;
    s.Add(list, index);
    d.Select(s);
    return SelectionReadout(d.SelectionSheet());
  };
  EXPECT_EQ(readout(kSelTexts, 0), " 高さ :80");
  EXPECT_EQ(readout(kSelLines, 0), " 大きさ：60");
  EXPECT_EQ(readout(kSelWires, 0), "");
  d.Select(Selection::All(d.Sheet()));
  EXPECT_EQ(SelectionReadout(d.SelectionSheet()), " 選択数:5");
  EXPECT_EQ(PointerReadout(CPoint(12345, 50)), "X: 123.45 Y:   0.50");
}

// Sends a left-button press, moves and release to the view's viewport.
void Drag(SheetView& v, QPointF from, QPointF to, Qt::KeyboardModifiers mods = Qt::NoModifier) {
  QWidget* vp = v.viewport();
  QMouseEvent press(QEvent::MouseButtonPress, from, vp->mapToGlobal(from), Qt::LeftButton,
                    Qt::LeftButton, mods);
  QApplication::sendEvent(vp, &press);
  const QPointF mid = (from + to) / 2;
  QMouseEvent move1(QEvent::MouseMove, mid, vp->mapToGlobal(mid), Qt::NoButton, Qt::LeftButton,
                    mods);
  QApplication::sendEvent(vp, &move1);
  QMouseEvent move2(QEvent::MouseMove, to, vp->mapToGlobal(to), Qt::NoButton, Qt::LeftButton, mods);
  QApplication::sendEvent(vp, &move2);
  QMouseEvent release(QEvent::MouseButtonRelease, to, vp->mapToGlobal(to), Qt::LeftButton,
                      Qt::NoButton, mods);
  QApplication::sendEvent(vp, &release);
}

TEST(EditingTest, TheMouseSelectsAndMovesAndTheTitleFollows) {
  TempDir tmp;
  test::WriteAll(tmp.file("small.txt"), kSmall);
  MainWindow w;
  w.resize(1000, 700);
  w.show();
  SheetView* v = w.OpenSheet(QString::fromStdString(tmp.file("small.txt")));
  ASSERT_NE(v, nullptr);
  v->ZoomTo(CRect(0, 0, 4000, 4000));
  const SheetTransform& t = v->Transform();
  // A rectangle around the free text selects it ...
  Drag(*v, t.Map(900, 2200), t.Map(1400, 1900));
  ASSERT_EQ(v->Document().Selected().Count(), 1);
  ASSERT_EQ(v->Document().Selected().Entries(kSelTexts).size(), 1u);
  // ... and a drag from it moves it by whole grid steps.
  Drag(*v, t.Map(1040, 2030), t.Map(1240, 2230));
  EXPECT_EQ(v->Document().Sheet().Texts()[0]->GetPoint(), CPoint(1200, 2200));
  auto* sub = qobject_cast<QWidget*>(v->parentWidget());
  EXPECT_TRUE(sub->windowTitle().endsWith(QStringLiteral(" (更新)")));
  w.Edit().Undo();
  EXPECT_EQ(v->Document().Sheet().Texts()[0]->GetPoint(), CPoint(1000, 2000));
  EXPECT_FALSE(sub->windowTitle().endsWith(QStringLiteral(" (更新)")));
  // A click on empty paper lets the selection go.
  Drag(*v, t.Map(3800, 3800), t.Map(3800, 3800));
  EXPECT_TRUE(v->Document().Selected().Empty());
}

TEST(EditingTest, TheClipboardCarriesASelectionToAnotherSheet) {
  MainWindow w;
  w.show();
  SheetView* from = w.OpenSheet(QString::fromStdString(kAmp1));
  ASSERT_NE(from, nullptr);
  w.Edit().SelectAll();
  w.Edit().Copy();
  // Plain text, readable by anything.
  EXPECT_TRUE(QGuiApplication::clipboard()->text().startsWith(QStringLiteral("Line ")));
  SheetView* to = w.NewSheet();
  ASSERT_EQ(w.ActiveView(), to);
  w.Edit().Paste();
  EXPECT_EQ(to->Document().Sheet().GetItemCount(), from->Document().Sheet().GetItemCount());
  EXPECT_EQ(to->Document().Doc().WriteText(), from->Document().Doc().WriteText());
  EXPECT_EQ(to->Document().Selected().Count(), to->Document().Sheet().GetItemCount());
  // Cut takes the items away and keeps them on the clipboard.
  w.Edit().Cut();
  EXPECT_EQ(to->Document().Sheet().GetItemCount(), 0);
  w.Edit().Paste();
  EXPECT_EQ(to->Document().Doc().WriteText(), from->Document().Doc().WriteText());
  // Plain text from elsewhere arrives as a free text.
  QGuiApplication::clipboard()->setText(QStringLiteral("ゲイン 20dB"));
  const int count = to->Document().Sheet().GetItemCount();
  w.Edit().Paste();
  ASSERT_EQ(to->Document().Sheet().GetItemCount(), count + 1);
  EXPECT_EQ(to->Document().Sheet().Texts().back()->GetName(), Utf8ToCp932("ゲイン 20dB"));
}

TEST(EditingTest, HierarchyLinksGoDownAndUp) {
  TempDir tmp;
  // The upper sheet: one block part whose FILE names the lower sheet, and
  // one whose FILE names a document that is not a sheet.
  const std::string upper = std::string(kSmall) +
                            "Part 5000 5000 4900 4900 5100 5100 0 0 0 0\n"
                            "Name \"BLOCK\" 5000 5000 65 32776\n"
                            "Ref \"X1\" 4900 5150 65 8\n"
                            "Text \"&FILE&lower.tcd\" 5000 5000 50 32776\n"
                            "PartEnd\n"
                            "Part 7000 5000 6900 4900 7100 5100 0 0 0 0\n"
                            "Name \"DOC\" 7000 5000 65 32776\n"
                            "Ref \"X2\" 6900 5150 65 8\n"
                            "Text \"&FILE&datasheet.pdf\" 7000 5000 50 32776\n"
                            "PartEnd\n";
  auto sheetFile = [&](const char* name, const std::string& text) {
    CSheetDoc doc;
    ASSERT_TRUE(doc.LoadText(text, name, false).ok);
    ASSERT_TRUE(doc.Save(tmp.file(name), false).ok);
  };
  sheetFile("upper.tcd", upper);
  sheetFile("lower.tcd", kSmall);
  test::WriteAll(tmp.file("datasheet.pdf"), "%PDF-1.4\n");
  MainWindow w;
  QStringList external;
  w.SetDialogs({{}, {}, {}, [&](const QString& p) {
                  external << p;
                  return true;
                }});
  w.show();
  SheetView* top = w.OpenSheet(QString::fromStdString(tmp.file("upper.tcd")));
  ASSERT_NE(top, nullptr);
  auto selectPart = [&](uint32_t index) {
    Selection s;
    s.Add(kSelParts, index);
    top->Document().Select(s);
    w.Edit().Update();
  };
  selectPart(1);
  ASSERT_TRUE(w.Edit().GoDown());
  ASSERT_TRUE(external.isEmpty()) << external[0].toStdString();
  SheetView* lower = w.ActiveView();
  ASSERT_NE(lower, top);
  EXPECT_EQ(lower->Document().DisplayName(), "lower.tcd");
  EXPECT_EQ(lower->Document().UpperPath(), top->Document().Path());
  EXPECT_TRUE(top->Document().Selected().Empty());
  ASSERT_TRUE(w.Edit().GoUp());
  EXPECT_EQ(w.ActiveView(), top);
  // Not a sheet: the desktop opens it.
  selectPart(2);
  ASSERT_TRUE(w.Edit().GoDown());
  ASSERT_EQ(external.size(), 1);
  EXPECT_TRUE(external[0].endsWith(QStringLiteral("/datasheet.pdf")));
  // A wire is no block: nothing to go down to.
  Selection wire;
  wire.Add(kSelWires, 0);
  top->Document().Select(wire);
  EXPECT_FALSE(w.Edit().GoDown());
}

}  // namespace
}  // namespace tavro::gui
