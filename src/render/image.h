// image.h: images (c_Image) cut into frames (c_Frame) from one surface.
//
// An image is made once from a loaded surface, either as a strip of equal
// frames (p_Init) or as a grid of frameWidth x frameHeight cells read left to
// right, then top to bottom (p_Init2); the flags then pad the frames, centre
// the handle, and mark an image that is exactly its whole surface. Images are
// immutable afterwards and shared by reference (std::shared_ptr).
//
// Failure: initialising an image twice raises the runtime error "Image already
// initialized"; a grid cell that does not fit the source rectangle raises
// "Image frame outside surface" (both end the program through bbError).
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "render/graphics.h"

struct c_Frame {
    int32_t x = 0;
    int32_t y = 0;
};

class c_Image {
  public:
    // Image flags.
    static constexpr int CentreHandle = 1;      // handle at the frame centre
    static constexpr int PadX = 2;              // skip a 1-pixel border left and right
    static constexpr int PadY = 4;              // skip a 1-pixel border top and bottom
    static constexpr int WholeSurface = 65536;  // one frame that is the whole surface

    virtual ~c_Image() = default;

    // A strip of frameCount frames across the surface (at least one).
    c_Image* p_Init(const std::shared_ptr<gxtkSurface>& surface, int frameCount, int flags);
    // frameCount cells of frameWidth x frameHeight from the rectangle
    // (srcX, srcY, srcW, srcH) of the surface, the cursor starting at (x, y).
    c_Image* p_Init2(const std::shared_ptr<gxtkSurface>& surface, int x, int y, int frameWidth,
                     int frameHeight, int frameCount, int flags,
                     const std::shared_ptr<c_Image>& source, int srcX, int srcY, int srcW,
                     int srcH);
    void p_SetHandle(float x, float y);

    int p_Width() const { return width; }
    int p_Height() const { return height; }
    int p_Frames() const { return static_cast<int>(frames.size()); }

    std::shared_ptr<gxtkSurface> surface;
    int32_t width = 0;
    int32_t height = 0;
    std::vector<c_Frame> frames;
    int32_t flags = 0;
    float handleX = 0;
    float handleY = 0;
    std::shared_ptr<c_Image> sourceImage;

  private:
    void p_ApplyFlags(int flags);
};
