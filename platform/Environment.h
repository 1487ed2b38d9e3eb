#pragma once

#include <string>

namespace Kelvo {
namespace Platform {

// What the game finds around it before it starts: a display to open its
// window on and a working directory it may write its files into. Checked at
// start-up so a missing one is reported in words a player understands,
// beside the engine's own message.

// Why there is no display, for the message.
extern const char* const kNoDisplayReason;

// False on Linux when the DISPLAY variable is missing or empty (the window
// cannot be opened then); always true on Windows.
bool hasDisplay();

// Whether the file can be written (created, or appended to) without harming
// it: an existing file is opened for appending and left as it is, a new one
// is removed again. On failure reason (when given) gets the system's words.
bool canWriteFile(const std::string& path, std::string* reason = nullptr);

// A write past the process's file size limit ends the process by default
// (SIGXFSZ on Linux); after this call it fails like a full disk instead, so
// the writers' own failure handling (keep the old file, say so) runs.
void failOversizedWritesInsteadOfEnding();

// Hands the heap's free pages back to the system. Leaving a game frees tens
// of megabytes in scattered blocks that the allocator would otherwise keep
// resident; the menu calls this once on entry, where a pause costs nothing.
void returnFreedMemory();

} // namespace Platform
} // namespace Kelvo
