// The part libraries in the editor: the library browser (tree, preview,
// delete, copy, move, rename, edit, library list), registering selected
// parts as a package, the next / previous unit and the logical inversion of
// placed parts, and the library conversion both ways. Every test builds its
// own small libraries in a temporary folder and sets the library list of the
// test program's settings store.
#include "app/gui/library_browser.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QTreeWidget>
#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "app/gui/edit_actions.h"
#include "app/gui/editor_document.h"
#include "app/gui/library_convert_dialog.h"
#include "app/gui/part_preview.h"
#include "app/gui/part_units.h"
#include "app/gui/register_parts_dialog.h"
#include "app/gui/sheet_view.h"
#include "app/library_convert_job.h"
#include "core/file/archive.h"
#include "core/platform/codec.h"
#include "core/platform/settings.h"
#include "library/library_ops.h"
#include "support/test_util.h"

namespace tavro::gui {
namespace {

namespace fs = std::filesystem;
using test::ReadAll;
using test::TempDir;

// ---------------------------------------------------------------------------
// Small libraries

// A two-input NAND gate of unit `unit` (of four) with its pin numbers; the
// inverted form (attribute bit 2) has the bubbles on its inputs instead.
std::string Nand(int unit, const std::string& ref, int in1, int in2, int out,
                 bool inverted = false) {
  const int dot = inverted ? 0x10 : 0;
  auto pin = [](int x1, int y1, int x2, int y2, int elect, int no, int nx, int ny) {
    return "Pin " + std::to_string(x1) + " " + std::to_string(y1) + " " + std::to_string(x2) + " " +
           std::to_string(y2) + " " + std::to_string(elect) + "\nNo \"" + std::to_string(no) +
           "\" " + std::to_string(nx) + " " + std::to_string(ny) + " 60 8\n";
  };
  return "Part 0 0 -150 -150 400 150 4 " + std::to_string(unit) + " 0 " + (inverted ? "2" : "0") +
         "\n"
         "Name \"7400\" 0 220 65 32776\n"
         "Ref \"" +
         ref + "\" 0 170 65 8\n" + pin(0, 100, -150, 100, 1 | dot, in1, -120, 110) +
         pin(0, -100, -150, -100, 1 | dot, in2, -120, -90) +
         pin(250, 0, 400, 0, inverted ? 2 : 2 | 0x10, out, 330, 10) +
         "Line 0 -150 0 150 8 1 0 0\n"
         "Line 0 150 100 150 8 1 0 0\n"
         "Line 0 -150 100 -150 8 1 0 0\n"
         "Arc 100 0 150 270 90 8 0 0 0\n"
         "PartEnd\n";
}

// A resistor of value `value`, with the properties given ("&NOMOUNT&1").
std::string Resistor(const std::string& ref, const std::string& value, int x = 0,
                     const std::string& props = {}) {
  const std::string X = std::to_string(x);
  const std::string X1 = std::to_string(x - 100), X2 = std::to_string(x + 100);
  return "Part " + X + " 0 " + X1 + " -40 " + X2 + " 40 1 0 0 0\n" + "Name \"R\" " + X +
         " 60 65 32776\n" + "Ref \"" + ref + "\" " + X1 + " 60 65 8\n" + "Val \"" + value + "\" " +
         X1 + " -110 65 8\n" + "Pin " + std::to_string(x - 60) + " 0 " + X1 + " 0 0\nPin " +
         std::to_string(x + 60) + " 0 " + X2 + " 0 0\n" + "Line " + std::to_string(x - 60) +
         " -30 " + std::to_string(x + 60) + " 30 8 1 0 0\n" + props + "PartEnd\n";
}

// An operational amplifier of two units and its power gate (labelled by
// its gate name: no reference).
std::string OpAmp(int unit, const std::string& ref) {
  return "Part 0 0 0 -200 300 200 2 " + std::to_string(unit) +
         " 0 0\n"
         "Name \"LM358\" 0 220 65 32776\n"
         "Ref \"" +
         ref +
         "\" 0 220 65 8\n"
         "Pin 0 100 -100 100 1\nPin 0 -100 -100 -100 1\nPin 300 0 400 0 2\n"
         "Line 0 -200 0 200 8 1 0 0\nLine 0 200 300 0 8 1 0 0\nLine 300 0 0 -200 8 1 0 0\n"
         "PartEnd\n";
}
const char* const kOpAmpPower =
    "Part 0 0 0 -100 100 100 2 0 0 0\n"
    "Name \"LM358PWR\" 0 120 65 8\n"
    "Pin 0 100 0 200 15\nPin 0 -100 0 -200 15\n"
    "Line 0 -100 0 100 8 1 0 0\n"
    "PartEnd\n";

CSheet SheetOf(const std::string& text) {
  CSheet sheet(kSheetScratch);
  CArchive ar(text);
  sheet.SerializeText(ar);
  return sheet;
}

void AddPackage(const std::string& library, const std::string& package, const std::string& gates) {
  CLibrary lib;
  lib.SetLibraryName(library);
  lib.SetPackageName(package);
  ASSERT_TRUE(lib.WritePart(SheetOf(gates))) << package;
}

// The gates of a package as "reference/value" (in order); empty when the
// library does not hold it.
std::vector<std::string> Gates(const std::string& library, const std::string& package) {
  CLibrary lib;
  lib.SetLibraryName(library);
  lib.SetPackageName(package);
  CSheet out(kSheetScratch);
  if (lib.ReadFile() == 1) lib.ReadPart(out, false);
  std::vector<std::string> gates;
  for (const auto& p : out.Parts()) gates.push_back(p->GetRefName() + "/" + p->GetValName());
  return gates;
}

std::vector<std::string> PackageNames(const std::string& library) {
  CLibrary lib;
  lib.SetLibraryName(library);
  EXPECT_EQ(lib.ReadFile(), 1);
  return lib.PackageNames();
}

// Two libraries, a.lib (R, an op amp of three gates, a four-unit NAND with
// one inverted unit) and b.lib (another R, C), as the library list.
class LibraryFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    AddPackage(a, "R", Resistor("R?", "10k"));
    AddPackage(a, "LM358", OpAmp(1, "U?A") + OpAmp(2, "U?B") + kOpAmpPower);
    AddPackage(a, "7400",
               Nand(1, "U?A", 1, 2, 3) + Nand(2, "U?B", 4, 5, 6) + Nand(3, "U?C", 9, 10, 8) +
                   Nand(4, "U?D", 12, 13, 11) + Nand(2, "U?B", 4, 5, 6, true));
    AddPackage(b, "R", Resistor("R?", "1k"));
    AddPackage(b, "C", Resistor("C?", "1u"));
    SetList({a, b});
  }
  void TearDown() override { SetList({}); }
  static void SetList(std::vector<std::string> list) {
    CLibrary lib;
    lib.SetLibraryList(std::move(list));
    ASSERT_TRUE(lib.WriteLibraryList());
  }

  // A browser whose questions are answered from `answers` (then yes).
  std::unique_ptr<LibraryBrowser> Browser(LibraryBrowser::Hooks extra = {}) {
    LibraryBrowser::Hooks hooks = std::move(extra);
    hooks.ask = [this](const QString& q) {
      asked << q;
      if (answers.empty()) return true;
      const bool a = answers.front();
      answers.erase(answers.begin());
      return a;
    };
    hooks.warn = [this](const QString& m) { told << m; };
    return std::make_unique<LibraryBrowser>(LibraryBrowser::Use::kEdit, nullptr, hooks);
  }

  TempDir dir;
  std::string a = dir.file("a.lib");
  std::string b = dir.file("b.lib");
  QStringList asked, told;
  std::vector<bool> answers;
};

std::vector<std::pair<QString, int>> Children(const QTreeWidgetItem* node) {
  std::vector<std::pair<QString, int>> out;
  for (int i = 0; i < node->childCount(); ++i)
    out.emplace_back(node->child(i)->text(0), node->child(i)->data(0, Qt::UserRole).toInt());
  return out;
}

// ---------------------------------------------------------------------------
// The browser

TEST_F(LibraryFixture, LibraryBrowserShowsLibrariesPackagesAndGates) {
  auto browser = Browser();
  QTreeWidget* tree = browser->Tree();
  ASSERT_EQ(tree->topLevelItemCount(), 2);
  EXPECT_EQ(tree->topLevelItem(0)->text(0), QString::fromStdString("a.lib <" + a + ">"));
  EXPECT_EQ(tree->topLevelItem(1)->text(0), QString::fromStdString("b.lib <" + b + ">"));
  // Nothing is read before a library is opened: one placeholder child.
  EXPECT_EQ(tree->topLevelItem(0)->childCount(), 1);
  EXPECT_FALSE(fs::exists(dir.file("a.tix")));
  tree->topLevelItem(0)->setExpanded(true);
  EXPECT_TRUE(fs::exists(dir.file("a.tix")));  // the index is made on the way

  // Packages in alphabetical order; gates of a package of several, labelled
  // by reference (kind 2) or by gate name (kind 1).
  const QTreeWidgetItem* lib = tree->topLevelItem(0);
  EXPECT_EQ(Children(lib),
            (std::vector<std::pair<QString, int>>{{"7400", 1}, {"LM358", 1}, {"R", 1}}));
  EXPECT_EQ(Children(lib->child(1)),
            (std::vector<std::pair<QString, int>>{
                {"U?A", 1 * 16 + 2}, {"U?B", 2 * 16 + 2}, {"LM358PWR", 3 * 16 + 1}}));
  EXPECT_EQ(lib->child(2)->childCount(), 0);
  // The inverted form of a unit has an icon of its own.
  const QTreeWidgetItem* nand = lib->child(0);
  ASSERT_EQ(nand->childCount(), 5);
  EXPECT_NE(nand->child(4)->icon(0).cacheKey(), nand->child(1)->icon(0).cacheKey());
  EXPECT_EQ(nand->child(2)->icon(0).cacheKey(), nand->child(1)->icon(0).cacheKey());

  // The target of copies lists the libraries, the second one chosen.
  EXPECT_EQ(browser->TargetBox()->count(), 2);
  EXPECT_EQ(browser->TargetBox()->currentText().toStdString(), b);

  // A gate selected shows its fields and its drawing; a package its first
  // gate; a library nothing.
  browser->Select(nand->child(2));
  EXPECT_EQ(browser->Fields(), (QStringList{"7400", "U?C", "", "3", "4"}));
  ASSERT_TRUE(browser->Preview()->Part());
  EXPECT_EQ(browser->Preview()->Part()->Pins()[2]->GetNo(), "8");
  browser->Select(browser->PackageNode(a, "LM358"));
  EXPECT_EQ(browser->Fields()[1], "U?A");
  browser->Select(tree->topLevelItem(1));
  EXPECT_EQ(browser->Fields()[0], "");
  EXPECT_FALSE(browser->Preview()->Part());
  EXPECT_TRUE(told.isEmpty()) << told.join("|").toStdString();
}

TEST_F(LibraryFixture, LibraryBrowserPreviewDrawsTheSelectedGate) {
  auto browser = Browser();
  browser->resize(900, 560);
  browser->show();
  browser->Select(browser->PackageNode(a, "7400")->child(0));
  QApplication::processEvents();
  const QImage image = browser->Preview()->grab().toImage();
  // The paper, and the symbol's strokes across a good part of it.
  const QRgb paper = image.pixel(2, 2);
  int ink = 0, left = image.width(), right = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (image.pixel(x, y) != paper) {
        ++ink;
        left = std::min(left, x);
        right = std::max(right, x);
      }
  EXPECT_GT(ink, 200);
  EXPECT_GT(right - left, image.width() / 3);  // scaled to fit, not a speck
  if (const char* out = std::getenv("TAVRO_SCREENSHOT_DIR"))
    browser->grab().save(QString::fromUtf8(out) + "/library_browser.png");
}

TEST_F(LibraryFixture, LibraryBrowserDeletesAGateAndThenThePackageBecomesOneNode) {
  auto browser = Browser();
  QTreeWidgetItem* opamp = browser->PackageNode(a, "LM358");
  ASSERT_NE(opamp, nullptr);
  browser->Select(opamp->child(1));
  // Cancel: nothing happens.
  answers = {false};
  EXPECT_FALSE(browser->DeleteSelected());
  EXPECT_EQ(asked, QStringList{"U?Bを削除します[復活不可]"});
  EXPECT_EQ(Gates(a, "LM358").size(), 3u);

  ASSERT_TRUE(browser->DeleteSelected());
  // The package lost its second gate and now sits at the end of the file.
  EXPECT_EQ(Gates(a, "LM358"), (std::vector<std::string>{"U?A/", "/"}));
  EXPECT_EQ(PackageNames(a), (std::vector<std::string>{"R", "7400", "LM358"}));
  opamp = browser->PackageNode(a, "LM358");
  EXPECT_EQ(Children(opamp),
            (std::vector<std::pair<QString, int>>{{"U?A", 1 * 16 + 2}, {"LM358PWR", 2 * 16 + 1}}));
  EXPECT_EQ(browser->Tree()->currentItem(), opamp);

  // One gate left: the package is a single node.
  browser->Select(opamp->child(1));
  ASSERT_TRUE(browser->DeleteSelected());
  opamp = browser->PackageNode(a, "LM358");
  ASSERT_NE(opamp, nullptr);
  EXPECT_EQ(opamp->childCount(), 0);
  // The whole package.
  browser->Select(opamp);
  ASSERT_TRUE(browser->DeleteSelected());
  EXPECT_EQ(asked.back(), "LM358を削除します[復活不可]");
  EXPECT_EQ(browser->PackageNode(a, "LM358"), nullptr);
  EXPECT_TRUE(Gates(a, "LM358").empty());
  EXPECT_TRUE(told.isEmpty()) << told.join("|").toStdString();
}

// The starter library as a new user meets it: a copy of the installed logic
// library, a gate of the 7400 selected and deleted.
TEST(LibraryBrowserStarter, DeletesAGateFromACopyOfTheStarterLibrary) {
  std::string logic;
  for (const std::string& l : StarterLibraries())
    if (fs::path(l).filename() == "logic.lib") logic = l;
  ASSERT_FALSE(logic.empty()) << "the starter libraries are not built";
  TempDir dir;
  const std::string copy = dir.file("logic.lib");
  fs::copy_file(logic, copy);
  CLibrary list;
  list.SetLibraryList({copy});
  ASSERT_TRUE(list.WriteLibraryList());

  LibraryBrowser::Hooks hooks;
  QStringList asked, told;
  hooks.ask = [&](const QString& q) {
    asked << q;
    return true;
  };
  hooks.warn = [&](const QString& m) { told << m; };
  LibraryBrowser browser(LibraryBrowser::Use::kEdit, nullptr, hooks);
  QTreeWidgetItem* nand = browser.PackageNode(copy, "7400");
  ASSERT_NE(nand, nullptr);
  ASSERT_EQ(nand->childCount(), 4);
  browser.Select(nand->child(1));
  EXPECT_EQ(browser.Fields()[1], "U?B");
  ASSERT_TRUE(browser.DeleteSelected());
  EXPECT_EQ(asked, QStringList{"U?Bを削除します[復活不可]"});
  EXPECT_EQ(Gates(copy, "7400"), (std::vector<std::string>{"U?A/7400", "U?C/7400", "U?D/7400"}));
  EXPECT_EQ(PackageNames(copy).back(), "7400");
  EXPECT_EQ(browser.PackageNode(copy, "7400")->childCount(), 3);
  EXPECT_EQ(test::ReadAll(logic).size(), fs::file_size(dir.file("logic.lbk")));
  EXPECT_TRUE(told.isEmpty()) << told.join("|").toStdString();
  list.SetLibraryList({});
  list.WriteLibraryList();
}

TEST_F(LibraryFixture, LibraryBrowserRenamesAPackageUnlessTheNameIsTaken) {
  auto browser = Browser();
  QTreeWidgetItem* r = browser->PackageNode(a, "R");
  const std::string before = ReadAll(a);
  // Taken (in another letter case too): refused, the label reverts, the
  // reason shows.
  for (const char* taken : {"7400", "lm358"}) {
    told.clear();
    r->setText(0, taken);  // as the label editor leaves it
    QApplication::processEvents();
    r = browser->PackageNode(a, "R");
    ASSERT_NE(r, nullptr) << taken;
    EXPECT_EQ(r->text(0), "R");
    EXPECT_EQ(told.size(), 1) << taken;
    EXPECT_EQ(ReadAll(a), before) << taken;
  }
  // Empty or unchanged: nothing at all.
  told.clear();
  EXPECT_FALSE(browser->RenamePackage(r, ""));
  EXPECT_FALSE(browser->RenamePackage(r, "R"));
  EXPECT_TRUE(told.isEmpty());
  EXPECT_EQ(ReadAll(a), before);

  ASSERT_TRUE(browser->RenamePackage(r, "R0603"));
  EXPECT_EQ(PackageNames(a), (std::vector<std::string>{"LM358", "7400", "R0603"}));
  QTreeWidgetItem* renamed = browser->Tree()->currentItem();
  ASSERT_NE(renamed, nullptr);
  EXPECT_EQ(renamed->text(0), "R0603");
  EXPECT_EQ(browser->PackageNode(a, "R"), nullptr);
}

TEST_F(LibraryFixture, LibraryBrowserCopiesAndMovesPackagesBetweenLibraries) {
  auto browser = Browser();
  browser->SetTarget(b);
  browser->Select(browser->PackageNode(a, "R"));
  // b holds an R already: the question, and a no leaves b as it was.
  const std::string bBefore = ReadAll(b);
  answers = {false};
  EXPECT_FALSE(browser->CopySelected(false));
  EXPECT_EQ(asked, QStringList{QString::fromStdString(OverwriteQuestion("R"))});
  EXPECT_EQ(ReadAll(b), bBefore);
  EXPECT_TRUE(told.isEmpty()) << told.join("|").toStdString();

  // Yes: one R in b, a's.
  ASSERT_TRUE(browser->CopySelected(false));
  const std::vector<std::string> names = PackageNames(b);
  EXPECT_EQ(std::count(names.begin(), names.end(), "R"), 1);
  EXPECT_EQ(Gates(b, "R"), (std::vector<std::string>{"R?/10k"}));
  EXPECT_EQ(Gates(a, "R"), (std::vector<std::string>{"R?/10k"}));  // a copy: a keeps it

  // Move: the package leaves a for b, and is selected there.
  browser->Select(browser->PackageNode(a, "LM358")->child(2));
  ASSERT_TRUE(browser->CopySelected(true));
  EXPECT_TRUE(Gates(a, "LM358").empty());
  EXPECT_EQ(Gates(b, "LM358").size(), 3u);
  EXPECT_EQ(browser->PackageNode(a, "LM358"), nullptr);
  EXPECT_EQ(browser->Tree()->currentItem(), browser->PackageNode(b, "LM358"));

  // Into its own library: nothing.
  const std::string aBefore = ReadAll(a);
  browser->SetTarget(a);
  browser->Select(browser->PackageNode(a, "7400"));
  EXPECT_FALSE(browser->CopySelected(true));
  EXPECT_EQ(ReadAll(a), aBefore);
  EXPECT_TRUE(told.isEmpty()) << told.join("|").toStdString();
}

TEST_F(LibraryFixture, LibraryBrowserEditsAGateAndFollowsTheLibraryList) {
  LibraryBrowser::Hooks hooks;
  hooks.editPart = [](CPart& part) {
    part.ValNameText().SetName("quad");
    return true;
  };
  const std::string c = dir.file("c.lib");
  AddPackage(c, "L", Resistor("L?", "1m"));
  hooks.libraryList = [&] {
    CLibrary lib;
    lib.SetLibraryList({c, a});
    return lib.WriteLibraryList();
  };
  auto browser = Browser(hooks);
  browser->Select(browser->PackageNode(a, "7400")->child(2));
  ASSERT_TRUE(browser->EditSelected());
  // The third gate changed, the others not; the same gate is shown again.
  EXPECT_EQ(Gates(a, "7400"),
            (std::vector<std::string>{"U?A/", "U?B/", "U?C/quad", "U?D/", "U?B/"}));
  EXPECT_EQ(browser->Fields()[1], "U?C");
  EXPECT_EQ(browser->Fields()[2], "quad");

  // 環境設定: another list rebuilds the tree.
  browser->Environment();
  ASSERT_EQ(browser->Tree()->topLevelItemCount(), 2);
  EXPECT_EQ(browser->Tree()->topLevelItem(0)->text(0), QString::fromStdString("c.lib <" + c + ">"));
  EXPECT_NE(browser->PackageNode(c, "L"), nullptr);
  EXPECT_EQ(browser->LibraryNode(b), nullptr);
}

TEST_F(LibraryFixture, LibraryBrowserHandsBackThePickedGate) {
  LibraryBrowser browser(LibraryBrowser::Use::kPick);
  browser.Select(browser.PackageNode(a, "7400")->child(3));
  browser.accept();
  ASSERT_TRUE(browser.GetPart());
  EXPECT_EQ(browser.GetPart()->library, a);
  EXPECT_EQ(browser.GetPart()->package, "7400");
  EXPECT_EQ(browser.GetPart()->gate, 4);
  EXPECT_EQ(browser.GetPart()->part.GetRefName(), "U?D");
}

// ---------------------------------------------------------------------------
// The edit menu: registering parts, units

// A sheet view with `text` and the edit actions on it, answering with
// `confirm` and recording the warnings.
struct EditBench {
  explicit EditBench(const std::string& text) {
    auto doc = std::make_unique<EditorDocument>();
    EXPECT_TRUE(doc->Doc().LoadText(text, "bench", false).ok);
    view = std::make_unique<SheetView>(std::move(doc));
    EditActions::Hooks hooks;
    hooks.activeView = [this] { return view.get(); };
    hooks.confirm = [this](const QString& q) {
      asked << q;
      return answer;
    };
    hooks.warn = [this](const QString& m) { told << m; };
    hooks.packageRequest = [this](PackageRequest& r) {
      offered = r;
      r = request;
      return true;
    };
    actions = std::make_unique<EditActions>(&parent, hooks);
  }
  EditorDocument& Doc() { return view->Document(); }
  void SelectParts(std::initializer_list<uint32_t> parts) {
    Selection s;
    for (uint32_t p : parts) s.Add(kSelParts, p);
    Doc().Select(s);
  }
  std::string Bytes() const { return view->Document().Doc().Write(false); }

  QWidget parent;
  std::unique_ptr<SheetView> view;
  std::unique_ptr<EditActions> actions;
  QStringList asked, told;
  bool answer = true;
  PackageRequest request, offered;
};

TEST_F(LibraryFixture, RegisteringSelectedPartsWritesOnePackageAndLeavesTheSheet) {
  ASSERT_TRUE(AppSettings().WriteString("Library File List", "Except", "NOMOUNT,FILE"));
  EditBench bench("Line 0 1000 500 1000 8 0 0 0\n" +
                  Resistor("R7", "4k7", 1000,
                           "Text \"&NOMOUNT&1\" 1000 -200 50 32776\n"
                           "Text \"&MAKER&KOA\" 1000 -300 50 32776\n") +
                  Resistor("R12", "100", 2000, "Text \"&NOMOUNT&1\" 2000 -200 50 32776\n"));
  bench.SelectParts({1, 0});
  const std::string sheet = bench.Bytes();
  bench.request = {"RPAIR", b, "NOMOUNT / FILE"};
  ASSERT_TRUE(bench.actions->RegisterSelectedParts());
  // The dialog offered the first part's name and the stored exclusions.
  EXPECT_EQ(bench.offered.package, "R");
  EXPECT_EQ(bench.offered.except, "NOMOUNT,FILE");
  // Both parts, in sheet order, numbers undecided, NOMOUNT gone, MAKER kept.
  CLibrary lib;
  lib.SetLibraryName(b);
  lib.SetPackageName("RPAIR");
  CSheet gates(kSheetScratch);
  ASSERT_EQ(lib.ReadFile(), 1);
  ASSERT_EQ(lib.ReadPart(gates, false), 1);
  ASSERT_EQ(gates.Parts().size(), 2u);
  EXPECT_EQ(gates.Parts()[0]->GetRefName(), "R?");
  EXPECT_EQ(gates.Parts()[1]->GetRefName(), "R?");
  EXPECT_EQ(gates.Parts()[0]->GetValName(), "4k7");
  for (const auto& g : gates.Parts()) EXPECT_FALSE(g->IsProperty("NOMOUNT"));
  EXPECT_EQ(gates.Parts()[0]->GetProperty("MAKER"), "KOA");
  EXPECT_EQ(bench.Bytes(), sheet);
  EXPECT_FALSE(bench.Doc().CanUndo());
  // The choices are remembered for the next time.
  EXPECT_EQ(Cp932ToUtf8(AppSettings().GetString("Library File List", "AddPart")), b);
  EXPECT_EQ(AppSettings().GetString("Library File List", "Except"), "NOMOUNT / FILE");

  // Again under the same name: the question; a no writes nothing.
  const std::string library = ReadAll(b);
  bench.answer = false;
  EXPECT_FALSE(bench.actions->RegisterSelectedParts());
  EXPECT_EQ(bench.asked,
            QStringList{QString::fromUtf8(kLibAskOverwrite.data(), kLibAskOverwrite.size())});
  EXPECT_EQ(ReadAll(b), library);
  EXPECT_TRUE(bench.told.isEmpty()) << bench.told.join("|").toStdString();
}

// A placed unit of the NAND, mirrored and turned a quarter, its reference
// moved by the user, with a value and a property of its own.
std::string PlacedNand(int unit, const std::string& ref, bool inverted = false) {
  const int pins[4][3] = {{1, 2, 3}, {4, 5, 6}, {9, 10, 8}, {12, 13, 11}};
  CSheet sheet =
      SheetOf(Nand(unit, ref, pins[unit - 1][0], pins[unit - 1][1], pins[unit - 1][2], inverted));
  CPart& p = *sheet.Parts()[0];
  // Mirrored before it was turned: the angle word (0x1100) reads the same
  // as turned before mirrored, which would put the pins elsewhere.
  p.MirrorX(p.GetOrg());
  p.Rotate(p.GetOrg(), 1);
  p.Offset(CPoint(3000, 2000));
  p.ValNameText().SetName("HC");
  p.RefNameText().SetPoint(p.GetRefNameText().GetPoint() + CPoint(-200, 50));
  p.NewText("&MAKER&TI", CPoint(3000, 1500), 50, 0x8008);
  CArchive ar;
  sheet.SerializeText(ar);
  return ar.TakeBuffer();
}

TEST_F(LibraryFixture, UnitStepsReplaceThePartInPlace) {
  struct Case {
    const char* name;
    int unit;
    const char* ref;
    bool inverted;
    UnitStep step;
    int wantUnit;  // 0: nothing changes
    const char* wantRef;
    bool wantInverted;
    const char* wantPin;  // the first pin's number
  } cases[] = {
      {"next", 1, "U1A", false, UnitStep::kNext, 2, "U1B", false, "4"},
      {"next wraps", 4, "U1D", false, UnitStep::kNext, 1, "U1A", false, "1"},
      {"previous wraps", 1, "U1A", false, UnitStep::kPrevious, 4, "U1D", false, "12"},
      {"undecided", 2, "U?B", false, UnitStep::kNext, 3, "U?C", false, "9"},
      {"invert", 2, "U7B", false, UnitStep::kInvert, 2, "U7B", true, "4"},
      {"invert back", 2, "U7B", true, UnitStep::kInvert, 2, "U7B", false, "4"},
      {"the inverted form has one unit", 2, "U7B", true, UnitStep::kNext, 0, "", false, ""},
      {"no inverted unit 3", 3, "U1C", false, UnitStep::kInvert, 0, "", false, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EditBench bench(PlacedNand(c.unit, c.ref, c.inverted));
    const CPart old = *bench.Doc().Sheet().Parts()[0];
    bench.SelectParts({0});
    const std::string before = bench.Bytes();
    const bool changed = bench.actions->StepUnits(c.step);
    if (c.wantUnit == 0) {
      EXPECT_FALSE(changed);
      EXPECT_EQ(bench.Bytes(), before);
      ASSERT_EQ(bench.told.size(), 1);
      EXPECT_TRUE(bench.told[0].startsWith(c.step == UnitStep::kInvert
                                               ? QStringLiteral("論理反転した部品がありません")
                                               : QStringLiteral("切り替える部品がありません")));
      continue;
    }
    ASSERT_TRUE(changed);
    EXPECT_TRUE(bench.told.isEmpty()) << bench.told.join("|").toStdString();
    const CPart& now = *bench.Doc().Sheet().Parts()[0];
    EXPECT_EQ(now.GetPackage(), static_cast<unsigned>(c.wantUnit));
    EXPECT_EQ(now.GetRefName(), c.wantRef);
    EXPECT_EQ((now.GetAttr() & kPartInverted) != 0, c.wantInverted);
    EXPECT_EQ(now.Pins()[0]->GetNo(), c.wantPin);
    // Where the old one stood, turned as it was: the gates share their
    // shape, so every pin lands on the old one's.
    EXPECT_EQ(now.GetOrg(), old.GetOrg());
    EXPECT_EQ(now.GetAngle(), old.GetAngle());
    for (size_t i = 0; i < now.Pins().size(); ++i) {
      EXPECT_EQ(now.Pins()[i]->GetStartPoint(), old.Pins()[i]->GetStartPoint()) << i;
      EXPECT_EQ(now.Pins()[i]->GetEndPoint(), old.Pins()[i]->GetEndPoint()) << i;
    }
    // Its value, its property and where its reference was shown stay.
    EXPECT_EQ(now.GetValName(), "HC");
    EXPECT_EQ(now.GetProperty("MAKER"), "TI");
    EXPECT_EQ(now.GetRefNameText().GetPoint(), old.GetRefNameText().GetPoint());
    // One step of undo.
    ASSERT_TRUE(bench.Doc().Undo());
    EXPECT_EQ(bench.Bytes(), before);
  }
}

TEST_F(LibraryFixture, UnitStepsTellWhichPartsNoLibraryHolds) {
  // A placed NAND and a part of a package no library has: the NAND steps,
  // the other is named.
  EditBench bench(PlacedNand(1, "U3A") +
                  "Part 0 0 -10 -10 10 10 1 0 0 0\nName \"XYZ\" 0 0 65 8\nRef \"X1\" 0 20 65 8\n"
                  "Line -10 -10 10 10 8 1 0 0\nPartEnd\n");
  bench.SelectParts({0, 1});
  ASSERT_TRUE(bench.actions->StepUnits(UnitStep::kNext));
  EXPECT_EQ(bench.Doc().Sheet().Parts()[0]->GetRefName(), "U3B");
  EXPECT_EQ(bench.Doc().Sheet().Parts()[1]->GetRefName(), "X1");
  ASSERT_EQ(bench.told.size(), 1);
  EXPECT_EQ(bench.told[0], "部品ファイルに部品がありません\nXYZ");
}

TEST(PartUnitsTest, UnitReferenceKeepsPrefixAndNumberWithTheGatesSuffix) {
  const struct {
    const char* old;
    const char* gate;
    const char* want;
  } cases[] = {{"U1A", "U?B", "U1B"},     {"U?A", "U?B", "U?B"}, {"IC12", "IC?B", "IC12B"},
               {"U012C", "U?D", "U012D"}, {"", "U?B", "U?B"},    {"U1", "U?", "U1"}};
  for (const auto& c : cases) EXPECT_EQ(UnitRef(c.old, c.gate), c.want) << c.old;
}

// ---------------------------------------------------------------------------
// Conversion

TEST_F(LibraryFixture, LibraryConversionRoundTripsThroughText) {
  const std::string text = dir.file("a.txt");
  const std::string back = dir.file("back.lib");
  QStringList questions;
  auto overwrite = [&](std::string_view q) {
    questions << QString::fromUtf8(q.data(), static_cast<qsizetype>(q.size()));
    return false;
  };
  ASSERT_TRUE(RunLibraryConvert({LibraryConvertJob::kToText, a, text}, overwrite).ok());
  ASSERT_TRUE(RunLibraryConvert({LibraryConvertJob::kFromText, text, back}, overwrite).ok());
  EXPECT_TRUE(questions.isEmpty());
  EXPECT_EQ(PackageNames(back), PackageNames(a));
  for (const char* p : {"R", "7400", "LM358"}) EXPECT_EQ(Gates(back, p), Gates(a, p)) << p;

  // An existing destination is kept unless the question is answered yes.
  const std::string kept = ReadAll(back);
  const LibraryConvertResult no =
      RunLibraryConvert({LibraryConvertJob::kFromText, text, back}, overwrite);
  EXPECT_EQ(no.status, LibraryConvertResult::kCancelled);
  EXPECT_EQ(questions, QStringList{QString::fromStdString("ファイル " + back +
                                                          " は既にあります。上書きしますか。")});
  EXPECT_EQ(ReadAll(back), kept);

  // What is refused: no name, a source that is not there (never created),
  // a file onto itself.
  const struct {
    LibraryConvertJob job;
    const char* message;  // the start of it
  } refused[] = {{{0, "", text}, "ファイル名を入力して下さい。"},
                 {{0, dir.file("none.lib"), dir.file("none.txt")}, "ファイル "},
                 {{1, text, text}, "変換元と変換先が同じファイルです。"}};
  for (const auto& r : refused) {
    const LibraryConvertResult result =
        RunLibraryConvert(r.job, [](std::string_view) { return true; });
    EXPECT_EQ(result.status, LibraryConvertResult::kFailed) << r.message;
    EXPECT_EQ(result.message.rfind(r.message, 0), 0u) << result.message;
  }
  EXPECT_FALSE(fs::exists(dir.file("none.lib")));
  EXPECT_FALSE(fs::exists(dir.file("none.txt")));
}

TEST_F(LibraryFixture, LibraryConvertDialogTakesTheDirectionFromTheFilterAndRemembersIt) {
  QStringList told, informed;
  LibraryConvertDialog dialog(
      LibraryConvertJob{}, nullptr,
      {[](const QString&) { return true; }, [&](const QString& m) { told << m; },
       [&](const QString& m) { informed << m; }});
  // Empty names: the message, the dialog stays.
  EXPECT_FALSE(dialog.Convert());
  EXPECT_EQ(told, QStringList{"ファイル名を入力して下さい。"});

  const std::string text = dir.file("out.txt");
  LibraryConvertJob job;
  job.source = a;
  dialog.SetJob(job);
  dialog.ChooseDestination(QString::fromStdString(dir.file("x.lib")), 1);
  EXPECT_EQ(dialog.Job().type, LibraryConvertJob::kFromText);
  dialog.ChooseDestination(QString::fromStdString(text), 2);  // all files: the type stays
  EXPECT_EQ(dialog.Job().type, LibraryConvertJob::kFromText);
  dialog.ChooseDestination(QString::fromStdString(text), 0);
  EXPECT_EQ(dialog.Job().type, LibraryConvertJob::kToText);
  ASSERT_TRUE(dialog.Convert());
  EXPECT_EQ(informed, QStringList{"変換終了"});
  EXPECT_TRUE(ReadAll(text).starts_with("# Tavro Text Library File"));
  const LibraryConvertJob stored = LibraryConvertJob::FromSettings(AppSettings());
  EXPECT_EQ(stored.type, LibraryConvertJob::kToText);
  EXPECT_EQ(stored.source, a);
  EXPECT_EQ(stored.dest, text);
}

}  // namespace
}  // namespace tavro::gui
