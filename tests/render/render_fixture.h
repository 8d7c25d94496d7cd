// render_fixture.h: shared set-up for renderer tests without a GPU.
//
// A recorder stands in for OpenGL, the context generation is 1 (as after the
// host's first window), and the renderer has begun a 640x480 frame.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>

#include "gl_recorder.h"
#include "host/host.h"
#include "render/graphics.h"

// A surface holding w x h pixels of `channels` bytes, each byte `fill`.
inline std::shared_ptr<gxtkSurface> MakeSurface(int w, int h, int channels, uint8_t fill = 255) {
    auto surface = std::make_shared<gxtkSurface>();
    const size_t size = static_cast<size_t>(w) * h * channels;
    auto* data = static_cast<unsigned char*>(std::malloc(size ? size : 1));
    std::memset(data, fill, size);
    surface->SetData(data, w, h, channels);
    return surface;
}

class RendererTest : public testing::Test {
  protected:
    void SetUp() override {
        savedSeq_ = glfwGraphicsSeq;
        glfwGraphicsSeq = 1;
        graphics = std::make_unique<gxtkGraphics>();
        graphics->BeginRender();
        gl.Forget();
    }
    void TearDown() override {
        graphics.reset();
        glfwGraphicsSeq = savedSeq_;
    }

    GlRecorder gl;
    std::unique_ptr<gxtkGraphics> graphics;

  private:
    int savedSeq_ = 0;
};
