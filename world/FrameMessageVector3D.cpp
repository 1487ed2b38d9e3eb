#include "world/FrameMessageVector3D.h"

namespace Kelvo {

FrameMessageVector3D::FrameMessageVector3D(const std::string& name, Ogre::Vector3 value, bool persistent)
    : FrameMessage(name, persistent)
    , vector(value)
{
}

} // namespace Kelvo
