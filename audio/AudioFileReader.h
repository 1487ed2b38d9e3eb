#pragma once

#include "audio/AudioTypes.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace Kelvo {

// One open sound file, read through the caller's file callbacks. Every read
// that reaches the callbacks starts at a multiple of the block size and asks
// for whole blocks (only the file's end cuts the last one short); small reads
// of the decoder are served from the one block it keeps. Owned by the
// decoder that reads the file.
class AudioFileReader {
public:
    AudioFileReader(const AudioFileCallbacks& callbacks, std::uint32_t blockSize);
    ~AudioFileReader();

    AudioFileReader(const AudioFileReader&) = delete;
    AudioFileReader& operator=(const AudioFileReader&) = delete;

    AudioResult open(const void* fileKey);
    void close();

    // Copies up to byteCount bytes from the current position and returns how
    // many it copied; fewer at the end of the file or after a read error.
    std::size_t read(void* destination, std::size_t byteCount);
    // Positions past the end are allowed; reads there return nothing.
    void seek(std::uint64_t position) { mPosition = position; }
    std::uint64_t tell() const { return mPosition; }
    std::uint64_t size() const { return mSize; }
    // The first failure of a callback other than the end of the file.
    AudioResult error() const { return mError; }

private:
    std::size_t readFromFile(std::uint64_t position, std::uint8_t* destination, std::size_t byteCount);

    AudioFileCallbacks mCallbacks;
    std::uint32_t mBlockSize;
    void* mHandle = nullptr;
    bool mOpen = false;
    std::uint64_t mSize = 0;
    std::uint64_t mPosition = 0;
    // Where the callbacks' file stands, so that a read that follows on needs
    // no seek.
    std::uint64_t mFilePosition = 0;
    std::vector<std::uint8_t> mBlock;
    std::uint64_t mBlockStart = 0;
    std::size_t mBlockLength = 0;
    AudioResult mError = kAudioOk;
};

} // namespace Kelvo
