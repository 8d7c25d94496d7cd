// image.cpp: frame cutting and flags of c_Image.
//
// Owns p_Init, p_Init2 and the flag rules (padding, centred handle, whole
// surface). Depends on gxtkSurface for the surface size and on the host's
// bbError for the two runtime errors.
#include "render/image.h"

#include <algorithm>

#include "host/errors.h"

c_Image* c_Image::p_Init(const std::shared_ptr<gxtkSurface>& from, int frameCount, int newFlags) {
    if (surface) bbError(u"Image already initialized");
    surface = from;
    // A count below one would divide by zero; it means a single frame.
    frameCount = std::max(frameCount, 1);
    width = surface->Width() / frameCount;
    height = surface->Height();
    frames.assign(static_cast<size_t>(frameCount), c_Frame{});
    for (int i = 0; i < frameCount; ++i) frames[static_cast<size_t>(i)].x = i * width;
    p_ApplyFlags(newFlags);
    return this;
}

c_Image* c_Image::p_Init2(const std::shared_ptr<gxtkSurface>& from, int x, int y, int frameWidth,
                          int frameHeight, int frameCount, int newFlags,
                          const std::shared_ptr<c_Image>& source, int srcX, int srcY, int srcW,
                          int srcH) {
    if (surface) bbError(u"Image already initialized");
    surface = from;
    sourceImage = source;
    width = frameWidth;
    height = frameHeight;
    frames.assign(static_cast<size_t>(std::max(frameCount, 0)), c_Frame{});
    // 64-bit cursor: a large frame size cannot overflow the bounds test.
    int64_t cursorX = x;
    int64_t cursorY = y;
    for (c_Frame& frame : frames) {
        if (cursorX + width > srcW) {
            cursorX = 0;
            cursorY += height;
        }
        if (cursorX + width > srcW || cursorY + height > srcH)
            bbError(u"Image frame outside surface");
        frame.x = static_cast<int32_t>(cursorX + srcX);
        frame.y = static_cast<int32_t>(cursorY + srcY);
        cursorX += width;
    }
    p_ApplyFlags(newFlags);
    return this;
}

void c_Image::p_SetHandle(float x, float y) {
    handleX = x;
    handleY = y;
    flags &= ~CentreHandle;
}

void c_Image::p_ApplyFlags(int newFlags) {
    flags = newFlags;
    if (flags & PadX) {
        for (c_Frame& frame : frames) frame.x += 1;
        width -= 2;
    }
    if (flags & PadY) {
        for (c_Frame& frame : frames) frame.y += 1;
        height -= 2;
    }
    if (flags & CentreHandle) {
        handleX = static_cast<float>(width / 2.0);
        handleY = static_cast<float>(height / 2.0);
        flags &= ~CentreHandle;
    }
    if (frames.size() == 1 && frames[0].x == 0 && frames[0].y == 0 && width == surface->Width() &&
        height == surface->Height())
        flags |= WholeSurface;
}
