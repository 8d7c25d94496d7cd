// decode_test.cpp: WAV and Ogg Vorbis decoding by BBGlfwGame::LoadAudioData.
//
// Real files written to a temp folder: the layouts that load, the chunk layouts
// that must be walked correctly, and damaged or lying files that must give null.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>

#include "audio/crafted.h"
#include "host/host.h"

using crafted::Bytes;
using crafted::WavFile;
using crafted::WavFormat;

namespace {

struct Decoded {
    bool ok = false;
    int length = -1, channels = -1, bytesPerSample = -1, rate = -1;
    Bytes pcm;
};

class AudioDecodeTest : public testing::Test {
  protected:
    Decoded Load(const std::string& name, const Bytes& bytes) {
        return LoadPath(dir.Write(name, bytes));
    }

    Decoded LoadPath(const std::string& path) {
        Decoded d;
        unsigned char* data = host.LoadAudioData(bbStringFromUtf8(path), &d.length, &d.channels,
                                                 &d.bytesPerSample, &d.rate);
        if (!data) return d;
        d.ok = true;
        const size_t bytes = static_cast<size_t>(d.length) * d.channels * d.bytesPerSample;
        d.pcm.assign(data, data + bytes);
        std::free(data);
        return d;
    }

    BBGlfwGame host;
    crafted::TempDir dir;
};

TEST_F(AudioDecodeTest, PcmLayoutsLoadAsStored) {
    struct Case {
        uint32_t channels, bits, rate;
    };
    const Case cases[] = {{1, 8, 11025}, {2, 8, 22050}, {1, 16, 44100}, {2, 16, 48000}};
    for (const Case& c : cases) {
        const int frames = 37;
        const Bytes pcm =
            c.bits == 8 ? crafted::Pcm8(frames, c.channels) : crafted::Pcm16(frames, c.channels);
        WavFormat format;
        format.channels = c.channels;
        format.bits = c.bits;
        format.rate = c.rate;
        const Decoded d = Load("layout.wav", WavFile(format).Data(pcm).Build());
        ASSERT_TRUE(d.ok) << c.channels << " channels, " << c.bits << " bits";
        EXPECT_EQ(d.length, frames);
        EXPECT_EQ(d.channels, static_cast<int>(c.channels));
        EXPECT_EQ(d.bytesPerSample, static_cast<int>(c.bits / 8));
        EXPECT_EQ(d.rate, static_cast<int>(c.rate));
        EXPECT_EQ(d.pcm, pcm) << c.channels << " channels, " << c.bits << " bits";
    }
}

// The chunk walk: whatever comes between the format chunk and the data, the
// samples that load are exactly the data chunk's.
TEST_F(AudioDecodeTest, ChunksAroundTheDataAreWalkedCorrectly) {
    const Bytes pcm = crafted::Pcm16(20, 1);
    WavFormat longFormat;
    longFormat.length = 18;  // the extension-size field many writers add
    WavFormat oddFormat;
    oddFormat.length = 19;  // odd: followed by a pad byte
    struct Case {
        const char* what;
        Bytes file;
    };
    const Case cases[] = {
        {"LIST chunk before data", WavFile().Chunk("LIST", Bytes(26, 'x')).Data(pcm).Build()},
        {"odd-sized chunk and its pad byte",
         WavFile().Chunk("junk", Bytes(3, 7)).Data(pcm).Build()},
        {"several unknown chunks",
         WavFile().Chunk("fact", Bytes(4, 1)).Chunk("cue ", Bytes(1, 2)).Data(pcm).Build()},
        {"format chunk longer than 16", WavFile(longFormat).Data(pcm).Build()},
        {"odd-sized format chunk", WavFile(oddFormat).Data(pcm).Build()},
        {"chunks after the data", WavFile().Data(pcm).Chunk("LIST", Bytes(5, 1)).Build()},
    };
    for (const Case& c : cases) {
        const Decoded d = Load("walk.wav", c.file);
        ASSERT_TRUE(d.ok) << c.what;
        EXPECT_EQ(d.pcm, pcm) << c.what;
    }
}

TEST_F(AudioDecodeTest, EmptyDataChunkGivesAZeroLengthSound) {
    const Decoded d = Load("empty.wav", WavFile().Data({}).Build());
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.length, 0);
}

TEST_F(AudioDecodeTest, UnusableOrLyingWavFilesGiveNull) {
    const Bytes pcm = crafted::Pcm16(20, 1);
    auto withFormat = [&](auto change) {
        WavFormat format;
        change(format);
        return WavFile(format).Data(pcm).Build();
    };
    Bytes good = WavFile().Data(pcm).Build();
    Bytes notRiff = good;
    std::memcpy(notRiff.data(), "RIFX", 4);
    Bytes notWave = good;
    std::memcpy(notWave.data() + 8, "AVI ", 4);
    Bytes noFormat = WavFile().Build();
    noFormat.erase(noFormat.begin() + 12, noFormat.end());
    noFormat.insert(noFormat.end(), {'d', 'a', 't', 'a', 0, 0, 0, 0});
    Bytes truncated = good;
    truncated.resize(good.size() - 5);
    Bytes cutInFormat = good;
    cutInFormat.resize(30);
    struct Case {
        const char* what;
        Bytes file;
    };
    const Case cases[] = {
        {"float samples (format 3)", withFormat([](WavFormat& f) { f.audioFormat = 3; })},
        {"extensible format", withFormat([](WavFormat& f) { f.audioFormat = 0xFFFE; })},
        {"no channels", withFormat([](WavFormat& f) { f.channels = 0; })},
        {"six channels", withFormat([](WavFormat& f) { f.channels = 6; })},
        {"zero bits per sample", withFormat([](WavFormat& f) { f.bits = 0; })},
        {"24 bits per sample", withFormat([](WavFormat& f) { f.bits = 24; })},
        {"4 bits per sample", withFormat([](WavFormat& f) { f.bits = 4; })},
        {"rate 0", withFormat([](WavFormat& f) { f.rate = 0; })},
        {"format chunk shorter than 16", withFormat([](WavFormat& f) { f.length = 14; })},
        {"format chunk longer than the file",
         withFormat([](WavFormat& f) { f.claimed = 0x7FFFFFF0; })},
        {"not RIFF", notRiff},
        {"not WAVE", notWave},
        {"no format chunk", noFormat},
        {"truncated data", truncated},
        {"cut inside the format chunk", cutInFormat},
        {"no data chunk", WavFile().Chunk("LIST", Bytes(4, 0)).Build()},
        {"data chunk claiming gigabytes", WavFile().LyingChunk("data", 0xFFFFFFF0, pcm).Build()},
        {"unknown chunk claiming more than the file",
         WavFile().LyingChunk("LIST", 0x80000000, {}).Data(pcm).Build()},
        // Taken as signed, -8 would step back onto the same header forever.
        {"chunk length -8", WavFile().LyingChunk("LIST", 0xFFFFFFF8, {}).Data(pcm).Build()},
        {"odd-sized chunk without its pad byte",
         WavFile().LyingChunk("junk", 3, {1, 2, 3}).Data(pcm).Build()},
        {"empty file", {}},
        {"text", Bytes{'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd'}},
    };
    for (const Case& c : cases) {
        const Decoded d = Load("bad.wav", c.file);
        EXPECT_FALSE(d.ok) << c.what;
    }
}

TEST_F(AudioDecodeTest, MissingFileGivesNull) {
    EXPECT_FALSE(LoadPath(dir.path() + "/missing.wav").ok);
    EXPECT_FALSE(LoadPath(dir.path() + "/missing.ogg").ok);
}

TEST_F(AudioDecodeTest, ExtensionChoosesTheDecoderIgnoringCase) {
    const Bytes wav = WavFile().Data(crafted::Pcm16(10, 1)).Build();
    const Bytes ogg = crafted::OggVorbis(1, 22050, 2000);
    struct Case {
        const char* name;
        const Bytes* content;
        bool loads;
    };
    const Case cases[] = {
        {"a.wav", &wav, true},      {"b.WAV", &wav, true}, {"c.Wav", &wav, true},
        {"d.OGG", &ogg, true},      {"e.oGg", &ogg, true}, {"f.mp3", &wav, false},
        {"g.wav.bak", &wav, false}, {"hwav", &wav, false}, {"i.ogg", &wav, false},
        {"j.wav", &ogg, false},
    };
    for (const Case& c : cases) EXPECT_EQ(Load(c.name, *c.content).ok, c.loads) << c.name;
}

TEST_F(AudioDecodeTest, OggVorbisDecodesWholeInto16BitSamples) {
    struct Case {
        int channels, rate, frames;
    };
    const Case cases[] = {{2, 44100, 44100}, {1, 22050, 30000}, {6, 48000, 9000}};
    for (const Case& c : cases) {
        const Decoded d = Load("tone.ogg", crafted::OggVorbis(c.channels, c.rate, c.frames));
        ASSERT_TRUE(d.ok) << c.channels << " channels at " << c.rate;
        EXPECT_EQ(d.channels, c.channels);
        EXPECT_EQ(d.bytesPerSample, 2);
        EXPECT_EQ(d.rate, c.rate);
        EXPECT_EQ(d.length, c.frames);
        // The tone is there: a half-scale sine peaks far above the noise floor.
        int peak = 0;
        for (size_t i = 0; i + 1 < d.pcm.size(); i += 2) {
            const int v = static_cast<int16_t>(d.pcm[i] | (d.pcm[i + 1] << 8));
            peak = std::max(peak, std::abs(v));
        }
        EXPECT_GT(peak, 8000) << c.channels << " channels at " << c.rate;
    }
}

TEST_F(AudioDecodeTest, DamagedOggFilesGiveNull) {
    const Bytes good = crafted::OggVorbis(2, 44100, 20000);
    ASSERT_TRUE(Load("good.ogg", good).ok);
    // The offset of the last page: cutting there leaves whole pages but no end.
    size_t lastPage = 0;
    for (size_t i = 0; i + 4 <= good.size(); ++i)
        if (std::memcmp(good.data() + i, "OggS", 4) == 0) lastPage = i;
    ASSERT_GT(lastPage, 0u);
    Bytes lyingSegments = good;
    lyingSegments[lastPage + 27] = 0xFF;  // the last page claims more than it has
    Bytes brokenSetup = good;
    for (size_t i = 60; i < 400 && i < brokenSetup.size(); ++i) brokenSetup[i] ^= 0x5A;
    Bytes noise(4096);
    for (size_t i = 0; i < noise.size(); ++i) noise[i] = static_cast<uint8_t>(i * 131 + 7);
    std::memcpy(noise.data(), "OggS", 4);
    struct Case {
        const char* what;
        Bytes file;
    };
    const Case cases[] = {
        {"cut in half", Bytes(good.begin(), good.begin() + good.size() / 2)},
        {"last byte missing", Bytes(good.begin(), good.end() - 1)},
        {"cut before the last page", Bytes(good.begin(), good.begin() + lastPage)},
        {"page claiming more than the file", lyingSegments},
        {"damaged headers", brokenSetup},
        {"noise after the capture pattern", noise},
        {"a WAV file", WavFile().Data(crafted::Pcm16(100, 2)).Build()},
        {"empty file", {}},
    };
    for (const Case& c : cases) EXPECT_FALSE(Load("bad.ogg", c.file).ok) << c.what;
}

}  // namespace
