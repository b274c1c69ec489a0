// heightmap_png.h - reads a PNG file as grey levels for a height map: any
// colour type and bit depth, colours taken by their luminance, alpha
// dropped, 16-bit samples kept at full depth.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace fogviewer {

struct GreyImage {
  int32_t width = 0;
  int32_t height = 0;
  uint32_t maxValue = 255;      // 255 or 65535: the value of white
  std::vector<uint16_t> levels; // rows from the top
};

// Larger pictures are refused rather than allocated.
constexpr int32_t kMaxHeightMapSide = 8192;

// False, with the reason in `error`, when the file cannot be opened, is not
// a PNG, is damaged or has a side above kMaxHeightMapSide.
bool readGreyPng(const std::string &path, GreyImage &image, std::string &error);

} // namespace fogviewer
