// audio_file.cpp: decoding sound files into whole blocks of PCM for the audio engine.
//
// Owns BBGlfwGame::LoadAudioData and its two decoders: LoadWAV (RIFF PCM, 8 or
// 16 bits, mono or stereo, unknown chunks skipped) and LoadOGG (Ogg Vorbis
// through stb_vorbis, decoded whole into interleaved signed 16-bit samples).
// Depends on BBGame::OpenFile and on stb_vorbis from libstb-dev, which is built
// into this file.
//
// Files are untrusted: every length a WAV file states is taken as unsigned and
// bounded by what is left of the file, the reader only moves forward and stops
// at the end of the file, an Ogg file must be a complete chain of pages ending
// in an end-of-stream page, the Vorbis decoder works in a fixed arena, and the
// decoded Ogg block is bounded by a budget tied to the file's size. Anything
// else is a null result, never a crash or an allocation the file cannot justify.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "host/host.h"

// stb_vorbis is C built into this translation unit (a system header, so its
// own warnings stay quiet); only the decoding from open files is needed.
#define STB_VORBIS_NO_PUSHDATA_API
#include <stb/stb_vorbis.h>

// Constants

constexpr uint32_t kWavFormatPcm = 1;           // the only WAV audio format accepted
constexpr uint32_t kWavFormatLength = 16;       // bytes of the format fields read
constexpr uint32_t kMaxSampleRate = 768000;     // highest WAV rate accepted (Hz)
constexpr int kOggChunkFrames = 4096;           // frames of room kept free while decoding
constexpr int kOggDecoderArena = 1 << 20;       // bytes the Vorbis decoder may use in all
constexpr uint64_t kOggExpansion = 64;          // decoded bytes allowed per file byte
constexpr uint64_t kOggMinBudget = 8u << 20;    // decoded bytes allowed for any file
constexpr uint64_t kOggMaxBudget = 256u << 20;  // decoded bytes allowed for the largest
constexpr int kOggPageHeader = 27;              // fixed part of an Ogg page header
constexpr uint8_t kOggLastPage = 0x04;          // header-type flag of the end-of-stream page

// Types

namespace {

// A forward-only reader over the rest of an open file that knows how many
// bytes are left, so no stated length can reach past the end.
class FileReader {
  public:
    explicit FileReader(FILE* file) : file_(file), left_(BytesLeft(file)) {}

    uint64_t left() const { return left_; }

    bool Read(void* out, uint64_t count) {
        if (count > left_) return Fail();
        if (count > 0 && std::fread(out, 1, count, file_) != count) return Fail();
        left_ -= count;
        return true;
    }

    bool Skip(uint64_t count) {
        if (count > left_) return Fail();
        if (count > 0 && std::fseek(file_, static_cast<long>(count), SEEK_CUR) != 0) return Fail();
        left_ -= count;
        return true;
    }

    bool U16(uint32_t& value) {
        uint8_t b[2];
        if (!Read(b, 2)) return false;
        value = b[0] | (b[1] << 8);
        return true;
    }

    bool U32(uint32_t& value) {
        uint8_t b[4];
        if (!Read(b, 4)) return false;
        value = b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<uint32_t>(b[3]) << 24);
        return true;
    }

    bool Tag(const char* expected) {
        char tag[4];
        return Read(tag, 4) && std::memcmp(tag, expected, 4) == 0;
    }

  private:
    // Bytes from the current position to the end; 0 when the stream cannot seek.
    static uint64_t BytesLeft(FILE* file) {
        const long start = std::ftell(file);
        if (start < 0 || std::fseek(file, 0, SEEK_END) != 0) return 0;
        const long end = std::ftell(file);
        if (std::fseek(file, start, SEEK_SET) != 0 || end < start) return 0;
        return static_cast<uint64_t>(end - start);
    }

    // After a failed read nothing further is trusted.
    bool Fail() {
        left_ = 0;
        return false;
    }

    FILE* file_;
    uint64_t left_;
};

struct WavFormat {
    uint32_t channels = 0;
    uint32_t rate = 0;
    uint32_t bytesPerSample = 0;
};

// Internal helpers

bool EndsWithLower(const String& path, const char16_t* suffix) {
    const size_t n = std::char_traits<char16_t>::length(suffix);
    if (path.size() < n) return false;
    for (size_t i = 0; i < n; ++i) {
        char16_t c = path[path.size() - n + i];
        if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
        if (c != suffix[i]) return false;
    }
    return true;
}

// The "fmt " chunk after its tag: PCM, 1 or 2 channels, 8 or 16 bits, a rate.
bool ReadWavFormat(FileReader& in, WavFormat& format) {
    uint32_t length = 0, audioFormat = 0, byteRate = 0, blockAlign = 0, bits = 0;
    if (!in.U32(length) || length < kWavFormatLength || length > in.left()) return false;
    if (!in.U16(audioFormat) || audioFormat != kWavFormatPcm) return false;
    if (!in.U16(format.channels) || !in.U32(format.rate) || !in.U32(byteRate) ||
        !in.U16(blockAlign) || !in.U16(bits))
        return false;
    if (format.channels != 1 && format.channels != 2) return false;
    if (bits != 8 && bits != 16) return false;
    if (format.rate == 0 || format.rate > kMaxSampleRate) return false;
    format.bytesPerSample = bits / 8;
    // The rest of a longer chunk, then the pad byte of an odd-sized one.
    return in.Skip(static_cast<uint64_t>(length - kWavFormatLength) + (length & 1));
}

unsigned char* LoadWAV(FILE* file, int* length, int* channels, int* bytesPerSample, int* rate) {
    FileReader in(file);
    WavFormat format;
    if (!in.Tag("RIFF") || !in.Skip(4) || !in.Tag("WAVE") || !in.Tag("fmt ")) return nullptr;
    if (!ReadWavFormat(in, format)) return nullptr;
    for (;;) {
        char id[4];
        uint32_t size = 0;
        if (!in.Read(id, 4) || !in.U32(size)) return nullptr;
        if (std::memcmp(id, "data", 4) == 0 && size <= in.left()) {
            unsigned char* data = static_cast<unsigned char*>(std::malloc(size > 0 ? size : 1));
            if (!data) return nullptr;
            if (!in.Read(data, size)) {
                std::free(data);
                return nullptr;
            }
            *length = static_cast<int>(size / (format.bytesPerSample * format.channels));
            *channels = static_cast<int>(format.channels);
            *bytesPerSample = static_cast<int>(format.bytesPerSample);
            *rate = static_cast<int>(format.rate);
            return data;
        }
        // Any other chunk, or a data chunk longer than the file, is passed over;
        // a length past the end of the file ends the scan.
        if (!in.Skip(static_cast<uint64_t>(size) + (size & 1))) return nullptr;
    }
}

// True when the rest of the file is a whole chain of Ogg pages whose last page
// ends the stream exactly at the end of the file (so nothing was cut off).
bool IsCompleteOgg(FILE* file) {
    FileReader in(file);
    uint8_t lastFlags = 0;
    bool anyPage = false;
    while (in.left() > 0) {
        uint8_t header[kOggPageHeader];
        uint8_t segments[255];
        if (!in.Read(header, sizeof header)) return false;
        if (std::memcmp(header, "OggS", 4) != 0 || header[4] != 0) return false;
        const int segmentCount = header[kOggPageHeader - 1];
        if (!in.Read(segments, segmentCount)) return false;
        uint64_t payload = 0;
        for (int i = 0; i < segmentCount; ++i) payload += segments[i];
        if (!in.Skip(payload)) return false;
        lastFlags = header[5];
        anyPage = true;
    }
    return anyPage && (lastFlags & kOggLastPage) != 0;
}

unsigned char* LoadOGG(FILE* file, int* length, int* channels, int* bytesPerSample, int* rate) {
    const long start = std::ftell(file);
    if (start < 0 || !IsCompleteOgg(file)) return nullptr;
    const uint64_t fileBytes = static_cast<uint64_t>(std::ftell(file) - start);
    if (std::fseek(file, start, SEEK_SET) != 0) return nullptr;
    uint64_t budget = fileBytes * kOggExpansion;
    if (budget < kOggMinBudget) budget = kOggMinBudget;
    if (budget > kOggMaxBudget) budget = kOggMaxBudget;

    char* arena = static_cast<char*>(std::malloc(kOggDecoderArena));
    if (!arena) return nullptr;
    const stb_vorbis_alloc alloc = {arena, kOggDecoderArena};
    int error = 0;
    stb_vorbis* vorbis = stb_vorbis_open_file(file, 0, &error, &alloc);
    if (!vorbis) {
        std::free(arena);
        return nullptr;
    }
    const stb_vorbis_info info = stb_vorbis_get_info(vorbis);
    const int channelCount = info.channels;
    const size_t chunk = static_cast<size_t>(channelCount) * kOggChunkFrames;  // samples
    size_t capacity = chunk;
    size_t used = 0;
    short* pcm = static_cast<short*>(std::malloc(capacity * sizeof(short)));
    while (pcm) {
        if (capacity - used < chunk) {
            const size_t grown = capacity * 2;
            short* bigger = grown * sizeof(short) <= budget
                                ? static_cast<short*>(std::realloc(pcm, grown * sizeof(short)))
                                : nullptr;
            if (!bigger) {
                std::free(pcm);
                pcm = nullptr;
                break;
            }
            pcm = bigger;
            capacity = grown;
        }
        const int frames = stb_vorbis_get_samples_short_interleaved(
            vorbis, channelCount, pcm + used, static_cast<int>(capacity - used));
        if (frames <= 0) break;
        used += static_cast<size_t>(frames) * channelCount;
    }
    stb_vorbis_close(vorbis);
    std::free(arena);
    if (!pcm) return nullptr;
    *length = static_cast<int>(used / channelCount);
    *channels = channelCount;
    *bytesPerSample = 2;
    *rate = static_cast<int>(info.sample_rate);
    return reinterpret_cast<unsigned char*>(pcm);
}

}  // namespace

// Public operations

unsigned char* BBGlfwGame::LoadAudioData(const String& path, int* length, int* channels,
                                         int* bytesPerSample, int* rate) {
    FILE* file = OpenFile(path, u"rb");
    if (!file) return nullptr;
    unsigned char* data = nullptr;
    if (EndsWithLower(path, u".wav")) {
        data = LoadWAV(file, length, channels, bytesPerSample, rate);
    } else if (EndsWithLower(path, u".ogg")) {
        data = LoadOGG(file, length, channels, bytesPerSample, rate);
    }
    std::fclose(file);
    return data;
}
