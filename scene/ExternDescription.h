#pragma once

#include "scene/XMLDescription.h"

#include <OgrePrerequisites.h>

#include <string>

namespace Kelvo {

// An <extern> element: another scene file read into this scene, placed by
// the transform of the entity root that holds the element. Written as a block
// of its own; the node's orientation is written as its whole quaternion (a
// w fixed at "1" would turn a rotated extern further on every save).
class ExternDescription : public XMLDescription {
public:
    ExternDescription(const std::string& fileName, int rootIndex)
        : XMLDescription(rootIndex)
        , mFileName(fileName)
    {
    }

    std::string getTypeName() const override { return "Extern"; }
    std::string toXml() const override;

    const std::string& getFileName() const { return mFileName; }
    Ogre::SceneNode* getNode() const { return mNode; }
    void setNode(Ogre::SceneNode* node) { mNode = node; }

private:
    std::string mFileName;
    Ogre::SceneNode* mNode = nullptr;
};

} // namespace Kelvo
