#include "app/net_index.h"

#include <algorithm>
#include <cstdio>
#include <unordered_map>

#include "app/html_template.h"
#include "core/model/sheet.h"
#include "core/net/netlist_format.h"
#include "core/net/rule_check.h"
#include "core/platform/codec.h"
#include "core/platform/dbcs.h"
#include "core/platform/host.h"
#include "core/platform/paths.h"
#include "core/platform/settings.h"

namespace tavro {

namespace {

// The name followed by ",", padded with blanks to at least 8 characters.
std::string PaddedName(const std::string& name) {
  std::string s = name + ",";
  if (s.size() < 8) s.resize(8, ' ');
  return s;
}

std::string Number3(int n) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%3d", n);
  return buf;
}

// The end of the run of entries from `i` whose names are equal, letter case ignored.
size_t NameRunEnd(const std::vector<NetIndexEntry>& entries, size_t i) {
  size_t j = i + 1;
  while (j < entries.size() && EqualNoCase(entries[j].name, entries[i].name)) ++j;
  return j;
}

std::string FileName(const std::vector<std::string>& files, int fileNo) {
  if (fileNo < 0 || static_cast<size_t>(fileNo) >= files.size()) return {};
  const std::string& path = files[static_cast<size_t>(fileNo)];
  const size_t slash = ReverseFindChar(path, '/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string FilePath(const std::vector<std::string>& files, int fileNo) {
  if (fileNo < 0 || static_cast<size_t>(fileNo) >= files.size()) return {};
  return files[static_cast<size_t>(fileNo)];
}

NetIndexResult Failed(std::string message) {
  return FailedResult<NetIndexResult>(std::move(message));
}
NetIndexResult Cancelled() { return CancelledResult<NetIndexResult>(); }

}  // namespace

bool CollectNetIndex(const CSheet& sheet, int fileNo, std::vector<NetIndexEntry>& entries) {
  Host& host = CurrentHost();
  for (const auto& wire : sheet.Wires()) {
    if (host.Step(false) != 0) return true;
    if (wire->GetName().empty()) continue;
    entries.push_back({wire->GetName(), fileNo, wire->GetNameText().GetPoint()});
  }
  return false;
}

void SortNetIndex(std::vector<NetIndexEntry>& entries) {
  std::stable_sort(entries.begin(), entries.end(),
                   [](const NetIndexEntry& a, const NetIndexEntry& b) {
                     if (const int c = CompareNoCase(a.name, b.name); c != 0) return c < 0;
                     return a.fileNo < b.fileNo;
                   });
}

void DropSingleNames(std::vector<NetIndexEntry>& entries) {
  // Upper-cased names are equal exactly when the names are equal with letter
  // case ignored.
  std::unordered_map<std::string, int> count;
  for (const NetIndexEntry& e : entries) ++count[ToUpper(e.name)];
  std::erase_if(entries, [&](const NetIndexEntry& e) { return count[ToUpper(e.name)] < 2; });
}

std::string ComposeNetIndexText(const std::vector<NetIndexEntry>& entries,
                                const std::vector<std::string>& files, bool xy) {
  std::string s = "File lists\n";
  for (size_t i = 0; i < files.size(); ++i)
    s += Number3(static_cast<int>(i) + 1) + " ," + files[i] + "\n";
  s += "Wire net index\n";
  if (xy) {
    for (const NetIndexEntry& e : entries)
      s += PaddedName(e.name) + Number3(e.fileNo + 1) + "," + FormatCoord(e.at.x) + "," +
           FormatCoord(e.at.y) + "\n";
    return s;
  }
  for (size_t i = 0; i < entries.size();) {
    const size_t end = NameRunEnd(entries, i);
    s += PaddedName(entries[i].name) + Number3(entries[i].fileNo + 1);
    for (size_t j = i + 1; j < end; ++j) s += "," + Number3(entries[j].fileNo + 1);
    s += "\n";
    i = end;
  }
  return s;
}

std::string ComposeNetIndexHtml(const std::vector<NetIndexEntry>& entries,
                                const std::vector<std::string>& files, bool xy,
                                const HtmlTemplate& tmpl, std::string_view date) {
  HtmlPage page;
  page.title = J("Ｔａｖｒｏ－ネットインデックスファイル");
  page.date = std::string(date);
  page.fileList = files;

  // Wire rows: one per entry with IndexXY, else one per name listing the
  // sheets of its entries as the text does.
  std::vector<HtmlRow> rows;
  auto wireRow = [&](const NetIndexEntry& e) {
    HtmlRow r;
    r.netName = ReportNetName(e.name);
    r.ref = "Wire";
    r.pinNo = "Point";
    r.docNo = std::to_string(e.fileNo + 1);
    r.file = FileName(files, e.fileNo);
    r.path = FilePath(files, e.fileNo);
    return r;
  };
  if (xy) {
    for (const NetIndexEntry& e : entries) {
      HtmlRow r = wireRow(e);
      r.x = FormatCoord(e.at.x);
      r.y = FormatCoord(e.at.y);
      rows.push_back(std::move(r));
    }
  } else {
    for (size_t i = 0; i < entries.size();) {
      const size_t end = NameRunEnd(entries, i);
      HtmlRow r = wireRow(entries[i]);
      for (size_t j = i + 1; j < end; ++j) {
        r.docNo += ", " + std::to_string(entries[j].fileNo + 1);
        r.file += ", " + FileName(files, entries[j].fileNo);
        r.path += ", " + FilePath(files, entries[j].fileNo);
      }
      rows.push_back(std::move(r));
      i = end;
    }
  }
  return tmpl.PageHead(page) + tmpl.Block("$NET$", J("ネットインデックス"), rows, &page) +
         tmpl.PageTail();
}

NetIndexOptions NetIndexOptions::FromSettings(const Settings& s) {
  NetIndexOptions o;
  o.single = s.GetInt("Tool", "IndexSingle") != 0;
  o.html = s.GetInt("Tool", "IndexHtml") != 0;
  o.xy = s.GetInt("Tool", "IndexXY") != 0;
  o.view = s.GetInt("Tool", "IndexView") != 0;
  o.unixLineEnds = s.GetInt("Tool", "NetUnix") != 0;
  return o;
}

std::string NetIndexOutputPath(const std::string& base, bool html) {
  return WithExtension(base, html ? ".net.html" : ".net.csv");
}

NetIndexResult RunNetIndex(std::span<const std::string> inputs, const NetIndexOptions& options,
                           Host* progress, const SheetLoader& loader) {
  std::string error;
  const auto coverage = ResolveCoverage(inputs, true, error);
  if (!coverage) return Failed(error);

  NetIndexResult result;
  result.outputPath = options.outputPath.empty()
                          ? NetIndexOutputPath(coverage->BasePath(), options.html)
                          : options.outputPath;
  if (options.writeFile) {
    const std::string out[] = {result.outputPath};
    if (OutputOverInput(out, *coverage))
      return Failed(
          FileMessage(kMsgCannotCreate, result.outputPath, "it is an input of the index"));
  }

  std::optional<ScopedHost> scoped;
  if (progress) scoped.emplace(progress);
  Host& host = CurrentHost();
  host.BeginStage(kStageNetIndex, 0);

  // Every file of the project, in project order; one that cannot be read is
  // skipped and named.
  const std::vector<std::string>& files = coverage->listedFiles;
  std::vector<NetIndexEntry> entries;
  host.BeginStage(kStageCollect, static_cast<int>(files.size()));
  for (size_t i = 0; i < files.size(); ++i) {
    if (host.Step(true) != 0) return Cancelled();
    CSheetDoc doc;
    if (!LoadSheet(files[i], loader, doc, error)) {
      result.warnings.push_back(error + "; left out of the net index");
      continue;
    }
    if (CollectNetIndex(doc.GetSheet(), static_cast<int>(i), entries)) return Cancelled();
  }

  host.BeginStage(kStageSort, 1);
  SortNetIndex(entries);
  if (!options.single) DropSingleNames(entries);
  if (host.Step(true) != 0) return Cancelled();

  host.BeginStage(kStageWriteFile, 1);
  std::vector<std::string> names;
  for (const std::string& f : files) names.push_back(Utf8ToCp932(f));
  if (options.html) {
    bool found = false;
    const HtmlTemplate tmpl = HtmlTemplate::Load(options.templatePath, &found);
    if (!found) result.warnings.push_back(MissingTemplateWarning(options.templatePath));
    result.text = ComposeNetIndexHtml(entries, names, options.xy, tmpl, NetlistDate());
  } else
    result.text =
        ApplyLineEnds(ComposeNetIndexText(entries, names, options.xy), options.unixLineEnds);
  if (host.Step(true) != 0) return Cancelled();
  result.entries = static_cast<int>(entries.size());
  std::string why;
  if (options.writeFile && !WriteFileAtomic(result.outputPath, result.text, &why))
    return Failed(FileMessage(kMsgCannotCreate, result.outputPath, why));
  return result;
}

}  // namespace tavro
