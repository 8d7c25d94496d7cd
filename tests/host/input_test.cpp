// Key translation, per-update hits, the mouse/touch link and joystick layouts.
#include "host/input.h"

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include "host/host.h"
#include "host/platform.h"

namespace {

TEST(Keys, GlfwKeysTranslateToGameKeys) {
    struct Case {
        int glfw, game;
    };
    const Case cases[] = {
        {GLFW_KEY_A, 65},
        {GLFW_KEY_Z, 90},
        {GLFW_KEY_0, 48},
        {GLFW_KEY_SPACE, 32},
        {GLFW_KEY_APOSTROPHE, 222},
        {GLFW_KEY_SLASH, 191},
        {GLFW_KEY_SEMICOLON, 186},
        {GLFW_KEY_GRAVE_ACCENT, 192},
        {GLFW_KEY_ESCAPE, 27},
        {GLFW_KEY_ENTER, 13},
        {GLFW_KEY_BACKSPACE, 8},
        {GLFW_KEY_DELETE, 46},
        {GLFW_KEY_LEFT, 37},
        {GLFW_KEY_UP, 38},
        {GLFW_KEY_RIGHT, 39},
        {GLFW_KEY_DOWN, 40},
        {GLFW_KEY_HOME, 36},
        {GLFW_KEY_END, 35},
        {GLFW_KEY_F1, 112},
        {GLFW_KEY_F12, 123},
        {GLFW_KEY_KP_0, 96},
        {GLFW_KEY_KP_9, 105},
        {GLFW_KEY_KP_DECIMAL, 110},
        {GLFW_KEY_KP_DIVIDE, 111},
        {GLFW_KEY_KP_MULTIPLY, 106},
        {GLFW_KEY_KP_SUBTRACT, 109},
        {GLFW_KEY_KP_ADD, 107},
        {GLFW_KEY_LEFT_SHIFT, 16},
        {GLFW_KEY_RIGHT_SHIFT, 16},
        {GLFW_KEY_RIGHT_CONTROL, 17},
        // Ignored keys.
        {GLFW_KEY_KP_ENTER, 0},
        {GLFW_KEY_KP_EQUAL, 0},
        {GLFW_KEY_LEFT_ALT, 0},
        {GLFW_KEY_LEFT_SUPER, 0},
        {GLFW_KEY_F13, 0},
        {GLFW_KEY_CAPS_LOCK, 0},
        {GLFW_KEY_PRINT_SCREEN, 0},
        {GLFW_KEY_WORLD_1, 0},
        {GLFW_KEY_MENU, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(BBGlfwGame::TransKey(c.glfw), c.game) << c.glfw;
}

TEST(Keys, EditingKeysSendCharacters) {
    struct Case {
        int key, character;
    };
    const Case cases[] = {{8, 8},    {9, 9},           {13, 13},         {27, 27},
                          {46, 127}, {37, 37 + 65536}, {33, 33 + 65536}, {45, 45 + 65536},
                          {65, 0},   {32, 0},          {112, 0}};
    for (const Case& c : cases) EXPECT_EQ(BBGlfwGame::KeyToChar(c.key), c.character) << c.key;
}

TEST(InputDevice, HeldKeyHitsOnceAndRepressingHitsTwice) {
    c_InputDevice input;
    input.p_KeyEvent(1, 65);
    input.p_KeyEvent(1, 65);  // auto-repeat
    input.p_KeyEvent(1, 65);
    EXPECT_EQ(input.p_KeyHit(65), 1);
    EXPECT_TRUE(input.p_KeyDown(65));
    input.p_EndUpdate();
    EXPECT_EQ(input.p_KeyHit(65), 0);
    EXPECT_TRUE(input.p_KeyDown(65));

    input.p_KeyEvent(2, 65);
    input.p_KeyEvent(1, 65);
    input.p_KeyEvent(2, 65);
    input.p_KeyEvent(1, 65);
    EXPECT_EQ(input.p_KeyHit(65), 2);
}

TEST(InputDevice, TheHitQueueHoldsThirtyThreeKeysButAllStayDown) {
    c_InputDevice input;
    for (int key = 65; key < 65 + 34; ++key) input.p_KeyEvent(1, key);
    EXPECT_EQ(input.p_KeyHit(65 + 32), 1);
    EXPECT_EQ(input.p_KeyHit(65 + 33), 0);
    EXPECT_TRUE(input.p_KeyDown(65 + 33));
    input.p_EndUpdate();
    for (int key = 65; key < 65 + 34; ++key) EXPECT_EQ(input.p_KeyHit(key), 0);
}

TEST(InputDevice, LeftMouseButtonAndFirstFingerAreLinked) {
    c_InputDevice input;
    input.p_MouseEvent(6, -1, 10, 20);
    input.p_MouseEvent(4, 0, 30, 40);
    EXPECT_TRUE(input.p_KeyDown(1));
    EXPECT_TRUE(input.p_KeyDown(384));
    EXPECT_EQ(input.p_KeyHit(1), 1);
    EXPECT_EQ(input.p_KeyHit(384), 1);
    EXPECT_EQ(input.p_TouchX(0), 30);
    EXPECT_EQ(input.p_MouseY(), 40);

    input.p_MouseEvent(5, 0, 99, 99);  // a release does not move the pointer
    EXPECT_FALSE(input.p_KeyDown(1));
    EXPECT_FALSE(input.p_KeyDown(384));
    EXPECT_EQ(input.p_MouseX(), 30);

    input.p_TouchEvent(7, 0, 5, 6);
    EXPECT_TRUE(input.p_KeyDown(1));
    EXPECT_EQ(input.p_MouseX(), 5);
    input.p_TouchEvent(9, 3, 7, 8);
    EXPECT_EQ(input.p_TouchX(3), 7);
    EXPECT_EQ(input.p_MouseX(), 5);
}

TEST(InputDevice, OutOfRangeQueriesAnswerZero) {
    c_InputDevice input;
    input.p_KeyEvent(1, 0);
    input.p_KeyEvent(1, 600);
    input.p_TouchEvent(7, 40, 1, 1);  // no finger 40: no key 424 either
    EXPECT_FALSE(input.p_KeyDown(0));
    EXPECT_FALSE(input.p_KeyDown(600));
    EXPECT_FALSE(input.p_KeyDown(424));
    EXPECT_EQ(input.p_KeyHit(-1), 0);
    EXPECT_EQ(input.p_TouchX(32), 0);
    EXPECT_EQ(input.p_TouchY(-1), 0);
    EXPECT_EQ(input.p_JoyX(2, 0), 0);
    EXPECT_EQ(input.p_JoyY(0, 4), 0);
    EXPECT_EQ(input.p_JoyX(0, -1), 0);
}

TEST(InputDevice, CharactersBeyondThirtyTwoAreDropped) {
    c_InputDevice input;
    for (int i = 0; i < 40; ++i) input.p_KeyEvent(3, 'a' + i % 26);
    EXPECT_EQ(input.charPut, 32);
    input.p_EndUpdate();
    EXPECT_EQ(input.charPut, 0);
}

// A scripted joystick behind the host's platform seam.
struct FakePad {
    int present = 0;  // joysticks ids 0..present-1 exist
    float axes[8] = {};
    int axisCount = 0;
    unsigned char buttons[16] = {};
    int buttonCount = 0;
    bool unplugged = false;
};
FakePad g_pad;

class JoystickTest : public testing::Test {
  protected:
    void SetUp() override {
        g_pad = FakePad();
        HostPlatform p = bbGlfwHostPlatform();
        p.joystickPresent = [](int id) { return id < g_pad.present; };
        p.joystickAxes = [](int, int* n) -> const float* {
            *n = g_pad.axisCount;
            return g_pad.unplugged ? nullptr : g_pad.axes;
        };
        p.joystickButtons = [](int, int* n) -> const unsigned char* {
            *n = g_pad.buttonCount;
            return g_pad.unplugged ? nullptr : g_pad.buttons;
        };
        bbSetHostPlatform(p);
    }
    void TearDown() override { bbResetHostPlatform(); }
    BBGlfwGame host_;
};

TEST_F(JoystickTest, TwoStickPadLayout) {
    g_pad = {1, {0.1f, 0.2f, 0.3f, 0.4f, 0.5f}, 5, {}, 14};
    g_pad.buttons[13] = 1;  // game button 8 (left)
    g_pad.buttons[0] = 1;
    float x[2], y[2], z[2];
    bool buttons[32];
    ASSERT_TRUE(host_.PollJoystick(0, x, y, z, buttons));
    EXPECT_FLOAT_EQ(x[0], 0.1f);
    EXPECT_FLOAT_EQ(y[0], -0.2f);
    EXPECT_FLOAT_EQ(z[0], 0.3f);
    EXPECT_FLOAT_EQ(x[1], 0.5f);
    EXPECT_FLOAT_EQ(y[1], -0.4f);
    EXPECT_FLOAT_EQ(z[1], -0.3f);
    EXPECT_TRUE(buttons[0]);
    EXPECT_TRUE(buttons[8]);
    for (int b : {1, 2, 9, 13, 14, 31}) EXPECT_FALSE(buttons[b]) << b;
}

TEST_F(JoystickTest, GenericLayoutMapsTriggersFromButtons) {
    g_pad = {1, {0.1f, 0.2f, 0.3f, 0.4f, 0.5f, 0.6f}, 6, {}, 16};
    g_pad.buttons[6] = 1;   // left trigger as joyz[0]
    g_pad.buttons[1] = 1;   // game button 0
    g_pad.buttons[15] = 1;  // game button 8
    float x[2], y[2], z[2];
    bool buttons[32];
    ASSERT_TRUE(host_.PollJoystick(0, x, y, z, buttons));
    EXPECT_FLOAT_EQ(x[0], 0.1f);
    EXPECT_FLOAT_EQ(y[0], 0.2f);
    EXPECT_FLOAT_EQ(z[0], 1.0f);
    EXPECT_FLOAT_EQ(x[1], 0.3f);
    EXPECT_FLOAT_EQ(y[1], -0.4f);
    EXPECT_FLOAT_EQ(z[1], 0.0f);
    EXPECT_TRUE(buttons[0]);
    EXPECT_TRUE(buttons[8]);
    EXPECT_TRUE(buttons[3] == false);
}

TEST_F(JoystickTest, AxesAndButtonsTheDeviceLacksReadAsZero) {
    g_pad = {1, {0.7f}, 1, {1}, 1};
    float x[2], y[2], z[2];
    bool buttons[32];
    ASSERT_TRUE(host_.PollJoystick(0, x, y, z, buttons));
    EXPECT_FLOAT_EQ(x[0], 0.7f);
    EXPECT_EQ(y[0], 0.0f);
    EXPECT_EQ(x[1], 0.0f);
    EXPECT_FALSE(buttons[0]);  // generic game button 0 is device button 1
    EXPECT_TRUE(buttons[2]);   // generic game button 2 is device button 0
}

TEST_F(JoystickTest, NoJoystickKeepsEveryJoystickKeyUp) {
    c_InputDevice input;
    input.p_BeginUpdate();
    for (int key = 256; key < 384; ++key) EXPECT_FALSE(input.p_KeyDown(key));
}

TEST_F(JoystickTest, PressedButtonsHitOnceAndUnpluggingReleasesThem) {
    g_pad = {1, {0.5f, 0.5f, 0, 0, 0}, 5, {}, 14};
    g_pad.buttons[0] = 1;
    c_InputDevice input;
    input.p_BeginUpdate();
    EXPECT_TRUE(input.p_KeyDown(256));
    EXPECT_EQ(input.p_KeyHit(256), 1);
    input.p_EndUpdate();
    input.p_BeginUpdate();
    EXPECT_EQ(input.p_KeyHit(256), 0);
    EXPECT_FLOAT_EQ(input.p_JoyX(0, 0), 0.5f);

    g_pad.unplugged = true;
    input.p_BeginUpdate();
    EXPECT_FALSE(input.p_KeyDown(256));
    EXPECT_EQ(input.p_JoyX(0, 0), 0.0f);
    EXPECT_EQ(input.p_JoyY(0, 0), 0.0f);
}

TEST_F(JoystickTest, JoysticksAreCountedOnceAtTheFirstPoll) {
    g_pad.present = 1;
    EXPECT_EQ(host_.CountJoysticks(false), 1);
    g_pad.present = 6;
    EXPECT_EQ(host_.CountJoysticks(false), 1);
    EXPECT_EQ(host_.CountJoysticks(true), 4);
}

}  // namespace
