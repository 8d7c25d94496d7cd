// contact.cpp: the contact sheet, one PNG showing every picture frame by frame.
//
// Owns MakeContactSheet. Each picture of the catalogue gets a titled block
// with its frames in the game's order and their numbers; small frames are
// enlarged with nearest-neighbour sampling as the game draws them, large ones
// reduced. A line of text set with the game's own advance table shows the
// font's spacing, and the sprites are repeated on the play background.
// Written to <build folder>/contact_sheet.png. Depends on art.h.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "art.h"

namespace gen {

namespace {

constexpr int kWidth = 1600;            // contact sheet width
constexpr int kMargin = 16;             // outer margin and gap between blocks
constexpr int kGap = 6;                 // gap between frames
constexpr int kTitle = 26;              // title strip height
constexpr int kMaxWholeFrames = 64;     // above this, show the picture whole
const Color kBack = Rgb(46, 52, 58);    // sheet background
const Color kCheckA = Rgb(70, 76, 84);  // transparency checkerboard
const Color kCheckB = Rgb(58, 64, 70);
const Color kPlayGreen = Rgb(0, 30, 0);  // the play screen's background
const Color kNumber = Rgb(255, 220, 90);

struct Block {
    const Entry* entry;
    int scaleUp, scaleDown;  // one of them is 1
    int cellW, cellH, columns, rows, height;
    bool whole;
};

Block Plan(const Entry& e) {
    Block b{&e, 1, 1, 0, 0, 0, 0, 0, e.count > kMaxWholeFrames};
    int w = b.whole ? e.image.Width() : e.frameW, h = b.whole ? e.image.Height() : e.frameH;
    int longest = std::max(w, h);
    if (longest <= 24)
        b.scaleUp = 4;
    else if (longest <= 40)
        b.scaleUp = 2;
    else if (longest > 600)
        b.scaleDown = 4;
    else if (longest > 200)
        b.scaleDown = 2;
    b.cellW = w * b.scaleUp / b.scaleDown, b.cellH = h * b.scaleUp / b.scaleDown;
    int count = b.whole ? 1 : e.count;
    b.columns = std::max(1, std::min(count, (kWidth - 2 * kMargin) / (b.cellW + kGap)));
    b.rows = (count + b.columns - 1) / b.columns;
    b.height = kTitle + b.rows * (b.cellH + kGap) + kMargin;
    return b;
}

Canvas Crop(const Canvas& src, int x, int y, int w, int h) {
    Canvas out(w, h);
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i) out.Set(i, j, src.Get(x + i, y + j));
    return out;
}

void Checker(Canvas& c, int x, int y, int w, int h, Color a, Color b) {
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i) c.Set(x + i, y + j, ((i / 8 + j / 8) % 2) ? a : b);
}

void Text(Canvas& c, const TypeFace& face, const std::string& s, int x, int y, float size,
          Color color) {
    Mask m = face.Line(s, size);
    PaintMask(c, m, x - m.originX, y - m.baseline, color);
}

void DrawBlock(Canvas& sheet, const Context& ctx, const Block& b, int top) {
    const Entry& e = *b.entry;
    char title[160];
    std::snprintf(title, sizeof title, "%s   %d x %d, %d frame%s", e.file.c_str(), e.frameW,
                  e.frameH, e.count, e.count == 1 ? "" : "s");
    Text(sheet, ctx.sans, title, kMargin, top + 18, 16, kWhite);
    int count = b.whole ? 1 : e.count;
    int perRow = e.image.Width() / e.frameW;
    for (int f = 0; f < count; ++f) {
        int x = kMargin + (f % b.columns) * (b.cellW + kGap);
        int y = top + kTitle + (f / b.columns) * (b.cellH + kGap);
        Canvas frame = b.whole ? e.image
                               : Crop(e.image, (f % perRow) * e.frameW, (f / perRow) * e.frameH,
                                      e.frameW, e.frameH);
        if (b.scaleUp > 1) frame = frame.Scaled(b.scaleUp);
        if (b.scaleDown > 1) frame = frame.Reduced(b.scaleDown);
        Checker(sheet, x, y, b.cellW, b.cellH, kCheckA, kCheckB);
        sheet.Draw(frame, x, y);
        if (!b.whole) Text(sheet, ctx.sans, std::to_string(f), x + 2, y + 11, 11, kNumber);
    }
}

// A few lines set exactly as the game lays text out: glyph centres on the
// pen, the pen moved by the advance table.
void FontSample(Canvas& sheet, const Catalogue& cat, int top) {
    const Entry* font = nullptr;
    for (const Entry& e : cat)
        if (e.file == "common/bandwidth.png") font = &e;
    if (!font) return;
    const char* lines[] = {"Start Game  Options  Credits  Quit",
                           "The quick brown fox jumps over the lazy dog! 0123456789",
                           "WIN A FREE iPhone!!! (limited offer) [sic] {50% off} \"quoted\"",
                           "Meeting moved to 3pm; lunch @ 12:30, bill = $14.99 * 2"};
    int y = top + 32;
    for (const char* line : lines) {
        float pen = kMargin + 32;
        for (const char* p = line; *p; ++p) {
            int code = (unsigned char)*p, frame = code - 32;
            if (frame > 0) {
                Canvas g = Crop(font->image, (frame % 16) * 64, (frame / 16) * 64, 64, 64);
                sheet.Draw(g, int(std::lround(pen)) - 32, y - 32);
            }
            pen += FontAdvance(code);
        }
        y += 44;
    }
    // Escape glyphs in a sentence, pad forms then keyboard forms.
    float pen = kMargin + 32;
    for (int frame : {96, 97, 98, 99, 100, 101, 102, 103, 104, 105, 106, 107, 108, 109, 110}) {
        sheet.Draw(Crop(font->image, (frame % 16) * 64, (frame / 16) * 64, 64, 64), int(pen) - 32,
                   y - 32);
        sheet.Draw(Crop(font->image, ((frame + 16) % 16) * 64, ((frame + 16) / 16) * 64, 64, 64),
                   int(pen) - 32, y + 12);
        pen += 56;
    }
}

void SpritesOnPlay(Canvas& sheet, const Catalogue& cat, int top, int height) {
    const Entry* gfx = nullptr;
    for (const Entry& e : cat)
        if (e.file == "512/gfx.png") gfx = &e;
    if (!gfx) return;
    for (int j = 0; j < height; ++j)
        for (int i = kMargin; i < kWidth - kMargin; ++i) sheet.Set(i, top + j, kPlayGreen);
    int perRow = gfx->image.Width() / gfx->frameW;
    struct Shown {
        int frame, scale;
    };
    const Shown shown[] = {{0, 4},  {1, 4}, {0, 2}, {1, 2}, {12, 2},
                           {13, 2}, {7, 2}, {8, 2}, {2, 2}};
    int x = kMargin + 16;
    for (const Shown& s : shown) {
        Canvas f = Crop(gfx->image, (s.frame % perRow) * 20, (s.frame / perRow) * 20, 20, 20);
        f = f.Scaled(s.scale);
        sheet.Draw(f, x, top + (height - f.Height()) / 2);
        x += f.Width() + 24;
    }
    // The shot, stretched four times wide as play draws it.
    Canvas shot = Crop(gfx->image, (3 % perRow) * 20, (3 / perRow) * 20, 20, 20).Scaled(4);
    Canvas wide(320, 80);
    for (int j = 0; j < 80; ++j)
        for (int i = 0; i < 320; ++i) wide.Set(i, j, shot.Get(i / 4, j));
    sheet.Draw(wide, x, top + (height - 80) / 2);
}

}  // namespace

bool MakeContactSheet(const Context& ctx, const Catalogue& cat) {
    std::vector<Block> blocks;
    int height = kMargin;
    for (const Entry& e : cat) {
        blocks.push_back(Plan(e));
        height += blocks.back().height;
    }
    constexpr int kSampleH = 44 * 4 + 120;  // font sample block
    constexpr int kPlayH = 120;             // sprites on the play background
    height += kSampleH + kPlayH + kMargin;
    Canvas sheet(kWidth, height);
    sheet.Clear(kBack);
    int y = kMargin;
    for (const Block& b : blocks) {
        DrawBlock(sheet, ctx, b, y);
        y += b.height;
    }
    Text(sheet, ctx.sans, "Text set with the game's advance table; escape glyphs (pad / keys)",
         kMargin, y + 14, 16, kWhite);
    FontSample(sheet, cat, y + 10);
    y += kSampleH;
    SpritesOnPlay(sheet, cat, y, kPlayH);
    std::string path = ctx.buildDir + "/contact_sheet.png";
    if (!sheet.SavePng(path)) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

}  // namespace gen
