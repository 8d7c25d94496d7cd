// sound.cpp: the effect bank, round-robin effect channels with random pitch,
// and the tune with pause, resume and stop.
//
// Owns the globals of sound.h. Plays through the bb_audio_ functions
// (audio/audio.h); reads the game number, the volume settings and the shared
// random generator (state.h).
#include "framework/sound.h"

#include <algorithm>

#include "audio/audio.h"
#include "framework/state.h"

// Constants
constexpr int kFirstCommonEffect = 70;  // slots from here load from "common/"
constexpr int kFixedPitchSlot = 90;     // slots above this play at pitch 1
constexpr float kMinPitch = 0.4f;       // pitch clamp
constexpr float kMaxPitch = 3.0f;
constexpr float kRandomPitchBase = 0.7f;  // random pitch 0.7 .. 1.3
constexpr float kRandomPitchSpread = 0.6f;
constexpr float kMaxEffectVolume = 0.99f;    // effect volume clamp
constexpr float kEffectVolumeStep = 0.1f;    // per unit of setting 1
constexpr float kMusicVolumeStep = 0.0999f;  // per unit of setting 0
constexpr int kMaxVolumeSetting = 10;
constexpr int kSettingMusic = 0;
constexpr int kSettingEffects = 1;

// Globals
std::shared_ptr<c_Sound> bb_zolt_ZOLT_SFX[kZoltEffectSlots];
int32_t bb_zolt_ZOLT_LChan;
String bb_zolt_ZOLT_LastTune;
int32_t bb_zolt_ZOLT_MusicPlaying;

// Internal helpers

static int ClampedSetting(int index) {
    bb_zolt_ZOLT_Set[index] = std::clamp(bb_zolt_ZOLT_Set[index], 0, kMaxVolumeSetting);
    return bb_zolt_ZOLT_Set[index];
}

static String EffectPath(int slot) {
    const String number = bbStringFromInt(slot);
    if (slot >= kFirstCommonEffect) return u"common/0" + number + u".wav";
    const String folder = bbStringFromInt(bb_zolt_ZOLT_GameNum) + u"/sfx/";
    return folder + (slot < 10 ? u"00" : u"0") + number + u".wav";
}

// Public operations

void bbInitZoltSound() {
    for (auto& sound : bb_zolt_ZOLT_SFX) sound.reset();
    bb_zolt_ZOLT_LChan = 0;
    bb_zolt_ZOLT_LastTune.clear();
    bb_zolt_ZOLT_MusicPlaying = 0;
}

void bbZoltApplyMusicVolume() {
    ClampedSetting(kSettingEffects);
    bb_audio_SetMusicVolume(static_cast<float>(ClampedSetting(kSettingMusic)) * kMusicVolumeStep);
}

void bb_zolt_LoadSFX(int slot) {
    if (slot < 0 || slot >= kZoltEffectSlots) return;
    bb_zolt_ZOLT_SFX[slot].reset();
    bb_zolt_ZOLT_SFX[slot] = bb_audio_LoadSound(EffectPath(slot));
}

void bb_zolt_PlaySFX(int slot, float rate, float volume, float pan) {
    float pitch;
    if (rate != kZoltRandomPitch) {
        pitch = std::clamp(rate, kMinPitch, kMaxPitch);
    } else {
        // The generator steps even when the pitch ends up fixed.
        const float u = bb_random_Rnd();
        pitch = slot > kFixedPitchSlot ? 1.0f : kRandomPitchBase + u * kRandomPitchSpread;
        pitch = std::clamp(pitch, kMinPitch, kMaxPitch);
    }
    volume = std::clamp(volume, 0.0f, kMaxEffectVolume);
    pan = std::clamp(pan, -1.0f, 1.0f);
    const int effects = ClampedSetting(kSettingEffects);
    if (slot < 0 || slot >= kZoltEffectSlots || !bb_zolt_ZOLT_SFX[slot]) return;

    bb_zolt_ZOLT_LChan = (bb_zolt_ZOLT_LChan + 1) % kSoundChannels;
    const int channel = bb_zolt_ZOLT_LChan;
    bb_audio_StopChannel(channel);
    bb_audio_PlaySound(bb_zolt_ZOLT_SFX[slot], channel, 0);
    bb_audio_SetChannelRate(channel, pitch);
    bb_audio_SetChannelVolume(channel, volume * static_cast<float>(effects) * kEffectVolumeStep);
    bb_audio_SetChannelPan(channel, pan);
}

void bb_zolt_PlayTune(const String& name, int loop) {
    String tune = name;
    if (tune == u"-1" && !bb_zolt_ZOLT_LastTune.empty()) tune = bb_zolt_ZOLT_LastTune;
    if (tune.empty()) return;
    bb_zolt_ZOLT_LastTune = tune;
    const String file = bbStringFromInt(bb_zolt_ZOLT_GameNum) + u"/sfx/" + tune + u".ogg";
    if (bb_zolt_ZOLT_MusicPlaying != 0) {
        bb_audio_StopMusic();
        bb_zolt_ZOLT_MusicPlaying = 0;
    }
    bb_audio_PlayMusic(file, loop);
    bb_zolt_ZOLT_MusicPlaying = 1;
    bb_audio_SetMusicVolume(static_cast<float>(ClampedSetting(kSettingMusic)) * kMusicVolumeStep);
}

void bb_zolt_PauseTune() {
    if (bb_zolt_ZOLT_MusicPlaying != 1) return;
    bb_zolt_ZOLT_MusicPlaying = 2;
    bb_audio_PauseMusic();
}

void bb_zolt_ResumeTune() {
    if (bb_zolt_ZOLT_MusicPlaying != 2) return;
    bb_zolt_ZOLT_MusicPlaying = 1;
    bb_audio_ResumeMusic();
}

void bb_zolt_StopTune() {
    bb_audio_StopMusic();
    bb_zolt_ZOLT_MusicPlaying = 0;
}
