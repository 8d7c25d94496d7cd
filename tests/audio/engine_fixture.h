// engine_fixture.h: a fresh audio engine over the real OpenAL Soft for each test.
//
// Each test executable picks one OpenAL Soft configuration (SelectOpenAl)
// before its first engine opens a device; every test then gets clean audio
// globals, a host (for file decoding), its own engine registered as
// bb_audio_device, and a temp folder with WAV files made to measure.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "audio/audio.h"
#include "audio/crafted.h"
#include "host/host.h"

class EngineTest : public testing::Test {
  protected:
    void SetUp() override {
        bbInitAudio();
        host = std::make_unique<BBGlfwGame>();
        engine = std::make_unique<gxtkAudio>();
        bb_audio_SetAudioDevice(engine.get());
    }

    void TearDown() override {
        engine.reset();
        bbInitAudio();
    }

    // A mono 16-bit WAV of a square wave, `frames` long at 22050 Hz.
    std::string WavPath(const std::string& name, int frames, int amplitude = 12000) {
        crafted::WavFormat format;
        format.rate = kRate;
        return dir.Write(
            name,
            crafted::WavFile(format).Data(crafted::SquarePcm16(frames, 1, amplitude)).Build());
    }

    static String Str(const std::string& path) { return bbStringFromUtf8(path); }

    std::shared_ptr<gxtkSample> Sample(const std::string& name, int frames) {
        return engine->LoadSample(Str(WavPath(name, frames)));
    }

    // A sound long enough to outlast any test, and one that ends at once.
    std::shared_ptr<gxtkSample> LongSample() { return Sample("long.wav", kRate * 30); }
    std::shared_ptr<gxtkSample> ShortSample() { return Sample("short.wav", kRate / 100); }

    // What OpenAL itself reports for a channel's source (no lazy refresh).
    ALint SourceState(int channel) const {
        ALint state = 0;
        alGetSourcei(engine->channels[channel].source, AL_SOURCE_STATE, &state);
        return state;
    }

    ALint SourceInt(int channel, ALenum param) const {
        ALint value = -1;
        alGetSourcei(engine->channels[channel].source, param, &value);
        return value;
    }

    bool WaitUntilSourceStops(int channel) {
        return crafted::WaitFor([&] { return SourceState(channel) == AL_STOPPED; });
    }

    static constexpr int kRate = 22050;

    crafted::TempDir dir;
    std::unique_ptr<BBGlfwGame> host;
    std::unique_ptr<gxtkAudio> engine;
};
