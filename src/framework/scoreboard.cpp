// scoreboard.cpp: score panels, recent-score markers, the online panel and
// the in-game score display.
//
// Owns the last game's type and rank and the online board. Records drawing
// through the framework's helpers; reads the local score table, the player
// blocks and the menu state.
#include "framework/scoreboard.h"

#include <algorithm>
#include <cmath>

#include "framework/draw.h"
#include "framework/state.h"
#include "framework/text.h"
#include "framework/world.h"

namespace {

constexpr int kImagePanel = 82;   // the scoreboard panel
constexpr int kImageMarker = 74;  // marker of a recent score
constexpr int kImageIcons = 90;   // frame 8: the life icon
constexpr int kFrameLife = 8;
constexpr int kMenuSpeedCursor = 2;  // menu state: cursor of the speed list
constexpr int kMenuSpeedItems = 12;  // menu state: items of the speed list
constexpr int kPlayerStride = 100;
constexpr int kFieldScore = 50;
constexpr int kFieldLives = 51;
constexpr int kFieldShown = 53;
constexpr float kEaseDivisor = 6;  // the displayed score closes 1/6 of the gap

struct MarkerColour {
    float r, g, b;
};
constexpr MarkerColour kMarkerColours[5] = {{255, 25.5f, 25.5f},
                                            {255, 127.5f, 25.5f},
                                            {255, 255, 25.5f},
                                            {25.5f, 255, 25.5f},
                                            {25.5f, 255, 255}};

bool FontLoaded() {
    return bb_zolt_ZOLT_Font != 0;
}

void DrawText(float x, float y, const String& text, float alignX, float alignY) {
    if (FontLoaded()) bb_zolt_Text(x, y, text, alignX, alignY);
}

// The wobble of a highlighted entry, from the millisecond clock.
void Wobble(float& x, float& y) {
    const float ms = static_cast<float>(bbZoltMillisecs());
    x += 3 * bbZoltSin(ms / 3);
    y += -bbZoltCos(ms / 4.5f);
}

// The selected game type, or 0 when the speed list's cursor is out of range.
int SelectedType() {
    const int s = bb_zolt_ZOLT_MenuPos[kMenuSpeedCursor];
    if (s < 0 || s >= bb_zolt_ZOLT_MenuPos[kMenuSpeedItems]) return 0;
    if (s + 1 > bb_zolt_ZOLT_Levels || 20 * (s + 1) + 20 > kZoltScoreEntries) return 0;
    return s + 1;
}

void DrawLocalBoard(float x, int y0, int type) {
    const int block = kZoltScoreBlock * type;
    for (int k = 0; k < 5; ++k) {
        float tx = x - 56;
        float ty = static_cast<float>(y0 + 40 + 28 * k);
        if (type == bb_zolt_ZOLT_LastPlay && k == bb_zolt_ZOLT_LastRank) Wobble(tx, ty);
        DrawText(tx, ty, bbZoltScoreText(bb_zolt_ZOLT_Score[block + k]), 1, 1);
    }
    const float best = bb_zolt_ZOLT_Score[block] == 0 ? 1.0f : bb_zolt_ZOLT_Score[block];
    bb_zolt_SetSize(0.4f);
    for (int i = 0; i < 5; ++i) {
        const MarkerColour& c = kMarkerColours[i];
        bb_zolt_SetCol(c.r, c.g, c.b);
        bb_zolt_SetRot(15.0f * i);
        // Float division: a huge stored score cannot overflow the height.
        const float height = 40.0f * static_cast<float>(bb_zolt_ZOLT_Score[block + 5 + i]) / best;
        bb_zolt_DrawImg(kImageMarker, x - 100 + 22 * i, bb_zolt_jscrh - 78 - height, 0);
    }
}

void DrawOnlineBoard(float x, float y, int y0, int type) {
    const float xo = bb_zolt_jscrw - x;
    bb_zolt_ResetDraw();
    bb_zolt_SetSize(-1, 1);
    bb_zolt_DrawImg(kImagePanel, xo, y, 0);
    bb_zolt_SetSize(0.45f);
    DrawText(xo + 64, static_cast<float>(y0), u"Online", 1, 1);
    if (type == 0) return;
    const int block = kZoltScoreBlock * type;
    for (int k = 0; k < 5; ++k) {
        float yk = static_cast<float>(y0 + 30 + 38 * k);
        float tx = xo + 56;
        if (bb_zolt_ZOLT_OnScore[block + k] == bb_zolt_ZOLT_Score[block]) Wobble(tx, yk);
        DrawText(tx - 50, yk, bb_zolt_ZOLT_OnName[block + k], 0, 1);
        DrawText(tx, yk + 16, bbZoltScoreText(bb_zolt_ZOLT_OnScore[block + k]), 1, 1);
    }
}

void ShowPlayer(int p, int x, int lives, int shown) {
    float* block = bb_zolt_plr + kPlayerStride * p;
    bb_zolt_SetSize(0.15f);
    bb_zolt_SetCol(255, 255, 255, 0.75f);
    if (lives == 1) {
        const float l = block[kFieldLives];
        const int icons = std::isfinite(l) ? static_cast<int>(std::clamp(l, -1.0f, 3.0f)) : 0;
        for (int i = 0; i < icons; ++i)
            bb_zolt_DrawImg(kImageIcons, static_cast<float>(x - 16 + 16 * i), 36, kFrameLife);
    }
    bb_zolt_SetSize(shown > 2 ? 0.5f : 0.75f);
    bb_zolt_SetCol(100, 255, 100, 0.75f);
    const float score = block[kFieldScore];
    float displayed = block[kFieldShown];
    displayed = displayed - (displayed - score) / kEaseDivisor;
    if (std::fabs(displayed - score) < 1) displayed = score;
    block[kFieldShown] = displayed;
    const int whole = std::isfinite(displayed)
                          ? static_cast<int>(std::clamp(displayed, -2147483520.0f, 2147483520.0f))
                          : 0;
    DrawText(static_cast<float>(x), 16, bbStringFromInt(whole), 1, 1);
}

}  // namespace

int32_t bb_zolt_ZOLT_LastPlay;
int32_t bb_zolt_ZOLT_LastRank;
int32_t bb_zolt_ZOLT_OnlineBoard;
int32_t bb_zolt_ZOLT_OnScore[kZoltScoreEntries];
String bb_zolt_ZOLT_OnName[kZoltScoreEntries];

void bbInitZoltScoreboard() {
    bb_zolt_ZOLT_LastPlay = 0;
    bb_zolt_ZOLT_LastRank = 0;
    bb_zolt_ZOLT_OnlineBoard = 0;
    std::fill(std::begin(bb_zolt_ZOLT_OnScore), std::end(bb_zolt_ZOLT_OnScore), 0);
    for (String& name : bb_zolt_ZOLT_OnName) name.clear();
}

String bbZoltScoreText(int32_t score) {
    const String padded = String(12, u' ') + bbStringFromInt(score);
    return padded.substr(padded.size() - 8);
}

void bb_zolt_Draw_Scoreboard(float x, float y) {
    bb_zolt_ResetDraw();
    bb_zolt_DrawImg(kImagePanel, x, y, 0);
    bb_zolt_SetSize(0.5f);
    const int y0 = static_cast<int>(y - 96);
    DrawText(x - 64, static_cast<float>(y0), u"Top 5", 1, 1);
    const int type = SelectedType();
    if (type != 0) DrawLocalBoard(x, y0, type);
    if (bb_zolt_ZOLT_OnlineBoard == 1) DrawOnlineBoard(x, y, y0, type);
}

void bb_zolt_ShowScores(int lives, int /*second*/, int player2, int player3, int player4,
                        int player5) {
    bb_zolt_ResetDraw();
    int shown = 1;
    for (int extra : {player2, player3, player4, player5})
        if (extra > 0) ++shown;
    if (bb_zolt_ZOLT_ScreenshotMode != 0) return;
    const int w = bb_zolt_jscrw / shown;
    int x = w / 2;
    for (int p = 0; p < shown; ++p, x += w) ShowPlayer(p, x, lives, shown);
}
