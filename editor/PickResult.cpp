#include "editor/PickResult.h"

#include "editor/EditGizmo.h"
#include "editor/GizmoMath.h"

#include <OgreMovableObject.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>

#include <algorithm>

namespace Kelvo {

namespace {

// How near the ray must pass to a ring's circle, as a part of its radius.
const float kRingGrip = 0.08f;

bool beginsWith(const std::string& text, const char* prefix)
{
    return text.compare(0, std::char_traits<char>::length(prefix), prefix) == 0;
}

// A ring's box encloses the selected object, so a hit on the box is no hit
// on the ring: only a ray that passes near its circle counts, at the
// distance where it does. False for a ray that misses the circle.
bool onRing(const Ogre::Ray& ray, Ogre::RaySceneQueryResultEntry& entry)
{
    const Ogre::SceneNode* ring = entry.movable->getParentSceneNode();
    // The ring mesh circles its node's X axis at radius 1.
    const float radius = ring->_getDerivedScale().x;
    float distance = 0;
    if (!GizmoMath::rayNearCircle(ray, ring->_getDerivedPosition(),
                                  ring->_getDerivedOrientation() * Ogre::Vector3::UNIT_X, radius,
                                  radius * kRingGrip, distance)) {
        return false;
    }
    entry.distance = distance;
    return true;
}

} // namespace

PickKind PickResult::kindOf(const Ogre::MovableObject* object)
{
    if (!object) {
        return kPickNone;
    }
    const Ogre::SceneNode* node = object->getParentSceneNode();
    const std::string name = node ? node->getName() : std::string();
    if (beginsWith(name, "PagingLandScape")) {
        return kPickTerrain;
    }
    // The rings ("LE_MOVE_AXES_X_SCALE", ...) and the scale handles count as
    // axes too; EditGizmo::handleOf tells them apart.
    if (beginsWith(name, "LE_MOVE_AXES_")) {
        return kPickGizmoAxis;
    }
    if (name == "LE_MOVE_PLANE_XZ") {
        return kPickHorizontalPlane;
    }
    if (beginsWith(name, "LE_MOVE_PLANE_Y")) {
        return kPickVerticalPlane;
    }
    if (name == "LE_MOVE_LOCATOR_CONTAINER") {
        return kPickLocator;
    }
    if (name == "SkyDomeNode") {
        return kPickSkyDome;
    }
    return kPickSceneObject;
}

PickResult::PickResult(const Ogre::Ray& ray, Ogre::SceneManager* sceneManager)
{
    Ogre::RaySceneQuery* query = sceneManager->createRayQuery(ray, 0xFFFFFFFF);
    query->setSortByDistance(true);
    const Ogre::RaySceneQueryResult& results = query->execute();
    auto entry = results.begin();
    // The camera's own frustum and whatever encloses the eye start at 0.
    while (entry != results.end() && entry->distance <= 0) {
        ++entry;
    }
    for (; entry != results.end(); ++entry) {
        if (!entry->movable) {
            continue;
        }
        const PickKind kind = kindOf(entry->movable);
        // A hidden object cannot be aimed at: hidden gizmo handles would
        // otherwise swallow clicks where they stood last. The drag planes
        // draw nothing anyway and are hit whether shown or not.
        if (kind != kPickHorizontalPlane && kind != kPickVerticalPlane && !entry->movable->isVisible()) {
            continue;
        }
        switch (kind) {
        case kPickHorizontalPlane:
            mHorizontalPlane = entry->distance;
            break;
        case kPickVerticalPlane:
            mVerticalPlane = entry->distance;
            break;
        case kPickLocator:
            break;
        case kPickGizmoAxis: {
            Ogre::RaySceneQueryResultEntry hit = *entry;
            if (EditGizmo::handleOf(hit.movable).kind != EditGizmo::Handle::kRing || onRing(ray, hit)) {
                mHits.push_back(hit);
            }
            break;
        }
        default:
            mHits.push_back(*entry);
            break;
        }
    }
    // A ring's hit is farther than its box's.
    std::stable_sort(mHits.begin(), mHits.end(),
                     [](const Ogre::RaySceneQueryResultEntry& a, const Ogre::RaySceneQueryResultEntry& b) {
                         return a.distance < b.distance;
                     });
    for (const Ogre::RaySceneQueryResultEntry& hit : mHits) {
        if (kindOf(hit.movable) == kPickSceneObject) {
            mObjects.push_back(hit);
        }
    }
    sceneManager->destroyQuery(query);
}

PickKind PickResult::firstKind() const
{
    return mHits.empty() ? kPickNone : kindOf(mHits.front().movable);
}

float PickResult::firstDistance() const
{
    return mHits.empty() ? -1.0f : mHits.front().distance;
}

Ogre::MovableObject* PickResult::object(size_t index) const
{
    if (mObjects.empty()) {
        return nullptr;
    }
    return mObjects[std::min(index, mObjects.size() - 1)].movable;
}

float PickResult::objectDistance(size_t index) const
{
    if (mObjects.empty()) {
        return -1.0f;
    }
    return mObjects[std::min(index, mObjects.size() - 1)].distance;
}

Ogre::MovableObject* PickResult::firstAxis() const
{
    for (const Ogre::RaySceneQueryResultEntry& hit : mHits) {
        if (kindOf(hit.movable) == kPickGizmoAxis) {
            return hit.movable;
        }
    }
    return nullptr;
}

float PickResult::firstAxisDistance() const
{
    for (const Ogre::RaySceneQueryResultEntry& hit : mHits) {
        if (kindOf(hit.movable) == kPickGizmoAxis) {
            return hit.distance;
        }
    }
    return 0;
}

float PickResult::planeDistance(PickKind plane) const
{
    if (plane == kPickHorizontalPlane) {
        return mHorizontalPlane;
    }
    if (plane == kPickVerticalPlane) {
        return mVerticalPlane;
    }
    return -1.0f;
}

} // namespace Kelvo
