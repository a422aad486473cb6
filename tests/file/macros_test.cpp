// Text macros (CSheet::GetPrintProperty) and the view of a document whose
// title frame comes from a title file.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "core/file/archive.h"
#include "core/file/document.h"
#include "core/platform/clock.h"
#include "core/platform/codec.h"
#include "core/platform/host.h"
#include "core/platform/paths.h"
#include "support/test_util.h"

namespace tavro {
namespace {

using test::TempDir;

// 2023-12-31 20:00 UTC: already 2024-01-01 05:00 in Japan.
constexpr std::time_t kNow = 1704052800;

// The main window's answers.
class MacroHost : public Host {
 public:
  std::string sheetPath;  // the path numbered 2 of 3
  std::map<std::string, std::string> props;
  int ProjectFileNumber(const std::string& path) override { return path == sheetPath ? 2 : 0; }
  int ProjectFileCount() override { return 3; }
  std::string ProjectPath() override { return J("/p/設計.tpj"); }
  std::string Author() override { return "host author"; }
  std::string ProjectProperty(const std::string& key) override {
    auto it = props.find(key);
    return it == props.end() ? std::string() : it->second;
  }
};

class FixedClock {
 public:
  FixedClock() { SetFixedNow(kNow); }
  ~FixedClock() { SetFixedNow(-1); }
};

class DataDirGuard {
 public:
  explicit DataDirGuard(const std::string& dir) { SetDataDirForTests(dir); }
  ~DataDirGuard() { SetDataDirForTests({}); }
};

// A part holding the given property texts.
void AddPart(CSheet& sheet, const std::vector<std::string>& props) {
  CPart& p = sheet.NewPart({0, 0}, {0, 0}, {100, 100}, 1, 1, 0, 0);
  for (const std::string& t : props) p.NewText(t, {0, 0}, 50, kOrgBottomLeft);
}

std::string Print(const CSheet& sheet, const CSheetDoc& doc, const std::string& name) {
  return sheet.GetPrintProperty(CText(name, {0, 0}, 70, kOrgBottomLeft), doc);
}

struct Case {
  std::string in;
  std::string out;
};

void ExpectCases(const CSheet& sheet, const CSheetDoc& doc, const std::vector<Case>& cases) {
  for (const Case& c : cases) EXPECT_EQ(Print(sheet, doc, c.in), c.out) << c.in;
}

// A saved document amp.tcd with parts, properties and known file times.
class MacrosTest : public ::testing::Test {
 protected:
  void SetUp() override {
    DataDirGuard data(dir_.path().string());  // no title file: nothing but the sheet
    CSheetDoc made;
    CSheet& s = made.GetSheet();
    AddPart(s, {"&Price&10", "&Qty& +7x"});
    AddPart(s, {"&Price&20", "&Qty&-3"});
    AddPart(s, {"&Other&5"});
    made.SetProperties({"&Comment&demo", "&Author&" + J("山田")});
    path_ = dir_.file("amp.tcd");
    ASSERT_TRUE(made.Save(path_, false).ok);
    // Last access 2001-09-09 10:46:40, last write 2008-01-11 06:20 (JST).
    const struct timespec times[2] = {{1000000000, 0}, {1200000000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path_.c_str(), times, 0), 0);
    ASSERT_TRUE(doc_.Open(path_).ok);
    host_.sheetPath = path_;
    host_.props = {{"SHEETNO", "A-1"},     {"Comment", "project comment"},
                   {"LOOP", "x&LOOP&"},    {"PING", "&PONG&"},
                   {"PONG", "&PING&"},     {"NEST", "[&Comment&]"},
                   {"DATEP", "&DATE&%Y&"}, {"BIG", std::string(30000, 'x')}};
  }

  TempDir dir_;
  std::string path_;
  CSheetDoc doc_;
  MacroHost host_;
};

TEST_F(MacrosTest, DocumentProjectAndFileValues) {
  ScopedHost scoped(&host_);
  FixedClock clock;
  ExpectCases(doc_.GetSheet(), doc_,
              {
                  {"&FILE2&", "amp"},
                  {"&FILE&", "amp.tcd"},
                  {"&TITLE&", "amp.tcd"},
                  {"&PATH&", path_},
                  {"No. &P&/&T&", "No. 2/3"},
                  {"&PPATH&", J("/p/設計.tpj")},
                  {"&PFILE&|&PFILE2&", J("設計.tpj|設計")},
                  {"&TFILE&", "Title.A3"},
                  {"&AUTHOR&", J("山田")},  // the document's own author first
                  {"&SIZE&", J("A3横")},
                  // Macros are written in capitals; other spellings are keys.
                  {"&file&", "&file&"},
                  {"&T&T&", "3T&"},
                  // A single ampersand, or none, leaves the text alone.
                  {"a & b", "a & b"},
                  {"&", "&"},
                  {"", ""},
              });
}

TEST_F(MacrosTest, NamedPropertiesAndTheirRepetition) {
  ScopedHost scoped(&host_);
  FixedClock clock;
  ExpectCases(doc_.GetSheet(), doc_,
              {
                  {"&SHEETNO&", "A-1"},                  // the project's
                  {"&Comment& &comment&", "demo demo"},  // the document's wins
                  {"[&NOSUCH&] &SHEETNO&", "[&NOSUCH&] A-1"},
                  {"&NEST&", "[demo]"},  // a value's own macros are expanded
                  // A value never expands its own key again.
                  {"&LOOP&", "x&LOOP&"},
                  {"&LOOP&&LOOP&", "x&LOOP&x&LOOP&"},
                  {"&PING&", "&PING&"},
                  {"&DATEP&", "2024"},  // an inserted date macro is still a date
                  // The closing "&" of a key that has no value does not open the next.
                  {"&x&SHEETNO&", "&x&SHEETNO&"},
              });
  // No insertion takes the text past its limit: the third copy stays.
  const std::string big = Print(doc_.GetSheet(), doc_, "&BIG&&BIG&&BIG&");
  EXPECT_EQ(big, std::string(60000, 'x') + "&BIG&");
}

TEST_F(MacrosTest, PartPropertyAggregates) {
  ScopedHost scoped(&host_);
  ExpectCases(doc_.GetSheet(), doc_,
              {
                  // Price 10, 20 and a part without Price.
                  {"&PAVR&Price", "15.00"},
                  {"&PSUM&Price", "30"},
                  {"&PMAX&Price", "20"},
                  {"&PMIN&Price", "10"},
                  {"&PCNT&Price", "2"},
                  // The "&" that closes the name stays.
                  {"&PSUM&Price&" + J("円"), "30&" + J("円")},
                  {"&PSUM&Price&/&PCNT&Price", "30&/2"},
                  // Values read as atoi reads them: " +7x" is 7.
                  {"&PSUM&Qty&|&PMAX&Qty&|&PMIN&Qty&|&PAVR&Qty", "4&|7&|-3&|2.00"},
                  {"&PSUM&Cost&|&PAVR&Cost&|&PCNT&Cost", "--&|--&|--"},
                  // The name runs to the next "&": the blank is part of it.
                  {"&PSUM&Price &PCNT&Price", "302"},
                  {"&PSUM&", "--"},
                  {"&PSUM&price", "30"},  // property names ignore case
              });
  // On the title frame the parts are still those of the main sheet.
  EXPECT_EQ(Print(doc_.GetTitleSheet(), doc_, "&PCNT&Price"), "2");
}

TEST_F(MacrosTest, DatesAndTimes) {
  ScopedHost scoped(&host_);
  FixedClock clock;
  ExpectCases(doc_.GetSheet(), doc_,
              {
                  {"&DATE&%Y&", "2024"},
                  {"&date&%Y&", "2024"},
                  {"&Time&%H:%M&", "05:00"},
                  {"&DATE&%Y" + J("年") + "%m" + J("月") + "&", "2024" + J("年") + "01" + J("月")},
                  {"&FDATE&%Y-%m-%d& &WTIME&%H:%M&", "2008-01-11 06:20"},
                  {"&ADATE&%Y&", "2001"},
                  // The missing closing "&": left as written.
                  {"&DATE&%Y", "&DATE&%Y"},
                  {"&DATE&%Y&DATE&%m", "2024DATE&%m"},
                  // A pair that is no date key lends its closing "&" to the next.
                  {"x&y &DATE&%m&", "x&y 01"},
                  {"&NODATE&%Y&", "&NODATE&%Y&"},
                  {"&DATE&&", ""},
              });
  // Creation: the file system's birth or change time, some time after 2001.
  const std::string created = Print(doc_.GetSheet(), doc_, "&CDATE&%Y& &CTIME&%Y&");
  ASSERT_EQ(created.size(), 9u) << created;
  EXPECT_EQ(created.substr(0, 4), created.substr(5));
  EXPECT_GT(std::stoi(created.substr(0, 4)), 2001);
}

TEST(MacrosNoProjectTest, UnavailableValuesStayAndNumbersPrintDashes) {
  // An unsaved document under the default host: no project, no file.
  CSheetDoc doc;
  doc.SetSizeCode(9);
  ExpectCases(doc.GetSheet(), doc,
              {
                  {"&P&/&T&", "--/--"},
                  {"&PSUM&Price&|&PAVR&Price", "--&|--"},
                  {"&PPATH& &PFILE& &PFILE2&", "&PPATH& &PFILE& &PFILE2&"},
                  {"&AUTHOR&", "&AUTHOR&"},
                  {"&SIZE&", "&SIZE&"},
                  {"&TFILE&", "&TFILE&"},  // an unknown paper has no title file
                  {"&FDATE&%Y& &ADATE&%Y& &CDATE&%Y&", "&FDATE&%Y& &ADATE&%Y& &CDATE&%Y&"},
                  // An unsaved document stands by its title.
                  {"&TITLE&|&PATH&|&FILE&|&FILE2&", J("無題|無題|無題|無題")},
              });
}

TEST(MacrosEscapeTest, InsertedTitleAndPathNeverBreakTheText) {
  TempDir dir;
  DataDirGuard data(dir.path().string());
  // A file name with a backslash and an n in it (possible on this platform).
  const std::string path = dir.file("a\\nb.tcd");
  CSheetDoc doc;
  ASSERT_TRUE(doc.Save(path, false).ok);
  const std::string escapedPath = path.substr(0, path.size() - 8) + "a\\\\nb.tcd";
  ExpectCases(doc.GetSheet(), doc,
              {
                  {"&TITLE&", "a\\\\nb.tcd"},
                  {"&PATH&", escapedPath},
                  {"&FILE2&", "a\\\\nb"},
                  {"&TFILE&", "Title.A3"},
                  // The text's own breaks stay breaks.
                  {"&TITLE&\\n2", "a\\\\nb.tcd\\n2"},
              });
  // On the title frame "&TFILE&" is the document's path.
  EXPECT_EQ(Print(doc.GetTitleSheet(), doc, "&TFILE&"), escapedPath);
  for (const char* macro : {"&TITLE&", "&PATH&", "&TFILE&"}) {
    CText printed(Print(doc.GetTitleSheet(), doc, macro), {0, 0}, 70, kOrgBottomLeft);
    EXPECT_EQ(printed.CalcLines(), 1) << macro;
  }
  // A double-byte character whose trail byte is a backslash is no escape:
  // "表" is 0x95 0x5C.
  const std::string hyo = J("表");
  ASSERT_EQ(hyo, "\x95\x5C");
  doc.SetProperties({"&TitleFile&" + hyo + "n"});
  EXPECT_EQ(Print(doc.GetSheet(), doc, "&TFILE&"), hyo + "n");
}

// ---------------------------------------------------------------------------
// Title frames: a frame read from the title file shows the whole work area.

TEST(TitleFrameViewTest, AFrameFromTheTitleFileResetsTheView) {
  TempDir dir;
  DataDirGuard data(dir.path().string());
  CSheetDoc doc;
  CArchive lines(std::string_view("Line 0 0 1000 0 8 1 0 0\n"));
  doc.GetSheet().SerializeText(lines);
  doc.SetWorkSize(20000, 15000);
  const CRect stored(100, 200, 9000, 7000);
  doc.SetViewRect(stored);
  const std::string without = doc.Write(false);
  CArchive frame(std::string_view("Line 0 0 500 500 8 1 0 0\n"));
  doc.GetTitleSheet().SerializeText(frame);
  const std::string embedded = doc.Write(true);

  // A title file holding a frame and, in its own header, another view.
  CSheetDoc title;
  CArchive titleLines(std::string_view("Line 0 0 2000 0 8 1 0 0\n"));
  title.GetSheet().SerializeText(titleLines);
  title.SetViewRect(CRect(1, 2, 3, 4));
  const std::string titleFile = title.Write(false);

  const CRect whole(0, 0, 20000, 15000);
  struct ViewCase {
    const char* what;
    const std::string* bytes;
    bool loadTitle;
    bool titleFileThere;
    CRect view;
    TitleSource source;
  } cases[] = {
      {"frame from the title file", &without, true, true, whole, TitleSource::kFile},
      {"embedded frame", &embedded, true, true, stored, TitleSource::kEmbedded},
      {"no title file", &without, true, false, stored, TitleSource::kNone},
      {"title not loaded", &without, false, true, stored, TitleSource::kNone},
  };
  for (const ViewCase& c : cases) {
    std::filesystem::remove(dir.file("Title.A3"));
    if (c.titleFileThere) test::WriteAll(dir.file("Title.A3"), titleFile);
    CSheetDoc back;
    ASSERT_TRUE(back.Load(*c.bytes, "v.tcd", c.loadTitle).ok) << c.what;
    EXPECT_EQ(back.GetTitleSource(), c.source) << c.what;
    EXPECT_EQ(back.GetViewRect(), c.view) << c.what;
    EXPECT_EQ(back.GetWorkWidth(), 20000) << c.what;
  }

  // The text form (a new document's view) and an empty title file.
  test::WriteAll(dir.file("Title.A3"), CSheetDoc().Write(false));
  CSheetDoc fromEmpty;
  ASSERT_TRUE(fromEmpty.Load(without, "v.tcd").ok);
  EXPECT_EQ(fromEmpty.GetTitleSource(), TitleSource::kNone);
  EXPECT_EQ(fromEmpty.GetViewRect(), stored);
}

}  // namespace
}  // namespace tavro
