// draw.h: drawing helpers and the image bank.
//
// Screens call these during the update: the style setters change
// bb_zolt_ZOLT_DrawStyle, the recording calls append one draw record each to
// the list being recorded (state.h). Nothing is drawn until the render
// replays the committed list. Every record copies style entries 0..8 as they
// are at the time of the call.
//
// The image bank is 150 numbered slots: 1..69 this game's images (loaded
// from the game's folder), 70..99 the framework's shared images and fonts
// ("common/"); only 1..99 can be drawn. Every bank image has its handle at
// the centre of its frame.
//
// Failure: a missing image file leaves a null slot, whose records draw
// nothing; calls beyond the list's capacity are dropped; colours and alpha
// are clamped; out-of-range slots are ignored.
#pragma once

#include <cstdint>
#include <memory>

#include "framework/state.h"

class c_Image;

// Constants
constexpr int kZoltImageSlots = 150;       // slots of the image bank
constexpr int kZoltFirstDrawSlot = 1;      // lowest slot bb_zolt_DrawImg draws
constexpr int kZoltLastDrawSlot = 99;      // highest slot bb_zolt_DrawImg draws
constexpr int kZoltFirstCommonSlot = 70;   // slots from here load from "common/"
constexpr float kZoltKeepAlpha = -100.0f;  // bb_zolt_SetCol: keep the current alpha

// Image bank.
extern std::shared_ptr<c_Image> bb_zolt_ZOLT_Img[kZoltImageSlots];
extern float bb_zolt_ZOLT_ImgW[kZoltImageSlots];
extern float bb_zolt_ZOLT_ImgH[kZoltImageSlots];
extern int32_t bb_zolt_ZOLT_ImgD[kZoltImageSlots];

// Gives the image bank its initial (empty) state.
void bbInitZoltDraw();

// Bank path of an image or font name: "common/<name>.png" above slot 69,
// else "<game number>/<name>.png".
String bbZoltImagePath(int slot, const String& name);

// Style setters.
void bb_zolt_SetCol(float r, float g, float b, float a = kZoltKeepAlpha);
void bb_zolt_Alpha(float a);
void bb_zolt_SetRot(float angle);
void bb_zolt_Ink(int index, float brightness = 1.0f);
void bb_zolt_InkRot(float hue, float amount = 1.0f, float level = 1.0f);
void bb_zolt_BGRot(float hue, float amount = 1.0f, float level = 1.0f);
void bb_zolt_SetSkew(float x, float y);

// Recording calls.
void bb_zolt_DrawImg(int slot, float x, float y, int frame = 0);
void bb_zolt_Rect(float x, float y, float w, float h, float alignX = 0, float alignY = 0);
void bb_zolt_Line(float x1, float y1, float x2, float y2);
void bb_zolt_Triangle(float x1, float y1, float x2, float y2, float x3, float y3);

// Images.
void bb_zolt_LoadImg(int slot, const String& name, float frameWidth, float frameHeight,
                     int frameCount);
