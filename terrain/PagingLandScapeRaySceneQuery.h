#pragma once

#include <OgreOctreeSceneQuery.h>

namespace Kelvo {

class PagingLandScapeSceneManager;

// The ray query of our terrain scene manager: the octree's movable hits
// without the terrain's internal boxes, plus the terrain in two forms.
//
// - A ray pointing straight down yields the terrain surface point in its
//   column as a world fragment of kind single intersection, as the first
//   result, wherever the ray starts: ground-following code looks only at the
//   first result, and the walker's own entity just under the ray's origin
//   would otherwise come first. The fragment is given when the world
//   fragment type is single intersection (our queries' default) and the
//   type mask includes world geometry.
// - Every ray that meets the terrain yields a hit on the proxy of the page
//   it meets ("PagingLandScape_<x>_<y>"), at the exact distance along the
//   ray, sorted with the other movable hits. Rays other than straight down
//   report the terrain only this way: the editor's picking sorts every hit
//   by distance and skips the leading ones at distance 0.
//
// Made by PagingLandScapeSceneManager::createRayQuery; run by game and
// editor code once or more per frame.
class PagingLandScapeRaySceneQuery : public Ogre::OctreeRaySceneQuery {
public:
    explicit PagingLandScapeRaySceneQuery(PagingLandScapeSceneManager* creator);

    Ogre::RaySceneQueryResult& execute() override;
    void execute(Ogre::RaySceneQueryListener* listener) override;

    // Straight down within a small tolerance: the ground-following rays are
    // built from NEGATIVE_UNIT_Y, picking rays almost never are.
    static bool isStraightDown(const Ogre::Vector3& direction);

private:
    PagingLandScapeSceneManager* mTerrainManager;
    WorldFragment mFragment;
};

} // namespace Kelvo
