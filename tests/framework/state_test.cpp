// Framework state: the random generator, settings, style setters, the commit
// rule and the draw list's limits.
#include <set>

#include "fw_fixture.h"

using StateTest = FrameworkTest;

TEST_F(StateTest, FirstDrawFromTheStartSeedIsKnown) {
    EXPECT_NEAR(bb_random_Rnd(), 0.7143077f, 1e-6f);
    EXPECT_EQ(bb_random_Seed, SeedAfter(1234, 1));
    EXPECT_NEAR(bb_random_Rnd2(10, 20), 10 + (SeedAfter(1234, 2) >> 8) / 16777216.0f * 10, 1e-5f);
    EXPECT_NEAR(bb_random_Rnd3(4), (SeedAfter(1234, 3) >> 8) / 16777216.0f * 4, 1e-5f);
}

TEST_F(StateTest, RandIncludesBothEndsAndNothingBeyond) {
    std::set<int> seen;
    for (int i = 0; i < 2000; ++i) seen.insert(bb_zolt_Rand(0, 3));
    EXPECT_EQ(seen, (std::set<int>{0, 1, 2, 3}));
    seen.clear();
    for (int i = 0; i < 2000; ++i) seen.insert(bb_zolt_Rand(-2, 1));
    EXPECT_EQ(seen, (std::set<int>{-2, -1, 0, 1}));
}

TEST_F(StateTest, SeedingWarmsTheGeneratorUpAndCanTakeTheClock) {
    bb_zolt_SeedRnd(99);
    EXPECT_EQ(bb_zolt_ZOLT_Seed, 99);
    EXPECT_EQ(bb_random_Seed, SeedAfter(99, 21));
    host.now = 4321;
    bb_zolt_SeedRnd(-37171650);
    EXPECT_EQ(bb_zolt_ZOLT_Seed, 4321);
    EXPECT_EQ(bb_random_Seed, SeedAfter(4321, 21));
}

TEST_F(StateTest, SettingsReadWriteAndIgnoreOutOfRange) {
    bb_zolt_SetDefaults();
    EXPECT_EQ(bb_zolt_SetSet(0), 7);
    EXPECT_EQ(bb_zolt_SetSet(11), 1);
    EXPECT_EQ(bb_zolt_SetSet(5, 42), 42);
    EXPECT_EQ(bb_zolt_ZOLT_Set[5], 42);
    EXPECT_EQ(bb_zolt_SetSet(250, 5), 0);
    EXPECT_EQ(bb_zolt_ZOLT_Set[250], 0);
    EXPECT_EQ(bb_zolt_SetSet(-1, 5), 0);
    bb_zolt_isOuya = 1;
    bb_zolt_SetDefaults();
    EXPECT_EQ(bb_zolt_ZOLT_Set[11], 0);
    EXPECT_EQ(bb_zolt_ZOLT_Set[21], 5);
}

TEST_F(StateTest, SizeAndBackgroundSettersClamp) {
    bb_zolt_SetSize(2);
    EXPECT_EQ(bb_zolt_ZOLT_DrawStyle[4], 2);
    EXPECT_EQ(bb_zolt_ZOLT_DrawStyle[5], 2);
    bb_zolt_SetSize(2, 3);
    EXPECT_EQ(bb_zolt_ZOLT_DrawStyle[5], 3);
    bb_zolt_SetCLSCol(300, -5, 128, 1.5f);
    EXPECT_EQ(bb_zolt_ZOLT_DrawStyle[15], 255);
    EXPECT_EQ(bb_zolt_ZOLT_DrawStyle[16], 0);
    EXPECT_EQ(bb_zolt_ZOLT_DrawStyle[17], 128);
    EXPECT_EQ(bb_zolt_ZOLT_DrawStyle[14], 1);
}

TEST_F(StateTest, AnUpdateMustRecordMoreThanFifteenRecordsToCommit) {
    for (int i = 0; i < 16; ++i) bb_zolt_Rect(i, 0, 1, 1);
    bb_zolt_Buffer();
    ASSERT_EQ(bb_zolt_Bufferup, 16);
    EXPECT_EQ(bb_zolt_Sprtup, 0);
    EXPECT_EQ(bb_zolt_ZOLT_Buffer[20 * 15 + 11], 15);

    for (int i = 0; i < 15; ++i) bb_zolt_Rect(100 + i, 0, 1, 1);
    bb_zolt_Buffer();
    EXPECT_EQ(bb_zolt_Bufferup, 16);
    EXPECT_EQ(bb_zolt_ZOLT_Buffer[11], 0) << "the previous picture stays";
    EXPECT_EQ(bb_zolt_Sprtup, 15);
}

TEST_F(StateTest, RecordingStopsAfterTheFiveThousandAndFirstRecord) {
    for (int i = 0; i < 5010; ++i) bb_zolt_Line(i, 0, 0, 0);
    EXPECT_EQ(bb_zolt_Sprtup, 5001);
    EXPECT_EQ(Record(5000)[11], 5000);
    bb_zolt_SetSkew(1, 1);
    EXPECT_EQ(bb_zolt_Sprtup, 5001);
}

TEST_F(StateTest, ResetDrawUndoesSkewWithAStyleRecord) {
    bb_zolt_ResetDraw();
    bb_zolt_SetSkew(0.5f, 0.25f);
    ASSERT_EQ(bb_zolt_Sprtup, 1);
    EXPECT_EQ(Record(0)[9], 101);
    EXPECT_EQ(Record(0)[7], 0.5f);
    EXPECT_EQ(Record(0)[8], 0.25f);
    bb_zolt_SetCol(10, 20, 30, 0.5f);
    bb_zolt_ResetDraw();
    ASSERT_EQ(bb_zolt_Sprtup, 2);
    EXPECT_EQ(Record(1)[9], 101);
    EXPECT_EQ(Record(1)[7], 0);
    EXPECT_EQ(Record(1)[8], 0);
    const float reset[9] = {1, 255, 255, 255, 1, 1, 0, 0, 0};
    for (int i = 0; i < 9; ++i) EXPECT_EQ(bb_zolt_ZOLT_DrawStyle[i], reset[i]) << i;
    bb_zolt_ResetDraw();
    EXPECT_EQ(bb_zolt_Sprtup, 2) << "no skew, no record";
}

TEST_F(StateTest, DebugModeRecordsTheStatisticsLineWhenAFontIsLoaded) {
    bb_zolt_ZOLT_DebugMode = 1;
    bb_zolt_ZOLT_Data[1] = 60;
    bb_zolt_ZOLT_Data[2] = 59;
    bb_zolt_ZOLT_Data[3] = 7;
    bb_zolt_Buffer();
    EXPECT_EQ(bb_zolt_Bufferup, 0) << "no font: nothing recorded";
    bb_zolt_ZOLT_Font = 99;
    bb_zolt_ZOLT_ImgD[99] = 128;
    bb_zolt_Buffer();
    // "Update 60 - Render 59 (7 sprites)" has 27 visible glyphs.
    ASSERT_EQ(bb_zolt_Bufferup, 27);
    EXPECT_EQ(bb_zolt_ZOLT_Buffer[4], 0.5f);
    EXPECT_EQ(bb_zolt_ZOLT_Buffer[13], 'U' - 32);
    EXPECT_FLOAT_EQ(bb_zolt_ZOLT_Buffer[12], 600 - 32 + 11);
}
