// Real pixels: primitives, images, blending and scissor drawn in a real
// window under Mesa and read back through ReadPixels.
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "host/host.h"
#include "render/graphics.h"

namespace {

GLFWwindow* OpenWindow() {
    glfwDefaultWindowHints();
    glfwWindowHint(GLFW_ALPHA_BITS, 0);
    glfwWindowHint(GLFW_RESIZABLE, GLFW_FALSE);
    GLFWwindow* window = glfwCreateWindow(640, 480, "Quorvane test", nullptr, nullptr);
    if (window) {
        glfwMakeContextCurrent(window);
        ++glfwGraphicsSeq;  // as the host does for every new window
    }
    return window;
}

class PixelsTest : public testing::Test {
  protected:
    static void SetUpTestSuite() { ASSERT_TRUE(glfwInit()); }
    void SetUp() override {
        window = OpenWindow();
        ASSERT_NE(window, nullptr);
        graphics = std::make_unique<gxtkGraphics>();
        Frame();
    }
    void TearDown() override {
        graphics.reset();
        if (window) glfwDestroyWindow(window);
    }
    void Frame() {
        graphics->BeginRender();
        graphics->SetBlend(0);
        graphics->SetScissor(0, 0, 640, 480);
        graphics->SetAlpha(1);
        graphics->Cls(0, 0, 0);
    }
    // 0x00RRGGBB of the window pixel (alpha dropped: the window has none).
    uint32_t At(int x, int y) {
        int32_t value = 0;
        graphics->ReadPixels(std::span<int32_t>(&value, 1), x, y, 1, 1, 0, 1);
        return static_cast<uint32_t>(value) & 0xffffff;
    }

    GLFWwindow* window = nullptr;
    std::unique_ptr<gxtkGraphics> graphics;
};

TEST_F(PixelsTest, PrimitivesLandOnTheirPixels) {
    graphics->SetColor(255, 0, 0);
    graphics->DrawRect(10, 10, 20, 20);
    graphics->SetColor(0, 255, 0);
    graphics->DrawPoint(100, 100);
    graphics->SetColor(0, 0, 255);
    graphics->DrawLine(200, 50, 230, 50);
    graphics->SetColor(255, 255, 0);
    graphics->DrawOval(300, 300, 40, 20);
    graphics->SetColor(0, 255, 255);
    const float triangle[] = {400, 100, 440, 100, 400, 140};
    graphics->DrawPoly(triangle);
    const struct {
        int x, y;
        uint32_t rgb;
    } probes[] = {
        {10, 10, 0xff0000},   {29, 29, 0xff0000},   {30, 30, 0},          {9, 10, 0},
        {100, 100, 0x00ff00}, {101, 100, 0},        {100, 101, 0},        {210, 50, 0x0000ff},
        {210, 49, 0},         {210, 51, 0},         {320, 310, 0xffff00}, {301, 301, 0},
        {338, 310, 0xffff00}, {320, 319, 0xffff00}, {320, 321, 0},        {405, 105, 0x00ffff},
        {435, 135, 0},
    };
    for (const auto& p : probes) EXPECT_EQ(At(p.x, p.y), p.rgb) << p.x << "," << p.y;
}

TEST_F(PixelsTest, AlphaBlendingIsPremultipliedAndModeOneAdds) {
    graphics->Cls(0, 0, 200);
    graphics->SetColor(255, 0, 0);
    graphics->SetAlpha(0.5f);
    graphics->DrawRect(0, 0, 10, 10);
    const uint32_t blended = At(5, 5);
    EXPECT_NEAR(int(blended >> 16), 127, 1);
    EXPECT_NEAR(int(blended & 0xff), 100, 1);

    graphics->SetBlend(1);
    graphics->SetAlpha(1);
    graphics->SetColor(50, 60, 0);
    graphics->DrawRect(20, 0, 10, 10);
    EXPECT_EQ(At(25, 5), 0x323cc8u);
}

TEST_F(PixelsTest, ScissorClipsWithATopLeftOrigin) {
    graphics->SetScissor(10, 20, 100, 50);
    graphics->SetColor(255, 255, 255);
    graphics->DrawRect(0, 0, 640, 480);
    graphics->SetScissor(0, 0, 640, 480);
    const struct {
        int x, y;
        uint32_t rgb;
    } probes[] = {{10, 20, 0xffffff}, {109, 69, 0xffffff}, {110, 50, 0}, {50, 70, 0},
                  {9, 30, 0},         {50, 19, 0},         {50, 455, 0}};
    for (const auto& p : probes) EXPECT_EQ(At(p.x, p.y), p.rgb) << p.x << "," << p.y;
}

TEST_F(PixelsTest, ImagesDrawTheirPixelsAndSurviveANewWindow) {
    auto surface = graphics->CreateSurface(2, 2);
    const int32_t argb[] = {int32_t(0xffff0000u), int32_t(0xff00ff00u), int32_t(0xff0000ffu),
                            int32_t(0x80ffffffu)};
    graphics->WritePixels2(surface, argb, 0, 0, 2, 2, 0, 2);
    const auto draw = [&] {
        graphics->SetColor(255, 255, 255);
        graphics->SetMatrix(10, 0, 0, 10, 0, 0);  // each texel covers 10x10 pixels
        graphics->DrawSurface(surface, 5, 5);
        graphics->SetMatrix(1, 0, 0, 1, 0, 0);
    };
    const auto check = [&](const char* when) {
        EXPECT_EQ(At(55, 55), 0xff0000u) << when;
        EXPECT_EQ(At(65, 55), 0x00ff00u) << when;
        EXPECT_EQ(At(55, 65), 0x0000ffu) << when;
        EXPECT_NEAR(int(At(65, 65) & 0xff), 128, 1) << when << ": premultiplied white at half";
        EXPECT_EQ(At(75, 55), 0u) << when;
    };
    draw();
    check("first window");

    glfwDestroyWindow(window);
    window = OpenWindow();
    ASSERT_NE(window, nullptr);
    Frame();
    draw();
    check("new window");
}

}  // namespace
