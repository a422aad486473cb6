// The PDF job: one page per sheet of a project (in project order, its checked
// sheets or all of them) or of the given sheets, each with its title frame,
// through the one drawing walk onto PDF pages. GUI-free; the command line
// fills the options from its arguments, the editor from its dialog "PDF変換".
//
// The file goes beside the project (PROJECT.pdf) or, for sheets given
// without a project, beside the first sheet; outputPath overrides, and a
// name that does not end in ".pdf" gets it appended. A sheet that cannot be
// opened is skipped with a warning naming it. A cancel writes nothing and
// leaves a file already there as it was.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "app/covered_sheets.h"

namespace tavro {

class Settings;

struct PdfOptions {
  std::string outputPath;  // empty: beside the project or the first sheet, ".pdf"
  bool writeFile = true;   // false: the bytes are only returned
  // Title, subtitle and author (CP932). A project's "PDFTITLE" and
  // "PDFSUBTITLE" stand in for a title and a subtitle not given.
  std::optional<std::string> title;
  std::optional<std::string> subtitle;
  std::string author;
  bool titleInclude = true;  // the title frame's extent is placed at the margins
  double leftMargin = 15;    // mm
  double topMargin = 15;     // mm
  double scale = 1.0;
  bool color = false;       // the display colours instead of black
  bool background = false;  // paint the page in the background colour (white without colour)
  bool allFiles = false;    // every file of a project, not only the checked ones
  // Draw the title frames (the main window's title-frame switch; default
  // from the host).
  std::optional<bool> titleFrame;
  bool bookmarks = false;   // one outline entry per sheet
  bool embedFonts = false;  // embed the fonts used
  // Store the title and subtitle into the project as "PDFTITLE" and
  // "PDFSUBTITLE" after writing (the editor's dialog always does).
  bool storeTitles = false;

  // The defaults of a run: section "PDF" ("Up", "Left", "Back", "Color",
  // "TitleInclude", "AllFile", "Scale").
  static PdfOptions FromSettings(const Settings& settings);
  // Stores these options as the dialog does: section "PDF", "Scale" as "%.2f".
  void Store(Settings& settings) const;
};

struct PdfResult {
  enum Status { kOk, kCancelled, kFailed };
  Status status = kOk;
  std::string message;                // UTF-8: why it failed
  std::vector<std::string> warnings;  // UTF-8: the sheets skipped, title files missing
  std::string outputPath;             // the file written (or that would be)
  int pages = 0;
  std::string bytes;  // the PDF (also when written)
};

// The PDF file beside a project or sheet: its extension replaced by ".pdf".
std::string PdfPath(const std::string& base);
// A file name as the dialog takes it: ".pdf" appended unless it ends so
// (compared without regard to case).
std::string WithPdfExtension(const std::string& name);

// Runs the conversion on one project file or on one or more sheet files.
// Progress ("データ変換中", one step per sheet) and cancel go through
// `progress` (the current host when null); the macros of the texts take the
// project's values.
PdfResult RunPdf(std::span<const std::string> inputs, const PdfOptions& options,
                 Host* progress = nullptr, const SheetLoader& loader = {});

}  // namespace tavro
