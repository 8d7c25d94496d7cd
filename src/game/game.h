// game.h: the application object of Quorvane, c_MyGame.
//
// c_MyGame is constructed once at start-up (m_new registers it as the one
// application). The host then calls p_OnCreate once, p_OnUpdate 60 times a
// second and p_OnRender once per frame. An update runs the loading screen
// while bb_zolt_ZOLT_Loader > 0 and afterwards the screen of
// bb_zolt_ZOLT_GameMode: 11 starts a game (p_GotoGame), 1 records the
// finished game and returns to the menu (p_GotoMenu).
//
// Depends on the framework (state, drawing, text, sound, controls, world,
// profile, scoreboards) and on keyword.h for the game number and keyword.
#pragma once

#include "framework/app.h"
#include "host/text.h"

// Game types chosen in the menu.
constexpr int kGameTypeSlow = 1;
constexpr int kGameTypeNormal = 2;
constexpr int kGameTypeFast = 3;

// Modes of bb_zolt_ZOLT_GameMode.
constexpr int kModeMenu = 0;
constexpr int kModeRecord = 1;
constexpr int kModePlaying = 10;
constexpr int kModeStart = 11;

// Subject tables of p_ReadEmail.
constexpr int kTableMail = 0;
constexpr int kTableSpam = 1;
constexpr int kSubjectCount = 51;  // texts per table, indexes 0..50

class c_MyGame : public c_App {
  public:
    c_MyGame* m_new();

    void p_OnCreate() override;
    void p_OnResume() override;
    void p_OnUpdate() override;
    void p_OnRender() override;

    void p_LoadScreen();
    void p_GotoGame();
    void p_GotoMenu();

    // The subject line of a newly read email: table 0 mail, 1 spam, any other
    // table "". Always draws one random index first.
    String p_ReadEmail(int table);
};

// The subject texts, for tests and the letter release of play.
extern const char16_t* const kMailSubjects[kSubjectCount];
extern const char16_t* const kSpamSubjects[kSubjectCount];

// Whether the game just recorded is submitted online: the first of every five
// games played (gamesPlayed mod 5 is 1) or a new best (rank 0).
bool bbGameShouldSubmit(int gamesPlayed, int rank);
