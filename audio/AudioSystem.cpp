#include "audio/AudioSystem.h"

#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>

#include <algorithm>
#include <chrono>
#include <cmath>

namespace Kelvo {

namespace {

// Metres per second; scaled by the distance factor into units.
const float kSpeedOfSound = 343.3f;
// Frames per loopback mix: streams are refilled between two of them, so a
// long catch-up cannot drain a stream's queue.
const int kSilentMixFrames = 1024;
const int kSilentOutputChannels = 2;

double steadySeconds()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

ALCdevice* asDevice(void* device)
{
    return static_cast<ALCdevice*>(device);
}

// A context on the device, made current; null when that fails, and then the
// device is closed too: nothing half-open is kept.
ALCcontext* currentContextOn(ALCdevice* device, const ALCint* attributes)
{
    ALCcontext* context = alcCreateContext(device, attributes);
    if (!context || !alcMakeContextCurrent(context)) {
        if (context) {
            alcDestroyContext(context);
        }
        alcCloseDevice(device);
        return nullptr;
    }
    return context;
}

bool finite(const AudioVector& v)
{
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

float length(const AudioVector& v)
{
    return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
}

AudioVector cross(const AudioVector& a, const AudioVector& b)
{
    AudioVector c;
    c.x = a.y * b.z - a.z * b.y;
    c.y = a.z * b.x - a.x * b.z;
    c.z = a.x * b.y - a.y * b.x;
    return c;
}

} // namespace

AudioSystem::AudioSystem()
    : mClock(steadySeconds)
{
    mListenerForward.z = 1.0f;
    mListenerUp.y = 1.0f;
}

AudioSystem::~AudioSystem()
{
    release();
}

AudioResult AudioSystem::init(int maxChannels, AudioInitFlags flags)
{
    if (mContext) {
        return kAudioErrInitialized;
    }
    if (maxChannels < 1 || maxChannels > kMaxChannels) {
        return kAudioErrInvalidParam;
    }
    AudioResult result = kAudioErrOutput;
    if ((flags & kAudioInitSilentDevice) == 0) {
        result = openSoundDevice(maxChannels);
    }
    if (result != kAudioOk) {
        result = openSilentDevice(maxChannels);
    }
    if (result != kAudioOk) {
        return result;
    }

    alDistanceModel(AL_LINEAR_DISTANCE_CLAMPED);
    mSources.assign(static_cast<std::size_t>(maxChannels), 0);
    alGetError();
    alGenSources(maxChannels, mSources.data());
    if (alGetError() != AL_NO_ERROR) {
        mSources.clear();
        closeDevice();
        return kAudioErrOpenAL;
    }
    for (int index = 0; index < maxChannels; ++index) {
        mChannels.emplace_back(new AudioChannel(index, mSources[static_cast<std::size_t>(index)]));
    }
    mNextChannel = 0;
    set3DListenerAttributes(0, &mListenerPosition, &mListenerVelocity, &mListenerForward, &mListenerUp);
    return kAudioOk;
}

AudioResult AudioSystem::openSoundDevice(int maxChannels)
{
    ALCdevice* device = alcOpenDevice(nullptr);
    if (!device) {
        return kAudioErrOutput;
    }
    const ALCint attributes[] = {ALC_MONO_SOURCES, maxChannels, 0};
    ALCcontext* context = currentContextOn(device, attributes);
    if (!context) {
        return kAudioErrOutput;
    }
    mDevice = device;
    mContext = context;
    mSilentDevice = false;
    const ALCchar* name = alcGetString(device, ALC_DEVICE_SPECIFIER);
    mDeviceName = name ? name : "";
    return kAudioOk;
}

AudioResult AudioSystem::openSilentDevice(int maxChannels)
{
    if (!alcIsExtensionPresent(nullptr, "ALC_SOFT_loopback")) {
        return kAudioErrOutput;
    }
    auto openLoopback =
        reinterpret_cast<LPALCLOOPBACKOPENDEVICESOFT>(alcGetProcAddress(nullptr, "alcLoopbackOpenDeviceSOFT"));
    if (!openLoopback || !alcGetProcAddress(nullptr, "alcRenderSamplesSOFT")) {
        return kAudioErrOutput;
    }
    ALCdevice* device = openLoopback(nullptr);
    if (!device) {
        return kAudioErrOutput;
    }
    const ALCint attributes[] = {ALC_FORMAT_CHANNELS_SOFT, ALC_STEREO_SOFT,
                                 ALC_FORMAT_TYPE_SOFT,     ALC_SHORT_SOFT,
                                 ALC_FREQUENCY,            kSilentSampleRate,
                                 ALC_MONO_SOURCES,         maxChannels,
                                 0};
    ALCcontext* context = currentContextOn(device, attributes);
    if (!context) {
        return kAudioErrOutput;
    }
    mDevice = device;
    mContext = context;
    mSilentDevice = true;
    mDeviceName = "silent device";
    mMixBuffer.assign(static_cast<std::size_t>(kSilentMixFrames * kSilentOutputChannels), 0);
    mFramesMixed = 0;
    mClockStart = mClock();
    return kAudioOk;
}

void AudioSystem::closeDevice()
{
    alcMakeContextCurrent(nullptr);
    if (mContext) {
        alcDestroyContext(static_cast<ALCcontext*>(mContext));
        mContext = nullptr;
    }
    if (mDevice) {
        alcCloseDevice(asDevice(mDevice));
        mDevice = nullptr;
    }
    mSilentDevice = false;
    mDeviceName.clear();
    mMixBuffer.clear();
}

void AudioSystem::release()
{
    if (!mContext) {
        return;
    }
    // Channels first: a source must let go of its buffers before the sounds
    // can delete them.
    mChannels.clear();
    if (!mSources.empty()) {
        alDeleteSources(static_cast<ALsizei>(mSources.size()), mSources.data());
        mSources.clear();
    }
    mSounds.clear();
    closeDevice();
}

AudioResult AudioSystem::set3DSettings(float dopplerScale, float distanceFactor, float rolloffScale)
{
    if (!mContext) {
        return kAudioErrUninitialized;
    }
    if (!(dopplerScale >= 0.0f) || !(distanceFactor > 0.0f) || !(rolloffScale >= 0.0f) ||
        !std::isfinite(dopplerScale) || !std::isfinite(distanceFactor)) {
        return kAudioErrInvalidParam;
    }
    alDopplerFactor(dopplerScale);
    alSpeedOfSound(kSpeedOfSound * distanceFactor);
    return kAudioOk;
}

AudioResult AudioSystem::setFileSystem(const AudioFileCallbacks& callbacks, int blockAlign)
{
    if (!callbacks.open || !callbacks.read || !callbacks.seek || blockAlign < 0) {
        return kAudioErrInvalidParam;
    }
    mFileCallbacks = callbacks;
    mBlockAlign = blockAlign > 0 ? static_cast<std::uint32_t>(blockAlign) : 1u;
    return kAudioOk;
}

AudioResult AudioSystem::createSound(const void* fileKey, AudioMode mode, AudioSound** sound)
{
    return makeSound(fileKey, mode, false, sound);
}

AudioResult AudioSystem::createStream(const void* fileKey, AudioMode mode, AudioSound** sound)
{
    return makeSound(fileKey, mode, true, sound);
}

AudioResult AudioSystem::makeSound(const void* fileKey, AudioMode mode, bool stream, AudioSound** sound)
{
    if (!sound) {
        return kAudioErrInvalidParam;
    }
    *sound = nullptr;
    if (!mContext) {
        return kAudioErrUninitialized;
    }
    if (!mFileCallbacks.open) {
        return kAudioErrNoFileSystem;
    }
    if ((mode & kAudioMode2D) && (mode & kAudioMode3D)) {
        return kAudioErrInvalidParam;
    }
    std::unique_ptr<AudioSound> made(new AudioSound(mode, stream));
    const AudioResult result = made->load(mFileCallbacks, mBlockAlign, fileKey);
    if (result != kAudioOk) {
        return result;
    }
    *sound = made.get();
    mSounds.push_back(std::move(made));
    return kAudioOk;
}

AudioResult AudioSystem::playSound(int channelIndex, AudioSound* sound, bool paused, AudioChannel** channel)
{
    if (channel) {
        *channel = nullptr;
    }
    if (!mContext) {
        return kAudioErrUninitialized;
    }
    if (!sound) {
        return kAudioErrInvalidParam;
    }
    const int count = getChannelCount();
    AudioChannel* target = nullptr;
    if (channelIndex == kFreeChannel) {
        // Channels are handed out in turn rather than lowest first, so an
        // index that a caller still holds is not reused at once.
        for (int step = 0; step < count && !target; ++step) {
            AudioChannel* candidate = mChannels[static_cast<std::size_t>((mNextChannel + step) % count)].get();
            if (!candidate->busy()) {
                target = candidate;
            }
        }
        if (!target) {
            return kAudioErrChannelAlloc;
        }
    } else if (channelIndex >= 0 && channelIndex < count) {
        target = mChannels[static_cast<std::size_t>(channelIndex)].get();
    } else {
        return kAudioErrInvalidChannel;
    }
    target->start(sound, paused);
    mNextChannel = (target->getIndex() + 1) % count;
    if (channel) {
        *channel = target;
    }
    return kAudioOk;
}

AudioResult AudioSystem::getChannel(int channelIndex, AudioChannel** channel)
{
    if (!channel) {
        return kAudioErrInvalidParam;
    }
    *channel = nullptr;
    if (!mContext) {
        return kAudioErrUninitialized;
    }
    if (channelIndex < 0 || channelIndex >= getChannelCount()) {
        return kAudioErrInvalidChannel;
    }
    *channel = mChannels[static_cast<std::size_t>(channelIndex)].get();
    return kAudioOk;
}

int AudioSystem::getChannelsPlaying() const
{
    int playing = 0;
    for (const auto& channel : mChannels) {
        playing += channel->busy() ? 1 : 0;
    }
    return playing;
}

AudioResult AudioSystem::set3DListenerAttributes(int listener, const AudioVector* position,
                                                 const AudioVector* velocity, const AudioVector* forward,
                                                 const AudioVector* up)
{
    if (!mContext) {
        return kAudioErrUninitialized;
    }
    if (listener != 0) {
        return kAudioErrInvalidParam;
    }
    const AudioVector newForward = forward ? *forward : mListenerForward;
    const AudioVector newUp = up ? *up : mListenerUp;
    if ((position && !finite(*position)) || (velocity && !finite(*velocity)) || !finite(newForward) ||
        !finite(newUp) || length(cross(newForward, newUp)) <= 1e-6f * length(newForward) * length(newUp) ||
        length(newForward) == 0.0f) {
        return kAudioErrInvalidParam;
    }
    if (position) {
        mListenerPosition = *position;
    }
    if (velocity) {
        mListenerVelocity = *velocity;
    }
    mListenerForward = newForward;
    mListenerUp = newUp;

    // Mirror z into OpenAL's right-handed space (see AudioTypes.h).
    const ALfloat alPosition[3] = {mListenerPosition.x, mListenerPosition.y, -mListenerPosition.z};
    const ALfloat alVelocity[3] = {mListenerVelocity.x, mListenerVelocity.y, -mListenerVelocity.z};
    const ALfloat alOrientation[6] = {mListenerForward.x, mListenerForward.y, -mListenerForward.z,
                                      mListenerUp.x,      mListenerUp.y,      -mListenerUp.z};
    alListenerfv(AL_POSITION, alPosition);
    alListenerfv(AL_VELOCITY, alVelocity);
    alListenerfv(AL_ORIENTATION, alOrientation);
    return kAudioOk;
}

AudioResult AudioSystem::get3DListenerAttributes(int listener, AudioVector* position, AudioVector* velocity,
                                                 AudioVector* forward, AudioVector* up) const
{
    if (listener != 0) {
        return kAudioErrInvalidParam;
    }
    if (position) {
        *position = mListenerPosition;
    }
    if (velocity) {
        *velocity = mListenerVelocity;
    }
    if (forward) {
        *forward = mListenerForward;
    }
    if (up) {
        *up = mListenerUp;
    }
    return kAudioOk;
}

AudioResult AudioSystem::update()
{
    if (!mContext) {
        return kAudioErrUninitialized;
    }
    if (mSilentDevice) {
        mixSilentDevice();
    }
    serviceChannels();
    return kAudioOk;
}

void AudioSystem::mixSilentDevice()
{
    static const auto renderSamples =
        reinterpret_cast<LPALCRENDERSAMPLESSOFT>(alcGetProcAddress(nullptr, "alcRenderSamplesSOFT"));
    const auto due = static_cast<std::int64_t>((mClock() - mClockStart) * kSilentSampleRate);
    std::int64_t pending = due - mFramesMixed;
    const auto catchUpLimit = static_cast<std::int64_t>(kSilentCatchUpSeconds * kSilentSampleRate);
    if (pending > catchUpLimit) {
        mFramesMixed = due - catchUpLimit;
        pending = catchUpLimit;
    }
    while (pending > 0) {
        const int frames = static_cast<int>(std::min<std::int64_t>(pending, kSilentMixFrames));
        serviceChannels();
        renderSamples(asDevice(mDevice), mMixBuffer.data(), frames);
        mFramesMixed += frames;
        pending -= frames;
    }
}

void AudioSystem::serviceChannels()
{
    for (const auto& channel : mChannels) {
        channel->service();
    }
}

void AudioSystem::setClock(Clock clock)
{
    // Keep the frames already mixed: the new clock takes over from here.
    mClock = clock ? std::move(clock) : Clock(steadySeconds);
    mClockStart = mClock() - static_cast<double>(mFramesMixed) / kSilentSampleRate;
}

} // namespace Kelvo
