// controls.cpp: the pointer tick, the control table, the virtual pad, hit
// tests, bb_zolt_Button and the key locks.
//
// Owns the globals of controls.h. Reads the input device through the
// bb_input_ functions (host/input.h), the window scale and the stick settings
// (state.h), and records button images with bb_zolt_DrawImg (draw.h).
#include "framework/controls.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>

#include "framework/draw.h"
#include "framework/state.h"
#include "host/input.h"

// Constants
constexpr float kDeadZone = 0.3f;    // stick deflection below this is centred
constexpr float kRampStep = 0.4f;    // analog change per update while a key is held
constexpr float kDecayStep = 0.25f;  // analog change per update after release
constexpr float kPadReach = 64.0f;   // pointer distance that saturates the virtual pad
constexpr int kPadDrag = 8;          // pad centre follows a far pointer by this much
constexpr int kSlotUp = 0;
constexpr int kSlotLeft = 3;
constexpr int kSlotRight = 5;
constexpr int kSlotDown = 8;
constexpr int kSlotBack = 20;
constexpr int kSlotBackAlias = 99;
constexpr int kSlotAnalogX = 21;
constexpr int kSlotAnalogY = 22;
constexpr int kSlotRightX = 31;
constexpr int kSlotRightY = 32;
constexpr int kSettingInvertLeftY = 11;
constexpr int kSettingInvertRightY = 12;

// Types

// Keyboard keys and joystick buttons of one control slot (-1 ends a list).
struct ControlBinding {
    int slot;
    int keys[5];
    int buttons[4];
};

constexpr ControlBinding kBindings[] = {
    {kSlotUp, {38, 87, 104, -1}, {9, -1}},
    {kSlotLeft, {37, 65, 100, -1}, {8, -1}},
    {kSlotRight, {39, 68, 102, -1}, {10, -1}},
    {kSlotDown, {40, 83, 98, 101, -1}, {11, -1}},
    {10, {90, 74, 32, 13, -1}, {0, -1}},
    {11, {88, 75, 17, -1}, {1, -1}},
    {12, {67, 76, 16, -1}, {2, -1}},
    {13, {86, 73, -1}, {3, -1}},
    {14, {66, 85, -1}, {4, -1}},
    {15, {78, 79, -1}, {5, -1}},
    {kSlotBack, {27, 192, 46, 8, -1}, {6, 7, 14, -1}},
};

constexpr int kClearedSlots[] = {0, 3, 5, 8, 10, 11, 12, 13, 14, 15, 20, 31, 32};

// Globals
float bb_zolt_ZOLT_Control[kZoltControlBlocks * kZoltControlSlots];
float bb_zolt_ZOLT_Touch[kZoltTouchEntries];
int32_t bb_zolt_mdAll;
int32_t bb_zolt_mx, bb_zolt_my;
int32_t bb_zolt_mwx, bb_zolt_mwy;
int32_t bb_zolt_msx, bb_zolt_msy;
int32_t bb_zolt_mPadcx, bb_zolt_mPadcy;
float bb_zolt_mPadx, bb_zolt_mPady;
int32_t bb_zolt_KeyPadMouse;
int32_t bb_zolt_Joy_Disable[10];
int32_t bb_zolt_ZOLT_MixControls;
int32_t bb_zolt_ZOLT_AllowMouseControl;
int32_t bb_zolt_isOuya;
int32_t bb_zolt_kdis[kZoltLockFlags];
int32_t bb_zolt_mdis[kZoltLockFlags];

// Internal helpers

// Block b: 0 keyboard, 1..4 joystick b - 1.
static bool BindingDown(const ControlBinding& binding, int block) {
    if (block == 0) {
        for (int key : binding.keys) {
            if (key < 0) break;
            if (bb_input_KeyDown(key)) return true;
        }
        return false;
    }
    const int port = block - 1;
    for (int button : binding.buttons) {
        if (button < 0) break;
        if (bb_input_KeyDown(kKeyJoy0 + kJoyButtonCount * port + button)) return true;
    }
    return false;
}

// Moves v toward 0 by one decay step without crossing it.
static float Decay(float v) {
    if (v > 0) return std::max(0.0f, v - kDecayStep);
    if (v < 0) return std::min(0.0f, v + kDecayStep);
    return v;
}

// Pad deflection along one axis; drags the centre when the pointer is far.
static float PadAxis(int pointer, int32_t& centre) {
    const float d = static_cast<float>(pointer - centre) / kPadReach;
    if (d < -1) {
        centre -= kPadDrag;
        return -1;
    }
    if (d > 1) {
        centre += kPadDrag;
        return 1;
    }
    return d;
}

static void UpdateBlock(int block) {
    float* slots = bb_zolt_ZOLT_Control + kZoltControlSlots * block;
    for (int slot : kClearedSlots) slots[slot] = 0;

    bool held[kZoltControlSlots] = {};
    for (const ControlBinding& binding : kBindings) {
        if (BindingDown(binding, block)) {
            held[binding.slot] = true;
            slots[binding.slot] = 1;
        }
    }
    const bool up = held[kSlotUp], down = held[kSlotDown];
    const bool left = held[kSlotLeft], right = held[kSlotRight];

    float lx = 0, ly = 0;
    if (block > 0) {
        const int port = block - 1;
        float rx = bb_input_JoyX(1, port);
        float ry = bb_input_JoyY(1, port);
        if (bb_zolt_ZOLT_Set[kSettingInvertRightY] == 1) ry = -ry;
        if (std::fabs(rx) > kDeadZone || std::fabs(ry) > kDeadZone) {
            slots[kSlotRightX] = rx;
            slots[kSlotRightY] = ry;
        }
        lx = bb_input_JoyX(0, port);
        ly = bb_input_JoyY(0, port);
        if (bb_zolt_ZOLT_Set[kSettingInvertLeftY] == 1) ly = -ly;
        if (std::fabs(lx) < kDeadZone && std::fabs(ly) < kDeadZone) lx = ly = 0;
    }

    if (!left && !right && lx == 0) slots[kSlotAnalogX] = Decay(slots[kSlotAnalogX]);
    if (!up && !down && ly == 0) slots[kSlotAnalogY] = Decay(slots[kSlotAnalogY]);
    if (left) slots[kSlotAnalogX] -= kRampStep;
    if (right) slots[kSlotAnalogX] += kRampStep;
    if (up) slots[kSlotAnalogY] -= kRampStep;
    if (down) slots[kSlotAnalogY] += kRampStep;
    slots[kSlotAnalogX] = std::clamp(slots[kSlotAnalogX], -1.0f, 1.0f);
    slots[kSlotAnalogY] = std::clamp(slots[kSlotAnalogY], -1.0f, 1.0f);

    if (std::fabs(lx) >= kDeadZone || std::fabs(ly) > kDeadZone) {
        slots[kSlotAnalogX] = lx;
        slots[kSlotAnalogY] = ly;
    }
    slots[kSlotUp] = (up || ly < -kDeadZone) ? 1 : 0;
    slots[kSlotLeft] = (left || lx < -kDeadZone) ? 1 : 0;
    slots[kSlotRight] = (right || lx > kDeadZone) ? 1 : 0;
    slots[kSlotDown] = (down || ly > kDeadZone) ? 1 : 0;

    if (block > 0 && bb_zolt_Joy_Disable[block - 1] == 1) {
        std::fill(slots, slots + kSlotRightY + 1, 0.0f);
    }
}

// Block of a player for the single-block reads: -1 keyboard (or the mixed
// block 1), 0..3 joysticks; -1 when the player has no block.
static int PlayerBlock(int player) {
    if (player == -1 && bb_zolt_ZOLT_MixControls == 1) return 1;
    if (player >= -1 && player <= 3) return player + 1;
    return -1;
}

// Calls inside(x, y) for each pressed touch record; true at the first hit.
template <typename Inside>
static int AnyTouch(Inside inside) {
    for (int i = 0; i < kZoltTouchRecords; ++i) {
        const float* record = bb_zolt_ZOLT_Touch + 10 * i;
        if (record[0] == 1.0f && inside(record[1], record[2])) return 1;
    }
    return 0;
}

// Public operations

void bbInitZoltControls() {
    std::fill(std::begin(bb_zolt_ZOLT_Control), std::end(bb_zolt_ZOLT_Control), 0.0f);
    std::fill(std::begin(bb_zolt_ZOLT_Touch), std::end(bb_zolt_ZOLT_Touch), 0.0f);
    bb_zolt_mdAll = 0;
    bb_zolt_mx = bb_zolt_my = 0;
    bb_zolt_mwx = bb_zolt_mwy = 0;
    bb_zolt_msx = bb_zolt_msy = 0;
    bb_zolt_mPadcx = bb_zolt_mPadcy = 0;
    bb_zolt_mPadx = bb_zolt_mPady = 0;
    bb_zolt_KeyPadMouse = 0;
    std::fill(std::begin(bb_zolt_Joy_Disable), std::end(bb_zolt_Joy_Disable), 0);
    bb_zolt_ZOLT_MixControls = 1;
    bb_zolt_ZOLT_AllowMouseControl = 1;
    bb_zolt_isOuya = 0;
    std::fill(std::begin(bb_zolt_kdis), std::end(bb_zolt_kdis), 0);
    std::fill(std::begin(bb_zolt_mdis), std::end(bb_zolt_mdis), 0);
}

void bb_zolt_PointerTick() {
    float* touch = bb_zolt_ZOLT_Touch;
    // Before the first render the scale is 0: read window pixels as units.
    const float scale = bb_zolt_ZOLT_Scale > 0 ? bb_zolt_ZOLT_Scale : 1.0f;
    touch[100] = bb_input_KeyDown(kKeyMouseLeft) ? 1.0f : 0.0f;
    touch[101] = bb_input_MouseX() / scale;
    touch[102] = bb_input_MouseY() / scale;
    touch[0] = 0;

    bool primaryTaken = false;
    for (int i = 0; i < kZoltTouchRecords; ++i) {
        float* record = touch + 10 * i;
        const bool down = bb_input_TouchDown(i);
        if (bb_zolt_isOuya == 1) {
            record[0] = 0;
            if (!down) continue;
            record[1] = record[2] = kZoltNoPosition;
            touch[100] = 1;
            touch[101] = touch[102] = kZoltNoPosition;
            continue;
        }
        record[0] = down ? 1.0f : 0.0f;
        if (!down) continue;
        record[1] = bb_input_TouchX(i) / scale;
        record[2] = bb_input_TouchY(i) / scale;
        if (!primaryTaken) {
            primaryTaken = true;
            touch[100] = 1;
            touch[101] = record[1];
            touch[102] = record[2];
        }
    }

    bb_zolt_mdAll = static_cast<int32_t>(touch[100]);
    bb_zolt_mx = static_cast<int32_t>(touch[101]);
    bb_zolt_my = static_cast<int32_t>(touch[102]);

    if (bb_zolt_mdAll > 0) {
        if (bb_zolt_mPadcx == kZoltNoPosition) {
            bb_zolt_mPadcx = bb_zolt_mx;
            bb_zolt_mPadcy = bb_zolt_my;
        }
        if (bb_zolt_mPadcx >= kZoltNoPosition + 1 && bb_zolt_ZOLT_AllowMouseControl == 1) {
            bb_zolt_mPadx = PadAxis(bb_zolt_mx, bb_zolt_mPadcx);
            bb_zolt_mPady = PadAxis(bb_zolt_my, bb_zolt_mPadcy);
        }
        if (bb_zolt_mwx >= kZoltNoPosition + 1) {
            bb_zolt_msx = bb_zolt_mx - bb_zolt_mwx;
            bb_zolt_msy = bb_zolt_my - bb_zolt_mwy;
        }
        bb_zolt_mwx = bb_zolt_mx;
        bb_zolt_mwy = bb_zolt_my;
    } else {
        bb_zolt_mwx = bb_zolt_mwy = kZoltNoPosition;
        bb_zolt_mPadcx = kZoltNoPosition;
        bb_zolt_mdis[0] = 0;
    }
}

void bb_zolt_DoControls() {
    for (int block = 0; block < kZoltControlBlocks; ++block) UpdateBlock(block);
    if (bb_zolt_ZOLT_MixControls != 1) return;
    float* keyboard = bb_zolt_ZOLT_Control;
    float* mixed = bb_zolt_ZOLT_Control + kZoltControlSlots;
    for (int slot = 0; slot < kZoltControlSlots; ++slot) mixed[slot] += keyboard[slot];
    mixed[kSlotAnalogX] = std::clamp(mixed[kSlotAnalogX], -1.0f, 1.0f);
    mixed[kSlotAnalogY] = std::clamp(mixed[kSlotAnalogY], -1.0f, 1.0f);
}

float bb_zolt_PlayKey(int slot, int player) {
    if (slot == kSlotBackAlias) slot = kSlotBack;
    if (slot < 0 || slot >= kZoltControlSlots) return 0;
    if (player == -2) {
        float sum = 0;
        for (int block = 0; block < kZoltControlBlocks; ++block) {
            sum += bb_zolt_ZOLT_Control[kZoltControlSlots * block + slot];
        }
        return sum;
    }
    if (player == -3) return bb_zolt_ZOLT_Control[slot];
    const int block = PlayerBlock(player);
    if (block < 0) return 0;
    return bb_zolt_ZOLT_Control[kZoltControlSlots * block + slot];
}

float bb_zolt_ControlX(int player, int stick) {
    if (stick < 0 || stick > 1) return 0;
    const int block = PlayerBlock(player);
    if (block < 0) return 0;
    if (bb_zolt_mdAll >= 1 && (player == -1 || player == 0)) return bb_zolt_mPadx;
    return bb_zolt_ZOLT_Control[kZoltControlSlots * block + kSlotAnalogX + 10 * stick];
}

void bb_zolt_GuessControlMethod() {
    bb_zolt_KeyPadMouse = 1;
    for (int slot = 10; slot <= 13; ++slot) {
        if (bb_zolt_ZOLT_Control[slot] != 0) bb_zolt_KeyPadMouse = 0;
    }
    if (bb_zolt_mdAll > 0) bb_zolt_KeyPadMouse = 2;
}

int bb_zolt_MouseIn(float x, float y, float w, float h) {
    return AnyTouch(
        [&](float tx, float ty) { return x <= tx && tx <= x + w && y <= ty && ty <= y + h; });
}

int bb_zolt_MouseIn_Centered(float cx, float cy, float w, float h) {
    const float left = cx - w / 2;
    const float top = cy - h / 2;
    return AnyTouch([&](float tx, float ty) {
        return left <= tx && tx <= left + w && top <= ty && ty <= top + h;
    });
}

int bb_zolt_MouseIn_Radius(float x, float y, float r) {
    return AnyTouch([&](float tx, float ty) { return bb_zolt_Dist(x, y, tx, ty) <= r; });
}

float bb_zolt_Dist(float x1, float y1, float x2, float y2) {
    const float dx = x2 - x1;
    const float dy = y2 - y1;
    return std::sqrt(dx * dx + dy * dy);
}

int bb_zolt_Button(int image, float x, float y, int frame) {
    if (image < kZoltFirstDrawSlot || image > kZoltLastDrawSlot) return 0;
    bb_zolt_DrawImg(image, x, y, frame);
    const float w = bb_zolt_ZOLT_ImgW[image];
    return bb_zolt_MouseIn_Centered(x, y, w * bb_zolt_ZOLT_DrawStyle[4],
                                    w * bb_zolt_ZOLT_DrawStyle[5]);
}

void bb_zolt_LockKeys() {
    std::fill(std::begin(bb_zolt_kdis), std::end(bb_zolt_kdis), 1);
    std::fill(std::begin(bb_zolt_mdis), std::end(bb_zolt_mdis), 1);
}

void bb_zolt_MixControls(int mix) {
    bb_zolt_ZOLT_MixControls = mix;
}

void bb_zolt_AllowMouseAnalogue(int allow) {
    bb_zolt_ZOLT_AllowMouseControl = allow;
}

void bb_zolt_SetOUYA(int console) {
    bb_zolt_isOuya = console;
    if (console == 1) {
        bb_zolt_HasQuit = 1;
        bb_zolt_ZOLT_AllowMouseControl = 0;
    }
}
