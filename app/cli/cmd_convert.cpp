// tavro convert IN OUT [--title-include] [--to FORMAT] [--size CODE] [--dpi N]
// [--mono]: a sheet file or a text-form file to a sheet file (.tcd), a
// text-form file (.txt), a Tango schematic (.sch), a DXF drawing (.dxf), a
// PDF (.pdf, as `tavro pdf` writes it with the stored options) or an image of
// the sheet (.png, .svg).
#include <cstdio>

#include "app/cli/args.h"
#include "app/cli/cli.h"
#include "app/cli/doc_input.h"
#include "app/image_options.h"
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
     "write this format whatever OUT's extension: tcd (sheet file), txt (text form),\n"
     "tango (Tango schematic text), dxf (DXF drawing), pdf, png or svg"},
    {"size", 0, true, "CODE",
     "sheet size code 0-5 (A2/A3/A4 landscape, A2/A3/A4 portrait) of the result"},
    {"dpi", 0, true, "N", "resolution of an image (.png, .svg) in dots per inch (default 150)"},
    {"mono", 0, false, nullptr,
     "draw an image black on white, as printed (default: the display colours)"},
};

}  // namespace

int RunConvert(const std::vector<std::string>& args) {
  std::string error;
  auto parsed = ParseArgs(args, kOptions, error);
  if (!parsed) return Usage("convert", error);
  if (parsed->help) {
    PrintCommandHelp("convert", "[options] IN OUT",
                     "Converts a sheet file (.tcd), a text-form file (.txt) or a Tango\n"
                     "schematic (first line \";Tango\") into the format that OUT's extension\n"
                     "(or --to) names: .tcd a sheet file, .txt the text form of the main\n"
                     "sheet, .sch a Tango schematic text (CP932) of the main sheet, .dxf a\n"
                     "DXF drawing of the sheet and its title frame (configured by the data\n"
                     "file DXF_HDR.DAT; coordinates in inches), .pdf a\n"
                     "PDF page with the title frame (as\n"
                     "`tavro pdf` writes it), .png and .svg an image of the sheet's work\n"
                     "area with its title frame (--dpi, --mono); OUT \"-\" writes the text\n"
                     "form to stdout.\n"
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
                       : HasExtension(out, ".png")             ? "png"
                       : HasExtension(out, ".svg")             ? "svg"
                       : HasExtension(out, ".sch")             ? "tango"
                       : HasExtension(out, ".dxf")             ? "dxf"
                                                               : "";
  if (auto to = parsed->Get("to")) format = *to;
  if (format != "tcd" && format != "txt" && format != "tango" && format != "dxf" &&
      format != "pdf" && format != "png" && format != "svg") {
    return Usage("convert", parsed->Has("to") ? "--to takes tcd, txt, tango, dxf, pdf, png or svg"
                                              : "OUT must end in .tcd (sheet file), .txt (text "
                                                "form), .sch (Tango), .dxf, .pdf, .png or .svg, "
                                                "or use --to");
  }
  const bool image = format == "png" || format == "svg";
  if (!image && (parsed->Has("dpi") || parsed->Has("mono")))
    return Usage("convert", "--dpi and --mono apply to images (.png, .svg)");
  if (format == "pdf") {
    if (toStdout) return Usage("convert", "a PDF is binary: give OUT a file name");
    if (parsed->Has("size") || parsed->Has("title-include"))
      return Usage("convert", "--size and --title-include apply to sheet files, not to a PDF");
    PdfOptions options = PdfOptions::FromSettings(AppSettings());
    options.outputPath = out;
    const std::string inputs[] = {in};
    return WritePdf(inputs, options, parsed->quiet);
  }
  if (image) {
    if (toStdout) return Usage("convert", "an image is written to a file: give OUT a file name");
    ImageOptions options;
    options.format = format == "svg" ? ImageOptions::kSvg : ImageOptions::kPng;
    options.mono = parsed->Has("mono");
    if (auto d = parsed->Get("dpi")) {
      const std::optional<long> dpi = ParseInt(*d);
      if (!dpi || *dpi < ImageOptions::kMinDpi || *dpi > ImageOptions::kMaxDpi)
        return Usage("convert", "--dpi needs a number from 10 to 2400");
      options.dpi = static_cast<int>(*dpi);
    }
    const ImageWriter writer = GetImageWriter();
    if (writer == nullptr)
      return Fail("this program was built without the editor: it cannot draw images");
    CSheetDoc doc;
    DocStatus st = ReadInputDocument(in, doc);
    if (!st.ok) return Fail(OneLine(st.message, in));
    PrintWarnings(st);
    const std::string why = writer(doc, out, options);
    if (!why.empty()) return Fail(OneLine(why, out));
    return kExitOk;
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
  std::string text;
  if (format == "dxf") {
    st = doc.WriteDXF(text);
    // The header file is looked up in the data folder: say where.
    if (!st.ok) return Fail(st.message + " (" + DataFile("DXF_HDR.DAT") + ")");
  } else {
    text = format == "tango" ? doc.WriteTango() : doc.WriteText();
  }
  if (toStdout) {
    if (!WriteStdout(text)) return Fail("cannot write to stdout");
    return kExitOk;
  }
  if (!WriteFileAtomic(out, text, &error))
    return Fail(FileMessage(kMsgCannotCreate, out) + " (" + error + ")");
  return kExitOk;
}

}  // namespace tavro::cli
