// 重複整理 in the editor: the dialog's boxes and what they enable; the
// clean-up of a project with one sheet open (one undoable step, the file
// untouched) and one not open (saved in its file with its backup); a sheet
// whose tidying would join or split nets left as it was; a file that is not
// a sheet file never replaced by one.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QCoreApplication>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <utility>

#include "app/cleanup_job.h"
#include "app/gui/cleanup_dialog.h"
#include "app/gui/editor_document.h"
#include "app/gui/main_window.h"
#include "app/gui/sheet_view.h"
#include "app/gui/tool_actions.h"
#include "app/sheet_tidy.h"
#include "core/file/archive.h"
#include "core/file/document.h"
#include "core/platform/settings.h"
#include "support/test_util.h"

namespace tavro::gui {
namespace {

namespace fs = std::filesystem;
using test::ReadAll;

QCheckBox* Box(const CleanupDialog& d, const char* name) {
  auto* box = d.findChild<QCheckBox*>(QString::fromUtf8(name));
  EXPECT_NE(box, nullptr) << name;
  return box;
}

TEST(CleanupDialogTest, BoxesFollowEachOtherAndFillTheOptions) {
  test::TempDir tmp;
  test::WriteAll(tmp.file("report.dat"), "<html>\n");

  // The HTML log only while the template can be read.
  const struct {
    const char* what;
    std::string templatePath;
    bool available;
  } templates[] = {
      {"template found", tmp.file("report.dat"), true},
      {"template missing", tmp.file("missing.dat"), false},
  };
  for (const auto& t : templates) {
    SCOPED_TRACE(t.what);
    CleanupOptions o;
    o.html = true;
    o.templatePath = t.templatePath;
    CleanupDialog d(o);
    EXPECT_EQ(d.windowTitle(), QStringLiteral("重複整理"));
    EXPECT_EQ(d.HtmlAvailable(), t.available);
    EXPECT_EQ(Box(d, "html")->isEnabled(), t.available);
    EXPECT_EQ(Box(d, "html")->isChecked(), t.available);
    EXPECT_EQ(d.Options().html, t.available);
  }

  CleanupOptions o;
  o.templatePath = tmp.file("report.dat");
  o.missing = true;
  o.allFiles = true;
  o.outputPath = tmp.file("out.log");
  CleanupDialog d(o);
  // The labels the user reads, box by box.
  const std::pair<const char*, const char*> labels[] = {
      {"cleanLine", "線の整理を行う"},         {"wireJunc", "ワイヤ整理にジャンクションを使用する"},
      {"outside", "範囲外アイテムを削除する"}, {"bySheet", "部品番号は図面毎に計算する"},
      {"missing", "部品番号の欠番を出力する"}, {"html", "HTML形式で出力"},
      {"view", "作成したファイルを見る"},      {"keepNets", "接続が変わる整理はしない"},
  };
  for (const auto& [name, label] : labels)
    EXPECT_EQ(Box(d, name)->text(), QString::fromUtf8(label));

  // The junction choice follows the line merging.
  EXPECT_TRUE(Box(d, "wireJunc")->isEnabled());
  Box(d, "cleanLine")->setChecked(false);
  EXPECT_FALSE(Box(d, "wireJunc")->isEnabled());
  Box(d, "cleanLine")->setChecked(true);
  EXPECT_TRUE(Box(d, "wireJunc")->isEnabled());

  // No missing numbers per sheet; the choice comes back with the project.
  EXPECT_TRUE(Box(d, "missing")->isChecked());
  Box(d, "bySheet")->setChecked(true);
  EXPECT_FALSE(Box(d, "missing")->isEnabled());
  EXPECT_FALSE(Box(d, "missing")->isChecked());
  EXPECT_FALSE(d.Options().missing);
  Box(d, "bySheet")->setChecked(false);
  EXPECT_TRUE(Box(d, "missing")->isEnabled());
  EXPECT_TRUE(Box(d, "missing")->isChecked());

  // Every box flipped from the defaults; what the dialog does not show is
  // carried through.
  for (const auto& [name, label] : labels) Box(d, name)->setChecked(!Box(d, name)->isChecked());
  const CleanupOptions got = d.Options();
  EXPECT_FALSE(got.cleanLine);
  EXPECT_TRUE(got.wireJunc);
  EXPECT_TRUE(got.outside);
  EXPECT_TRUE(got.bySheet);
  EXPECT_FALSE(got.missing);  // flipped off before by-sheet hid it
  EXPECT_TRUE(got.html);
  EXPECT_FALSE(got.view);
  EXPECT_FALSE(got.keepNets);
  EXPECT_TRUE(got.allFiles);
  EXPECT_EQ(got.outputPath, tmp.file("out.log"));
  EXPECT_EQ(got.templatePath, tmp.file("report.dat"));

  // Without options, the settings; "KeepNets" is on by default.
  AppSettings().DeleteSection("CleanSection");
  CleanupDialog fromSettings;
  for (const char* on : {"cleanLine", "view", "keepNets"})
    EXPECT_TRUE(Box(fromSettings, on)->isChecked()) << on;
  for (const char* off : {"wireJunc", "outside", "bySheet", "missing"})
    EXPECT_FALSE(Box(fromSettings, off)->isChecked()) << off;
}

// A part of one pin: its root at `root`, its connection point at `at`.
std::string OnePinPart(const char* ref, CPoint root, CPoint at) {
  char text[256];
  std::snprintf(text, sizeof text,
                "Part %d %d %d %d %d %d 1 0 0 0\n"
                "Name \"X\" %d %d 65 8\n"
                "Ref \"%s\" %d %d 65 8\n"
                "Pin %d %d %d %d 0\n"
                "No \"1\" %d %d 65 0\n"
                "PartEnd\n",
                root.x, root.y, root.x - 100, root.y - 100, root.x + 100, root.y + 100, root.x,
                root.y - 150, ref, root.x, root.y + 150, root.x, root.y, at.x, at.y, root.x,
                root.y);
  return text;
}

std::string Wire(CPoint a, CPoint b) {
  char text[64];
  std::snprintf(text, sizeof text, "Line %d %d %d %d 8 0 0 0\n", a.x, a.y, b.x, b.y);
  return text;
}

// A duplicated wire between R1 and R2, and two overlapping wires on a row,
// only the first one on a pin (R3): merged, no net of pins changes.
const std::string kTwoFaults = Wire({1000, 1000}, {2000, 1000}) + Wire({1000, 1000}, {2000, 1000}) +
                               Wire({1000, 2000}, {2000, 2000}) + Wire({1500, 2000}, {2500, 2000}) +
                               OnePinPart("R1", {1000, 800}, {1000, 1000}) +
                               OnePinPart("R2", {2000, 800}, {2000, 1000}) +
                               OnePinPart("R3", {800, 2000}, {1000, 2000});

// Two wires meeting end to end with a third wire ending where they meet, no
// dot, each wire end on a pin: one net of R1, R2 and R3. Merged, the two
// wires pass the third one's end by, and R3 is left on its own.
const std::string kJoinsNets =
    Wire({0, 1000}, {1000, 1000}) + Wire({1000, 1000}, {2000, 1000}) +
    Wire({1000, 1000}, {1000, 2000}) + OnePinPart("R1", {0, 800}, {0, 1000}) +
    OnePinPart("R2", {2000, 800}, {2000, 1000}) + OnePinPart("R3", {800, 2000}, {1000, 2000});

CSheet SheetOf(const std::string& text) {
  CSheet sheet;
  CArchive ar(text);
  sheet.SerializeText(ar);
  return sheet;
}

std::string WireList(const CSheet& sheet) {
  std::string out;
  for (const auto& l : sheet.Wires()) {
    const CPoint s = l->GetStartPoint(), e = l->GetEndPoint();
    out += std::to_string(s.x) + "," + std::to_string(s.y) + "-" + std::to_string(e.x) + "," +
           std::to_string(e.y) + "\n";
  }
  return out;
}

// Sheet files and a project of them in a temporary folder, and a tool menu
// whose messages the test keeps.
class CleanupToolTest : public ::testing::Test {
 protected:
  void SetUp() override {
    AppSettings().DeleteSection("CleanSection");
    w_.SetDialogs({[this](const QString& m) { warnings_ << m; },
                   [](const QString&) { return int(QMessageBox::No); },
                   {},
                   {}});
    ToolActions::Hooks hooks{[this] { return w_.ActiveView(); },
                             [this] { return w_.Views(); },
                             [this] { return project_; },
                             [this]() -> Host* { return host_; },
                             [this](const QString& m) { warnings_ << m; },
                             [](const QString&) { return true; },
                             [this](const QString& s) { statuses_ << s; },
                             [this](const QString& p) {
                               shown_ << p;
                               return true;
                             },
                             {}};
    tools_ = std::make_unique<ToolActions>(&w_, hooks);
  }
  void TearDown() override { AppSettings().DeleteSection("CleanSection"); }

  std::string File(const std::string& name) const { return tmp_.file(name); }
  void WriteSheet(const std::string& name, const std::string& text) {
    CSheetDoc d;
    ASSERT_TRUE(d.LoadText(text, name, false).ok);
    ASSERT_TRUE(d.Save(File(name), false).ok);
  }
  void WriteProject(const std::vector<std::string>& sheets) {
    std::string text = "Project File Ver 0.03\n";
    for (const std::string& s : sheets) text += "1:" + s + "\n";
    test::WriteAll(File("clean.tpj"), text + "EndFileList\n");
    project_ = File("clean.tpj");
  }
  EditorDocument& Open(const std::string& name) {
    SheetView* v = w_.OpenSheet(QString::fromStdString(File(name)));
    EXPECT_NE(v, nullptr) << name;
    return v->Document();
  }

  test::TempDir tmp_;
  MainWindow w_;
  std::unique_ptr<ToolActions> tools_;
  std::string project_;
  Host* host_ = nullptr;
  QStringList warnings_, statuses_, shown_;
};

// A host that lets the user act once, when the job reaches its sheets.
class MidRunHost : public Host {
 public:
  explicit MidRunHost(std::function<void()> act) : act_(std::move(act)) {}
  void BeginStage(int stage, int) override {
    if (stage == kStageCleanSheets && act_) std::exchange(act_, {})();
  }

 private:
  std::function<void()> act_;
};

TEST_F(CleanupToolTest, OpenSheetInOneUndoStepOtherSheetInItsFile) {
  WriteSheet("s1.tcd", kTwoFaults);
  WriteSheet("s2.tcd", kTwoFaults);
  WriteProject({"s1.tcd", "s2.tcd"});
  EditorDocument& s1 = Open("s1.tcd");
  // A selection of items that are about to move in their lists.
  s1.Select(Selection::All(s1.Sheet()));
  const std::string before = s1.Doc().Write(false);
  const std::string file1 = ReadAll(File("s1.tcd")), file2 = ReadAll(File("s2.tcd"));

  const CleanupResult r = tools_->RunCleanup(CleanupOptions{});
  ASSERT_EQ(r.status, CleanupResult::kOk) << r.message;
  const std::string tidied = "1000,1000-2000,1000\n1000,2000-2500,2000\n";
  EXPECT_EQ(WireList(s1.Sheet()), tidied);
  EXPECT_TRUE(s1.Selected().Empty());
  EXPECT_EQ(statuses_, QStringList{QStringLiteral("重複整理: 2 シートを整理しました")});
  ASSERT_EQ(warnings_.size(), 1);
  EXPECT_EQ(warnings_[0], QStringLiteral("s2.tcd は開かれていないため、ファイルに保存しました"));

  // The open document waits for the user to save; one step undoes it all.
  EXPECT_TRUE(s1.IsModified());
  EXPECT_EQ(ReadAll(File("s1.tcd")), file1);
  EXPECT_FALSE(fs::exists(File("s1.bak")));
  ASSERT_TRUE(s1.Undo());
  EXPECT_EQ(s1.Doc().Write(false), before);
  EXPECT_FALSE(s1.CanUndo());
  EXPECT_FALSE(s1.IsModified());

  // The other sheet is saved tidied, the file it was kept as its backup.
  CSheetDoc s2;
  ASSERT_TRUE(s2.Open(File("s2.tcd")).ok);
  EXPECT_EQ(WireList(s2.GetSheet()), tidied);
  EXPECT_EQ(ReadAll(File("s2.bak")), file2);

  // The log beside the project, shown as asked.
  EXPECT_EQ(r.logPath, File("clean.log"));
  EXPECT_TRUE(fs::exists(r.logPath));
  EXPECT_EQ(shown_, QStringList{QString::fromStdString(r.logPath)});

  // A second run finds nothing left: no new step, no new save. With the
  // HTML log, that is the one shown.
  statuses_.clear();
  warnings_.clear();
  ASSERT_TRUE(s1.Redo());
  const std::string saved2 = ReadAll(File("s2.tcd"));
  test::WriteAll(File("report.dat"), "<html>\n");
  CleanupOptions html;
  html.html = true;
  html.templatePath = File("report.dat");
  const CleanupResult again = tools_->RunCleanup(html);
  ASSERT_EQ(again.status, CleanupResult::kOk) << again.message;
  EXPECT_EQ(statuses_, QStringList{QStringLiteral("重複整理: 0 シートを整理しました")});
  EXPECT_TRUE(warnings_.isEmpty()) << warnings_.join('\n').toStdString();
  ASSERT_TRUE(s1.Undo());
  EXPECT_EQ(s1.Doc().Write(false), before);
  EXPECT_EQ(ReadAll(File("s2.tcd")), saved2);
  EXPECT_EQ(again.htmlPath, File("clean.log.html"));
  EXPECT_TRUE(fs::exists(again.htmlPath));
  EXPECT_EQ(shown_.size(), 2);
  EXPECT_EQ(shown_.back(), QString::fromStdString(again.htmlPath));
}

TEST_F(CleanupToolTest, ATidyingThatChangesTheNetsIsNotKept) {
  // The fixture does what it says: tidied, the nets differ.
  const CSheet joined = SheetOf(kJoinsNets);
  CSheet tidied(joined);
  TidySheet(tidied, TidyOptions{});
  ASSERT_NE(SheetNetSignature(joined, "k.tcd"), SheetNetSignature(tidied, "k.tcd"));

  WriteSheet("k1.tcd", kJoinsNets);
  WriteSheet("k2.tcd", kJoinsNets);
  WriteProject({"k1.tcd", "k2.tcd"});
  EditorDocument& k1 = Open("k1.tcd");
  const std::string before = k1.Doc().Write(false);
  const std::string file2 = ReadAll(File("k2.tcd"));

  const CleanupResult r = tools_->RunCleanup(CleanupOptions{});
  ASSERT_EQ(r.status, CleanupResult::kOk) << r.message;
  ASSERT_EQ(r.sheets.size(), 2u);
  for (const SheetTidyReport& s : r.sheets) {
    EXPECT_TRUE(s.kept) << s.path;
    EXPECT_FALSE(s.written) << s.path;
  }
  EXPECT_FALSE(k1.CanUndo());
  EXPECT_FALSE(k1.IsModified());
  EXPECT_EQ(k1.Doc().Write(false), before);
  EXPECT_EQ(ReadAll(File("k2.tcd")), file2);
  EXPECT_FALSE(fs::exists(File("k2.bak")));
  EXPECT_EQ(statuses_, QStringList{QStringLiteral("重複整理: 0 シートを整理しました")});
  ASSERT_EQ(warnings_.size(), 1);
  EXPECT_EQ(warnings_[0], QStringLiteral("k1.tcd: 接続が変わるため整理しませんでした\n"
                                         "k2.tcd: 接続が変わるため整理しませんでした"));

  // Asked for, the same tidying is made.
  CleanupOptions anyway;
  anyway.keepNets = false;
  anyway.view = false;
  ASSERT_EQ(tools_->RunCleanup(anyway).status, CleanupResult::kOk);
  EXPECT_EQ(WireList(k1.Sheet()), WireList(tidied));
}

// A document changed or closed while the job ran keeps what the user did:
// its tidied copy would undo an edit, or bring back changes the user threw
// away on closing.
TEST_F(CleanupToolTest, ADocumentChangedOrClosedMeanwhileIsLeftAlone) {
  WriteSheet("s1.tcd", kTwoFaults);
  WriteProject({"s1.tcd"});
  const std::string file = ReadAll(File("s1.tcd"));
  const struct {
    const char* what;
    bool close;
    const char* note;
  } cases[] = {
      {"closed", true, "s1.tcd は実行中に閉じられたため整理しませんでした"},
      {"edited", false, "s1.tcd は実行中に変更されたため整理しませんでした"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    warnings_.clear();
    EditorDocument& s1 = Open("s1.tcd");
    ASSERT_FALSE(s1.CanUndo());
    const std::string before = s1.Doc().Write(false);
    SheetView* view = w_.ActiveView();
    MidRunHost host([&] {
      if (c.close) {
        // Unchanged, it closes without a question.
        EXPECT_TRUE(qobject_cast<QMdiSubWindow*>(view->parentWidget())->close());
        QCoreApplication::processEvents();
      } else {
        s1.Select(Selection::All(s1.Sheet()));
        s1.MoveSelection({100, 0});
      }
    });
    host_ = &host;
    ASSERT_EQ(tools_->RunCleanup(CleanupOptions{}).status, CleanupResult::kOk);
    host_ = nullptr;
    ASSERT_EQ(warnings_.size(), 1);
    EXPECT_EQ(warnings_[0], QString::fromUtf8(c.note));
    EXPECT_EQ(ReadAll(File("s1.tcd")), file);
    EXPECT_FALSE(fs::exists(File("s1.bak")));
    if (c.close) {
      EXPECT_TRUE(w_.Views().empty());
      continue;
    }
    // The user's move is the only step.
    ASSERT_TRUE(s1.Undo());
    EXPECT_EQ(s1.Doc().Write(false), before);
    EXPECT_FALSE(s1.CanUndo());
  }
}

// A project sheet that is not a sheet file (here a Tango file) is refused
// before anything is tidied: saving it would replace it by a sheet file.
TEST_F(CleanupToolTest, AFileOfAnotherFormIsNeverReplaced) {
  CSheetDoc tango;
  ASSERT_TRUE(tango.LoadText(kTwoFaults, "t", false).ok);
  test::WriteAll(File("t.sch"), tango.WriteTango());
  {
    CSheetDoc check;
    ASSERT_TRUE(check.Open(File("t.sch")).ok);  // a file the editor reads
  }
  WriteSheet("s1.tcd", kTwoFaults);
  WriteProject({"s1.tcd", "t.sch"});
  EditorDocument& s1 = Open("s1.tcd");
  const std::string file = ReadAll(File("t.sch"));

  const CleanupResult r = tools_->RunCleanup(CleanupOptions{});
  EXPECT_EQ(r.status, CleanupResult::kFailed);
  EXPECT_EQ(ReadAll(File("t.sch")), file);
  EXPECT_FALSE(fs::exists(File("t.bak")));
  EXPECT_FALSE(s1.CanUndo());
  ASSERT_EQ(warnings_.size(), 1);
  EXPECT_TRUE(warnings_[0].contains(QStringLiteral("t.sch"))) << warnings_[0].toStdString();
  EXPECT_TRUE(statuses_.isEmpty());
}

}  // namespace
}  // namespace tavro::gui
