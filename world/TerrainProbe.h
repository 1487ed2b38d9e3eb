#pragma once

#include <OgrePrerequisites.h>
#include <OgreRay.h>
#include <OgreVector.h>

namespace Kelvo {

// Finds the terrain under a position: one downward ray query that collects
// only world geometry and takes the first terrain fragment among its results
// (the terrain's scene manager may report other hits first, so the results
// are scanned, not just the first one read). The hero keeps his feet on the
// ground with it, the camera stays above it, and the enemies and the energy
// balls do the same. GameWorld owns the one probe of a running world and
// hands it out; it is asked several times a frame, so the query is made once.
class TerrainProbe {
public:
    // How far above the asked position the ray starts, so ground a little
    // above the position (a step up, a camera sunk into a slope) is found.
    static constexpr float kDefaultRayHeight = 5.0f;

    explicit TerrainProbe(Ogre::SceneManager* sceneManager);
    ~TerrainProbe();

    TerrainProbe(const TerrainProbe&) = delete;
    TerrainProbe& operator=(const TerrainProbe&) = delete;

    // The terrain point in the column under the position, searched from
    // rayHeight above it; false where there is no terrain (off the map, or
    // a scene manager without terrain).
    bool pointBelow(const Ogre::Vector3& position, Ogre::Vector3& point, float rayHeight = kDefaultRayHeight);
    // The terrain height under the position, or the fallback without terrain.
    float heightBelow(const Ogre::Vector3& position, float fallback, float rayHeight = kDefaultRayHeight);

private:
    Ogre::SceneManager* mSceneManager;
    Ogre::RaySceneQuery* mQuery = nullptr;
};

} // namespace Kelvo
