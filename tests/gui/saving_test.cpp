// Saving from the editor: the backup and the title, the question before a
// modified document is closed, and the automatic save on its timer.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QTimer>
#include <filesystem>

#include "app/gui/editor_document.h"
#include "app/gui/main_window.h"
#include "app/gui/sheet_view.h"
#include "core/platform/settings.h"
#include "support/test_util.h"

namespace tavro::gui {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

class SavingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::copy_file(TAVRO_SOURCE_DIR "/examples/demo/amp1.tcd", tmp.file("amp1.tcd"));
    original = test::ReadAll(tmp.file("amp1.tcd"));
    w.SetDialogs({[this](const QString& m) { told << m; },
                  [this](const QString& q) {
                    asked << q;
                    return answer;
                  },
                  [this](const QString&) { return saveName; },
                  {}});
    w.show();
  }
  void TearDown() override {
    for (const char* key : {"AutoSave", "UndoCount", "DelayTime", "BackUp"})
      AppSettings().DeleteValue("FileSave", key);
  }
  QString Path(const char* name) { return QString::fromStdString(tmp.file(name)); }

  TempDir tmp;
  std::string original;
  MainWindow w;
  QStringList told;
  QStringList asked;
  int answer = QMessageBox::Cancel;
  QString saveName;
};

TEST_F(SavingTest, SaveKeepsABackupAndClearsTheTitleMark) {
  SheetView* v = w.OpenSheet(Path("amp1.tcd"));
  ASSERT_NE(v, nullptr);
  v->StoreView(0);  // the stored whole view is a change of the document
  ASSERT_TRUE(v->Document().IsModified());
  QMdiSubWindow* sub = qobject_cast<QMdiSubWindow*>(v->parentWidget());
  ASSERT_NE(sub, nullptr);
  EXPECT_TRUE(sub->windowTitle().endsWith(QStringLiteral(" (更新)")));

  ASSERT_TRUE(w.Save(v)) << told.join("\n").toStdString();
  EXPECT_FALSE(v->Document().IsModified());
  EXPECT_FALSE(sub->windowTitle().endsWith(QStringLiteral(" (更新)")));
  EXPECT_EQ(test::ReadAll(tmp.file("amp1.bak")), original);
  EXPECT_EQ(test::ReadAll(tmp.file("amp1.tcd")),
            v->Document().Doc().Write(AppSettings().GetInt("FileSave", "TitleInclude") != 0));
}

TEST_F(SavingTest, SaveAsNamesTheFileAndAFailureKeepsTheDocumentModified) {
  SheetView* v = w.NewSheet();
  ASSERT_NE(v, nullptr);
  v->StoreView(0);
  // Cancelled: nothing written.
  saveName.clear();
  EXPECT_FALSE(w.Save(v));
  EXPECT_TRUE(v->Document().IsUntitled());
  // A folder that does not exist: told, still modified.
  saveName = Path("no/such/new.tcd");
  EXPECT_FALSE(w.Save(v));
  ASSERT_EQ(told.size(), 1);
  EXPECT_TRUE(told[0].contains(QStringLiteral("new.tcd")));
  EXPECT_TRUE(v->Document().IsModified());
  // A name without the extension gets ".tcd".
  saveName = Path("new");
  ASSERT_TRUE(w.Save(v));
  EXPECT_TRUE(fs::exists(tmp.file("new.tcd")));
  EXPECT_EQ(v->Document().DisplayName(), "new.tcd");
  EXPECT_FALSE(v->Document().IsModified());
}

TEST_F(SavingTest, ClosingAModifiedDocumentAsks) {
  SheetView* v = w.OpenSheet(Path("amp1.tcd"));
  ASSERT_NE(v, nullptr);
  v->StoreView(0);
  QMdiSubWindow* sub = qobject_cast<QMdiSubWindow*>(v->parentWidget());
  // Cancel keeps the window and the file.
  answer = QMessageBox::Cancel;
  EXPECT_FALSE(sub->close());
  ASSERT_EQ(asked.size(), 1);
  EXPECT_EQ(asked[0], QStringLiteral("amp1.tcd への変更を保存しますか？"));
  EXPECT_EQ(w.Views().size(), 1u);
  // Quitting asks too, and cancel keeps the program.
  EXPECT_FALSE(w.close());
  EXPECT_EQ(asked.size(), 2);
  // No closes without saving.
  answer = QMessageBox::No;
  EXPECT_TRUE(sub->close());
  QCoreApplication::processEvents();
  EXPECT_TRUE(w.Views().empty());
  EXPECT_EQ(test::ReadAll(tmp.file("amp1.tcd")), original);
  EXPECT_FALSE(fs::exists(tmp.file("amp1.bak")));
}

TEST_F(SavingTest, AutomaticSaveOnItsTimer) {
  Settings& s = AppSettings();
  s.WriteInt("FileSave", "AutoSave", 1);
  s.WriteInt("FileSave", "DelayTime", 7);
  s.WriteInt("FileSave", "UndoCount", 2);
  w.RestartAutoSave();
  auto* timer = w.findChild<QTimer*>();
  ASSERT_NE(timer, nullptr);
  EXPECT_TRUE(timer->isActive());
  EXPECT_EQ(timer->interval(), 7000);
  w.SetRemovableCheck([](const std::string&) { return false; });

  SheetView* v = w.OpenSheet(Path("amp1.tcd"));
  ASSERT_NE(v, nullptr);
  v->StoreView(0);
  // One change is fewer than UndoCount: the tick leaves the file alone.
  w.AutoSaveTick();
  EXPECT_EQ(test::ReadAll(tmp.file("amp1.tcd")), original);
  EXPECT_TRUE(v->Document().IsModified());
  // A second change: saved, with its backup, and the document is clean.
  v->StoreView(0);
  w.AutoSaveTick();
  EXPECT_NE(test::ReadAll(tmp.file("amp1.tcd")), original);
  EXPECT_EQ(test::ReadAll(tmp.file("amp1.bak")), original);
  EXPECT_FALSE(v->Document().IsModified());
  EXPECT_EQ(v->Document().SaveState().changeCount, 0);

  // Off: no timer.
  s.WriteInt("FileSave", "AutoSave", 0);
  w.RestartAutoSave();
  EXPECT_FALSE(timer->isActive());
}

}  // namespace
}  // namespace tavro::gui
