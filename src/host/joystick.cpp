// joystick.cpp: joystick enumeration and polling with the two button layouts.
//
// Owns BBGlfwGame::CountJoysticks and BBGlfwGame::PollJoystick. Joysticks are
// counted once, at the first poll. A pad with 5 axes and 14 buttons gets the
// two-stick layout, everything else the generic one. An axis or button the
// device does not report reads as 0.0 / not pressed.
#include "host/host.h"
#include "host/platform.h"

namespace {

constexpr int kMaxJoysticks = 4;
constexpr int kGlfwJoystickIds = 16;
constexpr int kJoyButtons = 32;
constexpr int kLayoutButtons = 14;
constexpr int kNegated = 0x40;  // output code: axis negated
constexpr int kButton = 0x80;   // output code: device button as 0.0 / 1.0

struct JoyLayout {
    int outputs[6];  // joyx[0], joyy[0], joyz[0], joyx[1], joyy[1], joyz[1]
    int buttons[kLayoutButtons];
};

constexpr JoyLayout kTwoStickPad = {
    {0, kNegated + 1, 2, 4, kNegated + 3, kNegated + 2},
    {0, 1, 2, 3, 4, 5, 6, 7, 13, 10, 11, 12, 8, 9},
};
constexpr JoyLayout kGenericPad = {
    {0, 1, kButton + 6, 2, kNegated + 3, kButton + 7},
    {1, 2, 0, 3, 4, 5, 8, 9, 15, 12, 13, 14, 10, 11},
};

struct DeviceState {
    const float* axes;
    int axisCount;
    const unsigned char* buttons;
    int buttonCount;

    float Axis(int a) const { return a < axisCount ? axes[a] : 0.0f; }
    bool Pressed(int b) const { return b < buttonCount && buttons[b] == 1; }
    float Output(int code) const {
        if (code < 16) return Axis(code);
        if (code < kButton) return -Axis(code - kNegated);
        return Pressed(code - kButton) ? 1.0f : 0.0f;
    }
};

}  // namespace

int BBGlfwGame::CountJoysticks(bool update) {
    if (!update && joysticksCounted) return joystickCount;
    joysticksCounted = true;
    joystickCount = 0;
    for (int id = 0; id < kGlfwJoystickIds && joystickCount < kMaxJoysticks; ++id)
        if (bbHostPlatform().joystickPresent(id)) joystickIds[joystickCount++] = id;
    return joystickCount;
}

bool BBGlfwGame::PollJoystick(int port, float* joyx, float* joyy, float* joyz, bool* buttons) {
    CountJoysticks(false);
    if (port < 0 || port >= joystickCount) return false;
    const int id = joystickIds[port];
    DeviceState device{};
    device.axes = bbHostPlatform().joystickAxes(id, &device.axisCount);
    device.buttons = bbHostPlatform().joystickButtons(id, &device.buttonCount);
    if (!device.axes || !device.buttons) return false;

    const bool twoStick = device.axisCount == 5 && device.buttonCount == kLayoutButtons;
    const JoyLayout& layout = twoStick ? kTwoStickPad : kGenericPad;
    float* targets[6] = {&joyx[0], &joyy[0], &joyz[0], &joyx[1], &joyy[1], &joyz[1]};
    for (int i = 0; i < 6; ++i) *targets[i] = device.Output(layout.outputs[i]);
    for (int j = 0; j < kJoyButtons; ++j) buttons[j] = false;
    for (int j = 0; j < kLayoutButtons; ++j) buttons[j] = device.Pressed(layout.buttons[j]);
    return true;
}
