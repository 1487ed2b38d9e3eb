#pragma once

#include "world/Mesh.h"

namespace Kelvo {

// An entity the scene file marked as a trigger volume ("Trigger"); it is drawn
// with the trigger material so the volume shows where it is placed.
class TriggerMesh : public Mesh {
public:
    static const char* const kMaterial;

    explicit TriggerMesh(Ogre::Entity* entity);
};

} // namespace Kelvo
