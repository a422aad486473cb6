// The sheet document: reading every accepted version, writing version 8
// byte for byte, title frames, new documents, and bad input.
#include "core/file/document.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <ostream>
#include <string>

#include "core/file/archive.h"
#include "core/platform/codec.h"
#include "core/platform/font.h"
#include "core/platform/paths.h"
#include "core/platform/settings.h"
#include "support/test_util.h"

namespace tavro {
namespace {

using test::TempDir;

std::string DemoText() {
  return test::ReadAll(std::string(TAVRO_SOURCE_DIR) + "/examples/demo/src/amp1.txt");
}

// A document with items, properties and its title frame.
CSheetDoc RichDoc() {
  CSheetDoc doc;
  EXPECT_TRUE(doc.LoadText(DemoText(), "amp1.txt").ok);
  doc.SetProperties({"&Author&" + J("山田"), "&Comment&demo"});
  doc.SetViewRect(CRect(100, 200, 9000, 7000));
  return doc;
}

// Points the data folder at `dir` for the lifetime of the guard.
class DataDirGuard {
 public:
  explicit DataDirGuard(const std::string& dir) { SetDataDirForTests(dir); }
  ~DataDirGuard() { SetDataDirForTests({}); }
};

// ---------------------------------------------------------------------------
// Files of older versions, built record by record.

void WriteTextRecord(CArchive& ar, const std::string& name, uint32_t attr, int version) {
  ar.WriteString(name);
  ar.WritePoint({100, 200});
  ar.WriteI32(70);
  ar.WriteU32(attr);
  ar.WriteRect({});
  if ((attr & kTextOwnFont) != 0 && version >= 6) {
    LogFont f;
    f.SetFaceName("Arial");
    f.weight = 700;
    const auto bytes = f.ToBytes();
    ar.WriteBytes(bytes.data(), bytes.size());
  }
}

// A sheet file of `version` holding: a wire, a wire stored in the bus
// section, a named graphic line with arrows, a text with its own font, an
// arc with an end arrow and a part with one graphic line with arrows.
std::string OldFile(int version) {
  CArchive ar;
  ar.WriteText("Tavro DATA FILE Ver 0.0" + std::to_string(version) + "\n");
  if (version >= 7) {
    ar.WriteU32(900);
    ar.WriteU32(1);
    ar.WriteString("&Author&Taro");
  }
  ar.WriteU32(1);
  ar.WriteI32(16535);
  ar.WriteI32(11693);
  ar.WriteI32(kSizeA3);
  if (version >= 4) {
    ar.WriteU32(2);
    ar.WriteRect({10, 20, 3000, 4000});
  }
  ar.WriteI32(0);  // sheet type
  ar.WriteI32(6);  // item count (not trusted)
  auto wire = [&](CPoint a, CPoint b) {
    ar.WriteU32(kLineWire);
    ar.WritePoint(a);
    ar.WritePoint(b);
    ar.WriteU32(0);  // no texts
  };
  ar.WriteU32(1);
  wire({0, 0}, {1000, 0});
  ar.WriteU32(1);  // the bus section holds a wire
  wire({0, 500}, {1000, 500});
  ar.WriteU32(1);  // graphic lines
  ar.WriteU32(kLineGraphic);
  ar.WritePoint({0, 1000});
  ar.WritePoint({500, 1000});
  if (version >= 6) {
    ar.WriteU32(1);
    WriteTextRecord(ar, "L", kOrgBottomLeft, version);
  }
  if (version >= 7) ar.WriteU16(CLine::EncodeArrows(100, 50));
  ar.WriteU32(0);  // junctions
  ar.WriteU32(0);  // free pins
  ar.WriteU32(1);  // texts
  WriteTextRecord(ar, "hello", kOrgBottomLeft | kTextOwnFont, version);
  ar.WriteU32(1);  // arcs
  ar.WritePoint({3000, 3000});
  ar.WriteI32(200);
  ar.WriteI32(0);
  ar.WriteI32(90);
  ar.WriteU32(0);
  if (version >= 8) ar.WriteU16(CLine::EncodeArrows(0, 100));
  ar.WriteU32(1);  // parts
  ar.WritePoint({5000, 5000});
  ar.WritePoint({4900, 4900});
  ar.WritePoint({5100, 5100});
  for (uint32_t v : {1u, 1u, 0u, 0u, 0u, 0u}) ar.WriteU32(v);  // package, angle, attr, mask, pins
  ar.WriteU32(1);  // lines of the part: the oldest form before version 8
  ar.WriteU32(kLineGraphic);
  ar.WritePoint({4900, 4900});
  ar.WritePoint({5100, 5100});
  if (version >= 8) {
    ar.WriteU32(0);
    ar.WriteU16(CLine::EncodeArrows(30, 0));
  }
  ar.WriteU32(0);                    // arcs of the part
  ar.WriteU32(0);                    // texts of the part
  if (version >= 8) ar.WriteU32(0);  // end of the body
  ar.WriteU32(0);                    // no title frame
  return ar.TakeBuffer();
}

TEST(DocumentTest, ReadsEveryVersionWithItsFields) {
  for (int version : {3, 4, 5, 6, 7, 8}) {
    SCOPED_TRACE("version " + std::to_string(version));
    CSheetDoc doc;
    const DocStatus st = doc.Load(OldFile(version), "old.tcd", false);
    ASSERT_TRUE(st.ok) << st.message;
    EXPECT_EQ(doc.GetVersion(), version);
    EXPECT_EQ(doc.GetProperties(),
              version >= 7 ? std::vector<std::string>{"&Author&Taro"} : std::vector<std::string>{});
    EXPECT_EQ(doc.GetViewRect(),
              version >= 4 ? CRect(10, 20, 3000, 4000) : CRect(0, 0, 16535, 11693));
    EXPECT_EQ(doc.GetWorkWidth(), 16535);
    const CSheet& s = doc.GetSheet();
    EXPECT_EQ(s.GetSheetType(), kSheetMain);
    // The wire of the bus section lands in the wire list.
    EXPECT_EQ(s.Wires().size(), 2u);
    EXPECT_TRUE(s.Buses().empty());
    ASSERT_EQ(s.Lines().size(), 1u);
    EXPECT_EQ(s.Lines()[0]->GetName(), version >= 6 ? "L" : "");
    EXPECT_EQ(s.Lines()[0]->GetStartArrow(), version >= 7 ? 100 : 0);
    EXPECT_EQ(s.Lines()[0]->GetEndArrow(), version >= 7 ? 50 : 0);
    ASSERT_EQ(s.Texts().size(), 1u);
    EXPECT_TRUE(s.Texts()[0]->HasOwnFont());
    EXPECT_EQ(s.Texts()[0]->GetFont().FaceName(), version >= 6 ? "Arial" : "");
    ASSERT_EQ(s.Arcs().size(), 1u);
    EXPECT_EQ(s.Arcs()[0]->GetEndArrow(), version >= 8 ? 100 : 0);
    ASSERT_EQ(s.Parts().size(), 1u);
    ASSERT_EQ(s.Parts()[0]->Lines().size(), 1u);
    EXPECT_EQ(s.Parts()[0]->Lines()[0]->GetStartArrow(), version >= 8 ? 30 : 0);
    EXPECT_EQ(s.GetItemCount(), 6);
    EXPECT_TRUE(doc.GetTitleSheet().GetItemCount() == 0);
  }
}

// What a read gave the items from the settings: pens of a wire, a bus and a
// graphic line, heights of an empty pin name and number, width of a text.
struct Reading {
  int wire, bus, line, pinName, pinNo, text;
  bool operator==(const Reading&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Reading& r) {
  return os << "pens " << r.wire << "/" << r.bus << "/" << r.line << ", pin texts " << r.pinName
            << "/" << r.pinNo << ", text width " << r.text;
}

TEST(DocumentTest, SettingsChangedBetweenReadsAreSeenByTheNextRead) {
  // What reading gives the items from section "Default" (the pens of lines,
  // the heights of empty pin texts, the faces that size texts) is taken once
  // per read; each read must see the settings as they are when it starts.
  CSheetDoc made;
  CSheet& s = made.GetSheet();
  s.NewWire({0, 0}, {100, 0});
  s.NewBus({0, 100}, {100, 100});
  s.NewLine({0, 200}, {100, 200});
  s.NewPin({0, 300}, {100, 300}, kPinInput);  // without name and number
  s.NewText("R1", {0, 400}, 70, kOrgBottomLeft);
  const std::string file = made.Write(false);

  auto read = [&file] {
    CSheetDoc doc;
    EXPECT_TRUE(doc.Load(file, "settings.tcd", false).ok);
    const CSheet& r = doc.GetSheet();
    if (r.Wires().empty() || r.Buses().empty() || r.Lines().empty() || r.Pins().empty() ||
        r.Texts().empty())
      return Reading{};
    return Reading{r.Wires()[0]->GetWidth(),           r.Buses()[0]->GetWidth(),
                   r.Lines()[0]->GetWidth(),           r.Pins()[0]->GetNameText().GetSize(),
                   r.Pins()[0]->GetNoText().GetSize(), r.Texts()[0]->GetTextBoundingRect().Width()};
  };
  // The built-in defaults: pens 8, 24 and 8, pin texts 70, "R1" in Arial
  // (45 + 35, see tests/platform/font_test.cpp).
  EXPECT_EQ(read(), (Reading{8, 24, 8, 70, 70, 80}));

  struct Restore {
    ~Restore() {
      for (const char* key : {"WireWidth", "BusWidth", "PinNameAttrHeight", "FontE"})
        AppSettings().DeleteValue("Default", key);
    }
  } restore;
  Settings& settings = AppSettings();
  settings.WriteInt("Default", "WireWidth", 12);
  settings.WriteString("Default", "BusWidth", "wide");  // not a number: the built-in 24
  settings.WriteInt("Default", "PinNameAttrHeight", 90);
  settings.WriteString("Default", "FontE", "Courier New");  // Liberation Mono: 37 a letter
  EXPECT_EQ(read(), (Reading{12, 24, 8, 90, 70, 2 * 37}));
}

// ---------------------------------------------------------------------------
// Writing

TEST(DocumentTest, WrittenFileReadsBackAndWritesBackByteForByte) {
  CSheetDoc doc = RichDoc();
  ASSERT_GT(doc.GetTitleSheet().GetItemCount(), 0) << "the build's Title.A3 was not loaded";
  for (bool titleInclude : {false, true}) {
    SCOPED_TRACE(titleInclude ? "with title" : "without title");
    const std::string first = doc.Write(titleInclude);
    CSheetDoc back;
    const DocStatus st = back.Load(first, "amp1.tcd");
    ASSERT_TRUE(st.ok) << st.message;
    EXPECT_EQ(back.GetTitleSource(), titleInclude ? TitleSource::kEmbedded : TitleSource::kFile);
    // A frame from the title file shows the whole work area; an embedded
    // one keeps the stored view.
    EXPECT_EQ(back.GetViewRect(), titleInclude
                                      ? doc.GetViewRect()
                                      : CRect(0, 0, doc.GetWorkWidth(), doc.GetWorkHeight()));
    back.SetViewRect(doc.GetViewRect());
    EXPECT_EQ(back.Write(titleInclude), first);
  }
  // Through the file system as well.
  TempDir dir;
  const std::string path = dir.file("amp.tcd");
  ASSERT_TRUE(doc.Save(path, true).ok);
  CSheetDoc opened;
  ASSERT_TRUE(opened.Open(path).ok);
  EXPECT_EQ(opened.GetPath(), path);
  EXPECT_EQ(opened.GetTitle(), "amp.tcd");
  const std::string path2 = dir.file("again.tcd");
  ASSERT_TRUE(opened.Save(path2, true).ok);
  EXPECT_EQ(test::ReadAll(path2), test::ReadAll(path));
}

TEST(DocumentTest, TitleFlagAndEndFieldFollowTheMainBody) {
  CSheetDoc doc = RichDoc();
  const std::string without = doc.Write(false);
  const std::string with = doc.Write(true);
  ASSERT_EQ(without.rfind("Tavro DATA FILE Ver 0.08\n", 0), 0u);
  EXPECT_EQ(without.substr(25, 8), std::string("\x84\x03\x00\x00\x02\x00\x00\x00", 8));
  // Without: the main body (ending in its end field 0), then the flag 0.
  EXPECT_EQ(without.substr(without.size() - 8), std::string(8, '\0'));
  CArchive title;
  doc.GetTitleSheet().DataWrite(title);
  const std::string body = without.substr(0, without.size() - 4);
  EXPECT_EQ(with,
            body + std::string("\x01\x00\x00\x00", 4) + title.Buffer() + std::string(4, '\0'));
  // Save follows the setting.
  TempDir dir;
  ASSERT_TRUE(AppSettings().WriteInt("FileSave", "TitleInclude", 1));
  ASSERT_TRUE(doc.Save(dir.file("a.tcd")).ok);
  AppSettings().DeleteValue("FileSave", "TitleInclude");
  EXPECT_EQ(test::ReadAll(dir.file("a.tcd")), with);
  ASSERT_TRUE(doc.Save(dir.file("b.tcd")).ok);
  EXPECT_EQ(test::ReadAll(dir.file("b.tcd")), without);
}

TEST(DocumentTest, SaveFailureKeepsTheDocumentAndReportsTheFile) {
  CSheetDoc doc = RichDoc();
  TempDir dir;
  const std::string path = dir.file("missing-folder/x.tcd");
  const DocStatus st = doc.Save(path, false);
  EXPECT_FALSE(st.ok);
  EXPECT_NE(st.message.find(path), std::string::npos);
  EXPECT_NE(st.message.find("を作成できません"), std::string::npos);
  EXPECT_TRUE(doc.GetPath().empty());
}

// ---------------------------------------------------------------------------
// Title frames

TEST(DocumentTest, TitleFileNeverChangesTheDocumentsFields) {
  TempDir dir;
  // A version-7 title file with properties, a view and sizes of its own.
  test::WriteAll(dir.file("Title.A3"), OldFile(7));
  test::WriteAll(dir.file("Custom.A3"), OldFile(5));
  DataDirGuard guard(dir.path().string());

  CSheetDoc doc = RichDoc();
  doc.SetWorkSize(20000, 15000);
  const std::string bytes = doc.Write(false);
  CSheetDoc back;
  const DocStatus st = back.Load(bytes, "amp1.tcd");
  ASSERT_TRUE(st.ok) << st.message;
  EXPECT_TRUE(st.warnings.empty());
  EXPECT_EQ(back.GetTitleSource(), TitleSource::kFile);
  EXPECT_EQ(back.GetTitleSheet().GetItemCount(), 6);
  EXPECT_EQ(back.GetTitleSheet().GetSheetType(), kSheetTitle);
  EXPECT_EQ(back.GetProperties(), doc.GetProperties());
  // The view becomes the document's own work area, not the title file's view.
  EXPECT_EQ(back.GetViewRect(), CRect(0, 0, 20000, 15000));
  EXPECT_EQ(back.GetVersion(), 8);
  EXPECT_EQ(back.GetWorkWidth(), 20000);
  EXPECT_EQ(back.GetSizeCode(), kSizeA3);
  back.SetViewRect(doc.GetViewRect());
  EXPECT_EQ(back.Write(false), bytes);

  // "&TitleFile&" names another file of the data folder (folders dropped).
  for (const char* prop : {"&TitleFile&Custom.A3", "&TitleFile&..\\..\\Custom.A3"}) {
    doc.SetProperties({prop});
    CSheetDoc custom;
    ASSERT_TRUE(custom.Load(doc.Write(false), "c.tcd").ok);
    EXPECT_EQ(custom.GetTitleSource(), TitleSource::kFile) << prop;
    EXPECT_EQ(custom.GetTitleSheet().Lines().size(), 1u) << prop;
  }
}

TEST(DocumentTest, UnreadableTitleFileIsAWarning) {
  TempDir dir;
  test::WriteAll(dir.file("Title.A4"), OldFile(8).substr(0, 60));  // truncated
  test::WriteAll(dir.file("Title.A2"), "Tavro DATA FILE Ver 0.01\n");
  DataDirGuard guard(dir.path().string());
  struct Case {
    int code;
    const char* needle;
  } cases[] = {{kSizeA3, "を開けません"},
               {kSizeA4, "ファイルフォーマットが異常です"},
               {kSizeA2, "このファイルは読込めません"}};
  for (const Case& c : cases) {
    CSheetDoc doc = RichDoc();
    doc.SetSizeCode(c.code);
    CSheetDoc back;
    const DocStatus st = back.Load(doc.Write(false), "x.tcd");
    ASSERT_TRUE(st.ok) << st.message;
    ASSERT_EQ(st.warnings.size(), 1u) << c.code;
    EXPECT_NE(st.warnings[0].find(c.needle), std::string::npos) << st.warnings[0];
    EXPECT_EQ(back.GetTitleSheet().GetItemCount(), 0);
    EXPECT_EQ(back.GetTitleSource(), TitleSource::kNone);
    EXPECT_GT(back.GetSheet().GetItemCount(), 0);
  }
}

TEST(DocumentTest, TitleFileNames) {
  const char* names[] = {"Title.A2", "Title.A3", "Title.A4", "Title.A2P", "Title.A3P", "Title.A4P"};
  for (int code = 0; code < 6; ++code)
    EXPECT_EQ(CSheetDoc::TitleFileNameForSize(code), names[code]);
  EXPECT_EQ(CSheetDoc::TitleFileNameForSize(6), "");
  EXPECT_EQ(CSheetDoc::TitleFileNameForSize(-1), "");
  CSheetDoc doc;
  doc.SetSizeCode(kSizeA4P);
  EXPECT_EQ(doc.GetTitleFileName(), "Title.A4P");
  doc.SetProperties({"&Author&x", "&TitleFile&Mine.A4"});
  EXPECT_EQ(doc.GetTitleFileName(), "Mine.A4");
  EXPECT_EQ(doc.GetProperty("author"), "x");
  EXPECT_EQ(CSheetDoc::PaperName(4), std::string("A3縦"));
}

TEST(DocumentTest, NewDocumentTakesItsPaperFromTheSettings) {
  struct Case {
    const char* work;
    const char* widths;
    const char* heights;
    int code;
    int32_t width, height;
  } cases[] = {
      {nullptr, nullptr, nullptr, kSizeA3, 16535, 11693},
      {"4", "1000 2000 3000", "400 500 600", kSizeA3P, 500, 2000},
      {"2", "1000", "", kSizeA4, 11693, 8268},
      {"3", "", "", kSizeA2P, 16535, 23386},
      {"9", "x", "-5 7", kSizeA3, 16535, 11693},
  };
  for (const Case& c : cases) {
    Settings& s = AppSettings();
    s.DeleteSection("Sheet");
    if (c.work) s.WriteString("Sheet", "Work", c.work);
    if (c.widths) s.WriteString("Sheet", "Work Width", c.widths);
    if (c.heights) s.WriteString("Sheet", "Work Height", c.heights);
    CSheetDoc doc;
    const DocStatus st = doc.NewDocument();
    EXPECT_TRUE(st.ok);
    EXPECT_EQ(doc.GetSizeCode(), c.code) << (c.work ? c.work : "-");
    EXPECT_EQ(doc.GetWorkWidth(), c.width) << (c.work ? c.work : "-");
    EXPECT_EQ(doc.GetWorkHeight(), c.height) << (c.work ? c.work : "-");
    EXPECT_EQ(doc.GetViewRect(), CRect(0, 0, c.width, c.height));
    EXPECT_EQ(doc.GetVersion(), 8);
    EXPECT_EQ(doc.GetTitleSource(), TitleSource::kFile);  // the build's own title frames
  }
  AppSettings().DeleteSection("Sheet");
}

TEST(DocumentTest, OpenRecordsTheFileTimes) {
  TempDir dir;
  const std::string path = dir.file("t.tcd");
  test::WriteAll(path, OldFile(8));
  const struct timespec times[2] = {{1000000000, 0}, {1200000000, 0}};  // access, write
  ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
  CSheetDoc doc;
  ASSERT_TRUE(doc.Open(path).ok);
  EXPECT_EQ(doc.GetFileTimes().lastAccess, 1000000000);
  EXPECT_EQ(doc.GetFileTimes().lastWrite, 1200000000);
  EXPECT_GT(doc.GetFileTimes().creation, 1200000000);  // birth or change time: now
}

// ---------------------------------------------------------------------------
// Bad input: a clear message naming the file, and the document unchanged.

class BadInputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    doc_ = RichDoc();
    before_ = doc_.Write(true);
  }
  void ExpectRefused(std::string_view data, const std::string& message) {
    const DocStatus st = doc_.Load(data, "bad.tcd", false);
    EXPECT_FALSE(st.ok);
    EXPECT_EQ(st.message, message);
    EXPECT_EQ(doc_.Write(true), before_);
  }
  CSheetDoc doc_;
  std::string before_;
};

TEST_F(BadInputTest, FirstLinesThatAreNotReadable) {
  const std::string bad = "bad.tcd: ファイルフォーマットが異常です";
  ExpectRefused("", bad);
  ExpectRefused("hello world\n", bad);
  ExpectRefused("Tavro project\n", bad);
  ExpectRefused(std::string("\0\0\0\0", 4), bad);
  ExpectRefused("Tavro DATA FILE Ver 0.01\n",
                "bad."
                "tcd\nこのファイルは読込めません。\nバージョン０．６０以前のプログラムでセーブし直"
                "して下さい。");
  for (const char* v : {"Tavro DATA FILE Ver 0.09\n", "Tavro DATA FILE Ver 0.12\n"})
    ExpectRefused(v,
                  "サポートしていないバージョンのデータファイルです。\nＴａｖｒｏのバージョンを上げ"
                  "て下さい。");
  const DocStatus st = doc_.Open("/nonexistent/x.tcd");
  EXPECT_EQ(st.message, "ファイル /nonexistent/x.tcd を開けません");
  EXPECT_EQ(doc_.Write(true), before_);
}

TEST_F(BadInputTest, EveryTruncationFails) {
  // A small document with one item of each kind, properties and a title
  // frame: a cut at any byte (so at every section boundary) fails.
  CSheetDoc small;
  ASSERT_TRUE(
      small
          .LoadText("Line 0 0 100 0 8 0 0 0\nName \"N\" 0 0 70 8\n"
                    "Line 0 100 100 100 24 2 0 0\nLine 0 200 100 200 8 1 100 0\n"
                    "Junc 100 0\nPin 0 0 300 0 1\nName \"P\" 0 0 70 8\nText \"t\" 0 0 70 8200\n"
                    "Font \"Arial\" 0 0 0 0 0 0 0 0 0 0\nArc 0 0 100 0 90 8 0 0 100\n"
                    "Part 0 0 0 0 0 0 1 1 0 0\nRef \"R1\" 0 0 65 8\nPin 0 0 0 300 0\n"
                    "Line 0 0 50 50 8 1 0 0\nArc 0 0 50 0 0 8 0 0 0\nText \"&A&1\" 0 0 50 8\n"
                    "PartEnd\n",
                    "small.txt", false)
          .ok);
  small.SetProperties({"&Author&me"});
  CArchive title(std::string_view("Line 0 0 1000 0 8 1 0 0\n"));
  small.GetTitleSheet().SerializeText(title);
  const std::string full = small.Write(true);
  for (size_t n = 0; n < full.size(); ++n) {
    const DocStatus st = doc_.Load(std::string_view(full).substr(0, n), "bad.tcd", false);
    ASSERT_FALSE(st.ok) << "a file cut at byte " << n << " was read";
    ASSERT_EQ(st.message.rfind("bad.tcd: ファイルフォーマットが異常です", 0), 0u) << st.message;
  }
  EXPECT_EQ(doc_.Write(true), before_);
}

TEST_F(BadInputTest, CountLargerThanTheData) {
  CSheetDoc empty;
  std::string bytes = empty.Write(false);
  // The wire count follows the header line, the header fields and the sheet
  // type and item count.
  const size_t at = 25 + 8 + 16 + 20 + 8;
  ASSERT_EQ(bytes.substr(at, 4), std::string(4, '\0'));
  bytes.replace(at, 4, "\xff\xff\xff\x7f");
  const DocStatus st = doc_.Load(bytes, "bad.tcd", false);
  EXPECT_FALSE(st.ok);
  EXPECT_NE(st.message.find("2147483647 wires announced"), std::string::npos) << st.message;
  EXPECT_EQ(doc_.Write(true), before_);
  // A property count too large for the file.
  bytes = empty.Write(false);
  bytes.replace(29, 4, "\x00\x00\x00\x10", 4);
  EXPECT_FALSE(doc_.Load(bytes, "bad.tcd", false).ok);
  EXPECT_EQ(doc_.Write(true), before_);
}

}  // namespace
}  // namespace tavro
