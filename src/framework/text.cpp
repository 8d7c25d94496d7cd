// text.cpp: bb_zolt_Text layout, the advance table, the button-glyph escape
// and the string helpers bb_zolt_Left, bb_zolt_Right and bb_zolt_rstr.
//
// Owns bb_zolt_ZOLT_Font and bb_zolt_ZOLT_FontKern. Glyphs are recorded with
// bb_zolt_DrawImg (draw.h); the escape reads the control method
// (controls.h) and the host clock for the blinking pad glyphs.
// bb_zolt_LoadFont is in replay.cpp with the other image loading.
#include "framework/text.h"
#include "framework/font_advance.h"

#include <algorithm>

#include "framework/controls.h"
#include "framework/draw.h"
#include "framework/state.h"

// Constants
constexpr int kKernFirstCode = 32;        // code of advance entry 0
constexpr int kKernLastCode = 141;        // highest code with an advance
constexpr int kFixedAdvance = 60;         // advance of every glyph of the fixed-pitch font
constexpr int kFixedMeasure = 64;         // measured width of a fixed-pitch glyph
constexpr int kEscapeMeasure = 30;        // measured width of an escape glyph
constexpr float kLineHeight = 44.0f;      // height of one text line in font pixels
constexpr int kCullMargin = 128;          // glyphs this far off screen still draw
constexpr int kBlinkPeriodMs = 500;       // pad glyphs blink once per period
constexpr int kBlinkOnMs = 199;           // ... showing the pressed glyph up to here
constexpr int kKeyboardGlyphOffset = 16;  // keyboard glyphs follow the pad glyphs
constexpr int kRstrPadRepeats = 24;       // copies of the pad in front of the text

// Types
struct EscapeGlyph {
    char16_t letter;
    int frame;       // pad glyph
    int blinkFrame;  // pressed pad glyph
};

constexpr EscapeGlyph kEscapeGlyphs[] = {
    {u'J', 96, 109},  {u'K', 97, 109},  {u'L', 98, 109},  {u'I', 99, 109},  {u'U', 100, 110},
    {u'O', 101, 110}, {u'Q', 102, 102}, {u'E', 103, 103}, {u'F', 104, 104}, {u'W', 105, 104},
    {u'S', 106, 104}, {u'A', 107, 104}, {u'D', 108, 104},
};

// Globals
int32_t bb_zolt_ZOLT_Font;
int32_t bb_zolt_ZOLT_FontKern[kZoltKernEntries];

// Internal helpers

int KernFor(int code) { return bbZoltFontAdvance(code); }

static int Advance(int code) {
    if (bb_zolt_ZOLT_Font == kZoltFixedPitchFont) return kFixedAdvance;
    if (code < kKernFirstCode || code > kKernLastCode) return 0;
    return bb_zolt_ZOLT_FontKern[code - kKernFirstCode];
}

// Frame of the escape glyph for letter L under the current control method.
static int EscapeFrame(char16_t letter) {
    for (const EscapeGlyph& glyph : kEscapeGlyphs) {
        if (glyph.letter != letter) continue;
        if (bb_zolt_KeyPadMouse == 0) return glyph.frame + kKeyboardGlyphOffset;
        const bool blink =
            bb_zolt_KeyPadMouse == 1 && bbZoltMillisecs() % kBlinkPeriodMs <= kBlinkOnMs;
        return blink ? glyph.blinkFrame : glyph.frame;
    }
    return letter;
}

// The text with a space in front, without building it.
struct SpacedText {
    std::u16string_view text;
    int size() const { return static_cast<int>(text.size()) + 1; }
    char16_t operator[](int i) const { return i == 0 ? u' ' : text[i - 1]; }
};

static int MeasuredWidth(const SpacedText& s, float sx) {
    int width = 0;
    for (int i = 0; i < s.size() - 1; ++i) {
        float add;
        if (s[i] == kZoltEscape) {
            ++i;
            add = kEscapeMeasure * sx;
        } else if (bb_zolt_ZOLT_Font == kZoltFixedPitchFont) {
            add = kFixedMeasure * sx;
        } else {
            add = Advance(s[i]) * sx;
        }
        width = static_cast<int>(static_cast<float>(width) + add);
    }
    return width;
}

// Public operations

void bbInitZoltText() {
    bb_zolt_ZOLT_Font = 0;
    for (int i = 0; i < kZoltKernEntries; ++i) bb_zolt_ZOLT_FontKern[i] = KernFor(i + 32);
}

int bb_zolt_Text(float x, float y, std::u16string_view text, float alignX, float alignY,
                 float wavePhase, float waveAmp) {
    if (bb_zolt_ZOLT_Font == 0) return 0;
    const SpacedText s{text};
    const int length = s.size();
    const float* style = bb_zolt_ZOLT_DrawStyle;
    const float sx = style[4];
    const float sy = style[5];
    const int r = static_cast<int>(style[6]);
    const float fr = static_cast<float>(r);
    const float width = static_cast<float>(MeasuredWidth(s, sx));

    const float x0 = x + bbZoltSin(-90.0f - fr) * width * alignX * 0.5f;
    const float y0 = y - bbZoltCos(-90.0f - fr) * width * alignX * 0.5f;
    const float lineAlign = (alignY - 1.0f) * 0.5f;
    const float startX = x0 + lineAlign * kLineHeight * sx * bbZoltSin(-fr);
    const float startY = y0 - lineAlign * kLineHeight * sy * bbZoltCos(-fr);

    // The pen directions depend only on the rotation.
    const float alongX = bbZoltSin(90.0f - fr);
    const float alongY = bbZoltCos(90.0f - fr);
    const float downX = bbZoltSin(180.0f - fr);
    const float downY = bbZoltCos(180.0f - fr);
    const float margin = static_cast<float>(kCullMargin + bb_zolt_overscan);
    const float right = static_cast<float>(bb_zolt_jscrw) + margin;
    const float bottom = static_cast<float>(bb_zolt_jscrh) + margin;
    const int font = bb_zolt_ZOLT_Font;

    float px = startX;
    float py = startY;
    int lines = 0;
    int i = 0;
    while (i < length) {
        const char16_t c = s[i];
        int k = (font == kZoltFixedPitchFont) ? 32 : Advance(c) - 28;
        int frame = static_cast<int>(c) - 32;
        if (c == kZoltEscape) {
            // An escape at the very end has no letter: nothing to draw.
            if (i + 1 >= length) break;
            ++i;
            k = 28;
            frame = EscapeFrame(s[i]);
        }
        if (s[i] == u'\\' && i + 1 < length && s[i + 1] == u'n') {
            ++lines;
            i += 2;
            px = startX + downX * lines * (k + 28) * sy + alongX * (k + 44) * sx;
            py = startY - downY * lines * (k + 44) * sy;
            continue;
        }
        if (frame >= 1 && frame <= 127 && px > -margin && py > -margin && px < right &&
            py < bottom) {
            float glyphY = py;
            if (waveAmp > 0) glyphY += bbZoltSin(px * 0.5f + wavePhase) * waveAmp;
            if (font >= 1 && font <= 99) bb_zolt_DrawImg(font, px, glyphY, frame);
        }
        ++i;
        if (c == 0) continue;
        px += alongX * (k + 28) * sx;
        py -= alongY * (k + 21) * sx;
    }
    return static_cast<int>(px);
}

String bb_zolt_Left(const String& s, int n) {
    const int length = static_cast<int>(s.size());
    const int count = n < 0 ? length + n : std::min(n, length);
    if (count <= 0) return String();
    return s.substr(0, count);
}

String bb_zolt_Right(const String& s, int n) {
    const int length = static_cast<int>(s.size());
    if (n == 0) return s;
    if (n < 0) return -n >= length ? String() : s.substr(-n);
    return s.substr(length - std::min(n, length));
}

String bb_zolt_rstr(const String& s, int n, const String& pad) {
    String joined;
    joined.reserve(pad.size() * kRstrPadRepeats + s.size());
    for (int i = 0; i < kRstrPadRepeats; ++i) joined += pad;
    joined += s;
    const int length = static_cast<int>(joined.size());
    const int count = std::min(n, length);
    if (count <= 0) return String();
    return joined.substr(length - count);
}
