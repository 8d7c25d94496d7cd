// game_test.cpp: c_MyGame's start-up, loading screen, start of a game and
// the recording of a finished game, driven on a clean framework whose state
// file lives in memory.
#include "game/game.h"

#include <gtest/gtest.h>

#include <vector>

#include "framework/fw_fixture.h"
#include "framework/profile.h"
#include "framework/scoreboard.h"
#include "game/keyword.h"

namespace {

// A host whose state file is a string.
class MemoryHost : public ClockHost {
  public:
    int SaveState(const String& text) override {
        state = text;
        ++saves;
        return 0;
    }
    String LoadState() override { return state; }
    String state;
    int saves = 0;
};

class GameTest : public FrameworkTest {
  protected:
    void SetUp() override {
        FrameworkTest::SetUp();
        bbInitZoltProfile();
        bbInitZoltScoreboard();
        bb_app__game = &memory;
        bb_zolt_SetGameNumber(kQuorvaneGameNumber);
    }

    // The records of the last update: still in the list being recorded when
    // there were too few to commit, otherwise in the committed list.
    static std::vector<const float*> UpdateRecords() {
        std::vector<const float*> out;
        const bool committed = bb_zolt_Sprtup == 0;
        const float* list = committed ? bb_zolt_ZOLT_Buffer : bb_zolt_ZOLT_Draw;
        const int count = committed ? bb_zolt_Bufferup : bb_zolt_Sprtup;
        for (int n = 0; n < count; ++n) out.push_back(list + kZoltRecordFloats * n);
        return out;
    }

    // Records of the last update that draw image `slot`.
    static std::vector<const float*> ImageRecords(int slot) {
        std::vector<const float*> out;
        for (const float* r : UpdateRecords())
            if (r[9] == kZoltCmdImage && r[10] == slot) out.push_back(r);
        return out;
    }

    // Runs updates until the loading counter reads `L`.
    void UpdateUntilLoader(int L) {
        for (int guard = 0; guard < 100 && bb_zolt_ZOLT_Loader != L; ++guard) game.p_OnUpdate();
        ASSERT_EQ(bb_zolt_ZOLT_Loader, L);
    }

    MemoryHost memory;
    c_MyGame game;
};

constexpr int kTileSlot = 95;
constexpr int kFont = 99;
constexpr int kDotFrame = '.' - 32;

// ---- start-up ----

TEST_F(GameTest, OnCreateConfiguresTheFrameworkAndLoadsTheSavedRecord) {
    // A record saved by an earlier run of this game: it only loads when the
    // game number is set before the record is read.
    bb_zolt_ZOLT_Score[40] = 777;
    bb_zolt_Save();
    bbInitFramework();
    bbInitZoltProfile();
    bb_zolt_plr[1] = 55;
    bb_zolt_obj[0] = 502;
    bb_zolt_Joy_Disable[3] = 1;
    bb_zolt_ZOLT_OptCred = 2;
    bb_zolt_ZOLT_GameMode = 10;
    bb_zolt_ZOLT_Loader = 0;

    game.p_OnCreate();

    EXPECT_EQ(bb_zolt_ZOLT_GameNum, kQuorvaneGameNumber);
    EXPECT_EQ(bb_zolt_ZOLT_Keyword, String(kQuorvaneKeyword));
    EXPECT_EQ(bb_zolt_ZOLT_AllowName, 1);
    EXPECT_EQ(bb_zolt_HasQuit, 1);
    EXPECT_EQ(bb_zolt_ZOLT_MixControls, 1);
    EXPECT_EQ(bb_app__updateRate, 60);
    EXPECT_EQ(bb_zolt_ZOLT_Score[40], 777);
    EXPECT_EQ(bb_zolt_ZOLT_Loader, 1);
    EXPECT_EQ(bb_zolt_ZOLT_GameMode, kModeMenu);
    EXPECT_EQ(bb_zolt_ZOLT_OptCred, 0);
    EXPECT_EQ(bb_zolt_ZOLT_MenuPos[0], 1);
    EXPECT_EQ(bb_zolt_ZOLT_MenuPos[2], 1);
    EXPECT_EQ(bb_zolt_ZOLT_MenuPos[5], bb_zolt_jscrw - 32);
    EXPECT_EQ(bb_zolt_plr[1], 0.0f);
    EXPECT_EQ(bb_zolt_obj[0], 0.0f);
    EXPECT_EQ(bb_zolt_Joy_Disable[3], 0);
}

// ---- loading screen ----

TEST_F(GameTest, LoadingTakes61UpdatesAndLoadsEachAssetAtItsStep) {
    struct Case {
        int slot, step;
        float w, h;
        int frames;
    };
    const Case cases[] = {
        {95, 2, 32, 32, 1024}, {96, 30, 1024, 1024, 1}, {70, 31, 32, 32, 16},
        {71, 32, 32, 32, 16},  {72, 33, 32, 32, 16},    {73, 34, 32, 32, 16},
        {74, 35, 32, 32, 16},  {80, 36, 64, 64, 16},    {90, 37, 128, 128, 16},
        {91, 38, 256, 256, 4}, {69, 39, 1024, 512, 1},  {68, 40, 1024, 1024, 4},
        {81, 41, 68, 68, 49},  {82, 42, 256, 256, 1},   {1, 43, 20, 20, 36},
    };
    int loadedAt[kZoltImageSlots] = {};
    int fontAt = 0, flagAt = 0;
    int updates = 0;
    while (bb_zolt_ZOLT_Loader > 0 && updates < 100) {
        game.p_OnUpdate();
        ++updates;
        if (bb_zolt_ZOLT_Loader > 0) {
            EXPECT_EQ(bb_zolt_ZOLT_Loader, updates + 1);
            EXPECT_EQ(bb_zolt_ZOLT_MenuPos[10], -64) << "update " << updates;
        }
        for (int s = 0; s < kZoltImageSlots; ++s)
            if (!loadedAt[s] && bb_zolt_ZOLT_ImgD[s] != 0) loadedAt[s] = updates;
        if (!fontAt && bb_zolt_ZOLT_Font == kFont) fontAt = updates;
        if (!flagAt && bb_zolt_ZOLT_Set[100] == 1) flagAt = updates;
    }
    EXPECT_EQ(updates, 61);
    EXPECT_EQ(bb_zolt_ZOLT_Loader, 0);
    EXPECT_EQ(fontAt, 1);
    EXPECT_EQ(flagAt, 1);
    for (const Case& c : cases) {
        EXPECT_EQ(loadedAt[c.slot], c.step) << "slot " << c.slot;
        EXPECT_EQ(bb_zolt_ZOLT_ImgW[c.slot], c.w) << "slot " << c.slot;
        EXPECT_EQ(bb_zolt_ZOLT_ImgH[c.slot], c.h) << "slot " << c.slot;
        EXPECT_EQ(bb_zolt_ZOLT_ImgD[c.slot], c.frames) << "slot " << c.slot;
    }
}

TEST_F(GameTest, LoadingScreenCoversTheScreenInSandColour) {
    game.p_OnUpdate();
    const float* r = nullptr;
    for (const float* record : UpdateRecords())
        if (!r && record[9] == kZoltCmdRect) r = record;
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r[1], 180.0f);
    EXPECT_EQ(r[2], 160.0f);
    EXPECT_EQ(r[3], 120.0f);
    EXPECT_EQ(r[11], -128.0f);
    EXPECT_EQ(r[12], -128.0f);
    EXPECT_EQ(r[13], static_cast<float>(bb_zolt_jscrw + 256));
    EXPECT_EQ(r[14], static_cast<float>(bb_zolt_jscrh + 256));
}

TEST_F(GameTest, LogoTilesAppearAtThreeAndSettleBottomLeftFirst) {
    UpdateUntilLoader(2);
    EXPECT_TRUE(ImageRecords(kTileSlot).empty());

    struct Case {
        int L, c, r;
        bool resting;
    };
    const Case cases[] = {{3, 0, 31, false},  {22, 0, 31, false}, {23, 0, 31, true},
                          {32, 31, 0, false}, {33, 31, 0, true},  {60, 31, 31, true}};
    for (const Case& c : cases) {
        UpdateUntilLoader(c.L);
        const auto tiles = ImageRecords(kTileSlot);
        ASSERT_EQ(tiles.size(), 1024u) << "L " << c.L;
        const float* t = tiles[c.c * 32 + c.r];
        EXPECT_EQ(t[13], static_cast<float>(c.c + 32 * c.r)) << "L " << c.L;
        EXPECT_EQ(t[4], 0.5f);
        EXPECT_EQ(t[5], 0.5f);
        EXPECT_FLOAT_EQ(t[11], c.c * 15.99f + 400 - 239.85f) << "L " << c.L;
        const float rest = c.r * 15.99f + 300 - 239.85f;
        if (c.resting)
            EXPECT_FLOAT_EQ(t[12], rest) << "L " << c.L;
        else
            EXPECT_LT(t[12], rest) << "L " << c.L;
    }
}

TEST_F(GameTest, LoadingDotsCycleFourOneTwoThree) {
    const int expected[] = {4, 1, 2, 3, 4, 1};
    for (int i = 0; i < 6; ++i) {
        const int L = 3 + i;
        UpdateUntilLoader(L);
        int dots = 0;
        for (const float* g : ImageRecords(kFont))
            if (g[13] == kDotFrame) ++dots;
        EXPECT_EQ(dots, 2 * expected[i]) << "L " << L;
    }
}

// ---- start of a game ----

TEST_F(GameTest, GameTypesSetStartSpeedAndSpawnInterval) {
    struct Case {
        int type;
        float speed, interval;
    };
    const Case cases[] = {
        {1, 1.0f, 100}, {2, 1.3f, 90}, {3, 1.8f, 80}, {0, 1.3f, 90}, {7, 1.3f, 90}};
    for (const Case& c : cases) {
        bb_zolt_ZOLT_Loader = 0;
        bb_zolt_ZOLT_GameMode = kModeStart;
        bb_zolt_ZOLT_GameType = c.type;
        bb_zolt_ZOLT_EndofGame = 1;
        bb_zolt_plr[50] = 440;  // score of an earlier game
        bb_zolt_obj[10] = 503;

        game.p_OnUpdate();

        EXPECT_EQ(bb_zolt_ZOLT_GameMode, kModePlaying) << "type " << c.type;
        EXPECT_EQ(bb_zolt_plr[57], c.speed) << "type " << c.type;
        EXPECT_EQ(bb_zolt_plr[66], c.interval) << "type " << c.type;
        EXPECT_EQ(bb_zolt_plr[1], 128.0f);
        EXPECT_EQ(bb_zolt_plr[2], static_cast<float>(bb_zolt_jscrh - 64));
        EXPECT_EQ(bb_zolt_plr[51], 3.0f);
        EXPECT_EQ(bb_zolt_plr[54], 3.0f);
        EXPECT_EQ(bb_zolt_plr[67], 1.0f);
        EXPECT_EQ(bb_zolt_plr[50], 0.0f);
        EXPECT_EQ(bb_zolt_obj[10], 0.0f);
        EXPECT_EQ(bb_zolt_ZOLT_EndofGame, 0);
        EXPECT_EQ(bb_zolt_ZOLT_LastTune, u"Keeping");
    }
}

TEST_F(GameTest, AnOpenOverlayHoldsTheModeScreen) {
    bb_zolt_ZOLT_Loader = 0;
    bb_zolt_ZOLT_GameMode = kModeStart;
    bb_zolt_ZOLT_OptCred = 1;
    bb_zolt_ZOLT_MenuPos[10] = 0;
    game.p_OnUpdate();
    EXPECT_EQ(bb_zolt_ZOLT_GameMode, kModeStart);
    EXPECT_EQ(bb_zolt_plr[54], 0.0f);
    // Away from the menu, the menu is told to slide in again when it returns.
    EXPECT_EQ(bb_zolt_ZOLT_MenuPos[10], -64);

    bb_zolt_ZOLT_OptCred = 0;
    game.p_OnUpdate();
    EXPECT_EQ(bb_zolt_ZOLT_GameMode, kModePlaying);
    EXPECT_EQ(bb_zolt_plr[54], 3.0f);
}

// ---- recording a finished game ----

struct Block {
    int best[5], last[5], counts[5];
};

class RecordTest : public GameTest {
  protected:
    static constexpr int kType = 2;
    static constexpr int kBase = 20 * kType;

    void Fill(const Block& b) {
        for (int i = 0; i < 5; ++i) {
            bb_zolt_ZOLT_Score[kBase + i] = b.best[i];
            bb_zolt_ZOLT_Score[kBase + 5 + i] = b.last[i];
            bb_zolt_ZOLT_Score[kBase + 10 + i] = b.counts[i];
        }
    }
    void Finish(float score, float count) {
        bb_zolt_ZOLT_Loader = 0;
        bb_zolt_ZOLT_GameType = kType;
        bb_zolt_ZOLT_GameMode = kModeRecord;
        bb_zolt_plr[50] = score;
        bb_zolt_plr[52] = count;
        game.p_OnUpdate();
    }
    static void ExpectBlock(const Block& b, const char* what) {
        for (int i = 0; i < 5; ++i) {
            EXPECT_EQ(bb_zolt_ZOLT_Score[kBase + i], b.best[i]) << what << " best " << i;
            EXPECT_EQ(bb_zolt_ZOLT_Score[kBase + 5 + i], b.last[i]) << what << " last " << i;
            EXPECT_EQ(bb_zolt_ZOLT_Score[kBase + 10 + i], b.counts[i]) << what << " count " << i;
        }
    }
};

TEST_F(RecordTest, ScoreTakesItsRankAndShiftsTheTables) {
    const Block full = {{100, 80, 60, 40, 20}, {1, 2, 3, 4, 5}, {10, 8, 6, 4, 2}};
    struct Case {
        const char* what;
        Block before;
        float score, count;
        int rank;
        Block after;
    };
    const Case cases[] = {
        {"first game on a fresh table", {}, 50, 5, 0, {{50}, {50}, {5}}},
        {"zero on a fresh table", {}, 0, 0, -1, {}},
        {"new best",
         full,
         150,
         15,
         0,
         {{150, 100, 80, 60, 40}, {150, 1, 2, 3, 4}, {15, 10, 8, 6, 4}}},
        {"tie with the best ranks below it",
         full,
         100,
         9,
         1,
         {{100, 100, 80, 60, 40}, {100, 1, 2, 3, 4}, {10, 9, 8, 6, 4}}},
        {"fifth place",
         full,
         30,
         3,
         4,
         {{100, 80, 60, 40, 30}, {30, 1, 2, 3, 4}, {10, 8, 6, 4, 3}}},
        {"tie with the fifth does not rank",
         full,
         20,
         2,
         -1,
         {{100, 80, 60, 40, 20}, {20, 1, 2, 3, 4}, {10, 8, 6, 4, 2}}},
        {"fraction above the fifth ranks as a float",
         full,
         20.5f,
         2.7f,
         4,
         {{100, 80, 60, 40, 20}, {20, 1, 2, 3, 4}, {10, 8, 6, 4, 2}}},
    };
    for (const Case& c : cases) {
        Fill(c.before);
        bb_zolt_ZOLT_Score[20] = 9;  // another game type's block stays
        Finish(c.score, c.count);
        EXPECT_EQ(bb_zolt_ZOLT_LastRank, c.rank) << c.what;
        EXPECT_EQ(bb_zolt_ZOLT_LastPlay, kType) << c.what;
        EXPECT_EQ(bb_zolt_ZOLT_GameMode, kModeMenu) << c.what;
        EXPECT_EQ(bb_zolt_ZOLT_Score[20], 9) << c.what;
        ExpectBlock(c.after, c.what);
    }
}

TEST_F(RecordTest, EachFinishedGameCountsAndIsSaved) {
    bb_zolt_ZOLT_Set[5] = 4;
    Finish(70, 7);
    EXPECT_EQ(bb_zolt_ZOLT_Set[5], 5);
    EXPECT_EQ(memory.saves, 1);
    Finish(10, 1);
    EXPECT_EQ(bb_zolt_ZOLT_Set[5], 6);
    EXPECT_EQ(memory.saves, 2);

    // The saved record holds both games.
    for (int i = 0; i < 15; ++i) bb_zolt_ZOLT_Score[kBase + i] = 0;
    bb_zolt_Load();
    EXPECT_EQ(bb_zolt_ZOLT_Score[kBase + 0], 70);
    EXPECT_EQ(bb_zolt_ZOLT_Score[kBase + 1], 10);
    EXPECT_EQ(bb_zolt_ZOLT_Score[kBase + 5], 10);
    EXPECT_EQ(bb_zolt_ZOLT_Score[kBase + 6], 70);
    EXPECT_EQ(bb_zolt_ZOLT_Set[5], 6);
}

TEST(SubmissionRule, FirstOfEveryFiveGamesOrANewBestIsSubmitted) {
    struct Case {
        int played, rank;
        bool submit;
    };
    const Case cases[] = {{1, -1, true}, {2, -1, false},  {5, -1, false},
                          {6, -1, true}, {11, 3, true},   {3, 0, true},
                          {4, 1, false}, {10, -1, false}, {5, 0, true}};
    for (const Case& c : cases)
        EXPECT_EQ(bbGameShouldSubmit(c.played, c.rank), c.submit)
            << "game " << c.played << " rank " << c.rank;
}

}  // namespace
