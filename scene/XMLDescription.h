#pragma once

#include <string>

namespace Kelvo {

// One element of a scene file (entity, extern, trigger, light, sound,
// particle system) or the scene's shadow setting. The loader fills these
// records while it reads a file and realises them as engine objects; the
// level editor changes them; the writer asks each for its own element text.
// A record's root index says in which <entities> block it is written.
class XMLDescription {
public:
    explicit XMLDescription(int rootIndex = 0)
        : mRootIndex(rootIndex)
    {
    }
    virtual ~XMLDescription() = default;

    // "Entity", "Extern", "Trigger", "Light", "Sound", "Particle", "Shadow".
    virtual std::string getTypeName() const = 0;
    // The element's lines as the scene file holds them, ending in a line feed.
    virtual std::string toXml() const = 0;

    int getRootIndex() const { return mRootIndex; }
    bool isInRoot(int rootIndex) const { return mRootIndex == rootIndex; }
    void setRootIndex(int rootIndex) { mRootIndex = rootIndex; }

private:
    int mRootIndex;
};

} // namespace Kelvo
