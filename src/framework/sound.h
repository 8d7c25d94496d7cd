// sound.h: the sound-effect bank and the music tune.
//
// Effects are loaded into 100 numbered slots from numbered WAV files (0..69
// from the game's folder, 70..99 from "common/") and played round-robin over
// the audio engine's 32 sound channels, with a random pitch unless a rate is
// given; a new effect cuts off the oldest. One tune at a time plays from an Ogg
// Vorbis file on the music channel. Settings 0 (music) and 1 (effects), each
// 0..10, give the volumes.
//
// Failure: a missing effect file leaves its slot empty and playing it does
// nothing; a missing tune plays nothing but still counts as playing.
#pragma once

#include <cstdint>
#include <memory>

#include "host/text.h"

class c_Sound;

// Constants
constexpr int kZoltEffectSlots = 100;      // slots of the effect bank
constexpr float kZoltRandomPitch = -1.0f;  // bb_zolt_PlaySFX rate: random pitch

extern std::shared_ptr<c_Sound> bb_zolt_ZOLT_SFX[kZoltEffectSlots];
extern int32_t bb_zolt_ZOLT_LChan;
extern String bb_zolt_ZOLT_LastTune;
extern int32_t bb_zolt_ZOLT_MusicPlaying;

// Gives the sound globals their initial values (empty bank, no tune).
void bbInitZoltSound();

// Clamps the volume settings into 0..10 and gives the music its volume.
void bbZoltApplyMusicVolume();

void bb_zolt_LoadSFX(int slot);
void bb_zolt_PlaySFX(int slot, float rate = kZoltRandomPitch, float volume = 1.0f,
                     float pan = 0.0f);
void bb_zolt_PlayTune(const String& name, int loop);
void bb_zolt_PauseTune();
void bb_zolt_ResumeTune();
void bb_zolt_StopTune();
