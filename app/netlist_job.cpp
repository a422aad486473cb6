#include "app/netlist_job.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <unordered_set>

#include "app/check_job.h"
#include "core/model/sheet.h"
#include "core/net/net.h"
#include "core/net/netlist_format.h"
#include "core/platform/codec.h"
#include "core/platform/dbcs.h"
#include "core/platform/font.h"
#include "core/platform/host.h"
#include "core/platform/paths.h"
#include "core/platform/settings.h"

namespace tavro {

namespace fs = std::filesystem;

namespace {

constexpr const char* kMsgExtEmpty = "コンポーネントファイル拡張子を設定してください。";
constexpr const char* kMsgExtInvalid = "ファイル拡張子が不正または使用できません。";

// Extensions a component file must not take: the system's own files.
constexpr std::string_view kReservedExt[] = {"tcd", "tpj", "bak", "net", "exe",
                                             "nrp", "csv", "log", "html"};

NetlistResult Failed(std::string message) {
  return FailedResult<NetlistResult>(std::move(message));
}
NetlistResult Cancelled() { return CancelledResult<NetlistResult>(); }

}  // namespace

NetlistOptions NetlistOptions::FromSettings(const Settings& s) {
  NetlistOptions o;
  o.format = FormatAtListPosition(s.GetInt("Tool", "NetType")).value_or(1);
  o.startNo = static_cast<unsigned>(std::max(0, s.GetInt("Tool", "StartNo")));
  o.pcbProperty = s.GetString("Tool", "PCB");
  o.componentFile = s.GetInt("Tool", "Compo") != 0;
  o.componentExt = s.GetString("Tool", "Ext");
  o.unixLineEnds = s.GetInt("Tool", "NetUnix") != 0;
  o.index = s.GetInt("Tool", "Index") != 0;
  o.html = s.GetInt("Tool", "Html") != 0;
  o.indexOptions = NetIndexOptions::FromSettings(s);
  return o;
}

NetlistText ComposeNetlist(const NetList& nets, CSheet& working, const NetlistOptions& options,
                           std::string_view fileName, std::string_view date) {
  NetlistText t;
  const int format = options.format;
  const NetlistFormat* f = FindNetlistFormat(format);
  if (!f || f->listPosition < 0) return t;

  NetWriteOptions wo;
  wo.pcbProperty = options.pcbProperty;
  const size_t dot = fileName.rfind('.');
  wo.outputBaseName =
      std::string(dot == std::string_view::npos ? fileName : fileName.substr(0, dot));

  t.netlist = NetlistHeader(format, fileName, date);
  if (f->components) {
    if (f->indexed) {
      // PCAD, SPICE and TVR are written part by part from the pin-level index.
      if (working.NetIndex(format, nets, static_cast<int>(options.startNo)) != 0 ||
          working.NetWrite(-format, t.netlist, wo)) {
        t.cancelled = true;
        return t;
      }
    } else if (working.NetWrite(format, options.componentFile ? t.components : t.netlist, wo)) {
      t.cancelled = true;
      return t;
    }
  }

  // The names written by named nets: a generated name never repeats one of
  // them, so that an unnamed net never joins a named one in the reader.
  std::unordered_set<std::string> used;
  for (const auto& net : nets)
    if (net->CheckNet() && !net->GetName().empty()) used.insert(ToUpper(net->GetName()));

  Host& host = CurrentHost();
  host.BeginStage(kStageWrite, static_cast<int>(nets.size()));
  unsigned counter = options.startNo;
  for (const auto& net : nets) {
    if (host.Step(true) != 0) {
      t.cancelled = true;
      return t;
    }
    if (!net->CheckNet()) continue;
    if (net->GetName().empty() && f->counter != NetCounter::kAlways) {
      for (std::string n = NumberedNetName(format, counter);
           !n.empty() && used.count(ToUpper(n)) != 0; n = NumberedNetName(format, counter))
        ++counter;
    }
    t.netlist += net->MakeString(format, counter);
    ++t.nets;
    t.connections += static_cast<int>(net->Entries().size()) - 1;
  }
  if (format == 24) {
    // The single-pin and open nets, listed apart.
    t.netlist += NetlistHeader(-24, fileName, date);
    unsigned none = 0;
    for (const auto& net : nets)
      if (!net->CheckNet() && !net->Entries().empty()) t.netlist += net->MakeString(-24, none);
  }
  t.netlist += CNet::MakeTail(format);
  return t;
}

std::string NetlistOutputPath(const std::string& input, int format) {
  const NetlistFormat* f = FindNetlistFormat(format);
  return fs::path(input).replace_extension(f ? f->extension : ".net").string();
}

std::string ComponentFilePath(const std::string& netlistPath, std::string_view ext) {
  // The extension with its dot (an extension given with one keeps it).
  std::string e = Cp932ToUtf8(ext);
  if (e.empty() || e.front() != '.') e.insert(e.begin(), '.');
  return fs::path(netlistPath).replace_extension(e).string();
}

std::optional<std::string> CheckComponentExt(std::string_view ext, std::string_view netlistExt) {
  std::string e = Trim(ext);
  if (!e.empty() && e.front() == '.') e.erase(0, 1);
  if (e.empty()) return std::string(kMsgExtEmpty);
  std::string own(netlistExt);
  if (!own.empty() && own.front() == '.') own.erase(0, 1);
  // The system's own files, the netlist's own extension (the component file
  // would replace the netlist), and anything that is not a plain extension.
  bool bad = EqualNoCase(e, own);
  for (std::string_view r : kReservedExt) bad = bad || EqualNoCase(e, r);
  for (unsigned char c : e) bad = bad || c < 0x20 || c == '/' || c == '\\' || c == '.';
  if (bad) return std::string(kMsgExtInvalid);
  return std::nullopt;
}

namespace {

// The parts of one document that go into the component sections, and the
// tagging of their copies (or of the parts themselves).
struct ComponentTags {
  ComponentTags(const CSheetDoc& doc, const std::string& filePath, int index) : filePath(filePath) {
    const std::string docName = doc.GetTitle().empty()
                                    ? Utf8ToCp932(fs::path(filePath).filename().string())
                                    : doc.GetTitle();
    name = "{TAVRO:DOCNAME}" + docName + " [" + std::to_string(index) + "]";
    char buf[32];
    std::snprintf(buf, sizeof buf, "%05d,%05d", doc.GetWorkWidth(), doc.GetWorkHeight());
    size = std::string("{TAVRO:SIZE}") + buf;
  }
  bool Wanted(const CPart& part) const {
    if (part.GetRefName().empty()) return false;
    const std::string file = part.GetProperty("FILE");
    return file.empty() || !CurrentHost().IsFileOpen(ResolveSheetFile(file, filePath));
  }
  void Tag(CPart& part) const {
    part.NewText(name, part.GetOrg(), kTextDefaultSize, kTextHidden);
    part.NewText(size, part.GetOrg(), kTextDefaultSize, kTextHidden);
  }
  const std::string& filePath;
  std::string name, size;
};

}  // namespace

void GatherComponents(std::span<const GatherSheet> sheets, CSheet& working) {
  const FontBatch batch;  // the tags are measured as one batch
  int index = 0;
  for (const GatherSheet& s : sheets) {
    const ComponentTags tags(*s.doc, s.filePath, ++index);
    for (const auto& part : s.doc->GetSheet().Parts())
      if (tags.Wanted(*part)) tags.Tag(working.NewPart(*part));
  }
}

void TakeComponents(std::span<CSheetDoc* const> docs, std::span<const std::string> filePaths,
                    CSheet& working) {
  const FontBatch batch;  // the tags are measured as one batch
  for (size_t i = 0; i < docs.size(); ++i) {
    const ComponentTags tags(*docs[i], filePaths[i], static_cast<int>(i) + 1);
    const size_t first = working.Parts().size();
    working.TakeParts(docs[i]->GetSheet(), [&](const CPart& p) { return tags.Wanted(p); });
    for (size_t k = first; k < working.Parts().size(); ++k) tags.Tag(*working.Parts()[k]);
  }
}

NetlistResult RunNetlist(const std::string& input, const NetlistOptions& options, Host* progress,
                         const SheetLoader& loader) {
  const std::string inputs[] = {input};
  return RunNetlist(inputs, options, progress, loader);
}

NetlistResult RunNetlist(std::span<const std::string> inputs, const NetlistOptions& options,
                         Host* progress, const SheetLoader& loader) {
  const NetlistFormat* f = FindNetlistFormat(options.format);
  if (!f || f->listPosition < 0)
    return Failed("unknown netlist format " + std::to_string(options.format));

  std::string error;
  const auto coverage = ResolveCoverage(inputs, options.allFiles, error);
  if (!coverage) return Failed(error);

  NetlistResult result;
  result.outputPath = options.outputPath.empty()
                          ? NetlistOutputPath(coverage->BasePath(), options.format)
                          : options.outputPath;
  const bool apart = options.componentFile && f->components && !f->indexed;
  if (options.componentFile) {
    if (auto bad = CheckComponentExt(options.componentExt, f->extension)) return Failed(*bad);
    if (apart) result.componentPath = ComponentFilePath(result.outputPath, options.componentExt);
  }
  if (!result.componentPath.empty() &&
      FullPath(result.componentPath) == FullPath(result.outputPath))
    return Failed(FileMessage(kMsgCannotCreate, result.componentPath, "it is the netlist itself"));
  // The report and the index are named after the netlist.
  const std::string reportPath = options.report ? NetReportPath(result.outputPath) : std::string();
  const std::string reportHtmlPath =
      options.report && options.html ? NetReportHtmlPath(reportPath) : std::string();
  const bool index = options.index && coverage->IsProject();
  const std::string indexPath =
      index ? NetIndexOutputPath(result.outputPath, options.indexOptions.html) : std::string();
  // Never write over an input, nor one output over another.
  const std::string outputs[] = {options.writeFile ? result.outputPath : std::string(),
                                 result.componentPath, reportPath, reportHtmlPath, indexPath};
  if (auto clash = OutputOverInput(outputs, *coverage))
    return Failed(FileMessage(kMsgCannotCreate, *clash, "it is an input of the netlist"));
  for (size_t i = 0; i < std::size(outputs); ++i)
    for (size_t j = i + 1; j < std::size(outputs); ++j)
      if (!outputs[i].empty() && !outputs[j].empty() &&
          FullPath(outputs[i]) == FullPath(outputs[j]))
        return Failed(FileMessage(kMsgCannotCreate, outputs[j], "another output of the netlist"));

  CoverageHost host(progress ? *progress : CurrentHost(), *coverage);
  ScopedHost scoped(&host);

  // Read every covered sheet; one that cannot be read stops the run.
  std::vector<CSheetDoc> docs;
  switch (LoadCoveredSheets(*coverage, loader, docs, error)) {
    case LoadResult::kCancelled:
      return Cancelled();
    case LoadResult::kFailed:
      return Failed(error);
    case LoadResult::kOk:
      break;
  }
  NetList nets;
  if (BuildCoveredNets(*coverage, docs, nets) != 0) return Cancelled();
  // The documents are of no more use: their parts go to the component
  // sections as they are (no copy).
  std::vector<CSheetDoc*> docPtrs;
  std::vector<std::string> paths;
  for (size_t i = 0; i < docs.size(); ++i) {
    docPtrs.push_back(&docs[i]);
    paths.push_back(coverage->sheets[i].path);
  }
  CSheet working(kSheetScratch);
  TakeComponents(docPtrs, paths, working);

  const std::string fileName = Utf8ToCp932(fs::path(result.outputPath).filename().string());
  const std::string date = NetlistDate();
  NetlistText text = ComposeNetlist(nets, working, options, fileName, date);
  if (text.cancelled) return Cancelled();

  std::string why;
  if (!options.writeFile)
    result.text = ApplyLineEnds(text.netlist, options.unixLineEnds);
  else if (!WriteFileAtomic(result.outputPath, ApplyLineEnds(text.netlist, options.unixLineEnds),
                            &why))
    return Failed(FileMessage(kMsgCannotCreate, result.outputPath, why));
  if (!result.componentPath.empty() &&
      !WriteFileAtomic(result.componentPath, ApplyLineEnds(text.components, options.unixLineEnds),
                       &why))
    return Failed(FileMessage(kMsgCannotCreate, result.componentPath, why));
  result.nets = text.nets;
  result.connections = text.connections;

  if (options.report) {
    NetReportOutput out;
    out.textPath = reportPath;
    out.htmlPath = reportHtmlPath;
    out.templatePath = options.templatePath;
    out.unixLineEnds = options.unixLineEnds;
    NetReportWritten w = WriteNetReport(nets, NetCounts{text.nets, text.connections},
                                        coverage->listedFiles, date, out);
    if (w.status == NetReportWritten::kCancelled) return Cancelled();
    if (w.status == NetReportWritten::kFailed) return Failed(w.message);
    result.reportPath = reportPath;
    result.reportHtmlPath = reportHtmlPath;
    result.report = w.summary;
    result.statusText = std::move(w.statusText);
    for (std::string& warning : w.warnings) result.warnings.push_back(std::move(warning));
  }

  if (index) {
    NetIndexOptions io = options.indexOptions;
    io.outputPath = indexPath;
    io.writeFile = true;
    io.unixLineEnds = options.unixLineEnds;
    if (io.templatePath.empty()) io.templatePath = options.templatePath;
    const std::string project[] = {coverage->projectPath};
    NetIndexResult r = RunNetIndex(project, io, &host, loader);
    for (std::string& warning : r.warnings) result.warnings.push_back(std::move(warning));
    if (r.status == NetIndexResult::kCancelled) return Cancelled();
    if (r.status == NetIndexResult::kFailed) return Failed(r.message);
    result.indexPath = r.outputPath;
  }
  return result;
}

}  // namespace tavro
