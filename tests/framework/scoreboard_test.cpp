// Score panels, recent-score markers, the online panel and the score display.
#include "framework/scoreboard.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "framework/profile.h"
#include "fw_fixture.h"

namespace {

constexpr int kFontSlot = 5;

struct Drawn {
    int slot;
    float x, y;
};

// Image records of the list being recorded, in order.
std::vector<Drawn> Images() {
    std::vector<Drawn> out;
    for (int n = 0; n < bb_zolt_Sprtup; ++n) {
        const float* r = bb_zolt_ZOLT_Draw + 20 * n;
        if (r[9] == 1) out.push_back({static_cast<int>(r[10]), r[11], r[12]});
    }
    return out;
}

std::vector<Drawn> OfSlot(const std::vector<Drawn>& all, int slot) {
    std::vector<Drawn> out;
    for (const Drawn& d : all)
        if (d.slot == slot) out.push_back(d);
    return out;
}

class ScoreboardTest : public FrameworkTest {
  protected:
    void SetUp() override {
        FrameworkTest::SetUp();
        bbInitZoltProfile();
        bbInitZoltScoreboard();
        bb_zolt_ZOLT_MenuPos[2] = 1;  // "Normal" selected: game type 2
        bb_zolt_ZOLT_MenuPos[12] = 3;
        const int best[5] = {900, 700, 500, 300, 100};
        const int last[5] = {450, 0, 900, 100, 700};
        for (int k = 0; k < 5; ++k) {
            bb_zolt_ZOLT_Score[40 + k] = best[k];
            bb_zolt_ZOLT_Score[45 + k] = last[k];
        }
        host.now = 300;  // a clock at which the wobble is clearly non-zero
    }
    std::vector<Drawn> DrawBoard() {
        bb_zolt_Sprtup = 0;
        bb_zolt_Draw_Scoreboard(200, 300);
        return Images();
    }
};

TEST(ScoreText, RightAlignsInEightCharacters) {
    EXPECT_EQ(bbZoltScoreText(123), u"     123");
    EXPECT_EQ(bbZoltScoreText(0), u"       0");
    EXPECT_EQ(bbZoltScoreText(123456789), u"23456789");
    EXPECT_EQ(bbZoltScoreText(-5), u"      -5");
}

TEST_F(ScoreboardTest, MarkersShowTheLastFiveAsAFractionOfTheBest) {
    const std::vector<Drawn> all = DrawBoard();
    ASSERT_FALSE(all.empty());
    EXPECT_EQ(all[0].slot, 82);
    EXPECT_EQ(all[0].x, 200);
    const std::vector<Drawn> markers = OfSlot(all, 74);
    ASSERT_EQ(markers.size(), 5u);
    const int last[5] = {450, 0, 900, 100, 700};
    for (int i = 0; i < 5; ++i) {
        EXPECT_FLOAT_EQ(markers[i].x, 200 - 100 + 22 * i) << i;
        EXPECT_FLOAT_EQ(markers[i].y, bb_zolt_jscrh - 78 - 40.0f * last[i] / 900) << i;
    }
}

TEST_F(ScoreboardTest, ZeroBestCountsAsOneAndHugeScoresDoNotOverflow) {
    bb_zolt_ZOLT_Score[40] = 0;
    bb_zolt_ZOLT_Score[45] = 3;
    bb_zolt_ZOLT_Score[46] = 2000000000;
    const std::vector<Drawn> markers = OfSlot(DrawBoard(), 74);
    ASSERT_EQ(markers.size(), 5u);
    EXPECT_FLOAT_EQ(markers[0].y, bb_zolt_jscrh - 78 - 120.0f);
    EXPECT_FLOAT_EQ(markers[1].y, bb_zolt_jscrh - 78 - 40.0f * 2000000000.0f);
}

TEST_F(ScoreboardTest, OutOfRangeCursorDrawsOnlyThePanel) {
    bb_zolt_ZOLT_MenuPos[2] = 3;
    EXPECT_EQ(DrawBoard().size(), 1u);
    bb_zolt_ZOLT_MenuPos[2] = -1;
    EXPECT_EQ(DrawBoard().size(), 1u);
}

// Only the glyphs of the last game's rank move, and only in its game type.
TEST_F(ScoreboardTest, OnlyTheLastRankWobbles) {
    bb_zolt_ZOLT_Font = kFontSlot;
    const std::vector<Drawn> still = OfSlot(DrawBoard(), kFontSlot);
    ASSERT_FALSE(still.empty());

    bb_zolt_ZOLT_LastPlay = 2;
    bb_zolt_ZOLT_LastRank = 2;
    const std::vector<Drawn> moved = OfSlot(DrawBoard(), kFontSlot);
    ASSERT_EQ(moved.size(), still.size());
    const float lineY = static_cast<int>(300 - 96) + 40 + 28 * 2;
    int shifted = 0;
    for (size_t i = 0; i < still.size(); ++i) {
        const bool onLine = std::fabs(still[i].y - lineY) < 14;
        if (onLine) {
            EXPECT_NE(moved[i].x, still[i].x);
            ++shifted;
        } else {
            EXPECT_EQ(moved[i].x, still[i].x) << i;
            EXPECT_EQ(moved[i].y, still[i].y) << i;
        }
    }
    EXPECT_GT(shifted, 0);

    bb_zolt_ZOLT_LastPlay = 1;  // another game type: nothing wobbles
    const std::vector<Drawn> other = OfSlot(DrawBoard(), kFontSlot);
    for (size_t i = 0; i < still.size(); ++i) EXPECT_EQ(other[i].x, still[i].x);
}

TEST_F(ScoreboardTest, OnlinePanelIsMirroredAndItsLocalBestWobbles) {
    EXPECT_EQ(OfSlot(DrawBoard(), 82).size(), 1u);  // no board yet: one panel
    bb_zolt_ZOLT_OnlineBoard = 1;
    for (int k = 0; k < 5; ++k) {
        bb_zolt_ZOLT_OnScore[40 + k] = 1050 - 100 * k;  // none equals the local best
        bb_zolt_ZOLT_OnName[40 + k] = u"Pilot";
    }
    std::vector<Drawn> panels = OfSlot(DrawBoard(), 82);
    ASSERT_EQ(panels.size(), 2u);
    EXPECT_EQ(panels[1].x, bb_zolt_jscrw - 200);

    bb_zolt_ZOLT_Font = kFontSlot;
    const std::vector<Drawn> still = OfSlot(DrawBoard(), kFontSlot);
    bb_zolt_ZOLT_OnScore[41] = 900;  // equal to the local best
    const std::vector<Drawn> moved = OfSlot(DrawBoard(), kFontSlot);
    ASSERT_EQ(moved.size(), still.size());
    int changed = 0;
    for (size_t i = 0; i < still.size(); ++i)
        if (moved[i].x != still[i].x) ++changed;
    EXPECT_GT(changed, 0);
}

TEST_F(ScoreboardTest, DisplayedScoreEasesUpAndSnapsOnTheTwentySixthFrame) {
    bb_zolt_plr[50] = 100;
    bb_zolt_plr[53] = 0;
    std::vector<int> shown;
    for (int frame = 1; frame <= 26; ++frame) {
        bb_zolt_ShowScores(1, 1, 0, 0, 0, 0);
        shown.push_back(static_cast<int>(bb_zolt_plr[53]));
        if (frame < 26) {
            EXPECT_NE(bb_zolt_plr[53], 100.0f) << frame;
        }
    }
    EXPECT_EQ(std::vector<int>(shown.begin(), shown.begin() + 3), (std::vector<int>{16, 30, 42}));
    EXPECT_EQ(bb_zolt_plr[53], 100.0f);
}

TEST_F(ScoreboardTest, LivesShowAtMostThreeIconsAndNothingInScreenshotMode) {
    struct Case {
        float lives;
        size_t icons;
    };
    const Case cases[] = {{0, 0}, {1, 1}, {2, 2}, {3, 3}, {5, 3}, {-2, 0}};
    for (const Case& c : cases) {
        bb_zolt_plr[51] = c.lives;
        bb_zolt_Sprtup = 0;
        bb_zolt_ShowScores(1, 1, 0, 0, 0, 0);
        EXPECT_EQ(OfSlot(Images(), 90).size(), c.icons) << c.lives;
    }
    bb_zolt_plr[51] = 3;
    bb_zolt_plr[50] = 50;
    bb_zolt_plr[53] = 0;
    bb_zolt_ZOLT_ScreenshotMode = 1;
    bb_zolt_Sprtup = 0;
    bb_zolt_ShowScores(1, 1, 0, 0, 0, 0);
    EXPECT_TRUE(Images().empty());
    EXPECT_EQ(bb_zolt_plr[53], 0.0f);
}

}  // namespace
