#include "rig/Golden.h"

#include <png.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <thread>
#include <vector>

#include "rig/Rig.h"

namespace rig {

namespace {

// 0xRRGGBB pixels, row by row, as an 8-bit RGB file.
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

// The file's pixels and size; no pixels (and a size of 0 x 0) when it cannot be read.
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

bool Renewing() {
    const char* renew = std::getenv("LUMETRA_RENEW_GOLDEN");
    return renew != nullptr && std::string(renew) == "1";
}

// One comparison; on a mismatch the pictures are written.
std::string CompareOnce(Display* d, Window win, const std::string& name, int x, int y, int width,
                        int height) {
    XWindowAttributes a{};
    if ((width == 0 || height == 0) && XGetWindowAttributes(d, win, &a)) {
        width = a.width;
        height = a.height;
    }
    Sync(d);
    const std::vector<uint32_t> actual = Pixels(d, win, x, y, width, height);
    if (actual.empty()) return name + ": the server gave no pixels";
    const std::string reference =
        std::string(LUMETRA_SOURCE_DIR) + "/tests/golden/" + name + ".png";
    if (Renewing())
        return SavePng(reference, width, height, actual) ? "" : "cannot write " + reference;
    int w = 0;
    int h = 0;
    const std::vector<uint32_t> expected = LoadPng(reference, &w, &h);
    const bool sameSize = w == width && h == height && expected.size() == actual.size();
    size_t differ = 0;
    std::vector<uint32_t> diff(actual.size());
    for (size_t i = 0; i < actual.size(); ++i) {
        const bool same = sameSize && expected[i] == actual[i];
        differ += same ? 0 : 1;
        diff[i] = same ? (actual[i] >> 2 & 0x3F3F3F) : 0xFF00FF;
    }
    if (differ == 0) return "";
    const std::string dir = std::string(LUMETRA_BINARY_DIR) + "/golden-fail";
    mkdir(dir.c_str(), 0755);
    SavePng(dir + "/" + name + ".actual.png", width, height, actual);
    SavePng(dir + "/" + name + ".diff.png", width, height, diff);
    const std::string what =
        sameSize ? std::to_string(differ) + " pixels differ from " : "the size differs from ";
    return name + ": " + what + reference + "; see " + dir + "/" + name +
           ".actual.png and .diff.png (LUMETRA_RENEW_GOLDEN=1 renews)";
}

}  // namespace

std::string CompareGolden(Display* d, Window w, const std::string& name,
                          const std::function<bool()>& settle, int x, int y, int width,
                          int height) {
    const auto next = [&settle] {
        if (settle) return settle();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        return false;
    };
    const auto start = std::chrono::steady_clock::now();
    bool settled = next();
    // A picture written anew must have settled: a second's time first.
    while (Renewing() && std::chrono::steady_clock::now() < start + std::chrono::seconds(1))
        settled = next();
    std::string diff = CompareOnce(d, w, name, x, y, width, height);
    while (!diff.empty() && !settled &&
           std::chrono::steady_clock::now() < start + std::chrono::seconds(3)) {
        settled = next();
        diff = CompareOnce(d, w, name, x, y, width, height);
    }
    return diff;
}

bool SaveWindowPng(Display* d, Window w, const std::string& path, int scale) {
    XWindowAttributes a{};
    const std::vector<uint32_t> px = XGetWindowAttributes(d, w, &a)
                                         ? Pixels(d, w, 0, 0, a.width, a.height)
                                         : std::vector<uint32_t>{};
    std::vector<uint32_t> out;
    for (int j = 0; j < a.height * scale && !px.empty(); ++j)
        for (int i = 0; i < a.width * scale; ++i)
            out.push_back(px[static_cast<size_t>(j / scale * a.width + i / scale)]);
    return !px.empty() && SavePng(path, a.width * scale, a.height * scale, out);
}

}  // namespace rig
