#include <gtest/gtest.h>

#include <climits>

#include "core/model/geometry.h"

namespace tavro {
namespace {

TEST(FormatCoord, ShowsHundredthsWithOneSign) {
  struct Case {
    int32_t v;
    const char* text;
  };
  const Case cases[] = {
      {0, "   0.00"},
      {5, "   0.05"},
      {12345, " 123.45"},
      {600, "   6.00"},
      {-1250, " -12.50"},
      {-50, "  -0.50"},
      {-100, "  -1.00"},
      {-123456, "-1234.56"},
      {1234567, "12345.67"},
      {INT32_MIN, "-21474836.48"},
      {INT32_MAX, "21474836.47"},
  };
  for (const Case& c : cases) EXPECT_EQ(FormatCoord(c.v), c.text) << c.v;
}

}  // namespace
}  // namespace tavro
