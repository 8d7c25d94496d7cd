// crafted.cpp: builders of WAV and Ogg Vorbis test files, temp folders, OpenAL set-up.
//
// Owns nothing global. Depends on libvorbisenc (to make real Ogg Vorbis
// streams) and GoogleTest (for the temp dir location).
#include "audio/crafted.h"

#include <gtest/gtest.h>
#include <stdlib.h>  // mkdtemp, setenv, unsetenv
#include <unistd.h>  // getpid
#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <stdexcept>

// libvorbisenc keeps one block of its set-up for layouts of more than two
// channels (vorbis_encode_setup_init); the leak is the library's, not ours.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libvorbisenc\n";
}

namespace crafted {

namespace {

constexpr float kOggQuality = 0.3f;   // VBR quality of the encoded test tones
constexpr int kOggFeedFrames = 1024;  // frames handed to the encoder at a time
constexpr double kToneHz = 440.0;

void PutU16(Bytes& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

void PutU32(Bytes& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void PutTag(Bytes& out, const char* tag) {
    out.insert(out.end(), tag, tag + 4);
}

void AppendPage(Bytes& out, const ogg_page& page) {
    out.insert(out.end(), page.header, page.header + page.header_len);
    out.insert(out.end(), page.body, page.body + page.body_len);
}

}  // namespace

WavFile::WavFile(const WavFormat& format) {
    PutTag(bytes_, "RIFF");
    PutU32(bytes_, 0);
    PutTag(bytes_, "WAVE");
    PutTag(bytes_, "fmt ");
    PutU32(bytes_, format.claimed != 0 ? format.claimed : format.length);
    Bytes fields;
    PutU16(fields, format.audioFormat);
    PutU16(fields, format.channels);
    PutU32(fields, format.rate);
    const uint32_t block = format.channels * (format.bits / 8);
    PutU32(fields, format.rate * block);
    PutU16(fields, block);
    PutU16(fields, format.bits);
    fields.resize(format.length, 0);  // a shorter chunk is cut, a longer one padded
    bytes_.insert(bytes_.end(), fields.begin(), fields.end());
    if (format.length & 1) bytes_.push_back(0);
}

WavFile& WavFile::Chunk(const char* id, const Bytes& payload) {
    PutTag(bytes_, id);
    PutU32(bytes_, static_cast<uint32_t>(payload.size()));
    bytes_.insert(bytes_.end(), payload.begin(), payload.end());
    if (payload.size() & 1) bytes_.push_back(0);
    return *this;
}

WavFile& WavFile::LyingChunk(const char* id, uint32_t claimed, const Bytes& payload) {
    PutTag(bytes_, id);
    PutU32(bytes_, claimed);
    bytes_.insert(bytes_.end(), payload.begin(), payload.end());
    return *this;
}

WavFile& WavFile::Append(const Bytes& bytes) {
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    return *this;
}

Bytes WavFile::Build() const {
    Bytes out = bytes_;
    const uint32_t riff = static_cast<uint32_t>(out.size() - 8);
    for (int i = 0; i < 4; ++i) out[4 + i] = static_cast<uint8_t>(riff >> (8 * i));
    return out;
}

Bytes Pcm16(int frames, int channels) {
    Bytes out;
    for (int i = 0; i < frames * channels; ++i) PutU16(out, static_cast<uint16_t>(i * 37 + 1));
    return out;
}

Bytes Pcm8(int frames, int channels) {
    Bytes out;
    for (int i = 0; i < frames * channels; ++i) out.push_back(static_cast<uint8_t>(i * 7 + 1));
    return out;
}

Bytes SquarePcm16(int frames, int channels, int amplitude) {
    Bytes out;
    for (int i = 0; i < frames; ++i) {
        const int value = (i / 50) % 2 ? amplitude : -amplitude;
        for (int c = 0; c < channels; ++c) PutU16(out, static_cast<uint16_t>(value));
    }
    return out;
}

Bytes OggVorbis(int channels, int rate, int frames) {
    vorbis_info info;
    vorbis_info_init(&info);
    if (vorbis_encode_init_vbr(&info, channels, rate, kOggQuality) != 0) {
        vorbis_info_clear(&info);
        throw std::runtime_error("vorbisenc refused the layout");
    }
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_dsp_state dsp;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block block;
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, 0x51a7);

    Bytes out;
    ogg_packet id, comments, codebooks;
    vorbis_analysis_headerout(&dsp, &comment, &id, &comments, &codebooks);
    ogg_stream_packetin(&stream, &id);
    ogg_stream_packetin(&stream, &comments);
    ogg_stream_packetin(&stream, &codebooks);
    ogg_page page;
    while (ogg_stream_flush(&stream, &page) != 0) AppendPage(out, page);

    int fed = 0;
    bool ended = false;
    while (!ended) {
        const int n = std::min(kOggFeedFrames, frames - fed);
        if (n > 0) {
            float** buffers = vorbis_analysis_buffer(&dsp, n);
            for (int i = 0; i < n; ++i) {
                const double t = static_cast<double>(fed + i) / rate;
                for (int c = 0; c < channels; ++c)
                    buffers[c][i] = static_cast<float>(0.5 * std::sin(2 * M_PI * kToneHz * t));
            }
            vorbis_analysis_wrote(&dsp, n);
            fed += n;
        } else {
            vorbis_analysis_wrote(&dsp, 0);  // end of stream
        }
        while (vorbis_analysis_blockout(&dsp, &block) == 1) {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&dsp, &packet) != 0) {
                ogg_stream_packetin(&stream, &packet);
                while (ogg_stream_pageout(&stream, &page) != 0) {
                    AppendPage(out, page);
                    if (ogg_page_eos(&page)) ended = true;
                }
            }
        }
    }
    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    return out;
}

TempDir::TempDir() {
    std::string pattern = testing::TempDir() + "quorvane-audio-XXXXXX";
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string TempDir::Write(const std::string& name, const Bytes& bytes) const {
    const std::string file = path_ + "/" + name;
    FILE* out = std::fopen(file.c_str(), "wb");
    if (!out) throw std::runtime_error("cannot write " + file);
    if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), out);
    std::fclose(out);
    return file;
}

void SelectOpenAl(const std::string& configText) {
    static const std::string file =
        testing::TempDir() + "quorvane-alsoft-" + std::to_string(getpid()) + ".conf";
    FILE* out = std::fopen(file.c_str(), "wb");
    if (!out) throw std::runtime_error("cannot write " + file);
    std::fwrite(configText.data(), 1, configText.size(), out);
    std::fclose(out);
    std::atexit([] { std::remove(file.c_str()); });
    setenv("ALSOFT_CONF", file.c_str(), 1);
    unsetenv("ALSOFT_DRIVERS");
}

}  // namespace crafted
