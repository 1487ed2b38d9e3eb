#include "world/AnimatedMesh.h"

namespace Kelvo {

AnimatedMesh::AnimatedMesh(Ogre::Entity* entity, int kind)
    : MoveAbleMesh(entity, kind)
{
}

} // namespace Kelvo
