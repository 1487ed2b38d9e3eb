#include "world/PhysikAbleMesh.h"

namespace Kelvo {

PhysikAbleMesh::PhysikAbleMesh(Ogre::Entity* entity, int kind)
    : Mesh(entity)
    , mKind(kind)
{
}

} // namespace Kelvo
