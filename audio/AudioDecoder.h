#pragma once

#include "audio/AudioFileReader.h"
#include "audio/AudioTypes.h"

#include <cstddef>
#include <cstdint>
#include <vector>

typedef struct sf_private_tag SNDFILE;

namespace Kelvo {

// Decodes one sound file (any format libsndfile reads: WAV, MP3, OGG, FLAC,
// ...) into 16-bit samples, reading the file through the caller's callbacks.
// It can hand the samples out with fewer channels than the file has: a 3D
// sound needs mono, since OpenAL positions only mono sources. Owned by the
// sound that plays it; a loaded sound drops it after decoding everything, a
// streamed one keeps it open for as long as the sound lives.
class AudioDecoder {
public:
    AudioDecoder(const AudioFileCallbacks& callbacks, std::uint32_t blockSize);
    ~AudioDecoder();

    AudioDecoder(const AudioDecoder&) = delete;
    AudioDecoder& operator=(const AudioDecoder&) = delete;

    // mixToMono folds every channel into one; otherwise mono and stereo
    // files stay as they are and files with more channels fold into two.
    AudioResult open(const void* fileKey, bool mixToMono);
    void close();

    int outputChannels() const { return mOutputChannels; }
    int sampleRate() const { return mSampleRate; }
    std::int64_t frameCount() const { return mFrameCount; }

    // Decodes up to frameCount frames of outputChannels samples each; fewer
    // (or none) at the end of the file.
    std::size_t readFrames(std::int16_t* destination, std::size_t frameCount);
    bool rewind();

private:
    // Folds or copies decoded frames into the output's channels.
    template <typename Sample>
    void convert(const Sample* in, std::size_t frames, std::int16_t* out) const;

    AudioFileReader mReader;
    SNDFILE* mFile = nullptr;
    int mFileChannels = 0;
    int mOutputChannels = 0;
    int mSampleRate = 0;
    std::int64_t mFrameCount = 0;
    bool mReadFloats = false;
    std::vector<float> mFloatBuffer;
    std::vector<std::int16_t> mShortBuffer;
};

} // namespace Kelvo
