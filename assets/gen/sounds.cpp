// sounds.cpp: the sound effects, synthesised into 16-bit mono WAV files.
//
// Owns MakeSounds: 512/sfx/001..005.wav (shot fired, shot hits an email,
// correct move, wrong move, jump) and common/096, 098, 099.wav (jingle, menu
// move, menu choose). Play varies the pitch of 001..005 by 0.7..1.3, so each
// is short and clear at any of those rates. Every effect is normalised below
// full scale and faded at its ends. Depends on synth.h.
#include <cmath>
#include <cstdio>
#include <functional>

#include "art.h"
#include "synth.h"

namespace gen {

namespace {

constexpr float kPeak = 0.85f;       // effect peak level, below full scale
constexpr float kEdgeFade = 0.002f;  // seconds of fade at both ends

using Voice = std::function<float(float t, Noise& noise)>;

std::vector<float> Render(float seconds, uint32_t seed, const Voice& voice) {
    std::vector<float> out(size_t(seconds * kRate));
    Noise noise(seed);
    for (size_t i = 0; i < out.size(); ++i) out[i] = voice(float(i) / kRate, noise);
    return out;
}

// A tone whose frequency moves with `hz(t)`, integrated so the sweep is smooth.
struct Sweep {
    float phase = 0;
    float Step(float hz) { return phase += hz / kRate; }
};

std::vector<float> ShotFired() {
    Sweep s;
    return Render(0.16f, 1, [&](float t, Noise&) {
        float p = s.Step(1400 * std::exp(-t * 14) + 180);
        return Square(p, 0.3f) * 0.5f * Decay(t, 0.05f);
    });
}

std::vector<float> ShotHits() {
    Sweep s;
    LowPass lp(3000);
    return Render(0.28f, 2, [&](float t, Noise& n) {
        lp.SetCutoff(4000 * std::exp(-t * 10) + 300);
        float crack = lp.Run(n.Next()) * Decay(t, 0.06f);
        float thump = Sine(s.Step(160 * std::exp(-t * 8) + 50)) * Decay(t, 0.08f);
        return crack * 0.8f + thump * 0.7f;
    });
}

std::vector<float> Correct() {
    // A bright rising third and fifth: a cheerful "ding-ding".
    const int notes[] = {76, 83};
    return Render(0.42f, 3, [&](float t, Noise&) {
        float v = 0;
        for (int k = 0; k < 2; ++k) {
            float u = t - k * 0.08f, f = NoteHz(notes[k]);
            v += (Sine(f * u) + 0.3f * Sine(2 * f * u) + 0.12f * Square(f * u, 0.25f)) *
                 Adsr(u, 0.004f, 0.06f, 0.4f, 0.12f, 0.2f);
        }
        return v;
    });
}

std::vector<float> Wrong() {
    // Two detuned low buzzes falling a tritone.
    Sweep a, b;
    LowPass lp(1800);
    return Render(0.5f, 4, [&](float t, Noise&) {
        float f = t < 0.16f ? 233 : 165;
        float v = Saw(a.Step(f)) + Saw(b.Step(f * 1.012f));
        return lp.Run(v) * 0.5f * Adsr(t, 0.005f, 0.05f, 0.7f, 0.36f, 0.12f);
    });
}

std::vector<float> Jump() {
    Sweep s;
    return Render(0.22f, 5, [&](float t, Noise&) {
        float p = s.Step(280 + 900 * t * t * 10);
        return (Triangle(p) * 0.8f + Square(p, 0.5f) * 0.15f) *
               Adsr(t, 0.005f, 0.05f, 0.7f, 0.12f, 0.1f);
    });
}

std::vector<float> Jingle() {
    // The framework's sting: an arpeggio up a major chord and a held top chord.
    const int notes[] = {60, 64, 67, 72, 76};
    return Render(1.7f, 6, [&](float t, Noise&) {
        float v = 0;
        for (int k = 0; k < 5; ++k) {
            float u = t - k * 0.09f, f = NoteHz(notes[k]);
            float held = k == 4 ? 0.9f : 0.09f;
            float vib = 1 + 0.004f * Sine(5.5f * t) * (k == 4);
            v += (Square(f * vib * u, 0.25f) * 0.35f + Triangle(f * vib * u) * 0.65f) *
                 Adsr(u, 0.005f, 0.08f, 0.6f, held, k == 4 ? 0.6f : 0.25f);
        }
        // A soft bass root under the final chord.
        v += Triangle(NoteHz(48) * t) * 0.5f * Adsr(t - 0.36f, 0.01f, 0.2f, 0.6f, 0.7f, 0.5f);
        return v;
    });
}

std::vector<float> MenuMove() {
    return Render(0.06f, 7, [&](float t, Noise&) {
        return Square(NoteHz(84) * t, 0.5f) * 0.4f * Adsr(t, 0.002f, 0.02f, 0.5f, 0.03f, 0.02f);
    });
}

std::vector<float> MenuChoose() {
    return Render(0.2f, 8, [&](float t, Noise&) {
        float f = t < 0.06f ? NoteHz(79) : NoteHz(86);
        float u = t < 0.06f ? t : t - 0.06f;
        return Square(f * u, 0.35f) * 0.4f * Adsr(u, 0.002f, 0.03f, 0.6f, 0.05f, 0.08f);
    });
}

bool Save(const Context& ctx, const std::string& file, std::vector<float> samples) {
    Normalise(samples, kPeak);
    FadeEdges(samples, 1, kEdgeFade);
    bool ok = WriteWav(ctx.dataDir + "/" + file, samples, 1, kRate);
    if (!ok) std::fprintf(stderr, "cannot write %s\n", file.c_str());
    return ok;
}

}  // namespace

bool MakeSounds(const Context& ctx) {
    return Save(ctx, "512/sfx/001.wav", ShotFired()) && Save(ctx, "512/sfx/002.wav", ShotHits()) &&
           Save(ctx, "512/sfx/003.wav", Correct()) && Save(ctx, "512/sfx/004.wav", Wrong()) &&
           Save(ctx, "512/sfx/005.wav", Jump()) && Save(ctx, "common/096.wav", Jingle()) &&
           Save(ctx, "common/098.wav", MenuMove()) && Save(ctx, "common/099.wav", MenuChoose());
}

}  // namespace gen
