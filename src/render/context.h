// context.h: the drawing context (c_GraphicsContext) and the bb_graphics_ functions.
//
// The one drawing interface of the program above the renderer: a 2D matrix
// with a push/pop stack, colour, alpha, blend mode, scissor and font, stored in
// bb_graphics_context and forwarded to the renderer registered with
// bb_graphics_SetGraphicsDevice. Matrix operations only touch the context; the
// matrix reaches the renderer lazily, when something is drawn after a change.
//
// Use:
//   bbInitRender();                               // at start-up: clean globals
//   bb_graphics_SetGraphicsDevice(&renderer);     // once, when the game starts
//   per frame: renderer.BeginRender(); bb_graphics_BeginRender();
//              ... bb_graphics_SetColor / Translate / DrawImage2 ...
//              bb_graphics_EndRender(); renderer.EndRender();
// State and draw calls made outside a frame are stored but not drawn.
//
// Angles are degrees (converted with D2R in single precision); with y pointing
// down a positive angle turns counter-clockwise on screen. Colours 0..255,
// alpha 0..1, not clamped here.
#pragma once

#include <memory>
#include <span>
#include <vector>

#include "host/text.h"
#include "render/graphics.h"
#include "render/image.h"

constexpr float D2R = 0.0174532924f;         // degrees to radians, single precision
constexpr int kMatrixStackInitial = 32 * 6;  // floats: 32 saved matrices before growing

class c_GraphicsContext {
  public:
    virtual ~c_GraphicsContext() = default;

    // Hands the matrix to the renderer when it changed since the last draw.
    void p_Validate();

    std::shared_ptr<c_Image> builtinFont;
    std::shared_ptr<c_Image> currentFont;
    int32_t fontFirstChar = 0;
    int32_t matrixStackTop = 0;
    float a = 1, b = 0, c = 0, d = 1, tx = 0, ty = 0;
    int32_t transformed = 0;
    int32_t matrixDirty = 0;
    float colorRed = 0, colorGreen = 0, colorBlue = 0;
    float colorAlpha = 0;
    int32_t blendMode = 0;
    float scissorX = 0, scissorY = 0, scissorWidth = 0, scissorHeight = 0;
    std::vector<float> matrixStack = std::vector<float>(kMatrixStackInitial, 0.0f);
};

// Globals
extern gxtkGraphics* bb_graphics_device;        // registered renderer, null at start
extern gxtkGraphics* bb_graphics_renderDevice;  // the renderer while a frame is open
extern c_GraphicsContext* bb_graphics_context;  // the one drawing context

// Gives the globals above their initial values (a fresh context, no device).
void bbInitRender();

// Frame bracket and device
void bb_graphics_SetGraphicsDevice(gxtkGraphics* device);
void bb_graphics_BeginRender();
void bb_graphics_EndRender();

// State (stored in the context, then forwarded to the renderer of the frame)
void bb_graphics_SetColor(float r, float g, float b);
void bb_graphics_SetAlpha(float alpha);
void bb_graphics_SetBlend(int mode);
void bb_graphics_SetScissor(float x, float y, float width, float height);

// Matrix (context only; arrays hold a, b, c, d, tx, ty)
void bb_graphics_SetMatrix(float a, float b, float c, float d, float tx, float ty);
void bb_graphics_SetMatrix2(std::span<const float> m);
std::vector<float> bb_graphics_GetMatrix();
void bb_graphics_GetMatrix2(std::span<float> m);
void bb_graphics_Transform(float a, float b, float c, float d, float tx, float ty);
void bb_graphics_Transform2(std::span<const float> m);
void bb_graphics_Translate(float x, float y);
void bb_graphics_Scale(float x, float y);
void bb_graphics_Rotate(float angle);
void bb_graphics_PushMatrix();
void bb_graphics_PopMatrix();

// Drawing (validates the matrix first)
void bb_graphics_DrawRect(float x, float y, float w, float h);
void bb_graphics_DrawOval(float x, float y, float w, float h);
void bb_graphics_DrawLine(float x1, float y1, float x2, float y2);
void bb_graphics_DrawPoly(std::span<const float> verts);
void bb_graphics_DrawPoly2(std::span<const float> verts, const std::shared_ptr<c_Image>& image,
                           int frame);
void bb_graphics_DrawImage(const std::shared_ptr<c_Image>& image, float x, float y, int frame);
void bb_graphics_DrawImage2(const std::shared_ptr<c_Image>& image, float x, float y, float rotation,
                            float scaleX, float scaleY, int frame);

// Images and fonts (null when the file is missing or undecodable)
std::shared_ptr<c_Image> bb_graphics_LoadImage(const String& path, int frameCount, int flags);
std::shared_ptr<c_Image> bb_graphics_LoadImage2(const String& path, int frameWidth, int frameHeight,
                                                int frameCount, int flags);
// Null selects the built-in font "kelo_font.png" (loaded once) with first character 32.
void bb_graphics_SetFont(const std::shared_ptr<c_Image>& font, int firstChar);
