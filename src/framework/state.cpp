// state.cpp: framework state, the commit of the draw list, the draw style
// reset, settings and the shared random generator.
//
// Owns the globals of state.h. The render side (bb_zolt_RenderWorld, the
// window/full-screen switch) lives in replay.cpp. Depends on the host clock,
// the particle step (particles.h) and text (text.h) for the statistics line.
#include "framework/state.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "framework/controls.h"
#include "framework/particles.h"
#include "framework/text.h"
#include "host/app.h"

// Constants
constexpr uint32_t kRndMultiplier = 1664525u;    // linear congruential step
constexpr uint32_t kRndIncrement = 1013904223u;  // linear congruential step
constexpr int kSeedWarmUpSteps = 21;             // steps after seeding
constexpr float kRandUpperReach = 0.99f;         // makes bb_zolt_Rand include hi
constexpr int kStatsTextSize = 96;               // units of the statistics line
constexpr float kStatsTextScale = 0.5f;          // size of the statistics line
constexpr int kDefaultVolume = 7;                // music and effect volume 0..10

// Globals
int32_t bb_zolt_jscrw;
int32_t bb_zolt_jscrh;
int32_t bb_zolt_ZOLT_TargetSize;
float bb_zolt_ZOLT_Scale;
int32_t bb_zolt_RealW, bb_zolt_RealH;
int32_t bb_zolt_WRealW, bb_zolt_WRealH;
int32_t bb_zolt_ZOLT_Orientation;
int32_t bb_zolt_overscan;
int32_t bb_zolt_ZOLT_Fullscreen;
float bb_zolt_scrx, bb_zolt_scry;
float bb_zolt_aimx, bb_zolt_aimy;
float bb_zolt_ZOLT_ScrollX, bb_zolt_ZOLT_ScrollY;

float bb_zolt_ZOLT_DrawStyle[kZoltStyleFloats];
float bb_zolt_ZOLT_Draw[kZoltListFloats];
int32_t bb_zolt_Sprtup;
float bb_zolt_ZOLT_Buffer[kZoltListFloats];
int32_t bb_zolt_Bufferup;

float bb_zolt_ZOLT_Data[kZoltDataEntries];
int32_t bb_zolt_ZOLT_DebugMode;
int32_t bb_zolt_ZOLT_ScreenshotMode;

int32_t bb_zolt_ZOLT_Set[kZoltSettings];

int32_t bb_zolt_ZOLT_Loader;
int32_t bb_zolt_ZOLT_GameMode;
int32_t bb_zolt_ZOLT_OptCred;
int32_t bb_zolt_ZOLT_GameType;
int32_t bb_zolt_ZOLT_MenuPos[kZoltMenuPosEntries];
int32_t bb_zolt_ZOLT_Paused;
int32_t bb_zolt_ZOLT_EndofGame;
int32_t bb_zolt_ZOLT_EndReason;

int32_t bb_zolt_ZOLT_GameNum;
int32_t bb_zolt_HasQuit;

uint32_t bb_random_Seed;
int32_t bb_zolt_ZOLT_Seed;

// Internal helpers

static void StepSeed() {
    bb_random_Seed = bb_random_Seed * kRndMultiplier + kRndIncrement;
}

// Appends the decimal digits of `value` to `out` at `length`.
static int AppendInt(char16_t* out, int length, int32_t value) {
    char digits[12];
    const int n = std::snprintf(digits, sizeof digits, "%d", value);
    for (int i = 0; i < n; ++i) out[length++] = static_cast<char16_t>(digits[i]);
    return length;
}

static int AppendText(char16_t* out, int length, const char* text) {
    while (*text) out[length++] = static_cast<char16_t>(*text++);
    return length;
}

// "Update U - Render R (S sprites)" without touching the heap.
static void RecordStatisticsLine() {
    const int updates = static_cast<int>(bb_zolt_ZOLT_Data[1]);
    const int renders = static_cast<int>(bb_zolt_ZOLT_Data[2]);
    const int sprites = static_cast<int>(bb_zolt_ZOLT_Data[3]);
    bb_zolt_ResetDraw();
    bb_zolt_ZOLT_DrawStyle[4] = kStatsTextScale;
    bb_zolt_ZOLT_DrawStyle[5] = kStatsTextScale;
    char16_t line[kStatsTextSize];
    int n = AppendText(line, 0, "Update ");
    n = AppendInt(line, n, updates);
    n = AppendText(line, n, " - Render ");
    n = AppendInt(line, n, renders);
    n = AppendText(line, n, " (");
    n = AppendInt(line, n, sprites);
    n = AppendText(line, n, " sprites)");
    if (bb_zolt_ZOLT_Font != 0) {
        bb_zolt_Text(16, static_cast<float>(bb_zolt_jscrh - 32), std::u16string_view(line, n), 0, 0,
                     0, 0);
    }
}

// Public operations

void bbInitZoltState() {
    bb_zolt_jscrw = 800;
    bb_zolt_jscrh = 600;
    bb_zolt_ZOLT_TargetSize = 800;
    bb_zolt_ZOLT_Scale = 0;
    bb_zolt_RealW = bb_zolt_RealH = 0;
    bb_zolt_WRealW = bb_zolt_WRealH = 0;
    bb_zolt_ZOLT_Orientation = 0;
    bb_zolt_overscan = 0;
    bb_zolt_ZOLT_Fullscreen = 0;
    bb_zolt_scrx = bb_zolt_scry = 0;
    bb_zolt_aimx = bb_zolt_aimy = 0;
    bb_zolt_ZOLT_ScrollX = bb_zolt_ZOLT_ScrollY = 0;
    std::fill(std::begin(bb_zolt_ZOLT_DrawStyle), std::end(bb_zolt_ZOLT_DrawStyle), 0.0f);
    std::fill(std::begin(bb_zolt_ZOLT_Draw), std::end(bb_zolt_ZOLT_Draw), 0.0f);
    std::fill(std::begin(bb_zolt_ZOLT_Buffer), std::end(bb_zolt_ZOLT_Buffer), 0.0f);
    bb_zolt_Sprtup = 0;
    bb_zolt_Bufferup = 0;
    std::fill(std::begin(bb_zolt_ZOLT_Data), std::end(bb_zolt_ZOLT_Data), 0.0f);
    bb_zolt_ZOLT_DebugMode = 0;
    bb_zolt_ZOLT_ScreenshotMode = 0;
    std::fill(std::begin(bb_zolt_ZOLT_Set), std::end(bb_zolt_ZOLT_Set), 0);
    bb_zolt_ZOLT_Loader = 1;
    bb_zolt_ZOLT_GameMode = 0;
    bb_zolt_ZOLT_OptCred = 0;
    bb_zolt_ZOLT_GameType = 0;
    std::fill(std::begin(bb_zolt_ZOLT_MenuPos), std::end(bb_zolt_ZOLT_MenuPos), 0);
    bb_zolt_ZOLT_Paused = 0;
    bb_zolt_ZOLT_EndofGame = 0;
    bb_zolt_ZOLT_EndReason = 0;
    bb_zolt_ZOLT_GameNum = 0;
    bb_zolt_HasQuit = 0;
    bb_random_Seed = 1234;
    bb_zolt_ZOLT_Seed = 123456;
}

int bbZoltMillisecs() {
    return bb_app__game ? bb_app_Millisecs() : 0;
}

float* bbZoltAddRecord(int command) {
    if (bb_zolt_Sprtup < 0 || bb_zolt_Sprtup > kZoltMaxRecordIndex) return nullptr;
    float* record = bb_zolt_ZOLT_Draw + kZoltRecordFloats * bb_zolt_Sprtup;
    std::memcpy(record, bb_zolt_ZOLT_DrawStyle, 9 * sizeof(float));
    record[9] = static_cast<float>(command);
    std::fill(record + 10, record + kZoltRecordFloats, 0.0f);
    ++bb_zolt_Sprtup;
    return record;
}

void bb_zolt_Buffer() {
    bb_zolt_DoParticles();
    if (bb_zolt_ZOLT_DebugMode == 1) RecordStatisticsLine();
    if (bb_zolt_Sprtup > kZoltCommitThreshold) {
        std::memcpy(bb_zolt_ZOLT_Buffer, bb_zolt_ZOLT_Draw,
                    sizeof(float) * kZoltRecordFloats * bb_zolt_Sprtup);
        bb_zolt_Bufferup = bb_zolt_Sprtup;
        bb_zolt_Sprtup = 0;
    }
}

void bb_zolt_ResetDraw() {
    float* style = bb_zolt_ZOLT_DrawStyle;
    if (bb_zolt_Sprtup > 0 && (style[7] != 0 || style[8] != 0)) {
        style[7] = 0;
        style[8] = 0;
        bbZoltAddRecord(kZoltCmdStyle);
    }
    style[0] = 1;
    style[1] = style[2] = style[3] = 255;
    style[4] = style[5] = 1;
    style[6] = style[7] = style[8] = 0;
}

void bb_zolt_SetSize(float sx, float sy) {
    if (sy == kZoltSameAsPrevious) sy = sx;
    bb_zolt_ZOLT_DrawStyle[4] = sx;
    bb_zolt_ZOLT_DrawStyle[5] = sy;
}

void bb_zolt_SetCLSCol(int r, int g, int b, float alpha) {
    bb_zolt_ZOLT_DrawStyle[15] = static_cast<float>(std::clamp(r, 0, 255));
    bb_zolt_ZOLT_DrawStyle[16] = static_cast<float>(std::clamp(g, 0, 255));
    bb_zolt_ZOLT_DrawStyle[17] = static_cast<float>(std::clamp(b, 0, 255));
    bb_zolt_ZOLT_DrawStyle[14] = std::clamp(alpha, 0.0f, 1.0f);
}

void bb_zolt_SetDefaults() {
    bb_zolt_ZOLT_Set[0] = kDefaultVolume;
    bb_zolt_ZOLT_Set[1] = kDefaultVolume;
    const bool console = bb_zolt_isOuya == 1;
    bb_zolt_ZOLT_Set[11] = console ? 0 : 1;
    bb_zolt_ZOLT_Set[12] = console ? 0 : 1;
    bb_zolt_ZOLT_Set[21] = console ? 5 : 0;
    bb_zolt_ZOLT_Set[22] = 0;
}

int bb_zolt_SetSet(int index, int value) {
    if (index < 0 || index >= kZoltSettingsWritable) return 0;
    if (value == kZoltReadOnly) return bb_zolt_ZOLT_Set[index];
    bb_zolt_ZOLT_Set[index] = value;
    return value;
}

void bb_zolt_SeedRnd(int seed) {
    bb_zolt_ZOLT_Seed = seed;
    if (seed == kZoltSeedFromClock) {
        seed = bbZoltMillisecs();
        bb_zolt_ZOLT_Seed = seed;
    }
    bb_random_Seed = static_cast<uint32_t>(seed);
    for (int i = 0; i < kSeedWarmUpSteps; ++i) StepSeed();
}

float bb_random_Rnd() {
    StepSeed();
    return static_cast<float>(bb_random_Seed >> 8) / 16777216.0f;
}

float bb_random_Rnd2(float lo, float hi) {
    return lo + bb_random_Rnd() * (hi - lo);
}

float bb_random_Rnd3(float range) {
    return bb_random_Rnd() * range;
}

int bb_zolt_Rand(int lo, int hi) {
    const float flo = static_cast<float>(lo);
    return static_cast<int>(
        std::floor(flo + bb_random_Rnd() * (static_cast<float>(hi) + kRandUpperReach - flo)));
}
