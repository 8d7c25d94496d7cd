// text.h: bitmap-font text and small fixed-width string helpers.
//
// A font is an image-bank slot of 128 frames of 64x64 pixels; frame n shows
// the character of code n + 32, and frames 96..124 hold controller-button
// glyphs. bb_zolt_Text records one image record per visible character,
// laid out along the current rotation with per-character advances from
// bb_zolt_ZOLT_FontKern, alignment, an optional sine wave, culling outside the
// virtual screen, the two-character line break "\n" and the escape code 172
// followed by a letter, which shows the button glyph of the current control
// method.
//
// Failure: with no font loaded nothing is recorded and 0 is returned.
#pragma once

#include <cstdint>
#include <string_view>

#include "host/text.h"

// Constants
constexpr int kZoltKernEntries = 112;    // advance widths of codes 32..143
constexpr char16_t kZoltEscape = 172;    // escape code: the next letter picks a button glyph
constexpr int kZoltFixedPitchFont = 65;  // slot drawn with fixed advances

extern int32_t bb_zolt_ZOLT_Font;
extern int32_t bb_zolt_ZOLT_FontKern[kZoltKernEntries];

// Gives the text globals their initial values (no font, the advance table).
void bbInitZoltText();

// Records the text (a space is put in front of it) and returns the x position
// after the last character, truncated.
int bb_zolt_Text(float x, float y, std::u16string_view text, float alignX = 0, float alignY = 0,
                 float wavePhase = 0, float waveAmp = 0);

// Loads a 128-glyph font into the slot and makes it the current font.
void bb_zolt_LoadFont(int slot, const String& name);

String bb_zolt_Left(const String& s, int n);
String bb_zolt_Right(const String& s, int n);
String bb_zolt_rstr(const String& s, int n, const String& pad);
