#pragma once

#include "world/PhysikAbleMesh.h"

namespace Kelvo {

// A scene object that moves through the world under its script's control.
class MoveAbleMesh : public PhysikAbleMesh {
public:
    MoveAbleMesh(Ogre::Entity* entity, int kind);
};

} // namespace Kelvo
