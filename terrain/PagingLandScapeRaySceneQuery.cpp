#include "terrain/PagingLandScapeRaySceneQuery.h"

#include "terrain/PagingLandScapeSceneManager.h"
#include "terrain/TerrainPageProxy.h"
#include "terrain/TerrainWorld.h"

#include <OgreMovableObject.h>

#include <algorithm>
#include <cmath>

namespace Kelvo {

namespace {

const Ogre::Real kStraightDownTolerance = 1.0e-4f;
const char* const kTerrainNodeMovableType = "OgreTerrainNodeMovable";

// Passes the octree's hits on, except the terrain's quadtree boxes: they
// carry generated names and box distances, which mean nothing to a caller.
class WithoutTerrainBoxes : public Ogre::RaySceneQueryListener {
public:
    explicit WithoutTerrainBoxes(Ogre::RaySceneQueryListener* target)
        : mTarget(target)
    {
    }

    bool queryResult(Ogre::MovableObject* object, Ogre::Real distance) override
    {
        if (object->getMovableType() == kTerrainNodeMovableType) {
            return true;
        }
        mGoOn = mTarget->queryResult(object, distance);
        return mGoOn;
    }

    bool queryResult(Ogre::SceneQuery::WorldFragment* fragment, Ogre::Real distance) override
    {
        mGoOn = mTarget->queryResult(fragment, distance);
        return mGoOn;
    }

    bool goOn() const { return mGoOn; }

private:
    Ogre::RaySceneQueryListener* mTarget;
    bool mGoOn = true;
};

// Distance along the ray in the units the engine's queries use: multiples
// of the direction vector, so that ray.getPoint(distance) is the point.
Ogre::Real distanceAlong(const Ogre::Ray& ray, const Ogre::Vector3& point)
{
    const Ogre::Vector3& direction = ray.getDirection();
    return (point - ray.getOrigin()).dotProduct(direction) / direction.squaredLength();
}

} // namespace

PagingLandScapeRaySceneQuery::PagingLandScapeRaySceneQuery(PagingLandScapeSceneManager* creator)
    : Ogre::OctreeRaySceneQuery(creator)
    , mTerrainManager(creator)
    , mFragment()
{
    mSupportedWorldFragments.insert(WFT_SINGLE_INTERSECTION);
    mWorldFragmentType = WFT_SINGLE_INTERSECTION;
    mFragment.fragmentType = WFT_SINGLE_INTERSECTION;
}

bool PagingLandScapeRaySceneQuery::isStraightDown(const Ogre::Vector3& direction)
{
    if (direction.y >= 0) {
        return false;
    }
    const Ogre::Real sideways = kStraightDownTolerance * -direction.y;
    return std::fabs(direction.x) <= sideways && std::fabs(direction.z) <= sideways;
}

void PagingLandScapeRaySceneQuery::execute(Ogre::RaySceneQueryListener* listener)
{
    TerrainWorld* world = mTerrainManager->getTerrainWorld();
    const bool wantsTerrain = world && (mQueryTypeMask & Ogre::SceneManager::WORLD_GEOMETRY_TYPE_MASK);
    const bool straightDown = isStraightDown(mRay.getDirection());

    TerrainHit hit;
    bool surfaceFound = false;
    if (wantsTerrain && straightDown) {
        surfaceFound = world->heightAt(mRay.getOrigin().x, mRay.getOrigin().z, hit);
        if (surfaceFound && mWorldFragmentType == WFT_SINGLE_INTERSECTION) {
            mFragment.singleIntersection = hit.point;
            if (!listener->queryResult(&mFragment, distanceAlong(mRay, hit.point))) {
                return;
            }
        }
    }

    WithoutTerrainBoxes movables(listener);
    Ogre::OctreeRaySceneQuery::execute(&movables);
    if (!movables.goOn() || !wantsTerrain) {
        return;
    }

    if (straightDown) {
        // The column's surface is a hit only where the ray really reaches it.
        surfaceFound = surfaceFound && hit.point.y <= mRay.getOrigin().y;
    } else {
        surfaceFound = world->intersect(mRay, hit);
    }
    if (!surfaceFound) {
        return;
    }
    TerrainPageProxy* proxy = world->proxyFor(hit.slotX, hit.slotY);
    if ((proxy->getQueryFlags() & mQueryMask) == 0) {
        return;
    }
    listener->queryResult(proxy, distanceAlong(mRay, hit.point));
}

Ogre::RaySceneQueryResult& PagingLandScapeRaySceneQuery::execute()
{
    clearResults();
    execute(static_cast<Ogre::RaySceneQueryListener*>(this));
    // The fragment leads, whatever its distance; the movable hits follow in
    // the order the caller asked for.
    auto movables = std::stable_partition(mResult.begin(), mResult.end(),
                                          [](const Ogre::RaySceneQueryResultEntry& entry) {
                                              return entry.worldFragment != nullptr;
                                          });
    if (mSortByDistance) {
        std::stable_sort(movables, mResult.end());
        if (mMaxResults != 0 && mResult.size() > mMaxResults) {
            mResult.resize(mMaxResults);
        }
    }
    return mResult;
}

} // namespace Kelvo
