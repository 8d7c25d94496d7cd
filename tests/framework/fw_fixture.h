// fw_fixture.h: a clean framework for each test.
//
// A host whose clock the test sets, the application layer's globals pointed at
// it, every framework global at its start-up value and an input device the
// test presses keys on. Helpers read draw records back.
#pragma once

#include <gtest/gtest.h>

#include "framework/framework.h"
#include "host/app.h"
#include "host/host.h"
#include "host/input.h"

class ClockHost : public BBGame {
  public:
    int Millisecs() override { return now; }
    int now = 0;
};

class FrameworkTest : public testing::Test {
  protected:
    void SetUp() override {
        bbInitApp();
        bb_app__game = &host;
        bbInitFramework();
        bb_input_SetInputDevice(&input);
    }
    void TearDown() override { bb_input_SetInputDevice(nullptr); }

    void Press(int key) { input.p_KeyEvent(c_BBGameEvent::KeyDown, key); }
    void Release(int key) { input.p_KeyEvent(c_BBGameEvent::KeyUp, key); }

    // Record n of the list being recorded.
    static const float* Record(int n) { return bb_zolt_ZOLT_Draw + 20 * n; }

    // bb_random_Seed after `steps` more steps of the generator.
    static uint32_t SeedAfter(uint32_t seed, int steps) {
        for (int i = 0; i < steps; ++i) seed = seed * 1664525u + 1013904223u;
        return seed;
    }

    ClockHost host;
    c_InputDevice input;
};
