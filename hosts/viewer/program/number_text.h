// number_text.h - numbers in the viewer's command scripts: read strictly
// (the whole word must be one finite number) and written in the shortest
// form that reads back to the same double, so a session script replays
// exactly what was on screen.
#pragma once

#include <charconv>
#include <cmath>
#include <optional>
#include <string>
#include <string_view>

namespace fogviewer {

inline std::optional<double> readNumber(std::string_view text) {
  double value = 0.0;
  const char *end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  if (error != std::errc() || stop != end || !std::isfinite(value)) return std::nullopt;
  return value;
}

inline std::string numberText(double value) {
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

} // namespace fogviewer
