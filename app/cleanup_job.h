// The clean-up job (重複整理): tidies every sheet of a project (or sheet
// files taken together) and checks the whole project, writing a log beside
// it. GUI-free; the command line fills the options from its arguments, the
// editor from its dialog, both starting from the settings of section
// "CleanSection".
//
// A run:
//   1. reads the covered sheets (one that cannot be read stops the run,
//      naming it);
//   2. sheet by sheet (stage "ワイヤー、ジャンクションのチェック"): tidies it
//      (sheet_tidy.h). With keepNets the nets of the sheet are built before
//      and after, as the netlist builds them, and compared as sets of (names,
//      pin entries): a tidying that would change them is not kept, and the
//      log lists the nets that differed. A changed sheet is handed to the
//      writeBack callback at once (the command line saves the file, the
//      editor changes its open document); a stop by the user ends the run
//      after the current sheet, the sheets done so far staying tidied. Then
//      the per-sheet checks (cleanup_check.h);
//   3. gathers the parts as the numbering gathers them and checks the
//      references (stage "部品番号をチェック");
//   4. writes the text log (the project's path with ".log", or outputPath)
//      and with html its ".log.html" through the report template.
#pragma once

#include <functional>
#include <span>
#include <string>
#include <vector>

#include "app/cleanup_check.h"
#include "app/covered_sheets.h"
#include "app/doc_save.h"
#include "app/sheet_tidy.h"

namespace tavro {

class Settings;

struct CleanupOptions {
  bool cleanLine = true;      // "CleanLine": merge collinear wires, buses and lines
  bool wireJunc = false;      // "WireJunc": junction dots limit the merging of wires
  bool outside = false;       // "Over": remove items outside the sheet
  bool bySheet = false;       // "BySheet": highest numbers per sheet
  bool missing = false;       // "Miss": list the missing numbers (not with bySheet)
  bool html = false;          // "Html": also the HTML log
  bool view = true;           // "View": show the written log (the editor)
  bool keepNets = true;       // "KeepNets": never keep a tidying that changes the nets
  bool allFiles = false;      // every file of a project, not only the checked ones
  bool unixLineEnds = false;  // LF instead of CR LF
  std::string outputPath;     // empty: beside the project or the first sheet, ".log"
  bool writeFile = true;      // false: the text log is only returned
  std::string templatePath;   // empty: tavrohtml.dat of the data folder

  // The settings of section "CleanSection" (and "NetUnix" of "Tool").
  static CleanupOptions FromSettings(const Settings& settings);
  // Stores the dialog's choices in section "CleanSection" ("Miss" as 0
  // whenever "BySheet" is set).
  void Store(Settings& settings) const;
  TidyOptions Tidy(int32_t width, int32_t height) const;
};

// Writes back one tidied sheet (`doc` holds it); false with `error` (UTF-8)
// stops the run.
using TidyWriteFn =
    std::function<bool(const CoveredSheet& sheet, CSheetDoc& doc, std::string& error)>;

struct CleanupCallbacks {
  Host* progress = nullptr;  // progress and cancel; the current host when null
  SheetLoader loader;        // how the covered sheets are read
  TidyWriteFn writeBack;     // unset: a dry run (the log is still written)
};

// The callbacks of a run on sheet files: the files are read for change and
// each tidied sheet is saved as the editor saves (backup, atomic write,
// creation time kept); no write-back for a dry run.
CleanupCallbacks FileTidyCallbacks(Host* progress, const SaveOptions& save, bool dryRun);

// What happened to one sheet.
struct SheetTidyReport {
  std::string path;  // full platform path
  std::string name;  // CP932: the document's name
  TidyCounts counts;
  SheetDifference difference;  // items removed and added
  bool changed = false;        // the tidying changed the sheet and was kept
  bool kept = false;           // keepNets: the nets would have changed; left as it was
  bool written = false;        // handed to writeBack
};

struct CleanupResult {
  enum Status { kOk, kCancelled, kFailed };
  Status status = kOk;
  std::string message;                  // UTF-8: why it failed
  std::vector<std::string> warnings;    // UTF-8
  std::vector<SheetTidyReport> sheets;  // every sheet tidied, in project order
  CleanupFindings findings;
  std::string logPath;   // the log written
  std::string htmlPath;  // the HTML log written; empty without html
  std::string text;      // the text log (CP932, line ends applied)
  std::string basePath;  // the project, or the first sheet
};

// The log beside a project or sheet: its extension replaced by ".log"; the
// HTML log beside a log: ".log.html".
std::string CleanupLogPath(const std::string& base);
std::string CleanupHtmlPath(const std::string& logPath);

CleanupResult RunCleanup(std::span<const std::string> inputs, const CleanupOptions& options,
                         const CleanupCallbacks& callbacks = {});

// The nets of one sheet as sets of names and pin entries, one text per net
// with at least one pin, sorted: "VCC: R1-1@10.00,20.00 R2-2@30.00,20.00"
// (each pin with its connection point, so that two parts of one reference
// stay apart; no name and colon for an unnamed net). What keepNets compares.
std::vector<std::string> SheetNetSignature(const CSheet& sheet, const std::string& path);

}  // namespace tavro
