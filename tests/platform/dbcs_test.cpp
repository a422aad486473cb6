#include "core/platform/dbcs.h"

#include <gtest/gtest.h>

#include <string>

namespace tavro {
namespace {

constexpr size_t npos = std::string_view::npos;

// CP932 strings whose trail bytes are ASCII letters or the backslash.
const std::string kA = "\x83\x41";    // "ア": trail 'A'
const std::string kMo = "\x83\x82";   // "モ"
const std::string kB = "\x82\x61";    // "Ｂ": trail 'a'
const std::string kHyo = "\x95\x5C";  // "表": trail '\'
const std::string kKana = "\xB1";     // "ｱ": half-width, single byte

TEST(Dbcs, CharacterBoundaries) {
  struct Case {
    std::string s;
    size_t lastStart;
    bool endsDouble;
  };
  const Case cases[] = {
      {"", npos, false},         {"A", 0, false},        {kHyo, 0, true},
      {"A" + kHyo, 1, true},     {kHyo + "A", 2, false}, {kKana + kKana, 1, false},
      {"ab\x81", 2, false},    // lead byte cut off at the end stands alone
      {"\x81\x20", 1, false},  // a blank is never a trail byte
      {kA + kB + kHyo, 4, true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(LastCharStart(c.s), c.lastStart) << c.s;
    EXPECT_EQ(EndsWithDoubleByte(c.s), c.endsDouble) << c.s;
  }
  EXPECT_EQ(CharLen(kHyo, 0), 2u);
  EXPECT_EQ(CharLen(kKana, 0), 1u);
  EXPECT_EQ(CharLen("\x81", 0), 1u);
  EXPECT_EQ(CharLen("ab", 5), 1u);
}

TEST(Dbcs, CaseMappingLeavesTrailBytesAlone) {
  struct Case {
    std::string in, upper, lower;
  };
  const Case cases[] = {
      {"abcXYZ09_", "ABCXYZ09_", "abcxyz09_"},
      {kA + "a", kA + "A", kA + "a"},  // trail 'A' stays upper in ToLower
      {kB + "b", kB + "B", kB + "b"},  // trail 'a' stays lower in ToUpper
      {"r" + kHyo + "s", "R" + kHyo + "S", "r" + kHyo + "s"},
      {kKana + "k", kKana + "K", kKana + "k"},
      {"x\x81", "X\x81", "x\x81"},
      {"\x81"
       "a",
       "\x81"
       "a",
       "\x81"
       "a"},  // 0x81 0x61 is one double-byte character
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ToUpper(c.in), c.upper) << c.in;
    EXPECT_EQ(ToLower(c.in), c.lower) << c.in;
  }
}

TEST(Dbcs, CompareNoCase) {
  struct Case {
    std::string a, b;
    int sign;
  };
  const Case cases[] = {
      {"abc", "ABC", 0},
      {"R1" + kA, "r1" + kA, 0},
      {kA, "\x83\x61", -1},  // trail 'A' vs trail 'a': different characters
      {kB, "\x82\x41", 1},
      {"ab", "abc", -1},
      {"", "", 0},
      {"", "a", -1},
      {"_", "a", -1},  // letters fold to lower case
      {"_", "A", -1},
      {"Z", "a", 1},
      {kKana + "X", kKana + "x", 0},
      {"a" + kA, "A\x83", 1},  // same bytes up to a cut-off lead byte
  };
  for (const Case& c : cases) {
    int r = CompareNoCase(c.a, c.b);
    int sign = (r > 0) - (r < 0);
    EXPECT_EQ(sign, c.sign) << c.a << " / " << c.b;
    int back = CompareNoCase(c.b, c.a);
    EXPECT_EQ((back > 0) - (back < 0), -c.sign) << c.b << " / " << c.a;
  }
  EXPECT_TRUE(EqualNoCase("Text Height", "TEXT HEIGHT"));
  EXPECT_FALSE(EqualNoCase(kA, "\x83\x61"));
}

TEST(Dbcs, FindNeverMatchesInsideADoubleByteCharacter) {
  EXPECT_EQ(FindChar(kHyo, '\\'), npos);
  EXPECT_EQ(FindChar(kHyo + "\\", '\\'), 2u);
  EXPECT_EQ(FindChar("a\\b\\", '\\', 2), 3u);
  EXPECT_EQ(ReverseFindChar("C:\\" + kHyo + "\\x", '\\'), 5u);
  EXPECT_EQ(ReverseFindChar("C:\\" + kHyo, '\\'), 2u);
  EXPECT_EQ(ReverseFindChar(kHyo, '\\'), npos);

  EXPECT_EQ(Find(kA, "A"), npos);
  EXPECT_EQ(Find("x" + kA + "A", "A"), 3u);
  EXPECT_EQ(Find(kA + kA, "A\x83"), npos);  // straddles two characters
  EXPECT_EQ(Find(kA, "\x83"), npos);        // half of a character
  EXPECT_EQ(Find("ab" + kHyo + "ab", "ab", 1), 4u);
  EXPECT_EQ(Find(kHyo + "\\", "\\", 1), 2u);  // a start inside a character moves on
  EXPECT_EQ(Find("abc", ""), 0u);
  EXPECT_EQ(Find("abc", "", 3), 3u);
  EXPECT_EQ(Find("abc", "x", 9), npos);
  EXPECT_EQ(Find("", "a"), npos);
}

TEST(Dbcs, TrimAndReplace) {
  EXPECT_EQ(Trim(" \t\r\n\v\f" + kHyo + " x \r\n"), kHyo + " x");
  EXPECT_EQ(TrimLeft("  a "), "a ");
  EXPECT_EQ(TrimRight("  a \t"), "  a");
  EXPECT_EQ(Trim("   "), "");
  EXPECT_EQ(TrimRight("\x81 "), "\x81");

  EXPECT_EQ(ReplaceAll(kHyo + "\\" + kHyo, "\\", "/"), kHyo + "/" + kHyo);
  EXPECT_EQ(ReplaceAll("aXbxc", "x", "--"), "aXb--c");
  EXPECT_EQ(ReplaceAll("aaa", "a", "aa"), "aaaaaa");
  EXPECT_EQ(ReplaceAll("abc", "", "z"), "abc");
  EXPECT_EQ(ReplaceAll(kA + "A", "A", "b"), kA + "b");
}

}  // namespace
}  // namespace tavro
