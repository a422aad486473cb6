// The document writer: object numbering, offsets and the cross-reference
// table, pages, fonts, information, the options, and a whole small document
// against its golden file. A stub font engine with fixed metrics and a fixed
// clock keep every byte independent of the machine.
#include "core/pdf/pdf.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <map>
#include <string>

#include "core/platform/clock.h"
#include "core/platform/codec.h"
#include "core/platform/settings.h"
#include "pdf/pdf_fixture.h"
#include "pdf/stub_font_engine.h"
#include "support/test_util.h"

namespace tavro {
namespace {

using test::Arial;
using test::Gothic;
using test::MakeFont;

class PdfTest : public ::testing::Test {
 protected:
  void SetUp() override { SetFixedNow(1700000000); }  // 2023-11-15 07:13:20 JST
  void TearDown() override { SetFixedNow(-1); }
  test::StubFontEngine engine_;
  test::ScopedFontEngine scoped_{&engine_};
};

std::string Inflate(std::string_view data) {
  z_stream z{};
  inflateInit(&z);
  std::string out;
  char buf[4096];
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  z.avail_in = uInt(data.size());
  int rc = Z_OK;
  while (rc == Z_OK) {
    z.next_out = reinterpret_cast<Bytef*>(buf);
    z.avail_out = sizeof buf;
    rc = inflate(&z, Z_NO_FLUSH);
    out.append(buf, sizeof buf - z.avail_out);
  }
  inflateEnd(&z);
  return rc == Z_STREAM_END ? out : "<inflate failed>";
}

// Checks the file's frame: every cross-reference entry is 20 bytes and points
// at its object's header, the count is the highest number plus one, and
// startxref points at the table. Fills `objects` with each object's text.
::testing::AssertionResult Structure(const std::string& pdf,
                                     std::map<int, std::string>* objects = nullptr) {
  const size_t tail = pdf.rfind("startxref\n");
  if (tail == std::string::npos || pdf.substr(pdf.size() - 6) != "%%EOF\n")
    return ::testing::AssertionFailure() << "no trailer";
  const size_t start = std::stoul(pdf.substr(tail + 10));
  if (pdf.compare(start, 7, "xref\n0 ") != 0)
    return ::testing::AssertionFailure() << "startxref does not point at the table";
  const size_t countAt = start + 7;
  const int count = std::stoi(pdf.substr(countAt));
  size_t at = pdf.find('\n', countAt) + 1;
  if (pdf.compare(at, 20, "0000000000 65535 f \n") != 0)
    return ::testing::AssertionFailure() << "entry 0";
  at += 20;
  for (int no = 1; no < count; ++no, at += 20) {
    const std::string entry = pdf.substr(at, 20);
    if (entry.size() != 20 || entry.substr(10) != " 00000 n \n")
      return ::testing::AssertionFailure() << "entry " << no << ": " << entry;
    const size_t offset = std::stoul(entry.substr(0, 10));
    const std::string head = std::to_string(no) + " 0 obj\n";
    if (pdf.compare(offset, head.size(), head) != 0)
      return ::testing::AssertionFailure() << "entry " << no << " points elsewhere";
    if (objects) {
      const size_t end = pdf.find("endobj\n", offset);
      (*objects)[no] = pdf.substr(offset, end - offset);
    }
  }
  if (pdf.compare(at, 8, "trailer\n") != 0)
    return ::testing::AssertionFailure() << "table longer than its count";
  const std::string size = "/Size " + std::to_string(count) + "\n";
  if (pdf.find(size, at) == std::string::npos)
    return ::testing::AssertionFailure() << "trailer size";
  // Nothing is numbered beyond the table.
  if (pdf.find(std::to_string(count) + " 0 obj\n") != std::string::npos)
    return ::testing::AssertionFailure() << "an object beyond the count";
  return ::testing::AssertionSuccess();
}

// The data of the stream object `text` (from "stream\n" to the line end
// before "endstream", as /Length counts it).
std::string StreamData(const std::string& text, size_t* length = nullptr) {
  const size_t l = text.find("/Length ");
  if (length) *length = std::stoul(text.substr(l + 8));
  const size_t s = text.find("stream\n") + 7;
  const size_t e = text.rfind("\nendstream");
  return text.substr(s, e - s);
}

std::string Write(CPDF& pdf) {
  std::string out;
  pdf.WritePDF(out);
  return out;
}

TEST_F(PdfTest, TwoSheetsTwoFontsAreNumberedInOrder) {
  CPDF pdf;
  pdf.SetInfo("t", "", "");
  CPDFPage page;
  pdf.BindPage(page);
  page.WriteInit(false, 0);
  page.DrawText("A", {0, 0}, 100, 0, Arial());
  pdf.NewPage(page);
  page.WriteInit(false, 0);
  page.DrawText(J("あ"), {0, 0}, 100, 0, Gothic());
  pdf.NewPage(page);
  const std::string out = Write(pdf);

  EXPECT_EQ(pdf.GetPageNos(), (std::vector<uint32_t>{1, 4}));
  EXPECT_EQ(pdf.GetPagesNo(), 2);
  EXPECT_EQ(pdf.GetPages()[0]->GetObjNo(), 3);
  EXPECT_EQ(pdf.GetPages()[1]->GetObjNo(), 5);
  EXPECT_EQ(pdf.GetFontNos(), (std::vector<uint32_t>{6, 8}));
  EXPECT_EQ(pdf.GetInfoNo(), 11);
  EXPECT_EQ(pdf.GetRootNo(), 12);
  EXPECT_EQ(pdf.GetObjectNo(), 12);

  std::map<int, std::string> obj;
  ASSERT_TRUE(Structure(out, &obj));
  EXPECT_EQ(obj.size(), 12u);
  EXPECT_NE(out.find("xref\n0 13\n"), std::string::npos);
  const std::pair<int, const char*> kinds[] = {
      {1, "/Type /Page\n/Parent 2 0 R\n"},
      {2, "/Type /Pages\n/Kids [1 0 R 4 0 R ]\n"},
      {3, "/Filter /FlateDecode"},
      {4, "/Type /Page\n"},
      {5, "/Filter /FlateDecode"},
      {6, "/Type /Font\n/Subtype /TrueType\n"},
      {7, "/Type /FontDescriptor\n"},
      {8, "/Type /Font\n/Subtype /Type0\n"},
      {9, "/Subtype /CIDFontType2\n"},
      {10, "/Type /FontDescriptor\n"},
      {11, "/Producer (TAVRO to PDF Converter Ver1.00)\n"},
      {12, "/Type /Catalog\n/Pages 2 0 R\n"},
  };
  for (const auto& [no, text] : kinds)
    EXPECT_NE(obj[no].find(text), std::string::npos) << no << ":\n" << obj[no];
  // Every page lists every font of the document.
  for (int no : {1, 4})
    EXPECT_NE(obj[no].find("/Font <<\n/F0 6 0 R\n/F1 8 0 R\n>>\n/ProcSet [/PDF /Text]\n>>\n"),
              std::string::npos);
  EXPECT_NE(obj[8].find("/DescendantFonts [9 0 R]\n"), std::string::npos);
  EXPECT_NE(obj[9].find("/WinCharSet 128/FontDescriptor 10 0 R\n"), std::string::npos);
  EXPECT_NE(obj[6].find("/FontDescriptor 7 0 R\n"), std::string::npos);
}

TEST_F(PdfTest, ContentsAreDeflatedWithTheLineEndCounted) {
  CPDF pdf;
  CPDFPage page;
  page.WriteInit(false, 0);
  page.WriteLine({0, 0}, {1000, 1000});
  const std::string content = page.GetContent();
  pdf.NewPage(page);
  EXPECT_EQ(page.GetContent(), "");
  std::map<int, std::string> obj;
  const std::string out = Write(pdf);
  ASSERT_TRUE(Structure(out, &obj));
  size_t length = 0;
  const std::string data = StreamData(obj[3], &length);
  EXPECT_EQ(length, data.size() + 1);
  EXPECT_EQ(data.substr(0, 2), "\x78\x9c");  // a zlib stream at the default level
  EXPECT_EQ(Inflate(data), content);
  EXPECT_NE(obj[3].find("3 0 obj\n<<\n/Length "), std::string::npos);
  EXPECT_EQ(obj[3].substr(obj[3].size() - 11), "\nendstream\n");
}

TEST_F(PdfTest, APageWithoutTextsHasNoFonts) {
  CPDF pdf;
  CPDFPage page;
  page.WriteInit(false, 0);
  page.WriteCircle({0, 0}, 10, false);
  pdf.NewPage(page);
  std::map<int, std::string> obj;
  const std::string out = Write(pdf);
  ASSERT_TRUE(Structure(out, &obj));
  EXPECT_NE(obj[1].find("/Resources <<\n/ProcSet [/PDF]\n>>\n/Contents 3 0 R\n"), std::string::npos)
      << obj[1];
  EXPECT_EQ(out.find("/Font"), std::string::npos);
}

TEST_F(PdfTest, AnEmptyPageHasNoContentsEntryButItsObject) {
  CPDF pdf;
  CPDFPage page;
  pdf.NewPage(page);  // nothing written on it
  std::map<int, std::string> obj;
  const std::string out = Write(pdf);
  ASSERT_TRUE(Structure(out, &obj));
  EXPECT_EQ(obj[1].find("/Contents"), std::string::npos);
  EXPECT_EQ(Inflate(StreamData(obj[3])), "");
}

TEST_F(PdfTest, FontsAreTheSameByCharSetFaceItalicAndWeight) {
  CPDF pdf;
  LogFont a = Arial();
  a.height = 100;
  LogFont b = Arial();
  b.height = 250;  // another height
  b.width = 40;
  b.escapement = 900;
  EXPECT_EQ(pdf.GetFontNo(a), 0);
  EXPECT_EQ(pdf.GetFontNo(b), 0);
  const LogFont others[] = {
      MakeFont("Arial", 0, 700),  MakeFont("Arial", 0, 400, 1), MakeFont("Arial", 128),
      MakeFont("Arial Black", 0), MakeFont("arial", 0),
  };
  int next = 1;
  for (const LogFont& f : others) EXPECT_EQ(pdf.GetFontNo(f), next++) << f.FaceName();
  EXPECT_EQ(pdf.GetFontNo(MakeFont("Arial", 0, 700)), 1);
  EXPECT_EQ(pdf.GetFonts().size(), 6u);
  // Walking the fonts.
  size_t pos = pdf.GetFirstFontPos();
  int seen = 0;
  while (const CPDFFont* f = pdf.GetNextFont(pos)) EXPECT_EQ(f->GetFontNo(), seen++);
  EXPECT_EQ(seen, 6);
  // Fonts compare by number only.
  EXPECT_EQ(CPDFFont(Arial(), 3), CPDFFont(Gothic(), 3));
  EXPECT_FALSE(CPDFFont(Arial(), 3) == CPDFFont(Arial(), 4));
}

TEST_F(PdfTest, MediaBoxes) {
  CPDF pdf;
  CPDFPage page;
  for (int code : {0, 1, 2, 3, 4, 5, 9}) {
    page.SetPageSize(code);
    pdf.NewPage(page);
  }
  std::map<int, std::string> obj;
  const std::string out = Write(pdf);
  ASSERT_TRUE(Structure(out, &obj));
  const char* const boxes[] = {"1684 1191", "1191 842", "842 595",
                               "1191 1684", "842 1191", "595 842"};
  for (int i = 0; i < 6; ++i)
    EXPECT_NE(
        obj[int(pdf.GetPageNos()[i])].find(std::string("/MediaBox [0 0 ") + boxes[i] + " ]\n"),
        std::string::npos)
        << i;
  // A size code from a damaged file: the page takes the tree's box.
  EXPECT_EQ(obj[int(pdf.GetPageNos()[6])].find("/MediaBox"), std::string::npos);
  // The page tree is A4 landscape whatever its pages are.
  EXPECT_NE(obj[2].find("/Count 7\n/MediaBox [0 0 842 595 ]\n"), std::string::npos) << obj[2];
}

TEST_F(PdfTest, Information) {
  struct Case {
    std::string text;
    std::string written;
  };
  const Case cases[] = {
      {"", ""},
      {"abc", "<FEFF006100620063>"},
      {J("あ"), "<FEFF3042>"},  // a double-byte character is one group
      {"A" + J("回路図ｱ"), "<FEFF004156DE8DEF56F3FF71>"},
  };
  for (const Case& c : cases) EXPECT_EQ(CPDF::ConvShiftStr(c.text), c.written) << c.text;

  CPDF pdf;
  pdf.SetInfo("abc", "", J("あ"));
  std::map<int, std::string> obj;
  const std::string out = Write(pdf);
  ASSERT_TRUE(Structure(out, &obj));
  EXPECT_EQ(obj[pdf.GetInfoNo()],
            std::to_string(pdf.GetInfoNo()) +
                " 0 obj\n<<\n/Title <FEFF006100620063>\n/Author <FEFF3042>\n/Creator (Tavro)\n"
                "/CreationDate (D:20231115071320)\n"
                "/Producer (TAVRO to PDF Converter Ver1.00)\n>>\n");
}

TEST_F(PdfTest, SingleByteFont) {
  CPDF pdf;
  CPDFPage page;
  pdf.NewPage(page);  // objects 1 to 3
  pdf.GetFontNo(MakeFont("Courier New", 0, 400, 1));
  std::map<int, std::string> obj;
  const std::string out = Write(pdf);
  ASSERT_TRUE(Structure(out, &obj));
  // Widths of the stub: 500 + (code % 5) * 10, a line end after codes 15 mod 16.
  std::string widths;
  for (int code = 32; code <= 255; ++code) {
    widths += std::to_string(500 + (code % 5) * 10) + " ";
    if (code % 16 == 15) widths += "\n";
  }
  EXPECT_EQ(obj[4],
            "4 0 obj\n<<\n/Type /Font\n/Subtype /TrueType\n/Encoding /WinAnsiEncoding\n"
            "/FirstChar 32\n/LastChar 255\n/BaseFont /CourierNew\n/Name /F0\n/Widths [\n" +
                widths + "]\n/FontDescriptor 5 0 R\n>>\n");
  // Cap height = ascent + external leading; leading = internal + external.
  EXPECT_EQ(obj[5],
            "5 0 obj\n<<\n/Type /FontDescriptor\n/Subtype /TrueType\n/Encoding /WinAnsiEncoding\n"
            "/Flags 32\n/FontBBox [ -250 -212 1205 1000 ]\n/MissingWidth 275\n"
            "/FontName /CourierNew\n/StemV 80\n/StemH 80\n/ItalicAngle 1\n/CapHeight 972\n"
            "/Ascent 905\n/Descent -212\n/Leading 100\n/MaxWidth 1004\n/AvgWidth 441\n>>\n");
}

TEST_F(PdfTest, FaceNamesThatAreNotPlainNames) {
  CPDF pdf;
  pdf.GetFontNo(MakeFont("My Font#1 (x)", 0));
  const std::string out = Write(pdf);
  EXPECT_NE(out.find("/BaseFont /MyFont#231#28x#29\n"), std::string::npos);
}

TEST_F(PdfTest, JapaneseFonts) {
  struct Case {
    std::string face;
    const char* encoding;
  };
  const Case cases[] = {
      {J("ＭＳ ゴシック"), "/Encoding /90ms-RKSJ-H\n"},
      {"@" + J("ＭＳ ゴシック"), "/Encoding /90ms-RKSJ-V\n"},  // vertical
      {"PGothic", "/Encoding /90msp-RKSJ-H\n"},                // variable pitch (stub)
      {"@PGothic", "/Encoding /90msp-RKSJ-V\n"},
  };
  CPDF pdf;
  CPDFPage page;
  pdf.NewPage(page);  // objects 1 to 3
  for (const Case& c : cases) pdf.GetFontNo(MakeFont(c.face, 128));
  std::map<int, std::string> obj;
  const std::string out = Write(pdf);
  ASSERT_TRUE(Structure(out, &obj));
  for (size_t i = 0; i < 4; ++i) {
    const int f = int(pdf.GetFontNos()[i]);
    EXPECT_NE(obj[f].find(cases[i].encoding), std::string::npos) << i << obj[f];
  }
  // The whole blank-free name hex-escaped, ASCII included.
  const std::string name = "/#82#6C#82#72#83#53#83#56#83#62#83#4E";
  EXPECT_EQ(obj[4], "4 0 obj\n<<\n/Type /Font\n/Subtype /Type0\n/BaseFont " + name +
                        "\n/Name /F0\n/DescendantFonts [5 0 R]\n/Encoding /90ms-RKSJ-H\n>>\n");
  EXPECT_EQ(obj[5], "5 0 obj\n<<\n/Type /Font\n/Subtype /CIDFontType2\n/BaseFont " + name +
                        "\n/WinCharSet 128/FontDescriptor 6 0 R\n/CIDSystemInfo\n"
                        "<<\n/Registry(Adobe)\n/Ordering(Japan1)\n/Supplement 2\n>>\n"
                        "/DW 1000\n/W [\n231 389 500\n]\n>>\n");
  EXPECT_EQ(obj[6], "6 0 obj\n<<\n/Type /FontDescriptor\n/FontName " + name +
                        "\n/Flags 7\n/FontBBox [ -100 -141 1100 1000 ]\n/MissingWidth 500\n"
                        "/StemV 91\n/StemH 91\n/ItalicAngle 0\n/CapHeight 880\n/XHeight 430\n"
                        "/Ascent 880\n/Descent -120\n/Leading 0\n/MaxWidth 1000\n/AvgWidth 500\n"
                        ">>\n");
  EXPECT_NE(obj[int(pdf.GetFontNos()[1])].find("/BaseFont /#40#82#6C"), std::string::npos);
}

TEST_F(PdfTest, EmptyJapaneseFaceSettingStillWritesTheFontObjects) {
  AppSettings().WriteString("Default", "FontJ", "");
  CPDF pdf;
  pdf.GetFontNo(Gothic());
  std::map<int, std::string> obj;
  const std::string out = Write(pdf);
  AppSettings().DeleteValue("Default", "FontJ");
  ASSERT_TRUE(Structure(out, &obj));
  // Without pages the page tree is 1, the font 2 to 4.
  EXPECT_NE(obj[3].find("/Subtype /CIDFontType2"), std::string::npos);
  EXPECT_NE(obj[4].find("/Type /FontDescriptor"), std::string::npos);
}

TEST_F(PdfTest, ADocumentWithoutPagesIsStillWellFormed) {
  CPDF pdf;
  pdf.SetInfo("", "", "");
  std::map<int, std::string> obj;
  const std::string out = Write(pdf);
  ASSERT_TRUE(Structure(out, &obj));
  EXPECT_NE(obj[pdf.GetPagesNo()].find("/Kids []\n/Count 0\n"), std::string::npos);
  EXPECT_NE(obj[pdf.GetRootNo()].find("/Pages 1 0 R\n"), std::string::npos);
}

TEST_F(PdfTest, WritingTwiceGivesTheSameBytes) {
  CPDF pdf;
  const std::string first = test::SmallDocument(pdf);
  EXPECT_EQ(Write(pdf), first);
  // Init empties the document.
  pdf.Init();
  std::map<int, std::string> obj;
  const std::string empty = Write(pdf);
  ASSERT_TRUE(Structure(empty, &obj));
  EXPECT_EQ(obj.size(), 3u);  // page tree, information, catalog
}

TEST_F(PdfTest, SmallDocumentGolden) {
  CPDF pdf;
  const std::string out = test::SmallDocument(pdf);
  ASSERT_TRUE(Structure(out));
  EXPECT_TRUE(test::MatchesGolden(out, "pdf/small/expected.pdf"));
}

TEST_F(PdfTest, BookmarksAreNumberedAfterTheCatalog) {
  CPDF plain;
  const std::string without = test::SmallDocument(plain);
  CPDF pdf;
  pdf.SetBookmarks(true);
  const std::string out = test::SmallDocument(pdf);
  std::map<int, std::string> obj;
  ASSERT_TRUE(Structure(out, &obj));
  EXPECT_TRUE(test::MatchesGolden(out, "pdf/bookmarks/expected.pdf"));
  // Every number of the plain document is kept.
  EXPECT_EQ(pdf.GetRootNo(), plain.GetRootNo());
  EXPECT_EQ(pdf.GetFontNos(), plain.GetFontNos());
  EXPECT_EQ(out.substr(0, out.find(" 0 obj\n<<\n/Type /Catalog")),
            without.substr(0, without.find(" 0 obj\n<<\n/Type /Catalog")));
  const int root = pdf.GetRootNo(), o = root + 1;
  EXPECT_EQ(pdf.GetObjectNo(), root + 3);
  EXPECT_NE(obj[root].find("/Outlines 13 0 R\n/PageMode /UseOutlines\n"), std::string::npos)
      << obj[root];
  EXPECT_NE(obj[o].find("/Type /Outlines\n/First 14 0 R\n/Last 15 0 R\n/Count 2\n"),
            std::string::npos)
      << obj[o];
  EXPECT_EQ(obj[o + 1],
            "14 0 obj\n<<\n/Title <FEFF0053006800650065007400200031>\n"
            "/Parent 13 0 R\n/Next 15 0 R\n/Dest [1 0 R /Fit]\n>>\n");
  EXPECT_EQ(obj[o + 2],
            "15 0 obj\n<<\n/Title <FEFF56DE8DEF56F3>\n/Parent 13 0 R\n"
            "/Prev 14 0 R\n/Dest [4 0 R /Fit]\n>>\n");
  // A page without a title is named by its number.
  CPDF untitled;
  untitled.SetBookmarks(true);
  CPDFPage page;
  untitled.NewPage(page);
  untitled.NewPage(page, "x");
  untitled.SetPageTitle(1, "");
  const std::string u = Write(untitled);
  EXPECT_NE(u.find("/Title <FEFF0031>\n"), std::string::npos);
  EXPECT_NE(u.find("/Title <FEFF0032>\n"), std::string::npos);
}

TEST_F(PdfTest, EmbeddingWithoutFontFilesChangesNothing) {
  // The stub engine knows no files: the fonts are written as without the option.
  CPDF plain;
  const std::string without = test::SmallDocument(plain);
  CPDF pdf;
  pdf.SetEmbedFonts(true);
  EXPECT_EQ(test::SmallDocument(pdf), without);
}

}  // namespace
}  // namespace tavro
