#include "world/TriggerMesh.h"

#include <OgreEntity.h>

namespace Kelvo {

const char* const TriggerMesh::kMaterial = "KELVO/Trigger";

TriggerMesh::TriggerMesh(Ogre::Entity* entity)
    : Mesh(entity)
{
    mEntity->setMaterialName(kMaterial);
}

} // namespace Kelvo
