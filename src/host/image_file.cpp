// image_file.cpp: BBGlfwGame::LoadImageData, PNG decoding through stb_image.
//
// Owns the one compiled copy of stb_image, built with only its PNG decoder so
// that no other format is ever sniffed from a file's content. Before decoding,
// the header's width, height and their product are checked against fixed
// bounds and against what the file's size can hold, and while decoding every allocation stb_image
// asks for is capped by what an image of that size can need, so a crafted or corrupt file gives
// null instead of a giant allocation. Safe on worker threads (no shared state: the allocation cap
// is per thread and stb_image's failure strings are off). Depends on the host's OpenFile (path
// mapping) and the C library.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "host/host.h"

namespace {

constexpr int kMaxImageSide = 16384;              // widest or tallest image accepted
constexpr int64_t kMaxImagePixels = 4096 * 4096;  // most pixels in one image
constexpr int64_t kMaxBytesPerPixel = 8;          // 16-bit RGBA before conversion
constexpr int64_t kDecodeSlack = 1 << 16;         // zlib tables, palettes, small images
constexpr int64_t kMaxInflateRatio = 1032;        // most bytes deflate makes of one byte

// Largest single allocation the decoder may make for the image being decoded.
thread_local size_t t_allocationLimit = 0;

void* BoundedMalloc(size_t size) {
    return size <= t_allocationLimit ? std::malloc(size) : nullptr;
}

void* BoundedRealloc(void* block, size_t size) {
    return size <= t_allocationLimit ? std::realloc(block, size) : nullptr;
}

}  // namespace

#define STBI_ONLY_PNG
#define STBI_NO_FAILURE_STRINGS
#define STBI_NO_HDR
#define STBI_NO_LINEAR
#define STBI_MAX_DIMENSIONS kMaxImageSide
#define STBI_MALLOC(size) BoundedMalloc(size)
#define STBI_REALLOC(block, size) BoundedRealloc(block, size)
#define STBI_FREE(block) std::free(block)
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#include <stb/stb_image.h>
#pragma GCC diagnostic pop

namespace {

// Bytes from the current position to the end of the file; -1 if unknown.
int64_t RemainingBytes(FILE* file) {
    const long start = std::ftell(file);
    if (start < 0 || std::fseek(file, 0, SEEK_END) != 0) return -1;
    const long end = std::ftell(file);
    if (std::fseek(file, start, SEEK_SET) != 0 || end < start) return -1;
    return end - start;
}

// Decodes the open PNG, or null when its header or data are unacceptable.
unsigned char* DecodePng(FILE* file, int* width, int* height, int* channels) {
    const int64_t fileBytes = RemainingBytes(file);
    if (fileBytes < 0) return nullptr;
    int w = 0, h = 0, n = 0;
    if (!stbi_info_from_file(file, &w, &h, &n)) return nullptr;
    if (w <= 0 || h <= 0 || w > kMaxImageSide || h > kMaxImageSide) return nullptr;
    const int64_t pixels = static_cast<int64_t>(w) * h;
    if (pixels > kMaxImagePixels) return nullptr;
    // Even one bit per pixel needs this many inflated bytes; a file too small to
    // hold them is refused before the decoder sizes its buffers by the header.
    const int64_t leastRawBytes = static_cast<int64_t>(h) * (1 + (w + 7) / 8);
    if (leastRawBytes > fileBytes * kMaxInflateRatio + kDecodeSlack) return nullptr;
    t_allocationLimit = static_cast<size_t>(pixels * kMaxBytesPerPixel + h + kDecodeSlack);
    unsigned char* data = stbi_load_from_file(file, &w, &h, &n, 0);
    t_allocationLimit = 0;
    if (!data) return nullptr;
    *width = w;
    *height = h;
    *channels = n;
    return data;
}

}  // namespace

unsigned char* BBGlfwGame::LoadImageData(const String& path, int* width, int* height,
                                         int* channels) {
    FILE* file = OpenFile(path, u"rb");
    if (!file) return nullptr;
    unsigned char* data = DecodePng(file, width, height, channels);
    std::fclose(file);
    return data;
}
