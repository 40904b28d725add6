#include "rig/Png.h"

#include <png.h>

namespace rig {

bool SavePng(const std::string& path, int w, int h, const std::vector<uint32_t>& rgb) {
    std::vector<png_byte> bytes;
    for (uint32_t pixel : rgb) {
        bytes.push_back(static_cast<png_byte>(pixel >> 16));
        bytes.push_back(static_cast<png_byte>(pixel >> 8));
        bytes.push_back(static_cast<png_byte>(pixel));
    }
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(w);
    image.height = static_cast<png_uint_32>(h);
    image.format = PNG_FORMAT_RGB;
    return png_image_write_to_file(&image, path.c_str(), 0, bytes.data(), 0, nullptr) != 0;
}

std::vector<uint32_t> LoadPng(const std::string& path, int* w, int* h) {
    *w = 0;
    *h = 0;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_file(&image, path.c_str()) == 0) return {};
    image.format = PNG_FORMAT_RGB;
    std::vector<png_byte> bytes(PNG_IMAGE_SIZE(image));
    if (png_image_finish_read(&image, nullptr, bytes.data(), 0, nullptr) == 0) return {};
    std::vector<uint32_t> rgb;
    for (size_t i = 0; i + 2 < bytes.size(); i += 3)
        rgb.push_back(uint32_t{bytes[i]} << 16 | uint32_t{bytes[i + 1]} << 8 | bytes[i + 2]);
    *w = static_cast<int>(image.width);
    *h = static_cast<int>(image.height);
    return rgb;
}

}  // namespace rig
