// audio.h: the audio engine: 32 sound channels and one music channel over OpenAL.
//
// Owns gxtkAudio (the engine: OpenAL device, context and 33 channel records),
// gxtkChannel (one channel: its lazily made source, the sample it plays, its
// state), gxtkSample (one OpenAL buffer), c_Sound (the framework's handle on a
// sample) and the bb_audio_ functions the framework calls. Depends on the host
// for decoding files (BBGlfwGame::LoadAudioData) and for data paths.
//
// Use:
//   bbInitAudio();                        // globals to their initial values
//   gxtkAudio engine;                     // opens the device, prints on failure
//   bb_audio_SetAudioDevice(&engine);
//   auto hit = bb_audio_LoadSound(u"512/sfx/003.wav");   // null if unusable
//   bb_audio_PlaySound(hit, 1, 0);        // channel 1, no looping
//   bb_audio_SetChannelRate(1, 1.2f);
//   bb_audio_PlayMusic(u"512/sfx/Keeping.ogg", 1);        // -1 if unusable
//
// Channels 0..31 carry sounds, channel 32 the music; a channel number outside
// 0..32 does nothing (ChannelState reads 0). A channel gets an OpenAL source the
// first time it needs one; when OpenAL has no more sources, a sound channel
// whose sound has ended gives up its own. Channel states are 0 stopped,
// 1 playing, 2 paused; a sound that ends by itself is noticed lazily, the next
// time the channel's state is looked at.
//
// Failure: an optional device. Without an OpenAL device or context the engine
// prints one "OpenAl error: ..." line at construction and every later call runs
// and plays nothing (loads give null, since nothing can be uploaded). A file
// that is missing, not audio, damaged, or in a format OpenAL cannot play is a
// null sample, a null c_Sound, or -1 from PlayMusic; nothing is printed.
//
// Buffers are deleted lazily: a discarded sample's buffer waits in a list until
// no source holds it, and the list is flushed at the start of every load and
// play. Everything here runs on the main thread.
#pragma once

#include <AL/al.h>
#include <AL/alc.h>

#include <cstdint>
#include <memory>

#include "host/text.h"

// Constants

constexpr int kSoundChannels = 32;                 // channels 0..31 play sounds
constexpr int kMusicChannel = 32;                  // the music channel
constexpr int kChannelCount = kSoundChannels + 1;  // every channel record
constexpr int kChannelStopped = 0;                 // channel states
constexpr int kChannelPlaying = 1;
constexpr int kChannelPaused = 2;

// Types

// One OpenAL buffer holding a whole decoded sound.
class gxtkSample {
  public:
    gxtkSample() = default;
    gxtkSample(const gxtkSample&) = delete;
    gxtkSample& operator=(const gxtkSample&) = delete;
    // Hands a buffer still held to the deferred deletion list.
    virtual ~gxtkSample();

    // Gives the buffer up for deletion (deferred until no source holds it).
    virtual void Discard();
    void SetBuffer(ALuint name) { buffer = name; }

    ALuint buffer = 0;  // OpenAL buffer name; 0 = none
};

// One channel record of the engine.
struct gxtkChannel {
    ALuint source = 0;                   // OpenAL source; 0 until first needed
    std::shared_ptr<gxtkSample> sample;  // last sample started (kept alive while it plays)
    int32_t flags = 0;                   // flags it was started with; non-zero loops
    int32_t state = kChannelStopped;

    // The channel's source, made or taken over from another sound channel of
    // the current engine (gxtkAudio::audio) on first use; 0 when none could be
    // had, in which case OpenAL calls on it do nothing.
    ALuint AL_Source();
};

// The engine. Created once at game start and kept for the whole run.
class gxtkAudio {
  public:
    gxtkAudio();
    gxtkAudio(const gxtkAudio&) = delete;
    gxtkAudio& operator=(const gxtkAudio&) = delete;
    // Releases sources, buffers, the context and the device (the game never
    // ends its engine; tests that open one engine after another do).
    virtual ~gxtkAudio();

    // The engine made last (set by the constructor).
    static gxtkAudio* audio;

    // Pauses every playing channel's source without changing channel states.
    virtual void Suspend();
    // Restarts what Suspend paused; channels paused by PauseChannel stay paused.
    virtual void Resume();
    // Decodes a WAV or Ogg Vorbis file into a new sample; null on any failure.
    virtual std::shared_ptr<gxtkSample> LoadSample(const String& path);
    // Decodes and uploads into the given sample's buffer; touches no source.
    virtual bool LoadSample__UNSAFE__(gxtkSample* sample, const String& path);
    // Starts a sample on a channel, cutting off what played there; loops when
    // flags is non-zero. 0 on success, -1 without a source or a sample.
    virtual int PlaySample(std::shared_ptr<gxtkSample> sample, int channel, int flags);
    virtual void StopChannel(int channel);
    virtual void PauseChannel(int channel);
    virtual void ResumeChannel(int channel);
    virtual int ChannelState(int channel);
    virtual void SetVolume(int channel, float volume);
    // Pan is an angle in radians: 0 straight ahead, pi/2 fully right.
    virtual void SetPan(int channel, float pan);
    virtual void SetRate(int channel, float rate);
    // Loads and plays a file on the music channel; -1 when it cannot be loaded.
    virtual int PlayMusic(const String& path, int flags);
    virtual void StopMusic();
    virtual void PauseMusic();
    virtual void ResumeMusic();
    virtual int MusicState();
    virtual void SetMusicVolume(float volume);

    ALCdevice* alDevice = nullptr;    // null if no device could be opened
    ALCcontext* alContext = nullptr;  // null if its creation failed
    gxtkChannel channels[kChannelCount];
};

// The framework's handle on a loaded sample.
class c_Sound {
  public:
    static std::shared_ptr<c_Sound> m_new(std::shared_ptr<gxtkSample> sample);

    std::shared_ptr<gxtkSample> sample;
};

// Globals

// The engine the bb_audio_ functions act on; null until registered.
extern gxtkAudio* bb_audio_device;

// Gives the audio globals their initial values (no engine, nothing discarded).
void bbInitAudio();

// Public operations (all act on bb_audio_device and do nothing without one)

void bb_audio_SetAudioDevice(gxtkAudio* engine);
// The path goes through bb_data_FixDataPath; null when the file is unusable.
std::shared_ptr<c_Sound> bb_audio_LoadSound(const String& path);
void bb_audio_PlaySound(const std::shared_ptr<c_Sound>& sound, int channel, int flags);
void bb_audio_StopChannel(int channel);
void bb_audio_SetChannelVolume(int channel, float volume);
void bb_audio_SetChannelPan(int channel, float pan);
void bb_audio_SetChannelRate(int channel, float rate);
// The path goes through bb_data_FixDataPath; the engine's PlayMusic result.
int bb_audio_PlayMusic(const String& path, int flags);
void bb_audio_StopMusic();
void bb_audio_PauseMusic();
void bb_audio_ResumeMusic();
void bb_audio_SetMusicVolume(float volume);
