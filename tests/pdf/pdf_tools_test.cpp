// Outside tools read what the PDF writer writes: qpdf checks the structure
// (cross-reference table, streams, objects), poppler's pdffonts lists the
// fonts and whether they are embedded, and pdftotext reads the text back
// through the fonts' encodings (the ToUnicode map of an embedded Japanese
// font). The real font engine is used, so the embedded files are the
// installed fonts (Liberation Sans for Arial, IPA Gothic for the Japanese face).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "core/pdf/pdf.h"
#include "core/platform/clock.h"
#include "core/platform/codec.h"
#include "core/platform/paths.h"
#include "pdf/pdf_fixture.h"
#include "support/test_util.h"

namespace tavro {
namespace {

struct ToolRun {
  int rc = -1;
  std::string out;
};

ToolRun Command(const std::string& cmd) {
  test::TempDir tmp;
  const std::string outFile = tmp.file("out");
  ToolRun r;
  r.rc = std::system((cmd + " > '" + outFile + "' 2>&1").c_str());
  r.out = test::ReadAll(outFile);
  return r;
}

// The type, encoding and emb/sub/uni columns of the pdffonts row whose name
// contains `name` ("" when there is none).
std::string FontRow(const std::string& listing, const std::string& name) {
  size_t at = listing.find(name);
  if (at == std::string::npos) return {};
  size_t end = listing.find('\n', at);
  std::istringstream line(listing.substr(at, end - at));
  std::vector<std::string> words;
  for (std::string w; line >> w;) words.push_back(w);
  if (words.size() < 7) return {};
  std::string row;
  for (size_t i = 1; i + 2 < words.size(); ++i) row += (row.empty() ? "" : " ") + words[i];
  return row;
}

bool Have(const char* tool) {
  return std::system((std::string("command -v ") + tool + " > /dev/null 2>&1").c_str()) == 0;
}

struct Case {
  const char* name;
  bool bookmarks;
  bool embed;
};

class PdfToolsTest : public ::testing::TestWithParam<Case> {};

TEST_P(PdfToolsTest, QpdfFindsNoFault) {
  if (!Have("qpdf")) GTEST_SKIP() << "qpdf is not installed";
  const Case c = GetParam();
  SetFixedNow(1700000000);
  CPDF pdf;
  pdf.SetBookmarks(c.bookmarks);
  pdf.SetEmbedFonts(c.embed);
  pdf.Init();
  const std::string bytes = test::SmallDocument(pdf);
  SetFixedNow(-1);
  test::TempDir tmp;
  const std::string path = tmp.file("doc.pdf");
  ASSERT_TRUE(WriteFileAtomic(path, bytes));

  ToolRun check = Command("qpdf --check '" + path + "'");
  EXPECT_EQ(check.rc, 0) << check.out;
  EXPECT_NE(check.out.find("No syntax or stream encoding errors found"), std::string::npos)
      << check.out;
  EXPECT_EQ(check.out.find("WARNING"), std::string::npos) << check.out;

  if (c.bookmarks) {
    ToolRun json = Command("qpdf --json --json-key=outlines '" + path + "'");
    EXPECT_NE(json.out.find("\"title\": \"Sheet 1\""), std::string::npos) << json.out;
    EXPECT_NE(json.out.find("\"title\": \"" + std::string("回路図") + "\""), std::string::npos)
        << json.out;
  }
  if (!Have("pdffonts") || !Have("pdftotext")) return;
  ToolRun fonts = Command("pdffonts '" + path + "'");
  EXPECT_EQ(fonts.rc, 0) << fonts.out;
  if (c.embed) {
    // Both fonts embedded as subsets, the Japanese one as a CID TrueType
    // font in Identity-H with its ToUnicode map.
    EXPECT_EQ(FontRow(fonts.out, "+LiberationSans"), "TrueType WinAnsi yes yes no") << fonts.out;
    EXPECT_EQ(FontRow(fonts.out, "+IPAGothic"), "CID TrueType Identity-H yes yes yes") << fonts.out;
    ToolRun text = Command("pdftotext '" + path + "' -");
    EXPECT_NE(text.out.find("R1 (x)"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("抵抗ｱｲｳ"), std::string::npos) << text.out;
  } else {
    EXPECT_EQ(fonts.out.find(" yes "), std::string::npos) << fonts.out;
  }
}

INSTANTIATE_TEST_SUITE_P(Options, PdfToolsTest,
                         ::testing::Values(Case{"plain", false, false},
                                           Case{"bookmarks", true, false},
                                           Case{"embedded", false, true}, Case{"both", true, true}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tavro
