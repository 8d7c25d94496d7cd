// scoreboard.h: the menu's score panels and the in-game score and lives.
//
// The main menu calls bb_zolt_Draw_Scoreboard every update with the panel's
// position: the five best local scores of the selected game type, markers for
// the last five scores, and, once an online board has arrived, the five best
// online entries on a mirrored panel. Inbox play calls bb_zolt_ShowScores,
// which also eases each player's displayed score toward the real one.
#pragma once

#include <cstdint>

#include "framework/profile.h"
#include "host/text.h"

extern int32_t bb_zolt_ZOLT_LastPlay;
extern int32_t bb_zolt_ZOLT_LastRank;
extern int32_t bb_zolt_ZOLT_OnlineBoard;
extern int32_t bb_zolt_ZOLT_OnScore[kZoltScoreEntries];
extern String bb_zolt_ZOLT_OnName[kZoltScoreEntries];

// Gives the globals above their initial values.
void bbInitZoltScoreboard();

// The number right-aligned in 8 characters (its last 8 when longer).
String bbZoltScoreText(int32_t score);

void bb_zolt_Draw_Scoreboard(float x, float y);
void bb_zolt_ShowScores(int lives, int second, int player2, int player3, int player4, int player5);
