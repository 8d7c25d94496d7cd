// CPU cost of recording and flushing 5000 textured quads through the drawing
// context: plain DrawImage, and DrawImage2 with rotation and scale. OpenGL is
// replaced by a layer that does nothing, so only our own work is measured.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <memory>

#include "host/app.h"
#include "host/host.h"
#include "render/context.h"
#include "render/gl_layer.h"

namespace {

constexpr int kQuads = 5000;  // textured quads per frame

class NullGl : public GlLayer {
  public:
    void WindowSize(int* w, int* h) override { *w = 640, *h = 480; }
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

struct Scene {
    NullGl gl;
    std::unique_ptr<gxtkGraphics> graphics;
    std::shared_ptr<c_Image> image;

    Scene() {
        bbSetGlLayer(&gl);
        glfwGraphicsSeq = 1;
        bbInitRender();
        bb_app__devWidth = 640;
        bb_app__devHeight = 480;
        graphics = std::make_unique<gxtkGraphics>();
        bb_graphics_SetGraphicsDevice(graphics.get());
        auto surface = std::make_shared<gxtkSurface>();
        auto* pixels = static_cast<unsigned char*>(std::malloc(256 * 256 * 4));
        std::memset(pixels, 255, 256 * 256 * 4);
        surface->SetData(pixels, 256, 256, 4);
        image = std::make_shared<c_Image>();
        image->p_Init2(surface, 0, 0, 32, 32, 64, c_Image::CentreHandle, nullptr, 0, 0, 256, 256);
    }
    ~Scene() {
        image.reset();
        bbInitRender();
        graphics.reset();
        bbSetGlLayer(nullptr);
    }
};

void BM_ContextDrawImage5000(benchmark::State& state) {
    Scene scene;
    for (auto _ : state) {
        scene.graphics->BeginRender();
        bb_graphics_BeginRender();
        for (int i = 0; i < kQuads; ++i)
            bb_graphics_DrawImage(scene.image, float(i % 640), float(i % 480), i % 64);
        bb_graphics_EndRender();
        scene.graphics->EndRender();
    }
    state.SetItemsProcessed(state.iterations() * kQuads);
}
BENCHMARK(BM_ContextDrawImage5000);

void BM_ContextDrawImage2Rotated5000(benchmark::State& state) {
    Scene scene;
    for (auto _ : state) {
        scene.graphics->BeginRender();
        bb_graphics_BeginRender();
        for (int i = 0; i < kQuads; ++i)
            bb_graphics_DrawImage2(scene.image, float(i % 640), float(i % 480), float(i % 360),
                                   1.5f, 0.75f, i % 64);
        bb_graphics_EndRender();
        scene.graphics->EndRender();
    }
    state.SetItemsProcessed(state.iterations() * kQuads);
}
BENCHMARK(BM_ContextDrawImage2Rotated5000);

}  // namespace
