#pragma once

#include <string>

namespace Kelvo {

// One placed object of a scene file (entity, extern, trigger, light, sound,
// particle system) or the scene's shadow setting. The loader fills these
// records while it reads a file and realises them as engine objects; the
// level editor changes them; the writer asks each for its own element text.
// A record's root index says in which <entities> block it is written.
class XMLDescription {
public:
    virtual ~XMLDescription() = default;

    // "Entity", "Extern", "Trigger", "Light", "Sound", "Particle", "Shadow".
    virtual std::string getTypeName() const = 0;
    // The element's lines as the scene file holds them, ending in a line feed.
    virtual std::string toXml() const = 0;
    virtual int getRootIndex() const = 0;
    virtual bool isInRoot(int rootIndex) const = 0;
    virtual void setRootIndex(int rootIndex) = 0;
};

} // namespace Kelvo
