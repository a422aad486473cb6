// tavro index PROJECT.tpj [-o FILE] [--html] [--xy] [--no-single]: the net
// index of a project.
#include <cstdio>

#include "app/cli/args.h"
#include "app/cli/cli.h"
#include "app/cli/doc_input.h"
#include "app/cli/progress_bar.h"
#include "app/net_index.h"
#include "core/platform/settings.h"

namespace tavro::cli {

namespace {

const std::vector<OptionSpec> kOptions = {
    {"output", 'o', true, "FILE",
     "index file (default: beside the project, .net.csv or .net.html); - for stdout"},
    {"html", 0, false, nullptr, "write HTML (.net.html) (default: the stored Tool/IndexHtml)"},
    {"xy", 0, false, nullptr,
     "one line per label with its position (default: the stored Tool/IndexXY)"},
    {"no-single", 0, false, nullptr,
     "leave out names that occur only once (default: the stored Tool/IndexSingle)"},
    {"unix", 0, false, nullptr, "end lines with LF instead of CR LF"},
};

}  // namespace

int RunIndex(const std::vector<std::string>& args) {
  std::string error;
  auto parsed = ParseArgs(args, kOptions, error);
  if (!parsed) return Usage("index", error);
  if (parsed->help) {
    PrintCommandHelp("index", "[options] PROJECT.tpj",
                     "Writes the net index of a project: for every wire label name, the sheet\n"
                     "files (1 is the project's first file) and, with --xy, the positions where\n"
                     "it occurs, so that a signal can be followed from sheet to sheet. A sheet\n"
                     "that cannot be read is skipped with a warning naming it. The index is\n"
                     "CP932 text: view it with `iconv -f CP932`.",
                     kOptions);
    return kExitOk;
  }
  if (parsed->positional.size() != 1) return Usage("index", "expected one project file");

  NetIndexOptions options = NetIndexOptions::FromSettings(AppSettings());
  if (parsed->Has("html")) options.html = true;
  if (parsed->Has("xy")) options.xy = true;
  if (parsed->Has("no-single")) options.single = false;
  if (parsed->Has("unix")) options.unixLineEnds = true;
  bool toStdout = false;
  if (auto o = parsed->Get("output")) {
    if (o->empty()) return Usage("index", "--output needs a file name");
    toStdout = IsStdout(*o);
    if (toStdout)
      options.writeFile = false;
    else
      options.outputPath = *o;
  }

  ProgressBar bar(parsed->quiet);
  const NetIndexResult r = RunNetIndex(parsed->positional, options, &bar, ReadInputDocument);
  bar.Finish();
  if (r.status == NetIndexResult::kCancelled) return Fail("cancelled");
  if (r.status == NetIndexResult::kFailed) return Fail(r.message);
  PrintWarnings(r.warnings);
  if (toStdout && !WriteStdout(r.text)) return Fail("cannot write to stdout");
  const Summary summary(parsed->quiet, toStdout);
  summary.Print("index: %s\n", toStdout ? "stdout" : r.outputPath.c_str());
  summary.Print("labels: %d\n", r.entries);
  return kExitOk;
}

}  // namespace tavro::cli
