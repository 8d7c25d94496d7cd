// profile.h: the player's profile, the save record and the scrambling table.
//
// The game sets its game number and keyword first (each recomputes the
// 64-entry scrambling table), then calls bb_zolt_Load once at start-up.
// bb_zolt_Save writes the whole record through the host's state file, which
// is replaced atomically. A missing, foreign, short or tampered record never
// stops the game: the header, the game number and three kinds of checks fall
// back to default settings, a new profile, or zeroed score blocks.
//
// Record: "ZOLT_v2.0|", settings 0..200, settings check, 16 name entries,
// the two user id halves, profile check, then the 10000 score entries with a
// block check after every 32nd; every field ends with "|".
#pragma once

#include <cstdint>

#include "framework/scramble.h"
#include "host/text.h"

constexpr int kZoltNameEntries = 16;      // name entries stored
constexpr int kZoltNameLength = 13;       // characters shown and submitted
constexpr int kZoltScoreEntries = 10000;  // the local score table
constexpr int kZoltScoreBlock = 20;       // entries per game type, from 20 * type

extern int32_t bb_zolt_ZOLT_Username[kZoltNameEntries];
extern int32_t bb_zolt_ZOLT_UserIDA;
extern int32_t bb_zolt_ZOLT_UserIDB;
extern int32_t bb_zolt_ZOLT_Score[kZoltScoreEntries];
extern String bb_zolt_ZOLT_Keyword;
extern ScrambleTable bb_zolt_ZOLT_Scramble;
extern int32_t bb_zolt_ZOLT_AllowName;
extern int32_t bb_zolt_ZOLT_Levels;

// Gives the globals above their initial values.
void bbInitZoltProfile();

void bb_zolt_NewUser();
String bb_zolt_MyName();
String bb_zolt_MyUserID();
void bb_zolt_Load();
void bb_zolt_Save();
// The save record for the current settings, profile and scores.
String bbZoltSaveRecord();

String bb_zolt_Scramble(const String& text);
void bb_zolt_Rescramble();
void bb_zolt_SetKeyword(const String& keyword);
void bb_zolt_SetGameNumber(int number);
void bb_zolt_AllowName(int flag);
void bb_zolt_ShowQuitButton(int flag);
