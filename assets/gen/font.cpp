// font.cpp: the game font "bandwidth", 128 white glyphs of 64 x 64.
//
// Owns MakeFont and FontAdvance. Frame n is the character of code n + 32.
// The text layout puts each glyph's cell centre on the pen and then moves the
// pen by the character's advance, so a character's advance box runs from
// cell x kBoxLeft to kBoxLeft + advance; each glyph is centred in its own box
// (a 22-unit glyph is therefore centred in its cell) and squeezed to fit it,
// which keeps the gaps between neighbours even. Lines are 44 units apart, so
// the baseline sits 15 pixels below the cell centre. Frames 96..124 are the
// controller-button glyphs (pad forms 96..110, keyboard keys 112..124) that the
// text escape selects. Depends on the bold face given by main.
#include <algorithm>
#include <cmath>

#include "art.h"
#include "framework/font_advance.h"

namespace gen {

namespace {

constexpr int kCell = 64;     // frame size
constexpr int kColumns = 16;  // frames per row of the sheet
constexpr int kFrames = 128;
constexpr float kEm = 40.0f;       // em size in pixels: cap height ~29 of a 44-pixel line
constexpr int kBaseline = 47;      // baseline row inside the cell
constexpr float kBoxLeft = 21.0f;  // cell x where a character's advance box starts
constexpr float kSideGap = 1.0f;   // minimum empty pixels on each side of the ink
constexpr float kNarrow = 0.80f;   // overall horizontal squeeze of the face

constexpr int kPadFirst = 96;   // first button glyph frame
constexpr int kKeyOffset = 16;  // keyboard forms sit this many frames higher

// The glyph letters of the escape, in frame order from 96.
constexpr char kButtonLetters[] = "JKLIUOQEFWSAD";

Canvas GlyphCell(const TypeFace& face, int code) {
    Canvas cell(kCell, kCell);
    float budget = FontAdvance(code) - 2 * kSideGap;
    Mask m = face.Glyph(code, kEm, kNarrow);
    int x0, y0, x1, y1;
    m.InkBox(x0, y0, x1, y1);
    if (x1 < x0) return cell;
    float inkW = float(x1 - x0 + 1);
    if (inkW > budget) {
        // Re-rasterise narrower; one pixel more of squeeze covers rounding.
        float scale = kNarrow * (budget - 1) / inkW;
        m = face.Glyph(code, kEm, scale);
        m.InkBox(x0, y0, x1, y1);
        inkW = float(x1 - x0 + 1);
    }
    float boxCentre = kBoxLeft + FontAdvance(code) * 0.5f;
    float left = std::round(boxCentre - inkW * 0.5f);
    PaintMask(cell, m, left - x0, kBaseline - m.baseline, kWhite);
    return cell;
}

// --- Button glyphs ----------------------------------------------------------

constexpr Color kShade{0, 0, 0, 0.55f};  // dark fill behind white marks
constexpr float kMid = kCell * 0.5f;

void FaceButtons(Canvas& c, int active) {
    // Diamond of four buttons: 0 bottom, 1 right, 2 left, 3 top; -1 none lit.
    const float off[4][2] = {{0, 13}, {13, 0}, {-13, 0}, {0, -13}};
    FillSdf(c, Circle(kMid, kMid, 23), kShade);
    for (int i = 0; i < 4; ++i) {
        float x = kMid + off[i][0], y = kMid + off[i][1];
        if (i == active) {
            FillSdf(c, Circle(x, y, 8.5f), kWhite);
        } else {
            StrokeSdf(c, Circle(x, y, 5.5f), 1.0f, WithAlpha(kWhite, 0.85f));
        }
    }
    StrokeSdf(c, Circle(kMid, kMid, 23), 1.2f, kWhite);
}

void Shoulder(Canvas& c, const TypeFace& face, const char* label, bool right, bool trigger,
              bool pressed) {
    float dy = pressed ? 4.0f : 0.0f;
    Sdf shape = trigger ? Box(kMid, kMid + 2 + dy, 12, 17, 8) : Box(kMid, kMid + dy, 22, 10, 9);
    if (!trigger) {
        // Bumpers lean toward their side of the pad.
        shape = Rotated(shape, kMid, kMid, right ? 8.0f : -8.0f);
    }
    FillSdf(c, shape, pressed ? WithAlpha(kWhite, 0.9f) : kShade);
    StrokeSdf(c, shape, 1.3f, kWhite);
    if (label && !pressed) Label(c, face, label, kMid, kMid + (trigger ? 2 : 0), 19, kWhite);
}

void Stick(Canvas& c, int direction) {
    // direction: -1 centred, 0 up, 1 down, 2 left, 3 right.
    const float dir[4][2] = {{0, -1}, {0, 1}, {-1, 0}, {1, 0}};
    FillSdf(c, Circle(kMid, kMid, 17), kShade);
    StrokeSdf(c, Circle(kMid, kMid, 17), 1.3f, kWhite);
    float kx = 0, ky = 0;
    if (direction >= 0) {
        kx = dir[direction][0], ky = dir[direction][1];
        // Arrowhead just outside the ring.
        float tx = kMid + kx * 29, ty = kMid + ky * 29;
        float bx = kMid + kx * 21, by = kMid + ky * 21;
        float px = -ky * 7, py = kx * 7;
        FillSdf(c, Polygon({tx, ty, bx + px, by + py, bx - px, by - py}), kWhite);
    }
    FillSdf(c, Circle(kMid + kx * 7, kMid + ky * 7, 9), kWhite);
    FillSdf(c, Circle(kMid + kx * 7, kMid + ky * 7, 4), WithAlpha(kBlack, 0.35f));
}

void Keycap(Canvas& c, const TypeFace& face, char letter) {
    Sdf cap = Box(kMid, kMid - 1, 18, 17, 5);
    Sdf lip = Box(kMid, kMid + 3, 18, 17, 5);
    FillSdf(c, lip, WithAlpha(kWhite, 0.7f));
    FillSdf(c, cap, Rgb(30, 30, 30, 0.85f));
    StrokeSdf(c, cap, 1.2f, kWhite);
    Label(c, face, std::string(1, letter), kMid, kMid - 2, 30, kWhite);
}

Canvas ButtonGlyph(const TypeFace& face, int frame) {
    Canvas c(kCell, kCell);
    int keyIndex = frame - kPadFirst - kKeyOffset;
    if (keyIndex >= 0 && keyIndex < int(sizeof kButtonLetters) - 1) {
        Keycap(c, face, kButtonLetters[keyIndex]);
        return c;
    }
    switch (frame) {
        case 96:
            FaceButtons(c, 0);
            break;  // J: action 1, bottom button
        case 97:
            FaceButtons(c, 1);
            break;  // K: action 2, right button
        case 98:
            FaceButtons(c, 2);
            break;  // L: action 3, left button
        case 99:
            FaceButtons(c, 3);
            break;  // I: action 4, top button
        case 100:
            Shoulder(c, face, "L", false, false, false);
            break;  // U
        case 101:
            Shoulder(c, face, "R", true, false, false);
            break;  // O
        case 102:
            Shoulder(c, face, "L", false, true, false);
            break;  // Q
        case 103:
            Shoulder(c, face, "R", true, true, false);
            break;  // E
        case 104:
            Stick(c, -1);
            break;  // F: the stick at rest
        case 105:
            Stick(c, 0);
            break;  // W
        case 106:
            Stick(c, 1);
            break;  // S
        case 107:
            Stick(c, 2);
            break;  // A
        case 108:
            Stick(c, 3);
            break;  // D
        case 109:
            FaceButtons(c, -1);
            break;  // a face button pressed
        case 110:
            Shoulder(c, face, nullptr, false, false, true);
            break;  // a bumper pressed
        default:
            break;
    }
    return c;
}

}  // namespace

int FontAdvance(int code) { return bbZoltFontAdvance(code); }

bool MakeFont(const Context& ctx, Catalogue& cat) {
    Sheet sheet(kCell, kCell, kFrames, kColumns);
    for (int frame = 1; frame < kFrames; ++frame) {
        int code = frame + 32;
        if (code <= 126) {
            sheet.Put(frame, GlyphCell(ctx.sans, code));
        } else if (frame >= kPadFirst) {
            sheet.Put(frame, ButtonGlyph(ctx.sans, frame));
        }
    }
    return Publish(ctx, cat, "common/bandwidth.png", sheet);
}

}  // namespace gen
