// music.cpp: the play tune "Keeping", composed here and encoded to Ogg Vorbis.
//
// Owns MakeMusic: a small step sequencer (16 steps a bar, 32 bars), five
// instruments (pad, bass, arpeggio, lead with echo, drums) and the encoder.
// The piece is rendered onto a circle: every note, tail and echo that runs
// past the last sample continues at the first, so the file's end joins its
// start exactly and the tune loops without a gap or a click. The Vorbis stream
// has a fixed serial number and the encoder is deterministic, so the file is
// byte-identical on every build. Depends on synth.h and libvorbisenc.
#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <sstream>

#include "art.h"
#include "synth.h"

namespace gen {

namespace {

constexpr int kStepSamples = 5500;  // one sixteenth (about 120 beats a minute)
constexpr int kStepsPerBar = 16;
constexpr int kBars = 32;                                   // four sections of eight bars
constexpr int kLoop = kStepSamples * kStepsPerBar * kBars;  // 63.85 s
constexpr float kQuality = 0.4f;                            // Vorbis VBR quality (about 128 kbit/s)
constexpr int kSerial = 0x51756f72;                         // fixed stream serial: identical files
constexpr float kPeak = 0.8f;                               // master peak level
constexpr float kStep = float(kStepSamples) / kRate;        // seconds per step

// Stereo loop buffer whose writes wrap around its end.
struct Loop {
    std::vector<float> left = std::vector<float>(kLoop), right = std::vector<float>(kLoop);
    void Add(long i, float v, float pan) {  // pan -1 left .. 1 right
        size_t k = size_t(((i % kLoop) + kLoop) % kLoop);
        left[k] += v * (1 - pan) * 0.5f;
        right[k] += v * (1 + pan) * 0.5f;
    }
};

// Each chord: bass root and three chord tones (MIDI numbers).
struct Chord {
    int root, a, b, c;
};
const Chord kAm{45, 57, 60, 64}, kF{41, 57, 60, 65}, kC{48, 55, 60, 64}, kG{43, 55, 59, 62},
    kEm{40, 55, 59, 64}, kDm{38, 57, 62, 65}, kE{40, 56, 59, 64};

const Chord kProgression[kBars] = {kAm, kF,  kC,  kG,  kAm, kF,  kC,  kG,   // A
                                   kF,  kG,  kEm, kAm, kF,  kG,  kEm, kAm,  // B
                                   kAm, kF,  kC,  kG,  kAm, kF,  kC,  kG,   // A again, fuller
                                   kDm, kEm, kF,  kE,  kDm, kEm, kF,  kE};  // bridge, back to A

// The lead, one token per eighth note: a note name, "." to hold, "_" for rest.
const char* kThemeA =
    "A4 . C5 E5 . D5 C5 .  A4 . C5 F5 . E5 C5 A4  G4 . C5 E5 . G5 E5 C5  D5 . B4 G4 . A4 B4 . "
    "A4 . C5 E5 . D5 C5 .  A4 . C5 F5 . A5 G5 F5  E5 . G5 C6 . B5 G5 E5  D5 . . B4 . . _ _ ";
const char* kThemeB =
    "C6 . A5 . F5 . A5 C6  B5 . G5 . D5 . G5 B5  B5 . . G5 E5 . G5 B5  A5 . . . E5 . C5 . "
    "C6 . A5 . F5 . A5 C6  D6 . B5 . G5 . B5 D6  E6 . D6 B5 . G5 E5 G5  A5 . . . _ _ _ _ ";
const char* kBridge =
    "F5 . . . E5 . D5 .  E5 . . . G5 . B5 .  A5 . . . G5 . F5 .  G#5 . . . B5 . . . "
    "F5 . A5 . D6 . A5 .  G5 . B5 . E6 . B5 .  A5 . C6 . F6 . C6 .  G#5 . B5 . E6 . D6 B5 ";

int ParseNote(const std::string& token) {
    static const int kSemis[7] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
    int semi = kSemis[token[0] - 'A'];
    size_t i = 1;
    if (token[i] == '#') ++semi, ++i;
    return 12 * (token[i] - '0' + 1) + semi;
}

struct Note {
    int step, length, midi;
};

// Turns a token line into notes starting at bar `firstBar`.
std::vector<Note> Melody(const char* line, int firstBar) {
    std::vector<Note> notes;
    std::istringstream in(line);
    std::string token;
    int step = firstBar * kStepsPerBar;
    while (in >> token) {
        if (token == ".") {
            if (!notes.empty()) notes.back().length += 2;
        } else if (token != "_") {
            notes.push_back({step, 2, ParseNote(token)});
        }
        step += 2;
    }
    return notes;
}

long At(int step) {
    return long(step) * kStepSamples;
}

// --- Instruments ------------------------------------------------------------

void Pad(Loop& loop, int bar, const Chord& ch, float level) {
    const int tones[3] = {ch.a, ch.b, ch.c};
    long start = At(bar * kStepsPerBar);
    float len = kStep * kStepsPerBar;
    for (int k = 0; k < 3; ++k) {
        LowPass lp(900);
        float f = NoteHz(tones[k] - 12);
        float pan = (k - 1) * 0.5f;
        for (long i = 0; i < long((len + 0.4f) * kRate); ++i) {
            float t = float(i) / kRate;
            float v = Saw(f * t) + Saw(f * 1.006f * t);
            loop.Add(start + i, lp.Run(v) * level * Adsr(t, 0.25f, 0.4f, 0.7f, len - 0.1f, 0.5f),
                     pan);
        }
    }
}

void Bass(Loop& loop, int bar, const Chord& ch, bool busy) {
    // Eighth notes: root, root, octave, root with a push on the last step.
    for (int e = 0; e < 8; ++e) {
        if (!busy && e % 2) continue;
        int midi = ch.root + ((e == 2 || e == 6) ? 12 : 0);
        float f = NoteHz(midi), len = kStep * (busy ? 1.6f : 3.4f);
        long start = At(bar * kStepsPerBar + e * 2);
        LowPass lp(700);
        for (long i = 0; i < long((len + 0.08f) * kRate); ++i) {
            float t = float(i) / kRate;
            float v = Triangle(f * t) * 0.8f + Square(f * t, 0.5f) * 0.25f;
            loop.Add(start + i, lp.Run(v) * 0.55f * Adsr(t, 0.004f, 0.08f, 0.7f, len, 0.06f), 0);
        }
    }
}

void Arpeggio(Loop& loop, int bar, const Chord& ch, float level) {
    const int pattern[8] = {ch.a, ch.b, ch.c, ch.b + 12, ch.c, ch.b, ch.a + 12, ch.b};
    for (int s = 0; s < kStepsPerBar; ++s) {
        float f = NoteHz(pattern[s % 8] + 12), len = kStep * 0.6f;
        long start = At(bar * kStepsPerBar + s);
        for (long i = 0; i < long((len + 0.05f) * kRate); ++i) {
            float t = float(i) / kRate;
            float v = Square(f * t, 0.25f) * Adsr(t, 0.002f, 0.04f, 0.35f, len, 0.05f);
            loop.Add(start + i, v * level, -0.55f);
        }
    }
}

void Lead(Loop& dry, const Note& n, float level, int transpose) {
    float f = NoteHz(n.midi + transpose), len = n.length * kStep * 0.92f;
    long start = At(n.step);
    LowPass lp(5000);
    for (long i = 0; i < long((len + 0.15f) * kRate); ++i) {
        float t = float(i) / kRate;
        float vib = 1 + 0.005f * Sine(5.2f * t) * std::min(1.0f, t * 3);
        float p = f * vib * t;
        float v = Square(p, 0.5f) * 0.55f + Triangle(p) * 0.45f;
        dry.Add(start + i, lp.Run(v) * level * Adsr(t, 0.008f, 0.1f, 0.65f, len, 0.12f), 0.2f);
    }
}

void Kick(Loop& loop, int step, float level) {
    float phase = 0;
    for (long i = 0; i < long(0.3f * kRate); ++i) {
        float t = float(i) / kRate;
        phase += (45 + 120 * std::exp(-t * 30)) / kRate;
        loop.Add(At(step) + i, Sine(phase) * Decay(t, 0.09f) * level, 0);
    }
}

void Snare(Loop& loop, int step, float level, Noise& noise) {
    LowPass lp(6000);
    for (long i = 0; i < long(0.22f * kRate); ++i) {
        float t = float(i) / kRate;
        float v = lp.Run(noise.Next()) * Decay(t, 0.05f) + Sine(190 * t) * Decay(t, 0.03f) * 0.6f;
        loop.Add(At(step) + i, v * level, 0.1f);
    }
}

void Hat(Loop& loop, int step, float level, Noise& noise) {
    float prev = 0;
    for (long i = 0; i < long(0.05f * kRate); ++i) {
        float t = float(i) / kRate, x = noise.Next();
        float v = x - prev;  // first difference: a crude high-pass
        prev = x;
        loop.Add(At(step) + i, v * Decay(t, 0.012f) * level, 0.35f);
    }
}

void Drums(Loop& loop, int bar, int section, Noise& noise) {
    int base = bar * kStepsPerBar;
    bool breakdown = section == 3 && bar % 8 < 4;
    for (int s = 0; s < kStepsPerBar; s += 2) Hat(loop, base + s, s % 4 ? 0.22f : 0.15f, noise);
    if (section >= 2 && !breakdown)
        for (int s = 1; s < kStepsPerBar; s += 4) Hat(loop, base + s + 2, 0.1f, noise);
    Kick(loop, base, 0.9f);
    if (!breakdown) {
        Kick(loop, base + 8, 0.9f);
        if (section >= 1) Kick(loop, base + 10, 0.6f);
        Snare(loop, base + 4, 0.45f, noise);
        Snare(loop, base + 12, 0.45f, noise);
    }
    if (bar % 8 == 7) {
        // A fill into the next section.
        for (int s = 12; s < kStepsPerBar; ++s)
            Snare(loop, base + s, 0.2f + 0.05f * (s - 12), noise);
    }
}

// Three-sixteenth echo, computed on the circle so repeats wrap into the start.
void AddEcho(Loop& out, const Loop& dry) {
    constexpr long kDelay = 3 * kStepSamples;
    const float gains[3] = {0.35f, 0.18f, 0.08f};
    for (long i = 0; i < kLoop; ++i) {
        out.left[i] += dry.left[i];
        out.right[i] += dry.right[i];
        for (int k = 0; k < 3; ++k) {
            long j = ((i - kDelay * (k + 1)) % kLoop + kLoop) % kLoop;
            // Echoes alternate sides.
            float g = gains[k];
            out.left[i] += (k % 2 ? dry.left[j] : dry.right[j]) * g;
            out.right[i] += (k % 2 ? dry.right[j] : dry.left[j]) * g;
        }
    }
}

Loop Compose() {
    Loop mix, lead;
    Noise noise(2024);
    for (int bar = 0; bar < kBars; ++bar) {
        int section = bar / 8;
        const Chord& ch = kProgression[bar];
        Pad(mix, bar, ch, section == 3 ? 0.22f : 0.15f);
        Bass(mix, bar, ch, section != 3 || bar % 8 >= 4);
        if (section != 0 || bar >= 4) Arpeggio(mix, bar, ch, section == 2 ? 0.1f : 0.07f);
        Drums(mix, bar, section, noise);
    }
    for (const Note& n : Melody(kThemeA, 0)) Lead(lead, n, 0.3f, 0);
    for (const Note& n : Melody(kThemeB, 8)) Lead(lead, n, 0.27f, 0);
    for (const Note& n : Melody(kThemeA, 16)) {
        Lead(lead, n, 0.28f, 0);
        Lead(lead, n, 0.12f, 12);  // the reprise doubles the lead an octave up
    }
    for (const Note& n : Melody(kBridge, 24)) Lead(lead, n, 0.28f, 0);
    AddEcho(mix, lead);
    return mix;
}

// --- Encoding -------------------------------------------------------------------

bool WritePage(FILE* f, const ogg_page& page) {
    return std::fwrite(page.header, 1, page.header_len, f) == size_t(page.header_len) &&
           std::fwrite(page.body, 1, page.body_len, f) == size_t(page.body_len);
}

bool EncodeOgg(const std::string& path, const Loop& loop) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    vorbis_info vi;
    vorbis_info_init(&vi);
    bool ok = vorbis_encode_init_vbr(&vi, 2, kRate, kQuality) == 0;
    vorbis_comment vc;
    vorbis_comment_init(&vc);
    vorbis_comment_add_tag(&vc, "TITLE", "Keeping");
    vorbis_dsp_state vd;
    vorbis_block vb;
    ogg_stream_state os;
    ogg_page page;
    ogg_packet packet;
    if (ok) {
        vorbis_analysis_init(&vd, &vi);
        vorbis_block_init(&vd, &vb);
        ogg_stream_init(&os, kSerial);
        ogg_packet header, comments, codebooks;
        vorbis_analysis_headerout(&vd, &vc, &header, &comments, &codebooks);
        ogg_stream_packetin(&os, &header);
        ogg_stream_packetin(&os, &comments);
        ogg_stream_packetin(&os, &codebooks);
        while (ok && ogg_stream_flush(&os, &page)) ok = WritePage(f, page);
        constexpr int kChunk = 4096;
        for (long pos = 0; ok; pos += kChunk) {
            int n = int(std::min<long>(kChunk, kLoop - pos));
            if (n > 0) {
                float** buf = vorbis_analysis_buffer(&vd, n);
                std::memcpy(buf[0], loop.left.data() + pos, n * sizeof(float));
                std::memcpy(buf[1], loop.right.data() + pos, n * sizeof(float));
            }
            vorbis_analysis_wrote(&vd, n > 0 ? n : 0);
            while (vorbis_analysis_blockout(&vd, &vb) == 1) {
                vorbis_analysis(&vb, nullptr);
                vorbis_bitrate_addblock(&vb);
                while (vorbis_bitrate_flushpacket(&vd, &packet)) {
                    ogg_stream_packetin(&os, &packet);
                    while (ok && ogg_stream_pageout(&os, &page)) ok = WritePage(f, page);
                }
            }
            if (n <= 0) break;
        }
        while (ok && ogg_stream_flush(&os, &page)) ok = WritePage(f, page);
        ogg_stream_clear(&os);
        vorbis_block_clear(&vb);
        vorbis_dsp_clear(&vd);
    }
    vorbis_comment_clear(&vc);
    vorbis_info_clear(&vi);
    return std::fclose(f) == 0 && ok;
}

}  // namespace

bool MakeMusic(const Context& ctx) {
    Loop loop = Compose();
    float top = 0;
    for (long i = 0; i < kLoop; ++i)
        top = std::max({top, std::fabs(loop.left[i]), std::fabs(loop.right[i])});
    for (long i = 0; i < kLoop; ++i) loop.left[i] *= kPeak / top, loop.right[i] *= kPeak / top;
    std::string path = ctx.dataDir + "/512/sfx/Keeping.ogg";
    if (!EncodeOgg(path, loop)) {
        std::fprintf(stderr, "cannot write 512/sfx/Keeping.ogg\n");
        return false;
    }
    return true;
}

}  // namespace gen
