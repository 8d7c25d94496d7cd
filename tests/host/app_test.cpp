// The application layer over the host: display modes and the device size.
#include "host/app.h"

#include <gtest/gtest.h>

namespace {

// A host whose display modes and size the test chooses.
class ScriptedHost : public BBGame {
  public:
    std::vector<BBDisplayMode> GetDisplayModes() override { return modes; }
    bool GetDesktopMode(BBDisplayMode& mode) override {
        mode = desktop;
        return hasDesktop;
    }
    int GetDeviceWidth() override { return width; }
    int GetDeviceHeight() override { return height; }
    std::vector<BBDisplayMode> modes;
    BBDisplayMode desktop;
    bool hasDesktop = true;
    int width = 0, height = 0;
};

BBDisplayMode Mode(int w, int h) {
    BBDisplayMode mode;
    mode.width = w;
    mode.height = h;
    return mode;
}

class AppTest : public testing::Test {
  protected:
    void SetUp() override { bbInitApp(); }
    ScriptedHost host_;  // constructed first: bbInitApp picks it up
};

TEST_F(AppTest, DisplayModesKeepFirstOccurrencesInHostOrder) {
    host_.modes = {Mode(1024, 768), Mode(800, 600), Mode(1024, 768), Mode(640, 480),
                   Mode(800, 600)};
    host_.desktop = Mode(1920, 1080);
    bb_app_EnumDisplayModes();
    ASSERT_EQ(bb_app__displayModes.size(), 3u);
    EXPECT_EQ(bb_app__displayModes[0]->p_Width(), 1024);
    EXPECT_EQ(bb_app__displayModes[1]->p_Height(), 600);
    EXPECT_EQ(bb_app__displayModes[2]->p_Width(), 640);
    EXPECT_EQ(bb_app_DesktopMode()->p_Width(), 1920);
}

TEST_F(AppTest, WithoutADesktopModeTheDeviceSizeStandsIn) {
    host_.hasDesktop = false;
    host_.width = 640;
    host_.height = 480;
    bb_app_ValidateDeviceWindow(false);
    bb_app_EnumDisplayModes();
    EXPECT_EQ(bb_app_DesktopMode()->p_Width(), 640);
    EXPECT_EQ(bb_app_DesktopMode()->p_Height(), 480);
}

TEST_F(AppTest, DeviceSizeFollowsTheHostWhenValidated) {
    host_.width = 1280;
    host_.height = 720;
    EXPECT_EQ(bb_app_DeviceWidth(), 0);
    bb_app_ValidateDeviceWindow(true);
    EXPECT_EQ(bb_app_DeviceWidth(), 1280);
    EXPECT_EQ(bb_app_DeviceHeight(), 720);
}

}  // namespace
