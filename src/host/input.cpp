// input.cpp: c_InputDevice and the bb_input_ functions.
//
// Owns bb_input_device. Keys are down from their press to their release; a
// hit is visible for exactly one update. Joysticks are polled through the host
// at the start of each update; a port that cannot be polled, and every port
// after it, has its buttons released and its axes zeroed.
#include "host/input.h"

#include "host/host.h"

namespace {

constexpr int kHitQueueSize = 33;
constexpr int kCharQueueSize = 32;

bool ValidKey(int key) {
    return key >= 1 && key < kKeyCount;
}
bool ValidFinger(int finger) {
    return finger >= 0 && finger < kTouchFingers;
}
bool ValidStick(int index, int port) {
    return index >= 0 && index < 2 && port >= 0 && port < kJoyPorts;
}

}  // namespace

c_InputDevice* bb_input_device = nullptr;

void bbInitHost() {
    bb_input_device = nullptr;
}

void c_InputDevice::p_PutKeyHit(int key) {
    if (keyHitPut == kHitQueueSize) return;
    keyHit[key] += 1;
    keyHitQueue[keyHitPut++] = key;
}

void c_InputDevice::ReleasePort(int port) {
    c_JoyState& state = joyStates[port];
    state = c_JoyState();
    for (int b = 0; b < kJoyButtonCount; ++b) keyDown[kKeyJoy0 + 32 * port + b] = false;
}

void c_InputDevice::p_BeginUpdate() {
    for (int port = 0; port < kJoyPorts; ++port) {
        c_JoyState& state = joyStates[port];
        if (!BBGame::_game ||
            !BBGame::_game->PollJoystick(port, state.joyx, state.joyy, state.joyz, state.buttons)) {
            // Unplugged or absent: nothing of it, or of later ports, stays held.
            for (int rest = port; rest < kJoyPorts; ++rest) ReleasePort(rest);
            return;
        }
        for (int b = 0; b < kJoyButtonCount; ++b) {
            const int key = kKeyJoy0 + 32 * port + b;
            if (state.buttons[b] && !keyDown[key]) {
                keyDown[key] = true;
                p_PutKeyHit(key);
            } else if (!state.buttons[b]) {
                keyDown[key] = false;
            }
        }
    }
}

void c_InputDevice::p_EndUpdate() {
    for (int i = 0; i < keyHitPut; ++i) keyHit[keyHitQueue[i]] = 0;
    keyHitPut = 0;
    charGet = 0;
    charPut = 0;
}

void c_InputDevice::KeyDownEvent(int key) {
    if (!ValidKey(key) || keyDown[key]) return;
    keyDown[key] = true;
    p_PutKeyHit(key);
    if (key == kKeyMouseLeft) {
        keyDown[kKeyTouch0] = true;
        p_PutKeyHit(kKeyTouch0);
    } else if (key == kKeyTouch0) {
        keyDown[kKeyMouseLeft] = true;
        p_PutKeyHit(kKeyMouseLeft);
    }
}

void c_InputDevice::KeyUpEvent(int key) {
    if (!ValidKey(key) || !keyDown[key]) return;
    keyDown[key] = false;
    if (key == kKeyMouseLeft) keyDown[kKeyTouch0] = false;
    if (key == kKeyTouch0) keyDown[kKeyMouseLeft] = false;
}

void c_InputDevice::p_KeyEvent(int event, int key) {
    switch (event) {
        case 1:
            KeyDownEvent(key);
            break;
        case 2:
            KeyUpEvent(key);
            break;
        case 3:
            if (charPut < kCharQueueSize) charQueue[charPut++] = key;
            break;
        default:
            break;
    }
}

void c_InputDevice::p_MouseEvent(int event, int button, float x, float y) {
    if (event == 4) KeyDownEvent(button + 1);
    if (event == 5) {
        KeyUpEvent(button + 1);
        return;
    }
    if (event == 4 || event == 6) {
        mouseX = x;
        mouseY = y;
        touchX[0] = x;
        touchY[0] = y;
    }
}

void c_InputDevice::p_TouchEvent(int event, int finger, float x, float y) {
    if (!ValidFinger(finger)) return;
    if (event == 7) KeyDownEvent(kKeyTouch0 + finger);
    if (event == 8) {
        KeyUpEvent(kKeyTouch0 + finger);
        return;
    }
    if (event == 7 || event == 9) {
        touchX[finger] = x;
        touchY[finger] = y;
        if (finger == 0) {
            mouseX = x;
            mouseY = y;
        }
    }
}

void c_InputDevice::p_MotionEvent(int event, int, float x, float y, float z) {
    if (event != 10) return;
    accelX = x;
    accelY = y;
    accelZ = z;
}

int c_InputDevice::p_KeyHit(int key) {
    return ValidKey(key) ? keyHit[key] : 0;
}
bool c_InputDevice::p_KeyDown(int key) {
    return ValidKey(key) && keyDown[key];
}
float c_InputDevice::p_TouchX(int finger) {
    return ValidFinger(finger) ? touchX[finger] : 0;
}
float c_InputDevice::p_TouchY(int finger) {
    return ValidFinger(finger) ? touchY[finger] : 0;
}
float c_InputDevice::p_JoyX(int index, int port) {
    return ValidStick(index, port) ? joyStates[port].joyx[index] : 0;
}
float c_InputDevice::p_JoyY(int index, int port) {
    return ValidStick(index, port) ? joyStates[port].joyy[index] : 0;
}
float c_InputDevice::p_JoyZ(int index, int port) {
    return ValidStick(index, port) ? joyStates[port].joyz[index] : 0;
}

void bb_input_SetInputDevice(c_InputDevice* device) {
    bb_input_device = device;
}
int bb_input_KeyHit(int key) {
    return bb_input_device ? bb_input_device->p_KeyHit(key) : 0;
}
bool bb_input_KeyDown(int key) {
    return bb_input_device && bb_input_device->p_KeyDown(key);
}
bool bb_input_MouseDown(int button) {
    return bb_input_KeyDown(kKeyMouseLeft + button);
}
float bb_input_MouseX() {
    return bb_input_device ? bb_input_device->p_MouseX() : 0;
}
float bb_input_MouseY() {
    return bb_input_device ? bb_input_device->p_MouseY() : 0;
}
bool bb_input_TouchDown(int finger) {
    return bb_input_KeyDown(kKeyTouch0 + finger);
}
float bb_input_TouchX(int finger) {
    return bb_input_device ? bb_input_device->p_TouchX(finger) : 0;
}
float bb_input_TouchY(int finger) {
    return bb_input_device ? bb_input_device->p_TouchY(finger) : 0;
}
bool bb_input_JoyDown(int button, int port) {
    return bb_input_KeyDown(kKeyJoy0 | (port << 5) | button);
}
float bb_input_JoyX(int index, int port) {
    return bb_input_device ? bb_input_device->p_JoyX(index, port) : 0;
}
float bb_input_JoyY(int index, int port) {
    return bb_input_device ? bb_input_device->p_JoyY(index, port) : 0;
}
float bb_input_JoyZ(int index, int port) {
    return bb_input_device ? bb_input_device->p_JoyZ(index, port) : 0;
}
