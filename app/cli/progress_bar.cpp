#include "app/cli/progress_bar.h"

#include <unistd.h>

#include <algorithm>

namespace tavro::cli {

namespace {
constexpr int kBarWidth = 30;
}  // namespace

ProgressBar::ProgressBar(bool quiet, std::FILE* out, bool force)
    : out_(out), enabled_(!quiet && (force || (out != nullptr && ::isatty(::fileno(out)) != 0))) {}

ProgressBar::~ProgressBar() { Finish(); }

void ProgressBar::BeginStage(int stage, int total) {
  stage_ = stage;
  total_ = std::max(total, 0);
  done_ = 0;
  lastDrawn_ = -1;
  Draw();
}

int ProgressBar::Step(bool advance) {
  if (advance && done_ < total_) {
    ++done_;
    Draw();
  }
  return 0;
}

void ProgressBar::Draw() {
  if (!enabled_) return;
  const int permille = total_ > 0 ? static_cast<int>(1000LL * done_ / total_) : 0;
  // Redraw only when the bar visibly moves (or a stage starts).
  if (permille / 10 == lastDrawn_ / 10 && lastDrawn_ >= 0) return;
  lastDrawn_ = permille;
  const int filled = permille * kBarWidth / 1000;
  std::string bar(static_cast<size_t>(filled), '#');
  bar.resize(kBarWidth, '.');
  std::fprintf(out_, "\r\033[K%s [%s] %3d%%", StageTextUtf8(stage_), bar.c_str(), permille / 10);
  std::fflush(out_);
  drawn_ = true;
}

void ProgressBar::Finish() {
  if (enabled_ && drawn_) {
    std::fprintf(out_, "\r\033[K");
    std::fflush(out_);
  }
  drawn_ = false;
}

}  // namespace tavro::cli
