#include "core/file/archive.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/platform/codec.h"

namespace tavro {
namespace {

std::string Bytes(std::initializer_list<int> b) {
  std::string s;
  for (int c : b) s.push_back(static_cast<char>(c));
  return s;
}

TEST(ArchiveTest, IntegersPointsAndRectsAreLittleEndianWithoutPadding) {
  CArchive out;
  out.WriteU8(0x12);
  out.WriteU16(0x3456);
  out.WriteU32(0x789ABCDE);
  out.WriteI32(-2);
  out.WritePoint({1, -1});
  out.WriteRect({1, 2, 3, 0x01020304});
  const std::string expected =
      Bytes({0x12, 0x56, 0x34, 0xDE, 0xBC, 0x9A, 0x78, 0xFE, 0xFF, 0xFF, 0xFF,  //
             1,    0,    0,    0,    0xFF, 0xFF, 0xFF, 0xFF,                    //
             1,    0,    0,    0,    2,    0,    0,    0,    3,    0,    0,    0, 4, 3, 2, 1});
  EXPECT_EQ(out.Buffer(), expected);
  EXPECT_TRUE(out.IsStoring());

  CArchive in(expected);
  EXPECT_TRUE(in.IsLoading());
  EXPECT_EQ(in.ReadU8(), 0x12);
  EXPECT_EQ(in.ReadU16(), 0x3456);
  EXPECT_EQ(in.ReadU32(), 0x789ABCDEu);
  EXPECT_EQ(in.ReadI32(), -2);
  EXPECT_EQ(in.ReadPoint(), CPoint(1, -1));
  EXPECT_EQ(in.ReadRect(), CRect(1, 2, 3, 0x01020304));
  EXPECT_TRUE(in.AtEnd());
  EXPECT_THROW(in.ReadU8(), ArchiveError);
}

TEST(ArchiveTest, StringLengthPrefixes) {
  struct Case {
    size_t length;
    std::string prefix;
  };
  const Case cases[] = {
      {0, Bytes({0x00})},
      {254, Bytes({0xFE})},
      {255, Bytes({0xFF, 0xFF, 0x00})},
      {0xFFFD, Bytes({0xFF, 0xFD, 0xFF})},
      {0xFFFE, Bytes({0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00})},
      {0xFFFF, Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00})},
      {0x10000, Bytes({0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x01, 0x00})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.length);
    std::string s(c.length, 'x');
    if (!s.empty()) s.back() = 'y';
    CArchive out;
    out.WriteString(s);
    out.WriteU8(0x5A);  // what follows must stay in place
    const std::string& buf = out.Buffer();
    ASSERT_EQ(buf.size(), c.prefix.size() + c.length + 1);
    EXPECT_EQ(buf.substr(0, c.prefix.size()), c.prefix);

    CArchive in(buf);
    EXPECT_EQ(in.ReadString(), s);
    EXPECT_EQ(in.ReadU8(), 0x5A);
    EXPECT_TRUE(in.AtEnd());
  }
}

TEST(ArchiveTest, ReadsSixteenBitStrings) {
  // 0xFF, 0xFFFE marks 16-bit characters; "A", HIRAGANA A, "B" in UTF-16LE.
  const std::string data =
      Bytes({0xFF, 0xFE, 0xFF, 0x03, 0x41, 0x00, 0x42, 0x30, 0x42, 0x00, 0x07});
  CArchive in(data);
  EXPECT_EQ(in.ReadString(), "A" + J("あ") + "B");
  EXPECT_EQ(in.ReadU8(), 7);

  // A long 16-bit string uses the 0xFF + uint16 length form.
  std::string longData = Bytes({0xFF, 0xFE, 0xFF, 0xFF, 0x2C, 0x01});  // 300 units
  for (int i = 0; i < 300; ++i) longData += Bytes({0x43, 0x00});
  CArchive in2(longData);
  EXPECT_EQ(in2.ReadString(), std::string(300, 'C'));
  EXPECT_TRUE(in2.AtEnd());
}

TEST(ArchiveTest, TruncatedRecordThrowsAtEveryByte) {
  CArchive out;
  out.WriteU32(900);
  out.WriteString("abc");
  out.WriteString(std::string(300, 'z'));
  out.WritePoint({5, 6});
  out.WriteRect({1, 2, 3, 4});
  const std::string full = out.TakeBuffer();
  auto readAll = [](CArchive& in) {
    in.ReadU32();
    in.ReadString();
    in.ReadString();
    in.ReadPoint();
    in.ReadRect();
  };
  {
    CArchive in(full);
    EXPECT_NO_THROW(readAll(in));
  }
  for (size_t n = 0; n < full.size(); ++n) {
    SCOPED_TRACE(n);
    const std::string cut = full.substr(0, n);
    CArchive in(cut);
    EXPECT_THROW(readAll(in), ArchiveError);
  }
}

TEST(ArchiveTest, HugeLengthsThrowWithoutAllocating) {
  const std::string cases[] = {
      Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 'a', 'b'}),            // 2 GB of bytes
      Bytes({0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 'a', 0}),  // billions of units
      Bytes({0xFF, 0x00, 0x01, 'a'}),                                         // 256 bytes
      Bytes({0xFF, 0xFE, 0xFF, 0x02, 'a', 0, 'b'}),                           // half a unit short
  };
  for (const std::string& data : cases) {
    CArchive in(data);
    try {
      in.ReadString();
      ADD_FAILURE() << "no error";
    } catch (const ArchiveError& e) {
      EXPECT_NE(std::string(e.what()).find("remain"), std::string::npos) << e.what();
    }
  }
}

TEST(ArchiveTest, ErrorNamesThePosition) {
  CArchive in(Bytes({1, 2, 3}));
  in.ReadU16();
  try {
    in.ReadU32();
    FAIL();
  } catch (const ArchiveError& e) {
    EXPECT_STREQ(e.what(), "unexpected end of data at byte 2");
  }
}

TEST(ArchiveTest, RawBlocksSkipAndRequire) {
  CArchive out;
  const char block[4] = {'w', 'x', 'y', 'z'};
  out.WriteBytes(block, sizeof block);
  out.WriteText("line\n");
  CArchive in(out.Buffer());
  char got[2];
  in.ReadBytes(got, 2);
  EXPECT_EQ(std::string(got, 2), "wx");
  in.Skip(2);
  EXPECT_EQ(in.Position(), 4u);
  EXPECT_EQ(in.Remaining(), 5u);
  EXPECT_NO_THROW(in.Require(5));
  EXPECT_THROW(in.Require(6), ArchiveError);
  EXPECT_THROW(in.Skip(6), ArchiveError);
  EXPECT_EQ(in.Position(), 4u);  // a failed read consumes nothing
  std::string line;
  EXPECT_TRUE(in.ReadLine(line));
  EXPECT_EQ(line, "line");
}

TEST(ArchiveTest, ReadLineEnds) {
  struct Case {
    std::string input;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"", {}},
      {"a", {"a"}},
      {"a\n", {"a"}},
      {"a\nb", {"a", "b"}},
      {"a\r\nb\r\n", {"a", "b"}},
      {"a\rb\r", {"a", "b"}},
      {"a\r\rb", {"a", "", "b"}},
      {"a\n\nb\n", {"a", "", "b"}},
      {"\n", {""}},
      {"a\n\r\n", {"a", ""}},
      {std::string("a\nb\0c\nd\n", 8), {"a", "b"}},
      {std::string("a\n\0b", 4), {"a"}},
      {std::string("\0a", 2), {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.input));
    CArchive in(c.input);
    std::vector<std::string> got;
    std::string line;
    while (in.ReadLine(line)) got.push_back(line);
    EXPECT_EQ(got, c.lines);
    EXPECT_FALSE(in.ReadLine(line));  // stays at the end
    EXPECT_TRUE(line.empty());
  }
}

TEST(ArchiveTest, ReadLineCutsLongLines) {
  CArchive in("abcdefg\nxyz\nuvwxyz1\n");
  std::vector<std::string> got;
  std::string line;
  while (in.ReadLine(line, 3)) got.push_back(line);
  // A line of exactly the limit is one piece; its line end is not a line of its own.
  EXPECT_EQ(got, (std::vector<std::string>{"abc", "def", "g", "xyz", "uvw", "xyz", "1"}));
}

TEST(ArchiveTest, MixedBinaryAndTextKeepsPosition) {
  CArchive out;
  out.WriteText("Tavro DATA FILE Ver 0.08\n");
  out.WriteU32(900);
  CArchive in(out.Buffer());
  std::string header;
  ASSERT_TRUE(in.ReadLine(header));
  EXPECT_EQ(header, "Tavro DATA FILE Ver 0.08");
  EXPECT_EQ(in.ReadU32(), 900u);
}

}  // namespace
}  // namespace tavro
