#include "world/NonPlayerMesh.h"

namespace Kelvo {

NonPlayerMesh::NonPlayerMesh(Ogre::Entity* entity, int kind)
    : AnimatedMesh(entity, kind)
{
}

} // namespace Kelvo
