// world.h: the update tick and the world arrays.
//
// bb_zolt_UpdateWorld runs first in every update, after the draw list has
// been emptied: it keeps the update-rate counters, serves the function keys
// (F1 statistics line, F2 screenshot mode, F11 full screen, F4 quits at
// once), eases the background colour toward its target, reads the pointer and
// the controls (controls.h) and applies the volume settings. The render side
// is bb_zolt_RenderWorld (state.h).
//
// The world arrays are flat float tables the game keeps its objects (slots of
// 10 floats, entry 0 the kind, 0 = free), players (blocks of 100 floats; +50
// score, +51 lives shown, +52 items scored, +53 displayed score) and grids in.
#pragma once

#include <cstdint>

// Constants
constexpr int kZoltObjFloats = 10240;     // entries of bb_zolt_obj
constexpr int kZoltPlrFloats = 1024;      // entries of bb_zolt_plr
constexpr int kZoltGridFloats = 5500000;  // entries of bb_zolt_grid
constexpr float kZoltNoParticle = -3717;  // bb_zolt_Gimme x: award without a particle

extern float bb_zolt_obj[kZoltObjFloats];
extern float bb_zolt_plr[kZoltPlrFloats];
extern float bb_zolt_grid[kZoltGridFloats];

// Gives the world arrays their initial (all zero) values.
void bbInitZoltWorld();

void bb_zolt_UpdateWorld();
void bb_zolt_ResetObjs();
void bb_zolt_ResetPlrs();
void bb_zolt_ResetGrid();
void bb_zolt_FlushGame(int grid, int players, int objects);
int bb_zolt_FreeObj(int last, int stride);
void bb_zolt_Gimme(int points, float x, float y, int player);
