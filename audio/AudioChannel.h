#pragma once

#include "audio/AudioTypes.h"

namespace Kelvo {

class AudioSound;

// One of the sound system's channels, each with its own OpenAL source and a
// fixed index. A channel is busy from playSound until its sound ends or it is
// stopped; a paused channel stays busy. 3D settings apply to 3D sounds only:
// a 2D sound plays at the listener's head at full volume. Volumes are kept in
// 0..1. Owned by the sound system; callers hold only its index and look it up
// again with getChannel, since the channel may play another sound by then.
class AudioChannel {
public:
    static constexpr float kDefaultMinDistance = 1.0f;
    static constexpr float kDefaultMaxDistance = 10000.0f;

    ~AudioChannel();

    AudioChannel(const AudioChannel&) = delete;
    AudioChannel& operator=(const AudioChannel&) = delete;

    int getIndex() const { return mIndex; }
    AudioSound* getCurrentSound() const { return mSound; }

    AudioResult stop();
    AudioResult setPaused(bool paused);
    AudioResult getPaused(bool* paused) const;
    AudioResult setVolume(float volume);
    AudioResult getVolume(float* volume) const;
    // Either pointer may be null to keep that value.
    AudioResult set3DAttributes(const AudioVector* position, const AudioVector* velocity);
    AudioResult get3DAttributes(AudioVector* position, AudioVector* velocity) const;
    // Full volume up to the minimum distance, silence from the maximum on,
    // linear in between.
    AudioResult set3DMinMaxDistance(float minDistance, float maxDistance);
    AudioResult get3DMinMaxDistance(float* minDistance, float* maxDistance) const;
    // True while busy, paused included.
    AudioResult isPlaying(bool* playing) const;

private:
    friend class AudioSystem;
    friend class AudioSound;

    AudioChannel(int index, unsigned int source);

    bool busy() const;
    void start(AudioSound* sound, bool paused);
    // Called on every update: refills a stream's processed buffers and
    // restarts a stream that ran dry because updates came too late.
    void service();
    void detach();
    void applyPlacement();

    int mIndex;
    unsigned int mSource;
    AudioSound* mSound = nullptr;
    bool mPaused = false;
    float mVolume = 1.0f;
    AudioVector mPosition;
    AudioVector mVelocity;
    float mMinDistance = kDefaultMinDistance;
    float mMaxDistance = kDefaultMaxDistance;
};

} // namespace Kelvo
