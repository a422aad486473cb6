// Junction dots: lying on wires, geometry and the stored record.
#include "core/model/junc.h"

#include <gtest/gtest.h>

#include <string>

#include "core/file/archive.h"
#include "core/model/line.h"

namespace tavro {
namespace {

TEST(JuncTest, OnWire) {
  struct Case {
    const char* what;
    CPoint start, end, dot;
    bool on;
  };
  const Case cases[] = {
      {"horizontal, end point", {0, 0}, {500, 0}, {500, 0}, true},
      {"horizontal, start point, reversed line", {500, 0}, {0, 0}, {500, 0}, true},
      {"horizontal, middle", {0, 0}, {500, 0}, {250, 0}, true},
      {"horizontal, beyond the end", {0, 0}, {500, 0}, {501, 0}, false},
      {"horizontal, beside", {0, 0}, {500, 0}, {250, 1}, false},
      {"vertical, end point", {0, 500}, {0, 0}, {0, 0}, true},
      {"vertical, middle", {0, 500}, {0, 0}, {0, 100}, true},
      {"vertical, beyond", {0, 500}, {0, 0}, {0, -1}, false},
      {"oblique, on the segment", {0, 0}, {100, 100}, {50, 50}, false},
      {"oblique, end point", {0, 0}, {100, 100}, {0, 0}, false},
      {"point line", {7, 7}, {7, 7}, {7, 7}, true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CJunc(c.dot).OnWire(CLine(c.start, c.end, kLineWire)), c.on) << c.what;
  }
}

TEST(JuncTest, Geometry) {
  CJunc j({100, 200});
  EXPECT_EQ(j.GetBoundingRect(), CRect(80, 180, 120, 220));
  EXPECT_TRUE(j.CheckPoint({100, 200}));
  EXPECT_FALSE(j.CheckPoint({101, 200}));
  j.Rotate({0, 0}, 1);
  EXPECT_EQ(j.GetPoint(), CPoint(-200, 100));
  j.MirrorX({0, 0});
  j.MirrorY({0, 50});
  EXPECT_EQ(j.GetPoint(), CPoint(200, 0));
  j.Offset({-200, 5});
  EXPECT_EQ(j, CJunc({0, 5}));
}

TEST(JuncTest, Record) {
  CArchive ar;
  CJunc({-3, 70000}).DataWrite(ar);
  const std::string bytes = ar.TakeBuffer();
  EXPECT_EQ(bytes.size(), 8u);
  CArchive in(bytes);
  CJunc j;
  j.DataRead(in, 8);
  EXPECT_EQ(j.GetPoint(), CPoint(-3, 70000));
  for (size_t n = 0; n < bytes.size(); ++n) {
    CArchive part(std::string_view(bytes).substr(0, n));
    CJunc k({1, 1});
    EXPECT_THROW(k.DataRead(part), ArchiveError) << n;
    EXPECT_EQ(k.GetPoint(), CPoint(1, 1)) << n;
  }
}

}  // namespace
}  // namespace tavro
