// Saving sheet documents, as the editor and the batch commands that change
// sheets do it: backups, creation times, the modified state, the automatic
// save and the clean-up of automatic-save files. GUI-free: questions are
// callbacks and texts to show are returned.
//
// Saving a document to a path:
//   1. With BackUp on and a regular file at the path, the file's creation
//      time is remembered and, unless the file is read-only, it becomes the
//      backup (BackupPath): an older backup is deleted first, unless that
//      backup is read-only, in which case no backup is made. The backup is a
//      second name of the file (a hard link) or, where that is not possible,
//      a copy; the sheet file itself is never removed, so a failed write
//      loses nothing. A backup that cannot be made never stops the save.
//   2. The document is written through the atomic save. A read-only file is
//      not overwritten: the save fails.
//   3. The new file gets the creation time of the file it replaced (whether
//      or not a backup was made); a new file has its own creation time
//      recorded, so it stays the same across later saves.
//   4. The document becomes clean.
// "Read-only" is a file without any write permission bit: the mode decides,
// not the rights of the running user.
#pragma once

#include <ctime>
#include <functional>
#include <string>
#include <string_view>

#include "core/file/file_backup.h"

namespace tavro {

class CSheetDoc;
class Settings;

// The save settings (section "FileSave").
struct SaveOptions {
  bool backUp = true;         // "BackUp": keep the previous file as a backup
  bool autoSave = false;      // "AutoSave"
  int undoCount = 10;         // "UndoCount": changes before an automatic save
  int delayTime = 5;          // "DelayTime": seconds between automatic-save checks
  bool fileUpdate = false;    // "FileUpdate": save automatically into saveFolder, not the file
  std::string saveFolder;     // "SaveFolder": a platform path (UTF-8)
  bool floppy = true;         // "Floppy": no automatic save to a removable drive
  bool titleInclude = false;  // "TitleInclude": embed the title frame in the file

  static SaveOptions FromSettings(const Settings& settings);
};

// The save state of one open document.
struct DocSaveState {
  int changeCount = 0;    // changes since the last save, automatic or not
  int undoPos = 0;        // position in the undo stack
  int savedUndoPos = 0;   // position in the undo stack when last saved
  bool modified = false;  // changed outside the undo stack

  bool IsModified() const { return undoPos != savedUndoPos || modified; }
  // One change; the undo stack is now at `pos`.
  void Changed(int pos) {
    ++changeCount;
    undoPos = pos;
  }
  // Saved with the undo stack at `pos`.
  void MarkClean(int pos) {
    undoPos = savedUndoPos = pos;
    modified = false;
    changeCount = 0;
  }
};

// The suffix of the title of a modified document (UTF-8).
inline constexpr std::string_view kModifiedSuffix = " (更新)";

// A document window's title (UTF-8): the full path (`path`, UTF-8) when
// fullPath (section "Sheet", "FullPath") and the document has one, else its
// title (`title`, CP932: CSheetDoc::GetTitle); kModifiedSuffix appended
// while modified.
std::string DocumentWindowTitle(const std::string& path, const std::string& title, bool fullPath,
                                bool modified);

// The backup file of `path`: `path` less its last four characters followed
// by ".bak" ("a/sheet.tcd" -> "a/sheet.bak"). Empty when there is none: the
// file name is shorter than four characters, or the backup would be the file
// itself.
std::string BackupPath(const std::string& path);

// True when the folder of `path` lies on a removable drive (a floppy, a USB
// stick...): the block device of the folder, or the disk a partition belongs
// to, says "removable". False when it cannot be told.
bool IsOnRemovableDrive(const std::string& path);

struct SaveResult {
  bool ok = false;
  std::string message;     // UTF-8, one line naming the file and the reason when !ok
  std::string backupPath;  // the backup made; empty when none
};

// Saves `doc` to `path` (Save, Save As, Save All) as described above and, on
// success, marks `state` clean at undo position `undoPos`. On failure the
// file at `path` is as it was and `state` is unchanged.
SaveResult SaveDocument(CSheetDoc& doc, const std::string& path, const SaveOptions& options,
                        DocSaveState& state, int undoPos);

// The warning shown when a read-only sheet file is opened while the automatic
// save is on; empty otherwise.
std::string ReadOnlyAutoSaveWarning(const std::string& path, const SaveOptions& options);

// The status text shown while a document is saved automatically (UTF-8).
inline constexpr std::string_view kAutoSaveStatus = "自動保存中";

// What the editor tells the automatic save about a document.
struct AutoSaveContext {
  bool selectionHasItems = false;
  std::string workFolder;  // where never-saved documents go (UTF-8; empty: the current folder)
  // The document's title as its window shows it (UTF-8); a trailing
  // kModifiedSuffix is cut. Names a never-saved document's file.
  std::string title;
  long number = 0;  // names a never-saved document without a title: "Sav<number>.tcd"
  int undoPos = 0;  // the document's undo position now
  // Whether a path lies on a removable drive (IsOnRemovableDrive when empty).
  std::function<bool(const std::string& path)> isRemovable;
  // Called with kAutoSaveStatus once enough changes call for a save (optional).
  std::function<void(std::string_view status)> showStatus;
};

enum class AutoSaveOutcome { kSaved, kSkipped, kFailed };

enum class AutoSaveSkip {
  kNone,
  kSelection,         // the selection holds items
  kFewChanges,        // fewer changes than UndoCount
  kNoSaveFolder,      // FileUpdate without a SaveFolder
  kRemovableDrive,    // Floppy and the target on a removable drive
  kReadOnlyTarget,    // the target is read-only
  kTargetUnreadable,  // the target's status cannot be read
};

struct AutoSaveResult {
  AutoSaveOutcome outcome = AutoSaveOutcome::kSkipped;
  AutoSaveSkip skip = AutoSaveSkip::kNone;
  std::string status;      // kAutoSaveStatus once enough changes call for a save, else empty
  std::string target;      // the file written or meant (UTF-8)
  std::string message;     // why it failed (UTF-8)
  std::string backupPath;  // the backup made; empty when none
};

// One automatic-save check of a document (called by the editor's timer).
// Skips while the selection holds items or fewer than UndoCount changes were
// made. The target is the document's file or, for a never-saved document,
// <workFolder>/<title>.tcd (Sav<number>.tcd without a title); with FileUpdate
// a file of the same name in SaveFolder instead (no save without a
// SaveFolder). ".tcd" is appended to a target without it. With Floppy, no
// save to a removable drive; a read-only target (or one whose status cannot
// be read) is left alone. The backup and the creation time follow the save
// above. After a good save the change counter is 0 and, when the document's
// own file was written (no FileUpdate), the document is clean and refers to
// that file. After a failed save the document and its change counter are as
// they were, so the next check tries again.
AutoSaveResult AutoSaveDocument(CSheetDoc& doc, DocSaveState& state, const SaveOptions& options,
                                const AutoSaveContext& context);

// The question asked before the automatic-save files are deleted.
inline constexpr std::string_view kDeleteAutoSaveQuestion =
    "バックアップファイルを削除します。復活不可";

struct DeleteAutoSaveResult {
  bool confirmed = false;  // the question was asked and answered yes
  int deleted = 0;
  int failed = 0;
};

// Deletes the automatic-save files of `folder` (SaveFolder, UTF-8): nothing
// when it is empty; else `confirm` is asked kDeleteAutoSaveQuestion and, on
// yes, every "*.bak" then every "*.tcd" file directly in the folder (the
// extension in any case) is deleted; sub-folders are not entered. Each entry
// that cannot be deleted (a folder among them: folders are never deleted) is
// passed to `report` as "削除できません。\n<path>" and the deletion goes on.
DeleteAutoSaveResult DeleteAutoSaveFiles(
    const std::string& folder, const std::function<bool(std::string_view question)>& confirm,
    const std::function<void(const std::string& message)>& report);

// Checks the save page when it is confirmed: FileUpdate without a SaveFolder
// is turned off (the page stores the options) and the returned notice says
// so; empty when the page is fine.
std::string ConfirmSavePage(SaveOptions& options);

// The interval of the automatic-save timer in milliseconds; 0 for no timer
// (AutoSave off, or DelayTime not positive).
int AutoSaveIntervalMs(const SaveOptions& options);

}  // namespace tavro
