#include "audio/AudioFileReader.h"

#include <algorithm>
#include <cstring>

namespace Kelvo {

namespace {

// One callback read never asks for more than this; a multiple of every
// sensible block size, so long reads stay aligned.
const std::size_t kLargestRead = std::size_t(1) << 30;

} // namespace

AudioFileReader::AudioFileReader(const AudioFileCallbacks& callbacks, std::uint32_t blockSize)
    : mCallbacks(callbacks)
    , mBlockSize(blockSize > 0 ? blockSize : 1)
{
}

AudioFileReader::~AudioFileReader()
{
    close();
}

AudioResult AudioFileReader::open(const void* fileKey)
{
    close();
    if (!mCallbacks.open || !mCallbacks.read || !mCallbacks.seek) {
        return kAudioErrNoFileSystem;
    }
    std::uint64_t size = 0;
    void* handle = nullptr;
    const AudioResult result = mCallbacks.open(fileKey, &size, &handle);
    if (result != kAudioOk) {
        return result;
    }
    mHandle = handle;
    mOpen = true;
    mSize = size;
    mPosition = 0;
    mFilePosition = 0;
    mBlock.assign(mBlockSize, 0);
    mBlockLength = 0;
    mError = kAudioOk;
    return kAudioOk;
}

void AudioFileReader::close()
{
    if (!mOpen) {
        return;
    }
    if (mCallbacks.close) {
        mCallbacks.close(mHandle);
    }
    mOpen = false;
    mHandle = nullptr;
    mBlock.clear();
    mBlock.shrink_to_fit();
    mBlockLength = 0;
}

std::size_t AudioFileReader::read(void* destination, std::size_t byteCount)
{
    std::uint8_t* out = static_cast<std::uint8_t*>(destination);
    std::size_t copied = 0;
    while (copied < byteCount && mPosition < mSize && mOpen) {
        const std::size_t wanted = byteCount - copied;
        if (mBlockLength > 0 && mPosition >= mBlockStart && mPosition < mBlockStart + mBlockLength) {
            const std::size_t offset = static_cast<std::size_t>(mPosition - mBlockStart);
            const std::size_t count = std::min(wanted, mBlockLength - offset);
            std::memcpy(out + copied, mBlock.data() + offset, count);
            copied += count;
            mPosition += count;
            continue;
        }
        const std::uint64_t blockStart = mPosition - mPosition % mBlockSize;
        if (blockStart == mPosition && wanted >= mBlockSize) {
            // Whole blocks go straight to the caller's buffer.
            const std::size_t direct = wanted - wanted % mBlockSize;
            const std::size_t got = readFromFile(mPosition, out + copied, direct);
            copied += got;
            mPosition += got;
            if (got < direct) {
                break;
            }
            continue;
        }
        mBlockLength = readFromFile(blockStart, mBlock.data(), mBlockSize);
        mBlockStart = blockStart;
        if (mPosition >= mBlockStart + mBlockLength) {
            break;
        }
    }
    return copied;
}

std::size_t AudioFileReader::readFromFile(std::uint64_t position, std::uint8_t* destination, std::size_t byteCount)
{
    if (mFilePosition != position) {
        const AudioResult seeked = mCallbacks.seek(mHandle, position);
        if (seeked != kAudioOk) {
            if (mError == kAudioOk) {
                mError = seeked;
            }
            return 0;
        }
        mFilePosition = position;
    }
    std::size_t total = 0;
    while (total < byteCount) {
        const std::size_t remaining = byteCount - total;
        const std::uint32_t ask = static_cast<std::uint32_t>(std::min<std::size_t>(remaining, kLargestRead));
        std::uint32_t got = 0;
        const AudioResult result = mCallbacks.read(mHandle, destination + total, ask, &got);
        got = std::min(got, ask);
        total += got;
        mFilePosition += got;
        if (result != kAudioOk && result != kAudioErrFileEof) {
            if (mError == kAudioOk) {
                mError = result;
            }
            break;
        }
        // A short read is the end of the file; asking again there would
        // only make an unaligned read of nothing.
        if (result == kAudioErrFileEof || got < ask) {
            break;
        }
    }
    return total;
}

} // namespace Kelvo
