#include "support/test_util.h"

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "core/platform/dbcs.h"
#include "core/platform/settings.h"

namespace fs = std::filesystem;

namespace tavro::test {

TempDir::TempDir() {
  std::random_device rd;
  for (int i = 0; i < 100; ++i) {
    fs::path p = fs::temp_directory_path() /
                 ("tavro-test-" + std::to_string(::getpid()) + "-" + std::to_string(rd()));
    std::error_code ec;
    if (fs::create_directory(p, ec)) {
      path_ = p;
      return;
    }
  }
  throw std::runtime_error("cannot create a temporary folder");
}

TempDir::~TempDir() {
  std::error_code ec;
  fs::remove_all(path_, ec);
}

std::string DataPath(const std::string& relative) {
  return (fs::path(TAVRO_TEST_DATA_DIR) / relative).string();
}

size_t CountEntries(const std::string& dir) {
  size_t n = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir)) ++n;
  return n;
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

void WriteAll(const std::string& path, const std::string& data) {
  std::ofstream out(path, std::ios::binary);
  out << data;
}

::testing::AssertionResult MatchesGolden(const std::string& actual, const std::string& relative) {
  fs::path expected = DataPath(relative);
  std::string name = expected.filename().string();
  fs::path actualPath =
      expected.parent_path() /
      (name.rfind("expected", 0) == 0 ? "actual" + name.substr(8) : name + ".actual");
  const char* update = std::getenv("UPDATE_GOLDEN");
  if (update && std::string(update) == "1") {
    fs::create_directories(expected.parent_path());
    WriteAll(expected.string(), actual);
    return ::testing::AssertionSuccess();
  }
  std::error_code ec;
  if (!fs::exists(expected, ec)) {
    WriteAll(actualPath.string(), actual);
    return ::testing::AssertionFailure()
           << "golden file missing: " << expected << " (actual written to " << actualPath << ")";
  }
  std::string want = ReadAll(expected.string());
  if (want == actual) {
    fs::remove(actualPath, ec);
    return ::testing::AssertionSuccess();
  }
  WriteAll(actualPath.string(), actual);
  size_t i = 0;
  while (i < want.size() && i < actual.size() && want[i] == actual[i]) ++i;
  size_t line =
      1 + static_cast<size_t>(std::count(want.begin(), want.begin() + static_cast<long>(i), '\n'));
  return ::testing::AssertionFailure()
         << "differs from " << expected << " at byte " << i << " (line " << line
         << "); actual written to " << actualPath;
}

int RecordingHost::Step(bool advance) {
  int index = steps + polls;
  if (advance)
    ++steps;
  else
    ++polls;
  return (cancelAtStep >= 0 && index >= cancelAtStep) ? 1 : 0;
}

bool RecordingHost::IsFileOpen(const std::string& path) {
  for (const auto& f : openFiles)
    if (EqualNoCase(f, path)) return true;
  return false;
}

RunResult RunTavro(const std::vector<std::string>& args, const std::vector<std::string>& env) {
  TempDir tmp;
  std::string outPath = tmp.file("out"), errPath = tmp.file("err");
  pid_t pid = ::fork();
  if (pid == 0) {
    for (const auto& e : env) ::putenv(strdup(e.c_str()));
    std::freopen(outPath.c_str(), "w", stdout);
    std::freopen(errPath.c_str(), "w", stderr);
    std::vector<char*> argv;
    std::string exe = TAVRO_EXE;
    argv.push_back(exe.data());
    std::vector<std::string> copy = args;
    for (auto& a : copy) argv.push_back(a.data());
    argv.push_back(nullptr);
    ::execv(exe.c_str(), argv.data());
    std::_Exit(127);
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  RunResult r;
  r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  r.out = ReadAll(outPath);
  r.err = ReadAll(errPath);
  return r;
}

namespace {

// Every test program gets a private, empty settings store so that tests never
// read or write the user's own settings and programs running side by side do
// not share a file.
class SettingsEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    dir_ = std::make_unique<TempDir>();
    std::string path = dir_->file("tavro.ini");
    ::setenv("TAVRO_SETTINGS", path.c_str(), 1);
    store_ = std::make_unique<Settings>(path);
    SetAppSettings(store_.get());
  }
  void TearDown() override {
    SetAppSettings(nullptr);
    store_.reset();
    dir_.reset();
  }

 private:
  std::unique_ptr<TempDir> dir_;
  std::unique_ptr<Settings> store_;
};

const auto* const g_env = ::testing::AddGlobalTestEnvironment(new SettingsEnvironment);

}  // namespace

}  // namespace tavro::test
