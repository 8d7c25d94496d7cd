// CPU cost of the framework per update and per render: one update of a busy
// scene (pointer and controls, 251 stars, 250 live particles, 3000 text glyph
// records, the commit) and one replay of 5000 records through the drawing
// context. OpenGL is replaced by a layer that does nothing.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <memory>

#include "framework/framework.h"
#include "host/app.h"
#include "host/host.h"
#include "host/input.h"
#include "render/context.h"
#include "render/gl_layer.h"

namespace {

constexpr int kTextLines = 72;  // lines of 42 glyphs: 3024 glyph records
constexpr int kReplayRecords = 5000;

class NullGl : public GlLayer {
  public:
    void WindowSize(int* w, int* h) override { *w = 1280, *h = 720; }
    void Viewport(GLint, GLint, GLsizei, GLsizei) override {}
    void MatrixMode(GLenum) override {}
    void LoadIdentity() override {}
    void Ortho(double, double, double, double, double, double) override {}
    void EnableClientState(GLenum) override {}
    void VertexPointer(GLint, GLenum, GLsizei, const void*) override {}
    void TexCoordPointer(GLint, GLenum, GLsizei, const void*) override {}
    void ColorPointer(GLint, GLenum, GLsizei, const void*) override {}
    void Enable(GLenum) override {}
    void Disable(GLenum) override {}
    void BlendFunc(GLenum, GLenum) override {}
    void Scissor(GLint, GLint, GLsizei, GLsizei) override {}
    void ClearColor(float, float, float, float) override {}
    void Clear(GLbitfield) override {}
    void DrawArrays(GLenum, GLint, GLsizei) override {}
    void DrawElements(GLenum, GLsizei, GLenum, const void* indices) override {
        benchmark::DoNotOptimize(indices);
    }
    GLuint GenTexture() override { return 1; }
    void DeleteTexture(GLuint) override {}
    void BindTexture(GLenum, GLuint) override {}
    void TexParameteri(GLenum, GLenum, GLint) override {}
    void TexImage2D(GLenum, GLint, GLint, GLsizei, GLsizei, GLint, GLenum, GLenum,
                    const void*) override {}
    void TexSubImage2D(GLenum, GLint, GLint, GLint, GLsizei, GLsizei, GLenum, GLenum,
                       const void*) override {}
    void PixelStorei(GLenum, GLint) override {}
    GLenum GetError() override { return GL_NO_ERROR; }
    void ReadPixels(GLint, GLint, GLsizei, GLsizei, GLenum, GLenum, void*) override {}
};

class BenchHost : public BBGame {
  public:
    int Millisecs() override { return now += 16; }
    int now = 0;
};

std::shared_ptr<c_Image> SheetImage(int side, int frames) {
    auto surface = std::make_shared<gxtkSurface>();
    const int w = side * 16;
    const int h = side * ((frames + 15) / 16);
    auto* pixels = static_cast<unsigned char*>(std::malloc(static_cast<size_t>(w) * h * 4));
    std::memset(pixels, 255, static_cast<size_t>(w) * h * 4);
    surface->SetData(pixels, w, h, 4);
    auto image = std::make_shared<c_Image>();
    image->p_Init2(surface, 0, 0, side, side, frames, c_Image::CentreHandle, nullptr, 0, 0, w, h);
    return image;
}

struct Scene {
    NullGl gl;
    BenchHost host;
    c_InputDevice input;
    std::unique_ptr<gxtkGraphics> graphics;

    Scene() {
        bbSetGlLayer(&gl);
        glfwGraphicsSeq = 1;
        bbInitApp();
        bb_app__game = &host;
        bbInitRender();
        bbInitFramework();
        bb_input_SetInputDevice(&input);
        bb_app__devWidth = 1280;
        bb_app__devHeight = 720;
        graphics = std::make_unique<gxtkGraphics>();
        bb_graphics_SetGraphicsDevice(graphics.get());
        for (int slot : {70, 71, 72, 74}) {
            bb_zolt_ZOLT_Img[slot] = SheetImage(32, 16);
            bb_zolt_ZOLT_ImgD[slot] = 16;
        }
        bb_zolt_ZOLT_Img[99] = SheetImage(64, 128);
        bb_zolt_ZOLT_ImgD[99] = 128;
        bb_zolt_ZOLT_Font = 99;
        bb_zolt_ResetStars();
    }
    ~Scene() {
        bbInitFramework();
        bbInitRender();
        graphics.reset();
        bb_input_SetInputDevice(nullptr);
        bbSetGlLayer(nullptr);
    }

    void Render() {
        graphics->BeginRender();
        bb_graphics_BeginRender();
        bb_zolt_RenderWorld();
        bb_graphics_EndRender();
        graphics->EndRender();
    }
};

void BM_FrameworkUpdateBusyScene(benchmark::State& state) {
    Scene scene;
    scene.Render();  // fit the virtual screen once
    const std::u16string_view line = u"The quick brown fox jumps over the lazy dog 0123456";
    for (auto _ : state) {
        // Keep the ring full: every record alive, still on screen.
        for (int r = 0; r < 250; ++r) {
            float* p = bb_zolt_part + 10 * r;
            if (p[0] == 0 || p[7] < 0.1f) {
                bb_zolt_ThrowParticle(300 + r, 200, 1 + r % 4, r % 10, float(r), 0.5f);
            }
        }
        bb_zolt_Sprtup = 0;
        bb_zolt_ResetDraw();
        bb_zolt_UpdateWorld();
        bb_zolt_DoStars(1, 0.5f, 1, 0.5f);
        bb_zolt_SetSize(0.4f);
        for (int i = 0; i < kTextLines; ++i) bb_zolt_Text(10, 10 + i * 7.0f, line, 0, 0, i, 2);
        bb_zolt_Buffer();
        benchmark::ClobberMemory();
    }
    state.counters["records"] = bb_zolt_Bufferup;
}
BENCHMARK(BM_FrameworkUpdateBusyScene);

void BM_FrameworkRenderReplay5000(benchmark::State& state) {
    Scene scene;
    for (int i = 0; i < kReplayRecords; ++i) {
        bb_zolt_SetRot(float(i % 360));
        if (i % 4 == 0) {
            bb_zolt_Rect(float(i % 800), float(i % 600), 8, 8);
        } else {
            bb_zolt_DrawImg(70 + i % 3, float(i % 800), float(i % 600), i);
        }
    }
    bb_zolt_Buffer();
    for (auto _ : state) {
        scene.Render();
        benchmark::ClobberMemory();
    }
    state.counters["records"] = bb_zolt_ZOLT_Data[3];
}
BENCHMARK(BM_FrameworkRenderReplay5000);

}  // namespace
