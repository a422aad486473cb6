// Embedded fonts: the TrueType subset read back with FreeType (every glyph
// slot kept, unused outlines empty, composite components kept, checksums
// right), damaged and restricted files, and a document with embedded fonts
// from the real font engine (Liberation Sans and IPA Gothic, installed with
// the build's packages).
#include <ft2build.h>
#include <gtest/gtest.h>
#include <zlib.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <map>
#include <memory>
#include <sstream>
#include <string>

#include "core/pdf/font_embed.h"
#include "core/pdf/pdf.h"
#include "core/platform/clock.h"
#include "core/platform/codec.h"
#include "core/platform/paths.h"
#include "pdf/pdf_fixture.h"

namespace tavro {
namespace {

uint32_t Be32(std::string_view d, size_t o) {
  return uint32_t(uint8_t(d[o])) << 24 | uint32_t(uint8_t(d[o + 1])) << 16 |
         uint32_t(uint8_t(d[o + 2])) << 8 | uint8_t(d[o + 3]);
}
uint16_t Be16(std::string_view d, size_t o) {
  return uint16_t(uint8_t(d[o]) << 8 | uint8_t(d[o + 1]));
}

// Offset of a table in a single-font file (npos when it has none).
size_t TableOffset(std::string_view font, const char* tag) {
  const size_t n = Be16(font, 4);
  for (size_t i = 0; i < n; ++i)
    if (font.substr(12 + 16 * i, 4) == tag) return Be32(font, 12 + 16 * i + 8);
  return std::string::npos;
}

uint32_t Sum(std::string_view d) {
  uint32_t s = 0;
  std::string padded(d);
  padded.resize((padded.size() + 3) & ~size_t(3), '\0');
  for (size_t i = 0; i < padded.size(); i += 4) s += Be32(padded, i);
  return s;
}

struct FtLibrary {
  FT_Library lib = nullptr;
  FtLibrary() { FT_Init_FreeType(&lib); }
  ~FtLibrary() { FT_Done_FreeType(lib); }
};

// A font loaded from memory (the bytes must outlive it).
struct FtFace {
  FT_Face face = nullptr;
  FtFace(FT_Library lib, const std::string& bytes) {
    FT_New_Memory_Face(lib, reinterpret_cast<const FT_Byte*>(bytes.data()), FT_Long(bytes.size()),
                       0, &face);
    if (face) FT_Select_Charmap(face, FT_ENCODING_UNICODE);
  }
  ~FtFace() {
    if (face) FT_Done_Face(face);
  }
  // Outline points of a glyph with its components (-1: cannot load).
  int Points(FT_UInt gid) const {
    if (FT_Load_Glyph(face, gid, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING) != 0) return -1;
    return face->glyph->outline.n_points;
  }
  bool IsComposite(FT_UInt gid) const {
    return FT_Load_Glyph(face, gid, FT_LOAD_NO_SCALE | FT_LOAD_NO_RECURSE) == 0 &&
           face->glyph->format == FT_GLYPH_FORMAT_COMPOSITE;
  }
};

const char* const kLiberation = "/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf";

class FontEmbedTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto data = ReadFile(kLiberation);
    if (!data) GTEST_SKIP() << "Liberation Sans is not installed";
    font_ = *data;
  }
  std::string font_;
  FtLibrary ft_;
};

TEST_F(FontEmbedTest, SubsetKeepsGlyphIdsAndTheGlyphsAskedFor) {
  FtFace original(ft_.lib, font_);
  ASSERT_TRUE(original.face);
  const FT_UInt a = FT_Get_Char_Index(original.face, 'A');
  const FT_UInt b = FT_Get_Char_Index(original.face, 'B');
  const FT_UInt aacute = FT_Get_Char_Index(original.face, U'\u00C1');
  ASSERT_TRUE(original.IsComposite(aacute)) << "Aacute is a composite glyph in this font";
  ASSERT_GT(original.Points(a), 0);

  // Only Aacute is asked for: A comes along as its component, B is emptied.
  auto subset = SubsetTrueType(font_, {uint16_t(aacute)});
  ASSERT_TRUE(subset);
  EXPECT_LT(subset->size(), font_.size() / 2);
  FtFace sub(ft_.lib, *subset);
  ASSERT_TRUE(sub.face);
  EXPECT_EQ(sub.face->num_glyphs, original.face->num_glyphs);
  EXPECT_EQ(FT_Get_Char_Index(sub.face, 'B'), b);  // the cmap is kept: same ids
  EXPECT_EQ(sub.Points(aacute), original.Points(aacute));
  EXPECT_EQ(sub.Points(a), original.Points(a));
  EXPECT_EQ(sub.Points(b), 0);
  EXPECT_GT(sub.Points(0), 0);  // .notdef stays

  // Without the cmap (a font addressed by glyph ids) the outlines stay.
  auto bare = SubsetTrueType(font_, {uint16_t(b)}, false);
  ASSERT_TRUE(bare);
  EXPECT_EQ(TableOffset(*bare, "cmap"), std::string::npos);
  FtFace bareFace(ft_.lib, *bare);
  ASSERT_TRUE(bareFace.face);
  EXPECT_EQ(bareFace.Points(b), original.Points(b));
}

TEST_F(FontEmbedTest, SubsetChecksumsAndLoca) {
  auto subset = SubsetTrueType(font_, {36, 37, 38});
  ASSERT_TRUE(subset);
  const std::string& f = *subset;
  // The whole file sums to the magic number through head.checkSumAdjustment.
  EXPECT_EQ(Sum(f), 0xB1B0AFBAu);
  const size_t n = Be16(f, 4);
  std::string previous;
  for (size_t i = 0; i < n; ++i) {
    const size_t rec = 12 + 16 * i;
    const std::string tag = f.substr(rec, 4);
    EXPECT_LT(previous, tag) << "tables sorted by tag";
    previous = tag;
    const uint32_t offset = Be32(f, rec + 8), length = Be32(f, rec + 12);
    EXPECT_EQ(offset % 4, 0u);
    std::string data = f.substr(offset, length);
    if (tag == "head") data.replace(8, 4, std::string(4, '\0'));
    EXPECT_EQ(Be32(f, rec + 4), Sum(data)) << tag;
  }
  for (const char* dropped : {"GSUB", "GPOS", "GDEF", "kern", "vmtx"})
    EXPECT_EQ(TableOffset(f, dropped), std::string::npos) << dropped;
  // post without glyph names.
  EXPECT_EQ(Be32(f, TableOffset(f, "post")), 0x00030000u);
}

TEST_F(FontEmbedTest, DamagedFilesAreRefused) {
  // Every cut of the table directory, and a few of the tables.
  for (size_t len : {0, 4, 11, 12, 40, 100, 200, 300, 1000, 100000}) {
    auto r = SubsetTrueType(std::string_view(font_).substr(0, len), {36});
    EXPECT_FALSE(r) << len;
  }
  EXPECT_FALSE(SubsetTrueType(std::string(5000, 'x'), {1}));
  // A CFF-based OpenType font cannot be a TrueType program.
  std::string otto = font_;
  otto.replace(0, 4, "OTTO");
  EXPECT_FALSE(SubsetTrueType(otto, {36}));
  // Damaged loca entries make empty glyphs, not a crash.
  std::string broken = font_;
  const size_t loca = TableOffset(broken, "loca");
  for (size_t i = 0; i < 64; ++i) broken[loca + i] = char(0xFF);
  auto r = SubsetTrueType(broken, {1, 2, 3, 36});
  ASSERT_TRUE(r);
  EXPECT_FALSE(EmbeddedFontFile::Load("/nonexistent/font.ttf"));
}

TEST_F(FontEmbedTest, LicenceBitsDecide) {
  const size_t os2 = TableOffset(font_, "OS/2");
  ASSERT_NE(os2, std::string::npos);
  struct Case {
    uint16_t fsType;
    bool embeddable, subsettable;
  };
  const Case cases[] = {
      {0x0000, true, true},    // installable
      {0x0002, false, false},  // restricted licence
      {0x0004, true, true},    // preview and print
      {0x0006, true, true},    // restricted bit with a permissive one
      {0x0008, true, true},    // editable
      {0x0104, true, false},   // no subsetting
      {0x0204, false, false},  // bitmaps only
  };
  for (const Case& c : cases) {
    std::string f = font_;
    f[os2 + 8] = char(c.fsType >> 8);
    f[os2 + 9] = char(c.fsType & 0xFF);
    const EmbeddingRights r = ReadEmbeddingRights(f);
    EXPECT_EQ(r.embeddable, c.embeddable) << c.fsType;
    if (c.embeddable) {
      EXPECT_EQ(r.subsettable, c.subsettable) << c.fsType;
    }
  }
}

TEST(WinAnsi, Mapping) {
  EXPECT_EQ(WinAnsiToUnicode('A'), U'A');
  EXPECT_EQ(WinAnsiToUnicode(0x80), U'\u20AC');
  EXPECT_EQ(WinAnsiToUnicode(0x81), 0u);
  EXPECT_EQ(WinAnsiToUnicode(0x9F), U'\u0178');
  EXPECT_EQ(WinAnsiToUnicode(0xE9), U'\u00E9');
  EXPECT_EQ(WinAnsiToUnicode(0x10), 0u);
}

std::string InflateStream(const std::string& obj) {
  const size_t s = obj.find("stream\n") + 7;
  const size_t e = obj.rfind("\nendstream");
  std::string data = obj.substr(s, e - s);
  std::string out(1 << 22, '\0');
  uLongf len = uLongf(out.size());
  if (uncompress(reinterpret_cast<Bytef*>(out.data()), &len,
                 reinterpret_cast<const Bytef*>(data.data()), uLong(data.size())) != Z_OK)
    return {};
  out.resize(len);
  return out;
}

// The /W array of a CID font ("first [w1 w2 ...]" runs) as glyph -> width.
std::map<int, int> WidthsOf(const std::string& cid) {
  std::map<int, int> widths;
  const size_t s = cid.find("/W [\n") + 5, e = cid.find("]\n/CIDToGIDMap");
  std::string body = cid.substr(s, e - s);
  for (char& c : body)
    if (c == '[') c = ' ';
  std::istringstream in(body);
  for (std::string word; in >> word;) {
    int gid = std::stoi(word);
    for (std::string w; in >> w;) {
      const bool last = w.back() == ']';
      if (last) w.pop_back();
      widths[gid++] = std::stoi(w);
      if (last) break;
    }
  }
  return widths;
}

// The text of object `no` (its header to "endobj").
std::string Object(const std::string& pdf, int no) {
  const std::string head = "\n" + std::to_string(no) + " 0 obj\n";
  const size_t at = pdf.find(head);
  if (at == std::string::npos) return {};
  return pdf.substr(at + 1, pdf.find("endobj\n", at) - at - 1);
}

TEST(EmbeddedDocument, JapaneseTextIsWrittenAsGlyphIds) {
  const LogFont gothic = test::Gothic();
  if (GetFontEngine().ResolveFile(gothic).find("ipag") == std::string::npos)
    GTEST_SKIP() << "IPA Gothic is not installed";
  SetFixedNow(1700000000);
  CPDF pdf;
  pdf.SetEmbedFonts(true);
  const std::string out = test::SmallDocument(pdf);
  SetFixedNow(-1);

  // The plain numbering is kept; the font files follow the catalog:
  // Liberation Sans 13, IPA Gothic 14 and its ToUnicode map 15.
  EXPECT_EQ(pdf.GetFontNos(), (std::vector<uint32_t>{6, 8}));
  EXPECT_EQ(pdf.GetRootNo(), 12);
  EXPECT_EQ(pdf.GetObjectNo(), 15);
  EXPECT_NE(Object(out, 7).find("/FontFile2 13 0 R\n"), std::string::npos) << Object(out, 7);
  EXPECT_NE(Object(out, 10).find("/FontFile2 14 0 R\n"), std::string::npos);
  const std::string type0 = Object(out, 8);
  EXPECT_NE(type0.find("/Encoding /Identity-H\n/ToUnicode 15 0 R\n"), std::string::npos) << type0;
  EXPECT_NE(type0.find("+IPAGothic\n"), std::string::npos) << type0;
  const std::string cid = Object(out, 9);
  EXPECT_NE(cid.find("/Ordering(Identity)"), std::string::npos);
  EXPECT_NE(cid.find("/CIDToGIDMap /Identity\n"), std::string::npos);

  // The text in glyph ids of the file, 2 bytes each.
  auto file = EmbeddedFontFile::Load(GetFontEngine().ResolveFile(gothic));
  ASSERT_TRUE(file);
  std::string hex;
  std::map<uint16_t, char32_t> expected;
  for (char16_t u : Cp932ToUtf16(test::JapaneseText())) {
    const uint16_t gid = file->GlyphId(u);
    ASSERT_NE(gid, 0);
    char buf[8];
    std::snprintf(buf, sizeof buf, "%04X", gid);
    hex += buf;
    expected[gid] = u;
  }
  const std::string page1 = InflateStream(Object(out, 3));
  EXPECT_NE(page1.find("0 Tc 0 Tw <" + hex + "> Tj\n"), std::string::npos) << page1;
  EXPECT_NE(page1.find("0 Tc 0 Tw (R1 \\(x\\)) Tj\n"), std::string::npos) << page1;

  // Their advances in /W (kanji full width, half-width kana half) and their
  // characters in the ToUnicode map.
  const std::map<int, int> widths = WidthsOf(cid);
  for (const auto& [gid, u] : expected) {
    const int w = u >= 0xFF61 ? 500 : 1000;
    EXPECT_EQ(widths.count(gid) ? widths.at(gid) : -1, w) << gid << "\n" << cid;
    char line[32];
    std::snprintf(line, sizeof line, "<%04X> <%04X>\n", gid, unsigned(u));
    EXPECT_NE(InflateStream(Object(out, 15)).find(line), std::string::npos) << line;
  }
  // The embedded program is the subset: far smaller than the 6 MB file.
  const std::string program = Object(out, 14);
  EXPECT_LT(std::stoul(program.substr(program.find("/Length ") + 8)), 200000u);
}

TEST(EmbeddedDocument, APageWithoutGlyphIdsKeepsTheShiftJisForm) {
  const LogFont gothic = test::Gothic();
  if (GetFontEngine().ResolveFile(gothic).find("ipag") == std::string::npos)
    GTEST_SKIP() << "IPA Gothic is not installed";
  CPDF pdf;
  pdf.SetEmbedFonts(true);
  CPDFPage page;
  page.SetFontNumberer([&pdf](const LogFont& f) { return pdf.GetFontNo(f); });
  page.WriteInit(false, 0);
  page.DrawText(test::JapaneseText(), {0, 0}, 100, 0, gothic);
  pdf.NewPage(page);
  std::string out;
  pdf.WritePDF(out);
  EXPECT_NE(InflateStream(Object(out, 3)).find("<92EF8D52B1B2B3> Tj"), std::string::npos);
  EXPECT_NE(Object(out, 4).find("/Encoding /90ms-RKSJ-H\n"), std::string::npos) << Object(out, 4);
  EXPECT_EQ(out.find("/FontFile2"), std::string::npos);
}

}  // namespace
}  // namespace tavro
