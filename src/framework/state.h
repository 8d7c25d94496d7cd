// state.h: framework state: the virtual screen, the two draw lists, the draw
// style, statistics, settings, shared screen state and the random generator.
//
// Every update records 20-float draw records into bb_zolt_ZOLT_Draw (the
// recording helpers are in draw.h); bb_zolt_Buffer ends the update and commits
// the records into bb_zolt_ZOLT_Buffer when there are more than 15 of them;
// every render calls bb_zolt_RenderWorld, which fits the 800-unit virtual
// screen to the window, fills the background and replays the committed list
// through the drawing context. Rendering twice between two updates therefore
// shows the same picture twice.
//
// Update:  bb_zolt_Sprtup = 0; bb_zolt_ResetDraw(); bb_zolt_UpdateWorld();
//          ...screens record...; bb_zolt_Buffer();
// Render:  (drawing context open) bb_zolt_RenderWorld();
//
// The random generator bb_random_Seed is shared by every user of the
// framework and the game: the order of the draws decides every value.
// Failure: recording stops silently when the list is full; settings access
// outside 0..249 is ignored.
#pragma once

#include <cmath>
#include <cstdint>

#include "host/text.h"

// Constants
constexpr int kZoltRecordFloats = 20;             // floats per draw record
constexpr int kZoltListFloats = 150000;           // floats per draw list
constexpr int kZoltMaxRecordIndex = 5000;         // recording allowed while Sprtup <= this
constexpr int kZoltMaxReplay = 4999;              // records replayed by one render
constexpr int kZoltCommitThreshold = 15;          // an update must record more to commit
constexpr int kZoltStyleFloats = 50;              // entries of the draw style
constexpr int kZoltSettings = 256;                // entries of the settings array
constexpr int kZoltSettingsWritable = 250;        // bb_zolt_SetSet accepts 0..249
constexpr int kZoltMenuPosEntries = 50;           // entries of the shared menu state
constexpr int kZoltDataEntries = 50;              // entries of the statistics array
constexpr float kZoltSameAsPrevious = -37171.0f;  // float argument not given
constexpr int kZoltReadOnly = -3717;              // int argument not given: read
constexpr int kZoltSeedFromClock = -37171650;     // seed argument: take the clock
constexpr float kDegToRad = 0.0174532924f;        // degrees to radians, single precision

// Draw record commands (entry 9 of a record).
constexpr int kZoltCmdImage = 1;
constexpr int kZoltCmdRect = 2;
constexpr int kZoltCmdTriangle = 4;
constexpr int kZoltCmdLine = 5;
constexpr int kZoltCmdStyle = 101;

// Virtual screen.
extern int32_t bb_zolt_jscrw;
extern int32_t bb_zolt_jscrh;
extern int32_t bb_zolt_ZOLT_TargetSize;
extern float bb_zolt_ZOLT_Scale;
extern int32_t bb_zolt_RealW, bb_zolt_RealH;
extern int32_t bb_zolt_WRealW, bb_zolt_WRealH;
extern int32_t bb_zolt_ZOLT_Orientation;
extern int32_t bb_zolt_overscan;
extern int32_t bb_zolt_ZOLT_Fullscreen;
extern float bb_zolt_scrx, bb_zolt_scry;
extern float bb_zolt_aimx, bb_zolt_aimy;
extern float bb_zolt_ZOLT_ScrollX, bb_zolt_ZOLT_ScrollY;

// Draw style and the two lists.
extern float bb_zolt_ZOLT_DrawStyle[kZoltStyleFloats];
extern float bb_zolt_ZOLT_Draw[kZoltListFloats];
extern int32_t bb_zolt_Sprtup;
extern float bb_zolt_ZOLT_Buffer[kZoltListFloats];
extern int32_t bb_zolt_Bufferup;

// Statistics and display modes.
extern float bb_zolt_ZOLT_Data[kZoltDataEntries];
extern int32_t bb_zolt_ZOLT_DebugMode;
extern int32_t bb_zolt_ZOLT_ScreenshotMode;

// Settings.
extern int32_t bb_zolt_ZOLT_Set[kZoltSettings];

// Shared screen state.
extern int32_t bb_zolt_ZOLT_Loader;
extern int32_t bb_zolt_ZOLT_GameMode;
extern int32_t bb_zolt_ZOLT_OptCred;
extern int32_t bb_zolt_ZOLT_GameType;
extern int32_t bb_zolt_ZOLT_MenuPos[kZoltMenuPosEntries];
extern int32_t bb_zolt_ZOLT_Paused;
extern int32_t bb_zolt_ZOLT_EndofGame;
extern int32_t bb_zolt_ZOLT_EndReason;

// Profile values that the image and sound paths and the menus read; the save
// record code writes them.
extern int32_t bb_zolt_ZOLT_GameNum;
extern int32_t bb_zolt_HasQuit;

// Random numbers.
extern uint32_t bb_random_Seed;
extern int32_t bb_zolt_ZOLT_Seed;

// Gives the globals above their initial values.
void bbInitZoltState();

// The host clock in milliseconds (0 without a host).
int bbZoltMillisecs();

// Degree sine and cosine: the angle is converted in single precision, the
// function evaluated in double precision and rounded to single.
inline float bbZoltSin(float degrees) {
    return static_cast<float>(std::sin(static_cast<double>(degrees * kDegToRad)));
}
inline float bbZoltCos(float degrees) {
    return static_cast<float>(std::cos(static_cast<double>(degrees * kDegToRad)));
}

// Appends a record of `command` holding style entries 0..8 and returns it
// (entries 10..19 zero) so the caller can fill its arguments; null when the
// list is full.
float* bbZoltAddRecord(int command);

void bb_zolt_Buffer();
void bb_zolt_RenderWorld();
void bb_zolt_ResetDraw();
void bb_zolt_SetSize(float sx, float sy = kZoltSameAsPrevious);
void bb_zolt_SetCLSCol(int r, int g, int b, float alpha = 1.0f);
void bb_zolt_FullscreenFlip();
void bb_zolt_SetDefaults();
int bb_zolt_SetSet(int index, int value = kZoltReadOnly);

void bb_zolt_SeedRnd(int seed = kZoltSeedFromClock);
int bb_zolt_Rand(int lo, int hi);
float bb_random_Rnd();
float bb_random_Rnd2(float lo, float hi);
float bb_random_Rnd3(float range);
