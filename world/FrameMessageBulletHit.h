#pragma once

#include "world/FrameMessage.h"

#include <OgreVector.h>

namespace Kelvo {

// Where a projectile struck ("BULLET_HIT"), how hard and how far its blast
// reaches; enemies within the radius take the power as damage.
class FrameMessageBulletHit : public FrameMessage {
public:
    FrameMessageBulletHit(const std::string& name, const Ogre::Vector3& position, float power, float radius,
                          const std::string& bulletName, bool persistent);

    int getType() const override { return kBulletHit; }

    Ogre::Vector3 position;
    float power;
    float radius;
    std::string bulletName;
};

} // namespace Kelvo
