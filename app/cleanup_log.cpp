#include "app/cleanup_log.h"

#include <cstdio>

#include "core/platform/codec.h"

namespace tavro {

namespace {

std::string Count(std::string_view title, size_t n) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "\t%7zu\n", n);
  return J(title) + buf;
}

// "%*s": right-aligned in at least `width` bytes.
std::string Padded(const std::string& text, size_t width) {
  return text.size() >= width ? text : std::string(width - text.size(), ' ') + text;
}

std::string At(CPoint p) { return "X:" + FormatCoord(p.x) + " Y:" + FormatCoord(p.y); }

const std::string& SheetName(const std::vector<LogSheet>& sheets, size_t i) {
  static const std::string none;
  return i < sheets.size() ? sheets[i].name : none;
}

std::string PartLine(const PartFinding& p, const std::vector<LogSheet>& sheets) {
  return p.ref + "\t" + p.partName + "\t" + SheetName(sheets, p.sheet) + "\t" + At(p.at) + "\n";
}

std::string PinLine(const PinFinding& p, const std::vector<LogSheet>& sheets) {
  if (p.wirePoint) return "Wire Point\t" + SheetName(sheets, p.sheet) + "\t" + At(p.at) + "\n";
  const std::string s = Padded(p.ref, 5) + "(" + Padded(p.pinNo, 4) + ")";
  return s + "\t" + SheetName(sheets, p.sheet) + "\t" + At(p.at) + "\n";
}

// " %6s" per entry, a line feed after every fifth and after the last.
std::string Entries(const std::vector<std::string>& refs) {
  std::string s;
  for (size_t i = 0; i < refs.size(); ++i) {
    s += " " + Padded(refs[i], 6);
    if (i % 5 == 4 || i + 1 == refs.size()) s += "\n";
  }
  return s;
}

std::string NetLines(const std::vector<LogSheet>& sheets, const KeptSheet& k) {
  std::string s;
  for (const std::string& n : k.before)
    s += SheetName(sheets, k.sheet) + J("\t整理前\t") + n + "\n";
  for (const std::string& n : k.after) s += SheetName(sheets, k.sheet) + J("\t整理後\t") + n + "\n";
  return s;
}

// The sections of listed parts and pins, in the log's order: parts(title,
// list) and pins(title, count, list).
template <class Parts, class Pins>
void ListedSections(const CleanupFindings& f, Parts parts, Pins pins) {
  parts("重複部品数", f.duplicates);
  parts("未決定部品数", f.undecided);
  parts("参照番号エラー", f.refErrors);
  parts("サブフィックスエラー", f.suffixErrors);
  pins("部品のピン番号重複", static_cast<size_t>(f.pinNoPairs), f.pinNoDuplicates);
  pins("部品のピン重複", f.pinOverlaps.size(), f.pinOverlaps);
  pins("ネットチェック", f.netCheck.size(), f.netCheck);
  pins("部品にしていないピン", f.freePins.size(), f.freePins);
}

}  // namespace

std::string ComposeCleanupLog(const CleanupFindings& f, const std::vector<LogSheet>& sheets) {
  std::string s = Count("使用部品数", static_cast<size_t>(f.partsUsed)) + "\n";
  auto parts = [&](std::string_view title, const std::vector<PartFinding>& list) {
    s += Count(title, list.size());
    for (const PartFinding& p : list) s += PartLine(p, sheets);
    s += "\n";
  };
  auto pins = [&](std::string_view title, size_t count, const std::vector<PinFinding>& list) {
    s += Count(title, count);
    for (const PinFinding& p : list) s += PinLine(p, sheets);
    s += "\n";
  };
  ListedSections(f, parts, pins);

  s += J(f.bySheet ? "最終部品番号(シート毎)" : "最終部品番号") + "\n";
  for (const HighestBlock& b : f.highest) {
    if (b.sheet) s += SheetName(sheets, *b.sheet) + "\n";
    s += Entries(b.refs);
  }
  s += "\n";
  if (f.missingListed) s += J("欠番部品番号") + "\n" + Entries(f.missing) + "\n";
  s += Count("総ピン数（参考値）", static_cast<size_t>(f.totalPins)) + "\n";
  if (f.keepNets) {
    s += Count("接続が変わるため整理しなかったシート", f.kept.size());
    for (const KeptSheet& k : f.kept) s += NetLines(sheets, k);
    s += "\n";
  }
  return s;
}

namespace {

HtmlRow SheetFields(HtmlRow r, const std::vector<LogSheet>& sheets, size_t sheet) {
  if (sheet < sheets.size()) {
    r.path = Utf8ToCp932(sheets[sheet].path);
    r.file = sheets[sheet].name;
    r.docNo = std::to_string(sheets[sheet].number);
  }
  return r;
}

HtmlRow PartRow(const PartFinding& p, const std::vector<LogSheet>& sheets) {
  HtmlRow r;
  r.ref = p.ref;
  r.partName = p.partName;
  r.x = FormatCoord(p.at.x);
  r.y = FormatCoord(p.at.y);
  return SheetFields(std::move(r), sheets, p.sheet);
}

HtmlRow PinRow(const PinFinding& p, const std::vector<LogSheet>& sheets) {
  HtmlRow r;
  r.ref = p.wirePoint ? "Wire" : p.ref;
  r.pinNo = p.wirePoint ? "Point" : p.pinNo;
  r.pinName = p.pinName;
  r.pinElect = p.pinElect;
  r.x = FormatCoord(p.at.x);
  r.y = FormatCoord(p.at.y);
  return SheetFields(std::move(r), sheets, p.sheet);
}

std::string Title(std::string_view title, size_t n) { return J(title) + " " + std::to_string(n); }

}  // namespace

std::string ComposeCleanupHtml(const CleanupFindings& f, const std::vector<LogSheet>& sheets,
                               const HtmlTemplate& tmpl, const std::vector<std::string>& files,
                               std::string_view date) {
  HtmlPage page;
  page.title = J("Ｔａｖｒｏ－重複整理ＬＯＧファイル");
  page.date = std::string(date);
  page.fileList = files;
  std::string s = tmpl.PageHead(page);

  // The counts first, as the text log opens with them.
  auto countRow = [](std::string_view title, size_t n) {
    return "<tr><th>" + EscapeHtml(J(title)) + "</th><td class=\"num\">" + std::to_string(n) +
           "</td></tr>\n";
  };
  s += "<table class=\"counts\">\n";
  s += countRow("使用部品数", static_cast<size_t>(f.partsUsed));
  s += countRow("総ピン数（参考値）", static_cast<size_t>(f.totalPins));
  s += "</table>\n";

  auto parts = [&](std::string_view title, const std::vector<PartFinding>& list) {
    std::vector<HtmlRow> rows;
    for (const PartFinding& p : list) rows.push_back(PartRow(p, sheets));
    s += tmpl.Block("$LOG$", Title(title, list.size()), rows, &page);
  };
  auto pins = [&](std::string_view title, size_t count, const std::vector<PinFinding>& list) {
    std::vector<HtmlRow> rows;
    for (const PinFinding& p : list) rows.push_back(PinRow(p, sheets));
    s += tmpl.Block("$LOG2$", Title(title, count), rows, &page);
  };
  ListedSections(f, parts, pins);

  // The highest and the missing numbers as rows of references.
  std::vector<HtmlRow> rows;
  for (const HighestBlock& b : f.highest)
    for (const std::string& ref : b.refs) {
      HtmlRow r;
      r.ref = ref;
      rows.push_back(b.sheet ? SheetFields(std::move(r), sheets, *b.sheet) : std::move(r));
    }
  s += tmpl.Block("$LOG$", J(f.bySheet ? "最終部品番号(シート毎)" : "最終部品番号"), rows, &page);
  if (f.missingListed) {
    rows.clear();
    for (const std::string& ref : f.missing) {
      HtmlRow r;
      r.ref = ref;
      rows.push_back(std::move(r));
    }
    s += tmpl.Block("$LOG$", Title("欠番部品番号", f.missing.size()), rows, &page);
  }
  if (f.keepNets) {
    rows.clear();
    for (const KeptSheet& k : f.kept)
      for (const auto* list : {&k.before, &k.after})
        for (const std::string& n : *list) {
          HtmlRow r;
          r.ref = J(list == &k.before ? "整理前" : "整理後");
          r.partName = n;
          rows.push_back(SheetFields(std::move(r), sheets, k.sheet));
        }
    s += tmpl.Block("$LOG$", Title("接続が変わるため整理しなかったシート", f.kept.size()), rows,
                    &page);
  }
  return s + tmpl.PageTail();
}

}  // namespace tavro
