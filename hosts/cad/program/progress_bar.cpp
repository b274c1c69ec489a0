// progress_bar.cpp - drawing the bar with carriage returns on stderr.
#include "progress_bar.h"

#include <unistd.h>

#include <cstdio>
#include <utility>

namespace fogrender {
namespace {

constexpr int kBarWidth = 40;

} // namespace

ProgressBar::ProgressBar(std::string label, int64_t total, bool enabled)
    : label_(std::move(label)),
      total_(total > 0 ? total : 1),
      shown_(enabled && isatty(STDERR_FILENO) == 1) {
  if (shown_) draw(0);
}

ProgressBar::~ProgressBar() {
  finish();
}

void ProgressBar::update(int64_t done) {
  if (!shown_ || finished_) return;
  const int percent = static_cast<int>(done * 100 / total_);
  if (percent != lastPercent_) draw(percent);
}

void ProgressBar::finish() {
  if (!shown_ || finished_) return;
  finished_ = true;
  std::fputc('\n', stderr);
  std::fflush(stderr);
}

void ProgressBar::draw(int percent) {
  lastPercent_ = percent;
  const int filled = percent * kBarWidth / 100;
  char bar[kBarWidth + 1];
  for (int i = 0; i < kBarWidth; ++i) bar[i] = i < filled ? '#' : '.';
  bar[kBarWidth] = '\0';
  std::fprintf(stderr, "\r%s [%s] %3d%%", label_.c_str(), bar, percent);
  std::fflush(stderr);
}

} // namespace fogrender
