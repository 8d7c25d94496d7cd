// Controls: ramps and decay, mixing, sticks, the virtual pad, hit tests,
// buttons and the console mode.
#include <vector>

#include "fw_fixture.h"

class ControlsTest : public FrameworkTest {
  protected:
    void Tick() {
        bb_zolt_PointerTick();
        bb_zolt_DoControls();
    }
    float Slot(int block, int slot) const { return bb_zolt_ZOLT_Control[100 * block + slot]; }
    void Stick(int port, int index, float x, float y) {
        input.joyStates[port].joyx[index] = x;
        input.joyStates[port].joyy[index] = y;
    }
    void Mouse(int event, float x, float y) { input.p_MouseEvent(event, 0, x, y); }
};

TEST_F(ControlsTest, KeyRampsToFullDeflectionAndDecaysInFourUpdates) {
    bb_zolt_MixControls(0);
    Press(39);
    std::vector<float> seen;
    for (int i = 0; i < 4; ++i) {
        Tick();
        seen.push_back(Slot(0, 21));
    }
    Release(39);
    for (int i = 0; i < 4; ++i) {
        Tick();
        seen.push_back(Slot(0, 21));
    }
    const std::vector<float> expected = {0.4f, 0.8f, 1, 1, 0.75f, 0.5f, 0.25f, 0};
    ASSERT_EQ(seen.size(), expected.size());
    for (size_t i = 0; i < seen.size(); ++i) EXPECT_FLOAT_EQ(seen[i], expected[i]) << i;
    Press(38);
    Tick();
    EXPECT_FLOAT_EQ(Slot(0, 22), -0.4f);
    EXPECT_EQ(Slot(0, 0), 1);
    Press(40);
    Tick();
    EXPECT_FLOAT_EQ(Slot(0, 22), -0.4f) << "opposite directions freeze the axis";
}

TEST_F(ControlsTest, MixedBlockKeepsItsOwnAxisAndAddsTheKeyboardEveryUpdate) {
    Press(68);  // D
    std::vector<float> seen;
    for (int i = 0; i < 3; ++i) {
        Tick();
        seen.push_back(Slot(1, 21));
    }
    Release(68);
    for (int i = 0; i < 7; ++i) {
        Tick();
        seen.push_back(Slot(1, 21));
    }
    const std::vector<float> expected = {0.4f, 0.95f, 1, 1, 1, 1, 0.75f, 0.5f, 0.25f, 0};
    for (size_t i = 0; i < expected.size(); ++i) EXPECT_FLOAT_EQ(seen[i], expected[i]) << i;
}

TEST_F(ControlsTest, DigitalSlotsAndPlayersRead) {
    Press(32);  // Space: action 1
    Tick();
    EXPECT_EQ(bb_zolt_PlayKey(10, -3), 1);
    EXPECT_EQ(bb_zolt_PlayKey(10, -1), 1) << "mixed block 1";
    EXPECT_EQ(bb_zolt_PlayKey(10, -2), 2);
    Press(27);
    Press(256 + 32 * 2 + 14);  // joystick 2, button 14: back
    Tick();
    EXPECT_EQ(bb_zolt_PlayKey(99, -3), 1);
    EXPECT_EQ(bb_zolt_PlayKey(20, 2), 1);
    EXPECT_EQ(bb_zolt_PlayKey(20, -2), 3);
    bb_zolt_MixControls(0);
    Tick();
    EXPECT_EQ(bb_zolt_PlayKey(10, -1), 1) << "unmixed: the keyboard block";
    EXPECT_EQ(bb_zolt_PlayKey(10, 0), 0);
    EXPECT_EQ(bb_zolt_PlayKey(10, 4), 0);
    EXPECT_EQ(bb_zolt_PlayKey(10, -4), 0);
    EXPECT_EQ(bb_zolt_PlayKey(100, -2), 0);
    EXPECT_EQ(bb_zolt_PlayKey(-1, -2), 0);
    EXPECT_EQ(bb_zolt_ControlX(5, 0), 0);
    EXPECT_EQ(bb_zolt_ControlX(0, 2), 0);
}

TEST_F(ControlsTest, StickDeadZoneAndInversion) {
    bb_zolt_MixControls(0);
    struct Case {
        float x, y, analogX, analogY;
        int down, right;
    };
    const Case cases[] = {{0.2f, 0.25f, 0, 0, 0, 0},
                          {0.2f, 0.5f, 0.2f, 0.5f, 1, 0},
                          {0.3f, 0.1f, 0.3f, 0.1f, 0, 0},
                          {0.9f, 0, 0.9f, 0, 0, 1}};
    for (const Case& c : cases) {
        Stick(0, 0, c.x, c.y);
        Tick();
        EXPECT_FLOAT_EQ(Slot(1, 21), c.analogX) << c.x << "," << c.y;
        EXPECT_FLOAT_EQ(Slot(1, 22), c.analogY) << c.x << "," << c.y;
        EXPECT_EQ(Slot(1, 8), c.down) << c.x << "," << c.y;
        EXPECT_EQ(Slot(1, 5), c.right) << c.x << "," << c.y;
    }
    bb_zolt_ZOLT_Set[11] = 1;
    Stick(0, 0, 0, 0.5f);
    Stick(0, 1, 0.1f, 0.6f);
    bb_zolt_ZOLT_Set[12] = 1;
    Tick();
    EXPECT_FLOAT_EQ(Slot(1, 22), -0.5f);
    EXPECT_EQ(Slot(1, 0), 1);
    EXPECT_FLOAT_EQ(Slot(1, 31), 0.1f);
    EXPECT_FLOAT_EQ(Slot(1, 32), -0.6f);
    EXPECT_FLOAT_EQ(bb_zolt_ControlX(0, 1), 0.1f);
}

TEST_F(ControlsTest, DisabledJoystickContributesNothing) {
    bb_zolt_MixControls(0);
    Stick(1, 0, 1, 1);
    Press(256 + 32 + 0);
    bb_zolt_Joy_Disable[1] = 1;
    Tick();
    for (int slot = 0; slot <= 32; ++slot) EXPECT_EQ(Slot(2, slot), 0) << slot;
}

TEST_F(ControlsTest, DraggingThePointerDrivesAndDragsTheVirtualPad) {
    Tick();  // no press: pad centre unset
    Mouse(c_BBGameEvent::MouseDown, 300, 200);
    Tick();
    EXPECT_EQ(bb_zolt_mPadcx, 300);
    EXPECT_EQ(bb_zolt_mPadx, 0);
    Mouse(c_BBGameEvent::MouseMove, 400, 200);
    Tick();
    EXPECT_EQ(bb_zolt_mPadx, 1);
    EXPECT_EQ(bb_zolt_mPadcx, 308);
    EXPECT_EQ(bb_zolt_msx, 100);
    EXPECT_EQ(bb_zolt_ControlX(-1, 0), 1);
    Mouse(c_BBGameEvent::MouseMove, 300, 200);
    Tick();
    EXPECT_FLOAT_EQ(bb_zolt_mPadx, -0.125f);
    Mouse(c_BBGameEvent::MouseUp, 300, 200);
    bb_zolt_mdis[0] = 1;
    Tick();
    EXPECT_EQ(bb_zolt_mdAll, 0);
    EXPECT_EQ(bb_zolt_mPadcx, -100);
    EXPECT_EQ(bb_zolt_mwx, -100);
    EXPECT_EQ(bb_zolt_mdis[0], 0);
    EXPECT_FLOAT_EQ(bb_zolt_mPadx, -0.125f) << "kept after release";
}

TEST_F(ControlsTest, PointerIsScaledToVirtualUnitsAndUnscaledBeforeTheFirstRender) {
    Mouse(c_BBGameEvent::MouseDown, 301, 201);
    Tick();
    EXPECT_EQ(bb_zolt_mx, 301) << "scale 0 before the first render";
    bb_zolt_ZOLT_Scale = 2;
    Tick();
    EXPECT_EQ(bb_zolt_mx, 150);
    EXPECT_FLOAT_EQ(bb_zolt_ZOLT_Touch[1], 150.5f);
    EXPECT_EQ(bb_zolt_ZOLT_Touch[0], 1);
}

TEST_F(ControlsTest, HitTestsAreInclusiveAtEveryEdge) {
    Mouse(c_BBGameEvent::MouseDown, 10, 10);
    Tick();
    struct Case {
        float x, y, w, h;
        int in;
    };
    const Case rects[] = {
        {10, 10, 0, 0, 1}, {0, 0, 10, 10, 1}, {10.01f, 0, 5, 20, 0}, {0, 0, 9.99f, 20, 0}};
    for (const Case& c : rects) {
        EXPECT_EQ(bb_zolt_MouseIn(c.x, c.y, c.w, c.h), c.in) << c.x << "," << c.y;
    }
    EXPECT_EQ(bb_zolt_MouseIn_Centered(15, 15, 10, 10), 1);
    EXPECT_EQ(bb_zolt_MouseIn_Centered(15.1f, 15, 10, 10), 0);
    EXPECT_EQ(bb_zolt_MouseIn_Radius(13, 14, 5), 1);
    EXPECT_EQ(bb_zolt_MouseIn_Radius(13, 14, 4.99f), 0);
    EXPECT_FLOAT_EQ(bb_zolt_Dist(0, 0, 3, 4), 5);
}

TEST_F(ControlsTest, ButtonDrawsAndTestsAWidthSquare) {
    Mouse(c_BBGameEvent::MouseDown, 130, 100);
    Tick();
    bb_zolt_ZOLT_ImgW[50] = 40;
    bb_zolt_ZOLT_ImgH[50] = 10;
    bb_zolt_ResetDraw();
    EXPECT_EQ(bb_zolt_Button(50, 100, 100, 2), 0);
    bb_zolt_SetSize(1.5f);
    EXPECT_EQ(bb_zolt_Button(50, 100, 100, 2), 1);
    EXPECT_EQ(bb_zolt_Button(50, 100, 75, 2), 1) << "the height of the box is the width";
    EXPECT_EQ(bb_zolt_Sprtup, 3);
    EXPECT_EQ(bb_zolt_Button(100, 100, 100, 0), 0);
    EXPECT_EQ(bb_zolt_Sprtup, 3);
}

TEST_F(ControlsTest, ConsoleModeReportsPressesOffScreen) {
    bb_zolt_SetOUYA(1);
    EXPECT_EQ(bb_zolt_HasQuit, 1);
    EXPECT_EQ(bb_zolt_ZOLT_AllowMouseControl, 0);
    Mouse(c_BBGameEvent::MouseDown, 10, 10);
    Tick();
    EXPECT_EQ(bb_zolt_mdAll, 1);
    EXPECT_EQ(bb_zolt_mx, -100);
    EXPECT_EQ(bb_zolt_MouseIn(-1000, -1000, 5000, 5000), 0);
}

TEST_F(ControlsTest, GuessControlMethodAndLocks) {
    Tick();
    bb_zolt_GuessControlMethod();
    EXPECT_EQ(bb_zolt_KeyPadMouse, 1);
    Press(88);
    Tick();
    bb_zolt_GuessControlMethod();
    EXPECT_EQ(bb_zolt_KeyPadMouse, 0);
    Mouse(c_BBGameEvent::MouseDown, 1, 1);
    Tick();
    bb_zolt_GuessControlMethod();
    EXPECT_EQ(bb_zolt_KeyPadMouse, 2);
    bb_zolt_LockKeys();
    EXPECT_EQ(bb_zolt_kdis[49], 1);
    EXPECT_EQ(bb_zolt_mdis[0], 1);
}
