#pragma once

namespace Kelvo {

// Result codes of the sound layer. Every call of the layer that can fail
// answers with one; 0 is success. The two file codes keep the numbers that
// the file callbacks of a caller report (21 end of file, 22 file not found),
// so a callback can hand them straight back.
enum AudioResult : int {
    kAudioOk = 0,
    kAudioErrInvalidParam = 1,
    kAudioErrUninitialized = 2,
    kAudioErrInitialized = 3,
    kAudioErrOutput = 4,
    kAudioErrChannelAlloc = 5,
    kAudioErrInvalidChannel = 6,
    kAudioErrNeeds3D = 7,
    kAudioErrFormat = 8,
    kAudioErrFileBad = 9,
    kAudioErrNoFileSystem = 10,
    kAudioErrOpenAL = 11,
    kAudioErrMemory = 12,
    kAudioErrFileEof = 21,
    kAudioErrFileNotFound = 22,
};

// A short English text for a result code; never null, also for codes that
// are not in the list.
const char* audioErrorString(int result);

} // namespace Kelvo
