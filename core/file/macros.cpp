// Text macros: CSheet::GetPrintProperty, what every output prints for a free
// text. Macros sit between ampersands and are replaced, in this order:
//
//   &T&  &TITLE&  &P&  &PATH&  &PPATH&  &PFILE& &PFILE2&  &FILE& &FILE2&
//   &TFILE&  &AUTHOR&  &SIZE&        document, project and file values
//   &key&                            named properties
//   &PSUM&name &PAVR&name &PMAX&name &PMIN&name &PCNT&name
//                                    a part property over the main sheet
//   &DATE&format& (and nine more)    times, formatted by strftime
//
// A value that is not available leaves its macro as written, except the
// numbers (&T&, &P& and the aggregates), which print "--". The title and the
// paths have every backslash-n doubled so that they never break the text
// into lines.
//
// Named properties: the value of a key is the document's property string
// "&key&value" when the document has one (the document knows itself best),
// else the project's property of that name (through the host). A value may
// hold further macros; they are expanded in place, but a key is never
// expanded inside its own value (a value that names its own key, or two keys
// that name each other, leave the inner macro as written), the nesting is at
// most kMaxNamedDepth deep and a text takes at most kMaxNamedSubstitutions
// values.
//
// Every substitution keeps the text within kMaxPrintText bytes (or its own
// length, when it was longer already): an insertion that would pass it is
// not made and its macro stays as written. Every scan walks the text once,
// character by character, so a long or hostile text costs linear time.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <limits>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "core/file/document.h"
#include "core/model/sheet.h"
#include "core/platform/clock.h"
#include "core/platform/codec.h"
#include "core/platform/dbcs.h"
#include "core/platform/host.h"

namespace tavro {

namespace {

// The longest text a substitution makes (bytes).
constexpr size_t kMaxPrintText = 64 * 1024;
// How deep named-property values are expanded inside each other.
constexpr int kMaxNamedDepth = 8;
// How many named-property values one text takes.
constexpr int kMaxNamedSubstitutions = 1024;

constexpr std::string_view kNoNumber = "--";

// The byte positions of the "&" characters of s (never a trail byte).
std::vector<size_t> AmpPositions(std::string_view s) {
  std::vector<size_t> at;
  for (size_t i = 0; i < s.size(); i += CharLen(s, i))
    if (s[i] == '&') at.push_back(i);
  return at;
}

// "\n" (backslash, n) written as "\\n", so that an inserted value is not
// taken for a line break. A backslash that is the trail byte of a
// double-byte character is left alone, as the line splitter does.
std::string EscapeBreaks(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size();) {
    const size_t len = CharLen(s, i);
    if (len == 1 && s[i] == '\\' && i + 1 < s.size() && s[i + 1] == 'n') out += '\\';
    out.append(s.substr(i, len));
    i += len;
  }
  return out;
}

// The last part of a "/"-separated path (CP932).
std::string_view FileNameOf(std::string_view path) {
  const size_t slash = ReverseFindChar(path, '/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

// A file name without its extension (up to the last ".").
std::string_view WithoutExtension(std::string_view name) {
  const size_t dot = ReverseFindChar(name, '.');
  return dot == std::string_view::npos ? name : name.substr(0, dot);
}

std::string NumberOrDashes(long long n) {
  return n > 0 ? std::to_string(n) : std::string(kNoNumber);
}

// The integer value of a string as the C library's atoi reads it: leading
// blanks, an optional sign, then digits (none gives 0); clamped to int.
long long AtoiValue(std::string_view s) {
  size_t i = 0;
  while (i < s.size() && (s[i] == ' ' || (s[i] >= '\t' && s[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  constexpr long long kLimit = static_cast<long long>(std::numeric_limits<int>::max()) + 1;
  long long v = 0;
  for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i)
    v = std::min(v * 10 + (s[i] - '0'), kLimit);
  if (negative) return -v;
  return std::min(v, kLimit - 1);
}

// A text under substitution, never longer than its limit.
class MacroText {
 public:
  explicit MacroText(std::string s)
      : s_(std::move(s)), limit_(std::max(kMaxPrintText, s_.size())) {}

  std::string& str() { return s_; }
  size_t limit() const { return limit_; }
  bool HasAmp() const { return s_.find('&') != std::string::npos; }

  // Replaces every occurrence of `macro` (ASCII, starting with "&") by the
  // value `valueOf()` gives. The value is asked for only when the macro
  // occurs; an empty value leaves the macro as written.
  template <class ValueOf>
  void Replace(std::string_view macro, ValueOf valueOf) {
    if (s_.find(macro) == std::string::npos) return;
    const std::string value = valueOf();
    if (value.empty()) return;
    std::string out;
    size_t i = 0;
    while (i < s_.size()) {
      if (s_.compare(i, macro.size(), macro) == 0 &&
          out.size() + value.size() + (s_.size() - i - macro.size()) <= limit_) {
        out += value;
        i += macro.size();
        continue;
      }
      const size_t len = CharLen(s_, i);
      out.append(s_, i, len);
      i += len;
    }
    s_ = std::move(out);
  }

 private:
  std::string s_;
  size_t limit_;
};

// Named properties (see the top of the file).
class NamedExpander {
 public:
  NamedExpander(const CSheetDoc& doc, Host& host, size_t limit)
      : doc_(doc), host_(host), limit_(limit) {}

  // Appends s with its named properties expanded to out.
  void Expand(std::string_view s, int depth, std::string& out) {
    const std::vector<size_t> amps = AmpPositions(s);
    size_t copied = 0;
    for (size_t k = 0; k + 1 < amps.size(); k += 2) {
      const size_t open = amps[k];
      const size_t close = amps[k + 1];
      const std::string_view key = s.substr(open + 1, close - open - 1);
      const std::string value = Lookup(key, depth);
      if (value.empty()) continue;  // the scan resumes after the closing "&"
      --budget_;
      const size_t mark = out.size();
      out.append(s.substr(copied, open - copied));
      active_.emplace_back(key);
      Expand(value, depth + 1, out);
      active_.pop_back();
      if (out.size() + (s.size() - close - 1) > limit_) {
        out.resize(mark);  // too long: the macro stays as written
        continue;
      }
      copied = close + 1;
    }
    out.append(s.substr(copied));
  }

 private:
  std::string Lookup(std::string_view key, int depth) {
    if (key.empty() || depth >= kMaxNamedDepth || budget_ <= 0) return {};
    for (const std::string& a : active_)
      if (EqualNoCase(a, key)) return {};
    std::string value = doc_.GetProperty(key);
    if (value.empty()) value = host_.ProjectProperty(std::string(key));
    return value;
  }

  const CSheetDoc& doc_;
  Host& host_;
  size_t limit_;
  int budget_ = kMaxNamedSubstitutions;
  std::vector<std::string> active_;
};

// The aggregates of a part property over the parts of a sheet.
struct PartStats {
  long long count = 0;
  long long sum = 0;
  long long max = 0;
  long long min = 0;
};

PartStats StatsOf(const CSheet& sheet, std::string_view name) {
  PartStats st;
  for (const auto& part : sheet.Parts()) {
    const std::string value = part->GetPropertyCSV(name);
    if (value.empty()) continue;
    const long long v = AtoiValue(value);
    st.max = st.count == 0 ? v : std::max(st.max, v);
    st.min = st.count == 0 ? v : std::min(st.min, v);
    st.sum += v;
    ++st.count;
  }
  return st;
}

enum class Aggregate { kSum, kAverage, kMax, kMin, kCount };

std::string AggregateText(const PartStats& st, Aggregate a) {
  if (st.count == 0) return std::string(kNoNumber);
  switch (a) {
    case Aggregate::kSum:
      return std::to_string(st.sum);
    case Aggregate::kAverage: {
      char buf[64];
      std::snprintf(buf, sizeof buf, "%.2f",
                    static_cast<double>(st.sum) / static_cast<double>(st.count));
      return buf;
    }
    case Aggregate::kMax:
      return std::to_string(st.max);
    case Aggregate::kMin:
      return std::to_string(st.min);
    case Aggregate::kCount:
      return std::to_string(st.count);
  }
  return std::string(kNoNumber);
}

// Replaces each keyword and the property name after it (up to the next "&",
// which stays, or the end) by the aggregate over the main sheet's parts.
void ReplaceAggregates(MacroText& text, const CSheet& mainSheet) {
  static constexpr struct {
    std::string_view keyword;
    Aggregate kind;
  } kKeywords[] = {{"&PSUM&", Aggregate::kSum},
                   {"&PAVR&", Aggregate::kAverage},
                   {"&PMAX&", Aggregate::kMax},
                   {"&PMIN&", Aggregate::kMin},
                   {"&PCNT&", Aggregate::kCount}};
  std::map<std::string, PartStats, std::less<>> cache;
  for (const auto& [keyword, kind] : kKeywords) {
    const std::string& s = text.str();
    if (s.find(keyword) == std::string::npos) continue;
    std::string out;
    size_t i = 0;
    while (i < s.size()) {
      if (s.compare(i, keyword.size(), keyword) != 0) {
        const size_t len = CharLen(s, i);
        out.append(s, i, len);
        i += len;
        continue;
      }
      size_t end = i + keyword.size();
      while (end < s.size() && s[end] != '&') end += CharLen(s, end);
      const std::string_view name =
          std::string_view(s).substr(i + keyword.size(), end - i - keyword.size());
      auto it = cache.find(name);
      if (it == cache.end()) it = cache.emplace(std::string(name), StatsOf(mainSheet, name)).first;
      const std::string value = AggregateText(it->second, kind);
      if (out.size() + value.size() + (s.size() - end) <= text.limit())
        out += value;
      else
        out.append(s, i, end - i);
      i = end;
    }
    text.str() = std::move(out);
  }
}

// The time a date key stands for; nullptr for a key that is none of them.
const std::time_t* DateKeyTime(std::string_view key, const std::time_t& now,
                               const FileTimes& times) {
  static constexpr struct {
    std::string_view key;
    int which;  // 0 now, 1 last write, 2 last access, 3 creation
  } kKeys[] = {{"DATE", 0},  {"TIME", 0},  {"FDATE", 1}, {"FTIME", 1}, {"WDATE", 1},
               {"WTIME", 1}, {"ADATE", 2}, {"ATIME", 2}, {"CDATE", 3}, {"CTIME", 3}};
  for (const auto& [name, which] : kKeys) {
    if (!EqualNoCase(name, key)) continue;
    switch (which) {
      case 0:
        return &now;
      case 1:
        return &times.lastWrite;
      case 2:
        return &times.lastAccess;
      default:
        return &times.creation;
    }
  }
  return nullptr;
}

// Replaces each "&KEY&format&" of a date key by the formatted time. A
// missing closing "&" leaves the macro as written; so does a file time the
// document does not know (an unsaved document).
void ReplaceDates(MacroText& text, const FileTimes& times) {
  const std::string& s = text.str();
  const std::vector<size_t> amps = AmpPositions(s);
  if (amps.size() < 3) return;
  const std::time_t now = Now();
  std::string out;
  size_t copied = 0;
  for (size_t k = 0; k + 1 < amps.size();) {
    const size_t open = amps[k];
    const size_t keyEnd = amps[k + 1];
    const std::time_t* t =
        DateKeyTime(std::string_view(s).substr(open + 1, keyEnd - open - 1), now, times);
    if (t == nullptr) {
      ++k;  // the closing "&" may open the next macro
      continue;
    }
    if (k + 2 >= amps.size()) break;  // no closing "&" after the format
    const size_t close = amps[k + 2];
    k += 3;
    if (*t == 0) continue;
    const std::string value =
        FormatTime(std::string_view(s).substr(keyEnd + 1, close - keyEnd - 1), *t);
    if (out.size() + (open - copied) + value.size() + (s.size() - close - 1) > text.limit())
      continue;
    out.append(s, copied, open - copied);
    out += value;
    copied = close + 1;
  }
  out.append(s, copied);
  text.str() = std::move(out);
}

}  // namespace

std::string CSheet::GetPrintProperty(const CText& text, const CSheetDoc& doc) const {
  const std::string& name = text.GetName();
  if (std::count(name.begin(), name.end(), '&') < 2) return name;

  Host& host = CurrentHost();
  MacroText t(name);
  // The document's path in CP932; an unsaved document stands by its title.
  const std::string docPath = doc.GetPath().empty() ? doc.GetTitle() : Utf8ToCp932(doc.GetPath());
  const auto projectPath = [&] { return host.ProjectPath(); };

  t.Replace("&T&", [&] { return NumberOrDashes(host.ProjectFileCount()); });
  t.Replace("&TITLE&", [&] { return EscapeBreaks(doc.GetTitle()); });
  t.Replace("&P&", [&] {
    return NumberOrDashes(doc.GetPath().empty() ? 0 : host.ProjectFileNumber(doc.GetPath()));
  });
  t.Replace("&PATH&", [&] { return EscapeBreaks(docPath); });
  t.Replace("&PPATH&", [&] { return EscapeBreaks(projectPath()); });
  // The names are parts of the paths above and are escaped the same way (a
  // file name may hold a backslash on this platform).
  t.Replace("&PFILE&", [&] { return EscapeBreaks(FileNameOf(projectPath())); });
  t.Replace("&PFILE2&", [&] { return EscapeBreaks(WithoutExtension(FileNameOf(projectPath()))); });
  t.Replace("&FILE&", [&] { return EscapeBreaks(FileNameOf(docPath)); });
  t.Replace("&FILE2&", [&] { return EscapeBreaks(WithoutExtension(FileNameOf(docPath))); });
  t.Replace("&TFILE&", [&] {
    return EscapeBreaks(GetSheetType() == kSheetTitle ? docPath : doc.GetTitleFileName());
  });
  t.Replace("&AUTHOR&", [&] {
    // The document's own author first, then the one the program knows.
    std::string author = doc.GetProperty("Author");
    return author.empty() ? host.Author() : author;
  });
  t.Replace("&SIZE&", [&] { return Utf8ToCp932(CSheetDoc::PaperName(doc.GetSizeCode())); });

  if (t.HasAmp()) {
    std::string out;
    NamedExpander(doc, host, t.limit()).Expand(t.str(), 0, out);
    t.str() = std::move(out);
  }
  if (!t.HasAmp()) return std::move(t.str());

  ReplaceAggregates(t, doc.GetSheet());
  ReplaceDates(t, doc.GetFileTimes());
  return std::move(t.str());
}

}  // namespace tavro
