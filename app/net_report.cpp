#include "app/net_report.h"

#include <cstdio>

#include "app/covered_sheets.h"
#include "app/html_template.h"
#include "core/model/geometry.h"
#include "core/platform/codec.h"
#include "core/platform/host.h"
#include "core/platform/paths.h"

namespace tavro {

namespace {

// "%6u" of a count.
std::string Count6(int n) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%6u", static_cast<unsigned>(n));
  return buf;
}

// The text of one net in an internal format: mode or pair bit in the second argument.
std::string Line(const CNet& net, int format, unsigned modeOrBit) {
  return net.MakeString(format, modeOrBit);
}

// The further names of a net (after its first), joined by ", ".
std::string FurtherNames(const CNet& net) {
  std::string s;
  for (size_t i = 1; i < net.Names().size(); ++i) s += (i > 1 ? ", " : "") + net.Names()[i];
  return s;
}

// The net name of an HTML row: as the report shows names (marker prefix
// dropped, "Open Wire" for an unnamed open net); a real net without a name
// stays without one, since it is no open wire.
std::string RowNetName(const CNet& net) {
  if (net.CheckNet() && net.GetName().empty()) return {};
  return ReportNetName(net.GetName());
}

HtmlRow PinRow(const CNet& net, const CNetName& e) {
  HtmlRow r;
  r.netName = RowNetName(net);
  r.alias = FurtherNames(net);
  r.ref = e.GetRefName();
  r.partName = e.GetPartName();
  r.pinNo = e.GetPinNo();
  r.pinName = e.GetPinName();
  const char* type = e.GetPin().GetEleName();
  r.pinElect = type ? type : "";
  r.path = Utf8ToCp932(e.GetFileName());
  r.file = e.GetSheetName();
  r.docNo = std::to_string(e.GetFileNo());
  r.x = FormatCoord(e.GetPin().GetEndPoint().x);
  r.y = FormatCoord(e.GetPin().GetEndPoint().y);
  return r;
}

HtmlRow AliasRow(const CNet& net) {
  HtmlRow r;
  r.netName = RowNetName(net);
  r.alias = FurtherNames(net);
  return r;
}

}  // namespace

NetCounts CountNets(const NetList& nets) {
  NetCounts c;
  for (const auto& net : nets) {
    if (!net->CheckNet()) continue;
    ++c.nets;
    c.connections += static_cast<int>(net->Entries().size()) - 1;
  }
  return c;
}

std::optional<NetClasses> ClassifyNets(const NetList& nets) {
  Host& host = CurrentHost();
  host.BeginStage(kStageNetReport, static_cast<int>(nets.size()));
  NetClasses c;
  for (const auto& ptr : nets) {
    if (host.Step(true) != 0) return std::nullopt;
    const CNet* net = ptr.get();
    const bool real = net->CheckNet();
    const bool alias = net->GetNameCount() >= 2;
    if (!real && !alias)
      c.openNets.push_back(net);
    else if (!real)
      c.openAliasNets.push_back(net);
    else if (alias)
      c.aliasNets.push_back(net);
    const uint32_t mask = net->CheckPinDRC();
    for (size_t k = 0; k < kDrcPairCount; ++k)
      if ((mask & DrcPairs()[k].bit) != 0) c.pairs[k].push_back(net);
  }
  return c;
}

bool NetReportSummary::HasViolations() const {
  if (openNets > 0 || openAliasNets > 0) return true;
  for (int n : pairs)
    if (n > 0) return true;
  return false;
}

NetReportSummary Summarize(const NetClasses& classes) {
  NetReportSummary s;
  for (const CNet* net : classes.openNets) s.openNets += net->Entries().empty() ? 0 : 1;
  s.openAliasNets = static_cast<int>(classes.openAliasNets.size());
  s.aliasNets = static_cast<int>(classes.aliasNets.size());
  for (size_t k = 0; k < kDrcPairCount; ++k) s.pairs[k] = static_cast<int>(classes.pairs[k].size());
  return s;
}

std::string ComposeNetReport(const NetClasses& classes, NetCounts counts, std::string_view date) {
  std::string s = "Tavro Net Infomation file Ver 1.11\n";
  s += J("作成日時 ") + std::string(date) + "\n\n";
  s += J("ネットグループ数 ") + Count6(counts.nets) + "\n";
  s += J("配線総数\u3000       ") + Count6(counts.connections) + "\n";
  s += J("接続ピン合計 \u3000  ") + Count6(counts.Total()) + "\n\n";

  auto section = [&](const char* title, const std::vector<const CNet*>& nets, unsigned mode) {
    s += title;
    s += "\n";
    for (const CNet* net : nets) s += Line(*net, 0, mode);
    s += "\n";
  };
  section("Open Net(s)", classes.openNets, 0);
  section("Open Alias Net(s)", classes.openAliasNets, 1);
  section("Alias Net(s)", classes.aliasNets, 1);
  for (size_t k = 0; k < kDrcPairCount; ++k) {
    if (classes.pairs[k].empty()) continue;
    const DrcPair& pair = DrcPairs()[k];
    s += std::string("[DRC ") + pair.name + "]\n";
    for (const CNet* net : classes.pairs[k]) s += Line(*net, -1, pair.bit);
    s += "\n";
  }
  return s;
}

std::string ComposeNetReportHtml(const NetClasses& classes, NetCounts counts,
                                 const HtmlTemplate& tmpl, const std::vector<std::string>& files,
                                 std::string_view date) {
  HtmlPage page;
  page.title = J("Ｔａｖｒｏ－ネットレポートファイル");
  page.date = std::string(date);
  page.fileList = files;

  std::string s = tmpl.PageHead(page);
  const std::string group = Count6(counts.nets), node = Count6(counts.connections),
                    total = Count6(counts.Total());
  s += Substitute(tmpl.Section("$RPT_HEAD$"),
                  {{"$NETGROUP$", group}, {"$NETNODE$", node}, {"$NETTOTAL$", total}});

  std::vector<HtmlRow> rows;
  for (const CNet* net : classes.openNets)
    if (!net->Entries().empty()) rows.push_back(PinRow(*net, *net->Entries().front()));
  s += tmpl.Block("$RPT$", "Open Net(s)", rows);
  rows.clear();
  for (const CNet* net : classes.openAliasNets) rows.push_back(AliasRow(*net));
  s += tmpl.Block("$RPT$", "Open Alias Net(s)", rows);
  rows.clear();
  for (const CNet* net : classes.aliasNets) rows.push_back(AliasRow(*net));
  s += tmpl.Block("$RPT$", "Alias Net(s)", rows);
  for (size_t k = 0; k < kDrcPairCount; ++k) {
    if (classes.pairs[k].empty()) continue;
    const DrcPair& pair = DrcPairs()[k];
    rows.clear();
    for (const CNet* net : classes.pairs[k])
      for (const auto& e : net->Entries())
        if (e->CheckDRC(pair.bit)) rows.push_back(PinRow(*net, *e));
    s += tmpl.Block("$RPT$", std::string("DRC ") + pair.name, rows);
  }
  return s + tmpl.PageTail();
}

std::string NetReportStatus(NetCounts counts) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "総ネット数 %4d / %5d", counts.nets, counts.Total());
  return buf;
}

NetReportWritten WriteNetReport(const NetList& nets, NetCounts counts,
                                const std::vector<std::string>& files, std::string_view date,
                                const NetReportOutput& output) {
  NetReportWritten w;
  const std::optional<NetClasses> classes = ClassifyNets(nets);
  if (!classes) {
    w.status = NetReportWritten::kCancelled;
    return w;
  }
  w.summary = Summarize(*classes);
  w.statusText = NetReportStatus(counts);
  w.text = ApplyLineEnds(ComposeNetReport(*classes, counts, date), output.unixLineEnds);
  std::string why;
  if (!output.textPath.empty() && !WriteFileAtomic(output.textPath, w.text, &why)) {
    w.status = NetReportWritten::kFailed;
    w.message = FileMessage(kMsgCannotCreate, output.textPath, why);
    return w;
  }
  if (!output.htmlPath.empty()) {
    std::vector<std::string> names;
    for (const std::string& f : files) names.push_back(Utf8ToCp932(f));
    bool found = false;
    const HtmlTemplate tmpl = HtmlTemplate::Load(output.templatePath, &found);
    if (!found) w.warnings.push_back(MissingTemplateWarning(output.templatePath));
    const std::string html = ComposeNetReportHtml(*classes, counts, tmpl, names, date);
    if (!WriteFileAtomic(output.htmlPath, html, &why)) {
      w.status = NetReportWritten::kFailed;
      w.message = FileMessage(kMsgCannotCreate, output.htmlPath, why);
    }
  }
  return w;
}

}  // namespace tavro
