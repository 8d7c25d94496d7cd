// input.h: the input device: keys, pointer, touches, accelerometer, joysticks.
//
// The application's delegate forwards every key, mouse, touch and motion event
// to the one c_InputDevice and brackets each update with p_BeginUpdate (polls
// the joysticks) and p_EndUpdate (clears this update's hits and characters).
// Mouse buttons (keys 1..3), touch fingers (384..415) and joystick buttons
// (256 + 32 * port + button) are ordinary key codes; key 1 and key 384 are
// linked so pointer code written for touch works with the mouse. The free
// bb_input_ functions read the device registered with bb_input_SetInputDevice.
#pragma once

#include <cstdint>

constexpr int kKeyCount = 512;
constexpr int kKeyMouseLeft = 1;
constexpr int kKeyTouch0 = 384;
constexpr int kKeyJoy0 = 256;
constexpr int kTouchFingers = 32;
constexpr int kJoyPorts = 4;
constexpr int kJoyButtonCount = 32;

class c_JoyState {
  public:
    float joyx[2] = {};
    float joyy[2] = {};
    float joyz[2] = {};
    bool buttons[kJoyButtonCount] = {};
};

class c_InputDevice {
  public:
    c_JoyState joyStates[kJoyPorts];
    bool keyDown[kKeyCount] = {};
    int32_t keyHitPut = 0;
    int32_t keyHitQueue[33] = {};
    int32_t keyHit[kKeyCount] = {};
    int32_t charGet = 0;
    int32_t charPut = 0;
    int32_t charQueue[32] = {};
    float mouseX = 0, mouseY = 0;
    float touchX[kTouchFingers] = {};
    float touchY[kTouchFingers] = {};
    float accelX = 0, accelY = 0, accelZ = 0;

    c_InputDevice* m_new() { return this; }

    void p_PutKeyHit(int key);
    void p_BeginUpdate();
    void p_EndUpdate();
    void p_KeyEvent(int event, int key);
    void p_MouseEvent(int event, int button, float x, float y);
    void p_TouchEvent(int event, int finger, float x, float y);
    void p_MotionEvent(int event, int data, float x, float y, float z);

    int p_KeyHit(int key);
    bool p_KeyDown(int key);
    float p_MouseX() { return mouseX; }
    float p_MouseY() { return mouseY; }
    float p_TouchX(int finger);
    float p_TouchY(int finger);
    float p_AccelX() { return accelX; }
    float p_AccelY() { return accelY; }
    float p_AccelZ() { return accelZ; }
    float p_JoyX(int index, int port);
    float p_JoyY(int index, int port);
    float p_JoyZ(int index, int port);

  private:
    void KeyDownEvent(int key);
    void KeyUpEvent(int key);
    void ReleasePort(int port);
};

extern c_InputDevice* bb_input_device;

// Gives the input layer's globals their initial values.
void bbInitHost();

void bb_input_SetInputDevice(c_InputDevice* device);
int bb_input_KeyHit(int key);
bool bb_input_KeyDown(int key);
bool bb_input_MouseDown(int button);
float bb_input_MouseX();
float bb_input_MouseY();
bool bb_input_TouchDown(int finger);
float bb_input_TouchX(int finger);
float bb_input_TouchY(int finger);
bool bb_input_JoyDown(int button, int port);
float bb_input_JoyX(int index, int port);
float bb_input_JoyY(int index, int port);
float bb_input_JoyZ(int index, int port);
