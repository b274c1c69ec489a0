// progress_bar.h - a one-line progress bar on the terminal for fogrender's
// long pictures. It draws only when standard error is a terminal, and only
// when the shown percentage changes, so it costs next to nothing per pixel.
#pragma once

#include <cstdint>
#include <string>

namespace fogrender {

class ProgressBar {
 public:
  // A bar for `total` steps labelled `label`; silent unless `enabled` and
  // standard error is a terminal.
  ProgressBar(std::string label, int64_t total, bool enabled);
  ~ProgressBar();
  ProgressBar(const ProgressBar &) = delete;
  ProgressBar &operator=(const ProgressBar &) = delete;

  // `done` steps of the total are finished.
  void update(int64_t done);
  // Ends the bar's line (called by the destructor too).
  void finish();

 private:
  void draw(int percent);

  std::string label_;
  int64_t total_;
  bool shown_;
  int lastPercent_ = -1;
  bool finished_ = false;
};

} // namespace fogrender
