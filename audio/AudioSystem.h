#pragma once

#include "audio/AudioChannel.h"
#include "audio/AudioSound.h"
#include "audio/AudioTypes.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace Kelvo {

// The sound system: the output device, a fixed set of channels addressed by
// index, the sounds made from files, and one listener. Built on OpenAL Soft;
// files are decoded by libsndfile and read only through the caller's file
// callbacks.
//
// When no sound device can be opened (a server, a CI machine) init falls back
// to a silent device instead of failing: OpenAL Soft's loopback device, which
// this class mixes from update() at the pace of the clock. Sounds therefore
// still take as long as they last and end on time, which is what callers that
// wait for a sound to finish rely on; nothing is heard.
//
// Single-threaded: every call comes from the caller's thread, file callbacks
// included. Streams are refilled in update(), which the caller makes once per
// frame; a stream that ran dry because update came late starts again from
// where it stopped. One system at a time per process: OpenAL has one current
// context.
class AudioSystem {
public:
    // playSound's channel index for "any free channel".
    static constexpr int kFreeChannel = -1;
    static constexpr int kMaxChannels = 256;
    // The silent device's output format.
    static constexpr int kSilentSampleRate = 44100;
    // After a longer stall (a debugger) the silent device mixes only this
    // much, so one late update cannot take minutes.
    static constexpr double kSilentCatchUpSeconds = 10.0;

    // Seconds on any steady scale; the silent device mixes as much sound as
    // this clock advanced between updates.
    using Clock = std::function<double()>;

    AudioSystem();
    ~AudioSystem();

    AudioSystem(const AudioSystem&) = delete;
    AudioSystem& operator=(const AudioSystem&) = delete;

    AudioResult init(int maxChannels, AudioInitFlags flags);
    // dopplerScale scales the pitch shift of moving sounds, distanceFactor
    // is the number of units in a metre (for the speed of sound), and
    // rolloffScale is kept for curved roll-off: every 3D sound here rolls off
    // linearly between its own minimum and maximum distance, which it does
    // not change.
    AudioResult set3DSettings(float dopplerScale, float distanceFactor, float rolloffScale);
    // blockAlign: file reads start at multiples of it and ask for whole
    // blocks. Takes effect for the sounds made afterwards.
    AudioResult setFileSystem(const AudioFileCallbacks& callbacks, int blockAlign);

    // A sound decoded whole into memory.
    AudioResult createSound(const void* fileKey, AudioMode mode, AudioSound** sound);
    // A sound decoded in short pieces while it plays.
    AudioResult createStream(const void* fileKey, AudioMode mode, AudioSound** sound);

    // Starts the sound on the given channel, or on a free one for
    // kFreeChannel; a paused start waits for setPaused(false).
    AudioResult playSound(int channelIndex, AudioSound* sound, bool paused, AudioChannel** channel);
    AudioResult getChannel(int channelIndex, AudioChannel** channel);
    int getChannelCount() const { return static_cast<int>(mChannels.size()); }
    int getChannelsPlaying() const;
    // Sounds made and not yet freed (release frees them all).
    int getSoundCount() const { return static_cast<int>(mSounds.size()); }

    // Only listener 0 exists. forward and up must be non-zero and not
    // parallel; any pointer may be null to keep that value.
    AudioResult set3DListenerAttributes(int listener, const AudioVector* position, const AudioVector* velocity,
                                        const AudioVector* forward, const AudioVector* up);
    AudioResult get3DListenerAttributes(int listener, AudioVector* position, AudioVector* velocity,
                                        AudioVector* forward, AudioVector* up) const;

    // Once per frame: mixes the silent device up to now, refills streams.
    AudioResult update();

    // Stops every channel, frees every sound and closes the device. Also
    // done by the destructor.
    void release();

    bool isInitialised() const { return mContext != nullptr; }
    bool usesSilentDevice() const { return mSilentDevice; }
    // The device's name as OpenAL reports it.
    const std::string& getDeviceName() const { return mDeviceName; }
    // Tests and benchmarks drive the silent device with a clock of their own.
    void setClock(Clock clock);

private:
    AudioResult openSoundDevice(int maxChannels);
    AudioResult openSilentDevice(int maxChannels);
    AudioResult makeSound(const void* fileKey, AudioMode mode, bool stream, AudioSound** sound);
    void mixSilentDevice();
    void serviceChannels();
    void closeDevice();

    void* mDevice = nullptr;
    void* mContext = nullptr;
    bool mSilentDevice = false;
    std::string mDeviceName;

    std::vector<unsigned int> mSources;
    std::vector<std::unique_ptr<AudioChannel>> mChannels;
    int mNextChannel = 0;
    std::vector<std::unique_ptr<AudioSound>> mSounds;

    AudioFileCallbacks mFileCallbacks;
    std::uint32_t mBlockAlign = 1;

    AudioVector mListenerPosition;
    AudioVector mListenerVelocity;
    AudioVector mListenerForward;
    AudioVector mListenerUp;

    Clock mClock;
    double mClockStart = 0.0;
    std::int64_t mFramesMixed = 0;
    std::vector<std::int16_t> mMixBuffer;
};

} // namespace Kelvo
