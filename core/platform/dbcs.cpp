#include "core/platform/dbcs.h"

namespace tavro {

namespace {

constexpr bool IsBlank(unsigned char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

constexpr unsigned char FoldLower(unsigned char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}

// First character boundary at or after `from` (a `from` inside a double-byte
// character moves on to the next character).
size_t BoundaryAtOrAfter(std::string_view s, size_t from) {
  size_t i = 0;
  while (i < from && i < s.size()) i += CharLen(s, i);
  return i;
}

template <typename F>
std::string MapSingleBytes(std::string_view s, F f) {
  std::string out(s);
  for (size_t i = 0; i < out.size();) {
    size_t n = CharLen(s, i);
    if (n == 1) out[i] = static_cast<char>(f(static_cast<unsigned char>(out[i])));
    i += n;
  }
  return out;
}

}  // namespace

std::string_view CutBytes(std::string_view s, size_t maxBytes) {
  size_t i = 0;
  while (i < s.size()) {
    const size_t n = CharLen(s, i);
    if (i + n > maxBytes) break;
    i += n;
  }
  return s.substr(0, i);
}

size_t LastCharStart(std::string_view s) {
  if (s.empty()) return std::string_view::npos;
  size_t i = 0, last = 0;
  while (i < s.size()) {
    last = i;
    i += CharLen(s, i);
  }
  return last;
}

bool EndsWithDoubleByte(std::string_view s) {
  size_t last = LastCharStart(s);
  return last != std::string_view::npos && CharLen(s, last) == 2;
}

std::string ToUpper(std::string_view s) {
  return MapSingleBytes(s, [](unsigned char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 'a' + 'A') : c;
  });
}

std::string ToLower(std::string_view s) { return MapSingleBytes(s, FoldLower); }

int CompareNoCase(std::string_view a, std::string_view b) {
  // Both strings are walked byte by byte; a byte is folded only when it is a
  // single-byte character of its own string. Letters fold to lower case, so
  // "_" sorts before letters as it does in the desktop's own comparison.
  size_t nextA = 0, nextB = 0;  // start of the next character in a / b
  bool singleA = false, singleB = false;
  size_t n = a.size() < b.size() ? a.size() : b.size();
  for (size_t i = 0; i < n; ++i) {
    if (i == nextA) {
      size_t len = CharLen(a, i);
      singleA = len == 1;
      nextA = i + len;
    } else {
      singleA = false;
    }
    if (i == nextB) {
      size_t len = CharLen(b, i);
      singleB = len == 1;
      nextB = i + len;
    } else {
      singleB = false;
    }
    unsigned char ca = static_cast<unsigned char>(a[i]);
    unsigned char cb = static_cast<unsigned char>(b[i]);
    if (singleA) ca = FoldLower(ca);
    if (singleB) cb = FoldLower(cb);
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

size_t Find(std::string_view hay, std::string_view needle, size_t from) {
  if (from > hay.size()) return std::string_view::npos;
  size_t i = BoundaryAtOrAfter(hay, from);
  if (needle.empty()) return i <= hay.size() ? i : std::string_view::npos;
  while (i + needle.size() <= hay.size()) {
    if (hay.compare(i, needle.size(), needle) == 0) {
      // The match must also end at a character boundary: a needle ending in a
      // lone lead byte must not take the first half of a double-byte character.
      size_t end = i + needle.size();
      size_t j = i;
      while (j < end) j += CharLen(hay, j);
      if (j == end) return i;
    }
    i += CharLen(hay, i);
  }
  return std::string_view::npos;
}

size_t FindChar(std::string_view hay, char c, size_t from) {
  for (size_t i = BoundaryAtOrAfter(hay, from); i < hay.size(); i += CharLen(hay, i)) {
    if (hay[i] == c && CharLen(hay, i) == 1) return i;
  }
  return std::string_view::npos;
}

size_t ReverseFindChar(std::string_view hay, char c) {
  size_t found = std::string_view::npos;
  for (size_t i = 0; i < hay.size(); i += CharLen(hay, i)) {
    if (hay[i] == c && CharLen(hay, i) == 1) found = i;
  }
  return found;
}

std::string TrimLeft(std::string_view s) {
  size_t i = 0;
  while (i < s.size() && IsBlank(static_cast<unsigned char>(s[i]))) ++i;
  return std::string(s.substr(i));
}

std::string TrimRight(std::string_view s) {
  // No blank is ever a trail byte, so trailing blanks can be cut byte by byte.
  size_t n = s.size();
  while (n > 0 && IsBlank(static_cast<unsigned char>(s[n - 1]))) --n;
  return std::string(s.substr(0, n));
}

std::string Trim(std::string_view s) { return TrimLeft(TrimRight(s)); }

std::string ReplaceAll(std::string_view s, std::string_view from, std::string_view to) {
  if (from.empty()) return std::string(s);
  std::string out;
  out.reserve(s.size());
  size_t pos = 0;
  while (true) {
    size_t hit = Find(s, from, pos);
    if (hit == std::string_view::npos) break;
    out.append(s.substr(pos, hit - pos));
    out.append(to);
    pos = hit + from.size();
  }
  out.append(s.substr(pos));
  return out;
}

}  // namespace tavro
