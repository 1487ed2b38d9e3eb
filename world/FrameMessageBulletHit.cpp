#include "world/FrameMessageBulletHit.h"

namespace Kelvo {

FrameMessageBulletHit::FrameMessageBulletHit(const std::string& name, const Ogre::Vector3& position, float power,
                                             float radius, const std::string& bulletName, bool persistent)
    : FrameMessage(name, persistent)
    , position(position)
    , power(power)
    , radius(radius)
    , bulletName(bulletName)
{
}

} // namespace Kelvo
