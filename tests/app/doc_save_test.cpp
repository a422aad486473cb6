// Saving documents: backups, creation times, the modified state, the
// automatic save and the clean-up of automatic-save files.
#include "app/doc_save.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/xattr.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "core/file/document.h"
#include "core/platform/codec.h"
#include "core/platform/settings.h"
#include "support/test_util.h"

namespace tavro {
namespace {

namespace fs = std::filesystem;
using test::ReadAll;
using test::TempDir;
using test::WriteAll;

// A creation time long before any test runs.
constexpr std::time_t kOld = 1000000000;

// A document holding one line of the given length (so documents differ).
CSheetDoc Doc(int length) {
  CSheetDoc doc;
  const std::string text = "Line 0 0 " + std::to_string(length) + " 0 8 0 0 0\n";
  EXPECT_TRUE(doc.LoadText(text, "doc.txt", false).ok);
  return doc;
}

using test::CountEntries;

TEST(CreationTime, IsRecordedOnTheFile) {
  TempDir dir;
  const std::string path = dir.file("a.tcd");
  WriteAll(path, "x");
  ASSERT_TRUE(SetFileCreationTime(path, kOld));
  EXPECT_EQ(ReadFileTimes(path).creation, kOld);
  // Not a number: the file system's own time.
  ASSERT_EQ(::setxattr(path.c_str(), kCreationTimeAttribute, "12x", 3, 0), 0);
  EXPECT_GT(ReadFileTimes(path).creation, kOld);
  EXPECT_FALSE(SetFileCreationTime(dir.file("missing.tcd"), kOld));
}

TEST(BackupPath, CutsFourCharactersOfTheFileName) {
  const struct {
    std::string path, backup;
  } cases[] = {
      {"/d/sheet.tcd", "/d/sheet.bak"},
      {"sheet.TCD", "sheet.bak"},
      {"/d/回路図.tcd", "/d/回路図.bak"},
      {"/d/回路図一覧", "/d/回.bak"},  // characters, not bytes
      {"/d/.tcd", "/d/.bak"},
      {"/d/abc", ""},    // the cut would reach into the folder
      {"/d/x.bak", ""},  // the backup would be the file itself
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(BackupPath(c.path), c.backup) << c.path;
}

TEST(DocumentWindowTitle, PathOrTitleAndTheModifiedMark) {
  const struct {
    std::string path, title;
    bool fullPath, modified;
    std::string shown;
  } cases[] = {
      {"/d/回路.tcd", J("回路.tcd"), true, false, "/d/回路.tcd"},
      {"/d/回路.tcd", J("回路.tcd"), true, true, "/d/回路.tcd (更新)"},
      {"/d/回路.tcd", J("回路.tcd"), false, false, "回路.tcd"},
      {"", J("無題"), true, true, "無題 (更新)"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(DocumentWindowTitle(c.path, c.title, c.fullPath, c.modified), c.shown) << c.shown;
}

TEST(DocSaveState, ModifiedByUndoPositionOrFlag) {
  DocSaveState s;
  EXPECT_FALSE(s.IsModified());
  s.Changed(1);
  EXPECT_TRUE(s.IsModified());
  s.Changed(0);  // undone back to the saved position
  EXPECT_FALSE(s.IsModified());
  EXPECT_EQ(s.changeCount, 2);
  s.modified = true;
  EXPECT_TRUE(s.IsModified());
  s.MarkClean(3);
  EXPECT_FALSE(s.IsModified());
  EXPECT_EQ(s.changeCount, 0);
  EXPECT_EQ(s.savedUndoPos, 3);
}

TEST(SaveOptions, FromSettingsAndTheSavePage) {
  Settings settings;
  SaveOptions o = SaveOptions::FromSettings(settings);
  EXPECT_TRUE(o.backUp);
  EXPECT_FALSE(o.autoSave);
  EXPECT_EQ(o.undoCount, 10);  // not the table's 100
  EXPECT_EQ(o.delayTime, 5);
  EXPECT_FALSE(o.fileUpdate);
  EXPECT_EQ(o.saveFolder, "");
  EXPECT_TRUE(o.floppy);
  EXPECT_EQ(AutoSaveIntervalMs(o), 0);

  settings.WriteInt("FileSave", "BackUp", 0);
  settings.WriteInt("FileSave", "AutoSave", 1);
  settings.WriteInt("FileSave", "UndoCount", 3);
  settings.WriteInt("FileSave", "DelayTime", 7);
  settings.WriteInt("FileSave", "FileUpdate", 1);
  settings.WriteString("FileSave", "SaveFolder", J("/tmp/保存"));
  settings.WriteInt("FileSave", "Floppy", 0);
  o = SaveOptions::FromSettings(settings);
  EXPECT_FALSE(o.backUp);
  EXPECT_EQ(o.undoCount, 3);
  EXPECT_EQ(o.saveFolder, "/tmp/保存");
  EXPECT_FALSE(o.floppy);
  EXPECT_EQ(AutoSaveIntervalMs(o), 7000);
  EXPECT_EQ(ConfirmSavePage(o), "");
  EXPECT_TRUE(o.fileUpdate);

  o.saveFolder.clear();
  EXPECT_EQ(ConfirmSavePage(o), "別フォルダで自動保存されません。");
  EXPECT_FALSE(o.fileUpdate);
  o.delayTime = 0;
  EXPECT_EQ(AutoSaveIntervalMs(o), 0);
}

TEST(SaveDocument, SavingTwiceKeepsOneBackupAndTheFirstCreationTime) {
  TempDir dir;
  const std::string path = dir.file("回路.tcd");
  const std::string bak = dir.file("回路.bak");
  const SaveOptions options;
  DocSaveState state;

  CSheetDoc first = Doc(100);
  state.Changed(1);
  SaveResult r = SaveDocument(first, path, options, state, 1);
  ASSERT_TRUE(r.ok) << r.message;
  EXPECT_EQ(r.backupPath, "");
  EXPECT_FALSE(state.IsModified());
  const std::string firstBytes = ReadAll(path);
  ASSERT_TRUE(SetFileCreationTime(path, kOld));  // as if created long ago

  CSheetDoc second = Doc(200);
  state.Changed(2);
  r = SaveDocument(second, path, options, state, 2);
  ASSERT_TRUE(r.ok) << r.message;
  EXPECT_EQ(r.backupPath, bak);
  EXPECT_EQ(ReadAll(bak), firstBytes);
  const std::string secondBytes = ReadAll(path);
  EXPECT_EQ(secondBytes, second.Write(false));

  CSheetDoc third = Doc(300);
  state.Changed(3);
  r = SaveDocument(third, path, options, state, 3);
  ASSERT_TRUE(r.ok) << r.message;
  EXPECT_EQ(ReadAll(bak), secondBytes);
  EXPECT_EQ(ReadAll(path), third.Write(false));
  EXPECT_EQ(CountEntries(dir.path()), 2u);
  EXPECT_EQ(ReadFileTimes(path).creation, kOld);
  EXPECT_EQ(ReadFileTimes(bak).creation, kOld);
  EXPECT_EQ(third.GetFileTimes().creation, kOld);
  EXPECT_EQ(third.GetPath(), path);
  EXPECT_FALSE(state.IsModified());
  EXPECT_EQ(state.changeCount, 0);

  // Without backups the backup stays as it was and the creation time still holds.
  SaveOptions noBackup;
  noBackup.backUp = false;
  CSheetDoc fourth = Doc(400);
  r = SaveDocument(fourth, path, noBackup, state, 4);
  ASSERT_TRUE(r.ok) << r.message;
  EXPECT_EQ(r.backupPath, "");
  EXPECT_EQ(ReadAll(bak), secondBytes);
  EXPECT_EQ(ReadFileTimes(path).creation, kOld);
}

TEST(SaveDocument, ReadOnlyFilesAreLeftAlone) {
  TempDir dir;
  const std::string path = dir.file("a.tcd");
  const std::string bak = dir.file("a.bak");
  const SaveOptions options;
  DocSaveState state;
  CSheetDoc first = Doc(100);
  ASSERT_TRUE(SaveDocument(first, path, options, state, 0).ok);

  // A read-only backup: no backup is made, the sheet is saved all the same.
  WriteAll(bak, "kept");
  ::chmod(bak.c_str(), 0444);
  CSheetDoc second = Doc(200);
  SaveResult r = SaveDocument(second, path, options, state, 1);
  ASSERT_TRUE(r.ok) << r.message;
  EXPECT_EQ(r.backupPath, "");
  EXPECT_EQ(ReadAll(bak), "kept");
  EXPECT_EQ(ReadAll(path), second.Write(false));

  // A read-only sheet is not replaced.
  ::chmod(path.c_str(), 0444);
  CSheetDoc third = Doc(300);
  state.Changed(2);
  r = SaveDocument(third, path, options, state, 2);
  EXPECT_FALSE(r.ok);
  EXPECT_NE(r.message.find(path), std::string::npos) << r.message;
  EXPECT_EQ(ReadAll(path), second.Write(false));
  EXPECT_TRUE(state.IsModified());
}

TEST(SaveDocument, AFailedWriteLosesNothing) {
  TempDir dir;
  const SaveOptions options;

  // The folder of the target is a regular file.
  WriteAll(dir.file("plain"), "plain");
  const std::string inside = dir.file("plain/a.tcd");
  CSheetDoc doc = Doc(100);
  DocSaveState state;
  state.Changed(1);
  SaveResult r = SaveDocument(doc, inside, options, state, 1);
  EXPECT_FALSE(r.ok);
  EXPECT_NE(r.message.find(inside), std::string::npos) << r.message;
  EXPECT_EQ(r.message.find('\n'), std::string::npos) << r.message;
  EXPECT_TRUE(state.IsModified());
  EXPECT_EQ(state.changeCount, 1);
  EXPECT_EQ(doc.GetPath(), "");
  EXPECT_EQ(ReadAll(dir.file("plain")), "plain");

  // The disk fills up half way through replacing an existing sheet (a file
  // size limit, in a child process so that the limit stays there).
  const std::string path = dir.file("b.tcd");
  CSheetDoc old = Doc(100);
  ASSERT_TRUE(SaveDocument(old, path, options, state, 0).ok);
  WriteAll(dir.file("b.bak"), "older backup");
  const std::string oldBytes = ReadAll(path);
  auto saveWithLimit = [&] {
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit lim{16, 16};
    ::setrlimit(RLIMIT_FSIZE, &lim);
    CSheetDoc next = Doc(200);
    DocSaveState s;
    s.Changed(1);
    const SaveResult failed = SaveDocument(next, path, options, s, 1);
    const bool intact = ReadAll(path) == oldBytes && ReadAll(dir.file("b.bak")) == oldBytes &&
                        CountEntries(dir.path()) == 3;
    std::_Exit(!failed.ok && !failed.message.empty() && s.IsModified() && intact ? 0 : 1);
  };
  EXPECT_EXIT(saveWithLimit(), ::testing::ExitedWithCode(0), "");
  EXPECT_EQ(ReadAll(path), oldBytes);
}

TEST(SaveDocument, ReadOnlyWarningWhenSavedAutomatically) {
  TempDir dir;
  WriteAll(dir.file("ro.tcd"), "x");
  ::chmod(dir.file("ro.tcd").c_str(), 0444);
  WriteAll(dir.file("rw.tcd"), "x");
  SaveOptions on;
  on.autoSave = true;
  const SaveOptions off;
  const struct {
    std::string file;
    const SaveOptions& options;
    std::string warning;
  } cases[] = {
      {"ro.tcd", on, "読み込み専用ファイルは自動保存の対象外です"},
      {"ro.tcd", off, ""},
      {"rw.tcd", on, ""},
      {"missing.tcd", on, ""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ReadOnlyAutoSaveWarning(dir.file(c.file), c.options), c.warning) << c.file;
}

TEST(IsOnRemovableDrive, UnknownFoldersAreNotRemovable) {
  EXPECT_FALSE(IsOnRemovableDrive("/nonexistent/folder/a.tcd"));
  EXPECT_FALSE(IsOnRemovableDrive("/proc/a.tcd"));  // no block device
}

// One automatic-save check. Every case starts from a document with ten
// changes (UndoCount 10), title "回路", number 7, working folder "work", no
// selection, Floppy on and a drive that is not removable.
struct AutoSaveSetup {
  SaveOptions options;
  AutoSaveContext context;
};

struct AutoSaveCase {
  const char* what;
  std::string savedAs;  // the document's file before, in the test folder ("": never saved)
  bool readOnly;        // that file is read-only
  std::function<void(AutoSaveSetup&, const TempDir&)> adjust;
  AutoSaveOutcome outcome;
  AutoSaveSkip skip;
  std::string written;  // the file written, in the test folder
  std::string backup;   // the backup made, in the test folder
  bool clean;           // the document is clean afterwards
};

TEST(AutoSaveDocument, Cases) {
  const auto title = [](const char* t) {
    return [t](AutoSaveSetup& s, const TempDir&) { s.context.title = t; };
  };
  const auto saveFolder = [](const char* folder) {
    return [folder](AutoSaveSetup& s, const TempDir& dir) {
      s.options.fileUpdate = true;
      s.options.saveFolder = *folder ? dir.file(folder) : "";
    };
  };
  using enum AutoSaveOutcome;
  using enum AutoSaveSkip;
  const AutoSaveCase cases[] = {
      {"never saved", "", false, nullptr, kSaved, kNone, "work/回路.tcd", "", true},
      {"no title", "", false, title(""), kSaved, kNone, "work/Sav7.tcd", "", true},
      {"modified mark cut", "", false, title("回路 (更新)"), kSaved, kNone, "work/回路.tcd", "",
       true},
      {"extension in capitals", "", false, title("a.TCD"), kSaved, kNone, "work/a.TCD", "", true},
      {"own file", "a.tcd", false, nullptr, kSaved, kNone, "a.tcd", "a.bak", true},
      {"own file without backups", "a.tcd", false,
       [](AutoSaveSetup& s, const TempDir&) { s.options.backUp = false; }, kSaved, kNone, "a.tcd",
       "", true},
      {"not a sheet name", "b.sheet", false, nullptr, kSaved, kNone, "b.sheet.tcd", "", true},
      {"read-only file", "a.tcd", true, nullptr, kSkipped, kReadOnlyTarget, "", "", false},
      {"save folder", "", false, saveFolder("save"), kSaved, kNone, "save/回路.tcd", "", false},
      {"save folder with slash", "a.tcd", false, saveFolder("save/"), kSaved, kNone, "save/a.tcd",
       "", false},
      {"no save folder", "", false, saveFolder(""), kSkipped, kNoSaveFolder, "", "", false},
      {"selection", "", false,
       [](AutoSaveSetup& s, const TempDir&) { s.context.selectionHasItems = true; }, kSkipped,
       kSelection, "", "", false},
      {"few changes", "", false, [](AutoSaveSetup& s, const TempDir&) { s.options.undoCount = 11; },
       kSkipped, kFewChanges, "", "", false},
      {"removable drive", "", false,
       [](AutoSaveSetup& s, const TempDir&) {
         s.context.isRemovable = [](const std::string&) { return true; };
       },
       kSkipped, kRemovableDrive, "", "", false},
      {"removable drive allowed", "", false,
       [](AutoSaveSetup& s, const TempDir&) {
         s.options.floppy = false;
         s.context.isRemovable = [](const std::string&) { return true; };
       },
       kSaved, kNone, "work/回路.tcd", "", true},
      {"unwritable folder", "", false,
       [](AutoSaveSetup& s, const TempDir& dir) { s.context.workFolder = dir.file("plain"); },
       kFailed, kNone, "", "", false},
  };
  for (const AutoSaveCase& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    fs::create_directory(dir.file("work"));
    fs::create_directory(dir.file("save"));
    WriteAll(dir.file("plain"), "plain");
    AutoSaveSetup setup;
    setup.context.workFolder = dir.file("work");
    setup.context.title = "回路";
    setup.context.number = 7;
    setup.context.undoPos = 10;
    std::string checked;
    setup.context.isRemovable = [&checked](const std::string& p) {
      checked = p;
      return false;
    };
    std::vector<std::string> shown;
    setup.context.showStatus = [&shown](std::string_view s) { shown.emplace_back(s); };

    CSheetDoc doc = Doc(100);
    DocSaveState state;
    const std::string ownPath = c.savedAs.empty() ? "" : dir.file(c.savedAs);
    std::string before;
    if (!ownPath.empty()) {
      ASSERT_TRUE(SaveDocument(doc, ownPath, SaveOptions(), state, 0).ok);
      ASSERT_TRUE(SetFileCreationTime(ownPath, kOld));
      before = ReadAll(ownPath);
      if (c.readOnly) ::chmod(ownPath.c_str(), 0444);
    }
    for (int i = 1; i <= 10; ++i) {
      doc.GetSheet().NewWire(CPoint(0, i * 100), CPoint(500, i * 100));
      state.Changed(i);
    }
    if (c.adjust) c.adjust(setup, dir);

    const AutoSaveResult r = AutoSaveDocument(doc, state, setup.options, setup.context);
    EXPECT_EQ(r.outcome, c.outcome);
    EXPECT_EQ(r.skip, c.skip);
    const bool attempted = c.skip != kSelection && c.skip != kFewChanges;
    EXPECT_EQ(r.status, attempted ? std::string(kAutoSaveStatus) : "");
    EXPECT_EQ(shown.size(), attempted ? 1u : 0u);
    EXPECT_EQ(r.backupPath, c.backup.empty() ? "" : dir.file(c.backup));
    if (c.outcome == kSaved) {
      EXPECT_EQ(r.target, dir.file(c.written));
      EXPECT_EQ(ReadAll(r.target), doc.Write(false));
      EXPECT_EQ(state.changeCount, 0);
      EXPECT_EQ(state.IsModified(), !c.clean);
      EXPECT_EQ(doc.GetPath(), c.clean ? r.target : ownPath);
      if (!c.backup.empty()) {
        EXPECT_EQ(ReadAll(dir.file(c.backup)), before);
      }
      if (r.target == ownPath) {
        EXPECT_EQ(ReadFileTimes(r.target).creation, kOld);
      }
      if (c.clean) {
        EXPECT_EQ(doc.GetFileTimes().creation, ReadFileTimes(r.target).creation);
      }
      if (setup.options.floppy && !checked.empty()) {
        EXPECT_EQ(checked, r.target);
      }
    } else {
      EXPECT_EQ(state.changeCount, 10);
      EXPECT_TRUE(state.IsModified());
      EXPECT_EQ(doc.GetPath(), ownPath);
      EXPECT_EQ(c.outcome == kFailed, !r.message.empty()) << r.message;
      EXPECT_EQ(CountEntries(dir.file("work")), 0u);
      EXPECT_EQ(CountEntries(dir.file("save")), 0u);
      if (!ownPath.empty()) {
        EXPECT_EQ(ReadAll(ownPath), before);
      }
    }
    if (c.backup.empty() && !ownPath.empty()) {
      EXPECT_FALSE(fs::exists(BackupPath(ownPath)));
    }
  }
}

TEST(DeleteAutoSaveFiles, DeletesBackupsAndSheetsAndGoesOnAfterAFailure) {
  TempDir dir;
  for (const char* f : {"a.bak", "B.BAK", "c.tcd", "D.Tcd", "keep.txt", "notes.bak.txt"})
    WriteAll(dir.file(f), "x");
  // Folders with matching names cannot be deleted; the one in "sub" is not looked at.
  for (const char* d : {"z.bak", "a.tcd", "sub"}) fs::create_directory(dir.file(d));
  WriteAll(dir.file("sub/x.tcd"), "x");

  std::vector<std::string> asked, reports;
  auto ask = [&asked](bool answer) {
    return [&asked, answer](std::string_view q) {
      asked.emplace_back(q);
      return answer;
    };
  };
  auto report = [&reports](const std::string& m) { reports.push_back(m); };

  EXPECT_FALSE(DeleteAutoSaveFiles("", ask(true), report).confirmed);  // no save folder
  EXPECT_TRUE(asked.empty());
  EXPECT_FALSE(DeleteAutoSaveFiles(dir.path().string(), ask(false), report).confirmed);
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0], "バックアップファイルを削除します。復活不可");
  EXPECT_EQ(CountEntries(dir.path()), 9u);

  const DeleteAutoSaveResult r = DeleteAutoSaveFiles(dir.path().string(), ask(true), report);
  EXPECT_TRUE(r.confirmed);
  EXPECT_EQ(r.deleted, 4);
  EXPECT_EQ(r.failed, 2);
  // Backups first, then sheets.
  EXPECT_EQ(reports, (std::vector<std::string>{"削除できません。\n" + dir.file("z.bak"),
                                               "削除できません。\n" + dir.file("a.tcd")}));
  for (const char* f : {"keep.txt", "notes.bak.txt", "sub/x.tcd"})
    EXPECT_TRUE(fs::exists(dir.file(f))) << f;
  for (const char* f : {"a.bak", "B.BAK", "c.tcd", "D.Tcd"})
    EXPECT_FALSE(fs::exists(dir.file(f))) << f;
}

}  // namespace
}  // namespace tavro
