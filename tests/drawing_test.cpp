// Every drawing operation of the GraphicsContext, checked on the pixels the
// X server holds afterwards.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ControlFixture.h"
#include "graphics/FontDescriptor.h"
#include "graphics/GraphicsContext.h"
#include "graphics/ImageFormat.h"

using namespace lumetra;
using testing_controls::ControlFixture;
using testing_controls::kFormBack;

namespace {

constexpr uint32_t kBack = static_cast<uint32_t>(kFormBack);
constexpr Colour kRed = 0xFF0000;
constexpr Colour kGreen = 0x00FF00;
constexpr Colour kBlue = 0x0000FF;
constexpr Colour kInk = 0x202020;

class Drawing : public ControlFixture {
protected:
    // Rows (relative to y) of the box x, y, w, h that hold the colour.
    std::vector<int> RowsWith(int x, int y, int w, int h, uint32_t colour) {
        std::vector<int> rows;
        for (int j = 0; j < h; ++j)
            if (Count(x, y + j, w, 1, colour) > 0) rows.push_back(j);
        return rows;
    }
    // Left-most column (relative to x) of the box that holds the colour; -1 if none.
    int FirstColumnWith(int x, int y, int w, int h, uint32_t colour) {
        for (int i = 0; i < w; ++i)
            if (Count(x + i, y, 1, h, colour) > 0) return i;
        return -1;
    }
    std::vector<uint32_t> Block(int x, int y, int w, int h) {
        XSync(screen->GetDisplay(), False);
        return rig::Pixels(d, Win(), x, y, w, h);
    }
    int LastColumnWith(int x, int y, int w, int h, uint32_t colour) {
        for (int i = w - 1; i >= 0; --i)
            if (Count(x + i, y, 1, h, colour) > 0) return i;
        return -1;
    }
    // Groups of consecutive rows: one per drawn text line.
    static int Bands(const std::vector<int>& rows) {
        int bands = 0;
        for (size_t i = 0; i < rows.size(); ++i)
            if (i == 0 || rows[i] != rows[i - 1] + 1) ++bands;
        return bands;
    }
};

TEST_F(Drawing, RectangleOutlinesExactlyItsSizeAndAFillIsOnePixelShortWithItsBorderOnTheFill) {
    GraphicsContext gc(form.get());
    ASSERT_TRUE(gc.IsUsable());
    gc.DrawRectangle(10, 10, 20, 10, 1, kRed);
    // The four corners of a 20 x 10 outline, nothing outside it, nothing inside.
    EXPECT_EQ(Pixel(10, 10), 0xFF0000U);
    EXPECT_EQ(Pixel(29, 10), 0xFF0000U);
    EXPECT_EQ(Pixel(10, 19), 0xFF0000U);
    EXPECT_EQ(Pixel(29, 19), 0xFF0000U);
    EXPECT_EQ(Pixel(30, 10), kBack);
    EXPECT_EQ(Pixel(10, 20), kBack);
    EXPECT_EQ(Pixel(9, 10), kBack);
    EXPECT_EQ(Count(11, 11, 18, 8, kBack), 18 * 8);
    EXPECT_EQ(Count(9, 9, 22, 12, 0xFF0000), 2 * 20 + 2 * 8);

    // A fill of 20 x 10 covers 19 x 9 pixels from its corner.
    gc.FillRectangle(50, 10, 20, 10, 0, 0, kGreen);
    EXPECT_EQ(Count(48, 8, 24, 14, 0x00FF00), 19 * 9);
    EXPECT_EQ(Pixel(50, 10), 0x00FF00U);
    EXPECT_EQ(Pixel(68, 18), 0x00FF00U);
    EXPECT_EQ(Pixel(69, 18), kBack);
    EXPECT_EQ(Pixel(68, 19), kBack);

    // Its border outlines that filled area, not the asked-for one.
    gc.FillRectangle(90, 10, 20, 10, 1, kBlue, kGreen);
    EXPECT_EQ(Pixel(90, 10), 0x0000FFU);
    EXPECT_EQ(Pixel(108, 18), 0x0000FFU);
    EXPECT_EQ(Pixel(109, 18), kBack);
    EXPECT_EQ(Pixel(91, 11), 0x00FF00U);
    EXPECT_EQ(Count(90, 10, 19, 9, 0x0000FF), 2 * 19 + 2 * 7);

    // The form with an ignored extra argument draws the same.
    gc.FillRectangle(130, 10, 20, 10, 5, 1, kBlue, kGreen);
    EXPECT_EQ(Block(130, 10, 20, 10), Block(90, 10, 20, 10));
}

TEST_F(Drawing, WideRectangleLinesAreSetBackForTheNextOperation) {
    GraphicsContext gc(form.get());
    gc.DrawRectangle(20, 40, 40, 30, 5, kRed);
    // A 5-pixel line is centred on the outline: two pixels inside it.
    EXPECT_EQ(Pixel(40, 42), 0xFF0000U);
    EXPECT_EQ(Pixel(40, 44), kBack);
    gc.DrawLine(80, 50, 120, 50, 1, kBlue);
    EXPECT_EQ(Count(80, 48, 41, 5, 0x0000FF), 41);
}

TEST_F(Drawing, SolidDashedAndDoubleDashedLinesAndTheSolidStateAfterThem) {
    GraphicsContext gc(form.get());
    gc.DrawLine(10, 100, 109, 100, 1, kRed);
    EXPECT_EQ(Count(10, 99, 100, 3, 0xFF0000), 100);
    gc.DrawLine(10, 110, 109, 110, 1, 1, kRed);
    const int dashed = Count(10, 110, 100, 1, 0xFF0000);
    EXPECT_GT(dashed, 20);
    EXPECT_LT(dashed, 80);
    // Double dashes fill the gaps with the background colour (black here).
    gc.DrawLine(10, 120, 109, 120, 2, 1, kRed);
    EXPECT_EQ(Count(10, 120, 100, 1, 0xFF0000) + Count(10, 120, 100, 1, 0x000000), 100);
    EXPECT_GT(Count(10, 120, 100, 1, 0x000000), 20);
    // Back to solid afterwards; a vertical line covers both its ends.
    gc.DrawLine(10, 130, 109, 130, 1, kRed);
    EXPECT_EQ(Count(10, 130, 100, 1, 0xFF0000), 100);
    gc.DrawLine(150, 100, 150, 139, 1, kGreen);
    EXPECT_EQ(Count(150, 100, 1, 40, 0x00FF00), 40);
}

TEST_F(Drawing, PolylineStaysOpenAndPolygonIsFilledWithAnOptionalOutline) {
    GraphicsContext gc(form.get());
    XPoint open[] = {{200, 10}, {260, 10}, {260, 70}};
    gc.DrawLines(open, 3, 1, kRed);
    EXPECT_EQ(Pixel(230, 10), 0xFF0000U);
    EXPECT_EQ(Pixel(260, 40), 0xFF0000U);
    EXPECT_EQ(Pixel(230, 40), kBack);  // on the closing diagonal, which is not drawn

    XPoint triangle[] = {{300, 10}, {380, 10}, {300, 90}};
    gc.FillPolygon(triangle, 3, 0, NoColour, kGreen);
    EXPECT_EQ(Pixel(310, 20), 0x00FF00U);
    EXPECT_EQ(Pixel(330, 40), 0x00FF00U);
    EXPECT_EQ(Pixel(370, 80), kBack);  // beyond the hypotenuse
    EXPECT_EQ(Pixel(300, 40), 0x00FF00U);

    gc.FillPolygon(triangle, 3, 1, kBlue, kGreen);
    EXPECT_EQ(Pixel(340, 10), 0x0000FFU);  // the outline along the top edge
    EXPECT_EQ(Pixel(300, 50), 0x00FF00U);  // the left edge is not outlined: the polyline is open
    EXPECT_EQ(Pixel(310, 20), 0x00FF00U);
}

TEST_F(Drawing, EllipsesOutlinedAndFilledInTheirBox) {
    GraphicsContext gc(form.get());
    gc.DrawEllipse(20, 160, 60, 40, 1, kRed);
    EXPECT_EQ(Pixel(50, 160), 0xFF0000U);  // top
    EXPECT_EQ(Pixel(20, 180), 0xFF0000U);  // left
    EXPECT_EQ(Pixel(50, 180), kBack);      // centre stays
    EXPECT_EQ(Pixel(21, 161), kBack);      // box corner stays

    gc.FillEllipse(100, 160, 60, 40, 1, kBlue, kGreen);
    EXPECT_EQ(Pixel(130, 180), 0x00FF00U);
    EXPECT_EQ(Pixel(130, 160), 0x0000FFU);  // the outline spans w x h like the fill
    EXPECT_EQ(Pixel(101, 161), kBack);
}

TEST_F(Drawing, APointAlwaysSetsItsColourAndNoColourKeepsTheLastOne) {
    GraphicsContext gc(form.get());
    gc.DrawPoint(5, 300, kBlue);
    EXPECT_EQ(Pixel(5, 300), 0x0000FFU);
    gc.DrawLine(10, 300, 40, 300, 1, NoColour);
    EXPECT_EQ(Count(10, 300, 31, 1, 0x0000FF), 31);
    gc.FillRectangle(50, 295, 10, 10, 0, 0, NoColour);
    EXPECT_EQ(Count(50, 295, 9, 9, 0x0000FF), 81);
}

TEST_F(Drawing, ASingleLineIsCentredInItsBoxOverTheBackground) {
    GraphicsContext gc(form.get());
    const int ascent = gc.LineHeight() - 1;
    const int step = ascent > 15 ? ascent + 1 : 15;
    const int x = 20, y = 20, w = 200, h = 60;
    gc.DrawText(x, y, w, h, "HELLO", kInk, 0xFFFFFF, AlignLeft);
    // The box is filled one pixel taller than asked (w - 1 by h pixels).
    EXPECT_EQ(Count(x, y, w - 1, h, 0xFFFFFF) + Count(x, y, w - 1, h, 0x202020), (w - 1) * h);
    EXPECT_EQ(Pixel(x + w - 1, y), kBack);
    // Capitals stand on the baseline y + step + (h - step) / 2 - 1.
    const std::vector<int> rows = RowsWith(x, y, w, h, 0x202020);
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(y + rows.back(), y + step + (h - step) / 2 - 1 - 1);
    EXPECT_GE(rows.front(), rows.back() - ascent);
    EXPECT_LE(FirstColumnWith(x, y, w, h, 0x202020), 2);

    // Right and centred alignment of a line that fits.
    gc.DrawText(x, 100, w, 30, "HELLO", kInk, 0xFFFFFF, AlignRight);
    EXPECT_GE(LastColumnWith(x, 100, w, 30, 0x202020), w - 3);
    gc.DrawText(x, 140, w, 30, "HELLO", kInk, 0xFFFFFF, AlignCenter);
    const int left = FirstColumnWith(x, 140, w, 30, 0x202020), right = LastColumnWith(x, 140, w, 30, 0x202020);
    EXPECT_NEAR(left, w - 1 - right, 3);
}

TEST_F(Drawing, TextInABoxOfNineRowsOrLessDrawsNothing) {
    GraphicsContext gc(form.get());
    gc.DrawText(20, 20, 200, 9, "HELLO", kInk, 0xFFFFFF, AlignLeft);
    EXPECT_EQ(Count(18, 18, 205, 14, kBack), 205 * 14);
}

TEST_F(Drawing, TwoWordsTooWideBreakAtTheSpaceAndLoseTheirCentring) {
    GraphicsContext gc(form.get());
    const int cw = gc.CharWidth();
    const int ascent = gc.LineHeight() - 1;
    const int step = ascent > 15 ? ascent + 1 : 15;
    // Room for six characters; each word has five.
    const int w = 6 * cw, x = 30, y = 40, h = 100;
    gc.DrawText(x, y, w, h, "HHHHH HHHHH", kInk, 0xFFFFFF, AlignCenter);
    const std::vector<int> rows = RowsWith(x, y, w, h, 0x202020);
    ASSERT_EQ(Bands(rows), 2);
    // The second line starts one step below the first, and both start at the left.
    EXPECT_LT(rows.front(), step);
    EXPECT_GE(rows.back(), step);
    EXPECT_LT(rows.back(), 2 * step);
    EXPECT_LE(FirstColumnWith(x, y, w, step, 0x202020), 2);
    EXPECT_LE(FirstColumnWith(x, y + step, w, step, 0x202020), 2);
    EXPECT_EQ(gc.TextHeight(w, "HHHHH HHHHH"), 2 * step);
}

TEST_F(Drawing, ALongWordIsCutCharacterByCharacterAndTextHeightAgrees) {
    GraphicsContext gc(form.get());
    const int cw = gc.CharWidth();
    const int ascent = gc.LineHeight() - 1;
    const int step = ascent > 15 ? ascent + 1 : 15;
    const std::string word(10, 'M');
    const int w = 3 * cw, x = 30, y = 20;
    const int height = gc.TextHeight(w, word);
    EXPECT_EQ(height, 4 * step);  // MMM MMM MMM M
    gc.DrawText(x, y, w, height + 10, word, kInk, 0xFFFFFF, AlignLeft);
    const std::vector<int> rows = RowsWith(x, y, w + 2, height + 10, 0x202020);
    EXPECT_EQ(Bands(rows), 4);
    // Everything drawn lies in the height TextHeight measured.
    ASSERT_FALSE(rows.empty());
    EXPECT_LT(rows.back(), height);
    EXPECT_GE(rows.back(), height - step);
    // Nothing spills past the box on the right.
    EXPECT_EQ(Count(x + w, y, 20, height, 0x202020), 0);
}

TEST_F(Drawing, BlankLinesAreDroppedAndAParagraphFillsExactlyTheMeasuredHeight) {
    GraphicsContext gc(form.get());
    const int ascent = gc.LineHeight() - 1;
    const int step = ascent > 15 ? ascent + 1 : 15;
    EXPECT_EQ(gc.TextHeight(200, "A\n\n\nB"), 2 * step);
    gc.DrawText(20, 20, 200, 100, "A\n\n\nB", kInk, 0xFFFFFF, AlignLeft);
    EXPECT_EQ(Bands(RowsWith(20, 20, 200, 100, 0x202020)), 2);

    const std::string paragraph =
        "The quick brown fox jumps over the lazy dog while the five boxing wizards jump quickly and a "
        "wizard's job is to vex chumps quickly in fog.";
    const int w = 180;
    const int height = gc.TextHeight(w, paragraph);
    ASSERT_GT(height, 3 * step);
    EXPECT_EQ(height % step, 0);
    gc.DrawText(200, 20, w, 300, paragraph, kInk, 0xFFFFFF, AlignLeft);
    const std::vector<int> rows = RowsWith(200, 20, w, 300, 0x202020);
    ASSERT_FALSE(rows.empty());
    // The last line's letters end in its step; only descenders reach below.
    const int descent = ApplicationFont().GetFontStruct(screen->GetDisplay())->descent;
    EXPECT_GE(rows.back(), height - step);
    EXPECT_LT(rows.back(), height + descent);
    EXPECT_EQ(Count(200 + w, 20, 30, 300, 0x202020), 0);
}

TEST_F(Drawing, TextHeightForABoxNarrowerThanOneCharacterTerminates) {
    GraphicsContext gc(form.get());
    const int ascent = gc.LineHeight() - 1;
    const int step = ascent > 15 ? ascent + 1 : 15;
    EXPECT_EQ(gc.TextHeight(1, "ABC"), 3 * step);
    EXPECT_EQ(gc.TextHeight(2, "A B\nC"), 3 * step);
    // Without a width only line feeds break.
    EXPECT_EQ(gc.TextHeight(0, "A long line that is never wrapped\nB"), 2 * step);
    // Drawing in such a box ends too, one character a line.
    gc.DrawText(20, 20, 1, 3 * step + 5, "ABC", kInk, NoColour, AlignLeft);
    EXPECT_GT(Count(20, 20, 20, 3 * step, 0x202020), 0);
}

TEST_F(Drawing, WithoutForegroundTheTextTakesTheLastColourSet) {
    GraphicsContext gc(form.get());
    // With a background the fill leaves its colour set: the text vanishes in it.
    gc.DrawText(20, 20, 200, 40, "HELLO", NoColour, 0xFFFFFF, AlignLeft);
    EXPECT_EQ(Count(20, 20, 199, 40, 0xFFFFFF), 199 * 40);
    // Without one, the previous operation's colour is used.
    gc.DrawPoint(0, 0, kRed);
    gc.DrawText(20, 80, 200, 40, "HELLO", NoColour, NoColour, AlignLeft);
    EXPECT_GT(Count(20, 80, 200, 40, 0xFF0000), 10);
}

TEST_F(Drawing, LineHeightAndCharWidthComeFromTheApplicationFont) {
    GraphicsContext gc(form.get());
    XFontStruct* font = ApplicationFont().GetFontStruct(screen->GetDisplay());
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(gc.LineHeight(), font->ascent + 1);
    EXPECT_EQ(gc.CharWidth(), XTextWidth(font, "M", 1));
}

TEST_F(Drawing, ImagesArePutWholeOrInPartAndAreasCopiedFromOtherDrawables) {
    GraphicsContext gc(form.get());
    // A 4 x 2 picture: red, green, blue, white over four greys.
    std::vector<uint8_t> rgb = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255, 16, 16, 16, 32, 32, 32, 48, 48, 48, 64, 64, 64};
    XImagePtr image(CreateImageFromRgb(form.get(), rgb, 4, 2));
    ASSERT_TRUE(image);
    gc.PutImage(10, 10, 0, 0, image.get());  // 0 means the image's own size
    EXPECT_EQ(Block(10, 10, 4, 2),
              (std::vector<uint32_t>{0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x101010, 0x202020, 0x303030, 0x404040}));
    gc.PutImage(30, 10, 2, 1, image.get(), 1, 1);
    EXPECT_EQ(Block(30, 10, 3, 1), (std::vector<uint32_t>{0x202020, 0x303030, kBack}));

    // CopyArea reads another drawable: a pixmap filled with two colours.
    Display* tk = screen->GetDisplay();
    const Pixmap pixmap = XCreatePixmap(tk, Win(), 8, 8, static_cast<unsigned>(screen->GetDepth()));
    GC pgc = XCreateGC(tk, pixmap, 0, nullptr);
    XSetForeground(tk, pgc, 0x00FF00);
    XFillRectangle(tk, pixmap, pgc, 0, 0, 8, 8);
    XSetForeground(tk, pgc, 0xFF0000);
    XFillRectangle(tk, pixmap, pgc, 4, 4, 4, 4);
    gc.CopyArea(50, 10, 8, 8, pixmap);
    EXPECT_EQ(Pixel(50, 10), 0x00FF00U);
    EXPECT_EQ(Pixel(57, 17), 0xFF0000U);
    gc.CopyArea(70, 10, 4, 4, pixmap, 4, 4);
    EXPECT_EQ(Count(70, 10, 4, 4, 0xFF0000), 16);
    // A rectangle the pixmap does not have: XGetImage answers nothing, nothing is drawn.
    gc.CopyArea(90, 10, 20, 20, pixmap, 4, 4);
    EXPECT_EQ(Count(90, 10, 20, 20, kBack), 400);
    XFreeGC(tk, pgc);
    XFreePixmap(tk, pixmap);

    EXPECT_EQ(gc.GetPixel(57 - 0, 17), 0xFF0000UL);
    EXPECT_EQ(gc.GetPixel(5000, 5000), 0UL);  // outside the window: no image, 0
}

TEST_F(Drawing, GetImageReadsTheWindowOrAnswersNull) {
    GraphicsContext gc(form.get());
    gc.FillRectangle(10, 10, 11, 11, 0, 0, kRed);
    XImagePtr img(gc.GetImage(10, 10, 10, 10));
    ASSERT_TRUE(img);
    EXPECT_EQ(XGetPixel(img.get(), 9, 9), 0xFF0000UL);
    EXPECT_EQ(img->width, 10);
    EXPECT_FALSE(XImagePtr(gc.GetImage(400, 300, 100, 100)));  // partly outside the window
    EXPECT_FALSE(XImagePtr(gc.GetImage(0, 0, 0, 5)));
}

TEST_F(Drawing, AContextWithoutWindowDrawsNothingAndMeasuresNothing) {
    Form unshown;  // never created: no window
    GraphicsContext gc(&unshown);
    EXPECT_FALSE(gc.IsUsable());
    XPoint points[] = {{0, 0}, {10, 10}};
    gc.DrawPoint(1, 1, kRed);
    gc.DrawLines(points, 2, 1, kRed);
    gc.FillPolygon(points, 2, 1, kRed, kRed);
    gc.DrawRectangle(0, 0, 10, 10, 3, kRed);
    gc.FillRectangle(0, 0, 10, 10, 1, kRed, kRed);
    gc.DrawEllipse(0, 0, 10, 10, 1, kRed);
    gc.FillEllipse(0, 0, 10, 10, 1, kRed, kRed);
    gc.DrawLine(0, 0, 10, 10, 1, 1, kRed);
    gc.DrawText(0, 0, 100, 100, "text", kRed, kRed, AlignLeft);
    EXPECT_EQ(gc.TextHeight(100, "text"), 0);
    gc.PutImage(0, 0, 10, 10, nullptr);
    gc.CopyArea(0, 0, 10, 10, Win());
    EXPECT_EQ(gc.GetPixel(0, 0), 0UL);
    EXPECT_EQ(gc.GetImage(0, 0, 10, 10), nullptr);
    gc.PutImageTransparent(0, 0, 10, 10, nullptr, 0);
    gc.DrawImageFile(0, 0, 10, 10, 24, "no such file.bmp");
    // The shown form was not touched.
    EXPECT_EQ(Count(0, 0, 40, 40, kBack), 1600);
}

}  // namespace
