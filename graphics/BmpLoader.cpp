// Reading 24, 8 and 4-bit BMP files, and the 4-bit pictures' C export.
#include "lumetra/graphics/BmpLoader.h"

#include <array>
#include <cstdio>

#include "lumetra/core/Log.h"
#include "lumetra/graphics/ImageFormat.h"
#include "lumetra/util/LittleEndian.h"
#include "lumetra/util/Paths.h"
#include "lumetra/util/Strings.h"
#include "lumetra/util/TextFile.h"

namespace lumetra {

namespace {

constexpr size_t kHeaderBytes = 54;
constexpr size_t kMaxPaletteBytes = 1024;
// Decoded pixels beyond this are refused before anything is allocated: a
// legal 16384 x 16384 file would otherwise take a gigabyte.
constexpr size_t kMaxDecodedBytes = size_t{64} << 20;

using Palette = std::array<std::array<uint8_t, 3>, 256>;

// A file checked against what its header promises, read as far as its last
// pixel row. Everything the decoders touch lies inside `bytes`.
struct BmpFile {
    int width = 0;
    int height = 0;
    size_t pixelOffset = 0;
    size_t rowBytes = 0;  // one stored row, padding included
    size_t paletteEntries = 0;
    Palette palette{};  // entries beyond paletteEntries stay black
    std::vector<uint8_t> bytes;
    const uint8_t* Row(size_t storedRow) const {
        return bytes.data() + pixelOffset + storedRow * rowBytes;
    }
};

bool Reject(const std::string& path, const char* reason) {
    Log("BMP file " + path + " rejected: " + reason);
    return false;
}

// bitsPerPixel selects how wide a row is and whether a palette is read.
bool ReadBmp(const std::string& path, int bitsPerPixel, BmpFile& bmp) {
    bool notRegular = false;
    File f(OpenRegularFile(path, "rb", &notRegular));
    if (!f) return Reject(path, notRegular ? "not a regular file" : "cannot be opened");
    if (std::fseek(f.get(), 0, SEEK_END) != 0) return Reject(path, "cannot be read");
    const long end = std::ftell(f.get());
    if (end < 0 || std::fseek(f.get(), 0, SEEK_SET) != 0) return Reject(path, "cannot be read");
    const size_t fileSize = static_cast<size_t>(end);
    if (fileSize < kHeaderBytes) return Reject(path, "shorter than a BMP header");

    uint8_t header[kHeaderBytes];
    if (std::fread(header, 1, kHeaderBytes, f.get()) != kHeaderBytes)
        return Reject(path, "header cannot be read");
    const int32_t w = static_cast<int32_t>(Le32(header + 18));
    const int32_t h = static_cast<int32_t>(Le32(header + 22));
    if (w < 1 || h < 1 || w > MaxImageSide || h > MaxImageSide)
        return Reject(path, "width or height out of range");
    if (static_cast<size_t>(w) * static_cast<size_t>(h) * 3 > kMaxDecodedBytes)
        return Reject(path, "over 64 MiB of pixels");
    const size_t offset = Le32(header + 10);
    if (offset < kHeaderBytes) return Reject(path, "pixel data inside the header");
    if (offset > fileSize) return Reject(path, "pixel data beyond the end of the file");
    const bool paletted = bitsPerPixel != 24;
    if (paletted && offset - kHeaderBytes > kMaxPaletteBytes)
        return Reject(path, "palette larger than 1024 bytes");

    const size_t width = static_cast<size_t>(w);
    const size_t used = bitsPerPixel == 24  ? width * 3
                        : bitsPerPixel == 8 ? width
                                            : (width + 1) / 2;
    const size_t rowBytes = (used + 3) / 4 * 4;
    // The last row needs no padding after its pixels.
    const size_t needed = offset + rowBytes * static_cast<size_t>(h - 1) + used;
    if (needed > fileSize) return Reject(path, "pixel rows missing (file truncated)");

    bmp.bytes.assign(header, header + kHeaderBytes);
    bmp.bytes.resize(needed);
    const size_t rest = needed - kHeaderBytes;
    if (std::fread(bmp.bytes.data() + kHeaderBytes, 1, rest, f.get()) != rest)
        return Reject(path, "cannot be read");

    bmp.width = w;
    bmp.height = h;
    bmp.pixelOffset = offset;
    bmp.rowBytes = rowBytes;
    if (paletted) {
        bmp.paletteEntries = (offset - kHeaderBytes) / 4;
        for (size_t i = 0; i < bmp.paletteEntries; ++i) {
            const uint8_t* e = bmp.bytes.data() + kHeaderBytes + 4 * i;
            bmp.palette[i] = {e[2], e[1], e[0]};
        }
    }
    return true;
}

// Calls put(x, paletteIndexOrPixel, outPointer) for every pixel, output rows
// top to bottom as the stored rows go bottom to top.
template <typename Pixel>
RgbImage Decode(const BmpFile& bmp, Pixel pixel) {
    RgbImage image;
    image.width = bmp.width;
    image.height = bmp.height;
    const size_t width = static_cast<size_t>(bmp.width);
    const size_t height = static_cast<size_t>(bmp.height);
    image.pixels.resize(width * height * 3);
    for (size_t r = 0; r < height; ++r) {
        const uint8_t* in = bmp.Row(r);
        uint8_t* out = image.pixels.data() + (height - 1 - r) * width * 3;
        for (size_t x = 0; x < width; ++x, out += 3) pixel(in, x, out);
    }
    return image;
}

void PutPalette(const Palette& palette, unsigned index, uint8_t* out) {
    out[0] = palette[index][0];
    out[1] = palette[index][1];
    out[2] = palette[index][2];
}

std::string Hex(uint8_t b) { return "0x" + ByteToHex(b) + ","; }

// The picture in the embedded format as C source: exactly 16 palette entries
// (the format's 48 bytes), then the stored rows without their padding.
std::string CSource(const std::string& name, const BmpFile& bmp) {
    std::string text = "int w" + name + " = " + IntToString(bmp.width) + ";\n";
    text += "int h" + name + " = " + IntToString(bmp.height) + ";\n\n";
    text += "char img" + name + "[] = {\n";
    for (size_t i = 0; i < 16; ++i)
        text += Hex(bmp.palette[i][0]) + Hex(bmp.palette[i][1]) + Hex(bmp.palette[i][2]);
    text += "\n";
    const size_t used = (static_cast<size_t>(bmp.width) + 1) / 2;
    for (size_t r = 0; r < static_cast<size_t>(bmp.height); ++r) {
        const uint8_t* in = bmp.Row(r);
        for (size_t i = 0; i < used; ++i) text += Hex(in[i]);
        text += "\n";
    }
    text += "};\n";
    return text;
}

}  // namespace

std::string ExportName(const std::string& path) {
    std::string name = FileNameOf(path);
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos) name.erase(dot);
    return ToUpper(name);
}

RgbImage LoadBmp24(const std::string& path) {
    BmpFile bmp;
    if (!ReadBmp(path, 24, bmp)) return {};
    return Decode(bmp, [](const uint8_t* in, size_t x, uint8_t* out) {
        const uint8_t* p = in + 3 * x;
        out[0] = p[2];
        out[1] = p[1];
        out[2] = p[0];
    });
}

RgbImage LoadBmp8(const std::string& path) {
    BmpFile bmp;
    if (!ReadBmp(path, 8, bmp)) return {};
    return Decode(bmp, [&bmp](const uint8_t* in, size_t x, uint8_t* out) {
        PutPalette(bmp.palette, in[x], out);
    });
}

RgbImage LoadBmp4(const std::string& path) {
    BmpFile bmp;
    if (!ReadBmp(path, 4, bmp)) return {};
    RgbImage image = Decode(bmp, [&bmp](const uint8_t* in, size_t x, uint8_t* out) {
        const uint8_t byte = in[x / 2];
        PutPalette(bmp.palette, x % 2 == 0 ? byte >> 4 : byte & 0x0F, out);
    });
    const std::string exportPath = path + ".c";
    if (FileExists(exportPath)) RemoveFile(exportPath);
    TextFile out(exportPath);
    if (!out.WriteLines({CSource(ExportName(path), bmp)}))
        Log("C export of " + path + " could not be written to " + exportPath);
    return image;
}

}  // namespace lumetra
