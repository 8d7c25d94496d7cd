// handover_test.cpp: channels sharing sources when OpenAL has fewer than 33.
//
// OpenAL Soft's `sources` setting limits this process to 8 sources: the music
// channel takes one at start, sound channels 0..6 the other seven, and every
// channel after that must take over the source of an idle sound channel.
#include "audio/engine_fixture.h"

namespace {

constexpr int kSourceLimit = 8;                      // sources OpenAL Soft grants here
constexpr int kFreeSoundSources = kSourceLimit - 1;  // left after the music channel's

class HandoverTest : public EngineTest {
  protected:
    static void SetUpTestSuite() {
        crafted::SelectOpenAl("[general]\ndrivers=null\nsources=" + std::to_string(kSourceLimit) +
                              "\n");
    }

    void SetUp() override {
        EngineTest::SetUp();
        ASSERT_NE(engine->alContext, nullptr) << "OpenAL Soft's null backend did not open";
        looping = LongSample();
        ASSERT_NE(looping, nullptr);
    }

    // Channels 0..6 each playing the looping sample: every source in use.
    void FillAllSources() {
        for (int c = 0; c < kFreeSoundSources; ++c) ASSERT_EQ(engine->PlaySample(looping, c, 1), 0);
    }

    std::shared_ptr<gxtkSample> looping;
};

TEST_F(HandoverTest, ChannelWithoutSourceTakesTheFirstIdleChannelsSource) {
    FillAllSources();
    engine->StopChannel(4);
    engine->StopChannel(2);
    const ALuint second = engine->channels[2].source;
    const ALuint fourth = engine->channels[4].source;

    EXPECT_EQ(engine->PlaySample(looping, 20, 1), 0);
    EXPECT_EQ(engine->channels[20].source, second);
    EXPECT_EQ(engine->channels[2].source, 0u);
    EXPECT_EQ(engine->channels[4].source, fourth);
    EXPECT_EQ(SourceState(20), AL_PLAYING);
    for (int c : {0, 1, 3, 5, 6}) EXPECT_EQ(SourceState(c), AL_PLAYING) << c;

    // The channel that gave its source away gets the next idle one back.
    EXPECT_EQ(engine->PlaySample(looping, 2, 0), 0);
    EXPECT_EQ(engine->channels[2].source, fourth);
    EXPECT_EQ(engine->channels[4].source, 0u);
}

TEST_F(HandoverTest, SoundThatEndedByItselfGivesUpItsSource) {
    FillAllSources();
    auto blip = ShortSample();
    ASSERT_EQ(engine->PlaySample(blip, 5, 0), 0);
    ASSERT_TRUE(WaitUntilSourceStops(5));
    const ALuint freed = engine->channels[5].source;
    EXPECT_EQ(engine->PlaySample(looping, 31, 1), 0);
    EXPECT_EQ(engine->channels[31].source, freed);
    EXPECT_EQ(engine->channels[5].state, kChannelStopped);
}

TEST_F(HandoverTest, BusyPausedAndMusicChannelsKeepTheirSources) {
    FillAllSources();
    engine->PauseChannel(0);
    engine->StopMusic();  // idle, but the music channel never gives its source away
    const ALuint music = engine->channels[kMusicChannel].source;

    EXPECT_EQ(engine->PlaySample(looping, 10, 1), -1);
    EXPECT_EQ(engine->channels[10].source, 0u);
    EXPECT_EQ(engine->ChannelState(10), kChannelStopped);
    EXPECT_EQ(engine->channels[kMusicChannel].source, music);
    EXPECT_EQ(engine->ChannelState(0), kChannelPaused);
    for (int c = 1; c < kFreeSoundSources; ++c) EXPECT_EQ(SourceState(c), AL_PLAYING) << c;

    // Setters on a channel without a source are harmless and change nobody else.
    engine->SetVolume(10, 0.0f);
    float gain = 0;
    alGetSourcef(engine->channels[1].source, AL_GAIN, &gain);
    EXPECT_FLOAT_EQ(gain, 1.0f);
}

TEST_F(HandoverTest, SettersTakeOverAnIdleSourceToo) {
    FillAllSources();
    engine->StopChannel(6);
    const ALuint idle = engine->channels[6].source;
    engine->SetRate(12, 0.5f);
    EXPECT_EQ(engine->channels[12].source, idle);
    float pitch = 0;
    alGetSourcef(idle, AL_PITCH, &pitch);
    EXPECT_FLOAT_EQ(pitch, 0.5f);
}

}  // namespace
