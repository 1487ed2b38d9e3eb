#pragma once

#include "world/Mesh.h"

#include <OgreVector.h>

namespace Kelvo {

// A scene object that takes part in movement: it carries a working vector and
// a kind number for the scripts that move it (0 for everything the scene
// callback creates).
class PhysikAbleMesh : public Mesh {
public:
    PhysikAbleMesh(Ogre::Entity* entity, int kind);

    int getKind() const { return mKind; }
    const Ogre::Vector3& getVector() const { return mVector; }
    void setVector(const Ogre::Vector3& vector) { mVector = vector; }

private:
    Ogre::Vector3 mVector;
    int mKind;
};

} // namespace Kelvo
