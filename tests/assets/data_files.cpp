// data_files.cpp: picture loading and frame inspection for the data-folder tests.
#include "data_files.h"

#include <algorithm>
#include <cstdlib>

#include "host/host.h"

namespace assets_test {

std::string DataPath(const std::string& file) {
    return std::string(QUORVANE_DATA_DIR) + "/" + file;
}

Picture LoadPicture(const std::string& file) {
    BBGlfwGame host;
    Picture p;
    unsigned char* data =
        host.LoadImageData(bbStringFromUtf8(DataPath(file)), &p.width, &p.height, &p.channels);
    if (!data) return p;
    p.pixels.assign(data, data + size_t(p.width) * p.height * p.channels);
    std::free(data);
    p.loaded = true;
    return p;
}

Ink FrameInk(const Picture& p, int frameW, int frameH, int frame) {
    Ink ink;
    int perRow = p.width / frameW;
    int ox = (frame % perRow) * frameW, oy = (frame / perRow) * frameH;
    for (int y = 0; y < frameH; ++y)
        for (int x = 0; x < frameW; ++x) {
            if (p.Alpha(ox + x, oy + y) == 0) continue;
            if (!ink.any) ink = {true, x, y, x, y};
            ink.x0 = std::min(ink.x0, x), ink.x1 = std::max(ink.x1, x);
            ink.y0 = std::min(ink.y0, y), ink.y1 = std::max(ink.y1, y);
        }
    return ink;
}

}  // namespace assets_test
