#include "core/platform/settings.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <set>

#include "core/platform/codec.h"
#include "core/platform/dbcs.h"
#include "support/test_util.h"

namespace tavro {
namespace {

using namespace std::string_literals;
using test::ReadAll;
using test::TempDir;
using test::WriteAll;

class SettingsTest : public ::testing::Test {
 protected:
  TempDir dir;
  std::string path = dir.file("tavro.ini");
};

TEST_F(SettingsTest, EmptyStoreGivesTheDefaults) {
  Settings s(path);
  struct IntCase {
    const char* section;
    const char* key;
    int32_t value;
  };
  const IntCase ints[] = {
      {"Sheet", "MainGrid", 100},
      {"Sheet", "FMRU", 16},
      {"Sheet", "Work", 1},
      {"Default", "Text Height", 70},
      {"Default", "Text V Base", 2},
      {"Default", "Pin Length", 200},
      {"Default", "PartRefAttrHeight", 65},
      {"Default", "BusWidth", 24},
      {"Color", "Cursor", 0xFFFFFF},
      {"Text", "Printable", 1},
      {"CopyIncrement", "TextEnable", 0},
      {"CopyIncrement", "PinRing", 1},
      {"Line", "LineLockMode", 2},
      {"FileSave", "UndoCount", 100},
      {"Printer", "AutoScale", 1},
      {"Tool", "StartNo", 1},
      {"Tool", "IndexSingle", 1},
      {"Tool", "PartTopRefNo", 1},
      {"Settings", "EnvPage", 163},
      {"PDF", "Up", 15},
      {"Find", "Target", 770},
      {"Find", "AllSheet", 1},
      {"MakePart", "HidePowerPin", 1},
      {"Recent Part List", "ValDisp", 2},
      {"CleanSection", "CleanLine", 1},
      {"Library File List", "Index", 0},
  };
  for (const IntCase& c : ints) {
    EXPECT_EQ(s.GetInt(c.section, c.key), c.value) << c.section << "/" << c.key;
    EXPECT_EQ(s.GetInt(c.section, c.key, -7), -7);  // an explicit default wins
  }
  struct StringCase {
    const char* section;
    const char* key;
    std::string value;
  };
  const StringCase strings[] = {
      {"Default", "FontE", "Arial"}, {"Default", "FontJ", J("ＭＳ ゴシック")},
      {"Default", "Part VCC", ""},   {"Tool", "Editor", "xdg-open \"%f\""},
      {"PDF", "Scale", "1.0"},       {"Library File List", "Except", "NOMOUNT,FILE"},
      {"Sheet", "Work Width", ""},   {"Color", "Wire", "255 1"},
      {"Sheet", "MainGrid", "100"},  // an integer default read as a string
      {"No Such", "Key", ""},
  };
  for (const StringCase& c : strings)
    EXPECT_EQ(s.GetString(c.section, c.key), c.value) << c.section << "/" << c.key;
  EXPECT_EQ(s.GetInt("No Such", "Key"), 0);
  EXPECT_FALSE(s.GetBinary("Color", "Custom").has_value());
}

TEST(SettingDefaults, TableIsConsistent) {
  std::set<std::string> seen;
  for (const SettingDefault& d : SettingDefaults()) {
    std::string id = ToLower(d.section) + "/" + ToLower(d.key);
    EXPECT_TRUE(seen.insert(id).second) << "twice: " << id;
    EXPECT_EQ(d.isString, d.stringValue != nullptr) << id;
    EXPECT_EQ(FindSettingDefault(ToUpper(d.section), d.key), &d) << id;
  }
  EXPECT_EQ(FindSettingDefault("Sheet", "NoSuchKey"), nullptr);
}

TEST(SettingDefaults, ColoursMatchTheirRgbTriples) {
  struct Rgb {
    int r, g, b;
  };
  const Rgb rgb[] = {{255, 0, 0},     {0, 255, 0},     {0, 0, 255},     {0, 128, 255},
                     {0, 255, 255},   {255, 0, 0},     {0, 255, 0},     {0, 255, 255},
                     {255, 255, 255}, {255, 255, 255}, {255, 255, 255}, {255, 255, 0},
                     {0, 255, 0},     {255, 255, 255}, {255, 0, 255},   {0, 0, 0},
                     {255, 255, 255}, {192, 192, 192}, {255, 255, 232}, {255, 128, 255}};
  const auto& keys = ColorKeys();
  ASSERT_EQ(keys.size(), 20u);
  EXPECT_EQ(keys.front(), "Wire");
  EXPECT_EQ(keys.back(), "Highlight");
  Settings empty;
  for (size_t i = 0; i < keys.size(); ++i) {
    ColorSetting c = GetColor(empty, keys[i]);
    uint32_t want = static_cast<uint32_t>(rgb[i].r | (rgb[i].g << 8) | (rgb[i].b << 16));
    EXPECT_EQ(c.color, want) << keys[i];
    EXPECT_TRUE(c.visible) << keys[i];
  }
}

TEST_F(SettingsTest, ValuesRoundTripThroughTheFile) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  const std::vector<std::string> strings = {
      J("日本語テキスト"),
      J("表示") + "\\n",  // trail bytes 0x5C next to a real backslash
      "a=b=c",
      "line1\nline2\r\nline3",
      "  leading blanks",
      "trailing blanks \t",
      "\"quoted\"",
      "hex:4142",  // looks like a binary value
      "",
      "\\back\\slash\\",
      "[Section]",
      "; not a comment",
      "lone lead \x81",
      "\x7F\x01\x1F",
      "nul\0inside"s,
      all,
  };
  const std::vector<std::vector<uint8_t>> blobs = {
      {}, {0x00, 0x01, 0xFF, 0x80, 0x0A, 0x3D}, std::vector<uint8_t>(all.begin(), all.end())};
  {
    Settings s(path);
    for (size_t i = 0; i < strings.size(); ++i)
      EXPECT_TRUE(s.WriteString("Strings", "S" + std::to_string(i), strings[i]));
    for (size_t i = 0; i < blobs.size(); ++i)
      EXPECT_TRUE(s.WriteBinary("Blobs", "B" + std::to_string(i), blobs[i]));
    EXPECT_TRUE(s.WriteInt("Ints", "Min", INT32_MIN));
    EXPECT_TRUE(s.WriteInt("Ints", "Max", INT32_MAX));
    EXPECT_TRUE(s.WriteInt("Ints", "Zero", 0));
    // Odd names: Japanese, blanks, '=' and ']' in them.
    EXPECT_TRUE(s.WriteString(J("部品"), " key = x ", "v"));
    EXPECT_TRUE(s.WriteString("a]b", "[k]", "w"));
  }
  Settings s(path);  // a new store on the same file
  for (size_t i = 0; i < strings.size(); ++i)
    EXPECT_EQ(s.GetString("Strings", "S" + std::to_string(i), "default"), strings[i]) << i;
  for (size_t i = 0; i < blobs.size(); ++i)
    EXPECT_EQ(s.GetBinary("Blobs", "B" + std::to_string(i)), blobs[i]) << i;
  EXPECT_EQ(s.GetInt("Ints", "Min", 1), INT32_MIN);
  EXPECT_EQ(s.GetInt("Ints", "Max", 1), INT32_MAX);
  EXPECT_EQ(s.GetInt("Ints", "Zero", 1), 0);
  EXPECT_EQ(s.GetString(J("部品"), " key = x ", ""), "v");
  EXPECT_EQ(s.GetString("a]b", "[k]", ""), "w");

  // Binary and string values do not pass for each other.
  EXPECT_EQ(s.GetString("Blobs", "B1", "def"), "def");
  EXPECT_EQ(s.GetInt("Blobs", "B1", 5), 5);
  EXPECT_FALSE(s.GetBinary("Strings", "S7").has_value());

  // Plain values stay readable in the file.
  std::string text = ReadAll(path);
  EXPECT_NE(text.find("[Ints]\n"), std::string::npos);
  EXPECT_NE(text.find("Max=2147483647\n"), std::string::npos);
  EXPECT_NE(text.find("S2=a=b=c\n"), std::string::npos);
  EXPECT_NE(text.find("S0=" + J("日本語テキスト") + "\n"), std::string::npos);
}

TEST_F(SettingsTest, NamesIgnoreLetterCase) {
  Settings s(path);
  s.WriteInt("Sheet", "MainGrid", 200);
  EXPECT_EQ(s.GetInt("SHEET", "maingrid", 0), 200);
  s.WriteInt("sheet", "MAINGRID", 300);
  Settings again(path);
  EXPECT_EQ(again.GetInt("Sheet", "MainGrid", 0), 300);
  std::string text = ReadAll(path);
  EXPECT_EQ(text, "[Sheet]\nMainGrid=300\n");  // one value, spelt as first written
}

TEST_F(SettingsTest, IntegersAreStrict) {
  Settings s(path);
  struct Case {
    const char* stored;
    int32_t value;
  };
  const Case cases[] = {
      {"42", 42},
      {" -17 ", -17},
      {"+8", 8},
      {"12abc", -1},
      {"", -1},
      {"abc", -1},
      {"0x10", -1},
      {"2147483648", -1},
      {"-2147483648", INT32_MIN},
      {"99999999999999999999", -1},
      {"1 2", -1},
  };
  for (const Case& c : cases) {
    s.WriteString("N", "K", c.stored);
    EXPECT_EQ(s.GetInt("N", "K", -1), c.value) << '"' << c.stored << '"';
  }
}

TEST_F(SettingsTest, DamagedFilesGiveTheDefaults) {
  std::mt19937 rng(1234);
  std::string junk;
  for (int i = 0; i < 20000; ++i) junk += static_cast<char>(rng() & 0xFF);
  const std::string files[] = {
      junk,
      "[Sheet]\x00\x00\x00MainGrid=5"s,
      "[Sheet\nMainGrid=5\n",          // header without its bracket: keys dropped
      "MainGrid=5\n",                  // no section
      "[Sheet]\nMainGrid=\"5\n",       // unterminated quote
      "[Sheet]\nMainGrid=\"5\\q\"\n",  // unknown escape
      "[Sheet]\nMainGrid=hex:4\n",     // odd hex
      "[Sheet]\nMainGrid=5\x01\n",     // control byte
      "[]\nMainGrid=5\n",
      "\xEF\xBB\xBF\xFF\xFE[Sheet]\x80\n=5\n",
  };
  for (const std::string& f : files) {
    WriteAll(path, f);
    Settings s(path);
    EXPECT_EQ(s.GetInt("Sheet", "MainGrid"), 100) << f.substr(0, 40);
    EXPECT_EQ(GetColor(s, "Wire").color, 255u);
  }
  // A missing file or a folder in its place: defaults as well.
  EXPECT_EQ(Settings(dir.file("missing.ini")).GetInt("Sheet", "MainGrid"), 100);
  EXPECT_EQ(Settings(dir.path().string()).GetInt("Sheet", "MainGrid"), 100);
}

TEST_F(SettingsTest, BadLinesAreSkippedAndTheRestKept) {
  WriteAll(path,
           "; comment\r\n"
           "[Sheet]\r\n"
           "garbage line\r\n"
           "\x01\x02=\x03\r\n"
           "  MainGrid = 7  \r\n"  // hand-edited blanks are tolerated
           "SubGrid=\"unterminated\r\n"
           "=no key\r\n"
           "[Default\r\n"
           "Pin Length=1\r\n"  // under a damaged header: dropped
           "[Default]\r\n"
           "Text Height=90\r\n"
           "Text Height=91\r\n"  // a duplicate: the first wins
           "Pin Length=300");    // no line end at the end of the file
  Settings s(path);
  EXPECT_EQ(s.GetInt("Sheet", "MainGrid"), 7);
  EXPECT_EQ(s.GetInt("Sheet", "SubGrid"), 50);
  EXPECT_EQ(s.GetInt("Default", "Text Height"), 90);
  EXPECT_EQ(s.GetInt("Default", "Pin Length"), 300);
  // Writing keeps what was understood and drops the rest.
  s.WriteInt("Sheet", "GridSize", 3);
  Settings again(path);
  EXPECT_EQ(again.GetInt("Sheet", "MainGrid"), 7);
  EXPECT_EQ(again.GetInt("Default", "Text Height"), 90);
  EXPECT_EQ(again.GetInt("Sheet", "GridSize"), 3);
}

TEST_F(SettingsTest, TruncatedFilesKeepTheirCompleteLines) {
  {
    Settings s(path);
    s.WriteString("A", "Quoted", "x\ny");
    s.WriteInt("A", "Num", 123456);
    s.WriteBinary("A", "Bin", {1, 2, 3, 4});
    s.WriteString("B", "Text", J("漢字"));
  }
  const std::string full = ReadAll(path);
  struct Check {
    const char* section;
    const char* key;
    const char* line;
  };
  const Check checks[] = {{"A", "Quoted", "Quoted="},
                          {"A", "Num", "Num="},
                          {"A", "Bin", "Bin="},
                          {"B", "Text", "Text="}};
  // Every line that is complete reads back exactly; a cut-off last line never
  // stops the reading.
  Settings good(path);
  for (size_t len = 0; len <= full.size(); ++len) {
    WriteAll(path, full.substr(0, len));
    Settings s(path);
    for (const Check& c : checks) {
      size_t end = full.find('\n', full.find(c.line));
      if (end >= len) continue;
      EXPECT_EQ(s.GetString(c.section, c.key, "?"), good.GetString(c.section, c.key, "?")) << len;
      EXPECT_EQ(s.GetBinary(c.section, c.key), good.GetBinary(c.section, c.key)) << len;
    }
  }
}

TEST_F(SettingsTest, ColourValues) {
  struct Case {
    const char* stored;  // nullptr: no value
    uint32_t color;
    bool visible;
  };
  const uint32_t def = 0x0000FF;  // "Wire": red
  const Case cases[] = {
      {nullptr, def, true},
      {"255", 255, true},
      {"65280 0", 65280, false},
      {"0 1", 0, true},
      {"16777215 5", 0xFFFFFF, true},
      {"garbage", def, true},
      {"", def, true},
      {"123 x", 123, true},
      {"-5 0", def, true},
      {"16777216 0", def, true},
      {"12x 0", def, true},
  };
  Settings s(path);
  for (const Case& c : cases) {
    if (c.stored)
      s.WriteString("Color", "Wire", c.stored);
    else
      s.DeleteValue("Color", "Wire");
    ColorSetting got = GetColor(s, "Wire");
    EXPECT_EQ(got.color, c.color) << (c.stored ? c.stored : "(none)");
    EXPECT_EQ(got.visible, c.visible) << (c.stored ? c.stored : "(none)");
  }
  EXPECT_TRUE(WriteColor(s, "SubGrid", {0x123456, false}));
  EXPECT_EQ(s.GetString("Color", "SubGrid"), "1193046 0");
  Settings again(path);
  ColorSetting back = GetColor(again, "SubGrid");
  EXPECT_EQ(back.color, 0x123456u);
  EXPECT_FALSE(back.visible);
}

TEST_F(SettingsTest, DeletingEverythingGivesTheDefaultsAgain) {
  {
    Settings s(path);
    s.WriteInt("Sheet", "MainGrid", 1);
    s.WriteInt("Sheet", "SubGrid", 2);
    s.WriteString("Default", "FontE", "Courier");
    WriteColor(s, "Wire", {1, false});
    s.WriteBinary("Printer", "UpOffset", {1, 2, 3, 4, 5, 6});
    EXPECT_TRUE(s.DeleteValue("Sheet", "MainGrid"));
    EXPECT_TRUE(s.DeleteValue("sheet", "subgrid"));
    EXPECT_TRUE(s.DeleteSection("DEFAULT"));
    EXPECT_TRUE(s.DeleteSection("Color"));
    EXPECT_TRUE(s.DeleteSection("Printer"));
    EXPECT_TRUE(s.DeleteValue("Nothing", "Here"));
  }
  EXPECT_EQ(ReadAll(path), "");
  Settings s(path);
  EXPECT_EQ(s.GetInt("Sheet", "MainGrid"), 100);
  EXPECT_EQ(s.GetInt("Sheet", "SubGrid"), 50);
  EXPECT_EQ(s.GetString("Default", "FontE"), "Arial");
  EXPECT_EQ(GetColor(s, "Wire").color, 255u);
  EXPECT_TRUE(GetColor(s, "Wire").visible);
  EXPECT_FALSE(s.GetBinary("Printer", "UpOffset").has_value());
}

TEST_F(SettingsTest, WritesCreateTheFolderAndReportFailures) {
  std::string nested = dir.file("a/b/tavro.ini");
  Settings s(nested);
  EXPECT_TRUE(s.WriteInt("Sheet", "FMRU", 4));
  EXPECT_EQ(Settings(nested).GetInt("Sheet", "FMRU"), 4);

  // A file where the folder should be: the write fails, the value is kept in memory.
  WriteAll(dir.file("plain"), "x");
  Settings blocked(dir.file("plain/tavro.ini"));
  EXPECT_FALSE(blocked.WriteInt("Sheet", "FMRU", 5));
  EXPECT_EQ(blocked.GetInt("Sheet", "FMRU"), 5);

  // No path: memory only.
  Settings memory;
  EXPECT_TRUE(memory.WriteString("X", "Y", "z"));
  EXPECT_EQ(memory.GetString("X", "Y", ""), "z");
  EXPECT_FALSE(memory.WriteString("", "Y", "z"));

  // Reload drops what was only in memory.
  blocked.Reload();
  EXPECT_EQ(blocked.GetInt("Sheet", "FMRU"), 16);
}

// Sets or clears an environment variable for one scope.
class EnvGuard {
 public:
  EnvGuard(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value)
      ::setenv(name, value, 1);
    else
      ::unsetenv(name);
  }
  ~EnvGuard() {
    if (old_)
      ::setenv(name_, old_->c_str(), 1);
    else
      ::unsetenv(name_);
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST(SettingsPath, FromTheEnvironment) {
  {
    EnvGuard a("TAVRO_SETTINGS", "/x/mine.ini");
    EXPECT_EQ(Settings::DefaultPath(), "/x/mine.ini");
  }
  EnvGuard a("TAVRO_SETTINGS", nullptr);
  {
    EnvGuard x("XDG_CONFIG_HOME", "/cfg");
    EXPECT_EQ(Settings::DefaultPath(), "/cfg/tavro/tavro.ini");
  }
  EnvGuard h("HOME", "/home/u");
  {
    EnvGuard x("XDG_CONFIG_HOME", "relative");  // not absolute: ignored
    EXPECT_EQ(Settings::DefaultPath(), "/home/u/.config/tavro/tavro.ini");
  }
  EnvGuard x("XDG_CONFIG_HOME", nullptr);
  EXPECT_EQ(Settings::DefaultPath(), "/home/u/.config/tavro/tavro.ini");
}

TEST(SettingsPath, AppSettingsCanBeSwapped) {
  Settings* previous = &AppSettings();
  Settings mine;
  mine.WriteInt("Sheet", "MainGrid", 42);
  SetAppSettings(&mine);
  EXPECT_EQ(&AppSettings(), &mine);
  EXPECT_EQ(AppSettings().GetInt("Sheet", "MainGrid"), 42);
  SetAppSettings(previous);
  EXPECT_EQ(&AppSettings(), previous);
}

}  // namespace
}  // namespace tavro
