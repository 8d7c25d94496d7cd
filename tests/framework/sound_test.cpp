// Effects and tunes against the real audio engine on OpenAL Soft's null
// backend: channel rotation, pitch, volume and pan clamping, the random
// pitch's draw, and the tune's replay, pause, resume and stop.
#include <AL/al.h>

#include <cmath>
#include <filesystem>

#include "audio/audio.h"
#include "audio/crafted.h"
#include "fw_fixture.h"

namespace {

// A desktop host whose data folder is the test's temp folder.
class DataHost : public BBGlfwGame {
  public:
    explicit DataHost(std::string root) : root_(std::move(root)) {}
    String PathToFilePath(const String& path) override {
        const String prefix = u"tarvik://data/";
        if (path.compare(0, prefix.size(), prefix) != 0) return path;
        return bbStringFromUtf8(root_) + u"/" + path.substr(prefix.size());
    }

  private:
    std::string root_;
};

class SoundTest : public testing::Test {
  protected:
    static void SetUpTestSuite() { crafted::SelectOpenAl("[general]\ndrivers=null\n"); }

    void SetUp() override {
        for (const char* folder : {"/512/sfx", "/common"}) {
            std::filesystem::create_directories(dir.path() + folder);
        }
        const crafted::Bytes wav =
            crafted::WavFile().Data(crafted::SquarePcm16(22050 * 20, 1, 9000)).Build();
        dir.Write("512/sfx/005.wav", wav);
        dir.Write("common/096.wav", wav);
        dir.Write("512/sfx/Keeping.ogg", crafted::OggVorbis(1, 22050, 22050 * 5));
        host = std::make_unique<DataHost>(dir.path());
        bbInitApp();
        bbInitAudio();
        bbInitFramework();
        engine = std::make_unique<gxtkAudio>();
        ASSERT_NE(engine->alContext, nullptr);
        bb_audio_SetAudioDevice(engine.get());
        bb_zolt_ZOLT_GameNum = 512;
        bb_zolt_ZOLT_Set[0] = 7;
        bb_zolt_ZOLT_Set[1] = 7;
    }
    void TearDown() override {
        bbInitFramework();
        engine.reset();
        bbInitAudio();
    }

    float SourceFloat(int channel, ALenum param) const {
        ALfloat value = -1;
        alGetSourcef(engine->channels[channel].source, param, &value);
        return value;
    }

    crafted::TempDir dir;
    std::unique_ptr<DataHost> host;
    std::unique_ptr<gxtkAudio> engine;
};

TEST_F(SoundTest, EffectsLoadFromNumberedFiles) {
    bb_zolt_LoadSFX(5);
    bb_zolt_LoadSFX(96);
    bb_zolt_LoadSFX(7);
    EXPECT_NE(bb_zolt_ZOLT_SFX[5], nullptr);
    EXPECT_NE(bb_zolt_ZOLT_SFX[96], nullptr);
    EXPECT_EQ(bb_zolt_ZOLT_SFX[7], nullptr) << "missing file: empty slot";
    bb_zolt_LoadSFX(100);
    bb_zolt_LoadSFX(-1);
}

TEST_F(SoundTest, EffectsRotateOverAllThirtyTwoChannels) {
    bb_zolt_LoadSFX(5);
    bb_zolt_PlaySFX(5);
    EXPECT_EQ(bb_zolt_ZOLT_LChan, 1);
    EXPECT_EQ(engine->ChannelState(1), kChannelPlaying);
    EXPECT_EQ(engine->ChannelState(0), kChannelStopped);
    for (int i = 1; i < 33; ++i) bb_zolt_PlaySFX(5);
    EXPECT_EQ(bb_zolt_ZOLT_LChan, 1);
    for (int c = 0; c < 32; ++c) EXPECT_EQ(engine->ChannelState(c), kChannelPlaying) << c;
}

TEST_F(SoundTest, PitchVolumeAndPanAreClamped) {
    bb_zolt_LoadSFX(5);
    bb_zolt_PlaySFX(5, 5, 2, -3);
    EXPECT_FLOAT_EQ(SourceFloat(1, AL_PITCH), 3);
    EXPECT_NEAR(SourceFloat(1, AL_GAIN), 0.99f * 7 * 0.1f, 1e-5f);
    ALfloat pos[3] = {};
    alGetSourcefv(engine->channels[1].source, AL_POSITION, pos);
    EXPECT_NEAR(pos[0], std::sin(-1.0f), 1e-5f);
    bb_zolt_PlaySFX(5, 0.1f, 0.5f, 0);
    EXPECT_FLOAT_EQ(SourceFloat(2, AL_PITCH), 0.4f);
    EXPECT_NEAR(SourceFloat(2, AL_GAIN), 0.35f, 1e-5f);
    bb_zolt_ZOLT_Set[1] = 12;
    bb_zolt_PlaySFX(5, 1, 1, 0);
    EXPECT_EQ(bb_zolt_ZOLT_Set[1], 10);
    EXPECT_NEAR(SourceFloat(3, AL_GAIN), 0.99f, 1e-5f);
}

TEST_F(SoundTest, RandomPitchTakesOneDrawEvenWhenFixedOrSilent) {
    bb_zolt_LoadSFX(5);
    bb_zolt_LoadSFX(96);
    const uint32_t seed = bb_random_Seed;
    const uint32_t next = seed * 1664525u + 1013904223u;
    bb_zolt_PlaySFX(5);
    EXPECT_EQ(bb_random_Seed, next);
    EXPECT_NEAR(SourceFloat(1, AL_PITCH), 0.7f + (next >> 8) / 16777216.0f * 0.6f, 1e-5f);
    bb_zolt_PlaySFX(96);
    EXPECT_FLOAT_EQ(SourceFloat(2, AL_PITCH), 1);
    bb_zolt_PlaySFX(40);  // empty slot
    uint32_t third = next;
    for (int i = 0; i < 2; ++i) third = third * 1664525u + 1013904223u;
    EXPECT_EQ(bb_random_Seed, third) << "three draws";
    EXPECT_EQ(bb_zolt_ZOLT_LChan, 2) << "an empty slot takes no channel";
}

TEST_F(SoundTest, TunePlaysReplaysPausesAndStops) {
    bb_zolt_ZOLT_Set[0] = 10;
    bb_zolt_PlayTune(u"Keeping", 1);
    EXPECT_EQ(bb_zolt_ZOLT_MusicPlaying, 1);
    EXPECT_EQ(bb_zolt_ZOLT_LastTune, u"Keeping");
    EXPECT_EQ(engine->MusicState(), kChannelPlaying);
    EXPECT_NEAR(SourceFloat(kMusicChannel, AL_GAIN), 0.999f, 1e-5f);
    EXPECT_EQ(engine->channels[kMusicChannel].flags, 1);

    bb_zolt_PauseTune();
    bb_zolt_PauseTune();
    EXPECT_EQ(engine->MusicState(), kChannelPaused);
    bb_zolt_ResumeTune();
    EXPECT_EQ(bb_zolt_ZOLT_MusicPlaying, 1);
    EXPECT_EQ(engine->MusicState(), kChannelPlaying);

    const auto first = engine->channels[kMusicChannel].sample;
    bb_zolt_PlayTune(u"-1", 0);
    EXPECT_EQ(bb_zolt_ZOLT_LastTune, u"Keeping");
    EXPECT_NE(engine->channels[kMusicChannel].sample, first) << "restarted from the file";
    EXPECT_EQ(engine->MusicState(), kChannelPlaying);

    bb_zolt_StopTune();
    EXPECT_EQ(bb_zolt_ZOLT_MusicPlaying, 0);
    EXPECT_EQ(engine->MusicState(), kChannelStopped);
    bb_zolt_ResumeTune();
    EXPECT_EQ(bb_zolt_ZOLT_MusicPlaying, 0) << "resume without a pause does nothing";
}

TEST_F(SoundTest, MissingTuneStillCountsAsPlaying) {
    bb_zolt_PlayTune(u"-1", 1);
    EXPECT_EQ(bb_zolt_ZOLT_LastTune, u"-1");
    EXPECT_EQ(bb_zolt_ZOLT_MusicPlaying, 1);
    bb_zolt_PlayTune(u"", 1);
    EXPECT_EQ(bb_zolt_ZOLT_LastTune, u"-1");
}

}  // namespace
