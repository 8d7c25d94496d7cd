// pictures_test.cpp: the generated pictures against the loading table's frame grids.
//
// Each picture must load with the game's PNG loader as RGBA, hold the frames
// the game cuts from it, and show something in every frame the screens draw.
// Beyond the grid: the play sprites are hard-edged pixel art, mail and spam
// differ in shape and brightness, tinted shapes are white, and the two
// repeating backgrounds join their own edges.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "assets/data_files.h"

using assets_test::FrameInk;
using assets_test::LoadPicture;
using assets_test::Picture;

namespace {

struct PictureCase {
    const char* file;
    int frameW, frameH, count;
    std::vector<int> shown;  // frames the game draws, which must not be empty
};

const std::vector<PictureCase>& Pictures() {
    static const std::vector<PictureCase> cases = {
        {"common/bandwidth.png", 64, 64, 128, {1, 33, 65, 94, 96, 104, 109, 110, 112, 124}},
        {"common/ZOLTLogo.png", 1024, 1024, 1, {0}},
        {"common/ZOLTLogo.png", 32, 32, 1024, {200, 528, 900}},
        {"common/part-shapefull.png",
         32,
         32,
         16,
         {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}},
        {"common/parts_shape.png",
         32,
         32,
         16,
         {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}},
        {"common/parts_smoke.png",
         32,
         32,
         16,
         {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}},
        {"common/parts_cluster.png",
         32,
         32,
         16,
         {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}},
        {"common/parts_stars.png",
         32,
         32,
         16,
         {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}},
        {"common/Buttons.png", 64, 64, 16, {0, 5, 10, 15}},
        {"common/icons.png", 128, 128, 16, {0, 1, 3, 6, 8, 9, 10, 11, 12, 13, 14}},
        {"common/circle.png", 256, 256, 4, {0, 1, 2, 3}},
        {"common/options.png", 68, 68, 49, {0, 1, 2, 3, 4, 5, 47, 48}},
        {"common/scoreboard.png", 256, 256, 1, {0}},
        {"512/logo.png", 1024, 512, 1, {0}},
        {"512/menu.png", 1024, 1024, 4, {0, 1, 2}},
        {"512/gfx.png", 20, 20, 36, {0, 1, 2, 3, 7, 8, 12, 13}},
    };
    return cases;
}

// Alpha of pixel (x, y) of one frame.
int FrameAlpha(const Picture& p, int fw, int fh, int frame, int x, int y) {
    int perRow = p.width / fw;
    return p.Alpha((frame % perRow) * fw + x, (frame / perRow) * fh + y);
}

double Luminance(const uint8_t* px) {
    return 0.2126 * px[0] + 0.7152 * px[1] + 0.0722 * px[2];
}

// Sum over rows of the alpha change between two columns of a frame.
long ColumnStep(const Picture& p, int fw, int fh, int frame, int xa, int xb, int y0, int y1) {
    long sum = 0;
    for (int y = y0; y < y1; ++y)
        sum += std::abs(FrameAlpha(p, fw, fh, frame, xa, y) - FrameAlpha(p, fw, fh, frame, xb, y));
    return sum;
}

long RowStep(const Picture& p, int fw, int fh, int frame, int ya, int yb, int x0, int x1) {
    long sum = 0;
    for (int x = x0; x < x1; ++x)
        sum += std::abs(FrameAlpha(p, fw, fh, frame, x, ya) - FrameAlpha(p, fw, fh, frame, x, yb));
    return sum;
}

TEST(GeneratedPictures, HoldTheFramesTheGameCutsAndShowTheDrawnOnes) {
    for (const PictureCase& c : Pictures()) {
        SCOPED_TRACE(c.file);
        Picture p = LoadPicture(c.file);
        ASSERT_TRUE(p.loaded);
        EXPECT_EQ(p.channels, 4) << "transparent background needs an alpha channel";
        EXPECT_EQ(p.width % c.frameW, 0);
        EXPECT_EQ(p.height % c.frameH, 0);
        EXPECT_GE((p.width / c.frameW) * (p.height / c.frameH), c.count);
        for (int frame : c.shown) EXPECT_TRUE(FrameInk(p, c.frameW, c.frameH, frame).any) << frame;
    }
}

TEST(GeneratedPictures, PlaySpritesAreHardEdgedPixelArt) {
    Picture p = LoadPicture("512/gfx.png");
    ASSERT_TRUE(p.loaded);
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
            int a = p.Alpha(x, y);
            ASSERT_TRUE(a == 0 || a == 255) << "soft pixel at " << x << "," << y;
        }
}

TEST(GeneratedPictures, MailAndSpamDifferInShapeAndBrightness) {
    Picture p = LoadPicture("512/gfx.png");
    ASSERT_TRUE(p.loaded);
    // Shape: mail is a solid rectangle that fills its ink box; spam is round
    // and spiked, so much of its box stays empty.
    auto fill = [&](int frame) {
        assets_test::Ink ink = FrameInk(p, 20, 20, frame);
        int inked = 0;
        for (int y = ink.y0; y <= ink.y1; ++y)
            for (int x = ink.x0; x <= ink.x1; ++x) inked += FrameAlpha(p, 20, 20, frame, x, y) > 0;
        return double(inked) / ((ink.x1 - ink.x0 + 1) * (ink.y1 - ink.y0 + 1));
    };
    EXPECT_GT(fill(0), 0.95);
    EXPECT_LT(fill(1), 0.8);
    // Brightness: without colour, mail is clearly the lighter of the two.
    auto light = [&](int frame) {
        double sum = 0;
        int n = 0;
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 20; ++x)
                if (FrameAlpha(p, 20, 20, frame, x, y) > 0)
                    sum += Luminance(p.At(frame * 20 + x, y)), ++n;
        return sum / std::max(1, n);
    };
    EXPECT_GT(light(0), light(1) + 40);
}

TEST(GeneratedPictures, ShapesTheGameTintsAreWhite) {
    for (const char* file :
         {"common/part-shapefull.png", "common/parts_shape.png", "common/parts_smoke.png",
          "common/parts_cluster.png", "common/parts_stars.png", "common/circle.png"}) {
        SCOPED_TRACE(file);
        Picture p = LoadPicture(file);
        ASSERT_TRUE(p.loaded);
        for (int y = 0; y < p.height; ++y)
            for (int x = 0; x < p.width; ++x) {
                if (p.Alpha(x, y) == 0) continue;
                const uint8_t* px = p.At(x, y);
                ASSERT_TRUE(px[0] == 255 && px[1] == 255 && px[2] == 255) << x << "," << y;
            }
    }
}

TEST(GeneratedPictures, OptionsTileRepeatsEvery64Pixels) {
    Picture p = LoadPicture("common/options.png");
    ASSERT_TRUE(p.loaded);
    const int tile = 48;
    // The two-pixel border stays empty, so tiles 64 apart meet edge to edge.
    for (int i = 0; i < 68; ++i)
        for (int b : {0, 1, 66, 67}) {
            ASSERT_EQ(FrameAlpha(p, 68, 68, tile, i, b), 0) << i << "," << b;
            ASSERT_EQ(FrameAlpha(p, 68, 68, tile, b, i), 0) << b << "," << i;
        }
    // The pattern's last column runs on into its first as smoothly as any two
    // neighbouring columns inside it (likewise for rows).
    long widestInside = 0, widestInsideRow = 0;
    for (int x = 2; x < 65; ++x) {
        widestInside = std::max(widestInside, ColumnStep(p, 68, 68, tile, x, x + 1, 2, 66));
        widestInsideRow = std::max(widestInsideRow, RowStep(p, 68, 68, tile, x, x + 1, 2, 66));
    }
    EXPECT_LE(ColumnStep(p, 68, 68, tile, 65, 2, 2, 66), widestInside);
    EXPECT_LE(RowStep(p, 68, 68, tile, 65, 2, 2, 66), widestInsideRow);
}

TEST(GeneratedPictures, PlayBackdropJoinsItsSideEdges) {
    Picture p = LoadPicture("512/menu.png");
    ASSERT_TRUE(p.loaded);
    // Copies of frame 0 are drawn side by side, so column 1023 meets column 0.
    // That join must look like any other pair of neighbouring columns: its
    // colour step is within what 99 in 100 of the picture's own column pairs show.
    auto step = [&](int a, int b) {
        long sum = 0;
        for (int y = 0; y < 1024; ++y)
            for (int ch = 0; ch < 3; ++ch) sum += std::abs(p.At(a, y)[ch] - p.At(b, y)[ch]);
        return sum;
    };
    std::vector<long> inside;
    for (int x = 0; x < 1023; ++x) inside.push_back(step(x, x + 1));
    std::sort(inside.begin(), inside.end());
    EXPECT_LE(step(1023, 0), inside[inside.size() * 99 / 100]);
}

}  // namespace
