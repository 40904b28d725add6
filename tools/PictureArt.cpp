// The drawing of the pictures compiled into the game, pixel by pixel on a
// 16-colour canvas, and their encoding as 4-bit BMP files.
#include "PictureArt.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace lumetra::art {

namespace {

// A picture of palette indices, one byte per pixel, rows top to bottom.
struct Canvas {
    int w = 0;
    int h = 0;
    std::array<uint32_t, 16> palette{};  // 0xRRGGBB
    std::vector<uint8_t> pixels;

    Canvas(int width, int height, std::array<uint32_t, 16> colours, uint8_t ground)
        : w(width),
          h(height),
          palette(colours),
          pixels(static_cast<size_t>(width * height), ground) {}

    void Set(int x, int y, uint8_t index) {
        if (x >= 0 && y >= 0 && x < w && y < h) pixels[static_cast<size_t>(y * w + x)] = index;
    }
    uint8_t At(int x, int y) const { return pixels[static_cast<size_t>(y * w + x)]; }
    void Fill(int x, int y, int fw, int fh, uint8_t index) {
        for (int j = y; j < y + fh; ++j)
            for (int i = x; i < x + fw; ++i) Set(i, j, index);
    }
    // A rectangle whose corners are cut along quarter circles of radius r.
    void FillRounded(int x, int y, int fw, int fh, int r, uint8_t index) {
        for (int j = 0; j < fh; ++j) {
            for (int i = 0; i < fw; ++i) {
                const int cx = i < r ? r - i : (i >= fw - r ? i - (fw - r - 1) : 0);
                const int cy = j < r ? r - j : (j >= fh - r ? j - (fh - r - 1) : 0);
                // Pixel centres against the corner circle, in doubled units.
                const int dx = 2 * cx - 1;
                const int dy = 2 * cy - 1;
                if (cx > 0 && cy > 0 && dx * dx + dy * dy > 4 * r * r) continue;
                Set(x + i, y + j, index);
            }
        }
    }
};

// ---- the lettering: a hand-made bold pixel font, 18 rows high, 4-pixel
// stems, round letters softened at their corners ----

const std::vector<std::string>& Glyph(char c) {
    // clang-format off
    static const std::vector<std::string> L = {
        "####.........", "####.........", "####.........",
        "####.........", "####.........", "####.........",
        "####.........", "####.........", "####.........",
        "####.........", "####.........", "####.........",
        "####.........", "####.........", "#############",
        "#############", "#############", "#############",
    };
    static const std::vector<std::string> U = {
        "####........####", "####........####", "####........####",
        "####........####", "####........####", "####........####",
        "####........####", "####........####", "####........####",
        "####........####", "####........####", "####........####",
        "####........####", "####........####", "#####......#####",
        "################", ".##############.", "..############..",
    };
    static const std::vector<std::string> M = {
        "####..........####", "#####........#####", "######......######",
        "#######....#######", "####.###..###.####", "####..######..####",
        "####...####...####", "####....##....####", "####..........####",
        "####..........####", "####..........####", "####..........####",
        "####..........####", "####..........####", "####..........####",
        "####..........####", "####..........####", "####..........####",
    };
    static const std::vector<std::string> E = {
        "#############", "#############", "#############",
        "#############", "####.........", "####.........",
        "####.........", "###########..", "###########..",
        "###########..", "###########..", "####.........",
        "####.........", "####.........", "#############",
        "#############", "#############", "#############",
    };
    static const std::vector<std::string> T = {
        "################", "################", "################",
        "################", "......####......", "......####......",
        "......####......", "......####......", "......####......",
        "......####......", "......####......", "......####......",
        "......####......", "......####......", "......####......",
        "......####......", "......####......", "......####......",
    };
    static const std::vector<std::string> R = {
        "##############..", "###############.", "################",
        "####........####", "####........####", "####........####",
        "################", "###############.", "##############..",
        "####.....####...", "####......####..", "####......####..",
        "####.......####.", "####.......####.", "####........####",
        "####........####", "####........####", "####........####",
    };
    static const std::vector<std::string> A = {
        "...##########...", "..############..", ".##############.",
        "#####......#####", "####........####", "####........####",
        "####........####", "####........####", "####........####",
        "################", "################", "################",
        "################", "####........####", "####........####",
        "####........####", "####........####", "####........####",
    };
    // clang-format on
    static const std::vector<std::string> none;
    switch (c) {
        case 'L':
            return L;
        case 'U':
            return U;
        case 'M':
            return M;
        case 'E':
            return E;
        case 'T':
            return T;
        case 'R':
            return R;
        case 'A':
            return A;
        default:
            return none;
    }
}

constexpr int kLetterGap = 3;
constexpr int kLetterHeight = 18;

int TextWidth(const std::string& text) {
    int width = 0;
    for (char c : text)
        width += static_cast<int>(Glyph(c).empty() ? 0 : Glyph(c)[0].size()) + kLetterGap;
    return text.empty() ? 0 : width - kLetterGap;
}

void DrawWord(Canvas& canvas, int x, int y, const std::string& text, uint8_t index) {
    for (char c : text) {
        const std::vector<std::string>& g = Glyph(c);
        if (g.empty()) continue;
        for (int j = 0; j < static_cast<int>(g.size()); ++j)
            for (int i = 0; i < static_cast<int>(g[static_cast<size_t>(j)].size()); ++i)
                if (g[static_cast<size_t>(j)][static_cast<size_t>(i)] == '#')
                    canvas.Set(x + i, y + j, index);
        x += static_cast<int>(g[0].size()) + kLetterGap;
    }
}

// ---- the logo ----

// Palette indices of the two logo pictures.
enum LogoColour : uint8_t {
    kBlack = 0,
    kBlue = 1,
    kGreen = 2,
    kDarkGreen = 3,
    kRed = 4,
    kYellow = 5,
    kPaper = 6
};

std::array<uint32_t, 16> LogoPalette(uint32_t paper) {
    std::array<uint32_t, 16> p{};
    p.fill(0xFFFFFF);
    p[kBlack] = 0x000000;
    p[kBlue] = 0x0000FF;
    p[kGreen] = 0x00C600;
    p[kDarkGreen] = 0x318C08;
    p[kRed] = 0xFF0000;
    p[kYellow] = 0xFFFF00;
    p[kPaper] = paper;
    return p;
}

// The four boxes of the game (red, yellow on top; blue, green below) in a
// rounded black frame, 40 x 40.
void DrawBoxes(Canvas& c, int x, int y) {
    c.FillRounded(x, y, 40, 40, 6, kBlack);
    const int box = 17;
    const int inner = 2;
    const uint8_t colours[4] = {kRed, kYellow, kBlue, kGreen};
    for (int k = 0; k < 4; ++k) {
        const int bx = x + inner + (k % 2) * (box + 2);
        const int by = y + inner + (k / 2) * (box + 2);
        c.FillRounded(bx, by, box, box, 2, colours[k]);
        // The box's outer corner follows the frame's rounding.
        const int cornerX = k % 2 == 0 ? bx : bx + box - 1;
        const int cornerY = k / 2 == 0 ? by : by + box - 1;
        const int sx = k % 2 == 0 ? 1 : -1;
        const int sy = k / 2 == 0 ? 1 : -1;
        c.Set(cornerX + sx, cornerY, kBlack);
        c.Set(cornerX, cornerY + sy, kBlack);
        c.Set(cornerX + sx, cornerY + sy, kBlack);
    }
}

// The green, white and red flag in a thin black edge, 17 x 12.
void DrawFlag(Canvas& c, int x, int y) {
    c.Fill(x, y, 17, 12, kBlack);
    c.Fill(x + 1, y + 1, 5, 10, kGreen);
    c.Fill(x + 6, y + 1, 5, 10, kPaper);
    c.Fill(x + 11, y + 1, 5, 10, kRed);
}

Canvas Logo(int w, uint32_t paper, bool flag) {
    Canvas c(w, 50, LogoPalette(paper), kPaper);
    // The dark green border, two pixels wide.
    c.Fill(0, 0, w, 2, kDarkGreen);
    c.Fill(0, 48, w, 2, kDarkGreen);
    c.Fill(0, 0, 2, 50, kDarkGreen);
    c.Fill(w - 2, 0, 2, 50, kDarkGreen);
    DrawBoxes(c, 6, 5);
    // The name on two lines, both centred on the space right of the boxes
    // (left of the flag when there is one).
    const int left = 50;
    const int right = flag ? w - 24 : w - 6;
    const int centre = (left + right) / 2;
    DrawWord(c, centre - TextWidth("LUME") / 2, 5, "LUME", kRed);
    DrawWord(c, centre - TextWidth("TRA") / 2, 5 + kLetterHeight + 4, "TRA", kRed);
    if (flag) DrawFlag(c, w - 22, 33);
    return c;
}

Canvas TitlePicture() { return Logo(200, 0xFFFFFF, true); }
Canvas AboutLogoPicture() { return Logo(163, 0xFFFFEF, false); }

// ---- the 20 x 20 check and option box pictures; n = 1 disabled and on,
// 2 enabled and on, 3 disabled and off, 4 enabled and off ----

enum SmallColour : uint8_t {
    kGround = 0,
    kDark = 1,
    kShade = 2,
    kLight = 3,
    kWhite = 4,
    kFace = 5,
    kDot = 6
};

std::array<uint32_t, 16> SmallPalette(uint32_t face, bool option) {
    std::array<uint32_t, 16> p{};
    p.fill(0xFFFFFF);
    p[kGround] = 0x000000;
    p[kDark] = 0x424242;
    p[kShade] = 0x848484;
    p[kLight] = 0xD6D6CE;
    p[kWhite] = 0xFFFFFF;
    p[kFace] = face;
    if (option) p[kDot] = 0x010101;
    return p;
}

// A sunken square filling the picture: outer edge shade above and left,
// white below and right; inner edge dark above and left, light below and
// right; the face in index 5 (grey or white by palette).
Canvas CheckBoxPicture(int n) {
    const bool grey = n == 1 || n == 3;
    Canvas c(20, 20, SmallPalette(grey ? 0x9B9B9B : 0xFFFFFF, false), kFace);
    c.Fill(0, 0, 20, 1, kShade);
    c.Fill(0, 0, 1, 20, kShade);
    c.Fill(0, 19, 20, 1, kWhite);
    c.Fill(19, 0, 1, 20, kWhite);
    c.Fill(1, 1, 18, 1, kDark);
    c.Fill(1, 1, 1, 18, kDark);
    c.Fill(1, 18, 18, 1, kLight);
    c.Fill(18, 1, 1, 18, kLight);
    if (n == 1 || n == 2) {
        // The check mark: a short stroke down to the right, a long one up,
        // each three pixels thick.
        for (int x = 5; x <= 14; ++x) {
            const int top = x <= 8 ? 8 + (x - 5) : 11 - (x - 8);
            c.Fill(x, top, 1, 3, kDark);
        }
    }
    return c;
}

// A sunken circle 13 pixels across, centred on pixel 9, 9, on black ground
// (drawn transparent): an outer edge shade above and left, white below and
// right; an inner edge dark above and left, light below and right.
Canvas OptionBoxPicture(int n) {
    Canvas c(20, 20, SmallPalette(0x9B9B9B, true), kGround);
    const bool grey = n == 1 || n == 3;
    const uint8_t face = grey ? kFace : kWhite;
    const bool dotted = n == 1 || n == 2;
    const uint8_t dot = n == 1 ? kDark : kDot;
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 20; ++x) {
            const int dx = x - 9;
            const int dy = y - 9;
            const int d2 = dx * dx + dy * dy;
            // The side an edge pixel faces; the two pixels on the rising
            // diagonal go with the upper, darker half.
            const bool upLeft = dx + dy < 0 || (dx + dy == 0 && dy < 0);
            if (d2 > 42) continue;  // radius 6.5
            if (d2 > 30) {
                c.Set(x, y, upLeft ? kShade : kWhite);
            } else if (d2 > 20) {
                c.Set(x, y, upLeft ? kDark : kLight);
            } else {
                c.Set(x, y, dotted && d2 <= 6 ? dot : face);
            }
        }
    }
    return c;
}

// ---- the 4-bit BMP file ----

void PutLe(std::vector<uint8_t>& out, size_t at, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out[at + static_cast<size_t>(i)] = static_cast<uint8_t>(value >> (8 * i));
}

// An uncompressed bottom-up 4-bit BMP with a 16-entry palette.
std::vector<uint8_t> Bmp4(const Canvas& c) {
    const size_t rowBytes = (static_cast<size_t>(c.w) + 1) / 2;
    const size_t stride = (rowBytes + 3) / 4 * 4;
    const size_t offset = 14 + 40 + 16 * 4;
    const size_t size = offset + stride * static_cast<size_t>(c.h);
    std::vector<uint8_t> out(size, 0);
    out[0] = 'B';
    out[1] = 'M';
    PutLe(out, 2, static_cast<uint32_t>(size), 4);
    PutLe(out, 10, static_cast<uint32_t>(offset), 4);
    PutLe(out, 14, 40, 4);
    PutLe(out, 18, static_cast<uint32_t>(c.w), 4);
    PutLe(out, 22, static_cast<uint32_t>(c.h), 4);
    PutLe(out, 26, 1, 2);
    PutLe(out, 28, 4, 2);
    PutLe(out, 34, static_cast<uint32_t>(stride * static_cast<size_t>(c.h)), 4);
    PutLe(out, 38, 2835, 4);
    PutLe(out, 42, 2835, 4);
    PutLe(out, 46, 16, 4);
    for (size_t i = 0; i < 16; ++i) {
        const uint32_t rgb = c.palette[i];
        out[54 + 4 * i] = static_cast<uint8_t>(rgb);
        out[55 + 4 * i] = static_cast<uint8_t>(rgb >> 8);
        out[56 + 4 * i] = static_cast<uint8_t>(rgb >> 16);
    }
    for (int y = 0; y < c.h; ++y) {
        uint8_t* row = out.data() + offset + static_cast<size_t>(c.h - 1 - y) * stride;
        for (int x = 0; x < c.w; ++x) {
            const uint8_t v = c.At(x, y) & 0x0F;
            row[x / 2] = static_cast<uint8_t>(row[x / 2] | (x % 2 == 0 ? v << 4 : v));
        }
    }
    return out;
}

}  // namespace

std::vector<NamedPicture> AllPictures() {
    std::vector<NamedPicture> all = {{"title.bmp", Bmp4(TitlePicture())},
                                     {"aboutlogo.bmp", Bmp4(AboutLogoPicture())}};
    for (int n = 1; n <= 4; ++n)
        all.push_back({"checkbox" + std::to_string(n) + ".bmp", Bmp4(CheckBoxPicture(n))});
    for (int n = 1; n <= 4; ++n)
        all.push_back({"optionbox" + std::to_string(n) + ".bmp", Bmp4(OptionBoxPicture(n))});
    return all;
}

}  // namespace lumetra::art
