#include "app/netlist_job.h"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <unordered_set>

#include "app/project.h"
#include "core/model/sheet.h"
#include "core/net/net.h"
#include "core/net/netlist_format.h"
#include "core/platform/codec.h"
#include "core/platform/dbcs.h"
#include "core/platform/host.h"
#include "core/platform/paths.h"
#include "core/platform/settings.h"

namespace tavro {

namespace fs = std::filesystem;

namespace {

constexpr const char* kMsgCannotOpen = "ファイル %1 を開けません";
constexpr const char* kMsgCannotCreate = "ファイル %1 を作成できません";
constexpr const char* kMsgExtEmpty = "コンポーネントファイル拡張子を設定してください。";
constexpr const char* kMsgExtInvalid = "ファイル拡張子が不正または使用できません。";

// Extensions a component file must not take: the system's own files.
constexpr std::string_view kReservedExt[] = {"tcd", "tpj", "bak", "net", "exe",
                                             "nrp", "csv", "log", "html"};

std::string FileMessage(const char* tmpl, const std::string& file, const std::string& why = {}) {
  std::string m = ReplaceAll(tmpl, "%1", file);
  if (!why.empty()) m += " (" + why + ")";
  return m;
}

// A message on one line.
std::string OneLine(std::string s) {
  for (char& c : s)
    if (c == '\n' || c == '\r') c = ' ';
  return Trim(s);
}

std::string FullPath(const std::string& path) {
  std::error_code ec;
  fs::path p = fs::absolute(fs::path(path), ec);
  return (ec ? fs::path(path) : p).lexically_normal().string();
}

// The host during a run: progress goes to the caller's host; "is this FILE
// open" is answered from the sheets the run covers, which are the sheets the
// run has open.
class JobHost : public Host {
 public:
  JobHost(Host& target, std::vector<std::string> open) : target_(target), open_(std::move(open)) {}
  void BeginStage(int stage, int total) override { target_.BeginStage(stage, total); }
  int Step(bool advance) override { return target_.Step(advance); }
  bool IsFileOpen(const std::string& path) override {
    for (const std::string& f : open_)
      if (EqualNoCase(f, path)) return true;
    return false;
  }
  int GridStep() override { return target_.GridStep(); }
  int FontNo(const LogFont& font) override { return target_.FontNo(font); }
  int ProjectFileNumber(const std::string& path) override {
    return target_.ProjectFileNumber(path);
  }
  int ProjectFileCount() override { return target_.ProjectFileCount(); }
  std::string ProjectPath() override { return target_.ProjectPath(); }
  std::string Author() override { return target_.Author(); }
  std::string ProjectProperty(const std::string& key) override {
    return target_.ProjectProperty(key);
  }

 private:
  Host& target_;
  std::vector<std::string> open_;
};

DocStatus LoadSheetFile(const std::string& path, CSheetDoc& doc) {
  // The title frame plays no part in a netlist, so it is not loaded.
  const std::optional<std::string> data = ReadFile(path);
  if (!data) {
    DocStatus st;
    st.ok = false;
    st.message = FileMessage(kMsgCannotOpen, path);
    return st;
  }
  return doc.Load(*data, path, false);
}

NetlistResult Failed(std::string message) {
  NetlistResult r;
  r.status = NetlistResult::kFailed;
  r.message = std::move(message);
  return r;
}

NetlistResult Cancelled() {
  NetlistResult r;
  r.status = NetlistResult::kCancelled;
  return r;
}

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

std::string ApplyLineEnds(std::string_view text, bool unix) {
  if (unix) return std::string(text);
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

std::optional<std::vector<std::string>> CoveredSheetFiles(const std::string& input, bool allFiles,
                                                          std::string& error) {
  const std::string path = FullPath(input);
  const bool project = path.size() >= 4 && EqualNoCase(path.substr(path.size() - 4), ".tpj");
  if (!project) return std::vector<std::string>{path};
  auto entries = ProjectFile::ReadEntries(path);
  if (!entries) {
    error = FileMessage(kMsgCannotOpen, input, "not a project file");
    return std::nullopt;
  }
  std::vector<std::string> files;
  for (const ProjectEntry& e : *entries)
    if (allFiles || e.checked) files.push_back(fs::path(e.path).lexically_normal().string());
  if (files.empty()) {
    error = FileMessage(kMsgCannotOpen, input,
                        allFiles ? "the project lists no sheet file"
                                 : "the project has no checked sheet file; --all takes every file");
    return std::nullopt;
  }
  return files;
}

void GatherComponents(std::span<const GatherSheet> sheets, CSheet& working) {
  Host& host = CurrentHost();
  int index = 0;
  for (const GatherSheet& s : sheets) {
    ++index;
    const std::string docName = s.doc->GetTitle().empty()
                                    ? Utf8ToCp932(fs::path(s.filePath).filename().string())
                                    : s.doc->GetTitle();
    char size[32];
    std::snprintf(size, sizeof size, "%05d,%05d", s.doc->GetWorkWidth(), s.doc->GetWorkHeight());
    for (const auto& part : s.doc->GetSheet().Parts()) {
      if (part->GetRefName().empty()) continue;
      const std::string file = part->GetProperty("FILE");
      if (!file.empty() && host.IsFileOpen(ResolveSheetFile(file, s.filePath))) continue;
      CPart& copy = working.NewPart(*part);
      copy.NewText("{TAVRO:DOCNAME}" + docName + " [" + std::to_string(index) + "]", copy.GetOrg(),
                   kTextDefaultSize, kTextHidden);
      copy.NewText(std::string("{TAVRO:SIZE}") + size, copy.GetOrg(), kTextDefaultSize,
                   kTextHidden);
    }
  }
}

NetlistResult RunNetlist(const std::string& input, const NetlistOptions& options, Host* progress,
                         const SheetLoader& loader) {
  const NetlistFormat* f = FindNetlistFormat(options.format);
  if (!f || f->listPosition < 0)
    return Failed("unknown netlist format " + std::to_string(options.format));

  std::string error;
  auto files = CoveredSheetFiles(input, options.allFiles, error);
  if (!files) return Failed(error);

  NetlistResult result;
  result.outputPath = options.outputPath.empty()
                          ? NetlistOutputPath(FullPath(input), options.format)
                          : options.outputPath;
  const bool apart = options.componentFile && f->components && !f->indexed;
  if (options.componentFile) {
    if (auto bad = CheckComponentExt(options.componentExt, f->extension)) return Failed(*bad);
    if (apart) result.componentPath = ComponentFilePath(result.outputPath, options.componentExt);
  }
  if (!result.componentPath.empty() &&
      FullPath(result.componentPath) == FullPath(result.outputPath))
    return Failed(FileMessage(kMsgCannotCreate, result.componentPath, "it is the netlist itself"));
  // Never write over an input.
  for (const std::string& out : {result.outputPath, result.componentPath}) {
    if (out.empty()) continue;
    const std::string full = FullPath(out);
    bool clash = full == FullPath(input);
    for (const std::string& in : *files) clash = clash || full == in;
    if (clash) return Failed(FileMessage(kMsgCannotCreate, out, "it is an input of the netlist"));
  }

  JobHost host(progress ? *progress : CurrentHost(), *files);
  ScopedHost scoped(&host);

  // Read every covered sheet; one that cannot be read stops the run.
  std::vector<CSheetDoc> docs(files->size());
  host.BeginStage(kStageReadFiles, static_cast<int>(files->size()));
  for (size_t i = 0; i < files->size(); ++i) {
    if (host.Step(true) != 0) return Cancelled();
    const std::string& path = (*files)[i];
    std::error_code ec;
    if (!fs::is_regular_file(path, ec))
      return Failed(FileMessage(kMsgCannotOpen, path, "no such sheet file"));
    DocStatus st;
    try {
      st = loader ? loader(path, docs[i]) : LoadSheetFile(path, docs[i]);
    } catch (const std::exception& e) {
      st.ok = false;
      st.message = e.what();
    }
    if (!st.ok) {
      std::string why = OneLine(st.message);
      if (why.find(path) != std::string::npos || why == FileMessage(kMsgCannotOpen, path))
        return Failed(why);
      return Failed(FileMessage(kMsgCannotOpen, path, why));
    }
  }

  std::vector<NetSheet> netSheets;
  std::vector<GatherSheet> gather;
  for (size_t i = 0; i < docs.size(); ++i) {
    netSheets.push_back({&docs[i].GetSheet(), (*files)[i]});
    gather.push_back({&docs[i], (*files)[i]});
  }
  NetList nets;
  if (BuildNets(netSheets, nets) != 0) return Cancelled();
  CSheet working(kSheetScratch);
  GatherComponents(gather, working);

  const std::string fileName = Utf8ToCp932(fs::path(result.outputPath).filename().string());
  NetlistText text = ComposeNetlist(nets, working, options, fileName, NetlistDate());
  if (text.cancelled) return Cancelled();

  std::string why;
  if (!WriteFileAtomic(result.outputPath, ApplyLineEnds(text.netlist, options.unixLineEnds), &why))
    return Failed(FileMessage(kMsgCannotCreate, result.outputPath, why));
  if (!result.componentPath.empty() &&
      !WriteFileAtomic(result.componentPath, ApplyLineEnds(text.components, options.unixLineEnds),
                       &why))
    return Failed(FileMessage(kMsgCannotCreate, result.componentPath, why));
  result.nets = text.nets;
  result.connections = text.connections;
  return result;
}

}  // namespace tavro
