#include "audio/AudioChannel.h"

#include "audio/AudioSound.h"

#include <AL/al.h>
#include <AL/alext.h>

#include <algorithm>
#include <cmath>

namespace Kelvo {

namespace {

// The layer's space is left-handed, OpenAL's right-handed: mirroring z turns
// one into the other and keeps every distance and speed.
void toOpenAL(const AudioVector& v, ALfloat* out)
{
    out[0] = v.x;
    out[1] = v.y;
    out[2] = -v.z;
}

// Lets a 2D stereo sound play its left and right channels straight to the
// left and right speakers instead of from two virtual speakers in front.
bool hasDirectChannels()
{
    static const bool present = alIsExtensionPresent("AL_SOFT_direct_channels") == AL_TRUE;
    return present;
}

bool finite(const AudioVector& v)
{
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

} // namespace

AudioChannel::AudioChannel(int index, unsigned int source)
    : mIndex(index)
    , mSource(source)
{
}

AudioChannel::~AudioChannel()
{
    detach();
}

bool AudioChannel::busy() const
{
    if (!mSound) {
        return false;
    }
    ALint state = AL_STOPPED;
    alGetSourcei(mSource, AL_SOURCE_STATE, &state);
    if (state != AL_STOPPED) {
        return true;
    }
    // A stopped stream that still has sound to come only ran dry; the next
    // update starts it again.
    return mSound->isStream() && !mSound->mStreamEnded;
}

void AudioChannel::start(AudioSound* sound, bool paused)
{
    detach();
    if (sound->isStream() && sound->mStreamChannel) {
        sound->mStreamChannel->detach();
    }
    alSourceRewind(mSource);

    mSound = sound;
    mPaused = paused;
    mVolume = 1.0f;
    mPosition = AudioVector();
    mVelocity = AudioVector();
    mMinDistance = kDefaultMinDistance;
    mMaxDistance = kDefaultMaxDistance;
    alSourcef(mSource, AL_GAIN, mVolume);
    alSourcef(mSource, AL_PITCH, 1.0f);
    applyPlacement();

    if (sound->isStream()) {
        alSourcei(mSource, AL_LOOPING, AL_FALSE);
        sound->mStreamChannel = this;
        sound->rewindStream();
        for (unsigned int buffer : sound->mStreamBuffers) {
            if (sound->fillStreamBuffer(buffer) == 0) {
                break;
            }
            alSourceQueueBuffers(mSource, 1, &buffer);
        }
    } else {
        alSourcei(mSource, AL_LOOPING, sound->isLooping() ? AL_TRUE : AL_FALSE);
        alSourcei(mSource, AL_BUFFER, static_cast<ALint>(sound->mBuffer));
    }
    if (!paused) {
        alSourcePlay(mSource);
    }
}

void AudioChannel::applyPlacement()
{
    if (mSound && mSound->is3D()) {
        ALfloat position[3];
        ALfloat velocity[3];
        toOpenAL(mPosition, position);
        toOpenAL(mVelocity, velocity);
        alSourcei(mSource, AL_SOURCE_RELATIVE, AL_FALSE);
        alSourcefv(mSource, AL_POSITION, position);
        alSourcefv(mSource, AL_VELOCITY, velocity);
        alSourcef(mSource, AL_REFERENCE_DISTANCE, mMinDistance);
        alSourcef(mSource, AL_MAX_DISTANCE, mMaxDistance);
        alSourcef(mSource, AL_ROLLOFF_FACTOR, 1.0f);
        if (hasDirectChannels()) {
            alSourcei(mSource, AL_DIRECT_CHANNELS_SOFT, AL_FALSE);
        }
    } else {
        // At the listener's head, never attenuated and never shifted in pitch.
        const ALfloat zero[3] = {0.0f, 0.0f, 0.0f};
        alSourcei(mSource, AL_SOURCE_RELATIVE, AL_TRUE);
        alSourcefv(mSource, AL_POSITION, zero);
        alSourcefv(mSource, AL_VELOCITY, zero);
        alSourcef(mSource, AL_ROLLOFF_FACTOR, 0.0f);
        if (hasDirectChannels()) {
            alSourcei(mSource, AL_DIRECT_CHANNELS_SOFT, AL_TRUE);
        }
    }
}

void AudioChannel::service()
{
    if (!mSound || !mSound->isStream()) {
        return;
    }
    ALint processed = 0;
    alGetSourcei(mSource, AL_BUFFERS_PROCESSED, &processed);
    while (processed-- > 0) {
        ALuint buffer = 0;
        alSourceUnqueueBuffers(mSource, 1, &buffer);
        if (mSound->fillStreamBuffer(buffer) > 0) {
            alSourceQueueBuffers(mSource, 1, &buffer);
        }
    }
    if (mPaused) {
        return;
    }
    ALint state = AL_STOPPED;
    ALint queued = 0;
    alGetSourcei(mSource, AL_SOURCE_STATE, &state);
    alGetSourcei(mSource, AL_BUFFERS_QUEUED, &queued);
    if (state == AL_STOPPED && queued > 0) {
        alSourcePlay(mSource);
    }
}

void AudioChannel::detach()
{
    alSourceStop(mSource);
    alSourcei(mSource, AL_BUFFER, 0);
    if (mSound && mSound->mStreamChannel == this) {
        mSound->mStreamChannel = nullptr;
    }
    mSound = nullptr;
    mPaused = false;
}

AudioResult AudioChannel::stop()
{
    detach();
    return kAudioOk;
}

AudioResult AudioChannel::setPaused(bool paused)
{
    if (!mSound) {
        return kAudioOk;
    }
    ALint state = AL_STOPPED;
    alGetSourcei(mSource, AL_SOURCE_STATE, &state);
    if (paused && state == AL_PLAYING) {
        alSourcePause(mSource);
    } else if (!paused && (state == AL_PAUSED || state == AL_INITIAL)) {
        alSourcePlay(mSource);
    }
    mPaused = paused;
    return kAudioOk;
}

AudioResult AudioChannel::getPaused(bool* paused) const
{
    if (!paused) {
        return kAudioErrInvalidParam;
    }
    *paused = mSound && mPaused;
    return kAudioOk;
}

AudioResult AudioChannel::setVolume(float volume)
{
    if (std::isnan(volume)) {
        return kAudioErrInvalidParam;
    }
    mVolume = std::clamp(volume, 0.0f, 1.0f);
    alSourcef(mSource, AL_GAIN, mVolume);
    return kAudioOk;
}

AudioResult AudioChannel::getVolume(float* volume) const
{
    if (!volume) {
        return kAudioErrInvalidParam;
    }
    *volume = mVolume;
    return kAudioOk;
}

AudioResult AudioChannel::set3DAttributes(const AudioVector* position, const AudioVector* velocity)
{
    if (mSound && !mSound->is3D()) {
        return kAudioErrNeeds3D;
    }
    if ((position && !finite(*position)) || (velocity && !finite(*velocity))) {
        return kAudioErrInvalidParam;
    }
    // Called for every followed sound in every frame: only the two values
    // that change are handed to OpenAL.
    ALfloat converted[3];
    if (position) {
        mPosition = *position;
        if (mSound) {
            toOpenAL(mPosition, converted);
            alSourcefv(mSource, AL_POSITION, converted);
        }
    }
    if (velocity) {
        mVelocity = *velocity;
        if (mSound) {
            toOpenAL(mVelocity, converted);
            alSourcefv(mSource, AL_VELOCITY, converted);
        }
    }
    return kAudioOk;
}

AudioResult AudioChannel::get3DAttributes(AudioVector* position, AudioVector* velocity) const
{
    if (position) {
        *position = mPosition;
    }
    if (velocity) {
        *velocity = mVelocity;
    }
    return kAudioOk;
}

AudioResult AudioChannel::set3DMinMaxDistance(float minDistance, float maxDistance)
{
    if (mSound && !mSound->is3D()) {
        return kAudioErrNeeds3D;
    }
    if (!(minDistance >= 0.0f) || !(maxDistance >= minDistance) || !std::isfinite(maxDistance)) {
        return kAudioErrInvalidParam;
    }
    mMinDistance = minDistance;
    mMaxDistance = maxDistance;
    applyPlacement();
    return kAudioOk;
}

AudioResult AudioChannel::get3DMinMaxDistance(float* minDistance, float* maxDistance) const
{
    if (minDistance) {
        *minDistance = mMinDistance;
    }
    if (maxDistance) {
        *maxDistance = mMaxDistance;
    }
    return kAudioOk;
}

AudioResult AudioChannel::isPlaying(bool* playing) const
{
    if (!playing) {
        return kAudioErrInvalidParam;
    }
    *playing = busy();
    return kAudioOk;
}

} // namespace Kelvo
