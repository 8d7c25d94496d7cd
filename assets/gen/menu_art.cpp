// menu_art.cpp: the game's own big pictures, 512/logo.png and 512/menu.png.
//
// Owns MakeMenu. The title "Quorvane" is set in the bold face with a dark
// outline, a cream-to-gold fill and a small envelope. The menu sheet holds
// four 1024 x 1024 panels: 0 a backdrop that repeats every 1024 pixels across
// (play scrolls three copies of it side by side), 1 the bottom panel, 2 the
// left panel, 3 a soft spare glow; the menu slides 1 and 2 in over 0.
// Depends on canvas.h and type.h.
#include <cmath>

#include "art.h"

namespace gen {

namespace {

constexpr float kPi = 3.14159265f;
constexpr int kPanel = 1024;

const Color kNavy = Rgb(26, 34, 66);
const Color kDeepNavy = Rgb(14, 18, 38);
const Color kTeal = Rgb(36, 140, 150);
const Color kGold = Rgb(255, 198, 64);
const Color kCream = Rgb(250, 242, 220);
const Color kAmber = Rgb(232, 140, 40);

float Wrap(float x) {
    return x - kPanel * std::floor(x / kPanel);
}

// Horizontal distance on the 1024-pixel circle.
float WrapDx(float a, float b) {
    float d = std::fabs(Wrap(a) - Wrap(b));
    return std::min(d, kPanel - d);
}

// A hill line made of whole periods across the panel, so it wraps cleanly.
float Hills(float x, float base, float amp, int seed) {
    float t = x / kPanel * 2 * kPi, h = 0;
    for (int k = 1; k <= 4; ++k) h += std::sin(t * (k + seed % 3) + seed * 1.7f + k) / k;
    return base + h * amp;
}

Canvas Backdrop() {
    Canvas c(kPanel, kPanel);
    for (int y = 0; y < kPanel; ++y)
        for (int x = 0; x < kPanel; ++x) {
            float t = y / float(kPanel);
            Color sky = Mix(Rgb(22, 30, 70), Rgb(40, 120, 130), t);
            // Clouds from noise that tiles every 8 cells of 128 pixels.
            float n = PeriodicNoise(x / 128.0f, y / 96.0f, 8, 11) * 0.6f +
                      PeriodicNoise(x / 64.0f, y / 48.0f, 16, 12) * 0.4f;
            float cloud = std::clamp((n - 0.55f) * 3, 0.0f, 1.0f) * (1 - t) * 0.35f;
            c.Set(x, y, Mix(sky, kCream, cloud));
        }
    // Envelopes drifting in the sky, placed on a wrapping grid.
    for (int k = 0; k < 40; ++k) {
        float ex = Hash(k, 1, 5) * kPanel, ey = 60 + Hash(k, 2, 5) * 520;
        float s = 10 + Hash(k, 3, 5) * 16, tilt = Hash(k, 4, 5) * 40 - 20;
        for (float ox : {-float(kPanel), 0.0f, float(kPanel)}) {
            Sdf env = Rotated(Box(ex + ox, ey, s, s * 0.66f, s * 0.12f), ex + ox, ey, tilt);
            FillSdf(c, env, WithAlpha(kCream, 0.35f));
            Sdf flap =
                Rotated(Union(Segment(ex + ox - s, ey - s * 0.6f, ex + ox, ey + s * 0.1f, 1.2f),
                              Segment(ex + ox + s, ey - s * 0.6f, ex + ox, ey + s * 0.1f, 1.2f)),
                        ex + ox, ey, tilt);
            FillSdf(c, flap, WithAlpha(kNavy, 0.4f));
        }
    }
    // Three layers of hills, far to near.
    const Color layers[3] = {Rgb(34, 84, 104), Rgb(26, 62, 80), Rgb(18, 40, 58)};
    for (int l = 0; l < 3; ++l)
        for (int y = 0; y < kPanel; ++y)
            for (int x = 0; x < kPanel; ++x) {
                float top = Hills(x + 0.5f, 660 + l * 90, 40 - l * 8, l * 5 + 1);
                float cover = std::clamp(y + 0.5f - top, 0.0f, 1.0f);
                if (cover > 0) c.Blend(x, y, layers[l], cover);
            }
    // Lit windows of far-off mail towers along the middle hills.
    for (int k = 0; k < 24; ++k) {
        float tx = (k + 0.3f + Hash(k, 9, 3) * 0.4f) * kPanel / 24.0f, w = 14 + Hash(k, 8, 3) * 14;
        float top = Hills(tx, 750, 32, 6) - 60 - Hash(k, 7, 3) * 90;
        FillSdf(
            c,
            [&](float x, float y) {
                return std::max(WrapDx(x, tx) - w, std::fabs(y - (top + 200)) - 200);
            },
            Rgb(20, 48, 66));
        for (float wy = top + 12; wy < top + 80; wy += 18)
            FillSdf(
                c,
                [&](float x, float y) {
                    return std::max(WrapDx(x, tx) - w * 0.45f, std::fabs(y - wy) - 3);
                },
                WithAlpha(kGold, 0.55f));
    }
    return c;
}

Canvas BottomPanel() {
    Canvas c(kPanel, kPanel);
    Sdf band = [](float x, float y) { return Hills(x, 760, 18, 9) - y; };
    FillSdf(c, Offset(band, 10), WithAlpha(kDeepNavy, 0.6f));
    FillSdf(c, band, [](float x, float y) {
        float stripe = std::fmod(x + y + 2048, 64.0f) < 32 ? 1.0f : 0.0f;
        return Mix(Mix(Rgb(120, 74, 30), Rgb(60, 34, 16), (y - 740) / 284), kAmber, stripe * 0.12f);
    });
    FillSdf(
        c, [](float x, float y) { return std::fabs(Hills(x, 760, 18, 9) - y) - 4; }, kGold);
    // Parcels and letters waiting on the shelf.
    for (int k = 0; k < 9; ++k) {
        float bx = 80 + k * 110 + Hash(k, 1, 21) * 30, s = 26 + Hash(k, 2, 21) * 18;
        float by = Hills(bx, 760, 18, 9) - s * 0.66f + 2;
        FillSdf(c, Box(bx, by, s, s * 0.66f, 4), Mix(kCream, Rgb(214, 200, 170), Hash(k, 3, 21)));
        FillSdf(c,
                Union(Segment(bx - s + 4, by - s * 0.6f, bx, by + 2, 2),
                      Segment(bx + s - 4, by - s * 0.6f, bx, by + 2, 2)),
                Rgb(120, 110, 140));
        StrokeSdf(c, Box(bx, by, s, s * 0.66f, 4), 1.5f, kDeepNavy);
    }
    return c;
}

Canvas LeftPanel() {
    Canvas c(kPanel, kPanel);
    Sdf tower = Box(120, 512, 150, 560, 60);
    GlowSdf(c, tower, 30, kBlack, 0.5f);
    FillSdf(c, tower, [](float x, float) { return Mix(Rgb(44, 58, 104), kDeepNavy, x / 280); });
    StrokeSdf(c, tower, 4, kGold);
    // Pigeon-hole trays with letters in some of them.
    for (int row = 0; row < 8; ++row)
        for (int col = 0; col < 2; ++col) {
            float cx = 70 + col * 100, cy = 120 + row * 100;
            FillSdf(c, Box(cx, cy, 40, 38, 6), WithAlpha(kBlack, 0.45f));
            StrokeSdf(c, Box(cx, cy, 40, 38, 6), 1.5f, WithAlpha(kTeal, 0.9f));
            if (Hash(row, col, 31) < 0.6f) {
                FillSdf(c, Box(cx, cy + 8, 30, 20, 3), kCream);
                FillSdf(c,
                        Union(Segment(cx - 28, cy - 10, cx, cy + 12, 1.5f),
                              Segment(cx + 28, cy - 10, cx, cy + 12, 1.5f)),
                        Rgb(120, 128, 160));
            }
        }
    return c;
}

Canvas Glow() {
    Canvas c(kPanel, kPanel);
    for (int y = 0; y < kPanel; ++y)
        for (int x = 0; x < kPanel; ++x) {
            float r = std::hypot(x - 512.0f, y - 512.0f) / 512;
            c.Set(x, y, WithAlpha(kGold, std::clamp(1 - r, 0.0f, 1.0f) * 0.35f));
        }
    return c;
}

Canvas Title(const TypeFace& face) {
    Canvas c(1024, 512);
    Mask word = face.Line("Quorvane", 196, 0.84f, 4);
    int x0, y0, x1, y1;
    word.InkBox(x0, y0, x1, y1);
    float x = 512 - (x0 + x1) * 0.5f, y = 250 - (y0 + y1) * 0.5f;
    Mask outline = Dilate(word, 14);
    PaintMask(c, outline, x - 14 + 10, y - 14 + 14, WithAlpha(kBlack, 0.45f));  // shadow
    PaintMask(c, outline, x - 14, y - 14, kDeepNavy);
    PaintMask(c, Dilate(word, 5), x - 5, y - 5, kTeal);
    PaintMaskGradient(c, word, x, y, kCream, kGold);
    // An envelope flying off the end of the word, and a swoosh beneath it.
    float ex = std::min(512 + (x1 - x0) * 0.5f - 10, 940.0f), ey = y + y0 - 10;
    Sdf env = Rotated(Box(ex, ey, 58, 38, 6), ex, ey, 14);
    FillSdf(c, Offset(env, 9), kDeepNavy);
    FillSdf(c, env, kCream);
    FillSdf(c,
            Rotated(Union(Segment(ex - 52, ey - 30, ex, ey + 6, 4),
                          Segment(ex + 52, ey - 30, ex, ey + 6, 4)),
                    ex, ey, 14),
            Rgb(70, 140, 235));
    Sdf swoosh = [](float px, float py) {
        float curve = 420 + 40 * std::sin((px - 120) / 780 * kPi);
        float half = 9 * std::sin(std::clamp((px - 120) / 780, 0.0f, 1.0f) * kPi);
        return std::max(std::fabs(py - curve) - half, std::fabs(px - 510) - 390);
    };
    FillSdf(c, Offset(swoosh, 6), kDeepNavy);
    FillSdf(c, swoosh, kAmber);
    return c;
}

}  // namespace

bool MakeMenu(const Context& ctx, Catalogue& cat) {
    Sheet logo(1024, 512, 1, 1);
    logo.Put(0, Title(ctx.sans));
    Sheet menu(kPanel, kPanel, 4, 2);
    menu.Put(0, Backdrop());
    menu.Put(1, BottomPanel());
    menu.Put(2, LeftPanel());
    menu.Put(3, Glow());
    return Publish(ctx, cat, "512/logo.png", logo) && Publish(ctx, cat, "512/menu.png", menu);
}

}  // namespace gen
