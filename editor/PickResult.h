#pragma once

#include <OgrePrerequisites.h>
#include <OgreRay.h>
#include <OgreSceneQuery.h>

#include <string>
#include <vector>

namespace Kelvo {

// What a picking ray hits, by kind. The kind of a hit comes from the name of
// the scene node its object hangs on; the values are the ones the editor's
// messages and code have always used.
enum PickKind {
    kPickTerrain = 0,
    kPickSceneObject = 1,
    kPickGizmoAxis = 2,
    kPickHorizontalPlane = 3,
    kPickVerticalPlane = 4,
    kPickLocator = 5,
    kPickSkyDome = 6,
    kPickNone = 7,
};

// One ray query of the editor, run and classified at construction and freed
// before the constructor returns: every hit beyond the ray's origin sorted by
// distance, the scene objects among them, and the farthest hit on each of
// the drag planes (which are not counted as hits). The locator is never a
// hit, and a ring only where the ray passes near its circle. Made by the picking script for each click and each drag step.
class PickResult {
public:
    PickResult(const Ogre::Ray& ray, Ogre::SceneManager* sceneManager);

    static PickKind kindOf(const Ogre::MovableObject* object);

    PickKind firstKind() const;
    // -1 without a hit.
    float firstDistance() const;
    size_t objectCount() const { return mObjects.size(); }
    // An index beyond the end gives the last object; none gives null and -1.
    Ogre::MovableObject* object(size_t index) const;
    float objectDistance(size_t index) const;
    // The nearest gizmo handle hit, or null (its distance 0).
    Ogre::MovableObject* firstAxis() const;
    float firstAxisDistance() const;
    // The hit on the horizontal (kPickHorizontalPlane) or a vertical
    // (kPickVerticalPlane) drag plane; -1 if that plane was not hit.
    float planeDistance(PickKind plane) const;

    const std::vector<Ogre::RaySceneQueryResultEntry>& hits() const { return mHits; }

private:
    std::vector<Ogre::RaySceneQueryResultEntry> mHits;
    std::vector<Ogre::RaySceneQueryResultEntry> mObjects;
    float mHorizontalPlane = -1;
    float mVerticalPlane = -1;
};

} // namespace Kelvo
