#include "app/html_template.h"

#include <array>
#include <span>
#include <string>

#include "core/platform/dbcs.h"
#include "core/platform/paths.h"

namespace tavro {

namespace {

constexpr std::string_view kCommon = "$COMMON$";
constexpr std::string_view kBlockIn = "$BLOCKIN$";
constexpr std::string_view kBlockFor = "$BLOCKFOR$";
constexpr std::string_view kBlockNext = "$BLOCKNEXT$";
constexpr std::string_view kTagJump = "&[TAVRO]AUTOTAGJUMP&";

constexpr size_t npos = std::string_view::npos;

// text[from, to) when both ends are found and in order, else empty.
std::string Cut(std::string_view text, size_t from, size_t to) {
  if (from == npos || to == npos || from > to || to > text.size()) return {};
  return std::string(text.substr(from, to - from));
}

std::string SubstituteAll(std::string_view text, std::span<const HtmlValue> values) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    bool replaced = false;
    if (text[i] == '$') {
      for (const HtmlValue& v : values) {
        if (!v.placeholder.empty() && text.substr(i).starts_with(v.placeholder)) {
          out += v.text;
          i += v.placeholder.size();
          replaced = true;
          break;
        }
      }
    }
    if (!replaced) {
      // A double-byte character is copied whole: a "$" is never its second byte.
      const size_t n = CharLen(text, i);
      out.append(text.substr(i, n));
      i += n;
    }
  }
  return out;
}

}  // namespace

std::string HtmlTemplatePath() { return DataFile("tavrohtml.dat"); }

std::string MissingTemplateWarning(const std::string& path) {
  return "the HTML template " + (path.empty() ? HtmlTemplatePath() : path) +
         " cannot be read; the HTML file is written without its page frame";
}

HtmlTemplate::HtmlTemplate(std::string_view text) : text_(ReplaceAll(text, "\r\n", "\n")) {
  const std::string_view t = text_;
  const size_t common = Find(t, kCommon);
  if (common == npos) return;
  const size_t blockIn = Find(t, kBlockIn, common + kCommon.size());
  if (blockIn == npos) return;
  head_ = Cut(t, common + kCommon.size() + 1, blockIn);
  const size_t tailStart = blockIn + kBlockIn.size();
  tail_ = Cut(t, tailStart + 1, Find(t, kCommon, tailStart));
}

HtmlTemplate HtmlTemplate::Load(const std::string& path, bool* found) {
  const std::optional<std::string> data = ReadFile(path.empty() ? HtmlTemplatePath() : path);
  if (found) *found = data.has_value();
  return data ? HtmlTemplate(*data) : HtmlTemplate();
}

std::string HtmlTemplate::PageHead(const HtmlPage& page) const {
  const std::string title = EscapeHtml(page.title), date = EscapeHtml(page.date);
  const std::string files = HtmlFileList(page.fileList);
  const std::array<HtmlValue, 3> values = {
      {{"$TITLE$", title}, {"$DATE$", date}, {"$FILELIST$", files}}};
  return SubstituteAll(head_, values);
}

std::string HtmlTemplate::Section(std::string_view marker) const {
  const std::string_view t = text_;
  const size_t first = Find(t, marker);
  if (marker.empty() || first == npos) return {};
  const size_t start = first + marker.size();
  return Cut(t, start, Find(t, marker, start));
}

std::string HtmlTemplate::Block(std::string_view marker, std::string_view title,
                                const std::vector<HtmlRow>& rows, const HtmlPage* page) const {
  const std::string section = Section(marker);
  const std::string_view s = section;
  const size_t rowStart = Find(s, kBlockFor);
  const size_t rowEnd = rowStart == npos ? npos : Find(s, kBlockNext, rowStart + kBlockFor.size());
  if (rowEnd == npos) return {};
  const std::string_view head = s.substr(0, rowStart);
  const std::string_view row =
      s.substr(rowStart + kBlockFor.size(), rowEnd - rowStart - kBlockFor.size());
  const std::string_view end = s.substr(rowEnd + kBlockNext.size());

  // Head and end: the title (and the page placeholders when asked for).
  const std::string escTitle = EscapeHtml(title);
  const std::string pageTitle = page ? EscapeHtml(page->title) : std::string();
  const std::string date = page ? EscapeHtml(page->date) : std::string();
  const std::string files = page ? HtmlFileList(page->fileList) : std::string();
  const std::array<HtmlValue, 4> frame = {{{"$BLOCKTITLE$", escTitle},
                                           {"$TITLE$", pageTitle},
                                           {"$DATE$", date},
                                           {"$FILELIST$", files}}};
  const std::span<const HtmlValue> headValues = std::span(frame).first(page ? 4 : 1);
  const std::span<const HtmlValue> endValues = std::span(frame).subspan(1, page ? 3 : 0);

  std::string out = SubstituteAll(head, headValues);
  for (size_t i = 0; i < rows.size(); ++i) {
    const HtmlRow& r = rows[i];
    const std::string serNo = std::to_string(i + 1);
    const std::string jump =
        std::string(kTagJump) + std::to_string(r.item ? *r.item : static_cast<long>(i + 1));
    const std::string v[] = {EscapeHtml(r.netName),  EscapeHtml(r.alias), EscapeHtml(r.ref),
                             EscapeHtml(r.partName), EscapeHtml(r.pinNo), EscapeHtml(r.pinName),
                             EscapeHtml(r.pinElect), EscapeHtml(r.path),  EscapeHtml(r.file),
                             EscapeHtml(r.docNo),    EscapeHtml(serNo),   EscapeHtml(jump),
                             EscapeHtml(r.x),        EscapeHtml(r.y)};
    const std::array<HtmlValue, 14> values = {{{"$NETNAME$", v[0]},
                                               {"$ALIAS$", v[1]},
                                               {"$REF$", v[2]},
                                               {"$PARTNAME$", v[3]},
                                               {"$PINNO$", v[4]},
                                               {"$PINNAME$", v[5]},
                                               {"$PINELECT$", v[6]},
                                               {"$PATH$", v[7]},
                                               {"$FILE$", v[8]},
                                               {"$DOCNO$", v[9]},
                                               {"$SERNO$", v[10]},
                                               {"$TAGJUMP$", v[11]},
                                               {"$X$", v[12]},
                                               {"$Y$", v[13]}}};
    out += SubstituteAll(row, values);
  }
  return out + SubstituteAll(end, endValues);
}

std::string EscapeHtml(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&#39;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::string HtmlFileList(const std::vector<std::string>& files) {
  // The empty entry first, so that file number n is entry n.
  std::string out = "\"\"";
  for (const std::string& f : files)
    out += ",\r\n\"" + EscapeHtml(ReplaceAll(f, "\\", "\\\\")) + "\"";
  return out + "\r\n";
}

std::string Substitute(std::string_view text, std::initializer_list<HtmlValue> values) {
  return SubstituteAll(text, std::span(values.begin(), values.size()));
}

}  // namespace tavro
