// graphics.cpp: gxtkGraphics and gxtkSurface over OpenGL 1.x client arrays.
//
// Owns the batch (vertexData, the shared quad index table), the fixed-function
// state set at BeginRender, blending and scissor, and the lazy textures of
// surfaces. Depends on the GlLayer seam for every OpenGL call, on the host's
// glfwGraphicsSeq (context generation) and BBGlfwGame::LoadImageData (PNG
// decoding).
#include "render/graphics.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "host/host.h"
#include "render/gl_layer.h"

namespace {

constexpr float kHalfPixel = 0.5f;    // points and lines hit pixel centres
constexpr float kTwoPi = 6.2831855f;  // single precision, as the fan angles use
constexpr int kMaxStaleErrors = 32;   // GL errors drained before a texture is defined
constexpr GLsizei kStride = sizeof(gxtkVertex);

GLenum FormatForChannels(int channels) {
    switch (channels) {
        case 1:
            return GL_LUMINANCE;
        case 2:
            return GL_LUMINANCE_ALPHA;
        case 3:
            return GL_RGB;
        default:
            return GL_RGBA;
    }
}

int PowerOfTwoAtLeast(int n) {
    int p = 1;
    while (p < n && p < (1 << 30)) p <<= 1;
    return p;
}

// True when rows r = 0..h-1 of w entries at offset + r * pitch all lie in [0, size).
bool RowsFit(size_t size, int w, int h, int offset, int pitch) {
    if (w <= 0 || h <= 0 || offset < 0) return false;
    const int64_t last = static_cast<int64_t>(offset) + static_cast<int64_t>(h - 1) * pitch;
    const int64_t lowest = std::min<int64_t>(offset, last);
    const int64_t highest = std::max<int64_t>(offset, last);
    return lowest >= 0 && highest + w <= static_cast<int64_t>(size);
}

bool RectInside(int x, int y, int w, int h, int width, int height) {
    return x >= 0 && y >= 0 && w > 0 && h > 0 && w <= width - x && h <= height - y;
}

uint8_t Premultiply(unsigned value, unsigned alpha) {
    return uint8_t(value * alpha / 255);
}

}  // namespace

uint32_t gxtkColorByte(float value) {
    if (!(value > 0)) return 0;  // also NaN
    if (value >= 255) return 255;
    return static_cast<uint32_t>(value);
}

int gxtkOvalSegments(float rx, float ry, bool transformed, float a, float b, float c, float d) {
    float size;
    if (!transformed) {
        size = std::fabs(rx) + std::fabs(ry);
    } else {
        size = std::sqrt((rx * a) * (rx * a) + (rx * b) * (rx * b)) +
               std::sqrt((ry * c) * (ry * c) + (ry * d) * (ry * d));
    }
    if (std::isnan(size)) return kMinOvalSegments;
    if (size > kBatchVertices) return kBatchVertices;
    const int segments = static_cast<int>(size);
    if (segments < kMinOvalSegments) return kMinOvalSegments;
    return segments & ~3;
}

// ---------------------------------------------------------------------------
// gxtkSurface

gxtkSurface::~gxtkSurface() {
    Discard();
}

int gxtkSurface::Discard() {
    if (textureGeneration == glfwGraphicsSeq && textureGeneration != -1) {
        bbGl().DeleteTexture(textureName);
        textureGeneration = -1;
    }
    std::free(pixels);
    pixels = nullptr;
    return 0;
}

void gxtkSurface::SetData(unsigned char* data, int w, int h, int channels) {
    std::free(pixels);
    pixels = data;
    width = w;
    height = h;
    bytesPerPixel = channels;
    glFormat = FormatForChannels(channels);
    // Until a texture is defined, texture coordinates assume one of the
    // surface's own size, so the first frame that draws it is already right.
    uScale = w > 0 ? 1.0f / static_cast<float>(w) : 0.0f;
    vScale = h > 0 ? 1.0f / static_cast<float>(h) : 0.0f;
    if (!pixels || (channels != 2 && channels != 4)) return;
    const size_t count = static_cast<size_t>(w) * static_cast<size_t>(h);
    unsigned char* p = pixels;
    for (size_t i = 0; i < count; ++i, p += channels) {
        const unsigned alpha = p[channels - 1];
        for (int k = 0; k < channels - 1; ++k) p[k] = Premultiply(p[k], alpha);
    }
}

void gxtkSurface::DefineTexture() {
    GlLayer& gl = bbGl();
    // Only an error raised by this definition may trigger the power-of-two retry.
    for (int i = 0; i < kMaxStaleErrors && gl.GetError() != GL_NO_ERROR; ++i) {
    }
    int texWidth = width;
    int texHeight = height;
    gl.TexImage2D(GL_TEXTURE_2D, 0, glFormat, texWidth, texHeight, 0, glFormat, GL_UNSIGNED_BYTE,
                  nullptr);
    if (gl.GetError() != GL_NO_ERROR) {
        texWidth = PowerOfTwoAtLeast(width);
        texHeight = PowerOfTwoAtLeast(height);
        gl.TexImage2D(GL_TEXTURE_2D, 0, glFormat, texWidth, texHeight, 0, glFormat,
                      GL_UNSIGNED_BYTE, nullptr);
    }
    uScale = 1.0f / static_cast<float>(texWidth);
    vScale = 1.0f / static_cast<float>(texHeight);
}

void gxtkSurface::Bind() {
    if (glfwGraphicsSeq == 0) return;  // no window yet
    GlLayer& gl = bbGl();
    if (textureGeneration == glfwGraphicsSeq) {
        gl.BindTexture(GL_TEXTURE_2D, textureName);
        return;
    }
    textureGeneration = glfwGraphicsSeq;
    textureName = gl.GenTexture();
    gl.BindTexture(GL_TEXTURE_2D, textureName);
    gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    DefineTexture();
    if (pixels) {
        gl.PixelStorei(GL_UNPACK_ALIGNMENT, 1);
        gl.TexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, width, height, glFormat, GL_UNSIGNED_BYTE, pixels);
    }
}

void gxtkSurface::Upload(int x, int y, int w, int h) {
    GlLayer& gl = bbGl();
    gl.BindTexture(GL_TEXTURE_2D, textureName);
    gl.PixelStorei(GL_UNPACK_ALIGNMENT, 1);
    const size_t rowBytes = static_cast<size_t>(width) * 4;
    if (w == width) {
        gl.TexSubImage2D(GL_TEXTURE_2D, 0, x, y, w, h, glFormat, GL_UNSIGNED_BYTE,
                         pixels + static_cast<size_t>(y) * rowBytes);
        return;
    }
    for (int r = 0; r < h; ++r) {
        const unsigned char* row = pixels + static_cast<size_t>(y + r) * rowBytes + size_t(x) * 4;
        gl.TexSubImage2D(GL_TEXTURE_2D, 0, x, y + r, w, 1, glFormat, GL_UNSIGNED_BYTE, row);
    }
}

void gxtkSurface::SetSubData(int x, int y, int w, int h, const uint32_t* src, int pitch) {
    if (bytesPerPixel != 4 || !src || !RectInside(x, y, w, h, width, height)) return;
    if (!pixels) {
        if (static_cast<int64_t>(width) * height > kMaxSurfacePixels) return;
        pixels = static_cast<unsigned char*>(std::calloc(size_t(width) * size_t(height), 4));
        if (!pixels) return;
    }
    for (int r = 0; r < h; ++r) {
        const uint32_t* in = src + static_cast<ptrdiff_t>(r) * pitch;
        unsigned char* out = pixels + (static_cast<size_t>(y + r) * width + x) * 4;
        for (int i = 0; i < w; ++i, out += 4) {
            const uint32_t argb = in[i];
            const unsigned alpha = argb >> 24;
            out[0] = Premultiply((argb >> 16) & 0xff, alpha);
            out[1] = Premultiply((argb >> 8) & 0xff, alpha);
            out[2] = Premultiply(argb & 0xff, alpha);
            out[3] = uint8_t(alpha);
        }
    }
    if (textureGeneration == glfwGraphicsSeq && textureGeneration != -1) Upload(x, y, w, h);
}

// ---------------------------------------------------------------------------
// gxtkGraphics: helpers

gxtkGraphics::gxtkGraphics() {
    for (int q = 0; q < kBatchQuads; ++q) {
        const uint16_t base = static_cast<uint16_t>(q * 4);
        const uint16_t quad[6] = {base, uint16_t(base + 1), uint16_t(base + 2),
                                  base, uint16_t(base + 2), uint16_t(base + 3)};
        std::memcpy(&quadIndexTable[q * 6], quad, sizeof quad);
    }
    bbGl().WindowSize(&width, &height);
}

void gxtkGraphics::Pack() {
    // Built unsigned, and each channel saturated, so any float gives defined bytes.
    packedColor = gxtkColorByte(alpha * 255.0f) << 24 | gxtkColorByte(blue * alpha) << 16 |
                  gxtkColorByte(green * alpha) << 8 | gxtkColorByte(red * alpha);
}

void gxtkGraphics::Place(gxtkVertex& vertex, float x, float y) const {
    if (transformed) {
        vertex.x = x * a + y * c + tx;
        vertex.y = x * b + y * d + ty;
    } else {
        vertex.x = x;
        vertex.y = y;
    }
    vertex.color = packedColor;
}

void gxtkGraphics::PlaceQuad(gxtkVertex* quad, float x, float y, float w, float h) const {
    Place(quad[0], x, y);
    Place(quad[1], x + w, y);
    Place(quad[2], x + w, y + h);
    Place(quad[3], x, y + h);
}

gxtkVertex* gxtkGraphics::Begin(int kind, int count, const std::shared_ptr<gxtkSurface>& surface) {
    const bool joins =
        kind == primitiveKind && surface == batchSurface && vertexCount + count <= kBatchVertices;
    if (!joins) {
        if (vertexCount > 0) Flush();
        primitiveKind = kind;
        if (batchSurface != surface) batchSurface = surface;
    }
    gxtkVertex* place = &vertexData[vertexCount];
    vertexCount += count;
    return place;
}

void gxtkGraphics::Flush() {
    if (vertexCount <= 0) return;
    GlLayer& gl = bbGl();
    if (batchSurface) {
        gl.Enable(GL_TEXTURE_2D);
        batchSurface->Bind();
    }
    switch (primitiveKind) {
        case 1:
            gl.DrawArrays(GL_POINTS, 0, vertexCount);
            break;
        case 2:
            gl.DrawArrays(GL_LINES, 0, vertexCount);
            break;
        case 3:
            gl.DrawArrays(GL_TRIANGLES, 0, vertexCount);
            break;
        case 4:
            gl.DrawElements(GL_TRIANGLES, vertexCount / 4 * 6, GL_UNSIGNED_SHORT, quadIndexTable);
            break;
        default:
            for (int first = 0; first < vertexCount; first += primitiveKind)
                gl.DrawArrays(GL_TRIANGLE_FAN, first, primitiveKind);
            break;
    }
    if (batchSurface) gl.Disable(GL_TEXTURE_2D);
    vertexCount = 0;
}

// ---------------------------------------------------------------------------
// gxtkGraphics: frame, surfaces and state

int gxtkGraphics::BeginRender() {
    GlLayer& gl = bbGl();
    gl.WindowSize(&width, &height);
    gl.Viewport(0, 0, width, height);
    gl.MatrixMode(GL_PROJECTION);
    gl.LoadIdentity();
    gl.Ortho(0, width, height, 0, -1, 1);
    gl.MatrixMode(GL_MODELVIEW);
    gl.LoadIdentity();
    gl.EnableClientState(GL_VERTEX_ARRAY);
    gl.EnableClientState(GL_TEXTURE_COORD_ARRAY);
    gl.EnableClientState(GL_COLOR_ARRAY);
    gl.VertexPointer(2, GL_FLOAT, kStride, &vertexData[0].x);
    gl.TexCoordPointer(2, GL_FLOAT, kStride, &vertexData[0].u);
    gl.ColorPointer(4, GL_UNSIGNED_BYTE, kStride, &vertexData[0].color);
    gl.Enable(GL_BLEND);
    gl.BlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    gl.Disable(GL_TEXTURE_2D);
    vertexCount = 0;
    return 1;
}

void gxtkGraphics::EndRender() {
    if (vertexCount > 0) Flush();
}

std::shared_ptr<gxtkSurface> gxtkGraphics::LoadSurface(const String& path) {
    auto surface = std::make_shared<gxtkSurface>();
    if (!LoadSurface__UNSAFE__(*surface, path)) return nullptr;
    surface->Bind();
    return surface;
}

std::shared_ptr<gxtkSurface> gxtkGraphics::CreateSurface(int w, int h) {
    if (w < 0 || h < 0 || w > kMaxSurfaceSide || h > kMaxSurfaceSide) return nullptr;
    auto surface = std::make_shared<gxtkSurface>();
    surface->SetData(nullptr, w, h, 4);
    surface->Bind();
    return surface;
}

bool gxtkGraphics::LoadSurface__UNSAFE__(gxtkSurface& surface, const String& path) {
    if (!BBGlfwGame::_glfwGame) return false;
    int w = 0, h = 0, channels = 0;
    unsigned char* data = BBGlfwGame::_glfwGame->LoadImageData(path, &w, &h, &channels);
    if (!data) return false;
    surface.SetData(data, w, h, channels);
    return true;
}

void gxtkGraphics::Cls(float r, float g, float b) {
    vertexCount = 0;
    GlLayer& gl = bbGl();
    gl.ClearColor(r / 255.0f, g / 255.0f, b / 255.0f, 1.0f);
    gl.Clear(GL_COLOR_BUFFER_BIT);
}

void gxtkGraphics::SetAlpha(float value) {
    alpha = value;
    Pack();
}

void gxtkGraphics::SetColor(float r, float g, float bl) {
    red = r;
    green = g;
    blue = bl;
    Pack();
}

void gxtkGraphics::SetBlend(int mode) {
    Flush();
    bbGl().BlendFunc(GL_ONE, mode == 1 ? GL_ONE : GL_ONE_MINUS_SRC_ALPHA);
}

void gxtkGraphics::SetScissor(int x, int y, int w, int h) {
    Flush();
    GlLayer& gl = bbGl();
    if (x == 0 && y == 0 && w == Width() && h == Height()) {
        gl.Disable(GL_SCISSOR_TEST);
        return;
    }
    gl.Enable(GL_SCISSOR_TEST);
    // In 64 bits: the flip of an extreme rectangle must not overflow.
    const int64_t glY = int64_t(Height()) - y - h;
    gl.Scissor(x, static_cast<GLint>(std::clamp<int64_t>(glY, INT32_MIN, INT32_MAX)), w, h);
}

void gxtkGraphics::SetMatrix(float ia, float ib, float ic, float id, float itx, float ity) {
    a = ia;
    b = ib;
    c = ic;
    d = id;
    tx = itx;
    ty = ity;
    transformed = a != 1 || b != 0 || c != 0 || d != 1 || tx != 0 || ty != 0;
}

// ---------------------------------------------------------------------------
// gxtkGraphics: drawing

void gxtkGraphics::DrawPoint(float x, float y) {
    gxtkVertex* v = Begin(1, 1, nullptr);
    Place(v[0], x, y);
    v[0].x += kHalfPixel;
    v[0].y += kHalfPixel;
}

void gxtkGraphics::DrawLine(float x1, float y1, float x2, float y2) {
    gxtkVertex* v = Begin(2, 2, nullptr);
    Place(v[0], x1, y1);
    Place(v[1], x2, y2);
    for (int i = 0; i < 2; ++i) {
        v[i].x += kHalfPixel;
        v[i].y += kHalfPixel;
    }
}

void gxtkGraphics::DrawRect(float x, float y, float w, float h) {
    PlaceQuad(Begin(4, 4, nullptr), x, y, w, h);
}

void gxtkGraphics::DrawOval(float x, float y, float w, float h) {
    const float rx = w * 0.5f;
    const float ry = h * 0.5f;
    const float cx = x + rx;
    const float cy = y + ry;
    const int segments = gxtkOvalSegments(rx, ry, transformed, a, b, c, d);
    gxtkVertex* v = Begin(segments, segments, nullptr);
    for (int i = 0; i < segments; ++i) {
        const float theta = static_cast<float>(i) * kTwoPi / static_cast<float>(segments);
        Place(v[i], cx + std::cos(theta) * rx, cy - std::sin(theta) * ry);
    }
}

void gxtkGraphics::DrawPoly(std::span<const float> verts) {
    const size_t n = verts.size() / 2;
    if (n < 1 || n > kBatchVertices) return;
    const int count = static_cast<int>(n);
    gxtkVertex* v = Begin(count, count, nullptr);
    for (int i = 0; i < count; ++i) Place(v[i], verts[2 * i], verts[2 * i + 1]);
}

void gxtkGraphics::DrawPoly2(std::span<const float> verts,
                             const std::shared_ptr<gxtkSurface>& surface, int srcx, int srcy) {
    const size_t n = verts.size() / 4;
    if (!surface || n < 1 || n > kBatchVertices) return;
    const int count = static_cast<int>(n);
    gxtkVertex* v = Begin(count, count, surface);
    for (int i = 0; i < count; ++i) {
        const float* in = &verts[4 * i];
        Place(v[i], in[0], in[1]);
        v[i].u = (static_cast<float>(srcx) + in[2]) * surface->uScale;
        v[i].v = (static_cast<float>(srcy) + in[3]) * surface->vScale;
    }
}

void gxtkGraphics::DrawSurface(const std::shared_ptr<gxtkSurface>& surface, float x, float y) {
    if (!surface) return;
    const float w = static_cast<float>(surface->Width());
    const float h = static_cast<float>(surface->Height());
    gxtkVertex* v = Begin(4, 4, surface);
    PlaceQuad(v, x, y, w, h);
    const float u1 = w * surface->uScale;
    const float v1 = h * surface->vScale;
    v[0].u = 0, v[0].v = 0;
    v[1].u = u1, v[1].v = 0;
    v[2].u = u1, v[2].v = v1;
    v[3].u = 0, v[3].v = v1;
}

void gxtkGraphics::DrawSurface2(const std::shared_ptr<gxtkSurface>& surface, float x, float y,
                                int srcx, int srcy, int srcw, int srch) {
    if (!surface) return;
    gxtkVertex* v = Begin(4, 4, surface);
    PlaceQuad(v, x, y, static_cast<float>(srcw), static_cast<float>(srch));
    const float u0 = static_cast<float>(srcx) * surface->uScale;
    const float v0 = static_cast<float>(srcy) * surface->vScale;
    const float u1 = static_cast<float>(srcx + srcw) * surface->uScale;
    const float v1 = static_cast<float>(srcy + srch) * surface->vScale;
    v[0].u = u0, v[0].v = v0;
    v[1].u = u1, v[1].v = v0;
    v[2].u = u1, v[2].v = v1;
    v[3].u = u0, v[3].v = v1;
}

void gxtkGraphics::ReadPixels(std::span<int32_t> pixels, int x, int y, int w, int h, int offset,
                              int pitch) {
    Flush();
    if (!RowsFit(pixels.size(), w, h, offset, pitch)) return;
    if (static_cast<int64_t>(w) * h > kMaxSurfacePixels) return;
    // GL returns rows bottom-up; the caller wants the top row first.
    std::vector<int32_t> rows(static_cast<size_t>(w) * static_cast<size_t>(h));
    GlLayer& gl = bbGl();
    gl.ReadPixels(x, height - y - h, w, h, GL_BGRA, GL_UNSIGNED_BYTE, rows.data());
    for (int r = 0; r < h; ++r) {
        const int32_t* from = &rows[static_cast<size_t>(h - 1 - r) * w];
        std::memcpy(&pixels[offset + static_cast<ptrdiff_t>(r) * pitch], from,
                    static_cast<size_t>(w) * sizeof(int32_t));
    }
}

void gxtkGraphics::WritePixels2(const std::shared_ptr<gxtkSurface>& surface,
                                std::span<const int32_t> pixels, int x, int y, int w, int h,
                                int offset, int pitch) {
    if (!surface || surface->bytesPerPixel != 4) return;
    if (!RowsFit(pixels.size(), w, h, offset, pitch)) return;
    surface->SetSubData(x, y, w, h, reinterpret_cast<const uint32_t*>(pixels.data() + offset),
                        pitch);
}
