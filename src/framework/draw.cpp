// draw.cpp: style setters, palette inks, the hue wheel, the recording calls
// and the image bank.
//
// Owns the image bank globals of draw.h. Records go into the list of
// state.h. Loading the bank's images is in replay.cpp, next to the other
// calls into the drawing context.
#include "framework/draw.h"

#include <algorithm>

// Constants
constexpr float kPaletteGrey = 0.3f;  // factor of an unknown palette index

// Types
struct InkFactors {
    float r, g, b;
};

// Palette of bb_zolt_Ink, indices 1..9.
constexpr InkFactors kPalette[10] = {
    {kPaletteGrey, kPaletteGrey, kPaletteGrey},
    {1.0f, 0.1f, 0.1f},  // red
    {1.0f, 0.5f, 0.1f},  // orange
    {1.0f, 1.0f, 0.1f},  // yellow
    {0.1f, 1.0f, 0.1f},  // green
    {0.1f, 1.0f, 1.0f},  // cyan
    {0.1f, 0.1f, 1.0f},  // blue
    {0.5f, 0.1f, 1.0f},  // purple
    {1.0f, 0.1f, 0.5f},  // pink
    {1.0f, 1.0f, 1.0f},  // white
};

// Globals
std::shared_ptr<c_Image> bb_zolt_ZOLT_Img[kZoltImageSlots];
float bb_zolt_ZOLT_ImgW[kZoltImageSlots];
float bb_zolt_ZOLT_ImgH[kZoltImageSlots];
int32_t bb_zolt_ZOLT_ImgD[kZoltImageSlots];

// Internal helpers

static float ClampColor(float v) {
    return std::clamp(v, 0.0f, 255.0f);
}
static float ClampAlpha(float a) {
    return std::clamp(a, 0.0f, 1.0f);
}

// Hue wheel colour into three consecutive style entries.
static void HueInto(float* rgb, float hue, float amount, float level) {
    const float s = amount * 0.5f;
    const float l = level - 1.0f;
    rgb[0] = ClampColor((bbZoltCos(hue) * s + 0.5f + l) * 255.0f);
    rgb[1] = ClampColor((bbZoltCos(hue + 120.0f) * s + 0.5f + l) * 255.0f);
    rgb[2] = ClampColor((bbZoltCos(hue + 240.0f) * s + 0.5f + l) * 255.0f);
}

// Public operations

void bbInitZoltDraw() {
    for (auto& image : bb_zolt_ZOLT_Img) image.reset();
    std::fill(std::begin(bb_zolt_ZOLT_ImgW), std::end(bb_zolt_ZOLT_ImgW), 0.0f);
    std::fill(std::begin(bb_zolt_ZOLT_ImgH), std::end(bb_zolt_ZOLT_ImgH), 0.0f);
    std::fill(std::begin(bb_zolt_ZOLT_ImgD), std::end(bb_zolt_ZOLT_ImgD), 0);
}

String bbZoltImagePath(int slot, const String& name) {
    if (slot >= kZoltFirstCommonSlot) return u"common/" + name + u".png";
    return bbStringFromInt(bb_zolt_ZOLT_GameNum) + u"/" + name + u".png";
}

void bb_zolt_SetCol(float r, float g, float b, float a) {
    float* style = bb_zolt_ZOLT_DrawStyle;
    style[1] = ClampColor(r);
    style[2] = ClampColor(g);
    style[3] = ClampColor(b);
    if (a != kZoltKeepAlpha) style[0] = ClampAlpha(a);
}

void bb_zolt_Alpha(float a) {
    bb_zolt_ZOLT_DrawStyle[0] = ClampAlpha(a);
}

void bb_zolt_SetRot(float angle) {
    bb_zolt_ZOLT_DrawStyle[6] = angle;
}

void bb_zolt_Ink(int index, float brightness) {
    const InkFactors& f = kPalette[(index >= 1 && index <= 9) ? index : 0];
    bb_zolt_ZOLT_DrawStyle[1] = ClampColor(f.r * brightness * 255.0f);
    bb_zolt_ZOLT_DrawStyle[2] = ClampColor(f.g * brightness * 255.0f);
    bb_zolt_ZOLT_DrawStyle[3] = ClampColor(f.b * brightness * 255.0f);
}

void bb_zolt_InkRot(float hue, float amount, float level) {
    HueInto(bb_zolt_ZOLT_DrawStyle + 1, hue, amount, level);
}

void bb_zolt_BGRot(float hue, float amount, float level) {
    HueInto(bb_zolt_ZOLT_DrawStyle + 15, hue, amount, level);
    bb_zolt_ZOLT_DrawStyle[14] = 1;
}

void bb_zolt_SetSkew(float x, float y) {
    bb_zolt_ZOLT_DrawStyle[7] = x;
    bb_zolt_ZOLT_DrawStyle[8] = y;
    bbZoltAddRecord(kZoltCmdStyle);
}

void bb_zolt_DrawImg(int slot, float x, float y, int frame) {
    if (slot < kZoltFirstDrawSlot || slot > kZoltLastDrawSlot) return;
    float* record = bbZoltAddRecord(kZoltCmdImage);
    if (!record) return;
    // A count below 1 (before the first render fixes it) counts as 1, and a
    // negative frame still lands on a frame of the slot.
    const int count = std::max(1, bb_zolt_ZOLT_ImgD[slot]);
    int reduced = frame % count;
    if (reduced < 0) reduced += count;
    record[10] = static_cast<float>(slot);
    record[11] = x;
    record[12] = y;
    record[13] = static_cast<float>(reduced);
}

void bb_zolt_Rect(float x, float y, float w, float h, float alignX, float alignY) {
    float* record = bbZoltAddRecord(kZoltCmdRect);
    if (!record) return;
    record[11] = x - w * alignX * 0.5f;
    record[12] = y - h * alignY * 0.5f;
    record[13] = w;
    record[14] = h;
}

void bb_zolt_Line(float x1, float y1, float x2, float y2) {
    float* record = bbZoltAddRecord(kZoltCmdLine);
    if (!record) return;
    record[11] = x1;
    record[12] = y1;
    record[13] = x2;
    record[14] = y2;
}

void bb_zolt_Triangle(float x1, float y1, float x2, float y2, float x3, float y3) {
    float* record = bbZoltAddRecord(kZoltCmdTriangle);
    if (!record) return;
    record[11] = x1;
    record[12] = y1;
    record[13] = x2;
    record[14] = y2;
    record[15] = x3;
    record[16] = y3;
}
