// tavro pdf and tavro convert IN OUT.pdf: what the user sees.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/test_util.h"

namespace tavro {
namespace {

using test::ReadAll;
using test::RunTavro;
using test::TempDir;

std::string Demo(const std::string& name) {
  return std::string(TAVRO_SOURCE_DIR) + "/examples/demo/" + name;
}

TEST(PdfCommandTest, WritesThePagesAndSaysWhere) {
  TempDir dir;
  std::filesystem::copy(Demo(""), dir.path(), std::filesystem::copy_options::recursive);
  test::RunResult r = RunTavro({"pdf", "--bookmarks", "--title=Preamp", "--store",
                                dir.file("demo.tpj"), "-o", dir.file("out")});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "pdf: " + dir.file("out.pdf") + "\npages: 2\n");
  EXPECT_EQ(ReadAll(dir.file("out.pdf")).substr(0, 8), "%PDF-1.2");
  // --store kept the title in the project.
  r = RunTavro({"project", dir.file("demo.tpj")});
  EXPECT_NE(r.out.find("PDFTITLE"), std::string::npos) << r.out;

  r = RunTavro({"convert", dir.file("amp1.tcd"), dir.file("one.pdf")});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "pdf: " + dir.file("one.pdf") + "\npages: 1\n");
}

TEST(PdfCommandTest, BadUsage) {
  struct Case {
    std::vector<std::string> args;
    std::string err;
  } cases[] = {
      {{"pdf"}, "tavro pdf: expected a project file or one or more sheet files\n"},
      {{"pdf", "--scale", "2", Demo("amp1.tcd")},
       "tavro pdf: --scale needs a number from 0.4 to 1.6\n"},
      {{"pdf", "--left", "x", Demo("amp1.tcd")},
       "tavro pdf: --left needs a margin in mm from -100 to 100\n"},
      {{"pdf", "-o", "-", Demo("amp1.tcd")},
       "tavro pdf: --output needs a file name (a PDF is binary)\n"},
  };
  for (const Case& c : cases) {
    const test::RunResult r = RunTavro(c.args);
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.err.substr(0, c.err.size()), c.err);
  }
}

}  // namespace
}  // namespace tavro
