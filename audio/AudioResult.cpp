#include "audio/AudioResult.h"

namespace Kelvo {

const char* audioErrorString(int result)
{
    switch (result) {
    case kAudioOk:
        return "No errors.";
    case kAudioErrInvalidParam:
        return "An invalid parameter was passed to the sound layer.";
    case kAudioErrUninitialized:
        return "The sound system is not initialised.";
    case kAudioErrInitialized:
        return "The sound system is already initialised.";
    case kAudioErrOutput:
        return "No sound output could be started, not even the silent one.";
    case kAudioErrChannelAlloc:
        return "Every channel is in use.";
    case kAudioErrInvalidChannel:
        return "There is no channel with this index.";
    case kAudioErrNeeds3D:
        return "This operation needs a 3D sound.";
    case kAudioErrFormat:
        return "The file is not in a sound format that can be decoded.";
    case kAudioErrFileBad:
        return "The file could not be read.";
    case kAudioErrNoFileSystem:
        return "No file callbacks are set.";
    case kAudioErrOpenAL:
        return "OpenAL refused an operation.";
    case kAudioErrMemory:
        return "Not enough memory for the sound.";
    case kAudioErrFileEof:
        return "The file ended unexpectedly.";
    case kAudioErrFileNotFound:
        return "The file was not found.";
    }
    return "Unknown result code.";
}

} // namespace Kelvo
