#include "core/platform/codec.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

namespace tavro {
namespace {

using namespace std::string_literals;

struct Pair {
  const char* utf8;
  std::string cp932;
};

// Characters whose CP932 form and Unicode form map onto each other both ways.
const Pair kRoundTrips[] = {
    {"ABC xyz 0123 ~\\", "ABC xyz 0123 ~\\"},
    {"０１２", "\x82\x4F\x82\x50\x82\x51"},
    {"ｱｲｳﾞﾟ｡", "\xB1\xB2\xB3\xDE\xDF\xA1"},  // half-width katakana are single bytes
    {"表示", "\x95\x5C\x8E\xA6"},            // trail byte 0x5C
    {"～", "\x81\x60"},                      // U+FF5E: CP932's wave dash
    {"－", "\x81\x7C"},                      // U+FF0D
    {"＼", "\x81\x5F"},                      // U+FF3C
    {"①ⅰ", "\x87\x40\xFA\x40"},              // vendor extensions
    {"部品番号", "\x95\x94\x95\x69\x94\xD4\x8D\x86"},
    {"", ""},
};

TEST(Codec, RoundTripsBetweenUtf8AndCp932) {
  for (const Pair& p : kRoundTrips) {
    size_t bad = 99;
    EXPECT_EQ(Utf8ToCp932(p.utf8, &bad), p.cp932) << p.utf8;
    EXPECT_EQ(bad, 0u);
    EXPECT_EQ(Cp932ToUtf8(p.cp932, &bad), p.utf8) << p.utf8;
    EXPECT_EQ(bad, 0u);
  }
  EXPECT_EQ(J("表"), "\x95\x5C");
}

TEST(Codec, LookAlikesEncodeToTheCp932Forms) {
  // The JIS wave dash U+301C and the full-width tilde U+FF5E are both 0x8160,
  // which decodes to U+FF5E; the same for the minus sign and the double bar.
  const Pair oneWay[] = {
      {"〜", "\x81\x60"},
      {"−", "\x81\x7C"},
      {"‖", "\x81\x61"},
  };
  for (const Pair& p : oneWay) {
    size_t bad = 99;
    EXPECT_EQ(Utf8ToCp932(p.utf8, &bad), p.cp932) << p.utf8;
    EXPECT_EQ(bad, 0u);
  }
  EXPECT_EQ(Cp932ToUtf8("\x81\x60"), "～");
  EXPECT_NE(Cp932ToUtf8("\x81\x60"), "〜");
}

TEST(Codec, EveryCp932CharacterSurvivesARoundTrip) {
  // Single bytes.
  for (int b = 0; b < 0x100; ++b) {
    if (b >= 0x80 && !(b >= 0xA1 && b <= 0xDF)) continue;
    std::string s(1, static_cast<char>(b));
    size_t bad = 99;
    std::string back = Utf8ToCp932(Cp932ToUtf8(s, &bad));
    EXPECT_EQ(bad, 0u) << b;
    EXPECT_EQ(back, s) << b;
  }
  // Double bytes: every code that decodes comes back as itself, except the
  // duplicates of the vendor extensions (NEC row 13, NEC-selected IBM rows
  // 0xED/0xEE and the IBM rows), which come back as the preferred code of the
  // same character.
  int decoded = 0;
  for (int lead = 0x81; lead <= 0xFC; ++lead) {
    if (lead > 0x9F && lead < 0xE0) continue;
    for (int trail = 0x40; trail <= 0xFC; ++trail) {
      if (trail == 0x7F) continue;
      std::string s{static_cast<char>(lead), static_cast<char>(trail)};
      size_t bad = 0;
      std::u16string u = Cp932ToUtf16(s, &bad);
      if (bad != 0) continue;
      ++decoded;
      ASSERT_EQ(u.size(), 1u);
      size_t badBack = 99;
      std::string back = Utf16ToCp932(u, &badBack);
      EXPECT_EQ(badBack, 0u);
      if (back != s) {
        EXPECT_TRUE(lead == 0x87 || lead == 0xED || lead == 0xEE || lead == 0xFA)
            << std::hex << lead << " " << trail;
        EXPECT_EQ(Cp932ToUtf16(back), u);
      }
      EXPECT_EQ(Utf8ToCp932(Cp932ToUtf8(s)), back);
    }
  }
  EXPECT_GT(decoded, 7000);
}

TEST(Codec, Utf16) {
  EXPECT_EQ(Cp932ToUtf16("A\x82\x4F\xB1\x81\x60"), u"A\uFF10\uFF71\uFF5E");
  EXPECT_EQ(Utf16ToCp932(u"A\uFF10\uFF71\u301C"), "A\x82\x4F\xB1\x81\x60");
  size_t bad = 0;
  // A surrogate pair is one character: one '?'. A lone surrogate is one too.
  EXPECT_EQ(Utf16ToCp932(u"a\U00020BB7b", &bad), "a?b");
  EXPECT_EQ(bad, 1u);
  std::u16string lone = u"x";
  lone += static_cast<char16_t>(0xD800);
  lone += u"y";
  EXPECT_EQ(Utf16ToCp932(lone, &bad), "x?y");
  EXPECT_EQ(bad, 1u);
}

TEST(Codec, InvalidBytesAreReplacedAndCounted) {
  struct Case {
    std::string cp932;
    std::string utf8;
    size_t invalid;
  };
  const Case cases[] = {
      {"\x80", "\uFFFD", 1},
      {"\xA0", "\uFFFD", 1},
      {"a\xFD\xFE\xFFz", "a\uFFFD\uFFFD\uFFFDz", 3},
      {"AB\x81", "AB\uFFFD", 1},                  // lead byte cut off at the end
      {"\x81\x20x", "\uFFFD x", 1},               // lead byte before a blank
      {"\x82\x4F\xFF\x82\x50", "０\uFFFD１", 1},  // conversion goes on after a bad byte
      {"\x95\x5C\0\x80"s, "表\0\uFFFD"s, 1},
  };
  for (const Case& c : cases) {
    size_t bad = 99;
    std::string out = Cp932ToUtf8(c.cp932, &bad);
    EXPECT_EQ(out, c.utf8);
    EXPECT_EQ(bad, c.invalid);
    size_t bad16 = 99;
    std::u16string u = Cp932ToUtf16(c.cp932, &bad16);
    EXPECT_EQ(bad16, c.invalid);
    EXPECT_EQ(std::count(u.begin(), u.end(), u'\uFFFD'), static_cast<long>(c.invalid));
  }
}

TEST(Codec, UnencodableCharactersBecomeQuestionMarks) {
  struct Case {
    std::string utf8;
    const char* cp932;
    size_t invalid;
  };
  const Case cases[] = {
      {"é", "?", 1},
      {"A😀B", "A?B", 1},
      {"a\xC3(b", "a?(b", 1},  // broken UTF-8
      {"\xFF表", "?\x95\x5C", 1},
      {"x\xED\xA0\x80y", "x???y", 3},  // an encoded surrogate is not UTF-8
  };
  for (const Case& c : cases) {
    size_t bad = 99;
    EXPECT_EQ(Utf8ToCp932(c.utf8, &bad), c.cp932) << c.utf8;
    EXPECT_EQ(bad, c.invalid) << c.utf8;
  }
}

TEST(Codec, LongStringsAndThreads) {
  // Longer than any internal buffer, converted in two threads at once.
  std::string cp932;
  std::string utf8;
  for (int i = 0; i < 3000; ++i) {
    cp932 += "\x95\x5C\xB1Q";
    utf8 += "表ｱQ";
  }
  auto work = [&](bool* ok) {
    *ok = true;
    for (int i = 0; i < 20; ++i) {
      if (Cp932ToUtf8(cp932) != utf8 || Utf8ToCp932(utf8) != cp932) *ok = false;
    }
  };
  bool ok1 = false, ok2 = false;
  std::thread t1(work, &ok1), t2(work, &ok2);
  t1.join();
  t2.join();
  EXPECT_TRUE(ok1);
  EXPECT_TRUE(ok2);
}

}  // namespace
}  // namespace tavro
