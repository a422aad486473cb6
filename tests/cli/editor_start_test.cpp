// Which starts open the editor and which run a batch command.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/cli/cli.h"
#include "support/test_util.h"

namespace tavro::cli {
namespace {

TEST(EditorStartTest, CommandsRunHeadlessFilesOpenTheEditor) {
  test::TempDir tmp;
  test::WriteAll(tmp.file("noext"), "");
  struct Case {
    std::vector<std::string> args;
    bool batch;
  } cases[] = {
      {{}, false},                   // `tavro` alone: the editor
      {{"netlist", "a.tpj"}, true},  // a command
      {{"help"}, true},
      {{"--version"}, true},
      {{"-h"}, true},
      {{"demo.tpj"}, false},  // a file, existing or not
      {{"sheets/amp1.tcd", "b.tcd"}, false},
      {{tmp.file("noext")}, false},  // an existing file without extension
      {{"bogus"}, true},             // a mistyped command is reported
  };
  for (const Case& c : cases) {
    std::vector<std::string> words = {"tavro"};
    words.insert(words.end(), c.args.begin(), c.args.end());
    std::vector<char*> argv;
    for (std::string& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);
    EXPECT_EQ(IsBatchInvocation(static_cast<int>(words.size()), argv.data()), c.batch)
        << (c.args.empty() ? "(none)" : c.args[0]);
  }
}

}  // namespace
}  // namespace tavro::cli
