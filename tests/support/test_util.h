// Helpers shared by the tests: temporary folders, golden files, a recording
// host and a private settings store per test program.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/platform/host.h"

namespace tavro::test {

// A fresh folder under the system's temporary folder, removed on destruction.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::string file(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

// Path of a file under tests/data.
std::string DataPath(const std::string& relative);
std::string ReadAll(const std::string& path);
// The number of entries directly in a folder (files left behind count).
size_t CountEntries(const std::string& dir);
void WriteAll(const std::string& path, const std::string& data);

// Compares `actual` with tests/data/<relative> byte for byte. On a mismatch the
// actual text is written beside it as actual.<ext> (expected.<ext> ->
// actual.<ext>); with UPDATE_GOLDEN=1 the expected file is rewritten instead.
::testing::AssertionResult MatchesGolden(const std::string& actual, const std::string& relative);

// A host that records what the core reports and can cancel at a given step.
class RecordingHost : public Host {
 public:
  struct StageCall {
    int stage;
    int total;
  };
  std::vector<StageCall> stages;
  int steps = 0;
  int polls = 0;
  int cancelAtStep =
      -1;  // answer "cancel" on this step number (0-based, counting advances and polls)
  std::vector<std::string> openFiles;  // paths IsFileOpen answers true for
  int gridStep = 100;

  void BeginStage(int stage, int total) override { stages.push_back({stage, total}); }
  int Step(bool advance) override;
  bool IsFileOpen(const std::string& path) override;
  int GridStep() override { return gridStep; }
};

// Result of running the tavro program.
struct RunResult {
  int exitCode = -1;
  std::string out;
  std::string err;
};
// Runs the built tavro program with `args` (and extra environment "K=V" entries).
RunResult RunTavro(const std::vector<std::string>& args, const std::vector<std::string>& env = {});

}  // namespace tavro::test
