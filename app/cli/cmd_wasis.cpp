// tavro wasis write [options] (PROJECT.tpj | SHEET.tcd...)
// tavro wasis apply [options] (PROJECT.tpj | SHEET.tcd...) [FILE.tws]
// The Was-Is file: a template of the references to edit, and applying it.
#include <cstdio>

#include "app/cli/args.h"
#include "app/cli/cli.h"
#include "app/cli/doc_input.h"
#include "app/cli/progress_bar.h"
#include "app/doc_save.h"
#include "app/wasis_job.h"
#include "core/platform/dbcs.h"
#include "core/platform/settings.h"

namespace tavro::cli {

namespace {

const std::vector<OptionSpec> kWriteOptions = {
    {"output", 'o', true, "FILE",
     "the Was-Is file (default: beside the project or the first sheet, .tws); - for stdout"},
    {"simple", 0, false, nullptr,
     "the simple form: one line \"OLD<TAB>NEW\" per reference base (default: Tool/SimpleWasis)"},
    {"full", 0, false, nullptr, "the full form, whatever Tool/SimpleWasis says"},
    {"all-files", 0, false, nullptr, "every file of the project, not only the checked ones"},
};

const std::vector<OptionSpec> kApplyOptions = {
    {"simple", 0, false, nullptr, "the file is in the simple form (default: Tool/SimpleWasis)"},
    {"full", 0, false, nullptr, "the file is in the full form, whatever Tool/SimpleWasis says"},
    {"all-files", 0, false, nullptr, "every file of the project, not only the checked ones"},
    {"dry-run", 'n', false, nullptr, "print the changes and conflicts, change no file"},
};

const char* const kAbout =
    "A Was-Is file carries reference changes between the sheets and a board\n"
    "design: `wasis write` writes a template naming every part by sheet, position,\n"
    "part name, reference and value (CP932 text); edit its New: lines (or, in the\n"
    "simple form, the second column) and `wasis apply` renames the parts. Records\n"
    "are applied in two phases, so swaps and chains (U1 to U2, U2 to U3) rename\n"
    "each part once. Applying prints every change \"SHEET<TAB>OLD -> NEW<TAB>NAME<TAB>\n"
    "VALUE\" and every conflict (a record that finds no part, a part two records\n"
    "name, a new reference another part carries too), and saves the changed sheets\n"
    "as the editor saves them.";

bool SimpleForm(const ParsedArgs& p, bool stored, std::string& error) {
  if (p.Has("simple") && p.Has("full")) error = "--simple and --full exclude each other";
  if (p.Has("simple")) return true;
  if (p.Has("full")) return false;
  return stored;
}

int RunWrite(const std::vector<std::string>& args) {
  std::string error;
  auto parsed = ParseArgs(args, kWriteOptions, error);
  if (!parsed) return Usage("wasis", error);
  if (parsed->help) {
    PrintCommandHelp("wasis write", "[options] (PROJECT.tpj | SHEET.tcd...)", kAbout,
                     kWriteOptions);
    return kExitOk;
  }
  if (parsed->positional.empty())
    return Usage("wasis", "expected a project file or one or more sheet files");
  WasisOptions options = WasisOptions::FromSettings(AppSettings());
  options.allFiles = parsed->Has("all-files");
  options.simple = SimpleForm(*parsed, options.simple, error);
  if (!error.empty()) return Usage("wasis", error);
  bool toStdout = false;
  if (auto o = parsed->Get("output")) {
    if (o->empty()) return Usage("wasis", "--output needs a file name");
    toStdout = IsStdout(*o);
    if (toStdout)
      options.writeFile = false;
    else
      options.filePath = *o;
  }
  ProgressBar bar(parsed->quiet);
  const WasisWriteResult r = RunWasisWrite(parsed->positional, options, &bar, ReadInputDocument);
  bar.Finish();
  if (r.status == WasisWriteResult::kCancelled) return Fail("cancelled");
  if (r.status == WasisWriteResult::kFailed) return Fail(r.message);
  PrintWarnings(r.warnings);
  if (toStdout && !WriteStdout(r.text)) return Fail("cannot write to stdout");
  const Summary summary(parsed->quiet, toStdout);
  summary.Print("wasis: %s (%s)\n", toStdout ? "stdout" : r.path.c_str(),
                options.simple ? "simple" : "full");
  summary.Print("%s: %d\n", options.simple ? "lines" : "records", r.entries);
  return kExitOk;
}

bool IsWasisPath(const std::string& path) {
  return path.size() >= 4 && EqualNoCase(std::string_view(path).substr(path.size() - 4), ".tws");
}

int RunApply(const std::vector<std::string>& args) {
  std::string error;
  auto parsed = ParseArgs(args, kApplyOptions, error);
  if (!parsed) return Usage("wasis", error);
  if (parsed->help) {
    PrintCommandHelp("wasis apply",
                     "[options] (PROJECT.tpj | SHEET.tcd...) [FILE.tws]\n"
                     "(without FILE.tws: the file beside the project or the first sheet)",
                     kAbout, kApplyOptions);
    return kExitOk;
  }
  std::vector<std::string> inputs = parsed->positional;
  WasisOptions options = WasisOptions::FromSettings(AppSettings());
  if (!inputs.empty() && IsWasisPath(inputs.back())) {
    options.filePath = inputs.back();
    inputs.pop_back();
  }
  if (inputs.empty())
    return Usage("wasis", "expected a project file or one or more sheet files, then FILE.tws");
  options.allFiles = parsed->Has("all-files");
  options.simple = SimpleForm(*parsed, options.simple, error);
  if (!error.empty()) return Usage("wasis", error);

  const bool dryRun = parsed->Has("dry-run");
  const SaveOptions save = SaveOptions::FromSettings(AppSettings());
  ProgressBar bar(parsed->quiet);
  const AnnotateCallbacks callbacks = FileChangeCallbacks(&bar, save, dryRun);
  const WasisApplyResult r = RunWasisApply(inputs, options, callbacks);
  bar.Finish();
  if (r.status == WasisApplyResult::kCancelled) return Fail("cancelled");
  if (r.status == WasisApplyResult::kFailed && r.basePath.empty()) return Fail(r.message);

  for (const std::string& line : WasisReport(r)) std::printf("%s\n", line.c_str());
  PrintWarnings(r.warnings);
  const Summary summary(parsed->quiet, false);
  for (const std::string& path : r.written)
    summary.Print("saved: %s\n", ShownSheetName(path, r.basePath).c_str());
  if (r.status == WasisApplyResult::kFailed) return Fail(r.message);
  size_t changes = 0;
  for (const SheetChanges& s : r.sheets) changes += s.changes.size();
  if (dryRun) summary.Print("dry run: no file changed\n");
  summary.Print("changes: %zu, conflicts: %zu\n", changes, r.conflicts.size());
  return kExitOk;
}

}  // namespace

int RunWasis(const std::vector<std::string>& args) {
  if (args.empty()) return Usage("wasis", "expected write or apply");
  const std::vector<std::string> rest(args.begin() + 1, args.end());
  if (args[0] == "write") return RunWrite(rest);
  if (args[0] == "apply") return RunApply(rest);
  if (args[0] == "-h" || args[0] == "--help") {
    std::vector<OptionSpec> all = kWriteOptions;
    all.push_back(kApplyOptions.back());  // --dry-run
    PrintCommandHelp("wasis",
                     "write [options] (PROJECT.tpj | SHEET.tcd...)\n"
                     "       tavro wasis apply [options] (PROJECT.tpj | SHEET.tcd...) [FILE.tws]",
                     std::string(kAbout) +
                         "\n\n-o is for write, --dry-run for apply; see `tavro wasis write "
                         "--help` and\n`tavro wasis apply --help`.",
                     all);
    return kExitOk;
  }
  return Usage("wasis", "unknown subcommand '" + args[0] + "': expected write or apply");
}

}  // namespace tavro::cli
