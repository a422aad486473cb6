// The HTML report template: cutting at the markers, missing markers, the
// placeholders and their escaping, and the shipped tavrohtml.dat (CP932, a
// complete row per block, well-formed pages).
#include "app/html_template.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/platform/codec.h"
#include "support/test_util.h"

namespace tavro {
namespace {

using test::DataPath;
using test::ReadAll;

std::string Shipped() { return ReadAll(std::string(TAVRO_SOURCE_DIR) + "/data/tavrohtml.dat"); }

// Whether the elements of an HTML text nest and close: the tags outside
// comments, script and style contents are matched on a stack; void
// elements and the doctype stand alone.
::testing::AssertionResult WellFormed(const std::string& html) {
  static const std::vector<std::string> kVoid = {"meta", "br", "hr", "img", "input", "link"};
  std::vector<std::string> open;
  for (size_t i = html.find('<'); i != std::string::npos; i = html.find('<', i)) {
    const size_t end = html.find('>', i);
    if (end == std::string::npos) return ::testing::AssertionFailure() << "unclosed tag at " << i;
    const std::string tag = html.substr(i + 1, end - i - 1);
    i = end + 1;
    if (tag.rfind("!", 0) == 0) continue;  // doctype
    const bool closing = !tag.empty() && tag[0] == '/';
    std::string name = tag.substr(closing ? 1 : 0);
    name = name.substr(0, name.find_first_of(" \t\n/"));
    if (closing) {
      if (open.empty() || open.back() != name)
        return ::testing::AssertionFailure()
               << "</" << name << "> closes <" << (open.empty() ? "" : open.back()) << ">";
      open.pop_back();
      continue;
    }
    if (std::find(kVoid.begin(), kVoid.end(), name) != kVoid.end()) continue;
    open.push_back(name);
    if (name == "script" || name == "style") {  // their text is not markup
      i = html.find("</" + name + ">", i);
      if (i == std::string::npos) return ::testing::AssertionFailure() << "unclosed " << name;
    }
  }
  if (!open.empty()) return ::testing::AssertionFailure() << "<" << open.back() << "> not closed";
  return ::testing::AssertionSuccess();
}

// A small template: page frame, one block section and a section without blocks.
constexpr const char* kTemplate =
    "ignored before the frame\n"
    "$COMMON$\n<head>$TITLE$|$DATE$|$TITLE$</head>$BLOCKIN$\n<tail>$COMMON$\n"
    "$ROWS$<h2>$BLOCKTITLE$</h2>$BLOCKFOR$[$SERNO$ $NETNAME$ $REF$-$PINNO$ $X$ $TAGJUMP$]"
    "$BLOCKNEXT$<end $TITLE$>$ROWS$\n"
    "$PLAIN$plain $TITLE$$PLAIN$\n";

TEST(HtmlTemplate, CutsFrameSectionsAndBlocksAtTheMarkers) {
  const HtmlTemplate t(kTemplate);
  HtmlPage page{"T&1", "2024/01/02  03:04:05", {}};
  EXPECT_EQ(t.PageHead(page), "<head>T&amp;1|2024/01/02  03:04:05|T&amp;1</head>");
  EXPECT_EQ(t.PageTail(), "<tail>");
  EXPECT_EQ(t.Section("$PLAIN$"), "plain $TITLE$");
  EXPECT_EQ(t.Section("$NONE$"), "");

  HtmlRow a;
  a.netName = "A<B";
  a.ref = "U1";
  a.pinNo = "1";
  a.x = "  12.50";
  HtmlRow b = a;
  b.netName = "$REF$";  // data is never taken for a placeholder
  b.item = 77;
  EXPECT_EQ(t.Block("$ROWS$", "DRC \"x\"", {a, b}),
            "<h2>DRC &quot;x&quot;</h2>"
            "[1 A&lt;B U1-1   12.50 &amp;[TAVRO]AUTOTAGJUMP&amp;1]"
            "[2 $REF$ U1-1   12.50 &amp;[TAVRO]AUTOTAGJUMP&amp;77]<end $TITLE$>");
  // With the page, its placeholders are replaced in the block's head and end too.
  EXPECT_EQ(t.Block("$ROWS$", "none", {}, &page), "<h2>none</h2><end T&amp;1>");
  // A block section without its block markers gives nothing.
  EXPECT_EQ(t.Block("$PLAIN$", "x", {a}), "");
}

TEST(HtmlTemplate, MissingMarkersGiveEmptyParts) {
  struct Case {
    const char* text;
    const char* head;
    const char* tail;
  };
  const Case cases[] = {
      {"", "", ""},
      {"no markers at all", "", ""},
      {"$COMMON$\nhead only", "", ""},                // no $BLOCKIN$
      {"$COMMON$\nhead$BLOCKIN$\ntail", "head", ""},  // no closing $COMMON$
      {"$BLOCKIN$\nx$COMMON$\nhead", "", ""},         // $BLOCKIN$ before the frame
      {"$COMMON$$BLOCKIN$$COMMON$", "", ""},          // nothing between the markers
      {"$COMMON$\r\nhead\r\n$BLOCKIN$\r\ntail\r\n$COMMON$", "head\n",
       "tail\n"},  // CR LF read as LF
  };
  for (const Case& c : cases) {
    const HtmlTemplate t(c.text);
    EXPECT_EQ(t.PageHead({}), c.head) << c.text;
    EXPECT_EQ(t.PageTail(), c.tail) << c.text;
  }
  const HtmlTemplate unclosed("$RPT$<h2>$BLOCKTITLE$</h2>$BLOCKFOR$row$BLOCKNEXT$");
  EXPECT_EQ(unclosed.Section("$RPT$"), "");
  EXPECT_EQ(unclosed.Block("$RPT$", "x", {HtmlRow()}), "");
  bool found = true;
  const HtmlTemplate none = HtmlTemplate::Load("/no/such/tavrohtml.dat", &found);
  EXPECT_FALSE(found);
  EXPECT_EQ(none.PageHead({}), "");
  EXPECT_EQ(none.Block("$RPT$", "x", {HtmlRow()}), "");
}

TEST(HtmlTemplate, FileListIsAScriptListFromFileNumberOne) {
  EXPECT_EQ(HtmlFileList({}), "\"\"\r\n");
  // Backslashes doubled, but never the second byte of a double-byte
  // character (ソ is 0x83 0x5C); names escaped.
  const std::string so = J("ソ");
  EXPECT_EQ(HtmlFileList({"C:\\d\\a.tcd", so + "\\b&c.tcd"}),
            "\"\",\r\n\"C:\\\\d\\\\a.tcd\",\r\n\"" + so + "\\\\b&amp;c.tcd\"\r\n");
  EXPECT_EQ(EscapeHtml("<a href=\"x\">'&'</a>"),
            "&lt;a href=&quot;x&quot;&gt;&#39;&amp;&#39;&lt;/a&gt;");
  EXPECT_EQ(EscapeHtml(J("回路図")), J("回路図"));
}

TEST(HtmlTemplate, ShippedTemplateIsCp932WithACompleteRowPerBlock) {
  const std::string text = Shipped();
  ASSERT_FALSE(text.empty());
  size_t invalid = 0;
  const std::string utf8 = Cp932ToUtf8(text, &invalid);
  EXPECT_EQ(invalid, 0u);
  EXPECT_NE(utf8.find("<meta charset=\"Shift_JIS\">"), std::string::npos);

  const HtmlTemplate t(text);
  HtmlPage page{J("Ｔａｖｒｏ－ネットレポートファイル"), "2023/11/15  07:13:20", {"/d/a.tcd"}};
  EXPECT_NE(t.PageHead(page).find("<title>" + page.title + "</title>"), std::string::npos);
  EXPECT_NE(t.PageTail().find("</html>"), std::string::npos);
  EXPECT_NE(t.Section("$RPT_HEAD$").find("$NETTOTAL$"), std::string::npos);
  HtmlRow row;
  row.netName = "N";
  for (const char* section : {"$RPT$", "$NET$", "$LOG$", "$LOG2$"}) {
    SCOPED_TRACE(section);
    const std::string s = t.Section(section);
    const size_t f = s.find("$BLOCKFOR$"), n = s.find("$BLOCKNEXT$");
    ASSERT_NE(f, std::string::npos);
    ASSERT_NE(n, std::string::npos);
    const std::string rowText = s.substr(f + 10, n - f - 10);
    EXPECT_EQ(rowText.rfind("<tr>", 0), 0u) << rowText;
    EXPECT_EQ(rowText.substr(rowText.find_last_not_of('\n') - 4, 5), "</tr>") << rowText;
    EXPECT_TRUE(WellFormed(rowText));
    // A page with the block, with rows and without.
    for (size_t rows : {0, 2}) {
      const std::string html =
          t.PageHead(page) + t.Block(section, "x", std::vector<HtmlRow>(rows, row)) + t.PageTail();
      EXPECT_TRUE(WellFormed(html)) << rows;
    }
  }
}

TEST(HtmlTemplate, GoldenPagesAreWellFormed) {
  for (const char* golden :
       {"report/edges/expected.nrp.html", "report/index-html/expected.net.html"})
    EXPECT_TRUE(WellFormed(ReadAll(DataPath(golden)))) << golden;
}

}  // namespace
}  // namespace tavro
