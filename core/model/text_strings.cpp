// The string conventions of texts: line breaks, property texts, trailing
// numbers and search.
#include <algorithm>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/model/text.h"
#include "core/model/text_escape.h"
#include "core/platform/dbcs.h"

namespace tavro {

namespace text_detail {

// Finds `seq` at a character boundary where the character before it is not a
// backslash (an escaped "\&" or "\\n" does not count).
size_t FindUnescaped(std::string_view s, std::string_view seq, size_t from) {
  bool afterBackslash = false;
  for (size_t i = 0; i < s.size();) {
    const size_t len = CharLen(s, i);
    if (i >= from && !afterBackslash && (seq.empty() || s[i] == seq[0]) &&
        s.compare(i, seq.size(), seq) == 0)
      return i;
    afterBackslash = len == 1 && s[i] == '\\';
    i += len;
  }
  return npos;
}

// Splits at every unescaped occurrence of `sep`.
std::vector<std::string_view> SplitUnescaped(std::string_view s, std::string_view sep) {
  std::vector<std::string_view> parts;
  size_t start = 0;
  for (size_t at = FindUnescaped(s, sep); at != npos; at = FindUnescaped(s, sep, start)) {
    parts.push_back(s.substr(start, at - start));
    start = at + sep.size();
  }
  parts.push_back(s.substr(start));
  return parts;
}

}  // namespace text_detail

namespace {

using text_detail::npos;
using text_detail::SplitUnescaped;

std::string UnescapeAmp(std::string_view v) { return ReplaceAll(v, "\\&", "&"); }
std::string EscapeAmp(std::string_view v) { return ReplaceAll(v, "&", "\\&"); }

// Field n of a property text split at every unescaped "&" (as
// SplitUnescaped(s, "&")[n]); nullopt when there are fewer fields.
std::optional<std::string_view> PropertyField(std::string_view s, size_t n) {
  size_t field = 0, start = 0;
  bool afterBackslash = false;
  for (size_t i = 0; i < s.size();) {
    const size_t len = CharLen(s, i);
    if (!afterBackslash && s[i] == '&') {
      if (field == n) return s.substr(start, i - start);
      ++field;
      start = i + 1;
    }
    afterBackslash = len == 1 && s[i] == '\\';
    i += len;
  }
  if (field == n) return s.substr(start);
  return std::nullopt;
}

// A text ends with one overline marker "~" that number handling keeps aside.
bool EndsWithTilde(std::string_view s) {
  return !s.empty() && s.back() == '~' && !EndsWithDoubleByte(s);
}

// Full-width digits "０" to "９" are 0x82 0x4F .. 0x82 0x58.
bool IsWideDigit(std::string_view s, size_t i) {
  return CharLen(s, i) == 2 && static_cast<unsigned char>(s[i]) == 0x82 &&
         static_cast<unsigned char>(s[i + 1]) >= 0x4F &&
         static_cast<unsigned char>(s[i + 1]) <= 0x58;
}

std::string ToWideDigits(std::string_view ascii) {
  std::string out;
  for (char c : ascii) {
    out.push_back(static_cast<char>(0x82));
    out.push_back(static_cast<char>(0x4F + (c - '0')));
  }
  return out;
}

// The trailing number of a text (after one "~" is set aside).
struct TrailingNumber {
  std::string body;    // the text without the marker
  bool tilde = false;  // a "~" was set aside
  bool wide = false;   // the last character is double-byte: full-width digits
  size_t start = 0;    // byte offset of the number in body
  int digits = 0;      // count of digit characters
  std::string ascii;   // the digits in ASCII
};

TrailingNumber AnalyzeNumber(std::string_view name) {
  TrailingNumber t;
  t.tilde = EndsWithTilde(name);
  t.body = std::string(t.tilde ? name.substr(0, name.size() - 1) : name);
  t.wide = EndsWithDoubleByte(t.body);
  std::vector<size_t> starts;
  for (size_t i = 0; i < t.body.size(); i += CharLen(t.body, i)) starts.push_back(i);
  t.start = t.body.size();
  for (auto it = starts.rbegin(); it != starts.rend(); ++it) {
    const size_t i = *it;
    if (t.wide ? IsWideDigit(t.body, i)
               : (CharLen(t.body, i) == 1 && t.body[i] >= '0' && t.body[i] <= '9')) {
      t.start = i;
      ++t.digits;
    } else {
      break;
    }
  }
  for (size_t i = t.start; i < t.body.size(); i += CharLen(t.body, i)) {
    t.ascii.push_back(
        t.wide ? static_cast<char>('0' + (static_cast<unsigned char>(t.body[i + 1]) - 0x4F))
               : t.body[i]);
  }
  return t;
}

// Results that would leave nothing but overline markers keep the old name.
bool IsVoidName(std::string_view s) { return s.empty() || s == "~" || s == "~~"; }

// Longest number that IncName counts with; longer numbers are left alone.
constexpr int kMaxCountedDigits = 18;
// Longest number SetNumberLen writes.
constexpr int kMaxNumberLen = 255;

}  // namespace

int CText::CalcLines() const { return static_cast<int>(SplitUnescaped(name_, "\\n").size()); }

// ---------------------------------------------------------------------------
// Property texts

int CText::IsProperty() const {
  // The text read with every "\&" taken out must start with "&"; each
  // further "&" starts a value. ("&" is never part of a double-byte
  // character, and a backslash before "&" never is either.)
  bool first = true;
  int count = 0;
  for (size_t i = 0; i < name_.size(); i += CharLen(name_, i)) {
    if (name_[i] == '\\' && i + 1 < name_.size() && name_[i + 1] == '&') {
      ++i;  // with the step below, past the escaped "&"
      continue;
    }
    if (first) {
      if (name_[i] != '&') return 0;
      first = false;
    } else if (name_[i] == '&') {
      ++count;
    }
  }
  return count;
}

std::string CText::GetPropertyName() const {
  if (name_.empty() || name_[0] != '&') return {};
  const std::optional<std::string_view> field = PropertyField(name_, 1);
  return field ? Trim(*field) : std::string();
}

std::string CText::GetPropertyVal(int n) const {
  const int count = IsProperty();
  if (count == 0 || n < 0 || n > count) return {};
  if (n == 0) n = count;
  const std::optional<std::string_view> field = PropertyField(name_, static_cast<size_t>(n) + 1);
  return field ? UnescapeAmp(*field) : std::string();
}

bool CText::IsDispProperty() const {
  // The first value against the name, as GetPropertyVal(1) and
  // GetPropertyName give them, without copying a value that has nothing to
  // unescape.
  if (IsProperty() == 0) return false;
  const std::string name = GetPropertyName();
  const std::string_view value = PropertyField(name_, 2).value_or(std::string_view{});
  if (tavro::Find(value, "\\&") != npos) return EqualNoCase(UnescapeAmp(value), name);
  return EqualNoCase(value, name);
}

void CText::SetProperty(std::string_view name, std::string_view value) {
  name_ = "&" + Trim(name) + "&" + EscapeAmp(Trim(value));
  attr_ |= kTextHidden;
  CalcBoundRect();
}

bool CText::SetPropertyVal(std::string_view value, int n) {
  if (name_.empty() || name_[0] != '&' || n < 0) return false;
  const auto fields = SplitUnescaped(name_, "&");
  std::vector<std::string> values;
  for (size_t i = 2; i < fields.size(); ++i) values.emplace_back(fields[i]);
  size_t target = static_cast<size_t>(n);
  if (n == 0) {
    target = std::max<size_t>(values.size(), 1);
    // A display property keeps its name and the repeated name in front.
    if (IsDispProperty()) target = std::max<size_t>(target, 2);
  }
  if (values.size() < target) values.resize(target);
  values[target - 1] = EscapeAmp(value);
  std::string out = "&";
  out += fields.size() > 1 ? fields[1] : std::string_view{};
  for (const auto& v : values) out += "&" + v;
  SetName(out);
  return true;
}

std::string CText::GetDispString() const { return IsDispProperty() ? GetPropertyVal(0) : name_; }

// ---------------------------------------------------------------------------
// Trailing numbers

bool CText::IncName(int step) {
  if (step == 0 || name_.empty() || FindChar(name_, '?') != npos) return false;
  TrailingNumber t = AnalyzeNumber(name_);
  std::string number;
  if (t.digits > 0) {
    if (t.digits > kMaxCountedDigits) return false;
    const int64_t result = std::stoll(t.ascii) + step;
    if (result >= 0) {
      number = std::to_string(result);
      if (t.ascii[0] == '0' && number.size() < static_cast<size_t>(t.digits))
        number.insert(0, static_cast<size_t>(t.digits) - number.size(), '0');
    } else {
      number.assign(static_cast<size_t>(t.digits - 1), '0');
    }
    t.body.erase(t.start);
  } else {
    if (step < 0) return false;
    number = std::to_string(step);
  }
  t.body += t.wide ? ToWideDigits(number) : number;
  if (t.tilde) t.body += '~';
  if (IsVoidName(t.body) || t.body == name_) return false;
  SetName(t.body);
  return true;
}

bool CText::SetNumberLen(int len) {
  if (name_.empty()) return false;
  len = std::min(len, kMaxNumberLen);
  TrailingNumber t = AnalyzeNumber(name_);
  std::string number;
  if (t.digits > 0) {
    // The value without its leading zeros, then padded to len digits.
    const size_t nz = t.ascii.find_first_not_of('0');
    number = nz == std::string::npos ? "0" : t.ascii.substr(nz);
    t.body.erase(t.start);
  }
  if (len > 0 && number.size() < static_cast<size_t>(len))
    number.insert(0, static_cast<size_t>(len) - number.size(), '0');
  t.body += t.wide ? ToWideDigits(number) : number;
  if (t.tilde) t.body += '~';
  if (IsVoidName(t.body) || t.body == name_) return false;
  SetName(t.body);
  return true;
}

int CText::GetNumberLen() const {
  if (name_.empty()) return -1;
  return AnalyzeNumber(name_).digits;
}

// ---------------------------------------------------------------------------
// Search and comparison

std::optional<CPoint> CText::Find(std::string_view pattern, bool matchCase, bool whole,
                                  bool includeHidden) const {
  if (name_.empty()) return std::nullopt;
  if (!includeHidden && !IsDisp()) return std::nullopt;
  const std::string hay = matchCase ? name_ : ToUpper(name_);
  const std::string pat = matchCase ? std::string(pattern) : ToUpper(pattern);
  const bool hit = whole ? hay == pat : tavro::Find(hay, pat) != npos;
  if (!hit) return std::nullopt;
  return point_;
}

bool CText::operator==(const CText& o) const {
  if (name_.empty() && o.name_.empty()) return true;
  return point_ == o.point_ && (attr_ & ~kTextSelected) == (o.attr_ & ~kTextSelected) &&
         size_ == o.size_ && name_ == o.name_;
}

bool CText::operator<(const CText& o) const {
  if (point_.y != o.point_.y) return point_.y > o.point_.y;
  return point_.x < o.point_.x;
}

}  // namespace tavro
