// `tavro info` and `tavro convert` end to end: exit codes, stdout, stderr
// and the files written.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "support/test_util.h"

namespace tavro {
namespace {

using test::ReadAll;
using test::RunTavro;
using test::TempDir;
using test::WriteAll;

std::string Demo(const std::string& name) {
  return std::string(TAVRO_SOURCE_DIR) + "/examples/demo/" + name;
}

TEST(InfoCommandTest, DescribesTheDemoSheet) {
  const test::RunResult r = RunTavro({"info", Demo("amp2.tcd")});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.err, "");
  // The path is the only part that depends on the machine.
  std::string out = r.out;
  out.replace(0, out.find('\n'), "file: amp2.tcd");
  EXPECT_TRUE(test::MatchesGolden(out, "cli/info_demo/expected.txt"));
}

TEST(InfoCommandTest, ReadsTextFormFiles) {
  TempDir dir;
  WriteAll(dir.file("s.txt"), "Line 0 0 100 0 8 0 0 0\nJunc 0 0\nhello\n");
  const test::RunResult r = RunTavro({"info", dir.file("s.txt")});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find("format version: 8\n"), std::string::npos);
  EXPECT_NE(r.out.find("sheet size: 1 A3横\n"), std::string::npos);
  EXPECT_NE(r.out.find("main wires: 1\nmain buses: 0\nmain lines: 0\nmain junctions: 1\n"),
            std::string::npos);
  EXPECT_NE(r.out.find("main texts: 1\n"), std::string::npos);
  EXPECT_NE(r.out.find("title file: Title.A3 (title file)\n"), std::string::npos);
}

TEST(InfoCommandTest, FailuresAndUsage) {
  TempDir dir;
  WriteAll(dir.file("not.tcd"), "hello\n");
  WriteAll(dir.file("old.tcd"), "Tavro DATA FILE Ver 0.01\n");
  WriteAll(dir.file("new.tcd"), "Tavro DATA FILE Ver 0.10\n");
  WriteAll(dir.file("cut.tcd"), ReadAll(Demo("amp1.tcd")).substr(0, 300));
  struct Case {
    std::vector<std::string> args;
    int exitCode;
    std::string err;  // the start of stderr
  } cases[] = {
      {{"info", dir.file("missing.tcd")},
       1,
       "tavro: ファイル " + dir.file("missing.tcd") + " を開けません\n"},
      {{"info", dir.file("not.tcd")},
       1,
       "tavro: " + dir.file("not.tcd") + ": ファイルフォーマットが異常です\n"},
      {{"info", dir.file("old.tcd")},
       1,
       "tavro: " + dir.file("old.tcd") +
           " このファイルは読込めません。 "
           "バージョン０．６０以前のプログラムでセーブし直して下さい。\n"},
      {{"info", dir.file("new.tcd")},
       1,
       "tavro: " + dir.file("new.tcd") +
           ": サポートしていないバージョンのデータファイルです。 "
           "Ｔａｖｒｏのバージョンを上げて下さい。\n"},
      {{"info", dir.file("cut.tcd")},
       1,
       "tavro: " + dir.file("cut.tcd") + ": ファイルフォーマットが異常です（データが"},
      {{"info"}, 2, "tavro info: expected one file\n"},
      {{"info", "a", "b"}, 2, "tavro info: expected one file\n"},
      {{"info", "--bogus", "a"}, 2, "tavro info: unknown option '--bogus'\n"},
  };
  for (const Case& c : cases) {
    const test::RunResult r = RunTavro(c.args);
    EXPECT_EQ(r.exitCode, c.exitCode) << c.args.back();
    EXPECT_EQ(r.err.substr(0, c.err.size()), c.err) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), c.exitCode == 2 ? 2 : 1) << r.err;
    EXPECT_EQ(r.out, "");
  }
  const test::RunResult help = RunTavro({"info", "--help"});
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_EQ(help.out.rfind("Usage: tavro info FILE\n", 0), 0u);
}

TEST(ConvertCommandTest, SheetToTextAndBack) {
  TempDir dir;
  const std::string txt = dir.file("amp1.txt"), tcd = dir.file("amp1.tcd");
  test::RunResult r = RunTavro({"convert", Demo("amp1.tcd"), txt});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out + r.err, "");
  EXPECT_EQ(ReadAll(txt), ReadAll(Demo("src/amp1.txt")));
  r = RunTavro({"convert", txt, tcd});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(ReadAll(tcd), ReadAll(Demo("amp1.tcd")));
  // A sheet file to a sheet file writes it back unchanged.
  r = RunTavro({"convert", Demo("amp2.tcd"), dir.file("copy.tcd")});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(ReadAll(dir.file("copy.tcd")), ReadAll(Demo("amp2.tcd")));
}

TEST(ConvertCommandTest, TitleIncludeEmbedsTheFrame) {
  TempDir dir;
  const std::string out = dir.file("with.tcd");
  test::RunResult r = RunTavro({"convert", "--title-include", Demo("amp1.tcd"), out});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_GT(ReadAll(out).size(), ReadAll(Demo("amp1.tcd")).size());
  r = RunTavro({"info", out});
  EXPECT_NE(r.out.find("title file: Title.A3 (embedded)\n"), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find("title lines: 0\n"), std::string::npos) << r.out;
  // --size makes a portrait A4 sheet; --to writes a sheet file whatever the name.
  r = RunTavro({"convert", "--size", "5", "--to", "tcd", Demo("src/amp1.txt"), dir.file("x.A4P")});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  r = RunTavro({"info", dir.file("x.A4P")});
  EXPECT_NE(r.out.find("sheet size: 5 A4縦\nwork size: 8268 x 11693\n"), std::string::npos)
      << r.out;
}

TEST(ConvertCommandTest, ImagesWithoutADisplay) {
  TempDir dir;
  // No display: the batch draws on Qt's offscreen platform by itself.
  const std::vector<std::string> env = {"DISPLAY=", "WAYLAND_DISPLAY="};
  test::RunResult r =
      RunTavro({"convert", "--dpi", "20", Demo("amp1.tcd"), dir.file("a.png")}, env);
  if (!TAVRO_TEST_WITH_EDITOR) {
    // Built without the editor: nothing can draw, and the command says so.
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("built without the editor"), std::string::npos) << r.err;
    EXPECT_FALSE(std::filesystem::exists(dir.file("a.png")));
    return;
  }
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(test::ReadAll(dir.file("a.png")).substr(0, 8), "\x89PNG\r\n\x1a\n");
  r = RunTavro({"convert", "--mono", Demo("amp1.tcd"), dir.file("a.svg")}, env);
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const std::string svg = test::ReadAll(dir.file("a.svg"));
  EXPECT_NE(svg.find("<svg"), std::string::npos);
  EXPECT_NE(svg.find("</svg>"), std::string::npos);
}

TEST(ConvertCommandTest, FailuresAndUsage) {
  TempDir dir;
  WriteAll(dir.file("bad.tcd"), "nothing\n");
  struct Case {
    std::vector<std::string> args;
    int exitCode;
    std::string err;
  } cases[] = {
      {{"convert", Demo("amp1.tcd"), dir.file("x.bmp")},
       2,
       "tavro convert: OUT must end in .tcd (sheet file), .txt (text form), .sch (Tango), .dxf, "
       ".pdf, .png or .svg, or use --to\n"},
      {{"convert", "--to", "dwg", Demo("amp1.tcd"), dir.file("x")},
       2,
       "tavro convert: --to takes tcd, txt, tango, dxf, pdf, png or svg\n"},
      {{"convert", "--dpi", "100", Demo("amp1.tcd"), dir.file("x.tcd")},
       2,
       "tavro convert: --dpi and --mono apply to images (.png, .svg)\n"},
      {{"convert", "--dpi", "5", Demo("amp1.tcd"), dir.file("x.png")},
       2,
       "tavro convert: --dpi needs a number from 10 to 2400\n"},
      {{"convert", Demo("amp1.tcd"), "-", "--to", "png"},
       2,
       "tavro convert: an image is written to a file: give OUT a file name\n"},
      {{"convert", Demo("amp1.tcd"), dir.file("no/such/x.png")},
       1,
       // Without the editor nothing draws, and the command says so first.
       TAVRO_TEST_WITH_EDITOR ? "tavro: ファイル " + dir.file("no/such/x.png") + " を作成できません"
                              : std::string("tavro: this program was built without the editor")},
      {{"convert", "--size", "1", Demo("amp1.tcd"), dir.file("x.pdf")},
       2,
       "tavro convert: --size and --title-include apply to sheet files, not to a PDF\n"},
      {{"convert", "--size", "6", Demo("amp1.tcd"), dir.file("x.tcd")},
       2,
       "tavro convert: --size needs a sheet size code from 0 to 5\n"},
      {{"convert", Demo("amp1.tcd")}, 2, "tavro convert: expected IN and OUT\n"},
      {{"convert", dir.file("bad.tcd"), dir.file("x.tcd")},
       1,
       "tavro: " + dir.file("bad.tcd") + ": ファイルフォーマットが異常です\n"},
      {{"convert", Demo("amp1.tcd"), dir.file("no/such/x.tcd")},
       1,
       "tavro: ファイル " + dir.file("no/such/x.tcd") + " を作成できません"},
      {{"convert", Demo("amp1.tcd"), dir.file("no/such/x.txt")},
       1,
       "tavro: ファイル " + dir.file("no/such/x.txt") + " を作成できません"},
  };
  for (const Case& c : cases) {
    const test::RunResult r = RunTavro(c.args);
    EXPECT_EQ(r.exitCode, c.exitCode) << r.err;
    EXPECT_EQ(r.err.substr(0, c.err.size()), c.err);
  }
  EXPECT_FALSE(std::filesystem::exists(dir.file("x.tcd")));
  const test::RunResult help = RunTavro({"convert", "--help"});
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_NE(help.out.find("--title-include"), std::string::npos);
}

}  // namespace
}  // namespace tavro
