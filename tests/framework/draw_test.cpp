// Drawing helpers: style setters, inks, the hue wheel and the recording calls.
#include "fw_fixture.h"

using DrawTest = FrameworkTest;

static void ExpectColour(float r, float g, float b) {
    EXPECT_NEAR(bb_zolt_ZOLT_DrawStyle[1], r, 1e-3f);
    EXPECT_NEAR(bb_zolt_ZOLT_DrawStyle[2], g, 1e-3f);
    EXPECT_NEAR(bb_zolt_ZOLT_DrawStyle[3], b, 1e-3f);
}

TEST_F(DrawTest, SetColClampsAndKeepsAlphaByDefault) {
    bb_zolt_ResetDraw();
    bb_zolt_Alpha(0.4f);
    bb_zolt_SetCol(300, -20, 128);
    ExpectColour(255, 0, 128);
    EXPECT_EQ(bb_zolt_ZOLT_DrawStyle[0], 0.4f);
    bb_zolt_SetCol(0, 0, 0, 2);
    EXPECT_EQ(bb_zolt_ZOLT_DrawStyle[0], 1);
    bb_zolt_Alpha(-3);
    EXPECT_EQ(bb_zolt_ZOLT_DrawStyle[0], 0);
}

TEST_F(DrawTest, InksAndHueWheel) {
    bb_zolt_Ink(4, 0.5f);
    ExpectColour(12.75f, 127.5f, 12.75f);
    bb_zolt_Ink(0, 1);
    ExpectColour(76.5f, 76.5f, 76.5f);
    bb_zolt_Ink(2, 3);
    ExpectColour(255, 255, 76.5f);
    bb_zolt_InkRot(0, 1, 1);
    ExpectColour(255, 63.75f, 63.75f);
    bb_zolt_InkRot(120, 1, 0.5f);
    ExpectColour(0, 0, 127.5f);
    bb_zolt_BGRot(0, 1, 1);
    EXPECT_NEAR(bb_zolt_ZOLT_DrawStyle[15], 255, 1e-3f);
    EXPECT_NEAR(bb_zolt_ZOLT_DrawStyle[16], 63.75f, 1e-3f);
    EXPECT_EQ(bb_zolt_ZOLT_DrawStyle[14], 1);
}

TEST_F(DrawTest, DrawImgReducesTheFrameAndDrawsOnlySlotsOneToNinetyNine) {
    struct Case {
        int count, frame, recorded;
    };
    const Case cases[] = {{1024, 1030, 6}, {16, 15, 15}, {0, 5, 0}, {4, -1, 3}, {4, -8, 0}};
    bb_zolt_ResetDraw();
    bb_zolt_SetRot(33);
    for (const Case& c : cases) {
        bb_zolt_Sprtup = 0;
        bb_zolt_ZOLT_ImgD[95] = c.count;
        bb_zolt_DrawImg(95, 10, 20, c.frame);
        ASSERT_EQ(bb_zolt_Sprtup, 1);
        EXPECT_EQ(Record(0)[13], c.recorded) << c.count << " frames, frame " << c.frame;
        EXPECT_EQ(Record(0)[9], 1);
        EXPECT_EQ(Record(0)[10], 95);
        EXPECT_EQ(Record(0)[11], 10);
        EXPECT_EQ(Record(0)[12], 20);
        EXPECT_EQ(Record(0)[6], 33);
    }
    bb_zolt_Sprtup = 0;
    bb_zolt_DrawImg(0, 1, 1, 0);
    bb_zolt_DrawImg(100, 1, 1, 0);
    bb_zolt_DrawImg(-5, 1, 1, 0);
    EXPECT_EQ(bb_zolt_Sprtup, 0);
}

TEST_F(DrawTest, RectAlignmentLineAndTriangleRecords) {
    struct Case {
        float alignX, alignY, x, y;
    };
    const Case cases[] = {{0, 0, 100, 100}, {1, 1, 75, 90}, {2, 0, 50, 100}, {0, 2, 100, 80}};
    for (const Case& c : cases) {
        bb_zolt_Sprtup = 0;
        bb_zolt_Rect(100, 100, 50, 20, c.alignX, c.alignY);
        EXPECT_EQ(Record(0)[9], 2);
        EXPECT_EQ(Record(0)[11], c.x) << c.alignX << "," << c.alignY;
        EXPECT_EQ(Record(0)[12], c.y) << c.alignX << "," << c.alignY;
        EXPECT_EQ(Record(0)[13], 50);
        EXPECT_EQ(Record(0)[14], 20);
    }
    bb_zolt_Sprtup = 0;
    bb_zolt_Line(1, 2, 3, 4);
    bb_zolt_Triangle(5, 6, 7, 8, 9, 10);
    EXPECT_EQ(Record(0)[9], 5);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(Record(0)[11 + i], 1 + i);
    EXPECT_EQ(Record(1)[9], 4);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(Record(1)[11 + i], 5 + i);
}
