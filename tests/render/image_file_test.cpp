// PNG loading: decoding, the refusal of crafted, truncated and foreign files
// without large allocations, and images loaded through the drawing context.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "host/app.h"
#include "host/host.h"
#include "png_writer.h"
#include "render/context.h"
#include "render_fixture.h"

// The test executable links with --wrap=malloc,--wrap=realloc: every direct
// malloc or realloc of the code under test passes here, so a test can see the
// largest block the decoder asked for.
namespace {
bool g_watching = false;
size_t g_largest = 0;
}  // namespace

extern "C" void* __real_malloc(size_t size);
extern "C" void* __real_realloc(void* block, size_t size);
extern "C" void* __wrap_malloc(size_t size) {
    if (g_watching && size > g_largest) g_largest = size;
    return __real_malloc(size);
}
extern "C" void* __wrap_realloc(void* block, size_t size) {
    if (g_watching && size > g_largest) g_largest = size;
    return __real_realloc(block, size);
}

namespace {

BBGlfwGame& Host() {
    static BBGlfwGame* const host = new BBGlfwGame();  // one host for the whole run
    return *host;
}

std::string TempDir() {
    static const std::string dir = [] {
        char pattern[] = "/tmp/quorvane-png-XXXXXX";
        const char* made = mkdtemp(pattern);
        return std::string(made ? made : "/tmp");
    }();
    return dir;
}

struct Decoded {
    unsigned char* data = nullptr;
    int w = -1, h = -1, channels = -1;
    size_t largestAllocation = 0;
    ~Decoded() { std::free(data); }
};

// Writes the bytes to a file and decodes it through the host.
std::unique_ptr<Decoded> Decode(const std::string& bytes, const std::string& name = "t.png") {
    const std::string path = TempDir() + "/" + name;
    EXPECT_TRUE(png::WriteFile(path, bytes));
    auto d = std::make_unique<Decoded>();
    g_largest = 0;
    g_watching = true;
    d->data = Host().LoadImageData(bbStringFromUtf8(path), &d->w, &d->h, &d->channels);
    g_watching = false;
    d->largestAllocation = g_largest;
    return d;
}

std::vector<uint8_t> Ramp(size_t n) {
    std::vector<uint8_t> v(n);
    for (size_t i = 0; i < n; ++i) v[i] = static_cast<uint8_t>(i * 37 + 11);
    return v;
}

// --- decoding ----------------------------------------------------------------

TEST(ImageFile, DecodesEachChannelCountWithItsOwnSamples) {
    for (int channels = 1; channels <= 4; ++channels) {
        const std::vector<uint8_t> samples = Ramp(size_t(3) * 2 * channels);
        auto d = Decode(png::Encode(3, 2, channels, samples));
        ASSERT_NE(d->data, nullptr) << channels;
        EXPECT_EQ(d->w, 3);
        EXPECT_EQ(d->h, 2);
        EXPECT_EQ(d->channels, channels);
        EXPECT_EQ(std::vector<uint8_t>(d->data, d->data + samples.size()), samples) << channels;
    }
}

TEST(ImageFile, SixteenBitSamplesKeepTheirHighByte) {
    const std::vector<uint8_t> samples = {0x12, 0x34, 0xab, 0xcd, 0xff, 0x00, 0x80, 0x01};
    auto d = Decode(png::Encode(2, 1, 2, samples, 16));
    ASSERT_NE(d->data, nullptr);
    EXPECT_EQ(d->channels, 2);
    EXPECT_EQ(std::vector<uint8_t>(d->data, d->data + 4),
              (std::vector<uint8_t>{0x12, 0xab, 0xff, 0x80}));
}

TEST(ImageFile, MissingFileGivesNull) {
    int w = 0, h = 0, n = 0;
    EXPECT_EQ(Host().LoadImageData(bbStringFromUtf8(TempDir() + "/absent.png"), &w, &h, &n),
              nullptr);
    EXPECT_EQ(Host().LoadImageData(bbStringFromUtf8(TempDir()), &w, &h, &n), nullptr)
        << "a directory is not an image";
}

// --- bad input ---------------------------------------------------------------

TEST(ImageFile, HeadersBeyondTheSizeBoundsAreRefusedWithoutLargeAllocations) {
    struct Case {
        uint32_t w, h;
        int depth, colorType;
    };
    const Case cases[] = {
        {100000, 1, 8, 6},
        {16385, 1, 8, 6},
        {1, 16385, 8, 0},
        {8192, 4096, 8, 6},
        {4097, 4096, 16, 6},
        {0x7fffffff, 2, 8, 6},
        {0xffffffff, 0xffffffff, 16, 6},
        {0, 10, 8, 6},
        // Within the bounds, but far more pixels than a tiny file can inflate to.
        {16384, 1024, 8, 6},
        {4096, 4096, 16, 6},
        {4096, 4096, 1, 0},
    };
    const std::string idat = png::Chunk("IDAT", png::Zlib(std::string(64, '\0')));
    for (const Case& c : cases) {
        auto d = Decode(png::kSignature + png::Ihdr(c.w, c.h, c.depth, c.colorType) + idat +
                        png::Chunk("IEND", ""));
        EXPECT_EQ(d->data, nullptr) << c.w << "x" << c.h;
        EXPECT_LT(d->largestAllocation, size_t(1) << 20) << c.w << "x" << c.h;
    }
}

TEST(ImageFile, ChunkLengthBeyondTheFileDoesNotSizeAnAllocation) {
    const std::string raw(1 + 4, '\0');
    const std::string body = png::Zlib(raw);
    for (uint32_t claimed : {0x40000000u, 0x7ffffff0u, 0x00100000u}) {
        auto d = Decode(png::kSignature + png::Ihdr(1, 1, 8, 6) +
                        png::Chunk("IDAT", body, claimed) + png::Chunk("IEND", ""));
        EXPECT_EQ(d->data, nullptr) << claimed;
        EXPECT_LT(d->largestAllocation, size_t(1) << 20) << claimed;
    }
}

TEST(ImageFile, TruncatedFilesGiveNullAtEveryOffset) {
    const std::vector<uint8_t> samples = Ramp(size_t(20) * 10 * 4);
    const std::string file = png::Encode(20, 10, 4, samples);
    const size_t iend = file.size() - 12;  // the IEND chunk: nothing after it matters
    for (size_t length = 0; length < iend; ++length) {
        auto d = Decode(file.substr(0, length));
        EXPECT_EQ(d->data, nullptr) << "cut at " << length;
        EXPECT_LT(d->largestAllocation, size_t(1) << 20) << "cut at " << length;
    }
}

TEST(ImageFile, CorruptBytesNeverGiveAnImageOfAnotherSize) {
    const std::vector<uint8_t> samples = Ramp(size_t(16) * 8 * 4);
    const std::string file = png::Encode(16, 8, 4, samples);
    for (size_t at = 8; at < file.size(); at += 3) {
        std::string bad = file;
        bad[at] = static_cast<char>(bad[at] ^ 0x5a);
        auto d = Decode(bad);
        if (!d->data) continue;
        // Chunk checksums are not verified, so some flips still decode; those
        // must be an image the header describes, within the bounds.
        EXPECT_GT(d->w, 0) << "flip at " << at;
        EXPECT_LE(int64_t(d->w) * d->h, int64_t(4096) * 4096) << "flip at " << at;
        EXPECT_LT(d->largestAllocation, size_t(1) << 20) << "flip at " << at;
    }
}

TEST(ImageFile, OtherFormatsNamedPngAreNotDecoded) {
    const unsigned char gif[] = {0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 0x01, 0x00, 0x01, 0x00, 0x80,
                                 0x00, 0x00, 0xff, 0xff, 0xff, 0x00, 0x00, 0x00, 0x21, 0xf9, 0x04,
                                 0x01, 0x00, 0x00, 0x00, 0x00, 0x2c, 0x00, 0x00, 0x00, 0x00, 0x01,
                                 0x00, 0x01, 0x00, 0x00, 0x02, 0x02, 0x44, 0x01, 0x00, 0x3b};
    // A 1x1 24-bit BMP.
    std::string bmp = "BM";
    const unsigned char bmpRest[] = {58, 0, 0, 0, 0, 0, 0, 0, 54, 0,   0, 0,  40, 0, 0,
                                     0,  1, 0, 0, 0, 1, 0, 0, 0,  1,   0, 24, 0,  0, 0,
                                     0,  0, 4, 0, 0, 0, 0, 0, 0,  0,   0, 0,  0,  0, 0,
                                     0,  0, 0, 0, 0, 0, 0, 0, 0,  255, 0, 0,  0};
    bmp.append(reinterpret_cast<const char*>(bmpRest), sizeof bmpRest);
    const std::string files[] = {std::string(reinterpret_cast<const char*>(gif), sizeof gif), bmp,
                                 "P6\n1 1\n255\n\xff\x00\x00"};
    for (const std::string& bytes : files) {
        auto d = Decode(bytes, "renamed.png");
        EXPECT_EQ(d->data, nullptr) << bytes.substr(0, 2);
    }
}

// --- loading through the context ------------------------------------------------

class LoadImageTest : public RendererTest {
  protected:
    void SetUp() override {
        RendererTest::SetUp();
        Host();
        bbInitRender();
        bb_graphics_SetGraphicsDevice(graphics.get());
    }
    void TearDown() override {
        bbInitRender();
        RendererTest::TearDown();
    }
    String Write(const std::string& name, int w, int h) {
        const std::string path = TempDir() + "/" + name;
        EXPECT_TRUE(png::WriteFile(path, png::Encode(w, h, 4, Ramp(size_t(w) * h * 4))));
        return bbStringFromUtf8(path);
    }
};

TEST_F(LoadImageTest, LoadSurfaceUploadsThePremultipliedImage) {
    const std::vector<uint8_t> pixel = {200, 100, 50, 128};
    const std::string path = TempDir() + "/one.png";
    ASSERT_TRUE(png::WriteFile(path, png::Encode(1, 1, 4, pixel)));
    auto surface = graphics->LoadSurface(bbStringFromUtf8(path));
    ASSERT_NE(surface, nullptr);
    EXPECT_EQ(surface->Width(), 1);
    ASSERT_EQ(gl.subImages.size(), 1u) << "a loaded surface is textured at once";
    EXPECT_EQ(gl.subImages[0].bytes, (std::vector<uint8_t>{100, 50, 25, 128}));
    EXPECT_EQ(graphics->LoadSurface(bbStringFromUtf8(TempDir() + "/absent.png")), nullptr);
}

TEST_F(LoadImageTest, LoadImageCutsAStripAndLoadImage2AGrid) {
    auto strip = bb_graphics_LoadImage(Write("strip.png", 64, 16), 4, 0);
    ASSERT_NE(strip, nullptr);
    EXPECT_EQ(strip->width, 16);
    EXPECT_EQ(strip->frames.size(), 4u);
    EXPECT_EQ(strip->frames[3].x, 48);

    auto grid = bb_graphics_LoadImage2(Write("grid.png", 64, 64), 32, 32, 4, c_Image::CentreHandle);
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->frames[3].y, 32);
    EXPECT_EQ(grid->handleX, 16);

    auto whole = bb_graphics_LoadImage2(Write("whole.png", 64, 64), 64, 64, 1, 0);
    ASSERT_NE(whole, nullptr);
    EXPECT_EQ(whole->flags, c_Image::WholeSurface);
    auto padded = bb_graphics_LoadImage2(Write("whole.png", 64, 64), 64, 64, 1, c_Image::PadX);
    ASSERT_NE(padded, nullptr);
    EXPECT_EQ(padded->flags, c_Image::PadX);
    EXPECT_EQ(padded->width, 62);
}

TEST_F(LoadImageTest, MissingOrUndecodableFilesGiveNullImages) {
    const std::string bad = TempDir() + "/bad.png";
    ASSERT_TRUE(png::WriteFile(bad, "not an image"));
    EXPECT_EQ(bb_graphics_LoadImage(bbStringFromUtf8(TempDir() + "/absent.png"), 1, 0), nullptr);
    EXPECT_EQ(bb_graphics_LoadImage2(bbStringFromUtf8(bad), 8, 8, 1, 0), nullptr);
    EXPECT_EQ(bb_graphics_LoadImage(u"tarvik://nowhere/x.png", 1, 0), nullptr);
}

TEST_F(LoadImageTest, DefaultFontComesFromTheDataFolderOnceWithFirstCharacter32) {
    char exe[PATH_MAX] = {};
    ASSERT_GT(readlink("/proc/self/exe", exe, sizeof exe - 1), 0);
    std::string dataDir = exe;
    dataDir = dataDir.substr(0, dataDir.rfind('/')) + "/data";
    mkdir(dataDir.c_str(), 0755);
    const std::string font = dataDir + "/kelo_font.png";
    std::remove(font.c_str());

    bb_graphics_SetFont(nullptr, 40);
    EXPECT_EQ(bb_graphics_context->currentFont, nullptr) << "no font file: no font";
    EXPECT_EQ(bb_graphics_context->fontFirstChar, 32);

    bbInitRender();
    bb_graphics_SetGraphicsDevice(graphics.get());
    ASSERT_TRUE(png::WriteFile(font, png::Encode(96 * 6, 8, 4, Ramp(size_t(96) * 6 * 8 * 4))));
    bb_graphics_SetFont(nullptr, 40);
    const std::shared_ptr<c_Image> builtin = bb_graphics_context->currentFont;
    ASSERT_NE(builtin, nullptr);
    EXPECT_EQ(builtin->frames.size(), 96u);
    EXPECT_EQ(builtin->width, 4) << "padded left and right";
    EXPECT_EQ(builtin->frames[1].x, 7);

    auto other = std::make_shared<c_Image>();
    bb_graphics_SetFont(other, 65);
    EXPECT_EQ(bb_graphics_context->currentFont, other);
    EXPECT_EQ(bb_graphics_context->fontFirstChar, 65);
    std::remove(font.c_str());
    bb_graphics_SetFont(nullptr, 32);
    EXPECT_EQ(bb_graphics_context->currentFont, builtin) << "the built-in font is loaded once";
}

}  // namespace
