#include "audio/AudioDecoder.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace Kelvo {

namespace {

// libsndfile's virtual I/O, routed to the reader. Sound files are only read.
sf_count_t fileLength(void* user)
{
    return static_cast<sf_count_t>(static_cast<AudioFileReader*>(user)->size());
}

sf_count_t fileSeek(sf_count_t offset, int whence, void* user)
{
    AudioFileReader* reader = static_cast<AudioFileReader*>(user);
    sf_count_t base = 0;
    if (whence == SEEK_CUR) {
        base = static_cast<sf_count_t>(reader->tell());
    } else if (whence == SEEK_END) {
        base = static_cast<sf_count_t>(reader->size());
    }
    const sf_count_t target = base + offset;
    if (target < 0) {
        return -1;
    }
    reader->seek(static_cast<std::uint64_t>(target));
    return target;
}

sf_count_t fileRead(void* destination, sf_count_t count, void* user)
{
    if (count <= 0) {
        return 0;
    }
    return static_cast<sf_count_t>(static_cast<AudioFileReader*>(user)->read(destination, static_cast<std::size_t>(count)));
}

sf_count_t fileWrite(const void*, sf_count_t, void*)
{
    return 0;
}

sf_count_t fileTell(void* user)
{
    return static_cast<sf_count_t>(static_cast<AudioFileReader*>(user)->tell());
}

// Frames decoded per call when the channels have to be folded.
const std::size_t kMixFrames = 4096;

std::int16_t toSample(float value)
{
    const float scaled = std::clamp(value, -1.0f, 1.0f) * 32767.0f;
    return static_cast<std::int16_t>(scaled + (scaled >= 0.0f ? 0.5f : -0.5f));
}

std::int16_t toSample(std::int16_t value)
{
    return value;
}

} // namespace

AudioDecoder::AudioDecoder(const AudioFileCallbacks& callbacks, std::uint32_t blockSize)
    : mReader(callbacks, blockSize)
{
}

AudioDecoder::~AudioDecoder()
{
    close();
}

AudioResult AudioDecoder::open(const void* fileKey, bool mixToMono)
{
    close();
    const AudioResult opened = mReader.open(fileKey);
    if (opened != kAudioOk) {
        return opened;
    }
    static SF_VIRTUAL_IO io = {fileLength, fileSeek, fileRead, fileWrite, fileTell};
    SF_INFO info;
    std::memset(&info, 0, sizeof(info));
    mFile = sf_open_virtual(&io, SFM_READ, &info, &mReader);
    if (!mFile) {
        const AudioResult readError = mReader.error();
        mReader.close();
        return readError != kAudioOk ? readError : kAudioErrFormat;
    }
    if (info.channels < 1 || info.samplerate < 1) {
        close();
        return kAudioErrFormat;
    }
    // libsndfile hands float and double files to a 16-bit read unscaled
    // (near silence) unless told to scan the whole file for its peak first,
    // so those are read as floats in -1..1 and scaled here. Everything else
    // (PCM, MP3, Vorbis, ...) reads as 16-bit at its proper level.
    const int subtype = info.format & SF_FORMAT_SUBMASK;
    mReadFloats = subtype == SF_FORMAT_FLOAT || subtype == SF_FORMAT_DOUBLE;
    mFileChannels = info.channels;
    mOutputChannels = mixToMono ? 1 : std::min(info.channels, 2);
    mSampleRate = info.samplerate;
    mFrameCount = info.frames;
    return kAudioOk;
}

void AudioDecoder::close()
{
    if (mFile) {
        sf_close(mFile);
        mFile = nullptr;
    }
    mReader.close();
    mFloatBuffer.clear();
    mFloatBuffer.shrink_to_fit();
    mShortBuffer.clear();
    mShortBuffer.shrink_to_fit();
}

bool AudioDecoder::rewind()
{
    return mFile && sf_seek(mFile, 0, SEEK_SET) == 0;
}

std::size_t AudioDecoder::readFrames(std::int16_t* destination, std::size_t frameCount)
{
    if (!mFile || frameCount == 0) {
        return 0;
    }
    if (!mReadFloats && mFileChannels == mOutputChannels) {
        const sf_count_t got = sf_readf_short(mFile, destination, static_cast<sf_count_t>(frameCount));
        return got > 0 ? static_cast<std::size_t>(got) : 0;
    }
    if (mReadFloats) {
        mFloatBuffer.resize(kMixFrames * static_cast<std::size_t>(mFileChannels));
    } else {
        mShortBuffer.resize(kMixFrames * static_cast<std::size_t>(mFileChannels));
    }
    std::size_t done = 0;
    while (done < frameCount) {
        const std::size_t ask = std::min(kMixFrames, frameCount - done);
        const sf_count_t got = mReadFloats
                                   ? sf_readf_float(mFile, mFloatBuffer.data(), static_cast<sf_count_t>(ask))
                                   : sf_readf_short(mFile, mShortBuffer.data(), static_cast<sf_count_t>(ask));
        if (got <= 0) {
            break;
        }
        std::int16_t* out = destination + done * static_cast<std::size_t>(mOutputChannels);
        if (mReadFloats) {
            convert(mFloatBuffer.data(), static_cast<std::size_t>(got), out);
        } else {
            convert(mShortBuffer.data(), static_cast<std::size_t>(got), out);
        }
        done += static_cast<std::size_t>(got);
        if (static_cast<std::size_t>(got) < ask) {
            break;
        }
    }
    return done;
}

template <typename Sample>
void AudioDecoder::convert(const Sample* in, std::size_t frames, std::int16_t* out) const
{
    for (std::size_t frame = 0; frame < frames; ++frame, in += mFileChannels) {
        if (mFileChannels == mOutputChannels) {
            for (int channel = 0; channel < mFileChannels; ++channel) {
                *out++ = toSample(in[channel]);
            }
        } else if (mOutputChannels == 1) {
            float sum = 0.0f;
            for (int channel = 0; channel < mFileChannels; ++channel) {
                sum += static_cast<float>(in[channel]);
            }
            *out++ = toSample(static_cast<Sample>(sum / static_cast<float>(mFileChannels)));
        } else {
            // More than two channels: the even ones go left, the odd ones
            // right.
            float left = 0.0f;
            float right = 0.0f;
            for (int channel = 0; channel < mFileChannels; ++channel) {
                (channel % 2 == 0 ? left : right) += static_cast<float>(in[channel]);
            }
            *out++ = toSample(static_cast<Sample>(left / static_cast<float>((mFileChannels + 1) / 2)));
            *out++ = toSample(static_cast<Sample>(right / static_cast<float>(mFileChannels / 2)));
        }
    }
}

} // namespace Kelvo
