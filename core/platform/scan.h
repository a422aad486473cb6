// Reading the numbers of a text record (a record line of the sheet text form,
// the numbers after a text's or font's quoted name), as the C library's
// "%s %d %d ..." would read them, but without its hazards: the
// keyword (the first run of non-blank bytes) is passed over, then up to `max`
// blank-separated decimal integers are read. Reading stops at the first field
// that is not a number, so the fields after it keep the caller's defaults.
// Values beyond the int32 range are clamped to it.
#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string_view>

namespace tavro {

inline bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

// Reads decimal integers from s into out (at most max of them); returns how
// many were read.
inline int ScanInts(std::string_view s, int32_t* out, int max) {
  size_t i = 0;
  int count = 0;
  while (count < max) {
    while (i < s.size() && IsBlank(s[i])) ++i;
    size_t j = i;
    bool neg = false;
    if (j < s.size() && (s[j] == '-' || s[j] == '+')) neg = s[j++] == '-';
    if (j >= s.size() || s[j] < '0' || s[j] > '9') break;
    int64_t v = 0;
    constexpr int64_t kCap = int64_t{1} << 40;  // far beyond int32, never overflows
    for (; j < s.size() && s[j] >= '0' && s[j] <= '9'; ++j)
      v = std::min(v * 10 + (s[j] - '0'), kCap);
    if (neg) v = -v;
    out[count++] = static_cast<int32_t>(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(),
                                                            std::numeric_limits<int32_t>::max()));
    i = j;
  }
  return count;
}

// The same after the keyword of a record line ("Line 0 0 100 0 ..." reads
// from "0 0 100 0 ...").
inline int ScanRecord(std::string_view line, int32_t* out, int max) {
  size_t i = 0;
  while (i < line.size() && IsBlank(line[i])) ++i;
  while (i < line.size() && !IsBlank(line[i])) ++i;
  return ScanInts(line.substr(i), out, max);
}

}  // namespace tavro
