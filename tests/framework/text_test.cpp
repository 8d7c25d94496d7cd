// Text layout: positions, alignment, rotation, line breaks, escapes, culling,
// waves, and the fixed-width string helpers.
#include <vector>

#include "fw_fixture.h"

class TextTest : public FrameworkTest {
  protected:
    void SetUp() override {
        FrameworkTest::SetUp();
        bb_zolt_ZOLT_Font = 99;
        bb_zolt_ZOLT_ImgD[99] = 128;
        bb_zolt_ResetDraw();
    }

    struct Glyph {
        float x, y;
        int frame;
    };
    static std::vector<Glyph> Glyphs() {
        std::vector<Glyph> out;
        for (int n = 0; n < bb_zolt_Sprtup; ++n) {
            out.push_back({Record(n)[11], Record(n)[12], static_cast<int>(Record(n)[13])});
        }
        return out;
    }
};

TEST_F(TextTest, NoFontRecordsNothing) {
    bb_zolt_ZOLT_Font = 0;
    EXPECT_EQ(bb_zolt_Text(100, 50, u"Hi", 0, 1), 0);
    EXPECT_EQ(bb_zolt_Sprtup, 0);
}

TEST_F(TextTest, PlainTextAdvancesByTheTable) {
    EXPECT_EQ(bb_zolt_Text(100, 50, u"Hi", 0, 1), 157);
    const auto g = Glyphs();
    ASSERT_EQ(g.size(), 2u);
    EXPECT_FLOAT_EQ(g[0].x, 124);
    EXPECT_FLOAT_EQ(g[1].x, 146);
    EXPECT_NEAR(g[0].y, 50, 1e-4f);
    EXPECT_EQ(g[0].frame, 'H' - 32);
    EXPECT_EQ(g[1].frame, 'i' - 32);
    EXPECT_EQ(Record(0)[10], 99);
}

TEST_F(TextTest, AlignmentMovesTheStart) {
    struct Case {
        float alignX, alignY, firstX, y;
    };
    const Case cases[] = {{1, 1, 101, 50}, {2, 1, 78, 50}, {0, 0, 124, 72}, {0, 2, 124, 28}};
    for (const Case& c : cases) {
        bb_zolt_Sprtup = 0;
        bb_zolt_Text(100, 50, u"Hi", c.alignX, c.alignY);
        const auto g = Glyphs();
        ASSERT_EQ(g.size(), 2u);
        EXPECT_NEAR(g[0].x, c.firstX, 1e-3f) << c.alignX << "," << c.alignY;
        EXPECT_NEAR(g[0].y, c.y, 1e-3f) << c.alignX << "," << c.alignY;
    }
    bb_zolt_Sprtup = 0;
    bb_zolt_SetSize(2, 3);
    bb_zolt_Text(100, 50, u"Hi", 0, 0);
    EXPECT_NEAR(Glyphs()[0].x, 148, 1e-3f);
    EXPECT_NEAR(Glyphs()[0].y, 50 + 66, 1e-3f) << "22 sy below";
}

TEST_F(TextTest, RotatedTextRunsUpTheScreen) {
    bb_zolt_SetRot(90.7f);  // whole degrees only
    bb_zolt_Text(100, 300, u"HH", 0, 1);
    const auto g = Glyphs();
    ASSERT_EQ(g.size(), 2u);
    EXPECT_NEAR(g[0].x, 100, 1e-3f);
    EXPECT_NEAR(g[0].y, 300 - 17, 1e-3f);
    EXPECT_NEAR(g[1].y, 300 - 17 - 15, 1e-3f);
    EXPECT_EQ(Record(0)[6], 90.7f);
}

TEST_F(TextTest, BackslashNStartsANewLine) {
    bb_zolt_Text(100, 50, u"A\\nB", 0, 1);
    const auto g = Glyphs();
    ASSERT_EQ(g.size(), 2u);
    EXPECT_NEAR(g[0].x, 124, 1e-3f);
    EXPECT_NEAR(g[1].x, 100 + 38, 1e-3f);
    EXPECT_NEAR(g[1].y, 50 + 38, 1e-3f);
    EXPECT_EQ(g[1].frame, 'B' - 32);
}

TEST_F(TextTest, TrailingBackslashAndEscapeNeverReadPastTheEnd) {
    EXPECT_EQ(bb_zolt_Text(100, 50, u"A\\", 0, 1), 100 + 24 + 22 + 22);
    auto g = Glyphs();
    ASSERT_EQ(g.size(), 2u);
    EXPECT_EQ(g[1].frame, '\\' - 32);
    bb_zolt_Sprtup = 0;
    // The letter after the view's end must not be read.
    const char16_t trailing[] = {u'A', kZoltEscape, u'J'};
    bb_zolt_Text(100, 50, std::u16string_view(trailing, 2), 0, 1);
    g = Glyphs();
    ASSERT_EQ(g.size(), 1u);
    EXPECT_EQ(g[0].frame, 'A' - 32);
}

TEST_F(TextTest, EscapeShowsTheButtonOfTheControlMethod) {
    struct Case {
        int method, clock, frame;
    };
    const Case cases[] = {
        {0, 100, 123}, {1, 300, 107}, {1, 100, 104}, {1, 699, 104}, {2, 100, 107}};
    const char16_t text[] = {u'x', kZoltEscape, u'A', u'y'};
    for (const Case& c : cases) {
        bb_zolt_Sprtup = 0;
        bb_zolt_KeyPadMouse = c.method;
        host.now = c.clock;
        bb_zolt_Text(100, 50, std::u16string_view(text, 4), 0, 1);
        const auto g = Glyphs();
        ASSERT_EQ(g.size(), 3u);
        EXPECT_EQ(g[1].frame, c.frame) << "method " << c.method << " at " << c.clock;
        EXPECT_NEAR(g[2].x - g[1].x, 56, 1e-3f) << "an escape glyph advances 56";
    }
    bb_zolt_Sprtup = 0;
    const char16_t other[] = {kZoltEscape, u'B'};
    bb_zolt_Text(0, 50, std::u16string_view(other, 2), 0, 1);
    EXPECT_EQ(Glyphs()[0].frame, 'B');
}

TEST_F(TextTest, CulledGlyphsStillAdvanceThePen) {
    EXPECT_EQ(bb_zolt_Text(-170, 50, u"HH", 0, 1), -170 + 24 + 44);
    const auto g = Glyphs();
    ASSERT_EQ(g.size(), 1u) << "the glyph at -146 is off screen";
    EXPECT_FLOAT_EQ(g[0].x, -124);
    bb_zolt_Sprtup = 0;
    bb_zolt_Text(100, 600 + 128, u"H", 0, 1);
    EXPECT_EQ(bb_zolt_Sprtup, 0) << "the bottom edge is excluded";
}

TEST_F(TextTest, WaveDisplacesGlyphsBySineOfTheirX) {
    bb_zolt_Text(-24, 50, u"H", 0, 1, 90, 10);
    ASSERT_EQ(bb_zolt_Sprtup, 1);
    EXPECT_NEAR(Record(0)[12], 60, 1e-3f);
}

TEST_F(TextTest, FixedPitchFontUsesSixtyPerGlyph) {
    bb_zolt_ZOLT_Font = 65;
    bb_zolt_ZOLT_ImgD[65] = 128;
    EXPECT_EQ(bb_zolt_Text(0, 50, u"ii", 1, 1), -64 + 60 * 3);
}

TEST(StringHelpers, LeftRightAndRstr) {
    struct Case {
        int n;
        const char16_t* left;
        const char16_t* right;
    };
    const Case cases[] = {{2, u"he", u"lo"},
                          {0, u"", u"hello"},
                          {-2, u"hel", u"llo"},
                          {9, u"hello", u"hello"},
                          {-9, u"", u""}};
    for (const Case& c : cases) {
        EXPECT_EQ(bb_zolt_Left(u"hello", c.n), c.left) << c.n;
        EXPECT_EQ(bb_zolt_Right(u"hello", c.n), c.right) << c.n;
    }
    EXPECT_EQ(bb_zolt_rstr(u"42", 5, u"0"), u"00042");
    EXPECT_EQ(bb_zolt_rstr(u"12345678", 5, u" "), u"45678");
    EXPECT_EQ(bb_zolt_rstr(u"7", 3, u""), u"7");
    EXPECT_EQ(bb_zolt_rstr(u"7", 0, u"0"), u"");
}
