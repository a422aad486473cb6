// The attribute editors behind 修正: each editor's fields written to an item
// change exactly those fields and undo gives back the same bytes; the pin
// editor's type list; the text editor's own font; continuous editing (連続);
// the part editor with its pin and property editors; the copy increment on
// paste. Every test runs on a settings store of its own, in memory.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTreeWidget>
#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

#include "app/gui/attribute_fields.h"
#include "app/gui/continuous_edit.h"
#include "app/gui/copy_increment.h"
#include "app/gui/edit_actions.h"
#include "app/gui/editor_document.h"
#include "app/gui/line_edit_dialog.h"
#include "app/gui/part_attr_dialog.h"
#include "app/gui/part_edit_dialog.h"
#include "app/gui/pin_edit_dialog.h"
#include "app/gui/sheet_view.h"
#include "app/gui/text_edit_dialog.h"
#include "core/platform/codec.h"
#include "core/platform/settings.h"

namespace tavro::gui {
namespace {

// A settings store of the test's own (defaults unless written).
class ScopedSettings {
 public:
  ScopedSettings() : previous_(&AppSettings()) { SetAppSettings(&store_); }
  ~ScopedSettings() { SetAppSettings(previous_); }
  Settings& operator*() { return store_; }

 private:
  Settings* previous_;
  Settings store_;
};

// A named wire, a graphic line with an end arrow, three free pins pointing
// left (listed at y 900, 1000, 800; the last without a number), a free
// text, and a resistor with a FILE property.
const char* const kSheet =
    "Line 1000 1000 1400 1000 8 0 0 0\n"
    "Name \"SIG\" 1100 1050 70 8\n"
    "Line 1000 2000 1400 2000 8 1 0 100\n"
    "Pin 3200 900 3000 900 0\n"
    "No \"1\" 3150 900 70 10\n"
    "Pin 3200 1000 3000 1000 0\n"
    "No \"2\" 3150 1000 70 10\n"
    "Pin 3200 800 3000 800 0\n"
    "Text \"note\" 1000 3000 80 8\n"
    "Part 1500 1000 1394 950 1606 1050 0 0 0 0\n"
    "Name \"R\" 1500 1000 65 32776\n"
    "Ref \"R1\" 1400 1100 65 8\n"
    "Val \"10k\" 1400 900 65 8\n"
    "Pin 1450 1000 1400 1000 0\n"
    "No \"1\" 1400 1000 70 32778\n"
    "Pin 1550 1000 1600 1000 0\n"
    "No \"2\" 1600 1000 70 32776\n"
    "Text \"&FILE&sub.tcd\" 1500 1000 50 32776\n"
    "PartEnd\n";

std::unique_ptr<EditorDocument> SheetDoc(const char* text = kSheet) {
  auto d = std::make_unique<EditorDocument>();
  EXPECT_TRUE(d->Doc().LoadText(text, "attr", false).ok);
  return d;
}

std::string Bytes(const EditorDocument& d) { return d.Doc().Write(false); }

// `text` with each `from` (found exactly once) replaced by its `to`.
using Replacements = std::vector<std::pair<std::string, std::string>>;
std::string Replaced(std::string text, const Replacements& reps) {
  for (const auto& [from, to] : reps) {
    const size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at == std::string::npos) continue;
    EXPECT_EQ(text.find(from, at + 1), std::string::npos) << from;
    text.replace(at, from.size(), to);
  }
  return text;
}

// ---------------------------------------------------------------------------
// The fields of each editor

struct FieldCase {
  const char* name;
  std::function<void(CSheet&)> apply;
  Replacements expected;  // in the sheet text form
};

void PrintTo(const FieldCase& c, std::ostream* os) { *os << c.name; }

class AttrFieldsTest : public ::testing::TestWithParam<FieldCase> {};

// Each editor's fields written to an item change the text form exactly where
// expected (worked out from the item rules beside each case); undo gives
// back the very same bytes.
TEST_P(AttrFieldsTest, ChangeExactlyTheirFieldsAndUndoGivesBackTheBytes) {
  ScopedSettings settings;
  auto d = SheetDoc();
  const std::string bytes = Bytes(*d);
  const std::string before = d->Doc().WriteText();
  d->Edit([&](CSheet& sheet, Selection&) { GetParam().apply(sheet); });
  EXPECT_EQ(d->Doc().WriteText(), Replaced(before, GetParam().expected));
  ASSERT_TRUE(d->Undo());
  EXPECT_EQ(Bytes(*d), bytes);
}

INSTANTIATE_TEST_SUITE_P(
    AttrEditors, AttrFieldsTest,
    ::testing::Values(
        // Power wire: type 4 | style 2 << 9 = 1028, drawn with "PowerWidth"
        // 16; the hidden name gets 0x8000 (8 | 32768).
        FieldCase{"Wire",
                  [](CSheet& s) {
                    LineFields f = ReadLineFields(*s.Wires()[0]);
                    f.name = "DATA1";
                    f.nameShown = false;
                    f.style = 2;
                    f.power = true;
                    f.startArrow = true;  // no arrows on wires
                    ApplyLineFields(*s.Wires()[0], f);
                  },
                  {{"Line 1000 1000 1400 1000 8 0 0 0\nName \"SIG\" 1100 1050 70 8\n",
                    "Line 1000 1000 1400 1000 16 1028 0 0\nName \"DATA1\" 1100 1050 70 32776\n"}}},
        // Graphic line: style 4 -> 1 | 0x800 = 2049; the new start arrow is
        // 100 long, the end arrow stays; the first name goes above the middle
        // (1200, 2000 + 20), bottom left, "LineAttrHeight" 70.
        FieldCase{"GraphicLine",
                  [](CSheet& s) {
                    LineFields f = ReadLineFields(*s.Lines()[0]);
                    f.name = "ARROW";
                    f.style = 4;
                    f.startArrow = true;
                    f.power = true;  // graphic lines carry no power
                    ApplyLineFields(*s.Lines()[0], f);
                  },
                  {{"Line 1000 2000 1400 2000 8 1 0 100\n",
                    "Line 1000 2000 1400 2000 8 2049 100 100\nName \"ARROW\" 1200 2020 70 8\n"}}},
        // Pin pointing left from (3200, 1000): Input (1) with a clock (0x40)
        // = 65; length 300 puts the end at 2900; the name goes 68 to the
        // right of the root (the clock offset), middle left (24); the number
        // stays 50 to the left, bottom right (10).
        FieldCase{"Pin",
                  [](CSheet& s) {
                    PinFields f = ReadPinFields(*s.Pins()[1]);
                    f.number = "7";
                    f.name = "CLK";
                    f.type = kPinInput;
                    f.clock = true;
                    f.length = 300;
                    ApplyPinFields(*s.Pins()[1], f);
                  },
                  {{"Pin 3200 1000 3000 1000 0\nNo \"2\" 3150 1000 70 10\n",
                    "Pin 3200 1000 2900 1000 65\nName \"CLK\" 3268 1000 70 24\n"
                    "No \"7\" 3150 1000 70 10\n"}}},
        // Middle centre (30) | 90 degrees (0x100) | not printed (0x4000) |
        // frame ＢＯＸ (0x10000) = 82206.
        FieldCase{"Text",
                  [](CSheet& s) {
                    TextFields f = ReadTextFields(*s.Texts()[0]);
                    f.text = "memo";
                    f.org = OrgCode(1, 1);
                    f.dir = 0x100;
                    f.height = 100;
                    f.frame = kFrameBox;
                    f.printed = false;
                    ApplyTextFields(*s.Texts()[0], f);
                  },
                  {{"Text \"note\" 1000 3000 80 8\n", "Text \"memo\" 1000 3000 100 82206\n"}}},
        // Logical inversion is attribute bit 2; the box stays (the new texts
        // are as wide as the old ones).
        FieldCase{"Part",
                  [](CSheet& s) {
                    PartFields f = ReadPartFields(*s.Parts()[0]);
                    f.ref = "R5";
                    f.value = "22k";
                    f.inverted = true;
                    ApplyPartFields(*s.Parts()[0], f);
                  },
                  {{" 0 0 0 0\nName \"R\"", " 0 0 0 2\nName \"R\""},
                   {"Ref \"R1\"", "Ref \"R5\""},
                   {"Val \"10k\"", "Val \"22k\""}}},
        // Fields written back as they were read change nothing at all.
        FieldCase{"Unchanged",
                  [](CSheet& s) {
                    ApplyLineFields(*s.Wires()[0], ReadLineFields(*s.Wires()[0]));
                    ApplyLineFields(*s.Lines()[0], ReadLineFields(*s.Lines()[0]));
                    for (auto& p : s.Pins()) ApplyPinFields(*p, ReadPinFields(*p));
                    ApplyTextFields(*s.Texts()[0], ReadTextFields(*s.Texts()[0]));
                    CPart& part = *s.Parts()[0];
                    for (auto& p : part.Pins()) ApplyPinFields(*p, ReadPinFields(*p));
                    ApplyPartFields(part, ReadPartFields(part));
                  },
                  {}}),
    [](const ::testing::TestParamInfo<FieldCase>& info) { return std::string(info.param.name); });

TEST(AttrPropertiesTest, AreAddedChangedAndRemoved) {
  ScopedSettings settings;
  auto d = SheetDoc();
  CPart part = *d->Sheet().Parts()[0];
  // Change: the property of that name, whatever its case.
  const size_t file = SetPartProperty(part, "file", "top.tcd", false);
  EXPECT_EQ(part.Texts()[file]->GetName(), "&FILE&top.tcd");
  EXPECT_EQ(part.Texts().size(), 1u);
  // Add: a shown property "[MAKER]" and a hidden one with an ampersand.
  const size_t maker = SetPartProperty(part, "MAKER", "ACME", true);
  const size_t note = SetPartProperty(part, "NOTE", "A&B", false);
  EXPECT_EQ(part.Texts()[maker]->GetName(), "&MAKER&MAKER&ACME");
  EXPECT_TRUE(part.Texts()[maker]->IsDispProperty());
  EXPECT_TRUE(part.Texts()[maker]->IsDisp());
  EXPECT_FALSE(part.Texts()[note]->IsDisp());
  EXPECT_EQ(part.GetProperty("NOTE"), "A&B");
  const std::vector<PartProperty> listed = PartProperties(part);
  ASSERT_EQ(listed.size(), 3u);
  EXPECT_TRUE(listed[1].display);
  EXPECT_EQ(listed[1].value, "ACME");
  // The shown property counts in the part's box.
  const CRect box = part.GetBoundingRect();
  EXPECT_EQ(box.Union(part.Texts()[maker]->GetTextBoundingRect()), box);
  EXPECT_TRUE(RemovePartProperty(part, note));
  EXPECT_FALSE(RemovePartProperty(part, 7));
  EXPECT_EQ(part.GetProperty("NOTE"), "");
  EXPECT_NE(PropertyNameProblem("A&B"), "");
  EXPECT_NE(PropertyNameProblem("  "), "");
  EXPECT_EQ(PropertyNameProblem("FILE"), "");
  // 参照: relative to the sheet's folder, or absolute; without a sheet file
  // always absolute.
  EXPECT_EQ(PropertyFileValue("/w/proj/sub/low.tcd", "/w/proj/top.tcd", false), "sub/low.tcd");
  EXPECT_EQ(PropertyFileValue("/w/lib/a.pdf", "/w/proj/top.tcd", false), "../lib/a.pdf");
  EXPECT_EQ(PropertyFileValue("/w/proj/sub/low.tcd", "/w/proj/top.tcd", true),
            "/w/proj/sub/low.tcd");
  EXPECT_EQ(PropertyFileValue("/w/proj/low.tcd", "", false), "/w/proj/low.tcd");
}

// ---------------------------------------------------------------------------
// The dialogs

TEST(AttrDialogTest, PinTypeListHoldsTheNamedTypesInCodeOrder) {
  const std::vector<std::pair<int, QString>> expected = {
      {0, "Passive"},    {1, "Input"},       {2, "Output"},    {3, "3-State"},
      {4, "In-Out"},     {5, "Open-Low"},    {6, "Open-High"}, {7, "Passive-Down"},
      {8, "Passive-Up"}, {14, "No Connect"}, {15, "Power"}};
  PinFields f;
  f.type = kPinPower;
  PinEditDialog dialog(f, false);
  QComboBox* list = dialog.TypeList();
  ASSERT_EQ(list->count(), static_cast<int>(expected.size()));
  for (int i = 0; i < list->count(); ++i) {
    EXPECT_EQ(list->itemData(i).toInt(), expected[i].first);
    EXPECT_EQ(list->itemText(i), expected[i].second);
  }
  EXPECT_EQ(list->currentText(), QStringLiteral("Power"));
  list->setCurrentIndex(1);
  EXPECT_EQ(dialog.Fields().type, kPinInput);
  // A code without a name is shown as its number and kept.
  f.type = 11;
  PinEditDialog odd(f, false);
  EXPECT_EQ(odd.TypeList()->currentText(), QStringLiteral("11"));
  EXPECT_EQ(odd.Fields().type, 11);
}

// A sheet view with the edit actions on it, whose dialogs a test fills.
struct Bench {
  explicit Bench(std::unique_ptr<EditorDocument> doc = SheetDoc()) {
    view = std::make_unique<SheetView>(std::move(doc));
    EditActions::Hooks hooks;
    hooks.activeView = [this] { return view.get(); };
    actions = std::make_unique<EditActions>(&parent, hooks);
    actions->SetDialogRunner([this](QDialog& d) {
      ++opened;
      if (step) step(d);
    });
  }
  EditorDocument& Doc() { return view->Document(); }
  void Select(SelList list, std::initializer_list<uint32_t> items) {
    Selection s;
    for (uint32_t i : items) s.Add(list, i);
    Doc().Select(s);
  }

  QWidget parent;
  std::unique_ptr<SheetView> view;
  std::unique_ptr<EditActions> actions;
  std::function<void(QDialog&)> step;  // fills and accepts or rejects
  int opened = 0;
};

TEST(AttrDialogTest, CancelChangesNothingAndOkIsOneUndoStep) {
  ScopedSettings settings;
  Bench b;
  const std::string bytes = Bytes(b.Doc());
  // 修正 follows 属性移動 in the edit menu, enabled with an item to edit.
  QMenu menu;
  b.actions->FillMenu(&menu);
  const QList<QAction*> actions = menu.actions();
  const auto at = std::find_if(actions.begin(), actions.end(), [](QAction* a) {
    return a->text() == QStringLiteral("属性移動(&K)");
  });
  ASSERT_NE(at, actions.end());
  ASSERT_NE(at + 1, actions.end());
  QAction* edit = *(at + 1);
  EXPECT_EQ(edit->text(), QStringLiteral("修正(&E)..."));
  b.actions->Update();
  EXPECT_FALSE(edit->isEnabled());
  b.Select(kSelWires, {0});
  b.actions->Update();
  EXPECT_TRUE(edit->isEnabled());
  b.step = [](QDialog& d) {
    auto& line = dynamic_cast<LineEditDialog&>(d);
    line.NameEdit()->setText(QStringLiteral("DATA"));
    d.reject();
  };
  EXPECT_FALSE(b.actions->EditAttributes());
  EXPECT_EQ(Bytes(b.Doc()), bytes);
  EXPECT_FALSE(b.Doc().CanUndo());
  // OK without a change records nothing either.
  b.step = [](QDialog& d) { d.accept(); };
  EXPECT_FALSE(b.actions->EditAttributes());
  EXPECT_FALSE(b.Doc().CanUndo());
  b.step = [](QDialog& d) {
    auto& line = dynamic_cast<LineEditDialog&>(d);
    EXPECT_FALSE(line.StartArrowBox()->isEnabled());  // arrows are for graphic lines
    line.NameEdit()->setText(QStringLiteral("データ"));
    line.StyleList()->setCurrentIndex(3);
    d.accept();
  };
  EXPECT_TRUE(b.actions->EditAttributes());
  const CLine& wire = *b.Doc().Sheet().Wires()[0];
  EXPECT_EQ(wire.GetName(), Utf8ToCp932("データ"));
  EXPECT_EQ(wire.GetType() & kLineStyleMask, 3u << 9);
  ASSERT_TRUE(b.Doc().Undo());
  EXPECT_EQ(Bytes(b.Doc()), bytes);
  EXPECT_FALSE(b.Doc().CanUndo());
}

TEST(AttrDialogTest, TextEditorWritesItsOwnFontAndKeepsTheLook) {
  ScopedSettings settings;
  Bench b;
  b.Select(kSelTexts, {0});
  b.step = [](QDialog& d) {
    auto& text = dynamic_cast<TextEditDialog&>(d);
    text.SetFontChooser([](const QFont&) {
      QFont f(QStringLiteral("Liberation Sans"));
      f.setWeight(QFont::Bold);
      f.setItalic(true);
      return std::optional<QFont>(f);
    });
    text.ChooseFont();
    EXPECT_TRUE(text.OwnFontBox()->isChecked());
    text.PrintedBox()->setChecked(false);
    text.KeepBox()->setChecked(true);
    d.accept();
  };
  ASSERT_TRUE(b.actions->EditAttributes());
  // Own font 0x2000 and not printed 0x4000 on 8: 24584. The font line: face,
  // width, escapement, orientation, weight 700, style italic 4 + strike-out
  // 1 (a text that is not printed shows struck out), character set 0.
  const std::string text = b.Doc().Doc().WriteText();
  EXPECT_NE(text.find("Text \"note\" 1000 3000 80 24584\n"
                      "Font \"Liberation Sans\" 0 0 0 700 5 0 0 0 0 0\n"),
            std::string::npos)
      << text;
  // The 60-byte record goes into the sheet file and comes back.
  CSheetDoc reread;
  ASSERT_TRUE(reread.Load(Bytes(b.Doc()), "reread", false).ok);
  const CText& t = *reread.GetSheet().Texts()[0];
  ASSERT_TRUE(t.HasOwnFont());
  EXPECT_EQ(t.GetFont(), b.Doc().Sheet().Texts()[0]->GetFont());
  EXPECT_EQ(t.GetFont().FaceName(), "Liberation Sans");
  EXPECT_EQ(t.GetFont().weight, 700);
  // 属性を維持: the look became the default of new texts.
  const Settings& s = AppSettings();
  EXPECT_EQ(s.GetInt("Text", "Remember Attr"), 1);
  EXPECT_EQ(s.GetInt("Text", "Text Height"), 80);
  EXPECT_EQ(s.GetInt("Text", "Printable"), 0);
  EXPECT_EQ(s.GetInt("Text", "Text Font"), 1);
  const auto font = s.GetBinary("Text", "Font");
  ASSERT_TRUE(font && font->size() == LogFont::kSize);
  EXPECT_EQ(LogFont::FromBytes(font->data()), t.GetFont());
}

// 連続 over the three free pins: top to bottom (the order of pins pointing
// left, whatever their list order), each number one more than the last;
// at the end the order goes round (PinRing) until cancelled.
TEST(AttrDialogTest, ContinuousEditingStepsThePinNumbers) {
  ScopedSettings settings;
  Bench b;
  const std::string bytes = Bytes(b.Doc());
  b.Select(kSelPins, {0, 1, 2});
  QStringList shown;
  std::vector<uint32_t> selected;
  b.step = [&](QDialog& d) {
    auto& pin = dynamic_cast<PinEditDialog&>(d);
    shown << pin.NumberEdit()->text();
    selected.push_back(b.Doc().Selected().Entries(kSelPins).at(0).index);
    if (b.opened == 4) return d.reject();
    if (b.opened == 1) {
      pin.NumberEdit()->setText(QStringLiteral("5"));
      pin.ContinuousBox()->setChecked(true);
    }
    EXPECT_TRUE(pin.ContinuousBox()->isChecked());
    d.accept();
  };
  EXPECT_TRUE(b.actions->EditAttributes());
  EXPECT_EQ(shown, QStringList({"2", "6", "7", "8"}));
  EXPECT_EQ(selected, std::vector<uint32_t>({1, 0, 2, 1}));
  const auto& pins = b.Doc().Sheet().Pins();
  EXPECT_EQ(pins[1]->GetNo(), "5");
  EXPECT_EQ(pins[0]->GetNo(), "6");
  EXPECT_EQ(pins[2]->GetNo(), "7");
  // The pin that had no number got one where a pin lays its number out.
  EXPECT_EQ(pins[2]->GetNoText().GetPoint(), CPoint(3150, 800));
  // Three steps, each undone on its own.
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(b.Doc().Undo());
  EXPECT_FALSE(b.Doc().CanUndo());
  EXPECT_EQ(Bytes(b.Doc()), bytes);
  // Without the ring the run ends at the last pin.
  (*settings).WriteInt("CopyIncrement", "PinRing", 0);
  b.opened = 0;
  shown.clear();
  selected.clear();
  EXPECT_TRUE(b.actions->EditAttributes());
  EXPECT_EQ(b.opened, 3);
}

TEST(AttrDialogTest, PartEditorEditsPinsAndPropertiesOfItsCopy) {
  ScopedSettings settings;
  Bench b;
  const std::string bytes = Bytes(b.Doc());
  b.Select(kSelParts, {0});
  bool cancel = false;
  b.step = [&](QDialog& d) {
    if (auto* pin = dynamic_cast<PinEditDialog*>(&d)) {
      // Pins in editing order: pin 1, pointing left, comes first.
      EXPECT_EQ(pin->NumberEdit()->text(), QStringLiteral("1"));
      pin->NameEdit()->setText(QStringLiteral("A"));
      pin->TypeList()->setCurrentIndex(pin->TypeList()->findData(kPinPower));
      return d.accept();
    }
    if (auto* attrs = dynamic_cast<PartAttrDialog*>(&d)) {
      EXPECT_EQ(attrs->List()->topLevelItemCount(), 1);
      attrs->NameEdit()->setText(QStringLiteral("NOTE"));
      attrs->MultiLineBox()->setChecked(true);
      attrs->ValueLines()->setPlainText(QStringLiteral("line 1\nline 2"));
      EXPECT_EQ(attrs->AddOrChange(), QString());
      attrs->NameEdit()->setText(QStringLiteral("DATASHEET"));
      attrs->SetFileChooser([] { return QStringLiteral("/w/docs/r.pdf"); });
      attrs->AbsoluteBox()->setChecked(true);
      attrs->Browse();
      attrs->DisplayBox()->setChecked(true);
      EXPECT_EQ(attrs->AddOrChange(), QString());
      attrs->SelectRow(0);
      EXPECT_EQ(attrs->NameEdit()->text(), QStringLiteral("FILE"));
      EXPECT_EQ(attrs->Remove(), QString());
      EXPECT_EQ(attrs->List()->topLevelItemCount(), 2);
      return d.accept();
    }
    auto& part = dynamic_cast<PartEditDialog&>(d);
    EXPECT_EQ(part.PinList()->topLevelItemCount(), 2);
    EXPECT_TRUE(part.EditPin(0));
    EXPECT_EQ(part.PinList()->topLevelItem(0)->text(1), QStringLiteral("A"));
    EXPECT_TRUE(part.EditAttributes());
    part.RefEdit()->setText(QStringLiteral("R9"));
    if (cancel) return d.reject();
    d.accept();
  };
  // Cancelling the part editor drops what its pin and property editors did.
  cancel = true;
  EXPECT_FALSE(b.actions->EditAttributes());
  EXPECT_EQ(Bytes(b.Doc()), bytes);
  cancel = false;
  ASSERT_TRUE(b.actions->EditAttributes());
  const CPart& part = *b.Doc().Sheet().Parts()[0];
  EXPECT_EQ(part.GetRefName(), "R9");
  const CPin& pin1 = *part.Pins()[0];
  EXPECT_EQ(pin1.GetName(), "A");
  EXPECT_TRUE(pin1.IsPower());
  EXPECT_EQ(part.GetProperty("FILE"), "");
  EXPECT_EQ(part.GetProperty("NOTE"), "line 1\\nline 2");
  EXPECT_EQ(part.GetProperty("DATASHEET"), "/w/docs/r.pdf");
  ASSERT_TRUE(b.Doc().Undo());
  EXPECT_EQ(Bytes(b.Doc()), bytes);
}

// ---------------------------------------------------------------------------
// Editing order and the copy increment

TEST(AttrOrderTest, PinsGoRoundTheBodyAndTextsTopDown) {
  // Pins of a body: two on the left pointing left, one below pointing down,
  // one on the right pointing right, one on top pointing up; listed mixed.
  CSheet sheet(kSheetScratch);
  sheet.NewPin({500, 0}, {700, 0}, 0);        // right side
  sheet.NewPin({0, 100}, {-200, 100}, 0);     // left, upper
  sheet.NewPin({250, 300}, {250, 500}, 0);    // top
  sheet.NewPin({250, -200}, {250, -400}, 0);  // bottom
  sheet.NewPin({0, -100}, {-200, -100}, 0);   // left, lower
  EXPECT_EQ(PinEditingOrder(sheet.Pins()), std::vector<uint32_t>({1, 4, 3, 0, 2}));
  sheet.NewText("c", {500, 100}, 70, 8);
  sheet.NewText("a", {100, 300}, 70, 8);
  sheet.NewText("b", {300, 300}, 70, 8);
  EXPECT_EQ(TextEditingOrder(sheet.Texts()), std::vector<uint32_t>({1, 2, 0}));
  EXPECT_EQ(NextItem(sheet, kSelTexts, 0, false), std::nullopt);
  EXPECT_EQ(NextItem(sheet, kSelTexts, 0, true), 1u);
  // Lines: among those of the same lie; vertical ones left to right.
  sheet.NewWire({0, 0}, {0, 500});
  sheet.NewWire({0, 900}, {500, 900});
  sheet.NewWire({-300, 0}, {-300, 500});
  EXPECT_EQ(NextItem(sheet, kSelWires, 2, false), 0u);
  EXPECT_EQ(NextItem(sheet, kSelWires, 0, false), std::nullopt);
  EXPECT_EQ(NextItem(sheet, kSelWires, 1, true), 1u);  // the only horizontal one
}

TEST(AttrCopyIncrementTest, PastedReferencesAndNamesStepWhereTheSheetHasThem) {
  ScopedSettings settings;
  auto d = SheetDoc();
  d->Select(Selection::All(d->Sheet()));
  const std::string copied = d->SelectionText();
  ASSERT_GT(d->Paste(copied), 0);
  const CSheet& s = d->Sheet();
  ASSERT_EQ(s.Parts().size(), 2u);
  EXPECT_EQ(s.Parts()[1]->GetRefName(), "R2");
  EXPECT_EQ(s.Wires()[1]->GetName(), "SIG1");  // a name without number gets one
  EXPECT_EQ(s.Pins()[3]->GetNo(), "2");        // every pasted pin number steps
  EXPECT_EQ(s.Pins()[4]->GetNo(), "3");
  EXPECT_EQ(s.Texts()[1]->GetName(), "note");  // texts only with "TextEnable"
  // Into a sheet without them the paste arrives as it was copied.
  auto empty = SheetDoc("");
  ASSERT_GT(empty->Paste(copied), 0);
  EXPECT_EQ(empty->Sheet().Parts()[0]->GetRefName(), "R1");
  EXPECT_EQ(empty->SelectionText(), copied);
  // The steps and switches come from the settings.
  (*settings).WriteInt("CopyIncrement", "PartRef", 10);
  (*settings).WriteInt("CopyIncrement", "WireNameEnable", 0);
  (*settings).WriteInt("CopyIncrement", "TextEnable", 1);
  ASSERT_GT(d->Paste(copied), 0);
  EXPECT_EQ(s.Parts()[2]->GetRefName(), "R11");
  EXPECT_EQ(s.Wires()[2]->GetName(), "SIG");
  EXPECT_EQ(s.Texts()[2]->GetName(), "note1");
  // An undecided reference stays undecided.
  CSheet pasted(kSheetScratch);
  CPart& unnumbered = pasted.NewPart(*s.Parts()[0]);
  unnumbered.SetRefNo(0, 0);
  pasted.NewPart(*s.Parts()[0]);
  EXPECT_EQ(ApplyPasteIncrement(pasted, s, CopyIncrement::FromSettings()), 1);
  EXPECT_EQ(pasted.Parts()[0]->GetRefName(), "R?");
  EXPECT_EQ(pasted.Parts()[1]->GetRefName(), "R11");
}

}  // namespace
}  // namespace tavro::gui
