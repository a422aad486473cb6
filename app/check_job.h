// The rule-check job: builds the nets of a project or of sheet files exactly
// as the netlist job does and writes only the net report (".nrp", and with
// html its ".nrp.html"). GUI-free; the command line fills the options from
// its arguments, the editor from its dialog.
//
// The report goes beside the project (PROJECT.nrp) or, for sheets given
// without a project, beside the first sheet; outputPath overrides. The
// result carries what a command needs for its summary: the counts per class
// and per rule-check pair, and whether anything needs attention.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "app/covered_sheets.h"
#include "app/net_report.h"

namespace tavro {

class Settings;

struct CheckOptions {
  std::string outputPath;     // empty: beside the project or the first sheet, ".nrp"
  bool writeFile = true;      // false: the text report is only returned
  bool html = false;          // also the HTML report
  std::string htmlPath;       // empty: the report's path with ".nrp.html"
  std::string templatePath;   // empty: tavrohtml.dat of the data folder
  bool allFiles = false;      // every file of a project, not only the checked ones
  bool unixLineEnds = false;  // LF instead of CR LF

  // The defaults of a run: "Html" and "NetUnix" of section "Tool".
  static CheckOptions FromSettings(const Settings& settings);
};

struct CheckResult {
  enum Status { kOk, kCancelled, kFailed };
  Status status = kOk;
  std::string message;                // UTF-8: why it failed
  std::vector<std::string> warnings;  // UTF-8
  std::string reportPath;             // the ".nrp" written (or that would be)
  std::string htmlPath;               // the ".nrp.html" written; empty without html
  std::string text;                   // the text report (CP932, line ends applied)
  NetCounts counts;
  NetReportSummary summary;
  std::string statusText;  // UTF-8, "総ネット数 %4d / %5d", for the end of the run
};

// The report file beside a project or sheet: its extension replaced by ".nrp".
std::string NetReportPath(const std::string& base);
// The HTML report beside a report file: its extension replaced by ".nrp.html".
std::string NetReportHtmlPath(const std::string& reportPath);

// Runs the check on one project file or on one or more sheet files.
// Progress and cancel go through `progress` (the current host when null).
CheckResult RunCheck(std::span<const std::string> inputs, const CheckOptions& options,
                     Host* progress = nullptr, const SheetLoader& loader = {});

}  // namespace tavro
