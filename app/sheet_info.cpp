#include "app/sheet_info.h"

#include <cstdio>
#include <numeric>

#include "core/model/sheet.h"
#include "core/platform/codec.h"

namespace tavro {

namespace {

// printf into a std::string.
template <typename... Args>
void Append(std::string& out, const char* format, Args... args) {
  const int n = std::snprintf(nullptr, 0, format, args...);
  if (n <= 0) return;
  std::string line(static_cast<size_t>(n) + 1, '\0');
  std::snprintf(line.data(), line.size(), format, args...);
  line.pop_back();
  out += line;
}

}  // namespace

std::vector<ItemCount> ItemCounts(const CSheet& s) {
  const size_t partPins =
      std::accumulate(s.Parts().begin(), s.Parts().end(), size_t{0},
                      [](size_t n, const auto& p) { return n + p->Pins().size(); });
  return {
      {"wires", "ワイヤー", s.Wires().size()},    {"buses", "バス", s.Buses().size()},
      {"lines", "線", s.Lines().size()},          {"junctions", "接続点", s.Juncs().size()},
      {"parts", "部品", s.Parts().size()},        {"part pins", "部品のピン", partPins},
      {"free pins", "単独ピン", s.Pins().size()}, {"texts", "テキスト", s.Texts().size()},
      {"arcs", "円弧", s.Arcs().size()},
  };
}

SheetInfo GetSheetInfo(const CSheetDoc& doc, const std::string& path) {
  SheetInfo info;
  info.path = path;
  info.version = doc.GetVersion();
  info.sizeCode = doc.GetSizeCode();
  info.paper = CSheetDoc::PaperName(doc.GetSizeCode());
  info.workWidth = doc.GetWorkWidth();
  info.workHeight = doc.GetWorkHeight();
  info.view = doc.GetViewRect();
  for (const std::string& p : doc.GetProperties()) info.properties.push_back(Cp932ToUtf8(p));
  info.titleFile = Cp932ToUtf8(doc.GetTitleFileName());
  info.titleSource = doc.GetTitleSource();
  info.mainCounts = ItemCounts(doc.GetSheet());
  info.titleCounts = ItemCounts(doc.GetTitleSheet());
  info.times = doc.GetFileTimes();
  return info;
}

const char* TitleSourceName(TitleSource source) {
  switch (source) {
    case TitleSource::kEmbedded:
      return "embedded";
    case TitleSource::kFile:
      return "title file";
    default:
      return "none";
  }
}

std::string SheetInfoText(const SheetInfo& info) {
  std::string out;
  const CRect& v = info.view;
  Append(out, "file: %s\n", info.path.c_str());
  Append(out, "format version: %d\n", info.version);
  Append(out, "sheet size: %d %s\n", info.sizeCode, info.paper.c_str());
  Append(out, "work size: %d x %d\n", info.workWidth, info.workHeight);
  Append(out, "view rectangle: %d %d %d %d\n", v.left, v.top, v.right, v.bottom);
  for (const std::string& p : info.properties) Append(out, "property: %s\n", p.c_str());
  Append(out, "title file: %s (%s)\n", info.titleFile.c_str(), TitleSourceName(info.titleSource));
  for (const ItemCount& c : info.mainCounts) Append(out, "main %s: %zu\n", c.kind, c.count);
  for (const ItemCount& c : info.titleCounts) Append(out, "title %s: %zu\n", c.kind, c.count);
  return out;
}

}  // namespace tavro
