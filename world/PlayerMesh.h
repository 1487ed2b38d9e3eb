#pragma once

#include "world/AnimatedMesh.h"

namespace Kelvo {

// The hero's scene object; the MeshManager files it under "Player" whatever
// its entity is called, and the GameWorld builds the PlayerCharacter on it.
class PlayerMesh : public AnimatedMesh {
public:
    PlayerMesh(Ogre::Entity* entity, int kind);
};

} // namespace Kelvo
