#include "core/platform/font.h"

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <string>
#include <vector>

#include "core/platform/codec.h"
#include "core/platform/font_engine.h"
#include "core/platform/settings.h"

// Expected sizes below were worked out by hand from the fonts' own tables
// (head unitsPerEm, hhea, OS/2 and the hmtx advances read with a small table
// dump of the installed files), not with the engine:
//   Liberation Sans Regular: unitsPerEm 2048, usWinAscent 1854, usWinDescent
//     434 (cell 2288), hhea line gap 67, xAvgCharWidth 1187, advanceWidthMax
//     2740, glyph 0 1536; advances A 1366, R 1479, 1 1139, i 455.
//   Liberation Sans Bold: A 1479, R 1479, 1 1139, i 569.
//   Liberation Mono Regular: cell 1705 + 615 = 2320, every advance 1229.
//   IPAGothic (ipag.ttf): unitsPerEm 2048, usWinAscent 1802, usWinDescent 401
//     (cell 2203), line gap 0, hhea ascender - descender 2048, xAvgCharWidth
//     1024; kanji 2048, half-width katakana 1024.
//   IPAMincho (ipam.ttf): cell 1802 + 455 = 2257, kanji 2048.
// A width at cell height h is round(advance * h / cell) per character.

namespace tavro {
namespace {

LogFont Font(std::string_view face, int32_t weight = 400, uint8_t italic = 0, uint8_t charSet = 0) {
  LogFont f;
  f.SetFaceName(face);
  f.weight = weight;
  f.italic = italic;
  f.charSet = charSet;
  return f;
}

// Double-byte code of a one-character CP932 string.
unsigned Code(const std::string& cp932) {
  return (static_cast<unsigned char>(cp932[0]) << 8) | static_cast<unsigned char>(cp932[1]);
}

// Sets a "Default" string for the duration of a test.
class DefaultFace {
 public:
  DefaultFace(const char* key, const std::string& value) : key_(key) {
    AppSettings().WriteString("Default", key_, value);
  }
  ~DefaultFace() { AppSettings().DeleteValue("Default", key_); }

 private:
  const char* key_;
};

TEST(LogFontTest, KnownByteImage) {
  LogFont f = Font("Arial", 700, 1);
  f.height = -13;
  const uint8_t expected[LogFont::kSize] = {
      0xF3, 0xFF, 0xFF, 0xFF,               // height -13
      0,    0,    0,    0,                  // width
      0,    0,    0,    0,                  // escapement
      0,    0,    0,    0,                  // orientation
      0xBC, 0x02, 0,    0,                  // weight 700
      1,    0,    0,    0,    0,  0, 0, 0,  // italic, underline, ... pitch and family
      'A',  'r',  'i',  'a',  'l'};         // face, zero-filled to 32 bytes
  const auto bytes = f.ToBytes();
  EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.end()),
            std::vector<uint8_t>(expected, expected + LogFont::kSize));
  EXPECT_EQ(LogFont::FromBytes(expected), f);
}

TEST(LogFontTest, RoundTripKeepsEveryByte) {
  // Every byte distinct and non-zero, so a field written in the wrong place
  // or order shows up.
  uint8_t image[LogFont::kSize];
  for (size_t i = 0; i < LogFont::kSize; ++i) image[i] = static_cast<uint8_t>(0x80 + i);
  const LogFont f = LogFont::FromBytes(image);
  EXPECT_EQ(f.height, static_cast<int32_t>(0x83828180u));
  EXPECT_EQ(f.weight, static_cast<int32_t>(0x93929190u));
  EXPECT_EQ(f.italic, 0x94);
  EXPECT_EQ(f.charSet, 0x97);
  EXPECT_EQ(f.pitchAndFamily, 0x9B);
  EXPECT_EQ(static_cast<uint8_t>(f.faceName[0]), 0x9C);
  const auto back = f.ToBytes();
  EXPECT_TRUE(std::equal(back.begin(), back.end(), image));

  LogFont g;
  g.height = 70;
  g.width = -5;
  g.escapement = 2700;
  g.orientation = 900;
  g.weight = 400;
  g.underline = 1;
  g.strikeOut = 1;
  g.charSet = 128;
  g.outPrecision = 3;
  g.clipPrecision = 2;
  g.quality = 1;
  g.pitchAndFamily = 0x31;
  g.SetFaceName(J("ＭＳ ゴシック"));
  EXPECT_EQ(LogFont::FromBytes(g.ToBytes().data()), g);
  EXPECT_EQ(g.FaceName(), J("ＭＳ ゴシック"));
}

TEST(LogFontTest, FaceNameIsCutToThirtyOneBytesAtACharacterBoundary) {
  LogFont f;
  f.SetFaceName(std::string(40, 'x'));
  EXPECT_EQ(f.FaceName(), std::string(31, 'x'));
  EXPECT_EQ(f.faceName[31], '\0');
  // 30 single bytes and then a double-byte character: only its lead byte
  // would fit, so it is left out entirely.
  f.SetFaceName(std::string(30, 'x') + J("抵"));
  EXPECT_EQ(f.FaceName(), std::string(30, 'x'));
  f.SetFaceName("Arial");
  EXPECT_EQ(f.FaceName(), "Arial");
  EXPECT_EQ(f.faceName[5], '\0');
}

class FontEngineTest : public ::testing::Test {
 protected:
  static FcFtFontEngine& Engine() {
    static FcFtFontEngine engine;
    return engine;
  }
};

TEST_F(FontEngineTest, FaceNamesResolveToTheStandInFiles) {
  struct Case {
    std::string face;
    int32_t weight;
    uint8_t italic;
    uint8_t charSet;
    const char* file;
  };
  const Case cases[] = {
      {"Arial", 400, 0, 0, "LiberationSans-Regular.ttf"},
      {"arial", 0, 0, 0, "LiberationSans-Regular.ttf"},
      {"Arial", 700, 0, 0, "LiberationSans-Bold.ttf"},
      {"Arial", 400, 1, 0, "LiberationSans-Italic.ttf"},
      {"Arial", 700, 1, 0, "LiberationSans-BoldItalic.ttf"},
      {"Times New Roman", 400, 0, 0, "LiberationSerif-Regular.ttf"},
      {"Courier New", 400, 0, 0, "LiberationMono-Regular.ttf"},
      {J("ＭＳ ゴシック"), 400, 0, 128, "ipag.ttf"},
      {J("@ＭＳ ゴシック"), 400, 0, 128, "ipag.ttf"},
      {"MS Gothic", 400, 0, 128, "ipag.ttf"},
      {J("ＭＳ Ｐゴシック"), 400, 0, 128, "ipagp.ttf"},
      {J("メイリオ"), 400, 0, 128, "ipagp.ttf"},
      {J("ＭＳ 明朝"), 400, 0, 128, "ipam.ttf"},
      {J("ＭＳ Ｐ明朝"), 400, 0, 128, "ipamp.ttf"},
      {"MS Mincho", 400, 0, 128, "ipam.ttf"},
      {"IPAGothic", 400, 0, 128, "ipag.ttf"},
      // Japanese faces nobody knows: by their name, or by the character set.
      {J("ＨＧ丸ゴシックM-PRO"), 400, 0, 128, "ipag.ttf"},
      {J("ＨＧ明朝Ｅ"), 400, 0, 0, "ipam.ttf"},
      {"NoSuchFaceAnywhere", 400, 0, 128, "ipag.ttf"},
      // No face: the "FontE" default (Arial), or "FontJ" (IPAGothic) for set 128.
      {"", 400, 0, 0, "LiberationSans-Regular.ttf"},
      {"", 400, 0, 128, "ipag.ttf"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Cp932ToUtf8(c.face));
    const std::string path = Engine().ResolveFile(Font(c.face, c.weight, c.italic, c.charSet));
    EXPECT_EQ(std::filesystem::path(path).filename(), c.file) << path;
  }
}

TEST_F(FontEngineTest, MetricsFollowTheFontTables) {
  // Arial at a cell of 70: scale 70 / 2288. ascent round(56.72) = 57, descent
  // 70 - 57; em round(62.66) = 63 -> internal leading 7; external leading
  // round(67 * s) = 2 (line gap 67, hhea height equals the cell); average
  // round(36.32) = 36; maximum round(83.83) = 84.
  FontMetrics m = Engine().Metrics(Font("Arial"), 70);
  EXPECT_EQ(m.ascent, 57);
  EXPECT_EQ(m.descent, 13);
  EXPECT_EQ(m.Height(), 70);
  EXPECT_EQ(m.internalLeading, 7);
  EXPECT_EQ(m.externalLeading, 2);
  EXPECT_EQ(m.aveCharWidth, 36);
  EXPECT_EQ(m.maxCharWidth, 84);
  EXPECT_EQ(m.firstChar, 0x20);
  EXPECT_EQ(m.lastChar, 0xFF);

  // An em of 1000 (the PDF writer's height -1000): scale 1000 / 2048.
  // ascent round(905.27), descent round(211.91), internal 1117 - 1000,
  // external round(32.71), average round(579.59), maximum round(1337.89).
  m = Engine().Metrics(Font("Arial"), -1000);
  EXPECT_EQ(m.ascent, 905);
  EXPECT_EQ(m.descent, 212);
  EXPECT_EQ(m.internalLeading, 117);
  EXPECT_EQ(m.externalLeading, 33);
  EXPECT_EQ(m.aveCharWidth, 580);
  EXPECT_EQ(m.maxCharWidth, 1338);
  EXPECT_EQ(Engine().CharWidth(Font("Arial"), -1000, 'A'), 667);  // 1366 * 1000 / 2048

  // IPAGothic at 70: scale 70 / 2203. ascent round(57.26), em round(65.07)
  // -> internal 5; the hhea height is below the cell -> no external leading.
  m = Engine().Metrics(Font(J("ＭＳ ゴシック"), 400, 0, 128), 70);
  EXPECT_EQ(m.ascent, 57);
  EXPECT_EQ(m.descent, 13);
  EXPECT_EQ(m.internalLeading, 5);
  EXPECT_EQ(m.externalLeading, 0);
  EXPECT_EQ(m.aveCharWidth, 33);
  EXPECT_EQ(m.maxCharWidth, 65);
}

TEST_F(FontEngineTest, MeasuresAtTwoHeights) {
  struct Case {
    std::string face;
    uint8_t charSet;
    std::string text;
    int height;
    int width;
  };
  const Case cases[] = {
      // A round(41.79) + R round(45.25) + 1 round(34.85)
      {"Arial", 0, "AR1", 70, 42 + 45 + 35},
      // A round(83.58) + R round(90.49) + 1 round(69.69)
      {"Arial", 0, "AR1", 140, 84 + 90 + 70},
      // Two kanji of 2048 units: round(65.07) and round(130.14) each.
      {J("ＭＳ ゴシック"), 128, J("抵抗"), 70, 2 * 65},
      {J("ＭＳ ゴシック"), 128, J("抵抗"), 140, 2 * 130},
      // The Gothic's Latin letters are half-width: round(32.54) each.
      {J("ＭＳ ゴシック"), 128, "AR", 70, 2 * 33},
      {"Arial", 0, "", 70, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Cp932ToUtf8(c.face) + " " + Cp932ToUtf8(c.text) + " " + std::to_string(c.height));
    const TextExtent e = Engine().Measure(Font(c.face, 400, 0, c.charSet), c.height, c.text);
    EXPECT_EQ(e.cx, c.width);
    EXPECT_EQ(e.cy, c.height);
  }
}

TEST_F(FontEngineTest, CharWidthAgreesWithMeasure) {
  const LogFont arial = Font("Arial");
  EXPECT_EQ(Engine().CharWidth(arial, 70, 'A'), 42);
  EXPECT_EQ(Engine().CharWidth(arial, 70, 'i'), 14);  // 455 -> round(13.92)
  // A kanji that Arial lacks is measured in the Japanese face, as shown.
  EXPECT_EQ(Engine().CharWidth(arial, 70, Code(J("抵"))), 65);
  EXPECT_EQ(Engine().Measure(arial, 70, J("抵抗")).cx, 130);
  const LogFont gothic = Font(J("ＭＳ ゴシック"), 400, 0, 128);
  EXPECT_EQ(Engine().CharWidth(gothic, 140, Code(J("抗"))), 130);
}

TEST_F(FontEngineTest, BoldIsWiderThanRegular) {
  // i: regular 455 -> 14, bold 569 -> round(17.41) = 17; A 1366 -> 42, 1479 -> 45.
  EXPECT_EQ(Engine().Measure(Font("Arial", 400), 70, "Ai").cx, 42 + 14);
  EXPECT_EQ(Engine().Measure(Font("Arial", 700), 70, "Ai").cx, 45 + 17);
}

TEST_F(FontEngineTest, RecordWidthScalesAlongTheText) {
  // A width of 18 at a natural average of 1187 units: advances scale by
  // 18 / 1187 -> A round(20.71), R round(22.43), 1 round(17.27).
  LogFont f = Font("Arial");
  f.width = 18;
  EXPECT_EQ(Engine().Metrics(f, 70).aveCharWidth, 18);
  EXPECT_EQ(Engine().Metrics(f, 70).Height(), 70);
  EXPECT_EQ(Engine().Measure(f, 70, "AR1").cx, 21 + 22 + 17);
  // With its own height the record's width belongs to that height: an em of
  // 13 has an average of 7.53, so a width of 6 narrows by 6 / 7.53 at any
  // height; the average at 70 is 36.32 * 0.797 = round(28.92).
  f.height = -13;
  f.width = 6;
  EXPECT_EQ(Engine().Metrics(f, 70).aveCharWidth, 29);
}

TEST_F(FontEngineTest, DefaultMeasurementSumsBothFaces) {
  // Defaults: "FontE" Arial for R1 (45 + 35), IPAGothic for the kanji (2 * 65).
  TextExtent e = Engine().MeasureDefault(70, "R1" + J("抵抗"));
  EXPECT_EQ(e.cx, 45 + 35 + 130);
  EXPECT_EQ(e.cy, 70);
  EXPECT_EQ(Engine().MeasureDefault(70, "R1").cx, Engine().Measure(Font("Arial"), 70, "R1").cx);
  // A half-width katakana is single-byte but Arial lacks it: IPAGothic's 1024
  // units, round(32.54).
  EXPECT_EQ(Engine().MeasureDefault(70, J("ｱ")).cx, 33);

  // Other defaults: Liberation Mono 1229 / 2320 * 70 = round(37.08) per
  // letter, IPAMincho 2048 / 2257 * 70 = round(63.52) per kanji.
  DefaultFace e1("FontE", "Courier New");
  DefaultFace j1("FontJ", J("ＭＳ 明朝"));
  e = Engine().MeasureDefault(70, "R1" + J("抵抗"));
  EXPECT_EQ(e.cx, 2 * 37 + 2 * 64);
  EXPECT_EQ(e.cy, 70);
}

TEST_F(FontEngineTest, UnknownFacesAndBadBytesStillMeasure) {
  const LogFont unknown = Font("No Such Face At All");
  EXPECT_FALSE(Engine().ResolveFile(unknown).empty());
  const TextExtent e = Engine().Measure(unknown, 70, "AR1");
  EXPECT_GT(e.cx, 0);
  EXPECT_EQ(e.cy, 70);

  // A lone lead byte at the end, a lead byte with a bad trail byte, bytes that
  // are not CP932: each is as wide as Arial's glyph 0 (1536 -> round(46.99)).
  const LogFont arial = Font("Arial");
  for (const std::string bad : {"A\x81", "A\x81\x20", "A\xFF", "A\x80", "A\xFD\xFE"}) {
    const TextExtent b = Engine().Measure(arial, 70, bad);
    EXPECT_GE(b.cx, 42 + 47) << Cp932ToUtf8(bad);
    EXPECT_EQ(b.cy, 70);
  }
  EXPECT_EQ(Engine().Measure(arial, 70, "A\x81").cx, 42 + 47);
  EXPECT_EQ(Engine().CharWidth(arial, 70, 0x4142), 47);  // not a double-byte code
  EXPECT_EQ(Engine().CharWidth(arial, 70, 0x123456), 47);
  EXPECT_GE(Engine().MeasureDefault(70, "\x81\x20\xFF\x81").cx, 0);

  // Heights of zero and absurd sizes neither crash nor overflow.
  EXPECT_EQ(Engine().Measure(arial, 0, "AR1").cx, 0);
  EXPECT_GT(Engine().Measure(arial, INT_MAX, std::string(1000, 'W')).cx, 0);
  EXPECT_GT(Engine().Metrics(arial, INT_MIN).Height(), 0);
}

TEST_F(FontEngineTest, BatchGivesTheFiguresMeasuredOutsideIt) {
  // A batch keeps the rounded advance of each character per record and
  // height: every string must still come out as measured afresh, the first
  // time (advances being taken) and the second (advances kept), for own
  // faces, record widths, the default faces, double-byte texts, characters
  // taken from the fallback face and bytes that are not CP932.
  LogFont narrow = Font("Arial");
  narrow.width = 18;
  LogFont ownHeight = Font("Arial");
  ownHeight.height = -13;
  ownHeight.width = 6;
  const LogFont fonts[] = {Font("Arial"),
                           Font("Arial", 700),
                           Font("Arial", 400, 1),
                           narrow,
                           ownHeight,
                           Font(J("ＭＳ ゴシック"), 400, 0, 128),
                           Font("", 400, 0, 0),
                           Font("", 400, 0, 128),
                           Font("Courier New"),
                           Font("No Such Face At All")};
  const int heights[] = {70, 65, 140, 13, 1, 0, -1000};
  const std::string texts[] = {"AR1",          "Ai",    J("抵抗"),       "R1" + J("抵抗"),
                               J("ｱｲ") + "x~", "A\x81", "A\x81\x20\xFF", "\xFD\xFE",
                               "\\n&V&x",      ""};
  struct Figure {
    std::string what;
    TextExtent extent;
  };
  auto measureAll = [&] {
    std::vector<Figure> v;
    for (const std::string& t : texts) {
      for (int h : heights) {
        const std::string at = " at " + std::to_string(h) + ": " + Cp932ToUtf8(t);
        for (const LogFont& f : fonts)
          v.push_back({Cp932ToUtf8(f.FaceName()) + " weight " + std::to_string(f.weight) +
                           " width " + std::to_string(f.width) + " height " +
                           std::to_string(f.height) + at,
                       Engine().Measure(f, h, t)});
        v.push_back({"default faces" + at, Engine().MeasureDefault(h, t)});
      }
    }
    return v;
  };
  const std::vector<Figure> outside = measureAll();
  Engine().BeginBatch();
  const std::vector<Figure> first = measureAll();
  Engine().BeginBatch();  // nested: the same batch
  const std::vector<Figure> kept = measureAll();
  Engine().EndBatch();
  Engine().EndBatch();
  ASSERT_EQ(first.size(), outside.size());
  ASSERT_EQ(kept.size(), outside.size());
  for (size_t i = 0; i < outside.size(); ++i) {
    SCOPED_TRACE(outside[i].what);
    EXPECT_EQ(first[i].extent.cx, outside[i].extent.cx);
    EXPECT_EQ(first[i].extent.cy, outside[i].extent.cy);
    EXPECT_EQ(kept[i].extent.cx, outside[i].extent.cx);
    EXPECT_EQ(kept[i].extent.cy, outside[i].extent.cy);
  }
}

TEST_F(FontEngineTest, EachBatchTakesTheDefaultFacesAsTheyAreWhenItStarts) {
  const LogFont noFace = Font("");
  const LogFont arial = Font("Arial");
  // Arial for "R1" (45 + 35), IPAGothic for a kanji Arial lacks (65).
  Engine().BeginBatch();
  EXPECT_EQ(Engine().MeasureDefault(70, "R1").cx, 45 + 35);
  EXPECT_EQ(Engine().Measure(noFace, 70, "R1").cx, 45 + 35);
  EXPECT_EQ(Engine().Measure(arial, 70, J("抵")).cx, 65);
  Engine().EndBatch();

  // Liberation Mono round(37.08) a letter, IPAMincho round(63.52) a kanji.
  DefaultFace e("FontE", "Courier New");
  DefaultFace j("FontJ", J("ＭＳ 明朝"));
  Engine().BeginBatch();
  EXPECT_EQ(Engine().MeasureDefault(70, "R1").cx, 2 * 37);
  EXPECT_EQ(Engine().Measure(noFace, 70, "R1").cx, 2 * 37);
  EXPECT_EQ(Engine().Measure(arial, 70, J("抵")).cx, 64);
  Engine().EndBatch();
}

TEST(FontEngineFallbackTest, WithoutFontsFixedMetricsApply) {
  FcFtFontEngine engine(FcFtFontEngine::Options{.systemFonts = false});
  const LogFont arial = Font("Arial");
  EXPECT_EQ(engine.ResolveFile(arial), "");
  // Single-byte characters half the height, double-byte characters the height.
  TextExtent e = engine.Measure(arial, 70, "AB" + J("抵"));
  EXPECT_EQ(e.cx, 35 + 35 + 70);
  EXPECT_EQ(e.cy, 70);
  e = engine.MeasureDefault(140, "R1" + J("抵抗"));
  EXPECT_EQ(e.cx, 70 + 70 + 140 + 140);
  EXPECT_EQ(e.cy, 140);
  const FontMetrics m = engine.Metrics(arial, 70);
  EXPECT_EQ(m.ascent, 56);
  EXPECT_EQ(m.Height(), 70);
  EXPECT_EQ(m.aveCharWidth, 35);
  EXPECT_EQ(m.maxCharWidth, 70);
}

TEST(FontEngineGlobalTest, SetFontEngineReplacesAndRestores) {
  FcFtFontEngine fixed(FcFtFontEngine::Options{.systemFonts = false});
  FontEngine* original = &GetFontEngine();
  SetFontEngine(&fixed);
  EXPECT_EQ(&GetFontEngine(), &fixed);
  SetFontEngine(nullptr);
  EXPECT_EQ(&GetFontEngine(), original);
  EXPECT_EQ(GetFontEngine().Measure(Font("Arial"), 70, "AR1").cx, 122);
}

}  // namespace
}  // namespace tavro
