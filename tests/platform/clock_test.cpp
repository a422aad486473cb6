#include "core/platform/clock.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace tavro {
namespace {

// Sets an environment variable for one scope (nullptr clears it).
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value)
      ::setenv(name, value, 1);
    else
      ::unsetenv(name);
    ::tzset();
  }
  ~ScopedEnv() {
    if (old_)
      ::setenv(name_, old_->c_str(), 1);
    else
      ::unsetenv(name_);
    ::tzset();
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST(Clock, SourceDateEpochFixesNow) {
  SetFixedNow(-1);
  {
    ScopedEnv e("SOURCE_DATE_EPOCH", "1700000000");
    EXPECT_EQ(Now(), 1700000000);
    SetFixedNow(86400);  // a fixed clock wins over the environment
    EXPECT_EQ(Now(), 86400);
    SetFixedNow(-1);
  }
  for (const char* bad : {"abc", "12x", "-5", ""}) {
    ScopedEnv e("SOURCE_DATE_EPOCH", bad);
    std::time_t before = std::time(nullptr);
    std::time_t now = Now();
    EXPECT_GE(now, before) << bad;
    EXPECT_LE(now, std::time(nullptr)) << bad;
  }
}

TEST(Clock, DatesAreJapaneseLocalTime) {
  const char* fmt = "%Y/%m/%d  %H:%M:%S";
  struct Case {
    std::time_t t;
    const char* text;
  };
  const Case cases[] = {
      {0, "1970/01/01  09:00:00"},
      {1700000000, "2023/11/15  07:13:20"},
      {1704034799, "2023/12/31  23:59:59"},
      {1704034800, "2024/01/01  00:00:00"},  // 15:00 UTC on New Year's Eve
  };
  // Whatever the machine's own zone is.
  for (const char* tz : {"UTC", "America/New_York", "JST-9"}) {
    ScopedEnv e("TZ", tz);
    for (const Case& c : cases) EXPECT_EQ(FormatTime(fmt, c.t), c.text) << tz << " " << c.t;
  }
  std::tm tm = JapanTime(1704034800);
  EXPECT_EQ(tm.tm_year, 124);
  EXPECT_EQ(tm.tm_yday, 0);
  EXPECT_EQ(FormatTime("", 0), "");
}

}  // namespace
}  // namespace tavro
