// Main loop pacing against a clock the test advances itself.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "host/host.h"
#include "host/platform.h"

namespace {

// The fake world: a clock that moves only when the loop sleeps or renders.
struct FakeWorld {
    double now = 100.0;
    double renderCost = 0;  // seconds one render + swap takes
    bool focused = true;
    int sleeps = 0;
    int waits = 0;
};
FakeWorld g_world;

HostPlatform FakePlatform() {
    HostPlatform p{};
    p.now = [] { return g_world.now; };
    p.sleepMillis = [](int ms) {
        ++g_world.sleeps;
        g_world.now += ms / 1000.0;
    };
    p.shouldClose = [](GLFWwindow*) { return false; };
    p.swapBuffers = [](GLFWwindow*) { g_world.now += g_world.renderCost; };
    p.pollEvents = [] {};
    p.waitEvents = [] { ++g_world.waits; };
    p.focused = [](GLFWwindow*) { return g_world.focused; };
    p.joystickPresent = [](int) { return false; };
    p.joystickAxes = [](int, int* n) -> const float* { return *n = 0, nullptr; };
    p.joystickButtons = [](int, int* n) -> const unsigned char* { return *n = 0, nullptr; };
    return p;
}

class CountingDelegate : public BBGameDelegate {
  public:
    void StartGame() override { ++starts; }
    void UpdateGame() override {
        ++updates;
        if (onUpdate) onUpdate();
    }
    void RenderGame() override { ++renders; }
    void SuspendGame() override { ++suspends; }
    void ResumeGame() override { ++resumes; }
    int starts = 0, updates = 0, renders = 0, suspends = 0, resumes = 0;
    std::function<void()> onUpdate;
};

class LoopTest : public testing::Test {
  protected:
    void SetUp() override {
        g_world = FakeWorld();
        bbSetHostPlatform(FakePlatform());
        host_.SetDelegate(&delegate_);
        host_.StartGame();
    }
    void TearDown() override { bbResetHostPlatform(); }

    // Updates run by each of `passes` passes.
    std::vector<int> Passes(int passes) {
        std::vector<int> perPass;
        for (int i = 0; i < passes; ++i) {
            const int before = delegate_.updates;
            EXPECT_TRUE(host_.RunPass());
            perPass.push_back(delegate_.updates - before);
        }
        return perPass;
    }

    BBGlfwGame host_;
    CountingDelegate delegate_;
};

TEST_F(LoopTest, SixtyRendersGiveOneUpdatePerPass) {
    host_.SetUpdateRate(60);
    const std::vector<int> perPass = Passes(120);
    for (int n : perPass) EXPECT_EQ(n, 1);
    EXPECT_EQ(delegate_.renders, 120);
    EXPECT_GT(g_world.sleeps, 100);  // the loop paces itself by sleeping
}

TEST_F(LoopTest, ThirtyRendersGiveTwoUpdatesPerPass) {
    host_.SetUpdateRate(60);
    g_world.renderCost = 1.0 / 30;
    const std::vector<int> perPass = Passes(60);
    for (size_t i = 1; i < perPass.size(); ++i) EXPECT_EQ(perPass[i], 2) << "pass " << i;
}

TEST_F(LoopTest, StallRunsFourUpdatesThenDropsTheBacklog) {
    host_.SetUpdateRate(60);
    Passes(10);
    g_world.now += 1.0;  // the window was dragged for a second
    EXPECT_EQ(Passes(1), std::vector<int>{4});
    EXPECT_EQ(host_.NextUpdate(), 0);  // re-anchored at the next pass
    EXPECT_EQ(Passes(5), std::vector<int>(5, 1));
}

TEST_F(LoopTest, ChangingTheRateInsideAnUpdateEndsTheCatchUp) {
    host_.SetUpdateRate(60);
    Passes(3);
    g_world.now += 0.5;
    delegate_.onUpdate = [&] { host_.SetUpdateRate(30); };
    EXPECT_EQ(Passes(1), std::vector<int>{1});
    delegate_.onUpdate = nullptr;
    const double anchor = g_world.now;
    Passes(1);
    EXPECT_DOUBLE_EQ(host_.NextUpdate(), anchor + 1.0 / 30);  // the new period applies
}

TEST_F(LoopTest, RateZeroRunsOneUpdatePerPassWithoutSleeping) {
    host_.SetUpdateRate(0);
    EXPECT_EQ(Passes(50), std::vector<int>(50, 1));
    EXPECT_EQ(g_world.sleeps, 0);
}

TEST_F(LoopTest, LosingFocusSuspendsAndRegainingItResumesWithoutABurst) {
    host_.SetUpdateRate(60);
    Passes(5);
    g_world.focused = false;
    Passes(1);
    EXPECT_EQ(delegate_.suspends, 1);
    EXPECT_TRUE(host_.Suspended());
    g_world.now += 5.0;
    const int rendersBefore = delegate_.renders;
    EXPECT_EQ(Passes(3), std::vector<int>(3, 0));
    EXPECT_EQ(delegate_.renders, rendersBefore + 3);  // renders go on, updates do not
    EXPECT_EQ(g_world.waits, 3);                      // the loop blocks on events

    g_world.focused = true;
    g_world.now += 5.0;
    const std::vector<int> afterResume = Passes(4);
    EXPECT_EQ(delegate_.resumes, 1);
    for (int n : afterResume) EXPECT_EQ(n, 1);  // re-anchored: no catch-up burst
}

TEST_F(LoopTest, EventsBeforeTheStartAreDropped) {
    BBGlfwGame host;
    CountingDelegate delegate;
    host.SetDelegate(&delegate);
    host.UpdateGame();
    host.RenderGame();
    EXPECT_EQ(delegate.updates + delegate.renders, 0);
    host.StartGame();
    host.StartGame();
    EXPECT_EQ(delegate.starts, 1);
}

TEST_F(LoopTest, MillisecsTruncates) {
    g_world.now = 1.9999;
    EXPECT_EQ(host_.Millisecs(), 1999);
}

}  // namespace
