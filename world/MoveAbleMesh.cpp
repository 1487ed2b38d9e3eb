#include "world/MoveAbleMesh.h"

namespace Kelvo {

MoveAbleMesh::MoveAbleMesh(Ogre::Entity* entity, int kind)
    : PhysikAbleMesh(entity, kind)
{
}

} // namespace Kelvo
