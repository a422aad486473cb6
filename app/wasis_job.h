// The Was-Is jobs (部品番号割付, modes 3 and 2): writing a template of the
// project's references, and applying an edited file to the sheets. GUI-free;
// the command line and the editor's dialog fill the same options. The file
// format is in wasis_file.h.
//
// Writing: read and gather the covered sheets (part_gather.h; sorted by
// position for the full form, by reference for the simple one) and write the
// file beside the project, or beside the first sheet, as ".tws".
//
// Applying, in two phases so that a rename chain (A to B, B to C) or a swap
// never renames a part twice:
//   1. ("リファレンスの書き換え") each record marks the part it names with a
//      hidden text "{TAVRO:REF=" + what the part becomes. Full form: the part
//      of the sheet the File line names whose centre is the Old position,
//      whose part name and value equal the Old ones and whose reference
//      equals the Old one (letter case ignored); a record whose Old line holds
//      its New line is unchanged and skipped. Simple form: every part whose
//      reference base equals the old base (letter case ignored) gets the new
//      base followed by its own gate suffix.
//   2. every marked part loses its mark and takes the texts it carried: in
//      the full form each of Name, Ref and Value that is given and not empty.
// The file is read whole first: a wrong version ("バージョンが違います") or a
// damaged record ("ファイルフォーマットが異常です") stops the job before
// anything is marked, so a file is applied entirely or not at all.
//
// The result lists every change (sheet, old and new texts) and every
// conflict: a record that matches no part (a part that moved, a sheet that is
// not covered), a part a record finds already marked by an earlier one (it
// keeps the earlier change), a new reference another part carries after the
// change, an unusable line. The changes go to the writeBack callback sheet by
// sheet, as the numbering's do (none: a dry run).
#pragma once

#include <span>
#include <string>
#include <vector>

#include "app/annotate_job.h"
#include "app/covered_sheets.h"
#include "app/part_changes.h"

namespace tavro {

class Settings;

struct WasisOptions {
  bool simple = false;    // the simple form ("SimpleWasis")
  std::string filePath;   // empty: beside the project or the first sheet, ".tws"
  bool allFiles = false;  // every file of a project, not only the checked ones
  bool writeFile = true;  // writing: false returns the text only

  static WasisOptions FromSettings(const Settings& settings);
};

// The Was-Is file beside a project or a sheet: its extension replaced by ".tws".
std::string WasisPath(const std::string& base);

struct WasisWriteResult {
  enum Status { kOk, kCancelled, kFailed };
  Status status = kOk;
  std::string message;                // UTF-8: why it failed
  std::vector<std::string> warnings;  // UTF-8
  std::string path;                   // the file written (or that would be)
  std::string text;                   // the file's text (CP932)
  int entries = 0;                    // records (full form) or lines (simple form)
};

WasisWriteResult RunWasisWrite(std::span<const std::string> inputs, const WasisOptions& options,
                               Host* progress = nullptr, const SheetLoader& loader = {});

struct WasisApplyResult {
  enum Status { kOk, kCancelled, kFailed };
  Status status = kOk;
  std::string message;                 // UTF-8: why it failed
  std::vector<std::string> warnings;   // UTF-8
  std::string path;                    // the file applied
  int records = 0;                     // records (lines) read from it
  std::vector<SheetChanges> sheets;    // the sheets with changes, in project order
  std::vector<std::string> conflicts;  // UTF-8, "line N: ..."
  std::vector<std::string> written;    // the sheets written back (paths)
  std::string basePath;                // the project, or the first sheet
};

// Applies the file options.filePath (the default path when empty).
WasisApplyResult RunWasisApply(std::span<const std::string> inputs, const WasisOptions& options,
                               const AnnotateCallbacks& callbacks = {});

// The report of an application (UTF-8), one line each: every change
// "SHEET<TAB>OLD -> NEW<TAB>NAME<TAB>VALUE" (a name or value that changes
// shown as "OLD -> NEW" too), then every conflict "conflict: line N: ...".
std::vector<std::string> WasisReport(const WasisApplyResult& result);

}  // namespace tavro
