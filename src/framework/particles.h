// particles.h: the particle ring and the star field.
//
// Any screen throws particles (sparks, shapes, smoke, score numbers) with
// bb_zolt_ThrowParticle; bb_zolt_Buffer calls bb_zolt_DoParticles once per
// update, after the screen has drawn, to move and record them. A screen that
// shows the star field calls bb_zolt_DoStars once per update. Both live in
// fixed float arrays (records of 10 floats) and draw through the recording
// calls of draw.h.
//
// Every random value comes from the shared generator in a fixed order, and
// bb_zolt_ResetStars reseeds that generator from the clock.
#pragma once

#include <cstdint>

// Constants
constexpr int kZoltParticleFloats = 2600;  // entries of bb_zolt_part
constexpr int kZoltStarFloats = 2600;      // entries of bb_zolt_astar
constexpr int kZoltParticleRing = 250;     // records reused in turn
constexpr int kZoltParticleRecords = 251;  // records advanced per update
constexpr int kZoltStars = 251;            // stars of the field

extern float bb_zolt_part[kZoltParticleFloats];
extern float bb_zolt_astar[kZoltStarFloats];
extern int32_t bb_zolt_ZOLT_Partto;

// Gives the particle and star globals their initial (all zero) values.
void bbInitZoltParticles();

void bb_zolt_ThrowParticle(float x, float y, int kind, int colour, float angle, float speed);
// Writes a score particle showing `points` (no random draw).
void bbZoltThrowScore(float x, float y, int points);
void bb_zolt_DoParticles();
void bb_zolt_ResetParticles();
void bb_zolt_DoStars(float dx, float dy, int follow, float scale);
void bb_zolt_ResetStars();
