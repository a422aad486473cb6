// Replays the corpus of every fuzz harness (fuzz/corpus/<harness>/) through
// the harness's own entry point, so that every build checks the inputs the
// fuzzers kept: none may crash, and none may break its harness's check.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "fuzz/fuzz_entries.h"
#include "support/test_util.h"

namespace tavro {
namespace {

namespace fs = std::filesystem;

struct Harness {
  const char* name;
  bool (*entry)(const uint8_t*, size_t);
};

// Shown by the test runner (ctest lists each case by this, not by its bytes).
void PrintTo(const Harness& h, std::ostream* os) { *os << h.name; }

class FuzzCorpusTest : public ::testing::TestWithParam<Harness> {};

TEST_P(FuzzCorpusTest, EveryInputPasses) {
  const fs::path dir = fs::path(TAVRO_SOURCE_DIR) / "fuzz" / "corpus" / GetParam().name;
  ASSERT_TRUE(fs::is_directory(dir)) << dir;
  int count = 0;
  for (const auto& entry : fs::directory_iterator(dir)) {
    if (!entry.is_regular_file()) continue;
    const std::string bytes = test::ReadAll(entry.path().string());
    EXPECT_TRUE(GetParam().entry(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()))
        << entry.path();
    ++count;
  }
  EXPECT_GT(count, 0) << "empty corpus " << dir;
}

INSTANTIATE_TEST_SUITE_P(Harnesses, FuzzCorpusTest,
                         ::testing::Values(Harness{"sheet_file", fuzz::SheetFile},
                                           Harness{"text_form", fuzz::TextForm},
                                           Harness{"cleanup", fuzz::CleanupSheet},
                                           Harness{"project", fuzz::ProjectFileEntry},
                                           Harness{"settings", fuzz::SettingsFile},
                                           Harness{"html_template", fuzz::HtmlTemplateFile},
                                           Harness{"library", fuzz::LibraryFile},
                                           Harness{"text_library", fuzz::TextLibraryFile},
                                           Harness{"tango", fuzz::TangoFile},
                                           Harness{"wasis", fuzz::WasisFile}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tavro
