// Batching, vertices, colours, state and textures of the renderer, checked
// call by call through the GL recorder.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "render_fixture.h"

namespace {

struct Point {
    float x, y;
};

void ExpectAt(const gxtkVertex& v, Point p, const std::string& what) {
    EXPECT_FLOAT_EQ(v.x, p.x) << what;
    EXPECT_FLOAT_EQ(v.y, p.y) << what;
}

std::vector<uint8_t> Bytes(uint32_t color) {
    uint8_t b[4];
    std::memcpy(b, &color, 4);
    return {b[0], b[1], b[2], b[3]};
}

// --- batching --------------------------------------------------------------

TEST_F(RendererTest, TwoRectsAndAFourVertexPolygonIssueOneIndexedDraw) {
    graphics->DrawRect(1, 2, 3, 4);
    graphics->DrawRect(10, 20, 30, 40);
    const float quad[] = {0, 0, 5, 0, 5, 5, 0, 5};
    graphics->DrawPoly(quad);
    graphics->EndRender();

    ASSERT_EQ(gl.draws.size(), 1u);
    const RecordedDraw& draw = gl.draws[0];
    EXPECT_EQ(draw.mode, static_cast<GLenum>(GL_TRIANGLES));
    const std::vector<uint16_t> indices = {0, 1, 2, 0, 2, 3, 4, 5, 6, 4, 6, 7, 8, 9, 10, 8, 10, 11};
    EXPECT_EQ(draw.indices, indices);
    // Corners run (x, y), (x+w, y), (x+w, y+h), (x, y+h): index order 0, 1, 2, _, _, 3.
    const Point first[] = {{1, 2}, {4, 2}, {4, 6}, {1, 6}};
    const int cornerAt[] = {0, 1, 2, 5};
    for (int i = 0; i < 4; ++i) ExpectAt(draw.vertices[cornerAt[i]], first[i], "first rect");
    const Point second[] = {{10, 20}, {40, 20}, {40, 60}, {10, 60}};
    for (int i = 0; i < 4; ++i) ExpectAt(draw.vertices[6 + cornerAt[i]], second[i], "second rect");
    const Point poly[] = {{0, 0}, {5, 0}, {5, 5}, {0, 5}};
    for (int i = 0; i < 4; ++i) ExpectAt(draw.vertices[12 + cornerAt[i]], poly[i], "polygon");
}

TEST_F(RendererTest, OnlyKindTextureFullBatchBlendScissorAndReadFlush) {
    using Draws = std::vector<std::pair<GLenum, size_t>>;  // mode, vertices drawn
    const float triangle[] = {0, 0, 10, 0, 0, 10};
    const std::vector<float> tooMany(1025 * 2, 1.0f);
    struct Case {
        const char* name;
        std::function<void(gxtkGraphics&)> run;
        Draws expected;
    };
    const Case cases[] = {
        {"kind change",
         [](gxtkGraphics& g) {
             g.DrawPoint(1, 1);
             g.DrawPoint(2, 2);
             g.DrawLine(0, 0, 5, 5);
             g.DrawRect(0, 0, 1, 1);
         },
         {{GL_POINTS, 2}, {GL_LINES, 2}, {GL_TRIANGLES, 6}}},
        {"colour, alpha and matrix do not flush",
         [](gxtkGraphics& g) {
             g.DrawRect(0, 0, 1, 1);
             g.SetColor(10, 20, 30);
             g.SetAlpha(0.5f);
             g.SetMatrix(2, 0, 0, 2, 5, 5);
             g.DrawRect(0, 0, 1, 1);
         },
         {{GL_TRIANGLES, 12}}},
        {"three-vertex polygons join triangles",
         [&](gxtkGraphics& g) {
             g.DrawPoly(triangle);
             g.DrawPoly(triangle);
         },
         {{GL_TRIANGLES, 6}}},
        {"empty and oversized polygons draw nothing and do not flush",
         [&](gxtkGraphics& g) {
             g.DrawRect(0, 0, 1, 1);
             g.DrawPoly(std::span<const float>());
             g.DrawPoly(tooMany);
             g.DrawRect(0, 0, 1, 1);
         },
         {{GL_TRIANGLES, 12}}},
        {"a full batch flushes",
         [](gxtkGraphics& g) {
             for (int i = 0; i < 257; ++i) g.DrawRect(0, 0, 1, 1);
         },
         {{GL_TRIANGLES, 1536}, {GL_TRIANGLES, 6}}},
        {"set blend flushes",
         [](gxtkGraphics& g) {
             g.DrawRect(0, 0, 1, 1);
             g.SetBlend(1);
             g.DrawRect(0, 0, 1, 1);
         },
         {{GL_TRIANGLES, 6}, {GL_TRIANGLES, 6}}},
        {"set scissor flushes",
         [](gxtkGraphics& g) {
             g.DrawLine(0, 0, 1, 1);
             g.SetScissor(1, 1, 5, 5);
             g.DrawLine(0, 0, 1, 1);
         },
         {{GL_LINES, 2}, {GL_LINES, 2}}},
        {"read pixels flushes",
         [](gxtkGraphics& g) {
             int32_t pixel[1];
             g.DrawPoint(0, 0);
             g.ReadPixels(pixel, 0, 0, 1, 1, 0, 1);
             g.DrawPoint(0, 0);
         },
         {{GL_POINTS, 1}, {GL_POINTS, 1}}},
    };
    for (const Case& c : cases) {
        graphics->BeginRender();
        graphics->SetMatrix(1, 0, 0, 1, 0, 0);
        gl.Forget();
        c.run(*graphics);
        graphics->EndRender();
        Draws got;
        for (const RecordedDraw& d : gl.draws) got.emplace_back(d.mode, d.vertices.size());
        EXPECT_EQ(got, c.expected) << c.name;
    }
}

TEST_F(RendererTest, ChangingTextureFlushesAndTexturesOnlyTexturedBatches) {
    auto one = MakeSurface(4, 4, 4);
    auto two = MakeSurface(4, 4, 4);
    graphics->DrawSurface(one, 0, 0);
    graphics->DrawSurface(one, 8, 0);
    graphics->DrawSurface(two, 0, 8);
    graphics->DrawRect(0, 0, 1, 1);
    graphics->EndRender();

    ASSERT_EQ(gl.draws.size(), 3u);
    EXPECT_EQ(gl.draws[0].vertices.size(), 12u);
    EXPECT_TRUE(gl.draws[0].textured);
    EXPECT_EQ(gl.draws[0].texture, static_cast<GLuint>(one->textureName));
    EXPECT_TRUE(gl.draws[1].textured);
    EXPECT_EQ(gl.draws[1].texture, static_cast<GLuint>(two->textureName));
    EXPECT_NE(one->textureName, two->textureName);
    EXPECT_FALSE(gl.draws[2].textured);
    EXPECT_EQ(gl.enabled.count(GL_TEXTURE_2D), 0u);
}

TEST_F(RendererTest, ClsDropsQueuedPrimitivesAndClearsToTheColour) {
    graphics->DrawRect(0, 0, 10, 10);
    graphics->Cls(255, 51, 0);
    graphics->EndRender();
    EXPECT_TRUE(gl.draws.empty());
    EXPECT_EQ(gl.clearColor, (std::vector<float>{1.0f, 0.2f, 0.0f, 1.0f}));
    EXPECT_EQ(gl.Count("Clear"), 1);
}

TEST_F(RendererTest, BeginRenderSetsUpTheFrameAndDropsEarlierPrimitives) {
    graphics->DrawRect(0, 0, 10, 10);
    gl.windowWidth = 800;
    gl.windowHeight = 600;
    EXPECT_EQ(graphics->BeginRender(), 1);
    graphics->EndRender();

    EXPECT_TRUE(gl.draws.empty());
    EXPECT_EQ(graphics->Width(), 800);
    EXPECT_EQ(graphics->Height(), 600);
    EXPECT_EQ(gl.viewport, (std::vector<int>{0, 0, 800, 600}));
    EXPECT_EQ(gl.ortho, (std::vector<double>{0, 800, 600, 0, -1, 1}));
    EXPECT_EQ(gl.stride, 20);
    const auto* base = reinterpret_cast<const uint8_t*>(gl.vertexPointer);
    EXPECT_EQ(reinterpret_cast<const uint8_t*>(gl.texCoordPointer), base + 8);
    EXPECT_EQ(reinterpret_cast<const uint8_t*>(gl.colorPointer), base + 16);
    EXPECT_EQ(gl.clientStates.size(), 3u);
    EXPECT_EQ(gl.blend, (std::vector<GLenum>{GL_ONE, GL_ONE_MINUS_SRC_ALPHA}));
    EXPECT_TRUE(gl.enabled.count(GL_BLEND));
    EXPECT_FALSE(gl.enabled.count(GL_TEXTURE_2D));
}

TEST_F(RendererTest, BlendModeOneIsAdditiveAndAnyOtherIsPremultipliedAlpha) {
    const std::pair<int, GLenum> cases[] = {{1, GL_ONE},
                                            {0, GL_ONE_MINUS_SRC_ALPHA},
                                            {2, GL_ONE_MINUS_SRC_ALPHA},
                                            {-1, GL_ONE_MINUS_SRC_ALPHA}};
    for (const auto& [mode, destination] : cases) {
        graphics->SetBlend(mode);
        EXPECT_EQ(gl.blend, (std::vector<GLenum>{GL_ONE, destination})) << mode;
    }
}

TEST_F(RendererTest, ScissorUsesTopLeftOriginAndTheFullWindowDisablesIt) {
    struct Case {
        int x, y, w, h;
        bool enabled;
        std::vector<int> glRect;
    };
    const Case cases[] = {
        {10, 20, 100, 50, true, {10, 410, 100, 50}},
        {0, 0, 640, 479, true, {0, 1, 640, 479}},
        {0, 0, 640, 480, false, {}},
    };
    for (const Case& c : cases) {
        gl.scissor.clear();
        graphics->SetScissor(c.x, c.y, c.w, c.h);
        EXPECT_EQ(gl.enabled.count(GL_SCISSOR_TEST) == 1, c.enabled) << c.x << "," << c.y;
        EXPECT_EQ(gl.scissor, c.glRect) << c.x << "," << c.y;
    }
}

// --- vertices and colours --------------------------------------------------

TEST_F(RendererTest, PointsAndLinesGetHalfAPixelAfterTheMatrixAndRectsNone) {
    graphics->DrawPoint(10, 10);
    graphics->EndRender();
    ASSERT_EQ(gl.draws.size(), 1u);
    ExpectAt(gl.draws[0].vertices[0], {10.5f, 10.5f}, "identity point");

    gl.Forget();
    graphics->SetMatrix(2, 0, 0, 3, 10, 20);
    graphics->DrawPoint(1, 1);
    graphics->DrawLine(0, 0, 1, 1);
    graphics->DrawRect(0, 0, 1, 1);
    graphics->EndRender();
    ASSERT_EQ(gl.draws.size(), 3u);
    ExpectAt(gl.draws[0].vertices[0], {12.5f, 23.5f}, "point");
    ExpectAt(gl.draws[1].vertices[0], {10.5f, 20.5f}, "line start");
    ExpectAt(gl.draws[1].vertices[1], {12.5f, 23.5f}, "line end");
    ExpectAt(gl.draws[2].vertices[0], {10, 20}, "rect corner");
    ExpectAt(gl.draws[2].vertices[2], {12, 23}, "rect opposite corner");
}

TEST_F(RendererTest, ColourBytesArePremultipliedTruncatedAndSaturated) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case {
        float alpha, r, g, b;
        std::vector<uint8_t> bytes;  // R, G, B, A in vertex memory
    };
    const Case cases[] = {
        {0.5f, 255, 128, 0, {127, 64, 0, 127}},        {1.0f, 0, 0, 0, {0, 0, 0, 255}},
        {1.0f, 255, 255, 255, {255, 255, 255, 255}},   {0.25f, 200, 100, 40, {50, 25, 10, 63}},
        {2.0f, 300, nan, -5, {255, 0, 0, 255}},        {nan, 255, 255, 255, {0, 0, 0, 0}},
        {1e30f, 1e30f, -1e30f, 1, {255, 0, 255, 255}},
    };
    for (const Case& c : cases) {
        graphics->SetColor(c.r, c.g, c.b);
        graphics->SetAlpha(c.alpha);
        graphics->DrawPoint(0, 0);
        graphics->EndRender();
        ASSERT_FALSE(gl.draws.empty());
        EXPECT_EQ(Bytes(gl.draws.back().vertices[0].color), c.bytes)
            << c.alpha << " " << c.r << " " << c.g << " " << c.b;
        EXPECT_EQ(Bytes(graphics->packedColor), c.bytes);
    }
    // Alpha 1 over black is exactly the top byte, built without signed overflow.
    graphics->SetColor(0, 0, 0);
    graphics->SetAlpha(1);
    EXPECT_EQ(graphics->packedColor, 0xFF000000u);
}

TEST_F(RendererTest, ColourSetBeforeAlphaIsRepackedWithTheNewAlpha) {
    graphics->SetAlpha(1);
    graphics->SetColor(200, 100, 50);
    graphics->SetAlpha(0.5f);
    EXPECT_EQ(Bytes(graphics->packedColor), (std::vector<uint8_t>{100, 50, 25, 127}));
    EXPECT_FLOAT_EQ(graphics->red, 200);
    EXPECT_FLOAT_EQ(graphics->alpha, 0.5f);
}

TEST_F(RendererTest, OvalSegmentCountsFollowTheRadiiAndAreBounded) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case {
        float w, h;
        float scale;  // uniform matrix scale; 1 = untransformed
        int segments;
    };
    const Case cases[] = {
        {4, 4, 1, 12},      {100, 60, 1, 80},      {50, 50, 1, 48},
        {-100, -60, 1, 80}, {3000, 3000, 1, 1024}, {1e30f, 1e30f, 1, 1024},
        {nan, 10, 1, 12},   {25, 25, 2, 48},       {1e30f, 4, 1e10f, 1024},
    };
    for (const Case& c : cases) {
        graphics->SetMatrix(c.scale, 0, 0, c.scale, 0, 0);
        graphics->DrawOval(0, 0, c.w, c.h);
        graphics->EndRender();
        ASSERT_EQ(gl.draws.size(), 1u) << c.w;
        EXPECT_EQ(gl.draws[0].mode, static_cast<GLenum>(GL_TRIANGLE_FAN)) << c.w;
        EXPECT_EQ(gl.draws[0].vertices.size(), static_cast<size_t>(c.segments))
            << c.w << "x" << c.h;
        gl.Forget();
    }
}

TEST_F(RendererTest, OvalFanStartsAtTheRightAndTurnsUpTheScreen) {
    graphics->DrawOval(10, 20, 100, 60);  // centre (60, 50), radii 50 and 30, 80 segments
    graphics->DrawOval(10, 20, 100, 60);
    graphics->EndRender();
    ASSERT_EQ(gl.draws.size(), 2u);  // one flush, one fan per oval
    const std::vector<gxtkVertex>& fan = gl.draws[0].vertices;
    ExpectAt(fan[0], {110, 50}, "angle 0");
    EXPECT_NEAR(fan[20].x, 60, 1e-4);  // a quarter turn: the top of the oval
    EXPECT_NEAR(fan[20].y, 20, 1e-4);
    const float theta = 7 * 6.2831855f / 80;
    EXPECT_FLOAT_EQ(fan[7].x, 60 + std::cos(theta) * 50);
    EXPECT_FLOAT_EQ(fan[7].y, 50 - std::sin(theta) * 30);
    ExpectAt(gl.draws[1].vertices[0], {110, 50}, "second fan");
}

// --- textures --------------------------------------------------------------

TEST_F(RendererTest, SurfacePixelsArePremultipliedWithTruncation) {
    struct Case {
        int channels;
        std::vector<uint8_t> in, out;
    };
    const Case cases[] = {
        {4, {200, 255, 3, 100}, {78, 100, 1, 100}},
        {2, {200, 100}, {78, 100}},
        {3, {200, 100, 7}, {200, 100, 7}},
        {1, {200}, {200}},
    };
    for (const Case& c : cases) {
        gxtkSurface surface;
        auto* data = static_cast<unsigned char*>(std::malloc(c.in.size()));
        std::memcpy(data, c.in.data(), c.in.size());
        surface.SetData(data, 1, 1, c.channels);
        EXPECT_EQ(std::vector<uint8_t>(surface.pixels, surface.pixels + c.in.size()), c.out)
            << c.channels;
        const GLenum formats[] = {GL_LUMINANCE, GL_LUMINANCE_ALPHA, GL_RGB, GL_RGBA};
        EXPECT_EQ(surface.glFormat, static_cast<int>(formats[c.channels - 1]));
    }
}

TEST_F(RendererTest, TextureIsCreatedAtFirstBindAndUploadedFromThePixelCopy) {
    auto surface = MakeSurface(3, 2, 4, 255);
    EXPECT_TRUE(gl.calls.empty());
    graphics->DrawSurface(surface, 0, 0);
    EXPECT_TRUE(gl.calls.empty()) << "nothing reaches GL before the flush";
    graphics->EndRender();

    ASSERT_EQ(gl.texImages.size(), 1u);
    EXPECT_EQ(gl.texImages[0].width, 3);
    EXPECT_EQ(gl.texImages[0].height, 2);
    EXPECT_FALSE(gl.texImages[0].withData);
    ASSERT_EQ(gl.subImages.size(), 1u);
    EXPECT_EQ(gl.subImages[0].width, 3);
    EXPECT_EQ(gl.subImages[0].bytes, std::vector<uint8_t>(24, 255));
    EXPECT_EQ(surface->textureGeneration, 1);
    EXPECT_FLOAT_EQ(surface->uScale, 1.0f / 3);

    gl.Forget();
    graphics->BeginRender();
    graphics->DrawSurface(surface, 0, 0);
    graphics->EndRender();
    EXPECT_EQ(gl.Count("GenTexture"), 0) << "a live texture is only bound again";
    EXPECT_EQ(gl.draws.at(0).texture, static_cast<GLuint>(surface->textureName));
}

TEST_F(RendererTest, RefusedTextureIsRetriedOnceAtPowerOfTwoSize) {
    gl.rejectNonPowerOfTwo = true;
    auto surface = MakeSurface(100, 60, 4);
    graphics->DrawSurface(surface, 0, 0);
    graphics->EndRender();

    ASSERT_EQ(gl.texImages.size(), 2u);
    EXPECT_EQ(gl.texImages[1].width, 128);
    EXPECT_EQ(gl.texImages[1].height, 64);
    EXPECT_FLOAT_EQ(surface->uScale, 1.0f / 128);
    EXPECT_FLOAT_EQ(surface->vScale, 1.0f / 64);
    ASSERT_EQ(gl.subImages.size(), 1u);
    EXPECT_EQ(gl.subImages[0].width, 100);

    // The next frame's quad samples only the image's part of the texture.
    graphics->BeginRender();
    gl.Forget();
    graphics->DrawSurface(surface, 0, 0);
    graphics->EndRender();
    const gxtkVertex& far = gl.draws.at(0).vertices[2];
    EXPECT_FLOAT_EQ(far.u, 100.0f / 128);
    EXPECT_FLOAT_EQ(far.v, 60.0f / 64);
}

TEST_F(RendererTest, StaleGlErrorDoesNotForceAPowerOfTwoTexture) {
    gl.errors.push_back(GL_INVALID_OPERATION);
    gl.errors.push_back(GL_INVALID_ENUM);
    auto surface = MakeSurface(100, 60, 4);
    surface->Bind();
    ASSERT_EQ(gl.texImages.size(), 1u);
    EXPECT_EQ(gl.texImages[0].width, 100);
    EXPECT_FLOAT_EQ(surface->uScale, 1.0f / 100);
}

TEST_F(RendererTest, NewContextGenerationRecreatesTexturesFromRetainedPixels) {
    auto loaded = MakeSurface(2, 2, 4, 77);
    auto created = graphics->CreateSurface(2, 2);
    loaded->Bind();
    ASSERT_EQ(loaded->textureGeneration, 1);
    ASSERT_EQ(created->textureGeneration, 1);
    gl.Forget();

    ++glfwGraphicsSeq;
    loaded->Bind();
    created->Bind();
    EXPECT_EQ(gl.Count("GenTexture"), 2);
    EXPECT_EQ(gl.texImages.size(), 2u);
    ASSERT_EQ(gl.subImages.size(), 1u) << "only the surface with a pixel copy re-uploads";
    EXPECT_EQ(gl.subImages[0].texture, static_cast<GLuint>(loaded->textureName));
    const std::vector<uint8_t> pixel = {23, 23, 23, 77};  // 77 premultiplied by 77 / 255
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(std::vector<uint8_t>(gl.subImages[0].bytes.begin() + 4 * i,
                                       gl.subImages[0].bytes.begin() + 4 * i + 4),
                  pixel);
    EXPECT_EQ(loaded->textureGeneration, 2);
    EXPECT_TRUE(gl.deleted.empty()) << "old textures died with their context";
}

TEST_F(RendererTest, WithoutAWindowBindMakesNoGlCall) {
    glfwGraphicsSeq = 0;
    auto surface = MakeSurface(2, 2, 4);
    surface->Bind();
    EXPECT_TRUE(gl.calls.empty());
    EXPECT_EQ(surface->textureGeneration, -1);
}

TEST_F(RendererTest, DiscardDeletesOnlyATextureOfTheCurrentContext) {
    auto current = MakeSurface(2, 2, 4);
    auto stale = MakeSurface(2, 2, 4);
    stale->Bind();
    ++glfwGraphicsSeq;
    current->Bind();
    gl.Forget();
    const GLuint currentName = current->textureName;

    current->Discard();
    stale->Discard();
    EXPECT_EQ(gl.deleted, std::vector<GLuint>{currentName});
    EXPECT_EQ(current->pixels, nullptr);
    EXPECT_EQ(stale->pixels, nullptr);
    EXPECT_EQ(current->textureGeneration, -1);
    current.reset();  // the destructor does not delete twice
    EXPECT_EQ(gl.deleted.size(), 1u);
}

TEST_F(RendererTest, WritePixelsPremultipliesAndUploadsRowsOrTheWholeBlock) {
    auto surface = graphics->CreateSurface(4, 3);
    gl.Forget();
    // 0xAARRGGBB values; pitch 3 leaves one unused entry after each row of 2.
    const int32_t half = static_cast<int32_t>(0x80FF4020u);
    const int32_t source[] = {0, half, half, 0, half, half};
    graphics->WritePixels2(surface, source, 1, 1, 2, 2, 1, 3);
    ASSERT_EQ(gl.subImages.size(), 2u) << "a partial-width rectangle uploads row by row";
    EXPECT_EQ(gl.subImages[0].x, 1);
    EXPECT_EQ(gl.subImages[0].y, 1);
    EXPECT_EQ(gl.subImages[1].y, 2);
    EXPECT_EQ(gl.subImages[0].height, 1);
    const std::vector<uint8_t> premultiplied = {128, 32, 16, 128};
    const unsigned char* pixel = surface->pixels + (1 * 4 + 1) * 4;
    EXPECT_EQ(std::vector<uint8_t>(pixel, pixel + 4), premultiplied);
    EXPECT_EQ(
        std::vector<uint8_t>(gl.subImages[1].bytes.begin(), gl.subImages[1].bytes.begin() + 4),
        premultiplied);
    EXPECT_EQ(surface->pixels[0], 0) << "pixels outside the rectangle stay clear";

    gl.Forget();
    const std::vector<int32_t> rows(4 * 3, -1);
    graphics->WritePixels2(surface, rows, 0, 0, 4, 3, 0, 4);
    ASSERT_EQ(gl.subImages.size(), 1u) << "a full-width rectangle uploads at once";
    EXPECT_EQ(gl.subImages[0].height, 3);
}

TEST_F(RendererTest, WritePixelsRefusesRectanglesAndArraysThatDoNotFit) {
    auto surface = graphics->CreateSurface(4, 4);
    const std::vector<int32_t> small(4, -1);
    const std::vector<int32_t> large(64, -1);
    struct Case {
        const std::vector<int32_t>* source;
        int x, y, w, h, offset, pitch;
    };
    const Case cases[] = {
        {&large, 3, 0, 2, 1, 0, 2}, {&large, 0, -1, 1, 1, 0, 1}, {&large, 0, 0, 1, 5, 0, 1},
        {&small, 0, 0, 2, 2, 1, 2}, {&small, 0, 0, 2, 2, -1, 2}, {&small, 0, 0, 2, 3, 0, 2},
        {&large, 0, 0, 0, 1, 0, 1},
    };
    for (const Case& c : cases) {
        gl.Forget();
        graphics->WritePixels2(surface, *c.source, c.x, c.y, c.w, c.h, c.offset, c.pitch);
        EXPECT_TRUE(gl.subImages.empty()) << c.x << "," << c.y << " " << c.w << "x" << c.h;
        EXPECT_EQ(surface->pixels, nullptr);
    }
    auto rgb = MakeSurface(2, 2, 3, 9);
    graphics->WritePixels2(rgb, large, 0, 0, 2, 2, 0, 2);
    EXPECT_EQ(rgb->pixels[0], 9) << "only RGBA surfaces take pixels";
}

TEST_F(RendererTest, ReadPixelsFlipsGlRowsIntoTopDownRowsAtOffsetAndPitch) {
    std::vector<int32_t> out(12, -7);
    graphics->ReadPixels(out, 5, 10, 3, 2, 1, 5);
    EXPECT_EQ(gl.readRect, (std::vector<int>{5, 480 - 10 - 2, 3, 2}));
    // The recorder fills GL row r (bottom-up), column c with r * 1000 + c.
    const std::vector<int32_t> expected = {-7,     469005, 469006, 469007, -7, -7,
                                           468005, 468006, 468007, -7,     -7, -7};
    EXPECT_EQ(out, expected);

    gl.Forget();
    std::vector<int32_t> small(5, -7);
    graphics->ReadPixels(small, 0, 0, 3, 2, 0, 3);
    EXPECT_EQ(gl.Count("ReadPixels"), 0) << "rows that would not fit are not read";
    EXPECT_EQ(small, std::vector<int32_t>(5, -7));
}

TEST_F(RendererTest, SourceRectanglesAndPolygonsMapToTextureCoordinates) {
    auto surface = MakeSurface(64, 32, 4);
    surface->Bind();
    graphics->DrawSurface2(surface, 5, 6, 16, 8, 16, 8);
    const float verts[] = {0, 0, 0, 0, 10, 0, 16, 0, 10, 10, 16, 8};
    graphics->DrawPoly2(verts, surface, 16, 8);
    graphics->EndRender();

    ASSERT_EQ(gl.draws.size(), 2u);
    const std::vector<gxtkVertex>& quad = gl.draws[0].vertices;  // indexed 0 1 2 0 2 3
    ExpectAt(quad[0], {5, 6}, "quad top-left");
    ExpectAt(quad[2], {21, 14}, "quad bottom-right");
    EXPECT_FLOAT_EQ(quad[0].u, 0.25f);
    EXPECT_FLOAT_EQ(quad[0].v, 0.25f);
    EXPECT_FLOAT_EQ(quad[2].u, 0.5f);
    EXPECT_FLOAT_EQ(quad[2].v, 0.5f);
    const std::vector<gxtkVertex>& poly = gl.draws[1].vertices;
    ASSERT_EQ(poly.size(), 3u);
    EXPECT_EQ(gl.draws[1].mode, static_cast<GLenum>(GL_TRIANGLES));
    EXPECT_FLOAT_EQ(poly[1].u, 0.5f);
    EXPECT_FLOAT_EQ(poly[2].v, 0.5f);
    ExpectAt(poly[2], {10, 10}, "polygon vertex");
}

TEST_F(RendererTest, FirstFrameOfANewSurfaceHasItsTextureCoordinates) {
    auto surface = MakeSurface(64, 32, 4);  // no texture yet: it is made at the flush
    graphics->DrawSurface(surface, 0, 0);
    graphics->EndRender();
    ASSERT_EQ(gl.draws.size(), 1u);
    const std::vector<gxtkVertex>& quad = gl.draws[0].vertices;
    EXPECT_FLOAT_EQ(quad[2].u, 1.0f);
    EXPECT_FLOAT_EQ(quad[2].v, 1.0f);
}

}  // namespace
