#include "app/wasis_file.h"

#include <cstdint>
#include <limits>
#include <set>

#include "app/part_gather.h"
#include "core/platform/dbcs.h"

namespace tavro {

namespace {

constexpr size_t npos = std::string_view::npos;

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

// The lines of a text (LF ends a line; a CR before it stays on the line).
std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  size_t from = 0;
  while (from < text.size()) {
    const size_t end = text.find('\n', from);
    if (end == npos) {
      lines.push_back(text.substr(from));
      break;
    }
    lines.push_back(text.substr(from, end - from));
    from = end + 1;
  }
  return lines;
}

bool StartsWith(std::string_view s, std::string_view head) {
  return s.substr(0, head.size()) == head;
}

// A decimal number as a position: an optional sign and at least one digit,
// within 32 bits.
std::optional<int> ParseCoordinate(std::string_view s) {
  size_t i = 0;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  if (i >= s.size() || s[i] < '0' || s[i] > '9') return std::nullopt;
  int64_t v = 0;
  for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
    v = v * 10 + (s[i] - '0');
    if (v > int64_t{std::numeric_limits<int32_t>::max()} + 1) return std::nullopt;
  }
  if (negative) v = -v;
  if (v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<int32_t>::max())
    return std::nullopt;
  return static_cast<int>(v);
}

std::string Fields(const CPart& part) {
  std::string s = ":Name=\"" + part.GetPartName() + "\"";
  if (!part.GetRefName().empty()) s += " Ref=\"" + part.GetRefName() + "\"";
  if (!part.GetValName().empty()) s += " Value=\"" + part.GetValName() + "\"";
  return s;
}

}  // namespace

WasisFields ParseWasisFields(std::string_view text) {
  WasisFields f;
  size_t i = 0;
  const size_t n = text.size();
  while (i < n) {
    while (i < n && IsBlank(text[i])) ++i;
    const size_t keyStart = i;
    while (i < n && text[i] != '=' && !IsBlank(text[i])) i += CharLen(text, i);
    if (i >= n || text[i] != '=') continue;  // a word without a value
    const std::string_view key = text.substr(keyStart, i - keyStart);
    ++i;
    std::string_view value;
    if (i < n && text[i] == '"') {
      const size_t close = FindChar(text, '"', i + 1);
      const size_t end = close == npos ? n : close;
      value = text.substr(i + 1, end - i - 1);
      i = close == npos ? n : close + 1;
    } else {
      const size_t start = i;
      while (i < n && !IsBlank(text[i])) i += CharLen(text, i);
      value = text.substr(start, i - start);
    }
    // The first of each key counts.
    if (key == "Name" && !f.name) f.name = std::string(value);
    if (key == "Ref" && !f.ref) f.ref = std::string(value);
    if (key == "Value" && !f.value) f.value = std::string(value);
    if ((key == "x" || key == "X") && !f.x) f.x = ParseCoordinate(value);
    if ((key == "y" || key == "Y") && !f.y) f.y = ParseCoordinate(value);
  }
  return f;
}

WasisSheetName ParseWasisFileName(std::string_view afterKey) {
  std::string s = TrimRight(afterKey);
  WasisSheetName out;
  if (s.size() > 4 && s.compare(s.size() - 2, 2, "]\"") == 0) {
    const size_t open = ReverseFindChar(s, '[');
    if (open != npos && open >= 1) {
      const std::string_view inside = std::string_view(s).substr(open + 1, s.size() - open - 3);
      if (auto n = ParseCoordinate(Trim(inside)); n && *n > 0 && inside.find_first_of("+-") == npos)
        out.index = *n;
      s.erase(open);
    }
  }
  s = Trim(s);
  if (!s.empty() && s.front() == '"') s.erase(0, 1);
  if (!s.empty() && s.back() == '"') s.pop_back();
  out.name = Trim(s);
  return out;
}

bool WasisRecord::Unchanged() const { return Find(oldText, newText) != npos; }

std::string WasisRead::Message() const {
  if (error == kNone) return {};
  std::string m = error == kVersion ? kMsgWasisVersion : kMsgWasisFormat;
  if (errorLine > 0) m += " (line " + std::to_string(errorLine) + ")";
  return m;
}

WasisRead ReadWasisFull(std::string_view text) {
  WasisRead r;
  const std::vector<std::string_view> lines = SplitLines(text);
  bool versionSeen = false;
  WasisRecord record;
  bool hasFile = false, hasOld = false, hasNew = false;
  auto fail = [&r](WasisRead::Error e, int line) {
    r.error = e;
    r.errorLine = line;
    r.records.clear();
    r.incomplete.clear();
    return r;
  };
  for (size_t i = 0; i < lines.size(); ++i) {
    const int lineNo = static_cast<int>(i) + 1;
    const std::string t = Trim(lines[i]);
    if (t.empty() || t.front() == '#') continue;
    if (!versionSeen) {
      if (t != kWasisVersionLine) return fail(WasisRead::kVersion, lineNo);
      versionSeen = true;
      continue;
    }
    if (!hasFile && !hasOld && !hasNew) {
      record = WasisRecord();
      record.line = lineNo;
    }
    if (StartsWith(t, "File:")) {
      if (hasFile) return fail(WasisRead::kFormat, lineNo);
      hasFile = true;
      record.fileText = t.substr(5);
      record.sheet = ParseWasisFileName(record.fileText);
    } else if (StartsWith(t, "Old:")) {
      if (hasOld) return fail(WasisRead::kFormat, lineNo);
      hasOld = true;
      record.oldText = t.substr(4);
      record.oldFields = ParseWasisFields(record.oldText);
      if (!record.oldFields.x || !record.oldFields.y) return fail(WasisRead::kFormat, lineNo);
      record.position = CPoint(*record.oldFields.x, *record.oldFields.y);
    } else if (StartsWith(t, "New:")) {
      if (hasNew) return fail(WasisRead::kFormat, lineNo);
      hasNew = true;
      record.newText = t.substr(4);
      record.newFields = ParseWasisFields(record.newText);
    } else {
      return fail(WasisRead::kFormat, lineNo);
    }
    if (hasFile && hasOld && hasNew) {
      r.records.push_back(std::move(record));
      record = {};
      hasFile = hasOld = hasNew = false;
    }
  }
  if (!versionSeen) return fail(WasisRead::kVersion, 0);
  if (hasFile || hasOld || hasNew) r.incomplete.push_back(record.line);
  return r;
}

WasisRead ReadWasisSimple(std::string_view text) {
  WasisRead r;
  const std::vector<std::string_view> lines = SplitLines(text);
  for (size_t i = 0; i < lines.size(); ++i) {
    const int lineNo = static_cast<int>(i) + 1;
    const std::string t = Trim(lines[i]);
    if (t == kWasisVersionLine) {
      r.error = WasisRead::kVersion;
      r.errorLine = lineNo;
      r.lines.clear();
      r.unusable.clear();
      return r;
    }
    if (t.empty() || t.front() == '#' || t.front() == ';' || t.front() == '/') continue;
    const size_t oldEnd = std::min(t.find_first_of(" ,\t"), t.size());
    size_t from = oldEnd;
    while (from < t.size() && (IsBlank(t[from]) || t[from] == ',')) ++from;
    const size_t newEnd = std::min(t.find_first_of(" ,\t#;/", from), t.size());
    WasisSimpleLine line{lineNo, t.substr(0, oldEnd), t.substr(from, newEnd - from)};
    if (line.oldBase.empty() || line.newBase.empty()) {
      r.unusable.push_back(lineNo);
      continue;
    }
    if (EqualNoCase(line.oldBase, line.newBase)) continue;
    r.lines.push_back(std::move(line));
  }
  return r;
}

std::string WriteWasisFull(const CSheet& gathered, std::string_view projectPath) {
  std::string out = std::string(kWasisVersionLine) + "\n#\n";
  out += "# Project File Name:\n#  " + std::string(projectPath) + "\n#\n";
  bool first = true;
  std::string previous;
  for (const auto& part : gathered.Parts()) {
    const std::string sheet = GatheredDocName(*part);
    if (first || sheet != previous) out += "#\n#---- \"" + sheet + "\" ----\n#\n";
    first = false;
    previous = sheet;
    const CPoint c = part->GetCenter();
    out += "File:\"" + sheet + "\"\n";
    out += "Old" + Fields(*part) + " x=" + std::to_string(c.x) + " y=" + std::to_string(c.y) + "\n";
    out += "New" + Fields(*part) + "\n\n";
  }
  return out;
}

std::string WriteWasisSimple(const CSheet& gathered) {
  std::string out;
  std::set<std::string> seen;
  for (const auto& part : gathered.Parts()) {
    const std::string base = part->GetRefNameA();
    if (!seen.insert(ToUpper(base)).second) continue;
    out += base + "\t" + base + "\n";
  }
  return out;
}

}  // namespace tavro
