// wave_test.cpp: what the engine plays reaches the mixed output.
//
// OpenAL Soft's wave backend writes its mix to a file in real time (one output
// frame per 1/44100 s from the moment the context starts), so each test opens
// an engine, plays, closes the device and reads back where in the written file
// the sound is loud and where it is silent.
#include <AL/alext.h>  // the device clock: how far the mix has got
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

#include "audio/engine_fixture.h"

namespace {

constexpr int kOutputRate = 44100;  // frames per second of the written mix
constexpr int kLoud = 1000;         // a frame louder than this carries our sound
constexpr int kMaxDip = 64;         // quiet frames inside one sound (wave edges)
constexpr double kLate = 0.05;      // seconds a change may take to reach the mix
constexpr double kEdge = 0.002;     // seconds the resampler smears an edge

std::string OutputFile() {
    static const std::string file =
        testing::TempDir() + "quorvane-mix-" + std::to_string(getpid()) + ".wav";
    return file;
}

void Sleep(double seconds) {
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

// A stretch of loud output, in seconds from the start of the mix.
struct LoudRun {
    double start, end;
};

class WaveBackendTest : public EngineTest {
  protected:
    static void SetUpTestSuite() {
        crafted::SelectOpenAl(
            "[general]\ndrivers=wave\nchannels=stereo\nsample-type=int16\nfrequency=" +
            std::to_string(kOutputRate) + "\n[wave]\nfile=" + OutputFile() + "\n");
    }

    static void TearDownTestSuite() { std::remove(OutputFile().c_str()); }

    void SetUp() override {
        EngineTest::SetUp();
        ASSERT_NE(engine->alContext, nullptr) << "OpenAL Soft's wave backend did not open";
        ASSERT_TRUE(alcIsExtensionPresent(engine->alDevice, "ALC_SOFT_device_clock"));
        getInteger64 = reinterpret_cast<LPALCGETINTEGER64VSOFT>(
            alcGetProcAddress(engine->alDevice, "alcGetInteger64vSOFT"));
        ASSERT_NE(getInteger64, nullptr);
    }

    // How far the mix has got, in seconds: the position in the written file
    // that the mixer reaches next. Sounds started now begin there or within
    // one mixing update after it, however far the mixer lags the wall clock.
    double Mixed() const {
        ALCint64SOFT nanoseconds = 0;
        getInteger64(engine->alDevice, ALC_DEVICE_CLOCK_SOFT, 1, &nanoseconds);
        return nanoseconds / 1e9;
    }

    // A looping-safe square wave at the output rate, `seconds` long.
    std::shared_ptr<gxtkSample> Tone(double seconds) {
        crafted::WavFormat format;
        format.rate = kOutputRate;
        const int frames = static_cast<int>(seconds * kOutputRate);
        const std::string path = dir.Write(
            "tone.wav",
            crafted::WavFile(format).Data(crafted::SquarePcm16(frames, 1, 12000)).Build());
        return engine->LoadSample(Str(path));
    }

    // Closes the device (which completes the file) and finds the loud runs.
    std::vector<LoudRun> CloseAndListLoudRuns() {
        engine.reset();
        std::vector<uint8_t> bytes;
        if (FILE* in = std::fopen(OutputFile().c_str(), "rb")) {
            uint8_t chunk[4096];
            size_t n;
            while ((n = std::fread(chunk, 1, sizeof chunk, in)) > 0)
                bytes.insert(bytes.end(), chunk, chunk + n);
            std::fclose(in);
        }
        const uint8_t* data = nullptr;
        size_t size = 0;
        for (size_t at = 12; at + 8 <= bytes.size();) {
            const uint32_t length = bytes[at + 4] | (bytes[at + 5] << 8) | (bytes[at + 6] << 16) |
                                    (static_cast<uint32_t>(bytes[at + 7]) << 24);
            if (std::memcmp(&bytes[at], "fmt ", 4) == 0) {
                EXPECT_EQ(bytes[at + 10], 2) << "stereo output";
                EXPECT_EQ(bytes[at + 22], 16) << "16-bit output";
            }
            if (std::memcmp(&bytes[at], "data", 4) == 0) {
                data = &bytes[at + 8];
                size = std::min<size_t>(length, bytes.size() - at - 8);
                break;
            }
            at += 8 + length + (length & 1);
        }
        std::vector<LoudRun> runs;
        int lastLoud = -1 - kMaxDip;
        const int frames = static_cast<int>(size / 4);
        for (int f = 0; f < frames; ++f) {
            const int16_t left = static_cast<int16_t>(data[4 * f] | (data[4 * f + 1] << 8));
            const int16_t right = static_cast<int16_t>(data[4 * f + 2] | (data[4 * f + 3] << 8));
            if (std::max(std::abs(left), std::abs(right)) <= kLoud) continue;
            if (f - lastLoud > kMaxDip) runs.push_back({double(f) / kOutputRate, 0});
            runs.back().end = double(f + 1) / kOutputRate;
            lastLoud = f;
        }
        mixLength = double(frames) / kOutputRate;
        return runs;
    }

    // Where the mix stood just before and just after a call.
    struct Moment {
        double before, after;
    };

    template <typename Call>
    Moment At(Call call) {
        const double before = Mixed();
        call();
        return {before, Mixed()};
    }

    // A change made by the call shows in the file from the mix position at the
    // call up to one mixing update later.
    static void ExpectDuring(double position, const Moment& m, const char* what) {
        EXPECT_GE(position, m.before - kEdge) << what;
        EXPECT_LE(position, m.after + kLate) << what;
    }

    LPALCGETINTEGER64VSOFT getInteger64 = nullptr;
    double mixLength = 0;
};

TEST_F(WaveBackendTest, PlayedSoundReachesTheMixWholeAndOnTime) {
    auto tone = Tone(0.3);
    ASSERT_NE(tone, nullptr);
    Sleep(0.3);
    const Moment played = At([&] { ASSERT_EQ(engine->PlaySample(tone, 0, 0), 0); });
    ASSERT_TRUE(crafted::WaitFor([&] { return engine->ChannelState(0) == kChannelStopped; }));
    Sleep(0.2);
    const std::vector<LoudRun> runs = CloseAndListLoudRuns();

    ASSERT_EQ(runs.size(), 1u) << "one sound in a silent mix of " << mixLength << " s";
    ExpectDuring(runs[0].start, played, "start of the sound");
    EXPECT_NEAR(runs[0].end - runs[0].start, 0.3, 0.005);
}

TEST_F(WaveBackendTest, PausedChannelStopsContributingUntilResumed) {
    auto tone = Tone(1.0);
    ASSERT_NE(tone, nullptr);
    Sleep(0.2);
    const Moment played = At([&] { ASSERT_EQ(engine->PlaySample(tone, 0, 1), 0); });
    Sleep(0.3);
    const Moment paused = At([&] { engine->PauseChannel(0); });
    Sleep(0.4);
    const Moment resumed = At([&] { engine->ResumeChannel(0); });
    Sleep(0.2);
    const std::vector<LoudRun> runs = CloseAndListLoudRuns();

    ASSERT_EQ(runs.size(), 2u) << "sound, silence while paused, sound";
    ExpectDuring(runs[0].start, played, "start of the sound");
    ExpectDuring(runs[0].end, paused, "pause");
    ExpectDuring(runs[1].start, resumed, "resumption");
}

}  // namespace
