// sounds_test.cpp: the generated effects and the play tune.
//
// Every effect is read by a small RIFF reader written here and by the game's
// own loader, which must agree; each is 16-bit PCM at a rate the game plays,
// audible and never at full scale. The tune is decoded by libvorbisfile and by
// the game's loader; it lasts a minute or more, is not clipped, and its last
// sample runs into its first without a jump or a silent gap, so it loops.
#include <gtest/gtest.h>
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "assets/data_files.h"
#include "host/host.h"

using assets_test::DataPath;

namespace {

constexpr int kFullScale = 32767;

const char* const kEffects[] = {"512/sfx/001.wav", "512/sfx/002.wav", "512/sfx/003.wav",
                                "512/sfx/004.wav", "512/sfx/005.wav", "common/096.wav",
                                "common/098.wav",  "common/099.wav"};

struct Pcm {
    bool ok = false;
    int format = 0, channels = 0, rate = 0, bits = 0;
    std::vector<int16_t> samples;  // interleaved
};

uint32_t Le32(const uint8_t* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24;
}
uint16_t Le16(const uint8_t* p) {
    return uint16_t(p[0] | p[1] << 8);
}

// Reads a RIFF WAVE file: walks the chunks for "fmt " and "data".
Pcm ReadWav(const std::string& path) {
    Pcm pcm;
    std::vector<uint8_t> bytes;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        uint8_t buf[4096];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) bytes.insert(bytes.end(), buf, buf + n);
        std::fclose(f);
    }
    if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0 ||
        std::memcmp(bytes.data() + 8, "WAVE", 4) != 0 || Le32(&bytes[4]) + 8 != bytes.size())
        return pcm;
    bool haveFormat = false;
    for (size_t at = 12; at + 8 <= bytes.size();) {
        const uint8_t* chunk = &bytes[at];
        uint32_t size = Le32(chunk + 4);
        if (at + 8 + size > bytes.size()) return pcm;
        if (std::memcmp(chunk, "fmt ", 4) == 0 && size >= 16) {
            pcm.format = Le16(chunk + 8), pcm.channels = Le16(chunk + 10);
            pcm.rate = int(Le32(chunk + 12)), pcm.bits = Le16(chunk + 22);
            haveFormat = true;
        } else if (std::memcmp(chunk, "data", 4) == 0 && haveFormat && pcm.bits == 16) {
            for (uint32_t i = 0; i + 1 < size; i += 2)
                pcm.samples.push_back(int16_t(Le16(chunk + 8 + i)));
            pcm.ok = true;
        }
        at += 8 + size + (size & 1);
    }
    return pcm;
}

// The game's loader: PCM bytes, or ok = false.
Pcm GameLoad(const std::string& path) {
    BBGlfwGame host;
    Pcm pcm;
    int length = 0, bytesPerSample = 0;
    unsigned char* data = host.LoadAudioData(bbStringFromUtf8(path), &length, &pcm.channels,
                                             &bytesPerSample, &pcm.rate);
    if (!data) return pcm;
    pcm.bits = bytesPerSample * 8;
    if (bytesPerSample == 2) {
        pcm.samples.resize(size_t(length) * pcm.channels);
        std::memcpy(pcm.samples.data(), data, pcm.samples.size() * 2);
        pcm.ok = true;
    }
    std::free(data);
    return pcm;
}

Pcm DecodeOgg(const std::string& path) {
    Pcm pcm;
    OggVorbis_File vf;
    if (ov_fopen(path.c_str(), &vf) != 0) return pcm;
    vorbis_info* info = ov_info(&vf, -1);
    pcm.channels = info->channels, pcm.rate = int(info->rate), pcm.bits = 16;
    char buf[8192];
    int section = 0;
    long got;
    while ((got = ov_read(&vf, buf, sizeof buf, 0, 2, 1, &section)) > 0) {
        size_t old = pcm.samples.size();
        pcm.samples.resize(old + got / 2);
        std::memcpy(pcm.samples.data() + old, buf, got);
    }
    pcm.ok = got == 0;
    ov_clear(&vf);
    return pcm;
}

int Peak(const std::vector<int16_t>& s, size_t from = 0, size_t to = SIZE_MAX) {
    int peak = 0;
    for (size_t i = from; i < std::min(to, s.size()); ++i)
        peak = std::max(peak, std::abs(int(s[i])));
    return peak;
}

double Rms(const std::vector<int16_t>& s, size_t from, size_t to) {
    double sum = 0;
    for (size_t i = from; i < to; ++i) sum += double(s[i]) * s[i];
    return std::sqrt(sum / double(std::max<size_t>(1, to - from))) / kFullScale;
}

TEST(GeneratedEffects, AreSixteenBitPcmAtAPlayableRate) {
    for (const char* file : kEffects) {
        SCOPED_TRACE(file);
        Pcm wav = ReadWav(DataPath(file));
        ASSERT_TRUE(wav.ok);
        EXPECT_EQ(wav.format, 1);
        EXPECT_EQ(wav.bits, 16);
        EXPECT_TRUE(wav.channels == 1 || wav.channels == 2);
        EXPECT_TRUE(wav.rate == 44100 || wav.rate == 22050);
        EXPECT_EQ(wav.samples.size() % wav.channels, 0u);
    }
}

TEST(GeneratedEffects, AreAudibleAndNeverClipped) {
    for (const char* file : kEffects) {
        SCOPED_TRACE(file);
        Pcm wav = ReadWav(DataPath(file));
        ASSERT_TRUE(wav.ok);
        ASSERT_FALSE(wav.samples.empty());
        EXPECT_LT(Peak(wav.samples), kFullScale * 0.95);
        EXPECT_GT(Peak(wav.samples), kFullScale * 0.3);
        EXPECT_GT(Rms(wav.samples, 0, wav.samples.size()), 0.03);
    }
}

TEST(GeneratedEffects, GameLoaderReadsThemAsWritten) {
    for (const char* file : kEffects) {
        SCOPED_TRACE(file);
        Pcm ours = ReadWav(DataPath(file)), game = GameLoad(DataPath(file));
        ASSERT_TRUE(ours.ok);
        ASSERT_TRUE(game.ok);
        EXPECT_EQ(game.channels, ours.channels);
        EXPECT_EQ(game.rate, ours.rate);
        EXPECT_TRUE(game.samples == ours.samples);
    }
}

class TuneTest : public testing::Test {
  protected:
    void SetUp() override {
        tune = DecodeOgg(DataPath("512/sfx/Keeping.ogg"));
        ASSERT_TRUE(tune.ok);
        ASSERT_GT(tune.channels, 0);
    }
    size_t Frames() const { return tune.samples.size() / tune.channels; }
    Pcm tune;
};

TEST_F(TuneTest, LastsAMinuteAndIsNotClipped) {
    EXPECT_TRUE(tune.rate == 44100 || tune.rate == 22050);
    EXPECT_GE(double(Frames()) / tune.rate, 60.0);
    EXPECT_LT(Peak(tune.samples), kFullScale);
    EXPECT_GT(Rms(tune.samples, 0, tune.samples.size()), 0.05);
}

TEST_F(TuneTest, GameLoaderDecodesTheWholeTune) {
    Pcm game = GameLoad(DataPath("512/sfx/Keeping.ogg"));
    ASSERT_TRUE(game.ok);
    EXPECT_EQ(game.channels, tune.channels);
    EXPECT_EQ(game.rate, tune.rate);
    EXPECT_EQ(game.samples.size(), tune.samples.size());
}

TEST_F(TuneTest, EndJoinsStartWithoutAJumpOrAGap) {
    const int ch = tune.channels;
    const size_t frames = Frames();
    // The step across the loop point must be no bigger than the steps the
    // music itself makes: compare with the largest steps near the join and a
    // high percentile over the whole tune.
    std::vector<int> steps;
    steps.reserve(frames);
    for (size_t i = 1; i < frames; ++i)
        for (int c = 0; c < ch; ++c)
            steps.push_back(std::abs(tune.samples[i * ch + c] - tune.samples[(i - 1) * ch + c]));
    std::nth_element(steps.begin(), steps.begin() + steps.size() * 999 / 1000, steps.end());
    const int typicalBig = steps[steps.size() * 999 / 1000];
    for (int c = 0; c < ch; ++c) {
        int jump = std::abs(tune.samples[c] - tune.samples[(frames - 1) * ch + c]);
        EXPECT_LE(jump, typicalBig) << "channel " << c;
    }
    // No silence on either side of the join: the tune plays straight through.
    const size_t edge = size_t(tune.rate / 20) * ch;  // 50 ms
    const double whole = Rms(tune.samples, 0, tune.samples.size());
    EXPECT_GT(Rms(tune.samples, 0, edge), whole * 0.2);
    EXPECT_GT(Rms(tune.samples, tune.samples.size() - edge, tune.samples.size()), whole * 0.2);
}

}  // namespace
