// tavro cleanup [options] (PROJECT.tpj | SHEET.tcd...): tidies the sheets
// (重複整理), saves them as the editor saves, and writes the check log.
#include <cstdio>

#include "app/annotate_job.h"
#include "app/cleanup_job.h"
#include "app/cli/args.h"
#include "app/cli/cli.h"
#include "app/cli/doc_input.h"
#include "app/cli/progress_bar.h"
#include "core/platform/codec.h"
#include "core/platform/settings.h"

namespace tavro::cli {

namespace {

const std::vector<OptionSpec> kOptions = {
    {"output", 'o', true, "LOG",
     "log file (default: beside the project or the first sheet, .log); - for stdout"},
    {"no-lines", 0, false, nullptr,
     "do not merge collinear wires, buses and lines (default: the stored CleanSection/CleanLine)"},
    {"wire-junc", 0, false, nullptr,
     "junction dots limit the merging of wires (default: CleanSection/WireJunc)"},
    {"outside", 0, false, nullptr, "remove items outside the sheet (default: CleanSection/Over)"},
    {"by-sheet", 0, false, nullptr,
     "the highest numbers per sheet (default: CleanSection/BySheet)"},
    {"missing", 0, false, nullptr,
     "list the missing numbers below each prefix's highest (default: CleanSection/Miss)"},
    {"html", 0, false, nullptr,
     "also the HTML log, the log's path with .log.html (default: CleanSection/Html)"},
    {"keep-nets", 0, false, nullptr,
     "leave a sheet as it is when its tidying would change its nets, and list those nets"},
    {"dry-run", 'n', false, nullptr, "write the log, change no sheet"},
    {"all", 'a', false, nullptr, "every file of the project, not only the checked ones"},
    {"unix", 0, false, nullptr, "end lines with LF instead of CR LF"},
};

// "lines merged or cut: 3, duplicates: 1" from the counts of a tidying.
std::string Counts(const TidyCounts& c) {
  std::string s;
  auto add = [&s](int n, const char* what) {
    if (n == 0) return;
    if (!s.empty()) s += ", ";
    s += std::string(what) + ": " + std::to_string(n);
  };
  add(c.empty, "empty items");
  add(c.lines, "lines merged or cut");
  add(c.onPins, "wires cut on pins");
  add(c.duplicates, "duplicates");
  add(c.outside, "outside");
  return s;
}

}  // namespace

int RunCleanup(const std::vector<std::string>& args) {
  std::string error;
  auto parsed = ParseArgs(args, kOptions, error);
  if (!parsed) return Usage("cleanup", error);
  if (parsed->help) {
    PrintCommandHelp(
        "cleanup", "[options] (PROJECT.tpj | SHEET.tcd...)",
        "Tidies every sheet of a project (its checked sheets) or the sheets given: removes\n"
        "zero-length wires, empty texts and duplicated items, merges overlapping collinear\n"
        "wires, buses and lines, cuts wires back along pins and, with --outside, removes\n"
        "items off the paper. Then checks the project and writes the log (CP932 text):\n"
        "duplicated, undecided and malformed references, suffix errors, duplicated pin\n"
        "numbers, pins on pins, points where more than two wires meet without a junction,\n"
        "free pins and the highest number of each prefix. Prints what was done per sheet\n"
        "and the log's counts; the changed sheets are saved as the editor saves them (a\n"
        ".bak backup is kept). A dry run writes the log of the tidied sheets and saves none.",
        kOptions);
    return kExitOk;
  }
  if (parsed->positional.empty())
    return Usage("cleanup", "expected a project file or one or more sheet files");

  CleanupOptions options = CleanupOptions::FromSettings(AppSettings());
  options.keepNets = parsed->Has("keep-nets");
  bool toStdout = false;
  if (auto o = parsed->Get("output")) {
    if (o->empty()) return Usage("cleanup", "--output needs a file name");
    toStdout = IsStdout(*o);
    if (toStdout)
      options.writeFile = false;
    else
      options.outputPath = *o;
  }
  if (parsed->Has("by-sheet") && parsed->Has("missing"))
    return Usage("cleanup", "--missing lists the project's numbers; it excludes --by-sheet");
  if (parsed->Has("no-lines")) options.cleanLine = false;
  if (parsed->Has("wire-junc")) options.wireJunc = true;
  if (parsed->Has("outside")) options.outside = true;
  if (parsed->Has("by-sheet")) options.bySheet = true;
  if (parsed->Has("missing")) options.missing = true;
  if (options.bySheet) options.missing = false;
  if (parsed->Has("html")) options.html = true;
  if (parsed->Has("all")) options.allFiles = true;
  if (parsed->Has("unix")) options.unixLineEnds = true;

  const bool dryRun = parsed->Has("dry-run");
  ProgressBar bar(parsed->quiet);
  CleanupCallbacks callbacks =
      FileTidyCallbacks(&bar, SaveOptions::FromSettings(AppSettings()), dryRun);
  // A dry run writes no sheet, so it reads every kind of sheet input.
  if (dryRun) callbacks.loader = ReadInputDocument;
  const CleanupResult r = tavro::RunCleanup(parsed->positional, options, callbacks);
  bar.Finish();

  const Summary summary(parsed->quiet, toStdout);
  for (const SheetTidyReport& s : r.sheets) {
    const std::string shown = ShownSheetName(s.path, r.basePath);
    if (s.kept)
      summary.Print("%s: left as it was: tidying it would change its nets (%s)\n", shown.c_str(),
                    Counts(s.counts).c_str());
    else if (!s.changed)
      summary.Print("%s: nothing to tidy\n", shown.c_str());
    else
      summary.Print("%s: %d items removed, %d added (%s)%s\n", shown.c_str(), s.difference.removed,
                    s.difference.added, Counts(s.counts).c_str(), s.written ? "; saved" : "");
  }
  if (r.status == CleanupResult::kCancelled) return Fail("cancelled");
  if (r.status == CleanupResult::kFailed) return Fail(r.message);
  PrintWarnings(r.warnings);
  if (toStdout && !WriteStdout(r.text)) return Fail("cannot write to stdout");

  const CleanupFindings& f = r.findings;
  summary.Print("log: %s\n", toStdout ? "stdout" : r.logPath.c_str());
  if (!r.htmlPath.empty()) summary.Print("html: %s\n", r.htmlPath.c_str());
  summary.Print(
      "parts: %d, duplicates: %zu, undecided: %zu, reference errors: %zu, suffix errors: %zu\n",
      f.partsUsed, f.duplicates.size(), f.undecided.size(), f.refErrors.size(),
      f.suffixErrors.size());
  summary.Print("duplicated pin numbers: %d, pins on pins: %zu, net check: %zu, free pins: %zu\n",
                f.pinNoPairs, f.pinOverlaps.size(), f.netCheck.size(), f.freePins.size());
  if (f.missingListed) summary.Print("missing numbers: %zu\n", f.missing.size());
  if (f.keepNets) summary.Print("sheets left as they were: %zu\n", f.kept.size());
  if (dryRun) summary.Print("dry run: no sheet changed\n");
  return kExitOk;
}

}  // namespace tavro::cli
