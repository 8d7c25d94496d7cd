// silent_test.cpp: the engine without any OpenAL device.
//
// OpenAL Soft is configured with no usable backend, as on a machine without a
// sound card: the engine says so once and every call still runs, silently.
#include "audio/engine_fixture.h"

namespace {

class SilentTest : public EngineTest {
  protected:
    static void SetUpTestSuite() { crafted::SelectOpenAl("[general]\ndrivers=no-such-backend\n"); }

    void SetUp() override {
        testing::internal::CaptureStdout();
        EngineTest::SetUp();
        console = testing::internal::GetCapturedStdout();
    }

    std::string console;
};

TEST_F(SilentTest, ConstructionReportsTheMissingDeviceOnce) {
    EXPECT_EQ(engine->alDevice, nullptr);
    EXPECT_EQ(engine->alContext, nullptr);
    EXPECT_EQ(console, "OpenAl error: alcOpenDevice failed\n");
    EXPECT_EQ(engine->channels[kMusicChannel].source, 0u);
}

TEST_F(SilentTest, EveryCallRunsAndNothingPlays) {
    const std::string wav = WavPath("hit.wav", 1000);
    const String tune = Str(dir.Write("tune.ogg", crafted::OggVorbis(2, 44100, 4410)));
    auto sample = std::make_shared<gxtkSample>();

    EXPECT_EQ(engine->LoadSample(Str(wav)), nullptr);  // nothing to upload into
    EXPECT_EQ(bb_audio_LoadSound(Str(wav)), nullptr);
    EXPECT_EQ(engine->PlaySample(sample, 0, 1), -1);
    bb_audio_PlaySound(c_Sound::m_new(sample), 1, 0);
    EXPECT_EQ(bb_audio_PlayMusic(tune, 1), -1);
    for (int c = 0; c < kChannelCount; ++c) {
        engine->SetVolume(c, 0.5f);
        engine->SetPan(c, 0.3f);
        engine->SetRate(c, 1.2f);
        engine->PauseChannel(c);
        engine->ResumeChannel(c);
        engine->StopChannel(c);
        EXPECT_EQ(engine->ChannelState(c), kChannelStopped) << c;
        EXPECT_EQ(engine->channels[c].source, 0u) << c;
    }
    bb_audio_SetMusicVolume(1.0f);
    bb_audio_PauseMusic();
    bb_audio_ResumeMusic();
    bb_audio_StopMusic();
    engine->Suspend();
    engine->Resume();
    EXPECT_EQ(engine->MusicState(), kChannelStopped);
}

}  // namespace
