// The PDF job: the sheets of a project or the given sheets, one page each.
#include "app/pdf_job.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>

#include "app/project.h"
#include "app/project_host.h"
#include "core/draw/draw.h"
#include "core/pdf/pdf.h"
#include "core/pdf/pdf_page.h"
#include "core/platform/codec.h"
#include "core/platform/dbcs.h"
#include "core/platform/paths.h"
#include "core/platform/settings.h"

namespace tavro {

namespace {

namespace fs = std::filesystem;

PdfResult Failed(std::string message) { return FailedResult<PdfResult>(std::move(message)); }
PdfResult Cancelled() { return CancelledResult<PdfResult>(); }

// The scale of section "PDF": a number as text; anything unreadable or
// outside the dialog's range keeps 1.
double ReadScale(const std::string& text) {
  const char* p = text.c_str();
  char* end = nullptr;
  const double v = std::strtod(p, &end);
  if (end == p || !(v > 0) || v > 100) return 1.0;
  return v;
}

// The part of the sheet that is placed at the margins: the title frame's
// box, or the work area; its left and top edges never below 0.
CRect Extent(const CSheetDoc& doc, bool titleInclude) {
  CRect r = CRect(0, 0, doc.GetWorkWidth(), doc.GetWorkHeight());
  if (titleInclude && doc.GetTitleSheet().GetItemCount() > 0) {
    r = doc.GetTitleSheet().GetBoundingRect().Normalized();
  }
  r.left = std::max(r.left, 0);
  r.top = std::max(r.top, 0);
  return r;
}

}  // namespace

PdfOptions PdfOptions::FromSettings(const Settings& s) {
  PdfOptions o;
  o.topMargin = s.GetInt("PDF", "Up");
  o.leftMargin = s.GetInt("PDF", "Left");
  o.background = s.GetInt("PDF", "Back") != 0;
  o.color = s.GetInt("PDF", "Color") != 0;
  o.titleInclude = s.GetInt("PDF", "TitleInclude") != 0;
  o.allFiles = s.GetInt("PDF", "AllFile") != 0;
  o.scale = ReadScale(s.GetString("PDF", "Scale"));
  return o;
}

void PdfOptions::Store(Settings& s) const {
  s.WriteInt("PDF", "Up", static_cast<int32_t>(topMargin));
  s.WriteInt("PDF", "Left", static_cast<int32_t>(leftMargin));
  s.WriteInt("PDF", "Back", background ? 1 : 0);
  s.WriteInt("PDF", "Color", color ? 1 : 0);
  s.WriteInt("PDF", "TitleInclude", titleInclude ? 1 : 0);
  s.WriteInt("PDF", "AllFile", allFiles ? 1 : 0);
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.2f", scale);
  s.WriteString("PDF", "Scale", buf);
}

std::string PdfPath(const std::string& base) { return WithExtension(base, ".pdf"); }

std::string WithPdfExtension(const std::string& name) {
  if (name.size() >= 4 && EqualNoCase(std::string_view(name).substr(name.size() - 4), ".pdf"))
    return name;
  return name + ".pdf";
}

PdfResult RunPdf(std::span<const std::string> inputs, const PdfOptions& options, Host* progress,
                 const SheetLoader& loader) {
  std::string error;
  const auto coverage = ResolveCoverage(inputs, options.allFiles, error);
  if (!coverage) return Failed(error);

  PdfResult result;
  result.outputPath = options.outputPath.empty() ? PdfPath(coverage->BasePath())
                                                 : WithPdfExtension(options.outputPath);
  if (options.writeFile) {
    const std::string out[] = {result.outputPath};
    if (OutputOverInput(out, *coverage))
      return Failed(FileMessage(kMsgCannotCreate, result.outputPath, "it is an input of the PDF"));
  }

  // The project's titles stand in for those not given.
  std::string title = options.title.value_or("");
  std::string subtitle = options.subtitle.value_or("");
  if (coverage->IsProject()) {
    if (!options.title) title = ProjectFile::GetProperty(coverage->projectPath, "PDFTITLE");
    if (!options.subtitle)
      subtitle = ProjectFile::GetProperty(coverage->projectPath, "PDFSUBTITLE");
  }

  // The title frames belong on the pages: the plain reader with them.
  const SheetLoader load =
      loader ? loader : [](const std::string& path, CSheetDoc& doc) { return doc.Open(path); };

  Host& outer = progress ? *progress : CurrentHost();
  CoverageHost open(outer, *coverage);
  ProjectHost projectHost(open, *coverage);
  ScopedHost scoped(&projectHost);
  Host& host = CurrentHost();

  CPDF pdf;
  pdf.Init();
  pdf.SetBookmarks(options.bookmarks);
  pdf.SetEmbedFonts(options.embedFonts);
  pdf.SetInfo(title, subtitle, options.author);
  CPDFPage page;
  page.SetFontNumberer([&pdf](const LogFont& font) { return pdf.GetFontNo(font); });
  pdf.BindPage(page);

  const DrawStyle style = DrawStyle::FromHost(host);
  const bool titleFrame = options.titleFrame.value_or(host.DisplaySwitch(kDispTitle));
  const Color back = options.color ? host.DisplayColor(kDispSheet) : 0xFFFFFFu;

  host.BeginStage(kStagePdf, static_cast<int>(coverage->sheets.size()));
  for (const CoveredSheet& sheet : coverage->sheets) {
    CSheetDoc doc;
    if (!LoadSheet(sheet.path, load, doc, error)) {
      result.warnings.push_back(error + "; left out of the PDF");
      if (host.Step(true) != 0) return Cancelled();
      continue;
    }
    page.SetPageSize(doc.GetSizeCode());
    page.SetScale(options.scale);
    page.SetOffset(Extent(doc, options.titleInclude), options.leftMargin, options.topMargin);
    page.WriteInit(options.background, back);
    DrawWalk walk(page, style);
    if (titleFrame) walk.Sheet(doc.GetTitleSheet(), options.color, &doc);
    walk.Sheet(doc.GetSheet(), options.color, &doc);
    pdf.NewPage(page, Utf8ToCp932(fs::path(sheet.path).filename().string()));
    ++result.pages;
    if (host.Step(true) != 0) return Cancelled();
  }
  if (result.pages == 0) return Failed("no sheet could be read; nothing was written");

  pdf.WritePDF(result.bytes);
  std::string why;
  if (options.writeFile && !WriteFileAtomic(result.outputPath, result.bytes, &why))
    return Failed(FileMessage(kMsgCannotCreate, result.outputPath, why));
  if (options.storeTitles && coverage->IsProject()) {
    if (!ProjectFile::SetProperties(coverage->projectPath,
                                    {{"PDFTITLE", title}, {"PDFSUBTITLE", subtitle}}, &why))
      result.warnings.push_back(FileMessage(kMsgCannotCreate, coverage->projectPath, why) +
                                "; the titles were not stored");
  }
  return result;
}

}  // namespace tavro
