// The text form of a library: round trip, the header, the package lines and
// the line numbers of format errors.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/platform/clock.h"
#include "core/platform/codec.h"
#include "library/library.h"
#include "library/library_fixture.h"
#include "support/test_util.h"

namespace tavro {
namespace {

using test::ReadAll;
using test::WriteAll;
using namespace test::lib;

const std::string kHeader = "# Tavro Text Library File Ver 1.02\n#\n";

TEST(LibraryText, RoundTripKeepsPackagesOrderAndGates) {
  Lib lib;
  lib.Add("R", GateText("R", "R1", 0, 0));
  lib.Add("7400", GateText("7400", "U?A", 1, 3) + GateText("7400", "U?B", 2, 3) +
                      GateText("7400", "U?C", 3, 3));
  lib.Add(J("抵抗"), GateText(J("抵抗"), "R2", 0, 0));
  const std::string original = ReadAll(lib.path);

  SetFixedNow(0);
  CLibrary l = lib.Open();
  ASSERT_EQ(l.ReadFile(), 1);
  const std::string text = lib.dir.file("parts.txt");
  ASSERT_EQ(l.WriteAsciiFile(text), 1);
  SetFixedNow(-1);
  const std::string written = ReadAll(text);
  EXPECT_EQ(
      written.rfind(
          "# Tavro Text Library File Ver 1.02\n" + J("# 上の行を削除してはいけません。\n"), 0),
      0u);
  EXPECT_NE(written.find("# Date : 01/01/70 09:00:00\n#\n\nPackage Name \"R\"\nPackage Total 1\n"
                         "#\nPackage [1]\nPart "),
            std::string::npos);
  EXPECT_NE(written.find("PartEnd\nPackage End\n#\n#\n#\nPackage Name \"7400\"\nPackage Total 3\n"),
            std::string::npos);

  Lib back;
  CLibrary b = back.Open();
  ASSERT_EQ(b.ReadAsciiFile(text), 1) << back.messages.back();
  // Every package comes back as a record of the current kind, in order, with
  // the same parts: the file is the same bytes.
  EXPECT_EQ(ReadAll(back.path), original);
}

TEST(LibraryText, TheReaderRulesAndTheirLineNumbers) {
  const std::string gate = GateText("X", "X1", 0, 0);
  struct Case {
    const char* what;
    std::string text;
    std::vector<std::string> packages;  // on success
    std::string error;                  // else the message's end
  } cases[] = {
      {"indented lines and a block end in any case",
       kHeader + "  Package Name \"A\"\n Package Total 2\n#\n Package [1]\n" + gate +
           "\n#\nPackage [2]\n" + gate + "package end\n",
       {"A"},
       ""},
      {"package lines in another case are not package lines",
       kHeader + "package name \"A\"\n" + gate + "Package Name \"B\"\n" + gate + "Package End\n",
       {"B"},
       ""},
      {"a part without a package name is ignored", kHeader + gate, {}, ""},
      {"a block without a part makes no package",
       kHeader + "Package Name \"A\"\nPartEnd\nPackage End\n",
       {},
       ""},
      {"a name without quotes",
       kHeader + "\n\nPackage Name A\n",
       {},
       "フォーマットが不正です。4行目"},
      {"a gate line without its bracket",
       kHeader + "Package Name \"A\"\nPackage [1\n",
       {},
       "フォーマットが不正です。3行目"},
      {"the end of the file inside a block",
       kHeader + "Package Name \"A\"\n#\n" + gate + "Package End\nPackage Name \"B\"\n" + gate,
       {},
       // Line 1 is the "#" after the header line; a gate takes 8 lines.
       "フォーマットが不正です。14行目"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Lib lib;
    lib.Add("OLD", gate);
    const std::string before = ReadAll(lib.path);
    const std::string text = lib.dir.file("in.txt");
    WriteAll(text, c.text);
    CLibrary l = lib.Open();
    if (c.error.empty()) {
      ASSERT_EQ(l.ReadAsciiFile(text), 1);
      EXPECT_EQ(lib.Names(), c.packages);
      EXPECT_EQ(ReadAll(CLibrary::BackupName(lib.path)), before);
    } else {
      EXPECT_EQ(l.ReadAsciiFile(text), 0);
      ASSERT_FALSE(lib.messages.empty());
      EXPECT_TRUE(lib.messages.back().ends_with(c.error)) << lib.messages.back();
      EXPECT_EQ(ReadAll(lib.path), before);
    }
  }
}

TEST(LibraryText, ANameThatTheTextCannotCarryIsRefused) {
  Lib lib;
  lib.Add(std::string("A\0B", 3), GateText("A", "R1", 0, 0));
  CLibrary l = lib.Open();
  ASSERT_EQ(l.ReadFile(), 1);
  EXPECT_EQ(l.WriteAsciiFile(lib.dir.file("out.txt")), 0);
  EXPECT_FALSE(std::filesystem::exists(lib.dir.file("out.txt")));
  EXPECT_NE(lib.messages.back().find("テキストに書けません"), std::string::npos);

  // Nor a part whose texts hold a zero byte (from a damaged file).
  Lib other;
  CSheet gate = Sheet(GateText("B", "R1", 0, 0));
  gate.Parts()[0]->Pins()[0]->NoText().SetName(std::string("1\0", 2));
  CLibrary o = other.Open();
  o.SetPackageName("B");
  ASSERT_TRUE(o.WritePart(gate));
  ASSERT_EQ(o.ReadFile(), 1);
  EXPECT_EQ(o.WriteAsciiFile(other.dir.file("out.txt")), 0);
  EXPECT_FALSE(std::filesystem::exists(other.dir.file("out.txt")));
}

TEST(LibraryText, AFileWithoutTheHeaderIsRefusedBeforeTheLibraryIsTouched) {
  Lib lib;
  lib.Add("OLD", GateText("OLD", "X1", 0, 0));
  const std::string before = ReadAll(lib.path);
  WriteAll(lib.dir.file("in.txt"), "Package Name \"A\"\n");
  CLibrary l = lib.Open();
  EXPECT_EQ(l.ReadAsciiFile(lib.dir.file("in.txt")), 0);
  EXPECT_EQ(lib.messages.back(), "テキスト部品ファイルではありません。");
  EXPECT_EQ(l.ReadAsciiFile(lib.dir.file("missing.txt")), 0);
  EXPECT_EQ(lib.messages.back(), "ファイルが開けません");
  EXPECT_EQ(ReadAll(lib.path), before);
  EXPECT_FALSE(std::filesystem::exists(CLibrary::BackupName(lib.path)));
}

}  // namespace
}  // namespace tavro
