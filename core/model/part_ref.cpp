// CPart: the reference (prefix, number, suffix) and the property texts.
//
// A reference splits into three pieces: "R12A" is prefix "R", number 12 and
// suffix "A"; "U1B2" is prefix "U1B" and number 2; an undecided reference
// holds "?" where the number goes ("R?", number 0).
#include <algorithm>
#include <cstdio>
#include <limits>
#include <optional>
#include <string>

#include "core/model/part.h"
#include "core/platform/dbcs.h"

namespace tavro {

namespace {

constexpr size_t npos = std::string_view::npos;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The value of a run of ASCII digits, saturated at the largest int.
int DigitsValue(std::string_view digits) {
  int64_t v = 0;
  for (char c : digits) {
    v = v * 10 + (c - '0');
    if (v > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
  }
  return static_cast<int>(v);
}

int Sign(int64_t v) { return v < 0 ? -1 : v > 0 ? 1 : 0; }

// The reference format of "REFFORM" is a printf format written by whoever
// made the part, so it is taken apart here instead of being handed to printf:
// it may hold literal text ("%%" for a percent sign) and exactly one integer
// conversion with flags, width and precision ("%d", "%03d", "%3ld", "U-%02i").
// Anything else falls back to "%d".
struct RefFormat {
  std::string before;
  std::string conversion;  // rebuilt, e.g. "%03lld"
  char type = 'd';
  std::string after;
};

std::optional<RefFormat> ParseRefFormat(std::string_view fmt) {
  constexpr size_t kMaxFieldDigits = 2;  // width and precision below 100
  RefFormat f;
  bool seen = false;
  size_t i = 0;
  while (i < fmt.size()) {
    std::string& literal = seen ? f.after : f.before;
    const size_t start = i;
    i = CharLen(fmt, i) + i;
    if (fmt[start] != '%') {
      literal.append(fmt.substr(start, i - start));
      continue;
    }
    if (i < fmt.size() && fmt[i] == '%') {
      literal += '%';
      ++i;
      continue;
    }
    if (seen) return std::nullopt;  // a second conversion
    seen = true;
    std::string conv = "%";
    size_t flags = 0;
    while (i < fmt.size() && std::string_view("-+ #0").find(fmt[i]) != npos) {
      if (++flags > 5) return std::nullopt;
      conv += fmt[i++];
    }
    size_t digits = 0;
    while (i < fmt.size() && IsDigit(fmt[i])) {
      if (++digits > kMaxFieldDigits) return std::nullopt;
      conv += fmt[i++];
    }
    if (i < fmt.size() && fmt[i] == '.') {
      conv += fmt[i++];
      digits = 0;
      while (i < fmt.size() && IsDigit(fmt[i])) {
        if (++digits > kMaxFieldDigits) return std::nullopt;
        conv += fmt[i++];
      }
    }
    // Length modifiers h, l and ll are accepted; the number is always passed
    // as a long long.
    if (i < fmt.size() && fmt[i] == 'h') {
      ++i;
    } else if (i < fmt.size() && fmt[i] == 'l') {
      ++i;
      if (i < fmt.size() && fmt[i] == 'l') ++i;
    }
    if (i >= fmt.size() || std::string_view("diuoxX").find(fmt[i]) == npos) return std::nullopt;
    f.type = fmt[i++];
    f.conversion = conv + "ll" + f.type;
  }
  if (!seen) return std::nullopt;
  return f;
}

std::string FormatRefNo(std::string_view fmt, int no) {
  std::optional<RefFormat> f = ParseRefFormat(fmt);
  if (!f) f = ParseRefFormat("%d");
  char buf[256];
  const bool isSigned = f->type == 'd' || f->type == 'i';
  // Width and precision are below 100, so the number always fits.
  if (isSigned)
    std::snprintf(buf, sizeof buf, f->conversion.c_str(), static_cast<long long>(no));
  else
    std::snprintf(buf, sizeof buf, f->conversion.c_str(),
                  static_cast<unsigned long long>(static_cast<unsigned>(no)));
  return f->before + buf + f->after;
}

}  // namespace

// ---------------------------------------------------------------------------
// Reference

CPart::RefParts CPart::SplitRef(std::string_view ref) {
  RefParts r;
  if (ref.empty()) return r;
  r.valid = true;
  if (const size_t q = FindChar(ref, '?'); q != npos) {
    r.prefix = ref.substr(0, q);
    r.suffix = ref.substr(q + 1);
    r.undecided = true;
    return r;
  }
  size_t end = ref.size();
  while (end > 0 && !IsDigit(ref[end - 1])) --end;
  if (end == 0) {  // no digit at all
    r.prefix = ref;
    return r;
  }
  size_t start = end;
  while (start > 0 && IsDigit(ref[start - 1])) --start;
  r.prefix = ref.substr(0, start);
  r.number = DigitsValue(ref.substr(start, end - start));
  r.suffix = ref.substr(end);
  return r;
}

int CPart::CompareRefParts(const RefParts& a, const RefParts& b) {
  if (const int c = CompareNoCase(a.prefix, b.prefix); c != 0) return Sign(c);
  if (a.number != b.number) return Sign(int64_t{a.number} - b.number);
  return Sign(CompareNoCase(a.suffix, b.suffix));
}

bool CPart::GetRefName(std::string& prefix, std::string& suffix, int& number) const {
  RefParts r = SplitRef(GetRefName());
  prefix = std::move(r.prefix);
  suffix = std::move(r.suffix);
  number = r.number;
  return r.valid;
}

std::string CPart::GetRefNameA() const {
  const std::string& ref = GetRefName();
  size_t end = ref.size();
  while (end > 0 && !IsDigit(ref[end - 1])) --end;
  return end == 0 ? ref : ref.substr(0, end);
}

int CPart::GetRefNo() const {
  const RefParts r = SplitRef(GetRefName());
  return !r.valid || r.undecided ? -1 : r.number;
}

bool CPart::RefCheck() const {
  const std::string& ref = GetRefName();
  if (ref.empty() || FindChar(ref, '?') != npos) return false;
  bool digit = false, other = false;
  for (char c : ref) (IsDigit(c) ? digit : other) = true;
  return digit && other;
}

void CPart::SetRefNo(int no, int force) {
  const RefParts r = SplitRef(GetRefName());
  if (!r.valid) return;
  if (no == 0) {
    refNameText_.SetName(r.prefix + "?" + r.suffix);
    return;
  }
  if (!r.undecided && force == 0) return;
  // A package of several gates shares one number, so its own format does not apply.
  const std::string fmt = packageMax_ < 2 ? GetProperty("REFFORM") : std::string();
  refNameText_.SetName(r.prefix + FormatRefNo(fmt.empty() ? "%d" : fmt, no) + r.suffix);
}

void CPart::IncRefName(int step) {
  const int64_t n = int64_t{std::max(GetRefNo(), 0)} + step;
  if (n < 1)
    SetRefNo(0, 0);
  else
    SetRefNo(static_cast<int>(std::min<int64_t>(n, std::numeric_limits<int>::max())), 1);
  CalcBoundRect();
}

int CPart::CompareRef(const CPart& o) const {
  return CompareRefParts(SplitRef(GetRefName()), SplitRef(o.GetRefName()));
}

// ---------------------------------------------------------------------------
// Properties

std::string CPart::GetProperty(std::string_view key) const {
  if (key.empty()) return {};
  for (const auto& t : texts_)
    if (t->IsProperty() > 0 && EqualNoCase(t->GetPropertyName(), key)) return t->GetPropertyVal(0);
  return {};
}

std::string CPart::GetPropertyCSV(std::string_view keys) const {
  size_t from = 0;
  for (size_t comma = FindChar(keys, ','); comma != npos; comma = FindChar(keys, ',', from)) {
    std::string value = GetProperty(Trim(keys.substr(from, comma - from)));
    if (!value.empty()) return value;
    from = comma + 1;
  }
  return GetProperty(Trim(keys.substr(from)));
}

bool CPart::IsProperty(std::string_view key) const {
  // The decimal value as atoi reads it: blanks, a sign, then digits.
  const std::string v = TrimLeft(GetProperty(key));
  size_t i = (!v.empty() && (v[0] == '+' || v[0] == '-')) ? 1 : 0;
  for (; i < v.size() && IsDigit(v[i]); ++i)
    if (v[i] != '0') return true;
  return false;
}

void CPart::DeleteProperty(std::string_view key) {
  const bool display = key.size() >= 2 && key.front() == '[' && key.back() == ']';
  const std::string_view name = display ? key.substr(1, key.size() - 2) : key;
  std::erase_if(texts_, [&](const std::unique_ptr<CText>& t) {
    return t->IsProperty() > 0 && t->IsDispProperty() == display &&
           EqualNoCase(t->GetPropertyName(), name);
  });
}

const CText* CPart::HitProperty(CPoint p) const {
  for (const auto& t : texts_) {
    if (!t->IsDispProperty()) continue;
    const CRect& box = t->GetTextBoundingRect();
    if (!box.IsRectEmpty() && box.PtInRect(p)) return t.get();
  }
  return nullptr;
}

std::string CPart::FindString(std::string_view s) const {
  for (const auto& t : texts_) {
    const std::string& name = t->GetName();
    if (tavro::Find(name, s) != npos) return name.substr(s.size());
  }
  return {};
}

}  // namespace tavro
