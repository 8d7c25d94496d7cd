// particles.cpp: the particle ring with each kind's motion, and the star field.
//
// Owns bb_zolt_part, bb_zolt_astar and bb_zolt_ZOLT_Partto. Draws with the
// style setters and recording calls (draw.h) and bb_zolt_Text (text.h);
// draws random numbers from the shared generator (state.h) in the listed
// order, one statement per draw.
#include "framework/particles.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "framework/draw.h"
#include "framework/state.h"
#include "framework/text.h"

// Constants
constexpr int kSmokeImage = 72;       // "parts_smoke"
constexpr int kShapeFullImage = 70;   // "part-shapefull"
constexpr int kShapeImage = 71;       // "parts_shape"
constexpr int kStarImage = 74;        // "parts_stars"
constexpr int kImageFrames = 16;      // frames of every particle and star image
constexpr float kOffScreen = 128.0f;  // margin beyond which particles die and stars wrap
constexpr int kScoreColour = 3;       // colour number of a score particle
constexpr int kWobblePeriodMs = 24;   // smoke wobble advances one degree per period
constexpr int kWobbleSpread = 35;     // degrees between neighbouring smoke records

// Globals
float bb_zolt_part[kZoltParticleFloats];
float bb_zolt_astar[kZoltStarFloats];
int32_t bb_zolt_ZOLT_Partto;

// Internal helpers

static float* NextRingRecord() {
    bb_zolt_ZOLT_Partto = (bb_zolt_ZOLT_Partto + 1) % kZoltParticleRing;
    return bb_zolt_part + 10 * bb_zolt_ZOLT_Partto;
}

// Rising smoke (kinds 1 and 11): rise, drag, then a clock-driven wobble.
static void MoveSmoke(float* p, int record, float riseBase, float riseRandom) {
    const float rise = bb_random_Rnd();
    p[4] -= riseBase + rise * riseRandom;
    const float drag = bb_random_Rnd();
    p[3] *= 0.95f + drag * 0.03f;
    const int phase = bbZoltMillisecs() / kWobblePeriodMs + kWobbleSpread * record;
    p[1] += 0.3f * bbZoltSin(static_cast<float>(phase));
}

static void MoveKind(float* p, int kind, int record) {
    if (kind == 1) MoveSmoke(p, record, 0.025f, 0.075f);
    if (kind == 11) MoveSmoke(p, record, 0.0125f, 0.0375f);
    if (kind == 2) {
        const float fall = bb_random_Rnd();
        p[4] += 0.1f + fall * 0.15f;
        const float drag = bb_random_Rnd();
        p[3] *= 0.95f + drag * 0.03f;
    }
    if (kind == 3) {
        const float fall = bb_random_Rnd();
        p[4] += 0.15f + fall * 0.15f;
        if (p[2] > p[8]) {
            const float bounce = bb_random_Rnd();
            p[4] = -(2.5f + bounce * 1.5f);
        }
        const float drag = bb_random_Rnd();
        p[3] *= 0.985f + drag * 0.014f;
    }
    if (kind == 10) p[4] = std::max(p[4] - 0.02f, -0.35f);
}

static float KindScale(int kind, float life) {
    switch (kind) {
        case 1:
        case 11:
            return 5.0f - 4.0f * life;
        case 2:
        case 3:
        case 4:
        case 10:
            return 0.3f;
        default:
            return 1.0f;
    }
}

static float KindLoss(int kind) {
    switch (kind) {
        case 11:
            return 0.01f;
        case 4:
            return 0.015f;
        default:
            return 0.02f;
    }
}

static int KindImage(int kind) {
    switch (kind) {
        case 1:
        case 11:
            return kSmokeImage;
        case 4:
            return kShapeImage;
        default:
            return kShapeFullImage;
    }
}

static void DrawScore(float x, float y, float value) {
    if (bb_zolt_ZOLT_Font == 0) return;
    char digits[16];
    const int n = std::snprintf(digits, sizeof digits, "%d", static_cast<int>(value));
    char16_t text[16];
    for (int i = 0; i < n; ++i) text[i] = static_cast<char16_t>(digits[i]);
    bb_zolt_Text(x, y, std::u16string_view(text, n), 1, 1);
}

static float NewDepth() {
    return 0.25f + bb_random_Rnd() * 0.65f;
}

// Star wrap rules, each testing the values left by the one before.
static void WrapStar(float* star) {
    const float w = static_cast<float>(bb_zolt_jscrw);
    const float h = static_cast<float>(bb_zolt_jscrh);
    if (star[1] < -kOffScreen) {
        star[1] = w + kOffScreen;
        star[2] = bb_random_Rnd() * h;
        star[3] = NewDepth();
    }
    if (star[2] < -kOffScreen) {
        star[2] = h + kOffScreen;
        star[1] = bb_random_Rnd() * w;
        star[3] = NewDepth();
    }
    if (star[1] > w + kOffScreen) {
        star[1] = -kOffScreen;
        star[2] = bb_random_Rnd() * h;
        star[3] = NewDepth();
    }
    if (star[2] > h + kOffScreen) {
        star[2] = -kOffScreen;
        star[1] = bb_random_Rnd() * w;
        star[3] = NewDepth();
    }
}

// Public operations

void bbInitZoltParticles() {
    std::fill(std::begin(bb_zolt_part), std::end(bb_zolt_part), 0.0f);
    std::fill(std::begin(bb_zolt_astar), std::end(bb_zolt_astar), 0.0f);
    bb_zolt_ZOLT_Partto = 0;
}

void bb_zolt_ThrowParticle(float x, float y, int kind, int colour, float angle, float speed) {
    float* p = NextRingRecord();
    p[0] = static_cast<float>(kind);
    p[1] = x;
    p[2] = y;
    p[3] = bbZoltSin(angle) * speed;
    p[4] = -bbZoltCos(angle) * speed;
    p[7] = 1;
    p[5] = bb_random_Rnd() * 360.0f;
    p[6] = bb_random_Rnd() * 6.0f - 3.0f;
    p[8] = std::floor(bb_random_Rnd() * 15.99f);
    if (kind == 3) p[8] = y + bb_random_Rnd() * 32.0f - 16.0f;
    p[9] = static_cast<float>(colour);
}

void bbZoltThrowScore(float x, float y, int points) {
    float* p = NextRingRecord();
    p[0] = 10;
    p[1] = x;
    p[2] = y;
    p[3] = p[4] = p[5] = p[6] = 0;
    p[7] = 1;
    p[8] = static_cast<float>(points);
    p[9] = kScoreColour;
}

void bb_zolt_DoParticles() {
    bb_zolt_ResetDraw();
    const float right = static_cast<float>(bb_zolt_jscrw) + kOffScreen;
    const float bottom = static_cast<float>(bb_zolt_jscrh) + kOffScreen;
    for (int r = 0; r < kZoltParticleRecords; ++r) {
        float* p = bb_zolt_part + 10 * r;
        if (p[0] <= 0) continue;
        const int kind = static_cast<int>(p[0]);
        p[1] += p[3];
        p[2] += p[4];
        p[5] = std::fmod(p[5] + p[6], 360.0f);
        MoveKind(p, kind, r);

        bb_zolt_Ink(static_cast<int>(p[9]), 1.0f);
        bb_zolt_SetSize(KindScale(kind, p[7]));
        bb_zolt_SetRot(p[5]);
        bb_zolt_Alpha(p[7]);
        const float sx = p[1] - bb_zolt_scrx;
        const float sy = p[2] - bb_zolt_scry;
        if (kind == 10) {
            DrawScore(sx, sy, p[8]);
        } else {
            bb_zolt_DrawImg(KindImage(kind), sx, sy, r % kImageFrames);
        }

        p[7] -= KindLoss(kind);
        if (p[7] <= 0) {
            p[7] = 0;
            p[0] = 0;
        }
        if (sx < -kOffScreen || sy < -kOffScreen || sx > right || sy > bottom) p[0] = 0;
    }
    bb_zolt_ResetDraw();
}

void bb_zolt_ResetParticles() {
    std::fill(bb_zolt_part, bb_zolt_part + 2501, 0.0f);
}

void bb_zolt_DoStars(float dx, float dy, int follow, float scale) {
    if (follow == 1) {
        dx += bb_zolt_ZOLT_ScrollX;
        dy += bb_zolt_ZOLT_ScrollY;
    }
    bb_zolt_ResetDraw();
    bb_zolt_SetSize(scale, scale);
    for (int n = 0; n < kZoltStars; ++n) {
        float* star = bb_zolt_astar + 10 * n;
        bb_zolt_Alpha(star[3] * 0.8f);
        star[1] += dx * star[3];
        star[2] += dy * star[3];
        star[5] = std::fmod(star[5] + star[6], 360.0f);
        WrapStar(star);
        bb_zolt_SetRot(star[5]);
        bb_zolt_DrawImg(kStarImage, star[1], star[2], static_cast<int>(star[0]));
    }
    bb_zolt_ResetDraw();
}

void bb_zolt_ResetStars() {
    bb_zolt_SeedRnd(kZoltSeedFromClock);
    const float w = static_cast<float>(bb_zolt_jscrw);
    const float h = static_cast<float>(bb_zolt_jscrh);
    for (int n = 0; n < kZoltStars; ++n) {
        float* star = bb_zolt_astar + 10 * n;
        star[0] = std::floor(bb_random_Rnd() * 15.99f);
        star[1] = bb_random_Rnd() * (w + 256.0f) - 128.0f;
        star[2] = bb_random_Rnd() * (h + 256.0f) - 128.0f;
        star[3] = 0.25f + bb_random_Rnd() * 0.65f;
        star[5] = bb_random_Rnd() * 360.0f;
        star[6] = bb_random_Rnd() * 4.0f - 2.0f;
    }
}
