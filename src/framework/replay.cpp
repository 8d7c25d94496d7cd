// replay.cpp: the render side of the framework: fitting the virtual screen
// to the window, the background, the base matrix, the replay of the
// committed draw list, the window/full-screen switch, and loading images and
// fonts into the image bank.
//
// The one file of the framework that talks to the drawing context
// (render/context.h); it reads the device size and switches the window
// through the application layer (host/app.h).
#include <algorithm>
#include <cmath>

#include "framework/draw.h"
#include "framework/state.h"
#include "framework/text.h"
#include "host/app.h"
#include "render/context.h"

// Constants
constexpr int kFrameCountSlots = 100;      // slots whose frame counts a render fixes
constexpr float kBackgroundBleed = 128;    // background fill reaches past the window
constexpr int kOverscanSetting = 21;       // settings entry of the overscan 0..10
constexpr float kOverscanShrink = 101.0f;  // shrink per two steps of overscan
constexpr float kOverscanShift = 10.0f;    // virtual units moved per step of overscan
constexpr float kCameraEasing = 0.125f;    // share of the camera gap closed per render
constexpr int kWindowedWidth = 640;        // window of the windowed mode
constexpr int kWindowedHeight = 480;
constexpr int kFlagsFullscreen = 1;  // window flags of the host
constexpr int kFlagsWindowed = 6;
constexpr int kFontFrameSide = 64;  // pixels of one font glyph
constexpr int kFontFrames = 128;    // glyphs of a font

// Internal helpers

static void CountRender() {
    float* data = bb_zolt_ZOLT_Data;
    data[49] += 1;
    data[9] += 1;
    const int now = bbZoltMillisecs();
    if (std::abs(now - static_cast<int>(data[7])) >= 1000) {
        data[2] = data[9];
        data[9] = 0;
        data[7] = static_cast<float>(bbZoltMillisecs());
    }
}

// Fits the virtual screen to a w x h window and returns the window's aspect
// ratio. The scale and both quotients stay in extended precision up to the
// truncation, so 1920 x 1080 gives 799 x 449. A window of no pixels (the game
// minimised) keeps the previous fit.
static float FitVirtualScreen(int w, int h) {
    if (w <= 0 || h <= 0 || bb_zolt_ZOLT_TargetSize <= 0) {
        return static_cast<float>(bb_zolt_jscrh) / static_cast<float>(std::max(1, bb_zolt_jscrw));
    }
    const long double target = bb_zolt_ZOLT_TargetSize;
    const long double scale =
        std::max(static_cast<long double>(h) / target, static_cast<long double>(w) / target);
    bb_zolt_ZOLT_Scale = static_cast<float>(scale);
    bb_zolt_jscrw = static_cast<int32_t>(static_cast<long double>(w) / scale);
    bb_zolt_jscrh = static_cast<int32_t>(static_cast<long double>(h) / scale);
    return static_cast<float>(h) / static_cast<float>(w);
}

static void FillBackground(int w, int h) {
    const float* style = bb_zolt_ZOLT_DrawStyle;
    if (bb_zolt_ZOLT_Paused == 1) {
        bb_graphics_SetColor(0, 0, 0);
        bb_graphics_SetAlpha(1);
    } else {
        bb_graphics_SetColor(style[11], style[12], style[13]);
        bb_graphics_SetAlpha(style[14]);
    }
    bb_graphics_DrawRect(-kBackgroundBleed, -kBackgroundBleed,
                         static_cast<float>(w) + 2 * kBackgroundBleed,
                         static_cast<float>(h) + 2 * kBackgroundBleed);
}

static void SetBaseMatrix(float aspect) {
    const int o = bb_zolt_ZOLT_Set[kOverscanSetting];
    const float k = (1.0f - 2.0f * static_cast<float>(o) / kOverscanShrink) * bb_zolt_ZOLT_Scale;
    bb_graphics_SetMatrix(k, 0, 0, k, 0, 0);
    bb_graphics_Transform(1, 0, 0, 1, kOverscanShift * o, kOverscanShift * o * aspect);
}

static void ReplayImage(const float* record) {
    const float slot = std::floor(record[10]);
    if (!(slot >= 0 && slot < kZoltImageSlots)) return;
    const std::shared_ptr<c_Image>& image = bb_zolt_ZOLT_Img[static_cast<int>(slot)];
    if (!image) return;
    const float frame = std::floor(record[13]);
    if (!(frame >= 0 && frame < static_cast<float>(image->p_Frames()))) return;
    bb_graphics_DrawImage2(image, record[11], record[12], record[6], record[4], record[5],
                           static_cast<int>(frame));
}

static void ReplayRecord(const float* record) {
    bb_graphics_SetAlpha(record[0]);
    bb_graphics_SetColor(record[1], record[2], record[3]);
    const float command = record[9];
    if (command == kZoltCmdImage) {
        ReplayImage(record);
    } else if (command == kZoltCmdRect) {
        bb_graphics_DrawRect(record[11], record[12], record[13], record[14]);
    } else if (command == kZoltCmdTriangle) {
        bb_graphics_DrawPoly(std::span<const float>(record + 11, 6));
    } else if (command == kZoltCmdLine) {
        bb_graphics_DrawLine(record[11], record[12], record[13], record[14]);
    } else if (command == kZoltCmdStyle) {
        // Skew x feeds the c component and skew y the b component.
        bb_graphics_SetMatrix(bb_zolt_ZOLT_Scale, record[8], record[7], bb_zolt_ZOLT_Scale, 0, 0);
    }
}

// Public operations

void bb_zolt_RenderWorld() {
    bb_zolt_ZOLT_Orientation = bb_zolt_jscrw < bb_zolt_jscrh ? 1 : 0;
    for (int slot = 0; slot < kFrameCountSlots; ++slot) {
        if (bb_zolt_ZOLT_ImgD[slot] <= 0) bb_zolt_ZOLT_ImgD[slot] = 1;
    }
    bb_zolt_Bufferup = std::clamp(bb_zolt_Bufferup, 0, kZoltMaxReplay);
    CountRender();

    const int w = bb_app__devWidth;
    const int h = bb_app__devHeight;
    bb_zolt_RealW = bb_zolt_WRealW = w;
    bb_zolt_RealH = bb_zolt_WRealH = h;
    const float aspect = FitVirtualScreen(w, h);

    FillBackground(w, h);
    SetBaseMatrix(aspect);
    bb_graphics_SetBlend(0);
    for (int n = 0; n < bb_zolt_Bufferup; ++n) {
        ReplayRecord(bb_zolt_ZOLT_Buffer + kZoltRecordFloats * n);
    }
    bb_zolt_ResetDraw();
    bb_zolt_ZOLT_Data[3] = static_cast<float>(bb_zolt_Bufferup);

    bb_zolt_ZOLT_ScrollX = (bb_zolt_scrx - bb_zolt_aimx) * kCameraEasing;
    bb_zolt_scrx -= bb_zolt_ZOLT_ScrollX;
    bb_zolt_ZOLT_ScrollY = (bb_zolt_scry - bb_zolt_aimy) * kCameraEasing;
    bb_zolt_scry -= bb_zolt_ZOLT_ScrollY;
}

void bb_zolt_FullscreenFlip() {
    bb_zolt_ZOLT_Fullscreen = 1 - bb_zolt_ZOLT_Fullscreen;
    if (!bb_app__game) return;
    if (bb_zolt_ZOLT_Fullscreen == 1) {
        const int w = bb_app__desktopMode ? bb_app__desktopMode->p_Width() : bb_app__devWidth;
        const int h = bb_app__desktopMode ? bb_app__desktopMode->p_Height() : bb_app__devHeight;
        bb_app__game->SetDeviceWindow(w, h, kFlagsFullscreen);
    } else {
        bb_app__game->SetDeviceWindow(kWindowedWidth, kWindowedHeight, kFlagsWindowed);
    }
    bb_app_ValidateDeviceWindow(false);
}

void bb_zolt_LoadImg(int slot, const String& name, float frameWidth, float frameHeight,
                     int frameCount) {
    if (slot < 0 || slot >= kZoltImageSlots) return;
    bb_zolt_ZOLT_ImgD[slot] = frameCount;
    bb_zolt_ZOLT_ImgW[slot] = frameWidth;
    bb_zolt_ZOLT_ImgH[slot] = frameHeight;
    bb_zolt_ZOLT_Img[slot] =
        bb_graphics_LoadImage2(bbZoltImagePath(slot, name), static_cast<int>(frameWidth),
                               static_cast<int>(frameHeight), frameCount, c_Image::CentreHandle);
}

void bb_zolt_LoadFont(int slot, const String& name) {
    if (slot < 0 || slot >= kZoltImageSlots) return;
    bb_zolt_ZOLT_Img[slot] =
        bb_graphics_LoadImage2(bbZoltImagePath(slot, name), kFontFrameSide, kFontFrameSide,
                               kFontFrames, c_Image::CentreHandle);
    bb_zolt_ZOLT_ImgD[slot] = kFontFrames;
    bb_zolt_ZOLT_Font = slot;
}
