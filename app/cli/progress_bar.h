// The command line's host: a progress bar on stderr with the system's stage
// texts, drawn only when stderr is a terminal. It never cancels.
#pragma once

#include <cstdio>
#include <string>

#include "core/platform/host.h"

namespace tavro::cli {

class ProgressBar : public Host {
 public:
  // Draws on `out` when it is a terminal (or always with force), never when quiet.
  explicit ProgressBar(bool quiet = false, std::FILE* out = stderr, bool force = false);
  ~ProgressBar() override;
  ProgressBar(const ProgressBar&) = delete;
  ProgressBar& operator=(const ProgressBar&) = delete;

  void BeginStage(int stage, int total) override;
  int Step(bool advance) override;
  // Clears the bar's line (before the command prints its result).
  void Finish();

 private:
  void Draw();

  std::FILE* out_;
  bool enabled_;
  int stage_ = -1;
  int total_ = 0;
  int done_ = 0;
  int lastDrawn_ = -1;  // per mille last drawn
  bool drawn_ = false;
};

}  // namespace tavro::cli
