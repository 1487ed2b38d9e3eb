#pragma once

#include "scene/EntityDescription.h"
#include "scene/RecordTable.h"

#include <OgrePrerequisites.h>

#include <vector>

namespace Kelvo {

// What the play state bakes for speed after a load: one static geometry per
// entity root ("StaticGeo_<n>") from the entities typed "Static" or
// "StaticNonCollide" (their own entities are hidden then), with the root's
// small props apart ("StaticGeo_<n>_small", drawn only near the camera), and the
// grass-blade mesh "grassblades" the scenes' grass props use. Owned by the
// scene loader.
class StaticScenery {
public:
    void build(Ogre::SceneManager* manager, const RecordTable<EntityDescription>::Map& entities, int rootCount);
    // The geometries die with their scene manager: they are destroyed here
    // only while the manager they were built in is the live one given.
    void destroy(Ogre::SceneManager* liveManager);

    // Three crossed quads, 250 wide and 300 high; made once.
    static void makeGrassBlades();

private:
    Ogre::SceneManager* mManager = nullptr;
    std::vector<Ogre::StaticGeometry*> mGeometries;
};

} // namespace Kelvo
