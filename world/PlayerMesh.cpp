#include "world/PlayerMesh.h"

namespace Kelvo {

PlayerMesh::PlayerMesh(Ogre::Entity* entity, int kind)
    : AnimatedMesh(entity, kind)
{
}

} // namespace Kelvo
