// The sound layer under the sound manager, driven directly: reading files
// through the callbacks in aligned blocks, streaming without holding the
// file, channel allocation and its limits, and its result codes. It mixes
// into the silent device on a clock of the test's own.

#include "SoundTestSupport.h"

#include "audio/AudioSystem.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <string>
#include <vector>

using namespace Kelvo;
using namespace SoundTest;

namespace {

// Sound files held in memory; the file key is the index into files + 1.
struct MemoryFiles {
    struct Read {
        std::uint64_t offset;
        std::uint32_t size;
    };
    struct Open {
        const std::vector<unsigned char>* data;
        std::uint64_t position;
    };

    std::vector<std::vector<unsigned char>> files;
    std::vector<Read> reads;
    std::uint64_t bytesRead = 0;
    std::vector<Open> opened;
    int closes = 0;
};

MemoryFiles* gFiles = nullptr;

AudioResult memoryOpen(const void* fileKey, std::uint64_t* fileSize, void** handle)
{
    const auto index = reinterpret_cast<std::uintptr_t>(fileKey);
    if (index == 0 || index > gFiles->files.size()) {
        return kAudioErrFileNotFound;
    }
    gFiles->opened.reserve(64);
    gFiles->opened.push_back(MemoryFiles::Open{&gFiles->files[index - 1], 0});
    *fileSize = gFiles->files[index - 1].size();
    *handle = &gFiles->opened.back();
    return kAudioOk;
}

AudioResult memoryClose(void*)
{
    ++gFiles->closes;
    return kAudioOk;
}

AudioResult memoryRead(void* handle, void* buffer, std::uint32_t sizeBytes, std::uint32_t* bytesRead)
{
    auto* open = static_cast<MemoryFiles::Open*>(handle);
    const std::uint64_t available = open->data->size() - std::min<std::uint64_t>(open->position, open->data->size());
    const auto count = static_cast<std::uint32_t>(std::min<std::uint64_t>(available, sizeBytes));
    std::memcpy(buffer, open->data->data() + open->position, count);
    gFiles->reads.push_back(MemoryFiles::Read{open->position, sizeBytes});
    gFiles->bytesRead += count;
    open->position += count;
    *bytesRead = count;
    return count == 0 ? kAudioErrFileEof : kAudioOk;
}

AudioResult memorySeek(void* handle, std::uint64_t position)
{
    static_cast<MemoryFiles::Open*>(handle)->position = position;
    return kAudioOk;
}

class AudioLayerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        gFiles = &mFiles;
        ASSERT_EQ(kAudioOk, mSystem.init(250, kAudioInitSilentDevice));
        ASSERT_TRUE(mSystem.usesSilentDevice());
        mSystem.setClock([this]() { return mNow; });
        AudioFileCallbacks callbacks;
        callbacks.open = memoryOpen;
        callbacks.close = memoryClose;
        callbacks.read = memoryRead;
        callbacks.seek = memorySeek;
        ASSERT_EQ(kAudioOk, mSystem.setFileSystem(callbacks, kBlock));
    }

    void TearDown() override
    {
        mSystem.release();
        gFiles = nullptr;
    }

    // Makes a sound file and returns its key.
    const void* addTone(FileKind kind, double seconds, int channels = 1)
    {
        const std::string path = workFolder() + "/layer" + (kind == FileKind::Wav ? ".wav" : ".mp3");
        writeTone(path, kind, seconds, 441.0, 0.5, channels);
        mFiles.files.push_back(readBytes(path));
        return reinterpret_cast<const void*>(static_cast<std::uintptr_t>(mFiles.files.size()));
    }

    // Mixes that much time in updates of a 60th of a second.
    void advance(double seconds)
    {
        for (double done = 0.0; done < seconds; done += 1.0 / 60.0) {
            mNow += 1.0 / 60.0;
            mSystem.update();
        }
    }

    static constexpr int kBlock = 2048;
    MemoryFiles mFiles;
    AudioSystem mSystem;
    double mNow = 0.0;
};

TEST_F(AudioLayerTest, FilesAreReadInWholeAlignedBlocks)
{
    for (FileKind kind : {FileKind::Wav, FileKind::Mp3}) {
        const void* file = addTone(kind, 3.0, 2);
        const std::uint64_t size = mFiles.files.back().size();
        AudioSound* sound = nullptr;
        ASSERT_EQ(kAudioOk, mSystem.createStream(file, kAudioModeDefault, &sound));
        ASSERT_EQ(kAudioOk, mSystem.playSound(AudioSystem::kFreeChannel, sound, false, nullptr));
        advance(3.5);
        ASSERT_FALSE(mFiles.reads.empty());
        for (const MemoryFiles::Read& read : mFiles.reads) {
            EXPECT_EQ(0u, read.offset % kBlock) << read.offset;
            // Only a read that reaches the end of the file may be short.
            if (read.offset + read.size < size) {
                EXPECT_EQ(0u, read.size % kBlock) << read.size;
            }
        }
        mFiles.reads.clear();
    }
}

TEST_F(AudioLayerTest, StreamReadsAsItPlaysWhileALoadedSoundReadsAllAtOnce)
{
    const void* file = addTone(FileKind::Wav, 20.0, 2);
    const std::uint64_t size = mFiles.files.back().size();

    AudioSound* loaded = nullptr;
    ASSERT_EQ(kAudioOk, mSystem.createSound(file, kAudioMode3D, &loaded));
    EXPECT_GE(mFiles.bytesRead, size - kBlock);
    EXPECT_EQ(1, loaded->channelCount());
    EXPECT_EQ(1, mFiles.closes);

    mFiles.bytesRead = 0;
    AudioSound* streamed = nullptr;
    ASSERT_EQ(kAudioOk, mSystem.createStream(file, kAudioModeDefault, &streamed));
    EXPECT_EQ(2, streamed->channelCount());
    EXPECT_NEAR(20.0, streamed->lengthSeconds(), 0.01);
    EXPECT_LT(mFiles.bytesRead, size / 20);
    AudioChannel* channel = nullptr;
    ASSERT_EQ(kAudioOk, mSystem.playSound(AudioSystem::kFreeChannel, streamed, false, &channel));
    advance(2.0);
    // Two seconds played and less than a second queued ahead.
    EXPECT_GT(mFiles.bytesRead, size / 10);
    EXPECT_LT(mFiles.bytesRead, size * 3 / 20);
    bool playing = false;
    channel->isPlaying(&playing);
    EXPECT_TRUE(playing);
}

TEST_F(AudioLayerTest, ChannelsRunOutAfterTheLastAndComeBackWhenFree)
{
    AudioSound* sound = nullptr;
    ASSERT_EQ(kAudioOk, mSystem.createSound(addTone(FileKind::Wav, 0.5), kAudioMode3D, &sound));
    std::set<int> indices;
    for (int i = 0; i < 250; ++i) {
        AudioChannel* channel = nullptr;
        ASSERT_EQ(kAudioOk, mSystem.playSound(AudioSystem::kFreeChannel, sound, true, &channel));
        indices.insert(channel->getIndex());
    }
    EXPECT_EQ(250u, indices.size());
    EXPECT_EQ(0, *indices.begin());
    EXPECT_EQ(249, *indices.rbegin());
    EXPECT_EQ(250, mSystem.getChannelsPlaying());

    AudioChannel* channel = nullptr;
    EXPECT_EQ(kAudioErrChannelAlloc, mSystem.playSound(AudioSystem::kFreeChannel, sound, false, &channel));
    EXPECT_EQ(nullptr, channel);
    EXPECT_EQ(kAudioErrInvalidChannel, mSystem.getChannel(250, &channel));
    EXPECT_EQ(kAudioErrInvalidChannel, mSystem.getChannel(-1, &channel));

    // Paused channels stay taken while the clock runs; a stopped one is free.
    advance(1.0);
    EXPECT_EQ(250, mSystem.getChannelsPlaying());
    ASSERT_EQ(kAudioOk, mSystem.getChannel(17, &channel));
    channel->stop();
    ASSERT_EQ(kAudioOk, mSystem.playSound(AudioSystem::kFreeChannel, sound, false, &channel));
    EXPECT_EQ(17, channel->getIndex());

    // Unpaused, the half-second sounds end and free their channels.
    for (int i = 0; i < 250; ++i) {
        mSystem.getChannel(i, &channel);
        channel->setPaused(false);
    }
    advance(0.6);
    EXPECT_EQ(0, mSystem.getChannelsPlaying());
}

TEST_F(AudioLayerTest, StreamPlaysOnOneChannelAtATime)
{
    AudioSound* sound = nullptr;
    ASSERT_EQ(kAudioOk, mSystem.createStream(addTone(FileKind::Wav, 1.0), kAudioModeDefault, &sound));
    AudioChannel* first = nullptr;
    AudioChannel* second = nullptr;
    mSystem.playSound(AudioSystem::kFreeChannel, sound, false, &first);
    advance(0.5);
    mSystem.playSound(AudioSystem::kFreeChannel, sound, false, &second);
    bool playing = true;
    first->isPlaying(&playing);
    EXPECT_FALSE(playing);
    // The second start began at the beginning: a whole second to go.
    advance(0.9);
    second->isPlaying(&playing);
    EXPECT_TRUE(playing);
    advance(0.2);
    second->isPlaying(&playing);
    EXPECT_FALSE(playing);
}

TEST_F(AudioLayerTest, BadFilesAndBadCallsGiveTheirResultCodes)
{
    AudioSound* sound = reinterpret_cast<AudioSound*>(0x1);
    const void* unknown = reinterpret_cast<const void*>(std::uintptr_t(99));
    EXPECT_EQ(kAudioErrFileNotFound, mSystem.createSound(unknown, kAudioMode3D, &sound));
    EXPECT_EQ(nullptr, sound);

    mFiles.files.push_back(std::vector<unsigned char>(10000, 0x5a));
    const void* garbage = reinterpret_cast<const void*>(std::uintptr_t(mFiles.files.size()));
    EXPECT_EQ(kAudioErrFormat, mSystem.createSound(garbage, kAudioMode3D, &sound));
    EXPECT_EQ(kAudioErrFormat, mSystem.createStream(garbage, kAudioModeDefault, &sound));

    // A WAV cut off after its header: it opens, but holds no sound.
    std::vector<unsigned char> cut = mFiles.files.empty() ? std::vector<unsigned char>() : mFiles.files[0];
    const void* tone = addTone(FileKind::Wav, 0.5);
    cut.assign(mFiles.files.back().begin(), mFiles.files.back().begin() + 44);
    mFiles.files.push_back(cut);
    const void* header = reinterpret_cast<const void*>(std::uintptr_t(mFiles.files.size()));
    EXPECT_EQ(kAudioErrFormat, mSystem.createSound(header, kAudioMode3D, &sound));

    EXPECT_EQ(kAudioErrInvalidParam, mSystem.createSound(tone, kAudioMode2D | kAudioMode3D, &sound));
    EXPECT_EQ(kAudioErrInvalidParam, mSystem.playSound(AudioSystem::kFreeChannel, nullptr, false, nullptr));
    ASSERT_EQ(kAudioOk, mSystem.createSound(tone, kAudioModeDefault, &sound));
    AudioChannel* channel = nullptr;
    ASSERT_EQ(kAudioOk, mSystem.playSound(AudioSystem::kFreeChannel, sound, false, &channel));
    AudioVector position;
    EXPECT_EQ(kAudioErrNeeds3D, channel->set3DAttributes(&position, nullptr));
    EXPECT_EQ(kAudioErrNeeds3D, channel->set3DMinMaxDistance(1.0f, 2.0f));

    AudioVector forward;
    forward.z = 1.0f;
    EXPECT_EQ(kAudioErrInvalidParam, mSystem.set3DListenerAttributes(0, nullptr, nullptr, &forward, &forward));
    EXPECT_EQ(kAudioErrInvalidParam, mSystem.set3DListenerAttributes(1, nullptr, nullptr, nullptr, nullptr));

    AudioSystem second;
    EXPECT_EQ(kAudioErrUninitialized, second.update());
    EXPECT_EQ(kAudioErrInitialized, mSystem.init(250, kAudioInitSilentDevice));
}

TEST(AudioResultTest, EveryResultCodeHasItsOwnText)
{
    const int codes[] = {kAudioOk,          kAudioErrInvalidParam, kAudioErrUninitialized, kAudioErrInitialized,
                         kAudioErrOutput,   kAudioErrChannelAlloc, kAudioErrInvalidChannel, kAudioErrNeeds3D,
                         kAudioErrFormat,   kAudioErrFileBad,      kAudioErrNoFileSystem,   kAudioErrOpenAL,
                         kAudioErrMemory,   kAudioErrFileEof,      kAudioErrFileNotFound};
    std::set<std::string> texts;
    for (int code : codes) {
        texts.insert(audioErrorString(code));
    }
    texts.insert(audioErrorString(12345));
    EXPECT_EQ(sizeof(codes) / sizeof(codes[0]) + 1, texts.size());
    EXPECT_EQ(21, kAudioErrFileEof);
    EXPECT_EQ(22, kAudioErrFileNotFound);
}

} // namespace
