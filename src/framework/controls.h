// controls.h: the control table, the pointer table, the virtual pad, hit
// tests and key locks.
//
// Once per update the framework tick calls bb_zolt_PointerTick and then
// bb_zolt_DoControls; they condense the input device into flat tables that
// screens read for the rest of the update:
//   bb_zolt_ZOLT_Control  five blocks of 100 slots: block 0 the keyboard,
//                         blocks 1..4 joysticks 0..3 (slot 10 = action 1,
//                         21/22 = ramped analog axes, ...)
//   bb_zolt_ZOLT_Touch    ten touch records of 10 floats (down, x, y) and the
//                         primary pointer at entries 100..102
// Screens ask bb_zolt_PlayKey(slot, player) (player -2 = any device) and the
// hit tests bb_zolt_MouseIn*, and act once per press with the lock tables
// bb_zolt_kdis / bb_zolt_mdis.
//
// Failure: out-of-range slots, players and sticks read 0.
#pragma once

#include <cstdint>

// Constants
constexpr int kZoltControlBlocks = 5;   // keyboard + four joysticks
constexpr int kZoltControlSlots = 100;  // slots per block
constexpr int kZoltTouchEntries = 128;  // entries of the pointer table
constexpr int kZoltTouchRecords = 10;   // touch records in the pointer table
constexpr int kZoltLockFlags = 50;      // entries of each lock table
constexpr int kZoltNoPosition = -100;   // pointer and pad centre: none

extern float bb_zolt_ZOLT_Control[kZoltControlBlocks * kZoltControlSlots];
extern float bb_zolt_ZOLT_Touch[kZoltTouchEntries];
extern int32_t bb_zolt_mdAll;
extern int32_t bb_zolt_mx, bb_zolt_my;
extern int32_t bb_zolt_mwx, bb_zolt_mwy;
extern int32_t bb_zolt_msx, bb_zolt_msy;
extern int32_t bb_zolt_mPadcx, bb_zolt_mPadcy;
extern float bb_zolt_mPadx, bb_zolt_mPady;
extern int32_t bb_zolt_KeyPadMouse;
extern int32_t bb_zolt_Joy_Disable[10];
extern int32_t bb_zolt_ZOLT_MixControls;
extern int32_t bb_zolt_ZOLT_AllowMouseControl;
extern int32_t bb_zolt_isOuya;
extern int32_t bb_zolt_kdis[kZoltLockFlags];
extern int32_t bb_zolt_mdis[kZoltLockFlags];

// Gives the control globals their initial values.
void bbInitZoltControls();

// Fills the pointer table and the pointer globals from the input device.
void bb_zolt_PointerTick();
// Rebuilds the control table from the input device.
void bb_zolt_DoControls();

float bb_zolt_PlayKey(int slot, int player);
float bb_zolt_ControlX(int player, int stick);
void bb_zolt_GuessControlMethod();

int bb_zolt_MouseIn(float x, float y, float w, float h);
int bb_zolt_MouseIn_Centered(float cx, float cy, float w, float h);
int bb_zolt_MouseIn_Radius(float x, float y, float r);
float bb_zolt_Dist(float x1, float y1, float x2, float y2);
int bb_zolt_Button(int image, float x, float y, int frame = 0);

void bb_zolt_LockKeys();
void bb_zolt_MixControls(int mix);
void bb_zolt_AllowMouseAnalogue(int allow);
void bb_zolt_SetOUYA(int console);
