#include "world/TerrainProbe.h"

#include <OgreSceneManager.h>
#include <OgreSceneQuery.h>

namespace Kelvo {

TerrainProbe::TerrainProbe(Ogre::SceneManager* sceneManager)
    : mSceneManager(sceneManager)
{
    if (!mSceneManager) {
        return;
    }
    mQuery = mSceneManager->createRayQuery(Ogre::Ray(Ogre::Vector3::ZERO, Ogre::Vector3::NEGATIVE_UNIT_Y));
    // Entities along the column are not worth collecting, and their order
    // does not matter: only the terrain point is read.
    mQuery->setQueryTypeMask(Ogre::SceneManager::WORLD_GEOMETRY_TYPE_MASK);
    mQuery->setSortByDistance(false);
}

TerrainProbe::~TerrainProbe()
{
    if (mQuery) {
        mSceneManager->destroyQuery(mQuery);
    }
}

bool TerrainProbe::pointBelow(const Ogre::Vector3& position, Ogre::Vector3& point, float rayHeight)
{
    if (!mQuery) {
        return false;
    }
    mQuery->setRay(Ogre::Ray(position + Ogre::Vector3(0, rayHeight, 0), Ogre::Vector3::NEGATIVE_UNIT_Y));
    for (const Ogre::RaySceneQueryResultEntry& entry : mQuery->execute()) {
        const Ogre::SceneQuery::WorldFragment* fragment = entry.worldFragment;
        if (fragment && fragment->fragmentType == Ogre::SceneQuery::WFT_SINGLE_INTERSECTION) {
            point = fragment->singleIntersection;
            return true;
        }
    }
    return false;
}

float TerrainProbe::heightBelow(const Ogre::Vector3& position, float fallback, float rayHeight)
{
    Ogre::Vector3 point;
    return pointBelow(position, point, rayHeight) ? point.y : fallback;
}

} // namespace Kelvo
