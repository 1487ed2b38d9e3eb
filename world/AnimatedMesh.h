#pragma once

#include "world/MoveAbleMesh.h"

namespace Kelvo {

// A moving scene object with skeletal animations, driven by an AnimationMixer.
class AnimatedMesh : public MoveAbleMesh {
public:
    AnimatedMesh(Ogre::Entity* entity, int kind);
};

} // namespace Kelvo
