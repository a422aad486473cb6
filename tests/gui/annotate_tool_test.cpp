// 部品番号割付 in the editor: the dialog's modes and what each enables, the
// settings it stores; the numbering and the Was-Is file run on the open
// documents as one undoable step per document (the files untouched), and on
// the file of a project sheet that is not open.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QRadioButton>
#include <QSpinBox>
#include <filesystem>

#include "app/annotate_sheets.h"
#include "app/gui/annotate_dialog.h"
#include "app/gui/editor_document.h"
#include "app/gui/main_window.h"
#include "app/gui/sheet_view.h"
#include "app/gui/tool_actions.h"
#include "core/file/document.h"
#include "core/platform/codec.h"
#include "core/platform/settings.h"
#include "support/test_util.h"

namespace tavro::gui {
namespace {

namespace fs = std::filesystem;
using test::ReadAll;

TEST(AnnotateDialogTest, EachModeEnablesItsSettings) {
  AppSettings().DeleteSection("Tool");
  AnnotateDialog d("/p/x.tws");
  auto enabled = [&d](const char* name) {
    QWidget* w = d.findChild<QWidget*>(QString::fromUtf8(name));
    EXPECT_NE(w, nullptr) << name;
    return w && w->isEnabled();
  };
  const char* const fields[] = {"step1", "firstNo", "pageOffset", "eachSheet", "simple", "file"};
  const struct {
    const char* radio;
    std::vector<bool> on;  // per field above
  } modes[] = {
      {"modeUndecided", {true, true, false, true, false, false}},
      {"modeAll", {true, true, true, false, false, false}},
      {"modeApply", {false, false, false, false, true, true}},
      {"modeTemplate", {false, false, false, false, true, true}},
  };
  EXPECT_EQ(d.Mode(), 0);  // the stored default
  for (int m = 0; m < 4; ++m) {
    SCOPED_TRACE(modes[m].radio);
    d.findChild<QRadioButton*>(modes[m].radio)->click();
    EXPECT_EQ(d.Mode(), m);
    for (size_t f = 0; f < std::size(fields); ++f)
      EXPECT_EQ(enabled(fields[f]), modes[m].on[f]) << fields[f];
  }
  EXPECT_EQ(d.findChild<QLineEdit*>("file")->text(), QStringLiteral("/p/x.tws"));

  // Confirmed, it stores what it shows; the next dialog starts from there.
  d.findChild<QRadioButton*>("modeAll")->click();
  d.findChild<QRadioButton*>("step2")->click();
  d.findChild<QSpinBox*>("firstNo")->setValue(10);
  d.findChild<QSpinBox*>("pageOffset")->setValue(100);
  d.findChild<QCheckBox*>("simple")->setChecked(true);
  d.accept();
  const Settings& s = AppSettings();
  EXPECT_EQ(s.GetInt("Tool", "PartNoMakeType"), 1);
  EXPECT_EQ(s.GetInt("Tool", "PartNoStep"), 1);
  EXPECT_EQ(s.GetInt("Tool", "PartTopRefNo"), 10);
  EXPECT_EQ(s.GetInt("Tool", "RefPageOffset"), 100);
  EXPECT_EQ(s.GetInt("Tool", "EachSheet"), 0);
  EXPECT_EQ(s.GetInt("Tool", "SimpleWasis"), 1);
  AnnotateDialog again("");
  EXPECT_EQ(again.Mode(), 1);
  const AnnotateOptions o = again.Options();
  EXPECT_EQ(o.mode, 1);
  EXPECT_EQ(o.step, 2);
  EXPECT_EQ(o.firstNo, 10);
  EXPECT_EQ(o.pageOffset, 100);
  EXPECT_TRUE(again.Wasis().simple);
  AppSettings().DeleteSection("Tool");
}

// 部品番号リセット: decided references only; one undo step.
TEST(ResetRefsTest, OnlyDecidedReferencesBecomeUndecided) {
  EditorDocument d;
  const std::vector<test::PartSpec> parts = {
      {1000, 1000, "R12"}, {2000, 1000, "U3A"}, {3000, 1000, "12"}, {4000, 1000, "TP"},
      {5000, 1000, "R?"},  {6000, 1000, ""},    {7000, 1000, "R0"}};
  ASSERT_TRUE(d.Doc().LoadText(test::SheetText(parts), "refs", false).ok);
  const std::string before = d.Doc().Write(false);
  d.Select(Selection::All(d.Sheet()));
  EXPECT_EQ(d.ResetSelectedRefs(), 3);
  std::vector<std::string> refs;
  for (const auto& p : d.Sheet().Parts()) refs.push_back(Cp932ToUtf8(p->GetRefName()));
  EXPECT_EQ(refs, (std::vector<std::string>{"R?", "U?A", "12", "TP", "R?", "", "R?"}));
  ASSERT_TRUE(d.Undo());
  EXPECT_EQ(d.Doc().Write(false), before);
  EXPECT_FALSE(d.CanUndo());
  // Once reset, nothing decided is left: no change, no second undo step.
  d.Select(Selection::All(d.Sheet()));
  EXPECT_EQ(d.ResetSelectedRefs(), 3);
  EXPECT_EQ(d.ResetSelectedRefs(), 0);
  ASSERT_TRUE(d.Undo());
  EXPECT_FALSE(d.CanUndo());
}

// The two-sheet project of tests/data/annotate/project in a temporary
// folder, and a tool menu whose messages the test keeps.
class AnnotateToolTest : public ::testing::Test {
 protected:
  void SetUp() override {
    AppSettings().DeleteSection("Tool");
    fs::copy_file(test::DataPath("annotate/project/annotate.tpj"), tmp_.file("annotate.tpj"));
    for (const char* name : {"a1", "a2"}) {
      CSheetDoc d;
      ASSERT_TRUE(
          d.LoadText(ReadAll(test::DataPath(std::string("annotate/project/") + name + ".txt")),
                     name, false)
              .ok);
      ASSERT_TRUE(d.Save(tmp_.file(std::string(name) + ".tcd"), false).ok);
    }
    w_.SetDialogs({[this](const QString& m) { warnings_ << m; },
                   [](const QString&) { return int(QMessageBox::No); },
                   {},
                   {}});
    ToolActions::Hooks hooks{[this] { return w_.ActiveView(); },
                             [this] { return w_.Views(); },
                             [this] { return project_; },
                             []() -> Host* { return nullptr; },
                             [this](const QString& m) { warnings_ << m; },
                             [this](const QString& q) {
                               questions_ << q;
                               return answer_;
                             },
                             [this](const QString& s) { statuses_ << s; },
                             [](const QString&) { return true; },
                             {}};
    tools_ = std::make_unique<ToolActions>(&w_, hooks);
    tools_->SetInform([this](const QString& m) { informed_ << m; });
  }
  void TearDown() override { AppSettings().DeleteSection("Tool"); }

  std::string File(const char* name) const { return tmp_.file(name); }
  SheetView* ViewOf(const char* name) {
    for (SheetView* v : w_.Views())
      if (v->Document().DisplayName() == name) return v;
    return nullptr;
  }
  static std::vector<std::string> Refs(const EditorDocument& d) {
    std::vector<std::string> out;
    for (const auto& p : d.Sheet().Parts()) out.push_back(Cp932ToUtf8(p->GetRefName()));
    return out;
  }
  static std::string Bytes(const EditorDocument& d) { return d.Doc().Write(false); }

  test::TempDir tmp_;
  MainWindow w_;
  std::unique_ptr<ToolActions> tools_;
  std::string project_;
  bool answer_ = true;
  QStringList warnings_, questions_, statuses_, informed_;
};

TEST_F(AnnotateToolTest, NumberingIsOneUndoStepPerOpenDocument) {
  ASSERT_TRUE(w_.OpenProject(QString::fromStdString(File("annotate.tpj"))));
  project_ = File("annotate.tpj");
  EditorDocument& a1 = ViewOf("a1.tcd")->Document();
  EditorDocument& a2 = ViewOf("a2.tcd")->Document();
  const std::string before1 = Bytes(a1), before2 = Bytes(a2);
  const std::string file1 = ReadAll(File("a1.tcd")), file2 = ReadAll(File("a2.tcd"));

  const AnnotateResult r = tools_->RunAnnotate(AnnotateOptions{});
  ASSERT_EQ(r.status, AnnotateResult::kOk) << r.message;
  EXPECT_TRUE(warnings_.isEmpty()) << warnings_.join('\n').toStdString();
  EXPECT_EQ(informed_, QStringList{QStringLiteral("リファレンスカウンター    5")});
  EXPECT_EQ(statuses_, QStringList{QStringLiteral("部品番号を 11 個変更しました")});
  EXPECT_EQ(Refs(a1), (std::vector<std::string>{"R8", "R7", "U1A", "U1B", "C2", "R3", "U2A", "",
                                                "B?", "VR001"}));
  EXPECT_EQ(Refs(a2), (std::vector<std::string>{"R9", "U1C", "C1", "R10", "IC1", "U1D"}));
  // The files wait for the user to save.
  EXPECT_TRUE(a1.IsModified());
  EXPECT_TRUE(a2.IsModified());
  EXPECT_EQ(ReadAll(File("a1.tcd")), file1);
  EXPECT_EQ(ReadAll(File("a2.tcd")), file2);
  // One step each: undone, the document is as it was and has nothing more to undo.
  for (auto [doc, before] : {std::pair{&a1, before1}, std::pair{&a2, before2}}) {
    ASSERT_TRUE(doc->Undo());
    EXPECT_EQ(Bytes(*doc), before);
    EXPECT_FALSE(doc->CanUndo());
    EXPECT_FALSE(doc->IsModified());
  }
  // An unsaved change is what the numbering sees: a decided R12 on the
  // second sheet moves the next R on.
  a2.Edit([](CSheet& s, Selection&) { s.Parts()[2]->RefNameText().SetName("R12"); });
  ASSERT_EQ(tools_->RunAnnotate(AnnotateOptions{}).status, AnnotateResult::kOk);
  EXPECT_EQ(Refs(a1)[0], "R13");
}

TEST_F(AnnotateToolTest, AProjectSheetThatIsNotOpenIsSavedInItsFile) {
  ASSERT_NE(w_.OpenSheet(QString::fromStdString(File("a1.tcd"))), nullptr);
  project_ = File("annotate.tpj");
  ASSERT_EQ(w_.Views().size(), 1u);
  const AnnotateResult r = tools_->RunAnnotate(AnnotateOptions{});
  ASSERT_EQ(r.status, AnnotateResult::kOk) << r.message;
  EXPECT_EQ(Refs(ViewOf("a1.tcd")->Document())[0], "R8");
  CSheetDoc a2;
  ASSERT_TRUE(a2.Open(File("a2.tcd")).ok);
  EXPECT_EQ(Cp932ToUtf8(a2.GetSheet().Parts()[0]->GetRefName()), "R9");
  EXPECT_TRUE(fs::exists(File("a2.bak")));
  ASSERT_EQ(warnings_.size(), 1);
  EXPECT_TRUE(
      warnings_[0].contains(QStringLiteral("a2.tcd は開かれていないため、ファイルに保存しました")))
      << warnings_[0].toStdString();
}

TEST_F(AnnotateToolTest, WithoutAProjectTheOpenSheetsAfterTheQuestion) {
  ASSERT_NE(w_.OpenSheet(QString::fromStdString(File("a2.tcd"))), nullptr);
  EditorDocument& a2 = ViewOf("a2.tcd")->Document();
  answer_ = false;
  EXPECT_EQ(tools_->RunAnnotate(AnnotateOptions{}).status, AnnotateResult::kCancelled);
  EXPECT_EQ(questions_.size(), 1);
  EXPECT_FALSE(a2.CanUndo());
  answer_ = true;
  ASSERT_EQ(tools_->RunAnnotate(AnnotateOptions{}).status, AnnotateResult::kOk);
  // The sheet alone: C1 is the highest C, no R is decided.
  EXPECT_EQ(Refs(a2), (std::vector<std::string>{"R1", "U1C", "C1", "R2", "IC1", "U1D"}));
}

TEST_F(AnnotateToolTest, WasIsFileOnTheOpenDocuments) {
  ASSERT_TRUE(w_.OpenProject(QString::fromStdString(File("annotate.tpj"))));
  project_ = File("annotate.tpj");
  ASSERT_EQ(tools_->RunAnnotate(AnnotateOptions{}).status, AnnotateResult::kOk);
  EditorDocument& a1 = ViewOf("a1.tcd")->Document();
  EditorDocument& a2 = ViewOf("a2.tcd")->Document();
  const std::string numbered1 = Bytes(a1), numbered2 = Bytes(a2);

  // The template of what the editor shows (numbered, not saved).
  WasisOptions o;
  const WasisWriteResult w = tools_->RunWasisWrite(o);
  ASSERT_EQ(w.status, WasisWriteResult::kOk) << w.message;
  EXPECT_EQ(w.path, File("annotate.tws"));
  std::string tws = ReadAll(w.path);
  ASSERT_NE(tws.find("Ref=\"R8\""), std::string::npos);
  // R8 and R9 swapped across the sheets; a record of a part that moved.
  auto edit = [&tws](const std::string& from, const std::string& to) {
    const size_t at = tws.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    tws.replace(at, from.size(), to);
  };
  edit("New:Name=\"R\" Ref=\"R8\"", "New:Name=\"R\" Ref=\"R9\"");
  edit("New:Name=\"R\" Ref=\"R9\" Value=\"4.7k\"", "New:Name=\"R\" Ref=\"R8\" Value=\"4.7k\"");
  edit("Ref=\"R7\" Value=\"22k\" x=3000", "Ref=\"R7\" Value=\"22k\" x=3001");
  edit("New:Name=\"R\" Ref=\"R7\"", "New:Name=\"R\" Ref=\"R70\"");
  test::WriteAll(w.path, tws);

  warnings_.clear();
  const WasisApplyResult r = tools_->RunWasisApply(o);
  ASSERT_EQ(r.status, WasisApplyResult::kOk) << r.message;
  EXPECT_EQ(Refs(a1)[0], "R9");
  EXPECT_EQ(Refs(a1)[1], "R7");
  EXPECT_EQ(Refs(a2)[0], "R8");
  ASSERT_EQ(warnings_.size(), 1);
  EXPECT_TRUE(warnings_[0].contains(QStringLiteral("no part matches")))
      << warnings_[0].toStdString();
  for (auto [doc, before] : {std::pair{&a1, numbered1}, std::pair{&a2, numbered2}}) {
    ASSERT_TRUE(doc->Undo());
    EXPECT_EQ(Bytes(*doc), before);
  }
}

}  // namespace
}  // namespace tavro::gui
