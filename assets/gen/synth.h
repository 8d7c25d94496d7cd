// synth.h: the small synthesiser shared by the sound effects and the tune.
//
// Owns the oscillators, noise, envelopes, filters and the 16-bit PCM WAV
// writer. Every sound is a float buffer at kRate; nothing here keeps global
// state, and noise comes from a seeded generator, so output is deterministic.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace gen {

constexpr int kRate = 44100;  // samples per second of every sound
constexpr float kTwoPi = 6.28318530718f;

// Deterministic white noise in -1..1.
class Noise {
  public:
    explicit Noise(uint32_t seed) : state_(seed * 2654435761u + 1) {}
    float Next() {
        state_ = state_ * 1664525u + 1013904223u;
        return (state_ >> 8) / float(1 << 23) - 1.0f;
    }

  private:
    uint32_t state_;
};

// Phase-accumulating oscillator; waveforms take the phase in cycles (0..1).
float Sine(float phase);
float Square(float phase, float duty = 0.5f);
float Saw(float phase);
float Triangle(float phase);

// Attack, decay to sustain, release at `noteLength`; all in seconds.
float Adsr(float t, float attack, float decay, float sustain, float noteLength, float release);
// Exponential fall from 1 with the given time constant.
float Decay(float t, float tau);

// One-pole low-pass filter.
class LowPass {
  public:
    explicit LowPass(float cutoffHz) { SetCutoff(cutoffHz); }
    void SetCutoff(float hz);
    float Run(float x) { return y_ += a_ * (x - y_); }

  private:
    float a_ = 1, y_ = 0;
};

// Scales the buffer so its peak is `peak` (below full scale: never clipped).
void Normalise(std::vector<float>& samples, float peak);
// Short fades at both ends so a sound never starts or stops with a click.
void FadeEdges(std::vector<float>& samples, int channels, float seconds);
// Writes 16-bit PCM (interleaved when stereo); false on a write failure.
bool WriteWav(const std::string& path, const std::vector<float>& samples, int channels, int rate);

float NoteHz(int midi);

}  // namespace gen
