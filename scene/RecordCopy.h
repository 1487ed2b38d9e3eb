#pragma once

#include <string>

namespace Kelvo {

// One record of a loaded scene as text: everything needed to put it back
// exactly as it was (its element as the writer writes it, the block it is
// written in, the entity and the scene node it hangs on). The editor keeps
// these to undo and redo edits; the loader makes them and puts them back.
struct RecordCopy {
    // The record's type name: "Entity", "Trigger", "Light", "Sound",
    // "Particle" or "Shadow" (the scene's one shadow setting, no name).
    std::string kind;
    std::string name;
    // The entity it hangs on; empty when none.
    std::string parent;
    // The scene node it hangs under (empty when not realised and unplaced).
    std::string parentNode;
    int rootIndex = 0;
    std::string xml;

    // Unique in a scene: names are unique over all kinds.
    std::string key() const { return kind + ':' + name; }

    bool operator==(const RecordCopy& other) const
    {
        return kind == other.kind && name == other.name && parent == other.parent &&
               parentNode == other.parentNode && rootIndex == other.rootIndex && xml == other.xml;
    }
    bool operator!=(const RecordCopy& other) const { return !(*this == other); }
};

} // namespace Kelvo
