// tavro pdf (PROJECT.tpj | SHEET.tcd...) [-o OUT.pdf] [--title T] ...: one
// PDF page per sheet, each with its title frame.
#include <cstdio>
#include <cstdlib>

#include "app/cli/args.h"
#include "app/cli/cli.h"
#include "app/cli/doc_input.h"
#include "app/cli/progress_bar.h"
#include "app/pdf_job.h"
#include "core/platform/codec.h"
#include "core/platform/settings.h"

namespace tavro::cli {

namespace {

const std::vector<OptionSpec> kOptions = {
    {"output", 'o', true, "FILE",
     "PDF file (default: beside the project or the first sheet, .pdf; .pdf is appended)"},
    {"title", 0, true, "TEXT", "document title (default: the project's PDFTITLE)"},
    {"subtitle", 0, true, "TEXT", "document subject (default: the project's PDFSUBTITLE)"},
    {"author", 0, true, "TEXT", "document author"},
    {"scale", 0, true, "X", "drawing scale from 0.4 to 1.6 (default: the stored PDF/Scale)"},
    {"left", 0, true, "MM", "left margin in mm, -100 to 100 (default: PDF/Left)"},
    {"top", 0, true, "MM", "top margin in mm, -100 to 100 (default: PDF/Up)"},
    {"color", 0, false, nullptr, "draw in the display colours instead of black"},
    {"background", 0, false, nullptr,
     "paint the page in the background colour (white without --color)"},
    {"no-title-frame", 0, false, nullptr, "leave the title frames out"},
    {"work-area", 0, false, nullptr,
     "place the work area at the margins instead of the title frame's box"},
    {"all", 'a', false, nullptr, "every file of the project, not only the checked ones"},
    {"store", 0, false, nullptr,
     "store the title and subtitle into the project as PDFTITLE and PDFSUBTITLE"},
    {"bookmarks", 0, false, nullptr, "one bookmark per sheet, named after its file"},
    {"embed-fonts", 0, false, nullptr,
     "embed the fonts used (subsets), so the PDF looks the same without them"},
};

std::optional<double> ParseNumber(const std::string& s) {
  const char* p = s.c_str();
  char* end = nullptr;
  const double v = std::strtod(p, &end);
  if (end == p || *end != '\0') return std::nullopt;
  return v;
}

}  // namespace

// Fills the options of a run from the settings and the arguments; an empty
// string when they are good, else what is wrong.
std::string PdfOptionsFromArgs(const ParsedArgs& parsed, PdfOptions& options) {
  options = PdfOptions::FromSettings(AppSettings());
  if (auto o = parsed.Get("output")) {
    if (o->empty() || IsStdout(*o)) return "--output needs a file name (a PDF is binary)";
    options.outputPath = *o;
  }
  if (auto t = parsed.Get("title")) options.title = Utf8ToCp932(*t);
  if (auto t = parsed.Get("subtitle")) options.subtitle = Utf8ToCp932(*t);
  if (auto t = parsed.Get("author")) options.author = Utf8ToCp932(*t);
  if (auto s = parsed.Get("scale")) {
    const auto v = ParseNumber(*s);
    if (!v || *v < 0.4 || *v > 1.6) return "--scale needs a number from 0.4 to 1.6";
    options.scale = *v;
  }
  for (const char* key : {"left", "top"}) {
    if (auto s = parsed.Get(key)) {
      const auto v = ParseNumber(*s);
      if (!v || *v < -100 || *v > 100)
        return std::string("--") + key + " needs a margin in mm from -100 to 100";
      (key[0] == 'l' ? options.leftMargin : options.topMargin) = *v;
    }
  }
  if (parsed.Has("color")) options.color = true;
  if (parsed.Has("background")) options.background = true;
  if (parsed.Has("no-title-frame")) options.titleFrame = false;
  if (parsed.Has("work-area")) options.titleInclude = false;
  if (parsed.Has("all")) options.allFiles = true;
  if (parsed.Has("store")) options.storeTitles = true;
  if (parsed.Has("bookmarks")) options.bookmarks = true;
  if (parsed.Has("embed-fonts")) options.embedFonts = true;
  return {};
}

// Runs the job and prints its summary; shared with `tavro convert IN OUT.pdf`.
int WritePdf(std::span<const std::string> inputs, const PdfOptions& options, bool quiet) {
  ProgressBar bar(quiet);
  const PdfResult r = tavro::RunPdf(inputs, options, &bar, ReadInputDocument);
  bar.Finish();
  if (r.status == PdfResult::kCancelled) return Fail("cancelled; nothing was written");
  if (r.status == PdfResult::kFailed) return Fail(r.message);
  PrintWarnings(r.warnings);
  const Summary summary(quiet, false);
  summary.Print("pdf: %s\n", r.outputPath.c_str());
  summary.Print("pages: %d\n", r.pages);
  return kExitOk;
}

int RunPdf(const std::vector<std::string>& args) {
  std::string error;
  auto parsed = ParseArgs(args, kOptions, error);
  if (!parsed) return Usage("pdf", error);
  if (parsed->help) {
    PrintCommandHelp("pdf", "[options] (PROJECT.tpj | SHEET.tcd...)",
                     "Writes one PDF page per sheet: the sheets of a project in project order\n"
                     "(its checked sheets, or all with --all), or the sheets given, each on its\n"
                     "paper with its title frame, the texts' macros (&TITLE&, &P&/&T&, &DATE&...)\n"
                     "filled in. The options default to the stored section PDF; the display\n"
                     "switches and colours of section Color apply. A sheet that cannot be read\n"
                     "is left out with a warning.",
                     kOptions);
    return kExitOk;
  }
  if (parsed->positional.empty())
    return Usage("pdf", "expected a project file or one or more sheet files");
  PdfOptions options;
  error = PdfOptionsFromArgs(*parsed, options);
  if (!error.empty()) return Usage("pdf", error);
  return WritePdf(parsed->positional, options, parsed->quiet);
}

}  // namespace tavro::cli
