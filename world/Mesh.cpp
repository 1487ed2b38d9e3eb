#include "world/Mesh.h"

#include <OgreEntity.h>

namespace Kelvo {

Mesh::Mesh(Ogre::Entity* entity)
    : mEntity(entity)
{
}

Ogre::MeshPtr Mesh::getMesh()
{
    return mEntity->getMesh();
}

std::string Mesh::getName()
{
    return mEntity->getName();
}

void Mesh::setVisible(bool visible)
{
    mEntity->setVisible(visible);
}

} // namespace Kelvo
