// game.cpp: c_MyGame's start-up, loading screen, update and render, and the
// two transitions into a game and back to the menu.
//
// Owns no globals of its own: it drives the framework's shared screen state
// (bb_zolt_ZOLT_Loader, bb_zolt_ZOLT_GameMode, bb_zolt_ZOLT_OptCred, the menu
// state), the player block and the local score table. Depends on the
// framework, the profile and scoreboards, and keyword.h.
#include "game/game.h"

#include <cmath>

#include "framework/framework.h"
#include "framework/profile.h"
#include "framework/scoreboard.h"
#include "game/keyword.h"
#include "host/app.h"
#include "net/async.h"

// Constants

namespace {

constexpr int kUpdateRate = 60;         // updates per second
constexpr int kLastLoadStep = 60;       // the step after this one ends loading
constexpr int kMenuSlideStart = -64;    // menu state 10: the menu slides in again
constexpr int kMenuPosList = 0;         // menu state: the list shown
constexpr int kMenuPosSpeedCursor = 2;  // menu state: cursor of the speed list
constexpr int kMenuPosPanelX = 5;       // menu state: panel position
constexpr int kMenuPosSlide = 10;       // menu state: slide-in offset
constexpr int kMenuPanelInset = 32;     // panel starts this far left of the right edge
constexpr int kSetGamesPlayed = 5;      // setting: finished games
constexpr int kSetLoaded = 100;         // setting: set once loading has begun
constexpr int kSubmitEvery = 5;         // submit the first of every five games

// Loading screen picture.
constexpr int kLogoTilesSlot = 95;        // the logo cut into 32 x 32 tiles
constexpr int kLogoTiles = 32;            // tiles per row and per column
constexpr float kLogoTilePitch = 15.99f;  // distance between tiles at half size
constexpr float kLogoHalf = 239.85f;      // half the assembled logo
constexpr float kLogoFallDelay = 30.0f;   // updates before a tile starts to settle
constexpr float kLogoColumnLead = 0.3f;   // later columns wait longer
constexpr float kLogoRowStep = 0.25f;     // lower rows land first
constexpr float kLogoDropScale = 5.0f;    // drop height per squared update left
constexpr int kFirstTileStep = 2;         // tiles are drawn once L is above this
constexpr int kLoadingTextRise = 64;      // "Loading" above the bottom edge

// Player block 0 fields set at the start of a game.
constexpr int kPlrX = 1;
constexpr int kPlrY = 2;
constexpr int kPlrVX = 3;
constexpr int kPlrVY = 4;
constexpr int kPlrScore = 50;
constexpr int kPlrLivesShown = 51;
constexpr int kPlrCount = 52;
constexpr int kPlrLives = 54;
constexpr int kPlrSpeed = 57;
constexpr int kPlrSpawnInterval = 66;
constexpr int kPlrTutorial = 67;
constexpr float kStartX = 128;       // player start x
constexpr int kStartFloorRise = 64;  // player start y above the bottom edge
constexpr float kStartLives = 3;

// Local score table block of one game type.
constexpr int kBest = 0;        // entries +0..+4: best five
constexpr int kLast = 5;        // entries +5..+9: last five
constexpr int kBestCount = 10;  // entries +10..+14: correct emails of the best five
constexpr int kRanks = 5;

// Internal helpers

struct LoadImage {
    int slot;
    const char16_t* name;
    float frameWidth, frameHeight;
    int frameCount;
};

// Image loads of steps 30..43, and the effects loaded alongside them.
struct LoadStep {
    int step;
    LoadImage image;
    int effect;  // 0: none
};

constexpr LoadStep kLoadSteps[] = {
    {30, {96, u"ZOLTLogo", 1024, 1024, 1}, 98},   {31, {70, u"part-shapefull", 32, 32, 16}, 99},
    {32, {71, u"parts_shape", 32, 32, 16}, 99},   {33, {72, u"parts_smoke", 32, 32, 16}, 99},
    {34, {73, u"parts_cluster", 32, 32, 16}, 99}, {35, {74, u"parts_stars", 32, 32, 16}, 0},
    {36, {80, u"Buttons", 64, 64, 16}, 0},        {37, {90, u"icons", 128, 128, 16}, 0},
    {38, {91, u"circle", 256, 256, 4}, 0},        {39, {69, u"logo", 1024, 512, 1}, 0},
    {40, {68, u"menu", 1024, 1024, 4}, 0},        {41, {81, u"options", 68, 68, 49}, 0},
    {42, {82, u"scoreboard", 256, 256, 1}, 0},    {43, {1, u"gfx", 20, 20, 36}, 0},
};

constexpr int kFontSlot = 99;
constexpr int kJingle = 96;  // the loading jingle
constexpr int kJingleStep = 5;
constexpr int kFirstPlaySound = 1;  // play sounds 1..5 load at steps 44..48
constexpr int kPlaySoundStep = 44;
constexpr int kPlaySounds = 5;

void LoadStepWork(int s) {
    if (s == 1) {
        bb_zolt_ZOLT_Set[kSetLoaded] = 1;
        bb_zolt_LoadFont(kFontSlot, u"bandwidth");
        bb_zolt_LoadSFX(kJingle);
    } else if (s == 2) {
        bb_zolt_LoadImg(kLogoTilesSlot, u"ZOLTLogo", 32, 32, kLogoTiles * kLogoTiles);
        bb_zolt_LoadSFX(kJingle);
    } else if (s == kJingleStep) {
        bb_zolt_PlaySFX(kJingle, kZoltRandomPitch, 1, 0);
    } else if (s >= kPlaySoundStep && s < kPlaySoundStep + kPlaySounds) {
        bb_zolt_LoadSFX(kFirstPlaySound + s - kPlaySoundStep);
    }
    for (const LoadStep& step : kLoadSteps) {
        if (step.step != s) continue;
        const LoadImage& i = step.image;
        bb_zolt_LoadImg(i.slot, i.name, i.frameWidth, i.frameHeight, i.frameCount);
        if (step.effect) bb_zolt_LoadSFX(step.effect);
    }
}

// The logo tiles fall into place from above as L grows.
void DrawLogoTiles(int L) {
    bb_zolt_SetSize(0.5f, 0.5f);
    const float left = static_cast<float>(bb_zolt_jscrw / 2) - kLogoHalf;
    const float top = static_cast<float>(bb_zolt_jscrh / 2) - kLogoHalf;
    for (int c = 0; c < kLogoTiles; ++c) {
        for (int r = 0; r < kLogoTiles; ++r) {
            const float o =
                kLogoFallDelay -
                (static_cast<float>(r) - kLogoColumnLead * static_cast<float>(c)) * kLogoRowStep -
                static_cast<float>(L);
            const float drop = o < 0 ? 0.0f : kLogoDropScale * o * o;
            bb_zolt_DrawImg(kLogoTilesSlot, static_cast<float>(c) * kLogoTilePitch + left,
                            static_cast<float>(r) * kLogoTilePitch + top - drop,
                            c + kLogoTiles * r);
        }
    }
}

void DrawLoadScreen(int L) {
    bb_zolt_ResetDraw();
    bb_zolt_SetCol(180, 160, 120);
    bb_zolt_Rect(-128, -128, static_cast<float>(bb_zolt_jscrw + 256),
                 static_cast<float>(bb_zolt_jscrh + 256), 0, 0);
    bb_zolt_ResetDraw();
    if (L > kFirstTileStep) DrawLogoTiles(L);
    bb_zolt_ResetDraw();
    if (bb_zolt_ZOLT_Font != 0) {
        const String dots = bb_zolt_rstr(u"", L % 4 + 1, u".");
        bb_zolt_Text(static_cast<float>(bb_zolt_jscrw / 2),
                     static_cast<float>(bb_zolt_jscrh - kLoadingTextRise), dots + u"Loading" + dots,
                     1, 1);
    }
}

// Inserts `value` at `rank` of a five-entry list, dropping the last entry.
void ShiftIn(int base, int rank, int value) {
    for (int i = base + kRanks - 1; i > base + rank; --i)
        bb_zolt_ZOLT_Score[i] = bb_zolt_ZOLT_Score[i - 1];
    bb_zolt_ZOLT_Score[base + rank] = value;
}

}  // namespace

// Public operations

bool bbGameShouldSubmit(int gamesPlayed, int rank) {
    return gamesPlayed % kSubmitEvery == 1 || rank == 0;
}

c_MyGame* c_MyGame::m_new() {
    c_App::m_new();
    return this;
}

void c_MyGame::p_OnCreate() {
    bb_zolt_SetGameNumber(kQuorvaneGameNumber);
    bb_zolt_SetKeyword(kQuorvaneKeyword);
    bb_zolt_AllowName(1);
    bb_zolt_SetOUYA(0);
    bb_zolt_AllowMouseAnalogue(1);
    bb_zolt_MixControls(1);
    bb_zolt_ShowQuitButton(1);
    bb_app_SetUpdateRate(kUpdateRate);
    bb_zolt_SetCLSCol(0, 0, 0, 1);
    bb_zolt_ResetDraw();
    bb_zolt_ZOLT_Loader = 1;
    bb_zolt_ZOLT_GameMode = kModeMenu;
    bb_zolt_Load();
    bb_zolt_LockKeys();
    bb_zolt_ZOLT_OptCred = 0;
    bb_zolt_ZOLT_MenuPos[kMenuPosList] = 1;
    bb_zolt_ZOLT_MenuPos[kMenuPosSpeedCursor] = 1;
    bb_zolt_ZOLT_MenuPos[kMenuPosPanelX] = bb_zolt_jscrw - kMenuPanelInset;
    bb_zolt_FlushGame(1, 1, 1);
    // The credits list (framework credits plus one empty entry) and the first
    // score submission join here once the credits and online areas exist.
    for (int& flag : bb_zolt_Joy_Disable) flag = 0;
}

void c_MyGame::p_OnResume() {
    // Re-allowing a submission after a resume joins with the online scores.
}

void c_MyGame::p_OnUpdate() {
    bb_zolt_Sprtup = 0;
    bb_zolt_ResetDraw();
    bb_zolt_UpdateWorld();
    if (bb_zolt_ZOLT_Loader > 0) p_LoadScreen();
    if (bb_zolt_ZOLT_Loader == 0) {
        if (bb_zolt_ZOLT_GameMode != kModeMenu)
            bb_zolt_ZOLT_MenuPos[kMenuPosSlide] = kMenuSlideStart;
        if (bb_zolt_ZOLT_OptCred == 0) {
            // The menu (mode 0), play with its pause overlay (mode 10), the
            // game-over sequence and the overlay screens are dispatched here
            // once they exist.
            if (bb_zolt_ZOLT_GameMode == kModeRecord) p_GotoMenu();
            if (bb_zolt_ZOLT_GameMode == kModeStart) p_GotoGame();
        }
    }
    bb_zolt_Buffer();
    bb_asyncevent_UpdateAsyncEvents();
}

void c_MyGame::p_OnRender() {
    bb_zolt_RenderWorld();
}

void c_MyGame::p_LoadScreen() {
    const int s = bb_zolt_ZOLT_Loader;
    LoadStepWork(s);
    if (s > kLastLoadStep) {
        bb_zolt_ZOLT_Loader = 0;
    } else {
        bb_zolt_ZOLT_Loader = s + 1;
        bb_zolt_ZOLT_MenuPos[kMenuPosSlide] = kMenuSlideStart;
    }
    DrawLoadScreen(bb_zolt_ZOLT_Loader);
}

void c_MyGame::p_GotoGame() {
    bb_zolt_FlushGame(1, 1, 1);
    float* p = bb_zolt_plr;
    p[kPlrX] = kStartX;
    p[kPlrY] = static_cast<float>(bb_zolt_jscrh - kStartFloorRise);
    p[kPlrVX] = 0;
    p[kPlrVY] = 0;
    p[kPlrLivesShown] = kStartLives;
    p[kPlrLives] = kStartLives;
    p[kPlrTutorial] = 1;
    if (bb_zolt_ZOLT_GameType == kGameTypeSlow) {
        p[kPlrSpeed] = 1.0f;
        p[kPlrSpawnInterval] = 100;
    } else if (bb_zolt_ZOLT_GameType == kGameTypeFast) {
        p[kPlrSpeed] = 1.8f;
        p[kPlrSpawnInterval] = 80;
    } else {
        p[kPlrSpeed] = 1.3f;
        p[kPlrSpawnInterval] = 90;
    }
    bb_zolt_PlayTune(u"Keeping", 1);
    bb_zolt_ZOLT_GameMode = kModePlaying;
}

void c_MyGame::p_GotoMenu() {
    const int t = bb_zolt_ZOLT_GameType;
    const int b = kZoltScoreBlock * t;
    const float s = bb_zolt_plr[kPlrScore];
    const float k = bb_zolt_plr[kPlrCount];
    bb_zolt_ZOLT_GameMode = kModeMenu;
    bb_zolt_StopTune();
    bb_zolt_LockKeys();
    bb_zolt_ZOLT_LastPlay = t;

    int rank = -1;
    for (int r = 0; r < kRanks; ++r) {
        if (s > static_cast<float>(bb_zolt_ZOLT_Score[b + kBest + r])) {
            rank = r;
            break;
        }
    }
    bb_zolt_ZOLT_LastRank = rank;
    if (rank >= 0) {
        ShiftIn(b + kBest, rank, static_cast<int>(std::trunc(s)));
        ShiftIn(b + kBestCount, rank, static_cast<int>(std::trunc(k)));
    }
    ShiftIn(b + kLast, 0, static_cast<int>(std::trunc(s)));

    bb_zolt_ZOLT_Set[kSetGamesPlayed] += 1;
    if (bbGameShouldSubmit(bb_zolt_ZOLT_Set[kSetGamesPlayed], rank)) {
        // The online submission of the best scores joins here.
    }
    bb_zolt_Save();
}
