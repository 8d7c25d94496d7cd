// context.cpp: c_GraphicsContext and the bb_graphics_ drawing interface.
//
// Owns bb_graphics_device, bb_graphics_renderDevice and bb_graphics_context
// (initialised by bbInitRender), the matrix with its growing stack, lazy
// matrix validation, image drawing about the handle, image loading and the
// font selection. Depends on the renderer (graphics.h), images (image.h), the
// host's data paths (bb_data_FixDataPath) and the validated device size
// (bb_app__devWidth, bb_app__devHeight).
#include "render/context.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "host/app.h"
#include "host/files.h"
#include "host/host.h"

namespace {

constexpr const char16_t* kBuiltinFontPath = u"kelo_font.png";
constexpr int kBuiltinFontFrames = 96;
constexpr int kBuiltinFontFirstChar = 32;
constexpr size_t kMatrixFloats = 6;

c_GraphicsContext* g_context = nullptr;  // owned; replaced by bbInitRender

void Recompute(c_GraphicsContext& ctx) {
    ctx.transformed =
        ctx.a != 1 || ctx.b != 0 || ctx.c != 0 || ctx.d != 1 || ctx.tx != 0 || ctx.ty != 0;
    ctx.matrixDirty = 1;
}

// Integer part of a float with a defined result for NaN and out-of-range values.
int TruncToInt(float value) {
    if (std::isnan(value)) return 0;
    if (value >= 2147483648.0f) return INT32_MAX;
    if (value < -2147483648.0f) return INT32_MIN;
    return static_cast<int>(value);
}

const c_Frame* FrameOf(const c_Image& image, int frame) {
    if (frame < 0 || static_cast<size_t>(frame) >= image.frames.size()) return nullptr;
    return &image.frames[static_cast<size_t>(frame)];
}

// Draws one frame at (x, y), which the caller has already moved by the handle.
void DrawFrame(const c_Image& image, const c_Frame& frame, float x, float y) {
    if (image.flags & c_Image::WholeSurface) {
        bb_graphics_renderDevice->DrawSurface(image.surface, x, y);
    } else {
        bb_graphics_renderDevice->DrawSurface2(image.surface, x, y, frame.x, frame.y, image.width,
                                               image.height);
    }
}

void RotationOf(float angle, float* cosine, float* sine) {
    const float theta = angle * D2R;
    *cosine = static_cast<float>(std::cos(static_cast<double>(theta)));
    *sine = static_cast<float>(std::sin(static_cast<double>(theta)));
}

}  // namespace

gxtkGraphics* bb_graphics_device = nullptr;
gxtkGraphics* bb_graphics_renderDevice = nullptr;
c_GraphicsContext* bb_graphics_context = nullptr;

void bbInitRender() {
    delete g_context;
    g_context = new c_GraphicsContext();
    bb_graphics_context = g_context;
    bb_graphics_device = nullptr;
    bb_graphics_renderDevice = nullptr;
}

void c_GraphicsContext::p_Validate() {
    if (!matrixDirty) return;
    if (bb_graphics_renderDevice) bb_graphics_renderDevice->SetMatrix(a, b, c, d, tx, ty);
    matrixDirty = 0;
}

// ---------------------------------------------------------------------------
// Frame bracket and state

void bb_graphics_SetGraphicsDevice(gxtkGraphics* device) {
    bb_graphics_device = device;
}

void bb_graphics_BeginRender() {
    bb_graphics_renderDevice = bb_graphics_device;
    c_GraphicsContext& ctx = *bb_graphics_context;
    ctx.matrixStackTop = 0;
    bb_graphics_SetMatrix(1, 0, 0, 1, 0, 0);
    bb_graphics_SetColor(255, 255, 255);
    bb_graphics_SetAlpha(1);
    bb_graphics_SetBlend(0);
    bb_graphics_SetScissor(0, 0, static_cast<float>(bb_app__devWidth),
                           static_cast<float>(bb_app__devHeight));
}

void bb_graphics_EndRender() {
    bb_graphics_renderDevice = nullptr;
}

void bb_graphics_SetColor(float r, float g, float b) {
    c_GraphicsContext& ctx = *bb_graphics_context;
    ctx.colorRed = r;
    ctx.colorGreen = g;
    ctx.colorBlue = b;
    if (bb_graphics_renderDevice) bb_graphics_renderDevice->SetColor(r, g, b);
}

void bb_graphics_SetAlpha(float alpha) {
    bb_graphics_context->colorAlpha = alpha;
    if (bb_graphics_renderDevice) bb_graphics_renderDevice->SetAlpha(alpha);
}

void bb_graphics_SetBlend(int mode) {
    bb_graphics_context->blendMode = mode;
    if (bb_graphics_renderDevice) bb_graphics_renderDevice->SetBlend(mode);
}

void bb_graphics_SetScissor(float x, float y, float width, float height) {
    c_GraphicsContext& ctx = *bb_graphics_context;
    ctx.scissorX = x;
    ctx.scissorY = y;
    ctx.scissorWidth = width;
    ctx.scissorHeight = height;
    if (bb_graphics_renderDevice)
        bb_graphics_renderDevice->SetScissor(TruncToInt(x), TruncToInt(y), TruncToInt(width),
                                             TruncToInt(height));
}

// ---------------------------------------------------------------------------
// Matrix

void bb_graphics_SetMatrix(float a, float b, float c, float d, float tx, float ty) {
    c_GraphicsContext& ctx = *bb_graphics_context;
    ctx.a = a;
    ctx.b = b;
    ctx.c = c;
    ctx.d = d;
    ctx.tx = tx;
    ctx.ty = ty;
    Recompute(ctx);
}

void bb_graphics_SetMatrix2(std::span<const float> m) {
    if (m.size() < kMatrixFloats) return;
    bb_graphics_SetMatrix(m[0], m[1], m[2], m[3], m[4], m[5]);
}

std::vector<float> bb_graphics_GetMatrix() {
    std::vector<float> m(kMatrixFloats);
    bb_graphics_GetMatrix2(m);
    return m;
}

void bb_graphics_GetMatrix2(std::span<float> m) {
    if (m.size() < kMatrixFloats) return;
    const c_GraphicsContext& ctx = *bb_graphics_context;
    m[0] = ctx.a;
    m[1] = ctx.b;
    m[2] = ctx.c;
    m[3] = ctx.d;
    m[4] = ctx.tx;
    m[5] = ctx.ty;
}

void bb_graphics_Transform(float ia, float ib, float ic, float id, float itx, float ity) {
    c_GraphicsContext& ctx = *bb_graphics_context;
    const float a = ia * ctx.a + ib * ctx.c;
    const float b = ia * ctx.b + ib * ctx.d;
    const float c = ic * ctx.a + id * ctx.c;
    const float d = ic * ctx.b + id * ctx.d;
    const float tx = itx * ctx.a + ity * ctx.c + ctx.tx;
    const float ty = itx * ctx.b + ity * ctx.d + ctx.ty;
    bb_graphics_SetMatrix(a, b, c, d, tx, ty);
}

void bb_graphics_Transform2(std::span<const float> m) {
    if (m.size() < kMatrixFloats) return;
    bb_graphics_Transform(m[0], m[1], m[2], m[3], m[4], m[5]);
}

void bb_graphics_Translate(float x, float y) {
    bb_graphics_Transform(1, 0, 0, 1, x, y);
}

void bb_graphics_Scale(float x, float y) {
    bb_graphics_Transform(x, 0, 0, y, 0, 0);
}

void bb_graphics_Rotate(float angle) {
    float cosine, sine;
    RotationOf(angle, &cosine, &sine);
    bb_graphics_Transform(cosine, -sine, sine, cosine, 0, 0);
}

void bb_graphics_PushMatrix() {
    c_GraphicsContext& ctx = *bb_graphics_context;
    std::vector<float>& stack = ctx.matrixStack;
    const size_t top = static_cast<size_t>(ctx.matrixStackTop);
    if (top + kMatrixFloats > stack.size()) stack.resize(std::max<size_t>(stack.size() * 2, 6));
    const float saved[kMatrixFloats] = {ctx.a, ctx.b, ctx.c, ctx.d, ctx.tx, ctx.ty};
    std::copy(saved, saved + kMatrixFloats, stack.begin() + static_cast<ptrdiff_t>(top));
    ctx.matrixStackTop += static_cast<int32_t>(kMatrixFloats);
}

void bb_graphics_PopMatrix() {
    c_GraphicsContext& ctx = *bb_graphics_context;
    // An unmatched pop keeps the stack empty rather than reading below it.
    if (ctx.matrixStackTop < static_cast<int32_t>(kMatrixFloats)) {
        ctx.matrixStackTop = 0;
        return;
    }
    ctx.matrixStackTop -= static_cast<int32_t>(kMatrixFloats);
    const float* m = &ctx.matrixStack[static_cast<size_t>(ctx.matrixStackTop)];
    bb_graphics_SetMatrix(m[0], m[1], m[2], m[3], m[4], m[5]);
}

// ---------------------------------------------------------------------------
// Drawing

void bb_graphics_DrawRect(float x, float y, float w, float h) {
    if (!bb_graphics_renderDevice) return;
    bb_graphics_context->p_Validate();
    bb_graphics_renderDevice->DrawRect(x, y, w, h);
}

void bb_graphics_DrawOval(float x, float y, float w, float h) {
    if (!bb_graphics_renderDevice) return;
    bb_graphics_context->p_Validate();
    bb_graphics_renderDevice->DrawOval(x, y, w, h);
}

void bb_graphics_DrawLine(float x1, float y1, float x2, float y2) {
    if (!bb_graphics_renderDevice) return;
    bb_graphics_context->p_Validate();
    bb_graphics_renderDevice->DrawLine(x1, y1, x2, y2);
}

void bb_graphics_DrawPoly(std::span<const float> verts) {
    if (!bb_graphics_renderDevice) return;
    bb_graphics_context->p_Validate();
    bb_graphics_renderDevice->DrawPoly(verts);
}

void bb_graphics_DrawPoly2(std::span<const float> verts, const std::shared_ptr<c_Image>& image,
                           int frame) {
    if (!bb_graphics_renderDevice || !image) return;
    const c_Frame* f = FrameOf(*image, frame);
    if (!f) return;
    bb_graphics_context->p_Validate();
    bb_graphics_renderDevice->DrawPoly2(verts, image->surface, f->x, f->y);
}

void bb_graphics_DrawImage(const std::shared_ptr<c_Image>& image, float x, float y, int frame) {
    if (!bb_graphics_renderDevice || !image) return;
    const c_Frame* f = FrameOf(*image, frame);
    if (!f) return;
    bb_graphics_context->p_Validate();
    DrawFrame(*image, *f, x - image->handleX, y - image->handleY);
}

void bb_graphics_DrawImage2(const std::shared_ptr<c_Image>& image, float x, float y, float rotation,
                            float scaleX, float scaleY, int frame) {
    if (!bb_graphics_renderDevice || !image) return;
    const c_Frame* f = FrameOf(*image, frame);
    if (!f) return;
    float cosine, sine;
    RotationOf(rotation, &cosine, &sine);
    bb_graphics_PushMatrix();
    bb_graphics_Transform(1, 0, 0, 1, x, y);
    bb_graphics_Transform(cosine, -sine, sine, cosine, 0, 0);
    bb_graphics_Transform(scaleX, 0, 0, scaleY, 0, 0);
    bb_graphics_Transform(1, 0, 0, 1, -image->handleX, -image->handleY);
    bb_graphics_context->p_Validate();
    DrawFrame(*image, *f, 0, 0);
    bb_graphics_PopMatrix();
}

// ---------------------------------------------------------------------------
// Images and fonts

std::shared_ptr<c_Image> bb_graphics_LoadImage(const String& path, int frameCount, int flags) {
    if (!bb_graphics_device) return nullptr;
    std::shared_ptr<gxtkSurface> surface =
        bb_graphics_device->LoadSurface(bb_data_FixDataPath(path));
    if (!surface) return nullptr;
    auto image = std::make_shared<c_Image>();
    image->p_Init(surface, frameCount, flags);
    return image;
}

std::shared_ptr<c_Image> bb_graphics_LoadImage2(const String& path, int frameWidth, int frameHeight,
                                                int frameCount, int flags) {
    if (!bb_graphics_device) return nullptr;
    std::shared_ptr<gxtkSurface> surface =
        bb_graphics_device->LoadSurface(bb_data_FixDataPath(path));
    if (!surface) return nullptr;
    auto image = std::make_shared<c_Image>();
    image->p_Init2(surface, 0, 0, frameWidth, frameHeight, frameCount, flags, nullptr, 0, 0,
                   surface->Width(), surface->Height());
    return image;
}

void bb_graphics_SetFont(const std::shared_ptr<c_Image>& font, int firstChar) {
    c_GraphicsContext& ctx = *bb_graphics_context;
    if (font) {
        ctx.currentFont = font;
        ctx.fontFirstChar = firstChar;
        return;
    }
    if (!ctx.builtinFont)
        ctx.builtinFont =
            bb_graphics_LoadImage(kBuiltinFontPath, kBuiltinFontFrames, c_Image::PadX);
    ctx.currentFont = ctx.builtinFont;
    ctx.fontFirstChar = kBuiltinFontFirstChar;
}
