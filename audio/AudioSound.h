#pragma once

#include "audio/AudioDecoder.h"
#include "audio/AudioTypes.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace Kelvo {

class AudioChannel;

// One sound made by the sound system from one file. A loaded sound holds the
// whole file decoded in one OpenAL buffer and can play on any number of
// channels at once. A streamed sound holds only its open decoder and a few
// short buffers that its channel refills on every update, so it plays on one
// channel at a time: playing it again moves it to the new channel and starts
// it from the beginning. 3D sounds are mixed down to mono, because OpenAL
// positions only mono sources. Owned by the sound system, which frees every
// sound when it is released.
class AudioSound {
public:
    // A streamed sound keeps this many buffers of this length queued.
    static constexpr int kStreamBufferCount = 4;
    static constexpr double kStreamBufferSeconds = 0.2;

    ~AudioSound();

    AudioSound(const AudioSound&) = delete;
    AudioSound& operator=(const AudioSound&) = delete;

    AudioMode mode() const { return mMode; }
    bool is3D() const { return (mMode & kAudioMode3D) != 0; }
    bool isLooping() const { return (mMode & kAudioModeLoopNormal) != 0; }
    bool isStream() const { return mStream; }
    // The channels as played: 1 for every 3D sound.
    int channelCount() const { return mChannelCount; }
    int sampleRate() const { return mSampleRate; }
    // The decoded length; 0 when the file does not tell (some MP3s).
    double lengthSeconds() const;

private:
    friend class AudioSystem;
    friend class AudioChannel;

    AudioSound(AudioMode mode, bool stream);

    AudioResult load(const AudioFileCallbacks& callbacks, std::uint32_t blockSize, const void* fileKey);
    AudioResult loadWhole(AudioDecoder& decoder);
    void releaseBuffers();

    // Streaming, driven by the channel the stream plays on.
    void rewindStream();
    std::size_t fillStreamBuffer(unsigned int buffer);

    AudioMode mMode;
    bool mStream;
    int mChannelCount = 0;
    int mSampleRate = 0;
    std::int64_t mFrameCount = 0;
    int mFormat = 0;

    unsigned int mBuffer = 0;

    std::unique_ptr<AudioDecoder> mDecoder;
    std::array<unsigned int, kStreamBufferCount> mStreamBuffers{};
    std::size_t mStreamBufferFrames = 0;
    std::vector<std::int16_t> mStreamSamples;
    std::int64_t mFramesSinceRewind = 0;
    bool mStreamEnded = false;
    AudioChannel* mStreamChannel = nullptr;
};

} // namespace Kelvo
