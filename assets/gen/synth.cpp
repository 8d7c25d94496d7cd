// synth.cpp: oscillators, envelopes, filters and the WAV writer.
//
// Owns the implementation of synth.h.
#include "synth.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace gen {

float Sine(float phase) {
    return std::sin(phase * kTwoPi);
}

float Square(float phase, float duty) {
    return (phase - std::floor(phase)) < duty ? 1.0f : -1.0f;
}

float Saw(float phase) {
    return 2 * (phase - std::floor(phase)) - 1;
}

float Triangle(float phase) {
    float p = phase - std::floor(phase);
    return p < 0.5f ? 4 * p - 1 : 3 - 4 * p;
}

float Adsr(float t, float attack, float decay, float sustain, float noteLength, float release) {
    if (t < 0) return 0;
    auto held = [&](float u) {
        if (u < attack) return u / attack;
        if (u < attack + decay) return 1 - (1 - sustain) * (u - attack) / decay;
        return sustain;
    };
    if (t < noteLength) return held(t);
    float r = (t - noteLength) / release;
    return r >= 1 ? 0 : held(noteLength) * (1 - r);
}

float Decay(float t, float tau) {
    return t < 0 ? 0 : std::exp(-t / tau);
}

void LowPass::SetCutoff(float hz) {
    a_ = 1 - std::exp(-kTwoPi * std::min(hz, kRate * 0.45f) / kRate);
}

void Normalise(std::vector<float>& samples, float peak) {
    float top = 0;
    for (float s : samples) top = std::max(top, std::fabs(s));
    if (top <= 0) return;
    for (float& s : samples) s *= peak / top;
}

void FadeEdges(std::vector<float>& samples, int channels, float seconds) {
    size_t frames = samples.size() / channels, n = std::min(frames / 2, size_t(seconds * kRate));
    for (size_t i = 0; i < n; ++i) {
        float g = float(i) / n;
        for (int ch = 0; ch < channels; ++ch) {
            samples[i * channels + ch] *= g;
            samples[(frames - 1 - i) * channels + ch] *= g;
        }
    }
}

namespace {

void Put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(v & 255), out.push_back(v >> 8 & 255);
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
    Put16(out, v & 0xffff), Put16(out, v >> 16);
}
void PutTag(std::vector<uint8_t>& out, const char* tag) {
    out.insert(out.end(), tag, tag + 4);
}

}  // namespace

bool WriteWav(const std::string& path, const std::vector<float>& samples, int channels, int rate) {
    uint32_t dataBytes = uint32_t(samples.size() * 2);
    std::vector<uint8_t> out;
    PutTag(out, "RIFF");
    Put32(out, 36 + dataBytes);
    PutTag(out, "WAVE");
    PutTag(out, "fmt ");
    Put32(out, 16);
    Put16(out, 1);  // PCM
    Put16(out, channels);
    Put32(out, rate);
    Put32(out, rate * channels * 2);
    Put16(out, channels * 2);
    Put16(out, 16);
    PutTag(out, "data");
    Put32(out, dataBytes);
    for (float s : samples) {
        long v = std::lround(std::clamp(s, -1.0f, 1.0f) * 32767.0f);
        Put16(out, uint16_t(int16_t(v)));
    }
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(out.data(), 1, out.size(), f) == out.size();
    return std::fclose(f) == 0 && ok;
}

float NoteHz(int midi) {
    return 440.0f * std::pow(2.0f, (midi - 69) / 12.0f);
}

}  // namespace gen
