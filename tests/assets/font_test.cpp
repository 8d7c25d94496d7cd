// font_test.cpp: the game font against the text layout's advance table.
//
// The layout puts a glyph's cell centre on the pen and moves the pen by the
// character's advance, so a character owns the strip of its cell from x 21 to
// 21 + advance: its ink must stay inside that strip (and inside the cell),
// centred in it, on one shared baseline. The button glyphs of the escape must
// also stay inside their cells.
#include <gtest/gtest.h>

#include <cmath>

#include "assets/data_files.h"
#include "framework/font_advance.h"

using assets_test::FrameInk;
using assets_test::Ink;
using assets_test::LoadPicture;
using assets_test::Picture;

namespace {

constexpr int kCell = 64;
constexpr int kBoxLeft = 21;  // cell x where a character's advance strip begins

int Advance(int code) { return bbZoltFontAdvance(code); }

class FontTest : public testing::Test {
  protected:
    void SetUp() override {
        font = LoadPicture("common/bandwidth.png");
        ASSERT_TRUE(font.loaded);
        ASSERT_EQ(font.width % kCell, 0);
    }
    Ink GlyphInk(int code) { return FrameInk(font, kCell, kCell, code - 32); }
    Picture font;
};

TEST_F(FontTest, GlyphInkStaysInsideItsAdvanceStrip) {
    for (int code = 33; code <= 126; ++code) {
        Ink ink = GlyphInk(code);
        ASSERT_TRUE(ink.any) << char(code);
        EXPECT_GE(ink.x0, kBoxLeft) << char(code);
        EXPECT_LT(ink.x1, kBoxLeft + Advance(code)) << char(code);
        EXPECT_GT(ink.y0, 0) << char(code);
        EXPECT_LT(ink.y1, kCell - 1) << char(code);
    }
}

TEST_F(FontTest, GlyphsAreCentredInTheirStrip) {
    for (int code = 33; code <= 126; ++code) {
        Ink ink = GlyphInk(code);
        ASSERT_TRUE(ink.any) << char(code);
        double centre = (ink.x0 + ink.x1 + 1) * 0.5, strip = kBoxLeft + Advance(code) * 0.5;
        EXPECT_LE(std::fabs(centre - strip), 1.0) << char(code);
    }
}

TEST_F(FontTest, LettersShareOneBaselineAndCapHeight) {
    const int base = GlyphInk('H').y1, cap = GlyphInk('H').y0;
    for (char c : std::string("EFHIKLMNTXZimnrxz")) EXPECT_EQ(GlyphInk(c).y1, base) << c;
    for (char c : std::string("EFHIKLNTZ")) EXPECT_EQ(GlyphInk(c).y0, cap) << c;
    // The line is 44 units: caps sit around the cell's middle row.
    EXPECT_NEAR((base + cap) * 0.5, kCell / 2, 3);
    for (char c : std::string("gjpqy")) EXPECT_GT(GlyphInk(c).y1, base + 4) << c;
}

TEST_F(FontTest, SpaceIsBlankAndGlyphsAreWhite) {
    EXPECT_FALSE(FrameInk(font, kCell, kCell, 0).any);
    int perRow = font.width / kCell;
    for (int frame = 1; frame <= 94; ++frame)
        for (int y = 0; y < kCell; ++y)
            for (int x = 0; x < kCell; ++x) {
                int px = (frame % perRow) * kCell + x, py = (frame / perRow) * kCell + y;
                if (font.Alpha(px, py) == 0) continue;
                const uint8_t* c = font.At(px, py);
                ASSERT_TRUE(c[0] == 255 && c[1] == 255 && c[2] == 255) << "frame " << frame;
            }
}

TEST_F(FontTest, ButtonGlyphsFitTheirCellsAndKeysDifferFromPads) {
    for (int frame = 96; frame <= 124; ++frame) {
        if (frame == 111) continue;  // no letter reaches it
        Ink ink = FrameInk(font, kCell, kCell, frame);
        ASSERT_TRUE(ink.any) << frame;
        EXPECT_GT(ink.x0, 0) << frame;
        EXPECT_GT(ink.y0, 0) << frame;
        EXPECT_LT(ink.x1, kCell - 1) << frame;
        EXPECT_LT(ink.y1, kCell - 1) << frame;
    }
    // Each keyboard form (16 frames higher) is a different picture from its pad form.
    int perRow = font.width / kCell;
    for (int frame = 96; frame <= 108; ++frame) {
        long differ = 0;
        for (int y = 0; y < kCell; ++y)
            for (int x = 0; x < kCell; ++x) {
                int k = frame + 16;
                differ += font.Alpha((frame % perRow) * kCell + x, (frame / perRow) * kCell + y) !=
                          font.Alpha((k % perRow) * kCell + x, (k / perRow) * kCell + y);
            }
        EXPECT_GT(differ, 100) << frame;
    }
}

}  // namespace
