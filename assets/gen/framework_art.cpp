// framework_art.cpp: the framework's shared pictures in common/.
//
// Owns MakeFramework: the loading emblem (ZOLTLogo), the five particle sheets,
// the on-screen button faces, the icons (pause screen, credits, life, cog
// layers), the rings of the pause and credits screens, the options row icons
// with their background tile, and the scoreboard panel. Shapes the game tints
// are white or light; pictures it draws untinted carry the game's palette.
// Depends on canvas.h shapes and the bold face for a few letters.
#include <cmath>

#include "art.h"

namespace gen {

namespace {

constexpr float kPi = 3.14159265f;

// The game's palette, shared with the menu pictures.
const Color kNavy = Rgb(26, 34, 66);
const Color kDeepNavy = Rgb(14, 18, 38);
const Color kTeal = Rgb(36, 140, 150);
const Color kGold = Rgb(255, 198, 64);
const Color kCream = Rgb(250, 242, 220);
const Color kRose = Rgb(232, 64, 96);
const Color kShadow{0, 0, 0, 0.45f};

// --- Loading emblem ----------------------------------------------------------

Canvas Emblem(const TypeFace& face) {
    constexpr int kS = 1024;
    Canvas c(kS, kS);
    Sdf badge = Box(512, 512, 440, 440, 120);
    GlowSdf(c, badge, 40, kBlack, 0.35f);
    FillSdf(c, badge, [](float, float y) { return Mix(Rgb(44, 60, 110), kDeepNavy, y / kS); });
    // Concentric rings, the inner one dashed.
    StrokeSdf(c, Box(512, 512, 400, 400, 90), 10, kGold);
    Sdf dashes = [](float x, float y) {
        float a = std::atan2(y - 512, x - 512);
        float d = std::fabs(std::hypot(x - 512, y - 512) - 330) - 6;
        float gap = std::fabs(std::fmod(a / (2 * kPi) * 36 + 100.25f, 1.0f) - 0.5f) * 40 - 6;
        return std::max(d, gap);
    };
    FillSdf(c, dashes, WithAlpha(kTeal, 0.9f));
    // A lightning-bolt Z.
    std::vector<float> bolt = {300, 250, 730, 250, 730, 330, 520, 500, 640, 500, 360,
                               790, 450, 580, 330, 580, 330, 510, 580, 330, 300, 330};
    Sdf z = Polygon(bolt);
    FillSdf(c, Offset(z, 14), kDeepNavy);
    FillSdf(c, z, [](float x, float y) {
        return Mix(kCream, kGold, std::clamp((x + y - 600) / 900, 0.0f, 1.0f));
    });
    Mask word = face.Line("ZOLT", 150, 1.0f, 24);
    int x0, y0, x1, y1;
    word.InkBox(x0, y0, x1, y1);
    float wx = 512 - (x0 + x1) * 0.5f, wy = 880 - (y0 + y1) * 0.5f;
    PaintMask(c, Dilate(word, 8), wx - 8, wy - 8, kDeepNavy);
    PaintMaskGradient(c, word, wx, wy, kCream, kGold);
    return c;
}

// --- Particles ----------------------------------------------------------------

constexpr int kPart = 32;

Sdf ParticleShape(int i) {
    const float m = 16;
    switch (i % 16) {
        case 0:
            return Circle(m, m, 11);
        case 1:
            return Box(m, m, 10, 10, 2);
        case 2:
            return RegularPolygon(m, m + 2, 13, 3);
        case 3:
            return RegularPolygon(m, m, 13, 4);
        case 4:
            return RegularPolygon(m, m + 1, 12, 5);
        case 5:
            return RegularPolygon(m, m, 12, 6);
        case 6:
            return Star(m, m + 1, 14, 6, 5);
        case 7:
            return Star(m, m, 14, 4.5f, 4);
        case 8:
            return Heart(m, m + 2, 24);
        case 9:
            return Union(Box(m, m, 11, 4, 1), Box(m, m, 4, 11, 1));
        case 10:
            return Subtract(Circle(m, m, 12), Circle(m + 6, m - 4, 10));
        case 11:
            return Union(Circle(m, m + 4, 8),
                         Polygon({m - 7.5f, m + 2, m + 7.5f, m + 2, m, m - 13}));
        case 12:
            return Box(m, m, 13, 9, 2);
        case 13:
            return Polygon(
                {m + 3, 2, m - 9, m + 2, m - 1, m + 2, m - 4, 30, m + 9, m - 3, m + 1, m - 3});
        case 14:
            return RegularPolygon(m, m, 12, 8, 22.5f);
        default:
            return Box(m, m, 12, 5, 5);
    }
}

Canvas FilledParticle(int i) {
    Canvas c(kPart, kPart);
    FillSdf(c, ParticleShape(i), kWhite);
    return c;
}

Canvas OutlinedParticle(int i) {
    Canvas c(kPart, kPart);
    StrokeSdf(c, ParticleShape(i), 1.3f, kWhite);
    return c;
}

Canvas SmokePuff(int i) {
    Canvas c(kPart, kPart);
    for (int y = 0; y < kPart; ++y)
        for (int x = 0; x < kPart; ++x) {
            float dx = (x + 0.5f - 16) / 14, dy = (y + 0.5f - 16) / 14;
            float r = std::sqrt(dx * dx + dy * dy);
            float n = Fbm(x / 7.0f + i * 3.1f, y / 7.0f, 3, 40 + i);
            float a = std::clamp((1.0f - r) * 1.6f, 0.0f, 1.0f) * (0.45f + 0.55f * n);
            a = a * a * (3 - 2 * a);
            c.Set(x, y, {1, 1, 1, a * 0.9f});
        }
    return c;
}

Canvas Cluster(int i) {
    Canvas c(kPart, kPart);
    int dots = 3 + i % 5;
    for (int k = 0; k < dots; ++k) {
        float a = Hash(i, k, 7) * 2 * kPi, d = Hash(i, k, 8) * 10;
        float r = 2.0f + Hash(i, k, 9) * 3.5f;
        FillSdf(c, Circle(16 + std::cos(a) * d, 16 + std::sin(a) * d, r), kWhite);
    }
    return c;
}

Canvas StarParticle(int i) {
    Canvas c(kPart, kPart);
    const float m = 16;
    switch (i % 8) {
        case 0:
            FillSdf(c, Star(m, m + 1, 15, 6.5f, 5), kWhite);
            break;  // the score marker
        case 1:
            FillSdf(c, Star(m, m, 15, 3.5f, 4), kWhite);
            break;
        case 2:
            FillSdf(c, Star(m, m, 14, 7, 6), kWhite);
            break;
        case 3:
            FillSdf(c, Star(m, m, 15, 5, 8), kWhite);
            break;
        case 4:
            GlowSdf(c, Circle(m, m, 3), 12, kWhite, 0.6f);
            FillSdf(c, Circle(m, m, 3), kWhite);
            break;
        case 5:
            StrokeSdf(c, Star(m, m + 1, 13, 5.5f, 5), 1.3f, kWhite);
            break;
        case 6:
            FillSdf(c, Star(m, m, 15, 2.5f, 4, 45), WithAlpha(kWhite, 0.6f));
            FillSdf(c, Star(m, m, 15, 3, 4), kWhite);
            break;
        default:
            FillSdf(c, Star(m, m, 11, 5, 5, 36), kWhite);
            break;
    }
    if (i >= 8) {
        // The second half: the same shapes, smaller, with a faint halo.
        Canvas small = c.Reduced(2);
        Canvas out(kPart, kPart);
        GlowSdf(out, Circle(m, m, 4), 12, kWhite, 0.3f);
        out.Draw(small, 8, 8);
        return out;
    }
    return c;
}

// --- On-screen buttons ---------------------------------------------------------

Sdf Arrow(float cx, float cy, float size, float degrees) {
    Sdf head = Polygon({cx + size, cy, cx, cy - size, cx, cy + size});
    Sdf shaft = Box(cx - size * 0.45f, cy, size * 0.55f, size * 0.35f);
    return Rotated(Union(head, shaft), cx, cy, degrees);
}

Sdf Symbol(int i, float cx, float cy, float s) {
    switch (i) {
        case 0:
            return Arrow(cx, cy, s, -90);
        case 1:
            return Arrow(cx, cy, s, 0);
        case 2:
            return Arrow(cx, cy, s, 90);
        case 3:
            return Arrow(cx, cy, s, 180);
        case 4:
            return Union(
                Segment(cx - s * 0.7f, cy, cx - s * 0.2f, cy + s * 0.55f, s * 0.18f),
                Segment(cx - s * 0.2f, cy + s * 0.55f, cx + s * 0.75f, cy - s * 0.6f, s * 0.18f));
        case 5:
            return Union(
                Segment(cx - s * 0.6f, cy - s * 0.6f, cx + s * 0.6f, cy + s * 0.6f, s * 0.18f),
                Segment(cx + s * 0.6f, cy - s * 0.6f, cx - s * 0.6f, cy + s * 0.6f, s * 0.18f));
        case 6:
            return Union(Box(cx, cy, s * 0.75f, s * 0.18f), Box(cx, cy, s * 0.18f, s * 0.75f));
        case 7:
            return Box(cx, cy, s * 0.75f, s * 0.18f);
        case 8:
            return Union(Box(cx - s * 0.35f, cy, s * 0.18f, s * 0.7f),
                         Box(cx + s * 0.35f, cy, s * 0.18f, s * 0.7f));
        case 9:
            return Polygon(
                {cx - s * 0.5f, cy - s * 0.75f, cx + s * 0.8f, cy, cx - s * 0.5f, cy + s * 0.75f});
        case 10:
            return Star(cx, cy, s * 0.9f, s * 0.4f, 5);
        case 11:
            return Heart(cx, cy + s * 0.1f, s * 1.6f);
        case 12:
            return Gear(cx, cy, s * 0.6f, s * 0.85f, 8, s * 0.25f);
        case 13:
            return Union(Ring(cx, cy, s * 0.6f, s * 0.16f),
                         Box(cx, cy - s * 0.7f, s * 0.16f, s * 0.4f));
        case 14:
            return Circle(cx, cy, s * 0.45f);
        default:
            return Ring(cx, cy, s * 0.55f, s * 0.15f);
    }
}

Canvas ButtonFace(int i) {
    Canvas c(64, 64);
    Sdf disc = Circle(32, 32, 28);
    FillSdf(c, Circle(32, 34, 28), kShadow);
    FillSdf(c, disc, [](float, float y) {
        return Mix(Rgb(255, 255, 255, 0.35f), Rgb(0, 0, 0, 0.45f), y / 64);
    });
    StrokeSdf(c, disc, 1.8f, kWhite);
    FillSdf(c, Symbol(i, 32, 32, 16), kWhite);
    return c;
}

// --- Icons ----------------------------------------------------------------------

constexpr float kIc = 64;  // icon centre

// White symbol over a soft dark edge, so it reads on light and dark screens.
Canvas WhiteIcon(const Sdf& shape) {
    Canvas c(128, 128);
    GlowSdf(c, shape, 10, kBlack, 0.45f);
    FillSdf(c, Offset(shape, 2), WithAlpha(kBlack, 0.5f));
    FillSdf(c, shape, [](float, float y) { return Mix(kWhite, Rgb(214, 220, 232), y / 128); });
    return c;
}

Canvas CogLayer(int layer) {
    switch (layer) {
        case 0:
            return WhiteIcon(Gear(kIc, kIc, 48, 58, 16, 40));
        case 1:
            return WhiteIcon(Gear(kIc, kIc, 26, 34, 10, 20));
        default:
            return WhiteIcon(Union(Gear(kIc, kIc, 11, 16, 6, 5), Ring(kIc, kIc, 5, 1)));
    }
}

Canvas Highlight() {
    Canvas c(128, 128);
    Sdf ring = Ring(kIc, kIc, 56, 3);
    GlowSdf(c, ring, 9, kWhite, 0.7f);
    FillSdf(c, ring, kWhite);
    return c;
}

Canvas Life() {
    Canvas c(128, 128);
    Sdf heart = Heart(kIc, kIc + 6, 112);
    FillSdf(c, Offset(heart, 6), kDeepNavy);
    FillSdf(c, heart, [](float x, float y) {
        return Mix(Rgb(255, 120, 140), kRose, std::clamp((x + y - 60) / 120, 0.0f, 1.0f));
    });
    FillSdf(c, Circle(kIc - 24, kIc - 14, 9), WithAlpha(kWhite, 0.8f));
    return c;
}

// The tool-credit picture: a code bracket pair inside a gear.
Canvas ToolPicture(const TypeFace& face) {
    Canvas c(128, 128);
    Sdf gear = Gear(kIc, kIc, 50, 60, 12, 0);
    FillSdf(c, Offset(gear, 3), kDeepNavy);
    FillSdf(c, gear,
            [](float, float y) { return Mix(Rgb(70, 180, 190), Rgb(24, 96, 110), y / 128); });
    FillSdf(c, Circle(kIc, kIc, 40), kDeepNavy);
    Label(c, face, "</>", kIc, kIc, 46, kGold);
    return c;
}

// The maker picture (also the menu's corner icon): an envelope seal with a Q.
Canvas MakerPicture(const TypeFace& face) {
    Canvas c(128, 128);
    Sdf seal = Star(kIc, kIc, 60, 52, 18);
    FillSdf(c, Offset(seal, 3), kDeepNavy);
    FillSdf(c, seal, [](float x, float y) { return Mix(kGold, Rgb(230, 130, 40), (x + y) / 256); });
    FillSdf(c, Circle(kIc, kIc, 42), kNavy);
    StrokeSdf(c, Circle(kIc, kIc, 36), 2, WithAlpha(kGold, 0.8f));
    Label(c, face, "Q", kIc, kIc - 2, 64, kCream);
    return c;
}

Canvas Icon(int i, const TypeFace& face) {
    switch (i) {
        case 0:
            return WhiteIcon(Union(Box(kIc - 20, kIc, 11, 38, 4), Box(kIc + 20, kIc, 11, 38, 4)));
        case 1:
            return WhiteIcon(Union(Subtract(Ring(kIc, kIc + 6, 38, 8), Box(kIc, kIc - 34, 16, 24)),
                                   Box(kIc, kIc - 22, 8, 30, 6)));
        case 2:
            return WhiteIcon(
                Union(Subtract(Ring(kIc, kIc, 36, 8), Box(kIc + 24, kIc - 24, 20, 20)),
                      Polygon({kIc + 6, kIc - 52, kIc + 30, kIc - 36, kIc + 6, kIc - 18})));
        case 3:
            return WhiteIcon(Polygon({kIc - 28, kIc - 44, kIc + 42, kIc, kIc - 28, kIc + 44}));
        case 4:
            return WhiteIcon(
                Union(Polygon({kIc - 40, kIc - 14, kIc - 20, kIc - 14, kIc + 4, kIc - 38, kIc + 4,
                               kIc + 38, kIc - 20, kIc + 14, kIc - 40, kIc + 14}),
                      Intersect(Ring(kIc + 4, kIc, 34, 5), Box(kIc + 40, kIc, 22, 40))));
        case 5:
            return WhiteIcon(
                Union(Union(Circle(kIc - 20, kIc + 28, 14), Box(kIc - 8, kIc - 8, 5, 36)),
                      Polygon({kIc - 13, kIc - 44, kIc + 30, kIc - 30, kIc + 30, kIc - 14, kIc - 13,
                               kIc - 28})));
        case 6:
            return Highlight();
        case 7:
            return WhiteIcon(Star(kIc, kIc + 4, 52, 22, 5));
        case 8:
            return Life();
        case 9:
            return ToolPicture(face);
        case 10:
            return MakerPicture(face);
        case 11:
            return WhiteIcon(Arrow(kIc, kIc, 40, 180));
        case 12:
            return CogLayer(0);
        case 13:
            return CogLayer(1);
        case 14:
            return CogLayer(2);
        default:
            return Canvas(128, 128);
    }
}

// --- Rings ------------------------------------------------------------------------

Canvas RingFrame(int i) {
    Canvas c(256, 256);
    const float m = 128;
    switch (i) {
        case 0:  // an eight-petalled flower that spins like a coin in the credits
            FillSdf(
                c,
                [m](float x, float y) {
                    float a = std::atan2(y - m, x - m), r = std::hypot(x - m, y - m);
                    return r - (84 + 30 * std::cos(8 * a));
                },
                kWhite);
            break;
        case 1:  // a dashed ring
            FillSdf(
                c,
                [m](float x, float y) {
                    float a = std::atan2(y - m, x - m) / (2 * kPi) * 24 + 24.25f;
                    float gap = (std::fabs(a - std::floor(a) - 0.5f) - 0.32f) * 40;
                    return std::max(std::fabs(std::hypot(x - m, y - m) - 112) - 7, gap);
                },
                kWhite);
            break;
        case 2:  // a thick ring cut into six arcs with tick marks inside
            FillSdf(
                c,
                [m](float x, float y) {
                    float a = std::atan2(y - m, x - m) / (2 * kPi) * 6 + 6.5f;
                    float gap = (std::fabs(a - std::floor(a) - 0.5f) - 0.44f) * 200;
                    return std::max(std::fabs(std::hypot(x - m, y - m) - 100) - 14, gap);
                },
                kWhite);
            for (int k = 0; k < 24; ++k) {
                float a = k * 2 * kPi / 24;
                FillSdf(c,
                        Segment(m + std::cos(a) * 70, m + std::sin(a) * 70, m + std::cos(a) * 78,
                                m + std::sin(a) * 78, 2.5f),
                        kWhite);
            }
            break;
        default:  // a soft disc
            for (int y = 0; y < 256; ++y)
                for (int x = 0; x < 256; ++x) {
                    float r = std::hypot(x + 0.5f - m, y + 0.5f - m) / 124;
                    float a = std::clamp((1 - r) * 4, 0.0f, 1.0f);
                    c.Set(x, y, {1, 1, 1, a * a * (3 - 2 * a)});
                }
            break;
    }
    return c;
}

// --- Options icons and tile -----------------------------------------------------------

constexpr float kOp = 34;  // options frame centre

Canvas OptionIcon(int i, const TypeFace& face) {
    Canvas c(68, 68);
    Color w = kWhite;
    switch (i) {
        case 0:
            FillSdf(c, Arrow(kOp, kOp, 20, 180), w);
            break;
        case 1:
            FillSdf(c, Polygon({12, 26, 21, 26, 33, 14, 33, 54, 21, 42, 12, 42}), w);
            for (int k = 0; k < 2; ++k)
                FillSdf(c, Intersect(Ring(33, kOp, 10.0f + k * 9, 2.2f), Box(50, kOp, 14, 22)), w);
            break;
        case 2:
            FillSdf(c, Union(Circle(24, 47, 7.5f), Circle(46, 43, 7.5f)), w);
            FillSdf(c, Union(Box(29.5f, 31, 2.5f, 16), Box(51.5f, 27, 2.5f, 16)), w);
            FillSdf(c, Polygon({27, 13, 54, 8, 54, 17, 27, 22}), w);
            break;
        case 3:
            StrokeSdf(c, Box(kOp, 30, 23, 16, 3), 2.5f, w);
            FillSdf(c, Box(kOp, 50, 4, 5), w);
            FillSdf(c, Box(kOp, 56, 13, 2.5f, 1), w);
            break;
        case 4:
        case 5:
            FillSdf(c, Box(kOp, 50, 20, 6, 3), w);
            FillSdf(c, Box(kOp, 38, 3.5f, 10), w);
            FillSdf(c, Circle(kOp, 24, 11), w);
            Label(c, face, i == 4 ? "L" : "R", kOp, 24, 15, kDeepNavy);
            break;
        case 47:
            FillSdf(c, Subtract(Ring(kOp, 40, 22, 3), Box(kOp, 56, 30, 14)), w);
            for (int k = 0; k <= 6; ++k) {
                float a = kPi + k * kPi / 6;
                FillSdf(c,
                        Segment(kOp + std::cos(a) * 14, 40 + std::sin(a) * 14,
                                kOp + std::cos(a) * 17, 40 + std::sin(a) * 17, 1.2f),
                        w);
            }
            FillSdf(c, Segment(kOp, 40, kOp + 13, 28, 2.2f), w);
            FillSdf(c, Circle(kOp, 40, 4), w);
            break;
        default:
            break;
    }
    return c;
}

// Repeats every 64 pixels: the pattern fills the centre 64 x 64 and wraps at
// its edges; the two-pixel border stays empty so neighbouring tiles, placed
// 64 apart, neither overlap nor leave a seam.
Canvas BackgroundTile() {
    Canvas inner(64, 64);
    // Every mark is drawn at its place and at its copies one period away, so
    // whatever leaves one edge comes back in at the opposite one.
    for (int oy = -64; oy <= 64; oy += 64)
        for (int ox = -64; ox <= 64; ox += 64) {
            for (int k = 0; k < 2; ++k) {
                float ex = ox + 16 + 32 * k, ey = oy + 16 + 32 * k;
                StrokeSdf(inner, Box(ex, ey, 9, 6, 1.5f), 1.1f, kWhite);
                FillSdf(inner,
                        Union(Segment(ex - 8, ey - 5, ex, ey + 1, 1.0f),
                              Segment(ex + 8, ey - 5, ex, ey + 1, 1.0f)),
                        kWhite);
            }
            FillSdf(inner, Circle(ox + 48, oy + 16, 2.2f), kWhite);
            FillSdf(inner, Circle(ox + 16, oy + 48, 2.2f), kWhite);
        }
    Canvas c(68, 68);
    c.Draw(inner, 2, 2);
    return c;
}

// --- Scoreboard panel ---------------------------------------------------------------

Canvas Scoreboard() {
    Canvas c(256, 256);
    Sdf panel = Box(128, 128, 122, 122, 22);
    GlowSdf(c, panel, 6, kBlack, 0.5f);
    FillSdf(c, panel, [](float, float y) {
        return Mix(Rgb(40, 54, 98, 0.92f), Rgb(16, 20, 42, 0.92f), y / 256);
    });
    // Header band behind the title, graph band at the bottom.
    FillSdf(c, Intersect(panel, Box(128, 32, 128, 22)), WithAlpha(kTeal, 0.55f));
    FillSdf(c, Intersect(panel, Box(128, 220, 128, 28)), WithAlpha(kBlack, 0.3f));
    FillSdf(c, Box(128, 240, 110, 1.5f), WithAlpha(kGold, 0.7f));
    for (int k = 0; k < 5; ++k)
        FillSdf(c, Box(128, 84.0f + 28 * k, 104, 0.8f), WithAlpha(kWhite, 0.12f));
    StrokeSdf(c, panel, 2.5f, kGold);
    StrokeSdf(c, Box(128, 128, 114, 114, 16), 1.0f, WithAlpha(kGold, 0.4f));
    return c;
}

template <typename Make>
bool SheetOf(const Context& ctx, Catalogue& cat, const char* file, int size, int count, int columns,
             Make make) {
    Sheet sheet(size, size, count, columns);
    for (int i = 0; i < count; ++i) sheet.Put(i, make(i));
    return Publish(ctx, cat, file, sheet);
}

}  // namespace

bool MakeFramework(const Context& ctx, Catalogue& cat) {
    const TypeFace& face = ctx.sans;
    Sheet emblem(32, 32, 1024, 32);
    emblem.Put(0, Emblem(face));
    return Publish(ctx, cat, "common/ZOLTLogo.png", emblem) &&
           SheetOf(ctx, cat, "common/part-shapefull.png", kPart, 16, 4, FilledParticle) &&
           SheetOf(ctx, cat, "common/parts_shape.png", kPart, 16, 4, OutlinedParticle) &&
           SheetOf(ctx, cat, "common/parts_smoke.png", kPart, 16, 4, SmokePuff) &&
           SheetOf(ctx, cat, "common/parts_cluster.png", kPart, 16, 4, Cluster) &&
           SheetOf(ctx, cat, "common/parts_stars.png", kPart, 16, 4, StarParticle) &&
           SheetOf(ctx, cat, "common/Buttons.png", 64, 16, 4, ButtonFace) &&
           SheetOf(ctx, cat, "common/icons.png", 128, 16, 4,
                   [&](int i) { return Icon(i, face); }) &&
           SheetOf(ctx, cat, "common/circle.png", 256, 4, 2, RingFrame) &&
           SheetOf(ctx, cat, "common/options.png", 68, 49, 7,
                   [&](int i) { return i == 48 ? BackgroundTile() : OptionIcon(i, face); }) &&
           SheetOf(ctx, cat, "common/scoreboard.png", 256, 1, 1, [](int) { return Scoreboard(); });
}

}  // namespace gen
