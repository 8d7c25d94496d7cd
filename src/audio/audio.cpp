// audio.cpp: the OpenAL audio engine, its channels, samples and bb_audio_ functions.
//
// Owns gxtkAudio::audio, bb_audio_device and the list of discarded buffers
// waiting for deletion; implements gxtkAudio, gxtkChannel, gxtkSample, c_Sound
// and the bb_audio_ functions declared in audio.h. Depends on OpenAL 1.1 and on
// the host for decoding (BBGlfwGame::LoadAudioData), data paths
// (bb_data_FixDataPath) and console messages (bbPrint).
#include "audio/audio.h"

#include <climits>
#include <cmath>
#include <cstdlib>
#include <utility>
#include <vector>

#include "host/errors.h"
#include "host/files.h"
#include "host/host.h"

// Constants

// Devices tried in order when the default one cannot be opened.
constexpr const char* kFallbackDevices[] = {"Generic Hardware", "Generic Software"};

// Globals

gxtkAudio* gxtkAudio::audio = nullptr;
gxtkAudio* bb_audio_device = nullptr;

namespace {

// Buffer names waiting until no source holds them. Never destroyed, so samples
// released during static destruction can still hand their buffers in.
std::vector<ALuint>& Discarded() {
    static auto* list = new std::vector<ALuint>;
    return *list;
}

// Internal helpers

bool ValidChannel(int channel) {
    return channel >= 0 && channel < kChannelCount;
}

// AL_INITIAL for a channel without a source, so it never reads as stopped or playing.
ALint SourceState(ALuint source) {
    ALint state = AL_INITIAL;
    if (source != 0) alGetSourcei(source, AL_SOURCE_STATE, &state);
    return state;
}

// A playing channel whose non-looping sound has ended reads as stopped.
void RefreshState(gxtkChannel& channel) {
    if (channel.state == kChannelPlaying && SourceState(channel.source) == AL_STOPPED)
        channel.state = kChannelStopped;
}

// Deletes the discarded buffers that no source holds any more; the others stay
// listed for a later attempt.
void FlushDiscarded(gxtkChannel* channels) {
    std::vector<ALuint>& discarded = Discarded();
    if (discarded.empty()) return;
    for (int i = 0; i < kChannelCount; ++i) {
        gxtkChannel& channel = channels[i];
        if (channel.state != kChannelStopped && SourceState(channel.source) == AL_STOPPED)
            alSourcei(channel.source, AL_BUFFER, 0);
    }
    std::vector<ALuint> kept;
    for (ALuint buffer : discarded) {
        alGetError();
        alDeleteBuffers(1, &buffer);
        if (alGetError() != AL_NO_ERROR) kept.push_back(buffer);
    }
    discarded.swap(kept);
}

// The OpenAL format of a PCM layout; 0 when OpenAL has none.
ALenum FormatOf(int bytesPerSample, int channelCount) {
    if (bytesPerSample == 1 && channelCount == 1) return AL_FORMAT_MONO8;
    if (bytesPerSample == 1 && channelCount == 2) return AL_FORMAT_STEREO8;
    if (bytesPerSample == 2 && channelCount == 1) return AL_FORMAT_MONO16;
    if (bytesPerSample == 2 && channelCount == 2) return AL_FORMAT_STEREO16;
    return 0;
}

// A new buffer holding the PCM, or 0 when the layout has no OpenAL format or
// OpenAL refuses the upload (no context, out of memory).
ALuint UploadPcm(const unsigned char* pcm, int frames, int channelCount, int bytesPerSample,
                 int rate) {
    const ALenum format = FormatOf(bytesPerSample, channelCount);
    if (format == 0 || frames < 0 || rate <= 0) return 0;
    const long long bytes = static_cast<long long>(frames) * channelCount * bytesPerSample;
    if (bytes > INT_MAX) return 0;
    alGetError();
    ALuint buffer = 0;
    alGenBuffers(1, &buffer);
    if (alGetError() != AL_NO_ERROR || buffer == 0) return 0;
    alBufferData(buffer, format, pcm, static_cast<ALsizei>(bytes), rate);
    if (alGetError() != AL_NO_ERROR) {
        alDeleteBuffers(1, &buffer);
        return 0;
    }
    return buffer;
}

ALCdevice* OpenDevice() {
    ALCdevice* device = alcOpenDevice(nullptr);
    for (const char* name : kFallbackDevices) {
        if (device) break;
        device = alcOpenDevice(name);
    }
    return device;
}

}  // namespace

// Public operations: gxtkSample

gxtkSample::~gxtkSample() {
    if (buffer != 0) Discarded().push_back(buffer);
}

void gxtkSample::Discard() {
    if (buffer == 0) return;
    Discarded().push_back(buffer);
    buffer = 0;
}

// Public operations: gxtkChannel

ALuint gxtkChannel::AL_Source() {
    if (source != 0) return source;
    alGetError();
    ALuint made = 0;
    alGenSources(1, &made);
    if (alGetError() == AL_NO_ERROR && made != 0) {
        source = made;
        return source;
    }
    // OpenAL has no more sources: take one from a sound channel that is idle.
    gxtkAudio* engine = gxtkAudio::audio;
    if (!engine) return 0;
    for (int i = 0; i < kSoundChannels; ++i) {
        gxtkChannel& other = engine->channels[i];
        if (other.source == 0) continue;
        RefreshState(other);
        if (other.state != kChannelStopped) continue;
        source = other.source;
        other.source = 0;
        break;
    }
    return source;
}

// Public operations: gxtkAudio

gxtkAudio::gxtkAudio() {
    audio = this;
    alDevice = OpenDevice();
    if (alDevice) {
        alContext = alcCreateContext(alDevice, nullptr);
        if (!alContext) {
            bbPrint(u"OpenAl error: alcCreateContext failed");
        } else if (!alcMakeContextCurrent(alContext)) {
            bbPrint(u"OpenAl error: alcMakeContextCurrent failed");
        }
    } else {
        bbPrint(u"OpenAl error: alcOpenDevice failed");
    }
    // Position gives direction only: no distance attenuation.
    alDistanceModel(AL_NONE);
    channels[kMusicChannel].AL_Source();
}

gxtkAudio::~gxtkAudio() {
    for (gxtkChannel& channel : channels) {
        if (channel.source != 0) {
            alSourceStop(channel.source);
            alSourcei(channel.source, AL_BUFFER, 0);
            alDeleteSources(1, &channel.source);
            channel.source = 0;
        }
        channel.state = kChannelStopped;
        channel.sample.reset();
    }
    FlushDiscarded(channels);
    if (alContext) {
        if (alcGetCurrentContext() == alContext) alcMakeContextCurrent(nullptr);
        alcDestroyContext(alContext);
    }
    if (alDevice) alcCloseDevice(alDevice);
    if (audio == this) audio = nullptr;
}

void gxtkAudio::Suspend() {
    for (gxtkChannel& channel : channels) {
        if (channel.state == kChannelPlaying && SourceState(channel.source) == AL_PLAYING)
            alSourcePause(channel.source);
    }
}

void gxtkAudio::Resume() {
    for (gxtkChannel& channel : channels) {
        if (channel.state == kChannelPlaying && SourceState(channel.source) == AL_PAUSED)
            alSourcePlay(channel.source);
    }
}

std::shared_ptr<gxtkSample> gxtkAudio::LoadSample(const String& path) {
    FlushDiscarded(channels);
    auto sample = std::make_shared<gxtkSample>();
    if (!LoadSample__UNSAFE__(sample.get(), path)) return nullptr;
    return sample;
}

bool gxtkAudio::LoadSample__UNSAFE__(gxtkSample* sample, const String& path) {
    BBGlfwGame* host = BBGlfwGame::_glfwGame;
    if (!sample || !host) return false;
    int frames = 0, channelCount = 0, bytesPerSample = 0, rate = 0;
    unsigned char* pcm = host->LoadAudioData(path, &frames, &channelCount, &bytesPerSample, &rate);
    if (!pcm) return false;
    const ALuint buffer = UploadPcm(pcm, frames, channelCount, bytesPerSample, rate);
    std::free(pcm);
    if (buffer == 0) return false;
    sample->SetBuffer(buffer);
    return true;
}

int gxtkAudio::PlaySample(std::shared_ptr<gxtkSample> sample, int channel, int flags) {
    if (!sample || !ValidChannel(channel)) return -1;
    FlushDiscarded(channels);
    gxtkChannel& target = channels[channel];
    const ALuint source = target.AL_Source();
    if (source == 0) return -1;
    alSourceStop(source);
    alSourcei(source, AL_BUFFER, static_cast<ALint>(sample->buffer));
    alSourcei(source, AL_LOOPING, flags != 0 ? AL_TRUE : AL_FALSE);
    alSourcePlay(source);
    target.sample = std::move(sample);
    target.flags = flags;
    target.state = kChannelPlaying;
    return 0;
}

void gxtkAudio::StopChannel(int channel) {
    if (!ValidChannel(channel)) return;
    gxtkChannel& target = channels[channel];
    if (target.state == kChannelStopped) return;
    alSourceStop(target.source);
    target.state = kChannelStopped;
}

void gxtkAudio::PauseChannel(int channel) {
    if (!ValidChannel(channel)) return;
    gxtkChannel& target = channels[channel];
    if (target.state != kChannelPlaying) return;
    if (SourceState(target.source) == AL_STOPPED) {
        target.state = kChannelStopped;
        return;
    }
    alSourcePause(target.source);
    target.state = kChannelPaused;
}

void gxtkAudio::ResumeChannel(int channel) {
    if (!ValidChannel(channel)) return;
    gxtkChannel& target = channels[channel];
    if (target.state != kChannelPaused) return;
    alSourcePlay(target.source);
    target.state = kChannelPlaying;
}

int gxtkAudio::ChannelState(int channel) {
    if (!ValidChannel(channel)) return kChannelStopped;
    RefreshState(channels[channel]);
    return channels[channel].state;
}

void gxtkAudio::SetVolume(int channel, float volume) {
    if (!ValidChannel(channel)) return;
    alSourcef(channels[channel].AL_Source(), AL_GAIN, volume);
}

void gxtkAudio::SetPan(int channel, float pan) {
    if (!ValidChannel(channel)) return;
    alSource3f(channels[channel].AL_Source(), AL_POSITION, std::sin(pan), 0.0f, -std::cos(pan));
}

void gxtkAudio::SetRate(int channel, float rate) {
    if (!ValidChannel(channel)) return;
    alSourcef(channels[channel].AL_Source(), AL_PITCH, rate);
}

int gxtkAudio::PlayMusic(const String& path, int flags) {
    StopMusic();
    std::shared_ptr<gxtkSample> sample = LoadSample(path);
    if (!sample) return -1;
    PlaySample(std::move(sample), kMusicChannel, flags);
    return 0;
}

void gxtkAudio::StopMusic() {
    StopChannel(kMusicChannel);
}
void gxtkAudio::PauseMusic() {
    PauseChannel(kMusicChannel);
}
void gxtkAudio::ResumeMusic() {
    ResumeChannel(kMusicChannel);
}
int gxtkAudio::MusicState() {
    return ChannelState(kMusicChannel);
}
void gxtkAudio::SetMusicVolume(float volume) {
    SetVolume(kMusicChannel, volume);
}

// Public operations: c_Sound

std::shared_ptr<c_Sound> c_Sound::m_new(std::shared_ptr<gxtkSample> sample) {
    auto sound = std::make_shared<c_Sound>();
    sound->sample = std::move(sample);
    return sound;
}

// Public operations: bb_audio_ functions

void bbInitAudio() {
    gxtkAudio::audio = nullptr;
    bb_audio_device = nullptr;
    Discarded().clear();
}

void bb_audio_SetAudioDevice(gxtkAudio* engine) {
    bb_audio_device = engine;
}

std::shared_ptr<c_Sound> bb_audio_LoadSound(const String& path) {
    if (!bb_audio_device) return nullptr;
    std::shared_ptr<gxtkSample> sample = bb_audio_device->LoadSample(bb_data_FixDataPath(path));
    if (!sample) return nullptr;
    return c_Sound::m_new(std::move(sample));
}

void bb_audio_PlaySound(const std::shared_ptr<c_Sound>& sound, int channel, int flags) {
    if (!bb_audio_device || !sound || !sound->sample) return;
    bb_audio_device->PlaySample(sound->sample, channel, flags);
}

void bb_audio_StopChannel(int channel) {
    if (bb_audio_device) bb_audio_device->StopChannel(channel);
}

void bb_audio_SetChannelVolume(int channel, float volume) {
    if (bb_audio_device) bb_audio_device->SetVolume(channel, volume);
}

void bb_audio_SetChannelPan(int channel, float pan) {
    if (bb_audio_device) bb_audio_device->SetPan(channel, pan);
}

void bb_audio_SetChannelRate(int channel, float rate) {
    if (bb_audio_device) bb_audio_device->SetRate(channel, rate);
}

int bb_audio_PlayMusic(const String& path, int flags) {
    if (!bb_audio_device) return -1;
    return bb_audio_device->PlayMusic(bb_data_FixDataPath(path), flags);
}

void bb_audio_StopMusic() {
    if (bb_audio_device) bb_audio_device->StopMusic();
}

void bb_audio_PauseMusic() {
    if (bb_audio_device) bb_audio_device->PauseMusic();
}

void bb_audio_ResumeMusic() {
    if (bb_audio_device) bb_audio_device->ResumeMusic();
}

void bb_audio_SetMusicVolume(float volume) {
    if (bb_audio_device) bb_audio_device->SetMusicVolume(volume);
}
