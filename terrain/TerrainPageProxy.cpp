#include "terrain/TerrainPageProxy.h"

#include <OgreSceneManager.h>

#include <string>

namespace Kelvo {

const char* const TerrainPageProxy::kNodePrefix = "PagingLandScape_";
const Ogre::String TerrainPageProxy::kMovableType = "KelvoTerrainPage";

TerrainPageProxy::TerrainPageProxy(long slotX, long slotY)
    : Ogre::MovableObject(std::string(kNodePrefix) + std::to_string(slotX) + "_" + std::to_string(slotY))
    , mSlotX(slotX)
    , mSlotY(slotY)
{
}

Ogre::uint32 TerrainPageProxy::getTypeFlags() const
{
    return Ogre::SceneManager::WORLD_GEOMETRY_TYPE_MASK;
}

} // namespace Kelvo
