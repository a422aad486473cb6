// tavro convert IN OUT [--title-include] [--to FORMAT] [--size CODE]: a sheet
// file or a text-form file to a sheet file (.tcd), a text-form file (.txt) or
// a PDF (.pdf, as `tavro pdf` writes it with the stored options).
#include <cstdio>

#include "app/cli/args.h"
#include "app/cli/cli.h"
#include "app/cli/doc_input.h"
#include "app/pdf_job.h"
#include "core/file/document.h"
#include "core/platform/paths.h"
#include "core/platform/settings.h"

namespace tavro::cli {

int WritePdf(std::span<const std::string> inputs, const PdfOptions& options, bool quiet);

namespace {

const std::vector<OptionSpec> kOptions = {
    {"title-include", 't', false, nullptr,
     "embed the title frame in a sheet file (default: the FileSave/TitleInclude setting)"},
    {"to", 0, true, "FORMAT",
     "write this format whatever OUT's extension: tcd (sheet file), txt (text form) or pdf"},
    {"size", 0, true, "CODE",
     "sheet size code 0-5 (A2/A3/A4 landscape, A2/A3/A4 portrait) of the result"},
};

}  // namespace

int RunConvert(const std::vector<std::string>& args) {
  std::string error;
  auto parsed = ParseArgs(args, kOptions, error);
  if (!parsed) return Usage("convert", error);
  if (parsed->help) {
    PrintCommandHelp("convert", "[options] IN OUT",
                     "Converts a sheet file (.tcd) or a text-form file (.txt) into the format\n"
                     "that OUT's extension (or --to) names: .tcd a sheet file, .txt the text\n"
                     "form of the main sheet, .pdf a PDF page with the title frame (as\n"
                     "`tavro pdf` writes it); OUT \"-\" writes the text form to stdout.\n"
                     "A text-form input becomes a new sheet of the paper from the settings\n"
                     "(or --size). Title files (Title.A3 ...) are sheet files: write them\n"
                     "with --to tcd. Text forms are CP932 text: view one with\n"
                     "`iconv -f CP932`.",
                     kOptions);
    return kExitOk;
  }
  if (parsed->positional.size() != 2) return Usage("convert", "expected IN and OUT");
  const std::string& in = parsed->positional[0];
  const std::string& out = parsed->positional[1];
  const bool toStdout = IsStdout(out);
  std::string format = HasExtension(out, ".tcd")               ? "tcd"
                       : HasExtension(out, ".txt") || toStdout ? "txt"
                       : HasExtension(out, ".pdf")             ? "pdf"
                                                               : "";
  if (auto to = parsed->Get("to")) format = *to;
  if (format != "tcd" && format != "txt" && format != "pdf") {
    return Usage("convert", parsed->Has("to") ? "--to takes tcd, txt or pdf"
                                              : "OUT must end in .tcd (sheet file), .txt (text "
                                                "form) or .pdf, or use --to");
  }
  if (format == "pdf") {
    if (toStdout) return Usage("convert", "a PDF is binary: give OUT a file name");
    if (parsed->Has("size") || parsed->Has("title-include"))
      return Usage("convert", "--size and --title-include apply to sheet files, not to a PDF");
    PdfOptions options = PdfOptions::FromSettings(AppSettings());
    options.outputPath = out;
    const std::string inputs[] = {in};
    return WritePdf(inputs, options, parsed->quiet);
  }
  const bool toSheet = format == "tcd";
  if (toSheet && toStdout)
    return Usage("convert", "a sheet file is binary: give OUT a file name, or write --to txt");
  std::optional<long> size;
  if (auto s = parsed->Get("size")) {
    size = ParseInt(*s);
    if (!size || *size < kSizeA2 || *size > kSizeA4P)
      return Usage("convert", "--size needs a sheet size code from 0 to 5");
  }

  CSheetDoc doc;
  DocStatus st = ReadInputDocument(in, doc);
  if (!st.ok) return Fail(OneLine(st.message, in));
  if (size) {
    doc.SetSizeCode(static_cast<int>(*size));
    const WorkSize w = CSheetDoc::WorkSizeForCode(static_cast<int>(*size));
    doc.SetWorkSize(w.width, w.height);
    doc.SetViewRect(CRect(0, 0, w.width, w.height));
  }
  PrintWarnings(st);

  if (toSheet) {
    const bool titleInclude =
        parsed->Has("title-include") || AppSettings().GetInt("FileSave", "TitleInclude") != 0;
    st = doc.Save(out, titleInclude);
    if (!st.ok) return Fail(OneLine(st.message, out));
    return kExitOk;
  }
  if (toStdout) {
    if (!WriteStdout(doc.WriteText())) return Fail("cannot write to stdout");
    return kExitOk;
  }
  if (!WriteFileAtomic(out, doc.WriteText(), &error))
    return Fail(FileMessage(kMsgCannotCreate, out) + " (" + error + ")");
  return kExitOk;
}

}  // namespace tavro::cli
