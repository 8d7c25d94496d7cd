// engine_test.cpp: the audio engine over OpenAL Soft's null backend.
//
// The null backend mixes in real time without a sound card, so sources really
// play, pause and run out; the tests read OpenAL's own view of each source.
#include <climits>
#include <cmath>

#include "audio/engine_fixture.h"

namespace {

class NullBackendTest : public EngineTest {
  protected:
    static void SetUpTestSuite() { crafted::SelectOpenAl("[general]\ndrivers=null\n"); }

    void SetUp() override {
        EngineTest::SetUp();
        ASSERT_NE(engine->alContext, nullptr) << "OpenAL Soft's null backend did not open";
    }
};

TEST_F(NullBackendTest, OpensTheDeviceAndGivesTheMusicChannelItsSourceAtOnce) {
    EXPECT_EQ(gxtkAudio::audio, engine.get());
    EXPECT_NE(engine->alDevice, nullptr);
    EXPECT_NE(engine->channels[kMusicChannel].source, 0u);
    for (int c = 0; c < kSoundChannels; ++c) EXPECT_EQ(engine->channels[c].source, 0u) << c;
    EXPECT_EQ(alGetInteger(AL_DISTANCE_MODEL), AL_NONE);
}

TEST_F(NullBackendTest, ChannelStateFollowsPlayPauseResumeAndStop) {
    auto sample = LongSample();
    ASSERT_NE(sample, nullptr);
    const int c = 3;
    EXPECT_EQ(engine->ChannelState(c), kChannelStopped);
    ASSERT_EQ(engine->PlaySample(sample, c, 1), 0);
    EXPECT_EQ(engine->ChannelState(c), kChannelPlaying);
    EXPECT_EQ(SourceState(c), AL_PLAYING);
    EXPECT_EQ(SourceInt(c, AL_BUFFER), static_cast<ALint>(sample->buffer));

    engine->ResumeChannel(c);  // not paused: nothing changes
    EXPECT_EQ(engine->ChannelState(c), kChannelPlaying);
    engine->PauseChannel(c);
    EXPECT_EQ(engine->ChannelState(c), kChannelPaused);
    EXPECT_EQ(SourceState(c), AL_PAUSED);
    engine->PauseChannel(c);  // already paused: stays paused
    EXPECT_EQ(engine->ChannelState(c), kChannelPaused);
    engine->ResumeChannel(c);
    EXPECT_EQ(engine->ChannelState(c), kChannelPlaying);
    EXPECT_EQ(SourceState(c), AL_PLAYING);

    engine->StopChannel(c);
    EXPECT_EQ(engine->ChannelState(c), kChannelStopped);
    EXPECT_EQ(SourceState(c), AL_STOPPED);
    engine->ResumeChannel(c);  // stopped: resume does not restart it
    EXPECT_EQ(engine->ChannelState(c), kChannelStopped);
    EXPECT_EQ(SourceState(c), AL_STOPPED);
}

TEST_F(NullBackendTest, FinishedSoundIsNoticedLazilyAndCannotBePaused) {
    auto sample = ShortSample();
    ASSERT_EQ(engine->PlaySample(sample, 0, 0), 0);
    ASSERT_EQ(engine->PlaySample(sample, 1, 0), 0);
    ASSERT_TRUE(WaitUntilSourceStops(0));
    ASSERT_TRUE(WaitUntilSourceStops(1));
    EXPECT_EQ(engine->channels[0].state, kChannelPlaying);  // nothing looked yet
    EXPECT_EQ(engine->ChannelState(0), kChannelStopped);
    engine->PauseChannel(1);
    EXPECT_EQ(engine->channels[1].state, kChannelStopped);
}

TEST_F(NullBackendTest, PlayingOnABusyChannelCutsTheOldSound) {
    auto first = LongSample();
    auto second = Sample("second.wav", kRate * 20);
    ASSERT_EQ(engine->PlaySample(first, 5, 1), 0);
    ASSERT_EQ(engine->PlaySample(second, 5, 0), 0);
    EXPECT_EQ(SourceInt(5, AL_BUFFER), static_cast<ALint>(second->buffer));
    EXPECT_EQ(SourceInt(5, AL_LOOPING), AL_FALSE);
    EXPECT_EQ(SourceState(5), AL_PLAYING);
    EXPECT_EQ(engine->channels[5].sample, second);
}

TEST_F(NullBackendTest, NonZeroFlagsLoop) {
    auto sample = LongSample();
    const struct {
        int flags;
        ALint looping;
    } cases[] = {{0, AL_FALSE}, {1, AL_TRUE}, {4, AL_TRUE}, {-1, AL_TRUE}};
    for (const auto& c : cases) {
        ASSERT_EQ(engine->PlaySample(sample, 2, c.flags), 0);
        EXPECT_EQ(SourceInt(2, AL_LOOPING), c.looping) << c.flags;
        EXPECT_EQ(engine->channels[2].flags, c.flags);
    }
}

TEST_F(NullBackendTest, VolumePanAndRateReachTheSourceBeforeAnythingPlayed) {
    const struct {
        float pan, x, z;
    } pans[] = {{0.0f, 0.0f, -1.0f},
                {1.5707964f, 1.0f, 0.0f},
                {-1.5707964f, -1.0f, 0.0f},
                {0.5f, std::sin(0.5f), -std::cos(0.5f)}};
    for (const auto& p : pans) {
        bb_audio_SetChannelPan(7, p.pan);
        float position[3] = {9, 9, 9};
        alGetSourcefv(engine->channels[7].source, AL_POSITION, position);
        EXPECT_NEAR(position[0], p.x, 1e-6) << p.pan;
        EXPECT_NEAR(position[1], 0.0f, 1e-6) << p.pan;
        EXPECT_NEAR(position[2], p.z, 1e-6) << p.pan;
    }
    bb_audio_SetChannelVolume(8, 0.25f);
    bb_audio_SetChannelRate(9, 1.5f);
    bb_audio_SetMusicVolume(0.5f);
    float gain = 0, pitch = 0, musicGain = 0;
    alGetSourcef(engine->channels[8].source, AL_GAIN, &gain);
    alGetSourcef(engine->channels[9].source, AL_PITCH, &pitch);
    alGetSourcef(engine->channels[kMusicChannel].source, AL_GAIN, &musicGain);
    EXPECT_FLOAT_EQ(gain, 0.25f);
    EXPECT_FLOAT_EQ(pitch, 1.5f);
    EXPECT_FLOAT_EQ(musicGain, 0.5f);
    // Each setter gave its channel a source of its own.
    EXPECT_NE(engine->channels[8].source, 0u);
    EXPECT_NE(engine->channels[8].source, engine->channels[9].source);
}

TEST_F(NullBackendTest, SuspendAndResumeKeepChannelStatesAndPausedChannelsPaused) {
    auto sample = LongSample();
    ASSERT_EQ(engine->PlaySample(sample, 0, 1), 0);
    ASSERT_EQ(engine->PlaySample(sample, 1, 1), 0);
    engine->PauseChannel(1);
    engine->Suspend();
    EXPECT_EQ(SourceState(0), AL_PAUSED);
    EXPECT_EQ(engine->ChannelState(0), kChannelPlaying);
    EXPECT_EQ(engine->ChannelState(1), kChannelPaused);
    engine->Resume();
    EXPECT_EQ(SourceState(0), AL_PLAYING);
    EXPECT_EQ(SourceState(1), AL_PAUSED);
    EXPECT_EQ(engine->ChannelState(1), kChannelPaused);
}

// A discarded sample's buffer waits while a source still holds it and goes at
// the first flush after its sound ended. (Flushes here come from PlaySample:
// a load would make a new buffer, which may reuse a deleted buffer's name.)
TEST_F(NullBackendTest, DiscardedBufferIsDeletedOnceNoSourceHoldsIt) {
    auto playing = LongSample();
    auto ending = ShortSample();
    auto other = Sample("other.wav", 100);
    const ALuint playingBuffer = playing->buffer;
    const ALuint endingBuffer = ending->buffer;
    ASSERT_EQ(engine->PlaySample(playing, 0, 1), 0);
    ASSERT_EQ(engine->PlaySample(ending, 1, 0), 0);
    playing->Discard();
    ending->Discard();
    EXPECT_EQ(playing->buffer, 0u);
    ASSERT_TRUE(WaitUntilSourceStops(1));

    engine->PlaySample(other, 2, 0);
    EXPECT_TRUE(alIsBuffer(playingBuffer));
    EXPECT_EQ(SourceState(0), AL_PLAYING);
    EXPECT_FALSE(alIsBuffer(endingBuffer));

    engine->PlaySample(other, 0, 0);  // frees the held buffer for the next flush
    EXPECT_TRUE(alIsBuffer(playingBuffer));
    engine->PlaySample(other, 3, 0);
    EXPECT_FALSE(alIsBuffer(playingBuffer));
}

TEST_F(NullBackendTest, ChannelKeepsItsSampleAliveUntilReplaced) {
    auto sample = LongSample();
    auto next = Sample("next.wav", 100);
    const ALuint buffer = sample->buffer;
    ASSERT_EQ(engine->PlaySample(sample, 4, 1), 0);
    sample.reset();
    engine->PlaySample(next, 3, 0);
    EXPECT_TRUE(alIsBuffer(buffer));
    EXPECT_EQ(SourceState(4), AL_PLAYING);
    engine->PlaySample(next, 4, 0);  // the old sample dies and hands its buffer in
    engine->PlaySample(next, 5, 0);  // whose deletion happens at this flush
    EXPECT_FALSE(alIsBuffer(buffer));
}

TEST_F(NullBackendTest, ChannelNumbersOutsideTheEngineDoNothing) {
    auto sample = LongSample();
    for (int c : {-1, 33, 1000, INT_MIN, INT_MAX}) {
        EXPECT_EQ(engine->PlaySample(sample, c, 0), -1) << c;
        bb_audio_PlaySound(c_Sound::m_new(sample), c, 0);
        engine->SetVolume(c, 0.1f);
        engine->SetPan(c, 1.0f);
        engine->SetRate(c, 2.0f);
        engine->PauseChannel(c);
        engine->ResumeChannel(c);
        engine->StopChannel(c);
        EXPECT_EQ(engine->ChannelState(c), kChannelStopped) << c;
    }
    for (int c = 0; c < kSoundChannels; ++c) {
        EXPECT_EQ(engine->channels[c].source, 0u) << c;
        EXPECT_EQ(engine->channels[c].state, kChannelStopped) << c;
    }
    EXPECT_EQ(engine->channels[kMusicChannel].state, kChannelStopped);
}

TEST_F(NullBackendTest, SoundsLoadThroughDataPathsAndPlayOnTheirChannel) {
    auto sound = bb_audio_LoadSound(Str(WavPath("hit.wav", kRate * 10)));
    ASSERT_NE(sound, nullptr);
    ASSERT_NE(sound->sample, nullptr);
    EXPECT_TRUE(alIsBuffer(sound->sample->buffer));
    bb_audio_PlaySound(sound, 6, 0);
    EXPECT_EQ(engine->ChannelState(6), kChannelPlaying);
    EXPECT_EQ(SourceInt(6, AL_BUFFER), static_cast<ALint>(sound->sample->buffer));
    bb_audio_StopChannel(6);
    EXPECT_EQ(engine->ChannelState(6), kChannelStopped);

    EXPECT_EQ(bb_audio_LoadSound(Str(dir.path() + "/missing.wav")), nullptr);
    bb_audio_PlaySound(nullptr, 6, 0);
    bb_audio_PlaySound(std::make_shared<c_Sound>(), 6, 0);
    EXPECT_EQ(engine->ChannelState(6), kChannelStopped);
}

TEST_F(NullBackendTest, MusicPlaysOnItsOwnChannelAndPausesResumesAndStops) {
    const String tune = Str(dir.Write("tune.ogg", crafted::OggVorbis(2, 44100, 44100 * 2)));
    ASSERT_EQ(bb_audio_PlayMusic(tune, 1), 0);
    const gxtkChannel& music = engine->channels[kMusicChannel];
    ASSERT_NE(music.sample, nullptr);
    EXPECT_EQ(engine->MusicState(), kChannelPlaying);
    EXPECT_EQ(SourceInt(kMusicChannel, AL_LOOPING), AL_TRUE);
    ALint channels = 0, bits = 0, frequency = 0;
    alGetBufferi(music.sample->buffer, AL_CHANNELS, &channels);
    alGetBufferi(music.sample->buffer, AL_BITS, &bits);
    alGetBufferi(music.sample->buffer, AL_FREQUENCY, &frequency);
    EXPECT_EQ(channels, 2);
    EXPECT_EQ(bits, 16);
    EXPECT_EQ(frequency, 44100);

    bb_audio_PauseMusic();
    EXPECT_EQ(engine->MusicState(), kChannelPaused);
    EXPECT_EQ(SourceState(kMusicChannel), AL_PAUSED);
    bb_audio_ResumeMusic();
    EXPECT_EQ(engine->MusicState(), kChannelPlaying);
    bb_audio_StopMusic();
    EXPECT_EQ(engine->MusicState(), kChannelStopped);
    EXPECT_EQ(SourceState(kMusicChannel), AL_STOPPED);
    for (int c = 0; c < kSoundChannels; ++c) EXPECT_EQ(engine->channels[c].source, 0u) << c;
}

// Files the decoders accept but OpenAL cannot play are failed loads too.
TEST_F(NullBackendTest, UnplayableMusicReturnsMinusOneAndStopsTheOldTune) {
    auto tune = LongSample();
    crafted::WavFormat deep;
    deep.bits = 24;
    const struct {
        const char* what;
        std::string path;
    } cases[] = {
        {"six channels", dir.Write("surround.ogg", crafted::OggVorbis(6, 48000, 4800))},
        {"24-bit",
         dir.Write("deep.wav", crafted::WavFile(deep).Data(crafted::Bytes(30, 1)).Build())},
        {"not audio", dir.Write("junk.ogg", crafted::Bytes(100, 'j'))},
        {"missing", dir.path() + "/missing.ogg"},
        {"mp3", dir.Write("tune.mp3", crafted::Bytes(100, 0))},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(engine->PlaySample(tune, kMusicChannel, 1), 0);
        EXPECT_EQ(bb_audio_PlayMusic(Str(c.path), 1), -1) << c.what;
        EXPECT_EQ(engine->MusicState(), kChannelStopped) << c.what;
        EXPECT_EQ(engine->LoadSample(Str(c.path)), nullptr) << c.what;
    }
}

TEST_F(NullBackendTest, FunctionsWithoutARegisteredEngineDoNothing) {
    const String wav = Str(WavPath("hit.wav", 1000));
    const String tune = Str(dir.Write("tune.ogg", crafted::OggVorbis(1, 22050, 2205)));
    auto sound = bb_audio_LoadSound(wav);
    ASSERT_NE(sound, nullptr);
    bb_audio_SetAudioDevice(nullptr);
    EXPECT_EQ(bb_audio_LoadSound(wav), nullptr);
    EXPECT_EQ(bb_audio_PlayMusic(tune, 1), -1);
    bb_audio_PlaySound(sound, 0, 0);
    bb_audio_SetChannelVolume(1, 0.5f);
    bb_audio_SetChannelPan(2, 0.5f);
    bb_audio_SetChannelRate(3, 0.5f);
    bb_audio_SetMusicVolume(0.5f);
    bb_audio_StopMusic();
    bb_audio_PauseMusic();
    bb_audio_ResumeMusic();
    bb_audio_StopChannel(0);
    for (int c = 0; c < kSoundChannels; ++c) EXPECT_EQ(engine->channels[c].source, 0u) << c;
    EXPECT_EQ(engine->channels[kMusicChannel].sample, nullptr);
    float musicGain = 0;
    alGetSourcef(engine->channels[kMusicChannel].source, AL_GAIN, &musicGain);
    EXPECT_FLOAT_EQ(musicGain, 1.0f);
}

}  // namespace
