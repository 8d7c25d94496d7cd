// The update tick and the world arrays: rate counters, function keys,
// background easing, resets, free slots and scoring.
#include "fw_fixture.h"

using WorldTest = FrameworkTest;

TEST_F(WorldTest, BackgroundEasesASixteenthOfTheGapPerUpdate) {
    bb_zolt_SetCLSCol(0, 30, 0);
    bb_zolt_UpdateWorld();
    EXPECT_FLOAT_EQ(bb_zolt_ZOLT_DrawStyle[12], 1.875f);
    bb_zolt_UpdateWorld();
    EXPECT_NEAR(bb_zolt_ZOLT_DrawStyle[12], 3.633f, 1e-3f);
    for (int i = 2; i < 52; ++i) bb_zolt_UpdateWorld();
    EXPECT_GT(30 - bb_zolt_ZOLT_DrawStyle[12], 1) << "52 updates are not yet within 1";
    bb_zolt_UpdateWorld();
    EXPECT_LT(30 - bb_zolt_ZOLT_DrawStyle[12], 1) << "53 updates are";
}

TEST_F(WorldTest, RateCountersSampleOncePerSecond) {
    host.now = 1500;
    bb_zolt_UpdateWorld();
    EXPECT_EQ(bb_zolt_ZOLT_Data[1], 1);
    EXPECT_EQ(bb_zolt_ZOLT_Data[6], 1500);
    for (int i = 0; i < 59; ++i) bb_zolt_UpdateWorld();
    EXPECT_EQ(bb_zolt_ZOLT_Data[8], 59);
    host.now = 2500;
    bb_zolt_UpdateWorld();
    EXPECT_EQ(bb_zolt_ZOLT_Data[1], 60);
    EXPECT_EQ(bb_zolt_ZOLT_Data[8], 0);
    EXPECT_EQ(bb_zolt_ZOLT_Data[48], 61);
}

TEST_F(WorldTest, FunctionKeysToggleAndStoreTheirSettings) {
    bb_zolt_ZOLT_ScreenshotMode = 1;
    Press(113);
    bb_zolt_UpdateWorld();
    EXPECT_EQ(bb_zolt_ZOLT_ScreenshotMode, 0);
    EXPECT_EQ(bb_zolt_ZOLT_Set[23], 0);
    input.p_EndUpdate();
    Release(113);
    Press(113);
    Press(112);
    bb_zolt_UpdateWorld();
    EXPECT_EQ(bb_zolt_ZOLT_ScreenshotMode, 1);
    EXPECT_EQ(bb_zolt_ZOLT_Set[23], 1);
    EXPECT_EQ(bb_zolt_ZOLT_DebugMode, 1);
    EXPECT_EQ(bb_zolt_ZOLT_Set[22], 1);
    input.p_EndUpdate();
    bb_zolt_UpdateWorld();
    EXPECT_EQ(bb_zolt_ZOLT_DebugMode, 1) << "a held key is no new hit";
}

TEST_F(WorldTest, OutsidePlayThePauseIsLiftedAndVolumesClamped) {
    bb_zolt_ZOLT_Paused = 1;
    bb_zolt_ZOLT_GameMode = 10;
    bb_zolt_ZOLT_Set[0] = 14;
    bb_zolt_ZOLT_Set[1] = -2;
    bb_zolt_UpdateWorld();
    EXPECT_EQ(bb_zolt_ZOLT_Paused, 1);
    EXPECT_EQ(bb_zolt_ZOLT_Set[0], 10);
    EXPECT_EQ(bb_zolt_ZOLT_Set[1], 0);
    bb_zolt_ZOLT_GameMode = 2;
    bb_zolt_UpdateWorld();
    EXPECT_EQ(bb_zolt_ZOLT_Paused, 0);
    EXPECT_EQ(bb_zolt_ZOLT_MenuPos[40], 1);
}

TEST_F(WorldTest, F4EndsTheProgramAtOnceWithStatusZero) {
    EXPECT_EXIT(
        {
            Press(115);
            bb_zolt_UpdateWorld();
            std::exit(3);
        },
        testing::ExitedWithCode(0), "");
}

TEST_F(WorldTest, F11SwitchesToFullScreenAndBack) {
    Press(122);
    bb_zolt_UpdateWorld();
    EXPECT_EQ(bb_zolt_ZOLT_Fullscreen, 1);
    input.p_EndUpdate();
    Release(122);
    Press(122);
    bb_zolt_UpdateWorld();
    EXPECT_EQ(bb_zolt_ZOLT_Fullscreen, 0);
}

TEST_F(WorldTest, FreeObjFindsTheFirstFreeSlot) {
    bb_zolt_obj[0] = 502;
    bb_zolt_obj[10] = 503;
    EXPECT_EQ(bb_zolt_FreeObj(3, 10), 20);
    EXPECT_EQ(bb_zolt_FreeObj(1, 10), -1);
    EXPECT_EQ(bb_zolt_FreeObj(-1, 10), -1);
    for (int s = 0; s < 1024; ++s) bb_zolt_obj[10 * s] = 1;
    EXPECT_EQ(bb_zolt_FreeObj(5000, 10), -1) << "never past the table";
    EXPECT_EQ(bb_zolt_FreeObj(3, -10), -1);
}

TEST_F(WorldTest, GimmeScoresAndThrowsAScoreParticle) {
    bb_zolt_Gimme(10, -3717, 0, 1);
    EXPECT_EQ(bb_zolt_plr[50], 10);
    EXPECT_EQ(bb_zolt_plr[52], 1);
    EXPECT_EQ(bb_zolt_part[10], 0) << "no particle";
    const uint32_t seed = bb_random_Seed;
    bb_zolt_Gimme(25, 40, 50, 3);
    EXPECT_EQ(bb_zolt_plr[250], 25);
    EXPECT_EQ(bb_zolt_plr[252], 1);
    const float expected[10] = {10, 40, 50, 0, 0, 0, 0, 1, 25, 3};
    for (int i = 0; i < 10; ++i) EXPECT_EQ(bb_zolt_part[10 + i], expected[i]) << i;
    EXPECT_EQ(bb_random_Seed, seed) << "no random draw";
    bb_zolt_Gimme(5, -3717, 0, 8);
    bb_zolt_Gimme(5, -3717, 0, 0);
    EXPECT_EQ(bb_zolt_plr[750], 0);
}

TEST_F(WorldTest, FlushGameClearsWhatItIsAskedAndScattersTheStars) {
    bb_zolt_grid[4999999] = 1;
    bb_zolt_grid[5000000] = 1;
    bb_zolt_plr[1023] = 1;
    bb_zolt_obj[5099] = 1;
    bb_zolt_obj[5100] = 1;
    bb_zolt_part[2500] = 2;
    bb_zolt_ZOLT_EndofGame = 5;
    bb_zolt_ZOLT_EndReason = 2;
    host.now = 777;
    bb_zolt_FlushGame(0, 1, 1);
    EXPECT_EQ(bb_zolt_grid[4999999], 1);
    EXPECT_EQ(bb_zolt_plr[1023], 0);
    EXPECT_EQ(bb_zolt_obj[5099], 0);
    EXPECT_EQ(bb_zolt_obj[5100], 1);
    EXPECT_EQ(bb_zolt_part[2500], 0);
    EXPECT_EQ(bb_zolt_ZOLT_EndofGame, 0);
    EXPECT_EQ(bb_zolt_ZOLT_EndReason, 0);
    EXPECT_EQ(bb_zolt_ZOLT_Seed, 777) << "stars reseed from the clock";
    for (int n = 0; n < 251; ++n) EXPECT_GE(bb_zolt_astar[10 * n + 3], 0.25f) << n;
    bb_zolt_FlushGame(1, 0, 0);
    EXPECT_EQ(bb_zolt_grid[4999999], 0);
    EXPECT_EQ(bb_zolt_grid[5000000], 1);
}
