#pragma once

#include "world/AnimatedMesh.h"

namespace Kelvo {

// An animated character that is not the hero: the old man ("NPC") and the
// spiders ("Spider"), filed under their entity names.
class NonPlayerMesh : public AnimatedMesh {
public:
    NonPlayerMesh(Ogre::Entity* entity, int kind);
};

} // namespace Kelvo
