#include "audio/AudioSound.h"

#include "audio/AudioChannel.h"

#include <AL/al.h>

#include <new>

namespace Kelvo {

namespace {

// Frames decoded per step while a loaded sound is read whole.
const std::size_t kLoadChunkFrames = 65536;

} // namespace

AudioSound::AudioSound(AudioMode mode, bool stream)
    : mMode(mode)
    , mStream(stream)
{
}

AudioSound::~AudioSound()
{
    if (mStreamChannel) {
        mStreamChannel->detach();
    }
    releaseBuffers();
}

double AudioSound::lengthSeconds() const
{
    return mSampleRate > 0 ? static_cast<double>(mFrameCount) / mSampleRate : 0.0;
}

AudioResult AudioSound::load(const AudioFileCallbacks& callbacks, std::uint32_t blockSize, const void* fileKey)
{
    std::unique_ptr<AudioDecoder> decoder(new AudioDecoder(callbacks, blockSize));
    const AudioResult opened = decoder->open(fileKey, is3D());
    if (opened != kAudioOk) {
        return opened;
    }
    mChannelCount = decoder->outputChannels();
    mSampleRate = decoder->sampleRate();
    mFrameCount = decoder->frameCount();
    mFormat = mChannelCount == 1 ? AL_FORMAT_MONO16 : AL_FORMAT_STEREO16;

    if (!mStream) {
        return loadWhole(*decoder);
    }

    alGetError();
    alGenBuffers(kStreamBufferCount, mStreamBuffers.data());
    if (alGetError() != AL_NO_ERROR) {
        mStreamBuffers.fill(0);
        return kAudioErrOpenAL;
    }
    mStreamBufferFrames = static_cast<std::size_t>(mSampleRate * kStreamBufferSeconds);
    if (mStreamBufferFrames == 0) {
        mStreamBufferFrames = 1;
    }
    mStreamSamples.resize(mStreamBufferFrames * static_cast<std::size_t>(mChannelCount));
    mDecoder = std::move(decoder);
    return kAudioOk;
}

AudioResult AudioSound::loadWhole(AudioDecoder& decoder)
{
    std::vector<std::int16_t> samples;
    try {
        if (mFrameCount > 0) {
            samples.reserve(static_cast<std::size_t>(mFrameCount) * static_cast<std::size_t>(mChannelCount));
        }
        std::size_t frames = 0;
        for (;;) {
            samples.resize((frames + kLoadChunkFrames) * static_cast<std::size_t>(mChannelCount));
            const std::size_t got = decoder.readFrames(samples.data() + frames * mChannelCount, kLoadChunkFrames);
            frames += got;
            if (got < kLoadChunkFrames) {
                break;
            }
        }
        samples.resize(frames * static_cast<std::size_t>(mChannelCount));
        mFrameCount = static_cast<std::int64_t>(frames);
    } catch (const std::bad_alloc&) {
        return kAudioErrMemory;
    }
    decoder.close();
    if (samples.empty()) {
        // A header with no sound behind it.
        return kAudioErrFormat;
    }

    alGetError();
    alGenBuffers(1, &mBuffer);
    if (alGetError() != AL_NO_ERROR) {
        mBuffer = 0;
        return kAudioErrOpenAL;
    }
    alBufferData(mBuffer, mFormat, samples.data(), static_cast<ALsizei>(samples.size() * sizeof(std::int16_t)),
                 mSampleRate);
    const ALenum error = alGetError();
    if (error != AL_NO_ERROR) {
        return error == AL_OUT_OF_MEMORY ? kAudioErrMemory : kAudioErrOpenAL;
    }
    return kAudioOk;
}

void AudioSound::releaseBuffers()
{
    if (mBuffer) {
        alDeleteBuffers(1, &mBuffer);
        mBuffer = 0;
    }
    if (mStreamBuffers[0]) {
        alDeleteBuffers(kStreamBufferCount, mStreamBuffers.data());
        mStreamBuffers.fill(0);
    }
    mDecoder.reset();
}

void AudioSound::rewindStream()
{
    if (mDecoder) {
        mDecoder->rewind();
    }
    mFramesSinceRewind = 0;
    mStreamEnded = !mDecoder;
}

std::size_t AudioSound::fillStreamBuffer(unsigned int buffer)
{
    if (mStreamEnded || !mDecoder) {
        return 0;
    }
    std::size_t frames = 0;
    while (frames < mStreamBufferFrames) {
        const std::size_t got =
            mDecoder->readFrames(mStreamSamples.data() + frames * mChannelCount, mStreamBufferFrames - frames);
        frames += got;
        mFramesSinceRewind += static_cast<std::int64_t>(got);
        if (frames == mStreamBufferFrames) {
            break;
        }
        // The end of the file. A looping stream goes on from the start in the
        // same buffer, so the loop has no gap; a file that gives nothing
        // after a rewind is empty and ends the stream instead of spinning.
        if (!isLooping() || mFramesSinceRewind == 0 || !mDecoder->rewind()) {
            mStreamEnded = true;
            break;
        }
        mFramesSinceRewind = 0;
    }
    if (frames > 0) {
        alBufferData(buffer, mFormat, mStreamSamples.data(),
                     static_cast<ALsizei>(frames * mChannelCount * sizeof(std::int16_t)), mSampleRate);
    }
    return frames;
}

} // namespace Kelvo
