// crafted.h: sound files made byte by byte for the audio tests.
//
// WavFile builds a RIFF/WAVE file chunk by chunk, with correct lengths and pad
// bytes unless a test asks for a lie; OggVorbis encodes a tone with libvorbisenc
// into a real Ogg Vorbis file; TempDir writes files into a fresh folder that is
// removed afterwards; SelectOpenAl points OpenAL Soft at a configuration of
// the test's choosing before the first device is opened.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

namespace crafted {

using Bytes = std::vector<uint8_t>;

// The fields of a "fmt " chunk; `length` above 16 appends zero bytes, below
// 16 cuts the fields short.
struct WavFormat {
    uint32_t audioFormat = 1;  // 1 PCM, 3 float
    uint32_t channels = 1;
    uint32_t rate = 22050;
    uint32_t bits = 16;
    uint32_t length = 16;  // the bytes the chunk has
    uint32_t claimed = 0;  // the length it states, when not `length`
};

class WavFile {
  public:
    // "RIFF", its length (patched by Build), "WAVE", then the format chunk.
    explicit WavFile(const WavFormat& format = {});
    // A chunk with the true length and, after an odd length, a pad byte.
    WavFile& Chunk(const char* id, const Bytes& payload);
    WavFile& Data(const Bytes& pcm) { return Chunk("data", pcm); }
    // A chunk header that states `claimed` bytes, followed by `payload` only.
    WavFile& LyingChunk(const char* id, uint32_t claimed, const Bytes& payload);
    // Raw bytes, e.g. a chunk without its pad byte.
    WavFile& Append(const Bytes& bytes);
    Bytes Build() const;

  private:
    Bytes bytes_;
};

// A ramp of 16-bit little-endian samples (distinct values, never all zero).
Bytes Pcm16(int frames, int channels);
// A ramp of unsigned 8-bit samples.
Bytes Pcm8(int frames, int channels);
// A square wave of 16-bit samples at the given amplitude.
Bytes SquarePcm16(int frames, int channels, int amplitude);

// A 440 Hz tone of `frames` frames encoded as Ogg Vorbis.
Bytes OggVorbis(int channels, int rate, int frames);

// A folder under the test temp dir, removed with everything in it at the end.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    // Writes the file and returns its absolute path.
    std::string Write(const std::string& name, const Bytes& bytes) const;

  private:
    std::string path_;
};

// Writes an OpenAL Soft configuration file and selects it through ALSOFT_CONF
// (dropping any ALSOFT_DRIVERS from the environment). OpenAL Soft reads its
// configuration once, when the process first uses it, so call this before the
// first device is opened.
void SelectOpenAl(const std::string& configText);

// Polls `done` every few milliseconds until it holds or `seconds` passed.
template <typename Done>
bool WaitFor(Done done, double seconds = 5.0) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

}  // namespace crafted
