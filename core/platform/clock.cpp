#include "core/platform/clock.h"

#include <cerrno>
#include <cstdlib>
#include <vector>

namespace tavro {

namespace {
std::time_t g_fixed = -1;
constexpr std::time_t kJapanOffset = 9 * 3600;
}  // namespace

std::time_t Now() {
  if (g_fixed >= 0) return g_fixed;
  if (const char* s = std::getenv("SOURCE_DATE_EPOCH"); s && *s) {
    char* end = nullptr;
    errno = 0;
    long long v = std::strtoll(s, &end, 10);
    if (errno == 0 && end && *end == '\0' && v >= 0) return static_cast<std::time_t>(v);
  }
  return std::time(nullptr);
}

void SetFixedNow(std::time_t t) { g_fixed = t; }

std::tm JapanTime(std::time_t t) {
  std::time_t shifted = t + kJapanOffset;
  std::tm tm{};
  gmtime_r(&shifted, &tm);
  return tm;
}

std::string FormatTime(std::string_view format, std::time_t t) {
  if (format.empty()) return {};
  std::tm tm = JapanTime(t);
  std::string fmt(format);
  // strftime gives 0 both for "too small" and for an empty result; grow a few times.
  std::vector<char> buf(256);
  for (int i = 0; i < 6; ++i) {
    size_t n = std::strftime(buf.data(), buf.size(), fmt.c_str(), &tm);
    if (n > 0) return std::string(buf.data(), n);
    buf.resize(buf.size() * 4);
  }
  return {};
}

void UseJapanTimeZone() {
  setenv("TZ", "JST-9", 1);
  tzset();
}

}  // namespace tavro
