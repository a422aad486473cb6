// The reference numbering job (部品番号割付, modes 0 and 1): numbers the
// parts of a project, or of sheet files taken together (the open sheets).
// GUI-free; the command line fills the options from its arguments, the
// editor from its dialog, both starting from the settings of section "Tool".
//
// A run: read the covered sheets (a sheet that cannot be read stops the run
// naming it), gather their parts sorted by position (part_gather.h), number
// them (ref_numbering.h), then decide the write-back: a part of a sheet gets
// the reference its copy ended with when that differs — in mode 0 only a part
// whose reference holds "?". The changes are returned per sheet, in the
// order the parts were numbered, and handed to the writeBack callback sheet
// by sheet (the command line saves the sheet files, the editor changes its
// open documents); without one nothing is written (a dry run). A stop by the
// user writes nothing.
#pragma once

#include <functional>
#include <span>
#include <string>
#include <vector>

#include "app/covered_sheets.h"
#include "app/part_changes.h"
#include "app/ref_numbering.h"

namespace tavro {

class Host;
class Settings;

struct AnnotateOptions {
  int mode = 0;            // 0 undecided references only, 1 renumber all
  int step = 1;            // 1 or 2
  int firstNo = 1;         // 1 to 9999
  int pageOffset = 0;      // 0 to 9999, mode 1 only
  bool eachSheet = false;  // mode 0 only
  bool allFiles = false;   // every file of a project, not only the checked ones

  // The stored settings ("PartNoMakeType" 0 or 1, "PartNoStep" 0 for +1 and
  // 1 for +2, "PartTopRefNo", "RefPageOffset", "EachSheet").
  static AnnotateOptions FromSettings(const Settings& settings);
  NumberingOptions Numbering() const;
  // Why the options cannot be used (UTF-8); empty when they can.
  std::string Check() const;
};

// Writes back the changes of one sheet; false with `error` (UTF-8) stops the
// run.
using WriteBackFn = std::function<bool(const SheetChanges& changes, std::string& error)>;

struct AnnotateCallbacks {
  Host* progress = nullptr;  // progress and cancel; the current host when null
  SheetLoader loader;        // how the covered sheets are read
  WriteBackFn writeBack;     // unset: a dry run
};

// The callbacks of a run on sheet files: the files are read for change and
// each changed sheet is saved as the editor saves (SaveSheetChanges with
// `save`); no write-back for a dry run.
AnnotateCallbacks FileChangeCallbacks(Host* progress, const SaveOptions& save, bool dryRun);

struct AnnotateResult {
  enum Status { kOk, kCancelled, kFailed };
  Status status = kOk;
  std::string message;                // UTF-8: why it failed
  std::vector<std::string> warnings;  // UTF-8
  std::vector<std::string> notices;   // the overflow messages shown (UTF-8)
  int counters = 0;                   // entries of the counter table
  std::string counterText;            // "リファレンスカウンター %4d" (UTF-8)
  std::vector<SheetChanges> sheets;   // the sheets with changes, in project order
  std::vector<std::string> written;   // the sheets written back (paths)
  std::string basePath;               // the project, or the first sheet
};

AnnotateResult RunAnnotate(std::span<const std::string> inputs, const AnnotateOptions& options,
                           const AnnotateCallbacks& callbacks = {});

// The name a report shows for a sheet file (UTF-8): its path relative to the
// folder of `basePath` (the project, or the first sheet) when it lies there
// or below, else the full path.
std::string ShownSheetName(const std::string& path, const std::string& basePath);

}  // namespace tavro
