#include "app/doc_save.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <vector>

#include "core/file/document.h"
#include "core/file/file_backup.h"
#include "core/platform/codec.h"
#include "core/platform/paths.h"
#include "core/platform/settings.h"

namespace tavro {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kSection = "FileSave";

// `s` ends in `suffix` (ASCII letters compared without regard to case).
bool EndsWithNoCase(std::string_view s, std::string_view suffix) {
  if (s.size() < suffix.size()) return false;
  return std::equal(suffix.begin(), suffix.end(), s.end() - static_cast<long>(suffix.size()),
                    [](char a, char b) {
                      auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; };
                      return lower(a) == lower(b);
                    });
}

// The file at a path before it is replaced.
struct FileBefore {
  bool exists = false;      // anything is there
  bool regular = false;     // a regular file is there
  bool readOnly = false;    // ... without any write permission bit
  bool statFailed = false;  // its status cannot be read (other than "not there")
  std::time_t creation = 0;
};

FileBefore Inspect(const std::string& path) {
  FileBefore f;
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) {
    f.statFailed = errno != ENOENT && errno != ENOTDIR;
    return f;
  }
  f.exists = true;
  f.regular = S_ISREG(st.st_mode);
  f.readOnly = IsReadOnlyMode(st.st_mode);
  if (f.regular) f.creation = ReadFileTimes(path).creation;
  return f;
}

std::string CannotCreate(const std::string& path, const std::string& reason) {
  return "ファイル " + path + " を作成できません (" + reason + ")";
}

// Makes the file at `path` its backup (see MakeBackupCopy); the backup
// made, empty for none.
std::string MakeBackup(const std::string& path, std::time_t creation) {
  const std::string bak = BackupPath(path);
  return MakeBackupCopy(path, bak, creation) ? bak : std::string();
}

// Records the creation time of a file just written: that of the file it
// replaced, or for a new file its own, so that later saves keep it.
void KeepCreationTime(const std::string& path, const FileBefore& before) {
  const std::time_t t =
      before.regular && before.creation != 0 ? before.creation : ReadFileTimes(path).creation;
  if (t != 0) SetFileCreationTime(path, t);
}

// The file name of a never-saved document: its title without the modified
// suffix, or "Sav<number>.tcd" without a title. A title never reaches out of
// the working folder.
std::string UntitledFileName(std::string title, long number) {
  if (title.ends_with(kModifiedSuffix)) title.resize(title.size() - kModifiedSuffix.size());
  std::replace(title.begin(), title.end(), '/', '_');
  if (title.empty() || title == "." || title == "..") {
    char buf[40];
    std::snprintf(buf, sizeof buf, "Sav%ld.tcd", number);
    return buf;
  }
  return title;
}

AutoSaveResult Skipped(AutoSaveResult r, AutoSaveSkip why) {
  r.outcome = AutoSaveOutcome::kSkipped;
  r.skip = why;
  return r;
}

}  // namespace

SaveOptions SaveOptions::FromSettings(const Settings& settings) {
  SaveOptions o;
  o.backUp = settings.GetInt(kSection, "BackUp") != 0;
  o.autoSave = settings.GetInt(kSection, "AutoSave") != 0;
  o.undoCount = settings.GetInt(kSection, "UndoCount", 10);
  o.delayTime = settings.GetInt(kSection, "DelayTime");
  o.fileUpdate = settings.GetInt(kSection, "FileUpdate") != 0;
  o.saveFolder = Cp932ToUtf8(settings.GetString(kSection, "SaveFolder"));
  o.floppy = settings.GetInt(kSection, "Floppy") != 0;
  o.titleInclude = settings.GetInt(kSection, "TitleInclude") != 0;
  return o;
}

std::string DocumentWindowTitle(const std::string& path, const std::string& title, bool fullPath,
                                bool modified) {
  std::string shown = fullPath && !path.empty() ? path : Cp932ToUtf8(title);
  if (modified) shown += kModifiedSuffix;
  return shown;
}

std::string BackupPath(const std::string& path) {
  const size_t slash = path.rfind('/');
  const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  size_t cut = path.size();
  for (int i = 0; i < 4; ++i) {
    if (cut <= nameStart) return {};
    --cut;
    while (cut > nameStart && (static_cast<unsigned char>(path[cut]) & 0xC0) == 0x80) --cut;
  }
  std::string bak = path.substr(0, cut) + ".bak";
  return bak == path ? std::string() : bak;
}

bool IsOnRemovableDrive(const std::string& path) {
  const fs::path parent = fs::path(path).parent_path();
  const fs::path folder = parent.empty() ? fs::path(".") : parent;
  struct stat st {};
  if (::stat(folder.c_str(), &st) != 0) return false;
  const std::string dev =
      "/sys/dev/block/" + std::to_string(major(st.st_dev)) + ":" + std::to_string(minor(st.st_dev));
  std::error_code ec;
  const fs::path device = fs::canonical(dev, ec);
  if (ec) return false;
  // A partition says nothing itself; the disk it belongs to does.
  const fs::path disk = fs::exists(device / "partition", ec) ? device.parent_path() : device;
  const std::optional<std::string> flag = ReadFile((disk / "removable").string());
  return flag && !flag->empty() && flag->front() == '1';
}

SaveResult SaveDocument(CSheetDoc& doc, const std::string& path, const SaveOptions& options,
                        DocSaveState& state, int undoPos) {
  SaveResult r;
  const FileBefore before = Inspect(path);
  // The rename of the atomic save would replace a read-only file; it is
  // protected as the file system would protect it against writing.
  if (before.regular && before.readOnly) {
    r.message = CannotCreate(path, "the file is read-only");
    return r;
  }
  if (options.backUp && before.regular) r.backupPath = MakeBackup(path, before.creation);
  const DocStatus st = doc.Save(path, options.titleInclude);
  if (!st.ok) {
    r.message = st.message;
    return r;
  }
  KeepCreationTime(path, before);
  doc.SetFileTimes(ReadFileTimes(path));
  state.MarkClean(undoPos);
  r.ok = true;
  return r;
}

std::string ReadOnlyAutoSaveWarning(const std::string& path, const SaveOptions& options) {
  if (!options.autoSave || !IsReadOnlyFile(path)) return {};
  return "読み込み専用ファイルは自動保存の対象外です";
}

AutoSaveResult AutoSaveDocument(CSheetDoc& doc, DocSaveState& state, const SaveOptions& options,
                                const AutoSaveContext& context) {
  AutoSaveResult r;
  if (context.selectionHasItems) return Skipped(r, AutoSaveSkip::kSelection);
  if (state.changeCount < options.undoCount) return Skipped(r, AutoSaveSkip::kFewChanges);
  r.status = kAutoSaveStatus;
  if (context.showStatus) context.showStatus(kAutoSaveStatus);

  std::string target = doc.GetPath();
  if (target.empty())
    target =
        (fs::path(context.workFolder) / UntitledFileName(context.title, context.number)).string();
  if (options.fileUpdate) {
    if (options.saveFolder.empty()) return Skipped(r, AutoSaveSkip::kNoSaveFolder);
    std::string folder = options.saveFolder;
    if (folder.back() != '/') folder += '/';
    target = folder + fs::path(target).filename().string();
  }
  if (!EndsWithNoCase(target, ".tcd")) target += ".tcd";
  r.target = target;

  if (options.floppy) {
    const bool removable =
        context.isRemovable ? context.isRemovable(target) : IsOnRemovableDrive(target);
    if (removable) return Skipped(r, AutoSaveSkip::kRemovableDrive);
  }
  const FileBefore before = Inspect(target);
  if (before.statFailed) return Skipped(r, AutoSaveSkip::kTargetUnreadable);
  if (before.exists && before.readOnly) return Skipped(r, AutoSaveSkip::kReadOnlyTarget);
  if (options.backUp && before.regular) r.backupPath = MakeBackup(target, before.creation);

  if (options.fileUpdate) {
    // A copy in the save folder: the document keeps its own file.
    std::string error;
    if (!WriteFileAtomic(target, doc.Write(options.titleInclude), &error)) {
      r.outcome = AutoSaveOutcome::kFailed;
      r.message = CannotCreate(target, error);
      return r;
    }
    KeepCreationTime(target, before);
  } else {
    const DocStatus st = doc.Save(target, options.titleInclude);
    if (!st.ok) {
      r.outcome = AutoSaveOutcome::kFailed;
      r.message = st.message;
      return r;
    }
    KeepCreationTime(target, before);
    doc.SetFileTimes(ReadFileTimes(target));
    state.MarkClean(context.undoPos);
  }
  state.changeCount = 0;
  r.outcome = AutoSaveOutcome::kSaved;
  return r;
}

DeleteAutoSaveResult DeleteAutoSaveFiles(
    const std::string& folder, const std::function<bool(std::string_view question)>& confirm,
    const std::function<void(const std::string& message)>& report) {
  DeleteAutoSaveResult r;
  if (folder.empty() || !confirm || !confirm(kDeleteAutoSaveQuestion)) return r;
  r.confirmed = true;
  std::vector<std::string> backups, sheets;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (EndsWithNoCase(name, ".bak"))
      backups.push_back(it->path().string());
    else if (EndsWithNoCase(name, ".tcd"))
      sheets.push_back(it->path().string());
  }
  std::sort(backups.begin(), backups.end());
  std::sort(sheets.begin(), sheets.end());
  for (const std::vector<std::string>* list : {&backups, &sheets}) {
    for (const std::string& path : *list) {
      if (::unlink(path.c_str()) == 0) {
        ++r.deleted;
      } else {
        ++r.failed;
        if (report) report("削除できません。\n" + path);
      }
    }
  }
  return r;
}

std::string ConfirmSavePage(SaveOptions& options) {
  if (!options.fileUpdate || !options.saveFolder.empty()) return {};
  options.fileUpdate = false;
  return "別フォルダで自動保存されません。";
}

int AutoSaveIntervalMs(const SaveOptions& options) {
  if (!options.autoSave || options.delayTime <= 0) return 0;
  return options.delayTime > INT_MAX / 1000 ? INT_MAX / 1000 * 1000 : options.delayTime * 1000;
}

}  // namespace tavro
