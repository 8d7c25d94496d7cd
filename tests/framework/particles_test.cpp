// Particles and stars: the ring, each kind's motion and life, the random
// draws they take, and star wrapping.
#include "fw_fixture.h"

class ParticlesTest : public FrameworkTest {
  protected:
    static const float* P(int r) { return bb_zolt_part + 10 * r; }
    static int Alive() {
        int n = 0;
        for (int r = 0; r <= 250; ++r) n += P(r)[0] > 0;
        return n;
    }
};

TEST_F(ParticlesTest, ThrowTakesThreeDrawsAndAFourthForBouncers) {
    uint32_t seed = bb_random_Seed;
    bb_zolt_ThrowParticle(10, 20, 2, 5, 90, 2);
    EXPECT_EQ(bb_random_Seed, SeedAfter(seed, 3));
    EXPECT_EQ(bb_zolt_ZOLT_Partto, 1);
    EXPECT_NEAR(P(1)[3], 2, 1e-5f);
    EXPECT_NEAR(P(1)[4], 0, 1e-5f);
    EXPECT_NEAR(P(1)[5], (SeedAfter(seed, 1) >> 8) / 16777216.0f * 360, 1e-3f);
    EXPECT_EQ(P(1)[8], std::floor((SeedAfter(seed, 3) >> 8) / 16777216.0f * 15.99f));
    EXPECT_EQ(P(1)[9], 5);
    seed = bb_random_Seed;
    bb_zolt_ThrowParticle(10, 100, 3, 1, 0, 1);
    EXPECT_EQ(bb_random_Seed, SeedAfter(seed, 4));
    EXPECT_GE(P(2)[8], 84);
    EXPECT_LE(P(2)[8], 116);
}

TEST_F(ParticlesTest, TheRingReusesTheOldestRecord) {
    for (int i = 0; i < 251; ++i) bb_zolt_ThrowParticle(100, 100, 4, 1, 0, 0);
    EXPECT_EQ(Alive(), 250);
    EXPECT_EQ(bb_zolt_ZOLT_Partto, 1);
}

TEST_F(ParticlesTest, FallingShapeMovesStraightDownAndDrawsItsFrame) {
    bb_zolt_ZOLT_ImgD[70] = 16;
    bb_zolt_ThrowParticle(100, 100, 2, 4, 180, 3);
    const uint32_t seed = bb_random_Seed;
    bb_zolt_DoParticles();
    EXPECT_EQ(bb_random_Seed, SeedAfter(seed, 2));
    EXPECT_NEAR(P(1)[1], 100, 1e-4f);
    EXPECT_NEAR(P(1)[2], 103, 1e-4f);
    EXPECT_GT(P(1)[4], 3.1f);
    ASSERT_EQ(bb_zolt_Sprtup, 1);
    EXPECT_EQ(Record(0)[10], 70);
    EXPECT_EQ(Record(0)[13], 1);
    EXPECT_FLOAT_EQ(Record(0)[4], 0.3f);
    EXPECT_NEAR(Record(0)[2], 255, 1e-3f);
    EXPECT_FLOAT_EQ(P(1)[7], 0.98f);
}

TEST_F(ParticlesTest, ScoreParticleRisesSlowlyAndLivesFiftyUpdates) {
    bb_zolt_ZOLT_Font = 99;
    bb_zolt_Gimme(10, 400, 300, 0);
    int updates = 0;
    float lowest = 0;
    while (P(1)[0] == 10 && updates < 100) {
        bb_zolt_Sprtup = 0;
        bb_zolt_DoParticles();
        lowest = std::min(lowest, P(1)[4]);
        ++updates;
    }
    EXPECT_GE(updates, 49);
    EXPECT_LE(updates, 51);
    EXPECT_FLOAT_EQ(lowest, -0.35f);
    EXPECT_EQ(P(1)[7], 0);
}

TEST_F(ParticlesTest, SmokeGrowsAsItFadesAndRises) {
    bb_zolt_ThrowParticle(100, 100, 1, 9, 0, 0);
    const uint32_t seed = bb_random_Seed;
    bb_zolt_DoParticles();
    EXPECT_EQ(bb_random_Seed, SeedAfter(seed, 2));
    EXPECT_LT(P(1)[4], -0.024f);
    EXPECT_FLOAT_EQ(Record(0)[4], 1);
    EXPECT_EQ(Record(0)[10], 72);
    for (int i = 0; i < 10; ++i) bb_zolt_DoParticles();
    EXPECT_NEAR(bb_zolt_ZOLT_Draw[20 * 10 + 4], 5 - 4 * 0.8f, 1e-4f);
}

TEST_F(ParticlesTest, ParticlesLeavingTheScreenAreFreed) {
    bb_zolt_ThrowParticle(100, 100, 4, 1, 0, 0);
    bb_zolt_scrx = 300;
    bb_zolt_DoParticles();
    EXPECT_EQ(P(1)[0], 0);
}

TEST_F(ParticlesTest, StarsMoveByTheirDepthAndWrapWithANewDepth) {
    host.now = 50;
    bb_zolt_ResetStars();
    bb_zolt_astar[1] = 400;
    bb_zolt_astar[2] = 300;
    bb_zolt_astar[3] = 0.5f;
    bb_zolt_ZOLT_ScrollY = 0;
    bb_zolt_DoStars(0, 4, 1, 0.3f);
    EXPECT_FLOAT_EQ(bb_zolt_astar[2], 302);
    EXPECT_FLOAT_EQ(Record(0)[0], 0.4f);
    EXPECT_FLOAT_EQ(Record(0)[4], 0.3f);
    EXPECT_EQ(Record(0)[10], 74);
    EXPECT_EQ(bb_zolt_Sprtup, 251);

    bb_zolt_astar[1] = 800 + 129;
    bb_zolt_astar[2] = 300;
    const uint32_t seed = bb_random_Seed;
    bb_zolt_Sprtup = 0;
    bb_zolt_DoStars(0, 0, 0, 1);
    EXPECT_EQ(bb_zolt_astar[1], -128);
    EXPECT_GE(bb_zolt_astar[3], 0.25f);
    EXPECT_LE(bb_zolt_astar[3], 0.9f);
    EXPECT_EQ(bb_random_Seed, SeedAfter(seed, 2)) << "one wrap: position and depth";
}

TEST_F(ParticlesTest, ResetStarsScattersWithSixDrawsEach) {
    host.now = 1000;
    bb_zolt_ResetStars();
    EXPECT_EQ(bb_random_Seed, SeedAfter(SeedAfter(1000, 21), 6 * 251));
    for (int n = 0; n < 251; ++n) {
        const float* s = bb_zolt_astar + 10 * n;
        EXPECT_LE(s[0], 15);
        EXPECT_GE(s[1], -128);
        EXPECT_LE(s[1], 800 + 128);
        EXPECT_GE(s[6], -2);
        EXPECT_LE(s[6], 2);
    }
}
