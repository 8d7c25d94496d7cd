// data_files.h: helpers shared by the data-folder tests.
//
// Loads generated pictures with the game's PNG loader into an RGBA grid with
// per-frame access, the way the game cuts frames (left to right, then top to
// bottom). The data folder's path comes from the build (QUORVANE_DATA_DIR).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace assets_test {

std::string DataPath(const std::string& file);

struct Picture {
    bool loaded = false;
    int width = 0, height = 0, channels = 0;
    std::vector<uint8_t> pixels;  // as decoded, `channels` bytes a pixel

    uint8_t Alpha(int x, int y) const {
        return channels == 4 ? pixels[(size_t(y) * width + x) * 4 + 3] : 255;
    }
    const uint8_t* At(int x, int y) const { return &pixels[(size_t(y) * width + x) * channels]; }
};

Picture LoadPicture(const std::string& file);

// The ink box of one frame (pixels with alpha above zero), in frame coordinates.
struct Ink {
    bool any = false;
    int x0 = 0, y0 = 0, x1 = -1, y1 = -1;  // inclusive
};
Ink FrameInk(const Picture& p, int frameW, int frameH, int frame);

}  // namespace assets_test
