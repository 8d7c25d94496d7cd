// world.cpp: bb_zolt_UpdateWorld and the world arrays with their resets.
//
// Owns bb_zolt_obj, bb_zolt_plr and bb_zolt_grid. The tick reads key hits
// (host/input.h), ends the program on F4 (host/errors.h), switches the
// window through bb_zolt_FullscreenFlip (state.h), runs the pointer tick and
// controls (controls.h) and the volume follow-up (sound.h).
#include "framework/world.h"

#include <algorithm>
#include <cstdlib>

#include "framework/controls.h"
#include "framework/particles.h"
#include "framework/sound.h"
#include "framework/state.h"
#include "host/errors.h"
#include "host/input.h"

// Constants
constexpr int kKeyF1 = 112;                   // statistics line
constexpr int kKeyF2 = 113;                   // screenshot mode
constexpr int kKeyF4 = 115;                   // quit at once
constexpr int kKeyF11 = 122;                  // window / full screen
constexpr int kPlayMode = 10;                 // game mode of play
constexpr int kRateSampleMs = 1000;           // update-rate sample length
constexpr float kBackgroundEasing = 0.0625f;  // share of the gap closed per update
constexpr int kObjResetFloats = 5100;         // entries cleared by bb_zolt_ResetObjs
constexpr int kGridResetFloats = 5000000;     // entries cleared by bb_zolt_ResetGrid
constexpr int kPlayerFloats = 100;            // floats per player block
constexpr int kPlayerScore = 50;              // player block fields
constexpr int kPlayerItems = 52;

// Globals
float bb_zolt_obj[kZoltObjFloats];
float bb_zolt_plr[kZoltPlrFloats];
float bb_zolt_grid[kZoltGridFloats];

// Internal helpers

static void CountUpdate() {
    float* data = bb_zolt_ZOLT_Data;
    data[48] += 1;
    data[8] += 1;
    const int now = bbZoltMillisecs();
    if (std::abs(now - static_cast<int>(data[6])) >= kRateSampleMs) {
        data[1] = data[8];
        data[8] = 0;
        data[6] = static_cast<float>(bbZoltMillisecs());
    }
}

static int Toggled(int value) {
    return value == 1 ? 0 : 1;
}

static void FunctionKeys() {
    if (bb_input_KeyHit(kKeyF1)) {
        bb_zolt_ZOLT_DebugMode = Toggled(bb_zolt_ZOLT_DebugMode);
        bb_zolt_ZOLT_Set[22] = bb_zolt_ZOLT_DebugMode;
    }
    if (bb_input_KeyHit(kKeyF2)) {
        bb_zolt_ZOLT_ScreenshotMode = Toggled(bb_zolt_ZOLT_ScreenshotMode);
        bb_zolt_ZOLT_Set[23] = bb_zolt_ZOLT_ScreenshotMode;
    }
    if (bb_input_KeyHit(kKeyF11)) bb_zolt_FullscreenFlip();
    if (bb_input_KeyHit(kKeyF4)) bbError(String());
}

static void EaseBackground() {
    float* style = bb_zolt_ZOLT_DrawStyle;
    for (int i = 0; i < 3; ++i)
        style[11 + i] -= (style[11 + i] - style[15 + i]) * kBackgroundEasing;
}

// Public operations

void bbInitZoltWorld() {
    std::fill(std::begin(bb_zolt_obj), std::end(bb_zolt_obj), 0.0f);
    std::fill(std::begin(bb_zolt_plr), std::end(bb_zolt_plr), 0.0f);
    std::fill(std::begin(bb_zolt_grid), std::end(bb_zolt_grid), 0.0f);
}

void bb_zolt_UpdateWorld() {
    CountUpdate();
    if (bb_zolt_ZOLT_GameMode != kPlayMode) {
        bb_zolt_ZOLT_Paused = 0;
        bb_zolt_ZOLT_MenuPos[40] = 1;
    }
    FunctionKeys();
    EaseBackground();
    bb_zolt_PointerTick();
    bb_zolt_DoControls();
    bbZoltApplyMusicVolume();
}

void bb_zolt_ResetObjs() {
    std::fill(bb_zolt_obj, bb_zolt_obj + kObjResetFloats, 0.0f);
}

void bb_zolt_ResetPlrs() {
    std::fill(std::begin(bb_zolt_plr), std::end(bb_zolt_plr), 0.0f);
}

void bb_zolt_ResetGrid() {
    std::fill(bb_zolt_grid, bb_zolt_grid + kGridResetFloats, 0.0f);
}

void bb_zolt_FlushGame(int grid, int players, int objects) {
    if (grid == 1) bb_zolt_ResetGrid();
    if (players == 1) bb_zolt_ResetPlrs();
    if (objects == 1) bb_zolt_ResetObjs();
    bb_zolt_ResetParticles();
    // Scattered afresh: zeroed stars would have depth 0 and never show or move.
    bb_zolt_ResetStars();
    bb_zolt_ZOLT_EndofGame = 0;
    bb_zolt_ZOLT_EndReason = 0;
}

int bb_zolt_FreeObj(int last, int stride) {
    if (last < 0) return -1;
    for (int i = 0; i <= last; ++i) {
        const long index = static_cast<long>(stride) * i;
        if (index < 0 || index >= kZoltObjFloats) return -1;
        if (bb_zolt_obj[index] == 0) return 10 * i;
    }
    return -1;
}

void bb_zolt_Gimme(int points, float x, float y, int player) {
    if (x != kZoltNoParticle) bbZoltThrowScore(x, y, points);
    if (player >= 1 && player <= 7) {
        float* block = bb_zolt_plr + kPlayerFloats * (player - 1);
        block[kPlayerScore] += static_cast<float>(points);
        block[kPlayerItems] += 1;
    }
}
