// sprites.cpp: the play sprites "gfx", 36 frames of 20 x 20 pixel art.
//
// Owns MakeSprites. Play draws these at scale 2 to 4 with nearest-neighbour
// sampling, so every frame is built on an exact pixel grid with hard edges
// and a one-pixel dark outline that reads against the dark green floor.
// Mail and spam differ in silhouette and brightness, not only in hue: mail is
// a pale, rectangular envelope; spam a dark, round, spiked mine with a "!".
// Accepted mail carries a tick, rejected mail a cross. Frames: 0 mail, 1 spam,
// 2 the cap that follows the player's head, 3 a shot (drawn 4 x 1),
// 7 and 8 the two walking frames, 12 accepted, 13 rejected; the rest are empty.
#include <cmath>
#include <cstdlib>

#include "art.h"

namespace gen {

namespace {

constexpr int kSize = 20;    // frame size
constexpr int kColumns = 6;  // frames per row
constexpr int kFrames = 36;

const Color kOutline = Rgb(20, 22, 40);
const Color kPaper = Rgb(250, 246, 232);
const Color kPaperShade = Rgb(214, 204, 178);
const Color kFold = Rgb(120, 128, 160);
const Color kSeal = Rgb(70, 140, 235);
const Color kSpam = Rgb(208, 40, 92);
const Color kSpamDark = Rgb(140, 18, 60);
const Color kWarn = Rgb(255, 214, 60);
const Color kTick = Rgb(80, 214, 100);
const Color kCross = Rgb(235, 60, 60);
const Color kSkin = Rgb(240, 190, 150);
const Color kHair = Rgb(90, 54, 30);
const Color kJacket = Rgb(60, 120, 220);
const Color kJacketDark = Rgb(40, 80, 170);
const Color kTrousers = Rgb(46, 52, 96);
const Color kShoe = Rgb(30, 26, 30);
const Color kCap = Rgb(255, 196, 48);
const Color kCapBand = Rgb(36, 60, 140);

// A 20 x 20 grid of opaque or empty pixels.
class Pixels {
  public:
    void Put(int x, int y, Color c) {
        if (x >= 0 && y >= 0 && x < kSize && y < kSize) cell_[y][x] = c, set_[y][x] = true;
    }
    bool Has(int x, int y) const {
        return x >= 0 && y >= 0 && x < kSize && y < kSize && set_[y][x];
    }
    void Rect(int x0, int y0, int x1, int y1, Color c) {
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x) Put(x, y, c);
    }
    void Disc(float cx, float cy, float r, Color c) {
        for (int y = 0; y < kSize; ++y)
            for (int x = 0; x < kSize; ++x)
                if (std::hypot(x - cx, y - cy) <= r) Put(x, y, c);
    }
    // Bresenham line, `thick` pixels wide (grown downwards).
    void Line(int x0, int y0, int x1, int y1, Color c, int thick = 1) {
        int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
        int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1, err = dx + dy;
        for (;;) {
            for (int t = 0; t < thick; ++t) Put(x0, y0 + t, c);
            if (x0 == x1 && y0 == y1) break;
            int e2 = 2 * err;
            if (e2 >= dy) err += dy, x0 += sx;
            if (e2 <= dx) err += dx, y0 += sy;
        }
    }
    // Surrounds everything drawn so far with a one-pixel outline.
    void Outline(Color c) {
        Pixels copy = *this;
        for (int y = 0; y < kSize; ++y)
            for (int x = 0; x < kSize; ++x)
                if (!copy.Has(x, y) && (copy.Has(x - 1, y) || copy.Has(x + 1, y) ||
                                        copy.Has(x, y - 1) || copy.Has(x, y + 1)))
                    Put(x, y, c);
    }
    // Darkens and greys every pixel (for rejected mail).
    void Dim(float keep) {
        for (int y = 0; y < kSize; ++y)
            for (int x = 0; x < kSize; ++x) {
                Color& c = cell_[y][x];
                float grey = (c.r + c.g + c.b) / 3;
                c = Mix(Color{grey, grey, grey, 1}, c, 0.3f);
                c.r *= keep, c.g *= keep, c.b *= keep;
            }
    }
    Canvas ToCanvas() const {
        Canvas out(kSize, kSize);
        for (int y = 0; y < kSize; ++y)
            for (int x = 0; x < kSize; ++x)
                if (set_[y][x]) out.Set(x, y, cell_[y][x]);
        return out;
    }

  private:
    Color cell_[kSize][kSize] = {};
    bool set_[kSize][kSize] = {};
};

// The envelope body without its outline: rows 4..15, columns 1..18.
void Envelope(Pixels& p) {
    p.Rect(1, 4, 18, 15, kPaper);
    p.Rect(1, 13, 18, 15, kPaperShade);
    p.Rect(2, 12, 4, 12, kPaperShade);
    p.Rect(15, 12, 17, 12, kPaperShade);
    // The flap's fold lines meet at the seal.
    p.Line(2, 5, 8, 11, kFold);
    p.Line(17, 5, 11, 11, kFold);
    p.Disc(9.5f, 11.5f, 1.6f, kSeal);
}

Canvas Mail() {
    Pixels p;
    Envelope(p);
    p.Outline(kOutline);
    return p.ToCanvas();
}

Canvas Spam() {
    Pixels p;
    const float cx = 9.5f, cy = 9.5f;
    // Eight spikes, then the round body over them.
    for (int k = 0; k < 8; ++k) {
        float a = k * 3.14159265f / 4, ux = std::cos(a), uy = std::sin(a);
        for (int y = 0; y < kSize; ++y)
            for (int x = 0; x < kSize; ++x) {
                float dx = x - cx, dy = y - cy;
                float along = dx * ux + dy * uy, across = std::fabs(-dx * uy + dy * ux);
                if (along > 0 && along <= 8.6f && across <= 1.0f + (8.6f - along) * 0.12f)
                    p.Put(x, y, along > 7.2f ? kWarn : kSpamDark);
            }
    }
    p.Disc(cx, cy, 6.2f, kSpamDark);
    p.Disc(cx - 0.6f, cy - 0.8f, 5.2f, kSpam);
    p.Put(7, 6, Rgb(255, 150, 180));
    p.Put(6, 7, Rgb(255, 150, 180));
    // The warning mark.
    p.Rect(9, 5, 10, 10, kWarn);
    p.Rect(9, 12, 10, 13, kWarn);
    p.Outline(kOutline);
    return p.ToCanvas();
}

Canvas Cap() {
    Pixels p;
    p.Rect(7, 8, 12, 10, kCap);
    p.Rect(8, 7, 11, 7, kCap);
    p.Rect(7, 11, 12, 11, kCapBand);
    p.Rect(12, 12, 15, 12, kCapBand);  // the visor faces the way the player shoots
    p.Put(9, 9, kPaper);               // badge
    p.Put(10, 9, kPaper);
    p.Outline(kOutline);
    return p.ToCanvas();
}

Canvas Shot() {
    Pixels p;
    p.Rect(6, 7, 13, 7, Rgb(255, 140, 40));
    p.Rect(6, 12, 13, 12, Rgb(255, 140, 40));
    p.Rect(4, 8, 15, 8, kWarn);
    p.Rect(4, 11, 15, 11, kWarn);
    p.Rect(3, 9, 16, 10, Rgb(255, 255, 240));
    return p.ToCanvas();
}

// The courier, facing right. stride 0: legs apart; 1: legs passing.
Canvas Walker(int stride) {
    Pixels p;
    if (stride == 0) {
        p.Line(9, 15, 7, 18, kTrousers, 1);
        p.Line(10, 15, 8, 18, kTrousers, 1);
        p.Line(11, 15, 13, 18, kTrousers, 1);
        p.Line(12, 15, 14, 18, kTrousers, 1);
        p.Rect(5, 19, 8, 19, kShoe);
        p.Rect(13, 19, 16, 19, kShoe);
    } else {
        p.Rect(9, 15, 12, 18, kTrousers);
        p.Put(8, 18, kTrousers);
        p.Rect(9, 19, 13, 19, kShoe);
        p.Rect(8, 19, 8, 19, kShoe);
    }
    // Body and satchel strap.
    p.Rect(8, 10, 13, 15, kJacket);
    p.Rect(8, 14, 13, 15, kJacketDark);
    p.Line(8, 10, 13, 15, kCap);
    p.Rect(6, 13, 8, 15, kCap);
    // Arm reaching forward (the shooting hand).
    p.Rect(12, 11, 15, 12, kJacket);
    p.Rect(16, 11, 16, 12, kSkin);
    // Head.
    p.Disc(10.5f, 6.5f, 3.4f, kSkin);
    p.Rect(8, 3, 12, 4, kHair);
    p.Rect(7, 4, 8, 7, kHair);
    p.Put(12, 6, kOutline);  // eye
    p.Put(14, 7, kSkin);     // nose
    p.Outline(kOutline);
    return p.ToCanvas();
}

Canvas Marked(bool accepted) {
    Pixels p;
    Envelope(p);
    if (!accepted) p.Dim(0.7f);
    p.Outline(kOutline);
    Pixels mark;
    if (accepted) {
        mark.Line(4, 10, 7, 13, kTick, 2);
        mark.Line(7, 13, 15, 5, kTick, 2);
    } else {
        mark.Line(4, 5, 15, 16, kCross, 2);
        mark.Line(15, 4, 4, 15, kCross, 2);
    }
    mark.Outline(kOutline);
    Canvas c = p.ToCanvas();
    c.Draw(mark.ToCanvas(), 0, 0);
    return c;
}

}  // namespace

bool MakeSprites(const Context& ctx, Catalogue& cat) {
    Sheet sheet(kSize, kSize, kFrames, kColumns);
    sheet.Put(0, Mail());
    sheet.Put(1, Spam());
    sheet.Put(2, Cap());
    sheet.Put(3, Shot());
    sheet.Put(7, Walker(0));
    sheet.Put(8, Walker(1));
    sheet.Put(12, Marked(true));
    sheet.Put(13, Marked(false));
    return Publish(ctx, cat, "512/gfx.png", sheet);
}

}  // namespace gen
