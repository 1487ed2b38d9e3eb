#pragma once

#include "audio/AudioResult.h"

#include <cstdint>

namespace Kelvo {

// Positions, velocities and directions of the sound layer. The layer's space
// is left-handed: x to the right, y up, z forward. A right-handed engine's
// coordinates can be passed unchanged as long as the listener's forward is
// the engine's backward axis (its node's z axis): left and right then come
// out right, and front and back cannot be told apart on two speakers anyway.
struct AudioVector {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
};

// How a sound is made. The bits can be combined; 0 is a plain 2D sound that
// plays once.
using AudioMode = std::uint32_t;
constexpr AudioMode kAudioModeDefault = 0x0;
constexpr AudioMode kAudioModeLoopNormal = 0x2;
constexpr AudioMode kAudioMode2D = 0x8;
constexpr AudioMode kAudioMode3D = 0x10;
// Accepted for callers that ask for hardware mixing; OpenAL decides how it
// mixes, so the bit changes nothing.
constexpr AudioMode kAudioModeHardware = 0x20;
// 3D sounds always roll off linearly between their minimum and maximum
// distance; the bit is accepted and changes nothing.
constexpr AudioMode kAudioMode3DLinearRolloff = 0x200000;

using AudioInitFlags = std::uint32_t;
constexpr AudioInitFlags kAudioInitNormal = 0x0;
// Skip the sound device and mix into the silent device straight away.
constexpr AudioInitFlags kAudioInitSilentDevice = 0x1;

// The layer reads every sound file through these four functions; it never
// opens a file by name. The file key given to createSound or createStream is
// handed to open unchanged, and the handle that open reports is handed to the
// other three. read reports kAudioErrFileEof when it read nothing at the end;
// open reports kAudioErrFileNotFound when there is no such file.
struct AudioFileCallbacks {
    AudioResult (*open)(const void* fileKey, std::uint64_t* fileSize, void** handle) = nullptr;
    AudioResult (*close)(void* handle) = nullptr;
    AudioResult (*read)(void* handle, void* buffer, std::uint32_t sizeBytes, std::uint32_t* bytesRead) = nullptr;
    AudioResult (*seek)(void* handle, std::uint64_t position) = nullptr;
};

} // namespace Kelvo
