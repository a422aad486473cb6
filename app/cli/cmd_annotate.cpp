// tavro annotate [options] (PROJECT.tpj | SHEET.tcd...): the reference
// numbering of a project or of sheets, saved into the sheet files.
#include <cstdio>

#include "app/annotate_job.h"
#include "app/cli/args.h"
#include "app/cli/cli.h"
#include "app/cli/doc_input.h"
#include "app/cli/progress_bar.h"
#include "app/doc_save.h"
#include "core/platform/codec.h"
#include "core/platform/settings.h"

namespace tavro::cli {

namespace {

const std::vector<OptionSpec> kOptions = {
    {"all", 0, false, nullptr,
     "renumber every reference (default: only the undecided ones, those holding ?)"},
    {"step", 0, true, "1|2", "step between numbers (default: the stored Tool/PartNoStep)"},
    {"start", 0, true, "N", "first number of each prefix, 1-9999 (default: Tool/PartTopRefNo)"},
    {"page-offset", 0, true, "N",
     "with --all: sheet n starts at (n-1)*N + the first number, 0-9999 (default: "
     "Tool/RefPageOffset)"},
    {"each-sheet", 0, false, nullptr,
     "without --all: each sheet counts on its own (default: Tool/EachSheet)"},
    {"no-each-sheet", 0, false, nullptr, "the project counts as one, whatever Tool/EachSheet says"},
    {"all-files", 0, false, nullptr, "every file of the project, not only the checked ones"},
    {"dry-run", 'n', false, nullptr, "print the changes, change no file"},
};

std::optional<int> Number(const ParsedArgs& p, const char* name, int low, int high,
                          std::string& error) {
  const auto v = p.Get(name);
  if (!v) return std::nullopt;
  const auto n = ParseInt(*v);
  if (!n || *n < low || *n > high) {
    error = std::string("--") + name + " needs a number " + std::to_string(low) + "-" +
            std::to_string(high);
    return std::nullopt;
  }
  return static_cast<int>(*n);
}

}  // namespace

int RunAnnotate(const std::vector<std::string>& args) {
  std::string error;
  auto parsed = ParseArgs(args, kOptions, error);
  if (!parsed) return Usage("annotate", error);
  if (parsed->help) {
    PrintCommandHelp(
        "annotate", "[options] (PROJECT.tpj | SHEET.tcd...)",
        "Numbers the part references of a project (its checked sheets in project order)\n"
        "or of sheets taken together: R? after R7 and R3 becomes R8. Each prefix counts\n"
        "on its own; the gates of a package share a number (U1A, U1B). Parts are taken\n"
        "sheet by sheet, each sheet from the top row down and each row from the left.\n"
        "Prints a line \"OLD -> NEW<TAB>SHEET\" per change, then the number of counters,\n"
        "and saves the changed sheets as the editor saves them (a .bak backup is kept).",
        kOptions);
    return kExitOk;
  }
  if (parsed->positional.empty())
    return Usage("annotate", "expected a project file or one or more sheet files");

  AnnotateOptions options = AnnotateOptions::FromSettings(AppSettings());
  options.allFiles = parsed->Has("all-files");
  options.mode = parsed->Has("all") ? 1 : 0;
  if (auto step = parsed->Get("step")) {
    if (*step != "1" && *step != "2") return Usage("annotate", "--step is 1 or 2");
    options.step = *step == "2" ? 2 : 1;
  }
  error.clear();
  if (auto n = Number(*parsed, "start", 1, 9999, error)) options.firstNo = *n;
  if (auto n = Number(*parsed, "page-offset", 0, 9999, error)) options.pageOffset = *n;
  if (!error.empty()) return Usage("annotate", error);
  if (parsed->Has("each-sheet") && parsed->Has("no-each-sheet"))
    return Usage("annotate", "--each-sheet and --no-each-sheet exclude each other");
  if (parsed->Has("each-sheet")) options.eachSheet = true;
  if (parsed->Has("no-each-sheet")) options.eachSheet = false;
  if (parsed->Has("page-offset") && options.mode != 1)
    return Usage("annotate", "--page-offset counts only with --all");
  if (parsed->Has("each-sheet") && options.mode != 0)
    return Usage("annotate", "--each-sheet counts only without --all");

  const bool dryRun = parsed->Has("dry-run");
  const SaveOptions save = SaveOptions::FromSettings(AppSettings());
  ProgressBar bar(parsed->quiet);
  const AnnotateCallbacks callbacks = FileChangeCallbacks(&bar, save, dryRun);
  const AnnotateResult r = tavro::RunAnnotate(parsed->positional, options, callbacks);
  bar.Finish();
  if (r.status == AnnotateResult::kCancelled) return Fail("cancelled");

  for (const SheetChanges& sheet : r.sheets) {
    const std::string shown = ShownSheetName(sheet.path, r.basePath);
    for (const PartChange& c : sheet.changes)
      std::printf("%s -> %s\t%s\n", Cp932ToUtf8(c.oldRef).c_str(), Cp932ToUtf8(c.newRef).c_str(),
                  shown.c_str());
  }
  PrintWarnings(r.notices);
  PrintWarnings(r.warnings);
  const Summary summary(parsed->quiet, false);
  for (const std::string& path : r.written)
    summary.Print("saved: %s\n", ShownSheetName(path, r.basePath).c_str());
  if (r.status == AnnotateResult::kFailed) return Fail(r.message);
  if (dryRun) summary.Print("dry run: no file changed\n");
  summary.Print("%s\n", r.counterText.c_str());
  return kExitOk;
}

}  // namespace tavro::cli
