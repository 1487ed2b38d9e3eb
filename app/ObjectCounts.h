#pragma once

#include <map>
#include <string>

namespace Kelvo {

// A census of the engine's and the game's live objects: scene managers and
// what they hold, resources, overlays, compositor instances, CEGUI windows
// and images, sound channels and sounds, frame messages and scripts. The
// menu logs it each time it is entered ("ObjectCounts: name=value ..."),
// with the process's resident memory on a line of its own ("ResidentMemory:
// N kB, heap in use M kB"); a count that grows from one return to the menu to the next is an
// object somebody forgot to free. The soak tool and its test read both lines.
class ObjectCounts {
public:
    static const char* const kCountsPrefix;
    static const char* const kMemoryPrefix;

    // Counts whatever exists right now; a subsystem that is not up counts 0.
    static std::map<std::string, long> take();
    // "ObjectCounts: name=value name=value ..." in a fixed order.
    static std::string line(const std::map<std::string, long>& counts);
    // VmRSS of this process in kB, or -1 when /proc cannot be read.
    static long residentKilobytes();
    // Bytes the C allocator has handed out and not had back, in kB (-1
    // where unknown). Resident memory that grows while this stays put is
    // the allocator's (freed memory it keeps), not a leak.
    static long heapInUseKilobytes();
    // Writes both lines to the log.
    static void log();
};

} // namespace Kelvo
