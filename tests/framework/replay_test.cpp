// The render side: virtual screen fit, background, base matrix and the replay
// of each command through the renderer onto the recording GL layer.
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "fw_fixture.h"
#include "render/context.h"
#include "render/gl_recorder.h"

class ReplayTest : public FrameworkTest {
  protected:
    void SetUp() override {
        FrameworkTest::SetUp();
        savedSeq_ = glfwGraphicsSeq;
        glfwGraphicsSeq = 1;
        bbInitRender();
        graphics = std::make_unique<gxtkGraphics>();
        bb_graphics_SetGraphicsDevice(graphics.get());
    }
    void TearDown() override {
        bbInitRender();
        graphics.reset();
        glfwGraphicsSeq = savedSeq_;
        FrameworkTest::TearDown();
    }

    // One whole frame at the given window size; returns every vertex drawn.
    std::vector<gxtkVertex> Render(int w, int h) {
        bb_app__devWidth = w;
        bb_app__devHeight = h;
        gl.windowWidth = w;
        gl.windowHeight = h;
        gl.Forget();
        graphics->width = w;
        graphics->height = h;
        graphics->BeginRender();
        bb_graphics_BeginRender();
        bb_zolt_RenderWorld();
        bb_graphics_EndRender();
        graphics->EndRender();
        std::vector<gxtkVertex> all;
        for (const RecordedDraw& draw : gl.draws) {
            all.insert(all.end(), draw.vertices.begin(), draw.vertices.end());
        }
        return all;
    }

    // Commits what was recorded, padding with empty lines past the threshold.
    static void Commit() {
        while (bb_zolt_Sprtup <= 15) bb_zolt_Line(-1000, -1000, -1000, -1000);
        bb_zolt_Buffer();
    }

    static std::shared_ptr<c_Image> SolidImage(int side, int frames) {
        auto surface = std::make_shared<gxtkSurface>();
        const size_t size = static_cast<size_t>(side) * frames * side * 4;
        auto* data = static_cast<unsigned char*>(std::malloc(size));
        std::memset(data, 255, size);
        surface->SetData(data, side * frames, side, 4);
        auto image = std::make_shared<c_Image>();
        image->p_Init2(surface, 0, 0, side, side, frames, c_Image::CentreHandle, nullptr, 0, 0,
                       side * frames, side);
        return image;
    }

    GlRecorder gl;
    std::unique_ptr<gxtkGraphics> graphics;

  private:
    int savedSeq_ = 0;
};

TEST_F(ReplayTest, VirtualScreenFollowsTheWindowInExtendedPrecision) {
    struct Case {
        int w, h, vw, vh;
        float scale;
    };
    const Case cases[] = {{640, 480, 800, 600, 0.8f},   {1600, 900, 800, 450, 2.0f},
                          {1920, 1080, 799, 449, 2.4f}, {600, 800, 600, 800, 1.0f},
                          {800, 800, 800, 800, 1.0f},   {1280, 1024, 800, 640, 1.6f}};
    for (const Case& c : cases) {
        Render(c.w, c.h);
        EXPECT_EQ(bb_zolt_jscrw, c.vw) << c.w << "x" << c.h;
        EXPECT_EQ(bb_zolt_jscrh, c.vh) << c.w << "x" << c.h;
        EXPECT_FLOAT_EQ(bb_zolt_ZOLT_Scale, c.scale) << c.w << "x" << c.h;
        EXPECT_EQ(bb_zolt_RealW, c.w);
        EXPECT_EQ(bb_zolt_WRealH, c.h);
    }
}

TEST_F(ReplayTest, OrientationReadsThePreviousRender) {
    Render(600, 800);
    EXPECT_EQ(bb_zolt_ZOLT_Orientation, 0);
    Render(600, 800);
    EXPECT_EQ(bb_zolt_ZOLT_Orientation, 1);
}

TEST_F(ReplayTest, AWindowOfNoPixelsKeepsThePreviousFit) {
    Render(1600, 900);
    Render(0, 900);
    EXPECT_EQ(bb_zolt_jscrw, 800);
    EXPECT_EQ(bb_zolt_jscrh, 450);
    EXPECT_EQ(bb_zolt_ZOLT_Scale, 2.0f);
    Render(1600, 0);
    EXPECT_EQ(bb_zolt_jscrh, 450);
}

TEST_F(ReplayTest, BackgroundFillsPastTheWindowInCurrentColour) {
    bb_zolt_ZOLT_DrawStyle[11] = 10;
    bb_zolt_ZOLT_DrawStyle[12] = 20;
    bb_zolt_ZOLT_DrawStyle[13] = 30;
    bb_zolt_ZOLT_DrawStyle[14] = 1;
    const std::vector<gxtkVertex> v = Render(640, 480);
    ASSERT_GE(v.size(), 4u);
    EXPECT_FLOAT_EQ(v[0].x, -128);
    EXPECT_FLOAT_EQ(v[0].y, -128);
    EXPECT_FLOAT_EQ(v[2].x, 640 + 128);
    EXPECT_FLOAT_EQ(v[2].y, 480 + 128);
    EXPECT_EQ(v[0].color, 0xFF1E140Au);
    bb_zolt_ZOLT_Paused = 1;
    EXPECT_EQ(Render(640, 480)[0].color, 0xFF000000u) << "paused: black";
}

TEST_F(ReplayTest, EachCommandReplaysScaledToTheWindow) {
    bb_zolt_ZOLT_Img[5] = SolidImage(8, 2);
    bb_zolt_ZOLT_ImgD[5] = 2;
    bb_zolt_ResetDraw();
    bb_zolt_SetCol(255, 0, 0, 0.5f);
    bb_zolt_Rect(10, 20, 30, 40);
    bb_zolt_ResetDraw();
    bb_zolt_Line(1, 2, 3, 4);
    bb_zolt_Triangle(0, 0, 10, 0, 0, 10);
    bb_zolt_SetSize(2);
    bb_zolt_DrawImg(5, 100, 100, 1);
    bb_zolt_DrawImg(6, 100, 100, 0);  // empty slot: nothing
    Commit();
    // 1600 x 900: scale 2.
    std::vector<RecordedDraw> draws;
    Render(1600, 900);  // the first frame of a surface creates its texture
    Render(1600, 900);
    draws = gl.draws;
    // The blend mode set after the background flushes it on its own.
    ASSERT_EQ(draws.size(), 6u) << "background, rect, line, triangle, image, padding lines";
    const auto& quad = draws[1].vertices;
    ASSERT_EQ(quad.size(), 6u);
    EXPECT_FLOAT_EQ(quad[0].x, 20);
    EXPECT_FLOAT_EQ(quad[0].y, 40);
    EXPECT_FLOAT_EQ(quad[2].x, 80);
    EXPECT_FLOAT_EQ(quad[2].y, 120);
    EXPECT_EQ(quad[0].color, 0x7F00007Fu) << "premultiplied half-alpha red";
    EXPECT_EQ(draws[2].mode, static_cast<GLenum>(GL_LINES));
    EXPECT_FLOAT_EQ(draws[2].vertices[1].x - draws[2].vertices[0].x, 4);
    EXPECT_FLOAT_EQ(draws[2].vertices[1].y - draws[2].vertices[0].y, 4);
    ASSERT_EQ(draws[3].vertices.size(), 3u);
    EXPECT_FLOAT_EQ(draws[3].vertices[2].y, 20);
    EXPECT_TRUE(draws[4].textured);
    ASSERT_EQ(draws[4].vertices.size(), 6u);
    // Frame 1 at 2x size about its centre, then 2x window scale: 16 px half side.
    EXPECT_FLOAT_EQ(draws[4].vertices[0].x, 200 - 16);
    EXPECT_FLOAT_EQ(draws[4].vertices[2].y, 200 + 16);
    EXPECT_FLOAT_EQ(draws[4].vertices[0].u, 0.5f);
    EXPECT_EQ(bb_zolt_ZOLT_Data[3], 16);
}

TEST_F(ReplayTest, SkewRecordShearsEverythingAfterItFromTheWindowOrigin) {
    bb_zolt_ResetDraw();
    bb_zolt_SetSkew(0.5f, 0);
    bb_zolt_Rect(0, 100, 10, 10);
    Commit();  // no ResetDraw: the skew stays in force to the end
    Render(640, 480);
    const auto& v = gl.draws[1].vertices;
    ASSERT_EQ(v.size(), 6u);
    // x' = 0.8 x + 0.5 y, y' = 0.8 y
    EXPECT_FLOAT_EQ(v[0].x, 50);
    EXPECT_FLOAT_EQ(v[0].y, 80);
    EXPECT_FLOAT_EQ(v[2].x, 8 + 55);
}

TEST_F(ReplayTest, OverscanShrinksAndShiftsThePicture) {
    bb_zolt_ZOLT_Set[21] = 5;
    bb_zolt_Rect(0, 0, 100, 100);
    Commit();
    Render(1600, 900);
    const auto& v = gl.draws[1].vertices;
    const float k = (1 - 10 / 101.0f) * 2;
    EXPECT_NEAR(v[0].x, 50 * k, 1e-3f);
    EXPECT_NEAR(v[0].y, 50 * 900 / 1600.0f * k, 1e-3f);
    EXPECT_NEAR(v[2].x, 150 * k, 1e-3f);
}

TEST_F(ReplayTest, ReplayStopsAtFourThousandNineHundredNinetyNineAndEasesTheCamera) {
    for (int i = 0; i < 5001; ++i) bb_zolt_Rect(0, 0, 1, 1);
    bb_zolt_Buffer();
    ASSERT_EQ(bb_zolt_Bufferup, 5001);
    bb_zolt_scrx = 100;
    bb_zolt_aimx = 20;
    Render(640, 480);
    size_t vertices = 0;
    for (const RecordedDraw& d : gl.draws) vertices += d.vertices.size();
    EXPECT_EQ(vertices, 6u * (1 + 4999));
    EXPECT_EQ(bb_zolt_ZOLT_Data[3], 4999);
    EXPECT_FLOAT_EQ(bb_zolt_ZOLT_ScrollX, 10);
    EXPECT_FLOAT_EQ(bb_zolt_scrx, 90);
}

TEST_F(ReplayTest, RenderFixesFrameCountsAndCountsRenders) {
    host.now = 5000;
    Render(640, 480);
    EXPECT_EQ(bb_zolt_ZOLT_ImgD[42], 1);
    EXPECT_EQ(bb_zolt_ZOLT_ImgD[120], 0);
    EXPECT_EQ(bb_zolt_ZOLT_Data[2], 1) << "a second had passed since clock 0";
    EXPECT_EQ(bb_zolt_ZOLT_Data[7], 5000);
    Render(640, 480);
    EXPECT_EQ(bb_zolt_ZOLT_Data[9], 1);
    EXPECT_EQ(bb_zolt_ZOLT_Data[49], 2);
}
