// The drawing context: matrix and stack, lazy validation, state forwarding,
// frame cutting with its runtime errors, and image drawing about the handle.
#include "render/context.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <limits>
#include <vector>

#include "host/app.h"
#include "render_fixture.h"

namespace {

using Matrix = std::array<float, 6>;

class SpyGraphics : public gxtkGraphics {
  public:
    void SetMatrix(float ia, float ib, float ic, float id, float itx, float ity) override {
        matrices.push_back({ia, ib, ic, id, itx, ity});
        gxtkGraphics::SetMatrix(ia, ib, ic, id, itx, ity);
    }
    std::vector<Matrix> matrices;
};

class ContextTest : public testing::Test {
  protected:
    void SetUp() override {
        savedSeq_ = glfwGraphicsSeq;
        glfwGraphicsSeq = 1;
        bbInitRender();
        bb_app__devWidth = 640;
        bb_app__devHeight = 480;
        graphics = std::make_unique<SpyGraphics>();
        bb_graphics_SetGraphicsDevice(graphics.get());
        graphics->BeginRender();
        bb_graphics_BeginRender();
        gl.Forget();
    }
    void TearDown() override {
        bbInitRender();
        graphics.reset();
        glfwGraphicsSeq = savedSeq_;
    }
    Matrix Current() const {
        const c_GraphicsContext& c = *bb_graphics_context;
        return {c.a, c.b, c.c, c.d, c.tx, c.ty};
    }
    // Ends the frame and returns the corners of the single quad drawn, in
    // corner order (x, y), (x+w, y), (x+w, y+h), (x, y+h).
    std::vector<gxtkVertex> OnlyQuad() {
        graphics->EndRender();
        EXPECT_EQ(gl.draws.size(), 1u);
        if (gl.draws.empty() || gl.draws[0].vertices.size() < 6) return {};
        const std::vector<gxtkVertex>& v = gl.draws[0].vertices;
        return {v[0], v[1], v[2], v[5]};
    }

    GlRecorder gl;
    std::unique_ptr<SpyGraphics> graphics;

  private:
    int savedSeq_ = 0;
};

std::shared_ptr<c_Image> Strip(int w, int h, int frames, int flags) {
    auto image = std::make_shared<c_Image>();
    image->p_Init(MakeSurface(w, h, 4), frames, flags);
    return image;
}

std::shared_ptr<c_Image> Grid(int w, int h, int fw, int fh, int frames, int flags) {
    auto image = std::make_shared<c_Image>();
    image->p_Init2(MakeSurface(w, h, 4), 0, 0, fw, fh, frames, flags, nullptr, 0, 0, w, h);
    return image;
}

// The runtime error report goes to standard output; death tests read stderr.
void ReportOnStderr() {
    dup2(STDERR_FILENO, STDOUT_FILENO);
    if (!std::freopen("/dev/null", "r", stdin)) _exit(3);
}

// --- matrix ------------------------------------------------------------------

TEST_F(ContextTest, TransformAppliesTheGivenTransformBeforeTheCurrentOne) {
    struct Case {
        const char* name;
        void (*run)();
        Matrix expected;
    };
    const Case cases[] = {
        {"translate then scale",
         [] {
             bb_graphics_Translate(10, 0);
             bb_graphics_Scale(2, 3);
         },
         {2, 0, 0, 3, 10, 0}},
        {"scale then translate",
         [] {
             bb_graphics_Scale(2, 3);
             bb_graphics_Translate(10, 1);
         },
         {2, 0, 0, 3, 20, 3}},
        {"general",
         [] {
             bb_graphics_SetMatrix(1, 2, 3, 4, 5, 6);
             bb_graphics_Transform(7, 8, 9, 10, 11, 12);
         },
         {31, 46, 39, 58, 52, 76}},
        {"from arrays",
         [] {
             const float m[] = {1, 2, 3, 4, 5, 6};
             const float t[] = {7, 8, 9, 10, 11, 12};
             bb_graphics_SetMatrix2(m);
             bb_graphics_Transform2(t);
         },
         {31, 46, 39, 58, 52, 76}},
    };
    for (const Case& c : cases) {
        bb_graphics_SetMatrix(1, 0, 0, 1, 0, 0);
        c.run();
        EXPECT_EQ(Current(), c.expected) << c.name;
        EXPECT_EQ(bb_graphics_GetMatrix(), std::vector<float>(c.expected.begin(), c.expected.end()))
            << c.name;
    }
}

TEST_F(ContextTest, RotateUsesSinglePrecisionAngleWithDoubleTrigonometry) {
    bb_graphics_Rotate(90);
    const c_GraphicsContext& ctx = *bb_graphics_context;
    const float expected = static_cast<float>(std::cos(static_cast<double>(90 * D2R)));
    EXPECT_EQ(ctx.a, expected);
    EXPECT_NEAR(ctx.a, -4.371139e-8f, 1e-13f);
    EXPECT_NE(ctx.a, 0.0f);
    EXPECT_EQ(ctx.b, -1.0f);
    EXPECT_EQ(ctx.c, 1.0f);
    EXPECT_EQ(ctx.transformed, 1);
}

TEST_F(ContextTest, PositiveRotationTurnsCounterClockwiseOnScreenAfterTranslate) {
    bb_graphics_Translate(10, 0);
    bb_graphics_Rotate(90);
    bb_graphics_DrawLine(1, 0, 1, 0);
    graphics->EndRender();
    ASSERT_EQ(gl.draws.size(), 1u);
    const gxtkVertex& v = gl.draws[0].vertices[0];
    EXPECT_NEAR(v.x, 10.5f, 1e-5);  // (10, -1) plus the half-pixel offset
    EXPECT_NEAR(v.y, -0.5f, 1e-5);
}

TEST_F(ContextTest, MatrixReachesTheRendererOnlyWhenSomethingIsDrawnAfterAChange) {
    bb_graphics_Translate(5, 0);
    bb_graphics_Scale(2, 2);
    bb_graphics_Rotate(0);
    EXPECT_TRUE(graphics->matrices.empty()) << "matrix operations do not reach the renderer";
    bb_graphics_DrawRect(0, 0, 1, 1);
    bb_graphics_DrawRect(0, 0, 1, 1);
    ASSERT_EQ(graphics->matrices.size(), 1u);
    EXPECT_EQ(graphics->matrices[0], (Matrix{2, 0, 0, 2, 5, 0}));
    bb_graphics_PushMatrix();
    bb_graphics_PopMatrix();
    bb_graphics_DrawOval(0, 0, 1, 1);
    EXPECT_EQ(graphics->matrices.size(), 2u) << "a pop counts as a change";
    graphics->EndRender();
    EXPECT_EQ(gl.draws.size(), 2u) << "matrix changes keep the quad batch whole";
}

TEST_F(ContextTest, StackGrowsBeyondThirtyTwoMatricesAndPopsInReverse) {
    for (int i = 0; i < 33; ++i) {
        bb_graphics_SetMatrix(1, 0, 0, 1, static_cast<float>(i), static_cast<float>(-i));
        bb_graphics_PushMatrix();
    }
    EXPECT_EQ(bb_graphics_context->matrixStack.size(), 384u);
    EXPECT_EQ(bb_graphics_context->matrixStackTop, 33 * 6);
    for (int i = 32; i >= 0; --i) {
        bb_graphics_PopMatrix();
        EXPECT_EQ(Current(), (Matrix{1, 0, 0, 1, float(i), float(-i)})) << i;
    }
    EXPECT_EQ(bb_graphics_context->matrixStackTop, 0);
}

TEST_F(ContextTest, UnmatchedPopKeepsTheStackEmptyAndTheMatrix) {
    bb_graphics_Translate(5, 7);
    bb_graphics_PopMatrix();
    EXPECT_EQ(bb_graphics_context->matrixStackTop, 0);
    EXPECT_EQ(Current(), (Matrix{1, 0, 0, 1, 5, 7}));
    bb_graphics_PushMatrix();
    bb_graphics_Translate(1, 0);
    bb_graphics_PopMatrix();
    EXPECT_EQ(Current(), (Matrix{1, 0, 0, 1, 5, 7})) << "the stack still works afterwards";
}

// --- state -------------------------------------------------------------------

TEST_F(ContextTest, BeginRenderResetsTheContextAndTheRenderer) {
    bb_graphics_Translate(3, 3);
    bb_graphics_PushMatrix();
    bb_graphics_SetColor(1, 2, 3);
    bb_graphics_SetAlpha(0.25f);
    bb_graphics_SetBlend(1);
    bb_graphics_SetScissor(1, 1, 10, 10);
    bb_graphics_EndRender();
    EXPECT_EQ(bb_graphics_renderDevice, nullptr);

    bb_graphics_BeginRender();
    const c_GraphicsContext& ctx = *bb_graphics_context;
    EXPECT_EQ(bb_graphics_renderDevice, graphics.get());
    EXPECT_EQ(ctx.matrixStackTop, 0);
    EXPECT_EQ(Current(), (Matrix{1, 0, 0, 1, 0, 0}));
    EXPECT_EQ(ctx.transformed, 0);
    EXPECT_EQ(ctx.matrixDirty, 1);
    EXPECT_EQ(ctx.colorRed, 255);
    EXPECT_EQ(ctx.colorAlpha, 1);
    EXPECT_EQ(ctx.blendMode, 0);
    EXPECT_EQ(ctx.scissorWidth, 640);
    EXPECT_EQ(ctx.scissorHeight, 480);
    EXPECT_EQ(graphics->packedColor, 0xFFFFFFFFu);
    EXPECT_EQ(gl.blend, (std::vector<GLenum>{GL_ONE, GL_ONE_MINUS_SRC_ALPHA}));
    EXPECT_EQ(gl.enabled.count(GL_SCISSOR_TEST), 0u);
}

TEST_F(ContextTest, ScissorIsTruncatedForTheRendererAndKeptExactInTheContext) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case {
        float x, y, w, h;
        std::vector<int> glRect;
    };
    const Case cases[] = {
        {0.9f, 10.7f, 100.2f, 50.9f, {0, 420, 100, 50}},
        {-1.5f, 0, 10, 10, {-1, 470, 10, 10}},
        {nan, 0, 1e10f, 5, {0, 475, INT32_MAX, 5}},
        {0, -3e9f, 10, 10, {0, INT32_MAX, 10, 10}},
    };
    for (const Case& c : cases) {
        bb_graphics_SetScissor(c.x, c.y, c.w, c.h);
        EXPECT_EQ(gl.scissor, c.glRect) << c.x << "," << c.y << " " << c.w << "x" << c.h;
    }
    bb_graphics_SetScissor(0.9f, 10.7f, 100.2f, 50.9f);
    EXPECT_EQ(bb_graphics_context->scissorX, 0.9f);
    EXPECT_EQ(bb_graphics_context->scissorHeight, 50.9f);
}

TEST_F(ContextTest, OutsideAFrameStateIsStoredButNothingIsDrawn) {
    bb_graphics_EndRender();
    bb_graphics_SetColor(10, 20, 30);
    bb_graphics_DrawRect(0, 0, 5, 5);
    bb_graphics_DrawImage(Strip(8, 8, 1, 0), 0, 0, 0);
    EXPECT_EQ(bb_graphics_context->colorGreen, 20);
    EXPECT_EQ(graphics->vertexCount, 0);
    EXPECT_NE(graphics->red, 10);
}

// --- frames ------------------------------------------------------------------

TEST_F(ContextTest, FramesAreCutLeftToRightThenTopToBottom) {
    struct Case {
        std::shared_ptr<c_Image> image;
        int width, height;
        std::vector<std::pair<int, int>> frames;
    };
    auto offset = std::make_shared<c_Image>();
    offset->p_Init2(MakeSurface(64, 64, 4), 0, 0, 16, 16, 4, 0, nullptr, 8, 4, 32, 32);
    const Case cases[] = {
        {Grid(64, 64, 32, 32, 4, 0), 32, 32, {{0, 0}, {32, 0}, {0, 32}, {32, 32}}},
        {Grid(64, 64, 20, 30, 4, 0), 20, 30, {{0, 0}, {20, 0}, {40, 0}, {0, 30}}},
        {Strip(64, 16, 4, 0), 16, 16, {{0, 0}, {16, 0}, {32, 0}, {48, 0}}},
        {Strip(10, 5, 3, 0), 3, 5, {{0, 0}, {3, 0}, {6, 0}}},
        {offset, 16, 16, {{8, 4}, {24, 4}, {8, 20}, {24, 20}}},
        {Grid(64, 64, 32, 32, 2, c_Image::PadX | c_Image::PadY), 30, 30, {{1, 1}, {33, 1}}},
    };
    int n = 0;
    for (const Case& c : cases) {
        EXPECT_EQ(c.image->width, c.width) << "case " << n;
        EXPECT_EQ(c.image->height, c.height) << "case " << n;
        std::vector<std::pair<int, int>> got;
        for (const c_Frame& f : c.image->frames) got.emplace_back(f.x, f.y);
        EXPECT_EQ(got, c.frames) << "case " << n;
        ++n;
    }
}

TEST_F(ContextTest, FlagsPadCentreAndMarkTheWholeSurface) {
    struct Case {
        std::shared_ptr<c_Image> image;
        int flags;
        float handleX, handleY;
    };
    const Case cases[] = {
        {Grid(64, 64, 64, 64, 1, 0), c_Image::WholeSurface, 0, 0},
        {Strip(64, 64, 1, 0), c_Image::WholeSurface, 0, 0},
        {Grid(64, 64, 64, 64, 1, c_Image::PadX), c_Image::PadX, 0, 0},
        {Grid(64, 64, 32, 32, 1, 0), 0, 0, 0},
        {Grid(64, 64, 64, 64, 1, c_Image::CentreHandle), c_Image::WholeSurface, 32, 32},
        {Grid(66, 66, 33, 33, 4, c_Image::CentreHandle), 0, 16.5f, 16.5f},
        {Grid(64, 64, 32, 32, 4, c_Image::CentreHandle | c_Image::PadY), c_Image::PadY, 16, 15},
    };
    int n = 0;
    for (const Case& c : cases) {
        EXPECT_EQ(c.image->flags, c.flags) << "case " << n;
        EXPECT_EQ(c.image->handleX, c.handleX) << "case " << n;
        EXPECT_EQ(c.image->handleY, c.handleY) << "case " << n;
        ++n;
    }
    auto image = Grid(64, 64, 64, 64, 1, c_Image::PadX);
    EXPECT_EQ(image->frames[0].x, 1);
    EXPECT_EQ(image->width, 62);
}

TEST_F(ContextTest, StripOfZeroFramesIsOneFrame) {
    auto image = Strip(64, 16, 0, 0);
    EXPECT_EQ(image->frames.size(), 1u);
    EXPECT_EQ(image->width, 64);
}

TEST_F(ContextTest, FrameOutsideTheSurfaceIsARuntimeError) {
    EXPECT_EXIT(
        {
            ReportOnStderr();
            Grid(64, 64, 32, 32, 5, 0);
        },
        testing::ExitedWithCode(255), "Tarvik Runtime Error : Image frame outside surface");
    EXPECT_EXIT(
        {
            ReportOnStderr();
            Grid(64, 64, 65, 10, 1, 0);
        },
        testing::ExitedWithCode(255), "Tarvik Runtime Error : Image frame outside surface");
}

TEST_F(ContextTest, InitialisingAnImageTwiceIsARuntimeError) {
    auto image = Strip(8, 8, 1, 0);
    EXPECT_EXIT(
        {
            ReportOnStderr();
            image->p_Init2(MakeSurface(8, 8, 4), 0, 0, 8, 8, 1, 0, nullptr, 0, 0, 8, 8);
        },
        testing::ExitedWithCode(255), "Tarvik Runtime Error : Image already initialized");
    EXPECT_EXIT(
        {
            ReportOnStderr();
            image->p_Init(MakeSurface(8, 8, 4), 1, 0);
        },
        testing::ExitedWithCode(255), "Tarvik Runtime Error : Image already initialized");
}

// --- drawing images ------------------------------------------------------------

TEST_F(ContextTest, DrawImageSubtractsTheHandleAndUsesTheFrame) {
    auto image = Grid(64, 64, 32, 32, 4, 0);
    image->surface->Bind();
    image->p_SetHandle(4, 6);
    bb_graphics_DrawImage(image, 10, 10, 3);
    const std::vector<gxtkVertex> quad = OnlyQuad();
    ASSERT_EQ(quad.size(), 4u);
    EXPECT_FLOAT_EQ(quad[0].x, 6);
    EXPECT_FLOAT_EQ(quad[0].y, 4);
    EXPECT_FLOAT_EQ(quad[2].x, 38);
    EXPECT_FLOAT_EQ(quad[2].y, 36);
    EXPECT_FLOAT_EQ(quad[0].u, 0.5f);
    EXPECT_FLOAT_EQ(quad[0].v, 0.5f);
    EXPECT_FLOAT_EQ(quad[2].u, 1.0f);
}

TEST_F(ContextTest, WholeSurfaceImageDrawsTheSurfaceQuad) {
    gl.rejectNonPowerOfTwo = true;  // a 48x20 texture becomes 64x32
    auto image = Strip(48, 20, 1, 0);
    image->surface->Bind();
    bb_graphics_DrawImage(image, 0, 0, 0);
    const std::vector<gxtkVertex> quad = OnlyQuad();
    ASSERT_EQ(quad.size(), 4u);
    EXPECT_FLOAT_EQ(quad[2].x, 48);
    EXPECT_FLOAT_EQ(quad[2].y, 20);
    EXPECT_FLOAT_EQ(quad[2].u, 48.0f / 64);
    EXPECT_FLOAT_EQ(quad[2].v, 20.0f / 32);
}

TEST_F(ContextTest, FrameOutsideTheImageDrawsNothing) {
    auto image = Grid(64, 64, 32, 32, 4, 0);
    const float verts[] = {0, 0, 0, 0, 1, 0, 1, 0, 1, 1, 1, 1};
    for (int frame : {-1, 4, 1000}) {
        bb_graphics_DrawImage(image, 0, 0, frame);
        bb_graphics_DrawImage2(image, 0, 0, 0, 1, 1, frame);
        bb_graphics_DrawPoly2(verts, image, frame);
    }
    EXPECT_EQ(graphics->vertexCount, 0);
    EXPECT_EQ(bb_graphics_context->matrixStackTop, 0);
}

TEST_F(ContextTest, DrawImage2ScalesAboutTheCentredHandle) {
    auto image = Grid(64, 64, 32, 32, 4, c_Image::CentreHandle);
    bb_graphics_DrawImage2(image, 100, 100, 0, 2, 2, 0);
    const std::vector<gxtkVertex> quad = OnlyQuad();
    ASSERT_EQ(quad.size(), 4u);
    EXPECT_FLOAT_EQ(quad[0].x, 68);
    EXPECT_FLOAT_EQ(quad[0].y, 68);
    EXPECT_FLOAT_EQ(quad[2].x, 132);
    EXPECT_FLOAT_EQ(quad[2].y, 132);
    EXPECT_EQ(Current(), (Matrix{1, 0, 0, 1, 0, 0})) << "the matrix is restored";
    EXPECT_EQ(bb_graphics_context->matrixStackTop, 0);
}

TEST_F(ContextTest, DrawImage2RotatesAboutTheHandleCounterClockwise) {
    auto image = Grid(64, 64, 32, 32, 4, c_Image::CentreHandle);
    bb_graphics_DrawImage2(image, 100, 100, 90, 1, 1, 0);
    const std::vector<gxtkVertex> quad = OnlyQuad();
    ASSERT_EQ(quad.size(), 4u);
    // The frame's top edge now runs up the screen from its bottom-left corner.
    const float expected[4][2] = {{84, 116}, {84, 84}, {116, 84}, {116, 116}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(quad[i].x, expected[i][0], 1e-4) << "corner " << i;
        EXPECT_NEAR(quad[i].y, expected[i][1], 1e-4) << "corner " << i;
    }
}

TEST_F(ContextTest, DrawImage2CallsShareOneBatch) {
    auto image = Grid(64, 64, 32, 32, 4, c_Image::CentreHandle);
    for (int i = 0; i < 10; ++i)
        bb_graphics_DrawImage2(image, float(i * 10), 50, float(i * 36), 1.5f, 0.5f, i % 4);
    graphics->EndRender();
    ASSERT_EQ(gl.draws.size(), 1u);
    EXPECT_EQ(gl.draws[0].vertices.size(), 60u);
}

}  // namespace
