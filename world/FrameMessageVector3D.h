#pragma once

#include "world/FrameMessage.h"

#include <OgreVector.h>

namespace Kelvo {

// A message carrying a point or direction, such as the editor's locator.
class FrameMessageVector3D : public FrameMessage {
public:
    FrameMessageVector3D(const std::string& name, Ogre::Vector3 value, bool persistent);

    int getType() const override { return kVector3D; }
    Ogre::Vector3 getVector() const { return vector; }

    Ogre::Vector3 vector;
};

} // namespace Kelvo
