// PNG files as 0xRRGGBB pixels, row by row, through libpng: written as 8-bit
// RGB, read from any kind of PNG.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace rig {

bool SavePng(const std::string& path, int w, int h, const std::vector<uint32_t>& rgb);
// The file's pixels and size; no pixels (and a size of 0 x 0) when it cannot be read.
std::vector<uint32_t> LoadPng(const std::string& path, int* w, int* h);

}  // namespace rig
