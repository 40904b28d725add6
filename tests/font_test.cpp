// Font descriptors: patterns, lazy loading, copies and the fallback font.
#include <gtest/gtest.h>

#include <memory>

#include "core/Form.h"
#include "core/Screen.h"
#include "graphics/FontDescriptor.h"
#include "graphics/GraphicsContext.h"
#include "rig/XServer.h"

using lumetra::FontDescriptor;

namespace {

TEST(Fonts, PatternsFromSettings) {
    FontDescriptor plain;
    EXPECT_EQ(plain.BuildFontName(), "-*-*-Medium-R-Normal--14-*");
    FontDescriptor bold("misc-fixed", 20);
    bold.SetBold(true);
    EXPECT_EQ(bold.BuildFontName(), "-misc-fixed-Bold-R-Normal--20-*");
    bold.SetItalic(true);
    EXPECT_EQ(bold.BuildFontName(), "-misc-fixed-Bold-R-Italic--20-*");
    EXPECT_EQ(plain.Size(), 14);
}

class LoadedFonts : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(rig::SharedServer().Ok());
        screen = std::make_unique<lumetra::Screen>();
        d = screen->GetDisplay();
        ASSERT_NE(d, nullptr);
    }
    std::unique_ptr<lumetra::Screen> screen;
    Display* d = nullptr;
};

TEST_F(LoadedFonts, LoadsOnceAndMeasuresByAscent) {
    FontDescriptor f;
    XFontStruct* first = f.GetFontStruct(d);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(f.GetFontStruct(d), first);
    EXPECT_EQ(f.Size(), first->ascent);
}

TEST_F(LoadedFonts, ACopyTakesSettingsButNotTheFont) {
    FontDescriptor a("misc-fixed", 13);
    ASSERT_NE(a.GetFontStruct(d), nullptr);
    FontDescriptor b(a);
    EXPECT_EQ(b.Family(), "misc-fixed");
    EXPECT_EQ(b.Size(), 13);  // not loaded: the configured size
    FontDescriptor c;
    ASSERT_NE(c.GetFontStruct(d), nullptr);
    c = a;
    EXPECT_EQ(c.Size(), 13);
    // Each loads and frees its own; destruction of all three frees three fonts.
    EXPECT_NE(b.GetFontStruct(d), a.GetFontStruct(d));
}

TEST_F(LoadedFonts, AMissingFontFallsBackToFixedAndLogsOnce) {
    FontDescriptor f("no-such-foundry-no-such-family", 14);
    testing::internal::CaptureStdout();
    XFontStruct* font = f.GetFontStruct(d);
    f.GetFontStruct(d);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "XLoadQueryFont failed\n");
    EXPECT_NE(font, nullptr);
}

TEST_F(LoadedFonts, ElementsCopyFontSettings) {
    lumetra::Form form;
    FontDescriptor big("misc-fixed", 18);
    ASSERT_NE(big.GetFontStruct(d), nullptr);
    form.SetFont(big);
    EXPECT_EQ(form.GetFont().Family(), "misc-fixed");
    EXPECT_EQ(form.GetFont().Size(), 18);
}

}  // namespace
