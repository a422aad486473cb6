// tavro bom (PROJECT.tpj | SHEET.tcd...) [-o FILE.csv] [--count]
// [--properties A,B] [--force-nopartlist] [--sheetno X] [--setname Y]
// [--pcbmake N] [--store]: the parts list.
#include <cstdio>

#include "app/bom_job.h"
#include "app/cli/args.h"
#include "app/cli/cli.h"
#include "app/cli/doc_input.h"
#include "app/cli/progress_bar.h"
#include "core/platform/codec.h"
#include "core/platform/dbcs.h"
#include "core/platform/settings.h"

namespace tavro::cli {

namespace {

const std::vector<OptionSpec> kOptions = {
    {"output", 'o', true, "FILE",
     "parts list file (default: beside the project or the first sheet, .csv); - for stdout"},
    {"count", 'c', false, nullptr,
     "write the number of parts of each line after its key (default: the stored Tool/PartCount)"},
    {"no-count", 0, false, nullptr, "write no counts, whatever Tool/PartCount holds"},
    {"properties", 'p', true, "A,B",
     "part properties whose values follow the value in each line and tell lines apart "
     "(default: the stored Tool/ListProperty)"},
    {"force-nopartlist", 0, false, nullptr,
     "list the parts marked NOPARTLIST like any other (no NOPARTLIST line)"},
    {"sheetno", 0, true, "TEXT", "drawing number for the SHEETNO line (default: the project's)"},
    {"setname", 0, true, "TEXT", "product name for the SETNAME line (default: the project's)"},
    {"pcbmake", 0, true, "N",
     "number of boards to build, 1 to 32767, for the PCBMAKE line (default: the project's)"},
    {"store", 0, false, nullptr,
     "store the drawing number, product name and number of boards into the project as "
     "SHEETNO, SETNAME and PCBMAKE"},
    {"all", 'a', false, nullptr, "every file of the project, not only the checked ones"},
    {"unix", 0, false, nullptr, "end lines with LF instead of CR LF"},
};

bool IsProjectFile(const std::string& path) {
  return path.size() >= 4 && EqualNoCase(std::string_view(path).substr(path.size() - 4), ".tpj");
}

// A text option in CP932; false when it holds a character CP932 lacks.
bool ToCp932(const std::string& utf8, std::string& out) {
  size_t invalid = 0;
  out = Utf8ToCp932(utf8, &invalid);
  return invalid == 0;
}

}  // namespace

int RunBom(const std::vector<std::string>& args) {
  std::string error;
  auto parsed = ParseArgs(args, kOptions, error);
  if (!parsed) return Usage("bom", error);
  if (parsed->help) {
    PrintCommandHelp(
        "bom", "[options] (PROJECT.tpj | SHEET.tcd...)",
        "Writes the parts list: one line per part name, value and listed property\n"
        "values with the references of its parts, sorted (the gates of one package\n"
        "count once). Parts marked NOPARTLIST are only named on a NOPARTLIST line,\n"
        "parts marked NOMOUNT on a NOMOUNT line as well. The header lines carry the\n"
        "project's SHEETNO, SETNAME and PCBMAKE, the listed properties and the number\n"
        "of parts used. Sheets given without a project are listed together, as the\n"
        "open sheets. The list is CP932 CSV: view it with `iconv -f CP932`.",
        kOptions);
    return kExitOk;
  }
  if (parsed->positional.empty())
    return Usage("bom", "expected a project file or one or more sheet files");

  BomOptions options = BomOptions::FromSettings(AppSettings());
  // Sheets given without a project stand for the open sheets.
  options.useOpenSheets = [] { return true; };
  bool toStdout = false;
  if (auto o = parsed->Get("output")) {
    if (o->empty()) return Usage("bom", "--output needs a file name");
    toStdout = IsStdout(*o);
    if (toStdout)
      options.writeFile = false;
    else
      options.outputPath = *o;
  }
  if (parsed->Has("count") && parsed->Has("no-count"))
    return Usage("bom", "--count and --no-count exclude each other");
  if (parsed->Has("count")) options.partCount = true;
  if (parsed->Has("no-count")) options.partCount = false;
  if (auto p = parsed->Get("properties")) {
    if (!ToCp932(*p, options.listProperty))
      return Usage("bom", "--properties holds a character that CP932 cannot hold");
  }
  if (parsed->Has("force-nopartlist")) options.forceNoPartList = true;
  for (const char* key : {"sheetno", "setname"}) {
    if (auto v = parsed->Get(key)) {
      std::string cp;
      if (!ToCp932(*v, cp))
        return Usage("bom", std::string("--") + key + " holds a character that CP932 cannot hold");
      (key[1] == 'h' ? options.sheetNo : options.setName) = cp;
    }
  }
  if (auto n = parsed->Get("pcbmake")) {
    const auto v = ParseInt(*n);
    if (!v || *v < 1 || *v > kMaxPcbMake)
      return Usage("bom", "--pcbmake needs a number from 1 to 32767");
    options.pcbMake = static_cast<int>(*v);
  }
  if (parsed->Has("store")) {
    if (parsed->positional.size() != 1 || !IsProjectFile(parsed->positional[0]))
      return Usage("bom", "--store needs a project file");
    options.storeHeader = true;
  }
  if (parsed->Has("all")) options.allFiles = true;
  if (parsed->Has("unix")) options.unixLineEnds = true;

  ProgressBar bar(parsed->quiet);
  const BomResult r = tavro::RunBom(parsed->positional, options, &bar, ReadInputDocument);
  bar.Finish();
  if (r.status == BomResult::kCancelled) return Fail("cancelled; nothing was written");
  if (r.status == BomResult::kFailed) return Fail(r.message);
  PrintWarnings(r.warnings);
  if (toStdout && !WriteStdout(r.text)) return Fail("cannot write to stdout");

  const Summary summary(parsed->quiet, toStdout);
  summary.Print("parts list: %s\n", toStdout ? "stdout" : r.outputPath.c_str());
  summary.Print("lines: %d\n", r.entries);
  summary.Print("used parts: %d\n", r.usedParts);
  if (r.noPartList > 0) summary.Print("NOPARTLIST: %d\n", r.noPartList);
  if (r.noMount > 0) summary.Print("NOMOUNT: %d\n", r.noMount);
  if (r.stored) summary.Print("stored into the project: SHEETNO, SETNAME, PCBMAKE\n");
  return kExitOk;
}

}  // namespace tavro::cli
