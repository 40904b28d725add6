#include "graphics/Pictures.h"

#include <vector>

namespace lumetra {

namespace {

// Temporary stand-ins of the right sizes and palettes until the drawn
// pictures are generated: a frame of palette index `frame` around a face of
// index `face`.
struct Placeholder {
    std::vector<unsigned char> data;
    EmbeddedPicture picture;
    Placeholder(int w, int h, std::vector<unsigned char> palette, int frame, int face) {
        data = std::move(palette);
        data.resize(48, 0xFF);
        const int rowBytes = (w + 1) / 2;
        for (int r = 0; r < h; ++r) {
            for (int b = 0; b < rowBytes; ++b) {
                unsigned char byte = 0;
                for (int k = 0; k < 2; ++k) {
                    const int x = 2 * b + k;
                    const bool edge = x < 2 || x >= w - 2 || r < 2 || r >= h - 2;
                    const int index = edge ? frame : face;
                    byte = static_cast<unsigned char>(byte | (k == 0 ? index << 4 : index));
                }
                data.push_back(byte);
            }
        }
        picture = EmbeddedPicture{w, h, data.data()};
    }
};

const std::vector<unsigned char> kLogoPalette = {0x00, 0x00, 0x00, 0x00, 0x00, 0xFF, 0x00, 0xC6, 0x00,
                                                 0x31, 0x8C, 0x08, 0xFF, 0x00, 0x00, 0xFF, 0xFF, 0x00};
std::vector<unsigned char> SmallPalette(bool greyFace, bool option) {
    std::vector<unsigned char> p = {0x00, 0x00, 0x00, 0x42, 0x42, 0x42, 0x84, 0x84, 0x84, 0xD6, 0xD6, 0xCE, 0xFF, 0xFF, 0xFF};
    if (greyFace || option) {
        p.insert(p.end(), {0x9B, 0x9B, 0x9B});
    } else {
        p.insert(p.end(), {0xFF, 0xFF, 0xFF});
    }
    if (option) p.insert(p.end(), {0x01, 0x01, 0x01});
    return p;
}

}  // namespace

const EmbeddedPicture& TitlePicture() {
    static const Placeholder p(200, 50, kLogoPalette, 3, 6);
    return p.picture;
}

const EmbeddedPicture& AboutLogoPicture() {
    static const Placeholder p(163, 50, [] {
        std::vector<unsigned char> palette = kLogoPalette;
        palette.insert(palette.end(), {0xFF, 0xFF, 0xEF});
        return palette;
    }(), 3, 6);
    return p.picture;
}

const EmbeddedPicture& CheckBoxPicture(int n) {
    static const Placeholder p1(20, 20, SmallPalette(true, false), 2, 5);
    static const Placeholder p2(20, 20, SmallPalette(false, false), 2, 5);
    static const Placeholder p3(20, 20, SmallPalette(true, false), 2, 5);
    static const Placeholder p4(20, 20, SmallPalette(false, false), 2, 5);
    switch (n) {
        case 1: return p1.picture;
        case 2: return p2.picture;
        case 3: return p3.picture;
        default: return p4.picture;
    }
}

const EmbeddedPicture& OptionBoxPicture(int n) {
    static const Placeholder p1(20, 20, SmallPalette(true, true), 0, 5);
    static const Placeholder p2(20, 20, SmallPalette(true, true), 0, 4);
    static const Placeholder p3(20, 20, SmallPalette(true, true), 0, 5);
    static const Placeholder p4(20, 20, SmallPalette(true, true), 0, 4);
    switch (n) {
        case 1: return p1.picture;
        case 2: return p2.picture;
        case 3: return p3.picture;
        default: return p4.picture;
    }
}

}  // namespace lumetra
